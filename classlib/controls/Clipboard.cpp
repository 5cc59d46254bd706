#include "classlib/controls/Clipboard.h"

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
