#pragma once
// The editors of the theme components, for a program that lets its user set them up: each asks through a
// dialog and sets the component's properties as the user chose.
class TskFileTheme;
class TskBuiltInFileTheme;
class TskThemeManager;

// The filter of the theme editors' open dialog.
extern const char* const ThemeFileFilter;

// Asks for a theme file and loads it (TskFileTheme::SetThemeFile, whose "Invalid skin file for SkinKit!"
// reaches the caller). Answers whether a file was chosen.
bool EditFileTheme(TskFileTheme* FileTheme);
// Asks for a theme file and makes it the one the component keeps with its form (its own ThemeFile name).
// Answers whether a file was chosen.
bool EditBuiltInFileTheme(TskBuiltInFileTheme* FileTheme);
// Lists the skinned components of the manager's owner (those that publish UIStyle and FileTheme, not theme
// managers), ticking the ones in its CompList; on OK the list becomes the ticked names in list order. Then,
// OK or not, the manager updates its components. A manager owned by anything but a form or a frame gets no
// dialog. Answers whether OK was pressed.
bool EditThemeManager(TskThemeManager* Manager);
