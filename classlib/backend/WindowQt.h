#pragma once
// The native window behind backend::Window: a widget that shows one of our pixel surfaces and reports input.
// Only the backend's .cpp files include this header.
#include <QImage>
#include <QWidget>

#include "classlib/backend/Backend.h"

namespace backend {

class Window : public QWidget {
 public:
  Window(WindowClient* client, Window* parent);

  WindowClient* Client;
  QImage Surface;               // wraps our pixel buffer; no copy
  double SurfaceScale = 1.0;    // the surface's device pixels per logical pixel
  double KnownRatio = 0;        // the device pixel ratio last reported
  bool SettingGeometry = false; // geometry changes we make ourselves are not reported back
  QRect ClientRect;             // where the children show, once set
  bool HasClientRect = false;

  // The widget that child windows are children of: it covers the client area and clips them to it, and
  // shows the window's own pixels through.
  QWidget* ClientArea();
  bool ClientAreaMade() const { return FClientArea != nullptr; }
  // Top-level (frameless, takes the input) or child (input goes through to the top-level window).
  void Configure(bool child);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool event(QEvent* event) override;

 private:
  void Mouse(QMouseEvent* event, MouseEvent::Kinds kind);
  void Key(QKeyEvent* event, bool down);
  void CheckRatio();
  QWidget* FClientArea = nullptr;
};

// Translations between the toolkit's keys and ours (InputQt.cpp).
int VirtualKeyFromQt(int qtKey, unsigned modifiers);
unsigned ModifiersFromQt(Qt::KeyboardModifiers modifiers);

} // namespace backend
