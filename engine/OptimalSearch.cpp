#include "engine/OptimalSearch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

bool IsSolvablePosition(int32_t rows, int32_t cols, const int32_t* cells) {
  const int32_t count = rows * cols;
  if (rows < 1 || cols < 1 || count > 64) return false;
  std::vector<int32_t> values(static_cast<size_t>(count));
  std::vector<bool> seen(static_cast<size_t>(count), false);
  int32_t blank = -1;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t value = cells[i] == -1 ? count : cells[i];
    if (value < 1 || value > count || seen[static_cast<size_t>(value - 1)]) return false;
    seen[static_cast<size_t>(value - 1)] = true;
    values[static_cast<size_t>(i)] = value - 1;
    if (cells[i] == -1) blank = i;
  }
  // The permutation's parity from its cycles: a cycle of length L is L - 1 exchanges.
  int32_t exchanges = 0;
  std::vector<bool> visited(static_cast<size_t>(count), false);
  for (int32_t i = 0; i < count; ++i) {
    int32_t length = 0;
    for (int32_t j = i; !visited[static_cast<size_t>(j)]; j = values[static_cast<size_t>(j)]) {
      visited[static_cast<size_t>(j)] = true;
      ++length;
    }
    if (length > 0) exchanges += length - 1;
  }
  const int32_t away = (rows - 1 - blank / cols) + (cols - 1 - blank % cols);
  return (exchanges - away) % 2 == 0;
}

namespace {
constexpr int32_t MaxGroups = 4;
constexpr uint8_t NoGroup = 0xFF;

// A move of the tile in `cell` into the blank: how far the tile goes in reading order, and the run of cells
// it passes over, on the board and on its reflection.
struct TMoveStep {
  struct TPass {
    int8_t step = 0;
    uint8_t overShift = 0, overCount = 0; // the first cell passed over, as a bit position on a packed board
    uint32_t overMask = 0;                // the cells passed over, from there
  };
  uint8_t cell = 0;
  TPass direct, mirror;
};

// Everything the search reads about the shape, in flat arrays.
struct TShape {
  explicit TShape(const TPatternDatabase& database) {
    const TPatternLayout& layout = database.Layout();
    count = layout.Count();
    cols = layout.cols;
    mirrored = layout.Mirrored();
    for (int32_t c = 0; c < count; ++c)
      mirrorCell[c] = static_cast<uint8_t>(mirrored ? (c % cols) * cols + c / cols : c);
    for (int32_t t = 1; t < count; ++t) mirrorTile[t] = static_cast<uint8_t>(mirrorCell[t - 1] + 1);
    for (int32_t c = 0; c < count; ++c) {
      const int32_t row = c / cols, col = c % cols;
      for (int32_t t = 1; t < count; ++t)
        distance[t][c] =
            static_cast<uint8_t>(std::abs((t - 1) / cols - row) + std::abs((t - 1) % cols - col));
      auto pass = [](int32_t from, int32_t to) {
        const int32_t over = std::abs(to - from) - 1;
        return TMoveStep::TPass{static_cast<int8_t>(to - from),
                                static_cast<uint8_t>(4 * (std::min(from, to) + 1)),
                                static_cast<uint8_t>(over), (1u << (4 * over)) - 1};
      };
      auto add = [&](int32_t from) {
        moves[c][degree[c]++] = {static_cast<uint8_t>(from), pass(from, c),
                                 pass(mirrorCell[from], mirrorCell[c])};
      };
      // The moves into each blank cell in the game's order.
      if (row + 1 < layout.rows) add(c + cols);
      if (col + 1 < cols) add(c + 1);
      if (row > 0) add(c - cols);
      if (col > 0) add(c - 1);
    }
    groups = static_cast<int32_t>(layout.groups.size());
    std::fill(std::begin(groupOf), std::end(groupOf), NoGroup);
    int32_t place[MaxPatternCells] = {};
    for (int32_t g = 0; g < groups; ++g) {
      const auto& tiles = layout.groups[static_cast<size_t>(g)];
      table[g] = database.Table(static_cast<size_t>(g));
      int32_t weight = 1;
      for (int32_t i = static_cast<int32_t>(tiles.size()) - 1; i >= 0; --i) {
        const uint8_t tile = tiles[static_cast<size_t>(i)];
        groupOf[tile] = static_cast<uint8_t>(g);
        place[tile] = i;
        weightOf[tile] = weight;
        weight *= count - i;
      }
    }
    // When tile t passes over tile u of its group, u's place among t's predecessors changes: t's own digit
    // moves by one if u comes before t in the group, u's digit if it comes after.
    for (int32_t t = 1; t < count; ++t)
      for (int32_t u = 1; u < count; ++u)
        if (u != t && groupOf[u] == groupOf[t])
          passed[t][u] = place[u] < place[t] ? -weightOf[t] : weightOf[u];
  }

