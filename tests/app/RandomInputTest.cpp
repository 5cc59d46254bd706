// A player who presses anything anywhere: random clicks, drags, double clicks and keys on every window of
// the game, its menus and dialogs included, all through the desktop's input road. Whatever state that
// leaves, Alt+F4 as a keyboard sends it (Alt down, F4 down and up, Alt up) closes the active window at once.
#include <random>
#include <sstream>

#include "classlib/controls/Menus.h"
#include "classlib/controls/Screen.h"
#include "tests/app/GameFixture.h"

namespace {

class RandomInputTest : public GameTest {
 protected:
  void TearDown() override {
    OnMenuLoopIdle = nullptr;
    Application->OnIdle = nullptr;
    GameTest::TearDown();
  }

  int Pick(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(Random); }

  // One random event, queued for whichever loop takes input next (the game's, a menu's, a modal form's).
  void QueueRandomEvent() {
    std::vector<TCustomForm*> shown;
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Visible()) shown.push_back(Screen->Forms(i));
    if (shown.empty()) return;
    TCustomForm* form = shown[static_cast<size_t>(Pick(static_cast<int>(shown.size())))];
    // Anywhere on the window, its frame included, or just beside it.
    const TPoint at{form->Left() - 8 + Pick(form->Width() + 16), form->Top() - 8 + Pick(form->Height() + 16)};
    static const WORD keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_ESCAPE, VK_RETURN, VK_SPACE, VK_TAB,
                                VK_F10,  VK_MENU,  VK_F1, 'A',     'G',       'H',       'N',      'O',
                                'P',     'R',      'S',   'X',     'Z',       '1',       '3',      VK_HOME};
    static const unsigned modifiers[] = {0, 0, 0, backend::ModAlt, backend::ModControl, backend::ModShift};
    const TMouseButton button = Pick(4) == 0 ? mbRight : mbLeft;
    switch (Pick(8)) {
    case 0:
    case 1:
      testsupport::QueueMouseMove(form, at);
      break;
    case 2:
    case 3:
      testsupport::QueueMouse(form, at, button, true);
      testsupport::QueueMouse(form, at, button, false);
      break;
    case 4:
      testsupport::QueueMouse(form, at, button, true); // a drag begins; a later release or none ends it
      break;
    case 5:
      testsupport::QueueMouse(form, at, button, false);
      break;
    default:
      testsupport::QueueKey(keys[Pick(std::size(keys))], modifiers[Pick(std::size(modifiers))]);
      break;
    }
  }

  static AnsiString Describe(HWND Wnd) {
    TControl* c = Wnd ? FindControl(Wnd) : nullptr;
    return c ? c->ClassName() + " " + c->Name() : AnsiString(Wnd ? "a window" : "none");
  }

  // Runs the loops until Events random events were played, trying Alt+F4 after every Every of them. Each
  // try must close the window that was active; the game window, once closed, is shown again.
  void Play(int Events, int Every) {
    int played = 0;
    bool closing = false;
    HWND target = nullptr;
    AnsiString state;
    int waited = 0;
    const auto step = [&] {
      if (closing) {
        // The keys have been taken: the window they were for must be gone from the screen.
        if (IsWindow(target) && IsWindowVisible(target) && ++waited < 3) return;
        if (IsWindow(target) && IsWindowVisible(target)) Swallowed.push_back(state);
        closing = false;
        if (!mainForm->Visible()) mainForm->Show();
        return;
      }
      if (played >= Events) return;
      if (++played % Every != 0) {
        QueueRandomEvent();
        return;
      }
      target = GetActiveWindow();
      std::ostringstream s;
      s << "after " << played << " events: active " << Describe(target) << ", focus " << Describe(GetFocus())
        << ", capture " << Describe(GetCapture()) << ", menu open " << !MenuPopupWindows().empty();
      state = s.str();
      waited = 0;
      closing = target != nullptr;
      testsupport::QueueKeyEvent(VK_MENU, backend::ModAlt, true);
      testsupport::QueueKeyEvent(VK_F4, backend::ModAlt, true);
      testsupport::QueueKeyEvent(VK_F4, backend::ModAlt, false);
      testsupport::QueueKeyEvent(VK_MENU, 0, false);
    };
    // Whichever loop runs finds a message waiting after each step, rather than sleeping for one.
    const auto idle = [&] {
      step();
      PostMessage(nullptr, WM_NULL, 0, 0);
    };
    Application->OnIdle = [&](TObject*, bool&) { idle(); };
    OnMenuLoopIdle = idle;
    while (played < Events || closing) Application->HandleMessage();
    OnMenuLoopIdle = nullptr;
    Application->OnIdle = nullptr;
  }

  std::mt19937 Random;
  std::vector<std::string> Swallowed; // the state before each Alt+F4 that closed nothing
};

TEST_F(RandomInputTest, AltF4ClosesTheActiveWindowWhateverRandomInputLeftBehind) {
  StartGame();
  for (unsigned seed : {1u, 2u, 3u}) {
    Random.seed(seed);
    Play(1000, 50);
  }
  EXPECT_TRUE(Swallowed.empty()) << ::testing::PrintToString(Swallowed);
}

// Alt held down since before the menu dropped down, so that no Alt press comes to close it: F4 alone must
// still close the menu and the game window, not go unheard into the menu.
TEST_F(RandomInputTest, AltF4WithAltHeldSinceBeforeAMenuOpenedClosesTheMenuAndTheWindow) {
  StartGame();
  testsupport::QueueKeyEvent(VK_MENU, backend::ModAlt, true);
  testsupport::Pump();
  OnMenuLoopIdle = [] {
    testsupport::QueueKeyEvent(VK_F4, backend::ModAlt, true);
    testsupport::QueueKeyEvent(VK_F4, backend::ModAlt, false);
    testsupport::QueueKeyEvent(VK_MENU, 0, false);
    OnMenuLoopIdle = nullptr;
  };
  mainForm->skForm->MenuBar()->TrackMenu(mainForm->skForm->MenuBar()->Buttons(0));
  const bool menuClosed = MenuPopupWindows().empty();
  testsupport::Pump();
  EXPECT_TRUE(menuClosed);
  EXPECT_FALSE(mainForm->Visible()) << "the close request went unheard";
}

} // namespace
