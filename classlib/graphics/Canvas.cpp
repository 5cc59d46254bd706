#include "classlib/graphics/Canvas.h"

#include "classlib/core/Exception.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Graphic.h"

QUENDREL_REGISTER_CLASS(TCanvas, TPersistent) {}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->SetOwner(this);
  FPen->SetOwner(this);
  FBrush->SetOwner(this);
}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  return Prepared();
}

void TCanvas::SetHandle(HDC value) {
  FHandle = value;
}

HDC TCanvas::Prepared() {
  if (!FHandle) CreateHandle();
  if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  HDC dc = FHandle;
  SelectObject(dc, FFont->Handle());
  SelectObject(dc, FPen->Handle());
  SelectObject(dc, FBrush->Handle());
  SetROP2(dc, PenModeToRop2(FPen->Mode()));
  SetTextColor(dc, FFont->Color());
  SetBkColor(dc, FBrush->Color());
  SetBkMode(dc, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
  return dc;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  return Handle()->State().PenPos;
}

TRect TCanvas::ClipRect() {
  TRect r;
  GetClipBox(Handle(), &r);
  return r;
}

TColor TCanvas::Pixels(int x, int y) {
  return GetPixel(Handle(), x, y);
}

void TCanvas::SetPixels(int x, int y, TColor value) {
  Changing();
  SetPixel(Handle(), x, y, value);
  Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  ::Arc(Prepared(), x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  ::Ellipse(Prepared(), x1, y1, x2, y2);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  ::FillRect(Prepared(), &r, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  ::FrameRect(Prepared(), &r, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  ::DrawFocusRect(Prepared(), &r);
  Changed();
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  ::LineTo(Prepared(), x, y);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::Polygon(const TPoint* points, int count) {
  Changing();
  ::Polygon(Prepared(), points, count);
  Changed();
}

void TCanvas::Polyline(const TPoint* points, int count) {
  Changing();
  ::Polyline(Prepared(), points, count);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  ::Rectangle(Prepared(), x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  ::RoundRect(Prepared(), x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  Changing();
  HDC dc = Prepared();
  ::TextOut(dc, x, y, text.data(), static_cast<int>(text.size()));
  SIZE size;
  GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &size);
  MoveToEx(dc, x + size.cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  Changing();
  HDC dc = Prepared();
  const unsigned options = ETO_CLIPPED | (FBrush->Style() != bsClear ? ETO_OPAQUE : 0);
  ExtTextOut(dc, x, y, options, &r, text.data(), static_cast<int>(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const AnsiString& text) {
  SIZE size;
  HDC dc = Prepared();
  GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  // An empty or inverted rectangle draws nothing (a negative size would mirror the picture).
  if (!graphic || graphic->Empty() || r.IsEmpty()) return;
  Changing();
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas) return;
  Changing();
  HDC dc = Prepared();
  StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas->Handle(), source.Left, source.Top,
             source.Width(), source.Height(), FCopyMode);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  HDC dc = Prepared();
  // The brush first, then the picture without the pixels of Color on top of it.
  ::FillRect(dc, &dest, FBrush->Handle());
  TransparentBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), bitmap->Canvas()->Handle(),
                 source.Left, source.Top, source.Width(), source.Height(), color);
  Changed();
}

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  if (!canvas) return;
  TPen* pen = canvas->Pen();
  pen->SetWidth(1);
  --rect.Bottom;
  --rect.Right;
  for (int i = 0; i < width; ++i) {
    pen->SetColor(topColor);
    const TPoint topLeft[] = {{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    canvas->Polyline(topLeft, 3);
    pen->SetColor(bottomColor);
    const TPoint bottomRight[] = {
        {rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}};
    canvas->Polyline(bottomRight, 3);
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}
