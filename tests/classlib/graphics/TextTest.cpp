// Text with pinned fonts: metrics, TextOut, and DrawText's flags.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "classlib/backend/FontEngine.h"

namespace {

std::unique_ptr<TBitmap> TextBitmap(int w, int h, const char* face = "Tahoma", int size = 8) {
  auto b = MakeBitmap(w, h);
  b->Canvas()->Font()->SetName(face);
  b->Canvas()->Font()->SetSize(size);
  b->Canvas()->Font()->SetColor(clBlack);
  b->Canvas()->Brush()->SetStyle(bsClear);
  return b;
}

// The box around pixels of colour c.
TRect Ink(TBitmap& b, TColor c) {
  TRect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (Px(b, x, y) == c)
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
  return r.Right < 0 ? TRect{} : r;
}

} // namespace

TEST(Text, FontsAreMatchedToPinnedFamilies) {
  EXPECT_EQ(backend::ResolveFontFamily("Tahoma"), "Tahoma");
  EXPECT_EQ(backend::ResolveFontFamily("MS Sans Serif"), "MS Sans Serif");
  EXPECT_EQ(backend::ResolveFontFamily("Verdana"), "DejaVu Sans");
  EXPECT_EQ(backend::ResolveFontFamily("Courier New"), "Liberation Mono");
  TFont f;
  f.SetName("Verdana");
  EXPECT_EQ(f.Handle()->Face().FamilyName(), "DejaVu Sans");
}

TEST(Text, SizeAndHeightFollowEachOther) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Size(), 8);
  EXPECT_EQ(f.Height(), -11);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  f.SetHeight(-16);
  EXPECT_EQ(f.Size(), 12);
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(f.Handle()->Log.lfWeight, FW_NORMAL);
  f.SetStyle({fsBold});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f.Handle()->Log.lfWeight, FW_BOLD);
  // A font handle's description is taken over, as a system font is.
  LOGFONT lf = f.LogFont();
  std::strcpy(lf.lfFaceName, "Tahoma");
  lf.lfHeight = -13;
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = 1;
  HFONT h = CreateFontIndirect(&lf);
  f.SetHandle(h);
  DeleteObject(h);
  EXPECT_EQ(f.Name(), "Tahoma");
  EXPECT_EQ(f.Size(), 10);
  EXPECT_EQ(f.Style(), (TFontStyles{fsItalic}));
}

TEST(Text, TextOutDrawsInTheFontColourWithinTheCell) {
  auto b = TextBitmap(80, 20);
  TCanvas* c = b->Canvas();
  const int w = c->TextWidth("Hello"), h = c->TextHeight("Hello");
  EXPECT_GT(w, 15);
  EXPECT_GE(h, 11);
  EXPECT_LE(h, 16);
  c->Font()->SetColor(clRed);
  c->TextOut(5, 2, "Hello");
  const TRect ink = Ink(*b, clRed);
  EXPECT_GE(ink.Left, 5);
  EXPECT_LE(ink.Right, 5 + w);
  EXPECT_GE(ink.Top, 2);
  EXPECT_LE(ink.Bottom, 2 + h);
  EXPECT_EQ(c->PenPos(), (TPoint{5 + w, 2}));
  // Crisp text: only the font colour and the background, nothing in between.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) EXPECT_TRUE(Px(*b, x, y) == clRed || Px(*b, x, y) == clWhite);
  // An opaque brush fills the text cell with the brush colour first.
  auto o = TextBitmap(80, 20);
  o->Canvas()->Brush()->SetColor(clYellow);
  o->Canvas()->TextOut(5, 2, "Hello");
  EXPECT_EQ(Ink(*o, clYellow).Left, 5);
  EXPECT_EQ(Ink(*o, clYellow).Bottom, 2 + h);
  // Wider text in a bolder font.
  c->Font()->SetStyle({fsBold});
  EXPECT_GT(c->TextWidth("Hello"), w);
}

TEST(Text, DrawTextCalcRectMeasuresLines) {
  auto b = TextBitmap(200, 100);
  HDC dc = b->Canvas()->Handle();
  SelectObject(dc, b->Canvas()->Font()->Handle());
  const int lineH = b->Canvas()->TextHeight("W");
  TRect r{10, 10, 200, 10};
  int h = DrawText(dc, "Caption", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(h, lineH);
  EXPECT_EQ(r, (TRect{10, 10, 10 + b->Canvas()->TextWidth("Caption"), 10 + lineH}));
  // "&" marks the accelerator and takes no room; "&&" is one "&".
  r = {0, 0, 200, 0};
  DrawText(dc, "&File", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), b->Canvas()->TextWidth("File"));
  r = {0, 0, 200, 0};
  DrawText(dc, "&File", -1, &r, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(r.Width(), b->Canvas()->TextWidth("&File"));
  r = {0, 0, 200, 0};
  DrawText(dc, "A&&B", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), b->Canvas()->TextWidth("A&B"));
  // Line breaks and word breaks.
  r = {0, 0, 200, 0};
  EXPECT_EQ(DrawText(dc, "one\r\ntwo\nthree", -1, &r, DT_CALCRECT), 3 * lineH);
  const int narrow = b->Canvas()->TextWidth("word word") - 1;
  r = {0, 0, narrow, 0};
  EXPECT_EQ(DrawText(dc, "word word word", -1, &r, DT_CALCRECT | DT_WORDBREAK), 3 * lineH);
  EXPECT_LE(r.Width(), narrow);
  // A word wider than the box stays whole on its line.
  r = {0, 0, 5, 0};
  EXPECT_EQ(DrawText(dc, "unbreakable", -1, &r, DT_CALCRECT | DT_WORDBREAK), lineH);
  EXPECT_EQ(r.Width(), b->Canvas()->TextWidth("unbreakable"));
  // The button caption measure: calc-rect, expand tabs, word break.
  r = {0, 0, 300, 40};
  DrawText(dc, "a\tb", -1, &r, 0x450);
  EXPECT_GT(r.Width(), b->Canvas()->TextWidth("a\tb"));
}

