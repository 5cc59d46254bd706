// Caption pictures. The caption bar shows its pictures three rows and three columns in from their top-left
// corner (the frame paints those rows as its top border), so everything here is laid out on "window rows":
// row d of the caption is picture row d + 3.
#include "tools/skingen/Art.h"
#include "tools/skingen/Draw.h"
#include "tools/skingen/SkinCatalogue.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {

constexpr int Border = 3;

int titleHeight(Style s) {
  return findPicture(stylePrefix(s) + "_TITLE_CLIENT")->height;
}

// The caption's colour on window row d of a caption `rows` rows high.
Rgb titleShade(Style s, double d, int rows) {
  const int row = std::clamp(int(std::floor(d)), 0, rows - 1);
  const double t = (row + 0.5) / rows;
  switch (s) {
  case Style::MacOS: {
    if (row == 0) return hex(0xFDFDFD);
    if (row == rows - 1) return hex(0x8E8E8E);
    const Rgb base = ramp({{0, hex(0xF2F2F2)}, {0.5, hex(0xE2E2E2)}, {1, hex(0xCDCDCD)}}, t);
    return row % 2 ? darken(base, 0.035) : lighten(base, 0.25);
  }
  case Style::WinXP:
    if (row == rows - 1) return hex(0x0030A8);
    return ramp({{0, hex(0x4C9BFF)},
                 {0.08, hex(0x3D8FFB)},
                 {0.16, hex(0x1A6CF2)},
                 {0.45, hex(0x0B5AE6)},
                 {0.8, hex(0x0452DE)},
                 {1, hex(0x0346CE)}},
                t);
  case Style::DeepBlue:
    if (row == 0) return hex(0x4A5F96);
    if (row == rows - 1) return hex(0x090F26);
    return ramp({{0, hex(0x26386A)}, {1, hex(0x17234B)}}, t);
  case Style::Protein:
    if (row == 0) return hex(0x8792A2);
    if (row == rows - 2) return hex(0xF39A3C);
    if (row == rows - 1) return hex(0xD06A12);
    return ramp({{0, hex(0x5B6678)}, {1, hex(0x3A424F)}}, t);
  case Style::BlueGlass:
    if (row == 0) return hex(0xD2EAFF);
    if (row == rows - 1) return hex(0x24548F);
    return ramp({{0, hex(0x93C6F4)},
                 {0.47, hex(0x6AA5E4)},
                 {0.47, hex(0x3C7ECC)},
                 {0.85, hex(0x4A8EDB)},
                 {1, hex(0x6BAEEC)}},
                t);
  }
  return {};
}

// Fills a canvas with the caption colour; canvas row y is window row y + firstRow. Undrawn, the colour only
// serves as what keyed edges are antialiased against.
void paintTitle(Canvas& c, Style s, double firstRow, bool drawn = true) {
  const int rows = titleHeight(s) - Border;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const Rgb shade = titleShade(s, y + firstRow, rows);
      drawn ? c.set(x, y, shade) : c.setBackground(x, y, shade);
    }
}

Canvas titlePicture(Style s, int w, int h) {
  Canvas c(w, h, {});
  paintTitle(c, s, -Border);
  return c;
}

// The light rim inside a rounded upper corner; `left` picks the corner.
void cornerRim(Canvas& c, Style s, bool left) {
  const double r = s == Style::WinXP ? 6.5 : 5.5;
  const Rgb rim = s == Style::WinXP ? hex(0x8CC0FF) : hex(0xE4F2FF);
  const double x0 = left ? Border : -40.0;
  const double x1 = left ? c.width() + 40.0 : c.width() - Border;
  const Region ring =
      roundRing(x0, Border, x1, c.height() + 40.0, r, 1.0) & rect(0, 0, c.width(), Border + r + 2);
  c.fill(ring, rim, 0.85);
}

enum class Caption { ControlBox, Help, Maximize, Restore, Minimize, Close };

Region captionGlyph(Caption kind, double cx, double cy, double a, double w) {
  switch (kind) {
  case Caption::Help:
    return helpGlyph(cx, cy, a, w);
  case Caption::Maximize:
    return maximizeGlyph(cx, cy, a, w);
  case Caption::Restore:
    return restoreGlyph(cx, cy, a, w);
  case Caption::Minimize:
    return minimizeGlyph(cx, cy, a, w);
  case Caption::Close:
    return closeGlyph(cx, cy, a * 0.9, w * 1.15);
  case Caption::ControlBox:
    break;
  }
  return rect(0, 0, 0, 0);
}

