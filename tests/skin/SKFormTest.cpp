// The skinned frame: what it does to its form (caption style, window procedure, non-client size, region,
// maximizing to the work area), the border it paints in each style and from a theme file's pictures, the
// keys it hooks, theme re-application, and giving the form back.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Filer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Region.h"
#include "skin/SKForm.h"
#include "skin/SKFramePaint.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKThemeFile.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;
using testsupport::Render;

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordedMessageBoxes.clear();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 60, 400, 300);
    form->SetCaption("Frame");
    frame = new TskForm(form.get());
    frame->SetParent(form.get());
    form->Show();
    testsupport::Pump();
  }
  void TearDown() override { form.reset(); }

  HWND Wnd() { return form->Handle(); }
  TRect Client() { return Wnd()->Client; }
  TSurface Window() { return Render(form.get()); }
  TskTitleBarButton* Button(TskTitleBarBtnType type) {
    TskTitleBarButtons* buttons = frame->TitleBarButtons();
    for (int i = 0; i < buttons->Count(); ++i)
      if (buttons->Items(i)->ButtonType() == type) return buttons->Items(i);
    return nullptr;
  }
  // A point of a caption button, in title-bar coordinates.
  TPoint ButtonPoint(TskTitleBarBtnType type) {
    const TRect r = frame->TitleBar()->ButtonRects(frame->TitleBar()->Width())[Button(type)->Index()];
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  std::unique_ptr<TForm> form;
  TskForm* frame = nullptr;
};

// A theme file with the given integer items and, optionally, border pictures.
AnsiString WriteTheme(const skintest::TempDir& dir, const std::string& name,
                      std::initializer_list<std::pair<const char*, int32_t>> ints, TBitmap* left = nullptr,
                      TBitmap* bottom = nullptr) {
  const AnsiString file = dir.File(name);
  TskThemeFileWriter writer(file);
  for (const auto& [key, value] : ints) writer.AddInteger(key, value);
  auto add = [&](const char* key, TBitmap* picture) {
    if (!picture) return;
    const AnsiString bmp = dir.File(std::string(key) + ".bmp");
    picture->SaveToFile(bmp);
    writer.AddFile(key, bmp);
  };
  add("FormLeftBorderImage", left);
  add("FormBottomBorderImage", bottom);
  writer.Save();
  return file;
}

} // namespace

TEST_F(Frame, TakesTheCaptionAndSizesTheClientArea) {
  EXPECT_EQ(GetWindowLong(Wnd(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(frame->Align(), alClient);
  EXPECT_EQ(frame->Caption(), "Frame");
  frame->SetCaption("Renamed");
  EXPECT_EQ(form->Caption(), "Renamed");
  EXPECT_EQ(frame->GetTitleBarHeight(), frame->TitleBar()->Height());
  EXPECT_EQ(frame->TitleBar()->Top(), 0);
  EXPECT_EQ(SendMessage(Wnd(), SKM_SIDEBORDERWIDTH, 0, 0), 0);
  EXPECT_EQ(GetOrdProp(frame, "TitleBarVisible"), 1);
  EXPECT_EQ(GetStrProp(frame, "Version"), "5.84");

  // The sizing frame is 3 pixels; the top is never moved and the bottom by BorderWidth.
  const int h = form->Height();
  EXPECT_EQ(Client(), (TRect{3, 3, form->Width() - 3, h + 1 - 3}));
  frame->SetBorderWidth(2);
  frame->ReAssign();
  SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0, 0x37);
  EXPECT_EQ(Client().Bottom, h - 3);
  frame->SetBorderWidth(3);
  SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0, 0x37);
  EXPECT_EQ(Client().Bottom, h - 3);
  frame->SetBorderWidth(4);
  SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0, 0x37);
  EXPECT_EQ(Client().Bottom, h - 5);

  frame->SetTitleBarVisible(false);
  EXPECT_EQ(frame->GetTitleBarHeight(), 0);
}

TEST_F(Frame, OnlyTheFirstFrameOfAFormActs) {
  auto* second = new TskForm(form.get());
  second->SetParent(form.get());
  EXPECT_EQ(second->TitleBar(), nullptr);
  EXPECT_EQ(second->GetTitleBarHeight(), 0);
  TComponent owner(nullptr);
  TskForm loose(&owner);
  EXPECT_EQ(loose.TitleBar(), nullptr);
  loose.SetUIStyle(MacOS);
  EXPECT_EQ(loose.UIStyle(), MacOS);

  // A bordered dialog keeps a frame to size; a plain one becomes a dialog.
  TForm single(nullptr);
  single.SetBorderStyle(bsSingle);
  TskForm singleFrame(&single);
  EXPECT_EQ(single.BorderStyle(), bsDialog);
}

