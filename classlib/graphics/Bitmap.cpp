#include "classlib/graphics/Bitmap.h"

#include "classlib/core/Exception.h"
#include "classlib/core/Resources.h"
#include "classlib/core/Stream.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/BmpCodec.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TBitmap, TGraphic) {}

namespace {

// A bitmap's canvas draws through one context on the bitmap's surface, kept for the bitmap's life.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TSurface* surface) : FContext(surface) { SetHandle(&FContext); }
  void Retarget(TSurface* surface) {
    FContext.Retarget(surface);
    SetHandle(&FContext);
  }

 private:
  TDeviceContext FContext;
};

} // namespace

TBitmap::TBitmap() : FImage(TGdiRef<TGdiBitmap>::Adopt(new TGdiBitmap())) {}

TBitmap::~TBitmap() = default;

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(&FImage->Surface);
    FCanvas->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
  }
  return FCanvas.get();
}

void TBitmap::CanvasChanged(TObject*) {
  Changed();
}

void TBitmap::Changed() {
  TGraphic::Changed();
}

TSurface& TBitmap::Surface() {
  return FImage->Surface;
}

const TSurface& TBitmap::Surface() const {
  return FImage->Surface;
}

bool TBitmap::Empty() const {
  return FImage->Surface.Empty();
}

int TBitmap::Width() const {
  return FImage->Surface.Width();
}

int TBitmap::Height() const {
  return FImage->Surface.Height();
}

void TBitmap::SetWidth(int value) {
  SetSize(value, Height());
}

void TBitmap::SetHeight(int value) {
  SetSize(Width(), value);
}

void TBitmap::SetSize(int newWidth, int newHeight) {
  newWidth = std::max(0, newWidth);
  newHeight = std::max(0, newHeight);
  if (newWidth == Width() && newHeight == Height()) return;
  if (int64_t{newWidth} * newHeight > MaxPicturePixels) throw EOutOfResources("Out of system resources");
  FImage->Surface.SetSize(newWidth, newHeight);
  if (FCanvas) FCanvas->Handle()->ClipChanged();
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  if (value == FPixelFormat) return;
  FPixelFormat = value;
  Changed();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (Empty()) return clDefault;
  return PixelToColor(FImage->Surface.Row(0)[0]);
}

void TBitmap::SetTransparentColor(TColor value) {
  FTransparentColor = value;
  FTransparentMode = value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == FTransparentMode) return;
  FTransparentMode = value;
  Changed();
}

uint32_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= Height()) throw EInvalidGraphic(Format("Scan line index out of range (%d)", y));
  return FImage->Surface.Row(y);
}

HBITMAP TBitmap::Handle() {
  return FImage.Get();
}

void TBitmap::SetHandle(HBITMAP value) {
  FImage = value ? TGdiRef<TGdiBitmap>(value) : TGdiRef<TGdiBitmap>::Adopt(new TGdiBitmap());
  if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->Retarget(&FImage->Surface);
  Changed();
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    SetSize(0, 0);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    if (b == this) return;
    FImage->Surface = b->FImage->Surface;
    if (FCanvas) FCanvas->Handle()->ClipChanged();
    FPixelFormat = b->FPixelFormat;
    FTransparentMode = b->FTransparentMode;
    FTransparentColor = b->FTransparentColor;
    SetTransparent(b->Transparent());
    Changed();
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(source)) {
    // Another kind of picture is drawn onto a white bitmap of its size.
    SetSize(0, 0);
    SetSize(g->Width(), g->Height());
    if (!g->Empty()) g->Draw(Canvas(), {0, 0, g->Width(), g->Height()});
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (!canvas || Empty()) return;
  TDeviceContext source(&FImage->Surface);
  if (Transparent())
    TransparentBlt(canvas->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, Width(),
                   Height(), TransparentColor());
  else
    StretchBlt(canvas->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, Width(),
               Height(), canvas->CopyMode());
}

void TBitmap::LoadFromMemory(const uint8_t* data, size_t size) {
  TSurface decoded;
  const TBmpInfo info = ReadBmp(data, size, decoded);
  FImage->Surface = std::move(decoded);
  if (FCanvas) FCanvas->Handle()->ClipChanged();
  switch (info.BitsPerPixel) {
  case 1:
    FPixelFormat = pf1bit;
    break;
  case 4:
    FPixelFormat = pf4bit;
    break;
  case 8:
    FPixelFormat = pf8bit;
    break;
  case 16:
    FPixelFormat = pf16bit;
    break;
  case 32:
    FPixelFormat = pf32bit;
    break;
  default:
    FPixelFormat = pf24bit;
    break;
  }
  Changed();
}

std::vector<uint8_t> TBitmap::SaveToMemory() const {
  int bpp = 24;
  switch (FPixelFormat) {
  case pf1bit:
    bpp = 1;
    break;
  case pf4bit:
    bpp = 4;
    break;
  case pf8bit:
    bpp = 8;
    break;
  case pf32bit:
    bpp = 32;
    break;
  default:
    break;
  }
  if (bpp < 24) {
    try {
      return WriteBmp(FImage->Surface, bpp);
    } catch (const EInvalidGraphic&) {
      // More colours than the format holds: keep them all.
    }
  }
  return WriteBmp(FImage->Surface, bpp < 24 ? 24 : bpp);
}

void TBitmap::LoadFromStream(TStream* stream) {
  const std::vector<uint8_t> bytes = ReadRemainingBytes(stream);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TBitmap::SaveToStream(TStream* stream) {
  const std::vector<uint8_t> bytes = SaveToMemory();
  stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::LoadFromResourceName(uintptr_t instance, const AnsiString& resName) {
  TResourceStream stream(instance, resName, RT_BITMAP);
  LoadFromStream(&stream);
}
