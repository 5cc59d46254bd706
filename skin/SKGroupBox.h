#pragma once
// Themed group boxes: a one-pixel frame in the theme's control border colour with the caption set into its
// top edge. They hand their style and theme file on to every skinned child.
#include "skin/SKImagePanel.h"

class TskCustomGroupBox : public TskCustomPanel {
  QUENDREL_CLASS(TskCustomGroupBox, TskCustomPanel)
 public:
  explicit TskCustomGroupBox(TComponent* AOwner);

  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  // Kept apart from the window text, which stays one blank so the picture panel draws no caption of its own.
  AnsiString Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  TskFileTheme* FileTheme() const { return FTheme.FileTheme; }
  void SetFileTheme(TskFileTheme* Value);
  TskUIStyle UIStyle() const { return FTheme.UIStyle; }
  void SetUIStyle(TskUIStyle Value);

  virtual void UpdateUIStyle(TskUIStyle Style, TskFileTheme* FileTheme);
  // The area the check and radio groups lay their buttons out in.
  TRect GetClient();

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Paint() override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

 private:
  int FontHeight() const;

  TColor FBorderColor = 0;
  AnsiString FCaption;
  TskThemeLink FTheme;
};

class TskGroupBox : public TskCustomGroupBox {
  QUENDREL_CLASS(TskGroupBox, TskCustomGroupBox)
 public:
  explicit TskGroupBox(TComponent* AOwner) : TskCustomGroupBox(AOwner) {}
};
