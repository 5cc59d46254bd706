#pragma once
// TskToolBar: a flat tool bar that paints its hot, pressed and toggled-down buttons itself in three themed
// colours (border, fill, pressed fill), and under the MacOS and Protein styles shows its parent through.
// Its Color is written to form streams whatever the value: a new bar starts in the button-face colour, so a
// window colour left out as a default would come back as button face.
#include "classlib/controls/ToolBar.h"
#include "skin/SKThemeLink.h"

class TCanvas;
class TskFileTheme;

class TskToolBar : public TskThemed<TToolBar> {
  QUENDREL_CLASS(TskToolBar, TskThemed<TToolBar>)
 public:
  explicit TskToolBar(TComponent* AOwner);

  void SetUIStyle(TskUIStyle Value) override;
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor Value);
  TColor ButtonBorderColor() const { return FButtonBorderColor; }
  void SetButtonBorderColor(TColor Value);
  TColor ButtonDownColor() const { return FButtonDownColor; }
  void SetButtonDownColor(TColor Value);

  // The bar's OnCustomDraw: the parent's background under a transparent bar.
  void DrawBar(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);
  // The bar's OnCustomDrawButton: hot, pressed and checked buttons in the theme's colours; the others as
  // the class library draws them.
  void DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
  using TToolBar::DrawButton;
  void DrawDownButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                      const AnsiString& Caption, bool DropDown);
  void DrawHotButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                     const AnsiString& Caption, bool DropDown);

 private:
  void DrawThemedButton(TCanvas* ACanvas, const TRect& ARect, TCustomImageList* Images, int ImageIndex,
                        const AnsiString& Caption, bool DropDown, TColor Fill, int CaptionOffset);

  TColor FButtonColor = 0;
  TColor FButtonBorderColor = 0;
  TColor FButtonDownColor = 0;
};
