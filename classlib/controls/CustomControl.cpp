#include "classlib/controls/CustomControl.h"

QUENDREL_REGISTER_CLASS(TCustomControl, TWinControl) {}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() {
  FCanvas->FreeHandle();
}

void TCustomControl::WMPaint(TMessage& Message) {
  ControlState.Include(csCustomPaint);
  try {
    TWinControl::WMPaint(Message);
  } catch (...) {
    ControlState.Exclude(csCustomPaint);
    throw;
  }
  ControlState.Exclude(csCustomPaint);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->BeginPaintOn(DC);
  try {
    Paint();
  } catch (...) {
    FCanvas->EndPaintOn();
    throw;
  }
  FCanvas->EndPaintOn();
}
