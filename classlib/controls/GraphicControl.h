#pragma once
// TGraphicControl: a control without a window. Its parent paints it (WM_PAINT with the parent's context,
// moved to the control and clipped to it) and routes the mouse messages that fall on it.
#include <memory>

#include "classlib/controls/Control.h"
#include "classlib/controls/ControlCanvas.h"

class TGraphicControl : public TControl {
  QUENDREL_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return FCanvas.get(); }
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};