void controlBox(Canvas& c, Style s, int state, double cx, double cy, double size) {
  const double half = size / 2;
  if (state > 0) {
    const Rgb glow = s == Style::MacOS ? hex(0x6FA8EC) : hex(0xFFFFFF);
    const double alpha = s == Style::MacOS ? (state == 1 ? 0.45 : 0.7) : (state == 1 ? 0.28 : 0.16);
    const Region backdrop = roundRect(cx - half - 2, cy - half - 2, cx + half + 2, cy + half + 2, 3);
    // On a keyed picture a faint backdrop would fall under the key, so it is mixed in at full strength.
    if (traits(s).titleButtonsTransparent)
      c.fill(backdrop, mix(c.at(int(cx), int(cy)), glow, alpha));
    else
      c.fill(backdrop, glow, alpha);
  }
  const bool dark = s == Style::MacOS;
  const Rgb frame = dark ? hex(0x5A6270) : hex(0x1B2640);
  const Rgb tile = s == Style::Protein ? hex(0xFFC27A) : dark ? hex(0xFFFFFF) : hex(0xEAF2FF);
  const Rgb shade = s == Style::Protein ? hex(0xF08A24) : dark ? hex(0xB9D6F6) : hex(0x9CC0F0);
  drawPuzzleMark(c, cx - half, cy - half + (state == 2 ? 1 : 0), size, frame, tile, shade);
}

