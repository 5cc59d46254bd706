#pragma once
// The window system's own state and the helpers its files share. Only the window system's files
// (WindowHandle.cpp, MessageQueue.cpp, WindowInput.cpp, DefWindowProc.cpp, WindowPlacement.cpp,
// WindowPaint.cpp, WindowFocus.cpp, WindowTimers.cpp, WindowProc.cpp, MDIClient.cpp) include this header;
// everything else goes through WindowHandle.h.
#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "classlib/controls/WindowHandle.h"

namespace winsys {

// What waits in the queue: a posted message, or what the desktop reported, as it came. A report becomes a
// message, or the system's own work (activation, following the desktop's placement), only when taken, so that
// capture, focus and window moving decided by earlier messages apply to it and no handler runs inside the
// toolkit's event handler.
struct TQueued {
  enum TKind { Posted, RawMouse, RawKey, Activation, Geometry, Scale };
  TKind Kind = Posted;
  MSG Msg;            // Posted
  HWND Top = nullptr; // the top-level window the report came from
  backend::MouseEvent Mouse;
  backend::KeyEvent Key;
  bool Active = false; // Activation
  TRect Rect;          // Geometry: the screen rectangle the desktop gave the window
  TRect Before;        // Geometry: where the window was when the desktop reported
};

struct TMoveSize {
  HWND Wnd = nullptr;
  unsigned Edges = 0; // 0: moving
  TPoint Start;
  TRect StartRect;
};

struct TTimer {
  HWND Wnd;
  UINT ID;
  UINT Elapse;
  DWORD Due;
  std::function<void()> Proc;
  bool Posted = false; // a WM_TIMER waits in the queue; timers do not pile up
};

struct TSystem {
  std::unordered_set<HWND> Windows;
  std::vector<HWND> TopLevels; // bottom to top
  std::deque<TQueued> Queue;   // the user-interface thread's alone
  std::mutex InboxLock;
  std::deque<TQueued> Inbox;         // messages posted by other threads, guarded by InboxLock
  std::unordered_map<HDC, HWND> DCs; // contexts from GetDC and GetWindowDC
  HWND Capture = nullptr;
  bool ImplicitCapture = false;
  HWND Focus = nullptr;
  HWND Active = nullptr;
  TPoint Cursor;
  uint8_t Keys[256] = {};
  TMoveSize MoveSize;
  std::vector<TTimer> Timers;
  std::function<DWORD()> Clock;
  bool Quit = false;
  std::string PendingChar; // the character of the key-down being translated
  bool PendingSys = false;
};

TSystem& Sys();

inline TRect Inset(const TRect& r, const TRect& insets) {
  return {r.Left + insets.Left, r.Top + insets.Top, r.Right - insets.Right, r.Bottom - insets.Bottom};
}

inline TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

inline bool Valid(HWND w) {
  return w && Sys().Windows.count(w) != 0;
}

inline void MarkPresent(HWND w, const TRect& r) {
  w->PresentRect = UnionRect(w->PresentRect, r);
}

inline void InvalidateAll(HWND w) {
  w->NCInvalid = true;
  w->Update = {0, 0, w->Client.Width(), w->Client.Height()};
  w->Erase = true;
}

void RemoveFromParentList(HWND w);

// Input routing (WindowInput.cpp): raw input becomes a message for the window it concerns; false when it
// makes none. The move and size loop runs on raw mouse input.
bool RouteMouse(TQueued& q, MSG& out);
bool RouteKey(TQueued& q, MSG& out);
// The deepest visible, enabled window under a screen point, starting at `w`, within its shape.
HWND ChildAt(HWND w, TPoint screen);
void StartMoveSize(HWND w, unsigned edges);

// The procedure of a window made without a control or a procedure of its own: DefWindowProc (WindowProc.cpp).
WNDPROC DefaultProcedure();

// The desktop's reports (MessageQueue.cpp), queued and carried out when taken.
void QueueReport(TQueued q);
// Whether the calling thread is the user-interface thread (any thread until the application names one).
bool OnUserInterfaceThread();

// Timers (WindowTimers.cpp): due timers become queued WM_TIMER messages.
void DueTimers();
int NextTimerWait(); // milliseconds to the next due timer; -1 when none

// Painting (WindowPaint.cpp).
void PaintWindowTree(HWND w);
void PresentTree(HWND w);

// Activation (WindowFocus.cpp): the next top-level window takes over from one that leaves.
void ActivateNext(HWND leaving);

// Child frames: windows with a frame of their own inside another window (a captioned child, an MDI child).
// They move, size, minimize and maximize inside their parent, and each parent has one active child frame,
// whose caption shows active while its top-level window is active.
inline bool IsChildFrame(HWND w) {
  return w->Parent && ((w->ExStyle & WS_EX_MDICHILD) || (w->Style & WS_CAPTION) == WS_CAPTION);
}
// The window that system commands for `w` act on: the nearest child frame or top-level window from `w` up.
HWND FrameOf(HWND w);
// Whether w's frame shows as active.
bool FrameActive(HWND w);
// `child` becomes its parent's active child frame: WM_NCACTIVATE (and WM_MDIACTIVATE inside an MDI client)
// to the one that was and to it, it comes to the top, and takes the focus when its top-level window has it.
void ActivateChildFrame(HWND child, bool takeFocus = true);
// Every child frame that holds `w` becomes its parent's active one, the outermost first.
void ActivateChildFramesOf(HWND w, bool takeFocus);
// `w`, its parent's active child frame, hides or goes: the next visible child frame takes over.
void LeaveChildFrame(HWND w);
// A top-level window was activated or deactivated: the captions of its active child frames follow.
void ChildFramesFollowActivation(HWND top, bool active);
// Puts the minimized child frames of `parent` in a row along the bottom of its client area
// (WindowPlacement.cpp).
void ArrangeIconicWindows(HWND parent);

} // namespace winsys
