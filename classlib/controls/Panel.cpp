#include "classlib/controls/Panel.h"

#include "classlib/graphics/Gdi.h"

const TEnumInfo PanelBevelNames{{"bvNone", "bvLowered", "bvRaised", "bvSpace"}};

QUENDREL_REGISTER_CLASS(TCustomPanel, TCustomControl) {
  c.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentNames)
      .Default(taCenter);
  c.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, PanelBevelNames)
      .Default(bvNone);
  c.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, PanelBevelNames)
      .Default(bvRaised);
  c.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  c.Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
  c.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, BorderStyleNames)
      .Default(bsNone);
  c.Property("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(1);
  c.Property("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked).Default(0);
  c.Property("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground);
}

QUENDREL_REGISTER_CLASS(TPanel, TCustomPanel) {
  c.Creatable();
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                  csOpaque,          csDoubleClicks, csReplicatable};
  FWidth = 185;
  FHeight = 41;
  FColor = clBtnFace;
  FParentColor = false;
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  FBevelInner = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  FBevelOuter = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
  FPanelBorderWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::CMTextChanged(TMessage&) {
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.Inflate(-FPanelBorderWidth, -FPanelBorderWidth);
  int bevel = 0;
  if (FBevelOuter != bvNone) bevel += FBevelWidth;
  if (FBevelInner != bvNone) bevel += FBevelWidth;
  Rect.Inflate(-bevel, -bevel);
}

namespace {
void BevelColors(TPanelBevel bevel, TColor& top, TColor& bottom) {
  top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
  bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}
} // namespace

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  Frame3D(c, r, FColor, FColor, FPanelBorderWidth);
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  c->Brush()->SetColor(FColor);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  const AnsiString text = Caption();
  if (text.empty()) return;
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  const int h = c->TextHeight("W");
  r.Top = (r.Bottom + r.Top - h) / 2;
  r.Bottom = r.Top + h;
  static const unsigned align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  HDC dc = c->Handle();
  SelectObject(dc, c->Font()->Handle());
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, text.c_str(), -1, &r,
           DT_EXPANDTABS | DT_VCENTER | align[FAlignment] | (UseRightToLeftReading() ? DT_RTLREADING : 0));
}