  // How the rank of `tile`'s group changes when it moves as `pass` says on `board`. A move passes over
  // `Span` cells or none when Span is known, else over any number.
  template <int32_t Span>
  int32_t RankChange(int32_t tile, const TMoveStep::TPass& pass, uint64_t board) const {
    int32_t over = 0;
    uint64_t between = board >> pass.overShift;
    if constexpr (Span > 0) {
      // Without a branch: the cells of a move that passes none are masked to the blank, which counts nothing.
      between &= pass.overMask;
      for (int32_t i = 0; i < Span; ++i) over += passed[tile][(between >> (4 * i)) & 15];
    } else {
      for (int32_t i = 0; i < pass.overCount; ++i, between >>= 4) over += passed[tile][between & 15];
    }
    return weightOf[tile] * pass.step + (pass.step > 0 ? over : -over);
  }

  // A group's rank on `board`, from scratch.
  uint32_t Rank(int32_t group, const uint8_t* board) const {
    uint8_t cells[MaxPatternCells];
    int32_t size = 0;
    // Tiles in ascending order are the group's order.
    for (int32_t t = 1; t < count; ++t)
      if (groupOf[t] == group)
        for (int32_t c = 0; c < count; ++c)
          if (board[c] == t) cells[size++] = static_cast<uint8_t>(c);
    return RankPlacement(cells, size, count);
  }

  int32_t count = 0, cols = 0, groups = 0;
  bool mirrored = false;
  TMoveStep moves[MaxPatternCells][4];
  uint8_t degree[MaxPatternCells] = {};
  uint8_t distance[MaxPatternCells][MaxPatternCells] = {}; // of tile t in cell c from its home
  uint8_t groupOf[MaxPatternCells] = {};
  int32_t weightOf[MaxPatternCells] = {};                // of a tile's digit in its group's rank
  int32_t passed[MaxPatternCells][MaxPatternCells] = {}; // rank change when t passes over u, moving forwards
  const uint8_t* table[MaxGroups] = {};
  uint8_t mirrorCell[MaxPatternCells] = {}; // a cell's reflection about the main diagonal
  uint8_t mirrorTile[MaxPatternCells] = {}; // the tile whose home is the reflection of the tile's home
};

// Each group's rank and table entry on a board, and the entries' sum.
struct TGroupEntries {
  void Set(const TShape& shape, const uint8_t* board) {
    sum = 0;
    for (int32_t g = 0; g < MaxGroups; ++g) rank[g] = 0, value[g] = 0;
    for (int32_t g = 0; g < shape.groups; ++g) {
      rank[g] = shape.Rank(g, board);
      value[g] = TPatternDatabase::Entry(shape.table[g], rank[g]);
      sum += value[g];
    }
  }
  // The sum after `group` takes an entry of `entry`.
  int32_t SumWith(int32_t group, int32_t entry) const { return sum - value[group] + entry; }
  void Move(int32_t group, uint32_t newRank, int32_t entry) {
    sum = SumWith(group, entry);
    rank[group] = newRank;
    value[group] = entry;
  }

