#include "classlib/controls/CustomControl.h"

QUENDREL_REGISTER_CLASS(TCustomControl, TWinControl) {}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() {
  FCanvas->FreeHandle();
}

void TCustomControl::WMPaint(TMessage& Message) {
  const TControlStateScope painting(ControlState, csCustomPaint);
  TWinControl::WMPaint(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  const TCanvasPaintScope scope(*FCanvas, DC);
  Paint();
}
