#pragma once
// TskStatusBar: the class library's status bar in the theme's form background colour, with its size-grip
// corner repainted in that colour and hatched in the inactive caption colour.
#include "classlib/controls/StatusBar.h"
#include "skin/SKThemeLink.h"

class TskFileTheme;

class TskStatusBar : public TCustomStatusBar {
  QUENDREL_CLASS(TskStatusBar, TCustomStatusBar)
 public:
  explicit TskStatusBar(TComponent* AOwner);

  TskUIStyle UIStyle() const { return FTheme.UIStyle; }
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* FileTheme() const { return FTheme.FileTheme; }
  void SetFileTheme(TskFileTheme* Value);
  TColor PanelColor() const { return Color(); }
  void SetPanelColor(TColor Value) { SetColor(Value); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WMPaint(TMessage& Message) override;
  void WMNCHitTest(TMessage& Message) override;

 private:
  TskThemeLink FTheme;
};