  // Left unset until Set: a child is made at every step of the search.
  uint32_t rank[MaxGroups];
  int32_t value[MaxGroups];
  int32_t sum;
};

// A board during the search: its tiles four bits a cell, and the tables' entries on the board and on its
// reflection.
struct TPosition {
  void Set(const TShape& shape, const int32_t* cells) {
    uint8_t plain[MaxPatternCells] = {}, mirrorPlain[MaxPatternCells] = {};
    board = mirrorBoard = 0;
    blank = manhattan = 0;
    for (int32_t c = 0; c < shape.count; ++c) {
      const uint8_t tile = static_cast<uint8_t>(cells[c] == -1 ? 0 : cells[c]);
      plain[c] = tile;
      board |= uint64_t{tile} << (4 * c);
      mirrorPlain[shape.mirrorCell[c]] = shape.mirrorTile[tile];
      mirrorBoard |= uint64_t{shape.mirrorTile[tile]} << (4 * shape.mirrorCell[c]);
      if (tile == 0)
        blank = c;
      else
        manhattan += shape.distance[tile][c];
    }
    direct.Set(shape, plain);
    mirror.Set(shape, mirrorPlain);
  }
  int32_t Estimate() const { return manhattan + 2 * std::max(direct.sum, mirror.sum); }
  int32_t Tile(int32_t cell) const { return static_cast<int32_t>((board >> (4 * cell)) & 15); }

