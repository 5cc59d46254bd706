#pragma once
// TskForm: the panel that turns its form into a skinned window. For now it holds the style and the theme
// file that the components on its form start from.
#include "classlib/controls/Panel.h"
#include "skin/SKThemeLink.h"

class TskFileTheme;

class TskForm : public TCustomPanel {
  QUENDREL_CLASS(TskForm, TCustomPanel)
 public:
  explicit TskForm(TComponent* AOwner);

  TskUIStyle UIStyle() const { return FTheme.UIStyle; }
  // Stores the style and repaints, also when unchanged: that is how a reloaded theme file is re-read.
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* FileTheme() const { return FTheme.FileTheme; }
  // Stores the reference and applies the current style again, also for the reference already held, so that a
  // reloaded theme file is read again.
  void SetFileTheme(TskFileTheme* Value);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TskThemeLink FTheme;
};