TEST(Text, DrawTextPlacesAndClipsLines) {
  auto b = TextBitmap(120, 40);
  TCanvas* c = b->Canvas();
  const int w = c->TextWidth("Mid"), h = c->TextHeight("Mid");
  // Handle selects the canvas's font and colours; what is set on the context afterwards holds until then.
  HDC dc = c->Handle();
  SetTextColor(dc, clBlue);
  TRect r{0, 0, 120, 40};
  DrawText(dc, "Mid", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const TRect ink = Ink(*b, clBlue);
  EXPECT_GE(ink.Left, (120 - w) / 2);
  EXPECT_LE(ink.Right, (120 + w) / 2 + 1);
  EXPECT_GE(ink.Top, (40 - h) / 2);
  EXPECT_LE(ink.Bottom, (40 - h) / 2 + h);
  // Right aligned and bottom aligned.
  auto rb = TextBitmap(120, 40);
  HDC dc2 = rb->Canvas()->Handle();
  SelectObject(dc2, rb->Canvas()->Font()->Handle());
  SetBkMode(dc2, TRANSPARENT);
  r = {0, 0, 120, 40};
  DrawText(dc2, "Mid", -1, &r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  EXPECT_LE(Ink(*rb, clBlack).Right, 120);
  EXPECT_GE(Ink(*rb, clBlack).Left, 120 - w);
  EXPECT_GE(Ink(*rb, clBlack).Top, 40 - h);
  // Text is clipped to its rectangle unless DT_NOCLIP.
  auto clip = TextBitmap(120, 40);
  HDC dc3 = clip->Canvas()->Handle();
  SelectObject(dc3, clip->Canvas()->Font()->Handle());
  SetBkMode(dc3, TRANSPARENT);
  r = {10, 10, 20, 30};
  DrawText(dc3, "WWWWWW", -1, &r, DT_SINGLELINE);
  EXPECT_LE(Ink(*clip, clBlack).Right, 20);
  r = {10, 10, 20, 30};
  DrawText(dc3, "WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(Ink(*clip, clBlack).Right, 30);
}

TEST(Text, PrefixUnderlinesAndEllipsisShortens) {
  auto plain = TextBitmap(100, 20);
  auto prefixed = TextBitmap(100, 20);
  for (TBitmap* b : {plain.get(), prefixed.get()}) {
    HDC dc = b->Canvas()->Handle();
    SelectObject(dc, b->Canvas()->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    TRect r{0, 0, 100, 20};
    DrawText(dc, b == plain.get() ? "File" : "&File", -1, &r, DT_SINGLELINE);
  }
  // The same glyphs, plus an underline below the first letter only.
  const TRect a = Ink(*plain, clBlack), u = Ink(*prefixed, clBlack);
  EXPECT_GT(u.Bottom, a.Bottom);
  EXPECT_EQ(u.Left, a.Left);
  const int fw = prefixed->Canvas()->TextWidth("F");
  EXPECT_EQ(Row(*prefixed, u.Bottom - 1, clBlack, fw, 100), std::string(100 - fw, '.'));
  EXPECT_NE(Row(*prefixed, u.Bottom - 1, clBlack, 0, fw), std::string(fw, '.'));

  auto b = TextBitmap(200, 20);
  HDC dc = b->Canvas()->Handle();
  SelectObject(dc, b->Canvas()->Font()->Handle());
  const int full = b->Canvas()->TextWidth("A rather long caption");
  TRect r{0, 0, full / 2, 20};
  DrawText(dc, "A rather long caption", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(r.Width(), full / 2);
  EXPECT_GT(r.Width(), b->Canvas()->TextWidth("..."));
  // Text that fits is left alone.
  r = {0, 0, 200, 20};
  DrawText(dc, "Short", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_EQ(r.Width(), b->Canvas()->TextWidth("Short"));
}

TEST(Text, CanvasSnapshot) {
  // A picture to look at: shapes, text in the pinned fonts, a focus rectangle.
  auto b = MakeBitmap(240, 120, clBtnFace);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBtnShadow);
  c->Brush()->SetColor(clWindow);
  c->Rectangle(4, 4, 120, 60);
  c->Brush()->SetColor(clHighlight);
  c->RoundRect(130, 4, 236, 60, 11, 11);
  c->Brush()->SetColor(clYellow);
  c->Ellipse(10, 66, 60, 116);
  c->Pen()->SetColor(clRed);
  c->Arc(70, 66, 120, 116, 120, 91, 95, 66);
  c->Brush()->SetStyle(bsClear);
  int y = 8;
  for (const char* face : {"Tahoma", "MS Sans Serif", "Verdana", "Courier New"}) {
    c->Font()->SetName(face);
    c->Font()->SetSize(8);
    c->TextOut(8, y, face);
    y += c->TextHeight(face);
  }
  c->Font()->SetName("Verdana");
  c->Font()->SetSize(14);
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(clHighlightText);
  TRect r{130, 4, 236, 60};
  DrawText(c->Handle(), "&Quendrel", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  c->DrawFocusRect({128, 64, 236, 116});
  Snapshot(*b, "graphics_canvas");
  EXPECT_EQ(Px(*b, 4, 4), ColorToRGB(clBtnShadow));
}
