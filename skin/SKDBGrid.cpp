#include "skin/SKDBGrid.h"

#include "classlib/controls/ScrollBars.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

QUENDREL_REGISTER_CLASS(TskDBGrid, TDBGrid) {
  c.Creatable();
  c.Property("FileTheme", &TskDBGrid::FileTheme, &TskDBGrid::SetFileTheme);
  c.Enum("UIStyle", &TskDBGrid::UIStyle, &TskDBGrid::SetUIStyle, TskUIStyleNames);
  ColorProperty(c, "BorderColor", &TskDBGrid::BorderColor, &TskDBGrid::SetBorderColor);
  ColorProperty(c, "FocusedColor", &TskDBGrid::FocusedColor, &TskDBGrid::SetFocusedColor);
  ColorProperty(c, "SelectedColor", &TskDBGrid::SelectedColor, &TskDBGrid::SetSelectedColor);
  ColorProperty(c, "FontColor", &TskDBGrid::FontColor, &TskDBGrid::SetFontColor);
  ColorProperty(c, "TitleFontColor", &TskDBGrid::TitleFontColor, &TskDBGrid::SetTitleFontColor);
  ColorProperty(c, "FixedBGColor", &TskDBGrid::FixedBGColor, &TskDBGrid::SetFixedBGColor);
  ColorProperty(c, "BGColor", &TskDBGrid::BGColor, &TskDBGrid::SetBGColor);
  c.Property("VScrollBar", &TskDBGrid::VScrollBar, &TskDBGrid::SetVScrollBar);
  c.Property("HScrollBar", &TskDBGrid::HScrollBar, &TskDBGrid::SetHScrollBar);
  c.Message(WM_ERASEBKGND, &TskDBGrid::WMEARSEBKGND);
}

TskDBGrid::TskDBGrid(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Include(csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(1);
  SetUIStyle(GetSKFormStyle(AOwner));
  FFocusedColor = 0x008000;
  FSelectedColor = 0x00FFFF;
}

void TskDBGrid::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  SetBorderColor(FTheme.Color(25));
  SetFixedColor(FTheme.Color(19));
  SetColor(FTheme.Color(26));
  TitleFont()->SetColor(FTheme.Color(20));
  const TColor font = FTheme.Color(22);
  Font()->SetColor(font == 0xFFFFFF ? 0 : font);
  const TskUIStyle resolved = FTheme.UseFile() ? FromThemeFile : FTheme.InsideStyle();
  if (FVScrollBar) FVScrollBar->SetUIStyle(resolved);
  if (FHScrollBar) FHScrollBar->SetUIStyle(resolved);
}

void TskDBGrid::FileThemeAttached(TskFileTheme* Value) {
  // Bars told FromThemeFile without the file would fall back to DeepBlue beside a grid in the file's look.
  if (FVScrollBar) FVScrollBar->SetFileTheme(Value);
  if (FHScrollBar) FHScrollBar->SetFileTheme(Value);
}

void TskDBGrid::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  Repaint();
}

void TskDBGrid::SetFocusedColor(TColor Value) {
  FFocusedColor = Value;
  Repaint();
}

void TskDBGrid::SetSelectedColor(TColor Value) {
  FSelectedColor = Value;
  Repaint();
}

void TskDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

// ----- Painting

void TskDBGrid::Paint() {
  TDBGrid::Paint();
  if (!ComponentState().Contains(csDestroying)) DrawControlBorder(this, FBorderColor, Color(), true);
}

void TskDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (ACol == -1 || ARow == -1) return;
  if (!AState.Contains(gdFixed)) {
    try {
      if (AState.Contains(gdSelected)) Canvas()->Brush()->SetColor(FSelectedColor);
      if (AState.Contains(gdFocused)) Canvas()->Brush()->SetColor(FFocusedColor);
      if (AState.Empty()) Canvas()->Brush()->SetColor(Color());
      Canvas()->FillRect(ARect);
    } catch (const Exception&) {
      // The content is drawn all the same.
    }
  }
  TDBGrid::DrawCell(ACol, ARow, ARect, AState);
}

void TskDBGrid::WMEARSEBKGND(TMessage& Message) {
  Paint();
  Message.Result = 1;
}

