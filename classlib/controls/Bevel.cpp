#include "classlib/controls/Bevel.h"

const TEnumInfo BevelShapeNames{
    {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
const TEnumInfo BevelStyleNames{{"bsLowered", "bsRaised"}};

QUENDREL_REGISTER_CLASS(TBevel, TGraphicControl) {
  c.Creatable();
  c.Enum("Shape", &TBevel::Shape, &TBevel::SetShape, BevelShapeNames).Default(bsBox);
  c.Enum("Style", &TBevel::Style, &TBevel::SetStyle, BevelStyleNames).Default(bsLowered);
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle.Include(csReplicatable);
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  c->Pen()->SetWidth(1);
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  auto rect = [&](const TRect& r) {
    c->Pen()->SetColor(c1);
    c->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    c->Pen()->SetColor(c2);
    c->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
  };
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  const int w = Width(), h = Height();
  switch (FShape) {
  case bsBox:
    rect({0, 0, w - 1, h - 1});
    break;
  case bsFrame: {
    const TColor t = c1;
    c1 = c2;
    rect({1, 1, w - 1, h - 1});
    c2 = t;
    c1 = t;
    rect({0, 0, w - 2, h - 2});
    break;
  }
  case bsTopLine:
    line(c1, 0, 0, w, 0);
    line(c2, 0, 1, w, 1);
    break;
  case bsBottomLine:
    line(c1, 0, h - 2, w, h - 2);
    line(c2, 0, h - 1, w, h - 1);
    break;
  case bsLeftLine:
    line(c1, 0, 0, 0, h);
    line(c2, 1, 0, 1, h);
    break;
  case bsRightLine:
    line(c1, w - 2, 0, w - 2, h);
    line(c2, w - 1, 0, w - 1, h);
    break;
  case bsSpacer:
    break;
  }
}
