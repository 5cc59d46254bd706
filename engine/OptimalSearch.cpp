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

// Everything the search reads about the shape, in flat arrays.
struct TShape {
  explicit TShape(const TPatternDatabase& database) {
    const TPatternLayout& layout = database.Layout();
    count = layout.Count();
    cols = layout.cols;
    for (int32_t c = 0; c < count; ++c) {
      const int32_t row = c / cols, col = c % cols;
      auto add = [&](int32_t n) { neighbours[c][degree[c]++] = static_cast<uint8_t>(n); };
      if (row + 1 < layout.rows) add(c + cols);
      if (col + 1 < cols) add(c + 1);
      if (row > 0) add(c - cols);
      if (col > 0) add(c - 1);
      for (int32_t t = 1; t < count; ++t)
        distance[t][c] =
            static_cast<uint8_t>(std::abs((t - 1) / cols - row) + std::abs((t - 1) % cols - col));
    }
    groups = static_cast<int32_t>(layout.groups.size());
    std::fill(std::begin(groupOf), std::end(groupOf), NoGroup);
    int32_t slot[MaxPatternCells] = {};
    for (int32_t g = 0; g < groups; ++g) {
      const auto& tiles = layout.groups[static_cast<size_t>(g)];
      table[g] = database.Table(static_cast<size_t>(g));
      uint32_t weight = 1;
      for (int32_t i = static_cast<int32_t>(tiles.size()) - 1; i >= 0; --i) {
        const uint8_t tile = tiles[static_cast<size_t>(i)];
        groupOf[tile] = static_cast<uint8_t>(g);
        slot[tile] = i;
        weightOf[tile] = weight;
        weight *= static_cast<uint32_t>(count - i);
      }
    }
    // When tile t passes over tile u of its group, u's place among t's predecessors changes: t's own digit
    // moves by one if u comes before t in the group, u's digit if it comes after.
    for (int32_t t = 1; t < count; ++t)
      for (int32_t u = 1; u < count; ++u)
        if (u != t && groupOf[u] == groupOf[t])
          passed[t][u] =
              slot[u] < slot[t] ? -static_cast<int32_t>(weightOf[t]) : static_cast<int32_t>(weightOf[u]);
    mirrored = layout.Mirrored();
    for (int32_t c = 0; c < count; ++c)
      mirrorCell[c] = static_cast<uint8_t>(mirrored ? (c % cols) * cols + c / cols : c);
    for (int32_t t = 1; t < count; ++t) mirrorTile[t] = static_cast<uint8_t>(mirrorCell[t - 1] + 1);
  }

  // How a group's index changes when `tile` moves from cell `from` into the blank at `to` on `board`.
  int32_t IndexChange(const uint8_t* board, uint8_t tile, int32_t from, int32_t to) const {
    int32_t change = static_cast<int32_t>(weightOf[tile]) * (to - from);
    if (to - from == 1 || from - to == 1) return change;
    int32_t over = 0;
    for (int32_t c = std::min(from, to) + 1; c < std::max(from, to); ++c) over += passed[tile][board[c]];
    return to > from ? change + over : change - over;
  }

  // A group's index on `board`, from scratch.
  uint32_t Index(int32_t group, const uint8_t* board) const {
    uint8_t cells[MaxPatternCells];
    int32_t size = 0;
    for (int32_t t = 1; t < count; ++t)
      if (groupOf[t] == group) size++;
    // Tiles in ascending order are the group's order.
    int32_t i = 0;
    for (int32_t t = 1; t < count; ++t)
      if (groupOf[t] == group)
        for (int32_t c = 0; c < count; ++c)
          if (board[c] == t) cells[i++] = static_cast<uint8_t>(c);
    return RankPlacement(cells, size, count);
  }

  int32_t count = 0, cols = 0, groups = 0;
  bool mirrored = false;
  uint8_t neighbours[MaxPatternCells][4] = {};
  uint8_t degree[MaxPatternCells] = {};
  uint8_t distance[MaxPatternCells][MaxPatternCells] = {}; // of tile t in cell c from its home
  uint8_t groupOf[MaxPatternCells] = {};
  uint32_t weightOf[MaxPatternCells] = {};               // of a tile's digit in its group's index
  int32_t passed[MaxPatternCells][MaxPatternCells] = {}; // index change when t passes over u, moving forwards
  const uint8_t* table[MaxGroups] = {};
  uint8_t mirrorCell[MaxPatternCells] = {}; // a cell's reflection about the main diagonal
  uint8_t mirrorTile[MaxPatternCells] = {}; // the tile whose home is the reflection of the tile's home
};

