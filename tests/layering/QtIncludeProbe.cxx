// Must not compile: see CMakeLists.txt beside it.
#include "classlib/win/Windows.h"
#include "skin/SKPublic.h"

#include <QWidget>

int QtIncludeProbe() {
  return 0;
}
