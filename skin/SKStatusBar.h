#pragma once
// TskStatusBar: the class library's status bar in the theme's form background colour, with its size-grip
// corner repainted in that colour and hatched in the inactive caption colour.
#include "classlib/controls/StatusBar.h"
#include "skin/SKThemeLink.h"

class TskFileTheme;

class TskStatusBar : public TskThemed<TCustomStatusBar> {
  QUENDREL_CLASS(TskStatusBar, TskThemed<TCustomStatusBar>)
 public:
  explicit TskStatusBar(TComponent* AOwner);

  void SetUIStyle(TskUIStyle Value) override;
  TColor PanelColor() const { return Color(); }
  void SetPanelColor(TColor Value) { SetColor(Value); }

  void WMPaint(TMessage& Message) override;
  void WMNCHitTest(TMessage& Message) override;

 private:
};
