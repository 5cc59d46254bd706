#pragma once
// What the skin's pictures and demos are drawn in: every built-in style and one sample theme; and the menu
// item that menus built in code are made of.
#include "classlib/controls/Menus.h"
#include "skin/SKThemes.h"

namespace demosupport {

struct SkinLook {
  const char* Name;
  TskUIStyle Style;
  const char* ThemeFile; // under the build's themes folder; null for a built-in style
};
inline constexpr SkinLook SkinLooks[] = {
    {"MacOS", MacOS, nullptr},         {"WinXP", WinXP, nullptr},
    {"DeepBlue", DeepBlue, nullptr},   {"Protein", Protein, nullptr},
    {"BlueGlass", BlueGlass, nullptr}, {"Emerald", FromThemeFile, "Emerald.skn"}};

// A new item with Caption at the end of Parent, owned by Owner.
inline TMenuItem* AddMenuItem(TComponent* Owner, TMenuItem* Parent, const char* Caption) {
  auto* item = new TMenuItem(Owner); // owned by Owner
  item->SetCaption(Caption);
  Parent->Add(item);
  return item;
}

} // namespace demosupport
