#include "skin/SKDBEdits.h"

#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

// The published properties of a framed control and its erase handler, which draws the frame again.
#define QUENDREL_FRAMED_PROPERTIES(Class)                                                                    \
  c.Property("FileTheme", &Class::FileTheme, &Class::SetFileTheme);                                          \
  c.Enum("UIStyle", &Class::UIStyle, &Class::SetUIStyle, TskUIStyleNames);                                   \
  ColorProperty(c, "BorderColor", &Class::BorderColor, &Class::SetBorderColor);                              \
  c.Message(WM_ERASEBKGND, static_cast<void (Class::*)(TMessage&)>(&Class::WMEARSEBKGND))

QUENDREL_REGISTER_CLASS(TskDBEdit, TDBEdit) {
  c.Creatable();
  QUENDREL_FRAMED_PROPERTIES(TskDBEdit);
}
QUENDREL_REGISTER_CLASS(TskDBImage, TDBImage) {
  c.Creatable();
  QUENDREL_FRAMED_PROPERTIES(TskDBImage);
}
QUENDREL_REGISTER_CLASS(TskDBMemo, TDBMemo) {
  c.Creatable();
  QUENDREL_FRAMED_PROPERTIES(TskDBMemo);
  c.Property("VScrollBar", &TskDBMemo::VScrollBar, &TskDBMemo::SetVScrollBar);
  c.Property("HScrollBar", &TskDBMemo::HScrollBar, &TskDBMemo::SetHScrollBar);
}
QUENDREL_REGISTER_CLASS(TskDBListBox, TDBListBox) {
  c.Creatable();
  QUENDREL_FRAMED_PROPERTIES(TskDBListBox);
  c.Property("VScrollBar", &TskDBListBox::VScrollBar, &TskDBListBox::SetVScrollBar);
  c.Message(WM_HSCROLL, static_cast<void (TskDBListBox::*)(TMessage&)>(&TskDBListBox::WMHScroll));
}
QUENDREL_REGISTER_CLASS(TskDBLookupListBox, TDBLookupListBox) {
  c.Creatable();
  QUENDREL_FRAMED_PROPERTIES(TskDBLookupListBox);
  c.Property("VScrollBar", &TskDBLookupListBox::VScrollBar, &TskDBLookupListBox::SetVScrollBar);
  for (UINT m : {LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_SETCOUNT, WM_DELETEITEM})
    c.Message(m, &TskDBLookupListBox::WMListChanged);
  c.Message(WM_HSCROLL, static_cast<void (TskDBLookupListBox::*)(TMessage&)>(&TskDBLookupListBox::WMHScroll));
}
#undef QUENDREL_FRAMED_PROPERTIES

// ---------------------------------------------------------------------------------------------------------
// TskDBEdit, TskDBImage

TskDBEdit::TskDBEdit(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetSKFormStyle(AOwner));
}

TskDBImage::TskDBImage(TComponent* AOwner) : inherited(AOwner) {
  SetBorderWidth(2);
  SetUIStyle(GetSKFormStyle(AOwner));
}

// ---------------------------------------------------------------------------------------------------------
// TskDBMemo

