#include "classlib/backend/WindowQt.h"

#include "classlib/backend/PixelBuffer.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTransform>
#include <QWindow>

namespace backend {

namespace {

int ButtonOf(Qt::MouseButton b) {
  switch (b) {
  case Qt::LeftButton:
    return LeftButton;
  case Qt::RightButton:
    return RightButton;
  case Qt::MiddleButton:
    return MiddleButton;
  default:
    return NoButton;
  }
}

unsigned ButtonsOf(Qt::MouseButtons b) {
  unsigned r = 0;
  if (b & Qt::LeftButton) r |= 1u << (LeftButton - 1);
  if (b & Qt::RightButton) r |= 1u << (RightButton - 1);
  if (b & Qt::MiddleButton) r |= 1u << (MiddleButton - 1);
  return r;
}

// The toolkit keeps a rectangle's last pixel (left + width - 1), so edges at the ends of int are first
// brought within its reach; no native window is made larger than MaxWindowExtent either way.
constexpr int QtReach = 1 << 30;

QRect ToQRect(const TRect& r) {
  const auto within = [](int v) { return std::clamp(v, -QtReach, QtReach); };
  const int left = within(r.Left), top = within(r.Top);
  return QRect(left, top, std::min(within(r.Right) - left, MaxWindowExtent),
               std::min(within(r.Bottom) - top, MaxWindowExtent));
}

} // namespace

Window::Window(WindowClient* client, Window* parent)
    : QWidget(parent ? parent->ClientArea() : nullptr), Client(client) {
  Configure(parent != nullptr);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

void Window::Configure(bool child) {
  if (!child) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
  } else {
    // The top-level window takes every mouse and key event; the class library finds the target itself, as the
    // system does, so that capture, hit tests and graphic controls work the same for real and synthetic
    // input.
    setWindowFlags(Qt::Widget);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
}

QWidget* Window::ClientArea() {
  if (!FClientArea) {
    FClientArea = new QWidget(this); // freed with this widget
    FClientArea->setAttribute(Qt::WA_TransparentForMouseEvents);
    FClientArea->setAttribute(Qt::WA_NoSystemBackground);
    FClientArea->setFocusPolicy(Qt::NoFocus);
    FClientArea->setGeometry(HasClientRect ? ClientRect : rect());
    FClientArea->show();
  }
  return FClientArea;
}

void Window::paintEvent(QPaintEvent* event) {
  CheckRatio();
  if (Surface.isNull()) return;
  QPainter p(this);
  const QRect r = event->rect();
  if (SurfaceScale == 1.0) {
    p.drawImage(r, Surface, r);
    return;
  }
  // The surface holds device pixels, shown one for one. A child window at a fractional scale begins between
  // device pixels; its pixels start at the device pixel that edge rounds to, where the toolkit clips it and
  // where the class library puts it, so no row of the parent shows between them.
  const double s = SurfaceScale;
  const QPointF origin = p.deviceTransform().map(QPointF(0, 0));
  const QPointF snapped(std::floor(origin.x() + 0.5 + 1e-6), std::floor(origin.y() + 0.5 + 1e-6));
  p.setWorldTransform(
      QTransform(1 / s, 0, 0, 1 / s, (snapped.x() - origin.x()) / s, (snapped.y() - origin.y()) / s));
  const int left = DeviceEdge(r.left(), s), top = DeviceEdge(r.top(), s);
  const QRect device(left, top, DeviceEdge(int64_t{r.left()} + r.width(), s) - left,
                     DeviceEdge(int64_t{r.top()} + r.height(), s) - top);
  p.drawImage(device.topLeft(), Surface, device);
}

void Window::CheckRatio() {
  if (!isWindow() || !Client) return;
  const double ratio = devicePixelRatioF();
  if (ratio == KnownRatio) return;
  const bool first = KnownRatio == 0;
  KnownRatio = ratio;
  if (!first) Client->ScaleChanged();
}

void Window::Mouse(QMouseEvent* event, MouseEvent::Kinds kind) {
  MouseEvent e;
  e.Kind = kind;
  e.Button = ButtonOf(event->button());
  const QPointF g = event->globalPosition();
  e.Screen = {static_cast<int>(g.x()), static_cast<int>(g.y())};
  e.Buttons = ButtonsOf(event->buttons());
  e.Modifiers = ModifiersFromQt(event->modifiers());
  Client->MouseInput(e);
}

void Window::mousePressEvent(QMouseEvent* event) {
  Mouse(event, MouseEvent::Press);
}
void Window::mouseReleaseEvent(QMouseEvent* event) {
  Mouse(event, MouseEvent::Release);
}
void Window::mouseDoubleClickEvent(QMouseEvent* event) {
  Mouse(event, MouseEvent::DoubleClick);
}
void Window::mouseMoveEvent(QMouseEvent* event) {
  Mouse(event, MouseEvent::Move);
}

void Window::wheelEvent(QWheelEvent* event) {
  MouseEvent e;
  e.Kind = MouseEvent::Wheel;
  const QPointF g = event->globalPosition();
  e.Screen = {static_cast<int>(g.x()), static_cast<int>(g.y())};
  e.Buttons = ButtonsOf(event->buttons());
  e.Modifiers = ModifiersFromQt(event->modifiers());
  e.WheelDelta = event->angleDelta().y();
  Client->MouseInput(e);
}

void Window::leaveEvent(QEvent*) {
  MouseEvent e;
  e.Kind = MouseEvent::Leave;
  const QPoint g = QCursor::pos();
  e.Screen = {g.x(), g.y()};
  Client->MouseInput(e);
}

void Window::Key(QKeyEvent* event, bool down) {
  KeyEvent e;
  e.Down = down;
  e.Modifiers = ModifiersFromQt(event->modifiers());
  e.VirtualKey = VirtualKeyFromQt(event->key(), e.Modifiers);
  e.AutoRepeat = event->isAutoRepeat();
  if (down) {
    // The character typed, when the 8-bit code page has it; '?' is a character like any other.
    const QString text = event->text();
    if (!text.isEmpty() && text[0].unicode() < 256)
      e.Text = std::string(1, static_cast<char>(text[0].unicode()));
  }
  Client->KeyInput(e);
}

void Window::keyPressEvent(QKeyEvent* event) {
  Key(event, true);
}
void Window::keyReleaseEvent(QKeyEvent* event) {
  Key(event, false);
}

void Window::closeEvent(QCloseEvent* event) {
  // Closing is the class library's decision (OnCloseQuery, OnClose): ask it and keep the window.
  event->ignore();
  Client->CloseRequested();
}

void Window::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isWindow()) Client->ActivationChanged(isActiveWindow());
  QWidget::changeEvent(event);
}

