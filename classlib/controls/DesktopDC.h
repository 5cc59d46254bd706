#pragma once
// The desktop window and its window context. What is drawn on the desktop's context lands on the windows
// that show at those screen coordinates, as on a real screen: the context starts with a picture of the
// visible windows, and whatever pixels a drawing changed are written back, when the context is released,
// into the window (or child window) that shows at each one.
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Surface.h"

// The desktop window: it has no control and no pixels of its own, and covers every monitor.
HWND DesktopWindow();
bool IsDesktopWindow(HWND Wnd);
// A context on the desktop (GetWindowDC and GetDC of the desktop window answer it); ReleaseDesktopDC writes
// the drawing back and frees it, answering false for a context that is not the desktop's.
HDC GetDesktopDC();
bool ReleaseDesktopDC(HDC DC);
bool IsDesktopDC(HDC DC);
// The visible windows composed as the screen shows them, over a rectangle of screen coordinates.
TSurface ComposeScreen(const TRect& ScreenRect);
