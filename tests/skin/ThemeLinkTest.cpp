// The style and theme-file pair of skinned components: where its reads come from, the clamp of sizes, the
// fall-back when the theme goes, and the caption colours chosen by a theme file's ControlFontColor.
#include <gtest/gtest.h>

#include <memory>

#include "skin/SKMgr.h"
#include "skin/SKThemeLink.h"
#include "tests/skin/SkinTestUtil.h"

namespace {

// A theme file with a few integer items and nothing else.
std::unique_ptr<TskFileTheme> ThemeWith(const skintest::TempDir& dir, TComponent* owner,
                                        std::initializer_list<std::pair<const char*, int32_t>> items) {
  skintest::ThemeBytes bytes;
  for (const auto& [name, value] : items) bytes.Int(name, value);
  bytes.Terminator();
  const AnsiString file = dir.File("link.skn");
  skintest::WriteBytes(file, bytes.Bytes);
  auto theme = std::make_unique<TskFileTheme>(owner);
  theme->SetThemeFile(file);
  return theme;
}

} // namespace

TEST(ThemeLink, ReadsTheFileOnlyWhenAskedForAndUsable) {
  skintest::TempDir dir;
  auto theme = ThemeWith(dir, nullptr, {{"FormBackgroundColor", 0x123456}, {"FormBorderWidthInt", -1}});
  TskThemeLink link;
  link.FileTheme = theme.get();

  link.UIStyle = WinXP; // a built-in style wins over a usable file
  EXPECT_EQ(link.Color(15), 0xDEEBEF);
  EXPECT_EQ(link.Int(17), 3);

  link.UIStyle = FromThemeFile;
  EXPECT_TRUE(link.UseFile());
  EXPECT_EQ(link.Color(15), 0x123456);
  EXPECT_EQ(link.Int(17), -1); // absent from the file: as the file answers it
  EXPECT_EQ(link.Size(17), 0); // but never a negative size
  EXPECT_EQ(link.Int(14), -1);
  EXPECT_EQ(link.Size(14), 0);

  link.FileTheme = nullptr; // wanted but missing: DeepBlue
  EXPECT_EQ(link.InsideStyle(), DeepBlue);
  EXPECT_EQ(link.Color(15), 0xE8E8E8);
}

TEST(ThemeLink, ForgetsOnlyItsOwnThemeBeingRemoved) {
  TComponent owner(nullptr);
  auto other = std::make_unique<TComponent>(nullptr);
  auto* theme = new TskFileTheme(other.get());
  TskThemeLink link;
  link.Attach(&owner, theme);
  EXPECT_FALSE(link.Forget(&owner, opRemove));
  EXPECT_FALSE(link.Forget(theme, opInsert));
  EXPECT_EQ(link.FileTheme, theme);
  EXPECT_TRUE(link.Forget(theme, opRemove));
  EXPECT_EQ(link.FileTheme, nullptr);
}

TEST(ThemeLink, CaptionColoursByControlFontColor) {
  EXPECT_EQ(SKCaptionFontColor(0x010000, SK_TITLEBAR_DARK_CAPTIONS), clBlack);
  EXPECT_EQ(SKCaptionFontColor(0x020000, SK_TITLEBAR_DARK_CAPTIONS), clWhite);
  EXPECT_EQ(SKCaptionFontColor(0x020000, SK_PANEL_DARK_CAPTIONS), clBlack);
  EXPECT_EQ(SKCaptionFontColor(0x22630F, SK_PANEL_DARK_CAPTIONS), clBlack);
  EXPECT_EQ(SKCaptionFontColor(0x010000, SK_PANEL_DARK_CAPTIONS), clWhite);
  EXPECT_EQ(SKMenuBarColorByFontColor(0x020000, 7), 0xAC5B3B);
  EXPECT_EQ(SKMenuBarColorByFontColor(0x030000, 7), 0x996733);
  EXPECT_EQ(SKMenuBarColorByFontColor(-1, 7), 7);
}
