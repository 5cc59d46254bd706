// Bitmaps, image lists, icons, and the drawing objects' published properties.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "classlib/core/Resources.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Icon.h"
#include "classlib/graphics/ImageList.h"

TEST(Bitmap, SizeChangesKeepPixels) {
  auto b = MakeBitmap(4, 4, clRed);
  b->SetWidth(6);
  b->SetHeight(2);
  EXPECT_EQ(Px(*b, 3, 1), clRed);
  EXPECT_EQ(Px(*b, 5, 1), clWhite);
  b->SetSize(6, 5);
  EXPECT_EQ(Px(*b, 0, 4), clWhite);
  EXPECT_EQ(Px(*b, 0, 0), clRed);
  // The canvas follows the new size.
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect({0, 0, 100, 100});
  EXPECT_EQ(Px(*b, 5, 4), clBlue);
  EXPECT_EQ(b->Canvas()->ClipRect(), (TRect{0, 0, 6, 5}));
  EXPECT_EQ(b->ScanLine(4)[5], 0x0000FFu);
  EXPECT_THROW(b->ScanLine(5), EInvalidGraphic);
}

TEST(Bitmap, AssignCopiesAndChangesAreReported) {
  auto a = MakeBitmap(3, 3, clRed);
  a->SetTransparent(true);
  TBitmap b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Assign(a.get());
  EXPECT_GT(changes, 0);
  EXPECT_TRUE(b.Transparent());
  a->Canvas()->SetPixels(0, 0, clBlue); // a copy, not shared
  EXPECT_EQ(Px(b, 0, 0), clRed);
  changes = 0;
  b.Canvas()->SetPixels(1, 1, clLime);
  EXPECT_GT(changes, 0);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(ImageList, AddCutsPiecesAndDrawsMaskedOrGreyed) {
  TImageList list(4, 4);
  auto strip = MakeBitmap(9, 4, clFuchsia); // two images; the odd column is not used
  strip->Canvas()->Brush()->SetColor(clBlack);
  strip->Canvas()->FillRect({1, 1, 3, 3});
  strip->Canvas()->Brush()->SetColor(clRed);
  strip->Canvas()->FillRect({4, 0, 8, 4});
  EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  auto target = MakeBitmap(10, 10, clGreen);
  list.Draw(target->Canvas(), 2, 2, 0);
  EXPECT_EQ(Px(*target, 2, 2), clGreen); // masked
  EXPECT_EQ(Px(*target, 3, 3), clBlack);
  list.Draw(target->Canvas(), 6, 6, 1);
  EXPECT_EQ(Px(*target, 9, 9), clRed);
  // Disabled: the dark shape in the shadow colour, its highlight one pixel down and right.
  auto grey = MakeBitmap(10, 10, clGreen);
  list.Draw(grey->Canvas(), 0, 0, 0, false);
  EXPECT_EQ(Px(*grey, 1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(*grey, 3, 3), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Px(*grey, 0, 0), clGreen);
  // GetBitmap gives the image opaque, key colour included.
  TBitmap piece;
  list.GetBitmap(0, &piece);
  EXPECT_EQ(piece.Width(), 4);
  EXPECT_EQ(Px(piece, 0, 0), clFuchsia);
  EXPECT_THROW(list.GetBitmap(2, &piece), EInvalidOperation);
  // Without a mask every pixel is drawn.
  list.Clear();
  list.Add(strip.get(), nullptr);
  auto opaque = MakeBitmap(4, 4, clGreen);
  list.Draw(opaque->Canvas(), 0, 0, 0);
  EXPECT_EQ(Px(*opaque, 0, 0), clFuchsia);
  list.Draw(opaque->Canvas(), 0, 0, 7); // out of range: nothing
}

TEST(Icon, MagentaIsTransparent) {
  auto pic = MakeBitmap(2, 1, clFuchsia);
  pic->Canvas()->SetPixels(1, 0, clRed);
  TIcon icon;
  icon.Assign(pic.get());
  auto target = MakeBitmap(2, 1, clGreen);
  target->Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(Px(*target, 0, 0), clGreen);
  EXPECT_EQ(Px(*target, 1, 0), clRed);
}

TEST(GraphicsObjects, PublishedPropertiesAreSetByName) {
  TFont font;
  SetStrProp(&font, "Name", "Verdana");
  SetOrdProp(&font, "Style", TFontStyles{fsBold, fsUnderline}.Mask());
  SetOrdProp(&font, "Color", clBtnFace);
  SetOrdProp(&font, "Size", 12);
  EXPECT_EQ(font.Name(), "Verdana");
  EXPECT_TRUE(font.Style().Contains(fsUnderline));
  EXPECT_EQ(font.Color(), clBtnFace);
  EXPECT_EQ(font.Height(), -16);
  TBrush brush;
  SetEnumProp(&brush, "Style", "bsClear");
  EXPECT_EQ(brush.Style(), bsClear);
  TPen pen;
  SetEnumProp(&pen, "Mode", "pmXor");
  EXPECT_EQ(pen.Mode(), pmXor);
  EXPECT_THROW(SetOrdProp(&pen, "Thickness", 2), EPropertyError);
  // Form streams name colours.
  const TPropInfo* color = GetPropInfo(&font, "Color");
  ASSERT_TRUE(color && color->Idents);
  int64_t value = 0;
  EXPECT_TRUE(color->Idents->ToInt("clBtnShadow", value));
  EXPECT_EQ(value, clBtnShadow);
  AnsiString ident;
  EXPECT_TRUE(color->Idents->ToIdent(clWindowText, ident));
  EXPECT_EQ(ident, "clWindowText");
}

TEST(Bitmap, LoadsNamedBitmapResources) {
  static const std::vector<uint8_t> bytes = MakeBitmap(3, 2, clNavy)->SaveToMemory();
  RegisterResource("GRAPHICS_TEST_PICTURE", RT_BITMAP, bytes.data(), bytes.size());
  TBitmap b;
  b.LoadFromResourceName(0, "graphics_test_picture");
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(Px(b, 2, 1), clNavy);
  EXPECT_THROW(b.LoadFromResourceName(0, "NO_SUCH_PICTURE"), EResNotFound);
}

TEST(Colors, SystemColoursResolveAndNamesConvert) {
  EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  EXPECT_EQ(ColorToPixel(clRed), 0xFF0000u);
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0xFF000007)), ColorToRGB(clMenuText));
  TColor c = 0;
  EXPECT_TRUE(IdentToColor("clbtnface", c));
  EXPECT_EQ(c, clBtnFace);
  EXPECT_EQ(ColorToString(clHighlight), "clHighlight");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(StringToColor("$00FF00FF"), clFuchsia);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_THROW(StringToColor("clNothing"), EConvertError);
}
