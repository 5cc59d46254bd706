// Menus, offscreen: one drop-down of a skinned pop-up menu of ten items from the call to its close (the
// pop-up window made, every item measured and painted, the menu dismissed), in a built-in style and with
// the flat border drawn on the desktop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "skin/SKPopupMenu.h"

namespace {

void DropDown(benchmark::State& state, bool flat) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 640, 480);
  form.Show();
  Application->ProcessMessages();
  TskPopupMenu menu(&form);
  menu.SetUIStyle(DeepBlue);
  menu.SetFlatMenu(flat);
  const char* captions[] = {"&New Game", "&Reset",   "-",      "&Solve", "S&top",
                            "-",         "&Options", "&Theme", "-",      "E&xit"};
  for (const char* caption : captions) {
    auto* item = new TMenuItem(&form); // owned by the form
    item->SetCaption(caption);
    menu.Items()->Add(item);
  }
  menu.Items()->Items(3)->SetShortCut(ShortCut(VK_F5, {}));
  menu.Items()->Items(6)->SetChecked(true);
  menu.MenuAdded();
  OnMenuLoopIdle = [] { CancelMenuTracking(); };
  for (auto _ : state) menu.Popup(100, 80);
  OnMenuLoopIdle = nullptr;
}

void BM_MenuDropDown(benchmark::State& state) {
  DropDown(state, false);
}
void BM_MenuDropDownFlat(benchmark::State& state) {
  DropDown(state, true);
}

} // namespace

BENCHMARK(BM_MenuDropDown)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MenuDropDownFlat)->Unit(benchmark::kMicrosecond);
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
