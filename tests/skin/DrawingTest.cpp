// The drawing helpers: cutting strips, nine-part stretching to the pixel, turning pictures and shaping
// windows from pictures.
#include <gtest/gtest.h>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Form.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"
#include "skin/SKPublic.h"

namespace {

constexpr TColor Sentinel = 0x0A0B0C;
constexpr TColor Magenta = 0xFF00FF;

// Every pixel tells where it came from: red = x, green = y.
void FillCoordinates(TBitmap& bmp, int w, int h) {
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bmp.Canvas()->SetPixels(x, y, RGB(x, y, 0x40));
}

TColor From(int x, int y) {
  return RGB(x, y, 0x40);
}

void FillSentinel(TBitmap& target, int w, int h) {
  target.SetSize(w, h);
  target.Canvas()->Brush()->SetColor(Sentinel);
  target.Canvas()->FillRect(Rect(0, 0, w, h));
}

// Paints its left half red and its right half blue.
class TTwoTone : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(0, 0, Width() / 2, Height()));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(Width() / 2, 0, Width(), Height()));
  }
};

} // namespace

TEST(SpitBitmap, CutsEqualPiecesAndDropsTheRemainder) {
  TBitmap strip, piece;
  FillCoordinates(strip, 74, 21);
  SpitBitmap(&strip, &piece, 3, 3);
  ASSERT_EQ(piece.Width(), 24);
  ASSERT_EQ(piece.Height(), 21);
  EXPECT_EQ(piece.Canvas()->Pixels(0, 0), From(48, 0));
  EXPECT_EQ(piece.Canvas()->Pixels(23, 20), From(71, 20));
  SpitBitmap(&strip, &strip, 3, 2); // in place
  EXPECT_EQ(strip.Width(), 24);
  EXPECT_EQ(strip.Canvas()->Pixels(0, 5), From(24, 5));
}

TEST(SpitDraw, NinePartsToThePixel) {
  TBitmap source, target;
  FillCoordinates(source, 24, 21);
  FillSentinel(target, 80, 27);
  SpitDraw(&source, target.Canvas(), Rect(0, 0, 80, 27), true);
  TCanvas* c = target.Canvas();

  // Corners: 12 x 10 top-left, 12 x 9 bottom-left, 11 x 10 top-right, 11 x 9 bottom-right, copied 1:1.
  EXPECT_EQ(c->Pixels(0, 0), From(0, 0));
  EXPECT_EQ(c->Pixels(11, 9), From(11, 9));
  EXPECT_EQ(c->Pixels(0, 18), From(0, 12));
  EXPECT_EQ(c->Pixels(10, 26), From(10, 20));
  EXPECT_EQ(c->Pixels(69, 0), From(13, 0));
  EXPECT_EQ(c->Pixels(79, 9), From(23, 9));
  EXPECT_EQ(c->Pixels(69, 18), From(13, 12));
  EXPECT_EQ(c->Pixels(79, 26), From(23, 20));
  // Top edge: x 12..68 from the one source column 12.
  for (int x : {12, 40, 68}) EXPECT_EQ(c->Pixels(x, 3), From(12, 3)) << x;
  // Left edge and centre: rows 10..16 from source row 10.
  for (int y : {10, 16}) {
    EXPECT_EQ(c->Pixels(0, y), From(0, 10)) << y;
    EXPECT_EQ(c->Pixels(40, y), From(12, 10)) << y;
  }
  // Right edge: rows 10..17 from source row 11.
  EXPECT_EQ(c->Pixels(69, 10), From(13, 11));
  EXPECT_EQ(c->Pixels(79, 17), From(23, 11));
  // Bottom edge, drawn last: x 11..68, y 17..26 from source rows 11..20 of column 12, over the corner.
  EXPECT_EQ(c->Pixels(11, 17), From(12, 11));
  EXPECT_EQ(c->Pixels(11, 26), From(12, 20));
  EXPECT_EQ(c->Pixels(68, 20), From(12, 14));
  EXPECT_EQ(c->Pixels(10, 17), From(10, 10)); // left of the bottom edge: still the left edge
  EXPECT_EQ(c->Pixels(69, 26), From(13, 20));
}

