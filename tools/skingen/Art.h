// The drawing functions of the skin pictures, one per kind of picture; each draws one state piece.
#pragma once

#include "tools/skingen/Canvas.h"
#include "tools/skingen/Style.h"

namespace skingen {

// Controls (ArtControls.cpp)
Canvas drawPushButton(Style s, int piece, int w, int h);
Canvas drawCheckBox(Style s, int piece, int w, int h);
Canvas drawRadioButton(Style s, int piece, int w, int h);
Canvas drawCheckList(Style s, int piece, int w, int h);
Canvas drawProgressBar(Style s, int piece, int w, int h);
Canvas drawTrackBar(Style s, int piece, int w, int h);
Canvas drawTrackSlider(Style s, int piece, int w, int h);
Canvas drawTrackSliderV(Style s, int piece, int w, int h);
Canvas drawScrollBarButtons(Style s, int piece, int w, int h);
Canvas drawScrollBarThumb(Style s, int piece, int w, int h);
Canvas drawScrollButton(Style s, int piece, int w, int h);
Canvas drawTab(Style s, int piece, int w, int h);
Canvas drawTabLine(Style s, int piece, int w, int h);
Canvas drawSideHandle(Style s, int piece, int w, int h);
Canvas drawSideBar(Style s, int piece, int w, int h);

// Caption (ArtTitle.cpp)
Canvas drawTitleButtons(Style s, int piece, int w, int h);
Canvas drawTitleLeft(Style s, int piece, int w, int h);
Canvas drawTitleClient(Style s, int piece, int w, int h);
Canvas drawTitleRight(Style s, int piece, int w, int h);

// Named extras (ArtExtras.cpp)
Canvas drawMenuChecked(Style s, int piece, int w, int h);
Canvas drawMacMenuBar(Style s, int piece, int w, int h);
Canvas drawMacMenuSelect(Style s, int piece, int w, int h);
Canvas drawMacFormBackground(Style s, int piece, int w, int h);
Canvas drawProteinFormBackground(Style s, int piece, int w, int h);
Canvas drawPanelButton(Style s, int piece, int w, int h);
Canvas drawSideChannelPin(Style s, int piece, int w, int h);
Canvas drawMdiControlButtons(Style s, int piece, int w, int h);
Canvas drawNoticeBackground(Style s, int piece, int w, int h);
Canvas drawNavigatorGlyphs(Style s, int piece, int w, int h);
Canvas drawMacComboButton(Style s, int piece, int w, int h);
Canvas drawXpComboButton(Style s, int piece, int w, int h);
Canvas drawMainIcon(Style s, int piece, int w, int h);

} // namespace skingen
