#include "skin/SKDBScrollLink.h"

#include <algorithm>
#include <cstdlib>

#include "classlib/controls/ScrollBars.h"
#include "classlib/core/SysUtils.h"
#include "skin/SKPublic.h"

void SKReleaseScrollBar(TComponent* Control, TskScrollBar* Bar) {
  if (!Bar) return;
  Bar->SetOnChange(nullptr);
  Bar->SetLineButton(0);
  Bar->SetMax(100);
  Bar->SetEnabled(true);
  if (Control) Bar->RemoveFreeNotification(Control);
}

bool SKLinkScrollBar(TComponent* Control, TskScrollBar*& Field, TskScrollBar* Value,
                     TskProgressBarOrientation Orientation, const TNotifyEvent& OnChange) {
  if (Field == Value) return false;
  if (Field) SKReleaseScrollBar(Control, Field);
  Field = Value;
  if (!Value) return true;
  Value->SetOrientation(Orientation);
  Value->SetOnChange(OnChange);
  Value->BringToFront();
  // A bar freed by another owner must not leave this control pointing at it.
  Value->FreeNotification(Control);
  return true;
}

void SKSyncScrollBar(TWinControl* Control, TskScrollBar* Bar, bool Vertical, TskBarRule Rule) {
  if (!Bar || !Control->HandleAllocated()) return;
  SCROLLBARINFO info;
  info.cbSize = sizeof(SCROLLBARINFO);
  const BOOL got = SKGetScrollBarInfo(Control->Handle(), Vertical ? OBJID_VSCROLL : OBJID_HSCROLL, info);
  // The states are compared for equality, as the system reports them one at a time.
  const bool usable =
      got && info.rgstate[0] != STATE_SYSTEM_INVISIBLE && info.rgstate[0] != STATE_SYSTEM_UNAVAILABLE;
  const int thumb = std::abs(info.xyThumbBottom - info.xyThumbTop);
  const bool enabled = Control->Enabled();
  switch (Rule) {
  case TskBarRule::Memo:
    // Whether the bar shows is the memo's and the application's choice, not its own state's.
    if (!got) {
      Bar->SetVisible(false);
    } else if (!usable || !enabled) {
      Bar->SetLineButton(0);
      Bar->SetEnabled(false);
      Bar->SetSliderVisible(false);
    } else {
      Bar->SetLineButton(thumb);
      if (!Vertical)
        Bar->SetSmallChange(static_cast<TScrollBarInc>(std::clamp(3 * Bar->PageSize(), 1, 32767)));
      Bar->SetEnabled(true);
      Bar->SetSliderVisible(true);
    }
    break;
  case TskBarRule::ListBox:
  case TskBarRule::LookupListBox:
    if (!usable) {
      Bar->SetLineButton(0);
      Bar->SetEnabled(false);
      Bar->SetVisible(false);
    } else if (!enabled && Rule == TskBarRule::ListBox) {
      Bar->SetEnabled(false);
    } else {
      Bar->SetLineButton(thumb);
      Bar->SetEnabled(true);
      Bar->SetVisible(Control->Visible());
    }
    break;
  }
  SCROLLINFO si;
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  if (!GetScrollInfo(Control->Handle(), Vertical ? SB_VERT : SB_HORZ, &si)) return;
  Bar->SetMax(si.nMax - static_cast<int>(si.nPage) + 1);
  Bar->SetMin(si.nMin);
  Bar->SetPosition(si.nPos);
}

void SKScrollControlToBar(TWinControl* Control, TskScrollBar* Bar, bool Vertical) {
  const int position = Bar->Position();
  const int bar = Vertical ? SB_VERT : SB_HORZ;
  if (Control->HandleAllocated()) {
    SCROLLINFO si;
    si.cbSize = sizeof(SCROLLINFO);
    si.fMask = SIF_TRACKPOS;
    si.nTrackPos = position;
    SetScrollInfo(Control->Handle(), bar, &si, false);
  }
  Control->Perform(Vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position & 0xFFFF), 0);
}

bool SKLeftToRightPlacement(const TControl* Control) {
  const TBiDiMode mode = Control->BiDiMode();
  return mode == bdLeftToRight || mode == bdRightToLeftReadingOnly || !SysLocale.MiddleEast;
}

void SKPlaceScrollBar(TskScrollBar* Bar, int Left, int Top, int Width, int Height) {
  if (!Bar) return;
  Bar->SetBounds(Left, Top, std::max(0, Width), std::max(0, Height));
}
