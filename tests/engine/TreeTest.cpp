#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <set>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/Tree.h"

using namespace enginetest;

namespace {
using Node = CTTreeNode<TBoard>;

// Height of the subtree; fails the test when a balance is out of range or disagrees with the heights.
int CheckedHeight(const Node* node) {
  if (!node) return 0;
  const int left = CheckedHeight(node->left);
  const int right = CheckedHeight(node->right);
  EXPECT_EQ(node->balance, right - left);
  EXPECT_GE(node->balance, -1);
  EXPECT_LE(node->balance, 1);
  return 1 + std::max(left, right);
}

void InOrder(const Node* node, std::vector<const TBoard*>& out) {
  if (!node) return;
  InOrder(node->left, out);
  out.push_back(node->item);
  InOrder(node->right, out);
}

void CheckTree(const CMyTree& tree) {
  CheckedHeight(tree.root);
  std::vector<const TBoard*> items;
  InOrder(tree.root, items);
  EXPECT_EQ(static_cast<int>(items.size()), tree.count);
  for (size_t i = 1; i < items.size(); ++i) EXPECT_LT(CompareBoards(items[i - 1], items[i]), 0);
}

// The 2x2 positions in ascending comparator order, from the permutations of -1 1 2 3.
std::vector<std::vector<int32_t>> Ascending2x2() {
  std::vector<int32_t> cells{-1, 1, 2, 3};
  std::vector<std::vector<int32_t>> all;
  do all.push_back(cells);
  while (std::next_permutation(cells.begin(), cells.end()));
  return all;
}

std::vector<const TBoard*> released;
void Record(TBoard* board) {
  released.push_back(board);
  delete board;
}
} // namespace

TEST(Tree, CompareBoardsOrdersByTheFirstDifferingCell) {
  auto a = MakeBoard(2, 2, {1, 2, 3, -1});
  auto b = MakeBoard(2, 2, {1, 2, -1, 3});
  auto c = MakeBoard(3, 1, {2, 3, -1});
  auto d = MakeBoard(3, 1, {2, 3, 1});
  EXPECT_EQ(CompareBoards(a.get(), b.get()), 1);
  EXPECT_EQ(CompareBoards(b.get(), a.get()), -1);
  EXPECT_EQ(CompareBoards(c.get(), d.get()), -1);
  EXPECT_EQ(CompareBoards(a.get(), a.get()), 0);
}

TEST(Tree, AddFindAndDuplicates) {
  CMyTree tree(CompareBoards);
  TBoard* first = new TBoard(2, 2, nullptr);
  EXPECT_TRUE(tree.Add(first));
  EXPECT_EQ(tree.count, 1);
  ASSERT_NE(tree.root, nullptr);
  EXPECT_EQ(tree.root->item, first);
  EXPECT_EQ(tree.root->balance, 0);

  auto twin = std::make_unique<TBoard>(2, 2, nullptr);
  EXPECT_FALSE(tree.Add(twin.get()));
  EXPECT_EQ(tree.count, 1);
  EXPECT_EQ(tree.Find(twin.get()), first);
  EXPECT_EQ(tree.Insert(twin.get()), nullptr);
  EXPECT_EQ(tree.Probe(twin.get()), first);
  // The same pointer again is found equal and counts as present.
  EXPECT_TRUE(tree.Add(first));
  EXPECT_EQ(tree.count, 1);

  auto other = MakeBoard(2, 2, {1, 2, -1, 3});
  EXPECT_EQ(tree.Find(other.get()), nullptr);
  TBoard* stored = other.release();
  EXPECT_EQ(tree.Probe(stored), stored);
  EXPECT_EQ(tree.count, 2);
}

TEST(Tree, AscendingInsertionRotatesSingly) {
  CMyTree tree(CompareBoards);
  const auto all = Ascending2x2();
  ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[0].data())));
  ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[1].data())));
  ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[2].data())));
  // Three ascending boards: one left rotation puts the middle one on top.
  EXPECT_TRUE(tree.root->item->IsEqual(all[1].data()));
  EXPECT_TRUE(tree.root->left->item->IsEqual(all[0].data()));
  EXPECT_TRUE(tree.root->right->item->IsEqual(all[2].data()));
  for (size_t i = 3; i < all.size(); ++i) {
    ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[i].data())));
    CheckTree(tree);
  }
  EXPECT_EQ(tree.count, 24);
}

TEST(Tree, ZigZagInsertionRotatesDoubly) {
  const auto all = Ascending2x2();
  {
    CMyTree tree(CompareBoards);
    for (int i : {0, 2, 1}) ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[i].data())));
    EXPECT_TRUE(tree.root->item->IsEqual(all[1].data()));
    CheckTree(tree);
  }
  {
    CMyTree tree(CompareBoards);
    for (int i : {2, 0, 1}) ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[i].data())));
    EXPECT_TRUE(tree.root->item->IsEqual(all[1].data()));
    CheckTree(tree);
  }
  CMyTree tree(CompareBoards);
  // Alternating from both ends inwards keeps forcing double rotations.
  for (int lo = 0, hi = 23; lo <= hi; ++lo, --hi) {
    ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[lo].data())));
    if (lo != hi) {
      ASSERT_TRUE(tree.Add(new TBoard(2, 2, all[hi].data())));
    }
    CheckTree(tree);
  }
}

TEST(Tree, BalanceHoldsForRandomInsertions) {
  SRand(4711);
  for (int run = 0; run < 20; ++run) {
    CMyTree tree(CompareBoards);
    std::set<std::vector<int32_t>> seen;
    for (int i = 0; i < 400; ++i) {
      TBoard* board = new TBoard(3, 3, nullptr);
      const int steps = Rand() % 40;
      for (int s = 0; s < steps; ++s) {
        TMove move;
        board->MoveTile(static_cast<int8_t>(Rand() % 4), move);
      }
      const bool fresh = seen.insert(CellsOf(*board)).second;
      ASSERT_EQ(tree.Add(board), fresh);
      if (!fresh) delete board;
    }
    EXPECT_EQ(tree.count, static_cast<int>(seen.size()));
    CheckTree(tree);
  }
}

TEST(Tree, DestroyReleasesChildrenBeforeParents) {
  const auto all = Ascending2x2();
  CMyTree tree(CompareBoards);
  for (const auto& cells : all) tree.Add(new TBoard(2, 2, cells.data()));
  std::vector<const TBoard*> order;
  std::function<void(const Node*)> postOrder = [&](const Node* node) {
    if (!node) return;
    postOrder(node->left);
    postOrder(node->right);
    order.push_back(node->item);
  };
  postOrder(tree.root);

  released.clear();
  tree.Destroy(Record);
  EXPECT_EQ(released, order);
  EXPECT_EQ(tree.root, nullptr);
  EXPECT_EQ(tree.count, 0);
}

TEST(Tree, DestroyingASubtreeDetachesIt) {
  const auto all = Ascending2x2();
  CMyTree tree(CompareBoards);
  for (const auto& cells : all) tree.Add(new TBoard(2, 2, cells.data()));
  std::vector<const TBoard*> left;
  InOrder(tree.root->left, left);
  released.clear();
  tree.Destroy(Record, tree.root->left);
  EXPECT_EQ(released.size(), left.size());
  EXPECT_EQ(tree.root->left, nullptr);
  EXPECT_EQ(tree.count, 24 - static_cast<int>(left.size()));
  // The destructor releases the rest, and nothing twice (the sanitizer build checks).
}
