#pragma once
// TCanvas: drawing with a font, a pen and a brush on a device context. The canvas selects its own objects
// into the context before each call, so it may also draw on a context handed to it (SetHandle), for example
// one a parent passes with WM_PAINT. Descendants that make their context lazily (a control's canvas, a
// bitmap's) override CreateHandle.
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "classlib/core/Event.h"
#include "classlib/core/Persistent.h"
#include "classlib/core/Types.h"
#include "classlib/graphics/Brush.h"
#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/Font.h"
#include "classlib/graphics/Pen.h"

class TGraphic;
class TBitmap;

// A copy mode is a ternary raster operation (SRCCOPY, MERGEPAINT, ... from Gdi.h).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009, cmMergeCopy = 0x00C000CA,
                    cmMergePaint = 0x00BB0226, cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09,
                    cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328,
                    cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;

class TCanvas : public TPersistent {
  QUENDREL_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // The context, with the canvas's font, pen and brush, text colour and background mode selected into it, so
  // that GDI calls on it draw as the canvas would. CreateHandle is asked for one when there is none; raises
  // EInvalidOperation "Canvas does not allow drawing" when still none.
  HDC Handle();
  void SetHandle(HDC Value); // not owned
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  // The clip box in logical coordinates.
  TRect ClipRect();
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);

  // Shapes; see Gdi.h for the raster rules.
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void FillRect(const TRect& R);  // with the brush
  void FrameRect(const TRect& R); // a one-pixel border with the brush
  void DrawFocusRect(const TRect& R);
  void LineTo(int X, int Y);
  void MoveTo(int X, int Y);
  void Polygon(const TPoint* Points, int Count);
  void Polygon(std::initializer_list<TPoint> Points) {
    Polygon(Points.begin(), static_cast<int>(Points.size()));
  }
  void Polyline(const TPoint* Points, int Count);
  void Polyline(std::initializer_list<TPoint> Points) {
    Polyline(Points.begin(), static_cast<int>(Points.size()));
  }
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);

  // Text in the font's colour; the background is filled with the brush colour unless the brush is bsClear.
  void TextOut(int X, int Y, const AnsiString& Text);                  // moves the pen to the end of the text
  void TextRect(const TRect& R, int X, int Y, const AnsiString& Text); // clipped to R
  TSize TextExtent(const AnsiString& Text);
  int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
  int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

  // Pictures.
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);                    // nearest-neighbour, with CopyMode
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source); // with CopyMode
  // Copies Source of Bitmap to Dest, with the pixels of colour Color replaced by the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  // Kept for callers that guard drawing from threads; painting is on the user-interface thread only.
  void Lock() {}
  void Unlock() {}
  bool TryLock() { return true; }
  void Refresh() {}

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();
  // Selects the canvas's pen, brush and font and the text colour and background mode into the context.
  HDC Prepared();

 private:
  HDC FHandle = nullptr;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
};

// Draws a 3D frame of Width pixels: TopColor on the left and top, BottomColor on the right and bottom, and
// shrinks Rect inside it (as panel bevels are drawn).
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
