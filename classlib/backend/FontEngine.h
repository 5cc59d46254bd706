#pragma once
// The backend's fonts, Qt-free: a face matched to a requested name, size and style, its metrics, and its
// glyphs as coverage masks that the graphics library composes into surfaces itself. Faces and glyphs are kept
// for the program's life, so text drawing allocates nothing once a glyph has been seen.
//
// Family names are matched to installed fonts, with fixed choices so that pixels are stable: Tahoma and MS
// Sans Serif take the Tahoma-compatible and MS Sans Serif-compatible faces of the Windows-compatible font
// set, Verdana takes DejaVu Sans, Courier New takes Liberation Mono, Arial and Times New Roman the Liberation
// faces; other names go through fontconfig.
#include <cstdint>
#include <memory>
#include <string>

namespace backend {

struct TFontRequest {
  std::string Name;
  int Height = -11; // < 0: character height in pixels; > 0: cell height (ascent + descent)
  int Weight = 400; // >= 600 is bold
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool FixedPitch = false;
  bool Antialias = false; // crisp glyphs unless asked
  bool operator==(const TFontRequest&) const = default;
};

struct TFontMetrics {
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int UnderlinePos = 0; // below the baseline
  int StrikeOutPos = 0; // above the baseline
  int LineThickness = 1;
  int Height() const { return Ascent + Descent; }
};

// One glyph: a Width x Height coverage mask (0 none .. 255 full) placed at (Left, Top) relative to the pen
// position on the cell's top edge; the pen then moves by Advance.
struct TGlyph {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Advance = 0;
  const uint8_t* Coverage = nullptr;
};

class TFontFace {
 public:
  virtual ~TFontFace() = default;
  virtual const TFontMetrics& Metrics() const = 0;
  // The glyph of an 8-bit character in the Windows Western code page.
  virtual const TGlyph& Glyph(unsigned char Ch) const = 0;
  int Advance(unsigned char Ch) const { return Glyph(Ch).Advance; }
  // The installed family that renders it.
  virtual std::string FamilyName() const = 0;
};

// The face for a request; the same request gives the same face. Never null: an unknown name gives the
// default sans-serif face.
const TFontFace& FindFontFace(const TFontRequest& Request);

// The family an asked-for name is rendered with ("Tahoma" -> "Tahoma", "Verdana" -> "DejaVu Sans", ...).
std::string ResolveFontFamily(const std::string& Name);

} // namespace backend
