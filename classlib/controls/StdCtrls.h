#pragma once
// Standard controls: TButton, a push button that paints itself, clicks on the mouse, on Space, on Enter when
// it is the default button, on Escape when it is the cancel button and on the "&" accelerator of its caption
// (with Alt, or alone where the focused control takes no characters), and passes its ModalResult to its
// form.
#include "classlib/controls/CustomControl.h"

class TButton : public TCustomControl {
  QUENDREL_CLASS(TButton, TCustomControl)
 public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }

  void Click() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;

 private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
  bool FPressed = false;
  bool FActive = false; // the button Enter clicks now
};
