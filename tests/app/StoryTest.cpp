// A new user's first session, end to end: start without a settings file, play by mouse and keys, search and
// step through the solution, picture styles, another size, the sample themes and the built-in styles, About
// and Preview, Esc during a search, quit; then the settings come back, and another working folder starts
// fresh. Offscreen each step is rendered to a picture; on a desktop (QUENDREL_SCREENSHOT_DIR set, run under
// a virtual X server) the screen itself is photographed.
#include <cstdlib>
#include <filesystem>

#include "classlib/backend/Backend.h"
#include "classlib/core/Random.h"
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
  TTimer closer(nullptr);
  closer.SetInterval(100);
  bool sawMenu = false;
  closer.OnTimer = [&](TObject*) {
    closer.SetEnabled(false);
    sawMenu = true;
    Photo("03b-right-click-menu");
    CancelMenuTracking();
  };
  closer.SetEnabled(true);
  mainForm->UpdateActions(); // as the loop does when it idles before the click
  testsupport::Click(mainForm->TilePanel(0), 5, 5, mbRight);
  ASSERT_TRUE(PumpUntil([&] { return sawMenu; }));

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
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
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
  Run(mainForm->ActionNewGame);
  Run(mainForm->ActionNormalSize);
  Run(mainForm->ActionChangeStyleToGraphic);
  EXPECT_FALSE(mainForm->BoardPicture()->Picture()->Bitmap()->Empty());
  Photo("08-picture-pieces");
  Run(mainForm->ActionChangeStyleToBoth);
  Photo("09-pieces-with-numbers");
  mainForm->mPuzzleSize->Items(12)->Click(); // 4x4
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "15-Puzzle");
  Photo("10-four-by-four");

  // Every sample theme, chosen through the theme dialog.
  for (const char* theme : {"Emerald", "Sunset", "Amethyst"}) {
    Picks = {std::string(QUENDREL_PROGRAM_DIR) + "/themes/" + theme + ".skn"};
    ASSERT_TRUE(Run(mainForm->ActionChangeTheme));
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
  Run(mainForm->ActionAbout);
  Application->OnIdle = nullptr;
  EXPECT_TRUE(sawAbout);

  // Preview: the whole picture in a window as large as the board.
  ASSERT_TRUE(Run(mainForm->ActionPreview));
  EXPECT_TRUE(FormPreview->Visible());
  Photo("14-preview", FormPreview);
  FormPreview->Hide();
  testsupport::Click(mainForm->PanelStatus, 5, 5); // back to the game window, as a user would

  // Esc during a search on the largest board.
  mainForm->mPuzzleSize->Items(24)->Click();
  ASSERT_TRUE(Run(mainForm->ActionSearch)); // no loop in between: Esc reaches the first run
  Press(VK_ESCAPE);
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

} // namespace
