#pragma once
// The window side of the desktop backend: native windows that show our own pixel surfaces, the event loop,
// screens, the cursor and the desktop's browser. This header is free of the toolkit; only the backend's .cpp
// files see it. The class library's windows (classlib/controls) are the only users.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/core/Types.h"

namespace backend {

// The largest a native window is made either way: beyond any screen. A window's pixel surface is bounded by
// it too (classlib/controls/WindowHandle.h), so that a window sized at the ends of int takes no more.
constexpr int MaxWindowExtent = 16384;

enum Modifier : unsigned { ModShift = 1, ModControl = 2, ModAlt = 4 };
enum MouseButton : int { NoButton = 0, LeftButton = 1, RightButton = 2, MiddleButton = 3 };

struct MouseEvent {
  enum Kinds { Move, Press, Release, DoubleClick, Wheel, Leave };
  Kinds Kind = Move;
  int Button = NoButton;
  TPoint Screen;        // global position
  unsigned Buttons = 0; // buttons held, as bits 1 << (Button - 1)
  unsigned Modifiers = 0;
  int WheelDelta = 0; // multiples of 120 per notch
};

struct KeyEvent {
  bool Down = true;
  int VirtualKey = 0; // system key code (VK_*), 0 when the key has none
  std::string Text;   // the character typed, in the 8-bit code page; empty for none
  unsigned Modifiers = 0;
  bool AutoRepeat = false;
};

// What a native window reports. All callbacks run on the user-interface thread, from ProcessEvents.
class WindowClient {
 public:
  virtual ~WindowClient() = default;
  virtual void MouseInput(const MouseEvent& event) = 0;
  virtual void KeyInput(const KeyEvent& event) = 0;
  virtual void CloseRequested() = 0;
  virtual void ActivationChanged(bool active) = 0;
  // The desktop moved or resized the window itself (system move or resize, maximize by the window manager).
  virtual void GeometryChanged(const TRect& screenRect) = 0;
  virtual void Exposed() = 0;
  // The window's device pixel ratio changed (it moved to another screen, or the screen's scale changed).
  virtual void ScaleChanged() {}
};

class Window; // opaque

enum class Edge : unsigned { Left = 1, Top = 2, Right = 4, Bottom = 8 };

// A top-level window (parent null: frameless) or a child window covering `rect` of its parent's client area.
// Child windows show only within their parent's client area; destroying a window destroys its children.
Window* CreateWindow(WindowClient* client, Window* parent, const TRect& rect);
void DestroyWindow(Window* window);
// Moves the window, with its children, under another parent (null: top-level) at `rect`.
void Reparent(Window* window, Window* parent, const TRect& rect);
// The screen rectangle of a top-level window; a child's within its parent's client area.
void SetGeometry(Window* window, const TRect& rect);
// The part of the window (window coordinates) that its children show in.
void SetClientArea(Window* window, const TRect& rect);
void SetVisible(Window* window, bool visible);
void SetTitle(Window* window, const std::string& title);
// The pixels a window shows: 0x00RRGGBB words, `stride` bytes a row, `scale` device pixels to a logical one
// (the window's DevicePixelRatio when they were drawn). The buffer stays ours and must live until it is
// replaced or the window is destroyed.
void SetSurface(Window* window, const uint32_t* pixels, int width, int height, int stride,
                double scale = 1.0);
// How many device pixels the screen shows a window's logical pixel with: from the desktop's scale, which
// QT_SCALE_FACTOR overrides. A child window has its top-level window's.
double DevicePixelRatio(Window* window);
// Shows what changed in the surface, within `rect` (window coordinates).
void Present(Window* window, const TRect& rect);
// The window's shape as a union of rectangles; an empty list gives back the whole rectangle.
void SetShape(Window* window, const std::vector<TRect>& rects);
void Raise(Window* window);
void Activate(Window* window);
void ShowMinimized(Window* window);
void ShowNormal(Window* window);
void SetTopmost(Window* window, bool topmost);
// Delivers a press and release of a printable character to the window as the desktop's keyboard does (tests).
void SendNativeCharacter(Window* window, char32_t character);
// Hands a left-button drag to the desktop's own window moving or sizing; false when the desktop cannot.
bool StartSystemMove(Window* window);
bool StartSystemResize(Window* window, unsigned edges);
void SetCursorShape(Window* window, int cursor); // a TCursor value

// The application.
void Initialize();
bool IsOffscreen();
// Runs Hook when the program ends, before any of the toolkit's statics go (hooks run last registered first),
// so that the windows still open can be destroyed while their toolkit exists. Callers need not free their
// windows before returning from main. Hooks run on the toolkit's thread, also when a worker calls exit().
void AtShutdown(std::function<void()> Hook);
// Handles pending native events; waits up to `waitMs` for one when none is pending (0: do not wait).
void ProcessEvents(int waitMs);
// Thread-safe: ends a wait in ProcessEvents.
void Wake();
// Opens an address with the desktop's browser; false when nothing could take it.
bool OpenUrl(const std::string& url);
void Beep();

// Screens.
struct ScreenInfo {
  TRect Bounds;
  TRect WorkArea;
};
std::vector<ScreenInfo> Screens();
TPoint CursorPos();
void SetCursorPos(TPoint p);
unsigned DoubleClickTime();

// Asks the user for a file to open; false when cancelled. Filter: "Text|*.txt|All|*.*".
bool OpenFileDialog(const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                    std::string& FileName);
// Asks the user for a file to write, which need not exist; false when cancelled. DefaultExt (without the
// dot) is added to a name typed without one.
bool SaveFileDialog(const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                    const std::string& DefaultExt, std::string& FileName);

// Saves 0x00RRGGBB pixels as a PNG file; false on failure.
bool SavePng(const std::string& fileName, const uint32_t* pixels, int width, int height, int stride);

} // namespace backend