// Frames owned by a form but not among its children: the second must not chain onto the first (each would
// put back the other's window procedure, a freed one), and a frame left over after the form's window part
// has gone must not touch it. The sanitizer build reads freed memory without this.
TEST(FrameElsewhere, OnlyOneTakesTheFormAndNoneTouchesItsWindowOnceItHasGone) {
  // Each form's own window procedure holds a token. Once the form has gone nothing may hold it any more: a
  // frame that put it back into what is left of the form would leave it there, never freed.
  auto token = std::make_shared<int>(0);
  auto withToken = [&token](TForm* form) {
    TWndMethod own = form->WindowProc;
    form->WindowProc = [own, token](TMessage& m) { own(m); };
  };
  auto owner = std::make_unique<TForm>(nullptr);
  withToken(owner.get());
  auto* holder = new TForm(owner.get()); // owned by owner
  holder->SetParent(owner.get());
  auto* first = new TskForm(owner.get()); // owned by owner, placed on holder
  first->SetParent(holder);
  auto* second = new TskForm(owner.get());
  second->SetParent(first);
  EXPECT_NE(first->TitleBar(), nullptr);
  EXPECT_EQ(second->TitleBar(), nullptr);
  owner->Show();
  testsupport::Pump();
  // The form's messages pass through the first frame alone: a second frame would have answered as well.
  EXPECT_EQ(GetWindowLong(owner->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(token.use_count(), 2) << "the first frame keeps the form's procedure to pass messages on";
  owner.reset();
  EXPECT_EQ(token.use_count(), 1);

  auto form = std::make_unique<TForm>(nullptr);
  withToken(form.get());
  auto* loose = new TskForm(form.get()); // owned by the form, placed nowhere
  EXPECT_NE(loose->TitleBar(), nullptr);
  EXPECT_EQ(token.use_count(), 2);
  form.reset();
  EXPECT_EQ(token.use_count(), 1);

  // A form whose window went before it: nothing tells the frame until only the form's component part is left.
  form = std::make_unique<TForm>(nullptr);
  withToken(form.get());
  loose = new TskForm(form.get()); // owned by the form, placed nowhere
  EXPECT_NE(loose->TitleBar(), nullptr);
  form->DestroyHandle();
  EXPECT_EQ(token.use_count(), 2);
  form.reset();
  EXPECT_EQ(token.use_count(), 1);
}

// A minimized frame leaves WM_NCPAINT to the procedure it replaced; otherwise it paints the border itself and
// the message goes no further.
TEST(FrameMinimized, LeavesTheBorderToThePreviousProcedure) {
  int ncPaints = 0; // outlives the form, whose procedure counts
  TForm form(nullptr);
  form.SetBounds(50, 60, 400, 300);
  TWndMethod own = form.WindowProc;
  form.WindowProc = [&ncPaints, own](TMessage& m) {
    if (m.Msg == WM_NCPAINT) ++ncPaints;
    own(m);
  };
  auto* frame = new TskForm(&form); // owned by the form
  frame->SetParent(&form);
  form.Show();
  testsupport::Pump();
  ncPaints = 0;
  SendMessage(form.Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(ncPaints, 0);
  form.SetWindowState(wsMinimized);
  testsupport::Pump();
  ncPaints = 0;
  SendMessage(form.Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(ncPaints, 1);
  form.SetWindowState(wsNormal);
  testsupport::Pump();
  ncPaints = 0;
  SendMessage(form.Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(ncPaints, 0);
}

TEST_F(Frame, GivesTheFormBackWhenItGoes) {
  delete frame;
  EXPECT_NE(GetWindowLong(Wnd(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(SendMessage(Wnd(), SKM_SIDEBORDERWIDTH, 0, 0), 0);
  SetWindowPos(Wnd(), nullptr, 0, 0, 0, 0, 0x37);
  EXPECT_GT(Client().Top, 3); // the native caption is back
}

TEST_F(Frame, ASubclassInstalledAfterTheFrameSeesWhatTheFrameAnswers) {
  HWND h = Wnd();
  std::vector<UINT> seen;
  const WNDPROC old = static_cast<WNDPROC>(GetWindowLong(h, GWL_WNDPROC));
  const WNDPROC mine = MakeObjectInstance([&](TMessage& m) {
    seen.push_back(m.Msg);
    m.Result = CallWindowProc(old, h, m.Msg, m.WParam, m.LParam);
  });
  SetWindowLong(h, GWL_WNDPROC, mine);
  // Beneath the subclass the frame still answers the side-border query and sizes the client area.
  skintest::TempDir dir;
  TBitmap left;
  left.SetSize(8, 20);
  auto* theme = new TskFileTheme(form.get()); // owned by the form
  theme->SetThemeFile(WriteTheme(dir, "side.skn", {{"FormBorderWidthInt", 1}}, &left));
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);
  EXPECT_EQ(SendMessage(h, SKM_SIDEBORDERWIDTH, 0, 0), 8);
  form->SetBounds(50, 60, 420, 320);
  EXPECT_EQ(Client().Left, 3 + 8 - 2);
  EXPECT_EQ(Client().Right, 420 - 3 - 8 + 2);
  for (UINT m : {SKM_SIDEBORDERWIDTH, WM_NCCALCSIZE, WM_SIZE})
    EXPECT_NE(std::find(seen.begin(), seen.end(), m), seen.end()) << m;
  SetWindowLong(h, GWL_WNDPROC, old);
  FreeObjectInstance(mine);
  // The frame goes under it as well and gives the caption back.
  delete frame;
  EXPECT_EQ(SendMessage(h, SKM_SIDEBORDERWIDTH, 0, 0), 0);
}

TEST_F(Frame, PaintsEachStylesBorder) {
  const int w = form->Width(), h = form->Height();
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    frame->SetUIStyle(style);
    const TSurface s = Window();
    testsupport::SavePng(s, AnsiString("frame-style-") + TskUIStyleNames.NameOf(style) + ".png");
    const TColor border = GetInsideThemeColor(style, 16), back = GetInsideThemeColor(style, 15);
    const int bw = GetInsideThemeInt(style, 17);
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    EXPECT_EQ(PixelAt(s, 0, h / 2), border);
    EXPECT_EQ(PixelAt(s, w - 1, h / 2), border);
    EXPECT_EQ(PixelAt(s, w / 2, h - 1), border);
    if (bw < 3) {
      EXPECT_EQ(PixelAt(s, bw, h / 2), back);
      EXPECT_EQ(PixelAt(s, w - 1 - bw, h / 2), back);
    }
    // The client background: the panel colour, or the style's tile.
    if (style == MacOS || style == Protein) {
      TBitmap tile;
      tile.LoadFromResourceName(0, style == MacOS ? "MACOS_FORM_BACKGROUND" : "PROTEIN_FORM_BACKGROUND");
      const TPoint origin = frame->ClientToScreen({0, 0});
      const TPoint at = frame->ScreenToClient({origin.X + 100, origin.Y + 200});
      const TPoint win{at.X + Client().Left, at.Y + Client().Top};
      EXPECT_EQ(PixelAt(s, win.X, win.Y), tile.Canvas()->Pixels(at.X % tile.Width(), at.Y % tile.Height()));
    } else {
      EXPECT_EQ(PixelAt(s, w / 2, h - 20), back);
    }
    // The top row continues the caption's middle picture.
    TBitmap* centre = nullptr;
    frame->TitleBar()->GetCenterImage(centre);
    EXPECT_EQ(PixelAt(s, w / 2, 0), centre->Canvas()->Pixels(0, 0));
  }
}

TEST_F(Frame, RoundsTheUpperCornersByTheTheme) {
  frame->SetUIStyle(BlueGlass);
  const TRegion* shape = Wnd()->Shape.get();
  ASSERT_NE(shape, nullptr);
  const int w = form->Width(), h = form->Height();
  EXPECT_FALSE(shape->Contains(0, 0));
  EXPECT_FALSE(shape->Contains(w - 1, 0));
  EXPECT_TRUE(shape->Contains(w / 2, 0));
  EXPECT_TRUE(shape->Contains(0, h - 1));
  EXPECT_TRUE(shape->Contains(w - 1, h - 1));
  // The arcs outline the corners in the border colour, over the caption's continuation; inside them the
  // continuation shows. Only a one-pixel border with corners of 11 gets them.
  const TColor border = GetInsideThemeColor(BlueGlass, 16);
  const TSurface s = Window();
  testsupport::SavePng(s, "frame-arcs-BlueGlass.png");
  for (const TPoint& p : {TPoint{2, 2}, TPoint{3, 1}, TPoint{1, 3}, TPoint{5, 0}, TPoint{w - 3, 2},
                          TPoint{w - 4, 1}, TPoint{w - 2, 3}, TPoint{w - 6, 0}})
    EXPECT_EQ(PixelAt(s, p.X, p.Y), border) << p.X << "," << p.Y;
  EXPECT_NE(PixelAt(s, 3, 3), border);
  EXPECT_NE(PixelAt(s, w - 4, 3), border);
  frame->SetRoundCorner(12);
  frame->PaintFormBorder();
  const TSurface plain = Window();
  EXPECT_NE(PixelAt(plain, 2, 2), border);
  EXPECT_NE(PixelAt(plain, w - 3, 2), border);
  frame->SetRoundCorner(11);

  frame->SetTitleBarVisible(false);
  EXPECT_EQ(frame->RoundCorner(), 0);
  frame->RegionWindow();
  EXPECT_TRUE(Wnd()->Shape->Contains(0, 0));
  const TSurface hidden = Window();
  EXPECT_EQ(PixelAt(hidden, w / 2, 0), GetInsideThemeColor(BlueGlass, 16));
  EXPECT_EQ(PixelAt(hidden, w / 2, 2), GetInsideThemeColor(BlueGlass, 15));
}

TEST_F(Frame, CaptionButtonsMaximizeRestoreMinimizeAndClose) {
  TskTitleBar* bar = frame->TitleBar();
  const TRect normal = form->BoundsRect();
  TPoint p = ButtonPoint(skMax);
  testsupport::Click(bar, p.X, p.Y);
  EXPECT_EQ(form->WindowState(), wsMaximized);
  const TRect work = GetWorkAreaRect();
  EXPECT_EQ(form->BoundsRect(), (TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1}));
  p = ButtonPoint(skMax);
  testsupport::Click(bar, p.X, p.Y);
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(form->BoundsRect(), normal);

  p = ButtonPoint(skMin);
  testsupport::Click(bar, p.X, p.Y);
  EXPECT_EQ(form->WindowState(), wsMinimized);
  form->SetWindowState(wsNormal);

  int closes = 0;
  form->OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    action = caHide;
  };
  p = ButtonPoint(skClose);
  testsupport::Click(bar, p.X, p.Y);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form->Visible());
}

TEST_F(Frame, AltSpaceOpensEveryFramesSystemMenu) {
  TForm other(nullptr);
  auto* otherFrame = new TskForm(&other);
  otherFrame->SetParent(&other);
  int popups = 0;
  auto count = [&](TObject*) {
    ++popups;
    backend::KeyEvent esc;
    esc.VirtualKey = VK_ESCAPE;
    InjectKey(esc);
  };
  frame->TitleBar()->SystemMenu()->OnPopup = count;
  otherFrame->TitleBar()->SystemMenu()->OnPopup = count;
  form->SetFocus();
  testsupport::PressKey(' ', backend::ModAlt, " ");
  EXPECT_EQ(popups, 2);
}

namespace {

// Two skinned windows, the first the application's main form, each with a menu whose item answers F2.
class FrameKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->CreateForm(main);
    main->SetBounds(100, 80, 320, 220);
    mainFrame = AddFrame(main, mainRuns);
    other = std::make_unique<TForm>(nullptr);
    other->SetBounds(480, 300, 320, 220);
    otherFrame = AddFrame(other.get(), otherRuns);
    main->Show();
    other->Show();
    testsupport::Pump();
  }
  void TearDown() override {
    OnMenuLoopIdle = nullptr;
    other.reset();
    delete main; // owned by the application
  }
  static TskForm* AddFrame(TForm* form, int& runs) {
    auto* frame = new TskForm(form); // owned by the form
    frame->SetParent(form);
    auto* menu = new TMainMenu(form); // owned by the form
    auto* file = new TMenuItem(menu); // owned by the menu
    file->SetCaption("&File");
    menu->Items()->Add(file);
    auto* item = new TMenuItem(menu); // owned by the menu
    item->SetCaption("&New");
    item->SetShortCut(ShortCut(VK_F2, {}));
    item->OnClick = [&runs](TObject*) { ++runs; };
    file->Add(item);
    frame->SetMenu(menu);
    return frame;
  }
  void Focus(TForm* form) {
    form->SetFocus();
    testsupport::Pump();
    ASSERT_TRUE(form->Active());
  }

  TForm* main = nullptr;
  std::unique_ptr<TForm> other;
  TskForm* mainFrame = nullptr;
  TskForm* otherFrame = nullptr;
  int mainRuns = 0;
  int otherRuns = 0;
};

} // namespace

// Every frame hears every key; only the frame of the active form, in the application that has the focus, runs
// a short-cut of its menu.
TEST_F(FrameKeys, OnlyTheActiveFormsFrameRunsAShortCut) {
  Focus(other.get());
  testsupport::PressKey(VK_F2);
  EXPECT_EQ(otherRuns, 1);
  EXPECT_EQ(mainRuns, 0) << "the main form is not the active one";
  Focus(main);
  testsupport::PressKey(VK_F2);
  EXPECT_EQ(mainRuns, 1);
  EXPECT_EQ(otherRuns, 1);

  // An application in the background: its active form keeps its flag, but no frame takes the key.
  TMessage key{WM_KEYDOWN, VK_F2, 0, 0};
  Application->SetActive(false);
  for (TskForm* frame : {mainFrame, otherFrame}) {
    frame->ProcessKeyPress(key);
    EXPECT_EQ(key.Result, 0);
  }
  Application->SetActive(true);
  mainFrame->ProcessKeyPress(key);
  EXPECT_EQ(key.Result, 1);
  EXPECT_EQ(mainRuns, 2);
  otherFrame->ProcessKeyPress(key);
  EXPECT_EQ(key.Result, 0);
  EXPECT_EQ(otherRuns, 1);
}

// Alt+Space, whichever window has the focus: every frame opens its own system menu, each at the main form's
// corner just below its caption bar, and takes the key.
TEST_F(FrameKeys, AltSpaceOpensEachFramesOwnMenuAtTheMainFormsCorner) {
  Focus(other.get());
  TObject* opening = nullptr;
  std::vector<std::pair<TObject*, TPoint>> shown;
  for (TskForm* frame : {mainFrame, otherFrame})
    frame->TitleBar()->SystemMenu()->OnPopup = [&](TObject* Sender) { opening = Sender; };
  OnMenuLoopIdle = [&] {
    const std::vector<TWinControl*> levels = MenuPopupWindows();
    if (!opening || levels.empty()) return;
    shown.emplace_back(opening, TPoint{levels[0]->Left(), levels[0]->Top()});
    opening = nullptr;
    testsupport::QueueKey(VK_ESCAPE);
  };
  testsupport::PressKey(' ', backend::ModAlt, " ");
  ASSERT_EQ(shown.size(), 2u);
  TObject* mainMenu = mainFrame->TitleBar()->SystemMenu();
  TObject* otherMenu = otherFrame->TitleBar()->SystemMenu();
  EXPECT_TRUE((shown[0].first == mainMenu && shown[1].first == otherMenu) ||
              (shown[0].first == otherMenu && shown[1].first == mainMenu));
  const TPoint corner{main->Left(), main->Top() + mainFrame->TitleBar()->Height()};
  EXPECT_EQ(shown[0].second, corner);
  EXPECT_EQ(shown[1].second, corner);

  tagMSG msg{};
  msg.message = WM_SYSCHAR;
  msg.wParam = ' ';
  bool handled = false;
  otherFrame->OnApplicationMessage(msg, handled);
  EXPECT_TRUE(handled);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].first, otherMenu);
  // Another key is left to the rest of the program.
  msg.message = WM_KEYDOWN;
  msg.wParam = 'Q';
  handled = false;
  otherFrame->OnApplicationMessage(msg, handled);
  EXPECT_FALSE(handled);
}

