// Named pictures outside the theme catalogue: menu parts, form backgrounds, small glyph strips, the notice
// window and the program icon.
#include "tools/skingen/Art.h"
#include "tools/skingen/Draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace skingen {

namespace {

// A small deterministic hash for texture noise, so every build writes the same pixels.
double noise(int x, int y) {
  std::uint32_t v = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
  v = (v ^ (v >> 13)) * 1274126177u;
  return double((v ^ (v >> 16)) & 0xFFFF) / 65535.0 - 0.5;
}

} // namespace

Canvas drawMenuChecked(Style, int, int w, int h) {
  // The menu masks white, so edges are antialiased against a middle grey that reads on light and dark items.
  Canvas c(w, h, hex(0x8A8A8A));
  c.fill(checkGlyph(w / 2.0, h / 2.0, 4.6, 2.2), hex(0x1E1E1E));
  return c;
}

Canvas drawMacMenuBar(Style, int, int w, int h) {
  Canvas c(w, h, {});
  for (int y = 0; y < h; ++y) {
    const Rgb base = ramp({{0, hex(0xFBFBFB)}, {1, hex(0xEDEDED)}}, double(y) / (h - 1));
    for (int x = 0; x < w; ++x) c.set(x, y, y % 2 ? darken(base, 0.03) : base);
  }
  c.set(0, h - 1, hex(0xA8A8A8));
  for (int x = 0; x < w; ++x) c.set(x, h - 1, hex(0xA8A8A8));
  return c;
}

Canvas drawMacMenuSelect(Style s, int, int w, int h) {
  Canvas c(w, h, {});
  const Face f = accentFace(s, FaceState::Normal);
  c.fill(
      rect(0, 0, w, h),
      vertical(0, h, {{0, hex(0x78B1F0)}, {0.5, hex(0x4B8FE3)}, {0.5, hex(0x2F78D8)}, {1, hex(0x4E96E8)}}));
  c.fill(rect(0, 0, w, 1), hex(0xA9D0FA));
  c.fill(rect(0, h - 1, w, h), f.border);
  return c;
}

Canvas drawMacFormBackground(Style, int, int w, int h) {
  Canvas c(w, h, {});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double v = (y % 2 ? 0xE3 : 0xEC) + noise(x, y / 2) * 2.0;
      c.set(x, y, {v, v, v});
    }
  return c;
}

Canvas drawProteinFormBackground(Style, int, int w, int h) {
  Canvas c(w, h, hex(0xFBFBFB));
  c.coverAll();
  // A faint diagonal weave that tiles seamlessly over 16 pixels.
  for (int k = -1; k <= 1; ++k) {
    const double o = k * double(w), hh = h;
    c.fill(polygon({{o, hh}, {o + 1.2, hh}, {o + w + 1.2, 0}, {o + w, 0}}), hex(0xF1F2F4));
  }
  return c;
}

Canvas drawPanelButton(Style, int piece, int w, int h) {
  Canvas c(w, h, hex(0x9AA5B4));
  const bool hot = piece % 2 == 1;
  const Face f = hot ? Face{hex(0x3C78C8), hex(0xF4FAFF), hex(0xDDEEFF), hex(0xC6E0FA),
                            hex(0xDDEFFF), hex(0xFFFFFF), 0.8,           hex(0x1B4A8E)}
                     : Face{hex(0x6F7B8C), hex(0xFBFCFD), hex(0xEDF0F4), hex(0xDEE3EA),
                            hex(0xEAEEF3), hex(0xFFFFFF), 0.8,           hex(0x333C4A)};
  drawFace(c, 0, 0, w, h, 2.5, f);
  const Dir dir = piece < 2 ? Dir::Up : Dir::Down;
  c.fill(chevronGlyph(dir, w / 2.0, h / 2.0 - (dir == Dir::Up ? 1.8 : 1.6), 3.4, 1.5), f.ink);
  c.fill(chevronGlyph(dir, w / 2.0, h / 2.0 + (dir == Dir::Up ? 1.6 : 1.8), 3.4, 1.5), f.ink);
  c.coverAll();
  return c;
}

