// The skinned scroll bar: layout of the buttons and the track, slider length from LineButton and PageSize,
// the value views of the track, and the arrow buttons' auto-repeat.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/core/Filer.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKPublic.h"
#include "skin/SKScrollBar.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

struct Scroll {
  explicit Scroll(TskProgressBarOrientation orientation = skHorizontal) : form(nullptr) {
    form.SetBounds(0, 0, 320, 260);
    bar = new TskScrollBar(&form);
    bar->SetParent(&form);
    bar->SetOrientation(orientation);
    if (orientation == skHorizontal)
      bar->SetBounds(10, 10, 200, 20);
    else
      bar->SetBounds(10, 10, 20, 200);
    form.Show();
  }
  int TrackLength() const {
    return bar->Orientation() == skHorizontal ? bar->Track()->Width() : bar->Track()->Height();
  }
  int SliderLength() const {
    TskImagePanel* s = bar->Track()->Slider();
    return bar->Orientation() == skHorizontal ? s->Width() : s->Height();
  }
  TForm form;
  TskScrollBar* bar;
};

} // namespace

// A form that counts its scroll bar's changes, for reading from a form stream.
class TScrollStreamForm : public TForm {
  QUENDREL_CLASS(TScrollStreamForm, TForm)
 public:
  explicit TScrollStreamForm(TComponent* AOwner) : TForm(AOwner) {}
  void BarChange(TObject*) { ++Changes; }
  int Changes = 0;
};

QUENDREL_REGISTER_CLASS(TScrollStreamForm, TForm) {
  c.Creatable();
  c.Method("BarChange", &TScrollStreamForm::BarChange);
}

TEST(SkScrollBar, NewBarIsAsHighAsItsDecrementButton) {
  TForm form(nullptr);
  auto* bar = new TskScrollBar(&form);
  EXPECT_TRUE(bar->Visible());
  EXPECT_GT(bar->DecButton()->Height(), 0);
  EXPECT_EQ(bar->Height(), bar->DecButton()->Height());
  EXPECT_EQ(bar->Max(), 100);
  EXPECT_EQ(bar->LargeChange(), 2);
  EXPECT_EQ(bar->SmallChange(), 1);
}

TEST(SkScrollBar, LaysOutButtonsAndTrack) {
  Scroll h;
  TskImageButton* dec = h.bar->DecButton();
  TskImageButton* inc = h.bar->IncButton();
  EXPECT_EQ(h.bar->Height(), dec->Height());
  EXPECT_EQ(h.bar->Track()->Left(), dec->Width());
  EXPECT_EQ(h.bar->Track()->Width(), 200 - dec->Width() - inc->Width());
  EXPECT_EQ(inc->Left(), 200 - inc->Width());

  Scroll v(skVertical);
  dec = v.bar->DecButton();
  inc = v.bar->IncButton();
  EXPECT_EQ(v.bar->Width(), dec->Width());
  EXPECT_EQ(v.bar->Track()->Top(), dec->Height());
  // One pixel short of the room between the buttons.
  EXPECT_EQ(v.bar->Track()->Height(), 200 - dec->Height() - inc->Height() - 1);
  EXPECT_EQ(inc->Top(), 200 - inc->Height());
  EXPECT_FALSE(v.bar->Track()->TabStop());
  EXPECT_FALSE(dec->TabStop());
}

TEST(SkScrollBar, SliderLengthFromPageSizeAndLineButton) {
  Scroll s;
  const int track = s.TrackLength();
  EXPECT_EQ(s.SliderLength(), track * 10 / 100); // PageSize 2 counts as 10 %
  s.bar->SetPageSize(50);
  EXPECT_EQ(s.SliderLength(), track / 2);
  s.bar->SetPageSize(100);
  EXPECT_EQ(s.SliderLength(), track);
  s.bar->SetPageSize(0);
  EXPECT_EQ(s.SliderLength(), track * 10 / 100);
  s.bar->SetPageSize(150); // refused by the track
  EXPECT_EQ(s.bar->PageSize(), 0);

  s.bar->SetLargeChange(50); // the step only
  EXPECT_EQ(s.bar->PageSize(), 50);
  EXPECT_EQ(s.SliderLength(), track * 10 / 100);

  s.bar->SetLineButton(5);
  EXPECT_EQ(s.bar->LineButton(), 18);
  EXPECT_EQ(s.SliderLength(), 18);
  s.bar->SetLineButton(track + 1);
  EXPECT_EQ(s.bar->LineButton(), 18);
  s.bar->SetLineButton(0);
  EXPECT_EQ(s.SliderLength(), track / 2);
}

TEST(SkScrollBar, VerticalSliderTurnsAndTracksItsLength) {
  Scroll v(skVertical);
  v.bar->SetPageSize(50);
  EXPECT_EQ(v.SliderLength(), v.TrackLength() / 2);
  EXPECT_EQ(v.bar->Track()->Slider()->Width(), v.bar->Track()->Width());
}

