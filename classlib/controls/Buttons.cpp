#include "classlib/controls/Buttons.h"

#include "classlib/controls/WinControl.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/ImageList.h"

QUENDREL_REGISTER_CLASS(TSpeedButton, TGraphicControl) {
  c.Creatable();
  c.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(0);
  c.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  c.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(0);
  c.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(0);
  c.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
}

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  // Clicks come from MouseUp, which also decides whether a grouped button goes down.
  ControlStyle = {csCaptureMouse, csDoubleClicks};
  SetBounds(Left(), Top(), 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  FAllowAllUp = Value;
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) UpdateExclusive();
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  TWinControl* parent = Parent();
  if (!FDown || FGroupIndex == 0 || !parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
    if (!other || other == this || other->FGroupIndex != FGroupIndex || !other->FDown) continue;
    other->FDown = false;
    other->Invalidate();
  }
}

bool TSpeedButton::Inside(int X, int Y) const {
  return X >= 0 && X < Width() && Y >= 0 && Y < Height();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  FTracking = true;
  FPressed = true;
  Invalidate();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FTracking) return;
  const bool inside = Inside(X, Y);
  if (inside == FPressed) return;
  FPressed = inside;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FTracking) return;
  FTracking = false;
  FPressed = false;
  Invalidate();
  if (!Inside(X, Y)) return;
  if (FGroupIndex != 0) SetDown(!FDown);
  Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  inherited::CMMouseEnter(Message);
  FMouseInControl = true;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  inherited::CMMouseLeave(Message);
  FMouseInControl = false;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  if (!Enabled()) FTracking = FPressed = false;
  Invalidate();
}

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  const int w = Width(), h = Height();
  const bool sunken = FPressed || FDown;
  // A flat button lets its parent show through; a raised one has a face of its own.
  if (!FFlat) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, w, h));
  }
  const bool framed = !FFlat || sunken || (FMouseInControl && Enabled());
  if (framed && w > 1 && h > 1) {
    c->Pen()->SetColor(sunken ? clBtnShadow : clBtnHighlight);
    c->MoveTo(0, h - 1);
    c->LineTo(0, 0);
    c->LineTo(w - 1, 0);
    c->Pen()->SetColor(sunken ? clBtnHighlight : clBtnShadow);
    c->LineTo(w - 1, h - 1);
    c->LineTo(0, h - 1);
  }
  if (FGlyph->Empty()) return;
  TImageList list(FGlyph->Width(), FGlyph->Height());
  list.AddMasked(FGlyph.get(), FGlyph->Canvas()->Pixels(0, 0));
  const int offset = sunken ? 1 : 0;
  list.Draw(c, (w - FGlyph->Width()) / 2 + offset, (h - FGlyph->Height()) / 2 + offset, 0, Enabled());
}
