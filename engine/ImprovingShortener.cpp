// The shortener: a way found by the beam wanders, and between two boards a few dozen moves apart along it a
// shortest way is quick to find by iterative deepening, since the estimate between boards that close is
// near the truth. Every stretch replaced by a shorter one shortens the whole way.
#include <algorithm>
#include <cstring>

#include "engine/ImprovingParts.h"

namespace improving {

namespace {
// Iterative deepening towards one board, with the estimate against it and the parent's move never undone.
class TStretchSolver {
 public:
  TStretchSolver(const TShape& shape, TWatch& watch) : shape(shape), watch(watch) {}

  enum TAnswer { Found, NoneThatShort, GaveUp };

  // A shortest way from `from` to `to` when one of at most `most` moves is found within `boards` boards.
  TAnswer Solve(const uint8_t* from, const uint8_t* to, int32_t most, int64_t boards,
                std::vector<int8_t>& way) {
    uint8_t target[MaxPackedCells];
    shape.Renumber(from, to, cells, target);
    const TEstimator against(shape.rows, shape.cols, target);
    const int32_t first = against.Full(cells);
    if (first > most) return NoneThatShort;
    estimator = &against;
    const int32_t blank = static_cast<int32_t>(std::find(cells, cells + shape.count, 0) - cells);
    left = boards;
    path.clear();
    for (threshold = first; threshold <= most; threshold = nextThreshold) {
      nextThreshold = INT32_MAX;
      abandoned = false;
      if (Dive(0, first, blank, -1)) {
        way = path;
        return Found;
      }
      if (abandoned) return GaveUp;
    }
    return NoneThatShort;
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
  TTrail(const TShape& shape, const uint8_t* start, TWatch& watch)
      : shape(shape), start(start), boards(watch), blanks(watch) {}

  // The boards of `way` from its `first` move on; those before are kept. False when memory is refused.
  bool Follow(const std::vector<int8_t>& way, size_t first) {
    const size_t n = static_cast<size_t>(shape.count);
    if (!boards.Reserve((way.size() + 1) * n) || !blanks.Reserve(way.size() + 1)) return false;
    if (first == 0) {
      std::copy(start, start + n, boards.data());
      blanks[0] = static_cast<int32_t>(std::find(start, start + n, 0) - start);
    }
    for (size_t i = first; i < way.size(); ++i) {
      std::memcpy(&boards[(i + 1) * n], &boards[i * n], n);
      blanks[i + 1] = shape.Play(&boards[(i + 1) * n], blanks[i], &way[i], 1);
    }
    return true;
  }
  const uint8_t* Board(size_t i) const { return &boards[i * static_cast<size_t>(shape.count)]; }

 private:
  const TShape& shape;
  const uint8_t* start;
  TCharged<uint8_t> boards;
  TCharged<int32_t> blanks;
};

struct TBoardAt {
  uint64_t hash;
  uint32_t at;
};

// Cuts out every stretch of `way` that leaves a board and comes back to it; the first move cut, or -1 when
// none is (or memory is refused). The boards are sorted by hash, so that those met again lie side by side.
int64_t CutLoops(const TShape& shape, const TTrail& trail, std::vector<int8_t>& way, TWatch& watch) {
  const size_t boards = way.size() + 1, n = static_cast<size_t>(shape.count);
  TCharged<TBoardAt> sorted(watch);
  TCharged<uint32_t> last(watch); // of each board, where the way is at it for the last time
  if (!sorted.Allocate(boards) || !last.Allocate(boards)) return -1;
  for (size_t i = 0; i < boards; ++i) {
    sorted[i] = TBoardAt{shape.Hash(trail.Board(i)), static_cast<uint32_t>(i)};
    last[i] = static_cast<uint32_t>(i);
  }
  std::sort(sorted.data(), sorted.data() + boards, [](const TBoardAt& a, const TBoardAt& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.at < b.at;
  });
  for (size_t k = 0; k + 1 < boards; ++k)
    for (size_t j = k + 1; j < boards && sorted[j].hash == sorted[k].hash; ++j)
      if (std::memcmp(trail.Board(sorted[k].at), trail.Board(sorted[j].at), n) == 0)
        last[sorted[k].at] = std::max(last[sorted[k].at], sorted[j].at);
  int64_t firstCut = -1;
  size_t kept = 0;
  for (size_t i = 0; i < way.size();) {
    if (last[i] > i) {
      if (firstCut < 0) firstCut = static_cast<int64_t>(kept);
      i = last[i];
    } else {
      way[kept++] = way[i++];
    }
  }
  way.resize(kept);
  return firstCut;
}
} // namespace

bool Shorten(const TShape& shape, const uint8_t* start, std::vector<int8_t>& way, const TShortenPlan& plan,
             TWatch& watch, const std::function<void(const std::vector<int8_t>&)>& shorter) {
  TTrail trail(shape, start, watch);
  // Splices the stretch before `from` to what follows it, once the way is changed from there on.
  const auto changedFrom = [&](size_t from) {
    if (!trail.Follow(way, from)) return false;
    const int64_t cut = CutLoops(shape, trail, way, watch);
    return cut < 0 || trail.Follow(way, static_cast<size_t>(cut));
  };
  const size_t before = way.size();
  const bool followed = trail.Follow(way, 0) && changedFrom(0);
  if (way.size() < before) shorter(way);
  if (!followed) return false;
  TStretchSolver solver(shape, watch);
  std::vector<int8_t> replacement;
  for (bool changed = true; changed && !watch.Over();) {
    changed = false;
    // Stretches overlap by half, so that a detour is caught whole by some stretch about twice its length.
    // A way no longer than the longest stretch is re-solved whole at last.
    for (int32_t stretch = 4; stretch <= plan.longestStretch && !watch.Over(); stretch += 4) {
      const size_t length = std::min(static_cast<size_t>(stretch), way.size());
      const size_t step = std::max<size_t>(1, length / 2);
      for (size_t i = 0; i + length <= way.size() && !watch.Over(); i += step) {
        const auto answer =
            solver.Solve(trail.Board(i), trail.Board(i + length), static_cast<int32_t>(length) - 2,
                         plan.boardsPerStretch, replacement);
        if (answer == TStretchSolver::NoneThatShort && length == way.size()) return true;
        if (answer != TStretchSolver::Found) continue;
        way.erase(way.begin() + static_cast<std::ptrdiff_t>(i),
                  way.begin() + static_cast<std::ptrdiff_t>(i + length));
        way.insert(way.begin() + static_cast<std::ptrdiff_t>(i), replacement.begin(), replacement.end());
        changed = changedFrom(i);
        shorter(way);
        if (!changed) return false;
      }
    }
  }
  return false;
}

} // namespace improving
