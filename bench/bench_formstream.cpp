// Form streams: reading and writing a form of many components, the work every window does when it is created.
#include <benchmark/benchmark.h>
#include <memory>

#include "classlib/core/Filer.h"
#include "classlib/core/StringList.h"

namespace {

class TBenchItem : public TComponent {
  QUENDREL_CLASS(TBenchItem, TComponent)
 public:
  explicit TBenchItem(TComponent* AOwner) : TComponent(AOwner) {}
  AnsiString Caption;
  int Left = 0;
  int Top = 0;
  bool Visible = true;
  TBenchItem* Next = nullptr;
  TStrings* Lines() const { return FLines.get(); }

 private:
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

// A form with `count` components, each with a caption, two integers, a flag, a reference and three lines.
AnsiString FormText(int count) {
  AnsiString text = "object Root: TBenchItem\n";
  for (int i = 0; i < count; ++i) {
    text +=
        Format("  object Item%d: TBenchItem\n    Caption = 'Item number %d'\n    Left = %d\n    Top = %d\n"
               "    Visible = False\n    Next = Item%d\n    Lines.Strings = (\n      'one'\n      'two'\n"
               "      'three')\n  end\n",
               i, i, i * 3, i * 7, (i + 1) % count);
  }
  return text + "end\n";
}

void ReadForm(benchmark::State& state) {
  const AnsiString text = FormText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::unique_ptr<TComponent> root(ReadComponentText(text, nullptr));
    benchmark::DoNotOptimize(root.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void WriteForm(benchmark::State& state) {
  std::unique_ptr<TComponent> root(ReadComponentText(FormText(static_cast<int>(state.range(0))), nullptr));
  for (auto _ : state) {
    AnsiString text = WriteComponentText(root.get());
    benchmark::DoNotOptimize(text.data());
  }
}

} // namespace

QUENDREL_REGISTER_CLASS(TBenchItem, TComponent) {
  c.Creatable();
  c.Property("Caption", &TBenchItem::Caption, &TBenchItem::Caption);
  c.Property("Left", &TBenchItem::Left, &TBenchItem::Left).Default(0);
  c.Property("Top", &TBenchItem::Top, &TBenchItem::Top).Default(0);
  c.Property("Visible", &TBenchItem::Visible, &TBenchItem::Visible).Default(1);
  c.Property("Next", &TBenchItem::Next, &TBenchItem::Next);
  c.Property("Lines", &TBenchItem::Lines);
}

BENCHMARK(ReadForm)->Arg(50)->Arg(200);
BENCHMARK(WriteForm)->Arg(50)->Arg(200);
BENCHMARK_MAIN();
