#include "engine/PatternDatabase.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>
#include <sys/mman.h>
#include <system_error>
#include <thread>

namespace {
// Placements a table may hold at most: the largest group of every layout stays below it.
constexpr uint64_t MaxEntries = 6'000'000;

uint64_t Placements(int32_t count, int32_t size) {
  uint64_t entries = 1;
  for (int32_t i = 0; i < size; ++i) entries *= static_cast<uint64_t>(count - i);
  return entries;
}

// The cells of the shape as bit masks, for spreading the blank over the cells no group tile holds.
struct TGrid {
  TGrid(int32_t rows, int32_t cols) : cols(cols) {
    const int32_t count = rows * cols;
    full = count == 32 ? 0xFFFFFFFFu : (1u << count) - 1;
    for (int32_t c = 0; c < count; ++c) {
      if (c % cols == 0) firstCol |= 1u << c;
      if (c % cols == cols - 1) lastCol |= 1u << c;
    }
  }
  uint32_t Neighbours(uint32_t cells) const {
    return (((cells & ~lastCol) << 1) | ((cells & ~firstCol) >> 1) | (cells << cols) | (cells >> cols)) &
           full;
  }
  // The cells of `free` that the blank at `start` reaches.
  uint32_t Region(uint32_t free, int32_t start) const {
    uint32_t region = 1u << start;
    for (;;) {
      const uint32_t grown = region | (Neighbours(region) & free);
      if (grown == region) return region;
      region = grown;
    }
  }
  int32_t cols;
  uint32_t full = 0, firstCol = 0, lastCol = 0;
};

} // namespace

template <class T> T* TLargePageAllocator<T>::allocate(size_t n) {
  constexpr size_t LargePage = size_t{2} << 20;
  if (n > (SIZE_MAX - LargePage) / sizeof(T)) throw std::bad_alloc();
  const size_t bytes = n * sizeof(T);
  if (bytes < LargePage) return std::allocator<T>().allocate(n);
  const size_t rounded = (bytes + LargePage - 1) / LargePage * LargePage;
  void* memory = std::aligned_alloc(LargePage, rounded);
  if (!memory) throw std::bad_alloc();
  // Only advice: without large pages the memory serves all the same.
  (void)::madvise(memory, rounded, MADV_HUGEPAGE);
  return static_cast<T*>(memory);
}

template <class T> void TLargePageAllocator<T>::deallocate(T* p, size_t n) {
  if (n * sizeof(T) < (size_t{2} << 20))
    std::allocator<T>().deallocate(p, n);
  else
    std::free(p);
}

template struct TLargePageAllocator<uint8_t>;
template struct TLargePageAllocator<uint16_t>;
template struct TLargePageAllocator<uint32_t>;

// Four 64-bit lanes of multiply and rotate, folded.
uint64_t TPatternDatabase::Checksum(const uint8_t* data, size_t size) {
  constexpr uint64_t P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full;
  uint64_t lanes[4] = {P1, P2, P1 ^ P2, ~P1};
  size_t i = 0;
  for (; i + 32 <= size; i += 32)
    for (int lane = 0; lane < 4; ++lane) {
      uint64_t word;
      std::memcpy(&word, data + i + 8 * lane, 8);
      lanes[lane] = std::rotl(lanes[lane] + word * P2, 31) * P1;
    }
  uint64_t hash =
      std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
  for (; i < size; ++i) hash = std::rotl(hash ^ (data[i] * P1), 11) * P2;
  hash ^= size;
  hash ^= hash >> 33;
  hash *= P2;
  hash ^= hash >> 29;
  return hash;
}

