#include "classlib/graphics/Icon.h"

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
    Changed();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    FImage->Assign(b);
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
}
