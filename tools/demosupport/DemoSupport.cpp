#include "tools/demosupport/DemoSupport.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "classlib/backend/Backend.h"
#include "classlib/controls/WinControl.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "classlib/graphics/RasterImage.h"

namespace demosupport {

namespace {

// Copies Src onto Dest at (X, Y) within Clip (Dest coordinates), leaving out pixels outside Shape.
void Blit(TSurface& Dest, const TSurface& Src, int X, int Y, const TRect& Clip, const TRegion* Shape) {
  const double scale = Src.Scale();
  for (int y = 0; y < Src.Height(); ++y) {
    const int dy = Y + y;
    if (dy < Clip.Top || dy >= Clip.Bottom || dy < 0 || dy >= Dest.Height()) continue;
    for (int x = 0; x < Src.Width(); ++x) {
      const int dx = X + x;
      if (dx < Clip.Left || dx >= Clip.Right || dx < 0 || dx >= Dest.Width()) continue;
      if (Shape && !Shape->Contains(LogicalOf(x, scale), LogicalOf(y, scale))) continue;
      Dest.Row(dy)[dx] = Src.Row(y)[x];
    }
  }
}

TRect DeviceRect(const TRect& R, double Scale) {
  return {DeviceEdge(R.Left, Scale), DeviceEdge(R.Top, Scale), DeviceEdge(R.Right, Scale),
          DeviceEdge(R.Bottom, Scale)};
}

// The window with its children, in device pixels. At is the window's place in its top-level window: a
// child's first device pixel is where its place there rounds to, as on the screen, not where its place in
// its parent does.
TSurface Compose(HWND W, TPoint At = {0, 0}) {
  TSurface out = W->Surface;
  const double scale = out.Scale();
  for (HWND c : W->Children) {
    if (!IsWindowVisible(c)) continue;
    const TPoint childAt{At.X + W->Client.Left + c->Rect.Left, At.Y + W->Client.Top + c->Rect.Top};
    const TSurface child = Compose(c, childAt);
    Blit(out, child, DeviceEdge(childAt.X, scale) - DeviceEdge(At.X, scale),
         DeviceEdge(childAt.Y, scale) - DeviceEdge(At.Y, scale), DeviceRect(W->Client, scale),
         c->Shape.get());
  }
  return out;
}

backend::MouseEvent Event(TControl* Control, int X, int Y, backend::MouseEvent::Kinds Kind, int Button,
                          unsigned Modifiers) {
  static unsigned held = 0;
  backend::MouseEvent e;
  e.Kind = Kind;
  e.Button = Button;
  e.Screen = Control->ClientToScreen({X, Y});
  e.Modifiers = Modifiers;
  const unsigned bit = Button ? 1u << (Button - 1) : 0;
  if (Kind == backend::MouseEvent::Press || Kind == backend::MouseEvent::DoubleClick) held |= bit;
  if (Kind == backend::MouseEvent::Release) held &= ~bit;
  e.Buttons = held;
  return e;
}

HWND TopWindow(TControl* Control) {
  TControl* c = Control;
  while (c->Parent()) c = c->Parent();
  auto* w = dynamic_cast<TWinControl*>(c);
  return w ? w->Handle() : nullptr;
}

int ButtonOf(TMouseButton b) {
  return b == mbLeft ? backend::LeftButton : b == mbRight ? backend::RightButton : backend::MiddleButton;
}

void Send(TControl* Control, int X, int Y, backend::MouseEvent::Kinds Kind, int Button, unsigned Modifiers) {
  InjectMouse(TopWindow(Control), Event(Control, X, Y, Kind, Button, Modifiers));
  Pump();
}

} // namespace

TSurface Render(TControl* Control) {
  UpdateAllWindows();
  if (auto* w = dynamic_cast<TWinControl*>(Control)) return Compose(w->Handle());
  TWinControl* parent = Control->Parent();
  if (!parent) return TSurface();
  const TSurface whole = Compose(parent->Handle());
  const double scale = whole.Scale();
  HWND h = parent->Handle();
  const TRect at = DeviceRect(Bounds(h->Client.Left + Control->Left(), h->Client.Top + Control->Top(),
                                     Control->Width(), Control->Height()),
                              scale);
  TSurface out(at.Width(), at.Height());
  Blit(out, whole, -at.Left, -at.Top, {0, 0, out.Width(), out.Height()}, nullptr);
  return out;
}

TColor PixelAt(const TSurface& Surface, int X, int Y) {
  const uint32_t p = Surface.Pixel(X, Y);
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

AnsiString OutputPath(const AnsiString& Name) {
  const char* dir = std::getenv("QUENDREL_TEST_OUTPUT");
  std::filesystem::path p = dir && *dir ? std::filesystem::path(dir) : std::filesystem::current_path();
  std::filesystem::create_directories(p);
  return (p / Name).string();
}

AnsiString SavePng(const TSurface& Surface, const AnsiString& Name) {
  const AnsiString path = OutputPath(Name);
  backend::SavePng(path, Surface.Bits(), Surface.Width(), Surface.Height(), Surface.Stride() * 4);
  return path;
}

AnsiString RenderToPng(TControl* Control, const AnsiString& Name) {
  return SavePng(Render(Control), Name);
}

TSurface PhotographDesktop(const AnsiString& Name) {
  const AnsiString path = OutputPath(Name);
  const std::string command = "import -window root '" + std::string(path.c_str()) + "'";
  if (std::system(command.c_str()) != 0) return TSurface();
  TRasterImage picture;
  try {
    picture.LoadFromFile(path);
  } catch (const Exception&) {
    return TSurface();
  }
  return picture.Surface();
}

void MouseMove(TControl* Control, int X, int Y, unsigned Modifiers) {
  Send(Control, X, Y, backend::MouseEvent::Move, backend::NoButton, Modifiers);
}

void MouseDown(TControl* Control, int X, int Y, TMouseButton Button, unsigned Modifiers) {
  Send(Control, X, Y, backend::MouseEvent::Press, ButtonOf(Button), Modifiers);
}

void MouseUp(TControl* Control, int X, int Y, TMouseButton Button, unsigned Modifiers) {
  Send(Control, X, Y, backend::MouseEvent::Release, ButtonOf(Button), Modifiers);
}

void Click(TControl* Control, int X, int Y, TMouseButton Button) {
  MouseMove(Control, X, Y);
  MouseDown(Control, X, Y, Button);
  MouseUp(Control, X, Y, Button);
}

void DoubleClick(TControl* Control, int X, int Y) {
  MouseMove(Control, X, Y);
  MouseDown(Control, X, Y);
  MouseUp(Control, X, Y);
  Send(Control, X, Y, backend::MouseEvent::DoubleClick, backend::LeftButton, 0);
  MouseUp(Control, X, Y);
}

void KeyDown(WORD Key, unsigned Modifiers, const AnsiString& Text) {
  backend::KeyEvent e;
  e.Down = true;
  e.VirtualKey = Key;
  e.Modifiers = Modifiers;
  e.Text = Text;
  InjectKey(e);
  Pump();
}

void KeyUp(WORD Key, unsigned Modifiers) {
  backend::KeyEvent e;
  e.Down = false;
  e.VirtualKey = Key;
  e.Modifiers = Modifiers;
  InjectKey(e);
  Pump();
}

namespace {
// A user lets go of the modifier keys after a chord; left down, they would reach the next test through the
// keyboard state (GetKeyState).
void QueueModifiersUp(unsigned Modifiers) {
  for (const auto& [modifier, key] :
       {std::pair{backend::ModAlt, VK_MENU}, std::pair{backend::ModControl, VK_CONTROL},
        std::pair{backend::ModShift, VK_SHIFT}}) {
    if (!(Modifiers & modifier)) continue;
    Modifiers &= ~static_cast<unsigned>(modifier);
    backend::KeyEvent e;
    e.Down = false;
    e.VirtualKey = static_cast<WORD>(key);
    e.Modifiers = Modifiers;
    InjectKey(e);
  }
}
} // namespace

void PressKey(WORD Key, unsigned Modifiers, const AnsiString& Text) {
  KeyDown(Key, Modifiers, Text);
  KeyUp(Key, Modifiers);
  if (Modifiers == 0) return;
  QueueModifiersUp(Modifiers);
  Pump();
}

void QueueKey(WORD Key, unsigned Modifiers) {
  backend::KeyEvent e;
  e.VirtualKey = Key;
  e.Modifiers = Modifiers;
  e.Down = true;
  InjectKey(e);
  e.Down = false;
  InjectKey(e);
  QueueModifiersUp(Modifiers);
}

void QueueKeyEvent(WORD Key, unsigned Modifiers, bool Down) {
  backend::KeyEvent e;
  e.VirtualKey = Key;
  e.Modifiers = Modifiers;
  e.Down = Down;
  InjectKey(e);
}

void QueueMouse(TControl* Control, TPoint Screen, TMouseButton Button, bool Down) {
  const TPoint client = Control->ScreenToClient(Screen);
  InjectMouse(TopWindow(Control),
              Event(Control, client.X, client.Y,
                    Down ? backend::MouseEvent::Press : backend::MouseEvent::Release, ButtonOf(Button), 0));
}

void QueueMouseMove(TControl* Control, TPoint Screen) {
  const TPoint client = Control->ScreenToClient(Screen);
  InjectMouse(TopWindow(Control),
              Event(Control, client.X, client.Y, backend::MouseEvent::Move, backend::NoButton, 0));
}

void Type(const AnsiString& Text) {
  for (char ch : Text) {
    const unsigned char u = static_cast<unsigned char>(ch);
    WORD key = 0;
    unsigned mods = 0;
    if (u >= 'a' && u <= 'z')
      key = static_cast<WORD>(u - 'a' + 'A');
    else if (u >= 'A' && u <= 'Z') {
      key = u;
      mods = backend::ModShift;
    } else if (u >= '0' && u <= '9')
      key = u;
    else if (u == ' ')
      key = VK_SPACE;
    else if (u == '\r' || u == '\n')
      key = VK_RETURN;
    PressKey(key, mods, AnsiString(1, ch));
  }
}

void Pump() {
  Application->ProcessMessages();
  Application->ProcessMessages();
}

} // namespace demosupport
