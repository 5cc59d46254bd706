#include "engine/Tree.h"

int32_t CompareBoards(const TBoard* a, const TBoard* b) {
  for (int32_t i = 0; i < a->count; ++i) {
    if (a->cells[i] != b->cells[i]) return a->cells[i] > b->cells[i] ? 1 : -1;
  }
  return 0;
}

CMyTree::~CMyTree() = default;
