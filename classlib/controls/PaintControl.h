#pragma once
// TPaintControl: a hidden plain control of the system's kind "BUTTON" (a check box), with a window made on
// demand, that a data-aware control asks to paint a copy of itself, one per record, into a context it is
// given: BM_SETCHECK sets the state, WM_PAINT with a context in WParam paints the box and the owner's caption
// in the owner's font.
#include <memory>

#include "classlib/controls/WinControl.h"

class TPaintControl {
 public:
  TPaintControl(TWinControl* Owner, const AnsiString& ClassName);
  ~TPaintControl();
  TPaintControl(const TPaintControl&) = delete;
  TPaintControl& operator=(const TPaintControl&) = delete;

  const AnsiString& ClassName() const { return FClassName; }
  // Drawn with a three-dimensional box (the default) or a flat one.
  bool Ctl3DButton() const { return FCtl3DButton; }
  void SetCtl3DButton(bool Value) { FCtl3DButton = Value; }
  // The window, made with the owner's size when there is none.
  HWND Handle();
  bool HandleAllocated() const;
  void DestroyHandle();

 private:
  TWinControl* FOwner;
  AnsiString FClassName;
  bool FCtl3DButton = true;
  std::unique_ptr<TWinControl> FCtl;
};
