#include "classlib/controls/Label.h"
#include <cctype>

#include "classlib/controls/Form.h"
#include "classlib/controls/WinControl.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo TextLayoutNames{{"tlTop", "tlCenter", "tlBottom"}};

QUENDREL_REGISTER_CLASS(TCustomLabel, TGraphicControl) {
  c.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, AlignmentNames)
      .Default(taLeftJustify);
  c.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(1);
  c.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  c.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, TextLayoutNames).Default(tlTop);
  c.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(1);
  c.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  c.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(0);
}

QUENDREL_REGISTER_CLASS(TLabel, TCustomLabel) {
  c.Creatable();
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle += TControlStyle{csOpaque, csReplicatable};
  FWidth = 65;
  FHeight = 17;
}

void TCustomLabel::DoDrawText(TRect& Rect, unsigned Flags) {
  AnsiString text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  SelectObject(dc, c->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  if (!Enabled() && !(Flags & DT_CALCRECT)) {
    Rect.Offset(1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    Rect.Offset(-1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
    return;
  }
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  DrawText(dc, text.c_str(), static_cast<int>(text.size()), &Rect, Flags);
}

void TCustomLabel::Paint() {
  static const unsigned align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  TCanvas* c = Canvas();
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
  }
  c->Brush()->SetStyle(bsClear);
  TRect r = ClientRect();
  const unsigned style = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | align[FAlignment];
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, style | DT_CALCRECT);
    if (FLayout == tlBottom)
      r.Offset(0, Height() - calc.Bottom);
    else
      r.Offset(0, (Height() - calc.Bottom) / 2);
  }
  DoDrawText(r, style);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !FAutoSize) return;
  // Measured on a scratch bitmap: the label may have no window to measure on yet.
  TBitmap scratch;
  scratch.SetSize(1, 1);
  TRect r = ClientRect();
  TCanvas* c = Canvas();
  c->SetHandle(scratch.Canvas()->Handle());
  DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
  c->SetHandle(nullptr);
  int x = Left();
  TAlignment a = FAlignment;
  if (UseRightToLeftAlignment() && a != taCenter) a = a == taLeftJustify ? taRightJustify : taLeftJustify;
  if (a == taRightJustify) x += Width() - r.Right;
  SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  if (Value)
    ControlStyle.Exclude(csOpaque);
  else
    ControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  FShowAccelChar = Value;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
  if (!FFocusControl || !Enabled() || !FShowAccelChar) return;
  if (IsAccel(static_cast<WORD>(Message.WParam), Caption()) && FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
  }
}
