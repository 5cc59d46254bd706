// Lines of quendrel-solve's input: any bytes read. A line taken as a board holds every tile and the blank
// once and can reach the goal; any other line is refused with a reason and no cells.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/solve/BoardLine.h"
#include "engine/OptimalSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TBoardLine line;
  const std::string_view text(reinterpret_cast<const char*>(Data), Size);
  switch (TBoardLine::Parse(text, line)) {
  case TBoardLine::Board: {
    if (line.rows < MinBoardSide || line.rows > MaxBoardSide || line.cols < MinBoardSide ||
        line.cols > MaxBoardSide)
      std::abort();
    std::vector<int32_t> sorted = line.cells;
    std::sort(sorted.begin(), sorted.end());
    if (static_cast<int32_t>(sorted.size()) != line.rows * line.cols || sorted[0] != -1) std::abort();
    for (size_t i = 1; i < sorted.size(); ++i)
      if (sorted[i] != static_cast<int32_t>(i)) std::abort();
    if (!IsSolvablePosition(line.rows, line.cols, line.cells.data())) std::abort();
    break;
  }
  case TBoardLine::Bad:
    if (line.reason.empty() || !line.cells.empty()) std::abort();
    break;
  case TBoardLine::Empty:
    if (text.find_first_not_of(" \t\r\v\f") != std::string_view::npos) std::abort();
    break;
  }
  return 0;
}
