#include "tools/skingen/SkinCatalogue.h"

#include "tools/skingen/Art.h"

namespace skingen {

namespace {

constexpr Style Mac = Style::MacOS;
constexpr Style Xp = Style::WinXP;
constexpr Style Deep = Style::DeepBlue;
constexpr Style Prot = Style::Protein;
constexpr Style Glass = Style::BlueGlass;
constexpr Key Opaque = Key::None;
constexpr Key Magenta = Key::Magenta;

// Sizes: push buttons 24 x 21 per state (normal, hot, pressed); check and radio boxes 13 x 13 per state
// (checked, unchecked, checked disabled, unchecked disabled); caption buttons 18 states in six groups
// (control box, help, maximize, restore, minimize, close; normal, hot, pressed), as tall as the caption row
// the style gives them; caption pictures as tall as the caption plus the three border rows above it; scroll
// arrows 17 x 17 (up normal, hot, pressed, down normal, hot, pressed), drawn for a vertical bar; the scroll
// thumb in three 7 x 17 parts drawn for a horizontal bar; track bars 5 pixels thick with rounded ends.
const std::vector<SkinPicture> table = {
    // clang-format off
    {"MACOS_BUTTON",                72, 21,  3, Magenta, Mac,   drawPushButton},
    {"WINXP_BUTTON",                72, 21,  3, Opaque,  Xp,    drawPushButton},
    {"DEEPBLUE_BUTTON",             72, 21,  3, Opaque,  Deep,  drawPushButton},
    {"PROTEIN_BUTTON",              72, 21,  3, Opaque,  Prot,  drawPushButton},
    {"BLUEGLASS_BUTTON",            72, 21,  3, Magenta, Glass, drawPushButton},

    {"MACOS_CHECKBOX",              52, 13,  4, Opaque,  Mac,   drawCheckBox},
    {"WINXP_CHECKBOX",              52, 13,  4, Opaque,  Xp,    drawCheckBox},
    {"DEEPBLUE_CHECKBOX",           52, 13,  4, Opaque,  Deep,  drawCheckBox},
    {"PROTEIN_CHECKBOX",            52, 13,  4, Opaque,  Prot,  drawCheckBox},
    {"BLUEGLASS_CHECKBOX",          52, 13,  4, Opaque,  Glass, drawCheckBox},

    {"MACOS_RADIOBUTTON",           52, 13,  4, Magenta, Mac,   drawRadioButton},
    {"WINXP_RADIOBUTTON",           52, 13,  4, Magenta, Xp,    drawRadioButton},
    {"DEEPBLUE_RADIOBUTTON",        52, 13,  4, Magenta, Deep,  drawRadioButton},
    {"PROTEIN_RADIOBUTTON",         52, 13,  4, Magenta, Prot,  drawRadioButton},
    {"BLUEGLASS_RADIOBUTTON",       52, 13,  4, Magenta, Glass, drawRadioButton},

    {"MACOS_TITLEBTN",             324, 17, 18, Opaque,  Mac,   drawTitleButtons},
    {"WINXP_TITLEBTN",             378, 21, 18, Opaque,  Xp,    drawTitleButtons},
    {"DEEPBLUE_TITLEBTN",          486, 22, 18, Opaque,  Deep,  drawTitleButtons},
    {"PROTEIN_TITLEBTN",           342, 21, 18, Magenta, Prot,  drawTitleButtons},
    {"BLUEGLASS_TITLEBTN",         378, 19, 18, Magenta, Glass, drawTitleButtons},

    {"MACOS_TITLE_LEFT",            24, 22,  1, Opaque,  Mac,   drawTitleLeft},
    {"WINXP_TITLE_LEFT",            24, 28,  1, Opaque,  Xp,    drawTitleLeft},
    {"DEEPBLUE_TITLE_LEFT",         24, 24,  1, Opaque,  Deep,  drawTitleLeft},
    {"PROTEIN_TITLE_LEFT",          24, 24,  1, Opaque,  Prot,  drawTitleLeft},
    {"BLUEGLASS_TITLE_LEFT",        24, 28,  1, Opaque,  Glass, drawTitleLeft},

    {"MACOS_TITLE_CLIENT",           8, 22,  1, Opaque,  Mac,   drawTitleClient},
    {"WINXP_TITLE_CLIENT",           8, 28,  1, Opaque,  Xp,    drawTitleClient},
    {"DEEPBLUE_TITLE_CLIENT",        8, 24,  1, Opaque,  Deep,  drawTitleClient},
    {"PROTEIN_TITLE_CLIENT",         8, 24,  1, Opaque,  Prot,  drawTitleClient},
    {"BLUEGLASS_TITLE_CLIENT",       8, 28,  1, Opaque,  Glass, drawTitleClient},

    {"MACOS_TITLE_RIGHT",           24, 22,  1, Opaque,  Mac,   drawTitleRight},
    {"WINXP_TITLE_RIGHT",           24, 28,  1, Opaque,  Xp,    drawTitleRight},
    {"DEEPBLUE_TITLE_RIGHT",        24, 24,  1, Opaque,  Deep,  drawTitleRight},
    {"PROTEIN_TITLE_RIGHT",         24, 24,  1, Opaque,  Prot,  drawTitleRight},
    {"BLUEGLASS_TITLE_RIGHT",       24, 28,  1, Opaque,  Glass, drawTitleRight},

    {"MACOS_PROGRESSBAR",           16, 10,  1, Opaque,  Mac,   drawProgressBar},
    {"WINXP_PROGRESSBAR",           16, 10,  1, Opaque,  Xp,    drawProgressBar},
    {"DEEPBLUE_PROGRESSBAR",        16, 10,  1, Opaque,  Deep,  drawProgressBar},
    {"PROTEIN_PROGRESSBAR",         16, 10,  1, Opaque,  Prot,  drawProgressBar},
    {"BLUEGLASS_PROGRESSBAR",       16, 10,  1, Opaque,  Glass, drawProgressBar},

    {"MACOS_TRACKBAR_BAR",          15,  5,  3, Magenta, Mac,   drawTrackBar},
    {"WINXP_TRACKBAR_BAR",          15,  5,  3, Magenta, Xp,    drawTrackBar},
    {"DEEPBLUE_TRACKBAR_BAR",       15,  5,  3, Magenta, Deep,  drawTrackBar},
    {"PROTEIN_TRACKBAR_BAR",        15,  5,  3, Magenta, Prot,  drawTrackBar},
    {"BLUEGLASS_TRACKBAR_BAR",      15,  5,  3, Magenta, Glass, drawTrackBar},

    {"MACOS_TRACKBAR_SLIDER",       13, 19,  1, Magenta, Mac,   drawTrackSlider},
    {"WINXP_TRACKBAR_SLIDER",       11, 19,  1, Magenta, Xp,    drawTrackSlider},
    {"DEEPBLUE_TRACKBAR_SLIDER",    11, 19,  1, Magenta, Deep,  drawTrackSlider},
    {"PROTEIN_TRACKBAR_SLIDER",     13, 19,  1, Magenta, Prot,  drawTrackSlider},
    {"BLUEGLASS_TRACKBAR_SLIDER",   13, 19,  1, Magenta, Glass, drawTrackSlider},

    {"MACOS_TRACKBAR_SLIDER_V",     19, 13,  1, Opaque,  Mac,   drawTrackSliderV},
    {"WINXP_TRACKBAR_SLIDER_V",     19, 11,  1, Opaque,  Xp,    drawTrackSliderV},
    {"DEEPBLUE_TRACKBAR_SLIDER_V",  19, 11,  1, Opaque,  Deep,  drawTrackSliderV},
    {"PROTEIN_TRACKBAR_SLIDER_V",   19, 13,  1, Opaque,  Prot,  drawTrackSliderV},
    {"BLUEGLASS_TRACKBAR_SLIDER_V", 19, 13,  1, Opaque,  Glass, drawTrackSliderV},

    {"MACOS_SCROLLBAR_BUTTON",     102, 17,  6, Opaque,  Mac,   drawScrollBarButtons},
    {"WINXP_SCROLLBAR_BUTTON",     102, 17,  6, Opaque,  Xp,    drawScrollBarButtons},
    {"DEEPBLUE_SCROLLBAR_BUTTON",  102, 17,  6, Opaque,  Deep,  drawScrollBarButtons},
    {"PROTEIN_SCROLLBAR_BUTTON",   102, 17,  6, Opaque,  Prot,  drawScrollBarButtons},
    {"BLUEGLASS_SCROLLBAR_BUTTON", 102, 17,  6, Opaque,  Glass, drawScrollBarButtons},

    {"MACOS_SCROLLBAR_TRACK",       21, 17,  3, Opaque,  Mac,   drawScrollBarThumb},
    {"WINXP_SCROLLBAR_TRACK",       21, 17,  3, Opaque,  Xp,    drawScrollBarThumb},
    {"DEEPBLUE_SCROLLBAR_TRACK",    21, 17,  3, Opaque,  Deep,  drawScrollBarThumb},
    {"PROTEIN_SCROLLBAR_TRACK",     21, 17,  3, Opaque,  Prot,  drawScrollBarThumb},
    {"BLUEGLASS_SCROLLBAR_TRACK",   21, 17,  3, Opaque,  Glass, drawScrollBarThumb},

    {"MACOS_CHECKLIST",             52, 13,  4, Opaque,  Mac,   drawCheckList},
    {"WINXP_CHECKLIST",             52, 13,  4, Opaque,  Xp,    drawCheckList},
    {"DEEPBLUE_CHECKLIST",          52, 13,  4, Opaque,  Deep,  drawCheckList},
    {"PROTEIN_CHECKLIST",           52, 13,  4, Opaque,  Prot,  drawCheckList},
    {"BLUEGLASS_CHECKLIST",         52, 13,  4, Opaque,  Glass, drawCheckList},

    // Scroll buttons: left normal, hot, pressed, right normal, hot, pressed.
    {"MACOS_SCROLLBUTTON",          96, 16,  6, Magenta, Mac,   drawScrollButton},
    {"WINXP_SCROLLBUTTON",          96, 16,  6, Magenta, Xp,    drawScrollButton},
    {"MORE_SCROLLBUTTON",           96, 16,  6, Magenta, Deep,  drawScrollButton},

    // Tabs: normal, hot, selected.
    {"MACOS_TAB",                   75, 21,  3, Magenta, Mac,   drawTab},
    {"WINXP_TAB",                   75, 21,  3, Magenta, Xp,    drawTab},
    {"DEEPBLUE_TAB",                75, 21,  3, Magenta, Deep,  drawTab},
    {"PROTEIN_TAB",                 75, 21,  3, Magenta, Prot,  drawTab},
    {"BLUEGLASS_TAB",               75, 21,  3, Magenta, Glass, drawTab},

    {"MACOS_TAB_LINE",              15,  5,  3, Opaque,  Mac,   drawTabLine},
    {"WINXP_TAB_LINE",              15,  5,  3, Opaque,  Xp,    drawTabLine},
    {"DEEPBLUE_TAB_LINE",           15,  5,  3, Opaque,  Deep,  drawTabLine},
    {"PROTEIN_TAB_LINE",            15,  5,  3, Opaque,  Prot,  drawTabLine},
    {"BLUEGLASS_TAB_LINE",          15,  5,  3, Opaque,  Glass, drawTabLine},

    {"MACOS_SIDECHENNEL_HANDLE",     8, 41,  1, Opaque,  Mac,   drawSideHandle},
    {"WINXP_SIDECHENNEL_HANDLE",     8, 41,  1, Opaque,  Xp,    drawSideHandle},
    {"DEEPBLUE_SIDECHENNEL_HANDLE",  8, 41,  1, Opaque,  Deep,  drawSideHandle},
    {"PROTEIN_SIDECHENNEL_HANDLE",   8, 41,  1, Opaque,  Prot,  drawSideHandle},
    {"BLUEGLASS_SIDECHENNEL_HANDLE", 8, 41,  1, Opaque,  Glass, drawSideHandle},

    {"MACOS_SIDECHENNEL_BAR",        8, 21,  1, Opaque,  Mac,   drawSideBar},
    {"WINXP_SIDECHENNEL_BAR",        8, 21,  1, Opaque,  Xp,    drawSideBar},
    {"DEEPBLUE_SIDECHENNEL_BAR",     8, 21,  1, Opaque,  Deep,  drawSideBar},
    {"PROTEIN_SIDECHENNEL_BAR",      8, 21,  1, Opaque,  Prot,  drawSideBar},
    {"BLUEGLASS_SIDECHENNEL_BAR",    8, 21,  1, Opaque,  Glass, drawSideBar},

    // Named pictures outside the catalogue.
    {"MENU_CHECKED",                16, 16,  1, Key::White, Deep, drawMenuChecked},
    {"MACOS_MENU_BAR",               8, 22,  1, Opaque,  Mac,   drawMacMenuBar},
    {"MACOS_MENU_SELECT",            8, 20,  1, Opaque,  Mac,   drawMacMenuSelect},
    {"MACOS_FORM_BACKGROUND",       32,  4,  1, Opaque,  Mac,   drawMacFormBackground},
    {"PROTEIN_FORM_BACKGROUND",     16, 16,  1, Opaque,  Prot,  drawProteinFormBackground},
    // Expanded normal, expanded hot, collapsed normal, collapsed hot.
    {"PANEL_BUTTON",                60, 15,  4, Opaque,  Deep,  drawPanelButton},
    {"SIDECHANNEL_BTN",             12, 12,  1, Magenta, Deep,  drawSideChannelPin},
    // Minimize, restore, close.
    {"MDI_CONTROL_BUTTON",          48, 16,  3, Magenta, Deep,  drawMdiControlButtons},
    // The close box covers (162, 6) to (175, 19).
    {"MSNPOPFORM",                 182, 118, 1, Opaque,  Deep,  drawNoticeBackground},
    // First, prior, next, last, insert, delete, edit, post, cancel, refresh.
    {"DBNAV_BUTTON",               160, 16, 10, Magenta, Deep,  drawNavigatorGlyphs},
    {"MACOS_COMBOBOX_BUTTON",       16, 17,  1, Opaque,  Mac,   drawMacComboButton},
    {"WINXP_COMBOBOX_BUTTON",       16, 18,  1, Opaque,  Xp,    drawXpComboButton},
    {"MAINICON",                    32, 32,  1, Magenta, Deep,  drawMainIcon},
    {"MAINICON_16",                 16, 16,  1, Magenta, Deep,  drawMainIcon},
    // clang-format on
};

} // namespace

const std::vector<SkinPicture>& skinCatalogue() {
  return table;
}

const SkinPicture* findPicture(const std::string& name) {
  for (const SkinPicture& p : table)
    if (p.name == name) return &p;
  return nullptr;
}

Image renderPicture(const SkinPicture& picture) {
  const int pw = picture.pieceWidth();
  Canvas strip(picture.width, picture.height, {});
  for (int i = 0; i < picture.pieces; ++i)
    strip.paste(picture.draw(picture.style, i, pw, picture.height), i * pw, 0);
  return toImage(strip, picture.key);
}

} // namespace skingen
