#include "app/Looks.h"

#include "skin/SKMgr.h"

AnsiString LookName(TskUIStyle Look) {
  const AnsiString name = TskUIStyleNames.NameOf(Look);
  return name.empty() ? TskUIStyleNames.NameOf(FromThemeFile) : name;
}

TskUIStyle LookFromName(const AnsiString& Name) {
  const int i = TskUIStyleNames.IndexOf(Name);
  return i > 0 ? static_cast<TskUIStyle>(i) : FromThemeFile;
}

void ApplyLook(TskFileTheme* Files, TskThemeManager* Manager, TskUIStyle Look, const AnsiString& ThemeFile) {
  if (Look == FromThemeFile && !ThemeFile.empty()) Files->SetThemeFile(ThemeFile);
  if (Manager->UIStyle() != Look)
    Manager->SetUIStyle(Look); // pushes the new style to the list
  else
    Manager->UpdateTheme();
}
