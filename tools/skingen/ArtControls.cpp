// Pictures of the everyday controls: push buttons, check and radio boxes, bars, tabs and the side channel.
#include "tools/skingen/Art.h"
#include "tools/skingen/Draw.h"

#include <cmath>

namespace skingen {

namespace {

FaceState pushState(int piece) {
  return piece == 1 ? FaceState::Hot : piece == 2 ? FaceState::Down : FaceState::Normal;
}

double buttonRadius(Style s) {
  switch (s) {
  case Style::MacOS:
    return 9.5;
  case Style::WinXP:
    return 3.5;
  case Style::DeepBlue:
    return 2.0;
  case Style::Protein:
    return 3.5;
  case Style::BlueGlass:
    return 5.5;
  }
  return 3;
}

bool glossy(Style s) {
  return s == Style::MacOS || s == Style::BlueGlass;
}

// The face of scroll arrows, thumbs and other small bar parts.
Face barFace(Style s, FaceState st) {
  if (s == Style::WinXP) {
    Face f{hex(0x9FB5EC), hex(0xE6EEFE), hex(0xD5E1FC), hex(0xC7D6FA),
           hex(0xB5C8F6), hex(0xFFFFFF), 0.8,           hex(0x4D6185)};
    if (st == FaceState::Hot)
      f = {hex(0x8AA6EE), hex(0xF3F7FF), hex(0xE3ECFF), hex(0xD6E3FF),
           hex(0xC4D6FF), hex(0xFFFFFF), 0.9,           hex(0x3A4F78)};
    if (st == FaceState::Down)
      f = {hex(0x5E7FD8), hex(0x8EA8EE), hex(0xA2B8F1), hex(0xACC0F3),
           hex(0xBCCDF6), hex(0x7F9AE6), 0.5,           hex(0x1E2E58)};
    return f;
  }
  return controlFace(s, st);
}

// The thumb of a scroll bar: the style's highlight on glossy looks, a calm face elsewhere.
Face thumbFace(Style s) {
  switch (s) {
  case Style::MacOS:
  case Style::BlueGlass:
    return accentFace(s, FaceState::Normal);
  case Style::DeepBlue:
    return {hex(0x1C2A55), hex(0xC4CFEA), hex(0xAFBEE2), hex(0xA2B3DC),
            hex(0x93A6D4), hex(0xE4EAF8), 0.7,           hex(0x1C2A55)};
  case Style::WinXP:
    return barFace(s, FaceState::Normal);
  case Style::Protein:
    return {hex(0xA0A8B4), hex(0xF4F5F7), hex(0xE9EBEF), hex(0xE1E4E9),
            hex(0xD6DAE0), hex(0xFFFFFF), 0.9,           hex(0x3C4450)};
  }
  return controlFace(s, FaceState::Normal);
}

// The line colour that marks the style's accent: tab tops, slider rims.
Rgb accentLine(Style s) {
  switch (s) {
  case Style::MacOS:
    return hex(0x3A89E4);
  case Style::WinXP:
    return hex(0xF5A623);
  case Style::DeepBlue:
    return hex(0x2E4686);
  case Style::Protein:
    return hex(0xF5861F);
  case Style::BlueGlass:
    return hex(0x3FA0F0);
  }
  return {};
}

Canvas box(Style s, int w, int h, Rgb background) {
  (void)s;
  return Canvas(w, h, background);
}

} // namespace

Canvas drawPushButton(Style s, int piece, int w, int h) {
  Canvas c = box(s, w, h, traits(s).controlBackground);
  const Face f = controlFace(s, pushState(piece));
  const double r = buttonRadius(s);
  if (s == Style::WinXP && piece == 1) {
    // The hot look is a warm glow inside the outline.
    drawFace(c, 0, 0, w, h, r, f, false, 2.0);
  } else {
    drawFace(c, 0, 0, w, h, r, f);
  }
  if (glossy(s)) drawSheen(c, r * 0.5, 1.2, w - r * 0.5, h * 0.5, piece == 2 ? 0.25 : 0.45);
  if (s == Style::DeepBlue) {
    // A crisp dark base line under the face.
    c.fill(rect(r, h - 2, w - r, h - 1), f.border, piece == 2 ? 0.0 : 0.25);
  }
  return c;
}

Canvas drawCheckBox(Style s, int piece, int w, int h) {
  Canvas c = box(s, w, h, traits(s).controlBackground);
  const bool checked = piece == 0 || piece == 2;
  const bool disabled = piece >= 2;
  const FaceState st = disabled ? FaceState::Disabled : FaceState::Normal;
  const double cx = w / 2.0, cy = h / 2.0;
  switch (s) {
  case Style::MacOS:
  case Style::BlueGlass: {
    const Face f = checked ? accentFace(s, st) : controlFace(s, st);
    drawFace(c, 0, 0, w, h, 3, f);
    drawSheen(c, 1.5, 0.8, w - 1.5, h * 0.5, 0.4);
    if (checked) c.fill(checkGlyph(cx, cy, 3.4, 1.9), disabled ? hex(0xF4F7FB) : f.ink);
    break;
  }
  case Style::WinXP: {
    const Rgb border = disabled ? hex(0xCAC8BB) : hex(0x1C5180);
    c.fill(rect(0, 0, w, h), border);
    c.fill(rect(1, 1, w - 1, h - 1),
           disabled ? solid(hex(0xFFFFFF)) : radial(1, 1, w * 1.3, {{0, hex(0xDCDCD7)}, {1, hex(0xFFFFFF)}}));
    if (checked) c.fill(checkGlyph(cx, cy, 3.3, 2.0), disabled ? hex(0xCAC8BB) : hex(0x21A121));
    break;
  }
  case Style::DeepBlue: {
    const Face f = checked ? accentFace(s, st) : controlFace(s, st);
    c.fill(rect(0, 0, w, h), f.border);
    c.fill(rect(1, 1, w - 1, h - 1), checked ? vertical(1, h - 1, faceStops(f))
                                             : vertical(1, h - 1, {{0, hex(0xFFFFFF)}, {1, hex(0xE9EDF5)}}));
    if (checked) c.fill(checkGlyph(cx, cy, 3.3, 1.8), f.ink);
    break;
  }
  case Style::Protein: {
    const Face f = controlFace(s, st);
    const Rgb border = checked && !disabled ? hex(0xE07A1C) : f.border;
    c.fill(roundRect(0, 0, w, h, 2), border);
    c.fill(roundRect(1, 1, w - 1, h - 1, 1.2), vertical(1, h - 1, {{0, hex(0xFFFFFF)}, {1, hex(0xF1F2F4)}}));
    if (checked)
      c.fill(checkGlyph(cx, cy, 3.4, 2.1), disabled ? accentFace(s, st).border : accentFace(s, st).lower);
    break;
  }
  }
  return c;
}

Canvas drawRadioButton(Style s, int piece, int w, int h) {
  Canvas c = box(s, w, h, traits(s).controlBackground);
  const bool checked = piece == 0 || piece == 2;
  const bool disabled = piece >= 2;
  const FaceState st = disabled ? FaceState::Disabled : FaceState::Normal;
  const double cx = w / 2.0, cy = h / 2.0, r = w / 2.0;
  switch (s) {
  case Style::MacOS:
  case Style::BlueGlass: {
    const Face f = checked ? accentFace(s, st) : controlFace(s, st);
    drawOrb(c, cx, cy, r, f);
    if (checked) {
      const Rgb dot = s == Style::MacOS ? hex(0x0E2448) : hex(0xFFFFFF);
      c.fill(ellipse(cx, cy, 2.3, 2.3), disabled ? hex(0xF4F7FB) : dot);
    }
    break;
  }
  case Style::WinXP: {
    c.fill(ellipse(cx, cy, r, r), disabled ? hex(0xCAC8BB) : hex(0x1C5180));
    c.fill(ellipse(cx, cy, r - 1, r - 1),
           disabled ? solid(hex(0xFFFFFF))
                    : radial(cx - 2, cy - 2, r * 1.6, {{0, hex(0xFFFFFF)}, {1, hex(0xD6D5CF)}}));
    if (checked)
      c.fill(ellipse(cx, cy, 2.8, 2.8),
             disabled ? solid(hex(0xCAC8BB))
                      : radial(cx - 1, cy - 1, 3.8, {{0, hex(0x7EE07E)}, {1, hex(0x1E961E)}}));
    break;
  }
  case Style::DeepBlue: {
    const Face f = controlFace(s, st);
    c.fill(ellipse(cx, cy, r, r), f.border);
    c.fill(ellipse(cx, cy, r - 1, r - 1), vertical(1, h - 1, {{0, hex(0xFFFFFF)}, {1, hex(0xE4E9F2)}}));
    if (checked)
      c.fill(ellipse(cx, cy, 2.7, 2.7), disabled ? accentFace(s, st).border : accentFace(s, st).upper);
    break;
  }
  case Style::Protein: {
    const Face f = controlFace(s, st);
    c.fill(ellipse(cx, cy, r, r), checked && !disabled ? hex(0xE07A1C) : f.border);
    c.fill(ellipse(cx, cy, r - 1, r - 1), vertical(1, h - 1, {{0, hex(0xFFFFFF)}, {1, hex(0xF1F2F4)}}));
    if (checked) {
      const Face a = accentFace(s, st);
      c.fill(ellipse(cx, cy, 3.0, 3.0), vertical(cy - 3, cy + 3, {{0, a.top}, {1, a.lower}}));
    }
    break;
  }
  }
  return c;
}

Canvas drawCheckList(Style s, int piece, int w, int h) {
  Canvas c(w, h, hex(0xFFFFFF));
  const bool checked = piece == 0 || piece == 2;
  const bool disabled = piece >= 2;
  const Face a = accentFace(s, FaceState::Normal);
  const Rgb border = disabled            ? hex(0xC4C8D0)
                     : s == Style::WinXP ? hex(0x1C5180)
                                         : controlFace(s, FaceState::Normal).border;
  const Rgb ink = disabled              ? hex(0xB8BDC6)
                  : s == Style::WinXP   ? hex(0x21A121)
                  : s == Style::Protein ? a.lower
                                        : a.border;
  c.fill(rect(1, 1, w - 1, h - 1), border);
  c.fill(rect(2, 2, w - 2, h - 2), disabled ? hex(0xF6F7F9) : hex(0xFFFFFF));
  if (checked) c.fill(checkGlyph(w / 2.0, h / 2.0, 2.8, 1.6), ink);
  return c;
}

Canvas drawProgressBar(Style s, int, int w, int h) {
  Canvas c(w, h, {});
  const Face f = accentFace(s, FaceState::Normal);
  c.fill(rect(0, 0, w, h), vertical(0, h, faceStops(f)));
  c.fill(rect(0, 0, w, 1), f.rim, 0.5);
  c.fill(rect(0, h - 1, w, h), f.border, 0.35);
  return c;
}

namespace {

struct Groove {
  Rgb border, top, bottom;
};

Groove groove(Style s) {
  switch (s) {
  case Style::MacOS:
    return {hex(0x8A8A8A), hex(0xA9A9A9), hex(0xEDEDED)};
  case Style::WinXP:
    return {hex(0x9D9C99), hex(0xE9E8E2), hex(0xFFFFFF)};
  case Style::DeepBlue:
    return {hex(0x1C2A55), hex(0x8E9CC0), hex(0xD7DDEA)};
  case Style::Protein:
    return {hex(0xB3BAC4), hex(0xDDE0E5), hex(0xFAFAFB)};
  case Style::BlueGlass:
    return {hex(0x5F8DC6), hex(0x9EC6EE), hex(0xE6F2FF)};
  }
  return {};
}

// The outline of a slider thumb whose point faces `dir`, inside (x0, y0, x1, y1).
Region sliderShape(Dir dir, double x0, double y0, double x1, double y1, double tip, double r) {
  if (dir == Dir::Down) {
    const double cx = (x0 + x1) / 2;
    return roundRect(x0, y0, x1, y1 - tip + r, r) |
           polygon({{x0, y1 - tip - 0.5}, {x1, y1 - tip - 0.5}, {cx, y1}});
  }
  const double cy = (y0 + y1) / 2;
  return roundRect(x0, y0, x1 - tip + r, y1, r) |
         polygon({{x1 - tip - 0.5, y0}, {x1 - tip - 0.5, y1}, {x1, cy}});
}

Face sliderFace(Style s) {
  switch (s) {
  case Style::MacOS:
  case Style::BlueGlass:
  case Style::DeepBlue:
    return accentFace(s, FaceState::Normal);
  case Style::WinXP:
    return controlFace(s, FaceState::Normal);
  case Style::Protein:
    return controlFace(s, FaceState::Normal);
  }
  return controlFace(s, FaceState::Normal);
}

Canvas slider(Style s, Dir dir, int w, int h, Rgb background) {
  Canvas c(w, h, background);
  const Face f = sliderFace(s);
  const double tip = (dir == Dir::Down ? w : h) / 2.0;
  const double r = 2.5;
  c.fill(sliderShape(dir, 0, 0, w, h, tip, r), f.border);
  const Paint body = dir == Dir::Down ? horizontal(1, w - 1, faceStops(f)) : vertical(1, h - 1, faceStops(f));
  c.fill(sliderShape(dir, 1, 1, w - 1, h - 1, tip - 1, r - 1), body);
  if (glossy(s)) {
    if (dir == Dir::Down)
      drawSheen(c, 1.5, 1, w * 0.55, h - tip, 0.5);
    else
      drawSheen(c, 1, 1.2, w - tip, h * 0.55, 0.5);
  }
  if (s == Style::WinXP || s == Style::Protein) {
    // A coloured lip along the pointing edge.
    const Rgb lip = s == Style::WinXP ? hex(0x21A121) : accentLine(s);
    if (dir == Dir::Down)
      c.fill(polyline({{1.2, h - tip}, {w / 2.0, h - 1.6}, {w - 1.2, h - tip}}, 1.6), lip);
    else
      c.fill(polyline({{w - tip, 1.2}, {w - 1.6, h / 2.0}, {w - tip, h - 1.2}}, 1.6), lip);
  }
  return c;
}

} // namespace

Canvas drawTrackBar(Style s, int piece, int w, int h) {
  Canvas c(w, h, traits(s).controlBackground);
  const Groove g = groove(s);
  const double off = -piece * double(w), full = 3.0 * w;
  c.fill(roundRect(off, 0, off + full, h, h / 2.0), g.border);
  c.fill(roundRect(off + 1, 1, off + full - 1, h - 1, h / 2.0 - 1),
         vertical(1, h - 1, {{0, g.top}, {1, g.bottom}}));
  return c;
}

Canvas drawTrackSlider(Style s, int, int w, int h) {
  return slider(s, Dir::Down, w, h, traits(s).controlBackground);
}

Canvas drawTrackSliderV(Style s, int, int w, int h) {
  Canvas c = slider(s, Dir::Right, w, h, traits(s).controlBackground);
  c.coverAll();
  return c;
}

Canvas drawScrollBarButtons(Style s, int piece, int w, int h) {
  Canvas c(w, h, traits(s).scrollBackground);
  const Face f = barFace(s, pushState(piece % 3));
  const double r = s == Style::DeepBlue ? 1.5 : s == Style::MacOS || s == Style::BlueGlass ? 4.0 : 2.5;
  drawFace(c, 0, 0, w, h, r, f, true);
  const Dir dir = piece < 3 ? Dir::Up : Dir::Down;
  const double d = piece % 3 == 2 ? 0.5 : 0.0;
  if (s == Style::WinXP || s == Style::Protein)
    c.fill(chevronGlyph(dir, w / 2.0 + d, h / 2.0 + d, 3.6, 1.9),
           piece % 3 == 1 && s == Style::Protein ? accentLine(s) : f.ink);
  else
    c.fill(arrowGlyph(dir, w / 2.0 + d, h / 2.0 + d, 3.8), f.ink);
  return c;
}

Canvas drawScrollBarThumb(Style s, int piece, int w, int h) {
  Canvas c(w, h, traits(s).scrollBackground);
  const Face f = thumbFace(s);
  const double off = -piece * double(w), full = 3.0 * w;
  const double r = s == Style::DeepBlue ? 1.5 : s == Style::WinXP || s == Style::Protein ? 3.0 : 6.5;
  drawFace(c, off, 1, off + full, h - 1, r, f);
  if (glossy(s)) drawSheen(c, off + 3, 1.8, off + full - 3, h * 0.5, 0.45);
  return c;
}

Canvas drawScrollButton(Style s, int piece, int w, int h) {
  Canvas c(w, h, traits(s).controlBackground);
  const Face f = barFace(s, pushState(piece % 3));
  drawFace(c, 0.5, 0.5, w - 0.5, h - 0.5, s == Style::MacOS ? 5.0 : 3.0, f);
  if (glossy(s)) drawSheen(c, 2, 1.2, w - 2, h * 0.5, 0.4);
  const Dir dir = piece < 3 ? Dir::Left : Dir::Right;
  const double d = piece % 3 == 2 ? 0.5 : 0.0;
  c.fill(arrowGlyph(dir, w / 2.0 + d, h / 2.0 + d, 3.5), f.ink);
  return c;
}

Canvas drawTab(Style s, int piece, int w, int h) {
  Canvas c(w, h, traits(s).controlBackground);
  const bool selected = piece == 2;
  const double top = selected ? 0.0 : 2.0;
  Face f = controlFace(s, piece == 1 ? FaceState::Hot : FaceState::Normal);
  if (selected)
    f = {f.border, hex(0xFFFFFF), hex(0xFFFFFF), hex(0xFCFCFD), hex(0xFAFBFC), hex(0xFFFFFF), 0.0, f.ink};
  const Region outline = roundRect(0, top, w, h + 6, 4);
  c.fill(outline, f.border);
  c.fill(roundRect(1, top + 1, w - 1, h + 6, 3), vertical(top + 1, h, faceStops(f)));
  if (piece > 0) {
    // The accent line along the top of the hot and selected tab.
    c.fill(roundRect(0, top, w, top + 8, 4) & rect(0, top, w, top + (selected ? 3 : 2)), accentLine(s));
  }
  if (!selected) c.fill(rect(0, h - 1, w, h), f.border);
  return c;
}

Canvas drawTabLine(Style s, int piece, int w, int h) {
  Canvas c(w, h, hex(0xFFFFFF));
  const Rgb border = controlFace(s, FaceState::Normal).border;
  c.fill(rect(0, 0, w, 1), border);
  c.fill(rect(0, 1, w, h), vertical(1, h, {{0, hex(0xFFFFFF)}, {1, hex(0xF7F8FA)}}));
  c.fill(rect(0, 1, w, 2), accentLine(s), 0.35);
  if (piece == 0) c.fill(rect(0, 0, 1, h), border);
  if (piece == 2) c.fill(rect(w - 1, 0, w, h), border);
  return c;
}

Canvas drawSideHandle(Style s, int, int w, int h) {
  Canvas c(w, h, traits(s).formBackground);
  const Face f = s == Style::MacOS || s == Style::BlueGlass || s == Style::DeepBlue
                     ? accentFace(s, FaceState::Normal)
                     : barFace(s, FaceState::Normal);
  drawFace(c, 0.5, 1, w - 0.5, h - 1, 3.5, f, true);
  const Rgb ink = f.ink;
  for (int i = -2; i <= 2; ++i) {
    if (i == 0) continue;
    c.fill(ellipse(w / 2.0, h / 2.0 + i * 5.0, 1.1, 1.1), ink, 0.85);
  }
  c.fill(chevronGlyph(Dir::Right, w / 2.0, h / 2.0, 2.2, 1.2), ink);
  return c;
}

Canvas drawSideBar(Style s, int, int w, int h) {
  Canvas c(w, h, {});
  std::vector<Stop> stops;
  Rgb bottomLine;
  switch (s) {
  case Style::MacOS:
    stops = {{0, hex(0xFAFAFA)}, {0.5, hex(0xE6E6E6)}, {1, hex(0xD2D2D2)}};
    bottomLine = hex(0x9A9A9A);
    break;
  case Style::WinXP:
    stops = {{0, hex(0xFFFFFF)}, {1, hex(0xC6D3F7)}};
    bottomLine = hex(0x8EA4E0);
    break;
  case Style::DeepBlue:
    stops = {{0, hex(0x2E427A)}, {1, hex(0x17234B)}};
    bottomLine = hex(0x090F26);
    break;
  case Style::Protein:
    stops = {{0, hex(0x5B6678)}, {1, hex(0x3A424F)}};
    bottomLine = hex(0xF08A24);
    break;
  case Style::BlueGlass:
    stops = {{0, hex(0x93C6F4)}, {0.47, hex(0x6AA5E4)}, {0.47, hex(0x3C7ECC)}, {1, hex(0x5A9BE2)}};
    bottomLine = hex(0x24548F);
    break;
  }
  c.fill(rect(0, 0, w, h), vertical(0, h, stops));
  c.fill(rect(0, 0, w, 1), hex(0xFFFFFF), s == Style::DeepBlue || s == Style::Protein ? 0.2 : 0.7);
  c.fill(rect(0, h - 1, w, h), bottomLine);
  if (s == Style::Protein) c.fill(rect(0, h - 2, w, h - 1), hex(0xF5A04A));
  return c;
}

} // namespace skingen
