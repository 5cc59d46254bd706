#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/core/Random.h"
#include "engine/FibHeap.h"

namespace {
void* Id(intptr_t n) {
  return reinterpret_cast<void*>(n);
}

struct HeapGuard {
  TFibHeap* heap = TFibHeap::MakeKeyHeap();
  ~HeapGuard() { heap->DeleteHeap(); }
  TFibHeap* operator->() const { return heap; }
};

// Inserts entries 1..n with the given keys and returns the order they come out in.
std::vector<intptr_t> Drain(TFibHeap* heap) {
  std::vector<intptr_t> order;
  while (void* data = heap->ExtractMin()) order.push_back(reinterpret_cast<intptr_t>(data));
  return order;
}

std::vector<intptr_t> Order(std::vector<int32_t> keys) {
  HeapGuard heap;
  for (size_t i = 0; i < keys.size(); ++i) heap->InsertKey(keys[i], Id(static_cast<intptr_t>(i + 1)));
  return Drain(heap.heap);
}

std::atomic<int> allocationsLeft{-1};
void* Limited(size_t size) {
  return allocationsLeft.fetch_sub(1) <= 0 ? nullptr : std::malloc(size);
}
void* NoGrowth(void* block, size_t size) {
  return block ? nullptr : std::malloc(size);
}
} // namespace

TEST(FibHeap, EmptyHeap) {
  HeapGuard heap;
  EXPECT_EQ(heap->count, 0);
  EXPECT_EQ(heap->degreeBound, -1);
  EXPECT_EQ(heap->degreeArray, nullptr);
  EXPECT_EQ(heap->ExtractMin(), nullptr);
}

TEST(FibHeap, EqualKeysComeOutInTheOrderTheListsFix) {
  EXPECT_EQ(Order({3, 1, 2, 1, 3}), (std::vector<intptr_t>{2, 4, 3, 1, 5}));
  EXPECT_EQ(Order({2, 1, 1, 2, 2, 1}), (std::vector<intptr_t>{2, 6, 3, 4, 1, 5}));
  EXPECT_EQ(Order({7, 7, 7, 7, 7}), (std::vector<intptr_t>{1, 5, 4, 3, 2}));
  EXPECT_EQ(Order(std::vector<int32_t>(10, 0)), (std::vector<intptr_t>{1, 10, 9, 8, 7, 6, 5, 4, 3, 2}));

  HeapGuard heap;
  for (intptr_t i = 1; i <= 3; ++i) heap->InsertKey(5, Id(i));
  EXPECT_EQ(heap->ExtractMin(), Id(1));
  heap->InsertKey(5, Id(4));
  heap->InsertKey(5, Id(5));
  EXPECT_EQ(Drain(heap.heap), (std::vector<intptr_t>{3, 2, 5, 4}));
}

TEST(FibHeap, NegativeKeysCompareSigned) {
  EXPECT_EQ(Order({0, -5, 3, -1}), (std::vector<intptr_t>{2, 4, 1, 3}));
}

TEST(FibHeap, DegreeArrayGrowsWithTheCountItSees) {
  {
    HeapGuard heap;
    for (intptr_t i = 1; i <= 10; ++i) heap->InsertKey(1, Id(i));
    heap->ExtractMin();
    EXPECT_EQ(heap->degreeBound, 8); // 9 slots
    for (intptr_t i = 11; i <= 258; ++i) heap->InsertKey(1, Id(i));
    heap->ExtractMin(); // sees 256
    EXPECT_EQ(heap->degreeBound, 8);
    heap->InsertKey(1, Id(300));
    heap->InsertKey(1, Id(301));
    heap->ExtractMin();               // sees 257
    EXPECT_EQ(heap->degreeBound, 10); // 11 slots
    while (heap->count < 1026) heap->InsertKey(1, Id(1));
    heap->ExtractMin();               // sees 1025
    EXPECT_EQ(heap->degreeBound, 12); // 13 slots
  }
  HeapGuard heap;
  for (intptr_t i = 1; i <= 601; ++i) heap->InsertKey(1, Id(i));
  heap->ExtractMin();
  EXPECT_EQ(heap->degreeBound, 11); // 12 slots
}

