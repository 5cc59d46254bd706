#include "classlib/controls/CppWebBrowser.h"

#include "classlib/backend/Web.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Bitmap.h"

namespace {
// Posted to the control itself, so that the page is shown and announced from the message loop.
constexpr UINT WM_PAGEARRIVED = WM_USER + 0x2A1;
constexpr UINT WM_PAGELAIDOUT = WM_USER + 0x2A2;
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
  DropLayout();
}

void TCppWebBrowser::SetDeadlines(int FetchMs, int LayoutMs) {
  FFetchDeadlineMs = FetchMs;
  FLayoutDeadlineMs = LayoutMs;
}

void TCppWebBrowser::Navigate(const AnsiString& URL) {
  DropLayout();
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
  // An outcome already handed over but not yet taken from the loop is dropped too.
  FFetchPending = false;
  FFetchedBody.clear();
  if (FLayoutIsNewPage) DropLayout();
}

void TCppWebBrowser::DropLayout() {
  if (FLayout) backend::CancelLayout(FLayout);
  FLayout = 0;
  FLayoutPage.clear();
  FLaidOutPicture.reset();
}

void TCppWebBrowser::Fetch() {
  Stop();
  FRequest =
      backend::HttpGet(FURL, MaxPageBytes, TimeoutMs, FFetchDeadlineMs, [this](backend::HttpReply& Reply) {
        FRequest = 0;
        FFetchPending = true;
        FFetched = Reply.Ok;
        FFetchedBody = std::move(Reply.Body);
        PostMessage(Handle(), WM_PAGEARRIVED, 0, 0);
      });
}

void TCppWebBrowser::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PAGEARRIVED) {
    if (!FFetchPending) return; // dropped, or a newer fetch started after this one ended
    FFetchPending = false;
    AnsiString body = std::move(FFetchedBody);
    FFetchedBody.clear();
    PageArrived(FFetched, std::move(body));
  } else if (Message.Msg == WM_PAGELAIDOUT) {
    if (FLayout || !FLaidOutPicture) return; // a newer layout started after this one ended
    const std::unique_ptr<TSurface> picture = std::move(FLaidOutPicture);
    PageLaidOut(FLaidOut, *picture);
  } else {
    inherited::WndProc(Message);
  }
}

void TCppWebBrowser::PageArrived(bool Ok, AnsiString Body) {
  // A failed reload keeps the page that was shown; a failed first load shows nothing.
  if (Ok) LayOut(std::move(Body), true);
}

void TCppWebBrowser::LayOut(AnsiString Page, bool NewPage) {
  DropLayout();
  const TRect client = ClientRect();
  FLayoutPage = std::move(Page);
  FLayoutIsNewPage = NewPage;
  FLayoutSize = {client.Width(), client.Height()};
  FLayout = backend::LayoutPage(FLayoutPage, client.Width(), client.Height(), ColorToPixel(Color()),
                                FLayoutDeadlineMs, [this](bool Ok, backend::TPixelImage& Picture) {
                                  FLayout = 0;
                                  FLaidOut = Ok;
                                  FLaidOutPicture = std::make_unique<TSurface>(std::move(Picture));
                                  PostMessage(Handle(), WM_PAGELAIDOUT, 0, 0);
                                });
}

void TCppWebBrowser::PageLaidOut(bool Ok, TSurface& Picture) {
  AnsiString page = std::move(FLayoutPage);
  FLayoutPage.clear();
  // A page that missed its deadline is treated as one that never came; the shown one stays.
  if (!Ok) return;
  FRendered = std::make_unique<TBitmap>();
  FRendered->SetSize(Picture.Width(), Picture.Height());
  FRendered->Surface() = std::move(Picture);
  Invalidate();
  if (!FLayoutIsNewPage) return;
  FSource = std::move(page);
  FHasPage = true;
  if (OnDocumentComplete) OnDocumentComplete(this, this, FURL);
}

void TCppWebBrowser::Paint() {
  const TRect client = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  if (!FHasPage || !FRendered) {
    Canvas()->FillRect(client);
    return;
  }
  // At a new size the page is laid out again off this thread; until then the old picture stands in.
  Canvas()->Draw(0, 0, FRendered.get());
  if (FRendered->Width() < client.Width())
    Canvas()->FillRect(TRect(FRendered->Width(), 0, client.Right, client.Bottom));
  if (FRendered->Height() < client.Height())
    Canvas()->FillRect(TRect(0, FRendered->Height(), client.Right, client.Bottom));
  const TPoint size{client.Width(), client.Height()};
  if (!FLayout && size != TPoint{FRendered->Width(), FRendered->Height()} && size != FLayoutSize)
    LayOut(FSource, false);
}
