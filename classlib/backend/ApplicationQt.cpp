// The event loop, the desktop's browser and picture saving.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDesktopServices>
#include <QImage>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/core/Thread.h"
#include "classlib/core/ThreadState.h"

namespace backend {

namespace {

std::unique_ptr<QApplication> OwnApplication;
std::vector<std::function<void()>> ShutdownHooks;
QTimer* WaitTimer = nullptr; // bounds a wait in ProcessEvents
std::thread::id ToolkitThread;

void Shutdown() {
  // Windows belong to the toolkit's thread. exit() called elsewhere hands the hooks to it first (see
  // ExitOnMainThread); if that thread never took them, they cannot run soundly from here, and are dropped.
  while (std::this_thread::get_id() == ToolkitThread && !ShutdownHooks.empty()) {
    auto hook = std::move(ShutdownHooks.back());
    ShutdownHooks.pop_back();
    hook();
  }
  // The toolkit object stays to the very end: its destructor would run after some of the toolkit's own
  // statics are gone. The process is ending; the system takes the memory back.
  (void)OwnApplication.release();
}

} // namespace

void Initialize() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "quendrel";
  static char* argv[] = {name, nullptr};
  OwnApplication = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ToolkitThread = std::this_thread::get_id();
  // The hooks run when the toolkit's thread ends: at exit() (returning from main included) that comes before
  // every object with static storage and every atexit function, the toolkit's own among them, and before the
  // class library's per-thread state. The toolkit makes some of its statics only when first needed (the
  // first native window it destroys makes one that destroying any later window reads); an atexit function
  // registered when the toolkit starts runs after those are gone.
  AtThreadEnd(Shutdown);
  // exit() called on a worker of ours: the toolkit's thread runs the hooks before any static goes.
  ExitOnMainThread = Shutdown;
  std::atexit(Shutdown); // exit() called on any other thread; a second run finds no hooks left
}

void AtShutdown(std::function<void()> Hook) {
  ShutdownHooks.push_back(std::move(Hook));
}

bool IsOffscreen() {
  Initialize();
  return QGuiApplication::platformName() == QLatin1String("offscreen");
}

void ProcessEvents(int waitMs) {
  Initialize();
  QCoreApplication::sendPostedEvents();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (waitMs == 0 || !dispatcher) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  if (waitMs > 0) {
    if (!WaitTimer) {
      WaitTimer = new QTimer(QCoreApplication::instance());
      WaitTimer->setSingleShot(true);
      WaitTimer->setTimerType(Qt::PreciseTimer);
    }
    WaitTimer->start(waitMs);
  }
  dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  if (WaitTimer) WaitTimer->stop();
  QCoreApplication::sendPostedEvents();
}

void Wake() {
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(
          QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr))
    dispatcher->wakeUp();
}

bool OpenUrl(const std::string& url) {
  Initialize();
  return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromLatin1(url.c_str())));
}

void Beep() {
  QApplication::beep();
}

unsigned DoubleClickTime() {
  Initialize();
  return static_cast<unsigned>(QApplication::doubleClickInterval());
}

bool SavePng(const std::string& fileName, const uint32_t* pixels, int width, int height, int stride) {
  if (!pixels || width <= 0 || height <= 0) return false;
  const QImage image(reinterpret_cast<const uchar*>(pixels), width, height, stride, QImage::Format_RGB32);
  return image.save(QString::fromLocal8Bit(fileName.c_str()), "PNG");
}

} // namespace backend
