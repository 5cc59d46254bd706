// The game, offscreen: program start to the first painted game window, one tile move through the input
// road to its repaint in each tile style, a theme switch through the Theme dialog with the board layouts it
// costs, the longest stretch the user-interface thread is busy while a 4x4 improving search chain runs, and
// the longest while tiles slide.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "app/about.h"
#include "app/main.h"
#include "app/preview.h"
#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Random.h"
#include "classlib/core/SysUtils.h"
#include "skin/SKImagePanel.h"

namespace {

const auto ProgramStart = std::chrono::steady_clock::now();

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A working folder of the benchmark's own, holding the settings file and the board picture.
std::string WorkDir() {
  static const std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() / "quendrel-bench-XXXXXX").string();
    if (!::mkdtemp(d.data())) std::abort();
    return d;
  }();
  return dir;
}

void StartGame(const std::string& Settings) {
  std::ofstream(WorkDir() + "/quendrel.ini") << Settings;
  mainForm = new TmainForm(Application); // owned by the application, as in the program
  FormAbout = new TFormAbout(Application);
  FormPreview = new TFormPreview(Application);
  mainForm->Show();
  UpdateAllWindows();
}

void CloseGame() {
  delete mainForm;
  delete FormAbout;
  delete FormPreview;
}

void Key(WORD Code) {
  backend::KeyEvent e;
  e.VirtualKey = Code;
  InjectKey(e);
  e.Down = false;
  InjectKey(e);
  Application->ProcessMessages();
}

double FirstWindowMs = 0;

void ShowFirstWindow() {
  Application->Initialize();
  Application->SetTitle("Quendrel v2.0");
  StartGame("");
  FirstWindowMs = Ms(Clock::now() - ProgramStart);
  CloseGame();
}

// The bytes of the window surfaces of W and its children (device pixels: four times as many at scale 2).
double SurfaceBytes(HWND W) {
  double bytes = static_cast<double>(W->Surface.Width()) * W->Surface.Height() * sizeof(uint32_t);
  for (HWND c : W->Children) bytes += SurfaceBytes(c);
  return bytes;
}

