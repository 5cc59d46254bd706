// The status bar: panel layout and drawing, simple text, owner-drawn panels, the size grip that sizes its
// form, the application's hint, the panel class hook and streaming.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StatusBar.h"
#include "classlib/core/Filer.h"
#include "classlib/graphics/Canvas.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

// A panel class of its own, for the panel class hook.
class TTaggedPanel : public TStatusPanel {
  QUENDREL_CLASS(TTaggedPanel, TStatusPanel)
 public:
  using TStatusPanel::TStatusPanel;
};

class StatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    bar = new TStatusBar(&form);
    bar->SetParent(&form);
  }
  TStatusPanel* AddPanel(const AnsiString& Text, int Width) {
    TStatusPanel* p = bar->Panels()->Add();
    p->SetText(Text);
    p->SetWidth(Width);
    return p;
  }
  // Pixels of Colour inside R.
  static int Count(const TSurface& S, const TRect& R, TColor Colour) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) n += PixelAt(S, x, y) == Colour;
    return n;
  }
  TForm form{nullptr};
  TStatusBar* bar = nullptr;
};

} // namespace

QUENDREL_REGISTER_CLASS(TTaggedPanel, TStatusPanel) {
  c.CollectionItem();
}

TEST_F(StatusBar, SitsAtTheBottomInTheSystemFont) {
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Height(), 19);
  EXPECT_EQ(bar->Top(), form.ClientHeight() - 19);
  EXPECT_EQ(bar->Width(), form.ClientWidth());
  EXPECT_TRUE(bar->SizeGrip());
  EXPECT_TRUE(bar->UseSystemFont());
  EXPECT_EQ(bar->Font()->Name(), "Tahoma");
  bar->Font()->SetName("Verdana");
  EXPECT_FALSE(bar->UseSystemFont());
  bar->SetUseSystemFont(true);
  EXPECT_EQ(bar->Font()->Name(), "Tahoma");
  EXPECT_TRUE(bar->UseSystemFont());
}

TEST_F(StatusBar, PanelsStandSideBySideAndTheLastTakesTheRestBesideTheGrip) {
  AddPanel("Moves: 12", 80);
  AddPanel("0:42", 60);
  AddPanel("Solving", 50);
  const int w = bar->ClientWidth(), h = bar->ClientHeight();
  EXPECT_EQ(bar->PanelRect(0), Rect(1, 3, 79, h - 1));
  EXPECT_EQ(bar->PanelRect(1), Rect(83, 3, 141, h - 1));
  EXPECT_EQ(bar->PanelRect(2), Rect(145, 3, w - TCustomStatusBar::GripSize - 1, h - 1));
  form.SetBorderStyle(bsSingle);
  EXPECT_FALSE(bar->GripShown());
  EXPECT_EQ(bar->PanelRect(2).Right, w - 1);

  // Lowered frames, texts in the font colour inside their panels, right- and centre-aligned texts too.
  bar->Panels()->Items(1)->SetAlignment(taRightJustify);
  bar->Font()->SetColor(clRed);
  const TSurface s = Render(bar);
  const TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(PixelAt(s, 0, 2), shadow);
  EXPECT_EQ(PixelAt(s, 79, h - 1), highlight);
  EXPECT_EQ(PixelAt(s, 81, 10), ColorToRGB(clBtnFace)); // the gap between two panels
  EXPECT_GT(Count(s, bar->PanelRect(0), clRed), 0);
  const TRect second = bar->PanelRect(1);
  EXPECT_EQ(Count(s, Rect(second.Left, 0, second.Left + 20, h), clRed), 0) << "right-aligned";
  EXPECT_GT(Count(s, Rect(second.Right - 20, 0, second.Right, h), clRed), 0);
  // A bevel of none draws no frame.
  bar->Panels()->Items(0)->SetBevel(pbNone);
  EXPECT_EQ(PixelAt(Render(bar), 0, 2), ColorToRGB(clBtnFace));
}

