#pragma once
// Drawing objects behind the GDI-style handles: pens, brushes, fonts, bitmaps (and regions, Region.h).
// A handle (HPEN, HBRUSH, ...) is a plain pointer to one of these. Objects are reference counted: the creator
// holds one reference, which DeleteObject drops; every device context that has the object selected holds
// another, so deleting or replacing an object that is still selected somewhere never leaves a dangling
// handle. Stock objects live for the whole program.
#include <cstdint>
#include <utility>

#include "classlib/graphics/Color.h"
#include "classlib/graphics/Surface.h"

namespace backend {
class TFontFace;
}

enum class TGdiObjectType { Pen = 1, Brush = 2, Font = 6, Bitmap = 7, Region = 8 };

class TGdiObject {
 public:
  explicit TGdiObject(TGdiObjectType Type) : FType(Type) {}
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  virtual ~TGdiObject() = default;

  TGdiObjectType Type() const { return FType; }
  bool Stock() const { return FStock; }
  void MarkStock() { FStock = true; }

  void AddRef() { ++FRefs; }
  // Drops one reference and frees the object at zero. Stock objects are never freed.
  void Release() {
    if (!FStock && --FRefs == 0) delete this;
  }
  // Drops the creator's reference once; later calls do nothing. Answers false for stock objects.
  bool DeleteObject() {
    if (FStock || FDeleted) return false;
    FDeleted = true;
    Release();
    return true;
  }

 private:
  TGdiObjectType FType;
  int FRefs = 1;
  bool FStock = false;
  bool FDeleted = false;
};

// A counted reference to a drawing object, for device contexts and the classes that keep handles.
template <class T> class TGdiRef {
 public:
  TGdiRef() = default;
  // Adopts the creator's reference of a freshly created object.
  static TGdiRef Adopt(T* Object) {
    TGdiRef r;
    r.FObject = Object;
    return r;
  }
  // Takes a new reference to an existing object.
  explicit TGdiRef(T* Object) : FObject(Object) {
    if (FObject) FObject->AddRef();
  }
  TGdiRef(const TGdiRef& o) : TGdiRef(o.FObject) {}
  TGdiRef(TGdiRef&& o) noexcept : FObject(std::exchange(o.FObject, nullptr)) {}
  TGdiRef& operator=(TGdiRef o) noexcept {
    std::swap(FObject, o.FObject);
    return *this;
  }
  ~TGdiRef() {
    if (FObject) FObject->Release();
  }
  T* Get() const { return FObject; }
  T* operator->() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }

 private:
  T* FObject = nullptr;
};

// Font description, as CreateFontIndirect takes it.
constexpr int LF_FACESIZE = 32;
struct LOGFONT {
  int32_t lfHeight = 0; // < 0: character height in pixels; > 0: cell height; 0: default size
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = 400; // 400 normal, 700 bold
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 1; // DEFAULT_CHARSET
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONTA = LOGFONT;

// Pen styles.
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
              PS_INSIDEFRAME = 6;
// Brush styles and hatches.
constexpr int BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;

class TGdiPen : public TGdiObject {
 public:
  TGdiPen(int Style, int Width, TColor Color)
      : TGdiObject(TGdiObjectType::Pen), Style(Style), Width(Width), Color(Color) {}
  const int Style;
  const int Width;
  const TColor Color;
};

class TGdiBitmap;

class TGdiBrush : public TGdiObject {
 public:
  TGdiBrush(int Style, TColor Color, int Hatch = 0)
      : TGdiObject(TGdiObjectType::Brush), Style(Style), Color(Color), Hatch(Hatch) {}
  // A pattern brush keeps its own copy of the picture, tiled from the device context's origin.
  explicit TGdiBrush(const TSurface& Pattern)
      : TGdiObject(TGdiObjectType::Brush), Style(BS_PATTERN), Color(0), Hatch(0), Pattern(Pattern) {}
  const int Style;
  const TColor Color;
  const int Hatch;
  const TSurface Pattern;
};

class TGdiFont : public TGdiObject {
 public:
  explicit TGdiFont(const LOGFONT& Log) : TGdiObject(TGdiObjectType::Font), Log(Log) {}
  const LOGFONT Log;
  // The backend face that renders it, found on first use and shared by every font of the same description.
  const backend::TFontFace& Face() const;
  // The face at Scale times the size, for text drawn at a high-density surface's own resolution.
  const backend::TFontFace& FaceAt(double Scale) const;

 private:
  mutable const backend::TFontFace* FFace = nullptr;
  mutable const backend::TFontFace* FScaledFace = nullptr;
  mutable double FFaceScale = 1.0;
};

// A bitmap object: a surface that a device context can draw on. TBitmap keeps its pixels in one.
class TGdiBitmap : public TGdiObject {
 public:
  TGdiBitmap() : TGdiObject(TGdiObjectType::Bitmap) {}
  TGdiBitmap(int Width, int Height, uint32_t Fill = 0xFFFFFF)
      : TGdiObject(TGdiObjectType::Bitmap), Surface(Width, Height, Fill) {}
  TSurface Surface;
};

class TRegion;

using HGDIOBJ = TGdiObject*;
using HPEN = TGdiPen*;
using HBRUSH = TGdiBrush*;
using HFONT = TGdiFont*;
using HBITMAP = TGdiBitmap*;
using HRGN = TRegion*;
