#include "classlib/graphics/ImageList.h"

#include "classlib/core/Exception.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Raster.h"

QUENDREL_REGISTER_CLASS(TImageList, TComponent) {
  c.Creatable();
  c.Property("Height", &TImageList::Height, &TImageList::SetHeight);
  c.Property("Width", &TImageList::Width, &TImageList::SetWidth);
  c.Property("Masked", &TImageList::Masked, &TImageList::SetMasked);
  ColorProperty(c, "BkColor", &TImageList::BkColor, &TImageList::SetBkColor);
  c.Event("OnChange", &TImageList::OnChange);
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::TImageList(int width, int height)
    : TComponent(nullptr), FWidth(std::max(1, width)), FHeight(std::max(1, height)) {}

void TImageList::Changed() {
  if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int value) {
  if (value == FWidth || value <= 0) return;
  FWidth = value;
  Clear();
}

void TImageList::SetHeight(int value) {
  if (value == FHeight || value <= 0) return;
  FHeight = value;
  Clear();
}

void TImageList::Clear() {
  FImages.clear();
  Changed();
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FImages.erase(FImages.begin() + index);
  Changed();
}

void TImageList::AddPieces(const TSurface& source, const std::vector<uint8_t>* mask) {
  // A wide picture holds several images side by side; a picture narrower than one image still gives one.
  const int pieces = std::max(1, source.Width() / FWidth);
  for (int k = 0; k < pieces; ++k) {
    TImage image;
    image.Pixels.SetSize(FWidth, FHeight, 0);
    if (mask) image.Mask.assign(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0);
    for (int y = 0; y < FHeight && y < source.Height(); ++y)
      for (int x = 0; x < FWidth; ++x) {
        const int sx = k * FWidth + x;
        if (sx >= source.Width()) break;
        image.Pixels.Row(y)[x] = source.Row(y)[sx];
        if (mask)
          image.Mask[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] =
              (*mask)[static_cast<size_t>(y) * static_cast<size_t>(source.Width()) + static_cast<size_t>(sx)];
      }
    FImages.push_back(std::move(image));
  }
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image) return -1;
  const int first = Count();
  if (mask && !mask->Empty()) {
    const TSurface& m = mask->Surface();
    std::vector<uint8_t> drawn(static_cast<size_t>(image->Width()) * static_cast<size_t>(image->Height()), 1);
    for (int y = 0; y < image->Height() && y < m.Height(); ++y)
      for (int x = 0; x < image->Width() && x < m.Width(); ++x)
        drawn[static_cast<size_t>(y) * static_cast<size_t>(image->Width()) + static_cast<size_t>(x)] =
            m.Row(y)[x] != 0xFFFFFF;
    AddPieces(image->Surface(), &drawn);
  } else {
    AddPieces(image->Surface(), nullptr);
  }
  Changed();
  return first;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image) return -1;
  const int first = Count();
  const uint32_t key = ColorToPixel(maskColor);
  const TSurface& s = image->Surface();
  std::vector<uint8_t> drawn(static_cast<size_t>(s.Width()) * static_cast<size_t>(s.Height()));
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      drawn[static_cast<size_t>(y) * static_cast<size_t>(s.Width()) + static_cast<size_t>(x)] =
          s.Row(y)[x] != key;
  AddPieces(s, &drawn);
  Changed();
  return first;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || index < 0 || index >= Count()) return;
  const TImage& image = FImages[static_cast<size_t>(index)];
  HDC dc = canvas->Handle();
  TSurface* target = dc->Surface();
  if (!target) return;
  const auto drawn = [&](int ix, int iy) {
    return image.Mask.empty() ||
           image.Mask[static_cast<size_t>(iy) * static_cast<size_t>(FWidth) + static_cast<size_t>(ix)] != 0;
  };
  const auto put = [&](int lx, int ly, uint32_t pixel) {
    const TPoint p = dc->ToSurface(lx, ly);
    if (dc->Scaled()) {
      raster::ForDevicePixels(*dc, p.X, p.Y, [pixel](uint32_t& d) { d = pixel; });
      return;
    }
    for (const TRect& c : dc->ClipRects())
      if (p.Y >= c.Top && p.Y < c.Bottom && p.X >= c.Left && p.X < c.Right) {
        target->Row(p.Y)[p.X] = pixel;
        return;
      }
  };
  if (enabled) {
    for (int iy = 0; iy < FHeight; ++iy)
      for (int ix = 0; ix < FWidth; ++ix)
        if (drawn(ix, iy)) put(x + ix, y + iy, image.Pixels.Row(iy)[ix]);
    return;
  }
  // Greyed: the darker pixels of the image form its shape, drawn in the highlight colour one pixel down and
  // right, then in the shadow colour in place.
  const auto dark = [&](int ix, int iy) {
    if (!drawn(ix, iy)) return false;
    const uint32_t p = image.Pixels.Row(iy)[ix];
    const uint32_t luminance = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
    return luminance < 0xC0;
  };
  const uint32_t highlight = ColorToPixel(clBtnHighlight), shadow = ColorToPixel(clBtnShadow);
  for (int iy = 0; iy < FHeight; ++iy)
    for (int ix = 0; ix < FWidth; ++ix)
      if (dark(ix, iy)) put(x + ix + 1, y + iy + 1, highlight);
  for (int iy = 0; iy < FHeight; ++iy)
    for (int ix = 0; ix < FWidth; ++ix)
      if (dark(ix, iy)) put(x + ix, y + iy, shadow);
}

void TImageList::GetBitmap(int index, TBitmap* image) {
  if (!image) return;
  if (index < 0 || index >= Count()) throw EInvalidOperation(Format("Invalid image list index (%d)", index));
  image->SetSize(FWidth, FHeight);
  image->Surface() = FImages[static_cast<size_t>(index)].Pixels;
  image->Canvas()->Handle()->ClipChanged();
}
