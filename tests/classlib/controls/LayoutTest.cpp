// Layout: alignment in its order with margins, anchors, size constraints, the non-client border width, panel
// bevels, parent colour and font, and what hiding and re-parenting do to the layout.
#include <gtest/gtest.h>

#include "classlib/controls/Application.h"
#include "classlib/controls/Bevel.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Panel.h"
#include "tests/support/TestSupport.h"

namespace {

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 400, 300);
  }
  TPanel* Add(TWinControl* Parent, TAlign Align, int W, int H, int L = 0, int T = 0) {
    auto* p = new TPanel(Form.get()); // owned by the form
    p->SetParent(Parent);
    p->SetBounds(L, T, W, H);
    p->SetAlign(Align);
    return p;
  }
  std::unique_ptr<TForm> Form;
};

TEST_F(LayoutTest, AlignedControlsTakeTheirSidesInOrder) {
  TPanel* top1 = Add(Form.get(), alTop, 10, 30);
  TPanel* bottom = Add(Form.get(), alBottom, 10, 20);
  TPanel* left = Add(Form.get(), alLeft, 50, 10);
  TPanel* right = Add(Form.get(), alRight, 60, 10);
  TPanel* client = Add(Form.get(), alClient, 1, 1);
  // A second top panel placed below the first keeps its place under it.
  TPanel* top2 = Add(Form.get(), alTop, 10, 25, 0, 100);
  EXPECT_EQ(top1->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 30, 400, 55));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 400, 300));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 55, 50, 280));
  EXPECT_EQ(right->BoundsRect(), Rect(340, 55, 400, 280));
  EXPECT_EQ(client->BoundsRect(), Rect(50, 55, 340, 280));
  // Moving the second top panel above the first swaps them.
  top2->SetTop(0);
  EXPECT_EQ(top2->BoundsRect(), Rect(0, 0, 400, 25));
  EXPECT_EQ(top1->BoundsRect(), Rect(0, 25, 400, 55));
  // Hidden controls leave the layout; resizing the parent lays out again.
  top1->Hide();
  EXPECT_EQ(client->BoundsRect(), Rect(50, 25, 340, 280));
  Form->SetBounds(0, 0, 500, 400);
  EXPECT_EQ(client->BoundsRect(), Rect(50, 25, 440, 380));
}

TEST_F(LayoutTest, MarginsKeepSpaceAroundAlignedControls) {
  TPanel* top = Add(Form.get(), alTop, 10, 28);
  top->SetAlignWithMargins(true);
  TPanel* client = Add(Form.get(), alClient, 1, 1);
  client->SetAlignWithMargins(true);
  client->Margins()->SetMargins(5, 6, 7, 8);
  EXPECT_EQ(top->BoundsRect(), Rect(3, 3, 397, 31));
  EXPECT_EQ(client->BoundsRect(), Rect(5, 34 + 6, 393, 292));
  client->SetAlignWithMargins(false);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 34, 400, 300));
}

TEST_F(LayoutTest, AnchorsKeepDistancesToTheRightAndBottom) {
  TPanel* stretch = Add(Form.get(), alNone, 100, 50, 10, 10);
  stretch->SetAnchors({akLeft, akTop, akRight});
  TPanel* corner = Add(Form.get(), alNone, 40, 30, 350, 260);
  corner->SetAnchors({akRight, akBottom});
  TPanel* fixed = Add(Form.get(), alNone, 40, 30, 20, 200);
  Form->SetBounds(0, 0, 500, 350);
  EXPECT_EQ(stretch->BoundsRect(), Rect(10, 10, 210, 60));
  EXPECT_EQ(corner->BoundsRect(), Rect(450, 310, 490, 340));
  EXPECT_EQ(fixed->BoundsRect(), Rect(20, 200, 60, 230));
  // Moving an anchored control by hand sets its new distances.
  corner->SetLeft(400);
  Form->SetBounds(0, 0, 450, 350);
  EXPECT_EQ(corner->Left(), 350);
}

TEST_F(LayoutTest, ConstraintsLimitEverySize) {
  TPanel* p = Add(Form.get(), alNone, 100, 100, 0, 0);
  p->Constraints()->SetMinWidth(50);
  p->Constraints()->SetMaxHeight(80);
  EXPECT_EQ(p->Height(), 80); // taken at once
  p->SetWidth(10);
  EXPECT_EQ(p->Width(), 50);
  p->SetHeight(500);
  EXPECT_EQ(p->Height(), 80);
  // Also aligned: an alClient panel cannot grow beyond its limits.
  p->SetAlign(alClient);
  EXPECT_EQ(p->Height(), 80);
  EXPECT_EQ(p->Width(), 400);
  int calls = 0;
  p->OnCanResize = [&](TObject*, int& W, int&, bool& Resize) {
    ++calls;
    Resize = W != 123;
  };
  p->SetAlign(alNone);
  p->SetWidth(123);
  EXPECT_NE(p->Width(), 123);
  EXPECT_GT(calls, 0);
}

