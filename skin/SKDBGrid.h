#pragma once
// TskDBGrid: the class library's data grid with themed colours, a themed one-pixel frame, its own fill
// colours for selected and focused cells, and two linked skinned scroll bars; the vertical one moves the
// record pointer by record number.
#include "classlib/data/DBGrids.h"
#include "skin/SKDBScrollLink.h"
#include "skin/SKScrollBar.h"
#include "skin/SKThemeLink.h"

using TskDBGridBase = TskDBTextScrollLink<TskThemed<TDBGrid>>;
class TskDBGrid : public TskDBGridBase {
  QUENDREL_CLASS(TskDBGrid, TskDBGridBase)
 public:
  explicit TskDBGrid(TComponent* AOwner);

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
  void SetVScrollBar(TskScrollBar* Value);
  void SetHScrollBar(TskScrollBar* Value);

  void UpdateScrollBars() override;
  void UpdateScrollBarsPos() override;
  void OnVScrollBarChange(TObject* Sender);
  void OnHScrollBarChange(TObject* Sender);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void CMBiDiModeChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
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
};
