#include "classlib/graphics/Picture.h"

#include "classlib/core/Exception.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Icon.h"
#include "classlib/graphics/JPEGImage.h"
#include "classlib/graphics/RasterImage.h"

QUENDREL_REGISTER_CLASS(TPicture, TPersistent) {}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

namespace {
std::unique_ptr<TGraphic> NewGraphicOfClass(TClass cls) {
  if (cls == TBitmap::StaticClass()) return std::make_unique<TBitmap>();
  if (cls == TJPEGImage::StaticClass()) return std::make_unique<TJPEGImage>();
  if (cls == TIcon::StaticClass()) return std::make_unique<TIcon>();
  if (cls == TRasterImage::StaticClass()) return std::make_unique<TRasterImage>();
  return nullptr;
}
} // namespace

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = TNotifyEvent(this, &TPicture::Changed);
  Changed(this);
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* value) {
  if (!value) {
    Adopt(nullptr);
    return;
  }
  if (value == FGraphic.get()) return;
  std::unique_ptr<TGraphic> copy = NewGraphicOfClass(value->ClassType());
  if (!copy) throw EInvalidGraphic(Format("Cannot assign a %s to a TPicture", value->ClassName().c_str()));
  copy->Assign(value);
  Adopt(std::move(copy));
}

void TPicture::SetBitmap(TBitmap* value) {
  SetGraphic(value);
}

TBitmap* TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return b;
  Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

int TPicture::Width() const {
  return FGraphic ? FGraphic->Width() : 0;
}

int TPicture::Height() const {
  return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    Adopt(nullptr);
    return;
  }
  if (auto* p = dynamic_cast<TPicture*>(source)) {
    if (p != this) SetGraphic(p->Graphic());
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(g);
    return;
  }
  inherited::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) {
  if (auto* g = dynamic_cast<TGraphic*>(dest); g && FGraphic) {
    g->Assign(FGraphic.get());
    return;
  }
  inherited::AssignTo(dest);
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
  const AnsiString ext = LowerCase(ExtractFileExt(fileName));
  std::unique_ptr<TGraphic> graphic;
  if (ext == ".bmp" || ext == ".dib")
    graphic = std::make_unique<TBitmap>();
  else if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
    graphic = std::make_unique<TJPEGImage>();
  else
    graphic = std::make_unique<TRasterImage>(); // PNG, GIF, ICO, ... through the backend
  graphic->LoadFromFile(fileName);
  Adopt(std::move(graphic));
}

// "Data": the graphic's class name as a short string (a length byte, then the name), then the graphic as its
// own stream writes it; bitmaps and JPEG images put their byte count (32 bits, little-endian) before it.
void TPicture::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* Stream) { ReadData(Stream); }, [this](TStream* Stream) { WriteData(Stream); },
      FGraphic && !FGraphic->Empty());
}

namespace {
bool IsSized(const TGraphic* Graphic) {
  return dynamic_cast<const TBitmap*>(Graphic) || dynamic_cast<const TJPEGImage*>(Graphic);
}
} // namespace

void TPicture::ReadData(TStream* Stream) {
  const uint8_t length = Stream->ReadValue<uint8_t>();
  AnsiString name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  std::unique_ptr<TGraphic> graphic;
  for (TClass cls :
       {TBitmap::StaticClass(), TJPEGImage::StaticClass(), TIcon::StaticClass(), TRasterImage::StaticClass()})
    if (SameText(name, cls->Name)) graphic = NewGraphicOfClass(cls);
  if (!graphic) throw EReadError(Format("Unknown picture kind '%s' in a picture's data", name.c_str()));
  const int64_t left = Stream->Size() - Stream->Position();
  if (IsSized(graphic.get())) {
    const int32_t size = Stream->ReadValue<int32_t>();
    if (size < 0 || size > left - 4) throw EReadError("A picture's data is shorter than it says");
    TMemoryStream data;
    data.SetSize(size);
    if (size > 0) Stream->ReadBuffer(data.Memory(), size);
    data.SetPosition(0);
    graphic->LoadFromStream(&data);
  } else {
    graphic->LoadFromStream(Stream);
  }
  Adopt(std::move(graphic));
}

void TPicture::WriteData(TStream* Stream) {
  if (!FGraphic) return;
  const AnsiString name = FGraphic->ClassName();
  Stream->WriteValue(static_cast<uint8_t>(name.size()));
  Stream->WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
  if (!IsSized(FGraphic.get())) {
    FGraphic->SaveToStream(Stream);
    return;
  }
  TMemoryStream data;
  FGraphic->SaveToStream(&data);
  Stream->WriteValue(static_cast<int32_t>(data.Size()));
  Stream->WriteBuffer(data.Memory(), data.Size());
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}
