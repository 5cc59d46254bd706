#include "classlib/controls/StdCtrls.h"

#include "classlib/controls/Form.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TButton, TCustomControl) {
  c.Creatable();
  c.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(0);
  c.Property("Default", &TButton::Default, &TButton::SetDefault).Default(0);
  c.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = {csSetCaption, csDoubleClicks, csOpaque, csCaptureMouse, csClickEvents};
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
  FColor = clBtnFace;
  FParentColor = false;
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  FActive = Value;
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(); form && FModalResult != 0) form->SetModalResult(FModalResult);
  TCustomControl::Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    FPressed = true;
    if (CanFocus()) SetFocus();
    Repaint();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Repaint();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButton::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE && !FPressed) {
    FPressed = true;
    Repaint();
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TButton::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FPressed) {
    FPressed = false;
    Repaint();
    Click();
  }
  TCustomControl::KeyUp(Key, Shift);
}

void TButton::CMDialogKey(TMessage& Message) {
  const bool enter = Message.WParam == VK_RETURN && FActive;
  const bool escape = Message.WParam == VK_ESCAPE && FCancel;
  if ((enter || escape) && (Message.LParam & KF_ALTDOWN_LPARAM) == 0 && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
  // A focused button is the one Enter clicks; otherwise the default button is.
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  const bool active = dynamic_cast<TButton*>(focused) ? focused == this : FDefault;
  if (active != FActive) {
    FActive = active;
    Invalidate();
  }
  TCustomControl::CMFocusChanged(Message);
}

void TButton::CMTextChanged(TMessage&) {
  Invalidate();
}
void TButton::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TButton::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (FActive || Focused()) {
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
    r.Inflate(-1, -1);
  }
  if (FPressed)
    Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
  else {
    Frame3D(c, r, clBtnHighlight, cl3DDkShadow, 1);
    TRect inner = r;
    Frame3D(c, inner, clBtnFace, clBtnShadow, 1);
    r = inner;
  }
  c->Brush()->SetColor(FColor);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  SelectObject(dc, c->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? c->Font()->Color() : clGrayText));
  TRect tr = ClientRect();
  if (FPressed) tr.Offset(1, 1);
  const AnsiString text = Caption();
  DrawText(dc, text.c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    TRect f = ClientRect();
    f.Inflate(-4, -4);
    c->DrawFocusRect(f);
  }
}