TEST_F(StatusBar, SimplePanelShowsOnlyTheSimpleText) {
  AddPanel("Panel", 200);
  bar->Font()->SetColor(clBlue);
  bar->SetSimpleText("Searching...");
  EXPECT_EQ(Count(Render(bar), Rect(0, 0, 300, 19), clBlue), Count(Render(bar), bar->PanelRect(0), clBlue));
  const int panelText = Count(Render(bar), Rect(0, 0, 300, 19), clBlue);
  bar->SetSimplePanel(true);
  const TSurface s = Render(bar);
  const int simpleText = Count(s, bar->PanelRect(-1), clBlue);
  EXPECT_GT(simpleText, 0);
  EXPECT_NE(simpleText, panelText); // another text
  EXPECT_EQ(bar->PanelRect(-1), Rect(1, 3, bar->ClientWidth() - TCustomStatusBar::GripSize - 1, 18));
}

TEST_F(StatusBar, OwnerDrawnPanelsGoToOnDrawPanel) {
  TStatusPanel* text = AddPanel("Text", 60);
  TStatusPanel* drawn = AddPanel("", 60);
  drawn->SetStyle(psOwnerDraw);
  int calls = 0;
  bar->OnDrawPanel = [&](TCustomStatusBar* Sender, TStatusPanel* Panel, const TRect& R) {
    ++calls;
    EXPECT_EQ(Sender, bar);
    EXPECT_EQ(Panel, drawn);
    EXPECT_EQ(R, bar->PanelRect(1));
    Sender->Canvas()->Brush()->SetColor(clLime);
    Sender->Canvas()->FillRect(R);
  };
  const TSurface s = Render(bar);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(PixelAt(s, 70, 10), clLime);
  EXPECT_EQ(Count(s, bar->PanelRect(0), clLime), 0);
  (void)text;
}

TEST_F(StatusBar, TheGripShowsOnSizeableFormsAndSizesThem) {
  const int w = bar->ClientWidth(), h = bar->ClientHeight();
  EXPECT_TRUE(bar->GripShown());
  const TColor shadow = ColorToRGB(clBtnShadow);
  EXPECT_GT(Count(Render(bar), Rect(w - 14, h - 14, w, h), shadow), 10);

  // The corner answers as the form's own bottom-right corner; dragging it sizes the form.
  const TPoint corner = bar->ClientToScreen(Point(w - 3, h - 3));
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(corner.X, corner.Y)), HTBOTTOMRIGHT);
  const TPoint middle = bar->ClientToScreen(Point(w / 2, h / 2));
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(middle.X, middle.Y)), HTCLIENT);
  const int formWidth = form.Width(), formHeight = form.Height();
  const TPoint to = bar->ClientToScreen(Point(w + 27, h + 17));
  testsupport::MouseDown(bar, w - 3, h - 3);
  testsupport::MouseMove(bar, w + 27, h + 17);
  const TPoint up = bar->ScreenToClient(to); // the bar moved with the form's bottom edge
  testsupport::MouseUp(bar, up.X, up.Y);
  EXPECT_EQ(form.Width(), formWidth + 30);
  EXPECT_EQ(form.Height(), formHeight + 20);

  // No grip without SizeGrip, on a form of fixed size, or on a maximized form.
  bar->SetSizeGrip(false);
  EXPECT_FALSE(bar->GripShown());
  const TPoint newCorner = bar->ClientToScreen(Point(bar->ClientWidth() - 3, h - 3));
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(newCorner.X, newCorner.Y)), HTCLIENT);
  bar->SetSizeGrip(true);
  form.SetWindowState(wsMaximized);
  EXPECT_FALSE(bar->GripShown());
  form.SetWindowState(wsNormal);
  form.SetBorderStyle(bsSingle);
  EXPECT_FALSE(bar->GripShown());
  EXPECT_EQ(Count(Render(bar), Rect(bar->ClientWidth() - 12, 4, bar->ClientWidth() - 2, h - 2), shadow), 0);
}

