#include "classlib/backend/FontEngine.h"

#include "classlib/backend/Backend.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <unistd.h>
#include <vector>

namespace backend {
namespace {

// Fonts need a GUI application. Tests and tools that draw before any window exists get the backend's one
// here.
void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Initialize();
}

// The Windows-compatible faces are installed outside fontconfig's folders. They are added to fontconfig's
// application fonts when the program starts, before the first font database is built, so that Qt sees them as
// ordinary installed fonts. (Qt's own application fonts are dropped when the application object goes, which
// at exit can come after the font caches are gone.) fontconfig is already loaded with Qt; its function is
// looked up rather than linked.
void RegisterBundledFonts() {
  using AddFile = int (*)(void* config, const unsigned char* file);
  const auto add = reinterpret_cast<AddFile>(dlsym(RTLD_DEFAULT, "FcConfigAppFontAddFile"));
  if (!add) return;
  static const char* const files[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf", "system.ttf"};
  static const char* const folders[] = {"/usr/share/wine/fonts/", "/usr/lib/wine/fonts/",
                                        "/usr/share/fonts/truetype/wine/"};
  for (const char* file : files)
    for (const char* folder : folders) {
      const std::string path = std::string(folder) + file;
      if (access(path.c_str(), R_OK) == 0 &&
          add(nullptr, reinterpret_cast<const unsigned char*>(path.c_str())))
        break;
    }
}

[[maybe_unused]] const bool BundledFontsRegistered = (RegisterBundledFonts(), true);

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool HasFamily(const QString& family) {
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The Windows Western code page's characters 0x80..0x9F; the rest map to the same Unicode value.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar ToUnicode(unsigned char ch) {
  if (ch >= 0x80 && ch < 0xA0) return QChar(Cp1252High[ch - 0x80]);
  return QChar(static_cast<char16_t>(ch));
}

class TQtFontFace : public TFontFace {
 public:
  TQtFontFace(const TFontRequest& request, const QFont& font) : Request(request), Font(font) {
    const QFontMetrics fm(Font);
    FMetrics.Ascent = fm.ascent();
    FMetrics.Descent = fm.descent();
    const int em = Font.pixelSize();
    FMetrics.InternalLeading = std::max(0, FMetrics.Height() - em);
    FMetrics.ExternalLeading = std::max(0, fm.leading());
    FMetrics.AveCharWidth = fm.averageCharWidth();
    FMetrics.MaxCharWidth = fm.maxWidth();
    FMetrics.UnderlinePos = std::max(1, fm.underlinePos());
    FMetrics.StrikeOutPos = std::max(1, fm.strikeOutPos());
    FMetrics.LineThickness = std::max(1, fm.lineWidth());
  }

  const TFontMetrics& Metrics() const override { return FMetrics; }

  const TGlyph& Glyph(unsigned char ch) const override {
    if (!FLoaded[ch]) Render(ch);
    return FGlyphs[ch];
  }

  std::string FamilyName() const override { return QFontInfo(Font).family().toStdString(); }

  const TFontRequest Request;

 private:
  // Draws the glyph white on black with room around it, then keeps the smallest box holding its pixels.
  void Render(unsigned char ch) const {
    FLoaded[ch] = true;
    TGlyph& g = FGlyphs[ch];
    const QFontMetrics fm(Font);
    const QChar uc = ToUnicode(ch);
    g.Advance = fm.horizontalAdvance(uc);
    if (ch < 32) g.Advance = 0;
    const int pad = std::max(4, Font.pixelSize());
    const int w = std::max(1, g.Advance) + 2 * pad, h = FMetrics.Height() + 2 * pad;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (ch >= 32) {
      QPainter p(&image);
      p.setRenderHint(QPainter::TextAntialiasing, Request.Antialias);
      p.setRenderHint(QPainter::Antialiasing, Request.Antialias);
      p.setFont(Font);
      p.setPen(Qt::white);
      p.drawText(QPoint(pad, pad + FMetrics.Ascent), QString(uc));
    }
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < w; ++x)
        if (qGreen(row[x]) != 0) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return; // blank glyph
    g.Left = left - pad;
    g.Top = top - pad;
    g.Width = right - left + 1;
    g.Height = bottom - top + 1;
    std::vector<uint8_t>& cov = FCoverage[ch];
    cov.resize(static_cast<size_t>(g.Width) * static_cast<size_t>(g.Height));
    for (int y = 0; y < g.Height; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(top + y));
      for (int x = 0; x < g.Width; ++x)
        cov[static_cast<size_t>(y) * static_cast<size_t>(g.Width) + static_cast<size_t>(x)] =
            static_cast<uint8_t>(Request.Antialias ? qGreen(row[left + x])
                                                   : (qGreen(row[left + x]) >= 128 ? 255 : 0));
    }
    g.Coverage = cov.data();
  }

