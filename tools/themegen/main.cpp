// Writes the sample theme files: each takes one built-in style's pictures and values, turns their colours to
// a look of its own, draws the pictures only theme files carry (items 43, 45, 46) and stores all 48 items.
// The control font colour (item 27) is chosen so that panel captions contrast with the turned caption strip.
//
//   themegen <skin picture folder> <work folder> <themes folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKPublic.h"
#include "skin/SKThemeFile.h"
#include "skin/SKThemeLink.h"
#include "skin/SKThemes.h"

namespace {

struct ThemeLook {
  const char* FileName;
  TskUIStyle Base;
  double HueShift;   // degrees
  double Saturation; // factor
  double Lightness;  // added, -1..1
};

const ThemeLook Looks[] = {
    {"Emerald.skn", DeepBlue, -85.0, 1.0, 0.0},
    {"Sunset.skn", WinXP, 165.0, 1.05, 0.02},
    {"Amethyst.skn", BlueGlass, 55.0, 0.9, 0.0},
};

struct Rgb {
  double r, g, b; // 0..1
};

Rgb FromPixel(uint32_t p) {
  return {((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0};
}

uint32_t ToPixel(Rgb c) {
  auto q = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
  return q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

// The look's colour turn on one 0x00RRGGBB pixel; the transparent key stays and nothing else becomes it.
uint32_t Turn(uint32_t pixel, const ThemeLook& look) {
  pixel &= 0xFFFFFF;
  if (pixel == 0xFF00FF) return pixel;
  const Rgb c = FromPixel(pixel);
  const double mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
  double h = 0, s = 0, l = (mx + mn) / 2;
  if (mx > mn) {
    const double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == c.r)
      h = (c.g - c.b) / d + (c.g < c.b ? 6 : 0);
    else if (mx == c.g)
      h = (c.b - c.r) / d + 2;
    else
      h = (c.r - c.g) / d + 4;
    h /= 6;
  }
  // Only the blues of the base style turn; other hues (the red close button, warm accents) stay, with a soft
  // edge between.
  const double distance = std::abs(std::remainder(h * 360.0 - 215.0, 360.0));
  const double weight = std::clamp(1.0 - (distance - 50.0) / 30.0, 0.0, 1.0);
  h = std::fmod(h + weight * look.HueShift / 360.0 + 1.0, 1.0);
  s = std::clamp(s * (1.0 + weight * (look.Saturation - 1.0)), 0.0, 1.0);
  // Near-white and near-black keep their lightness so that highlights and ink stay crisp.
  l = std::clamp(l + look.Lightness * (1 - std::abs(2 * l - 1)), 0.0, 1.0);
  Rgb out{l, l, l};
  if (s > 0) {
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    out = {HueToChannel(p, q, h + 1.0 / 3), HueToChannel(p, q, h), HueToChannel(p, q, h - 1.0 / 3)};
  }
  const uint32_t result = ToPixel(out);
  return result == 0xFF00FF ? 0xFE00FF : result;
}

// Relative luminance (0 black .. 1 white) of a 0x00RRGGBB pixel, from its linear-light channels.
double Luminance(uint32_t pixel) {
  const Rgb c = FromPixel(pixel);
  auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// The mean luminance of a picture, leaving out the transparent key.
double MeanLuminance(TBitmap& bmp) {
  double sum = 0;
  long count = 0;
  for (int y = 0; y < bmp.Height(); ++y) {
    const uint32_t* row = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x)
      if ((row[x] & 0xFFFFFF) != 0xFF00FF) sum += Luminance(row[x]), ++count;
  }
  return count ? sum / static_cast<double>(count) : 0.0;
}

// Panels draw their captions over the caption strip (item 42) in black or white, as the control font colour
// says. Black goes on a strip that black contrasts with better than white does; otherwise the turned colour
// stays, unless it happens to be one that asks for black.
TColor ControlFontColor(TColor turned, double stripLuminance) {
  const bool black = (stripLuminance + 0.05) / 0.05 > 1.05 / (stripLuminance + 0.05);
  if (black) return SK_PANEL_DARK_CAPTIONS[0];
  return std::ranges::find(SK_PANEL_DARK_CAPTIONS, turned) == std::end(SK_PANEL_DARK_CAPTIONS) ? turned
                                                                                               : TColor(0);
}

TColor TurnColor(TColor color, const ThemeLook& look) {
  return PixelToColor(Turn(ColorToPixel(color), look));
}

void TurnBitmap(TBitmap& bmp, const ThemeLook& look) {
  for (int y = 0; y < bmp.Height(); ++y) {
    uint32_t* row = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x) row[x] = Turn(row[x], look);
  }
}

// A vertical band of colours, one a column, repeated down the picture.
void FillColumns(TBitmap& bmp, const std::vector<uint32_t>& columns, int height) {
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(static_cast<int>(columns.size()), height);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = bmp.ScanLine(y);
    for (size_t x = 0; x < columns.size(); ++x) row[x] = columns[x];
  }
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  const Rgb ca = FromPixel(a), cb = FromPixel(b);
  return ToPixel({ca.r + (cb.r - ca.r) * t, ca.g + (cb.g - ca.g) * t, ca.b + (cb.b - ca.b) * t});
}

// Item 45: the left border, outside to inside: the frame line, a bevel in the theme's accent, the panel.
void DrawLeftBorder(TBitmap& bmp, uint32_t border, uint32_t accent, uint32_t panel) {
  FillColumns(
      bmp,
      {border, Mix(accent, 0xFFFFFF, 0.35), accent, Mix(accent, border, 0.3), Mix(accent, panel, 0.5), panel},
      24);
}

// Item 46: three 12-pixel pieces 6 rows high. Each pixel takes the band of its distance from the outside
// edges, so the ends turn the corner into the side borders; the outermost corner pixels are keyed off.
void DrawBottomBorder(TBitmap& bmp, uint32_t border, uint32_t accent, uint32_t panel) {
  const uint32_t bands[6] = {
      border, Mix(accent, 0xFFFFFF, 0.35), accent, Mix(accent, border, 0.3), Mix(accent, panel, 0.5), panel};
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(36, 6);
  for (int y = 0; y < 6; ++y) {
    uint32_t* row = bmp.ScanLine(y);
    for (int x = 0; x < 36; ++x) row[x] = bands[std::min({x, 35 - x, 5 - y})];
  }
  bmp.ScanLine(5)[0] = 0xFF00FF;
  bmp.ScanLine(5)[35] = 0xFF00FF;
}

void WriteTheme(const ThemeLook& look, const AnsiString& skinDir, const AnsiString& workDir,
                const AnsiString& themesDir) {
  const AnsiString work = IncludeTrailingPathDelimiter(workDir) + ChangeFileExt(look.FileName, "") + "/";
  ForceDirectories(work);
  TskThemeFileWriter writer(IncludeTrailingPathDelimiter(themesDir) + look.FileName);

  const uint32_t border = ColorToPixel(TurnColor(GetInsideThemeColor(look.Base, 16), look));
  const uint32_t accent = ColorToPixel(TurnColor(GetInsideThemeColor(look.Base, 18), look));
  const uint32_t panel = ColorToPixel(TurnColor(GetInsideThemeColor(look.Base, 15), look));
  TskType stripType;
  TBitmap strip;
  strip.LoadFromFile(IncludeTrailingPathDelimiter(skinDir) +
                     GetInsideThemeValue(look.Base, 42, stripType).Name + ".bmp");
  TurnBitmap(strip, look);
  const double stripLuminance = MeanLuminance(strip);

  for (int item = 1; item <= SK_ITEM_COUNT; ++item) {
    TskType type;
    const TskInsideValue value = GetInsideThemeValue(look.Base, item, type);
    const AnsiString& key = SKItemName(item);
    switch (type) {
    case TskType::Str: {
      TBitmap bmp;
      if (item == 45) {
        DrawLeftBorder(bmp, border, accent, panel);
      } else if (item == 46) {
        DrawBottomBorder(bmp, border, accent, panel);
      } else {
        // Item 43 has no built-in picture: the caption strip stands in for the minimized caption.
        const char* name = item == 43 ? GetInsideThemeValue(look.Base, 11, type).Name : value.Name;
        bmp.LoadFromFile(IncludeTrailingPathDelimiter(skinDir) + name + ".bmp");
        TurnBitmap(bmp, look);
      }
      const AnsiString file = work + key + ".bmp";
      bmp.SaveToFile(file);
      writer.AddFile(key, file);
      break;
    }
    case TskType::Color:
      writer.AddInteger(key, item == 27 ? ControlFontColor(TurnColor(value.Num, look), stripLuminance)
                                        : TurnColor(value.Num, look));
      break;
    case TskType::Int:
      writer.AddInteger(key, value.Num);
      break;
    case TskType::Bool:
      writer.AddBool(key, value.Num != 0);
      break;
    }
  }
  writer.Save();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: themegen <skin picture folder> <work folder> <themes folder>\n");
    return 2;
  }
  try {
    ForceDirectories(argv[3]);
    for (const ThemeLook& look : Looks) WriteTheme(look, argv[1], argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "themegen: %s\n", e.what());
    return 1;
  }
  return 0;
}
