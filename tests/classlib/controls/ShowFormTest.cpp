// A frameless form built from its form stream: panels, a label, an image and a small custom control that
// paints with the canvas and counts its clicks; rendered, probed and driven through synthetic input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Image.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Panel.h"
#include "classlib/core/Resources.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

// Paints a blue frame and a filled square, and counts the clicks it gets.
class TClickCounter : public TCustomControl {
  QUENDREL_CLASS(TClickCounter, TCustomControl)
 public:
  explicit TClickCounter(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 40;
    FHeight = 30;
    FTabStop = true;
  }
  int Clicks = 0;
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
    Canvas()->Pen()->SetColor(clBlue);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Rectangle(0, 0, Width(), Height());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(10, 10, 20, 20));
  }
  void Click() override {
    ++Clicks;
    Log.push_back("Click");
    TCustomControl::Click();
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    Log.push_back("MouseDown");
    TCustomControl::MouseDown(Button, Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    Log.push_back("MouseUp");
    TCustomControl::MouseUp(Button, Shift, X, Y);
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Log.push_back("KeyDown " + std::to_string(Key));
    TCustomControl::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    Log.push_back(std::string("KeyPress ") + Key);
    TCustomControl::KeyPress(Key);
  }
  void KeyUp(WORD& Key, TShiftState Shift) override {
    Log.push_back("KeyUp " + std::to_string(Key));
    TCustomControl::KeyUp(Key, Shift);
  }
  void CMMouseEnter(TMessage& Message) override {
    if (Message.LParam == 0) Log.push_back("MouseEnter");
    TCustomControl::CMMouseEnter(Message);
  }
};

QUENDREL_REGISTER_CLASS(TClickCounter, TCustomControl) {
  c.Creatable();
}

class TShowForm : public TForm {
  QUENDREL_CLASS(TShowForm, TForm)
 public:
  explicit TShowForm(TComponent* AOwner) : TForm(AOwner) { ReadFormResource(); }
  void FormKeyDown(TObject*, WORD& Key, TShiftState) { Log.push_back("FormKeyDown " + std::to_string(Key)); }
  void CounterClick(TObject*) { Log.push_back("OnClick"); }
};

QUENDREL_REGISTER_CLASS(TShowForm, TForm) {
  c.Method("FormKeyDown", &TShowForm::FormKeyDown);
  c.Method("CounterClick", &TShowForm::CounterClick);
}

const char FormText[] = R"(object ShowForm: TShowForm
  Left = 40
  Top = 30
  BorderStyle = bsNone
  Caption = 'Show'
  ClientWidth = 200
  ClientHeight = 150
  Color = clBtnFace
  KeyPreview = True
  OnKeyDown = FormKeyDown
  object PanelTop: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 40
    Align = alTop
    Caption = ''
    Color = clTeal
    object Title: TLabel
      Left = 8
      Top = 8
      Caption = 'Hello'
      Color = clYellow
    end
  end
  object PanelBody: TPanel
    Left = 0
    Top = 40
    Width = 200
    Height = 110
    Align = alClient
    BevelOuter = bvLowered
    Caption = ''
    Color = clSilver
    object Picture: TImage
      Left = 100
      Top = 10
      Width = 32
      Height = 32
      Stretch = True
    end
    object Counter: TClickCounter
      Left = 20
      Top = 20
      OnClick = CounterClick
    end
  end
end
)";

const bool Registered = [] {
  RegisterResource("TSHOWFORM", RT_RCDATA, reinterpret_cast<const uint8_t*>(FormText), sizeof(FormText) - 1);
  return true;
}();

class ShowFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
    Form = new TShowForm(nullptr); // freed in TearDown
    Form->AfterConstruction();
    Counter = dynamic_cast<TClickCounter*>(Form->FindComponent("Counter"));
    Picture = dynamic_cast<TImage*>(Form->FindComponent("Picture"));
    ASSERT_NE(Counter, nullptr);
    ASSERT_NE(Picture, nullptr);
    TBitmap bmp;
    bmp.SetSize(2, 2);
    bmp.Canvas()->SetPixels(0, 0, clGreen);
    bmp.Canvas()->SetPixels(1, 0, clBlack);
    bmp.Canvas()->SetPixels(0, 1, clBlack);
    bmp.Canvas()->SetPixels(1, 1, clGreen);
    Picture->Picture()->SetGraphic(&bmp);
    Form->Show();
    testsupport::Pump();
  }
  void TearDown() override { delete Form; }

  TShowForm* Form = nullptr;
  TClickCounter* Counter = nullptr;
  TImage* Picture = nullptr;
};