  QFont Font;
  TFontMetrics FMetrics;
  mutable std::array<TGlyph, 256> FGlyphs{};
  mutable std::array<std::vector<uint8_t>, 256> FCoverage;
  mutable std::array<bool, 256> FLoaded{};
};

QFont MakeFont(const TFontRequest& r, const QString& family, int pixelSize) {
  QFont f(family);
  f.setPixelSize(std::max(1, pixelSize));
  f.setWeight(r.Weight >= 600 ? QFont::Bold
                              : (r.Weight > 0 && r.Weight < 350 ? QFont::Light : QFont::Normal));
  f.setItalic(r.Italic);
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(static_cast<QFont::StyleStrategy>(
      QFont::PreferMatch | (r.Antialias ? QFont::PreferAntialias : QFont::NoAntialias)));
  if (r.FixedPitch) f.setStyleHint(QFont::TypeWriter);
  return f;
}

struct TFaceCache {
  std::mutex Lock;
  std::vector<std::unique_ptr<TQtFontFace>> Faces;
};

// Faces hold Qt font engines, which must not be released after Qt's own caches at exit; the cache is kept
// for the whole run and never destroyed.
TFaceCache& Cache() {
  static TFaceCache* cache = new TFaceCache();
  return *cache;
}

void Initialise() {
  static std::once_flag once;
  std::call_once(once, [] { EnsureGuiApplication(); });
}

} // namespace

std::string ResolveFontFamily(const std::string& name) {
  Initialise();
  struct Choice {
    const char* Asked;
    const char* Family;
    const char* Fallback;
  };
  static const Choice choices[] = {
      {"tahoma", "Tahoma", "DejaVu Sans"},
      {"ms sans serif", "MS Sans Serif", "Liberation Sans"},
      {"microsoft sans serif", "Tahoma", "DejaVu Sans"},
      {"ms shell dlg", "Tahoma", "DejaVu Sans"},
      {"ms shell dlg 2", "Tahoma", "DejaVu Sans"},
      {"system", "System", "DejaVu Sans"},
      {"verdana", "DejaVu Sans", "DejaVu Sans"},
      {"courier new", "Liberation Mono", "DejaVu Sans Mono"},
      {"courier", "Liberation Mono", "DejaVu Sans Mono"},
      {"arial", "Liberation Sans", "DejaVu Sans"},
      {"times new roman", "Liberation Serif", "DejaVu Serif"},
      {"", "DejaVu Sans", "DejaVu Sans"},
  };
  const std::string key = Lower(name);
  for (const Choice& c : choices)
    if (key == c.Asked) {
      const QString family = QString::fromLatin1(c.Family);
      return HasFamily(family) ? c.Family : c.Fallback;
    }
  return name;
}

const TFontFace& FindFontFace(const TFontRequest& request) {
  Initialise();
  TFaceCache& cache = Cache();
  std::lock_guard lock(cache.Lock);
  for (const auto& face : cache.Faces)
    if (face->Request == request) return *face;
  const QString family = QString::fromStdString(ResolveFontFamily(request.Name));
  int pixelSize = 12;
  if (request.Height < 0) {
    pixelSize = -request.Height;
  } else if (request.Height > 0) {
    // A cell height: scale the em size so that ascent + descent comes out at the height asked for.
    const QFontMetrics probe(MakeFont(request, family, request.Height));
    const int cell = std::max(1, probe.ascent() + probe.descent());
    pixelSize = std::max(1, (request.Height * request.Height + cell / 2) / cell);
    for (int tries = 0; tries < 3; ++tries) {
      const QFontMetrics fm(MakeFont(request, family, pixelSize));
      const int c = fm.ascent() + fm.descent();
      if (c > request.Height && pixelSize > 1)
        --pixelSize;
      else
        break;
    }
  }
  cache.Faces.push_back(std::make_unique<TQtFontFace>(request, MakeFont(request, family, pixelSize)));
  return *cache.Faces.back();
}

} // namespace backend
