// HTTP through the toolkit's network module, HTML through its rich-text document.
#include <QCoreApplication>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <map>

#include "classlib/backend/Backend.h"
#include "classlib/backend/Web.h"

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

QNetworkAccessManager* Manager() {
  static QNetworkAccessManager* manager = nullptr;
  if (!manager) {
    Initialize();
    manager = new QNetworkAccessManager(QCoreApplication::instance()); // freed with the application object
  }
  return manager;
}

void Finish(unsigned id, HttpReply reply) {
  auto it = Requests.find(id);
  if (it == Requests.end()) return;
  HttpDone done = std::move(it->second.Done);
  if (it->second.Reply) it->second.Reply->deleteLater();
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

unsigned HttpGet(const std::string& Url, size_t MaxBytes, int TimeoutMs, HttpDone Done) {
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
  request.setTransferTimeout(TimeoutMs);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  r.Reply = manager->get(request);
  r.Reply->setReadBufferSize(64 * 1024);
  QObject::connect(r.Reply, &QNetworkReply::metaDataChanged, manager, [id] {
    auto it = Requests.find(id);
    if (it == Requests.end()) return;
    const QVariant length = it->second.Reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toULongLong() > it->second.MaxBytes)
      Abort(id, "The page is larger than " + std::to_string(it->second.MaxBytes) + " bytes.");
  });
  QObject::connect(r.Reply, &QNetworkReply::redirected, manager, [id](const QUrl& target) {
    if (!IsWebScheme(target)) Abort(id, "Redirected away from the web.");
  });
  QObject::connect(r.Reply, &QIODevice::readyRead, manager, [id] { ReadAvailable(id); });
  QObject::connect(r.Reply, &QNetworkReply::finished, manager, [id] { Finished(id); });
  return id;
}

void CancelHttp(unsigned Id) {
  auto it = Requests.find(Id);
  if (it == Requests.end()) return;
  QNetworkReply* reply = it->second.Reply;
  Requests.erase(it);
  if (reply) {
    // Left to end on its own (its read buffer is small and its time bounded) and freed then: aborting a
    // reply whose failure is still on its way from the network thread would fail it twice.
    QObject::disconnect(reply, nullptr, nullptr, nullptr);
    if (reply->isFinished())
      reply->deleteLater();
    else
      QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
  }
}

namespace {

// A document that loads nothing it refers to: a page from the network never reads local files.
class TSealedDocument : public QTextDocument {
 protected:
  QVariant loadResource(int, const QUrl&) override { return {}; }
};

QString DecodeHtml(const std::string& Html) {
  const QByteArray bytes(Html.data(), static_cast<qsizetype>(Html.size()));
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  return decoder.decode(bytes);
}

} // namespace

void RenderHtml(const std::string& Html, TSurface& Surface, uint32_t Background) {
  Surface.Fill(Background);
  if (Surface.Empty()) return;
  Initialize();
  TSealedDocument document;
  document.setDocumentMargin(2);
  document.setHtml(DecodeHtml(Html));
  document.setTextWidth(Surface.Width());
  QImage image(reinterpret_cast<uchar*>(Surface.Bits()), Surface.Width(), Surface.Height(),
               Surface.Stride() * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
  {
    QPainter painter(&image);
    document.drawContents(&painter, QRectF(0, 0, Surface.Width(), Surface.Height()));
  }
  // The painter may leave alpha bits behind; surfaces keep the top byte zero.
  for (int y = 0; y < Surface.Height(); ++y) {
    uint32_t* row = Surface.Row(y);
    for (int x = 0; x < Surface.Width(); ++x) row[x] &= 0xFFFFFF;
  }
}

} // namespace backend
