// A new user's first session, end to end: start without a settings file, play by mouse and keys, search and
// step through the solution, picture styles, another size, the sample themes and the built-in styles, About
// and Preview, Esc during a search, quit; then the settings come back, and another working folder starts
// fresh. Commands are chosen from the menu bar with the keyboard, as a user may. Offscreen each step is
// rendered to a picture; on a desktop (QUENDREL_SCREENSHOT_DIR set, run under a virtual X server) the screen
// itself is photographed.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/RecordsForm.h"
#include "classlib/backend/Backend.h"
#include "classlib/controls/ToolBar.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Random.h"
#include "skin/SKForm.h"
#include "tests/app/GameFixture.h"

namespace {

class StoryTest : public GameTest {
 protected:
  // Records one step: the desktop's screen when there is one, else the game window rendered.
  void Photo(const std::string& Name, TControl* Window = nullptr) {
    for (int i = 0; i < 5; ++i) {
      Application->ProcessMessages();
      backend::ProcessEvents(desktop.empty() ? 0 : 20);
    }
    if (!desktop.empty()) {
      const std::string command = "import -window root '" + desktop + "/" + Name + ".png'";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    } else {
      testsupport::RenderToPng(Window ? Window : mainForm, "story-" + Name + ".png");
    }
  }

  // Drops down the menu bar's entry Top and walks Keys through it as a keyboard user does (Down to an item,
  // Right into its sub-menu, Return to choose it); the menus are photographed before the last key.
  void FromMenuBar(int Top, const std::vector<WORD>& Keys, const std::string& PhotoName) {
    TskMenuBar* bar = mainForm->skForm->MenuBar();
    ASSERT_NE(bar, nullptr);
    mainForm->UpdateActions(); // the commands' state, as the loop leaves it whenever it idles
    size_t next = 0;
    int idles = 0;
    OnMenuLoopIdle = [&] {
      if (++idles > 500) {
        CancelMenuTracking();
        return;
      }
      if (next == Keys.size()) return;
      if (next + 1 == Keys.size()) {
        if (!desktop.empty())
          Photo(PhotoName);
        else
          testsupport::RenderToPng(MenuPopupWindows().back(), "story-" + PhotoName + ".png");
      }
      backend::KeyEvent e;
      e.VirtualKey = Keys[next++];
      InjectKey(e);
      e.Down = false;
      InjectKey(e);
    };
    bar->TrackMenu(bar->Buttons(Top));
    OnMenuLoopIdle = nullptr;
    EXPECT_EQ(next, Keys.size()) << PhotoName;
    testsupport::Pump();
  }
  static std::vector<WORD> Downs(int N, std::vector<WORD> Then) {
    std::vector<WORD> keys(static_cast<size_t>(N), VK_DOWN);
    keys.insert(keys.end(), Then.begin(), Then.end());
    return keys;
  }

  void SetUp() override {
    GameTest::SetUp();
    if (const char* dir = std::getenv("QUENDREL_SCREENSHOT_DIR"); dir && !backend::IsOffscreen()) {
      desktop = dir;
      std::filesystem::create_directories(desktop);
    }
    // The program's folder as `make run` starts it: the board picture beside the settings.
    std::filesystem::copy_file(std::string(QUENDREL_PROGRAM_DIR) + "/default.jpg", Dir.File("default.jpg"));
  }

