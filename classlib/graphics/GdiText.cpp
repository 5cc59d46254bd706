// Text output: glyphs from the backend's font faces, composed into the surface here.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/backend/FontEngine.h"
#include "classlib/core/ThreadState.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Raster.h"

using namespace raster;

namespace {

const backend::TFontFace& FaceOf(HDC dc) {
  const TGdiFont* font = dc->State().Font.Get();
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  return font->Face();
}

int Length(const char* text, int count) {
  if (!text) return 0;
  return count < 0 ? static_cast<int>(std::strlen(text)) : count;
}

// Advance of one character at pen offset x from the line start; tabs go to the next stop when TabWidth > 0.
int Advance(const backend::TFontFace& face, unsigned char ch, int x, int tabWidth) {
  if (ch == '\t' && tabWidth > 0) return (x / tabWidth + 1) * tabWidth - x;
  return face.Advance(ch);
}

int Width(const backend::TFontFace& face, const char* s, int n, int tabWidth) {
  int x = 0;
  for (int i = 0; i < n; ++i) x += Advance(face, static_cast<unsigned char>(s[i]), x, tabWidth);
  return x;
}

// Composes glyphs of s[0..n) with the cell's top-left at surface (x, y), clipped to the context and Extra.
// Underline[i] marks characters to underline (prefix accelerators); the font's own underline and strike-out
// cover the whole run.
//
// On a scaled surface the characters keep their logical places, and each is drawn there with the face at
// the device's size, so that text is as sharp as the screen allows and lays out exactly as at scale 1.
void DrawRun(HDC dc, const backend::TFontFace& face, int x, int y, const char* s, int n,
             const uint8_t* underline, int tabWidth, const TRect* extra) {
  TSurface* surface = dc->Surface();
  if (!surface) return;
  const uint32_t color = ColorToPixel(dc->State().TextColor);
  const backend::TFontMetrics& m = face.Metrics();
  const double scale = dc->Scale();
  const TGdiFont* font = dc->State().Font.Get();
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  const backend::TFontFace& drawn = font->FaceAt(scale);
  const backend::TFontMetrics& dm = drawn.Metrics();
  const auto edge = [scale](int64_t v) { return DeviceEdge(v, scale); };
  TRect deviceExtra{};
  if (extra) {
    deviceExtra = {edge(extra->Left), edge(extra->Top), edge(extra->Right), edge(extra->Bottom)};
    extra = &deviceExtra;
  }
  // The baseline in device pixels, and the top of the device face's cell on it.
  const int baseline = edge(int64_t{y} + m.Ascent);
  const int cellTop = baseline - dm.Ascent;
  const std::vector<TRect>& clip = dc->DeviceClipRects();
  const auto put = [&](int px, int py, uint8_t coverage) {
    if (extra && (px < extra->Left || px >= extra->Right || py < extra->Top || py >= extra->Bottom)) return;
    bool inside = false;
    for (const TRect& c : clip)
      if (py >= c.Top && py < c.Bottom && px >= c.Left && px < c.Right) {
        inside = true;
        break;
      }
    if (!inside) return;
    uint32_t& d = surface->Row(py)[px];
    if (coverage == 255) {
      d = color;
      return;
    }
    // Blended against what is there, so antialiased text has no halo.
    const auto mix = [coverage](uint32_t a, uint32_t b, int shift) {
      const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
      return ((ca * coverage + cb * (255u - coverage) + 127) / 255) << shift;
    };
    d = mix(color, d, 16) | mix(color, d, 8) | mix(color, d, 0);
  };
  const bool underlineAll = font->Log.lfUnderline;
  const bool strikeAll = font->Log.lfStrikeOut;
  const auto bar = [&](int64_t left, int64_t right, int top, int thickness) {
    for (int t = 0; t < thickness; ++t)
      for (int ux = edge(left); ux < edge(right); ++ux) put(ux, top + t, 255);
  };
  int pen = 0;
  for (int i = 0; i < n; ++i) {
    const auto ch = static_cast<unsigned char>(s[i]);
    const int adv = Advance(face, ch, pen, tabWidth);
    if (ch != '\t' || tabWidth <= 0) {
      const backend::TGlyph& g = drawn.Glyph(ch);
      const int gxAt = edge(int64_t{x} + pen) + g.Left, gyAt = cellTop + g.Top;
      for (int gy = 0; gy < g.Height; ++gy)
        for (int gx = 0; gx < g.Width; ++gx) {
          const uint8_t c = g.Coverage[gy * g.Width + gx];
          if (c) put(gxAt + gx, gyAt + gy, c);
        }
    }
    if (underlineAll || (underline && underline[i]))
      bar(int64_t{x} + pen, int64_t{x} + pen + adv, baseline + dm.UnderlinePos, dm.LineThickness);
    if (strikeAll)
      bar(int64_t{x} + pen, int64_t{x} + pen + adv, baseline - dm.StrikeOutPos, dm.LineThickness);
    pen += adv;
  }
}

void FillBackground(HDC dc, const TRect& surfaceRect, const TRect* extra) {
  TGdiBrush bk(BS_SOLID, dc->State().BkColor);
  const TBrushPaint paint(*dc, &bk);
  for (int y = surfaceRect.Top; y < surfaceRect.Bottom; ++y)
    FillSpan(*dc, y, surfaceRect.Left, surfaceRect.Right, paint, R2_COPYPEN, extra);
}

// One output line of DrawText.
struct TLine {
  std::string Text;
  std::vector<uint8_t> Underline;
  int Width = 0;
};

// Scratch kept between calls, so that drawing text does not allocate once warmed up.
struct TTextScratch {
  std::string Plain;
  std::vector<uint8_t> Marks;
  std::vector<TLine> Lines;
  size_t Used = 0;
  TLine& NewLine() {
    if (Used == Lines.size()) Lines.emplace_back();
    TLine& l = Lines[Used++];
    l.Text.clear();
    l.Underline.clear();
    l.Width = 0;
    return l;
  }
};

} // namespace

