#include "classlib/controls/Image.h"

#include "classlib/graphics/Bitmap.h"

QUENDREL_REGISTER_CLASS(TImage, TGraphicControl) {
  c.Creatable();
  c.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(0);
  c.Property("Center", &TImage::Center, &TImage::SetCenter).Default(0);
  c.Property("Picture", &TImage::Picture);
  c.Property("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(0);
  c.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0);
  c.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(0);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  ControlStyle.Include(csReplicatable);
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
  FWidth = 105;
  FHeight = 105;
}

TImage::~TImage() {
  FPicture->OnChange = nullptr;
}

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    TBitmap bmp;
    bmp.SetSize(Width(), Height());
    FPicture->SetGraphic(&bmp);
  }
  return FPicture->Bitmap()->Canvas();
}

TRect TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) r.Offset((cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  FDrawing = true;
  try {
    TGraphicControl::Canvas()->StretchDraw(DestRect(), g);
  } catch (...) {
    FDrawing = false;
    throw;
  }
  FDrawing = false;
}

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  if (TGraphic* g = FPicture->Graphic()) {
    g->SetTransparent(FTransparent);
    const TRect d = DestRect();
    if (!g->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() && d.Bottom >= Height())
      ControlStyle.Include(csOpaque);
    else
      ControlStyle.Exclude(csOpaque);
  } else {
    ControlStyle.Exclude(csOpaque);
  }
  if (!FDrawing) Invalidate();
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  PictureChanged(this);
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  PictureChanged(this);
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  PictureChanged(this);
}

void TImage::SetAutoSize(bool Value) {
  FAutoSize = Value;
  if (Value) PictureChanged(this);
}