// The position during the search: the board and its reflection, and each group's index and table entry on
// both.
struct TPosition {
  void Set(const TShape& shape, const int32_t* cells) {
    for (int32_t c = 0; c < shape.count; ++c) {
      const uint8_t tile = static_cast<uint8_t>(cells[c] == -1 ? 0 : cells[c]);
      board[c] = tile;
      if (tile == 0) blank = c;
    }
    for (int32_t c = 0; c < shape.count; ++c) mirrorBoard[shape.mirrorCell[c]] = shape.mirrorTile[board[c]];
    manhattan = 0;
    for (int32_t c = 0; c < shape.count; ++c)
      if (board[c]) manhattan += shape.distance[board[c]][c];
    sum = mirrorSum = 0;
    for (int32_t g = 0; g < shape.groups; ++g) {
      index[g] = shape.Index(g, board);
      mirrorIndex[g] = shape.Index(g, mirrorBoard);
      value[g] = static_cast<uint8_t>(TPatternDatabase::Entry(shape.table[g], index[g]));
      mirrorValue[g] = static_cast<uint8_t>(TPatternDatabase::Entry(shape.table[g], mirrorIndex[g]));
      sum += value[g];
      mirrorSum += mirrorValue[g];
    }
  }
  int32_t Estimate() const { return manhattan + 2 * std::max(sum, mirrorSum); }

  uint8_t board[MaxPatternCells] = {}; // tile in each cell, 0 for the blank
  uint8_t mirrorBoard[MaxPatternCells] = {};
  uint32_t index[MaxGroups] = {}, mirrorIndex[MaxGroups] = {};
  uint8_t value[MaxGroups] = {}, mirrorValue[MaxGroups] = {};
  int32_t blank = 0, manhattan = 0, sum = 0, mirrorSum = 0;
};

template <bool Mirrored> class TIda {
 public:
  TIda(const TShape& shape, TPosition& at, TOptimalSearch::TControl& control, std::vector<uint8_t>& blanks,
       int32_t bound)
      : shape(shape), at(at), control(control), blanks(blanks), bound(bound) {}

  // Searches below `at`, reached in `depth` moves (their blank cells in `blanks`), the blank's cell before
  // the last of them being `previous` (-1 at the root); true with the path in `blanks` when it reaches the
  // goal within the bound. Given a frontier, boards at its depth are recorded there instead of searched.
  bool Search(int32_t depth, int32_t previous) {
    if (at.manhattan == 0) {
      length = depth;
      return true;
    }
    if (depth == frontierDepth) {
      frontier->insert(frontier->end(), blanks.begin(), blanks.begin() + depth);
      return false;
    }
    const int32_t blank = at.blank;
    TChild children[4];
    int32_t n = 0;
    // First every child's table index, so that the entries are on their way while the first is looked at.
    for (int32_t k = 0; k < shape.degree[blank]; ++k) {
      const uint8_t cell = shape.neighbours[blank][k];
      if (cell == previous) continue;
      TChild& child = children[n++];
      child.cell = cell;
      child.tile = at.board[cell];
      child.group = shape.groupOf[child.tile];
      child.index = at.index[child.group] + shape.IndexChange(at.board, child.tile, cell, blank);
      __builtin_prefetch(shape.table[child.group] + (child.index >> 1));
      if constexpr (Mirrored) {
        const uint8_t tile = shape.mirrorTile[child.tile];
        child.mirrorGroup = shape.groupOf[tile];
        child.mirrorIndex =
            at.mirrorIndex[child.mirrorGroup] +
            shape.IndexChange(at.mirrorBoard, tile, shape.mirrorCell[cell], shape.mirrorCell[blank]);
        __builtin_prefetch(shape.table[child.mirrorGroup] + (child.mirrorIndex >> 1));
      }
    }
    generated += n;
    if ((budget -= n) <= 0) {
      budget = PollEvery;
      if (!control.Continue()) stopped = true;
    }
    if (stopped) return false;

    for (int32_t k = 0; k < n; ++k) {
      const TChild& child = children[k];
      const int32_t manhattan =
          at.manhattan + shape.distance[child.tile][blank] - shape.distance[child.tile][child.cell];
      const int32_t room = bound - depth - 1 - manhattan; // twice the group excess the bound still allows
      const uint8_t value =
          static_cast<uint8_t>(TPatternDatabase::Entry(shape.table[child.group], child.index));
      const int32_t sum = at.sum - at.value[child.group] + value;
      if (2 * sum > room) continue;
      uint8_t mirrorValue = 0;
      int32_t mirrorSum = 0;
      if constexpr (Mirrored) {
        mirrorValue =
            static_cast<uint8_t>(TPatternDatabase::Entry(shape.table[child.mirrorGroup], child.mirrorIndex));
        mirrorSum = at.mirrorSum - at.mirrorValue[child.mirrorGroup] + mirrorValue;
        if (2 * mirrorSum > room) continue;
      }
      // Play the move, search below it, take it back.
      const TPosition before = at;
      at.board[blank] = child.tile;
      at.board[child.cell] = 0;
      at.blank = child.cell;
      at.manhattan = manhattan;
      at.sum = sum;
      at.index[child.group] = child.index;
      at.value[child.group] = value;
      if constexpr (Mirrored) {
        at.mirrorBoard[shape.mirrorCell[blank]] = shape.mirrorTile[child.tile];
        at.mirrorBoard[shape.mirrorCell[child.cell]] = 0;
        at.mirrorSum = mirrorSum;
        at.mirrorIndex[child.mirrorGroup] = child.mirrorIndex;
        at.mirrorValue[child.mirrorGroup] = mirrorValue;
      }
      blanks[static_cast<size_t>(depth)] = child.cell;
      if (Search(depth + 1, blank)) return true;
      at = before;
      if (stopped) return false;
    }
    return false;
  }

  int64_t generated = 0;
  int32_t length = 0;
  bool stopped = false;
  int32_t frontierDepth = -1;
  std::vector<uint8_t>* frontier = nullptr;

 private:
  struct TChild {
    uint8_t cell, tile, group, mirrorGroup;
    uint32_t index, mirrorIndex;
  };

  static constexpr int64_t PollEvery = 1 << 15;

  const TShape& shape;
  TPosition& at;
  TOptimalSearch::TControl& control;
  std::vector<uint8_t>& blanks; // the blank's cell after each move of the current path
  const int32_t bound;
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

// An iteration that looks at this many boards makes the next one split.
constexpr int64_t SplitAbove = 1 << 20;
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

template <bool Mirrored>
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
  TIda<Mirrored> ida(shape, at, control, blanks, split.bound);
  const bool found = ida.Search(split.depth, split.depth >= 2 ? prefix[split.depth - 2] : rootBlank);
  split.generated += ida.generated;
  if (!found) return;
  std::lock_guard guard(lock);
  if (part < split.best.load()) {
    split.best.store(part);
    split.solution.assign(blanks.begin(), blanks.begin() + ida.length);
  }
}