void Window::moveEvent(QMoveEvent*) {
  if (isWindow() && !SettingGeometry) {
    const QRect g = geometry();
    Client->GeometryChanged(Bounds(g.x(), g.y(), g.width(), g.height()));
  }
}

void Window::resizeEvent(QResizeEvent*) {
  if (isWindow() && !SettingGeometry) {
    const QRect g = geometry();
    Client->GeometryChanged(Bounds(g.x(), g.y(), g.width(), g.height()));
  }
}

bool Window::focusNextPrevChild(bool) {
  return false;
} // Tab is ours

bool Window::event(QEvent* event) {
  if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show ||
      event->type() == QEvent::Resize)
    CheckRatio();
  if (event->type() == QEvent::Expose || event->type() == QEvent::Show) Client->Exposed();
  // Tab and Backtab must reach keyPressEvent.
  if (event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

Window* CreateWindow(WindowClient* client, Window* parent, const TRect& rect) {
  auto* w =
      new Window(client, parent); // parented widgets are freed with their parent; top-level by DestroyWindow
  w->SettingGeometry = true;
  w->setGeometry(ToQRect(rect));
  w->SettingGeometry = false;
  return w;
}

void DestroyWindow(Window* window) {
  if (!window) return;
  window->Client = nullptr;
  // Children of this widget go with it; the class library destroys children's handles first anyway.
  delete window;
}

void Reparent(Window* window, Window* parent, const TRect& rect) {
  const bool hidden = window->isHidden();
  window->setParent(parent ? parent->ClientArea() : nullptr);
  window->Configure(parent != nullptr);
  SetGeometry(window, rect);
  window->setVisible(!hidden);
}

void SetGeometry(Window* window, const TRect& rect) {
  window->SettingGeometry = true;
  window->setGeometry(ToQRect(rect));
  window->SettingGeometry = false;
}

void SetClientArea(Window* window, const TRect& rect) {
  window->ClientRect = ToQRect(rect);
  window->HasClientRect = true;
  if (window->ClientAreaMade())
    window->ClientArea()->setGeometry(window->ClientRect); // else made when needed
}

void SetVisible(Window* window, bool visible) {
  window->setVisible(visible);
}
void SetTitle(Window* window, const std::string& title) {
  window->setWindowTitle(QString::fromLatin1(title.c_str()));
}

void SetSurface(Window* window, const uint32_t* pixels, int width, int height, int stride, double scale) {
  window->SurfaceScale = scale > 0 ? scale : 1.0;
  if (!pixels || width <= 0 || height <= 0) {
    window->Surface = QImage();
    return;
  }
  window->Surface =
      QImage(reinterpret_cast<const uchar*>(pixels), width, height, stride, QImage::Format_RGB32);
}

double DevicePixelRatio(Window* window) {
  const double ratio = window->window()->devicePixelRatioF();
  if (window->isWindow() && window->KnownRatio == 0) window->KnownRatio = ratio;
  return ratio;
}

void Present(Window* window, const TRect& rect) {
  if (window->isVisible()) window->update(ToQRect(rect));
}

void SetShape(Window* window, const std::vector<TRect>& rects) {
  if (rects.empty()) {
    window->clearMask();
    return;
  }
  QRegion region;
  for (const TRect& r : rects) region += ToQRect(r);
  window->setMask(region);
}

// The offscreen platform has no stacking nor activation; the class library keeps both itself.
void Raise(Window* window) {
  if (!IsOffscreen()) window->raise();
}

void Activate(Window* window) {
  if (window->isWindow() && !IsOffscreen()) window->activateWindow();
}

void ShowMinimized(Window* window) {
  window->showMinimized();
}
void ShowNormal(Window* window) {
  window->showNormal();
}

void SetTopmost(Window* window, bool topmost) {
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (visible) window->show();
}

void SendNativeCharacter(Window* window, char32_t character) {
  const QString text = QString::fromUcs4(&character, 1);
  const int key = static_cast<int>(QChar::toUpper(character));
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(window, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(window, &release);
}

bool StartSystemMove(Window* window) {
  QWindow* handle = window->window()->windowHandle();
  return handle && handle->startSystemMove();
}

bool StartSystemResize(Window* window, unsigned edges) {
  QWindow* handle = window->window()->windowHandle();
  if (!handle) return false;
  Qt::Edges e;
  if (edges & static_cast<unsigned>(Edge::Left)) e |= Qt::LeftEdge;
  if (edges & static_cast<unsigned>(Edge::Top)) e |= Qt::TopEdge;
  if (edges & static_cast<unsigned>(Edge::Right)) e |= Qt::RightEdge;
  if (edges & static_cast<unsigned>(Edge::Bottom)) e |= Qt::BottomEdge;
  return handle->startSystemResize(e);
}

void SetCursorShape(Window* window, int cursor) {
  Qt::CursorShape shape = Qt::ArrowCursor;
  switch (cursor) {
  case -3:
    shape = Qt::CrossCursor;
    break; // crCross
  case -4:
    shape = Qt::IBeamCursor;
    break; // crIBeam
  case -6:
    shape = Qt::SizeBDiagCursor;
    break; // crSizeNESW
  case -7:
    shape = Qt::SizeVerCursor;
    break; // crSizeNS
  case -8:
    shape = Qt::SizeFDiagCursor;
    break; // crSizeNWSE
  case -9:
    shape = Qt::SizeHorCursor;
    break; // crSizeWE
  case -11:
    shape = Qt::WaitCursor;
    break; // crHourGlass
  case -21:
    shape = Qt::PointingHandCursor;
    break; // crHandPoint
  case -1:
    shape = Qt::BlankCursor;
    break; // crNone
  case -22:
    shape = Qt::SizeAllCursor;
    break; // crSizeAll
  default:
    break;
  }
  window->setCursor(shape);
}

} // namespace backend
