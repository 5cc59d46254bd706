#pragma once
// Theme items: the five built-in styles, the 48-item catalogue every skinned component reads, the lookups
// into the built-in styles, and the one decision between a built-in style and a loaded theme file.
#include <cstdint>

#include "classlib/core/AnsiString.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"

class TBitmap;
class TComponent;
class TskFileTheme;

enum TskUIStyle : uint8_t {
  FromThemeFile = 0,
  MacOS = 1,
  WinXP = 2,
  DeepBlue = 3,
  Protein = 4,
  BlueGlass = 5
};

// Identifiers of TskUIStyle, for the published UIStyle properties.
extern const TEnumInfo TskUIStyleNames;

// Scoped, so that a control's own Color() or Int members never collide with these.
enum class TskType : uint8_t { Int = 0, Color = 1, Str = 2, Bool = 3 };

constexpr int SK_ITEM_COUNT = 48;
constexpr int SK_INSIDE_STYLE_COUNT = 5;

// One built-in value: a number (integer, colour 0x00BBGGRR, flag) or, for a picture, its resource name.
struct TskInsideValue {
  int32_t Num = 0;
  const char* Name = nullptr;
  constexpr TskInsideValue(int32_t value) : Num(value) {}
  constexpr TskInsideValue(const char* name) : Name(name) {}
};

// The catalogue, indexed by item number - 1.
extern const AnsiString SK_FILETHEME_ITEMNAME[SK_ITEM_COUNT];
extern const TskType SK_ITEM_TYPE[SK_ITEM_COUNT];
// One table per built-in style, in the order MacOS, WinXP, DeepBlue, Protein, BlueGlass.
extern const TskInsideValue SK_INSIDETHEME_VALUE[SK_INSIDE_STYLE_COUNT][SK_ITEM_COUNT];

// The key of item Index (1..48); empty for any other number, which no theme file can hold.
const AnsiString& SKItemName(int Index);

// Style FromThemeFile, a style above BlueGlass or an item number outside 1..48 answer type Int and -1.
TskInsideValue GetInsideThemeValue(TskUIStyle Style, int Index, TskType& Type);
void LoadInsideThemeBitmap(TskUIStyle Style, int Index, TBitmap* Bitmap);
// SpitCount 0 loads the whole picture; otherwise piece SpitIndex (from 1) of SpitCount. SpitIndex 0 gives the
// whole picture, as the file-theme counterpart does.
void GetInsideThemeBitmap(TskUIStyle Style, int Index, TBitmap* Bitmap, int SpitCount, int SpitIndex);
TColor GetInsideThemeColor(TskUIStyle Style, int Index);
bool GetInsideThemeBool(TskUIStyle Style, int Index);
int GetInsideThemeInt(TskUIStyle Style, int Index);

// True: read the items from FileTheme. False: read them from the built-in style left in Style.
bool UsingFileTheme(const TskFileTheme* FileTheme, TskUIStyle UIStyle, TskUIStyle& Style);

// Every skinned component keeps a style and a non-owning TskFileTheme*, published as "UIStyle" and
// "FileTheme" (the theme manager and ContainerApplyUIStyle set them by name). Its constructor ends with
// SetUIStyle(GetSKFormStyle(AOwner)); SetUIStyle stores the value, re-reads every item it uses through
// UsingFileTheme and repaints, even when the value is unchanged; SetFileTheme stores the reference and calls
// SetUIStyle with the current style; Notification(opRemove) of its file theme clears the reference and sets
// DeepBlue. TskForm is the first of them.

// The style a new component owned by AOwner starts in: that of its form's frame, else DeepBlue.
TskUIStyle GetSKFormStyle(TComponent* AOwner);
