#pragma once
// The looks a window can take: one of the skin's five built-in styles, or the look of the theme file. Every
// window of the game takes a look the same way, through ApplyLook.
#include "classlib/core/AnsiString.h"
#include "skin/SKThemes.h"

class TskFileTheme;
class TskThemeManager;

// How the settings file names a look ("MacOS", ..., "FromThemeFile").
AnsiString LookName(TskUIStyle Look);
// The look Name names; the theme file's look for anything else.
TskUIStyle LookFromName(const AnsiString& Name);

// Pushes Look to the components Manager lists. In the theme file's look, Files first loads ThemeFile (when
// there is one); a built-in look needs no file, so a missing one cannot keep it from applying.
void ApplyLook(TskFileTheme* Files, TskThemeManager* Manager, TskUIStyle Look, const AnsiString& ThemeFile);
