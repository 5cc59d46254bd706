#include "engine/FibHeap.h"

#include <cstdlib>
#include <new>

namespace {
void* Allocate(size_t size) {
  return TFibHeap::AllocateBlock ? TFibHeap::AllocateBlock(size) : std::malloc(size);
}
void* Resize(void* block, size_t size) {
  return TFibHeap::ResizeBlock ? TFibHeap::ResizeBlock(block, size) : std::realloc(block, size);
}
constexpr int32_t ChunkNodes = 1024;
} // namespace

struct TFibHeap::Chunk {
  Chunk* next;
  TFibHeapNode nodes[ChunkNodes];
};

TFibHeapNode* TFibHeap::NewNode() {
  if (spare) {
    TFibHeapNode* x = spare;
    spare = spare->right;
    return x;
  }
  if (!chunks || chunkUsed == ChunkNodes) {
    void* block = Allocate(sizeof(Chunk));
    if (!block) return nullptr;
    Chunk* chunk = static_cast<Chunk*>(block);
    chunk->next = chunks;
    chunks = chunk;
    chunkUsed = 0;
  }
  return &chunks->nodes[chunkUsed++];
}

int32_t CeilLog2(uint32_t n) {
  int32_t floorLog = 0;
  uint32_t rest = n;
  for (int shift = 16; shift > 0; shift /= 2) {
    if (rest >= (1u << shift)) {
      rest >>= shift;
      floorLog += shift;
    }
  }
  return (n == (1u << floorLog)) ? floorLog : floorLog + 1;
}

void TFibHeapNode::InsertAfter(TFibHeapNode* a, TFibHeapNode* b) {
  if (a->right == a) {
    a->right = a->left = b;
    b->right = b->left = a;
  } else {
    b->right = a->right;
    a->right->left = b;
    a->right = b;
    b->left = a;
  }
}

TFibHeapNode* TFibHeapNode::Remove(TFibHeapNode* x) {
  TFibHeapNode* result = x->left == x ? nullptr : x->left;
  if (x->parent && x->parent->child == x) x->parent->child = result;
  x->right->left = x->left;
  x->left->right = x->right;
  x->parent = nullptr;
  x->left = x->right = x;
  return result;
}

TFibHeap* TFibHeap::MakeKeyHeap() {
  void* block = Allocate(sizeof(TFibHeap));
  if (!block) return nullptr;
  TFibHeap* heap = new (block) TFibHeap;
  heap->count = 0;
  heap->degreeBound = -1;
  heap->degreeArray = nullptr;
  heap->min = nullptr;
  heap->rootEntry = nullptr;
  heap->chunks = nullptr;
  heap->chunkUsed = 0;
  heap->spare = nullptr;
  return heap;
}

void TFibHeap::InsertRootList(TFibHeapNode* x) {
  if (!rootEntry) {
    rootEntry = x;
    x->left = x->right = x;
  } else {
    TFibHeapNode::InsertAfter(rootEntry, x);
  }
}

void TFibHeap::RemoveRootList(TFibHeapNode* x) {
  if (x->left == x)
    rootEntry = nullptr;
  else
    rootEntry = TFibHeapNode::Remove(x);
}

TFibHeapNode* TFibHeap::InsertKey(int32_t key, void* data) {
  TFibHeapNode* x = NewNode();
  if (!x) return nullptr;
  *x = TFibHeapNode{0, 0, nullptr, nullptr, nullptr, nullptr, key, data};
  x->left = x->right = x;
  InsertNode(x);
  return x;
}

void TFibHeap::InsertNode(TFibHeapNode* x) {
  InsertRootList(x);
  if (!min || x->key < min->key) min = x;
  ++count;
}

void* TFibHeap::ExtractMin() {
  if (!min) return nullptr;
  // Make sure consolidation will have its slots before anything changes.
  if (count - 1 > 0 && !CheckDegreeArray(count - 1)) return nullptr;
  TFibHeapNode* z = ExtractMinNode();
  void* data = z->data;
  FreeNode(z);
  return data;
}

TFibHeapNode* TFibHeap::ExtractMinNode() {
  TFibHeapNode* z = min;
  TFibHeapNode* first = nullptr;
  for (TFibHeapNode* x = z->child; x && x != first;) {
    if (!first) first = x;
    TFibHeapNode* next = x->right;
    x->parent = nullptr;
    InsertRootList(x);
    x = next;
  }
  RemoveRootList(z);
  --count;
  if (count == 0)
    min = nullptr;
  else
    Consolidate();
  return z;
}

bool TFibHeap::CheckDegreeArray(int32_t entries) {
  if (degreeBound != -1 && (uint64_t{1} << degreeBound) >= static_cast<uint64_t>(entries)) return true;
  const int32_t oldBound = degreeBound;
  int32_t bound = CeilLog2(static_cast<uint32_t>(entries)) + 1;
  if (bound < 8) bound = 8;
  if (bound != oldBound) {
    void* array = Resize(degreeArray, sizeof(TFibHeapNode*) * static_cast<size_t>(bound + 1));
    // Growing failed: keep the old array and bound, so the heap stays usable and releasable.
    if (!array) return false;
    degreeArray = static_cast<TFibHeapNode**>(array);
  }
  degreeBound = bound;
  return true;
}

void TFibHeap::Consolidate() {
  CheckDegreeArray(count);
  const int32_t slots = degreeBound + 1;
  for (int32_t i = 0; i < slots; ++i) degreeArray[i] = nullptr;
  while (rootEntry) {
    TFibHeapNode* x = rootEntry;
    RemoveRootList(x);
    int32_t d = x->degree;
    while (TFibHeapNode* y = degreeArray[d]) {
      if (Compare(x, y) > 0) {
        TFibHeapNode* swap = x;
        x = y;
        y = swap;
      }
      Link(y, x);
      degreeArray[d] = nullptr;
      ++d;
    }
    degreeArray[d] = x;
  }
  min = nullptr;
  for (int32_t i = 0; i < slots; ++i) {
    if (!degreeArray[i]) continue;
    InsertRootList(degreeArray[i]);
    if (!min || Compare(degreeArray[i], min) < 0) min = degreeArray[i];
  }
}

void TFibHeap::Link(TFibHeapNode* y, TFibHeapNode* x) {
  if (!x->child)
    x->child = y;
  else
    TFibHeapNode::InsertBefore(x->child, y);
  y->parent = x;
  ++x->degree;
  y->mark = 0;
}

void TFibHeap::DeleteHeap() {
  // Every entry lives in a chunk, so releasing the chunks releases them all.
  while (chunks) {
    Chunk* next = chunks->next;
    std::free(chunks);
    chunks = next;
  }
  std::free(degreeArray);
  std::free(this);
}
