#include "engine/ImprovingSearch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "classlib/core/Kernel.h"
#include "engine/ImprovingParts.h"

namespace improving {

TShape::TShape(int32_t rows, int32_t cols) : rows(rows), cols(cols), count(rows * cols) {
  for (int32_t b = 0; b < count; ++b) {
    const int32_t row = b / cols, col = b % cols;
    from[b][0] = static_cast<int8_t>(row < rows - 1 ? b + cols : -1);
    from[b][1] = static_cast<int8_t>(row > 0 ? b - cols : -1);
    from[b][2] = static_cast<int8_t>(col < cols - 1 ? b + 1 : -1);
    from[b][3] = static_cast<int8_t>(col > 0 ? b - 1 : -1);
  }
  // Fixed keys, so that every run hashes alike and the search repeats itself.
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (auto& cell : keys)
    for (uint64_t& key : cell) {
      state += 0x9E3779B97F4A7C15u;
      uint64_t z = state;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
      key = z ^ (z >> 31);
    }
}

int32_t TShape::Play(uint8_t* cells, int32_t blank, const int8_t* way, size_t length) const {
  for (size_t i = 0; i < length; ++i) {
    const int32_t f = From(blank, way[i]);
    cells[blank] = cells[f];
    cells[f] = 0;
    blank = f;
  }
  return blank;
}

void TShape::Renumber(const uint8_t* board, const uint8_t* goal, uint8_t* boardOut, uint8_t* goalOut) const {
  uint8_t number[MaxPackedCells] = {};
  for (int32_t i = 0, next = 1; i < count; ++i)
    if (goal[i]) number[goal[i]] = static_cast<uint8_t>(next++);
  for (int32_t i = 0; i < count; ++i) {
    boardOut[i] = number[board[i]];
    goalOut[i] = number[goal[i]];
  }
}

uint64_t TShape::Hash(const uint8_t* cells) const {
  uint64_t hash = 0;
  for (int32_t i = 0; i < count; ++i)
    if (cells[i]) hash ^= keys[i][cells[i]];
  return hash;
}

TWatch::TWatch(const std::function<bool()>& stopRequested, std::chrono::steady_clock::time_point deadline,
               size_t memoryBytes)
    : stopRequested(stopRequested), deadline(deadline), bound(memoryBytes) {
  Check();
}

bool TWatch::Check() {
  if (over) return true;
  if (stopRequested && stopRequested())
    stopped = over = true;
  else if (std::chrono::steady_clock::now() >= deadline)
    timedOut = over = true;
  // A worker at normal priority gives way now and then, as the solver thread does.
  Sleep(0);
  return over;
}

bool TWatch::Take(size_t bytes) {
  if (bytes > bound - held) return false;
  held += bytes;
  peak = std::max(peak, held);
  return true;
}

} // namespace improving

using namespace improving;

namespace {
// Tiles 1 .. count-1 and the blank, each once, as bytes with 0 for the blank; false when the cells are not.
bool ReadCells(const int32_t* cells, int32_t count, uint8_t* values) {
  uint64_t seen = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t v = cells[i] == -1 ? 0 : cells[i];
    if (v < 0 || v >= count || (seen >> v & 1)) return false;
    seen |= uint64_t{1} << v;
    values[i] = static_cast<uint8_t>(v);
  }
  return true;
}

// A move exchanges the blank with a neighbour: it flips the parity of the cells' permutation and of the
// blank's distance from its home together, so only boards where the two agree are reached. On a single line
// tiles cannot pass each other: their order must be the goal's already.
bool Solvable(const TShape& shape, const uint8_t* values) {
  const int32_t count = shape.count;
  if (shape.rows == 1 || shape.cols == 1) {
    for (int32_t i = 0, next = 1; i < count; ++i)
      if (values[i] && values[i] != next++) return false;
    return true;
  }
  // The permutation taking each cell to the goal cell of what it holds, the blank's being the last.
  bool visited[MaxPackedCells] = {};
  int32_t transpositions = 0, blank = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (values[i] == 0) blank = i;
    if (visited[i]) continue;
    for (int32_t j = i; !visited[j]; ++transpositions) {
      visited[j] = true;
      j = values[j] == 0 ? count - 1 : values[j] - 1;
    }
    --transpositions;
  }
  const int32_t distance = (shape.rows - 1 - blank / shape.cols) + (shape.cols - 1 - blank % shape.cols);
  return (transpositions - distance) % 2 == 0;
}

std::vector<TMove> MovesOf(const TShape& shape, int32_t blank, const std::vector<int8_t>& way) {
  std::vector<TMove> moves;
  moves.reserve(way.size());
  for (const int8_t direction : way) {
    const int32_t from = shape.From(blank, direction);
    moves.push_back(TMove{from, blank, direction});
    blank = from;
  }
  return moves;
}

