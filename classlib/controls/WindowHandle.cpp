// The window system's state, the window record (TWindowHandle) with the backend's reports, and the creation
// and destruction of windows.
#include "classlib/controls/WindowHandle.h"

#include "classlib/controls/WinControl.h"
#include "classlib/controls/WindowSystem.h"

std::function<void(bool)> OnApplicationActivate;
std::function<void()> OnMouseIdle;

namespace winsys {

TSystem& Sys() {
  static TSystem s;
  return s;
}

// Made while the program starts, so that it outlives the shutdown hooks, which destroy the windows still
// open.
[[maybe_unused]] TSystem& SystemAtStart = Sys();

void RemoveFromParentList(HWND w) {
  if (w->Parent)
    std::erase(w->Parent->Children, w);
  else
    std::erase(Sys().TopLevels, w);
}

} // namespace winsys

using namespace winsys;

TWindowHandle::TWindowHandle(TWinControl* AControl, HWND AParent, DWORD AStyle, DWORD AExStyle,
                             const TRect& ARect)
    : Control(AControl), Proc(), ClassProc(), Parent(AParent), Style(AStyle), ExStyle(AExStyle), Rect(ARect) {
  Client = WindowRectInWindow();
}

TWindowHandle::~TWindowHandle() {
  if (Native) backend::DestroyWindow(Native);
}

LRESULT TWindowHandle::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return CallWindowProc(Proc, this, Msg, WParam, LParam);
}

TPoint TWindowHandle::ScreenOrigin() const {
  if (!Parent) return Rect.TopLeft();
  const TPoint p = Parent->ClientScreenOrigin();
  return {p.X + Rect.Left, p.Y + Rect.Top};
}

TPoint TWindowHandle::ClientScreenOrigin() const {
  const TPoint p = ScreenOrigin();
  return {p.X + Client.Left, p.Y + Client.Top};
}

HWND TWindowHandle::Root() {
  HWND w = this;
  while (w->Parent) w = w->Parent;
  return w;
}

void TWindowHandle::AttachSurface() {
  if (Native)
    backend::SetSurface(Native, Surface.Bits(), Surface.Width(), Surface.Height(), Surface.Stride() * 4,
                        Surface.Scale());
}

void TWindowHandle::FitSurface() {
  Surface.SetScaledSize(Rect.Width(), Rect.Height(), Root()->Scale, MaxWindowSurfaceExtent,
                        MaxWindowSurfacePixels, 0xFFFFFF);
  AttachSurface();
}

void TWindowHandle::FitSurfaces() {
  FitSurface();
  for (HWND c : Children) c->FitSurfaces();
}