TskDBMemo::TskDBMemo(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskDBMemo::ThemeLinkedBars(TskUIStyle Style, TskFileTheme*) {
  if (FVScrollBar) FVScrollBar->SetUIStyle(Style);
  if (FHScrollBar) FHScrollBar->SetUIStyle(Style);
}

void TskDBMemo::FileThemeLinkedBars(TskFileTheme* File) {
  if (FVScrollBar) FVScrollBar->SetFileTheme(File);
  if (FHScrollBar) FHScrollBar->SetFileTheme(File);
}

void TskDBMemo::ForgetLinkedBar(TComponent* AComponent) {
  if (AComponent != FVScrollBar && AComponent != FHScrollBar) return;
  if (AComponent == FVScrollBar) {
    FVScrollBar = nullptr;
    FVHidden.Forget();
  }
  if (AComponent == FHScrollBar) {
    FHScrollBar = nullptr;
    FHHidden.Forget();
  }
  UpdateInnerScrollBars();
}

void TskDBMemo::SetVScrollBar(TskScrollBar* Value) {
  if (!SKLinkScrollBar(this, FVScrollBar, Value, skVertical, [this](TObject* s) { OnVScrollBarChange(s); }))
    return;
  FVHidden.Forget();
  UpdateInnerScrollBars();
  if (FVScrollBar) UpdateScrollBarsPos();
}

void TskDBMemo::SetHScrollBar(TskScrollBar* Value) {
  if (!SKLinkScrollBar(this, FHScrollBar, Value, skHorizontal, [this](TObject* s) { OnHScrollBarChange(s); }))
    return;
  FHHidden.Forget();
  UpdateInnerScrollBars();
  if (FHScrollBar) UpdateScrollBarsPos();
}

void TskDBMemo::UpdateInnerScrollBars() {
  if (ComponentState().Contains(csDestroying)) return;
  SetScrollBars(FVScrollBar && FHScrollBar ? ssBoth
                : FVScrollBar              ? ssVertical
                : FHScrollBar              ? ssHorizontal
                                           : ssNone);
}

void TskDBMemo::UpdateScrollBars() {
  if (FScrolling || ComponentState().Contains(csDestroying)) return;
  const TskFlagScope updating(FUpdating);
  SKSyncScrollBar(this, FHScrollBar, false, TskBarRule::Memo);
  SKSyncScrollBar(this, FVScrollBar, true, TskBarRule::Memo);
  // A bar shown while the memo is hidden goes too, and comes back with the memo.
  if (!Visible()) {
    FHHidden.Hide(FHScrollBar);
    FVHidden.Hide(FVScrollBar);
  }
}

void TskDBMemo::UpdateScrollBarsPos() {
  if (ComponentState().Contains(csDestroying)) return;
  const int L = Left(), T = Top(), W = Width(), H = Height();
  const int vw = FVScrollBar ? FVScrollBar->Width() : 0;
  const int hh = FHScrollBar ? FHScrollBar->Height() : 0;
  const bool ltr = SKLeftToRightPlacement(this);
  if (FHScrollBar)
    SKPlaceScrollBar(FHScrollBar, ltr || !FVScrollBar ? L + 1 : L + 1 + vw, T + H - hh - 2, W - 2 - vw, hh);
  if (FVScrollBar) SKPlaceScrollBar(FVScrollBar, ltr ? L + W - vw - 2 : L + 2, T + 1, vw, H - 2 - hh);
  UpdateScrollBars();
}

void TskDBMemo::OnVScrollBarChange(TObject*) {
  ScrollToBar(FVScrollBar, true);
}

void TskDBMemo::OnHScrollBarChange(TObject*) {
  ScrollToBar(FHScrollBar, false);
}

void TskDBMemo::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  if (Visible()) {
    FVHidden.Show(FVScrollBar);
    FHHidden.Show(FHScrollBar);
    UpdateScrollBarsPos();
    return;
  }
  FVHidden.Hide(FVScrollBar);
  FHHidden.Hide(FHScrollBar);
}

// ---------------------------------------------------------------------------------------------------------
// TskDBListBox

TskDBListBox::TskDBListBox(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskDBListBox::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  if (Visible())
    UpdateScrollBarsPos();
  else if (FVScrollBar)
    FVScrollBar->SetVisible(false);
}

void TskDBListBox::ListMessage(TMessage& Message) {
  inherited::ListMessage(Message);
  switch (Message.Msg) {
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
  case LB_DELETESTRING:
  case LB_SETCOUNT:
    // Items changed in bulk bring the bar up to date once, when they are done.
    if (Redrawing()) UpdateScrollBars();
    break;
  default:
    break;
  }
}

void TskDBListBox::CNCommand(TMessage& Message) {
  inherited::CNCommand(Message);
  if (Message.WParamHi() == LBN_SELCHANGE || Message.WParamHi() == LBN_SETFOCUS) UpdateScrollBars();
}

void TskDBListBox::WMDeleteItem(TMessage& Message) {
  inherited::WMDeleteItem(Message);
  if (Redrawing()) UpdateScrollBars();
}

void TskDBListBox::WMSetRedraw(TMessage& Message) {
  inherited::WMSetRedraw(Message);
  if (Redrawing()) UpdateScrollBars();
}

// ---------------------------------------------------------------------------------------------------------
// TskDBLookupListBox

TskDBLookupListBox::TskDBLookupListBox(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetSKFormStyle(AOwner));
}

void TskDBLookupListBox::WMListChanged(TMessage& Message) {
  InheritedMessage(Message);
  UpdateScrollBars();
}

// The lookup list box has no list-box notifications of its own: its selection changes and its focus are
// where they reach it.
void TskDBLookupListBox::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  UpdateScrollBars();
}

void TskDBLookupListBox::Click() {
  inherited::Click();
  UpdateScrollBars();
}

void TskDBLookupListBox::ListLinkDataChanged() {
  inherited::ListLinkDataChanged();
  UpdateScrollBars();
}