  std::string desktop;
};

TEST_F(StoryTest, ANewUsersFirstSession) {
  ASSERT_FALSE(std::filesystem::exists(Dir.File("quendrel.ini")));
  SRand(314);
  StartGame();
  EXPECT_EQ(Status(), "New game");
  Photo("01-first-start");

  // Mouse: two tiles next to the blank.
  for (int i = 0; i < 2; ++i) {
    const int blank = Blank();
    ClickTile(blank % 3 > 0 ? blank - 1 : blank + 1);
  }
  EXPECT_EQ(mainForm->HistoryLength(), 2);
  Photo("02-two-clicks");
  // Keys: up, left, down, right where a tile can move.
  for (WORD key : {VK_UP, VK_LEFT, VK_DOWN, VK_RIGHT}) Press(key);
  EXPECT_EQ(CellsOnScreen(), Cells());
  Photo("03-arrow-keys");

  // A right click on the board opens the game's pop-up menu.
  mainForm->UpdateActions(); // as the loop does when it idles before the click
  EXPECT_TRUE(testsupport::WhileMenuOpen([&] { testsupport::Click(mainForm->TilePanel(0), 5, 5, mbRight); },
                                         [&] {
                                           if (!desktop.empty())
                                             Photo("03b-right-click-menu");
                                           else
                                             testsupport::RenderToPng(MenuPopupWindows().back(),
                                                                      "story-03b-right-click-menu.png");
                                         }));

  // Search: the chain runs until no shorter solution is found.
  const std::vector<int> searched = Cells();
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  EXPECT_EQ(Status(), "Searching...");
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Solution found.");
  const int n = mainForm->SolutionLength();
  EXPECT_EQ(Step(), IntToStr(n));
  Photo("04-solution-found");

  // The player: from 0/n to n/n, the board solved at the end.
  FromMenuBar(2, Downs(3, {VK_RETURN}), "05a-menu-show-solution"); // Solution > Show Solution
  EXPECT_EQ(Step(), "0/" + IntToStr(n));
  EXPECT_EQ(Cells(), searched);
  Photo("05-player-at-0");
  for (int i = 0; i < 3 && i < n; ++i) testsupport::Click(mainForm->skButtonNext, 10, 10);
  Photo("06-player-three-steps");
  for (int i = 3; i < n; ++i) testsupport::Click(mainForm->skButtonNext, 10, 10);
  EXPECT_EQ(Step(), IntToStr(n) + "/" + IntToStr(n));
  EXPECT_TRUE(mainForm->Board()->IsEqual(mainForm->Goal().data()));
  Photo("07-player-solved");

  // Picture styles with the default picture, on a larger board.
  FromMenuBar(0, Downs(1, {VK_RETURN}), "08a-menu-new"); // Game > New
  FromMenuBar(1, Downs(5, {VK_RIGHT, VK_RETURN}),
              "08b-menu-resize-normal"); // Options > Resize Board > Normal
  FromMenuBar(1, Downs(2, {VK_RIGHT, VK_DOWN, VK_RETURN}), "08c-menu-style"); // Options > Style > Graphic
  EXPECT_EQ(mainForm->Style(), 1);
  EXPECT_FALSE(mainForm->BoardPicture()->Picture()->Bitmap()->Empty());
  Photo("08-picture-pieces");
  FromMenuBar(1, Downs(2, {VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}), "09a-menu-style-both");
  EXPECT_EQ(mainForm->Style(), 2);
  Photo("09-pieces-with-numbers");
  // Options > Puzzle Size > 4x4; the size in use is marked when the sub-menu opens.
  FromMenuBar(1,
              Downs(1, {VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,
                        VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}),
              "10a-menu-puzzle-size");
  EXPECT_TRUE(mainForm->mPuzzleSize->Items(6)->Checked()); // 3x3 was marked
  EXPECT_EQ(mainForm->Rows(), 4);
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "15-Puzzle");
  Photo("10-four-by-four");

