// The game's end as the program meets it: the application creates the three windows and runs the loop, the
// player quits one of the ways a player can, and the windows are freed only when the program exits. That end
// must neither crash nor lose the settings, and a settings file that cannot be written is reported in a
// message box that waits for its answer, after which the program ends with code 0, the old file untouched.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/core/SysUtils.h"
#include "classlib/win/Windows.h"
#include "skin/SKForm.h"
#include "tests/classlib/core/TempFolder.h"
#include "tests/support/TestSupport.h"

namespace {

enum class TQuit { CloseBox, AltF4, AltX, ExitAction, LoopEnd, ExitCall };

const char* const OldSettings = "[DEFAULT]\nPuzzle Size=12\nStyle=0\nWidth=300\nHeight=380\n";

std::string ReadAll(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void ClickCloseBox() {
  TskTitleBar* bar = mainForm->skForm->TitleBar();
  TskTitleBarButtons* buttons = mainForm->skForm->TitleBarButtons();
  for (int i = 0; i < buttons->Count(); ++i)
    if (buttons->Items(i)->ButtonType() == skClose) {
      const TRect r = bar->ButtonRects(bar->Width())[buttons->Items(i)->Index()];
      testsupport::Click(bar, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
      return;
    }
  std::fputs("no close box\n", stderr);
}

void Quit(TQuit How) {
  switch (How) {
  case TQuit::CloseBox:
    ClickCloseBox();
    break;
  case TQuit::AltF4:
    testsupport::PressKey(VK_F4, backend::ModAlt);
    break;
  case TQuit::AltX:
    testsupport::PressKey('X', backend::ModAlt);
    break;
  case TQuit::ExitAction:
    mainForm->ActionExit->Execute();
    break;
  case TQuit::LoopEnd:
    Application->Terminate();
    break;
  case TQuit::ExitCall:
    std::exit(0); // the windows are open and the loop runs
  }
}

int AnsweredBoxes = 0;

// A player reads each message box once it is on the screen, and clicks its OK button. What the box shows
// goes to the standard error output: its caption, its text, and how many pixels of text were drawn.
void AnswerMessageBoxes() {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* box = Screen->Forms(i);
    auto* text = dynamic_cast<TLabel*>(box->FindComponent("Message"));
    auto* ok = dynamic_cast<TButton*>(box->FindComponent("Button2"));
    if (!box->Visible() || !box->FormState().Contains(fsModal) || !text || !ok) continue;
    const TSurface shown = testsupport::Render(text);
    const TColor paper = testsupport::PixelAt(shown, 0, 0);
    int inked = 0;
    for (int y = 0; y < text->Height(); ++y)
      for (int x = 0; x < text->Width(); ++x) inked += testsupport::PixelAt(shown, x, y) != paper;
    std::fprintf(stderr, "%s box: %s [%s]\n", box->Caption().c_str(), text->Caption().c_str(),
                 inked > 20 ? "drawn" : "blank");
    ++AnsweredBoxes;
    testsupport::Click(ok, ok->Width() / 2, ok->Height() / 2);
    return;
  }
}

// The program's own start and end, in Folder, with message boxes really shown; How ends it.
[[noreturn]] void PlayAndQuit(const std::string& Folder, TQuit How) {
  SetCurrentDir(Folder);
  BannerPageURL = "http://127.0.0.1:1/quendrel/banner.htm"; // nobody listens there
  ShowOffscreenDialogs = true;
  Application->Initialize();
  // Runs after the program's end work, before anything with static storage goes.
  std::atexit([] { std::fprintf(stderr, "boxes answered at the end: %d\n", AnsweredBoxes); });
  Application->SetTitle("Quendrel v2.0");
  Application->CreateForm(mainForm);
  Application->CreateForm(FormAbout);
  Application->CreateForm(FormPreview);
  bool played = false;
  Application->OnIdle = [&played, How](TObject*, bool&) {
    AnswerMessageBoxes();
    if (played) return;
    played = true;
    testsupport::WhileMenuOpen([] { testsupport::Click(mainForm->TilePanel(0), 5, 5, mbRight); }, [] {});
    testsupport::WhileMenuOpen(
        [] { mainForm->skForm->MenuBar()->TrackMenu(mainForm->skForm->MenuBar()->Buttons(1)); }, [] {});
    Quit(How);
  };
  Application->Run();
  std::fputs("the loop returned\n", stderr);
  std::exit(0); // as returning from main: the windows are still open and the program's end frees them
}

[[noreturn]] void PlayAs(uid_t User, gid_t Group, const std::string& Folder) {
  if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Group) != 0 || ::setuid(User) != 0))
    std::_Exit(3);
  PlayAndQuit(Folder, TQuit::AltF4);
}

// No file of the process may grow past Bytes: a longer write breaks off part way.
[[noreturn]] void PlayWithFileSizeLimit(rlim_t Bytes, const std::string& Folder) {
  std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
  const rlimit limit{Bytes, Bytes};
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(3);
  PlayAndQuit(Folder, TQuit::AltF4);
}

