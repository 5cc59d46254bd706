// Pattern-database cache files: any bytes read. A file is taken only when it is exactly what a build writes
// for the shape it names; read from memory or through a file, the verdict is the same. Tables of any content
// (the same bytes with their checksum made right) still give searches that end with a real solution.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "classlib/core/SysUtils.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternDatabase.h"
#include "engine/PatternStore.h"

namespace {
std::string Folder() {
  static const std::string folder = [] {
    std::string pattern = GetTempDir() + "quendrel-fuzz-patterns-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

struct TNoLimit final : TOptimalSearch::TControl {
  bool Continue() override { return true; }
};

// A few boards of the shape, each solved and its solution played to the goal.
void SearchWith(const TPatternDatabase& database) {
  const TPatternLayout& layout = database.Layout();
  const int32_t count = layout.Count();
  for (int32_t shift = 1; shift < 4; ++shift) {
    std::vector<int32_t> cells;
    for (int32_t i = 0; i < count; ++i) cells.push_back((i * shift + 1) % count);
    for (auto& cell : cells)
      if (cell == 0) cell = -1;
    if (!IsSolvablePosition(layout.rows, layout.cols, cells.data())) continue;
    TOptimalSearch search(database);
    TNoLimit control;
    if (search.Run(cells.data(), control) != TOptimalSearch::Solved) std::abort();
    for (const TMove& move : search.Path()) {
      if (cells[static_cast<size_t>(move.to)] != -1) std::abort();
      std::swap(cells[static_cast<size_t>(move.from)], cells[static_cast<size_t>(move.to)]);
    }
    for (int32_t i = 0; i < count - 1; ++i)
      if (cells[static_cast<size_t>(i)] != i + 1) std::abort();
  }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // The shape the header names when it has databases, else 2 x 3.
  int32_t rows = Size > 13 ? Data[12] : 2, cols = Size > 13 ? Data[13] : 3;
  if (!TPatternLayout::Supported(rows, cols)) rows = 2, cols = 3;
  const TPatternLayout layout = TPatternLayout::For(rows, cols);
  std::string reason;
  const auto database =
      TPatternDatabase::Deserialize(std::vector<uint8_t>(Data, Data + Size), layout, reason);
  if (!database && reason.empty()) std::abort();

  const std::string file = Folder() + "/patterns.db";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  }
  std::string fileReason;
  if (!TPatternStore::ReadFile(file, layout, fileReason) != !database) std::abort();

  // Tables of any content, on the shapes whose searches stay small whatever the tables say.
  if (Size == TPatternDatabase::FileSize(layout) && layout.Count() <= 6) {
    std::vector<uint8_t> forged(Data, Data + Size);
    const uint64_t sum = TPatternDatabase::Checksum(forged.data() + 64, forged.size() - 64);
    for (int i = 0; i < 8; ++i) forged[40 + static_cast<size_t>(i)] = static_cast<uint8_t>(sum >> (8 * i));
    if (const auto taken = TPatternDatabase::Deserialize(std::move(forged), layout, reason))
      SearchWith(*taken);
  }
  if (database) SearchWith(*database);
  return 0;
}
