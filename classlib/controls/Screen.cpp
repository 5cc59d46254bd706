#include "classlib/controls/Screen.h"

#include <algorithm>
#include <climits>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"

QUENDREL_REGISTER_CLASS(TScreen, TComponent) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() = default;

void TScreen::UpdateMonitors() {
  const auto screens = backend::Screens();
  // Monitors keep their objects while their number stays, so that callers may hold them.
  if (FMonitors.size() != screens.size()) {
    FMonitors.clear();
    for (size_t i = 0; i < screens.size(); ++i)
      FMonitors.push_back(
          std::make_unique<TMonitor>(static_cast<int>(i), screens[i].Bounds, screens[i].WorkArea));
    return;
  }
  for (size_t i = 0; i < screens.size(); ++i) {
    FMonitors[i]->FBounds = screens[i].Bounds;
    FMonitors[i]->FWorkArea = screens[i].WorkArea;
  }
}

int TScreen::MonitorCount() {
  UpdateMonitors();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
  UpdateMonitors();
  if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
    throw EListError(Format("List index out of bounds (%d)", Index));
  return FMonitors[static_cast<size_t>(Index)].get();
}

TMonitor* TScreen::MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default) {
  UpdateMonitors();
  TMonitor* best = nullptr;
  long bestArea = 0;
  for (auto& m : FMonitors) {
    TRect r;
    if (IntersectRect(r, m->FBounds, Rect)) {
      const long area = static_cast<long>(r.Width()) * r.Height();
      if (area > bestArea) {
        bestArea = area;
        best = m.get();
      }
    }
  }
  if (best || Default == mdNull) return best;
  if (Default == mdPrimary) return FMonitors.front().get();
  // Nearest: by distance from the rectangle's centre.
  const TPoint c{(Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2};
  long bestDist = LONG_MAX;
  for (auto& m : FMonitors) {
    const TRect b = m->FBounds;
    const long dx = c.X < b.Left ? b.Left - c.X : c.X >= b.Right ? c.X - b.Right + 1 : 0;
    const long dy = c.Y < b.Top ? b.Top - c.Y : c.Y >= b.Bottom ? c.Y - b.Bottom + 1 : 0;
    if (dx * dx + dy * dy < bestDist) {
      bestDist = dx * dx + dy * dy;
      best = m.get();
    }
  }
  return best;
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo Default) {
  return MonitorFromRect(Bounds(Point.X, Point.Y, 1, 1), Default);
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) {
  TRect r;
  if (!GetWindowRect(Handle, &r)) return Default == mdNull ? nullptr : Monitors(0);
  if (r.IsEmpty()) r = Bounds(r.Left, r.Top, 1, 1);
  return MonitorFromRect(r, Default);
}

int TScreen::Width() {
  return Monitors(0)->Width();
}
int TScreen::Height() {
  return Monitors(0)->Height();
}

TRect TScreen::DesktopRect() {
  UpdateMonitors();
  TRect r = FMonitors.front()->FBounds;
  for (auto& m : FMonitors) {
    r.Left = std::min(r.Left, m->FBounds.Left);
    r.Top = std::min(r.Top, m->FBounds.Top);
    r.Right = std::max(r.Right, m->FBounds.Right);
    r.Bottom = std::max(r.Bottom, m->FBounds.Bottom);
  }
  return r;
}

TRect TScreen::WorkAreaRect() {
  return Monitors(0)->WorkareaRect();
}

TPoint TScreen::CursorPos() const {
  TPoint p;
  GetCursorPos(&p);
  return p;
}

TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FForms[static_cast<size_t>(Index)];
}

int TScreen::IndexOfForm(const TCustomForm* Form) const {
  const auto it = std::find(FForms.begin(), FForms.end(), Form);
  return it == FForms.end() ? -1 : static_cast<int>(it - FForms.begin());
}

void TScreen::AddForm(TCustomForm* Form) {
  FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  std::erase(FForms, Form);
  if (FActiveForm == Form) FActiveForm = nullptr;
  if (FActiveControl && FActiveControl->GetParentForm() == Form) FActiveControl = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  if (OnActiveFormChange) OnActiveFormChange(this);
}