TEST(GameExitDeathTest, QuittingAfterTheMenusEndsCleanlyAndWritesTheSettings) {
  TempFolder folder;
  EXPECT_EXIT(PlayAndQuit(folder.Path, TQuit::AltX), ::testing::ExitedWithCode(0),
              "the loop returned\nboxes answered at the end: 0");
  const std::string text = ReadAll(folder.File("quendrel.ini"));
  EXPECT_NE(text.find("Puzzle Size=6"), std::string::npos) << text;
  EXPECT_NE(text.find("Theme="), std::string::npos) << text;
}

// Every way out with a settings "file" that is a folder: the box tells why, waits, and the end is clean.
class GameExitPathDeathTest : public ::testing::TestWithParam<TQuit> {};

TEST_P(GameExitPathDeathTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheGameEndsWithCodeZero) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("quendrel.ini"));
  const std::string ends = GetParam() == TQuit::ExitCall ? "" : "the loop returned\n";
  EXPECT_EXIT(PlayAndQuit(folder.Path, GetParam()), ::testing::ExitedWithCode(0),
              ends + "Error box: Cannot open file \"" + folder.File("quendrel.ini") +
                  "\"\\. Is a directory \\[drawn\\]\nboxes answered at the end: 1");
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("quendrel.ini")));
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("quendrel.ini")));
}

std::string QuitName(const ::testing::TestParamInfo<TQuit>& Info) {
  static const char* const names[] = {"CloseBox", "AltF4", "AltX", "ExitAction", "LoopEnd", "ExitCall"};
  return names[static_cast<int>(Info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, GameExitPathDeathTest,
                         ::testing::Values(TQuit::CloseBox, TQuit::AltF4, TQuit::AltX, TQuit::ExitAction,
                                           TQuit::LoopEnd, TQuit::ExitCall),
                         QuitName);

// The working folder and the old settings file as another user left them: readable, not writable.
TEST(SettingsAtExitDeathTest, AReadOnlyWorkingFolderIsReportedAndKeepsTheOldSettings) {
  TempFolder folder;
  std::ofstream(folder.File("quendrel.ini")) << OldSettings;
  ASSERT_EQ(::chmod(folder.Path.c_str(), 0555), 0);
  uid_t uid = ::getuid();
  gid_t gid = ::getgid();
  if (uid == 0) {
    // A privileged user writes anywhere: the game runs as nobody, as an ordinary user would.
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "run as root, and there is no user \"nobody\" to run the game as";
    uid = nobody->pw_uid;
    gid = nobody->pw_gid;
  }
  EXPECT_EXIT(PlayAs(uid, gid, folder.Path), ::testing::ExitedWithCode(0),
              "Error box: Cannot create file \"" + folder.File("quendrel.ini") +
                  "\"\\. Permission denied \\[drawn\\]\nboxes answered at the end: 1");
  ::chmod(folder.Path.c_str(), 0700);
  EXPECT_EQ(ReadAll(folder.File("quendrel.ini")), OldSettings);
  EXPECT_FALSE(std::filesystem::exists(folder.File("quendrel.ini.tmp")));
}

// The new file breaks off part way: it would be 8 KiB long, and no file may grow past 4 KiB (what the
// program says on its error output stays well below).
TEST(SettingsAtExitDeathTest, AWriteThatFailsPartWayIsReportedAndKeepsTheOldSettings) {
  TempFolder folder;
  std::string old;
  for (int i = 0; i < 128; ++i) old += "; a comment line that the settings writer keeps as it is\n";
  old += OldSettings;
  std::ofstream(folder.File("quendrel.ini")) << old;
  EXPECT_EXIT(PlayWithFileSizeLimit(4096, folder.Path), ::testing::ExitedWithCode(0),
              "Error box: Cannot write file \"" + folder.File("quendrel.ini") +
                  "\"\\. File too large \\[drawn\\]\nboxes answered at the end: 1");
  EXPECT_EQ(ReadAll(folder.File("quendrel.ini")), old);
  EXPECT_FALSE(std::filesystem::exists(folder.File("quendrel.ini.tmp")));
}

// The working folder on a small file system that is full.
TEST(SettingsAtExitDeathTest, AFullDiskIsReportedAndKeepsTheOldSettings) {
  TempFolder folder;
  // A mount of this process's own, gone with it.
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("tmpfs", folder.Path.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
  std::ofstream(folder.File("quendrel.ini")) << OldSettings;
  {
    std::ofstream filler(folder.File("filler"), std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
    }
  }
  EXPECT_EXIT(PlayAndQuit(folder.Path, TQuit::AltF4), ::testing::ExitedWithCode(0),
              "Error box: Cannot write file \"" + folder.File("quendrel.ini") +
                  "\"\\. No space left on device \\[drawn\\]\nboxes answered at the end: 1");
  EXPECT_EQ(ReadAll(folder.File("quendrel.ini")), OldSettings);
  EXPECT_FALSE(std::filesystem::exists(folder.File("quendrel.ini.tmp")));
  ::umount2(folder.Path.c_str(), MNT_DETACH);
}

} // namespace
