#pragma once
// TFormAbout: the About window, built from its form resource TFORMABOUT; its link opens the maker's site.
#include "classlib/controls/Form.h"

class TLabel;
class TskFileTheme;
class TskForm;
class TskPanel;
class TskThemeManager;

class TFormAbout : public TForm {
  QUENDREL_CLASS(TFormAbout, TForm)
 public:
  explicit TFormAbout(TComponent* Owner);
  ~TFormAbout() override;

  TskForm* skForm;
  TskPanel* skPanel;
  TLabel* Label6;
  TskFileTheme* skFileTheme;
  TskThemeManager* skThemeManager;

  void Label6Click(TObject* Sender);
};

extern TFormAbout* FormAbout;
