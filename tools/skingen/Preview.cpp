#include "tools/skingen/Preview.h"

#include "tools/skingen/SkinCatalogue.h"

#include <algorithm>

namespace skingen {

namespace {

std::uint32_t pack(Rgb c) {
  return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | std::uint32_t(c.b);
}

Image load(const std::string& name) {
  return renderPicture(*findPicture(name));
}

Image piece(const Image& src, int count, int index) {
  const int w = src.width / count;
  Image out(w, src.height);
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < w; ++x) out.setPixel(x, y, src.pixel(index * w + x, y));
  return out;
}

Image turnCounterClockwise(const Image& src) {
  Image out(src.height, src.width);
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) out.setPixel(y, src.width - 1 - x, src.pixel(x, y));
  return out;
}

Image turnClockwise(const Image& src) {
  Image out(src.height, src.width);
  for (int i = 0; i < out.width; ++i)
    for (int j = 0; j < out.height; ++j) out.setPixel(i, j, src.pixel(j, src.height - 1 - i));
  return out;
}

void put(Image& dst, int x, int y, std::uint32_t p) {
  if (x >= 0 && y >= 0 && x < dst.width && y < dst.height) dst.setPixel(x, y, p);
}

// Nearest-neighbour copy of src's (sx, sy, sw, sh) onto dst's (dx, dy, dw, dh); keyed pixels are skipped.
void stretch(Image& dst, const Image& src, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
             bool keyed) {
  if (sw <= 0 || sh <= 0) return;
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      const std::uint32_t p = src.pixel(sx + x * sw / dw, sy + y * sh / dh);
      if (!(keyed && p == MagentaKey)) put(dst, dx + x, dy + y, p);
    }
}

void draw(Image& dst, const Image& src, int x, int y, bool keyed) {
  stretch(dst, src, 0, 0, src.width, src.height, x, y, src.width, src.height, keyed);
}

// Corners kept, edges and middle stretched.
void drawNine(Image& dst, const Image& src, int x, int y, int w, int h, bool keyed) {
  const int hw = src.width / 2, hh = src.height / 2;
  const int rw = src.width - hw - 1, rh = src.height - hh - 1;
  const int xs[4] = {0, hw, hw + 1, src.width}, xd[4] = {0, hw, w - rw, w};
  const int ys[4] = {0, hh, hh + 1, src.height}, yd[4] = {0, hh, h - rh, h};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i)
      stretch(dst, src, xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j], x + xd[i], y + yd[j],
              xd[i + 1] - xd[i], yd[j + 1] - yd[j], keyed);
}

void fillRect(Image& dst, int x0, int y0, int x1, int y1, std::uint32_t p) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) put(dst, x, y, p);
}

void frameRect(Image& dst, int x0, int y0, int x1, int y1, std::uint32_t p) {
  fillRect(dst, x0, y0, x1, y0 + 1, p);
  fillRect(dst, x0, y1 - 1, x1, y1, p);
  fillRect(dst, x0, y0, x0 + 1, y1, p);
  fillRect(dst, x1 - 1, y0, x1, y1, p);
}

} // namespace

