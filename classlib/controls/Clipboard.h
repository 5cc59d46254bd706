#pragma once
// The clipboard: text, or a picture file's bytes, that one control cuts or copies and another pastes. It
// belongs to the program.
#include "classlib/core/AnsiString.h"

class TClipboard {
 public:
  bool HasText() const { return FHasText; }
  AnsiString AsText() const { return FText; }
  void SetAsText(const AnsiString& Value) {
    FText = Value;
    FHasText = true;
  }
  bool HasPicture() const { return FHasPicture; }
  AnsiString AsPicture() const { return FPicture; }
  void SetAsPicture(const AnsiString& Bytes) {
    FPicture = Bytes;
    FHasPicture = true;
  }
  void Clear() {
    FText.clear();
    FPicture.clear();
    FHasText = FHasPicture = false;
  }

 private:
  AnsiString FText;
  AnsiString FPicture;
  bool FHasText = false;
  bool FHasPicture = false;
};

// The program's one clipboard.
TClipboard* Clipboard();
