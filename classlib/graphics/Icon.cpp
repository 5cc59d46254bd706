#include "classlib/graphics/Icon.h"

#include <string>

#include "classlib/core/Exception.h"
#include "classlib/core/Resources.h"
#include "classlib/core/Stream.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Canvas.h"

QUENDREL_REGISTER_CLASS(TIcon, TGraphic) {}

TIcon::TIcon() : FImage(std::make_unique<TBitmap>()) {
  FImage->SetTransparentColor(clFuchsia);
  FImage->SetTransparent(true);
}

TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* source) {
  if (auto* i = dynamic_cast<TIcon*>(source)) {
    FImage->Assign(i->FImage.get());
    FResourceName = i->FResourceName;
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    FImage->Assign(b);
    FResourceName.clear();
    FImage->SetTransparentColor(clFuchsia);
    FImage->SetTransparent(true);
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
  FImage->Draw(canvas, rect);
}

void TIcon::LoadFromStream(TStream* stream) {
  FResourceName.clear();
  FImage->LoadFromStream(stream);
  FImage->SetTransparentColor(clFuchsia);
  FImage->SetTransparent(true);
  Changed();
}

void TIcon::SaveToStream(TStream* stream) {
  FImage->SaveToStream(stream);
}

void TIcon::LoadFromResourceName(uintptr_t instance, const AnsiString& resName) {
  // Our icons are stored as bitmaps; an icon-typed resource of the name is preferred.
  if (FindResourceData(resName, RT_ICON)) {
    TResourceStream stream(instance, resName, RT_ICON);
    LoadFromStream(&stream);
  } else {
    TResourceStream stream(instance, resName, RT_BITMAP);
    LoadFromStream(&stream);
  }
  FResourceName = resName;
}

std::unique_ptr<TIcon> CopyIcon(const TIcon* Source, int Width, int Height) {
  auto copy = std::make_unique<TIcon>();
  if (!Source || Width <= 0 || Height <= 0) return copy;
  const AnsiString sized = Source->ResourceName() + "_" + std::to_string(Width);
  if (!Source->ResourceName().empty() &&
      (FindResourceData(sized, RT_ICON) || FindResourceData(sized, RT_BITMAP))) {
    try {
      copy->LoadFromResourceName(0, sized);
      if (copy->Width() == Width && copy->Height() == Height) return copy;
    } catch (const Exception&) {
      // an unreadable image of the size: stretch the one we have
    }
  }
  copy = std::make_unique<TIcon>();
  TBitmap* image = copy->Image();
  image->SetSize(Width, Height);
  image->Canvas()->StretchDraw(TRect{0, 0, Width, Height}, Source->Image());
  image->SetTransparentColor(Source->Image()->TransparentColor());
  image->SetTransparent(true);
  return copy;
}
