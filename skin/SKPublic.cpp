#include "skin/SKPublic.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/WinControl.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/graphics/Picture.h"
#include "classlib/win/Windows.h"
#include "skin/SKMgr.h"
#include "skin/SKThemeLink.h"

namespace {

using TGetScrollBarInfo = BOOL (*)(HWND, LONG, SCROLLBARINFO*);
using TGetComboBoxInfo = BOOL (*)(HWND, COMBOBOXINFO*);

// Bound on first use, unbound when the program ends.
struct TSystemCalls {
  HMODULE User32 = 0;
  TGetScrollBarInfo GetScrollBarInfo = nullptr;
  TGetComboBoxInfo GetComboBoxInfo = nullptr;
  TAnimateWindowProc AnimateWindow = nullptr;
  bool InfoNotAvailable = false;
  bool AnimateNotAvailable = false;

  HMODULE Module() {
    if (!User32) User32 = LoadLibrary("User32.dll");
    return User32;
  }
  ~TSystemCalls() {
    if (User32) FreeLibrary(User32);
  }
} SystemCalls;

template <class F> bool Bind(F& Function, const char* Name, bool& NotAvailable) {
  if (NotAvailable) return false;
  if (!Function) Function = reinterpret_cast<F>(GetProcAddress(SystemCalls.Module(), Name));
  if (!Function) NotAvailable = true;
  return Function != nullptr;
}

bool ComputeWinXP() {
  OSVERSIONINFO info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionEx(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5 &&
         info.dwMinorVersion != 0;
}

const bool WinXPFlag = ComputeWinXP();

int Max0(int X) {
  return X > 0 ? X : 0;
}

// Source clipped to the picture; empty when nothing of it lies inside.
TRect InsidePicture(TBitmap* Picture, const TRect& Source) {
  TRect r;
  IntersectRect(r, Source, Rect(0, 0, Picture->Width(), Picture->Height()));
  return r;
}

// A corner: copied 1:1, keyed with magenta only when Transparent.
void DrawCorner(TBitmap* Source, TCanvas* Canvas, const TRect& Src, const TRect& Dst, bool Transparent) {
  const int w = Dst.Width(), h = Dst.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap part;
  part.SetSize(w, h);
  part.Canvas()->CopyRect(Rect(0, 0, w, h), Source->Canvas(), Src);
  TImageList list(w, h);
  if (Transparent)
    list.AddMasked(&part, SK_TRANSPARENT_KEY);
  else
    list.Add(&part, nullptr);
  list.Draw(Canvas, Dst.Left, Dst.Top, 0);
}

// An edge or the centre: the source band stretched to the part's size, magenta always left out.
void DrawStretched(TBitmap* Source, TCanvas* Canvas, const TRect& Src, const TRect& Dst) {
  const int w = Dst.Width(), h = Dst.Height();
  if (w <= 0 || h <= 0) return;
  const TRect src = InsidePicture(Source, Src);
  if (src.IsEmpty()) return;
  TBitmap part;
  part.SetSize(w, h);
  part.Canvas()->CopyRect(Rect(0, 0, w, h), Source->Canvas(), src);
  part.SetTransparentColor(SK_TRANSPARENT_KEY);
  part.SetTransparent(true);
  Canvas->StretchDraw(Dst, &part);
}

// Turns Bitmap: the new picture is NewW x NewH and its pixel (i, j) is the old pixel From(i, j).
template <class F> void Turn(TBitmap* Bitmap, int NewW, int NewH, F From) {
  if (!Bitmap || Bitmap->Empty()) return;
  TBitmap turned;
  turned.SetSize(NewW, NewH);
  for (int j = 0; j < NewH; ++j) {
    uint32_t* row = turned.ScanLine(j);
    for (int i = 0; i < NewW; ++i) {
      const TPoint p = From(i, j);
      row[i] = Bitmap->ScanLine(p.Y)[p.X];
    }
  }
  Bitmap->SetSize(NewW, NewH);
  Bitmap->Canvas()->Draw(0, 0, &turned);
}

} // namespace

void SpitBitmap(TBitmap* Source, TBitmap* Dest, int Count, int Index) {
  if (!Source || !Dest || Count < 1) return;
  const int w = Source->Width() / Count;
  const int h = Source->Height();
  TBitmap piece;
  piece.SetSize(w, h);
  piece.Canvas()->CopyRect(Rect(0, 0, w, h), Source->Canvas(), Rect(w * (Index - 1), 0, w * Index, h));
  Dest->SetSize(w, h);
  Dest->Canvas()->Draw(0, 0, &piece);
}

void SpitDraw(TBitmap* Source, TCanvas* Canvas, const TRect& Rect, bool Transparent) {
  if (!Source || !Canvas || Source->Empty() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
  const int SW = Source->Width(), SH = Source->Height();
  const int hw = SW / 2, hh = SH / 2, dw = Rect.Width() / 2, dh = Rect.Height() / 2;
  const int Right = Rect.Right, Bottom = Rect.Bottom;

  const int w1 = Max0(std::min(hw, dw)), h1 = Max0(std::min(hh, dh));
  const int w2 = Max0(std::min(hw, dw)), h2 = Max0(std::min(hh - 1, dh - 1));
  const int w4 = Max0(std::min(hw - 1, dw - 1)), h4 = Max0(std::min(hh, dh));
  const int w5 = Max0(std::min(hw - 1, dw - 1)), h5 = Max0(std::min(hh - 1, dh - 1));
  // For an even height the rows hh..SH-hh-1 are none; the row between the top and bottom corners (hh) is the
  // one the left edge and the centre stretch then.
  const int bandBottom = SH - hh > hh ? SH - hh : hh + 1;

  DrawCorner(Source, Canvas, ::Rect(0, 0, w1, h1), ::Rect(0, 0, w1, h1), Transparent);
  DrawCorner(Source, Canvas, ::Rect(0, SH - h2, w2, SH), ::Rect(0, Bottom - h2, w2, Bottom), Transparent);
  DrawStretched(Source, Canvas, ::Rect(0, hh, w1, bandBottom), ::Rect(0, h1, w1, Bottom - h2));
  DrawCorner(Source, Canvas, ::Rect(SW - w4, 0, SW, h4), ::Rect(Right - w4, 0, Right, h4), Transparent);
  DrawCorner(Source, Canvas, ::Rect(SW - w5, SH - h5, SW, SH), ::Rect(Right - w5, Bottom - h5, Right, Bottom),
             Transparent);
  DrawStretched(Source, Canvas, ::Rect(SW - std::min(hw - 1, w4), SH - hh, SW, hh + 2),
                ::Rect(Right - w4, h4, Right, Bottom - h5));
  DrawStretched(Source, Canvas, ::Rect(hw, 0, SW - hw + 1, std::min(hh, h1)), ::Rect(w1, 0, Right - w4, h1));
  DrawStretched(Source, Canvas, ::Rect(hw, hh, SW - hw + 1, bandBottom),
                ::Rect(w1, h1, Right - w4, Bottom - h5 - 1));
  // Last, and one pixel wider to the left and taller upwards, over what is already drawn.
  DrawStretched(Source, Canvas, ::Rect(hw, SH - std::min(hh, h2 + 1), SW - hw + 1, SH),
                ::Rect(w1 - 1, Bottom - h2 - 1, Right - w5, Bottom));
}

void SpitDrawHorizontal(TBitmap* Source, TCanvas* Canvas, const TRect& Rect, bool UseCornerColor,
                        bool TopLeftCorner) {
  if (!Source || !Canvas || Source->Empty()) return;
  const int iw = Source->Width() / 3, ih = Source->Height();
  if (iw <= 0) return;
  TColor key = SK_TRANSPARENT_KEY;
  if (UseCornerColor) key = Source->Canvas()->Pixels(0, TopLeftCorner ? 0 : ih - 1);

  if (Rect.Width() < iw) {
    // Too narrow for both ends: as much of the left end as fits, keyed.
    const int w = Rect.Width();
    if (w <= 0) return;
    TBitmap part;
    part.SetSize(w, ih);
    part.Canvas()->CopyRect(::Rect(0, 0, w, ih), Source->Canvas(), ::Rect(0, 0, w, ih));
    part.SetTransparentColor(key);
    part.SetTransparent(true);
    Canvas->Draw(Rect.Left, Rect.Top, &part);
    return;
  }
  TImageList list(iw, ih);
  list.AddMasked(Source, key);
  list.Draw(Canvas, Rect.Left, Rect.Top, 0);
  list.Draw(Canvas, Rect.Right - iw, Rect.Top, 2);
  TBitmap middle;
  list.GetBitmap(1, &middle);
  Canvas->StretchDraw(::Rect(Rect.Left + iw, Rect.Top, Rect.Right - iw, Rect.Bottom), &middle);
}

void TileDraw(TCanvas* Canvas, const TPicture* Picture, const TRect& Rect) {
  if (!Canvas || !Picture || !Picture->Graphic()) return;
  const int pw = Picture->Width(), ph = Picture->Height();
  if (pw <= 0 || ph <= 0) return;
  for (int x = 0; x < pw + Rect.Width(); x += pw)
    for (int y = 0; y < ph + Rect.Height(); y += ph) Canvas->Draw(x, y, Picture->Graphic());
}

void RoundPicture(TBitmap* Bitmap) {
  if (!Bitmap) return;
  const int W = Bitmap->Width(), H = Bitmap->Height();
  // (x, y) goes to (y, W-1-x).
  Turn(Bitmap, H, W, [W](int i, int j) { return Point(W - 1 - j, i); });
}

void RoundPicture2(TBitmap* Bitmap) {
  if (!Bitmap) return;
  const int W = Bitmap->Width(), H = Bitmap->Height();
  Turn(Bitmap, W, H, [W, H](int i, int j) { return Point(W - 1 - i, H - 1 - j); });
}

void RoundPicture3(TBitmap* Bitmap) {
  if (!Bitmap) return;
  const int H = Bitmap->Height();
  Turn(Bitmap, H, Bitmap->Width(), [H](int i, int j) { return Point(j, H - 1 - i); });
}

void SetBitmapWindow(HWND Window, TBitmap* Bitmap, TColor TransparentColor) {
  if (!Bitmap) return;
  const uint32_t key = ColorToPixel(TransparentColor);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int W = Bitmap->Width();
  for (int y = 0; y < Bitmap->Height(); ++y) {
    const uint32_t* row = Bitmap->ScanLine(y);
    int x = 0;
    while (x < W) {
      while (x < W && (row[x] & 0xFFFFFF) == key) ++x;
      const int first = x;
      while (x < W && (row[x] & 0xFFFFFF) != key) ++x;
      // A run that reaches the row's end keeps its last column.
      if (x > first) {
        TRegionHandle run(CreateRectRgn(first, y, x, y + 1));
        CombineRgn(region, region, run, RGN_OR);
      }
    }
  }
  SetWindowRgn(Window, region, true);
}

void DoTrans(TCanvas* Canvas, TWinControl* Control) {
  if (!Canvas || !Control || !Control->Parent()) return;
  TWinControl* parent = Control->Parent();
  const HDC dc = Canvas->Handle();
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, -Control->Left(), -Control->Top(), nullptr);
  IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  SendMessage(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessage(parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
}

void DrawControlBorder(TWinControl* Control, TColor Color, TColor InnerColor, bool DrawInner) {
  if (!Control) return;
  const HWND wnd = Control->Handle();
  const HDC dc = GetWindowDC(wnd);
  TRect r;
  GetWindowRect(wnd, &r);
  OffsetRect(r, -r.Left, -r.Top);
  const HBRUSH outer = CreateSolidBrush(Color);
  FrameRect(dc, &r, outer);
  DeleteObject(outer);
  if (DrawInner) {
    InflateRect(r, -1, -1);
    const HBRUSH inner = CreateSolidBrush(InnerColor);
    FrameRect(dc, &r, inner);
    DeleteObject(inner);
  }
  ReleaseDC(wnd, dc);
}

void SetWinControlTransparent(TWinControl* Control) {
  if (!Control) return;
  Control->ControlStyle.Exclude(csOpaque);
  const HWND wnd = Control->Handle();
  SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_TRANSPARENT));
}

void ContainerApplyUIStyle(TWinControl* Container, TskUIStyle UIStyle, TskFileTheme* FileTheme) {
  if (!Container) return;
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* child = Container->Controls(i);
    if (!IsPublishedProp(child, "FileTheme") || !IsPublishedProp(child, "UIStyle")) continue;
    SetObjectProp(child, "FileTheme", FileTheme);
    SetOrdProp(child, "UIStyle", UIStyle);
  }
}

