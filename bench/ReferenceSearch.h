#pragma once
// A plain optimal solver of the 4x4 board to measure ours against: IDA* over three additive five-tile pattern
// databases with the reflected lookup, each table a byte of full distance per placement, the group's index
// computed afresh after each move. Benchmarks only.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/PatternDatabase.h"

// The three tables and the reflection, shared by every solver.
struct TReferenceTables {
  TReferenceTables() {
    TPatternLayout layout;
    layout.rows = layout.cols = 4;
    layout.groups = {{1, 5, 6, 9, 13}, {2, 3, 4, 7, 8}, {10, 11, 12, 14, 15}};
    struct : TPatternDatabase::TBuildControl {
      bool Progress(double) override { return true; }
    } control;
    const auto database = TPatternDatabase::Build(layout, control);
    for (size_t g = 0; g < 3; ++g) {
      const auto& tiles = layout.groups[g];
      for (size_t i = 0; i < 5; ++i) {
        groupTiles[g][i] = tiles[i];
        groupOf[tiles[i]] = static_cast<uint8_t>(g);
      }
      // Full distances: the group's Manhattan distance plus the stored excess, enumerated in index order.
      tables[g].resize(layout.Entries(g));
      uint8_t cells[5];
      uint32_t rank = 0;
      Enumerate(0, 0, cells, [&] {
        int distance = 0;
        for (size_t i = 0; i < 5; ++i) distance += Manhattan(tiles[i], cells[i]);
        tables[g][rank] = static_cast<uint8_t>(distance + 2 * database->Entry(g, rank));
        ++rank;
      });
    }
    for (int c = 0; c < 16; ++c) mirrorCell[c] = static_cast<uint8_t>((c % 4) * 4 + c / 4);
    for (int t = 1; t < 16; ++t) mirrorTile[t] = static_cast<uint8_t>(mirrorCell[t - 1] + 1);
  }

  static int Manhattan(int tile, int cell) {
    return std::abs((tile - 1) / 4 - cell / 4) + std::abs((tile - 1) % 4 - cell % 4);
  }

  template <class Visit> static void Enumerate(int depth, uint32_t used, uint8_t* cells, Visit&& visit) {
    if (depth == 5) {
      visit();
      return;
    }
    for (int c = 0; c < 16; ++c)
      if (!(used & (1u << c))) {
        cells[depth] = static_cast<uint8_t>(c);
        Enumerate(depth + 1, used | 1u << c, cells, visit);
      }
  }

  std::vector<uint8_t> tables[3];
  uint8_t groupTiles[3][5] = {};
  uint8_t groupOf[16] = {};
  uint8_t mirrorCell[16] = {}, mirrorTile[16] = {};
};

// One solver, for one thread at a time.
class TReferenceSearch {
 public:
  explicit TReferenceSearch(const TReferenceTables& shared) : shared(shared) {}

  // The length of a shortest solution of `cells` (-1 for the blank); `nodes` counts the boards looked up.
  int Solve(const int32_t* cells, int64_t& nodes) {
    for (int c = 0; c < 16; ++c) {
      board[c] = static_cast<uint8_t>(cells[c] == -1 ? 0 : cells[c]);
      pos[board[c]] = static_cast<uint8_t>(c);
    }
    for (int t = 1; t < 16; ++t) mirrorPos[t] = mirrorCell[pos[mirrorTile[t]]];
    for (int g = 0; g < 3; ++g) {
      value[g] = Lookup(g, pos);
      mirrorValue[g] = Lookup(g, mirrorPos);
    }
    generated = 0;
    for (bound = Estimate();; bound += 2)
      if (Search(0, -1)) break;
    nodes = generated;
    return length;
  }

 private:
  int Lookup(int g, const uint8_t* where) const {
    uint32_t rank = 0;
    for (int i = 0; i < 5; ++i) {
      const uint8_t cell = where[groupTiles[g][i]];
      int digit = cell;
      for (int j = 0; j < i; ++j) digit -= where[groupTiles[g][j]] < cell;
      rank = rank * static_cast<uint32_t>(16 - i) + static_cast<uint32_t>(digit);
    }
    return tables[g][rank];
  }

  int Estimate() const {
    return std::max(value[0] + value[1] + value[2], mirrorValue[0] + mirrorValue[1] + mirrorValue[2]);
  }

  bool Search(int depth, int previous) {
    const int h = Estimate();
    if (h == 0) {
      length = depth;
      return true;
    }
    if (depth + h > bound) return false;
    const int blank = pos[0];
    const int row = blank / 4, col = blank % 4;
    int neighbours[4], n = 0;
    if (row < 3) neighbours[n++] = blank + 4;
    if (col < 3) neighbours[n++] = blank + 1;
    if (row > 0) neighbours[n++] = blank - 4;
    if (col > 0) neighbours[n++] = blank - 1;
    for (int k = 0; k < n; ++k) {
      const int cell = neighbours[k];
      if (cell == previous) continue;
      ++generated;
      const int tile = board[cell];
      const int g = groupOf[tile], mirrored = mirrorTile[tile], mg = groupOf[mirrored];
      const int oldValue = value[g], oldMirror = mirrorValue[mg];
      board[blank] = static_cast<uint8_t>(tile);
      board[cell] = 0;
      pos[tile] = static_cast<uint8_t>(blank);
      pos[0] = static_cast<uint8_t>(cell);
      mirrorPos[mirrored] = mirrorCell[blank];
      value[g] = Lookup(g, pos);
      mirrorValue[mg] = Lookup(mg, mirrorPos);
      if (Search(depth + 1, blank)) return true;
      board[cell] = static_cast<uint8_t>(tile);
      board[blank] = 0;
      pos[tile] = static_cast<uint8_t>(cell);
      pos[0] = static_cast<uint8_t>(blank);
      mirrorPos[mirrored] = mirrorCell[cell];
      value[g] = oldValue;
      mirrorValue[mg] = oldMirror;
    }
    return false;
  }

  const TReferenceTables& shared;
  const std::vector<uint8_t>* tables = shared.tables;
  const uint8_t (*groupTiles)[5] = shared.groupTiles;
  const uint8_t* groupOf = shared.groupOf;
  const uint8_t* mirrorCell = shared.mirrorCell;
  const uint8_t* mirrorTile = shared.mirrorTile;
  uint8_t board[16] = {}, pos[16] = {}, mirrorPos[16] = {};
  int value[3] = {}, mirrorValue[3] = {};
  int bound = 0, length = 0;
  int64_t generated = 0;
};