  // Left unset until Set or the search fills them: a child is made at every step.
  uint64_t board, mirrorBoard; // the reflection holds the reflected tiles in the reflected cells
  TGroupEntries direct, mirror;
  int32_t blank, manhattan;
};

template <bool Mirrored, int32_t Span> class TIda {
 public:
  TIda(const TShape& shape, TOptimalSearch::TControl& control, std::vector<uint8_t>& blanks, int32_t bound)
      : shape(shape), control(control), blanks(blanks), bound(bound),
        path(blanks.begin(), blanks.begin() + std::min<size_t>(blanks.size(), static_cast<size_t>(bound))) {
    path.resize(static_cast<size_t>(std::max(bound, 0)));
  }

  // Searches below `at`, reached in `depth` moves (their blank cells in `blanks`), the blank's cell before
  // the last of them being `previous` (-1 at the root); true with the path in `blanks` when it reaches the
  // goal within the bound. Given a frontier, boards at its depth are recorded there instead of searched.
  bool Search(const TPosition& at, int32_t depth, int32_t previous) {
    if (!Expand(at, depth, previous)) return false;
    std::copy(path.begin(), path.begin() + length, blanks.begin());
    return true;
  }

  int64_t generated = 0;
  int32_t length = 0;
  bool stopped = false;
  int32_t frontierDepth = -1;
  std::vector<uint8_t>* frontier = nullptr;

 private:
  bool Expand(const TPosition& at, int32_t depth, int32_t previous) {
    if (at.manhattan == 0) {
      length = depth;
      return true;
    }
    if (depth == frontierDepth) {
      frontier->insert(frontier->end(), path.begin(), path.begin() + depth);
      return false;
    }
    const int32_t blank = at.blank;
    // First every child's ranks, so that the entries are on their way while the first is looked at.
    int32_t cells[4], tiles[4];
    uint32_t ranks[4], mirrorRanks[4] = {};
    int32_t n = 0;
    for (int32_t k = 0; k < shape.degree[blank]; ++k) {
      const TMoveStep& move = shape.moves[blank][k];
      if (move.cell == previous) continue;
      const int32_t tile = at.Tile(move.cell);
      const int32_t group = shape.groupOf[tile];
      cells[n] = move.cell;
      tiles[n] = tile;
      ranks[n] = at.direct.rank[group] +
                 static_cast<uint32_t>(shape.template RankChange<Span>(tile, move.direct, at.board));
      __builtin_prefetch(shape.table[group] + (ranks[n] >> 1));
      if constexpr (Mirrored) {
        const int32_t mirrorTile = shape.mirrorTile[tile], mirrorGroup = shape.groupOf[mirrorTile];
        mirrorRanks[n] =
            at.mirror.rank[mirrorGroup] +
            static_cast<uint32_t>(shape.template RankChange<Span>(mirrorTile, move.mirror, at.mirrorBoard));
        __builtin_prefetch(shape.table[mirrorGroup] + (mirrorRanks[n] >> 1));
      }
      ++n;
    }
    generated += n;
    if ((budget -= n) <= 0) {
      budget = PollEvery;
      if (!control.Continue()) stopped = true;
    }
    if (stopped) return false;

    const int32_t limit = bound - depth - 1;
    // The children within the bound, the most promising first: in the last iteration the solution turns up
    // sooner. Of two as promising, the one whose moved tile sits better among its group goes first: measured
    // over several sets of random boards, the fewest boards searched. Near the bound, where the order hardly
    // changes the count, each child is searched as soon as its entries are in instead of waiting for all.
    const bool ordered = limit >= OrderedAbove;
    TChild kept[4];
    int32_t passed = 0;
    for (int32_t k = 0; k < n; ++k) {
      const int32_t tile = tiles[k];
      const int32_t manhattan = at.manhattan + shape.distance[tile][blank] - shape.distance[tile][cells[k]];
      const int32_t room = limit - manhattan; // twice the group excess the bound still allows
      const int32_t group = shape.groupOf[tile];
      const int32_t value = TPatternDatabase::Entry(shape.table[group], ranks[k]);
      const int32_t sum = at.direct.SumWith(group, value);
      // A child more than one move beyond the bound puts this board beyond it too: the tables' sums may jump
      // by more than a move, but no board lies more than a move closer to the goal than its neighbour.
      if (2 * sum > room) {
        if (2 * sum > room + 2) return false;
        continue;
      }
      int32_t mirrorValue = 0, mirrorSum = sum;
      if constexpr (Mirrored) {
        const int32_t mirrorGroup = shape.groupOf[shape.mirrorTile[tile]];
        mirrorValue = TPatternDatabase::Entry(shape.table[mirrorGroup], mirrorRanks[k]);
        mirrorSum = at.mirror.SumWith(mirrorGroup, mirrorValue);
        if (2 * mirrorSum > room) {
          if (2 * mirrorSum > room + 2) return false;
          continue;
        }
      }
      const TChild child{(manhattan + 2 * std::max(sum, mirrorSum)) * 64 + value + mirrorValue,
                         cells[k],
                         tile,
                         manhattan,
                         value,
                         mirrorValue,
                         ranks[k],
                         mirrorRanks[k]};
      if (!ordered) {
        if (Descend(at, depth, child)) return true;
        if (stopped) return false;
        continue;
      }
      int32_t i = passed++;
      for (; i > 0 && kept[i - 1].order > child.order; --i) kept[i] = kept[i - 1];
      kept[i] = child;
    }
    for (int32_t i = 0; i < passed; ++i) {
      if (Descend(at, depth, kept[i])) return true;
      if (stopped) return false;
    }
    return false;
  }

  // A move found within the bound: the tile in `cell` slides into the blank.
  struct TChild {
    int32_t order, cell, tile, manhattan, value, mirrorValue;
    uint32_t rank, mirrorRank;
  };

  // Plays the move and searches below it.
  bool Descend(const TPosition& at, int32_t depth, const TChild& next) {
    const int32_t blank = at.blank, cell = next.cell, tile = next.tile;
    TPosition child;
    child.board = at.board ^ uint64_t(tile) << (4 * cell) ^ uint64_t(tile) << (4 * blank);
    if constexpr (Mirrored) {
      const uint64_t mirrorTile = shape.mirrorTile[tile];
      child.mirrorBoard = at.mirrorBoard ^ mirrorTile << (4 * shape.mirrorCell[cell]) ^
                          mirrorTile << (4 * shape.mirrorCell[blank]);
    }
    child.blank = cell;
    child.manhattan = next.manhattan;
    child.direct = at.direct;
    child.direct.Move(shape.groupOf[tile], next.rank, next.value);
    if constexpr (Mirrored) {
      child.mirror = at.mirror;
      child.mirror.Move(shape.groupOf[shape.mirrorTile[tile]], next.mirrorRank, next.mirrorValue);
    }
    path[static_cast<size_t>(depth)] = static_cast<uint16_t>(cell);
    return Expand(child, depth + 1, blank);
  }

  static constexpr int64_t PollEvery = 1 << 15;
  // Moves left to the bound from which children are ordered: measured, ordering below it saved next to no
  // boards.
  static constexpr int32_t OrderedAbove = 24;

  const TShape& shape;
  TOptimalSearch::TControl& control;
  std::vector<uint8_t>& blanks; // the path's prefix, and the solution's path when one is found
  const int32_t bound;
  // The blank's cell after each move of the current path; wider than a byte, since stores through bytes
  // would make the compiler reload everything else.
  std::vector<uint16_t> path;
  int64_t budget = PollEvery;
};

// An iteration too large for one thread, split into the subtrees below the boards at `depth` moves: the
// running search and its helpers take them in any order. The solution of the lowest numbered subtree is
// kept, which is the one a single thread would have found first.
struct TSplit {
  int32_t bound = 0, depth = 0;
  std::vector<uint8_t> prefixes; // the path to each subtree: `depth` blank cells
  size_t count = 0;
  std::atomic<size_t> next{0};
  std::atomic<size_t> best{SIZE_MAX}; // the lowest subtree with a solution
  std::vector<uint8_t> solution;      // its path, set under the search's lock
  std::atomic<int64_t> generated{0};
};

// An iteration that looks at this many boards makes the next one split; sooner when helpers wait for work,
// as splitting costs a search alone a little.
constexpr int64_t SplitAbove = 1 << 20;
constexpr int64_t SplitAboveWhenHelped = 1 << 17;
constexpr size_t SplitParts = 2048;
constexpr int32_t FirstSplitDepth = 10;
} // namespace