// Run with QT_SCALE_FACTOR=2 for a high-density screen; the counters give the scale and the memory taken.
void BM_StartGame(benchmark::State& state) {
  for (auto _ : state) {
    StartGame("");
    state.PauseTiming();
    state.counters["scale"] = mainForm->Handle()->Surface.Scale();
    state.counters["surface_MiB"] = SurfaceBytes(mainForm->Handle()) / (1024.0 * 1024.0);
    CloseGame();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartGame)->Unit(benchmark::kMillisecond);

// One arrow key moves a tile, the window repaints it; Right and Left take turns on a 4x4 board.
void BM_TileMoveToRepaint(benchmark::State& state) {
  StartGame("[DEFAULT]\nPuzzle Size=12\nStyle=" + std::to_string(state.range(0)) +
            "\nImage=" + std::string(QUENDREL_PROGRAM_DIR) + "/default.jpg\nWidth=420\nHeight=560\n");
  mainForm->ActionReset->Execute();
  UpdateAllWindows();
  bool right = true;
  for (auto _ : state) {
    Key(right ? VK_RIGHT : VK_LEFT);
    UpdateAllWindows();
    right = !right;
  }
  CloseGame();
}
BENCHMARK(BM_TileMoveToRepaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The Theme dialog picks two themes in turn; each switch runs until the window is idle and painted again.
// Counted per switch: the board panel's resizes and the board layouts they and the switch itself cause. In
// each tile style on a 4x4 board.
void BM_ThemeSwitch(benchmark::State& state) {
  StartGame("[DEFAULT]\nPuzzle Size=12\nStyle=" + std::to_string(state.range(0)) +
            "\nImage=" + std::string(QUENDREL_PROGRAM_DIR) + "/default.jpg\n");
  const std::string themes = std::string(QUENDREL_PROGRAM_DIR) + "/themes/";
  bool sunset = true;
  OpenDialogHook = [&sunset, &themes](TOpenDialog* Dialog) {
    Dialog->FileName = themes + (sunset ? "Sunset.skn" : "Emerald.skn");
    return true;
  };
  int resizes = 0;
  const TNotifyEvent resized = mainForm->skPanelBoard->OnResize;
  mainForm->skPanelBoard->OnResize = [&resizes, resized](TObject* Sender) {
    ++resizes;
    resized(Sender);
  };
  // The first theme differs from the built-in look in more than the later switches do.
  mainForm->ActionChangeTheme->Execute();
  Application->ProcessMessages();
  UpdateAllWindows();
  resizes = 0;
  const int layoutsBefore = mainForm->BoardLayouts();
  int64_t switches = 0;
  for (auto _ : state) {
    sunset = !sunset;
    mainForm->ActionChangeTheme->Execute();
    Application->ProcessMessages();
    UpdateAllWindows();
    ++switches;
  }
  state.counters["board_resizes"] = static_cast<double>(resizes) / static_cast<double>(switches);
  state.counters["layouts"] =
      static_cast<double>(mainForm->BoardLayouts() - layoutsBefore) / static_cast<double>(switches);
  mainForm->skPanelBoard->OnResize = resized;
  OpenDialogHook = nullptr;
  CloseGame();
}
BENCHMARK(BM_ThemeSwitch)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The chain runs for a while on a scrambled 4x4 board while the loop goes on; the longest single pass of
// the loop (messages, handed-over termination handlers, painting) is the longest the window is frozen.
void BM_LongestBlockDuringSearchChain(benchmark::State& state) {
  StartGame("[DEFAULT]\nPuzzle Size=12\n");
  double longest = 0;
  int runs = 0;
  for (auto _ : state) {
    SRand(1234);
    mainForm->ActionNewGame->Execute();
    UpdateAllWindows();
    AnsiString step = "0";
    auto t = Clock::now();
    mainForm->ActionSearch->Execute();
    longest = std::max(longest, Ms(Clock::now() - t));
    const auto end = Clock::now() + std::chrono::seconds(4);
    while (mainForm->Searching() && Clock::now() < end) {
      t = Clock::now();
      Application->ProcessMessages();
      UpdateAllWindows();
      longest = std::max(longest, Ms(Clock::now() - t));
      if (mainForm->PanelStep->Caption() != step) {
        step = mainForm->PanelStep->Caption();
        ++runs;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    t = Clock::now();
    Key(VK_ESCAPE);
    longest = std::max(longest, Ms(Clock::now() - t));
    while (mainForm->Searching()) {
      t = Clock::now();
      Application->ProcessMessages();
      longest = std::max(longest, Ms(Clock::now() - t));
    }
  }
  state.counters["longest_block_ms"] = longest;
  state.counters["solutions_found"] = runs;
  CloseGame();
}
BENCHMARK(BM_LongestBlockDuringSearchChain)->Iterations(1)->Unit(benchmark::kSecond);

// Tiles slide on a 4x4 board while the loop runs freely: one arrow key every 60 ms (a new key lands in the
// middle of the last slide and ends it) and, in turn, one every 150 ms (each slide runs to its end). The
// longest single pass of the loop (a key with its move, a frame, painting) is the longest the window is
// frozen while sliding. In each tile style.
void BM_LongestStallWhileSliding(benchmark::State& state) {
  StartGame("[DEFAULT]\nPuzzle Size=12\nStyle=" + std::to_string(state.range(0)) +
            "\nImage=" + std::string(QUENDREL_PROGRAM_DIR) + "/default.jpg\nWidth=420\nHeight=560\n");
  mainForm->ActionReset->Execute();
  UpdateAllWindows();
  // Wall time per pass, and the processor time the user-interface thread spent in it (which a busy machine
  // cannot stretch).
  std::vector<double> keyPasses, framePasses, frameWork;
  const auto threadMs = [] {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
  };
  bool right = true;
  for (auto _ : state) {
    for (int pace : {60, 150}) {
      for (int k = 0; k < 20; ++k) {
        auto t = Clock::now();
        Key(right ? VK_RIGHT : VK_LEFT);
        UpdateAllWindows();
        keyPasses.push_back(Ms(Clock::now() - t));
        right = !right;
        const auto next = Clock::now() + std::chrono::milliseconds(pace);
        while (Clock::now() < next) {
          t = Clock::now();
          const double work = threadMs();
          const bool sliding = mainForm->SlidingCell() != -1;
          Application->ProcessMessages();
          UpdateAllWindows();
          if (sliding) {
            framePasses.push_back(Ms(Clock::now() - t));
            frameWork.push_back(threadMs() - work);
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      }
    }
  }
  // The longest and the 99th percentile: on a shared machine a single pass may lose the processor.
  const auto worst = [](std::vector<double> v, double Quantile) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(Quantile * static_cast<double>(v.size() - 1))];
  };
  state.counters["key_longest_ms"] = worst(keyPasses, 1.0);
  state.counters["key_p99_ms"] = worst(keyPasses, 0.99);
  state.counters["frame_longest_ms"] = worst(framePasses, 1.0);
  state.counters["frame_p99_ms"] = worst(framePasses, 0.99);
  state.counters["frame_longest_cpu_ms"] = worst(frameWork, 1.0);
  state.counters["passes_while_sliding"] = static_cast<double>(framePasses.size());
  CloseGame();
}
BENCHMARK(BM_LongestStallWhileSliding)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  SetCurrentDir(WorkDir());
  // Nobody listens on port 1: the banner is not fetched from the network while measuring.
  BannerPageURL = "http://127.0.0.1:1/quendrel/banner.htm";
  ShowFirstWindow();
  std::printf("Program start to first painted game window (offscreen): %.2f ms\n", FirstWindowMs);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(WorkDir());
  return 0;
}
