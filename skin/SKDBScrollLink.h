#pragma once
// The skinned scroll bars that a data-aware memo, list box or grid links: linking and releasing a bar,
// copying the control's own scroll state into it, scrolling the control when the user moves it, placing
// it over the control's edge, and the control's messages after which its bars follow.
#include "classlib/controls/WinControl.h"
#include "skin/SKScrollBar.h"

// Holds a flag set for the span of a scope, so that a throwing call in between cannot leave it set.
class TskFlagScope {
 public:
  explicit TskFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TskFlagScope() { FFlag = false; }
  TskFlagScope(const TskFlagScope&) = delete;
  TskFlagScope& operator=(const TskFlagScope&) = delete;

 private:
  bool& FFlag;
};

// How a control's linked bar follows the state of its own scroll bar.
enum class TskBarRule {
  Memo,          // never shown by it; disabled without a slider when the bar cannot be used
  ListBox,       // hidden when the control's bar cannot be used; disabled with a disabled control
  LookupListBox, // as the list box, but enabled whatever the control's own state
};

// Linking a bar: the same bar does nothing; the bar linked before is released (no OnChange, LineButton 0,
// Max 100, enabled) and forgotten; a new bar is oriented, given OnChange, brought to the front of its
// siblings and asked to tell Control when it goes. Answers whether the link changed.
bool SKLinkScrollBar(TComponent* Control, TskScrollBar*& Field, TskScrollBar* Value,
                     TskProgressBarOrientation Orientation, const TNotifyEvent& OnChange);
// A bar given back: no longer driven, left where it is.
void SKReleaseScrollBar(TComponent* Control, TskScrollBar* Bar);

// Copies the state of Control's own vertical or horizontal bar into Bar (LineButton, Enabled, Visible,
// SliderVisible as Rule says, then Max, Min and Position).
void SKSyncScrollBar(TWinControl* Control, TskScrollBar* Bar, bool Vertical, TskBarRule Rule);

// The user moved Bar: Control scrolls to its position, through WM_VSCROLL or WM_HSCROLL with
// SB_THUMBPOSITION. The position travels whole as the bar's tracking position, as the 16 bits of the
// message cannot hold more than 65,535.
void SKScrollControlToBar(TWinControl* Control, TskScrollBar* Bar, bool Vertical);

// The vertical bar goes on the right unless the control lays out right to left on a Middle-East locale.
bool SKLeftToRightPlacement(const TControl* Control);

// A linked bar hidden along with its control and shown again with it. A bar the application hid itself
// stays hidden when the control shows again.
class TskBarHiddenWithControl {
 public:
  void Hide(TskScrollBar* Bar) {
    if (!Bar || !Bar->Visible()) return;
    Bar->SetVisible(false);
    FHidden = true;
  }
  void Show(TskScrollBar* Bar) {
    if (Bar && FHidden) Bar->SetVisible(true);
    FHidden = false;
  }
  // Another bar is linked, or none.
  void Forget() { FHidden = false; }

 private:
  bool FHidden = false;
};

// Sets a bar's bounds; sizes that the arithmetic makes negative become 0 (which hides the bar).
void SKPlaceScrollBar(TskScrollBar* Bar, int Left, int Top, int Width, int Height);

// The bar following that the data-aware controls with linked bars share: the bars, released when the control
// goes, and the control's own messages that can move its scroll state, after which the bars follow
// (UpdateScrollBars) or are placed again (UpdateScrollBarsPos).
template <class Base> class TskDBScrollLink : public Base {
 public:
  explicit TskDBScrollLink(TComponent* AOwner) : Base(AOwner) {}
  ~TskDBScrollLink() override {
    // Released first, so that a bar moved later calls nothing of this half-destroyed control.
    SKReleaseScrollBar(this, FVScrollBar);
    SKReleaseScrollBar(this, FHScrollBar);
    FVScrollBar = FHScrollBar = nullptr;
  }

  TskScrollBar* VScrollBar() const { return FVScrollBar; }
  TskScrollBar* HScrollBar() const { return FHScrollBar; }
  virtual void UpdateScrollBars() = 0;
  virtual void UpdateScrollBarsPos() = 0;

  void WMSize(TMessage& Message) override {
    Base::WMSize(Message);
    UpdateScrollBarsPos();
  }
  void WMMove(TMessage& Message) override {
    Base::WMMove(Message);
    UpdateScrollBarsPos();
  }
  void CMEnabledChanged(TMessage& Message) override {
    Base::CMEnabledChanged(Message);
    UpdateScrollBars();
  }
  void WMKeyDown(TMessage& Message) override {
    Base::WMKeyDown(Message);
    UpdateScrollBars();
  }
  void WMMouseWheel(TMessage& Message) override {
    Base::WMMouseWheel(Message);
    UpdateScrollBars();
  }
  void WMLButtonDown(TMessage& Message) override {
    Base::WMLButtonDown(Message);
    FMouseDown = true;
    UpdateScrollBars();
  }
  void WMLButtonUp(TMessage& Message) override {
    Base::WMLButtonUp(Message);
    FMouseDown = false;
  }
  void WMMouseMove(TMessage& Message) override {
    Base::WMMouseMove(Message);
    if (FMouseDown) UpdateScrollBars();
  }
  void WMVScroll(TMessage& Message) override {
    Base::WMVScroll(Message);
    if (!FScrolling) UpdateScrollBars();
  }

 protected:
  // The user moved Bar: the control scrolls to it, and its own scroll messages leave the bars alone
  // meanwhile.
  void ScrollToBar(TskScrollBar* Bar, bool Vertical) {
    if (FUpdating) return;
    const TskFlagScope scrolling(FScrolling);
    SKScrollControlToBar(this, Bar, Vertical);
    this->Invalidate();
  }

  TskScrollBar* FVScrollBar = nullptr;
  TskScrollBar* FHScrollBar = nullptr;
  bool FMouseDown = false;
  bool FUpdating = false;  // the bars are being brought up to date: their changes scroll nothing
  bool FScrolling = false; // the control follows a bar: its scroll messages do not move the bars back
};

// Controls that edit text and scroll sideways (the memo, the grid): those messages move the bars too.
template <class Base> class TskDBTextScrollLink : public TskDBScrollLink<Base> {
 public:
  explicit TskDBTextScrollLink(TComponent* AOwner) : TskDBScrollLink<Base>(AOwner) {}

  void WMHScroll(TMessage& Message) override {
    Base::WMHScroll(Message);
    if (!this->FScrolling) this->UpdateScrollBars();
  }
  void WMCut(TMessage& Message) override {
    Base::WMCut(Message);
    this->UpdateScrollBars();
  }
  void WMPaste(TMessage& Message) override {
    Base::WMPaste(Message);
    this->UpdateScrollBars();
  }
  void WMClear(TMessage& Message) override {
    Base::WMClear(Message);
    this->UpdateScrollBars();
  }
  void WMUndo(TMessage& Message) override {
    Base::WMUndo(Message);
    this->UpdateScrollBars();
  }
  void WMSetText(TMessage& Message) override {
    Base::WMSetText(Message);
    this->UpdateScrollBars();
  }
};
