#include <gtest/gtest.h>
#include <memory>

#include "skin/SKButton.h"
#include "skin/SKGroupBox.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"
#include "skin/SKProgressBar.h"

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
}
