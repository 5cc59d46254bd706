#include "classlib/controls/GraphicControl.h"

QUENDREL_REGISTER_CLASS(TGraphicControl, TControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TMessage& Message) {
  if (!Message.WParam) return;
  const TCanvasPaintScope scope(*FCanvas, reinterpret_cast<HDC>(Message.WParam));
  Paint();
}
