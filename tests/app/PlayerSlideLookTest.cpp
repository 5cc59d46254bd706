// The solution playing by itself (the Play button, Space, the speeds, what stops it), tiles sliding into
// their cells on a hand-driven clock, and the built-in looks of Options > Look, through the game's windows;
// with the small rules they stand on: where a slide stands at a time, which input stops the player, and how
// the settings file names speeds and looks.
#include "app/Looks.h"
#include "app/TileSlide.h"
#include "classlib/backend/Backend.h"
#include "skin/SKForm.h"
#include "skin/SKMainMenu.h"
#include "tests/app/GameFixture.h"

namespace {

class PlayerTest : public GameTest {
 protected:
  // A scrambled 3x3 board a few moves from the goal, searched, with the solution player shown at step 0.
  void ShowASolution() {
    Run(mainForm->ActionReset);
    for (WORD key : {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_DOWN, VK_LEFT, VK_UP}) Press(key);
    ASSERT_TRUE(Run(mainForm->ActionSearch));
    ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
    ASSERT_GT(mainForm->SolutionLength(), 1);
    ASSERT_TRUE(Run(mainForm->ActionShowSolution));
    testsupport::Pump();
  }
};
using SlideTest = GameTest;
using LookTest = GameTest;

TEST(TileSlideRules, ATileStartsWhereItWasEasesInAndEndsInItsCell) {
  const TTileSlide slide({10, 50}, {110, 50}, 1000);
  EXPECT_EQ(slide.At(900), (TPoint{10, 50}));
  EXPECT_EQ(slide.At(1000), (TPoint{10, 50}));
  // Half-way in time it has gone three quarters of the way: it slows down as it arrives.
  EXPECT_EQ(slide.At(1050), (TPoint{85, 50}));
  EXPECT_FALSE(slide.Arrived(1099));
  EXPECT_EQ(slide.At(1100), (TPoint{110, 50}));
  EXPECT_TRUE(slide.Arrived(1100));
  // Upwards and leftwards alike, never past its cell.
  const TTileSlide up({0, 80}, {0, 0}, 0, 100);
  for (uint64_t t = 0; t <= 120; t += 7) {
    EXPECT_LE(up.At(t).Y, 80);
    EXPECT_GE(up.At(t).Y, 0);
    if (t > 0) {
      EXPECT_LE(up.At(t).Y, up.At(t - 7).Y);
    }
  }
}

TEST(PlayerRules, EveryInputButSpaceAndThePlayButtonStopsThePlayer) {
  const HWND play = reinterpret_cast<HWND>(0x10), other = reinterpret_cast<HWND>(0x20);
  const auto stops = [&](UINT Message, WPARAM W, HWND Window) {
    tagMSG m;
    m.message = Message;
    m.wParam = W;
    m.hwnd = Window;
    return InputStopsPlaying(m, play);
  };
  EXPECT_FALSE(stops(WM_KEYDOWN, VK_SPACE, other));
  EXPECT_TRUE(stops(WM_KEYDOWN, VK_LEFT, other));
  EXPECT_TRUE(stops(WM_SYSKEYDOWN, VK_MENU, other));
  EXPECT_FALSE(stops(WM_KEYUP, VK_LEFT, other));
  EXPECT_FALSE(stops(WM_LBUTTONDOWN, 0, play));
  EXPECT_TRUE(stops(WM_LBUTTONDOWN, 0, other));
  EXPECT_TRUE(stops(WM_RBUTTONDOWN, 0, play));
  EXPECT_TRUE(stops(WM_NCLBUTTONDOWN, 0, other)); // the menu bar
  EXPECT_FALSE(stops(WM_MOUSEMOVE, 0, other));
  EXPECT_FALSE(stops(WM_TIMER, 0, other));
}

TEST(PlayerRules, SettingsNamesOfSpeedsAndLooksReadBackAndUnknownOnesFallBack) {
  for (const TPlaySpeedInfo& info : PlaySpeeds) EXPECT_EQ(PlaySpeedFromName(info.Name), info.Speed);
  EXPECT_EQ(PlaySpeedFromName("fast"), TPlaySpeed::Fast);
  EXPECT_EQ(PlaySpeedFromName("Warp"), TPlaySpeed::Normal);
  EXPECT_GT(PlaySpeedInfo(TPlaySpeed::Slow).Interval, PlaySpeedInfo(TPlaySpeed::Normal).Interval);
  EXPECT_GT(PlaySpeedInfo(TPlaySpeed::Normal).Interval, PlaySpeedInfo(TPlaySpeed::Fast).Interval);
  for (TskUIStyle look : {FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass})
    EXPECT_EQ(LookFromName(LookName(look)), look);
  EXPECT_EQ(LookName(WinXP), "WinXP");
  EXPECT_EQ(LookFromName(""), FromThemeFile);
  EXPECT_EQ(LookFromName("Chrome"), FromThemeFile);
}

TMenuItem* ItemCaptioned(TMenuItem* Menu, const char* Caption) {
  for (int i = 0; i < Menu->Count(); ++i)
    if (Menu->Items(i)->Caption() == Caption) return Menu->Items(i);
  ADD_FAILURE() << "no item " << Caption;
  return nullptr;
}

TEST_F(PlayerTest, TheThreeButtonsFitBesideTheCountersAtTheDefaultWidth) {
  StartGame();
  ASSERT_EQ(mainForm->Width(), 250);
  ShowASolution();
  TPanel* room = mainForm->PanelNavigate;
  ASSERT_TRUE(room->Visible());
  EXPECT_EQ(mainForm->skButtonPrev->Caption(), "<-");
  EXPECT_EQ(mainForm->skButtonNext->Caption(), "->");
  EXPECT_EQ(mainForm->skButtonPlay->Caption(), "Play");
  const TSurface shot = testsupport::Render(mainForm->PanelTop);
  testsupport::SavePng(shot, "game-player-buttons-250.png");
  int right = 0;
  for (TskButton* b : {mainForm->skButtonPrev, mainForm->skButtonNext, mainForm->skButtonPlay}) {
    EXPECT_GE(b->Left(), right) << b->Caption();
    EXPECT_GE(b->Width(), 18) << b->Caption();
    right = b->Left() + b->Width();
    // The button's face shows at its centre, not the panel behind it.
    EXPECT_NE(testsupport::PixelAt(shot, room->Left() + b->Left() + b->Width() / 2, b->Top() + 3),
              ColorToRGB(room->Color()))
        << b->Caption();
  }
  EXPECT_LE(right, room->ClientWidth());
  testsupport::RenderToPng(mainForm, "game-player-250.png");
  // With room to spare the buttons keep their designed size.
  mainForm->SetWidth(420);
  testsupport::Pump();
  EXPECT_EQ(mainForm->skButtonPrev->BoundsRect(), TRect(8, 3, 40, 25));
  EXPECT_EQ(mainForm->skButtonNext->BoundsRect(), TRect(46, 3, 78, 25));
  EXPECT_EQ(mainForm->skButtonPlay->Width(), 40);
}

TEST_F(PlayerTest, PlayStepsToTheEndAtTheChosenSpeedAndAnyOtherInputStopsIt) {
  StartGame();
  testsupport::ManualClock clock;
  ShowASolution();
  const int n = mainForm->SolutionLength();
  EXPECT_EQ(mainForm->PlaySpeed(), TPlaySpeed::Normal);
  mainForm->mPlaySpeedClick(mainForm->mPlaySpeed);
  EXPECT_TRUE(ItemCaptioned(mainForm->mPlaySpeed, "Normal")->Checked());
  mainForm->mPlaySpeedItemClick(ItemCaptioned(mainForm->mPlaySpeed, "Fast"));
  EXPECT_EQ(mainForm->PlaySpeed(), TPlaySpeed::Fast);
  const unsigned interval = PlaySpeedInfo(TPlaySpeed::Fast).Interval;

  // Space plays: one step per interval, each sliding its tile, and the button offers to stop.
  Press(VK_SPACE);
  EXPECT_TRUE(mainForm->Game().Playing());
  EXPECT_EQ(mainForm->skButtonPlay->Caption(), "Stop");
  EXPECT_EQ(Step(), "0/" + IntToStr(n));
  clock.Advance(interval);
  EXPECT_EQ(Step(), "1/" + IntToStr(n));
  EXPECT_NE(mainForm->SlidingCell(), -1);
  for (int i = 1; i < n; ++i) clock.Advance(interval);
  EXPECT_EQ(Step(), IntToStr(n) + "/" + IntToStr(n));
  EXPECT_TRUE(mainForm->Game().Solved());
  // At the end it stops by itself.
  EXPECT_FALSE(mainForm->Game().Playing());
  EXPECT_EQ(mainForm->skButtonPlay->Caption(), "Play");
  clock.Advance(interval * 3);
  EXPECT_EQ(Step(), IntToStr(n) + "/" + IntToStr(n));

  // Played again from the end, it begins at step 0; an arrow key stops it where it is.
  testsupport::Click(mainForm->skButtonPlay, 5, 5);
  EXPECT_TRUE(mainForm->Game().Playing());
  EXPECT_EQ(Step(), "0/" + IntToStr(n));
  clock.Advance(interval);
  Press(VK_LEFT);
  EXPECT_FALSE(mainForm->Game().Playing());
  clock.Advance(interval * 3);
  EXPECT_EQ(Step(), "1/" + IntToStr(n));
  // Space again, then a click on "->": it stops and steps once.
  Press(VK_SPACE);
  EXPECT_TRUE(mainForm->Game().Playing());
  testsupport::Click(mainForm->skButtonNext, 5, 5);
  EXPECT_FALSE(mainForm->Game().Playing());
  EXPECT_EQ(Step(), "2/" + IntToStr(n));
  // New leaves the player, playing or not.
  Press(VK_SPACE);
  Run(mainForm->ActionNewGame);
  EXPECT_FALSE(mainForm->Game().Playing());
  EXPECT_FALSE(mainForm->PanelNavigate->Visible());
  // Space outside the player does nothing.
  Press(VK_SPACE);
  EXPECT_FALSE(mainForm->Game().Playing());

  CloseGame();
  EXPECT_EQ(Setting("Play Speed"), "Fast");
  StartGame();
  EXPECT_EQ(mainForm->PlaySpeed(), TPlaySpeed::Fast);
}

TEST_F(SlideTest, AMoveSlidesItsTileAndTheNextInputEndsTheSlideAtOnce) {
  StartGame();
  testsupport::ManualClock clock;
  Run(mainForm->ActionReset);
  testsupport::Pump();
  EXPECT_TRUE(mainForm->AnimateMoves());
  // The blank is in the last cell: the tile left of it slides right into it.
  TPanel* left = mainForm->TilePanel(7);
  TPanel* tile = mainForm->TilePanel(8);
  const TRect start = left->BoundsRect(), home = tile->BoundsRect();
  Press(VK_RIGHT);
  EXPECT_EQ(mainForm->SlidingCell(), 8);
  EXPECT_EQ(tile->BoundsRect(), start);
  EXPECT_EQ(tile->Caption(), "8");
  clock.Advance(45);
  ASSERT_GT(tile->Left(), start.Left);
  ASSERT_LT(tile->Left(), home.Left);
  EXPECT_EQ(tile->Top(), home.Top);
  const TSurface shot = testsupport::Render(mainForm->skImagePanel);
  testsupport::SavePng(shot, "game-tile-mid-slide.png");
  const TColor back = ColorToRGB(mainForm->skImagePanel->Color());
  const TColor face = ColorToRGB(mainForm->skForm->Color());
  // The tile's face is where it has got to; the far end of its cell is still empty.
  EXPECT_EQ(testsupport::PixelAt(shot, tile->Left() + 5, tile->Top() + 5), face);
  EXPECT_EQ(testsupport::PixelAt(shot, home.Right - 3, home.Top + 5), back);
  clock.Advance(100);
  EXPECT_EQ(mainForm->SlidingCell(), -1);
  EXPECT_EQ(tile->BoundsRect(), home);

  // A key during a slide puts the tile home before its own move starts.
  Press(VK_LEFT);
  EXPECT_EQ(mainForm->SlidingCell(), 7);
  Press(VK_RIGHT);
  EXPECT_EQ(left->BoundsRect(), start);
  EXPECT_EQ(mainForm->SlidingCell(), 8);
  EXPECT_EQ(tile->BoundsRect(), start);
  // A resize lays the board out with every tile in its cell.
  mainForm->SetWidth(mainForm->Width() + 40);
  testsupport::Pump();
  EXPECT_EQ(mainForm->SlidingCell(), -1);
  EXPECT_EQ(tile->Top(), left->Top());
  EXPECT_GT(tile->Left(), left->Left() + left->Width());

  // "Animate Moves" off: tiles jump, and the choice is remembered.
  mainForm->mAnimateMovesClick(mainForm->mAnimateMoves);
  EXPECT_FALSE(mainForm->AnimateMoves());
  EXPECT_FALSE(mainForm->mAnimateMoves->Checked());
  const TRect cell7 = left->BoundsRect();
  Press(VK_LEFT);
  EXPECT_EQ(mainForm->SlidingCell(), -1);
  EXPECT_EQ(left->BoundsRect(), cell7);
  EXPECT_TRUE(left->Visible());
  CloseGame();
  EXPECT_EQ(Setting("Animate Moves"), "0");
  StartGame();
  EXPECT_FALSE(mainForm->AnimateMoves());
  EXPECT_FALSE(mainForm->mAnimateMoves->Checked());
}

// Opens Options > Look from the menu bar with the keyboard; Probe sees the open sub-menu, then Keys go to it
// (with none the menus close).
void InLookMenu(const std::function<void(TWinControl*)>& Probe, const std::vector<WORD>& Keys) {
  TskMenuBar* bar = mainForm->skForm->MenuBar();
  ASSERT_NE(bar, nullptr);
  std::vector<WORD> keys(7,
                         VK_DOWN); // past Puzzle Size, Style, Board Image..., Preview, Resize Board, Theme...
  keys.push_back(VK_RIGHT);
  const size_t probeAt = keys.size();
  keys.insert(keys.end(), Keys.begin(), Keys.end());
  size_t next = 0;
  int idles = 0;
  bool probed = false;
  OnMenuLoopIdle = [&] {
    if (next == probeAt && !probed) {
      probed = true;
      Probe(MenuPopupWindows().back());
    }
    if (++idles > 500 || next == keys.size()) {
      CancelMenuTracking();
      return;
    }
    backend::KeyEvent e;
    e.VirtualKey = keys[next++];
    InjectKey(e);
    e.Down = false;
    InjectKey(e);
  };
  bar->TrackMenu(bar->Buttons(1));
  OnMenuLoopIdle = nullptr;
  EXPECT_TRUE(probed);
  EXPECT_EQ(next, keys.size());
  testsupport::Pump();
}

TEST_F(LookTest, ALookChosenInTheMenuRestylesAllThreeWindowsIsTickedAndRemembered) {
  StartGame();
  EXPECT_EQ(mainForm->Look(), FromThemeFile);
  // Options > Look > WinXP.
  InLookMenu([](TWinControl*) {}, {VK_DOWN, VK_RETURN});
  EXPECT_EQ(mainForm->Look(), WinXP);
  for (TskThemeManager* m :
       {mainForm->skThemeManager, FormAbout->skThemeManager, FormPreview->skThemeManager})
    EXPECT_EQ(m->UIStyle(), WinXP);
  EXPECT_EQ(mainForm->skForm->UIStyle(), WinXP);
  EXPECT_EQ(FormAbout->skForm->UIStyle(), WinXP);
  EXPECT_EQ(FormPreview->skForm->UIStyle(), WinXP);
  EXPECT_EQ(mainForm->skButtonPlay->UIStyle(), WinXP);
  EXPECT_EQ(mainForm->skPanelBoard->UIStyle(), WinXP);
  testsupport::RenderToPng(mainForm, "game-look-winxp.png");

  // Opened again, the menu ticks WinXP and nothing else.
  TSurface menu;
  InLookMenu(
      [&](TWinControl* Window) {
        menu = testsupport::Render(Window);
        testsupport::SavePng(menu, "game-look-menu.png");
      },
      {});
  for (int i = 0; i < mainForm->mLook->Count(); ++i) {
    TMenuItem* item = mainForm->mLook->Items(i);
    EXPECT_EQ(item->Checked(), item->Caption() == "WinXP") << item->Caption();
  }
  const std::vector<std::string> captions = [] {
    std::vector<std::string> c;
    for (int i = 0; i < mainForm->mLook->Count(); ++i) c.push_back(mainForm->mLook->Items(i)->Caption());
    return c;
  }();
  EXPECT_EQ(captions, (std::vector<std::string>{"MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass", "-",
                                                "From Theme File..."}));
  // The tick is drawn in the bar of the second row: its bar differs from the third row's, whose bar is the
  // same as the fourth's.
  ASSERT_GT(menu.Width(), 0);
  const int rowHeight = mainForm->MainMenu->MenuItemHeight();
  const auto barsDiffer = [&](int RowA, int RowB) {
    int differ = 0;
    for (int y = 2; y < rowHeight - 2; ++y)
      for (int x = 2; x < 24; ++x)
        differ += testsupport::PixelAt(menu, x, 2 + RowA * rowHeight + y) !=
                  testsupport::PixelAt(menu, x, 2 + RowB * rowHeight + y);
    return differ;
  };
  EXPECT_GT(barsDiffer(1, 2), 10);
  EXPECT_EQ(barsDiffer(2, 3), 0);

  CloseGame();
  EXPECT_EQ(Setting("Look"), "WinXP");
  EXPECT_EQ(Setting("Theme"), "");
  // Without a theme file the remembered look still applies when the game shows again.
  StartGame();
  EXPECT_EQ(mainForm->Look(), WinXP);
  EXPECT_EQ(mainForm->skForm->UIStyle(), WinXP);
  EXPECT_EQ(FormAbout->skForm->UIStyle(), WinXP);

  // "From Theme File..." is the Theme dialog: cancelled, the look stays; confirmed, the file's look shows.
  TMenuItem* fromFile = ItemCaptioned(mainForm->mLook, "From Theme File...");
  Picks = {""};
  mainForm->mLookItemClick(fromFile);
  EXPECT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(mainForm->Look(), WinXP);
  const std::string sunset = std::string(QUENDREL_PROGRAM_DIR) + "/themes/Sunset.skn";
  Picks = {sunset};
  mainForm->mLookItemClick(fromFile);
  EXPECT_EQ(mainForm->Look(), FromThemeFile);
  EXPECT_EQ(mainForm->ThemeFile(), sunset);
  EXPECT_EQ(mainForm->skForm->UIStyle(), FromThemeFile);
  EXPECT_EQ(FormPreview->skForm->UIStyle(), FromThemeFile);
  EXPECT_EQ(mainForm->skPanelBoard->BorderColor(), mainForm->skFileTheme->GetColor(25));
  // A built-in look over a theme file, then the Theme... command brings the file's look back.
  mainForm->mLookItemClick(ItemCaptioned(mainForm->mLook, "Protein"));
  EXPECT_EQ(FormAbout->skForm->UIStyle(), Protein);
  Picks = {sunset};
  Run(mainForm->ActionChangeTheme);
  EXPECT_EQ(mainForm->Look(), FromThemeFile);
  EXPECT_EQ(FormAbout->skForm->UIStyle(), FromThemeFile);
  CloseGame();
  EXPECT_EQ(Setting("Look"), "FromThemeFile");
}

} // namespace
