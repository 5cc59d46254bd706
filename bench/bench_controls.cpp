// Windows and controls, offscreen: the time from program start to the first painted frame of a form built
// from its form stream, building and showing that form again, and repainting a form of 36 panels after one
// of them changes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Image.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Resources.h"

namespace {

// Taken while the program's static objects are made: as close to its start as the program itself can see.
const auto ProgramStart = std::chrono::steady_clock::now();

class TCounterControl : public TCustomControl {
  QUENDREL_CLASS(TCounterControl, TCustomControl)
 public:
  explicit TCounterControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 40;
    FHeight = 30;
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
    Canvas()->Pen()->SetColor(clBlue);
    Canvas()->Rectangle(0, 0, Width(), Height());
  }
};
QUENDREL_REGISTER_CLASS(TCounterControl, TCustomControl) {
  c.Creatable();
}

class TBenchForm : public TForm {
  QUENDREL_CLASS(TBenchForm, TForm)
 public:
  explicit TBenchForm(TComponent* AOwner) : TForm(AOwner) { ReadFormResource(); }
};
QUENDREL_REGISTER_CLASS(TBenchForm, TForm) {}

const char FormText[] = R"(object BenchForm: TBenchForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientWidth = 370
  ClientHeight = 386
  object PanelTop: TPanel
    Height = 40
    Align = alTop
    Color = clTeal
    object Title: TLabel
      Left = 8
      Top = 8
      Caption = 'Quendrel'
    end
  end
  object PanelBody: TPanel
    Align = alClient
    BevelOuter = bvLowered
    object Picture: TImage
      Left = 100
      Top = 10
      Width = 64
      Height = 64
    end
    object Counter: TCounterControl
      Left = 20
      Top = 20
    end
  end
end
)";

const bool Registered = [] {
  RegisterResource("TBENCHFORM", RT_RCDATA, reinterpret_cast<const uint8_t*>(FormText), sizeof(FormText) - 1);
  return true;
}();

double FirstFrameMs = 0;

void ShowFirstFrame() {
  Application->Initialize();
  TBenchForm form(nullptr);
  form.AfterConstruction();
  form.Show();
  UpdateAllWindows();
  FirstFrameMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - ProgramStart).count();
}

void BM_BuildAndPaintForm(benchmark::State& state) {
  for (auto _ : state) {
    TBenchForm form(nullptr);
    form.AfterConstruction();
    form.Show();
    UpdateAllWindows();
    benchmark::DoNotOptimize(form.Handle());
  }
}
BENCHMARK(BM_BuildAndPaintForm)->Unit(benchmark::kMicrosecond);

// A 6 x 6 board of panels; one changes its colour and the window paints what that invalidated.
void BM_RepaintOneOf36Panels(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 370, 370);
  std::vector<TPanel*> panels;
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c) {
      auto* p = new TPanel(&form); // owned by the form
      p->SetParent(&form);
      p->SetBounds(1 + c * 61, 1 + r * 61, 60, 60);
      p->SetCaption(Format("%d", r * 6 + c + 1));
      panels.push_back(p);
    }
  form.Show();
  UpdateAllWindows();
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    panels[14]->SetColor(flip ? clYellow : clBtnFace);
    UpdateAllWindows();
  }
}
BENCHMARK(BM_RepaintOneOf36Panels)->Unit(benchmark::kMicrosecond);

// The same repaint done at once through Repaint, as skinned controls do in their setters.
void BM_RepaintNowOneOf36Panels(benchmark::State& state) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 370, 370);
  std::vector<TPanel*> panels;
  for (int i = 0; i < 36; ++i) {
    auto* p = new TPanel(&form); // owned by the form
    p->SetParent(&form);
    p->SetBounds(1 + (i % 6) * 61, 1 + (i / 6) * 61, 60, 60);
    panels.push_back(p);
  }
  form.Show();
  UpdateAllWindows();
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    panels[20]->SetColor(flip ? clYellow : clBtnFace);
    panels[20]->Repaint();
  }
}
BENCHMARK(BM_RepaintNowOneOf36Panels)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ShowFirstFrame();
  std::printf("Program start to first painted frame (offscreen): %.2f ms\n", FirstFrameMs);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