TEST(FibHeap, CeilLog2) {
  const std::map<uint32_t, int32_t> expected{{1, 0},    {2, 1},      {3, 2},      {4, 2},
                                             {5, 3},    {255, 8},    {256, 8},    {257, 9},
                                             {600, 10}, {65536, 16}, {65537, 17}, {0xFFFFFFFFu, 32}};
  for (const auto& [n, log] : expected) EXPECT_EQ(CeilLog2(n), log) << n;
}

TEST(FibHeap, AlwaysYieldsAMinimumKey) {
  SRand(31337);
  for (int run = 0; run < 30; ++run) {
    HeapGuard heap;
    std::multimap<int32_t, intptr_t> model;
    intptr_t next = 1;
    for (int step = 0; step < 3000; ++step) {
      if (Rand() % 3 != 0 || model.empty()) {
        const int32_t key = Rand() % 50 - 10;
        heap->InsertKey(key, Id(next));
        model.emplace(key, next++);
      } else {
        const intptr_t id = reinterpret_cast<intptr_t>(heap->ExtractMin());
        const int32_t least = model.begin()->first;
        auto [lo, hi] = model.equal_range(least);
        auto it = std::find_if(lo, hi, [&](const auto& entry) { return entry.second == id; });
        ASSERT_NE(it, hi) << "extracted entry " << id << " does not have the least key " << least;
        model.erase(it);
      }
      ASSERT_EQ(heap->count, static_cast<int32_t>(model.size()));
    }
  }
}

TEST(FibHeap, AllocationFailuresLeaveTheHeapUsable) {
  TFibHeap::AllocateBlock = Limited;
  allocationsLeft = 0;
  EXPECT_EQ(TFibHeap::MakeKeyHeap(), nullptr);
  allocationsLeft = 1;
  TFibHeap* heap = TFibHeap::MakeKeyHeap();
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(heap->InsertKey(1, Id(1)), nullptr);
  EXPECT_EQ(heap->count, 0);
  EXPECT_EQ(heap->ExtractMin(), nullptr);

  // One more block of entries: fill it until an insertion fails.
  allocationsLeft = 1;
  intptr_t inserted = 0;
  while (heap->InsertKey(static_cast<int32_t>(inserted % 7), Id(inserted + 1))) ++inserted;
  EXPECT_GT(inserted, 0);
  EXPECT_EQ(heap->count, inserted);
  // An extracted entry's room serves the next insertion without new memory.
  EXPECT_NE(heap->ExtractMin(), nullptr);
  EXPECT_NE(heap->InsertKey(-1, Id(-1)), nullptr);
  EXPECT_EQ(heap->InsertKey(-2, Id(-2)), nullptr);
  EXPECT_EQ(heap->ExtractMin(), Id(-1));
  TFibHeap::AllocateBlock = nullptr;
  int32_t last = -100;
  intptr_t drained = 0;
  for (;;) {
    TFibHeapNode* least = heap->min;
    if (!least) break;
    EXPECT_GE(least->key, last);
    last = least->key;
    heap->ExtractMin();
    ++drained;
  }
  EXPECT_EQ(drained, inserted - 1);
  heap->DeleteHeap();
}

TEST(FibHeap, ADegreeArrayThatCannotGrowStopsExtractionWithoutLoss) {
  TFibHeap::ResizeBlock = [](void*, size_t) -> void* { return nullptr; };
  TFibHeap* heap = TFibHeap::MakeKeyHeap();
  for (intptr_t i = 1; i <= 5; ++i) heap->InsertKey(static_cast<int32_t>(i), Id(i));
  EXPECT_EQ(heap->ExtractMin(), nullptr);
  EXPECT_EQ(heap->count, 5);
  heap->DeleteHeap(); // still releases all five entries

  TFibHeap::ResizeBlock = NoGrowth;
  heap = TFibHeap::MakeKeyHeap();
  for (intptr_t i = 1; i <= 200; ++i) heap->InsertKey(static_cast<int32_t>(i), Id(i));
  EXPECT_EQ(heap->ExtractMin(), Id(1)); // the first array is an allocation, not growth
  for (intptr_t i = 201; i <= 600; ++i) heap->InsertKey(static_cast<int32_t>(i), Id(i));
  EXPECT_EQ(heap->ExtractMin(), nullptr); // 598 entries need more than 2^9 slots' worth
  EXPECT_EQ(heap->count, 599);
  TFibHeap::ResizeBlock = nullptr;
  EXPECT_EQ(heap->ExtractMin(), Id(2));
  EXPECT_EQ(heap->count, 598);
  heap->DeleteHeap();
}
