#pragma once
// The scroll bars a window has in its non-client area (WS_HSCROLL, WS_VSCROLL): their range, page and
// position, the system calls that read and write them, and the system's part of showing them: room taken
// from the client area, painting, hit tests and tracking the mouse on them, which sends the window
// WM_HSCROLL and WM_VSCROLL.
#include <optional>

#include "classlib/controls/Messages.h"

constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3;
constexpr LONG OBJID_CLIENT = -4, OBJID_VSCROLL = -5, OBJID_HSCROLL = -6;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8, STATE_SYSTEM_INVISIBLE = 0x8000,
                STATE_SYSTEM_OFFSCREEN = 0x10000;
// Width of a vertical bar and height of a horizontal one (the SM_CXVSCROLL metric), and the shortest thumb.
constexpr int ScrollBarSize = 16;
constexpr int MinThumbSize = 8;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0; // where the thumb is while it is dragged; the position otherwise
};

// rcScrollBar is in screen coordinates; the thumb's ends are relative to its top (or left). rgstate[0] is the
// bar's state, then the first arrow, the page above the thumb, the thumb, the page below, the last arrow.
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  TRect rcScrollBar;
  int dxyLineButton = 0;
  int xyThumbTop = 0;
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};

// Setting a range that leaves nothing to scroll hides the bar, or disables it with SIF_DISABLENOSCROLL; a
// range with something to scroll shows and enables it. The page is held to the range and the position to
// the range less the page. SIF_TRACKPOS sets the thumb's tracking position (which holds 32 bits, where a
// scroll message's position holds 16). Bar is SB_HORZ or SB_VERT. Answers the new position.
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int MinPos, int MaxPos, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* MinPos, int* MaxPos);
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);
BOOL EnableScrollBar(HWND Wnd, int Bar, UINT Arrows);
// The bar's place and state; idObject OBJID_HSCROLL or OBJID_VSCROLL. Found by name through GetProcAddress.
BOOL GetScrollBarInfo(HWND Wnd, LONG idObject, SCROLLBARINFO* Info);

// A scroll message's position: the thumb's 32-bit tracking position when its low 16 bits are those of the
// message, else the message's own 16 bits.
int ScrollMessagePos(HWND Wnd, int Bar, const TMessage& Message);

// What the scroll codes mean for one bar of a control, in the control's own unit (lines, rows, records,
// pixels): how far a line and a page go each way, the place of the thumb's 0, the top and the bottom.
struct TScrollSteps {
  int LineBack = 1;
  int LineForward = 1;
  int Page = 1;
  int ThumbOrigin = 0;
  int Top = 0;
  int Bottom = 0;
  bool ThumbTracks = true; // false: dragging the thumb scrolls nothing until it is dropped
};

// One scroll code read: a step by Value from where the control is, a jump to the place Value, or nothing
// (SB_ENDSCROLL, unknown codes, and tracking where the thumb does not track).
struct TScrollMove {
  enum TKind { None, Step, Jump } Kind = None;
  int Value = 0;
};
TScrollMove ReadScrollCode(int Code, int Pos, const TScrollSteps& Steps);
// Where Code moves a control that is at Now; nothing where the code moves nothing.
std::optional<int> ScrollTarget(int Code, int Pos, int Now, const TScrollSteps& Steps);

// The system's part, called by DefWindowProc. Each answers whether it handled the message.
void ScrollBarsNCCalcSize(HWND Wnd, TRect& Client);
bool ScrollBarsHitTest(HWND Wnd, TPoint WindowPoint, LRESULT& Hit);
void ScrollBarsNCPaint(HWND Wnd);
bool ScrollBarsMouse(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
