#include <set>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/PackedTree.h"
#include "engine/Tree.h"

using namespace enginetest;

namespace {
// 3x3 cells at four bits each, first cell highest, the blank as 0; split over W words, five cells in the
// first, so that the order of the words is the order of the cells either way.
template <int W> void Pack(const TBoard& board, uint64_t* words) {
  for (int i = 0; i < W; ++i) words[i] = 0;
  for (int i = 0; i < board.count; ++i) {
    const uint64_t v = board.cells[i] == -1 ? 0 : static_cast<uint64_t>(board.cells[i]);
    const int word = W == 1 ? 0 : (i < 5 ? 0 : 1);
    const int place = W == 1 ? i : (i < 5 ? i : i - 5);
    words[word] |= v << (60 - 4 * place);
  }
}

template <int W> struct Packed {
  std::vector<TPackedNode<W>> nodes = std::vector<TPackedNode<W>>(2000);
  TPackedTree<W> tree{nodes.data()};
};

// The same nodes in the same places, with the same balances.
template <int W>
void ExpectSameShape(const CTTreeNode<TBoard>* node, const TPackedTree<W>& packed, uint32_t index) {
  if (!node) {
    EXPECT_EQ(index, TPackedTree<W>::Null);
    return;
  }
  ASSERT_NE(index, TPackedTree<W>::Null);
  uint64_t words[W];
  Pack<W>(*node->item, words);
  EXPECT_EQ(ComparePacked<W>(words, packed.nodes[index].cells), 0);
  EXPECT_EQ(node->balance, packed.Balance(index));
  ExpectSameShape(node->left, packed, packed.Left(index));
  ExpectSameShape(node->right, packed, packed.Right(index));
}

template <int W> void GrowSideBySide(unsigned seed) {
  SRand(seed);
  CMyTree reference(CompareBoards);
  Packed<W> packed;
  uint32_t next = 1;
  for (int i = 0; i < 1500; ++i) {
    auto board = std::make_unique<TBoard>(3, 3, nullptr);
    for (int s = Rand() % 60; s > 0; --s) {
      TMove move;
      board->MoveTile(static_cast<int8_t>(Rand() % 4), move);
    }
    Pack<W>(*board, packed.nodes[next].cells);
    const uint64_t(*cells)[W] = &packed.nodes[next].cells;
    bool known = true;
    packed.tree.FindEach(cells, 1, &known);
    const bool fresh = reference.Add(board.get());
    ASSERT_EQ(known, !fresh);
    if (fresh) {
      board.release();
      ASSERT_EQ(packed.tree.Probe(next), next);
      ++next;
    } else {
      // Found again, and nothing written on the way.
      const auto before = packed.nodes;
      const uint32_t stored = packed.tree.Probe(next);
      ASSERT_NE(stored, next);
      EXPECT_EQ(ComparePacked<W>(packed.nodes[stored].cells, packed.nodes[next].cells), 0);
      EXPECT_EQ(packed.tree.Find(packed.nodes[next].cells), stored);
      for (uint32_t n = 1; n < next; ++n) {
        ASSERT_EQ(packed.nodes[n].link[0], before[n].link[0]);
        ASSERT_EQ(packed.nodes[n].link[1], before[n].link[1]);
      }
    }
    ASSERT_EQ(packed.tree.count, reference.count);
    if (i % 100 == 0 || i == 1499) ExpectSameShape(reference.root, packed.tree, packed.tree.root);
  }
}
} // namespace

TEST(PackedTree, TakesTheShapeOfTheVisitedSetOfBoards) {
  for (unsigned seed : {1u, 2u, 3u}) GrowSideBySide<1>(seed);
  GrowSideBySide<2>(4);
}

TEST(PackedTree, FindsSeveralBoardsAtOnce) {
  Packed<1> packed;
  for (uint32_t i = 1; i <= 500; ++i) {
    packed.nodes[i].cells[0] = uint64_t{i} * 7919 % 1000; // distinct, in no order
    packed.tree.Probe(i);
  }
  uint64_t queries[4][1] = {{7919 % 1000}, {1000}, {0}, {uint64_t{250} * 7919 % 1000}};
  bool stored[4];
  packed.tree.FindEach(queries, 4, stored);
  EXPECT_TRUE(stored[0]);
  EXPECT_FALSE(stored[1]);
  EXPECT_FALSE(stored[2]);
  EXPECT_TRUE(stored[3]);

  Packed<1> empty;
  empty.tree.FindEach(queries, 2, stored);
  EXPECT_FALSE(stored[0]);
  EXPECT_FALSE(stored[1]);
}
