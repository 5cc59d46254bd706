#include "engine/Tree.h"

#include <cstring>

int32_t CompareBoards(const TBoard* a, const TBoard* b) {
  const int32_t* x = a->cells;
  const int32_t* y = b->cells;
  const int32_t count = a->count;
  // Boards met in one search share long prefixes: skip equal pairs of cells eight bytes at a time.
  int32_t i = 0;
  for (; i + 2 <= count; i += 2) {
    uint64_t p, q;
    std::memcpy(&p, x + i, sizeof p);
    std::memcpy(&q, y + i, sizeof q);
    if (p != q) break;
  }
  for (; i < count; ++i)
    if (x[i] != y[i]) return x[i] > y[i] ? 1 : -1;
  return 0;
}

CMyTree::~CMyTree() = default;
