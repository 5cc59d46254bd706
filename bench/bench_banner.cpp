// The banner's page, off the user-interface thread: reducing a page to safe HTML, and reducing and laying it
// out at the banner's size, for a plain banner and for pages built to freeze a layout.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "classlib/backend/Web.h"
#include "classlib/core/SafeHtml.h"
#include "classlib/graphics/Surface.h"

namespace {

std::string Repeat(const std::string& Piece, size_t Times, const std::string& Tail = "x") {
  std::string page;
  page.reserve(Piece.size() * Times + Tail.size());
  for (size_t i = 0; i < Times; ++i) page += Piece;
  return page + Tail;
}

const char Banner[] = "<html><body bgcolor=\"#ffffff\"><table width=\"100%\" cellspacing=\"0\"><tr>"
                      "<td bgcolor=\"#ff0000\" height=\"40\"><b>More puzzles at TileForge</b></td>"
                      "<td><font face=\"Verdana\" size=\"-1\"><a href=\"http://www.tileforge.example/\">Visit"
                      "</a></font></td></tr></table></body></html>";

std::string Page(int Kind) {
  switch (Kind) {
  case 1:
    return Repeat("<b>", 100000);
  case 2:
    return Repeat("<table><tr><td>", 60000);
  case 3:
    return Repeat("<ul><li>", 100000);
  case 4:
    return "<table>" + Repeat("<tr><td>x", 100000, "");
  case 5:
    return std::string(1000000, 'w');
  default:
    return Banner;
  }
}

const char* const Names[] = {"banner",       "nested b",      "nested table",
                             "nested ul li", "unclosed rows", "1 MB word"};

void Reduce(benchmark::State& state) {
  const std::string page = Page(static_cast<int>(state.range(0)));
  state.SetLabel(Names[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(SafeHtml::Reduce(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void ReduceAndLayOut(benchmark::State& state) {
  const std::string page = Page(static_cast<int>(state.range(0)));
  state.SetLabel(Names[state.range(0)]);
  TSurface banner(600, 64);
  for (auto _ : state) {
    backend::RenderPage(page, banner.Pixels(), 0xFFFFFF);
    benchmark::DoNotOptimize(banner.Bits());
  }
}

BENCHMARK(Reduce)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(ReduceAndLayOut)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