TEST(SpitDraw, MagentaIsKeyedInEdgesAlwaysAndInCornersOnlyWhenTransparent) {
  TBitmap source, target;
  FillCoordinates(source, 24, 21);
  source.Canvas()->SetPixels(0, 0, Magenta);  // a corner pixel
  source.Canvas()->SetPixels(12, 4, Magenta); // the top edge's column
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent);
    FillSentinel(target, 80, 27);
    SpitDraw(&source, target.Canvas(), Rect(0, 0, 80, 27), transparent);
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), transparent ? Sentinel : Magenta);
    EXPECT_EQ(target.Canvas()->Pixels(30, 4), Sentinel);
    EXPECT_EQ(target.Canvas()->Pixels(30, 5), From(12, 5));
  }
}

TEST(SpitDraw, EvenHeightsStretchTheMiddleRowAndEmptyTargetsDrawNothing) {
  TBitmap source, target;
  FillCoordinates(source, 24, 20);
  FillSentinel(target, 60, 40);
  SpitDraw(&source, target.Canvas(), Rect(0, 0, 60, 40), false);
  EXPECT_EQ(target.Canvas()->Pixels(0, 20), From(0, 10));
  EXPECT_EQ(target.Canvas()->Pixels(30, 20), From(12, 10));

  FillSentinel(target, 10, 10);
  SpitDraw(&source, target.Canvas(), Rect(0, 0, 0, 10), false);
  SpitDraw(&source, target.Canvas(), Rect(0, 0, 10, 0), false);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(target.Canvas()->Pixels(x, y), Sentinel);
}

TEST(SpitDrawHorizontal, EndsKeyedMiddleStretched) {
  TBitmap source, target;
  FillCoordinates(source, 30, 6);
  source.Canvas()->SetPixels(0, 5, Magenta);
  FillSentinel(target, 100, 8);
  SpitDrawHorizontal(&source, target.Canvas(), Rect(0, 2, 100, 8), false, true);
  TCanvas* c = target.Canvas();
  EXPECT_EQ(c->Pixels(0, 7), Sentinel); // keyed corner pixel
  EXPECT_EQ(c->Pixels(1, 7), From(1, 5));
  EXPECT_EQ(c->Pixels(99, 2), From(29, 0));
  EXPECT_EQ(c->Pixels(90, 2), From(20, 0));
  EXPECT_EQ(c->Pixels(10, 2), From(10, 0)); // the middle starts at its first column
  EXPECT_EQ(c->Pixels(50, 1), Sentinel);

  // Narrower than one end: only the part of the left end that fits.
  FillSentinel(target, 20, 8);
  SpitDrawHorizontal(&source, target.Canvas(), Rect(2, 0, 6, 6), false, true);
  EXPECT_EQ(target.Canvas()->Pixels(2, 0), From(0, 0));
  EXPECT_EQ(target.Canvas()->Pixels(5, 0), From(3, 0));
  EXPECT_EQ(target.Canvas()->Pixels(6, 0), Sentinel);
}

TEST(RoundPicture, TurnsByQuarterAndHalfTurns) {
  TBitmap bmp;
  FillCoordinates(bmp, 3, 2);
  RoundPicture(&bmp); // counter-clockwise: the top edge becomes the left edge
  ASSERT_EQ(bmp.Width(), 2);
  ASSERT_EQ(bmp.Height(), 3);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), From(2, 0));
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), From(0, 1));

  FillCoordinates(bmp, 3, 2);
  RoundPicture3(&bmp); // clockwise: the left edge becomes the top edge
  ASSERT_EQ(bmp.Width(), 2);
  ASSERT_EQ(bmp.Height(), 3);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), From(0, 1));
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), From(0, 0));
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), From(2, 0));

  FillCoordinates(bmp, 3, 2);
  RoundPicture2(&bmp);
  ASSERT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), From(2, 1));
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 1), From(0, 0));
}

