#pragma once
// TFont: a font asked for by name, size and style. Size is in points, Height in pixels (negative: the
// character height without internal leading); setting one sets the other at 96 pixels per inch.
#include <cstdint>

#include "classlib/core/Set.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/GraphicsObject.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
using TFontName = AnsiString;

extern const TEnumInfo FontStyleNames; // fsBold, fsItalic, fsUnderline, fsStrikeOut
extern const TEnumInfo FontPitchNames; // fpDefault, fpVariable, fpFixed

class TFont : public TGraphicsObject {
  QUENDREL_CLASS(TFont, TGraphicsObject)
 public:
  TFont();

  void Assign(TPersistent* Source) override;

  // The font handle for these properties; made on first use after a change and kept by the font.
  HFONT Handle();
  // Takes over a font handle and its description (name, height, weight, style, character set); the font
  // frees the handle when done with it, and a DeleteObject of it afterwards does nothing.
  void SetHandle(HFONT Value);

  const AnsiString& Name() const { return FName; }
  void SetName(const AnsiString& Value);
  int Size() const;
  void SetSize(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int PixelsPerInch() const { return FPixelsPerInch; }

  // The description this font asks the system for.
  LOGFONT LogFont() const;

 private:
  void HandleChanged();

  AnsiString FName = "MS Sans Serif";
  int FHeight = -11; // 8 points
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = 1; // DEFAULT_CHARSET
  TFontPitch FPitch = fpDefault;
  int FPixelsPerInch = 96;
  TGdiRef<TGdiFont> FHandle;
};
