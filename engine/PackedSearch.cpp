#include "engine/PackedSearch.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>

#include "engine/IndexFibHeap.h"
#include "engine/PackedTree.h"
#include "engine/SearchMemory.h"

namespace {
// Greedy conflicts within one line. rank[p] is, for the tile in place p, its place by number among the
// tiles that belong to this line, from 1; 0 for the blank and for tiles that belong elsewhere. Tiles start
// their search in number order, pair with the first unpaired tile in line order that stands on the wrong side
// of them, and pair at most once.
int32_t LineConflicts(const uint8_t* rank, int32_t length) {
  int8_t place[MaxPackedCells + 1];
  std::fill(place, place + length + 1, int8_t{-1});
  for (int32_t p = 0; p < length; ++p)
    if (rank[p]) place[rank[p]] = static_cast<int8_t>(p);
  uint64_t paired = 0;
  int32_t conflicts = 0;
  for (int32_t k = 1; k <= length; ++k) {
    const int32_t p = place[k];
    if (p < 0 || (paired >> k & 1)) continue;
    for (int32_t q = 0; q < length; ++q) {
      const int32_t u = rank[q];
      if (u == 0 || u == k || (paired >> u & 1)) continue;
      if ((q > p && u < k) || (q < p && u > k)) {
        conflicts += 2;
        paired |= uint64_t{1} << k | uint64_t{1} << u;
        break;
      }
    }
  }
  return conflicts;
}

// The conflicts of every line of `length` places, by the line's ranks read as a number in base length + 1,
// place 0 lowest; for lines of up to TabledLength places, made once per program on first use.
constexpr int32_t TabledLength = 6;

const uint8_t* ConflictTable(int32_t length) {
  static std::once_flag made[TabledLength + 1];
  static std::vector<uint8_t> tables[TabledLength + 1];
  if (length > TabledLength) return nullptr;
  std::call_once(made[length], [length] {
    const int32_t base = length + 1;
    int32_t size = 1;
    for (int32_t p = 0; p < length; ++p) size *= base;
    std::vector<uint8_t>& table = tables[length];
    table.resize(static_cast<size_t>(size));
    uint8_t rank[TabledLength] = {};
    for (int32_t code = 0; code < size; ++code) {
      // Codes whose ranks repeat stand for no line; their entries are never read.
      for (int32_t p = 0, rest = code; p < length; ++p, rest /= base)
        rank[p] = static_cast<uint8_t>(rest % base);
      table[static_cast<size_t>(code)] = static_cast<uint8_t>(LineConflicts(rank, length));
    }
  });
  return tables[length].data();
}
} // namespace

TEstimator::TEstimator(int32_t rows, int32_t cols, const uint8_t* goal)
    : rows(rows), cols(cols), count(rows * cols), rowTable(ConflictTable(cols)),
      colTable(ConflictTable(rows)) {
  for (int32_t i = 0; i < count; ++i) {
    rowOf[i] = static_cast<uint8_t>(i / cols);
    colOf[i] = static_cast<uint8_t>(i % cols);
  }
  for (int32_t i = 0; i < count; ++i) {
    homeRow[goal[i]] = rowOf[i];
    homeCol[goal[i]] = colOf[i];
  }
  // Ranks by tile number among the tiles of the same goal line; the blank has none.
  rowRank[0] = colRank[0] = 0;
  for (int32_t t = 1; t < count; ++t) {
    int32_t inRow = 1, inCol = 1;
    for (int32_t u = 1; u < t; ++u) {
      if (homeRow[u] == homeRow[t]) ++inRow;
      if (homeCol[u] == homeCol[t]) ++inCol;
    }
    rowRank[t] = static_cast<uint8_t>(inRow);
    colRank[t] = static_cast<uint8_t>(inCol);
  }
  // Codes exist only for lines with a table; longer ones would overflow them.
  for (int32_t p = 0, weight = 1; p < cols; ++p, weight *= rowTable ? cols + 1 : 1)
    rowWeight[p] = rowTable ? weight : 0;
  for (int32_t p = 0, weight = 1; p < rows; ++p, weight *= colTable ? rows + 1 : 1)
    colWeight[p] = colTable ? weight : 0;
}

// The conflicts of `row`, with the cell in column `changedCol` (when not -1) holding `changedValue` instead.
int32_t TEstimator::RowConflicts(const uint8_t* cells, int32_t row, int32_t changedCol,
                                 uint8_t changedValue) const {
  uint8_t rank[MaxPackedCells];
  const uint8_t* line = cells + row * cols;
  for (int32_t c = 0; c < cols; ++c) {
    const uint8_t v = c == changedCol ? changedValue : line[c];
    rank[c] = v != 0 && homeRow[v] == row ? rowRank[v] : 0;
  }
  return LineConflicts(rank, cols);
}

