#include <gtest/gtest.h>
#include <memory>

#include "skin/SKButton.h"
#include "skin/SKDBCombos.h"
#include "skin/SKDBEdits.h"
#include "skin/SKDBGrid.h"
#include "skin/SKDBNavigator.h"
#include "skin/SKGroupBox.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"
#include "skin/SKProgressBar.h"
#include "skin/SKScrollBar.h"
#include "skin/SKSideChannel.h"
#include "skin/SKStatusBar.h"
#include "skin/SKTitleBar.h"
#include "skin/SKToolBar.h"
#include "skin/SKTrackBar.h"

namespace {

// A control whose theme file lives on another form must not keep pointing at it once that form is gone.
template <class Control> void ExpectForgetsAThemeOfAnotherOwner() {
  TComponent form(nullptr);
  auto* control = new Control(&form);
  auto otherForm = std::make_unique<TComponent>(nullptr);
  auto* theme = new TskFileTheme(otherForm.get());
  control->SetFileTheme(theme);
  control->SetUIStyle(MacOS);
  otherForm.reset();
  EXPECT_EQ(control->FileTheme(), nullptr) << control->ClassName();
  EXPECT_EQ(control->UIStyle(), DeepBlue) << control->ClassName();
}

} // namespace

TEST(ThemeReference, SkinnedControlsForgetAThemeFileFreedWithAnotherForm) {
  ExpectForgetsAThemeOfAnotherOwner<TskButton>();
  ExpectForgetsAThemeOfAnotherOwner<TskCheckBox>();
  ExpectForgetsAThemeOfAnotherOwner<TskPanel>();
  ExpectForgetsAThemeOfAnotherOwner<TskGroupBox>();
  ExpectForgetsAThemeOfAnotherOwner<TskProgressBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskScrollBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskSideChannel>();
  ExpectForgetsAThemeOfAnotherOwner<TskStatusBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskToolBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskTrackBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskTitleBar>();
  ExpectForgetsAThemeOfAnotherOwner<TskDBGrid>();
  ExpectForgetsAThemeOfAnotherOwner<TskDBNavigator>();
  ExpectForgetsAThemeOfAnotherOwner<TskDBEdit>();
  ExpectForgetsAThemeOfAnotherOwner<TskDBListBox>();
  ExpectForgetsAThemeOfAnotherOwner<TskDBComboBox>();
  ExpectForgetsAThemeOfAnotherOwner<TskThemeManager>();
  // A menu's style is a part of the menu: the menu hears of the theme's going for it.
  ExpectForgetsAThemeOfAnotherOwner<TskMainMenu>();
  ExpectForgetsAThemeOfAnotherOwner<TskPopupMenu>();
}
