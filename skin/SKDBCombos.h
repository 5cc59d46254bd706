#pragma once
// Skinned data-aware combo boxes: the class library's data-aware combo and lookup combo boxes with a themed
// frame and an owner-painted drop-down button: a picture of the button in the MacOS and WinXP styles, a flat
// button in the theme's colours with a drawn arrow in the others.
#include <memory>

#include "classlib/data/DBCtrls.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKThemeLink.h"

// The theme, colours and button of both combo boxes.
template <class Base> class TskDBComboFrame : public TskThemed<Base> {
 public:
  explicit TskDBComboFrame(TComponent* AOwner) : TskThemed<Base>(AOwner) {}

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) {
    FBorderColor = Value;
    this->Repaint();
  }
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor Value) {
    FButtonColor = Value;
    this->Repaint();
  }
  TColor ArrowColor() const { return FArrowColor; }
  void SetArrowColor(TColor Value) {
    FArrowColor = Value;
    this->Repaint();
  }
  // ArrowColor goes back to black; BorderColor and ButtonColor take theme items 25 and 15. The button picture
  // of the MacOS and WinXP styles is loaded here, once, not at every paint.
  void SetUIStyle(TskUIStyle Value) override;
  // The arrow follows the enabled state.
  void SetEnabled(bool Value) override {
    Base::SetEnabled(Value);
    this->Repaint();
  }
  // The arrow with its top-left corner at (X, Y): filled in ArrowColor, or embossed when disabled.
  void DrawArrow(TCanvas* ACanvas, int X, int Y);
  virtual void DrawButton() = 0;
  // How many times a button picture was loaded.
  int PictureLoads() const { return FPictureLoads; }

 protected:
  // Step 6 and 7 of drawing the button on R: the picture, or the flat button and its separator line.
  void DrawButtonFace(TCanvas* Canvas, const TRect& R);
  bool RightToLeftButton() const;

  TColor FBorderColor = clBlack;
  TColor FButtonColor = clBtnFace;
  TColor FArrowColor = clBlack;
  using TskThemed<Base>::FTheme;
  std::unique_ptr<TBitmap> FButtonPicture;

 private:
  int FPictureLoads = 0;
};

class TskDBComboBox : public TskDBComboFrame<TDBComboBox> {
  QUENDREL_CLASS(TskDBComboBox, TskDBComboFrame<TDBComboBox>)
 public:
  explicit TskDBComboBox(TComponent* AOwner);

  void DrawButton() override;
  void WMPaint(TMessage& Message) override;
  virtual void WMEARSEBKGND(TMessage& Message);
};

class TskDBLookupComboBox : public TskDBComboFrame<TDBLookupComboBox> {
  QUENDREL_CLASS(TskDBLookupComboBox, TskDBComboFrame<TDBLookupComboBox>)
 public:
  explicit TskDBLookupComboBox(TComponent* AOwner);

  void DrawButton() override;
  void Paint() override;
};
