#include "classlib/controls/GraphicControl.h"

QUENDREL_REGISTER_CLASS(TGraphicControl, TControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TMessage& Message) {
  if (!Message.WParam) return;
  FCanvas->BeginPaintOn(reinterpret_cast<HDC>(Message.WParam));
  try {
    Paint();
  } catch (...) {
    FCanvas->EndPaintOn();
    throw;
  }
  FCanvas->EndPaintOn();
}
