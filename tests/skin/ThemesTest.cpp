// The catalogue of theme items and the lookups into the built-in styles.
#include <gtest/gtest.h>

#include "skin/SKThemes.h"

TEST(ThemeCatalogue, SpotValues) {
  EXPECT_EQ(GetInsideThemeColor(DeepBlue, 15), 0xE8E8E8);
  EXPECT_EQ(GetInsideThemeInt(WinXP, 8), -2);
  EXPECT_TRUE(GetInsideThemeBool(BlueGlass, 2));
  EXPECT_FALSE(GetInsideThemeBool(WinXP, 2));
  EXPECT_EQ(GetInsideThemeInt(BlueGlass, 13), 270);
  EXPECT_EQ(GetInsideThemeInt(WinXP, 14), 13);
  EXPECT_EQ(GetInsideThemeColor(WinXP, 27), 0xCF4602);
  EXPECT_EQ(GetInsideThemeColor(Protein, 48), 0xFBFBFB);
  EXPECT_EQ(SKItemName(1), "ButtonImage");
  EXPECT_EQ(SKItemName(48), "MenuMenuBarColor");
  EXPECT_EQ(SKItemName(0), "");
  EXPECT_EQ(SKItemName(49), "");

  TskType type;
  EXPECT_STREQ(GetInsideThemeValue(MacOS, 1, type).Name, "MACOS_BUTTON");
  EXPECT_EQ(type, TskType::Str);
  // One scroll-button picture serves three styles.
  EXPECT_STREQ(GetInsideThemeValue(DeepBlue, 38, type).Name, "MORE_SCROLLBUTTON");
  EXPECT_STREQ(GetInsideThemeValue(BlueGlass, 38, type).Name, "MORE_SCROLLBUTTON");
  EXPECT_STREQ(GetInsideThemeValue(WinXP, 38, type).Name, "WINXP_SCROLLBUTTON");
  for (int item : {43, 45, 46})
    for (int style = MacOS; style <= BlueGlass; ++style)
      EXPECT_STREQ(GetInsideThemeValue(static_cast<TskUIStyle>(style), item, type).Name, "") << item;
}

TEST(ThemeCatalogue, MistypedReadsAnswerTheNeutralValue) {
  EXPECT_EQ(GetInsideThemeColor(MacOS, 1), 0);  // a picture asked as a colour
  EXPECT_EQ(GetInsideThemeInt(MacOS, 15), -1);  // a colour asked as an integer
  EXPECT_FALSE(GetInsideThemeBool(MacOS, 15));  // a colour asked as a flag
  EXPECT_EQ(GetInsideThemeColor(MacOS, 17), 0); // an integer asked as a colour

  TskType type;
  EXPECT_EQ(GetInsideThemeValue(FromThemeFile, 15, type).Num, -1);
  EXPECT_EQ(type, TskType::Int);
  EXPECT_EQ(GetInsideThemeInt(FromThemeFile, 13), -1);
  EXPECT_EQ(GetInsideThemeColor(FromThemeFile, 15), 0);
  EXPECT_FALSE(GetInsideThemeBool(FromThemeFile, 2));
  EXPECT_EQ(GetInsideThemeInt(static_cast<TskUIStyle>(6), 13), -1);
  EXPECT_EQ(GetInsideThemeInt(DeepBlue, 0), -1);
  EXPECT_EQ(GetInsideThemeInt(DeepBlue, 49), -1);
}