bool IsHasProperty(TComponent* Component, const AnsiString& Name) {
  return Component && GetPropInfo(Component, Name) != nullptr;
}

bool FormHasFocus(TCustomForm* Form) {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!main) return Form && Form->Active();
  const bool mdi = main->FormStyle() == fsMDIForm;
  if (mdi && Form == main) return true;
  if (!Application->Active()) return false;
  if (!Form || Form == main) return true;
  if (mdi) {
    const auto active = reinterpret_cast<HWND>(SendMessage(main->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
    return (active && Form->HandleAllocated() && Form->Handle() == active) || Form->Active();
  }
  return Form->Active();
}

TRect GetWorkAreaRect() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (main && Screen) {
    if (TMonitor* monitor = Screen->MonitorFromWindow(main->Handle(), mdNearest))
      return monitor->WorkareaRect();
  }
  TRect area;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void PlaceControl(TControl* Control, const TPoint& Point) {
  Control->SetLeft(Point.X);
  Control->SetTop(Point.Y);
}

void PlaceControl(TControl* Control, const TRect& Rect) {
  Control->SetLeft(Rect.Left);
  Control->SetTop(Rect.Top);
  Control->SetWidth(Rect.Right - Rect.Left);
  Control->SetHeight(Rect.Bottom - Rect.Top);
}

bool InRect(int X, int Y, const TRect& Rect) {
  return Rect.Left <= X && X <= Rect.Right && Rect.Top <= Y && Y <= Rect.Bottom;
}

bool InRect(const TPoint& Point, const TRect& Rect) {
  return InRect(Point.X, Point.Y, Rect);
}

AnsiString PCharToStr(const char* Text) {
  return Text ? AnsiString(Text) : AnsiString();
}

BOOL SKGetScrollBarInfo(HWND Wnd, LONG idObject, SCROLLBARINFO& Info) {
  if (!Bind(SystemCalls.GetScrollBarInfo, "GetScrollBarInfo", SystemCalls.InfoNotAvailable)) return 0;
  return SystemCalls.GetScrollBarInfo(Wnd, idObject, &Info);
}

BOOL SKGetComboBoxInfo(HWND Wnd, COMBOBOXINFO& Info) {
  if (!Bind(SystemCalls.GetComboBoxInfo, "GetComboBoxInfo", SystemCalls.InfoNotAvailable)) return 0;
  return SystemCalls.GetComboBoxInfo(Wnd, &Info);
}

BOOL SKAnimateWindow(HWND Wnd, DWORD Time, DWORD Flags) {
  if (!Bind(SystemCalls.AnimateWindow, "AnimateWindow", SystemCalls.AnimateNotAvailable)) return 0;
  return SystemCalls.AnimateWindow(Wnd, Time, Flags);
}

bool IsA(const TObject* Object, const char* ClassName) {
  if (!Object) return false;
  for (TClass c = Object->ClassType(); c; c = c->Parent)
    if (c->Name == ClassName) return true;
  return false;
}

bool UseRightToLeftLayout(const TControl* Control) {
  return Control && Control->BiDiMode() == bdRightToLeft && SysLocale.MiddleEast;
}

TColor SKPanelCaptionColor(const TskThemeLink& Theme) {
  TskUIStyle style = DeepBlue;
  if (Theme.UseFile(style)) return SKCaptionFontColor(Theme.Color(27), SK_PANEL_DARK_CAPTIONS);
  return style == MacOS ? TColor(clBlack) : Theme.Color(20);
}

int SaturatedAdd(int Value, int64_t Delta) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{Value} + Delta, INT32_MIN, INT32_MAX));
}

bool IsWinXP() {
  return WinXPFlag;
}