Canvas drawSideChannelPin(Style, int, int w, int h) {
  // A pin lying on its side, point to the right; turned a quarter clockwise it stands pinned, point down.
  Canvas c(w, h, hex(0xD4D0C8));
  const double cy = h / 2.0;
  const Rgb ink = hex(0x2E3440);
  c.fill(polyline({{7.5, cy}, {11.2, cy}}, 1.2), hex(0x5A5F68));
  c.fill(rect(1, cy - 4.5, 3, cy + 4.5), ink);
  c.fill(rect(3, cy - 2.5, 8, cy + 2.5), ink);
  c.fill(rect(3.8, cy - 1.7, 7.2, cy + 1.7),
         vertical(cy - 1.7, cy + 1.7, {{0, hex(0xFFFFFF)}, {1, hex(0xC9D2E0)}}));
  return c;
}

Canvas drawMdiControlButtons(Style, int piece, int w, int h) {
  Canvas c(w, h, hex(0xD4D0C8));
  const double cx = w / 2.0, cy = h / 2.0;
  const Rgb ink = hex(0x1A1A1A);
  switch (piece) {
  case 0:
    c.fill(minimizeGlyph(cx, cy, 4.0, 2.0), ink);
    break;
  case 1:
    c.fill(restoreGlyph(cx, cy, 4.5, 1.2), ink);
    break;
  default:
    c.fill(closeGlyph(cx, cy, 3.6, 1.7), ink);
    break;
  }
  return c;
}

Canvas drawNoticeBackground(Style, int, int w, int h) {
  Canvas c(w, h, {});
  c.fill(rect(0, 0, w, h), hex(0x5D7FB8));
  c.fill(rect(1, 1, w - 1, h - 1),
         vertical(1, h - 1, {{0, hex(0xFFFFFF)}, {0.6, hex(0xF1F6FD)}, {1, hex(0xD8E5F7)}}));
  // Title band.
  c.fill(
      rect(1, 1, w - 1, 29),
      vertical(1, 29, {{0, hex(0xE9F1FC)}, {0.5, hex(0xD6E5F8)}, {0.5, hex(0xC8DCF4)}, {1, hex(0xDCE8F8)}}));
  c.fill(rect(1, 1, w - 1, 2), hex(0xFFFFFF), 0.8);
  c.fill(rect(1, 29, w - 1, 30), hex(0xA9C1E6));
  c.fill(rect(1, 30, w - 1, 31), hex(0xFFFFFF), 0.9);
  // A soft swell along the bottom.
  c.fill(ellipse(w * 0.72, h + 30, w * 0.6, 44), hex(0xC4D8F3), 0.55);
  c.fill(ellipse(w * 0.25, h + 36, w * 0.5, 44), hex(0xB5CEF0), 0.35);
  // The close box, (162, 6) to (175, 19) inclusive.
  const Face box{hex(0x6F8CBE), hex(0xFFFFFF), hex(0xEEF4FC), hex(0xDCE7F7),
                 hex(0xE9F0FA), hex(0xFFFFFF), 0.7,           hex(0x2A3F6E)};
  drawFace(c, 162, 6, 176, 20, 2.5, box);
  c.fill(closeGlyph(169, 13, 3.0, 1.5), box.ink);
  return c;
}

Canvas drawNavigatorGlyphs(Style, int piece, int w, int h) {
  Canvas c(w, h, hex(0xD4D0C8));
  const double cx = w / 2.0, cy = h / 2.0;
  const Rgb navy = hex(0x23355E);
  switch (piece) {
  case 0: // first
    c.fill(rect(3.5, 3.5, 5.5, 12.5), navy);
    c.fill(arrowGlyph(Dir::Left, cx + 1.5, cy, 4.5), navy);
    break;
  case 1:
    c.fill(arrowGlyph(Dir::Left, cx, cy, 4.5), navy);
    break; // prior
  case 2:
    c.fill(arrowGlyph(Dir::Right, cx, cy, 4.5), navy);
    break; // next
  case 3:  // last
    c.fill(rect(10.5, 3.5, 12.5, 12.5), navy);
    c.fill(arrowGlyph(Dir::Right, cx - 1.5, cy, 4.5), navy);
    break;
  case 4:
    c.fill(plusGlyph(cx, cy, 5.0, 2.4), hex(0x2E8B3A));
    break; // insert
  case 5:
    c.fill(rect(cx - 5, cy - 1.2, cx + 5, cy + 1.2), hex(0xC0392B));
    break;  // delete
  case 6: { // edit: a pencil
    c.fill(polyline({{4.5, 11.5}, {11.5, 4.5}}, 3.2), hex(0xE8A23A));
    c.fill(polyline({{10.2, 5.8}, {11.8, 4.2}}, 3.2), hex(0xC0392B));
    c.fill(polygon({{2.4, 13.6}, {3.2, 10.0}, {6.0, 12.8}}), hex(0x3A2A1A));
    break;
  }
  case 7:
    c.fill(checkGlyph(cx, cy, 5.0, 2.4), hex(0x2E8B3A));
    break; // post
  case 8:
    c.fill(closeGlyph(cx, cy, 4.0, 2.2), hex(0xC0392B));
    break;   // cancel
  default: { // refresh: a circling arrow
    std::vector<Pt> arc;
    for (int i = 0; i <= 20; ++i) {
      const double a = std::numbers::pi * (0.15 + 1.55 * i / 20.0);
      arc.push_back({cx + 4.6 * std::cos(a), cy - 4.6 * std::sin(a)});
    }
    c.fill(polyline(arc, 1.9), navy);
    const Pt end = arc.front();
    c.fill(polygon({{end.x - 3.2, end.y - 1.6}, {end.x + 2.6, end.y - 2.4}, {end.x + 0.8, end.y + 3.2}}),
           navy);
    break;
  }
  }
  return c;
}

