#pragma once
// TCppWebBrowser: a control that shows one web page. Navigate fetches the page over HTTP and lays its HTML
// out inside the control; OnDocumentComplete fires once the page has arrived and shows. A page that cannot
// be fetched (no network, an error status, too large) leaves the control empty and fires nothing, so that
// no error page ever appears where the page was meant to be. Refresh fetches the current address again.
#include <memory>

#include "classlib/controls/CustomControl.h"

class TBitmap;

using TWebDocumentCompleteEvent = TEvent<void(TObject* Sender, TObject* pDisp, const AnsiString& URL)>;

class TCppWebBrowser : public TCustomControl {
  QUENDREL_CLASS(TCppWebBrowser, TCustomControl)
 public:
  explicit TCppWebBrowser(TComponent* AOwner);
  ~TCppWebBrowser() override;

  // Forgets the page shown and starts fetching URL; a fetch still running is dropped.
  void Navigate(const AnsiString& URL);
  // Fetches the current address again (also after a failed fetch); nothing without one.
  void Refresh();
  // Stops a fetch in progress; the page shown stays.
  void Stop();

  const AnsiString& LocationURL() const { return FURL; }
  bool Busy() const { return FRequest != 0; }
  // The page's text as it arrived; empty while none is shown.
  const AnsiString& DocumentSource() const { return FSource; }

  // Pages larger than this are refused.
  static constexpr size_t MaxPageBytes = 1 << 20;
  static constexpr int TimeoutMs = 20000;

  TWebDocumentCompleteEvent OnDocumentComplete;

  void Paint() override;
  void WndProc(TMessage& Message) override;

 private:
  void Fetch();
  void PageArrived(bool Ok, const AnsiString& Body);

  AnsiString FURL;
  AnsiString FSource;
  bool FHasPage = false;
  unsigned FRequest = 0;
  std::unique_ptr<TBitmap> FRendered; // the page laid out at the control's size
  bool FPendingOk = false;            // the last fetch's outcome, until the loop hands it over
  AnsiString FPendingBody;
};
