#pragma once
// GDI-style drawing functions on device contexts, with the names, arguments and raster behaviour that the
// components and the game expect: integer pixels, no antialiasing, fills exclude their right and bottom
// edges, lines exclude their end point, raster operations on bit-block transfers.
#include <cstdint>

#include "classlib/core/Types.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/Region.h"

// Ternary raster operations (BitBlt, StretchBlt, PatBlt). Bits 16..23 are the truth table of
// (pattern << 2 | source << 1 | destination).
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t SRCERASE = 0x00440328;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t NOTSRCERASE = 0x001100A6;
constexpr uint32_t MERGECOPY = 0x00C000CA;
constexpr uint32_t MERGEPAINT = 0x00BB0226;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATPAINT = 0x00FB0A09;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t WHITENESS = 0x00FF0062;

// DrawText formats.
constexpr unsigned DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
                   DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000,
                   DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
                   DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_HIDEPREFIX = 0x100000,
                   DT_PREFIXONLY = 0x200000;

// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4;

// Region combination modes and results.
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
constexpr int RGN_ERROR = ERROR;

// Stock objects.
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEVICE_DEFAULT_FONT = 14, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17;

// Font weights, character sets, pitches, qualities.
constexpr int FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
              FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
constexpr int ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;
constexpr int DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
constexpr int DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4;

// DrawEdge.
constexpr unsigned BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                   EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                   EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
                   EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF,
                   BF_MIDDLE = 0x800, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;

// GetDeviceCaps.
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, LOGPIXELSX = 88,
              LOGPIXELSY = 90;

constexpr uint32_t CLR_INVALID = 0xFFFFFFFF;

struct TEXTMETRIC {
  int32_t tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth,
      tmWeight, tmOverhang, tmDigitizedAspectX, tmDigitizedAspectY;
  char tmFirstChar, tmLastChar, tmDefaultChar, tmBreakChar;
  uint8_t tmItalic, tmUnderlined, tmStruckOut, tmPitchAndFamily, tmCharSet;
};
using TEXTMETRICA = TEXTMETRIC;

// The pixel density every context reports.
constexpr int ScreenPixelsPerInch = 96;

// Contexts. A memory context draws on the bitmap selected into it.
HDC CreateCompatibleDC(HDC Reference);
bool DeleteDC(HDC DC);
HBITMAP CreateCompatibleBitmap(HDC Reference, int Width, int Height);
int GetDeviceCaps(HDC DC, int Index);
int SaveDC(HDC DC);
bool RestoreDC(HDC DC, int SavedDC);

// Objects.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
bool DeleteObject(HGDIOBJ Object);
HGDIOBJ GetStockObject(int Index);
HGDIOBJ GetCurrentObject(HDC DC, TGdiObjectType Type);
// Copies a font's LOGFONT (Size >= sizeof(LOGFONT)) into Buffer; answers the bytes copied, 0 on failure.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
HPEN CreatePen(int Style, int Width, TColor Color);
HBRUSH CreateSolidBrush(TColor Color);
HBRUSH CreateHatchBrush(int Hatch, TColor Color);
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH GetSysColorBrush(int Index);
HFONT CreateFontIndirect(const LOGFONT* Log);
inline HFONT CreateFontIndirectA(const LOGFONT* Log) {
  return CreateFontIndirect(Log);
}

// Attributes.
TColor SetTextColor(HDC DC, TColor Color);
TColor GetTextColor(HDC DC);
TColor SetBkColor(HDC DC, TColor Color);
TColor GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
int SetROP2(HDC DC, int Mode);
int GetROP2(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
unsigned SetTextAlign(HDC DC, unsigned Align);
unsigned GetTextAlign(HDC DC);
bool SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old);
bool GetViewportOrgEx(HDC DC, POINT* Origin);
bool OffsetViewportOrgEx(HDC DC, int DX, int DY, POINT* Old);
bool SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old);

// Clipping (rectangles in logical coordinates, regions in device coordinates).
int SelectClipRgn(HDC DC, HRGN Region);
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int GetClipBox(HDC DC, RECT* Rect);  // logical coordinates
int GetClipRgn(HDC DC, HRGN Region); // 1 and the region when there is one, 0 when none
bool PtVisible(HDC DC, int X, int Y);