int32_t TEstimator::ColConflicts(const uint8_t* cells, int32_t col, int32_t changedRow,
                                 uint8_t changedValue) const {
  uint8_t rank[MaxPackedCells];
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t v = r == changedRow ? changedValue : cells[r * cols + col];
    rank[r] = v != 0 && homeCol[v] == col ? colRank[v] : 0;
  }
  return LineConflicts(rank, rows);
}

int32_t TEstimator::RowCode(const uint8_t* cells, int32_t row) const {
  const uint8_t* line = cells + row * cols;
  int32_t code = 0;
  for (int32_t c = 0; c < cols; ++c) {
    const uint8_t v = line[c];
    if (homeRow[v] == row) code += rowRank[v] * rowWeight[c];
  }
  return code;
}

int32_t TEstimator::ColCode(const uint8_t* cells, int32_t col) const {
  int32_t code = 0;
  for (int32_t r = 0, i = col; r < rows; ++r, i += cols) {
    const uint8_t v = cells[i];
    if (homeCol[v] == col) code += colRank[v] * colWeight[r];
  }
  return code;
}

int32_t TEstimator::Full(const uint8_t* cells) const {
  int32_t estimate = 0;
  for (int32_t i = 0; i < count; ++i)
    if (const uint8_t t = cells[i])
      estimate += std::abs(homeRow[t] - rowOf[i]) + std::abs(homeCol[t] - colOf[i]);
  for (int32_t r = 0; r < rows; ++r) estimate += RowConflicts(cells, r, -1, 0);
  for (int32_t c = 0; c < cols; ++c) estimate += ColConflicts(cells, c, -1, 0);
  return estimate;
}

int32_t TEstimator::Delta(const uint8_t* cells, int32_t from, int32_t to) const {
  const uint8_t t = cells[from];
  if (colOf[from] == colOf[to]) {
    // Up or down: the column keeps its tiles in the same order; only the tile's goal row can change.
    const int32_t home = homeRow[t], col = colOf[from];
    int32_t delta = std::abs(home - rowOf[to]) - std::abs(home - rowOf[from]);
    if (home != rowOf[from] && home != rowOf[to]) return delta;
    const bool leaves = home == rowOf[from];
    if (rowTable) {
      const int32_t code = RowCode(cells, home);
      const int32_t change = rowRank[t] * rowWeight[col];
      return delta + rowTable[leaves ? code - change : code + change] - rowTable[code];
    }
    return delta + RowConflicts(cells, home, col, leaves ? 0 : t) - RowConflicts(cells, home, -1, 0);
  }
  const int32_t home = homeCol[t], row = rowOf[from];
  int32_t delta = std::abs(home - colOf[to]) - std::abs(home - colOf[from]);
  if (home != colOf[from] && home != colOf[to]) return delta;
  const bool leaves = home == colOf[from];
  if (colTable) {
    const int32_t code = ColCode(cells, home);
    const int32_t change = colRank[t] * colWeight[row];
    return delta + colTable[leaves ? code - change : code + change] - colTable[code];
  }
  return delta + ColConflicts(cells, home, row, leaves ? 0 : t) - ColConflicts(cells, home, -1, 0);
}

namespace {
// Per board, besides its tree node: its open-list entry, where it came from and how deep it lies.
struct TSearchRecord {
  uint32_t child, left, right; // open-list links
  int16_t key;                 // the estimate
  uint8_t degree;              // open-list children
  uint8_t blank;               // the blank's cell
  uint32_t parent;             // the board it came from; the move's direction in the top two bits
  int32_t depth;
};
static_assert(sizeof(TSearchRecord) == 24);

// Cells of `bits` bits, the first cell in the top bits of the first word, so that comparing the words as
// unsigned numbers compares the cells in index order; the blank is 0, below every tile, as -1 is.
struct TLayout {
  int32_t rows, cols, count, bits, perWord, words;
  uint8_t word[MaxPackedCells], shift[MaxPackedCells];

