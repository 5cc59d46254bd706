#include "app/preview.h"

#include "app/FormParts.h"
#include "classlib/controls/Image.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"

TFormPreview* FormPreview = nullptr;

QUENDREL_REGISTER_CLASS(TFormPreview, TForm) {}

TFormPreview::TFormPreview(TComponent* Owner) : TForm(Owner) {
  ReadFormResource();
  skForm = FormPart<TskForm>(this, "skForm");
  Image = FormPart<TImage>(this, "Image");
  skFileTheme = FormPart<TskFileTheme>(this, "skFileTheme");
  skThemeManager = FormPart<TskThemeManager>(this, "skThemeManager");
}

TFormPreview::~TFormPreview() {
  if (FormPreview == this) FormPreview = nullptr;
}