struct TOptimalSearch::TState {
  explicit TState(const TPatternDatabase& database) : shape(database) {}

  TShape shape;
  std::vector<int32_t> root; // the board searched
  std::mutex lock;
  std::condition_variable changed;
  bool running = false;
  bool ended = false;            // a search has run to its end
  bool expectHelpers = false;    // threads may call Help while a search runs
  std::shared_ptr<TSplit> split; // the iteration helpers may join
  int32_t helpers = 0;           // helpers at work on a split
  std::atomic<bool> stop{false};
};

namespace {
// Stops a subtree's search when a lower subtree has a solution, or the search is told to stop; only the
// thread that runs the search asks its control.
class TPartControl final : public TOptimalSearch::TControl {
 public:
  TPartControl(std::atomic<bool>& stop, const TSplit& split, size_t part, TOptimalSearch::TControl* outer)
      : stop(stop), split(split), part(part), outer(outer) {}
  bool Continue() override {
    if (split.best.load() < part || stop.load()) return false;
    if (outer && !outer->Continue()) {
      stop.store(true);
      return false;
    }
    return true;
  }

 private:
  std::atomic<bool>& stop;
  const TSplit& split;
  size_t part;
  TOptimalSearch::TControl* outer;
};

template <bool Mirrored, int32_t Span>
void SearchPart(const TShape& shape, const std::vector<int32_t>& root, std::atomic<bool>& stop,
                std::mutex& lock, TSplit& split, size_t part, TOptimalSearch::TControl* outer) {
  std::vector<int32_t> cells = root;
  int32_t blank = static_cast<int32_t>(std::find(cells.begin(), cells.end(), -1) - cells.begin());
  const int32_t rootBlank = blank;
  const uint8_t* prefix = split.prefixes.data() + part * static_cast<size_t>(split.depth);
  for (int32_t d = 0; d < split.depth; ++d) {
    std::swap(cells[static_cast<size_t>(blank)], cells[prefix[d]]);
    blank = prefix[d];
  }
  TPosition at;
  at.Set(shape, cells.data());
  std::vector<uint8_t> blanks(prefix, prefix + split.depth);
  blanks.resize(static_cast<size_t>(split.bound));
  TPartControl control(stop, split, part, outer);
  TIda<Mirrored, Span> ida(shape, control, blanks, split.bound);
  const bool found = ida.Search(at, split.depth, split.depth >= 2 ? prefix[split.depth - 2] : rootBlank);
  split.generated += ida.generated;
  if (!found) return;
  std::lock_guard guard(lock);
  if (part < split.best.load()) {
    split.best.store(part);
    split.solution.assign(blanks.begin(), blanks.begin() + ida.length);
  }
}

// The search made for the shape: with the reflected lookup or without, and for boards four cells wide, whose
// moves down and up pass over three cells, or any.
template <auto Plain, auto Four, auto Mirrored, auto MirroredFour> auto VariantOf(const TShape& shape) {
  if (shape.mirrored) return shape.cols == 4 ? MirroredFour : Mirrored;
  return shape.cols == 4 ? Four : Plain;
}

// Takes the split's subtrees until none is left that could still give the solution.
void WorkOn(const TShape& shape, const std::vector<int32_t>& root, std::atomic<bool>& stop, std::mutex& lock,
            TSplit& split, TOptimalSearch::TControl* outer) {
  for (size_t part; (part = split.next++) < split.count;) {
    if (part > split.best.load() || stop.load()) break;
    VariantOf<SearchPart<false, 0>, SearchPart<false, 3>, SearchPart<true, 0>, SearchPart<true, 3>>(shape)(
        shape, root, stop, lock, split, part, outer);
  }
}

// One iteration on this thread, or the boards at its frontier depth collected.
template <bool Mirrored, int32_t Span>
bool SearchWhole(const TShape& shape, const std::vector<int32_t>& root, TOptimalSearch::TControl& control,
                 int32_t bound, std::vector<uint8_t>& blanks, int64_t& generated, bool& stopped,
                 int32_t frontierDepth = -1, std::vector<uint8_t>* frontier = nullptr) {
  TPosition at;
  at.Set(shape, root.data());
  blanks.assign(static_cast<size_t>(bound), 0);
  TIda<Mirrored, Span> ida(shape, control, blanks, bound);
  ida.frontierDepth = frontierDepth;
  ida.frontier = frontier;
  const bool found = ida.Search(at, 0, -1);
  generated += ida.generated;
  stopped = ida.stopped;
  if (found) blanks.resize(static_cast<size_t>(ida.length));
  return found;
}
} // namespace

