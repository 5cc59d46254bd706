#include "classlib/controls/CppWebBrowser.h"

#include "classlib/backend/Web.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Bitmap.h"

namespace {
// Posted to the control itself, so that the page is shown and announced from the message loop.
constexpr UINT WM_PAGEARRIVED = WM_USER + 0x2A1;
} // namespace

QUENDREL_REGISTER_CLASS(TCppWebBrowser, TCustomControl) {
  c.Creatable();
  c.Event("OnDocumentComplete", &TCppWebBrowser::OnDocumentComplete);
}

TCppWebBrowser::TCppWebBrowser(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 100;
  FHeight = 50;
  FColor = clWhite;
  FParentColor = false;
  ControlStyle.Include(csOpaque);
}

TCppWebBrowser::~TCppWebBrowser() {
  Stop();
}

void TCppWebBrowser::Navigate(const AnsiString& URL) {
  FURL = URL;
  FSource.clear();
  FHasPage = false;
  FRendered.reset();
  Invalidate();
  Fetch();
}

void TCppWebBrowser::Refresh() {
  if (!FURL.empty()) Fetch();
}

void TCppWebBrowser::Stop() {
  if (FRequest) backend::CancelHttp(FRequest);
  FRequest = 0;
}

void TCppWebBrowser::Fetch() {
  Stop();
  FRequest = backend::HttpGet(FURL, MaxPageBytes, TimeoutMs, [this](const backend::HttpReply& Reply) {
    FRequest = 0;
    FPendingOk = Reply.Ok;
    FPendingBody = Reply.Body;
    PostMessage(Handle(), WM_PAGEARRIVED, 0, 0);
  });
}

void TCppWebBrowser::WndProc(TMessage& Message) {
  if (Message.Msg != WM_PAGEARRIVED) {
    inherited::WndProc(Message);
    return;
  }
  if (FRequest) return; // a newer fetch started after this one ended
  const bool ok = FPendingOk;
  const AnsiString body = std::move(FPendingBody);
  FPendingBody.clear();
  PageArrived(ok, body);
}

void TCppWebBrowser::PageArrived(bool Ok, const AnsiString& Body) {
  // A failed reload keeps the page that was shown; a failed first load shows nothing.
  if (!Ok) return;
  FSource = Body;
  FHasPage = true;
  FRendered.reset();
  Invalidate();
  if (OnDocumentComplete) OnDocumentComplete(this, this, FURL);
}

void TCppWebBrowser::Paint() {
  const TRect client = ClientRect();
  if (!FHasPage || client.Width() <= 0 || client.Height() <= 0) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(client);
    return;
  }
  if (!FRendered || FRendered->Width() != client.Width() || FRendered->Height() != client.Height()) {
    FRendered = std::make_unique<TBitmap>();
    FRendered->SetSize(client.Width(), client.Height());
    backend::RenderHtml(FSource, FRendered->Surface(), ColorToPixel(Color()));
  }
  Canvas()->Draw(0, 0, FRendered.get());
}