  // Every sample theme, chosen through the theme dialog.
  for (const char* theme : {"Emerald", "Sunset", "Amethyst"}) {
    Picks = {std::string(QUENDREL_PROGRAM_DIR) + "/themes/" + theme + ".skn"};
    FromMenuBar(1, Downs(6, {VK_RETURN}), std::string("11a-menu-theme-") + theme); // Options > Theme...
    EXPECT_TRUE(FormPreview->skFileTheme->CanUse());
    Photo(std::string("11-theme-") + theme);
  }
  // Every built-in style, pushed by the windows' theme managers as a theme file pushes its items.
  const char* const styles[] = {"", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"};
  for (int s = MacOS; s <= BlueGlass; ++s) {
    for (TskThemeManager* m :
         {mainForm->skThemeManager, FormAbout->skThemeManager, FormPreview->skThemeManager})
      m->SetUIStyle(static_cast<TskUIStyle>(s));
    Photo(std::string("12-style-") + styles[s]);
  }
  for (TskThemeManager* m :
       {mainForm->skThemeManager, FormAbout->skThemeManager, FormPreview->skThemeManager})
    m->SetUIStyle(FromThemeFile);

  // About, modal until it is closed.
  bool sawAbout = false;
  Application->OnIdle = [&](TObject*, bool&) {
    if (!sawAbout && FormAbout->Visible() && FormAbout->FormState().Contains(fsModal)) {
      sawAbout = true;
      Photo("13-about", FormAbout);
      FormAbout->SetModalResult(mrOk);
    }
  };
  FromMenuBar(3, Downs(2, {VK_RETURN}), "13a-menu-about"); // Help > About
  Application->OnIdle = nullptr;
  EXPECT_TRUE(sawAbout);

  // Preview: the whole picture in a window as large as the board.
  FromMenuBar(1, Downs(4, {VK_RETURN}), "14a-menu-preview"); // Options > Preview
  EXPECT_TRUE(FormPreview->Visible());
  Photo("14-preview", FormPreview);
  FormPreview->Hide();
  testsupport::Click(mainForm->PanelStatus, 5, 5); // back to the game window, as a user would

  // Esc during a search on the largest board.
  mainForm->mPuzzleSize->Items(24)->Click();
  HoldSearchRuns(); // Esc certainly meets the first run under way
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  Press(VK_ESCAPE);
  ReleaseSearchRuns();
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Solution not found !");
  Photo("15-search-stopped");

  // Quit with Alt+X; the settings are written on the way out.
  const int width = mainForm->Width();
  Press(static_cast<WORD>('X') | 0); // plain X does nothing
  EXPECT_FALSE(std::filesystem::exists(Dir.File("quendrel.ini")));
  testsupport::PressKey('X', backend::ModAlt);
  EXPECT_FALSE(mainForm->Visible());
  CloseGame();
  EXPECT_EQ(Setting("Puzzle Size"), "24");
  EXPECT_EQ(Setting("Style"), "2");
  EXPECT_EQ(Setting("Width"), IntToStr(width));
  EXPECT_EQ(Setting("Theme"), std::string(QUENDREL_PROGRAM_DIR) + "/themes/Amethyst.skn");

  // The next start comes back as it was left.
  StartGame();
  EXPECT_EQ(mainForm->Rows(), 6);
  EXPECT_EQ(mainForm->Style(), 2);
  EXPECT_EQ(mainForm->Width(), width);
  EXPECT_TRUE(FormAbout->skFileTheme->CanUse());
  Photo("16-second-start");
  CloseGame();

  // Another working folder knows nothing of it.
  TempFolder other;
  SetCurrentDir(other.Path);
  StartGame();
  EXPECT_EQ(mainForm->Rows(), 3);
  EXPECT_EQ(mainForm->Style(), 0);
  EXPECT_EQ(mainForm->ThemeFile(), "");
  CloseGame();
  EXPECT_TRUE(std::filesystem::exists(other.File("quendrel.ini")));
}

// A game taken back, kept and brought back, then a record: the Game menu's Undo, the short cuts, Save As...
// and Load... through their dialogs, and the records window.
TEST_F(StoryTest, AGameTakenBackKeptAndRecorded) {
  SRand(2718);
  StartGame();
  for (int i = 0; i < 2; ++i) {
    const int blank = Blank();
    ClickTile(blank % 3 > 0 ? blank - 1 : blank + 1);
  }
  const std::vector<int> played = Cells();
  Photo("k01-two-clicks");
  FromMenuBar(0, Downs(3, {VK_RETURN}), "k02-menu-undo"); // Game > Undo
  testsupport::PressKey('Z', backend::ModControl);
  EXPECT_EQ(mainForm->Game().UndoLength(), 0);
  Photo("k03-both-undone");
  testsupport::PressKey('Y', backend::ModControl);
  testsupport::PressKey('Y', backend::ModControl);
  EXPECT_EQ(Cells(), played);

  Picks = {Dir.File("story.qgame")};
  FromMenuBar(0, Downs(6, {VK_RETURN}), "k04-menu-save-as"); // Game > Save As...
  EXPECT_EQ(Status(), "Game saved");
  FromMenuBar(0, Downs(1, {VK_RETURN}), "k05-menu-new"); // Game > New
  Picks = {Dir.File("story.qgame")};
  FromMenuBar(0, Downs(5, {VK_RETURN}), "k06-menu-load"); // Game > Load...
  EXPECT_EQ(Cells(), played);
  EXPECT_EQ(Status(), "Game loaded");
  Photo("k07-loaded");
  testsupport::PressKey('Z', backend::ModControl); // the moves came back with the game
  EXPECT_EQ(mainForm->Game().UndoLength(), 1);

  // The shortest solution, played by itself to the goal at the fast speed.
  testsupport::PressKey(VK_F5, backend::ModControl);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Shortest solution found.");
  FromMenuBar(2, Downs(3, {VK_RETURN}), "k07a-menu-show-solution"); // Solution > Show Solution
  for (int i = 0; i < mainForm->mPlaySpeed->Count(); ++i)
    if (mainForm->mPlaySpeed->Items(i)->Caption() == "Fast")
      mainForm->mPlaySpeedItemClick(mainForm->mPlaySpeed->Items(i));
  testsupport::PressKey(VK_SPACE);
  EXPECT_TRUE(mainForm->Game().Playing());
  Photo("k07b-playing");
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Game().Playing() && mainForm->SlidingCell() == -1; }));
  EXPECT_TRUE(mainForm->Game().Solved());
  Photo("k07c-played-to-the-goal");

  // A dealt game one move from its goal, solved: the first record of its size.
  std::ofstream(Dir.File("nearly.qgame")) << "Quendrel game 1\nsize 3 3\nstyle 0\nimage \n"
                                             "start 1 2 3 4 5 6 7 0 8\nmoves \ncount 0\nelapsed 0\n"
                                             "state new\nrecordable 1\n";
  ASSERT_TRUE(mainForm->OpenGameFile(Dir.File("nearly.qgame")));
  ClickTile(8);
  EXPECT_EQ(Status().rfind("Congratulations ! Records: 1 move", 0), 0u) << Status();
  Photo("k08-record");
  FromMenuBar(0, Downs(7, {VK_RETURN}), "k09-menu-records"); // Game > Records...
  ASSERT_NE(mainForm->RecordsWindow(), nullptr);
  EXPECT_TRUE(mainForm->RecordsWindow()->Visible());
  Photo("k10-records", mainForm->RecordsWindow());
}

} // namespace
