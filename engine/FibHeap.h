#pragma once
// The solver's open list: a Fibonacci min-heap of (key, data) entries. Which of several equal keys comes out
// first follows from the exact order of the root and child lists, which the solver's results depend on, so
// every list operation below keeps that order. The heap never looks at the data.
#include <cstddef>
#include <cstdint>

struct TFibHeapNode {
  int32_t degree;
  int32_t mark;
  TFibHeapNode* parent;
  TFibHeapNode* child;
  TFibHeapNode* left;
  TFibHeapNode* right;
  int32_t key;
  void* data;

  // Puts b immediately right of a.
  static void InsertAfter(TFibHeapNode* a, TFibHeapNode* b);
  // Puts b immediately left of a.
  static void InsertBefore(TFibHeapNode* a, TFibHeapNode* b) { InsertAfter(a->left, b); }
  // Unlinks x; returns its former left neighbour, or null when it was alone.
  static TFibHeapNode* Remove(TFibHeapNode* x);
};

class TFibHeap {
 public:
  // A new empty heap, or null when memory is exhausted.
  static TFibHeap* MakeKeyHeap();
  // The new entry, or null (heap unchanged) when it cannot be allocated.
  TFibHeapNode* InsertKey(int32_t key, void* data);
  // Removes an entry of smallest key and returns its data; null when the heap is empty, or when consolidation
  // cannot get the memory it needs, in which case the heap is left unchanged.
  void* ExtractMin();
  // Releases every entry (not their data) and the heap itself.
  void DeleteHeap();

  int32_t count;
  int32_t degreeBound; // -1 until the first consolidation; the degree array has degreeBound + 1 slots
  TFibHeapNode** degreeArray;
  TFibHeapNode* min;
  TFibHeapNode* rootEntry;

  // Where the heap gets its memory; tests replace them to provoke allocation failures.
  static inline void* (*AllocateBlock)(size_t size) = nullptr;
  static inline void* (*ResizeBlock)(void* block, size_t size) = nullptr;

 private:
  TFibHeap() = default;

  // Entries come from fixed chunks owned by the heap; extracted entries are reused through `spare`, linked by
  // their right pointers.
  struct Chunk;
  TFibHeapNode* NewNode();
  void FreeNode(TFibHeapNode* x) {
    x->right = spare;
    spare = x;
  }
  Chunk* chunks;
  int32_t chunkUsed;
  TFibHeapNode* spare;

  static int Compare(const TFibHeapNode* a, const TFibHeapNode* b) {
    return a->key < b->key ? -1 : (a->key == b->key ? 0 : 1);
  }
  void InsertRootList(TFibHeapNode* x);
  void RemoveRootList(TFibHeapNode* x);
  void InsertNode(TFibHeapNode* x);
  TFibHeapNode* ExtractMinNode();
  void Consolidate();
  void Link(TFibHeapNode* y, TFibHeapNode* x);
  bool CheckDegreeArray(int32_t entries);
};

// The smallest i with 2^i >= n, for n >= 1.
int32_t CeilLog2(uint32_t n);
