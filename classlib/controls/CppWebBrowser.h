#pragma once
// TCppWebBrowser: a control that shows one web page. Navigate fetches the page over HTTP and lays its HTML
// out inside the control; OnDocumentComplete fires once the page has arrived and is laid out, ready to show.
// A page that cannot be fetched (no network, an error status, too large, too slow) or laid out in time leaves
// the control as it was and fires nothing, so that no error page ever appears where the page was meant to be.
// Refresh fetches the current address again.
//
// Whatever the page holds, the user-interface thread only hands bytes on: the page is reduced to a safe part
// of HTML and laid out on a worker thread (classlib/backend/Web.h), never loads a picture, style sheet or
// file it names, and one fetch runs at a time, within a deadline.
#include <memory>

#include "classlib/controls/CustomControl.h"

class TBitmap;
class TSurface;

using TWebDocumentCompleteEvent = TEvent<void(TObject* Sender, TObject* pDisp, const AnsiString& URL)>;

class TCppWebBrowser : public TCustomControl {
  QUENDREL_CLASS(TCppWebBrowser, TCustomControl)
 public:
  explicit TCppWebBrowser(TComponent* AOwner);
  ~TCppWebBrowser() override;

  // Forgets the page shown and starts fetching URL; a fetch still running is dropped.
  void Navigate(const AnsiString& URL);
  // Fetches the current address again (also after a failed fetch), dropping a fetch still running; nothing
  // without an address.
  void Refresh();
  // Stops a fetch or layout in progress; the page shown stays.
  void Stop();

  const AnsiString& LocationURL() const { return FURL; }
  // A page is being fetched or laid out, or has been and waits to be taken from the loop.
  bool Busy() const {
    return FRequest != 0 || FFetchPending || (FLayoutIsNewPage && (FLayout != 0 || FLaidOutPicture));
  }
  // The page's text as it arrived; empty while none is shown.
  const AnsiString& DocumentSource() const { return FSource; }

  // Pages larger than this are refused.
  static constexpr size_t MaxPageBytes = 1 << 20;
  // A fetch fails after this long without a byte, and after FetchDeadlineMs however the bytes come.
  static constexpr int TimeoutMs = 20000;
  static constexpr int FetchDeadlineMs = 30000;
  // A page not laid out within this long is not shown.
  static constexpr int LayoutDeadlineMs = 5000;
  // Shorter deadlines, for tests that cannot wait for the real ones.
  void SetDeadlines(int FetchMs, int LayoutMs);

  TWebDocumentCompleteEvent OnDocumentComplete;

  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  void Fetch();
  void PageArrived(bool Ok, AnsiString Body);
  // Lays Page out at the control's size; NewPage: a page that arrived, else the shown one at a new size.
  void LayOut(AnsiString Page, bool NewPage);
  void PageLaidOut(bool Ok, TSurface& Picture);
  // Forgets the layout under way and any outcome of it not yet taken.
  void DropLayout();

  AnsiString FURL;
  AnsiString FSource;
  bool FHasPage = false;
  unsigned FRequest = 0;
  unsigned FLayout = 0;
  bool FLayoutIsNewPage = false;
  AnsiString FLayoutPage; // the page being laid out
  TPoint FLayoutSize;     // the size last asked for, so that a size the page missed is not tried again
  int FFetchDeadlineMs = FetchDeadlineMs;
  int FLayoutDeadlineMs = LayoutDeadlineMs;
  std::unique_ptr<TBitmap> FRendered; // the page laid out
  // The last fetch's and layout's outcomes, until the loop hands them over.
  bool FFetchPending = false;
  bool FFetched = false;
  AnsiString FFetchedBody;
  bool FLaidOut = false;
  std::unique_ptr<TSurface> FLaidOutPicture;
};
