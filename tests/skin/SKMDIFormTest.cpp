// The skinned MDI frame: what it does to its form, its own cascade and tile, the child-window buttons of a
// maximized child, the menu bar that follows the active child, the window menu and its children (also when
// one goes), the client window's subclassing and its undoing, short cuts and the border it paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Region.h"
#include "classlib/win/Windows.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKMDIForm.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKThemeFile.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;

TMenuItem* Item(TComponent* Owner, TMenuItem* Parent, const char* Caption) {
  auto* item = new TMenuItem(Owner); // owned by Owner
  item->SetCaption(Caption);
  Parent->Add(item);
  return item;
}

class MDIFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordedMessageBoxes.clear();
    Application->Initialize();
    Application->CreateForm(Frame);
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetCaption("Frame");
    Frame->SetBounds(30, 30, 640, 480);
    Menu = new TskMainMenu(Frame); // owned by the frame form
    TMenuItem* file = Item(Frame, Menu->Items(), "&File");
    NewItem = Item(Frame, file, "&New");
    NewItem->SetShortCut(ShortCut('N', {ssCtrl}));
    NewItem->OnClick = [this](TObject*) { ++newClicks; };
    WindowItem = Item(Frame, Menu->Items(), "&Window");
    Item(Frame, WindowItem, "&Cascade");
    Item(Frame, Menu->Items(), "&Help");
    Menu->MenuAdded();
    Frame->SetWindowMenu(WindowItem);
    Frame->HandleNeeded();
    OriginalClientProc = static_cast<WNDPROC>(GetWindowLong(Frame->ClientHandle(), GWL_WNDPROC));
    Skin = new TskMDIForm(Frame); // owned by the frame form
    Skin->SetMenu(Menu);
    Frame->Show();
    for (int i = 0; i < 3; ++i) AddChild(i == 2);
    testsupport::Pump();
  }
  void TearDown() override {
    for (TForm* c : Children)
      if (Screen->IndexOfForm(c) >= 0) delete c;
    delete Frame; // null when a test freed it
  }

  TForm* AddChild(bool withMenu) {
    auto* child = new TForm(Application); // owned by the application
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(("Child " + std::to_string(Children.size())).c_str());
    child->SetBounds(10, 10, 200, 150);
    auto* frame = new TskForm(child); // owned by the child
    frame->SetParent(child);
    if (withMenu) {
      auto* menu = new TskMainMenu(child); // owned by the child
      Item(child, menu->Items(), "&Board");
      Item(child, menu->Items(), "&Moves");
      menu->MenuAdded();
      frame->SetMenu(menu);
    }
    child->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    child->Show();
    Children.push_back(child);
    return child;
  }
  std::vector<AnsiString> BarCaptions() {
    std::vector<AnsiString> out;
    for (int i = 0; i < Skin->MenuBar()->ButtonCount(); ++i)
      out.push_back(Skin->MenuBar()->Buttons(i)->Caption());
    return out;
  }
  std::vector<AnsiString> WindowMenuCaptions() {
    std::vector<AnsiString> out;
    for (TMenuItem* item : Skin->WindowMenuItems()) out.push_back(item->Caption());
    return out;
  }
  void Activate(TForm* Child) {
    Child->BringToFront();
    testsupport::Pump();
  }

  TForm* Frame = nullptr;
  TskMainMenu* Menu = nullptr;
  TMenuItem* NewItem = nullptr;
  TMenuItem* WindowItem = nullptr;
  TskMDIForm* Skin = nullptr;
  std::vector<TForm*> Children;
  WNDPROC OriginalClientProc{};
  int newClicks = 0;
};

} // namespace

