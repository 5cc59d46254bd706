#pragma once
// TFormPreview: the window that shows the whole board picture, built from its form resource TFORMPREVIEW.
#include "classlib/controls/Form.h"

class TImage;
class TskFileTheme;
class TskForm;
class TskThemeManager;

class TFormPreview : public TForm {
  QUENDREL_CLASS(TFormPreview, TForm)
 public:
  explicit TFormPreview(TComponent* Owner);
  ~TFormPreview() override;

  TskForm* skForm;
  TImage* Image;
  TskFileTheme* skFileTheme;
  TskThemeManager* skThemeManager;
};

extern TFormPreview* FormPreview;
