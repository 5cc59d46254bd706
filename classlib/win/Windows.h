#pragma once
// The system API that components call, over the class library's own windows: window functions and messages
// (WindowHandle.h), drawing (Gdi.h), message boxes (Dialogs.h), and here the system queries, the shell, the
// old window-procedure call and the functions that components bind at run time.
#include <cstdint>
#include <functional>

#include "classlib/controls/ComboBox.h"
#include "classlib/controls/Control.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Messages.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Gdi.h"

using HINSTANCE = intptr_t;
using HMODULE = intptr_t;
using FARPROC = void*;

// System parameters.
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029, SPI_GETWORKAREA = 0x0030;

struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};
using NONCLIENTMETRICSA = NONCLIENTMETRICS;

// SPI_GETWORKAREA: Param points to a TRect that receives the primary monitor's work area.
// SPI_GETNONCLIENTMETRICS: Param points to a NONCLIENTMETRICS whose cbSize is at least its size up to the
// message font (the older 340-byte record is accepted).
BOOL SystemParametersInfo(UINT Action, UINT UIParam, void* Param, UINT WinIni);
inline BOOL SystemParametersInfoA(UINT Action, UINT UIParam, void* Param, UINT WinIni) {
  return SystemParametersInfo(Action, UIParam, Param, WinIni);
}

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
              SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
              SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20,
              SM_CXHSCROLL = 21, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
              SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45,
              SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXMENUSIZE = 54,
              SM_CYMENUSIZE = 55, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_MIDEASTENABLED = 74,
              SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80;
int GetSystemMetrics(int Index);

// The shell: "open" on an address or a file hands it to the desktop. Answers a value above 32 on success.
constexpr int SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;
HINSTANCE ShellExecute(HWND Owner, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd);
inline HINSTANCE ShellExecuteA(HWND Owner, const char* Operation, const char* File, const char* Parameters,
                               const char* Directory, int ShowCmd) {
  return ShellExecute(Owner, Operation, File, Parameters, Directory, ShowCmd);
}
// When set, ShellExecute hands the file to it instead of the desktop (tests).
extern std::function<bool(const AnsiString& File)> ShellExecuteHook;

// Calls a saved window procedure with a message.
LRESULT CallWindowProc(const TWndMethod& Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Animated showing and hiding (AnimateWindow.cpp): the window slides (AW_SLIDE) or rolls in or out along
// the directions given, or grows from its centre (AW_CENTER), in at most a second, and the call returns when
// it is over. A window about to show is asked for its picture with WM_PRINTCLIENT. AW_BLEND, or no
// direction, shows or hides at once. Answers 0 when the window is already shown (hidden) and asked to show
// (hide).
constexpr DWORD AW_HOR_POSITIVE = 0x1, AW_HOR_NEGATIVE = 0x2, AW_VER_POSITIVE = 0x4, AW_VER_NEGATIVE = 0x8,
                AW_CENTER = 0x10, AW_HIDE = 0x10000, AW_ACTIVATE = 0x20000, AW_SLIDE = 0x40000,
                AW_BLEND = 0x80000;
BOOL AnimateWindow(HWND Wnd, DWORD Time, DWORD Flags);
// Told after each frame of an animation has been shown; Picture is the window that shows the frame, its
// rectangle the part of Window's rectangle in view (tests and tools).
extern std::function<void(HWND Window, HWND Picture)> OnAnimateWindowFrame;
// WM_PRINT and WM_PRINTCLIENT: what to paint into the context in WParam.
constexpr LPARAM PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
                 PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;

// Milliseconds since an arbitrary start, in 64 bits (TickCount64.cpp): GetTickCount's clock, its wraps
// counted, so that differences never go negative. Tests that drive GetTickCount by hand drive this too.
uint64_t GetTickCount64();

// The desktop window: a window without a control and without pixels; drawing on its context shows nothing.
HWND GetDesktopWindow();
// The window whose context DC is (a paint context, GetDC or GetWindowDC); null for others.
HWND WindowFromDC(HDC DC);

// The version record. This is no Windows: the record holds the running kernel's release (major, minor and
// patch numbers as uname reports them) on platform VER_PLATFORM_POSIX, so no Windows version test passes.
struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
using OSVERSIONINFOA = OSVERSIONINFO;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr DWORD VER_PLATFORM_POSIX = 0x100; // not a Windows platform id
BOOL GetVersionEx(OSVERSIONINFO* Info);
inline BOOL GetVersionExA(OSVERSIONINFO* Info) {
  return GetVersionEx(Info);
}

// Modules bound at run time: "User32.dll" offers "AnimateWindow", "GetScrollBarInfo" and "GetComboBoxInfo";
// other names are not found.
HMODULE LoadLibrary(const char* Name);
inline HMODULE LoadLibraryA(const char* Name) {
  return LoadLibrary(Name);
}
FARPROC GetProcAddress(HMODULE Module, const char* Name);
BOOL FreeLibrary(HMODULE Module);
using TAnimateWindowProc = BOOL (*)(HWND, DWORD, DWORD);