TEST_F(MDIFrame, TakesTheFormsCaptionAndRefusesAnOwnerThatIsNoForm) {
  EXPECT_EQ(GetWindowLong(Frame->Handle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(Frame->Menu(), nullptr) << "the bar stands in for the native menu";
  EXPECT_EQ(Skin->TitleBar()->Parent(), Frame);
  EXPECT_EQ(Skin->TitleBar()->Caption(), "Frame");
  EXPECT_EQ(Frame->Constraints()->MinHeight(), 50);
  EXPECT_EQ(Skin->GetTitleBarHeight(), Skin->TitleBar()->Height() + Skin->TopPanel()->Height());
  EXPECT_EQ(SendMessage(Frame->Handle(), SKM_SIDEBORDERWIDTH, 0, 0), 0) << "no side pictures";
  Skin->SetCaption("Renamed");
  EXPECT_EQ(Frame->Caption(), "Renamed");
  EXPECT_EQ(Skin->TitleBar()->Caption(), "Renamed");

  TComponent owner(nullptr);
  try {
    new TskMDIForm(&owner); // freed again by the failed construction
    ADD_FAILURE() << "a component that is no form cannot hold the frame";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message, "Sorry, TskMDIForm must be placed on a form");
  }
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(MDIFrame, CascadesAndTilesByItsOwnRules) {
  Frame->SetClientWidth(500);
  Frame->SetClientHeight(400);
  testsupport::Pump();
  Frame->Cascade();
  // The child at the last index (the back one) first.
  for (int i = 0; i < 3; ++i) {
    const int step = 22 * (2 - i);
    EXPECT_TRUE(Frame->MDIChildren(i)->BoundsRect() == Bounds(step, step, 400, 240)) << i;
  }

  Frame->SetClientWidth(600);
  Frame->SetTileMode(tbVertical);
  testsupport::Pump();
  Frame->Tile();
  const int h = Frame->ClientHeight() - Skin->TitleBar()->Height() - Skin->TopPanel()->Height();
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(Frame->MDIChildren(i)->BoundsRect() == Bounds(198 * (2 - i), 0, 198, h - 4)) << i;

  // One minimized: the two others share the height less 25 pixels, one above the other.
  Frame->SetTileMode(tbHorizontal);
  TCustomForm* back = Frame->MDIChildren(2);
  back->SetWindowState(wsMinimized);
  testsupport::Pump();
  Frame->Tile();
  const int row = (h - 25) / 2;
  EXPECT_TRUE(Frame->MDIChildren(0)->BoundsRect() == Bounds(0, row - 2, 596, row - 2));
  EXPECT_TRUE(Frame->MDIChildren(1)->BoundsRect() == Bounds(0, 0, 596, row - 2));
  EXPECT_EQ(back->WindowState(), wsMinimized);
}

// Only the bars that show take height from the tiled children: a hidden one leaves no gap below them.
TEST_F(MDIFrame, TilingCountsOnlyTheBarsThatShow) {
  auto* hidden = new TPanel(Frame); // owned by the frame form
  hidden->SetParent(Frame);
  hidden->SetAlign(alTop);
  hidden->SetHeight(41);
  hidden->SetVisible(false);
  Frame->SetTileMode(tbHorizontal);
  Frame->SetClientHeight(400);
  testsupport::Pump();
  auto rowsFill = [&](int h) {
    Frame->Tile();
    const int row = h / 3;
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(Frame->MDIChildren(i)->BoundsRect() ==
                  Bounds(0, (2 - i) * (row - 2), Frame->ClientWidth() - 4, row - 2))
          << i << ": " << Frame->MDIChildren(i)->Top() << " " << Frame->MDIChildren(i)->Height();
  };
  rowsFill(Frame->ClientHeight() - Skin->TitleBar()->Height() - Skin->TopPanel()->Height());
  // The title bar hidden as well: the children take its room.
  Skin->SetTitleBarVisible(false);
  testsupport::Pump();
  rowsFill(Frame->ClientHeight() - Skin->TopPanel()->Height());
}

// A theme file without the sizes: the MDI frame, a child's frame and their title-bar buttons read each
// missing size as 0, never as the -1 the file answers.
TEST_F(MDIFrame, MissingThemeSizesReadAsZeroInBothFrames) {
  skintest::TempDir dir;
  skintest::ThemeBytes bytes;
  bytes.Int("FormBackgroundColor", 0x336699);
  bytes.Terminator();
  const AnsiString file = dir.File("nosizes.skn");
  skintest::WriteBytes(file, bytes.Bytes);
  auto* theme = new TskFileTheme(Frame); // owned by the frame form
  theme->SetThemeFile(file);
  ASSERT_TRUE(theme->CanUse());
  ASSERT_EQ(theme->GetInt(14), -1);
  auto* child = static_cast<TskForm*>(Children[0]->Controls(0));
  Skin->SetFileTheme(theme);
  Skin->SetUIStyle(FromThemeFile);
  child->SetFileTheme(theme);
  child->SetUIStyle(FromThemeFile);
  EXPECT_EQ(Skin->RoundCorner(), 0);
  EXPECT_EQ(Skin->RoundCornerBottom(), 0);
  EXPECT_EQ(Skin->BorderWidth(), 0);
  EXPECT_EQ(child->RoundCorner(), 0);
  EXPECT_EQ(child->RoundCornerBottom(), 0);
  EXPECT_EQ(child->BorderWidth(), 0);
  for (TskTitleBar* bar : {Skin->TitleBar(), child->TitleBar()}) {
    TskTitleBarButtons* buttons = bar->Buttons();
    for (int i = 0; i < buttons->Count(); ++i) EXPECT_EQ(buttons->Items(i)->Top(), 0) << i;
    EXPECT_EQ(bar->ButtonTop(), -3) << "the row 3 pixels up inside a frame, from 0";
  }
  // The window stays whole: no corner is cut away.
  ASSERT_NE(Frame->Handle()->Shape, nullptr);
  EXPECT_TRUE(Frame->Handle()->Shape->Contains(0, 0));
  EXPECT_TRUE(Frame->Handle()->Shape->Contains(0, Frame->Height() - 1));
}

TEST_F(MDIFrame, AMaximizedChildPutsItsButtonsOnTheMenuBar) {
  for (int n = 1; n <= 3; ++n) EXPECT_FALSE(Skin->ControlButton(n)->Visible());
  TForm* child = Children[1];
  Activate(child);
  child->SetWindowState(wsMaximized);
  testsupport::Pump();
  const int w = Skin->TopPanel()->Width();
  for (int n = 1; n <= 3; ++n) {
    TskToolBarSpeedButton* b = Skin->ControlButton(n);
    EXPECT_TRUE(b->Visible()) << n;
    EXPECT_EQ(b->Left(), w - 2 - 18 * n) << n; // close, restore, minimize from the right
    EXPECT_EQ(b->Tag(), -1380 - n);
  }
  const TSurface shot = testsupport::Render(Frame);
  testsupport::SavePng(shot, "mdi-maximized.png");
  // The close glyph stands on the bar: pixels of another colour inside button 1.
  const TPoint at = Skin->ControlButton(1)->ClientToScreen({0, 0});
  const int bx = at.X - Frame->Left(), by = at.Y - Frame->Top();
  int ink = 0;
  for (int y = by; y < by + 18; ++y)
    for (int x = bx; x < bx + 18; ++x)
      if (PixelAt(shot, x, y) != Skin->MenuBarColor()) ++ink;
  EXPECT_GT(ink, 6);

  testsupport::Click(Skin->ControlButton(2), 8, 8); // restore
  EXPECT_EQ(child->WindowState(), wsNormal);
  for (int n = 1; n <= 3; ++n) EXPECT_FALSE(Skin->ControlButton(n)->Visible()) << n;

  child->SetWindowState(wsMaximized);
  testsupport::Pump();
  testsupport::Click(Skin->ControlButton(3), 8, 8); // minimize
  EXPECT_TRUE(IsIconic(child->Handle()));

  Activate(Children[0]);
  Children[0]->SetWindowState(wsMaximized);
  testsupport::Pump();
  testsupport::Click(Skin->ControlButton(1), 8, 8); // close
  testsupport::Pump();
  EXPECT_EQ(Screen->IndexOfForm(Children[0]), -1) << "the active child closed";
}

TEST_F(MDIFrame, TheBarShowsTheActiveChildsMenuUnlessToldNotTo) {
  Activate(Children[2]);
  EXPECT_NE(Skin->ShownMenu(), Menu);
  EXPECT_EQ(BarCaptions(), (std::vector<AnsiString>{"&Board", "&Moves"}));
  Activate(Children[0]);
  EXPECT_EQ(BarCaptions(), (std::vector<AnsiString>{"&File", "&Window", "&Help"})) << "no menu of its own";
  Skin->SetTitleBarDrawChildMenus(false);
  Activate(Children[2]);
  EXPECT_EQ(BarCaptions(), (std::vector<AnsiString>{"&File", "&Window", "&Help"}));
  EXPECT_EQ(Skin->ShownMenu(), Menu);

  // The frame's own menu going leaves no bar.
  delete Menu; // owned by the frame form
  Menu = nullptr;
  EXPECT_EQ(Skin->Menu(), nullptr);
  EXPECT_FALSE(Skin->TopPanel()->Visible());
}

TEST_F(MDIFrame, TheWindowMenuNamesTheLivingChildrenOnly) {
  Activate(Children[0]);
  EXPECT_EQ(WindowMenuCaptions(), (std::vector<AnsiString>{"-", "Child 1", "Child 2", "Child 0"}))
      << "a separator, then the children from the last index to the first";
  EXPECT_EQ(WindowItem->Count(), 1 + 4);

  Skin->WindowMenuItems()[1]->Click();
  testsupport::Pump();
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[1]);

  // A child going takes its item with it at once, not at the next menu refresh.
  delete Children[2];
  testsupport::Pump();
  EXPECT_EQ(WindowMenuCaptions(), (std::vector<AnsiString>{"-", "Child 0", "Child 1"}));
  for (size_t i = 0; i < Skin->WindowMenuItems().size(); ++i) {
    Skin->WindowMenuItems()[i]->Click(); // every item names a living child (the items are made anew)
    testsupport::Pump();
    EXPECT_NE(Frame->ActiveMDIChild(), nullptr);
  }

  Children[0]->SetWindowState(wsMinimized);
  testsupport::Pump();
  for (TMenuItem* item : Skin->WindowMenuItems())
    if (item->Caption() == "Child 0") {
      item->Click();
      break;
    }
  testsupport::Pump();
  EXPECT_EQ(Children[0]->WindowState(), wsNormal) << "a minimized child comes back";
}

TEST_F(MDIFrame, TheClientWindowIsGivenBackAndNeverCallsAGoneFrame) {
  HWND client = Frame->ClientHandle();
  EXPECT_NE(static_cast<WNDPROC>(GetWindowLong(client, GWL_WNDPROC)), OriginalClientProc);
  delete Skin; // owned by the frame form
  Skin = nullptr;
  EXPECT_EQ(static_cast<WNDPROC>(GetWindowLong(client, GWL_WNDPROC)), OriginalClientProc);
  Frame->Cascade(); // the system's arrangement alone
  testsupport::Pump();
  EXPECT_NE(Frame->MDIChildren(0)->Width(), static_cast<int>(Frame->ClientWidth() * 0.8));

  // With another procedure put over the frame's, the frame's stays in the chain but only passes on.
  Skin = new TskMDIForm(Frame); // owned by the frame form
  int seen = 0;
  const WNDPROC under = static_cast<WNDPROC>(GetWindowLong(client, GWL_WNDPROC));
  const WNDPROC over = MakeWindowProc([&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    ++seen;
    return CallWindowProc(under, Wnd, Msg, WParam, LParam);
  });
  SetWindowLong(client, GWL_WNDPROC, static_cast<LONG>(over));
  delete Skin; // owned by the frame form
  Skin = nullptr;
  EXPECT_EQ(static_cast<WNDPROC>(GetWindowLong(client, GWL_WNDPROC)), over);
  Frame->Cascade();
  Frame->Tile();
  SendMessage(client, WM_MDIREFRESHMENU, 0, 0);
  testsupport::Pump();
  EXPECT_GE(seen, 3);
  SetWindowLong(client, GWL_WNDPROC, static_cast<LONG>(under));
  FreeObjectInstance(over);
}

TEST_F(MDIFrame, ShortCutsOfTheShownMenuRunItsItems) {
  Activate(Children[0]);
  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(newClicks, 1);
  Activate(Children[2]);
  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(newClicks, 1) << "the bar shows the child's menu, which has no Ctrl+N";
}

TEST_F(MDIFrame, PaintsItsBorderInTheStyleAndFollowsATheme) {
  Skin->SetUIStyle(WinXP);
  testsupport::Pump();
  const TSurface shot = testsupport::Render(Frame);
  testsupport::SavePng(shot, "mdi-frame-winxp.png");
  const int h = Frame->Height();
  EXPECT_EQ(PixelAt(shot, 0, h / 2), Skin->BorderColor()) << "the left border";
  EXPECT_EQ(PixelAt(shot, Frame->Width() - 1, h / 2), Skin->BorderColor()) << "the right border";
  EXPECT_EQ(PixelAt(shot, Frame->Width() / 2, h - 1), Skin->BorderColor()) << "the bottom border";
  EXPECT_EQ(Skin->MenuBar()->Color(), Skin->MenuBarColor());

  auto* theme = new TskFileTheme(Frame); // owned by the frame form
  theme->SetThemeFile(GetExeDir() + "../../app/themes/Emerald.skn");
  Skin->SetFileTheme(theme);
  Skin->SetUIStyle(FromThemeFile);
  EXPECT_EQ(Skin->BorderColor(), theme->GetColor(16));
  delete theme; // the frame falls back to DeepBlue
  EXPECT_EQ(Skin->UIStyle(), DeepBlue);
  EXPECT_EQ(Skin->FileTheme(), nullptr);
}

// A theme's side and bottom pictures take their room from the client area as soon as the theme is applied,
// not at the next resize, and give it back when a built-in style comes.
TEST_F(MDIFrame, AThemesBorderPicturesTakeTheirRoomAtOnce) {
  HWND wnd = Frame->Handle();
  const TRect plain = wnd->Client;
  skintest::TempDir dir;
  TBitmap left, bottom;
  left.SetSize(8, 40);
  bottom.SetSize(30, 6);
  TskThemeFileWriter writer(dir.File("pictures.skn"));
  for (const auto& [key, picture] :
       {std::pair{"FormLeftBorderImage", &left}, std::pair{"FormBottomBorderImage", &bottom}}) {
    const AnsiString bmp = dir.File(std::string(key) + ".bmp");
    picture->SaveToFile(bmp);
    writer.AddFile(key, bmp);
  }
  writer.Save();
  auto* theme = new TskFileTheme(Frame); // owned by the frame form
  theme->SetThemeFile(dir.File("pictures.skn"));
  Skin->SetFileTheme(theme);
  Skin->SetUIStyle(FromThemeFile);
  EXPECT_EQ(SendMessage(wnd, SKM_SIDEBORDERWIDTH, 0, 0), 8);
  EXPECT_EQ(wnd->Client.Left, plain.Left + 8 - 2);
  EXPECT_EQ(wnd->Client.Right, plain.Right - 8 + 2);
  EXPECT_EQ(wnd->Client.Bottom, Frame->Height() - 3 - 6 + 2);
  const TSurface shot = testsupport::Render(Frame);
  testsupport::SavePng(shot, "mdi-frame-side-pictures.png");
  Skin->SetUIStyle(WinXP);
  EXPECT_EQ(wnd->Client, plain);
}

TEST_F(MDIFrame, AFrameFormGoingFirstLeavesItsChildrenWithoutItsThemeAndWithoutHarm) {
  auto* theme = new TskFileTheme(Frame); // owned by the frame form
  theme->SetThemeFile(GetExeDir() + "../../app/themes/Emerald.skn");
  std::vector<TskForm*> frames;
  for (TForm* child : Children) {
    auto* frame = static_cast<TskForm*>(child->Controls(0));
    frame->SetFileTheme(theme);
    frame->SetUIStyle(FromThemeFile);
    frames.push_back(frame);
  }
  delete Frame; // its client window, and the children's windows in it, go; so does the theme
  Frame = nullptr;
  for (TskForm* frame : frames) {
    EXPECT_EQ(frame->FileTheme(), nullptr);
    EXPECT_EQ(frame->UIStyle(), DeepBlue);
  }
}
