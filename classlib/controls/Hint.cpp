#include "classlib/controls/Hint.h"

#include <algorithm>

#include "classlib/controls/Application.h"
#include "classlib/controls/Screen.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(THintWindow, TCustomControl) {}

// ---------------------------------------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clInfoBk;
  FParentColor = false;
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const AnsiString& Hint) {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  RECT r{0, 0, MaxWidth, 0};
  DrawText(c->Handle(), Hint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // Room for the border and a margin around the text.
  return {0, 0, r.Right + 6, r.Bottom + 2};
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& Hint) {
  SetCaption(Hint);
  const TRect work = Screen->WorkAreaRect();
  const int w = Rect.Width(), h = Rect.Height();
  const int x = std::max(work.Left, std::min(Rect.Left, work.Right - w));
  const int y = std::max(work.Top, std::min(Rect.Top, work.Bottom - h));
  SetBounds(x, y, w, h);
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::Showing() const {
  return FHandle && IsWindowVisible(FHandle);
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  c->TextExtent(""); // selects the canvas's objects
  SetBkMode(c->Handle(), TRANSPARENT);
  SetTextColor(c->Handle(), ColorToRGB(Font()->Color()));
  RECT t{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
  DrawText(c->Handle(), Caption().c_str(), -1, &t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_VCENTER);
}

// ---------------------------------------------------------------------------------------------------------

AnsiString GetShortHint(const AnsiString& Hint) {
  const size_t bar = Hint.find('|');
  return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& Hint) {
  const size_t bar = Hint.find('|');
  return bar == AnsiString::npos ? Hint : Hint.substr(bar + 1);
}

bool ShowHintInForce(const TControl* Control) {
  const TControl* c = Control;
  while (c && c->ParentShowHint() && c->Parent()) c = c->Parent();
  return c && c->ShowHint();
}

namespace {

constexpr unsigned HintTimerID = 0x4851;

// Follows the control under the cursor; a component so that a control that goes away is forgotten.
class THintManager : public TComponent {
 public:
  THintManager() : TComponent(nullptr) {}
  ~THintManager() override { StopTimer(); }

  void MouseMoved() {
    if (!Application || !Application->ShowHint()) {
      Cancel();
      return;
    }
    TPoint p;
    GetCursorPos(&p);
    TControl* now = FindDragTarget(p, false);
    if (FWindow && FWindow->HandleAllocated() && now == FWindow) return;
    TControl* hinted = HintControl(now);
    if (hinted == FControl) return;
    const bool wasShowing = FWindow && FWindow->Showing();
    Hide();
    SetControl(hinted);
    if (!FControl) return;
    Application->SetHint(GetLongHint(HintOf(FControl)));
    StartTimer(wasShowing ? Application->HintShortPause() : Application->HintPause(), true);
  }

  void Cancel() {
    StopTimer();
    Hide();
    SetControl(nullptr);
  }

  THintWindow* Active() const { return FWindow && FWindow->Showing() ? FWindow : nullptr; }
  TControl* Control() const { return FControl; }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FWindow) FWindow = nullptr;
    if (AComponent == FControl) Cancel();
  }

 private:
  static AnsiString HintOf(const TControl* c) {
    for (; c; c = c->Parent())
      if (!c->Hint().empty()) return c->Hint();
    return "";
  }

  // The control whose hint stands for the one under the cursor; null when no hint would show.
  static TControl* HintControl(TControl* c) {
    if (!c || !ShowHintInForce(c) || GetShortHint(HintOf(c)).empty()) return nullptr;
    return c;
  }

  void SetControl(TControl* c) {
    if (FControl) FControl->RemoveFreeNotification(this);
    FControl = c;
    if (c) c->FreeNotification(this);
  }

  void StartTimer(int Ms, bool ToShow) {
    StopTimer();
    FToShow = ToShow;
    SetTimer(nullptr, HintTimerID, static_cast<UINT>(std::max(1, Ms)), [this] { TimerFired(); });
    FTimer = true;
  }

  void StopTimer() {
    if (FTimer) KillTimer(nullptr, HintTimerID);
    FTimer = false;
  }

  void TimerFired() {
    StopTimer();
    if (!FToShow) {
      Hide();
      return;
    }
    if (!FControl) return;
    TPoint p;
    GetCursorPos(&p);
    if (HintControl(FindDragTarget(p, false)) != FControl) return;
    // The control may refuse or change its hint (CM_HINTSHOW answers non-zero to refuse).
    if (FControl->Perform(CM_HINTSHOW, 0, 0) != 0) return;
    const AnsiString text = GetShortHint(HintOf(FControl));
    if (!FWindow) {
      FWindow = new THintWindow(Application); // owned by the application
      FWindow->FreeNotification(this);
    }
    FWindow->SetColor(Application->HintColor());
    TRect r = FWindow->CalcHintRect(Screen->Width(), text);
    r.Offset(p.X, p.Y + 20);
    FWindow->ActivateHint(r, text);
    StartTimer(Application->HintHidePause(), false);
  }

  void Hide() {
    if (FWindow) FWindow->ReleaseHandle();
  }

  TControl* FControl = nullptr;
  THintWindow* FWindow = nullptr;
  bool FTimer = false;
  bool FToShow = false;
};

THintManager& Manager() {
  static THintManager manager;
  return manager;
}

} // namespace

namespace hints {
void MouseMoved() {
  Manager().MouseMoved();
}
void Cancel() {
  Manager().Cancel();
}
THintWindow* Active() {
  return Manager().Active();
}
TControl* Control() {
  return Manager().Control();
}
} // namespace hints