// ----- Linked bars

void TskDBGrid::SetVScrollBar(TskScrollBar* Value) {
  if (SKLinkScrollBar(this, FVScrollBar, Value, skVertical, [this](TObject* s) { OnVScrollBarChange(s); }) &&
      FVScrollBar)
    UpdateScrollBarsPos();
}

void TskDBGrid::SetHScrollBar(TskScrollBar* Value) {
  if (SKLinkScrollBar(this, FHScrollBar, Value, skHorizontal,
                      [this](TObject* s) { OnHScrollBarChange(s); }) &&
      FHScrollBar)
    UpdateScrollBarsPos();
}

void TskDBGrid::UpdateScrollBars() {
  if (Loading()) return;
  const TskFlagScope updating(FUpdating);
  SKSyncScrollBar(this, FVScrollBar, true, TskBarRule::ListBox);
  SKSyncScrollBar(this, FHScrollBar, false, TskBarRule::ListBox);
}

void TskDBGrid::UpdateScrollRange() {
  TDBGrid::UpdateScrollRange();
  if (!FUpdating && !FScrolling) UpdateScrollBars();
}

void TskDBGrid::UpdateScrollBarsPos() {
  if (Loading()) return;
  const bool ltr = SKLeftToRightPlacement(this);
  UpdateScrollBars();
  const int L = Left(), T = Top(), W = Width(), H = Height();
  const int vw = FVScrollBar ? FVScrollBar->Width() : 0;
  const int hh = FHScrollBar ? FHScrollBar->Height() : 0;
  const bool vShown = FVScrollBar && FVScrollBar->Visible();
  const bool hShown = FHScrollBar && FHScrollBar->Visible();
  if (FHScrollBar) {
    if (hh > H) {
      FHScrollBar->SetTop(T);
    } else if (ltr) {
      SKPlaceScrollBar(FHScrollBar, L + 1, T + H - hh - 1, vShown ? W - 1 - vw : W - 2, hh);
    } else {
      SKPlaceScrollBar(FHScrollBar, vShown ? L + 1 + vw : L + 1, T + H - hh - 1, vShown ? W - 1 - vw : W - 1,
                       hh);
    }
  }
  if (FVScrollBar) {
    if (vw > W)
      FVScrollBar->SetLeft(L);
    else
      SKPlaceScrollBar(FVScrollBar, ltr ? L + W - vw - 1 : L + 1, T + 1, vw, hShown ? H - 1 - hh : H - 1);
  }
}

void TskDBGrid::OnHScrollBarChange(TObject*) {
  ScrollToBar(FHScrollBar, false);
}

void TskDBGrid::OnVScrollBarChange(TObject*) {
  if (FUpdating) return;
  const TskFlagScope scrolling(FScrolling);
  const TDataSource* source = DataSource();
  TDataSet* ds = source ? source->DataSet() : nullptr;
  if (!ds) {
    SKScrollControlToBar(this, FVScrollBar, true);
    Invalidate();
    return;
  }
  const int p = FVScrollBar->Position();
  if (p < 2)
    ds->First();
  else if (ds->RecordCount() > p)
    ds->SetRecNo(p);
  else
    ds->Last();
  Invalidate();
}

// ----- Message handlers

void TskDBGrid::CMBiDiModeChanged(TMessage& Message) {
  TDBGrid::CMBiDiModeChanged(Message);
  if (SKLeftToRightPlacement(this) || !FHScrollBar || !HandleAllocated()) return;
  SCROLLINFO si;
  si.cbSize = sizeof(SCROLLINFO);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(Handle(), SB_HORZ, &si);
  const TskFlagScope updating(FUpdating);
  const int max = si.nMax - static_cast<int>(si.nPage) + 1;
  FHScrollBar->SetMax(max);
  FHScrollBar->SetMin(si.nMin);
  FHScrollBar->SetPosition(max - si.nPos);
}

void TskDBGrid::CMVisibleChanged(TMessage& Message) {
  TDBGrid::CMVisibleChanged(Message);
  if (Visible()) {
    UpdateScrollBarsPos();
    return;
  }
  if (FVScrollBar) FVScrollBar->SetVisible(false);
  if (FHScrollBar) FHScrollBar->SetVisible(false);
}
