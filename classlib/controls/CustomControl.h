#pragma once
// TCustomControl: a windowed control that paints itself on its canvas (Paint).
#include <memory>

#include "classlib/controls/ControlCanvas.h"
#include "classlib/controls/WinControl.h"

class TCustomControl : public TWinControl {
  QUENDREL_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return FCanvas.get(); }
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

 protected:
  void PaintWindow(HDC DC) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};