TEST_F(StatusBar, AutoHintShowsTheApplicationsHint) {
  THintAction hint(nullptr);
  hint.SetHint("Start a new game");
  EXPECT_FALSE(bar->ExecuteAction(&hint)) << "AutoHint is off";
  EXPECT_EQ(bar->SimpleText(), "");
  bar->SetAutoHint(true);
  EXPECT_TRUE(bar->ExecuteAction(&hint));
  EXPECT_EQ(bar->SimpleText(), "Start a new game"); // no panels
  AddPanel("", 100);
  AddPanel("second", 100);
  hint.SetHint("Solve");
  EXPECT_TRUE(bar->ExecuteAction(&hint));
  EXPECT_EQ(bar->Panels()->Items(0)->Text(), "Solve");
  EXPECT_EQ(bar->Panels()->Items(1)->Text(), "second");
  bar->SetSimplePanel(true);
  hint.SetHint("Stop");
  EXPECT_TRUE(bar->ExecuteAction(&hint));
  EXPECT_EQ(bar->SimpleText(), "Stop");
  // The application's own hint comes the same way to the bars of the active form.
  Screen->SetActiveForm(&form);
  Application->SetHint("From the application");
  EXPECT_EQ(bar->SimpleText(), "From the application");
  Application->SetHint(""); // and an empty one clears it
  EXPECT_EQ(bar->SimpleText(), "");
  // OnHint takes the hint over; other actions are not the bar's.
  int hints = 0;
  bar->OnHint = [&](TObject* Sender) {
    EXPECT_EQ(Sender, bar);
    ++hints;
  };
  hint.SetHint("Elsewhere");
  EXPECT_FALSE(bar->ExecuteAction(&hint));
  EXPECT_EQ(hints, 1);
  EXPECT_EQ(bar->SimpleText(), "");
  TAction other(nullptr);
  EXPECT_FALSE(bar->ExecuteAction(&other));
}

TEST_F(StatusBar, PanelsStreamAndTakeTheClassTheHookPicks) {
  TStatusPanel* p = AddPanel("Moves", 70);
  p->SetAlignment(taCenter);
  p->SetBevel(pbRaised);
  AddPanel("Time", 40)->SetStyle(psOwnerDraw);
  bar->SetName("Bar");
  form.SetName("Main");
  bar->SetSizeGrip(false);
  bar->SetSimpleText("ready");
  const AnsiString text = WriteComponentText(&form);
  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  auto* loaded = dynamic_cast<TStatusBar*>(copy.FindComponent("Bar"));
  ASSERT_NE(loaded, nullptr) << text;
  ASSERT_EQ(loaded->Panels()->Count(), 2);
  EXPECT_EQ(loaded->Panels()->Items(0)->Text(), "Moves");
  EXPECT_EQ(loaded->Panels()->Items(0)->Width(), 70);
  EXPECT_EQ(loaded->Panels()->Items(0)->Alignment(), taCenter);
  EXPECT_EQ(loaded->Panels()->Items(0)->Bevel(), pbRaised);
  EXPECT_EQ(loaded->Panels()->Items(1)->Style(), psOwnerDraw);
  EXPECT_FALSE(loaded->SizeGrip());
  EXPECT_EQ(loaded->SimpleText(), "ready");

  bar->OnCreatePanelClass = [](TCustomStatusBar*, TClass& PanelClass) {
    PanelClass = TTaggedPanel::StaticClass();
  };
  EXPECT_NE(dynamic_cast<TTaggedPanel*>(bar->Panels()->Add()), nullptr);
  // A class that makes no status panels leaves the plain one.
  bar->OnCreatePanelClass = [](TCustomStatusBar*, TClass& PanelClass) { PanelClass = TForm::StaticClass(); };
  TStatusPanel* plain = bar->Panels()->Add();
  EXPECT_EQ(plain->ClassType(), TStatusPanel::StaticClass());
}