TEST_F(LayoutTest, BorderWidthIsNonClientAndBevelsNarrowTheClient) {
  Form->Show();
  testsupport::Pump();
  TPanel* outer = Add(Form.get(), alNone, 200, 100, 10, 10);
  outer->SetBevelOuter(bvNone);
  static_cast<TWinControl*>(outer)->SetBorderWidth(0);
  TPanel* inner = Add(outer, alClient, 1, 1);
  EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 200, 100));
  // The panel's own border band and bevels are inside its client area.
  outer->SetBevelOuter(bvRaised);
  outer->SetBevelInner(bvLowered);
  outer->SetBorderWidth(3);
  EXPECT_EQ(inner->BoundsRect(), Rect(5, 5, 195, 95));
  EXPECT_EQ(outer->ClientWidth(), 200);

  // A plain windowed control's border width is a non-client band in its colour.
  auto* box = new TCustomControl(Form.get()); // owned by the form
  box->SetParent(Form.get());
  box->SetBounds(250, 10, 100, 60);
  box->SetColor(clRed);
  box->TWinControl::SetBorderWidth(4);
  EXPECT_EQ(box->ClientWidth(), 92);
  EXPECT_EQ(box->ClientHeight(), 52);
  const TSurface s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 250, 10), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 253, 13), clRed);
  TPoint origin = box->ClientOrigin();
  EXPECT_EQ(origin, Point(254, 14));
}

TEST_F(LayoutTest, ParentColourAndFontFlowToChildrenUntilSet) {
  TPanel* p = Add(Form.get(), alNone, 100, 100);
  auto* label = new TLabel(Form.get()); // owned by the form
  label->SetParent(p);
  label->SetParentColor(true);
  p->SetColor(clNavy);
  EXPECT_EQ(label->Color(), clNavy);
  p->Font()->SetName("Verdana");
  p->Font()->SetSize(12);
  EXPECT_EQ(label->Font()->Name(), "Verdana");
  EXPECT_EQ(label->Font()->Size(), 12);
  EXPECT_TRUE(label->ParentFont());
  label->Font()->SetSize(9);
  EXPECT_FALSE(label->ParentFont());
  p->Font()->SetSize(14);
  EXPECT_EQ(label->Font()->Size(), 9);
  label->SetColor(clRed);
  p->SetColor(clGreen);
  EXPECT_EQ(label->Color(), clRed);
  // A label sizes itself to its text and keeps its right edge when right-justified.
  label->SetAutoSize(true);
  label->SetCaption("W");
  const int narrow = label->Width();
  label->SetCaption("WWWW");
  EXPECT_GT(label->Width(), narrow);
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("W");
  EXPECT_EQ(label->Left() + label->Width(), right);
}

TEST_F(LayoutTest, ReparentingMakesTheWindowUnderTheNewParentAndKeepsTheBounds) {
  Form->Show();
  testsupport::Pump();
  TPanel* a = Add(Form.get(), alNone, 150, 150, 0, 0);
  TPanel* b = Add(Form.get(), alNone, 150, 150, 200, 0);
  TPanel* child = Add(a, alNone, 40, 40, 10, 10);
  child->HandleNeeded();
  child->SetParent(b);
  EXPECT_EQ(child->Parent(), b);
  // The window is made again under the new parent's window.
  EXPECT_EQ(GetParent(child->Handle()), b->Handle());
  EXPECT_TRUE(IsWindowVisible(child->Handle()));
  EXPECT_EQ(a->ControlCount(), 0);
  EXPECT_EQ(child->ClientOrigin(), Point(210, 10));
  // Deleting a parent frees its children, whoever owns them.
  int children = Form->ComponentCount();
  delete b; // owned by the form
  EXPECT_EQ(Form->ComponentCount(), children - 2);
}

TEST_F(LayoutTest, BevelShapesPaintTheirEdges) {
  Form->SetColor(clWhite);
  auto* bevel = new TBevel(Form.get()); // owned by the form
  bevel->SetParent(Form.get());
  bevel->SetBounds(10, 10, 20, 10);
  Form->Show();
  TSurface s = testsupport::Render(Form.get());
  const TColor shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
  EXPECT_EQ(testsupport::PixelAt(s, 10, 10), shadow);
  EXPECT_EQ(testsupport::PixelAt(s, 29, 19), light);
  EXPECT_EQ(testsupport::PixelAt(s, 15, 15), clWhite);
  bevel->SetShape(bsTopLine);
  bevel->SetStyle(bsRaised);
  s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 10, 10), light);
  EXPECT_EQ(testsupport::PixelAt(s, 10, 11), shadow);
  EXPECT_EQ(testsupport::PixelAt(s, 10, 19), clWhite);
}

} // namespace
