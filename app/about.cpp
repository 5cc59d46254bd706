#include "app/about.h"

#include "app/FormParts.h"
#include "app/main.h"
#include "classlib/controls/Label.h"
#include "classlib/win/Windows.h"
#include "skin/SKForm.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"

TFormAbout* FormAbout = nullptr;

QUENDREL_REGISTER_CLASS(TFormAbout, TForm) {
  c.Method("Label6Click", &TFormAbout::Label6Click);
}

TFormAbout::TFormAbout(TComponent* Owner) : TForm(Owner) {
  ReadFormResource();
  skForm = FormPart<TskForm>(this, "skForm");
  skPanel = FormPart<TskPanel>(this, "skPanel");
  Label6 = FormPart<TLabel>(this, "Label6");
  skFileTheme = FormPart<TskFileTheme>(this, "skFileTheme");
  skThemeManager = FormPart<TskThemeManager>(this, "skThemeManager");
}

TFormAbout::~TFormAbout() {
  if (FormAbout == this) FormAbout = nullptr;
}

void TFormAbout::Label6Click(TObject* Sender) {
  auto* label = dynamic_cast<TLabel*>(Sender);
  if (!label) return;
  ShellExecuteA(mainForm ? mainForm->Handle() : nullptr, nullptr, label->Caption().c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}
