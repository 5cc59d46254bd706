#include <vector>

#include <gtest/gtest.h>

#include "classlib/core/Random.h"
#include "engine/FibHeap.h"
#include "engine/IndexFibHeap.h"

namespace {
struct Entry {
  uint32_t child, left, right;
  int16_t key;
  uint8_t degree;
};

// Random insertions and extractions with few distinct keys, so that ties decide most extractions: the
// index heap must hand out exactly the entries TFibHeap hands out.
void Compare(unsigned seed, int steps, int keys, int insertShare) {
  SRand(seed);
  TFibHeap* reference = TFibHeap::MakeKeyHeap();
  std::vector<Entry> entries(static_cast<size_t>(steps) + 1);
  TIndexFibHeap<Entry> heap(entries.data());
  uint32_t next = 1;
  for (int step = 0; step < steps; ++step) {
    if (Rand() % 100 < insertShare) {
      const auto key = static_cast<int16_t>(Rand() % keys);
      entries[next].key = key;
      heap.Insert(next);
      reference->InsertKey(key, reinterpret_cast<void*>(static_cast<uintptr_t>(next)));
      ++next;
    } else {
      const auto expected = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(reference->ExtractMin()));
      ASSERT_EQ(heap.ExtractMin(), expected) << "seed " << seed << " step " << step;
    }
    ASSERT_EQ(heap.count, reference->count);
  }
  while (reference->count > 0)
    ASSERT_EQ(heap.ExtractMin(), static_cast<uint32_t>(reinterpret_cast<uintptr_t>(reference->ExtractMin())));
  EXPECT_EQ(heap.ExtractMin(), 0u);
  reference->DeleteHeap();
}
} // namespace

TEST(IndexFibHeap, HandsOutEntriesInTheOrderOfTheOpenList) {
  for (unsigned seed = 1; seed <= 6; ++seed) Compare(seed, 20000, 1 + static_cast<int>(seed) * 3, 60);
  // Growing fast, as in the solver: three insertions for each extraction.
  Compare(7, 60000, 40, 75);
  // Every key equal.
  Compare(8, 5000, 1, 55);
}

TEST(IndexFibHeap, EqualKeysComeOutAsTheListsOrderThem) {
  std::vector<Entry> entries(11);
  TIndexFibHeap<Entry> heap(entries.data());
  EXPECT_EQ(heap.ExtractMin(), 0u);
  for (uint32_t i = 1; i <= 10; ++i) {
    entries[i].key = 0;
    heap.Insert(i);
  }
  std::vector<uint32_t> order;
  while (uint32_t x = heap.ExtractMin()) order.push_back(x);
  EXPECT_EQ(order, (std::vector<uint32_t>{1, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
}