TEST_F(ShowFormTest, StreamBuildsTheLayout) {
  EXPECT_EQ(Form->ClientWidth(), 200);
  EXPECT_EQ(Form->ClientHeight(), 150);
  EXPECT_EQ(Form->Width(), 200); // frameless: no non-client area
  auto* body = dynamic_cast<TPanel*>(Form->FindComponent("PanelBody"));
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->BoundsRect(), Rect(0, 40, 200, 150));
  EXPECT_EQ(Counter->Parent(), body);
  auto* title = dynamic_cast<TLabel*>(Form->FindComponent("Title"));
  ASSERT_NE(title, nullptr);
  EXPECT_GT(title->Width(), 10); // sized to its text
}

TEST_F(ShowFormTest, RenderFollowsTheRasterRules) {
  const TSurface s = testsupport::Render(Form);
  testsupport::SavePng(s, "showform.png");
  ASSERT_EQ(s.Width(), 200);
  ASSERT_EQ(s.Height(), 150);
  using testsupport::PixelAt;
  // Raised bevel of the top panel: highlight on the top-left, shadow on the bottom-right edge.
  EXPECT_EQ(PixelAt(s, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(s, 199, 39), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(s, 150, 20), ColorToRGB(clTeal));
  // Lowered bevel of the body.
  EXPECT_EQ(PixelAt(s, 0, 40), ColorToRGB(clBtnShadow));
  EXPECT_EQ(PixelAt(s, 199, 149), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(s, 180, 130), ColorToRGB(clSilver));
  // The counter at (20, 20) of the body: Rectangle stays inside its bounds, FillRect leaves out its right and
  // bottom edges.
  const int cx = 20, cy = 40 + 20;
  EXPECT_EQ(PixelAt(s, cx, cy), clBlue);
  EXPECT_EQ(PixelAt(s, cx + 39, cy + 29), clBlue);
  EXPECT_EQ(PixelAt(s, cx + 40, cy + 29), ColorToRGB(clSilver));
  EXPECT_EQ(PixelAt(s, cx + 10, cy + 10), clRed);
  EXPECT_EQ(PixelAt(s, cx + 19, cy + 19), clRed);
  EXPECT_EQ(PixelAt(s, cx + 20, cy + 20), clWhite);
  // The image, stretched nearest-neighbour from 2 x 2 to 32 x 32.
  EXPECT_EQ(PixelAt(s, 100, 50), clGreen);
  EXPECT_EQ(PixelAt(s, 115, 65), clGreen);
  EXPECT_EQ(PixelAt(s, 116, 50), clBlack);
  EXPECT_EQ(PixelAt(s, 131, 81), clGreen);
  // The label paints its colour behind its text.
  EXPECT_EQ(PixelAt(s, 8, 8), clYellow);
}

TEST_F(ShowFormTest, ClicksAndKeysArriveInOrder) {
  testsupport::Click(Counter, 5, 5);
  EXPECT_EQ(Counter->Clicks, 1);
  const std::vector<std::string> mouse{"MouseEnter", "MouseDown", "Click", "OnClick", "MouseUp"};
  EXPECT_EQ(Log, mouse);

  Log.clear();
  Counter->SetFocus();
  testsupport::Pump();
  ASSERT_TRUE(Counter->Focused());
  testsupport::Type("a");
  const std::vector<std::string> keys{"FormKeyDown 65", "KeyDown 65", "KeyPress a", "KeyUp 65"};
  EXPECT_EQ(Log, keys);
}

TEST_F(ShowFormTest, RepaintAfterChangeShowsTheNewColour) {
  auto* top = dynamic_cast<TPanel*>(Form->FindComponent("PanelTop"));
  top->SetColor(clNavy);
  TSurface s = testsupport::Render(Form);
  EXPECT_EQ(testsupport::PixelAt(s, 150, 20), clNavy);
}

} // namespace

namespace {

// Shows the form as a real window on a desktop and photographs the screen, when asked to:
//   xvfb-run -a env QT_QPA_PLATFORM=xcb QUENDREL_SCREENSHOT=shot.png ./test_classlib_controls
//   --gtest_filter=*RealWindow*
TEST_F(ShowFormTest, RealWindowScreenshot) {
  const char* shot = std::getenv("QUENDREL_SCREENSHOT");
  if (!shot || backend::IsOffscreen()) GTEST_SKIP() << "needs a desktop and QUENDREL_SCREENSHOT";
  HRGN rgn = CreateRoundRectRgn(0, 0, 201, 151, 24, 24);
  SetWindowRgn(Form->Handle(), rgn, 1);
  testsupport::Click(Counter, 5, 5);
  // Let the desktop map and draw the window.
  for (int i = 0; i < 50; ++i) {
    Application->ProcessMessages();
    backend::ProcessEvents(20);
  }
  const std::string command = std::string("import -window root '") + testsupport::OutputPath(shot) + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

} // namespace