TEST_F(Frame, AShortCutRunsItsItemOnce) {
  auto* menu = new TMainMenu(form.get());
  auto* file = new TMenuItem(menu);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* item = new TMenuItem(menu);
  item->SetCaption("&New");
  item->SetShortCut(ShortCut('N', {ssCtrl}));
  int runs = 0;
  item->OnClick = [&](TObject*) { ++runs; };
  file->Add(item);
  frame->SetMenu(menu);
  form->SetFocus();
  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(runs, 1);
  item->SetEnabled(false);
  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(runs, 1);
}

TEST_F(Frame, ATitleBarVisibilityThatDoesNotChangeRepaintsNothing) {
  Window();
  HWND w = Wnd();
  const int h = form->Height();
  auto mark = [&] {
    HDC dc = GetWindowDC(w);
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Brush()->SetColor(0x00FF00);
    canvas.FillRect({0, 0, 3, h});
    canvas.SetHandle(nullptr);
    ReleaseDC(w, dc);
  };
  mark();
  frame->SetTitleBarVisible(true);
  EXPECT_EQ(PixelAt(w->Surface, 0, h / 2), 0x00FF00);
  frame->SetTitleBarVisible(false);
  EXPECT_EQ(PixelAt(w->Surface, 0, h / 2), frame->BorderColor());
  mark();
  frame->SetTitleBarVisible(false);
  EXPECT_EQ(PixelAt(w->Surface, 0, h / 2), 0x00FF00);
}

