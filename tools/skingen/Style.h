// The five built-in looks and the few catalogue values their pictures must agree with.
#pragma once

#include "tools/skingen/Canvas.h"

#include <array>
#include <string>

namespace skingen {

enum class Style { MacOS, WinXP, DeepBlue, Protein, BlueGlass };

constexpr std::array<Style, 5> AllStyles{Style::MacOS, Style::WinXP, Style::DeepBlue, Style::Protein,
                                         Style::BlueGlass};

std::string stylePrefix(Style style); // "MACOS", "WINXP", ...

struct StyleTraits {
  Rgb formBackground;    // the frame's panel colour
  Rgb controlBackground; // what controls sit on
  Rgb scrollBackground;  // the scroll bar's track colour
  int titleButtonTop;    // caption buttons start this many rows into the caption pictures
  int titleButtonLeft;   // x offset of the control box
  int titleButtonRight;  // x offset of the right-hand button row from the right edge
  int borderWidth;
  Rgb borderColour;
  int roundCorner;              // ellipse size of the window's rounded upper corners
  bool titleButtonsTransparent; // caption buttons are keyed, not opaque
  bool buttonTransparent;       // push buttons are keyed, not opaque
};

const StyleTraits& traits(Style style);

// A state look of a raised control face: outline, a four-stop body (top, just above and just below the
// middle, bottom: a step between the two middle stops gives the glossy split), an inner rim and the colour of
// what is drawn on it.
struct Face {
  Rgb border, top, upper, lower, bottom;
  Rgb rim;
  double rimOpacity;
  Rgb ink;
};

enum class FaceState { Normal, Hot, Down, Disabled };

// The everyday face of buttons, scroll arrows, tabs and thumbs.
Face controlFace(Style style, FaceState state);
// The style's highlight face: checked boxes, progress, selected items.
Face accentFace(Style style, FaceState state);

} // namespace skingen