void TWindowHandle::FollowScale() {
  HWND root = Root();
  if (!root->Native) return;
  const double scale = backend::DevicePixelRatio(root->Native);
  if (scale == root->Scale || !(scale > 0)) return;
  root->Scale = scale;
  root->FitSurfaces();
  RedrawWindow(root, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TWindowHandle::ScaleChanged() {
  TQueued q;
  q.Kind = TQueued::Scale;
  q.Top = this;
  QueueReport(std::move(q));
}

// The desktop's reports wait in the queue like input: handlers run from the application's loop, never inside
// the toolkit's own event handler, so that a handler may free the window that reported.
void TWindowHandle::MouseInput(const backend::MouseEvent& event) {
  TQueued q;
  q.Kind = TQueued::RawMouse;
  q.Top = this;
  q.Mouse = event;
  QueueReport(std::move(q));
}

void TWindowHandle::KeyInput(const backend::KeyEvent& event) {
  TQueued q;
  q.Kind = TQueued::RawKey;
  q.Key = event;
  QueueReport(std::move(q));
}

void TWindowHandle::CloseRequested() {
  PostMessage(this, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TWindowHandle::ActivationChanged(bool active) {
  if (backend::IsOffscreen()) return; // our own activation model is the whole truth there
  TQueued q;
  q.Kind = TQueued::Activation;
  q.Top = this;
  q.Active = active;
  QueueReport(std::move(q));
}

void TWindowHandle::GeometryChanged(const TRect& screenRect) {
  TQueued q;
  q.Kind = TQueued::Geometry;
  q.Top = this;
  q.Rect = screenRect;
  q.Before = Rect;
  QueueReport(std::move(q));
}

void TWindowHandle::Exposed() {
  PresentRect = WindowRectInWindow();
  if (Native) backend::Present(Native, PresentRect);
  PresentRect = {};
}

// ---------------------------------------------------------------------------------------------------------
// Creation

TRect SystemFrameInsets(DWORD Style, DWORD ExStyle) {
  int frame = 0;
  if (Style & WS_CHILD) {
    if (Style & WS_BORDER) frame = 1;
    if (Style & (WS_THICKFRAME | WS_DLGFRAME)) frame = 3;
  } else {
    if ((Style & WS_THICKFRAME) || (Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME)) frame = 3;
    if (Style & WS_BORDER) frame += 1;
  }
  if (ExStyle & WS_EX_CLIENTEDGE) frame += 2;
  int caption = 0;
  if ((Style & WS_CAPTION) == WS_CAPTION) caption = (ExStyle & WS_EX_TOOLWINDOW) ? 15 : 18;
  return {frame, frame + caption, frame, frame};
}

HWND CreateWindowHandle(TWinControl* Control, HWND Parent, DWORD Style, DWORD ExStyle, const TRect& Rect,
                        const AnsiString& Text, WNDPROC ClassProc) {
  TSystem& s = Sys();
  backend::Initialize();
  auto* w = new TWindowHandle(Control, Parent, Style & ~WS_VISIBLE, ExStyle, Rect); // freed by DestroyWindow
  w->Text = Text;
  if (!ClassProc) ClassProc = Control ? ControlWindowProc() : DefaultProcedure();
  w->Proc = w->ClassProc = ClassProc;
  s.Windows.insert(w);
  if (Parent)
    Parent->Children.push_back(w);
  else
    s.TopLevels.push_back(w);
  return w;
}

void FinishCreate(HWND w) {
  if (!Valid(w)) return;
  // The non-client area first, so that the client rectangle is known when the window is created.
  NCCALCSIZE_PARAMS params;
  WINDOWPOS pos{w, nullptr, w->Rect.Left, w->Rect.Top, w->Rect.Width(), w->Rect.Height(), 0};
  params.rgrc[0] = params.rgrc[1] = params.rgrc[2] = w->Rect;
  params.lppos = &pos;
  SendMessage(w, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
  w->Client = RelativeTo(params.rgrc[0], w->Rect.TopLeft());
  w->Native = backend::CreateWindow(w, w->Parent ? w->Parent->Native : nullptr, w->Rect);
  if (!w->Parent) w->Scale = backend::DevicePixelRatio(w->Native);
  backend::SetClientArea(w->Native, w->Client);
  w->FitSurface();
  if (!w->Parent) backend::SetTitle(w->Native, w->Text);
  InvalidateAll(w);
  SendMessage(w, WM_CREATE, 0, 0);
  // Every new window hears its first size and place: a control sized before its window existed lays out
  // its children here.
  if (!Valid(w)) return;
  SendMessage(w, WM_SIZE, static_cast<WPARAM>(w->ShowState),
              MAKELPARAM(w->Client.Width(), w->Client.Height()));
  if (!Valid(w)) return;
  SendMessage(w, WM_MOVE, 0, MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
}

BOOL IsWindow(HWND Wnd) {
  return Valid(Wnd);
}

BOOL DestroyWindow(HWND w) {
  TSystem& s = Sys();
  if (!Valid(w) || w->Destroying) return 0;
  // A handler that runs meanwhile (the activation that hiding passes on) cannot destroy the window twice.
  w->Destroying = true;
  if (w->Style & WS_VISIBLE) ShowWindow(w, SW_HIDE);
  if (!Valid(w)) return 1;
  if (w->Parent && w->Parent->ActiveChild == w) w->Parent->ActiveChild = nullptr;
  // The window hears WM_DESTROY while its children are still there; they go after it (also any that a
  // handler made meanwhile), and WM_NCDESTROY ends it.
  SendMessage(w, WM_DESTROY, 0, 0);
  for (;;) {
    std::vector<HWND> children;
    for (HWND c : w->Children)
      if (!c->Destroying) children.push_back(c);
    if (children.empty()) break;
    for (HWND c : children) DestroyWindow(c);
  }
  if (s.Capture == w) {
    s.Capture = nullptr;
    s.ImplicitCapture = false;
  }
  if (s.Focus == w) s.Focus = nullptr;
  if (s.Active == w) s.Active = nullptr;
  if (s.MoveSize.Wnd == w) s.MoveSize = {};
  std::erase_if(s.Timers, [w](const TTimer& t) { return t.Wnd == w; });
  SendMessage(w, WM_NCDESTROY, 0, 0);
  RemoveFromParentList(w);
  s.Windows.erase(w);
  delete w; // created by CreateWindowHandle
  return 1;
}

std::vector<HWND> TopLevelWindows() {
  return Sys().TopLevels;
}

void DestroyAllWindows() {
  while (!Sys().TopLevels.empty()) {
    HWND w = Sys().TopLevels.back();
    if (!DestroyWindow(w)) std::erase(Sys().TopLevels, w);
  }
}
