#pragma once
// The skinned scroll bars that a data-aware memo, list box or grid links: linking and releasing a bar,
// copying the control's own scroll state into it, scrolling the control when the user moves it, and placing
// it over the control's edge.
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