// One caption button of kind `kind` in state 0 normal, 1 hot, 2 pressed.
Canvas captionButton(Style s, Caption kind, int state, int w, int h) {
  const StyleTraits& tr = traits(s);
  // The control box is drawn one row higher than the other buttons.
  const double firstRow = tr.titleButtonTop - Border - (kind == Caption::ControlBox ? 1 : 0);
  Canvas c(w, h, {});
  paintTitle(c, s, firstRow, !tr.titleButtonsTransparent);
  const double cx = w / 2.0;
  const bool close = kind == Caption::Close;

  switch (s) {
  case Style::MacOS: {
    const double cy = h / 2.0, r = 7.0;
    if (kind == Caption::ControlBox) {
      controlBox(c, s, state, cx, cy, 12);
      break;
    }
    Face f = state == 0 ? Face{hex(0x7B7B7B), hex(0xE4E4E4), hex(0xCDCDCD), hex(0xB6B6B6),
                               hex(0xDCDCDC), hex(0xFFFFFF), 0.0,           hex(0x4A4A4A)}
                        : accentFace(s, FaceState::Normal);
    if (state == 2)
      f = {hex(0x1E4680), hex(0x8EB8E8), hex(0x5B94DA), hex(0x2C6CC4),
           hex(0x6AA6E8), hex(0xFFFFFF), 0.0,           hex(0xFFFFFF)};
    drawOrb(c, cx, cy, r, f);
    c.fill(captionGlyph(kind, cx, cy + 0.3, 3.2, 1.5), f.ink, state == 0 ? 0.85 : 1.0);
    break;
  }
  case Style::WinXP: {
    if (kind == Caption::ControlBox) {
      controlBox(c, s, state, cx, h / 2.0, 14);
      break;
    }
    Face f = close ? Face{hex(0xFFFFFF), hex(0xF19C82), hex(0xE2633B), hex(0xD3481D),
                          hex(0xC63C12), hex(0xFFB9A0), 0.55,          hex(0xFFFFFF)}
                   : Face{hex(0xFFFFFF), hex(0x7DB2FF), hex(0x3C84FA), hex(0x2A6DF0),
                          hex(0x2560E4), hex(0xA9CCFF), 0.55,          hex(0xFFFFFF)};
    if (state == 1) {
      f.top = lighten(f.top, 0.25), f.upper = lighten(f.upper, 0.22), f.lower = lighten(f.lower, 0.2);
      f.bottom = lighten(f.bottom, 0.12);
    } else if (state == 2) {
      std::swap(f.top, f.bottom), std::swap(f.upper, f.lower);
      f.top = darken(f.top, 0.25), f.upper = darken(f.upper, 0.2), f.lower = darken(f.lower, 0.1);
      f.rimOpacity = 0.2;
    }
    drawFace(c, 0, 0, w, h, 3.5, f);
    drawSheen(c, 3, 1.5, w - 3, h * 0.45, 0.25);
    const double d = state == 2 ? 0.5 : 0.0;
    c.fill(captionGlyph(kind, cx + d, h / 2.0 + d, 4.6, 2.2), f.ink);
    break;
  }
  case Style::DeepBlue: {
    // Flat tiles filling the caption from its top to its bottom line; row 0 is hidden above the caption.
    const double y0 = 1, y1 = h - 1.0;
    if (state > 0) {
      Rgb tile =
          close ? (state == 1 ? hex(0xC8372D) : hex(0x96231A)) : (state == 1 ? hex(0x3A5598) : hex(0x101A38));
      c.fill(rect(0, y0, w, y1), vertical(y0, y1, {{0, lighten(tile, 0.12)}, {1, tile}}));
      c.fill(rect(0, y0, w, y0 + 1), lighten(tile, 0.35), 0.6);
    }
    const double cy = (y0 + y1) / 2;
    if (kind == Caption::ControlBox) {
      controlBox(c, s, 0, cx, cy, 13);
      break;
    }
    const Rgb ink = state == 0 ? hex(0xC9D3EE) : hex(0xFFFFFF);
    c.fill(captionGlyph(kind, cx, cy, 4.2, 1.4), ink);
    break;
  }
  case Style::Protein: {
    const double cy = 11.0, r = 7.5;
    if (kind == Caption::ControlBox) {
      controlBox(c, s, state, cx, cy, 13);
      break;
    }
    Face f{hex(0x262C35), hex(0x7A8596), hex(0x636E7F), hex(0x515B6A),
           hex(0x5C6777), hex(0xFFFFFF), 0.0,           hex(0xFFFFFF)};
    if (state > 0) f = accentFace(s, FaceState::Normal);
    if (state > 0 && close)
      f = {hex(0x9E2A1C), hex(0xFF9B80), hex(0xF2604A), hex(0xDD3F2B),
           hex(0xEC5A43), hex(0xFFFFFF), 0.0,           hex(0xFFFFFF)};
    if (state == 2) {
      f.top = darken(f.top, 0.2), f.upper = darken(f.upper, 0.2), f.lower = darken(f.lower, 0.15);
      f.bottom = darken(f.bottom, 0.1);
    }
    drawOrb(c, cx, cy, r, f);
    c.fill(captionGlyph(kind, cx, cy + 0.3, 3.3, 1.6), f.ink);
    break;
  }
  case Style::BlueGlass: {
    const double cy = h / 2.0;
    if (kind == Caption::ControlBox) {
      controlBox(c, s, state, cx, cy, 14);
      break;
    }
    Face f = close ? Face{hex(0x8E2A1E), hex(0xFFC8B8), hex(0xF28C74), hex(0xCF3A26),
                          hex(0xEE6A4E), hex(0xFFFFFF), 0.45,          hex(0xFFFFFF)}
                   : Face{hex(0x1F4F8E), hex(0xD6ECFF), hex(0x96C7F2), hex(0x3B7ED0),
                          hex(0x6AB0EE), hex(0xFFFFFF), 0.45,          hex(0xFFFFFF)};
    if (state == 1) {
      f.upper = lighten(f.upper, 0.25), f.lower = close ? hex(0xE8503A) : hex(0x3FA0F0);
      f.bottom = close ? hex(0xFF9070) : hex(0x8FE0FF);
    } else if (state == 2) {
      f.top = darken(f.top, 0.2), f.upper = darken(f.upper, 0.25), f.lower = darken(f.lower, 0.25);
      f.bottom = darken(f.bottom, 0.2);
    }
    drawFace(c, 1, 1, w - 1, h - 1, 4.5, f);
    drawSheen(c, 3, 1.5, w - 3, h * 0.5, 0.3);
    c.fill(captionGlyph(kind, cx, cy + 0.3, 4.0, 1.8), f.ink);
    break;
  }
  }
  return c;
}

} // namespace

Canvas drawTitleButtons(Style s, int piece, int w, int h) {
  return captionButton(s, Caption(piece / 3), piece % 3, w, h);
}

Canvas drawTitleClient(Style s, int, int w, int h) {
  return titlePicture(s, w, h);
}

Canvas drawTitleLeft(Style s, int, int w, int h) {
  Canvas c = titlePicture(s, w, h);
  if (s == Style::WinXP || s == Style::BlueGlass) cornerRim(c, s, true);
  return c;
}

Canvas drawTitleRight(Style s, int, int w, int h) {
  Canvas c = titlePicture(s, w, h);
  if (s == Style::WinXP || s == Style::BlueGlass) cornerRim(c, s, false);
  return c;
}

} // namespace skingen