TEST(SkScrollBar, PositionWritesReportOnlyRealChanges) {
  Scroll s;
  std::vector<TObject*> senders;
  s.bar->SetOnChange([&](TObject* Sender) { senders.push_back(Sender); });
  s.bar->SetPosition(0);
  EXPECT_TRUE(senders.empty());
  s.bar->SetPosition(30);
  ASSERT_EQ(senders.size(), 1u);
  EXPECT_EQ(senders[0], s.bar->Track());
  EXPECT_EQ(s.bar->GetLastChange(), 30);
  s.bar->SetPosition(500);
  EXPECT_EQ(s.bar->Position(), 100);
}

TEST(SkScrollBar, ArrowButtonsRepeatWhileHeld) {
  Scroll s;
  testsupport::ManualClock clock;
  s.bar->SetSmallChange(3);
  TskImageButton* inc = s.bar->IncButton();
  testsupport::MouseDown(inc, 2, 2);
  EXPECT_EQ(s.bar->Position(), 0);
  clock.Advance(100);
  EXPECT_EQ(s.bar->Position(), 3);
  clock.Advance(100);
  EXPECT_EQ(s.bar->Position(), 6);
  testsupport::MouseUp(inc, 2, 2);
  clock.Advance(300);
  EXPECT_EQ(s.bar->Position(), 6);

  TskImageButton* dec = s.bar->DecButton();
  testsupport::Click(dec, 2, 2); // released before the first repeat
  EXPECT_EQ(s.bar->Position(), 6);
}

TEST(SkScrollBar, ArrowRepeatAtTheTopOfThe32BitRangeStaysThere) {
  Scroll s;
  testsupport::ManualClock clock;
  s.bar->SetMax(INT32_MAX);
  s.bar->SetPosition(INT32_MAX);
  s.bar->SetSmallChange(32767);
  testsupport::MouseDown(s.bar->IncButton(), 2, 2);
  clock.Advance(300);
  EXPECT_EQ(s.bar->Position(), INT32_MAX);
  testsupport::MouseUp(s.bar->IncButton(), 2, 2);
  s.bar->SetMin(INT32_MIN);
  s.bar->SetPosition(INT32_MIN);
  testsupport::MouseDown(s.bar->DecButton(), 2, 2);
  clock.Advance(300);
  EXPECT_EQ(s.bar->Position(), INT32_MIN);
  testsupport::MouseUp(s.bar->DecButton(), 2, 2);
}

TEST(SkScrollBar, SmallChangeKeepsToOneThrough32767) {
  Scroll s;
  s.bar->SetSmallChange(5);
  for (int refused : {0, -1, 32768, 70000}) {
    s.bar->SetSmallChange(refused);
    EXPECT_EQ(s.bar->SmallChange(), 5) << refused;
  }
  s.bar->SetSmallChange(32767);
  EXPECT_EQ(s.bar->SmallChange(), 32767);
  SetOrdProp(s.bar, "SmallChange", 0); // as a form stream sets it
  EXPECT_EQ(s.bar->SmallChange(), 32767);
}

TEST(SkScrollBar, TheSliderIsPlacedAgainWhenItsLengthChanges) {
  for (TskProgressBarOrientation orientation : {skHorizontal, skVertical}) {
    SCOPED_TRACE(orientation == skHorizontal ? "horizontal" : "vertical");
    Scroll s(orientation);
    const bool horizontal = orientation == skHorizontal;
    TskScrollTrackBar* track = s.bar->Track();
    TskImagePanel* slider = track->Slider();
    const auto farEnd = [&] {
      return horizontal ? slider->Left() + slider->Width() : slider->Top() + slider->Height();
    };
    s.bar->SetPosition(100); // Max: the slider's far end meets the track's
    EXPECT_EQ(farEnd(), s.TrackLength());
    if (horizontal)
      s.bar->SetWidth(400);
    else
      s.bar->SetHeight(400);
    EXPECT_EQ(farEnd(), s.TrackLength());
    s.bar->SetPageSize(50);
    EXPECT_EQ(s.SliderLength(), s.TrackLength() / 2);
    EXPECT_EQ(farEnd(), s.TrackLength());
    s.bar->SetLineButton(40);
    EXPECT_EQ(farEnd(), s.TrackLength());
    // On screen the slider's end piece closes the track.
    const TSurface shot = Render(s.bar);
    testsupport::SavePng(shot, AnsiString("SkScrollBar-slider-at-max-") + (horizontal ? "h" : "v") + ".png");
    TBitmap* picture = track->GetSliderImage()->Bitmap();
    const int last = s.TrackLength() - 1;
    if (horizontal)
      EXPECT_EQ(PixelAt(shot, track->Left() + last, picture->Height() / 2),
                picture->Canvas()->Pixels(picture->Width() - 1, picture->Height() / 2));
    else
      EXPECT_EQ(PixelAt(shot, picture->Width() / 2, track->Top() + last),
                picture->Canvas()->Pixels(picture->Width() / 2, picture->Height() - 1));
  }
}

