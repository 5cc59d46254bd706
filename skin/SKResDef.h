#pragma once
// Names of the skin's resources: the title bar's system-menu captions and the pictures that are no theme
// item but are loaded by name.

// Captions of the title bar's system menu.
inline constexpr const char* _SK_TITLE_MENUITEM_MINIMIZE = "Mi&nimize";
inline constexpr const char* _SK_TITLE_MENUITEM_MAXIMIZE = "Ma&ximize/Restore";
inline constexpr const char* _SK_TITLE_MENUITEM_CLOSE = "&Close";

// Bitmap resources besides the theme items.
inline constexpr const char* SK_RES_MENU_CHECKED = "MENU_CHECKED";
inline constexpr const char* SK_RES_MACOS_MENU_BAR = "MACOS_MENU_BAR";
inline constexpr const char* SK_RES_MACOS_MENU_SELECT = "MACOS_MENU_SELECT";
inline constexpr const char* SK_RES_MACOS_FORM_BACKGROUND = "MACOS_FORM_BACKGROUND";
inline constexpr const char* SK_RES_PROTEIN_FORM_BACKGROUND = "PROTEIN_FORM_BACKGROUND";
inline constexpr const char* SK_RES_PANEL_BUTTON = "PANEL_BUTTON";
inline constexpr const char* SK_RES_SIDECHANNEL_BTN = "SIDECHANNEL_BTN";
inline constexpr const char* SK_RES_MDI_CONTROL_BUTTON = "MDI_CONTROL_BUTTON";
inline constexpr const char* SK_RES_MSNPOPFORM = "MSNPOPFORM";
inline constexpr const char* SK_RES_DBNAV_BUTTON = "DBNAV_BUTTON";
inline constexpr const char* SK_RES_MACOS_COMBOBOX_BUTTON = "MACOS_COMBOBOX_BUTTON";
inline constexpr const char* SK_RES_WINXP_COMBOBOX_BUTTON = "WINXP_COMBOBOX_BUTTON";
// The program's icon.
inline constexpr const char* SK_RES_MAINICON = "MAINICON";