TEST_F(Frame, ReappliesAThemeFileReloadedUnderTheSameReference) {
  skintest::TempDir dir;
  auto* theme = new TskFileTheme(form.get());
  theme->SetThemeFile(
      WriteTheme(dir, "a.skn", {{"FormBackgroundColor", 0x112233}, {"FormBorderColor", 0x0000FF}}));
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);
  EXPECT_EQ(frame->Color(), 0x112233);
  EXPECT_EQ(frame->BorderColor(), 0x0000FF);
  // A theme without the sizes: no negative border, corners or client area.
  EXPECT_EQ(frame->BorderWidth(), 0);
  EXPECT_EQ(frame->RoundCorner(), 0);
  EXPECT_EQ(frame->RoundCornerBottom(), 0);
  EXPECT_EQ(Client().Bottom, form->Height() + 2 - 3);
  Window();

  theme->SetThemeFile(
      WriteTheme(dir, "b.skn", {{"FormBackgroundColor", 0x445566}, {"FormBorderWidthInt", 2}}));
  EXPECT_EQ(frame->Color(), 0x445566);
  EXPECT_EQ(frame->BorderWidth(), 2);

  delete theme;
  EXPECT_EQ(frame->FileTheme(), nullptr);
  EXPECT_EQ(frame->UIStyle(), DeepBlue);
  EXPECT_EQ(frame->Color(), GetInsideThemeColor(DeepBlue, 15));
}