  TLayout(int32_t rows, int32_t cols) : rows(rows), cols(cols), count(rows * cols) {
    bits = 1;
    while ((1 << bits) < count) ++bits;
    perWord = 64 / bits;
    words = (count + perWord - 1) / perWord;
    for (int32_t i = 0; i < count; ++i) {
      word[i] = static_cast<uint8_t>(i / perWord);
      shift[i] = static_cast<uint8_t>(64 - bits * (i % perWord + 1));
    }
  }
  uint8_t Value(int32_t cell) const { return cell == -1 ? 0 : static_cast<uint8_t>(cell); }
};

constexpr int8_t Opposite[4] = {1, 0, 3, 2};
// Tree size in bytes from which looking up the children side by side pays for the second descent it costs
// each new one.
constexpr size_t FindAheadFrom = size_t{8} << 20;

template <int W> class TPackedSearchOf final : public TPackedSearch {
 public:
  using Tree = TPackedTree<W>;
  using Node = typename Tree::Node;
  static constexpr uint32_t Null = 0;
  static constexpr uint32_t Root = 1;

  TPackedSearchOf(const TLayout& layout, const TBoard& start, const int32_t* goal, int32_t maxDepth,
                  int32_t memoryLimit)
      : layout(layout), estimator(layout.rows, layout.cols, Values(goal).data()), maxDepth(maxDepth),
        memoryLimit(memoryLimit) {
    Pack(Values(goal).data(), goalCells);
    std::copy(start.cells, start.cells + layout.count, startCells);
    // Expansion stops once count * 48 reaches the limit; four children may follow the last one.
    capacity = static_cast<size_t>(std::max(memoryLimit, 0)) / 48 + 8;
  }
  ~TPackedSearchOf() override {
    ReturnSearchBlock(std::move(nodeBlock));
    ReturnSearchBlock(std::move(recordBlock));
  }

  TOutcome Run(TControl& control) override;
  std::vector<TMove> Path() const override;

 private:
  std::vector<uint8_t> Values(const int32_t* cells) const {
    std::vector<uint8_t> values(static_cast<size_t>(layout.count));
    for (int32_t i = 0; i < layout.count; ++i) values[static_cast<size_t>(i)] = layout.Value(cells[i]);
    return values;
  }
  void Pack(const uint8_t* values, uint64_t* words) const {
    std::fill(words, words + W, 0);
    for (int32_t i = 0; i < layout.count; ++i)
      words[layout.word[i]] |= static_cast<uint64_t>(values[i]) << layout.shift[i];
  }
  void Unpack(const uint64_t* words, uint8_t* values) const {
    const int32_t bits = layout.bits, drop = 64 - bits;
    int32_t i = 0;
    for (int w = 0; w < W; ++w) {
      uint64_t rest = words[w];
      for (const int32_t end = std::min(layout.count, (w + 1) * layout.perWord); i < end; ++i) {
        values[i] = static_cast<uint8_t>(rest >> drop);
        rest <<= bits;
      }
    }
  }
  bool IsGoal(uint32_t board) const { return ComparePacked<W>(nodes[board].cells, goalCells) == 0; }
  // Room for the board of index `index`; false when there is none.
  bool Room(uint32_t index) {
    if (index < committed) return true;
    if (index >= capacity || index > Tree::MaxIndex) return false;
    const size_t want = std::min(capacity, static_cast<size_t>(index) + 1);
    if (!nodeBlock->Commit(want * sizeof(Node)) || !recordBlock->Commit(want * sizeof(TSearchRecord)))
      return false;
    committed =
        std::min(nodeBlock->Committed() / sizeof(Node), recordBlock->Committed() / sizeof(TSearchRecord));
    committed = std::min(committed, capacity);
    return index < committed;
  }
  bool Expand(uint32_t current);

  TLayout layout;
  TEstimator estimator;
  int32_t maxDepth;
  int32_t memoryLimit;
  uint64_t goalCells[W];
  int32_t startCells[MaxPackedCells];
  size_t capacity = 0;
  size_t committed = 0;
  std::unique_ptr<TSearchBlock> nodeBlock, recordBlock;
  Node* nodes = nullptr;
  TSearchRecord* records = nullptr;
  uint32_t found = Null;
};

template <int W> TPackedSearch::TOutcome TPackedSearchOf<W>::Run(TControl& control) {
  nodeBlock = TakeSearchBlock(capacity * sizeof(Node));
  recordBlock = TakeSearchBlock(capacity * sizeof(TSearchRecord));
  if (!nodeBlock || !recordBlock) return Exhausted;
  nodes = reinterpret_cast<Node*>(nodeBlock->Data());
  records = reinterpret_cast<TSearchRecord*>(recordBlock->Data());
  committed = 0;
  if (!Room(Root)) return Exhausted;

  Tree visited(nodes);
  TIndexFibHeap<TSearchRecord> open(records);

  // The start board is not evaluated: its estimate stays 0.
  uint8_t values[MaxPackedCells];
  for (int32_t i = 0; i < layout.count; ++i) values[i] = layout.Value(startCells[i]);
  Pack(values, nodes[Root].cells);
  TSearchRecord& root = records[Root];
  root.key = 0;
  root.blank = static_cast<uint8_t>(std::find(values, values + layout.count, 0) - values);
  root.parent = Null;
  root.depth = 0;
  visited.Probe(Root);
  open.Insert(Root);
  stored = visited.count;

  uint32_t current = Root;
  while (!IsGoal(current)) {
    if (!control.Pass()) return Stopped;
    current = open.ExtractMin();
    if (current == Null) return Exhausted;
    // The next pass takes the new minimum, unless this one adds a smaller key: fetch its board meanwhile.
    __builtin_prefetch(&nodes[open.min]);
    const int32_t used = visited.count * 48;
    if (maxDepth > records[current].depth && used < memoryLimit) {
      ++expanded;
      // The children of `current`, in the order up, left, down, right.
      const TSearchRecord parent = records[current];
      const int32_t b = parent.blank;
      const int32_t row = b / layout.cols, col = b % layout.cols;
      const int32_t from[4] = {b + layout.cols, b + 1, b - layout.cols, b - 1};
      const bool legal[4] = {row<layout.rows - 1, col<layout.cols - 1, row> 0, col> 0};
      static constexpr int8_t Direction[4] = {0, 2, 1, 3};
      // The child that undoes the move that made `current` is its parent, stored already.
      const int32_t back = current == Root ? -1 : Opposite[parent.parent >> 30];
      Unpack(nodes[current].cells, values);
      uint64_t childCells[4][W];
      int32_t childFrom[4];
      int8_t childDirection[4];
      int children = 0;
      for (int m = 0; m < 4; ++m) {
        if (!legal[m] || Direction[m] == back) continue;
        const int32_t f = from[m];
        const uint64_t tile = values[f];
        uint64_t* cells = childCells[children];
        std::copy(nodes[current].cells, nodes[current].cells + W, cells);
        cells[layout.word[f]] -= tile << layout.shift[f];
        cells[layout.word[b]] += tile << layout.shift[b];
        childFrom[children] = f;
        childDirection[children++] = Direction[m];
      }
      // Once the tree outgrows the processor's near caches, the children's descents go side by side first.
      // Children are distinct boards, so what is stored stays so while the new ones are added in order.
      bool known[4] = {};
      const bool ahead = static_cast<size_t>(visited.count) * sizeof(Node) > FindAheadFrom;
      if (ahead) visited.FindEach(childCells, children, known);
      for (int k = 0; k < children; ++k) {
        if (known[k]) continue;
        const uint32_t child = static_cast<uint32_t>(visited.count) + 1;
        if (!Room(child)) {
          // A board that cannot be stored would be lost from the search, which could then miss or lengthen
          // the solution: end as exhausted instead.
          stored = visited.count;
          return Exhausted;
        }
        std::copy(childCells[k], childCells[k] + W, nodes[child].cells);
        if (visited.Probe(child) != child) continue;
        const int32_t f = childFrom[k];
        TSearchRecord& record = records[child];
        if (current == Root) {
          const uint8_t tile = values[f];
          values[b] = tile;
          values[f] = 0;
          record.key = static_cast<int16_t>(estimator.Full(values));
          values[f] = tile;
          values[b] = 0;
        } else {
          record.key = static_cast<int16_t>(parent.key + estimator.Delta(values, f, b));
        }
        record.blank = static_cast<uint8_t>(f);
        record.parent = current | static_cast<uint32_t>(childDirection[k]) << 30;
        record.depth = parent.depth + 1;
        open.Insert(child);
      }
      stored = visited.count;
    }
  }
  found = current;
  return Solved;
}

template <int W> std::vector<TMove> TPackedSearchOf<W>::Path() const {
  std::vector<TMove> path;
  for (uint32_t board = found; board != Root && board != Null;) {
    const TSearchRecord& record = records[board];
    const uint32_t parent = record.parent & Tree::IndexMask;
    path.push_back(TMove{record.blank, records[parent].blank, static_cast<int8_t>(record.parent >> 30)});
    board = parent;
  }
  std::reverse(path.begin(), path.end());
  return path;
}
} // namespace

bool TPackedSearch::Packable(const TBoard& start, const int32_t* goal) {
  return start.count >= 2 && start.count <= MaxPackedCells && start.IsValid(start.cells) &&
         start.IsValid(goal);
}

std::unique_ptr<TPackedSearch> TPackedSearch::Create(const TBoard& start, const int32_t* goal,
                                                     int32_t maxDepth, int32_t memoryLimit) {
  if (!Packable(start, goal)) return nullptr;
  const TLayout layout(start.rows, start.cols);
  switch (layout.words) {
  case 1:
    return std::make_unique<TPackedSearchOf<1>>(layout, start, goal, maxDepth, memoryLimit);
  case 2:
    return std::make_unique<TPackedSearchOf<2>>(layout, start, goal, maxDepth, memoryLimit);
  case 3:
    return std::make_unique<TPackedSearchOf<3>>(layout, start, goal, maxDepth, memoryLimit);
  case 4:
    return std::make_unique<TPackedSearchOf<4>>(layout, start, goal, maxDepth, memoryLimit);
  default:
    return nullptr;
  }
}
