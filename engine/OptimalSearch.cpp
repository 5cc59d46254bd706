#include "engine/OptimalSearch.h"

#include <algorithm>
#include <cstdlib>

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

uint32_t Entry(const uint8_t* table, uint32_t index) {
  return (table[index >> 1] >> ((index & 1) * 4)) & 15;
}

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
      value[g] = static_cast<uint8_t>(Entry(shape.table[g], index[g]));
      mirrorValue[g] = static_cast<uint8_t>(Entry(shape.table[g], mirrorIndex[g]));
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
  TIda(const TShape& shape, TPosition& at, TOptimalSearch::TControl& control, std::vector<uint8_t>& blanks)
      : shape(shape), at(at), control(control), blanks(blanks) {}

  // Deepens the bound, two moves at a time (every solution has the parity of the Manhattan distance), until
  // a solution or a stop.
  bool Run(int32_t start) {
    for (bound = start;; bound += 2) {
      blanks.assign(static_cast<size_t>(bound), 0);
      if (Search(0, -1)) {
        blanks.resize(static_cast<size_t>(length));
        return true;
      }
      if (stopped) return false;
    }
  }

  int64_t generated = 0;

 private:
  struct TChild {
    uint8_t cell, tile, group, mirrorGroup;
    uint32_t index, mirrorIndex;
  };

  bool Search(int32_t depth, int32_t previous) {
    if (at.manhattan == 0) {
      length = depth;
      return true;
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
      const uint8_t value = static_cast<uint8_t>(Entry(shape.table[child.group], child.index));
      const int32_t sum = at.sum - at.value[child.group] + value;
      if (2 * sum > room) continue;
      uint8_t mirrorValue = 0;
      int32_t mirrorSum = 0;
      if constexpr (Mirrored) {
        mirrorValue = static_cast<uint8_t>(Entry(shape.table[child.mirrorGroup], child.mirrorIndex));
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

  static constexpr int64_t PollEvery = 1 << 15;

  const TShape& shape;
  TPosition& at;
  TOptimalSearch::TControl& control;
  std::vector<uint8_t>& blanks; // the blank's cell after each move of the current path
  int32_t bound = 0;
  int32_t length = 0;
  int64_t budget = PollEvery;
  bool stopped = false;
};
} // namespace

TOptimalSearch::TOptimalSearch(const TPatternDatabase& database) : database(database) {}

int32_t TOptimalSearch::Estimate(const int32_t* cells) const {
  const TShape shape(database);
  TPosition at;
  at.Set(shape, cells);
  return at.Estimate();
}

TOptimalSearch::TOutcome TOptimalSearch::Run(const int32_t* cells, TControl& control) {
  path.clear();
  generated = 0;
  const TPatternLayout& layout = database.Layout();
  if (!IsSolvablePosition(layout.rows, layout.cols, cells)) return Invalid;
  const TShape shape(database);
  TPosition at;
  at.Set(shape, cells);
  const int32_t start = at.Estimate();
  std::vector<uint8_t> blanks;
  bool solved;
  if (shape.mirrored) {
    TIda<true> ida(shape, at, control, blanks);
    solved = ida.Run(start);
    generated = ida.generated;
  } else {
    TIda<false> ida(shape, at, control, blanks);
    solved = ida.Run(start);
    generated = ida.generated;
  }
  if (!solved) return Stopped;
  int32_t blank = 0;
  for (int32_t c = 0; c < shape.count; ++c)
    if (cells[c] == -1) blank = c;
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
