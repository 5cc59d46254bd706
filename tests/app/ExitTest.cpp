// The game's end as the program meets it: the application creates the three windows and runs the loop, the
// user opens the pop-up menu and a drop-down of the menu bar and quits with Alt+X, the loop returns and the
// windows are freed only when the program exits. That end must neither crash nor lose the settings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Panel.h"
#include "classlib/core/SysUtils.h"
#include "skin/SKForm.h"
#include "tests/classlib/core/TempFolder.h"
#include "tests/support/TestSupport.h"

namespace {

[[noreturn]] void PlayAndQuit(const std::string& Folder) {
  SetCurrentDir(Folder);
  BannerPageURL = "http://127.0.0.1:1/quendrel/banner.htm"; // nobody listens there
  Application->Initialize();
  Application->SetTitle("Quendrel v2.0");
  Application->CreateForm(mainForm);
  Application->CreateForm(FormAbout);
  Application->CreateForm(FormPreview);
  bool played = false;
  Application->OnIdle = [&played](TObject*, bool&) {
    if (played) return;
    played = true;
    testsupport::WhileMenuOpen([] { testsupport::Click(mainForm->TilePanel(0), 5, 5, mbRight); }, [] {});
    testsupport::WhileMenuOpen(
        [] { mainForm->skForm->MenuBar()->TrackMenu(mainForm->skForm->MenuBar()->Buttons(1)); }, [] {});
    testsupport::PressKey('X', backend::ModAlt);
  };
  Application->Run();
  std::fputs("the loop returned\n", stderr);
  std::exit(0); // the windows are still open: the program's end frees them
}

TEST(GameExitDeathTest, QuittingAfterTheMenusEndsCleanlyAndWritesTheSettings) {
  TempFolder folder;
  EXPECT_EXIT(PlayAndQuit(folder.Path), ::testing::ExitedWithCode(0), "the loop returned");
  std::ifstream ini(folder.File("quendrel.ini"));
  ASSERT_TRUE(ini) << "no settings written";
  std::stringstream text;
  text << ini.rdbuf();
  EXPECT_NE(text.str().find("Puzzle Size=6"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("Theme="), std::string::npos) << text.str();
}

} // namespace