namespace {
// The fixed part of a cache file, little-endian.
constexpr char Magic[8] = {'Q', 'N', 'D', 'R', 'L', 'P', 'D', 'B'};
constexpr uint32_t Version = 1;
constexpr size_t HeaderBytes = 64;
constexpr size_t ChecksumOffset = 40;
constexpr uint8_t NoGroup = 0xFF;

void PutLE(uint8_t* at, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetLE(const uint8_t* at, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(at[i]) << (8 * i);
  return value;
}

void WriteHeader(const TPatternLayout& layout, uint64_t payload, uint8_t* header) {
  std::memset(header, 0, HeaderBytes);
  std::memcpy(header, Magic, sizeof Magic);
  PutLE(header + 8, Version, 4);
  header[12] = static_cast<uint8_t>(layout.rows);
  header[13] = static_cast<uint8_t>(layout.cols);
  header[14] = static_cast<uint8_t>(layout.groups.size());
  std::memset(header + 16, NoGroup, 16);
  for (size_t g = 0; g < layout.groups.size(); ++g)
    for (uint8_t tile : layout.groups[g]) header[16 + tile] = static_cast<uint8_t>(g);
  PutLE(header + 32, payload, 8);
}
} // namespace

uint32_t TPatternLayout::Entries(size_t group) const {
  return static_cast<uint32_t>(Placements(Count(), static_cast<int32_t>(groups[group].size())));
}

bool TPatternLayout::Supported(int32_t rows, int32_t cols) {
  return rows >= 2 && cols >= 2 && rows <= MaxPatternCells && cols <= MaxPatternCells &&
         rows * cols <= MaxPatternCells;
}

TPatternLayout TPatternLayout::For(int32_t rows, int32_t cols) {
  TPatternLayout layout;
  layout.rows = rows;
  layout.cols = cols;
  if (!Supported(rows, cols)) return layout;
  const int32_t count = rows * cols;
  if (rows == 4 && cols == 4) {
    // Measured against other splits into six, six and three tiles: the fewest boards searched. Its reflection
    // splits the board differently, so the reflected lookup adds to it.
    layout.groups = {{1, 5, 6, 9, 10, 13}, {7, 8, 11, 12, 14, 15}, {2, 3, 4}};
    return layout;
  }
  // Likewise measured: the pair far from the blank, the rest in two blocks; searches six times smaller
  // than with the pair beside the blank.
  if (rows == 5 && cols == 3) {
    layout.groups = {{1, 2, 4, 5, 7, 8}, {9, 10, 11, 12, 13, 14}, {3, 6}};
    return layout;
  }
  if (rows == 3 && cols == 5) {
    layout.groups = {{1, 2, 3, 6, 7, 8}, {4, 5, 9, 10, 13, 14}, {11, 12}};
    return layout;
  }
  int32_t size = 1;
  while (size < count - 1 && Placements(count, size + 1) <= MaxEntries) ++size;
  // Tiles taken along the longer side, so that each group covers a compact block.
  std::vector<uint8_t> order;
  if (rows >= cols)
    for (int32_t c = 0; c < count - 1; ++c) order.push_back(static_cast<uint8_t>(c + 1));
  else
    for (int32_t col = 0; col < cols; ++col)
      for (int32_t row = 0; row < rows; ++row)
        if (row * cols + col != count - 1) order.push_back(static_cast<uint8_t>(row * cols + col + 1));
  for (size_t start = 0; start < order.size(); start += static_cast<size_t>(size)) {
    std::vector<uint8_t> group(order.begin() + static_cast<std::ptrdiff_t>(start),
                               order.begin() +
                                   static_cast<std::ptrdiff_t>(std::min(order.size(), start + size)));
    std::sort(group.begin(), group.end());
    layout.groups.push_back(group);
  }
  return layout;
}

uint32_t RankPlacement(const uint8_t* cells, int32_t size, int32_t count) {
  uint32_t rank = 0;
  for (int32_t i = 0; i < size; ++i) {
    uint32_t digit = cells[i];
    for (int32_t j = 0; j < i; ++j) digit -= cells[j] < cells[i];
    rank = rank * static_cast<uint32_t>(count - i) + digit;
  }
  return rank;
}

std::unique_ptr<TPatternDatabase> TPatternDatabase::Build(const TPatternLayout& layout,
                                                          TBuildControl& control) {
  std::unique_ptr<TPatternDatabase> database(new TPatternDatabase(layout));
  database->image.assign(FileSize(layout), 0);
  const size_t groups = layout.groups.size();
  double total = 0;
  for (size_t g = 0; g < groups; ++g) total += layout.Entries(g);
  // The groups are built side by side; only this thread reports and asks whether to go on, with the share
  // of every group's work done.
  std::vector<std::atomic<double>> done(groups);
  std::atomic<bool> cancelled{false};
  auto report = [&] {
    double sum = 0;
    for (size_t g = 0; g < groups; ++g) sum += done[g].load() * layout.Entries(g) / total;
    if (!control.Progress(std::min(sum, 1.0))) cancelled = true;
    return !cancelled;
  };
  std::vector<std::thread> others;
  const size_t threads = std::max<size_t>(1, std::min<size_t>(groups, std::thread::hardware_concurrency()));
  std::atomic<size_t> next{1};
  // The calling thread reports as it builds; the others only watch for a cancel.
  auto buildRest = [&](bool caller) {
    for (size_t g; (g = next++) < groups && !cancelled;)
      database->BuildGroup(g, [&, g, caller](double share) {
        done[g] = share;
        return caller ? report() : !cancelled.load();
      });
  };
  try {
    for (size_t t = 1; t < threads; ++t) others.emplace_back(buildRest, false);
  } catch (const std::system_error&) {
    // Without more threads this one builds every group.
  }
  database->BuildGroup(0, [&](double share) {
    done[0] = share;
    return report();
  });
  buildRest(true);
  while (true) {
    bool finished = true;
    for (size_t g = 0; g < groups; ++g) finished = finished && done[g].load() >= 1.0;
    if (finished || cancelled) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    report();
  }
  for (auto& thread : others) thread.join();
  if (cancelled || !report()) return nullptr;
  uint8_t* image = database->image.data();
  WriteHeader(layout, database->image.size() - HeaderBytes, image);
  PutLE(image + ChecksumOffset, Checksum(image + HeaderBytes, database->image.size() - HeaderBytes), 8);
  return database;
}

void TPatternDatabase::BuildGroup(size_t group, const std::function<bool(double)>& report) {
  const std::vector<uint8_t>& tiles = layout.groups[group];
  const int32_t size = static_cast<int32_t>(tiles.size());
  const int32_t count = layout.Count(), cols = layout.cols;
  if (count > MaxPatternCells) std::abort();
  const TGrid grid(layout.rows, cols);
  const uint32_t entries = layout.Entries(group);
  // With a single free cell only the placements of the goal's parity are reached.
  const double reachable = size == count - 1 ? entries / 2.0 : entries;
  uint8_t* table = image.data() + offsets[group];

  // For each placement, the blank cells from which it has been reached (low half) and those reached in the
  // layer being made (high half); and the blank cells reached in the layer being expanded. A layer is
  // expanded in the order of placement indexes, so that the entries it touches lie close together.
  std::vector<uint32_t, TLargePageAllocator<uint32_t>> reached(entries, 0);
  std::vector<uint16_t, TLargePageAllocator<uint16_t>> frontier(entries);
  uint32_t placed = 0;

  int32_t manhattan[MaxPatternCells][MaxPatternCells];
  uint32_t weight[MaxPatternCells];
  for (int32_t i = size - 1, w = 1; i >= 0; w *= count - i, --i) {
    weight[i] = static_cast<uint32_t>(w);
    const int32_t home = tiles[static_cast<size_t>(i)] - 1;
    for (int32_t c = 0; c < count; ++c)
      manhattan[i][c] = std::abs(home / cols - c / cols) + std::abs(home % cols - c % cols);
  }

  uint8_t cells[MaxPatternCells];
  // The placement in `cells` with the blank at `blank` is reached after `distance` moves of the group's
  // tiles; the whole region of the blank is, unless it was before.
  auto reach = [&](uint32_t rank, uint32_t occupied, int32_t blank, int32_t distance) {
    uint32_t& entry = reached[rank];
    if (entry & (1u << blank)) return false;
    const uint32_t region = grid.Region(grid.full & ~occupied, blank);
    if ((entry & 0xFFFF) == 0) {
      int32_t own = 0;
      for (int32_t i = 0; i < size; ++i) own += manhattan[i][cells[i]];
      const int32_t excess = std::min((distance - own) / 2, 15);
      table[rank >> 1] |= static_cast<uint8_t>(excess << ((rank & 1) * 4));
      ++placed;
    }
    entry |= region | region << 16;
    return true;
  };

  uint32_t goalOccupied = 0;
  for (int32_t i = 0; i < size; ++i) {
    cells[i] = static_cast<uint8_t>(tiles[static_cast<size_t>(i)] - 1);
    goalOccupied |= 1u << cells[i];
  }
  bool more = reach(RankPlacement(cells, size, count), goalOccupied, count - 1, 0);

  // Placements are taken a run of indexes at a time that differ only in the last tile's cell, so that the
  // cells of the others are worked out once a run.
  const uint32_t run = static_cast<uint32_t>(count - size + 1);
  uint64_t work = 0;
  for (int32_t distance = 1; more; ++distance) {
    more = false;
    for (uint32_t rank = 0; rank < entries; ++rank) {
      frontier[rank] = static_cast<uint16_t>(reached[rank] >> 16);
      reached[rank] &= 0xFFFF;
    }
    for (uint32_t start = 0; start < entries; start += run) {
      if ((++work & 0x3FFF) == 0 && !report(std::min(0.99, placed / reachable))) return;
      uint64_t any = 0;
      for (uint32_t k = 0; k < run; ++k) any |= frontier[start + k];
      if (!any) continue;
      // The cells of all tiles but the last, from the index's digits.
      uint32_t occupiedBefore = 0;
      for (int32_t i = 0, rest = static_cast<int32_t>(start); i < size - 1; ++i) {
        int32_t digit = rest / static_cast<int32_t>(weight[i]);
        rest %= static_cast<int32_t>(weight[i]);
        uint32_t free = grid.full & ~occupiedBefore;
        while (digit-- > 0) free &= free - 1;
        cells[i] = static_cast<uint8_t>(std::countr_zero(free));
        occupiedBefore |= 1u << cells[i];
      }
      uint32_t lastFree = grid.full & ~occupiedBefore;
      uint8_t slot[MaxPatternCells]; // the group tile in each occupied cell
      for (int32_t i = 0; i < size - 1; ++i) slot[cells[i]] = static_cast<uint8_t>(i);
      for (uint32_t k = 0; k < run; ++k, lastFree &= lastFree - 1) {
        uint32_t blanks = frontier[start + k];
        if (!blanks) continue;
        const uint32_t rank = start + k;
        cells[size - 1] = static_cast<uint8_t>(std::countr_zero(lastFree));
        slot[cells[size - 1]] = static_cast<uint8_t>(size - 1);
        const uint32_t occupied = occupiedBefore | 1u << cells[size - 1];
        // Each region the layer reached, in turn: a group tile next to it moves into it, the blank takes its
        // cell.
        while (blanks) {
          const uint32_t region = grid.Region(grid.full & ~occupied, std::countr_zero(blanks));
          blanks &= ~region;
          // Every move first, its entry fetched ahead, then each reached in turn.
          struct TStep {
            uint32_t rank;
            uint8_t tile, from, to;
          } steps[MaxPatternCells * 4];
          int32_t moves = 0;
          for (int32_t i = 0; i < size; ++i) {
            const int32_t from = cells[i];
            for (uint32_t targets = grid.Neighbours(1u << from) & region; targets; targets &= targets - 1) {
              const int32_t to = std::countr_zero(targets);
              // The index changes by the tile's own digit and by one for every later tile whose cell lies
              // between the two; only a move across a row passes over cells.
              const int32_t low = std::min(from, to), high = std::max(from, to);
              int32_t digit = to - from;
              int64_t later = 0;
              for (uint32_t over = occupied & ((1u << high) - 1) & ~((2u << low) - 1); over;
                   over &= over - 1) {
                const int32_t j = slot[std::countr_zero(over)];
                if (j < i)
                  digit += to > from ? -1 : 1;
                else
                  later += weight[j];
              }
              const int64_t next =
                  rank + static_cast<int64_t>(weight[i]) * digit + (to > from ? later : -later);
              __builtin_prefetch(&reached[static_cast<size_t>(next)]);
              steps[moves++] = {static_cast<uint32_t>(next), static_cast<uint8_t>(i),
                                static_cast<uint8_t>(from), static_cast<uint8_t>(to)};
            }
          }
          for (int32_t k = 0; k < moves; ++k) {
            const TStep& step = steps[k];
            cells[step.tile] = step.to;
            more |= reach(step.rank, occupied ^ (1u << step.from) ^ (1u << step.to), step.from, distance);
            cells[step.tile] = step.from;
          }
        }
      }
    }
  }
  report(1.0);
}

size_t TPatternDatabase::FileSize(const TPatternLayout& layout) {
  size_t size = HeaderBytes;
  for (size_t g = 0; g < layout.groups.size(); ++g) size += layout.TableBytes(g);
  return size;
}

TPatternDatabase::TPatternDatabase(const TPatternLayout& layout) : layout(layout) {
  size_t at = HeaderBytes;
  for (size_t g = 0; g < layout.groups.size(); ++g) {
    offsets.push_back(at);
    at += layout.TableBytes(g);
  }
}

std::unique_ptr<TPatternDatabase> TPatternDatabase::Deserialize(const std::vector<uint8_t>& file,
                                                                const TPatternLayout& layout,
                                                                std::string& reason) {
  return Deserialize(TPatternBytes(file.begin(), file.end()), layout, reason);
}

std::unique_ptr<TPatternDatabase>
TPatternDatabase::Deserialize(TPatternBytes&& file, const TPatternLayout& layout, std::string& reason) {
  if (!TPatternLayout::Supported(layout.rows, layout.cols) || layout.groups.empty()) {
    reason = "no databases for this board";
    return nullptr;
  }
  const size_t expected = FileSize(layout);
  if (file.size() != expected) {
    reason = "wrong size";
    return nullptr;
  }
  uint8_t header[HeaderBytes];
  WriteHeader(layout, expected - HeaderBytes, header);
  if (std::memcmp(file.data(), header, sizeof Magic) != 0) {
    reason = "not a pattern database";
    return nullptr;
  }
  if (std::memcmp(file.data(), header, ChecksumOffset) != 0 ||
      std::memcmp(file.data() + ChecksumOffset + 8, header + ChecksumOffset + 8,
                  HeaderBytes - ChecksumOffset - 8)) {
    reason = "another version, board or split of tiles";
    return nullptr;
  }
  if (Checksum(file.data() + HeaderBytes, file.size() - HeaderBytes) !=
      GetLE(file.data() + ChecksumOffset, 8)) {
    reason = "checksum mismatch";
    return nullptr;
  }
  std::unique_ptr<TPatternDatabase> database(new TPatternDatabase(layout));
  database->image = std::move(file);
  for (size_t g = 0; g < layout.groups.size(); ++g) {
    // Every group is home at the goal: a table that says otherwise was not built for it.
    uint8_t home[MaxPatternCells];
    const auto& tiles = layout.groups[g];
    for (size_t i = 0; i < tiles.size(); ++i) home[i] = static_cast<uint8_t>(tiles[i] - 1);
    if (database->Entry(g, RankPlacement(home, static_cast<int32_t>(tiles.size()), layout.Count())) != 0) {
      reason = "the goal is not at distance 0";
      return nullptr;
    }
  }
  return database;
}
