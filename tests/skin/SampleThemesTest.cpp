// The sample theme files that the build writes (every item, and panel captions that stand out from their
// strip), and the built-in pictures as the styles load them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "classlib/controls/Form.h"
#include "classlib/core/Resources.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"
#include "skin/SKThemeFile.h"
#include "skin/SKThemes.h"
#include "tests/skin/SkinTestUtil.h"

namespace {

// The build tree, seen from this test program's folder.
AnsiString BuildDir() {
  return GetExeDir() + "../../";
}

const char* const SampleThemes[] = {"Emerald.skn", "Sunset.skn", "Amethyst.skn"};

// Perceived brightness, 0..255, with the usual 299/587/114 weights.
int Brightness(TColor Color) {
  const TColor c = ColorToRGB(Color);
  return ((c & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + ((c >> 16) & 0xFF) * 114) / 1000;
}

} // namespace

TEST(SampleThemes, HoldEveryItemAndLoad) {
  std::set<TColor> accents;
  for (const char* name : SampleThemes) {
    SCOPED_TRACE(name);
    const AnsiString file = BuildDir() + "app/themes/" + name;
    ASSERT_TRUE(IsSKThemeFile(file));
    TskThemeFileReader reader(file);
    EXPECT_EQ(reader.Files().Count(),
              std::count(std::begin(SK_ITEM_TYPE), std::end(SK_ITEM_TYPE), TskType::Str));
    for (int item = 1; item <= SK_ITEM_COUNT; ++item) {
      const AnsiString& key = SKItemName(item);
      switch (SK_ITEM_TYPE[item - 1]) {
      case TskType::Str: {
        TStream* stream = reader.GetFile(key);
        ASSERT_NE(stream, nullptr) << key;
        TBitmap bmp;
        bmp.LoadFromStream(stream);
        EXPECT_GT(bmp.Width() * bmp.Height(), 0) << key;
        break;
      }
      case TskType::Color:
      case TskType::Int:
        EXPECT_GE(reader.Integers().IndexOfName(key), 0) << key;
        break;
      case TskType::Bool:
        EXPECT_GE(reader.Bools().IndexOfName(key), 0) << key;
        break;
      }
    }

    TskFileTheme theme(nullptr);
    theme.SetThemeFile(file);
    ASSERT_TRUE(theme.CanUse());
    accents.insert(theme.GetColor(18));
    TBitmap whole, piece;
    theme.GetBitmap(1, &whole, 0, 0);
    theme.GetBitmap(1, &piece, 3, 2);
    EXPECT_EQ(piece.Width(), whole.Width() / 3);
    EXPECT_EQ(piece.Height(), whole.Height());
    EXPECT_EQ(piece.Canvas()->Pixels(0, whole.Height() / 2),
              whole.Canvas()->Pixels(whole.Width() / 3, whole.Height() / 2));
    // Items only theme files carry: the side border turns into the bottom border's ends.
    TBitmap side, bottom;
    theme.GetBitmap(45, &side, 0, 0);
    theme.GetBitmap(46, &bottom, 0, 0);
    EXPECT_EQ(bottom.Height(), side.Width());
    EXPECT_EQ(bottom.Width() % 3, 0);
  }
  EXPECT_EQ(accents.size(), std::size(SampleThemes)); // each its own look
}

TEST(SampleThemes, PanelCaptionsStandOutFromTheirStrip) {
  // The game board's caption is drawn over the caption strip; text wants a brightness difference of at least
  // 125 from its background to be read easily.
  TForm form(nullptr);
  for (const char* name : SampleThemes) {
    SCOPED_TRACE(name);
    TskFileTheme theme(&form);
    theme.SetThemeFile(BuildDir() + "app/themes/" + name);
    ASSERT_TRUE(theme.CanUse());
    TskPanel panel(&form);
    panel.SetFileTheme(&theme);
    panel.SetUIStyle(FromThemeFile);
    TBitmap strip;
    theme.GetBitmap(42, &strip, 0, 0);
    ASSERT_GT(strip.Width() * strip.Height(), 0);
    long sum = 0;
    for (int y = 0; y < strip.Height(); ++y)
      for (int x = 0; x < strip.Width(); ++x) sum += Brightness(strip.Canvas()->Pixels(x, y));
    const long mean = sum / (strip.Width() * strip.Height());
    EXPECT_GE(std::abs(Brightness(panel.CaptionFontColor()) - mean), 125) << "strip brightness " << mean;
  }
}

TEST(BuiltInPictures, APieceOfAStyleStrip) {
  // The program compiles the pictures in; here the one that is read is registered from the build's folder.
  static const std::vector<uint8_t> bytes =
      skintest::ReadBytes(BuildDir() + "resources/skin/DEEPBLUE_BUTTON.bmp");
  ASSERT_FALSE(bytes.empty());
  RegisterResource("DEEPBLUE_BUTTON", RT_BITMAP, bytes.data(), bytes.size());

  TBitmap whole, piece;
  LoadInsideThemeBitmap(DeepBlue, 1, &whole);
  ASSERT_GT(whole.Width(), 0);
  GetInsideThemeBitmap(DeepBlue, 1, &piece, 3, 2);
  const int w = whole.Width() / 3;
  ASSERT_EQ(piece.Width(), w);
  ASSERT_EQ(piece.Height(), whole.Height());
  for (int x = 0; x < w; x += 5)
    EXPECT_EQ(piece.Canvas()->Pixels(x, 10), whole.Canvas()->Pixels(w + x, 10)) << x;

  TBitmap untouched;
  untouched.SetSize(3, 3);
  LoadInsideThemeBitmap(DeepBlue, 15, &untouched); // a colour, not a picture
  LoadInsideThemeBitmap(FromThemeFile, 1, &untouched);
  EXPECT_EQ(untouched.Width(), 3);
}