bool ExtTextOut(HDC dc, int x, int y, unsigned options, const RECT* rect, const char* text, int count,
                const int*) {
  if (!dc) return false;
  const int n = Length(text, count);
  const backend::TFontFace& face = FaceOf(dc);
  const backend::TFontMetrics& m = face.Metrics();
  const int width = Width(face, text, n, 0);
  const unsigned align = dc->State().TextAlign;
  if (align & TA_UPDATECP) {
    x = dc->State().PenPos.X;
    y = dc->State().PenPos.Y;
  }
  if ((align & TA_CENTER) == TA_CENTER)
    x -= width / 2;
  else if (align & TA_RIGHT)
    x -= width;
  if ((align & TA_BASELINE) == TA_BASELINE)
    y -= m.Ascent;
  else if (align & TA_BOTTOM)
    y -= m.Height();
  if (align & TA_UPDATECP) dc->State().PenPos.X += width;
  if (!dc->Surface()) return true;
  TRect clipRect{};
  const TRect* extra = nullptr;
  if (rect && (options & ETO_CLIPPED)) {
    const TPoint a = dc->ToSurface(rect->Left, rect->Top);
    clipRect = {a.X, a.Y, a.X + rect->Width(), a.Y + rect->Height()};
    extra = &clipRect;
  }
  if (rect && (options & ETO_OPAQUE)) {
    const TPoint a = dc->ToSurface(rect->Left, rect->Top);
    FillBackground(dc, {a.X, a.Y, a.X + rect->Width(), a.Y + rect->Height()}, nullptr);
  } else if (dc->State().BkMode == OPAQUE) {
    const TPoint a = dc->ToSurface(x, y);
    FillBackground(dc, {a.X, a.Y, a.X + width, a.Y + m.Height()}, extra);
  }
  const TPoint p = dc->ToSurface(x, y);
  DrawRun(dc, face, p.X, p.Y, text, n, nullptr, 0, extra);
  return true;
}

