// HTTP through the toolkit's network module, HTML through its rich-text document.
#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPointer>
#include <QStringDecoder>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "classlib/backend/Backend.h"
#include "classlib/backend/Web.h"
#include "classlib/core/SafeHtml.h"

namespace backend {

namespace {

constexpr int MaxRedirects = 5;

struct TRequest {
  QNetworkReply* Reply = nullptr;
  HttpDone Done;
  std::string Body;
  size_t MaxBytes = 0;
  std::string Error; // set when we ended the transfer ourselves
};

std::map<unsigned, TRequest> Requests;
unsigned NextId = 1;
size_t LiveReplies = 0;

QNetworkAccessManager* Manager() {
  static QNetworkAccessManager* manager = nullptr;
  if (!manager) {
    Initialize();
    manager = new QNetworkAccessManager(QCoreApplication::instance()); // freed with the application object
  }
  return manager;
}

// Frees a reply once the signal it may be in has returned. Not deleteLater: the loop never runs the
// toolkit's own event loop, whose return is what frees those.
void FreeLater(QNetworkReply* Reply) {
  QMetaObject::invokeMethod(
      Manager(), [reply = QPointer<QNetworkReply>(Reply)] { delete reply.data(); }, Qt::QueuedConnection);
}

void Finish(unsigned id, HttpReply reply) {
  auto it = Requests.find(id);
  if (it == Requests.end()) return;
  HttpDone done = std::move(it->second.Done);
  if (it->second.Reply) FreeLater(it->second.Reply);
  Requests.erase(it);
  if (done) done(reply);
}

void Abort(unsigned id, const std::string& why) {
  auto it = Requests.find(id);
  if (it == Requests.end() || !it->second.Error.empty()) return;
  it->second.Error = why;
  // A reply that has failed already must not be failed twice; its finished signal is on the way.
  if (it->second.Reply->error() == QNetworkReply::NoError) it->second.Reply->abort();
}

void ReadAvailable(unsigned id) {
  auto it = Requests.find(id);
  if (it == Requests.end()) return;
  TRequest& r = it->second;
  if (!r.Error.empty()) return;
  const QByteArray chunk = r.Reply->readAll();
  if (r.Body.size() + static_cast<size_t>(chunk.size()) > r.MaxBytes) {
    Abort(id, "The page is larger than " + std::to_string(r.MaxBytes) + " bytes.");
    return;
  }
  r.Body.append(chunk.constData(), static_cast<size_t>(chunk.size()));
}

void Finished(unsigned id) {
  auto it = Requests.find(id);
  if (it == Requests.end()) return;
  ReadAvailable(id);
  it = Requests.find(id);
  if (it == Requests.end()) return;
  TRequest& r = it->second;
  HttpReply reply;
  reply.Status = r.Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (!r.Error.empty())
    reply.Error = r.Error;
  else if (r.Reply->error() != QNetworkReply::NoError)
    reply.Error = r.Reply->errorString().toStdString();
  else if (reply.Status < 200 || reply.Status > 299)
    reply.Error = "The server answered " + std::to_string(reply.Status) + ".";
  reply.Ok = reply.Error.empty();
  if (reply.Ok) reply.Body = std::move(r.Body);
  Finish(id, std::move(reply));
}

bool IsWebScheme(const QUrl& url) {
  return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

unsigned HttpGet(const std::string& Url, size_t MaxBytes, int SilenceMs, int DeadlineMs, HttpDone Done) {
  QNetworkAccessManager* manager = Manager();
  const unsigned id = NextId++;
  TRequest& r = Requests[id];
  r.Done = std::move(Done);
  r.MaxBytes = MaxBytes;

  const QUrl url(QString::fromUtf8(Url.c_str()), QUrl::StrictMode);
  if (!url.isValid() || !IsWebScheme(url) || url.host().isEmpty()) {
    // Reported from the loop like any other answer, never from inside this call.
    QTimer::singleShot(0, manager, [id, Url] {
      HttpReply reply;
      reply.Error = "Not a web address: " + Url;
      Finish(id, std::move(reply));
    });
    return id;
  }
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(MaxRedirects);
  request.setTransferTimeout(SilenceMs);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  r.Reply = manager->get(request);
  r.Reply->setReadBufferSize(64 * 1024);
  ++LiveReplies;
  QObject::connect(r.Reply, &QObject::destroyed, [] { --LiveReplies; });
  QObject::connect(r.Reply, &QNetworkReply::metaDataChanged, manager, [id] {
    auto it = Requests.find(id);
    if (it == Requests.end()) return;
    const QVariant length = it->second.Reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toULongLong() > it->second.MaxBytes)
      Abort(id, "The page is larger than " + std::to_string(it->second.MaxBytes) + " bytes.");
    else if (length.isValid())
      it->second.Body.reserve(length.toULongLong()); // one buffer, not a copy at every doubling
  });
  QObject::connect(r.Reply, &QNetworkReply::redirected, manager, [id](const QUrl& target) {
    if (!IsWebScheme(target)) Abort(id, "Redirected away from the web.");
  });
  QObject::connect(r.Reply, &QIODevice::readyRead, manager, [id] { ReadAvailable(id); });
  QObject::connect(r.Reply, &QNetworkReply::finished, manager, [id] { Finished(id); });
  // The silence limit alone lets a server that sends a byte now and then hold the fetch for ever.
  QTimer::singleShot(DeadlineMs, r.Reply, [id, DeadlineMs] {
    Abort(id, "The page took longer than " + std::to_string(DeadlineMs) + " ms.");
  });
  return id;
}

void CancelHttp(unsigned Id) {
  auto it = Requests.find(Id);
  if (it == Requests.end()) return;
  QNetworkReply* reply = it->second.Reply;
  Requests.erase(it);
  if (!reply) return;
  // What the reply still reports finds no request and is dropped. Its connection is closed now, so that
  // refreshes against a slow server do not pile connections up; a reply that has failed already is ending.
  if (!reply->isFinished() && reply->error() == QNetworkReply::NoError) reply->abort();
  FreeLater(reply);
}

size_t OpenHttpReplies() {
  return LiveReplies;
}

namespace {

// A document that never loads what the HTML names. A picture the loader does not give is read by the
// toolkit from the file system under its name, so every picture is given, blank; style sheets are empty.
class TSealedDocument : public QTextDocument {
 protected:
  QVariant loadResource(int Type, const QUrl&) override {
    if (Type == QTextDocument::ImageResource) {
      QImage blank(1, 1, QImage::Format_ARGB32);
      blank.fill(Qt::transparent);
      return blank;
    }
    return QString();
  }
};

std::string DecodePage(const std::string& Page) {
  const QByteArray bytes(Page.data(), static_cast<qsizetype>(Page.size()));
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  return QString(decoder.decode(bytes)).toStdString();
}

// ----- Pages laid out on a worker thread of their own, one at a time

struct TLayoutJob {
  unsigned Id = 0;
  std::string Page;
  int Width = 0;
  int Height = 0;
  uint32_t Background = 0;
};

struct TLayoutWorker {
  std::mutex Lock;
  std::condition_variable Wake;
  std::optional<TLayoutJob> Next; // a newer page takes the place of one not yet begun
  bool Stop = false;
  QThread* Thread = nullptr;
};

TLayoutWorker Worker;
std::map<unsigned, LayoutDone> Layouts; // user-interface thread only
unsigned NextLayoutId = 1;

void FinishLayout(unsigned Id, bool Ok, TPixelImage& Picture) {
  auto it = Layouts.find(Id);
  if (it == Layouts.end()) return;
  LayoutDone done = std::move(it->second);
  Layouts.erase(it);
  if (done) done(Ok, Picture);
}

void FailLayoutLater(unsigned Id) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [Id] {
        TPixelImage none;
        FinishLayout(Id, false, none);
      },
      Qt::QueuedConnection);
}

void LayOutPages() {
  for (;;) {
    TLayoutJob job;
    {
      std::unique_lock lock(Worker.Lock);
      Worker.Wake.wait(lock, [] { return Worker.Stop || Worker.Next; });
      if (Worker.Stop) return;
      job = std::move(*Worker.Next);
      Worker.Next.reset();
    }
    auto picture = std::make_shared<TPixelImage>();
    picture->Width = job.Width;
    picture->Height = job.Height;
    picture->Bits.assign(static_cast<size_t>(job.Width) * static_cast<size_t>(job.Height), job.Background);
    RenderPage(job.Page, picture->View(), job.Background);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [id = job.Id, picture] { FinishLayout(id, true, *picture); },
        Qt::QueuedConnection);
  }
}

