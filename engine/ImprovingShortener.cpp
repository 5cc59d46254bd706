// The shortener: a way found by the beam wanders, and between two boards a few dozen moves apart along it a
// shortest way is quick to find by iterative deepening, since the estimate between boards that close is
// near the truth. Every stretch replaced by a shorter one shortens the whole way.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "engine/ImprovingParts.h"

namespace improving {

namespace {
// Iterative deepening towards one board, with the estimate against it and the parent's move never undone.
class TStretchSolver {
 public:
  TStretchSolver(const TShape& shape, TWatch& watch) : shape(shape), watch(watch) {}

  // A shortest way from `from` to `to` when one of at most `most` moves is found within `boards` boards.
  bool Solve(const uint8_t* from, const uint8_t* to, int32_t most, int64_t boards, std::vector<int8_t>& way) {
    uint8_t target[MaxPackedCells];
    shape.Renumber(from, to, cells, target);
    const TEstimator against(shape.rows, shape.cols, target);
    const int32_t first = against.Full(cells);
    if (first > most) return false;
    estimator = &against;
    const int32_t blank = static_cast<int32_t>(std::find(cells, cells + shape.count, 0) - cells);
    left = boards;
    path.clear();
    for (threshold = first; threshold <= most; threshold = nextThreshold) {
      nextThreshold = INT32_MAX;
      abandoned = false;
      if (Dive(0, first, blank, -1)) {
        way = path;
        return true;
      }
      if (abandoned || nextThreshold == INT32_MAX) return false;
    }
    return false;
  }

 private:
  bool Dive(int32_t depth, int32_t estimate, int32_t blank, int32_t back) {
    if (estimate == 0) return true;
    if (--left < 0 || watch.Tick()) {
      abandoned = true;
      return false;
    }
    // The children in order of estimate, so that the last threshold meets the goal early.
    int32_t order[4], change[4], children = 0;
    for (int32_t direction = 0; direction < 4; ++direction) {
      const int32_t f = shape.From(blank, direction);
      if (f < 0 || direction == back) continue;
      const int32_t delta = estimator->Delta(cells, f, blank);
      const int32_t bound = depth + 1 + estimate + delta;
      if (bound > threshold) {
        nextThreshold = std::min(nextThreshold, bound);
        continue;
      }
      int32_t k = children++;
      for (; k > 0 && change[k - 1] > delta; --k) order[k] = order[k - 1], change[k] = change[k - 1];
      order[k] = direction;
      change[k] = delta;
    }
    for (int32_t k = 0; k < children; ++k) {
      const int32_t direction = order[k];
      const int32_t f = shape.From(blank, direction);
      cells[blank] = cells[f];
      cells[f] = 0;
      path.push_back(static_cast<int8_t>(direction));
      if (Dive(depth + 1, estimate + change[k], f, Opposite[direction])) return true;
      path.pop_back();
      cells[f] = cells[blank];
      cells[blank] = 0;
      if (abandoned) return false;
    }
    return false;
  }

  const TShape& shape;
  TWatch& watch;
  const TEstimator* estimator = nullptr;
  uint8_t cells[MaxPackedCells];
  std::vector<int8_t> path;
  int32_t threshold = 0, nextThreshold = 0;
  int64_t left = 0;
  bool abandoned = false;
};

// The boards along a way, one after another, `count` bytes each.
class TTrail {
 public:
  TTrail(const TShape& shape, const uint8_t* start) : shape(shape), start(start, start + shape.count) {}

  // The boards of `way` from its `first` move on; those before are kept.
  void Follow(const std::vector<int8_t>& way, size_t first) {
    const size_t n = static_cast<size_t>(shape.count);
    boards.resize((way.size() + 1) * n);
    blanks.resize(way.size() + 1);
    if (first == 0) {
      std::copy(start.begin(), start.end(), boards.begin());
      blanks[0] = static_cast<int32_t>(std::find(start.begin(), start.end(), 0) - start.begin());
    }
    for (size_t i = first; i < way.size(); ++i) {
      std::memcpy(&boards[(i + 1) * n], &boards[i * n], n);
      blanks[i + 1] = shape.Play(&boards[(i + 1) * n], blanks[i], &way[i], 1);
    }
  }
  const uint8_t* Board(size_t i) const { return &boards[i * static_cast<size_t>(shape.count)]; }

 private:
  const TShape& shape;
  std::vector<uint8_t> start, boards;
  std::vector<int32_t> blanks;
};

// Cuts out every stretch that leaves a board and comes back to it; the first cut made, or -1.
int64_t CutLoops(const TShape& shape, TTrail& trail, std::vector<int8_t>& way) {
  int64_t firstCut = -1;
  std::unordered_map<uint64_t, size_t> seen;
  for (size_t i = 0; i <= way.size(); ++i) {
    const uint8_t* board = trail.Board(i);
    const auto [at, added] = seen.emplace(shape.Hash(board), i);
    if (added || std::memcmp(trail.Board(at->second), board, static_cast<size_t>(shape.count)) != 0) continue;
    const size_t from = at->second;
    way.erase(way.begin() + static_cast<std::ptrdiff_t>(from), way.begin() + static_cast<std::ptrdiff_t>(i));
    trail.Follow(way, from);
    if (firstCut < 0) firstCut = static_cast<int64_t>(from);
    // The boards after the cut moved down; those hashed past it are gone from the way.
    for (auto it = seen.begin(); it != seen.end();) it = it->second > from ? seen.erase(it) : std::next(it);
    i = from;
  }
  return firstCut;
}
} // namespace

void Shorten(const TShape& shape, const uint8_t* start, std::vector<int8_t>& way, const TShortenPlan& plan,
             TWatch& watch, const std::function<void(const std::vector<int8_t>&)>& shorter) {
  TTrail trail(shape, start);
  trail.Follow(way, 0);
  TStretchSolver solver(shape, watch);
  std::vector<int8_t> replacement;
  if (CutLoops(shape, trail, way) >= 0) shorter(way);
  for (bool changed = true; changed && !watch.Over();) {
    changed = false;
    // Stretches overlap by half, so that a detour is caught whole by some stretch about twice its length.
    // A way no longer than the longest stretch is re-solved whole at last.
    for (int32_t stretch = 4; stretch <= plan.longestStretch && !watch.Over(); stretch += 4) {
      const size_t length = std::min(static_cast<size_t>(stretch), way.size());
      const size_t step = std::max<size_t>(1, length / 2);
      for (size_t i = 0; i + length <= way.size() && !watch.Over(); i += step) {
        if (!solver.Solve(trail.Board(i), trail.Board(i + length), static_cast<int32_t>(length) - 2,
                          plan.boardsPerStretch, replacement))
          continue;
        way.erase(way.begin() + static_cast<std::ptrdiff_t>(i),
                  way.begin() + static_cast<std::ptrdiff_t>(i + length));
        way.insert(way.begin() + static_cast<std::ptrdiff_t>(i), replacement.begin(), replacement.end());
        trail.Follow(way, i);
        CutLoops(shape, trail, way);
        changed = true;
        shorter(way);
      }
    }
  }
}

} // namespace improving
