#pragma once
// The solver's visited set over packed boards: the same height-balanced tree as CTTree, with the same
// comparisons, rotations and balance bookkeeping, so it takes exactly the same shape; only the storage
// differs. Each node holds its board's cells packed into W words, in an order that makes comparing the words
// the same as comparing the cells one by one, and its children as 32-bit indices into the node array.
// Index 0 is no node.
#include <cstdint>

template <int W> struct TPackedNode {
  uint64_t cells[W];
  // The left and the right child; the top two bits of the left one hold the balance + 1.
  uint32_t link[2];
};

template <int W> int ComparePacked(const uint64_t* a, const uint64_t* b) {
  for (int i = 0; i < W; ++i)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

template <int W> class TPackedTree {
 public:
  using Node = TPackedNode<W>;
  static constexpr uint32_t Null = 0;
  static constexpr uint32_t IndexMask = 0x3FFFFFFF;
  static constexpr uint32_t MaxIndex = IndexMask;

  explicit TPackedTree(Node* nodes) : nodes(nodes) {}

  // The index of the stored board equal to node `item`'s, or `item` itself once inserted. The caller has
  // filled in the node's cells; its links are set here, and only when it is inserted.
  uint32_t Probe(uint32_t item);
  // The index of the stored board with these cells, or Null.
  uint32_t Find(const uint64_t* cells) const {
    for (uint32_t p = root; p != Null;) {
      const int c = ComparePacked<W>(cells, nodes[p].cells);
      if (c == 0) return p;
      p = nodes[p].link[c > 0] & IndexMask;
    }
    return Null;
  }

  // Whether each of `n` boards (at most 4) is stored. The descents go side by side, each fetching its next
  // node ahead while the others compare, so that their waits for memory overlap.
  void FindEach(const uint64_t (*cells)[W], int n, bool* stored) const {
    uint32_t at[4];
    int active[4];
    int left = 0;
    for (int i = 0; i < n; ++i) {
      stored[i] = false;
      if (root != Null) at[left] = root, active[left++] = i;
    }
    while (left > 0)
      for (int k = 0; k < left;) {
        const Node& node = nodes[at[k]];
        const int i = active[k];
        const int c = ComparePacked<W>(cells[i], node.cells);
        const uint32_t next = c == 0 ? Null : node.link[c > 0] & IndexMask;
        if (next == Null) {
          stored[i] = c == 0;
          --left;
          at[k] = at[left];
          active[k] = active[left];
          continue;
        }
        __builtin_prefetch(&nodes[next]);
        at[k++] = next;
      }
  }

  uint32_t Left(uint32_t p) const { return nodes[p].link[0] & IndexMask; }
  uint32_t Right(uint32_t p) const { return nodes[p].link[1]; }
  int Balance(uint32_t p) const { return static_cast<int>(nodes[p].link[0] >> 30) - 1; }

  uint32_t root = Null;
  int32_t count = 0;
  Node* nodes;

 private:
  // The right link has no balance bits, so one mask serves both sides.
  uint32_t Child(uint32_t p, int side) const { return nodes[p].link[side] & IndexMask; }
  void SetChild(uint32_t p, int side, uint32_t child) {
    uint32_t& link = nodes[p].link[side];
    link = (link & ~IndexMask) | child;
  }
  void SetBalance(uint32_t p, int balance) {
    nodes[p].link[0] = (nodes[p].link[0] & IndexMask) | (static_cast<uint32_t>(balance + 1) << 30);
  }
  void MakeLeaf(uint32_t p) {
    nodes[p].link[0] = uint32_t{1} << 30;
    nodes[p].link[1] = Null;
  }
};

template <int W> uint32_t TPackedTree<W>::Probe(uint32_t item) {
  if (root == Null) {
    MakeLeaf(item);
    root = item;
    ++count;
    return item;
  }
  // The sides taken on the way down, kept here rather than in the nodes, so that a descent that finds its
  // board writes nothing. An AVL tree of fewer than 2^32 nodes is at most 45 levels deep.
  uint8_t sides[64];
  const uint64_t* cells = nodes[item].cells;
  uint32_t z = Null; // Null stands for the pseudo-node whose left link is `root`
  uint32_t y = root;
  int yDepth = 0;
  uint32_t p = root;
  uint32_t q;
  int depth = 0;
  for (;;) {
    const int c = ComparePacked<W>(cells, nodes[p].cells);
    if (c == 0) return p;
    const int side = c > 0;
    sides[depth++] = static_cast<uint8_t>(side);
    q = Child(p, side);
    if (q == Null) {
      MakeLeaf(item);
      SetChild(p, side, item);
      q = item;
      break;
    }
    // Without branches: whether a balance is zero follows no pattern.
    const bool leaning = (nodes[q].link[0] >> 30) != 1;
    z = leaning ? p : z;
    y = leaning ? q : y;
    yDepth = leaning ? depth : yDepth;
    p = q;
  }
  ++count;

  const int ySide = sides[yDepth];
  const uint32_t s = Child(y, ySide);
  int at = yDepth + 1;
  for (p = s; p != q; p = Child(p, sides[at++])) SetBalance(p, sides[at] == 0 ? -1 : +1);

  // Both mirror images at once: `side` is where the new node went below y, `lean` the balance that means
  // "heavier on that side".
  const int side = ySide, other = 1 - side, lean = side == 0 ? -1 : +1;
  const int yb = Balance(y);
  if (yb == 0) {
    SetBalance(y, lean);
    return item;
  }
  if (yb == -lean) {
    SetBalance(y, 0);
    return item;
  }
  uint32_t r;
  if (Balance(s) == lean) {
    r = s;
    SetChild(y, side, Child(s, other));
    SetChild(s, other, y);
    SetBalance(s, 0);
    SetBalance(y, 0);
  } else {
    r = Child(s, other);
    SetChild(s, other, Child(r, side));
    SetChild(r, side, s);
    SetChild(y, side, Child(r, other));
    SetChild(r, other, y);
    const int rb = Balance(r);
    SetBalance(y, rb == lean ? -lean : 0);
    SetBalance(s, rb == -lean ? lean : 0);
    SetBalance(r, 0);
  }
  if (z != Null && Right(z) == y)
    SetChild(z, 1, r);
  else if (z != Null)
    SetChild(z, 0, r);
  else
    root = r;
  return item;
}