TEST_F(Frame, PaintsAThemesBorderPictures) {
  skintest::TempDir dir;
  TBitmap left, bottom;
  left.SetSize(8, 40);
  left.Canvas()->Brush()->SetColor(0x00AA00);
  left.Canvas()->FillRect({0, 0, 8, 40});
  left.Canvas()->Brush()->SetColor(0x0000AA);
  left.Canvas()->FillRect({0, 0, 1, 40}); // the outer column, which the right border shows turned
  bottom.SetSize(30, 6);
  bottom.Canvas()->Brush()->SetColor(0xAA0000);
  bottom.Canvas()->FillRect({0, 0, 30, 6});
  auto* theme = new TskFileTheme(form.get());
  theme->SetThemeFile(WriteTheme(
      dir, "pictures.skn", {{"FormBorderWidthInt", 1}, {"FormBackgroundColor", 0xDDDDDD}}, &left, &bottom));
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);

  EXPECT_EQ(frame->SideBorderWidth(), 8);
  EXPECT_EQ(SendMessage(Wnd(), SKM_SIDEBORDERWIDTH, 0, 0), 8);
  const int w = form->Width(), h = form->Height();
  // The side pictures move the edges 6 pixels in (before the 3-pixel sizing frame).
  EXPECT_EQ(Client().Left, 6 + 3);
  EXPECT_EQ(Client().Right, w - 6 - 3);
  EXPECT_EQ(Client().Bottom, h - 6 + 2 - 3);

  const TSurface s = Window();
  testsupport::SavePng(s, "frame-border-pictures.png");
  EXPECT_EQ(PixelAt(s, 0, h / 2), 0x0000AA);
  EXPECT_EQ(PixelAt(s, 4, h / 2), 0x00AA00);
  EXPECT_EQ(PixelAt(s, w - 1, h / 2), 0x0000AA);   // turned by 180 degrees
  EXPECT_EQ(PixelAt(s, 8, h / 2), frame->Color()); // the line inside the picture
  EXPECT_EQ(PixelAt(s, w / 2, h - 2), 0xAA0000);

  // Read back, the form gets the same client area inside the same picture border.
  form->SetName("Form1");
  frame->SetName("skForm");
  theme->SetName("Theme");
  const AnsiString text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  EXPECT_EQ(copy.ClientWidth(), form->ClientWidth());
  EXPECT_EQ(copy.ClientHeight(), form->ClientHeight());
  EXPECT_EQ(copy.Width(), w);
  EXPECT_EQ(copy.Height(), h);
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST_F(Frame, FormPanelTakesTheClientAreaButNeverTheFrameItself) {
  auto* panel = new TPanel(form.get());
  panel->SetParent(frame);
  frame->SetPanel(panel);
  EXPECT_EQ(panel->Align(), alClient);
  EXPECT_EQ(panel->BevelOuter(), bvNone);
  frame->SetPanel(frame);
  EXPECT_EQ(frame->FormPanel(), panel);
  ASSERT_EQ(RecordedMessageBoxes.size(), 1u);
  EXPECT_EQ(RecordedMessageBoxes[0], "Error: Sorry, you can't select the Form assign to FormPanel property");
  delete panel;
  EXPECT_EQ(frame->FormPanel(), nullptr);
}