// Takes the split's subtrees until none is left that could still give the solution.
void WorkOn(const TShape& shape, const std::vector<int32_t>& root, std::atomic<bool>& stop, std::mutex& lock,
            TSplit& split, TOptimalSearch::TControl* outer) {
  for (size_t part; (part = split.next++) < split.count;) {
    if (part > split.best.load() || stop.load()) break;
    if (shape.mirrored)
      SearchPart<true>(shape, root, stop, lock, split, part, outer);
    else
      SearchPart<false>(shape, root, stop, lock, split, part, outer);
  }
}

// One iteration on this thread, or the boards at its frontier depth collected.
template <bool Mirrored>
bool SearchWhole(const TShape& shape, const std::vector<int32_t>& root, TOptimalSearch::TControl& control,
                 int32_t bound, std::vector<uint8_t>& blanks, int64_t& generated, bool& stopped,
                 int32_t frontierDepth = -1, std::vector<uint8_t>* frontier = nullptr) {
  TPosition at;
  at.Set(shape, root.data());
  blanks.assign(static_cast<size_t>(bound), 0);
  TIda<Mirrored> ida(shape, at, control, blanks, bound);
  ida.frontierDepth = frontierDepth;
  ida.frontier = frontier;
  const bool found = ida.Search(0, -1);
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

void TOptimalSearch::Help() {
  TState& s = *state;
  std::unique_lock guard(s.lock);
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
  if (!IsSolvablePosition(layout.rows, layout.cols, cells)) return Invalid;
  TState& s = *state;
  const TShape& shape = s.shape;
  {
    std::lock_guard guard(s.lock);
    s.root.assign(cells, cells + shape.count);
    s.running = true;
    s.stop = false;
  }
  // Helpers leave once the search is over, however it ends.
  struct TEnd {
    TState& s;
    ~TEnd() {
      std::lock_guard guard(s.lock);
      s.running = false;
      s.split = nullptr;
      s.changed.notify_all();
    }
  } end{s};

  const auto whole = shape.mirrored ? SearchWhole<true> : SearchWhole<false>;
  TPosition start;
  start.Set(shape, cells);
  std::vector<uint8_t> blanks;
  bool solved = false, stopped = false;
  int64_t last = 0; // boards looked at by the last iteration
  // Deepens the bound two moves at a time (every solution has the parity of the Manhattan distance) until a
  // solution or a stop.
  for (int32_t bound = start.Estimate(); !solved && !stopped; bound += 2) {
    const int64_t before = generated;
    if (last < SplitAbove || bound <= FirstSplitDepth + 1) {
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
