#include "skin/SKThemeEditors.h"

#include <memory>

#include "classlib/controls/CheckLst.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/core/TypInfo.h"
#include "skin/SKMgr.h"
#include "skin/frmThemeMgr.h"

const char* const ThemeFileFilter = "SkinKit Theme File(*.skn)|*.skn";

namespace {

// Answers the chosen file's name, or "" when the user chose none.
AnsiString AskForThemeFile() {
  TOpenDialog dialog(nullptr);
  dialog.SetFilter(ThemeFileFilter);
  return dialog.Execute() ? dialog.GetFileName() : AnsiString();
}

bool IsSkinnedComponent(const TComponent* C) {
  return C->ClassName().compare(0, 3, "Tsk") == 0 && IsPublishedProp(C, "UIStyle") &&
         IsPublishedProp(C, "FileTheme") && !C->InheritsFrom(TskThemeManager::StaticClass());
}

} // namespace

bool EditFileTheme(TskFileTheme* FileTheme) {
  if (!FileTheme) return false;
  const AnsiString name = AskForThemeFile();
  if (name.empty()) return false;
  FileTheme->SetThemeFile(name);
  return true;
}

bool EditBuiltInFileTheme(TskBuiltInFileTheme* FileTheme) {
  if (!FileTheme) return false;
  const AnsiString name = AskForThemeFile();
  if (name.empty()) return false;
  FileTheme->SetThemeFile2(name);
  return true;
}

bool EditThemeManager(TskThemeManager* Manager) {
  // Only a form's or a frame's components are the manager's to update.
  if (!Manager || !IsFormOrFrame(Manager->Owner())) return false;
  TComponent* owner = Manager->Owner();
  TskThemeMgrCompList* names = Manager->CompList();
  bool ok = false;
  {
    TfrmMgr dialog(nullptr);
    dialog.AfterConstruction();
    TCheckListBox* list = dialog.List;
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* c = owner->Components(i);
      if (!IsSkinnedComponent(c)) continue;
      const int item = list->Items()->Add(c->Name());
      list->SetChecked(item, names->IndexOf(c->Name()) >= 0);
    }
    ok = dialog.ShowModal() == mrOk;
    if (ok) {
      names->BeginUpdate();
      names->Clear();
      for (int i = 0; i < list->Count(); ++i)
        if (list->Checked(i)) names->Add(list->Items()->Get(i));
      names->EndUpdate();
    }
  }
  Manager->UpdateAll();
  return ok;
}
