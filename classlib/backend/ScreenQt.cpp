// Screens and the cursor.
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "classlib/backend/Backend.h"

namespace backend {

namespace {
TRect ToRect(const QRect& r) {
  return Bounds(r.x(), r.y(), r.width(), r.height());
}
} // namespace

std::vector<ScreenInfo> Screens() {
  Initialize();
  std::vector<ScreenInfo> result;
  for (QScreen* s : QGuiApplication::screens())
    result.push_back({ToRect(s->geometry()), ToRect(s->availableGeometry())});
  if (result.empty()) result.push_back({Bounds(0, 0, 800, 600), Bounds(0, 0, 800, 600)});
  return result;
}

TPoint CursorPos() {
  Initialize();
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void SetCursorPos(TPoint p) {
  Initialize();
  QCursor::setPos(p.X, p.Y);
}

} // namespace backend
