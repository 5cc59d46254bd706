#pragma once
// Themed group boxes: a one-pixel frame in the theme's control border colour with the caption set into its
// top edge. They hand their style and theme file on to every skinned child.
#include "skin/SKImagePanel.h"

class TskCustomGroupBox : public TskThemed<TskCustomPanel> {
  QUENDREL_CLASS(TskCustomGroupBox, TskThemed<TskCustomPanel>)
 public:
  explicit TskCustomGroupBox(TComponent* AOwner);

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  // Kept apart from the window text, which stays one blank so the picture panel draws no caption of its own.
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  void SetUIStyle(TskUIStyle Value) override;

  virtual void UpdateUIStyle(TskUIStyle Style, TskFileTheme* FileTheme);
  // The area the check and radio groups lay their buttons out in.
  TRect GetClient();

  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Paint() override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  bool ThemeCoversChildren() const override { return true; }

 private:
  int FontHeight() const;

  TColor FBorderColor = 0;
  AnsiString FCaption;
};

class TskGroupBox : public TskCustomGroupBox {
  QUENDREL_CLASS(TskGroupBox, TskCustomGroupBox)
 public:
  explicit TskGroupBox(TComponent* AOwner) : TskCustomGroupBox(AOwner) {}
};
