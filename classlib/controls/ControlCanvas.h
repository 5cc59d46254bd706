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

// Points a control canvas at a paint handler's context for the span of a scope, whatever the painter throws.
class TCanvasPaintScope {
 public:
  TCanvasPaintScope(TControlCanvas& Canvas, HDC DC) : FCanvas(Canvas) { FCanvas.BeginPaintOn(DC); }
  ~TCanvasPaintScope() { FCanvas.EndPaintOn(); }
  TCanvasPaintScope(const TCanvasPaintScope&) = delete;
  TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

 private:
  TControlCanvas& FCanvas;
};

// Releases every context that control canvases took outside paint handlers (the loop calls it).
void FreeDeviceContexts();
