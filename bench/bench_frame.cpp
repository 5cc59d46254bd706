// The skinned frame, offscreen: opening and painting a skinned main form with its menu bar (frame, title bar,
// a skinned main menu of three menus) until nothing waits to be painted; repainting it after a theme change;
// and dropping one menu of its menu bar down.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "skin/SKForm.h"
#include "skin/SKMainMenu.h"

namespace {

void AddMenus(TForm* Form, TskMainMenu* Menu) {
  const char* const menus[][5] = {{"&Game", "&New Game", "&Reset", "-", "E&xit"},
                                  {"&Options", "&Numbers", "&Picture", "-", "&Theme..."},
                                  {"&Help", "&Contents", "-", "&Check For Updates", "&About..."}};
  for (const auto& captions : menus) {
    auto* top = new TMenuItem(Form); // owned by the form
    top->SetCaption(captions[0]);
    Menu->Items()->Add(top);
    for (int i = 1; i < 5; ++i) {
      auto* item = new TMenuItem(Form); // owned by the form
      item->SetCaption(captions[i]);
      top->Add(item);
    }
  }
  Menu->MenuAdded();
}

struct MainForm {
  TForm Form{nullptr};
  TskForm* Frame;
  TskMainMenu* Menu;

  explicit MainForm(TskUIStyle Style) {
    Form.SetBounds(40, 40, 640, 480);
    Form.SetCaption("Quendrel v2.0");
    Menu = new TskMainMenu(&Form); // owned by the form
    AddMenus(&Form, Menu);
    Frame = new TskForm(&Form); // owned by the form
    Frame->SetParent(&Form);
    Frame->SetMenu(Menu);
    Frame->SetUIStyle(Style);
    Form.Show();
    UpdateAllWindows();
  }
};

void BM_OpenAndPaintSkinnedMainForm(benchmark::State& state) {
  const auto style = static_cast<TskUIStyle>(state.range(0));
  for (auto _ : state) {
    MainForm main(style);
    benchmark::DoNotOptimize(main.Frame);
  }
}

void BM_RepaintAfterAThemeChange(benchmark::State& state) {
  MainForm main(static_cast<TskUIStyle>(state.range(0)));
  for (auto _ : state) {
    main.Frame->SetUIStyle(main.Frame->UIStyle());
    UpdateAllWindows();
  }
}

void BM_MenuBarDropDown(benchmark::State& state) {
  MainForm main(DeepBlue);
  TskMenuBar* bar = main.Frame->MenuBar();
  OnMenuLoopIdle = [] { CancelMenuTracking(); };
  for (auto _ : state) bar->TrackMenu(bar->Buttons(0));
  OnMenuLoopIdle = nullptr;
}

} // namespace

BENCHMARK(BM_OpenAndPaintSkinnedMainForm)->Arg(DeepBlue)->Arg(MacOS)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterAThemeChange)->Arg(DeepBlue)->Arg(MacOS)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MenuBarDropDown)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
