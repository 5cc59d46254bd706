#pragma once
// Additive pattern databases for the optimal search. The tiles of a board shape are split into disjoint
// groups; for every placement of a group's tiles the database holds how many moves of those tiles, at least,
// bring them home, whatever the other tiles do. Sums over the groups never overestimate, and on square boards
// the same tables also serve the board reflected about its main diagonal.
//
// An entry holds the group's excess over its tiles' own Manhattan distance, halved (the excess is always
// even), in four bits; the rare larger excess is stored as 15, which keeps the estimate a lower bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

constexpr int32_t MaxPatternCells = 16;

// Memory that the system is asked to back with large pages: the tables are read at random, and each small
// page costs a fault when first touched and an address translation when looked up.
template <class T> struct TLargePageAllocator {
  using value_type = T;
  TLargePageAllocator() = default;
  template <class U> TLargePageAllocator(const TLargePageAllocator<U>&) {}
  T* allocate(size_t n);
  void deallocate(T* p, size_t n);
  template <class U> bool operator==(const TLargePageAllocator<U>&) const { return true; }
};
using TPatternBytes = std::vector<uint8_t, TLargePageAllocator<uint8_t>>;

// The shape and its split into groups, each group's tiles in ascending order.
struct TPatternLayout {
  int32_t rows = 0;
  int32_t cols = 0;
  std::vector<std::vector<uint8_t>> groups;

  int32_t Count() const { return rows * cols; }
  // Placements of `group`: count! / (count - size)!.
  uint32_t Entries(size_t group) const;
  // Bytes of the group's table, two entries a byte.
  size_t TableBytes(size_t group) const { return (Entries(group) + 1) / 2; }
  // Square boards look up the reflected board as well; a single group holding every tile is exact already.
  bool Mirrored() const { return rows == cols && groups.size() > 1; }

  // The layout the optimal search uses for rows x cols: 2 .. 16 cells, each side 1 .. 16.
  static bool Supported(int32_t rows, int32_t cols);
  static TPatternLayout For(int32_t rows, int32_t cols);
  bool operator==(const TPatternLayout&) const = default;
};

// The index of a placement: cells[i] is where the group's i-th tile stands (all distinct, below `count`).
// Placements are numbered in lexicographic order of their cells.
uint32_t RankPlacement(const uint8_t* cells, int32_t size, int32_t count);

class TPatternDatabase {
 public:
  // Polled while a database is built; `done` runs from 0 to 1. False cancels the build.
  class TBuildControl {
   public:
    virtual bool Progress(double done) = 0;

   protected:
    ~TBuildControl() = default;
  };

  // Builds every table of `layout` by breadth-first search back from the goal, the groups side by side on
  // threads of their own; null when cancelled. `control` is called on this thread only.
  static std::unique_ptr<TPatternDatabase> Build(const TPatternLayout& layout, TBuildControl& control);

  // The cache file: a fixed header naming the layout, its size and the tables' checksum, then the tables.
  std::span<const uint8_t> Serialize() const { return image; }
  // Takes what Serialize wrote for `layout`; null with `reason` when the bytes are anything else.
  static std::unique_ptr<TPatternDatabase> Deserialize(TPatternBytes&& file, const TPatternLayout& layout,
                                                       std::string& reason);
  static std::unique_ptr<TPatternDatabase> Deserialize(const std::vector<uint8_t>& file,
                                                       const TPatternLayout& layout, std::string& reason);
  // The exact size of a valid cache file for `layout`.
  static size_t FileSize(const TPatternLayout& layout);
  // The cache file's checksum of its tables, stored little-endian at byte 40 of the 64-byte header.
  static uint64_t Checksum(const uint8_t* data, size_t size);

  const TPatternLayout& Layout() const { return layout; }
  const uint8_t* Table(size_t group) const { return image.data() + offsets[group]; }
  // The entry of a table for a placement index.
  static uint8_t Entry(const uint8_t* table, uint32_t index) {
    return (table[index >> 1] >> ((index & 1) * 4)) & 15;
  }
  uint8_t Entry(size_t group, uint32_t index) const { return Entry(Table(group), index); }
  // Bytes held, tables and header.
  size_t Bytes() const { return image.size(); }

 private:
  explicit TPatternDatabase(const TPatternLayout& layout);
  // Fills the group's table; `report` is told the share done now and then, and false from it stops the build.
  void BuildGroup(size_t group, const std::function<bool(double)>& report);

  TPatternLayout layout;
  std::vector<size_t> offsets; // of each table in the image
  TPatternBytes image;         // the cache file's bytes: the tables are read where they lie
};
