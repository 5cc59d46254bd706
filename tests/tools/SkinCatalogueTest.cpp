#include "tools/skingen/SkinCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace skingen;

namespace {

const std::vector<std::string> perStyle = {"BUTTON",          "CHECKBOX",           "RADIOBUTTON",
                                           "TITLEBTN",        "TITLE_LEFT",         "TITLE_CLIENT",
                                           "TITLE_RIGHT",     "PROGRESSBAR",        "TRACKBAR_BAR",
                                           "TRACKBAR_SLIDER", "TRACKBAR_SLIDER_V",  "SCROLLBAR_BUTTON",
                                           "SCROLLBAR_TRACK", "CHECKLIST",          "TAB",
                                           "TAB_LINE",        "SIDECHENNEL_HANDLE", "SIDECHENNEL_BAR"};

const std::vector<std::string> extras = {
    "MACOS_SCROLLBUTTON", "WINXP_SCROLLBUTTON",    "MORE_SCROLLBUTTON",     "MENU_CHECKED",
    "MACOS_MENU_BAR",     "MACOS_MENU_SELECT",     "MACOS_FORM_BACKGROUND", "PROTEIN_FORM_BACKGROUND",
    "PANEL_BUTTON",       "SIDECHANNEL_BTN",       "MDI_CONTROL_BUTTON",    "MSNPOPFORM",
    "DBNAV_BUTTON",       "MACOS_COMBOBOX_BUTTON", "WINXP_COMBOBOX_BUTTON", "MAINICON"};

const SkinPicture& picture(const std::string& name) {
  const SkinPicture* p = findPicture(name);
  if (!p) throw std::runtime_error("missing " + name);
  return *p;
}

} // namespace

TEST(SkinCatalogue, HoldsEveryRequiredPictureOnce) {
  std::set<std::string> names;
  for (const SkinPicture& p : skinCatalogue()) EXPECT_TRUE(names.insert(p.name).second) << p.name;
  for (Style s : AllStyles)
    for (const std::string& item : perStyle) EXPECT_TRUE(names.count(stylePrefix(s) + "_" + item)) << item;
  for (const std::string& name : extras) EXPECT_TRUE(names.count(name)) << name;
}

TEST(SkinCatalogue, StripsCutIntoWholePiecesOfTheReadersSizes) {
  for (const SkinPicture& p : skinCatalogue()) {
    ASSERT_GT(p.pieces, 0) << p.name;
    EXPECT_EQ(p.width % p.pieces, 0) << p.name;
    EXPECT_GT(p.height, 0) << p.name;
  }
  for (Style s : AllStyles) {
    const std::string pre = stylePrefix(s) + "_";
    EXPECT_EQ(picture(pre + "BUTTON").pieces, 3);
    EXPECT_EQ(picture(pre + "CHECKBOX").pieces, 4);
    EXPECT_EQ(picture(pre + "RADIOBUTTON").pieces, 4);
    EXPECT_EQ(picture(pre + "TITLEBTN").pieces, 18);
    EXPECT_EQ(picture(pre + "SCROLLBAR_BUTTON").pieces, 6);
    EXPECT_EQ(picture(pre + "SCROLLBAR_TRACK").pieces, 3);
    EXPECT_EQ(picture(pre + "TRACKBAR_BAR").pieces, 3);
    // The scroll thumb is as thick as the arrow buttons are wide.
    EXPECT_EQ(picture(pre + "SCROLLBAR_TRACK").height, picture(pre + "SCROLLBAR_BUTTON").pieceWidth());
    // The three caption pictures share one height, which must hold the caption buttons below their top row.
    const int h = picture(pre + "TITLE_CLIENT").height;
    EXPECT_EQ(picture(pre + "TITLE_LEFT").height, h);
    EXPECT_EQ(picture(pre + "TITLE_RIGHT").height, h);
    EXPECT_LE(traits(s).titleButtonTop + picture(pre + "TITLEBTN").height, h + 1) << pre;
  }
  EXPECT_EQ(picture("MENU_CHECKED").width, 16);
  EXPECT_EQ(picture("MENU_CHECKED").height, 16);
  EXPECT_EQ(picture("DBNAV_BUTTON").width, 160);
  EXPECT_EQ(picture("DBNAV_BUTTON").pieces, 10);
  EXPECT_EQ(picture("MACOS_COMBOBOX_BUTTON").height, 17);
  EXPECT_EQ(picture("WINXP_COMBOBOX_BUTTON").height, 18);
  EXPECT_EQ(picture("PANEL_BUTTON").pieces, 4);
  EXPECT_EQ(picture("MDI_CONTROL_BUTTON").pieces, 3);
  EXPECT_GE(picture("MSNPOPFORM").width, 182);
  EXPECT_EQ(picture("MAINICON").width, 32);
}

