#pragma once
// TskDBGrid: the class library's data grid with themed colours, a themed one-pixel frame, its own fill
// colours for selected and focused cells, and two linked skinned scroll bars; the vertical one moves the
// record pointer by record number.
#include "classlib/data/DBGrids.h"
#include "skin/SKDBScrollLink.h"
#include "skin/SKScrollBar.h"
#include "skin/SKThemeLink.h"

class TskDBGrid : public TskThemed<TDBGrid> {
  QUENDREL_CLASS(TskDBGrid, TskThemed<TDBGrid>)
 public:
  explicit TskDBGrid(TComponent* AOwner);
  ~TskDBGrid() override;

  void SetUIStyle(TskUIStyle Value) override;
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  TColor FocusedColor() const { return FFocusedColor; }
  void SetFocusedColor(TColor Value);
  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor Value);
  TColor FontColor() const { return Font()->Color(); }
  void SetFontColor(TColor Value) { Font()->SetColor(Value); }
  TColor TitleFontColor() const { return TitleFont()->Color(); }
  void SetTitleFontColor(TColor Value) { TitleFont()->SetColor(Value); }
  TColor FixedBGColor() const { return FixedColor(); }
  void SetFixedBGColor(TColor Value) { SetFixedColor(Value); }
  TColor BGColor() const { return Color(); }
  void SetBGColor(TColor Value) { SetColor(Value); }
  TskScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TskScrollBar* Value);
  TskScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TskScrollBar* Value);

  void UpdateScrollBars();
  void UpdateScrollBarsPos();
  void OnVScrollBarChange(TObject* Sender);
  void OnHScrollBarChange(TObject* Sender);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void CMBiDiModeChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMCut(TMessage& Message) override;
  void WMPaste(TMessage& Message) override;
  void WMClear(TMessage& Message) override;
  void WMUndo(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void WMSetText(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMVScroll(TMessage& Message) override;
  void WMHScroll(TMessage& Message) override;
  virtual void WMEARSEBKGND(TMessage& Message);

 protected:
  // The grid's own bars changed (the record pointer moved, records came or went): the linked bars follow.
  void UpdateScrollRange() override;
  void FileThemeAttached(TskFileTheme* Value) override;

 private:
  bool Loading() const {
    return ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying);
  }

  TColor FBorderColor = clBlack;
  TColor FFocusedColor = 0x008000;
  TColor FSelectedColor = 0x00FFFF;
  bool FMouseDown = false;
  TskScrollBar* FVScrollBar = nullptr;
  TskScrollBar* FHScrollBar = nullptr;
  bool FUpdating = false;
  bool FScrolling = false;
};