TEST(SetBitmapWindow, RegionOfTheNonKeyPixels) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 20, 10);
  TBitmap bmp;
  bmp.SetSize(20, 10);
  bmp.Canvas()->Brush()->SetColor(Magenta);
  bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
  bmp.Canvas()->Brush()->SetColor(clBlack);
  bmp.Canvas()->FillRect(Rect(3, 2, 7, 6));

  auto regionOf = [&]() {
    SetBitmapWindow(form.Handle(), &bmp, Magenta);
    TRegionHandle got(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(form.Handle(), got);
    return *got.Get();
  };
  EXPECT_EQ(regionOf(), TRegion(Rect(3, 2, 7, 6)));

  // A run that reaches the row's end keeps the last column.
  bmp.Canvas()->FillRect(Rect(15, 8, 20, 9));
  TRegion expected(Rect(3, 2, 7, 6));
  expected.Combine(expected, TRegion(Rect(15, 8, 20, 9)), rgnOr);
  EXPECT_EQ(regionOf(), expected);
}

TEST(WindowHelpers, DoTransPaintsTheParentUnderTheControl) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 120, 80);
  auto* parent = new TTwoTone(&form);
  parent->SetParent(&form);
  parent->SetBounds(0, 0, 100, 60);
  auto* child = new TCustomControl(&form);
  child->SetParent(parent);
  child->SetBounds(40, 10, 30, 20);

  TBitmap under;
  FillSentinel(under, 30, 20);
  DoTrans(under.Canvas(), child);
  EXPECT_EQ(under.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(under.Canvas()->Pixels(9, 19), clRed);  // parent x 49
  EXPECT_EQ(under.Canvas()->Pixels(10, 0), clBlue); // parent x 50
  EXPECT_EQ(under.Canvas()->Pixels(29, 19), clBlue);

  TBitmap none;
  FillSentinel(none, 4, 4);
  TCustomControl orphan(nullptr);
  DoTrans(none.Canvas(), &orphan); // no parent: nothing
  EXPECT_EQ(none.Canvas()->Pixels(0, 0), Sentinel);
}

TEST(WindowHelpers, DrawControlBorderFramesTheWholeWindow) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 120, 80);
  auto* control = new TCustomControl(&form);
  control->SetParent(&form);
  control->SetBounds(10, 10, 30, 20);
  DrawControlBorder(control, clRed, clBlue, true);
  const HWND wnd = control->Handle();
  const HDC dc = GetWindowDC(wnd);
  EXPECT_EQ(GetPixel(dc, 0, 0), clRed);
  EXPECT_EQ(GetPixel(dc, 29, 19), clRed);
  EXPECT_EQ(GetPixel(dc, 1, 1), clBlue);
  EXPECT_EQ(GetPixel(dc, 28, 18), clBlue);
  EXPECT_NE(GetPixel(dc, 2, 2), clBlue);
  ReleaseDC(wnd, dc);
}

TEST(SmallHelpers, RunTimeBoundCallsAnswerZeroWhenTheSystemLacksThem) {
  TForm form(nullptr);
  SCROLLBARINFO scroll;
  COMBOBOXINFO combo;
  EXPECT_EQ(SKGetScrollBarInfo(form.Handle(), 0, scroll), 0);
  EXPECT_EQ(SKGetComboBoxInfo(form.Handle(), combo), 0);
  EXPECT_NE(SKAnimateWindow(form.Handle(), 10, AW_SLIDE), 0) << "bound, and showing the hidden window";
}

TEST(SmallHelpers, VersionFlagFollowsTheVersionQuery) {
  OSVERSIONINFO v;
  ASSERT_TRUE(GetVersionExA(&v));
  const bool xp = v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 5 && v.dwMinorVersion != 0;
  EXPECT_EQ(IsWinXP(), xp);
}

TEST(SmallHelpers, InRectIncludesTheFarEdges) {
  EXPECT_TRUE(InRect(10, 10, Rect(0, 0, 10, 10)));
  EXPECT_TRUE(InRect(Point(0, 0), Rect(0, 0, 10, 10)));
  EXPECT_FALSE(InRect(11, 5, Rect(0, 0, 10, 10)));
  EXPECT_FALSE(InRect(5, -1, Rect(0, 0, 10, 10)));
  EXPECT_EQ(PCharToStr(nullptr), "");
  EXPECT_EQ(PCharToStr("abc"), "abc");
}
