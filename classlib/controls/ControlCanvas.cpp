#include "classlib/controls/ControlCanvas.h"

#include <algorithm>
#include <vector>

#include "classlib/controls/WinControl.h"
#include "classlib/graphics/Gdi.h"

namespace {
std::vector<TControlCanvas*>& Holding() {
  static std::vector<TControlCanvas*> list;
  return list;
}
} // namespace

TControlCanvas::~TControlCanvas() {
  FreeHandle();
}

void TControlCanvas::BeginPaintOn(HDC DC) {
  FreeHandle();
  SetHandle(DC);
}

void TControlCanvas::EndPaintOn() {
  SetHandle(nullptr);
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  TWinControl* win = dynamic_cast<TWinControl*>(FControl);
  HDC dc = nullptr;
  if (win) {
    FOwnWnd = win->Handle();
    dc = GetDC(FOwnWnd);
  } else {
    TWinControl* parent = FControl->Parent();
    if (!parent) return;
    FOwnWnd = parent->Handle();
    dc = GetDC(FOwnWnd);
    SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FOwnDC = dc;
  SetHandle(dc);
  Holding().push_back(this);
}

void TControlCanvas::FreeHandle() {
  if (!FOwnDC) return;
  SetHandle(nullptr);
  ReleaseDC(FOwnWnd, FOwnDC);
  FOwnDC = nullptr;
  FOwnWnd = nullptr;
  std::erase(Holding(), this);
}

void FreeDeviceContexts() {
  const std::vector<TControlCanvas*> list = Holding();
  for (TControlCanvas* c : list) c->FreeHandle();
}