TOptimalSearch::TOptimalSearch(const TPatternDatabase& database)
    : database(database), state(std::make_unique<TState>(database)) {}

TOptimalSearch::~TOptimalSearch() = default;

int32_t TOptimalSearch::Estimate(const int32_t* cells) const {
  TPosition at;
  at.Set(state->shape, cells);
  return at.Estimate();
}

void TOptimalSearch::ExpectHelpers() {
  std::lock_guard guard(state->lock);
  state->expectHelpers = true;
}

void TOptimalSearch::Help() {
  TState& s = *state;
  std::unique_lock guard(s.lock);
  // A helper may come before the search has begun: it waits for the search, not returning before it ran.
  s.changed.wait(guard, [&] { return s.running || s.ended; });
  while (s.running) {
    if (s.split && s.split->next.load() < s.split->count) {
      const std::shared_ptr<TSplit> split = s.split;
      ++s.helpers;
      guard.unlock();
      WorkOn(s.shape, s.root, s.stop, s.lock, *split, nullptr);
      guard.lock();
      --s.helpers;
      s.changed.notify_all();
      continue;
    }
    s.changed.wait(guard);
  }
}

TOptimalSearch::TOutcome TOptimalSearch::Run(const int32_t* cells, TControl& control) {
  path.clear();
  generated = 0;
  const TPatternLayout& layout = database.Layout();
  TState& s = *state;
  const TShape& shape = s.shape;
  int64_t splitAbove = SplitAbove;
  {
    std::lock_guard guard(s.lock);
    if (s.expectHelpers) splitAbove = SplitAboveWhenHelped;
    s.root.assign(cells, cells + shape.count);
    s.running = true;
    s.stop = false;
  }
  // Helpers leave once the search is over, however it ends, a refused board included.
  struct TEnd {
    TState& s;
    ~TEnd() {
      std::lock_guard guard(s.lock);
      s.running = false;
      s.ended = true;
      s.split = nullptr;
      s.changed.notify_all();
    }
  } end{s};
  if (!IsSolvablePosition(layout.rows, layout.cols, cells)) return Invalid;

  const auto whole =
      VariantOf<SearchWhole<false, 0>, SearchWhole<false, 3>, SearchWhole<true, 0>, SearchWhole<true, 3>>(
          shape);
  TPosition start;
  start.Set(shape, cells);
  std::vector<uint8_t> blanks;
  bool solved = false, stopped = false;
  int64_t last = 0; // boards looked at by the last iteration
  // Deepens the bound two moves at a time (every solution has the parity of the Manhattan distance) until a
  // solution or a stop.
  for (int32_t bound = start.Estimate(); !solved && !stopped; bound += 2) {
    const int64_t before = generated;
    if (last < splitAbove || bound <= FirstSplitDepth + 1) {
      solved = whole(shape, s.root, control, bound, blanks, generated, stopped, -1, nullptr);
      last = generated - before;
      continue;
    }
    auto split = std::make_shared<TSplit>();
    split->bound = bound;
    // The frontier deep enough for every thread to find work; it lies below the solution's depth.
    for (split->depth = FirstSplitDepth;; split->depth += 2) {
      split->prefixes.clear();
      // Only tables that overestimate put the goal above the frontier; it is a solution all the same.
      solved =
          whole(shape, s.root, control, bound, blanks, generated, stopped, split->depth, &split->prefixes);
      split->count = split->prefixes.size() / static_cast<size_t>(split->depth);
      if (solved || stopped || split->count >= SplitParts || split->depth + 3 > bound) break;
    }
    if (solved || stopped) break;
    {
      std::lock_guard guard(s.lock);
      s.split = split;
      s.changed.notify_all();
    }
    WorkOn(shape, s.root, s.stop, s.lock, *split, &control);
    {
      // The helpers' last subtrees end soon after a stop, which is still watched for meanwhile.
      std::unique_lock guard(s.lock);
      s.split = nullptr;
      while (s.helpers > 0) {
        s.changed.wait_for(guard, std::chrono::milliseconds(1));
        if (!s.stop && !control.Continue()) s.stop = true;
      }
    }
    generated += split->generated.load();
    last = generated - before;
    if (split->best.load() != SIZE_MAX) {
      blanks = split->solution;
      solved = true;
    } else if (s.stop) {
      stopped = true;
    }
  }
  if (!solved) return Stopped;

  int32_t blank = static_cast<int32_t>(std::find(cells, cells + shape.count, -1) - cells);
  for (const uint8_t cell : blanks) {
    const int32_t from = cell;
    const int8_t direction = from == blank + shape.cols   ? 0
                             : from == blank - shape.cols ? 1
                             : from == blank + 1          ? 2
                                                          : 3;
    path.push_back(TMove{from, blank, direction});
    blank = from;
  }
  return Solved;
}