TEST(FrameAtTheEndsOfInt, KeepsItsClientAreaAndShapeWithinBounds) {
  // A window spanning the int range, with thin side pictures and a negative bottom inset, pushes every edge
  // past int; each edge stops at its end.
  NCCALCSIZE_PARAMS params;
  params.rgrc[0] = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  TMessage m{WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params), 0};
  FrameNCCalcSize(m, 1, -2);
  EXPECT_EQ(params.rgrc[0], (TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
  // From the proposed position: the edges that stay inside int move as usual.
  WINDOWPOS pos{nullptr, nullptr, INT_MIN, 10, 50, INT_MAX, 0};
  params.lppos = &pos;
  FrameNCCalcSize(m, 1, 3);
  EXPECT_EQ(params.rgrc[0], (TRect{INT_MIN, 10, INT_MIN + 51, INT_MAX - 3}));

  // A form that large, with corners that round, keeps a shape no larger than its surface.
  TForm form(nullptr);
  auto* frame = new TskForm(&form);
  frame->SetParent(&form);
  frame->SetUIStyle(BlueGlass);
  form.HandleNeeded();
  frame->SetRoundCorner(INT_MAX);
  frame->SetRoundCornerBottom(INT_MAX);
  form.SetBounds(0, 0, INT_MAX, INT_MAX);
  frame->RegionWindow();
  ASSERT_NE(form.Handle()->Shape, nullptr);
  const TRect shape = form.Handle()->Shape->Bounds();
  EXPECT_GT(shape.Right, 0);
  EXPECT_LE(shape.Right, MaxWindowSurfaceExtent + 1);
  EXPECT_LE(shape.Bottom, MaxWindowSurfaceExtent + 1);
}

TEST(FrameStream, AFormStreamSetsThePublishedProperties) {
  const AnsiString text = "object Form1: TForm\n"
                          "  Left = 10\n  Top = 10\n  Width = 320\n  Height = 200\n  Caption = 'Streamed'\n"
                          "  object skForm: TskForm\n"
                          "    UIStyle = WinXP\n"
                          "    Caption = 'Streamed'\n"
                          "    TitleBarButtons = <\n"
                          "      item\n        ButtonType = skControlBox\n      end\n"
                          "      item\n        ButtonType = skClose\n      end>\n"
                          "    MenuBarHeight = 20\n"
                          "  end\n"
                          "end\n";
  std::unique_ptr<TComponent> root(ReadComponentText(text, nullptr));
  auto* form = dynamic_cast<TForm*>(root.get());
  ASSERT_NE(form, nullptr);
  auto* frame = dynamic_cast<TskForm*>(form->FindComponent("skForm"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->UIStyle(), WinXP);
  EXPECT_EQ(frame->TitleBarButtons()->Count(), 2);
  EXPECT_EQ(frame->TitleBarButtons()->Items(1)->ButtonType(), skClose);
  EXPECT_EQ(frame->MenuBarHeight(), 20);
  EXPECT_EQ(frame->BorderWidth(), 3);
  EXPECT_EQ(frame->Parent(), form);
}

// A skinned form stores its client size. Read back, the client size is that of the window with the frame in
// place, so the frame and the controls anchored in it keep their streamed sizes, and writing it again gives
// the same text. A stream that also holds the outer size (as written before) still reads to the client size.
TEST(FrameStream, AWrittenFormKeepsItsSizesAndWritesTheSameText) {
  const AnsiString source =
      "object Form1: TForm\n"
      "  Left = 0\n  Top = 0\n  Caption = 'Sized'\n"
      "  ClientHeight = 386\n  ClientWidth = 370\n"
      "  object skForm: TskForm\n"
      "    Left = 0\n    Top = 0\n    Width = 370\n    Height = 386\n    Align = alClient\n"
      "    object Stretched: TPanel\n"
      "      Left = 10\n      Top = 40\n      Width = 100\n      Height = 50\n"
      "      Anchors = [akLeft, akTop, akRight]\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto check = [](TForm& form) {
    EXPECT_EQ(form.ClientWidth(), 370);
    EXPECT_EQ(form.ClientHeight(), 386);
    auto* frame = dynamic_cast<TskForm*>(form.FindComponent("skForm"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Width(), 370);
    EXPECT_EQ(frame->Height(), 386);
    auto* stretched = dynamic_cast<TControl*>(form.FindComponent("Stretched"));
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(stretched->Width(), 100);
  };
  TForm first(nullptr);
  ReadComponentText(source, &first);
  check(first);
  const AnsiString text = WriteComponentText(&first);
  EXPECT_NE(text.find("\n  ClientWidth = 370\n"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("\n  Width = "), AnsiString::npos) << text;
  EXPECT_EQ(text.find("\n  Height = "), AnsiString::npos) << text;

  TForm second(nullptr);
  ReadComponentText(text, &second);
  check(second);
  EXPECT_EQ(second.Width(), first.Width());
  EXPECT_EQ(second.Height(), first.Height());
  EXPECT_EQ(WriteComponentText(&second), text);

  AnsiString both = text;
  both.insert(both.find("  ClientWidth"), "  Width = 900\n  Height = 700\n");
  TForm old(nullptr);
  ReadComponentText(both, &old);
  check(old);
}

// A frame put on its form in code leaves the form as one read from a stream does, and its direction stays
// the form's.
TEST_F(Frame, AFrameMadeInCodeWritesWhatReadsBackTheSame) {
  auto* panel = new TPanel(form.get());
  panel->SetName("Inside");
  panel->SetParent(frame);
  panel->SetBounds(5, 40, 80, 30);
  form->SetName("Form1");
  frame->SetName("skForm");
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(frame->BiDiMode(), bdRightToLeft);
  const AnsiString text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  auto* copiedFrame = dynamic_cast<TskForm*>(copy.FindComponent("skForm"));
  ASSERT_NE(copiedFrame, nullptr);
  EXPECT_EQ(copiedFrame->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(copiedFrame->ParentBiDiMode());
  EXPECT_EQ(copy.ClientWidth(), form->ClientWidth());
  EXPECT_EQ(copy.ClientHeight(), form->ClientHeight());
  EXPECT_EQ(copy.Constraints()->MinWidth(), form->Constraints()->MinWidth());
  EXPECT_EQ(WriteComponentText(&copy), text);
}

namespace {

class FrameMenuBar : public Frame {
 protected:
  void SetUp() override {
    Frame::SetUp();
    menu = new TskMainMenu(form.get());
    for (const char* caption : {"&Game", "&Options", "&Solution", "&Help"}) {
      auto* top = new TMenuItem(form.get());
      top->SetCaption(caption);
      menu->Items()->Add(top);
      auto* sub = new TMenuItem(form.get());
      sub->SetCaption("&Item");
      top->Add(sub);
    }
    menu->MenuAdded();
    frame->SetMenu(menu);
    testsupport::Pump();
  }
  TskMenuBar* Bar() { return frame->MenuBar(); }
  TRect ButtonRect(int i) { return Bar()->Buttons(i)->BoundsRect(); }

  TskMainMenu* menu = nullptr;
};

// Opens the bar's menu of button Index; Probe runs once the menu loop idles, then the menu closes.
void WhileDropped(TskMenuBar* Bar, int Index, const std::function<void()>& Probe) {
  EXPECT_TRUE(testsupport::WhileMenuOpen([&] { Bar->TrackMenu(Bar->Buttons(Index)); }, Probe));
}

} // namespace

TEST_F(FrameMenuBar, ShowsOneButtonPerTopItemInOrderAndFollowsTheItems) {
  ASSERT_NE(Bar(), nullptr);
  EXPECT_EQ(menu->Frame(), frame);
  ASSERT_EQ(Bar()->ButtonCount(), 4);
  const char* captions[] = {"&Game", "&Options", "&Solution", "&Help"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Bar()->Buttons(i)->Caption(), captions[i]);
    EXPECT_TRUE(Bar()->Buttons(i)->Grouped());
    if (i > 0) {
      EXPECT_GT(ButtonRect(i).Left, ButtonRect(i - 1).Left);
    }
  }
  EXPECT_EQ(Bar()->Top(), frame->TitleBar()->Height());
  EXPECT_EQ(Bar()->Height(), frame->MenuBarHeight());

  // A disabled top item greys its button only.
  menu->Items()->Items(2)->SetEnabled(false);
  frame->UpdateTopMenu();
  EXPECT_FALSE(Bar()->Buttons(2)->Enabled());
  const TSurface s = Render(Bar());
  auto greys = [&](int i) {
    int n = 0;
    const TRect r = ButtonRect(i);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += PixelAt(s, x, y) == 0x808080;
    return n;
  };
  EXPECT_GT(greys(2), 10);
  EXPECT_EQ(greys(1), 0);

  frame->SetMenuBarHeight(26);
  EXPECT_EQ(Bar()->Buttons(0)->Height(), 26);
  frame->SetMenuBarColor(0x123456);
  EXPECT_EQ(Bar()->Color(), 0x123456);

  frame->SetMenu(nullptr);
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(menu->Frame(), nullptr);
  frame->SetMenu(menu);
  delete menu;
  EXPECT_EQ(frame->MenuBar(), nullptr);
  EXPECT_EQ(frame->Menu(), nullptr);
}

TEST_F(FrameMenuBar, HotAndPressedButtonsInTheThemeColours) {
  const TColor selected = GetInsideThemeColor(DeepBlue, 19);
  TRect r = ButtonRect(1);
  const int mid = (r.Top + r.Bottom) / 2;
  testsupport::MouseMove(Bar(), (r.Left + r.Right) / 2, mid);
  TSurface s = Render(Bar());
  EXPECT_EQ(PixelAt(s, r.Right - 1, mid), selected);
  EXPECT_NE(PixelAt(s, r.Right + 1, mid), selected);

  // Pressed (its menu down): the highlight is 2 pixels narrower on the right.
  r = ButtonRect(0);
  WhileDropped(Bar(), 0, [&] {
    const TSurface down = Render(Bar());
    EXPECT_EQ(PixelAt(down, r.Right - 3, mid), GetInsideThemeColor(DeepBlue, 18));
    EXPECT_NE(PixelAt(down, r.Right - 1, mid), selected);
    EXPECT_EQ(PixelAt(down, r.Left, mid), GetInsideThemeColor(DeepBlue, 18));
  });
}

// Pressed, the highlight loses 2 pixels at the right and the caption's rectangle 2 at each side: the caption
// stays where it stands while the button is only hot.
TEST_F(FrameMenuBar, APressedButtonsCaptionStaysWhereTheHotOnesStands) {
  const TRect r = ButtonRect(0);
  const TColor fill = GetInsideThemeColor(DeepBlue, 19), edge = GetInsideThemeColor(DeepBlue, 18);
  auto ink = [&](const TSurface& s) {
    TRect box{INT_MAX, INT_MAX, -1, -1};
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
      for (int x = r.Left + 1; x < r.Right - 3; ++x) {
        const TColor p = PixelAt(s, x, y);
        if (p == fill || p == edge) continue;
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
               std::max(box.Bottom, y + 1)};
      }
    return box;
  };
  testsupport::MouseMove(Bar(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  const TSurface hotShot = Render(Bar());
  const TRect hot = ink(hotShot);
  ASSERT_GT(hot.Right, hot.Left) << "the caption shows";
  TRect pressed;
  WhileDropped(Bar(), 0, [&] {
    const TSurface down = Render(Bar());
    testsupport::SavePng(down, "menubar-pressed.png");
    EXPECT_EQ(PixelAt(down, r.Right - 3, (r.Top + r.Bottom) / 2), edge) << "the pressed highlight";
    pressed = ink(down);
  });
  EXPECT_EQ(pressed, hot);
}

// The plain border's bands beside the menu bar take the bar's colour; below it, the panel's.
TEST_F(FrameMenuBar, TheBorderBesideTheBarTakesItsColour) {
  frame->SetMenuBarColor(0x123456);
  frame->PaintFormBorder();
  const TSurface s = Window();
  testsupport::SavePng(s, "frame-menubar-bands.png");
  const int w = form->Width(), th = frame->TitleBar()->Height(), mh = Bar()->Height();
  for (int x : {1, 2, w - 3, w - 2}) {
    EXPECT_EQ(PixelAt(s, x, th + 3), 0x123456) << x;
    EXPECT_EQ(PixelAt(s, x, th + 3 + mh - 1), 0x123456) << x;
    EXPECT_EQ(PixelAt(s, x, th + 3 + mh), frame->Color()) << x;
  }
  EXPECT_EQ(PixelAt(s, 0, th + 3), frame->BorderColor());
}

// The picture border's lines inside the side pictures take the bar's colour beside it.
TEST_F(FrameMenuBar, ThePictureBordersLinesBesideTheBarTakeItsColour) {
  skintest::TempDir dir;
  TBitmap left;
  left.SetSize(8, 40);
  left.Canvas()->Brush()->SetColor(0x00AA00);
  left.Canvas()->FillRect({0, 0, 8, 40});
  auto* theme = new TskFileTheme(form.get()); // owned by the form
  theme->SetThemeFile(WriteTheme(
      dir, "menu-lines.skn",
      {{"FormBorderWidthInt", 1}, {"FormBackgroundColor", 0xDDDDDD}, {"MenuMenuBarColor", 0x224466}}, &left));
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);
  ASSERT_EQ(frame->SideBorderWidth(), 8);
  ASSERT_EQ(Bar()->Color(), 0x224466);
  const TSurface s = Window();
  testsupport::SavePng(s, "frame-menubar-picture-lines.png");
  const int w = form->Width(), t = frame->GetTitleBarHeight(), mh = Bar()->Height();
  for (int x : {8, w - 9}) {
    EXPECT_EQ(PixelAt(s, x, t + 3), 0x224466) << x;
    EXPECT_EQ(PixelAt(s, x, t + 3 + mh / 2), 0x224466) << x;
    EXPECT_EQ(PixelAt(s, x, t + 3 + mh - 1), 0x224466) << x;
    EXPECT_EQ(PixelAt(s, x, t + 3 + mh), 0xDDDDDD) << x;
  }
  EXPECT_EQ(PixelAt(s, 4, t + 3 + mh / 2), 0x00AA00) << "the side picture";
}

TEST_F(FrameMenuBar, TheChosenCommandRunsWithItsBarButtonReleasedAndRepainted) {
  // A command that opens a dialog must find the bar back to normal: the menu gone, the entry neither pressed
  // nor hot, and drawn so.
  const TRect r = ButtonRect(3);
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  const TColor normal = PixelAt(Render(Bar()), r.Left, centre.Y);
  WhileDropped(Bar(), 3, [&] {
    EXPECT_EQ(PixelAt(Render(Bar()), r.Left, centre.Y), GetInsideThemeColor(DeepBlue, 18));
  });
  bool ran = false;
  menu->Items()->Items(3)->Items(0)->OnClick = [&](TObject*) {
    ran = true;
    EXPECT_TRUE(MenuPopupWindows().empty());
    EXPECT_EQ(Bar()->MenuButton(), nullptr);
    const TCustomDrawState state = Bar()->ButtonState(Bar()->Buttons(3));
    EXPECT_FALSE(state.Contains(cdsSelected));
    EXPECT_FALSE(state.Contains(cdsHot));
    // Already painted so: nothing of the bar waits to be painted, and its window holds the normal colour.
    const HWND bar = Bar()->Handle();
    EXPECT_TRUE(bar->Update.IsEmpty());
    EXPECT_EQ(PixelAt(bar->Surface, bar->Client.Left + r.Left, bar->Client.Top + centre.Y), normal);
    testsupport::RenderToPng(form.get(), "frame_menu_bar_during_command.png");
  };
  // Pressed on "Help" with the mouse, its one item clicked in the menu that drops down.
  bool clicked = false;
  OnMenuLoopIdle = [&] {
    const std::vector<TWinControl*> levels = MenuPopupWindows();
    if (clicked || levels.empty()) return;
    clicked = true;
    const TPoint item = levels[0]->ClientToScreen({10, levels[0]->ClientHeight() / 2});
    testsupport::QueueMouseMove(levels[0], item);
    testsupport::QueueMouse(levels[0], item, mbLeft, true);
    testsupport::QueueMouse(levels[0], item, mbLeft, false);
  };
  testsupport::MouseMove(Bar()->Buttons(3), 5, 5);
  testsupport::MouseDown(Bar()->Buttons(3), 5, 5); // tracks the menu until the item's click
  OnMenuLoopIdle = nullptr;
  testsupport::MouseUp(Bar()->Buttons(3), 5, 5);
  EXPECT_TRUE(ran);
}

TEST_F(FrameMenuBar, TheFramePassesItsStyleToTheMenuAndTheMacBarPicture) {
  frame->SetUIStyle(MacOS);
  EXPECT_EQ(menu->UIStyle(), MacOS);
  EXPECT_EQ(menu->MenuItemHeight(), 20);
  TBitmap bar;
  bar.LoadFromResourceName(0, "MACOS_MENU_BAR");
  const TSurface s = Render(Bar());
  const int x = Bar()->Width() - 5; // right of the buttons
  EXPECT_EQ(PixelAt(s, x, 0), bar.Canvas()->Pixels(0, 0));

  // The drop-down takes the menu's hot-key handling.
  menu->SetAutoHotkeys(maManual);
  WhileDropped(Bar(), 1, [&] {
    TPopupMenu* popup = nullptr;
    for (int i = 0; i < Bar()->ComponentCount(); ++i)
      if (auto* p = dynamic_cast<TPopupMenu*>(Bar()->Components(i))) popup = p;
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->AutoHotkeys(), maManual);
  });
}

TEST_F(FrameMenuBar, AThemeFileChoosesTheBarColour) {
  skintest::TempDir dir;
  auto* theme = new TskFileTheme(form.get());
  theme->SetThemeFile(
      WriteTheme(dir, "bar48.skn", {{"FormBackgroundColor", 0x111111}, {"MenuMenuBarColor", 0x222222}}));
  frame->SetFileTheme(theme);
  frame->SetUIStyle(FromThemeFile);
  EXPECT_EQ(frame->MenuBarColor(), 0x222222);
  EXPECT_EQ(menu->FileTheme(), theme);
  theme->SetThemeFile(
      WriteTheme(dir, "bar27.skn", {{"FormBackgroundColor", 0x111111}, {"ControlFontColor", 0x020000}}));
  EXPECT_EQ(frame->MenuBarColor(), 0xAC5B3B);
  theme->SetThemeFile(WriteTheme(dir, "bar.skn", {{"FormBackgroundColor", 0x111111}}));
  EXPECT_EQ(frame->MenuBarColor(), 0x111111);
  EXPECT_EQ(Bar()->Color(), 0x111111);
}

TEST_F(FrameMenuBar, AButtonUnderlinesTheAutomaticHotkeyAltUsesAndKeepsItsCaption) {
  // S is Solution's own, so Stats gets T: its second letter is underlined, nothing else changes.
  menu->Items()->Items(1)->SetCaption("Stats");
  frame->UpdateTopMenu();
  EXPECT_EQ(Bar()->Buttons(1)->Caption(), "Stats");
  EXPECT_EQ(Bar()->Buttons(1)->ShownCaption(), "S&tats");
  const TSurface automatic = Render(Bar());
  testsupport::SavePng(automatic, "menubar-autohotkey.png");
  menu->SetAutoHotkeys(maManual);
  EXPECT_EQ(Bar()->Buttons(1)->ShownCaption(), "Stats");
  Bar()->Invalidate();
  const TSurface manual = Render(Bar());

  TBitmap probe;
  probe.SetSize(1, 1);
  probe.Canvas()->Font()->Assign(Bar()->Font());
  const TRect r = ButtonRect(1);
  const int textLeft = r.Left + (r.Width() - probe.Canvas()->TextWidth("Stats")) / 2;
  const int tLeft = textLeft + probe.Canvas()->TextWidth("S"),
            tRight = textLeft + probe.Canvas()->TextWidth("St");
  std::vector<int> rowCount(static_cast<size_t>(automatic.Height()), 0);
  int outside = 0;
  for (int y = 0; y < automatic.Height(); ++y)
    for (int x = 0; x < automatic.Width(); ++x) {
      if (PixelAt(automatic, x, y) == PixelAt(manual, x, y)) continue;
      if (x >= tLeft - 1 && x <= tRight && y > r.Top + r.Height() / 2) {
        ++rowCount[static_cast<size_t>(y)];
        EXPECT_EQ(PixelAt(automatic, x, y), GetInsideThemeColor(DeepBlue, 22));
      } else {
        ++outside;
      }
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GE(*std::max_element(rowCount.begin(), rowCount.end()), tRight - tLeft - 2);
}
