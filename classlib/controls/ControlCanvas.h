#pragma once
// TControlCanvas: the canvas of a control. Inside a paint handler it draws on the context the paint message
// brings; outside it takes a context on the control's window (a graphic control's: its parent's window, moved
// and clipped to the control), which is released when the application's loop has dispatched the message.
#include "classlib/controls/Messages.h"
#include "classlib/graphics/Canvas.h"

class TControl;

class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* Control) : FControl(Control) {}
  ~TControlCanvas() override;

  TControl* Control() const { return FControl; }
  // Draws on DC (a paint handler's) until called again with null.
  void BeginPaintOn(HDC DC);
  void EndPaintOn();
  // Gives back a context taken by CreateHandle.
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl;
  HDC FOwnDC = nullptr;
  HWND FOwnWnd = nullptr;
};

// Releases every context that control canvases took outside paint handlers (the loop calls it).
void FreeDeviceContexts();