bool TextOut(HDC dc, int x, int y, const char* text, int count) {
  return ExtTextOut(dc, x, y, 0, nullptr, text, count, nullptr);
}

bool GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
  if (!dc || !size) return false;
  const backend::TFontFace& face = FaceOf(dc);
  *size = {Width(face, text, Length(text, count), 0), face.Metrics().Height()};
  return true;
}

bool GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
  if (!dc || !tm) return false;
  const backend::TFontFace& face = FaceOf(dc);
  const backend::TFontMetrics& m = face.Metrics();
  const TGdiFont* font = dc->State().Font.Get();
  *tm = TEXTMETRIC{};
  tm->tmHeight = m.Height();
  tm->tmAscent = m.Ascent;
  tm->tmDescent = m.Descent;
  tm->tmInternalLeading = m.InternalLeading;
  tm->tmExternalLeading = m.ExternalLeading;
  tm->tmAveCharWidth = m.AveCharWidth;
  tm->tmMaxCharWidth = m.MaxCharWidth;
  tm->tmWeight = font ? font->Log.lfWeight : FW_NORMAL;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = ScreenPixelsPerInch;
  tm->tmFirstChar = ' ';
  tm->tmLastChar = static_cast<char>(0xFF);
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmItalic = font ? font->Log.lfItalic : 0;
  tm->tmUnderlined = font ? font->Log.lfUnderline : 0;
  tm->tmStruckOut = font ? font->Log.lfStrikeOut : 0;
  tm->tmCharSet = font ? font->Log.lfCharSet : DEFAULT_CHARSET;
  return true;
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, unsigned format) {
  if (!dc || !rect) return 0;
  const int n = Length(text, count);
  const backend::TFontFace& face = FaceOf(dc);
  const backend::TFontMetrics& m = face.Metrics();
  const int lineHeight = m.Height() + ((format & DT_EXTERNALLEADING) ? m.ExternalLeading : 0);
  const int tabWidth = (format & DT_EXPANDTABS) ? 8 * std::max(1, m.AveCharWidth) : 0;
  const bool prefixes = !(format & DT_NOPREFIX);
  const bool showPrefix = !(format & DT_HIDEPREFIX);
  const bool singleLine = format & DT_SINGLELINE;
  const bool wordBreak = (format & DT_WORDBREAK) && !singleLine;
  const bool ellipsis = format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
  const int boxWidth = rect->Width();

  TTextScratch& scratch = PerThread<TTextScratch>();
  scratch.Used = 0;
  // Resolve "&" prefixes: "&&" is one "&", "&x" underlines x.
  std::string& plain = scratch.Plain;
  std::vector<uint8_t>& marks = scratch.Marks;
  plain.clear();
  marks.clear();
  for (int i = 0; i < n; ++i) {
    char c = text[i];
    uint8_t mark = 0;
    if (prefixes && c == '&') {
      if (i + 1 >= n) break;
      c = text[++i];
      mark = c != '&' && showPrefix;
    }
    plain.push_back(c);
    marks.push_back(mark);
  }

  // Split into lines.
  const size_t total = plain.size();
  size_t pos = 0;
  while (pos < total || (scratch.Used == 0 && total > 0)) {
    size_t end = pos;
    if (singleLine) {
      end = total;
    } else {
      while (end < total && plain[end] != '\r' && plain[end] != '\n') ++end;
    }
    // [pos, end) is one paragraph; break it into lines by words when asked.
    size_t start = pos;
    do {
      size_t stop = end;
      if (wordBreak) {
        int x = 0;
        size_t i = start, lastSpace = std::string::npos;
        for (; i < end; ++i) {
          const auto ch = static_cast<unsigned char>(plain[i]);
          if (ch == ' ') lastSpace = i;
          const int adv = Advance(face, ch, x, tabWidth);
          if (x + adv > boxWidth && i > start && ch != ' ') break;
          x += adv;
        }
        if (i < end) {
          if (lastSpace != std::string::npos && lastSpace > start) {
            stop = lastSpace;
          } else {
            // A word wider than the box stays whole.
            stop = i;
            while (stop < end && plain[stop] != ' ') ++stop;
          }
        }
      }
      TLine& line = scratch.NewLine();
      size_t last = stop;
      if (wordBreak)
        while (last > start && plain[last - 1] == ' ') --last;
      line.Text.assign(plain, start, last - start);
      line.Underline.assign(marks.begin() + static_cast<std::ptrdiff_t>(start),
                            marks.begin() + static_cast<std::ptrdiff_t>(last));
      line.Width = Width(face, line.Text.data(), static_cast<int>(line.Text.size()), tabWidth);
      start = stop;
      if (wordBreak)
        while (start < end && plain[start] == ' ') ++start;
    } while (start < end);
    if (singleLine || end >= total) break;
    // Step over one line break: CR LF, LF or CR.
    pos = end + ((plain[end] == '\r' && end + 1 < total && plain[end + 1] == '\n') ? 2 : 1);
    if (pos >= total) {
      scratch.NewLine(); // a text ending in a line break has an empty last line
      break;
    }
  }

  if (ellipsis) {
    const int dots = Width(face, "...", 3, 0);
    for (size_t k = 0; k < scratch.Used; ++k) {
      TLine& line = scratch.Lines[k];
      if (line.Width <= boxWidth) continue;
      int x = 0;
      size_t keep = 0;
      while (keep < line.Text.size()) {
        const int adv = Advance(face, static_cast<unsigned char>(line.Text[keep]), x, tabWidth);
        if (x + adv + dots > boxWidth) break;
        x += adv;
        ++keep;
      }
      line.Text.resize(keep);
      line.Underline.resize(keep);
      line.Text += "...";
      line.Underline.insert(line.Underline.end(), 3, 0);
      line.Width = x + dots;
    }
  }

  const int lines = static_cast<int>(scratch.Used);
  const int height = lines * lineHeight;
  int maxWidth = 0;
  for (size_t k = 0; k < scratch.Used; ++k) maxWidth = std::max(maxWidth, scratch.Lines[k].Width);

  if (format & DT_CALCRECT) {
    rect->Right = rect->Left + maxWidth;
    rect->Bottom = rect->Top + height;
    return height;
  }

  int top = rect->Top;
  if (singleLine) {
    if (format & DT_VCENTER)
      top = (rect->Top + rect->Bottom - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      top = rect->Bottom - lineHeight;
  }
  if (dc->Surface()) {
    TRect clipRect{};
    const TRect* extra = nullptr;
    if (!(format & DT_NOCLIP)) {
      const TPoint a = dc->ToSurface(rect->Left, rect->Top);
      clipRect = {a.X, a.Y, a.X + rect->Width(), a.Y + rect->Height()};
      extra = &clipRect;
    }
    for (int k = 0; k < lines; ++k) {
      const TLine& line = scratch.Lines[static_cast<size_t>(k)];
      int x = rect->Left;
      if (format & DT_CENTER)
        x = (rect->Left + rect->Right - line.Width) / 2;
      else if (format & DT_RIGHT)
        x = rect->Right - line.Width;
      const TPoint p = dc->ToSurface(x, top + k * lineHeight);
      if (dc->State().BkMode == OPAQUE && !(format & DT_PREFIXONLY))
        FillBackground(dc, {p.X, p.Y, p.X + line.Width, p.Y + m.Height()}, extra);
      if (format & DT_PREFIXONLY) {
        // Only the underlines: draw them as a run of blanks with marks.
        std::string blanks(line.Text.size(), ' ');
        DrawRun(dc, face, p.X, p.Y, blanks.data(), static_cast<int>(blanks.size()), line.Underline.data(),
                tabWidth, extra);
      } else {
        DrawRun(dc, face, p.X, p.Y, line.Text.data(), static_cast<int>(line.Text.size()),
                line.Underline.data(), tabWidth, extra);
      }
    }
  }
  return (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) ? top - rect->Top + height : height;
}
