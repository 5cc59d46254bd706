#pragma once
// Helpers shared by every skinned component: cutting skin pictures into state pieces and stretching them
// without distorting their borders, painting a parent's background under a control, tiling, turning
// pictures, shaping windows from pictures, framing controls, passing a style to a container's children, and
// a few window and system queries.
#include <cstdint>

#include "classlib/controls/ComboBox.h"
#include "classlib/controls/Messages.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/core/AnsiString.h"
#include "classlib/core/Types.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/GdiObject.h"
#include "skin/SKThemes.h"

class TBitmap;
class TCanvas;
class TPicture;
class TComponent;
class TObject;
class TControl;
class TWinControl;
class TCustomForm;
class TskThemeLink;

// The fixed transparent key of skin pictures.
constexpr TColor SK_TRANSPARENT_KEY = 0xFF00FF;

// Dest := piece Index (from 1) of Count equal-width pieces of Source; the last Source width mod Count
// columns belong to no piece. Source and Dest may be one bitmap. A Count below 1 leaves Dest alone.
void SpitBitmap(TBitmap* Source, TBitmap* Dest, int Count, int Index);
// Draws Source over (0, 0, Rect.Right, Rect.Bottom) in nine parts: corners 1:1, edges and centre stretched.
// Magenta pixels of the edges and centre are never drawn; those of the corners only when Transparent.
void SpitDraw(TBitmap* Source, TCanvas* Canvas, const TRect& Rect, bool Transparent);
// Draws a three-piece strip over Rect: the ends 1:1 and keyed, the middle stretched and opaque.
void SpitDrawHorizontal(TBitmap* Source, TCanvas* Canvas, const TRect& Rect, bool UseCornerColor,
                        bool TopLeftCorner);
// Repeats Picture from the canvas origin over Rect's extent.
void TileDraw(TCanvas* Canvas, const TPicture* Picture, const TRect& Rect);
// Paints Control's parent background, as it lies under the control, onto Canvas.
void DoTrans(TCanvas* Canvas, TWinControl* Control);
void RoundPicture(TBitmap* Bitmap);  // a quarter turn counter-clockwise
void RoundPicture2(TBitmap* Bitmap); // a half turn
void RoundPicture3(TBitmap* Bitmap); // a quarter turn clockwise
// Shapes the window to the pixels of Bitmap that are not TransparentColor.
void SetBitmapWindow(HWND Window, TBitmap* Bitmap, TColor TransparentColor);
// Frames the control's whole window in Color, and inside that in InnerColor when DrawInner.
void DrawControlBorder(TWinControl* Control, TColor Color, TColor InnerColor, bool DrawInner);
void SetWinControlTransparent(TWinControl* Control);
// Gives every direct child that publishes both FileTheme and UIStyle the file theme, then the style.
void ContainerApplyUIStyle(TWinControl* Container, TskUIStyle UIStyle, TskFileTheme* FileTheme);
bool IsHasProperty(TComponent* Component, const AnsiString& Name);
// Object's class is ClassName or derives from it; by name, so that the class need not be linked in.
bool IsA(const TObject* Object, const char* ClassName);
bool FormHasFocus(TCustomForm* Form);
TRect GetWorkAreaRect();
void PlaceControl(TControl* Control, const TPoint& Point);
void PlaceControl(TControl* Control, const TRect& Rect);
// Unlike PtInRect, the right and bottom edges count as inside.
bool InRect(const TPoint& Point, const TRect& Rect);
bool InRect(int X, int Y, const TRect& Rect);
AnsiString PCharToStr(const char* Text);
// The caption colour of caption panels and side channels: from a theme file black or white by its
// ControlFontColor, in a built-in style black for MacOS and the menu's selected font colour otherwise.
TColor SKPanelCaptionColor(const TskThemeLink& Theme);
// Value + Delta, held to the 32-bit range instead of wrapping.
int SaturatedAdd(int Value, int64_t Delta);
// A control lays its caption out right to left: its BiDiMode asks for it on a Middle-East system locale.
bool UseRightToLeftLayout(const TControl* Control);
// The system's version flag, computed once at start: an NT platform of version 5.x with x above 0. The
// version query reports the host's own platform, which is not NT, so the flag is false here.
bool IsWinXP();

// System calls bound by name on first use; 0 when the system does not offer them. The two information
// calls share one not-available flag.
BOOL SKGetScrollBarInfo(HWND Wnd, LONG idObject, SCROLLBARINFO& Info);
BOOL SKGetComboBoxInfo(HWND Wnd, COMBOBOXINFO& Info);
BOOL SKAnimateWindow(HWND Wnd, DWORD Time, DWORD Flags);