Canvas drawMacComboButton(Style s, int, int w, int h) {
  Canvas c(w, h, hex(0xFFFFFF));
  const Face f = accentFace(s, FaceState::Normal);
  c.fill(roundRect(-6, 0, w, h, 4), f.border);
  c.fill(roundRect(-5, 1, w - 1, h - 1, 3), vertical(1, h - 1, faceStops(f)));
  drawSheen(c, 0, 1.2, w - 2, h * 0.5, 0.45);
  c.fill(arrowGlyph(Dir::Up, w / 2.0 - 0.5, h / 2.0 - 2.8, 2.6), f.ink);
  c.fill(arrowGlyph(Dir::Down, w / 2.0 - 0.5, h / 2.0 + 2.8, 2.6), f.ink);
  c.coverAll();
  return c;
}

Canvas drawXpComboButton(Style, int, int w, int h) {
  Canvas c(w, h, hex(0xFFFFFF));
  const Face f{hex(0x9FB5EC), hex(0xE6EEFE), hex(0xD5E1FC), hex(0xC7D6FA),
               hex(0xB5C8F6), hex(0xFFFFFF), 0.8,           hex(0x4D6185)};
  drawFace(c, 0, 0, w, h, 2.5, f);
  c.fill(chevronGlyph(Dir::Down, w / 2.0, h / 2.0, 3.4, 1.9), f.ink);
  c.coverAll();
  return c;
}

// Drawn for 16 and 32 pixels; larger sizes (the desktop's icons) scale the outline, gaps and highlights of
// the 32-pixel drawing, so the look stays the same at every size.
Canvas drawMainIcon(Style, int, int w, int h) {
  const double size = w;
  const double unit = std::max(1.0, size / 32);
  Canvas c(w, h, hex(0x4A5A80));
  const double r = size * 0.2;
  c.fill(roundRect(0, 0, size, size, r), vertical(0, size, {{0, hex(0x2F4A8C)}, {1, hex(0x16244E)}}));
  c.fill(roundRing(0, 0, size, size, r, size > 20 ? unit : 0.8), hex(0x0C1430));
  const double pad = size * 0.12, gap = size > 20 ? 1.5 * unit : 1.0;
  const double cell = (size - 2 * pad - 2 * gap) / 3;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const double tx = pad + col * (cell + gap), ty = pad + row * (cell + gap);
      if (row == 2 && col == 2) {
        c.fill(roundRect(tx, ty, tx + cell, ty + cell, cell * 0.2), hex(0x0E1838), 0.8);
        continue;
      }
      c.fill(roundRect(tx, ty, tx + cell, ty + cell, cell * 0.25),
             vertical(ty, ty + cell, {{0, hex(0xFFE7B8)}, {0.55, hex(0xFFC163)}, {1, hex(0xF08A24)}}));
      if (size > 20)
        c.fill(roundRect(tx + unit, ty + 0.8 * unit, tx + cell - unit, ty + cell * 0.45, cell * 0.2),
               hex(0xFFFFFF), 0.35);
    }
  }
  // The empty cell's neighbour is half slid in: a hint of motion.
  drawSheen(c, size * 0.08, size * 0.02, size * 0.92, size * 0.42, 0.18);
  return c;
}

} // namespace skingen
