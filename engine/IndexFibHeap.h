#pragma once
// The solver's open list over board indices: the same Fibonacci heap as TFibHeap, step for step, so that
// equal keys come out in exactly the same order; only the storage differs. Entries live in the caller's
// records (one per board, index 0 meaning none) and are linked by 32-bit indices. The solver never changes a
// key and removes nothing but the minimum, so roots never have a parent, no entry is ever marked, and
// neither needs a field.
//
// Entry must have the fields: uint32_t child, left, right; an integer key; uint8_t degree.
#include <cstdint>

#include "engine/FibHeap.h"

template <class Entry> class TIndexFibHeap {
 public:
  static constexpr uint32_t Null = 0;

  explicit TIndexFibHeap(Entry* entries) : entries(entries) {}

  // Puts entry x, whose key the caller has set, into the heap.
  void Insert(uint32_t x) {
    Entry& e = entries[x];
    e.degree = 0;
    e.child = Null;
    e.left = e.right = x;
    InsertRootList(x);
    if (min == Null || e.key < entries[min].key) min = x;
    ++count;
  }

  // Removes an entry of smallest key and returns it; Null when the heap is empty.
  uint32_t ExtractMin() {
    if (min == Null) return Null;
    const uint32_t z = min;
    const uint32_t first = entries[z].child;
    // Children go right of the root entry one by one, which reverses them.
    for (uint32_t x = first, seen = Null; x != Null && x != seen;) {
      if (seen == Null) seen = x;
      const uint32_t next = entries[x].right;
      InsertRootList(x);
      x = next;
    }
    RemoveRootList(z);
    --count;
    if (count == 0)
      min = Null;
    else
      Consolidate();
    return z;
  }

  int32_t count = 0;
  int32_t degreeBound = -1;
  uint32_t min = Null;
  uint32_t rootEntry = Null;

 private:
  // Puts b immediately right of a.
  void InsertAfter(uint32_t a, uint32_t b) {
    Entry& ea = entries[a];
    Entry& eb = entries[b];
    if (ea.right == a) {
      ea.right = ea.left = b;
      eb.right = eb.left = a;
    } else {
      eb.right = ea.right;
      entries[ea.right].left = b;
      ea.right = b;
      eb.left = a;
    }
  }
  void InsertRootList(uint32_t x) {
    if (rootEntry == Null) {
      rootEntry = x;
      entries[x].left = entries[x].right = x;
    } else {
      InsertAfter(rootEntry, x);
    }
  }
  // Unlinks root x; its former left neighbour becomes the root entry.
  void RemoveRootList(uint32_t x) {
    Entry& e = entries[x];
    if (e.left == x) {
      rootEntry = Null;
      return;
    }
    rootEntry = e.left;
    entries[e.right].left = e.left;
    entries[e.left].right = e.right;
    e.left = e.right = x;
  }
  void Link(uint32_t y, uint32_t x) {
    Entry& ex = entries[x];
    if (ex.child == Null) {
      ex.child = y;
      entries[y].left = entries[y].right = y;
    } else
      InsertAfter(entries[ex.child].left, y);
    ++ex.degree;
  }
  void Consolidate() {
    // The same slot count as TFibHeap; it only bounds the scan, since every tree of degree d holds 2^d
    // entries.
    if (degreeBound == -1 || (uint64_t{1} << degreeBound) < static_cast<uint64_t>(count)) {
      const int32_t bound = CeilLog2(static_cast<uint32_t>(count)) + 1;
      degreeBound = bound < 8 ? 8 : bound;
    }
    const int32_t slots = degreeBound + 1;
    for (int32_t i = 0; i < slots; ++i) degreeArray[i] = Null;
    // Trees are taken from the root entry leftwards, as removing each in turn would; every one of them is
    // relinked below, so the list itself need not be kept up to date on the way.
    const uint32_t start = rootEntry;
    rootEntry = Null;
    for (uint32_t x = start, next;; x = next) {
      next = entries[x].left;
      int32_t d = entries[x].degree;
      while (uint32_t y = degreeArray[d]) {
        if (entries[x].key > entries[y].key) {
          const uint32_t swap = x;
          x = y;
          y = swap;
        }
        Link(y, x);
        degreeArray[d] = Null;
        ++d;
      }
      degreeArray[d] = x;
      if (next == start) break;
    }
    min = Null;
    for (int32_t i = 0; i < slots; ++i) {
      const uint32_t x = degreeArray[i];
      if (x == Null) continue;
      InsertRootList(x);
      if (min == Null || entries[x].key < entries[min].key) min = x;
    }
  }

  Entry* entries;
  // 2^32 entries would need 33 slots; the bound adds one and raises small heaps to 8.
  uint32_t degreeArray[40];
};
