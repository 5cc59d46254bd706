#include "classlib/win/Windows.h"

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sys/utsname.h>

#include "classlib/backend/Backend.h"
#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/Screen.h"

std::function<bool(const AnsiString&)> ShellExecuteHook;

namespace {

void SetFace(LOGFONT& f, const char* face, int height, int weight = 400) {
  f = LOGFONT();
  f.lfHeight = height;
  f.lfWeight = weight;
  std::strncpy(f.lfFaceName, face, LF_FACESIZE - 1);
}

constexpr HMODULE User32Module = 0x7E410000;

BOOL AnimateWindowEntry(HWND Wnd, DWORD Time, DWORD Flags) {
  return AnimateWindow(Wnd, Time, Flags);
}

} // namespace

BOOL SystemParametersInfo(UINT Action, UINT, void* Param, UINT) {
  if (!Param) return 0;
  switch (Action) {
  case SPI_GETWORKAREA:
    *static_cast<TRect*>(Param) = Screen->WorkAreaRect();
    return 1;
  case SPI_GETNONCLIENTMETRICS: {
    auto* m = static_cast<NONCLIENTMETRICS*>(Param);
    if (m->cbSize < offsetof(NONCLIENTMETRICS, lfMessageFont) + sizeof(LOGFONT)) return 0;
    m->iBorderWidth = 1;
    m->iScrollWidth = m->iScrollHeight = 16;
    m->iCaptionWidth = m->iCaptionHeight = 18;
    m->iSmCaptionWidth = m->iSmCaptionHeight = 15;
    m->iMenuWidth = m->iMenuHeight = 19;
    SetFace(m->lfCaptionFont, "Tahoma", -11, 700);
    SetFace(m->lfSmCaptionFont, "Tahoma", -11, 700);
    SetFace(m->lfMenuFont, "Tahoma", -11);
    SetFace(m->lfStatusFont, "Tahoma", -11);
    SetFace(m->lfMessageFont, "Tahoma", -11);
    return 1;
  }
  default:
    return 0;
  }
}

int GetSystemMetrics(int Index) {
  switch (Index) {
  case SM_CXSCREEN:
    return Screen->Width();
  case SM_CYSCREEN:
    return Screen->Height();
  case SM_CXFULLSCREEN:
    return Screen->WorkAreaWidth();
  case SM_CYFULLSCREEN:
    return Screen->WorkAreaHeight() - 18;
  case SM_CXVIRTUALSCREEN:
    return Screen->DesktopRect().Width();
  case SM_CYVIRTUALSCREEN:
    return Screen->DesktopRect().Height();
  case SM_CXMAXIMIZED:
    return Screen->WorkAreaWidth() + 8;
  case SM_CYMAXIMIZED:
    return Screen->WorkAreaHeight() + 8;
  case SM_CMONITORS:
    return Screen->MonitorCount();
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
  case SM_CYVSCROLL:
  case SM_CXHSCROLL:
  case SM_CYVTHUMB:
  case SM_CXHTHUMB:
  case SM_CXSMICON:
  case SM_CYSMICON:
    return 16;
  case SM_CYCAPTION:
    return 18;
  case SM_CYSMCAPTION:
    return 15;
  case SM_CXBORDER:
  case SM_CYBORDER:
    return 1;
  case SM_CXDLGFRAME:
  case SM_CYDLGFRAME:
    return 3;
  case SM_CXFRAME:
  case SM_CYFRAME:
    return 4;
  case SM_CXEDGE:
  case SM_CYEDGE:
    return 2;
  case SM_CXICON:
  case SM_CYICON:
  case SM_CXCURSOR:
  case SM_CYCURSOR:
    return 32;
  case SM_CYMENU:
    return 19;
  case SM_CXMIN:
    return 112;
  case SM_CYMIN:
    return 27;
  case SM_CXSIZE:
  case SM_CYSIZE:
    return 18;
  case SM_CXMENUSIZE:
  case SM_CYMENUSIZE:
    return 18;
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK:
    return 4;
  case SM_MIDEASTENABLED:
    return 0;
  default:
    return 0;
  }
}

HINSTANCE ShellExecute(HWND, const char*, const char* File, const char*, const char*, int) {
  if (!File || !*File) return SE_ERR_FNF;
  if (ShellExecuteHook) return ShellExecuteHook(File) ? 42 : SE_ERR_NOASSOC;
  return backend::OpenUrl(File) ? 42 : SE_ERR_NOASSOC;
}

LRESULT CallWindowProc(const TWndMethod& Proc, HWND, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (Proc) Proc(m);
  return m.Result;
}

HWND GetDesktopWindow() {
  return DesktopWindow();
}

HWND WindowFromDC(HDC DC) {
  return DC ? WindowOfDC(DC) : nullptr;
}

BOOL GetVersionEx(OSVERSIONINFO* Info) {
  if (!Info) return 0;
  utsname name{};
  if (uname(&name) != 0) return 0;
  unsigned numbers[3] = {0, 0, 0};
  std::sscanf(name.release, "%u.%u.%u", &numbers[0], &numbers[1], &numbers[2]);
  Info->dwMajorVersion = numbers[0];
  Info->dwMinorVersion = numbers[1];
  Info->dwBuildNumber = numbers[2];
  Info->dwPlatformId = VER_PLATFORM_POSIX;
  std::snprintf(Info->szCSDVersion, sizeof Info->szCSDVersion, "%s", name.sysname);
  return 1;
}

HMODULE LoadLibrary(const char* Name) {
  if (Name && strcasecmp(Name, "User32.dll") == 0) return User32Module;
  return 0;
}

FARPROC GetProcAddress(HMODULE Module, const char* Name) {
  if (Module != User32Module || !Name) return nullptr;
  if (std::strcmp(Name, "AnimateWindow") == 0) return reinterpret_cast<FARPROC>(&AnimateWindowEntry);
  if (std::strcmp(Name, "GetScrollBarInfo") == 0) return reinterpret_cast<FARPROC>(&GetScrollBarInfo);
  if (std::strcmp(Name, "GetComboBoxInfo") == 0) return reinterpret_cast<FARPROC>(&GetComboBoxInfo);
  return nullptr;
}

BOOL FreeLibrary(HMODULE Module) {
  return Module == User32Module;
}
