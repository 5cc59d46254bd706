#pragma once
// The solver's visited set: a height-balanced (AVL) search tree of item pointers under a comparator. It owns
// its items and deletes them when it is destroyed. Insertion keeps the rebalancing exactly as the solver has
// always done it, since the shape decides nothing but the speed.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Board.h"

template <class T> struct CTTreeNode {
  CTTreeNode* left;
  CTTreeNode* right;
  int8_t balance; // height of the right subtree minus that of the left: -1, 0 or +1
  int8_t cache;   // the side the latest descent took here: 0 left, 1 right
  T* item;
};

template <class T> class CTTree {
 public:
  using Node = CTTreeNode<T>;
  using Comparator = int32_t (*)(const T* a, const T* b);
  using Release = void (*)(T* item);

  explicit CTTree(Comparator comparator) : root(nullptr), comparator(comparator), count(0) {}
  CTTree(const CTTree&) = delete;
  CTTree& operator=(const CTTree&) = delete;
  virtual ~CTTree() { Destroy(); }

  // True when inserted; false when an equal item is stored (the caller keeps its item).
  bool Add(T* item) { return Insert(item) != nullptr; }
  // The item when inserted, null when an equal one is stored.
  T* Insert(T* item) { return Probe(item) == item ? item : nullptr; }
  // The stored item equal to `item`, inserting `item` first when there is none.
  T* Probe(T* item);
  // The stored item equal to `item`, or null.
  T* Find(const T* item) const;
  // Releases the subtree at `start` (the whole tree when null), children before parents, handing each item to
  // `release` or deleting it. The subtree leaves the tree, so nothing is released twice.
  void Destroy(Release release = nullptr, Node* start = nullptr);

  Node* root;
  Comparator comparator;
  int32_t count;

 private:
  // Nodes come from chunks that live as long as the tree; released nodes are reused through `spare`, linked
  // by their left pointers.
  static constexpr size_t ChunkNodes = 1024;
  Node* NewNode(T* item);
  void FreeNode(Node* node) {
    node->left = spare;
    spare = node;
  }
  void Unlink(Node* start);

  std::vector<std::unique_ptr<Node[]>> chunks;
  size_t chunkUsed = ChunkNodes;
  Node* spare = nullptr;
};

template <class T> CTTreeNode<T>* CTTree<T>::NewNode(T* item) {
  Node* node;
  if (spare) {
    node = spare;
    spare = spare->left;
  } else {
    if (chunkUsed == ChunkNodes) {
      chunks.push_back(std::make_unique_for_overwrite<Node[]>(ChunkNodes));
      chunkUsed = 0;
    }
    node = &chunks.back()[chunkUsed++];
  }
  *node = Node{nullptr, nullptr, 0, 0, item};
  return node;
}

template <class T> T* CTTree<T>::Find(const T* item) const {
  for (Node* p = root; p;) {
    const int32_t c = comparator(item, p->item);
    if (c == 0) return p->item;
    p = c < 0 ? p->left : p->right;
  }
  return nullptr;
}

template <class T> T* CTTree<T>::Probe(T* item) {
  if (!root) {
    root = NewNode(item);
    ++count;
    return item;
  }
  Node* z = nullptr; // null stands for the pseudo-node whose left link is `root`
  Node* y = root;
  Node* p = root;
  Node* q;
  for (;;) {
    const int32_t c = comparator(item, p->item);
    if (c == 0) return p->item;
    if (c < 0) {
      p->cache = 0;
      q = p->left;
      if (!q) {
        q = p->left = NewNode(item);
        break;
      }
    } else {
      p->cache = 1;
      q = p->right;
      if (!q) {
        q = p->right = NewNode(item);
        break;
      }
    }
    if (q->balance != 0) {
      z = p;
      y = q;
    }
    p = q;
  }
  ++count;

  Node* s = y->cache == 0 ? y->left : y->right;
  for (p = s; p != q; p = p->cache == 0 ? p->left : p->right) p->balance = p->cache == 0 ? -1 : +1;

  Node* r;
  if (y->cache == 0) {
    if (y->balance == 0) {
      y->balance = -1;
      return item;
    }
    if (y->balance == +1) {
      y->balance = 0;
      return item;
    }
    if (s->balance == -1) {
      r = s;
      y->left = s->right;
      s->right = y;
      s->balance = y->balance = 0;
    } else {
      r = s->right;
      s->right = r->left;
      r->left = s;
      y->left = r->right;
      r->right = y;
      if (r->balance == -1) {
        y->balance = +1;
        s->balance = 0;
      } else if (r->balance == 0) {
        y->balance = s->balance = 0;
      } else {
        y->balance = 0;
        s->balance = -1;
      }
      r->balance = 0;
    }
  } else {
    if (y->balance == 0) {
      y->balance = +1;
      return item;
    }
    if (y->balance == -1) {
      y->balance = 0;
      return item;
    }
    if (s->balance == +1) {
      r = s;
      y->right = s->left;
      s->left = y;
      s->balance = y->balance = 0;
    } else {
      r = s->left;
      s->left = r->right;
      r->right = s;
      y->right = r->left;
      r->left = y;
      if (r->balance == +1) {
        y->balance = -1;
        s->balance = 0;
      } else if (r->balance == 0) {
        y->balance = s->balance = 0;
      } else {
        y->balance = 0;
        s->balance = +1;
      }
      r->balance = 0;
    }
  }
  if (z && z->right == y)
    z->right = r;
  else if (z)
    z->left = r;
  else
    root = r;
  return item;
}

template <class T> void CTTree<T>::Destroy(Release release, Node* start) {
  if (!start) start = root;
  if (!start) return;
  Unlink(start);
  // Iterative post-order: an AVL tree of under 2^32 nodes is at most 45 levels deep.
  Node* stack[128];
  uint8_t visitedRight[128];
  int n = 0;
  Node* p = start;
  for (;;) {
    for (; p; p = p->left) {
      stack[n] = p;
      visitedRight[n] = 0;
      ++n;
    }
    for (;;) {
      if (n == 0) return;
      p = stack[--n];
      if (visitedRight[n] == 0) {
        visitedRight[n++] = 1;
        p = p->right;
        break;
      }
      if (release)
        release(p->item);
      else
        delete p->item;
      FreeNode(p);
      --count;
    }
  }
}

template <class T> void CTTree<T>::Unlink(Node* start) {
  if (start == root) {
    root = nullptr;
    return;
  }
  for (Node* p = root; p;) {
    if (p->left == start) {
      p->left = nullptr;
      return;
    }
    if (p->right == start) {
      p->right = nullptr;
      return;
    }
    p = comparator(start->item, p->item) < 0 ? p->left : p->right;
  }
}

// Orders boards of the same size by their cells, compared in index order; the blank sorts first.
int32_t CompareBoards(const TBoard* a, const TBoard* b);

class CMyTree : public CTTree<TBoard> {
 public:
  using CTTree<TBoard>::CTTree;
  ~CMyTree() override;
};