TEST(SkScrollBar, OnChangeBindsFromAFormStream) {
  std::unique_ptr<TComponent> loaded(ReadComponentText("object F: TScrollStreamForm\n"
                                                       "  object Bar: TskScrollBar\n"
                                                       "    Max = 50\n"
                                                       "    OnChange = BarChange\n"
                                                       "  end\n"
                                                       "end",
                                                       nullptr));
  auto* form = dynamic_cast<TScrollStreamForm*>(loaded.get());
  ASSERT_NE(form, nullptr);
  auto* bar = dynamic_cast<TskScrollBar*>(form->FindComponent("Bar"));
  ASSERT_NE(bar, nullptr);
  bar->SetPosition(20);
  EXPECT_EQ(form->Changes, 1);
  EXPECT_EQ(GetMethodPropName(bar, "OnChange"), "BarChange");
  // And it is written back.
  EXPECT_NE(WriteComponentText(form).find("OnChange = BarChange"), AnsiString::npos);
}

TEST(SkScrollBar, TheTracksSliderIsOpaque) {
  Scroll s;
  EXPECT_FALSE(s.bar->Track()->Slider()->Transparent());
  TskScrollTrackBar track(nullptr);
  EXPECT_FALSE(track.Slider()->Transparent());
  EXPECT_TRUE(track.Slider()->Picture()->Bitmap()->Empty()) << "its pictures come from its owner";
}

TEST(SkScrollBar, ZeroWidthHides) {
  Scroll s;
  s.bar->SetWidth(0);
  EXPECT_FALSE(s.bar->Visible());
  EXPECT_FALSE(s.bar->Track()->Visible());
}

TEST(SkScrollBar, RendersInEveryStyle) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 240);
  form.Show();
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    auto* h = new TskScrollBar(&form);
    h->SetParent(&form);
    h->SetUIStyle(style);
    h->SetBounds(10, 10, 220, 20);
    h->SetPageSize(30);
    h->SetPosition(40);
    auto* v = new TskScrollBar(&form);
    v->SetParent(&form);
    v->SetUIStyle(style);
    v->SetOrientation(skVertical);
    v->SetBounds(250, 10, 20, 200);
    v->SetPosition(70);
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    // Slider lengths from the page sizes (30 % and the least, 10 %), at their positions' places.
    TskScrollTrackBar* ht = h->Track();
    TskScrollTrackBar* vt = v->Track();
    EXPECT_EQ(ht->Slider()->Width(), ht->Width() * 30 / 100);
    EXPECT_EQ(vt->Slider()->Height(), vt->Height() * 10 / 100);
    EXPECT_EQ(ht->Slider()->Left(), (ht->Width() - ht->Slider()->Width()) * 40 / 100);
    EXPECT_EQ(vt->Slider()->Top(), (vt->Height() - vt->Slider()->Height()) * 70 / 100);
    // The slider's middle and the arrows show their pictures; the track around the slider its colour.
    TBitmap start;
    GetInsideThemeBitmap(style, 33, &start, 3, 1);
    TBitmap* slider = ht->GetSliderImage()->Bitmap();
    const int sw = slider->Width(), sh = slider->Height();
    EXPECT_EQ(slider->Canvas()->Pixels(0, sh / 2), start.Canvas()->Pixels(0, sh / 2));
    const TSurface hs = Render(h);
    EXPECT_EQ(PixelAt(hs, ht->Left() + ht->Slider()->Left() + sw / 2, ht->Slider()->Top() + sh / 2),
              slider->Canvas()->Pixels(sw / 2, sh / 2));
    EXPECT_EQ(PixelAt(hs, ht->Left() + 1, ht->Height() / 2), GetInsideThemeColor(style, 31));
    // The arrows are pieces 1 and 4 of the theme's strip, drawn for the vertical bar and turned for the
    // horizontal one.
    const TSurface vs = Render(v);
    for (int piece : {1, 4}) {
      SCOPED_TRACE(piece);
      TBitmap arrow;
      GetInsideThemeBitmap(style, 32, &arrow, 6, piece);
      ASSERT_FALSE(arrow.Empty());
      TskImageButton* vb = piece == 1 ? v->DecButton() : v->IncButton();
      EXPECT_EQ(skintest::PictureMismatches(vs, vb->Left(), vb->Top(), arrow), 0);
      TBitmap turned;
      turned.Assign(&arrow);
      RoundPicture(&turned);
      TskImageButton* hb = piece == 1 ? h->DecButton() : h->IncButton();
      EXPECT_EQ(skintest::PictureMismatches(hs, hb->Left(), hb->Top(), turned), 0);
      EXPECT_GT(skintest::PictureMismatches(hs, hb->Left(), hb->Top(), arrow), 0) << "the turn shows";
    }
    testsupport::RenderToPng(&form, "SkScrollBar-" + TskUIStyleNames.NameOf(style) + ".png");
    delete h;
    delete v;
  }
}