// The same way played backwards.
void Reverse(std::vector<int8_t>& way) {
  std::reverse(way.begin(), way.end());
  for (int8_t& direction : way) direction = Opposite[direction];
}

// The plan: beams ever wider, each with a quick shortening of what it finds; a thorough shortening at the
// end. Widths grow fourfold, so each beam costs about as much as all before it together. The widening stops
// before a beam would keep more than MostKept boards (its width times the depth it may reach): beyond that
// its set of boards seen outgrows what the processor looks up quickly, and twice as many boards cost four
// times as long for a few moves less.
constexpr int32_t FirstWidth = 64;
constexpr int64_t MostKept = int64_t{1} << 23;
constexpr TShortenPlan QuickPlan{24, 20000};
constexpr TShortenPlan ThoroughPlan{40, 400000};
// Deeper than any first solution of a beam on the boards taken; the first beam's width is chosen for one
// of FirstDepth moves a cell.
constexpr int32_t FirstBound = 1 << 16;
constexpr int32_t FirstDepth = 32;
} // namespace

TImprovingResult ImprovingSearch(int32_t rows, int32_t cols, const int32_t* cells,
                                 const TImprovingLimits& limits, const TImprovedSolution& improved) {
  TImprovingResult result;
  uint8_t start[MaxPackedCells], goal[MaxPackedCells];
  if (!cells || rows < 1 || cols < 1 || rows > MaxPackedCells || cols > MaxPackedCells || rows * cols < 2 ||
      rows * cols > MaxPackedCells || !ReadCells(cells, rows * cols, start))
    return result;
  const TShape shape(rows, cols);
  if (!Solvable(shape, start)) {
    result.end = TImprovingEnd::Unsolvable;
    return result;
  }
  for (int32_t i = 0; i < shape.count; ++i) goal[i] = static_cast<uint8_t>((i + 1) % shape.count);
  const int32_t startBlank = static_cast<int32_t>(std::find(start, start + shape.count, 0) - start);

  TWatch watch(limits.stopRequested, limits.deadline,
               limits.memoryBytes ? limits.memoryBytes : ImprovingMemoryBound());
  std::vector<int8_t> best;
  const auto offer = [&](const std::vector<int8_t>& way) {
    if (result.found && way.size() >= best.size()) return;
    best = way;
    result.found = true;
    if (improved) improved(MovesOf(shape, startBlank, best));
  };

  try {
    if (std::equal(start, start + shape.count, goal)) offer({});
    std::vector<int8_t> way;
    // Only a way shorter than the best one found is worth finding.
    const auto bound = [&] { return result.found ? static_cast<int32_t>(best.size()) - 1 : FirstBound; };
    // A way short enough to be re-solved whole gets the thorough plan at once: shown shortest, it ends the
    // search, as the empty way of a solved board does.
    bool shortest = result.found;
    const auto shorten = [&](const TShortenPlan& plan) {
      shortest = Shorten(shape, start, way,
                         way.size() <= static_cast<size_t>(ThoroughPlan.longestStretch) ? ThoroughPlan : plan,
                         watch, offer);
    };
    for (int32_t width = FirstWidth; !shortest; width *= 4) {
      if (watch.Over()) break;
      const int32_t fits =
          BeamWidthFor(shape, result.found ? bound() : FirstDepth * shape.count, watch.Free());
      const int32_t used = std::min(width, fits);
      if (used < 1) break;
      // From the start to the goal, then from the goal back to the start: the two beams go different ways,
      // and the better of them is better than one beam twice as wide.
      for (const bool backwards : {false, true}) {
        if (shortest ||
            !BeamSearch(shape, backwards ? goal : start, backwards ? start : goal, used, bound(), watch, way))
          continue;
        if (backwards) Reverse(way);
        offer(way);
        shorten(QuickPlan);
      }
      if (used < width || (result.found && int64_t{4} * width * bound() > MostKept)) break;
    }
    if (!shortest && result.found) {
      way = best;
      shorten(ThoroughPlan);
    }
  } catch (const std::bad_alloc&) {
    // What the bound allowed the system refused: the best found so far stands.
  }

  result.end = watch.Stopped()    ? TImprovingEnd::Stopped
               : watch.TimedOut() ? TImprovingEnd::OutOfTime
                                  : TImprovingEnd::Finished;
  if (result.found) result.solution = MovesOf(shape, startBlank, best);
  result.peakBytes = watch.Peak();
  return result;
}

size_t ImprovingMemoryBound() {
  MEMORYSTATUS memory;
  GlobalMemoryStatus(&memory);
  return memory.dwAvailPhys >> 3;
}