void StartWorker() {
  if (Worker.Thread) return;
  Worker.Thread = QThread::create(LayOutPages);
  Worker.Thread->start();
  // The page being laid out is bounded by the reduction, so waiting for it at the end is short.
  AtShutdown([] {
    {
      std::lock_guard lock(Worker.Lock);
      Worker.Stop = true;
      Worker.Next.reset();
    }
    Worker.Wake.notify_all();
    Worker.Thread->wait();
    delete Worker.Thread;
    Worker.Thread = nullptr;
    Layouts.clear();
  });
}

} // namespace

unsigned LayoutPage(std::string Page, int Width, int Height, uint32_t Background, int DeadlineMs,
                    LayoutDone Done) {
  Initialize();
  StartWorker();
  const unsigned id = NextLayoutId++;
  Layouts[id] = std::move(Done);
  std::optional<TLayoutJob> dropped;
  {
    std::lock_guard lock(Worker.Lock);
    dropped = std::move(Worker.Next);
    Worker.Next = TLayoutJob{id, std::move(Page), std::max(0, Width), std::max(0, Height), Background};
  }
  Worker.Wake.notify_one();
  if (dropped) FailLayoutLater(dropped->Id);
  QTimer::singleShot(DeadlineMs, QCoreApplication::instance(), [id] {
    TPixelImage none;
    FinishLayout(id, false, none);
  });
  return id;
}

void CancelLayout(unsigned Id) {
  Layouts.erase(Id);
}

void RenderPage(const std::string& Page, const TPixelBuffer& Surface, uint32_t Background) {
  RenderHtml(SafeHtml::Reduce(DecodePage(Page)), Surface, Background);
}

void RenderHtml(const std::string& Html, const TPixelBuffer& Surface, uint32_t Background) {
  if (Surface.Empty()) return;
  for (int y = 0; y < Surface.Height; ++y)
    std::fill(Surface.Row(y), Surface.Row(y) + Surface.Width, Background & 0xFFFFFF);
  Initialize();
  TSealedDocument document;
  document.setDocumentMargin(2);
  document.setHtml(QString::fromUtf8(Html.data(), static_cast<qsizetype>(Html.size())));
  document.setTextWidth(Surface.Width);
  QImage image(reinterpret_cast<uchar*>(Surface.Bits), Surface.Width, Surface.Height,
               Surface.Stride * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(0, 0, Surface.Width, Surface.Height));
  }
  // The painter may leave alpha bits behind; surfaces keep the top byte zero.
  for (int y = 0; y < Surface.Height; ++y) {
    uint32_t* row = Surface.Row(y);
    for (int x = 0; x < Surface.Width; ++x) row[x] &= 0xFFFFFF;
  }
}

} // namespace backend