// Regions.
HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT* Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
int CombineRgn(HRGN Dest, HRGN Source1, HRGN Source2, int Mode);
int OffsetRgn(HRGN Region, int DX, int DY);
bool SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);
bool PtInRegion(HRGN Region, int X, int Y);
bool RectInRegion(HRGN Region, const RECT* Rect);
int GetRgnBox(HRGN Region, RECT* Rect);
bool EqualRgn(HRGN A, HRGN B);
bool FillRgn(HDC DC, HRGN Region, HBRUSH Brush);
bool FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height);
bool InvertRgn(HDC DC, HRGN Region);
// Deletes a region when it goes out of scope: TRegionHandle r(CreateRectRgn(...)).
class TRegionHandle {
 public:
  explicit TRegionHandle(HRGN Region = nullptr) : FRegion(Region) {}
  TRegionHandle(const TRegionHandle&) = delete;
  TRegionHandle& operator=(const TRegionHandle&) = delete;
  ~TRegionHandle() { DeleteObject(FRegion); }
  HRGN Get() const { return FRegion; }
  operator HRGN() const { return FRegion; }
  HRGN Release() { // hands the region over, e.g. to SetWindowRgn
    HRGN r = FRegion;
    FRegion = nullptr;
    return r;
  }

 private:
  HRGN FRegion;
};

// Lines and shapes: the pen draws outlines with the mix mode, the brush fills interiors.
bool MoveToEx(HDC DC, int X, int Y, POINT* Old);
bool LineTo(HDC DC, int X, int Y); // does not draw (X, Y)
bool Polyline(HDC DC, const POINT* Points, int Count);
bool Polygon(HDC DC, const POINT* Points, int Count);
bool Rectangle(HDC DC, int Left, int Top, int Right, int Bottom); // inside its bounds
bool Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
bool RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight);
// Counter-clockwise from the ray towards (X1, Y1) to the ray towards (X2, Y2).
bool Arc(HDC DC, int Left, int Top, int Right, int Bottom, int X1, int Y1, int X2, int Y2);
TColor SetPixel(HDC DC, int X, int Y, TColor Color); // answers the colour set, or CLR_INVALID outside
TColor GetPixel(HDC DC, int X, int Y);               // CLR_INVALID outside the clip

// Rectangles with a brush, whatever the selected objects.
int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush);
bool InvertRect(HDC DC, const RECT* Rect);
bool DrawFocusRect(HDC DC, const RECT* Rect); // a dotted outline by inversion: twice restores
bool DrawEdge(HDC DC, RECT* Rect, unsigned Edge, unsigned Flags);

// Bit-block transfers. StretchBlt samples nearest-neighbour; a negative size mirrors.
bool PatBlt(HDC DC, int X, int Y, int Width, int Height, uint32_t Rop);
bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SX, int SY, uint32_t Rop);
bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SX, int SY, int SWidth,
                int SHeight, uint32_t Rop);
// Like StretchBlt with SRCCOPY, leaving out the source pixels of colour Transparent.
bool TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SX, int SY, int SWidth,
                    int SHeight, TColor Transparent);

// Text. Strings are 8-bit, in the Windows Western code page. A Count of -1 means up to the terminating zero.
bool TextOut(HDC DC, int X, int Y, const char* Text, int Count);
inline bool TextOutA(HDC DC, int X, int Y, const char* Text, int Count) {
  return TextOut(DC, X, Y, Text, Count);
}
bool ExtTextOut(HDC DC, int X, int Y, unsigned Options, const RECT* Rect, const char* Text, int Count,
                const int* Dx);
inline bool ExtTextOutA(HDC DC, int X, int Y, unsigned Options, const RECT* Rect, const char* Text, int Count,
                        const int* Dx) {
  return ExtTextOut(DC, X, Y, Options, Rect, Text, Count, Dx);
}
// Answers the height of the drawn text; with DT_CALCRECT only measures, widening or narrowing Rect.
int DrawText(HDC DC, const char* Text, int Count, RECT* Rect, unsigned Format);
inline int DrawTextA(HDC DC, const char* Text, int Count, RECT* Rect, unsigned Format) {
  return DrawText(DC, Text, Count, Rect, Format);
}
bool GetTextExtentPoint32(HDC DC, const char* Text, int Count, SIZE* Size);
inline bool GetTextExtentPoint32A(HDC DC, const char* Text, int Count, SIZE* Size) {
  return GetTextExtentPoint32(DC, Text, Count, Size);
}
bool GetTextMetrics(HDC DC, TEXTMETRIC* Metrics);
inline bool GetTextMetricsA(HDC DC, TEXTMETRIC* Metrics) {
  return GetTextMetrics(DC, Metrics);
}

// Points <-> pixels at the screen's density, rounding as the classic MulDiv does.
int MulDiv(int Number, int Numerator, int Denominator);
