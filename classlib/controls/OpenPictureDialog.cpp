#include "classlib/controls/OpenPictureDialog.h"

QUENDREL_REGISTER_CLASS(TOpenPictureDialog, TOpenDialog) {
  c.Creatable();
}

namespace {

struct TPictureKind {
  const char* Description;
  const char* Extension;
};

// The kinds TPicture::LoadFromFile reads: JPEG and BMP by the class library itself, the rest through the
// backend's decoders.
constexpr TPictureKind PictureKinds[] = {
    {"JPEG Image File", "jpg"}, {"JPEG Image File", "jpeg"},          {"Bitmaps", "bmp"},
    {"Icons", "ico"},           {"Portable Network Graphics", "png"}, {"GIF Image", "gif"},
};

} // namespace

AnsiString GraphicFilter() {
  AnsiString all, each;
  for (const TPictureKind& k : PictureKinds) {
    const AnsiString pattern = AnsiString("*.") + k.Extension;
    all += (all.empty() ? "" : ";") + pattern;
    each += AnsiString("|") + k.Description + " (" + pattern + ")|" + pattern;
  }
  return "All (" + all + ")|" + all + each;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  Filter = GraphicFilter();
}