Image renderPreview(Style s) {
  const StyleTraits& tr = traits(s);
  const std::string pre = stylePrefix(s) + "_";
  const int W = 380, H = 250;
  Image out(W, H);
  fillRect(out, 0, 0, W, H, pack(tr.formBackground));
  if (s == Style::MacOS || s == Style::Protein) {
    const Image tile = load(s == Style::MacOS ? "MACOS_FORM_BACKGROUND" : "PROTEIN_FORM_BACKGROUND");
    for (int y = 0; y < H; y += tile.height)
      for (int x = 0; x < W; x += tile.width) draw(out, tile, x, y, false);
  }

  // Caption: pictures shown from their fourth row and column on.
  const Image left = load(pre + "TITLE_LEFT"), client = load(pre + "TITLE_CLIENT"),
              right = load(pre + "TITLE_RIGHT");
  const int titleRows = left.height - 3;
  draw(out, left, -3, -3, false);
  draw(out, right, W - right.width + 3, -3, false);
  stretch(out, client, 0, 0, client.width, client.height, left.width - 3, -3,
          W - left.width - right.width + 6, client.height, false);
  const Image buttons = load(pre + "TITLEBTN");
  const bool keyed = tr.titleButtonsTransparent;
  const int top = tr.titleButtonTop - 3;
  int xr = W + tr.titleButtonRight;
  for (int kind : {5, 2, 4}) { // close, maximize, minimize
    const Image b = piece(buttons, 18, kind * 3 + (kind == 5 ? 1 : 0));
    xr -= b.width + 1;
    draw(out, b, xr, top, keyed);
  }
  draw(out, piece(buttons, 18, 0), tr.titleButtonLeft + 1, top - 1, keyed);

  // Border: the plain frame and its inner band.
  const std::uint32_t border = pack(tr.borderColour);
  fillRect(out, 0, 0, tr.borderWidth, H, border);
  fillRect(out, W - tr.borderWidth, 0, W, H, border);
  fillRect(out, 0, H - tr.borderWidth, W, H, border);
  if (tr.roundCorner > 0) {
    // Cut the upper corners as the window region does.
    const double r = tr.roundCorner / 2.0;
    for (int y = 0; y < int(r); ++y)
      for (int x = 0; x < int(r); ++x) {
        const double dx = r - x - 0.5, dy = r - y - 0.5;
        if (dx * dx + dy * dy > r * r) {
          put(out, x, y, 0xEEF0F3);
          put(out, W - 1 - x, y, 0xEEF0F3);
        }
      }
  }

  const int y0 = titleRows + 10;
  // Push buttons: normal, hot, pressed.
  const Image button = load(pre + "BUTTON");
  for (int i = 0; i < 3; ++i)
    drawNine(out, piece(button, 3, i), 12 + i * 84, y0, 76, 25, tr.buttonTransparent);
  // Check and radio boxes, all four states.
  const Image check = load(pre + "CHECKBOX"), radio = load(pre + "RADIOBUTTON");
  for (int i = 0; i < 4; ++i) {
    draw(out, piece(check, 4, i), 14 + i * 22, y0 + 36, false);
    draw(out, piece(radio, 4, i), 110 + i * 22, y0 + 36, true);
  }
  // Progress bar at 60 %.
  const Image progress = load(pre + "PROGRESSBAR");
  const int px = 12, py = y0 + 60, pw = 160, ph = 12;
  frameRect(out, px, py, px + pw, py + ph, 0x000000);
  fillRect(out, px + 1, py + 1, px + pw - 1, py + ph - 1, pack(tr.controlBackground));
  stretch(out, progress, 0, 0, progress.width, progress.height, px + 1, py + 1, (pw - 2) * 6 / 10, ph - 2,
          false);
  // Track bar with its slider at a third.
  const Image bar = load(pre + "TRACKBAR_BAR"), slider = load(pre + "TRACKBAR_SLIDER");
  const int tx = 12, tw = 180, ty = y0 + 84, th = std::max(bar.height, slider.height);
  const int bw = bar.width / 3;
  const int by = ty + (th - bar.height) / 2;
  draw(out, piece(bar, 3, 0), tx, by, true);
  stretch(out, piece(bar, 3, 1), 0, 0, bw, bar.height, tx + bw, by, tw - 2 * bw, bar.height, false);
  draw(out, piece(bar, 3, 2), tx + tw - bw, by, true);
  draw(out, slider, tx + (tw - slider.width) / 3, ty + (th - slider.height) / 2, true);
  // Tabs over their line.
  const Image tab = load(pre + "TAB"), line = load(pre + "TAB_LINE");
  const int tabY = y0 + 112;
  const int lw = line.width / 3;
  draw(out, piece(line, 3, 0), 12, tabY + tab.height - 1, false);
  stretch(out, piece(line, 3, 1), 0, 0, lw, line.height, 12 + lw, tabY + tab.height - 1, 220 - 2 * lw,
          line.height, false);
  draw(out, piece(line, 3, 2), 232 - lw, tabY + tab.height - 1, false);
  for (int i = 0; i < 3; ++i)
    drawNine(out, piece(tab, 3, i == 1 ? 2 : i == 2 ? 1 : 0), 14 + i * 70, tabY, 68, tab.height, true);
  // A panel caption with its push button.
  const Image caption = load(pre + "SIDECHENNEL_BAR"), panelButton = load("PANEL_BUTTON");
  const int cy = y0 + 150;
  frameRect(out, 12, cy, 232, cy + 50, pack(tr.borderColour));
  fillRect(out, 13, cy + caption.height, 231, cy + 49, 0xFFFFFF);
  stretch(out, caption, 0, 0, caption.width, caption.height, 13, cy, 218, caption.height, false);
  const Image pb = piece(panelButton, 4, 0);
  draw(out, pb, 232 - pb.width - 4, cy + (caption.height - pb.height) / 2 + 1, false);
  // A vertical scroll bar: arrows as drawn, the thumb turned clockwise.
  const Image arrows = load(pre + "SCROLLBAR_BUTTON"), thumb = load(pre + "SCROLLBAR_TRACK");
  const int sx = 268, sy = y0, sh = 170;
  const Image up = piece(arrows, 6, 0), down = piece(arrows, 6, 3);
  fillRect(out, sx, sy, sx + up.width, sy + sh, pack(tr.scrollBackground));
  draw(out, up, sx, sy, false);
  draw(out, down, sx, sy + sh - down.height, false);
  const Image start = turnClockwise(piece(thumb, 3, 0)), middle = turnClockwise(piece(thumb, 3, 1)),
              end = turnClockwise(piece(thumb, 3, 2));
  const int ty0 = sy + up.height + 30, tl = 50;
  draw(out, start, sx, ty0, false);
  stretch(out, middle, 0, 0, middle.width, middle.height, sx, ty0 + start.height, middle.width,
          tl - start.height - end.height, false);
  draw(out, end, sx, ty0 + tl - end.height, false);
  // The same bar lying down: arrows turned counter-clockwise, the thumb as drawn.
  const int hx = 290, hy = y0 + 190 - up.width;
  const Image leftArrow = turnCounterClockwise(up), rightArrow = turnCounterClockwise(down);
  fillRect(out, hx, hy, hx + 90, hy + leftArrow.height, pack(tr.scrollBackground));
  draw(out, leftArrow, hx, hy, false);
  draw(out, rightArrow, hx + 90 - rightArrow.width, hy, false);
  draw(out, piece(thumb, 3, 0), hx + 30, hy, false);
  stretch(out, piece(thumb, 3, 1), 0, 0, thumb.width / 3, thumb.height, hx + 30 + thumb.width / 3, hy, 8,
          thumb.height, false);
  draw(out, piece(thumb, 3, 2), hx + 30 + thumb.width / 3 + 8, hy, false);
  // The side channel's strip and handle.
  const Image handle = load(pre + "SIDECHENNEL_HANDLE");
  fillRect(out, 290, y0, 300, y0 + 100, pack(tr.formBackground));
  fillRect(out, 299, y0, 300, y0 + 100, 0x808080);
  draw(out, handle, 291, y0 + 30, false);
  // Scroll buttons of the tab row, and the menu check mark.
  const Image more = load(s == Style::MacOS   ? "MACOS_SCROLLBUTTON"
                          : s == Style::WinXP ? "WINXP_SCROLLBUTTON"
                                              : "MORE_SCROLLBUTTON");
  draw(out, piece(more, 6, 0), 310, y0, true);
  draw(out, piece(more, 6, 3), 328, y0, true);
  return out;
}

} // namespace skingen