TEST(SkinCatalogue, RendersAtTheTableSizeAndTheSameEveryTime) {
  for (const SkinPicture& p : skinCatalogue()) {
    const Image a = renderPicture(p);
    EXPECT_EQ(a.width, p.width) << p.name;
    EXPECT_EQ(a.height, p.height) << p.name;
    EXPECT_TRUE(a.rgb == renderPicture(p).rgb) << p.name;
  }
}

TEST(SkinCatalogue, KeyedPicturesHaveNoFringeAndOpaqueOnesNoKey) {
  for (const SkinPicture& p : skinCatalogue()) {
    const Image img = renderPicture(p);
    const std::uint32_t key = keyColour(p.key);
    int keyed = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        const std::uint32_t px = img.pixel(x, y);
        if (p.key == Key::None) {
          // Stretched parts treat magenta as transparent whatever the picture says.
          ASSERT_NE(px, MagentaKey) << p.name << " at " << x << "," << y;
        } else if (px == key) {
          ++keyed;
        } else {
          ASSERT_FALSE(nearKey(px, key)) << p.name << " at " << x << "," << y;
        }
      }
    if (p.key != Key::None) {
      EXPECT_GT(keyed, 0) << p.name;
    }
  }
}

TEST(SkinCatalogue, CornersThatReadersTakeAsTheKeyAreKeyed) {
  auto corner = [](const std::string& name, int piece, bool bottom) {
    const SkinPicture& p = picture(name);
    const Image img = renderPicture(p);
    return img.pixel(piece * p.pieceWidth(), bottom ? img.height - 1 : 0);
  };
  for (Style s : AllStyles) {
    const std::string pre = stylePrefix(s) + "_";
    for (int piece = 0; piece < 4; ++piece) EXPECT_EQ(corner(pre + "RADIOBUTTON", piece, true), MagentaKey);
    EXPECT_EQ(corner(pre + "TRACKBAR_SLIDER", 0, true), MagentaKey) << pre;
    EXPECT_EQ(corner(pre + "TRACKBAR_BAR", 0, true), MagentaKey) << pre;
    if (traits(s).titleButtonsTransparent) {
      for (int piece = 0; piece < 18; ++piece)
        EXPECT_EQ(corner(pre + "TITLEBTN", piece, true), MagentaKey) << pre;
    }
    // The bar's middle is stretched opaque: it must hold no key at all.
    const SkinPicture& bar = picture(pre + "TRACKBAR_BAR");
    const Image img = renderPicture(bar);
    for (int y = 0; y < img.height; ++y)
      for (int x = bar.pieceWidth(); x < 2 * bar.pieceWidth(); ++x)
        EXPECT_NE(img.pixel(x, y), MagentaKey) << pre;
  }
  // Glyph strips are masked by their first pixel.
  for (const char* name : {"DBNAV_BUTTON", "MDI_CONTROL_BUTTON", "SIDECHANNEL_BTN"}) {
    const SkinPicture& p = picture(name);
    for (int piece = 0; piece < p.pieces; ++piece) EXPECT_EQ(corner(name, piece, false), MagentaKey) << name;
  }
  EXPECT_EQ(corner("MENU_CHECKED", 0, false), WhiteKey);
}

TEST(SkinCatalogue, OpaqueCaptionButtonsContinueTheCaptionBehindThem) {
  for (Style s : AllStyles) {
    if (traits(s).titleButtonsTransparent) continue;
    const std::string pre = stylePrefix(s) + "_";
    const Image buttons = renderPicture(picture(pre + "TITLEBTN"));
    const Image caption = renderPicture(picture(pre + "TITLE_CLIENT"));
    const int help = 3 * picture(pre + "TITLEBTN").pieceWidth(); // normal help button
    // Its corners lie outside the button itself and must show the caption rows they cover.
    for (int y : {0, buttons.height - 1}) {
      const int row = traits(s).titleButtonTop + y;
      if (row < caption.height) {
        EXPECT_EQ(buttons.pixel(help, y), caption.pixel(0, row)) << pre << " row " << y;
      }
    }
  }
}
