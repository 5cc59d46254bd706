#pragma once
// The game's three windows in a working folder of their own, with the desktop's dialogs, message boxes
// and browser answered by the test, and helpers that play through the same input road as a user.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Image.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/IniFiles.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Picture.h"
#include "classlib/win/Windows.h"
#include "engine/SearchThread.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"
#include "tests/classlib/core/TempFolder.h"
#include "tests/support/TestSupport.h"

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->SetTitle("Quendrel v2.0");
    ASSERT_FALSE(Dir.Path.empty());
    OldDir = GetCurrentDir();
    SetCurrentDir(Dir.Path);
    MessageBoxHook = [this](const AnsiString& Text, const AnsiString& Caption, int) {
      Boxes.push_back(Caption + ": " + Text);
      return IDOK;
    };
    ShellExecuteHook = [this](const AnsiString& File) {
      Opened.push_back(File);
      return true;
    };
    OpenDialogHook = [this](TOpenDialog* Dialog) {
      Dialogs.push_back(Dialog->InitialDir + "|" + Dialog->Filter);
      if (Picks.empty()) return false;
      Dialog->FileName = Picks.front();
      Picks.erase(Picks.begin());
      return !Dialog->FileName.empty();
    };
    // Nobody listens on port 1: the banner page is unreachable unless a test serves one.
    BannerPageURL = "http://127.0.0.1:1/quendrel/banner.htm";
  }

  void TearDown() override {
    ReleaseSearchRuns();
    CloseGame();
    // Every worker has ended with the game: none reads the hook any more.
    TSearchThread::MemoryStatus = nullptr;
    SetCurrentDir(OldDir);
    MessageBoxHook = nullptr;
    ShellExecuteHook = nullptr;
    OpenDialogHook = nullptr;
  }

  // Creates the three windows as the program does (not as the application's main form, so that closing
  // the game window does not end the test's loop) and shows the game.
  void StartGame() {
    mainForm = new TmainForm(Application); // owned by the application, like the program's windows
    FormAbout = new TFormAbout(Application);
    FormPreview = new TFormPreview(Application);
    mainForm->Show();
    testsupport::Pump();
  }

  // Frees the windows; the game writes its settings on the way.
  void CloseGame() {
    delete mainForm;
    delete FormAbout;
    delete FormPreview;
    testsupport::Pump();
  }

  // From now on each search run waits at its start until ReleaseSearchRuns (or a generous deadline), so
  // that what the test does meanwhile certainly meets a run under way, however busy the machine.
  static void HoldSearchRuns() {
    {
      std::lock_guard guard(RunGate().lock);
      RunGate().held = true;
    }
    TSearchThread::MemoryStatus = [](MEMORYSTATUS* Status) {
      TRunGate& gate = RunGate();
      std::unique_lock guard(gate.lock);
      gate.changed.wait_for(guard, std::chrono::seconds(60), [&gate] { return !gate.held; });
      guard.unlock();
      GlobalMemoryStatus(Status);
    };
  }
  static void ReleaseSearchRuns() {
    {
      std::lock_guard guard(RunGate().lock);
      RunGate().held = false;
    }
    RunGate().changed.notify_all();
  }

  void WriteSettings(const std::string& Text) { std::ofstream(Dir.File("quendrel.ini")) << Text; }
  AnsiString Setting(const char* Key) {
    return TIniFile(Dir.File("quendrel.ini")).ReadString("DEFAULT", Key, "<none>");
  }

  // Runs the loop until Done holds or a generous deadline passes.
  static bool PumpUntil(const std::function<bool()>& Done, int Seconds = 60) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (!Done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Application->ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  // The board as the tiles show it: the number on each cell, -1 where no tile shows.
  std::vector<int> CellsOnScreen() const {
    std::vector<int> cells;
    for (int i = 0; i < mainForm->Board()->count; ++i) {
      TPanel* p = mainForm->TilePanel(i);
      cells.push_back(p && p->Visible() ? StrToIntDef(p->Caption(), 0) : -1);
    }
    return cells;
  }
  std::vector<int> Cells() const {
    const TBoard* b = mainForm->Board();
    return std::vector<int>(b->cells, b->cells + b->count);
  }
  int Blank() const {
    const std::vector<int> c = Cells();
    return static_cast<int>(std::find(c.begin(), c.end(), -1) - c.begin());
  }

  // A click in the middle of a cell's tile, through the desktop's input road.
  void ClickTile(int Cell) {
    TPanel* p = mainForm->TilePanel(Cell);
    ASSERT_NE(p, nullptr);
    testsupport::Click(p, p->Width() / 2, p->Height() / 2);
  }
  void Press(WORD Key) { testsupport::PressKey(Key); }

  AnsiString Status() const { return mainForm->LabelStatus->Caption(); }
  AnsiString Step() const { return mainForm->PanelStep->Caption(); }
  AnsiString Time() const { return mainForm->PanelTime->Caption(); }
  // Runs an action as its menu item or short cut would.
  static bool Run(TAction* Action) { return Action->Execute(); }

  struct TRunGate {
    std::mutex lock;
    std::condition_variable changed;
    bool held = false;
  };
  static TRunGate& RunGate() {
    static TRunGate gate;
    return gate;
  }

  TempFolder Dir;
  AnsiString OldDir;
  std::vector<std::string> Boxes;
  std::vector<std::string> Opened;
  std::vector<std::string> Dialogs;
  std::vector<AnsiString> Picks; // files the open dialogs pick, in turn; "" cancels
};
