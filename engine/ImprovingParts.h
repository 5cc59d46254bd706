#pragma once
// The parts of the improving search: the board's shape and moves, the watch on stop, deadline and memory
// that every part obeys, the beam search that finds solutions and the shortener that re-solves stretches of
// them exactly. Boards are held as one byte a cell, 0 for the blank; a way is a list of directions as
// TMove numbers them (the way the tile moves: 0 up, 1 down, 2 left, 3 right).
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <type_traits>
#include <vector>

#include "engine/PackedSearch.h"

namespace improving {

constexpr int8_t Opposite[4] = {1, 0, 3, 2};

class TShape {
 public:
  TShape(int32_t rows, int32_t cols);
  // The cell whose tile moves in `direction` into the blank at `blank`, or -1 when there is none.
  int32_t From(int32_t blank, int32_t direction) const { return from[blank][direction]; }
  // Plays `way` on `cells`, whose blank is at `blank`; the blank's new cell.
  int32_t Play(uint8_t* cells, int32_t blank, const int8_t* way, size_t length) const;
  // A hash of a board that follows its moves: the tiles' keys by cell, xored.
  uint64_t Hash(const uint8_t* cells) const;
  uint64_t Key(int32_t cell, uint8_t tile) const { return keys[cell][tile]; }
  // `board` and `goal` with the tiles numbered in the order of their cells in `goal`. The estimate ranks a
  // line's tiles by number, which must follow their order in the goal, as it does then.
  void Renumber(const uint8_t* board, const uint8_t* goal, uint8_t* boardOut, uint8_t* goalOut) const;

  int32_t rows, cols, count;

 private:
  int8_t from[MaxPackedCells][4];
  uint64_t keys[MaxPackedCells][MaxPackedCells];
};

// Stop, deadline and memory, as one search sees them. Tick() is cheap enough for every board.
class TWatch {
 public:
  TWatch(const std::function<bool()>& stopRequested, std::chrono::steady_clock::time_point deadline,
         size_t memoryBytes);

  bool Tick() { return (++ticks & 127) == 0 ? Check() : over; }
  bool Check();
  bool Over() const { return over; }
  bool Stopped() const { return stopped; }
  bool TimedOut() const { return timedOut; }

  // Charges `bytes` against the bound; false, charging nothing, when they would exceed it.
  bool Take(size_t bytes);
  void Give(size_t bytes) { held -= bytes; }
  size_t Free() const { return bound - held; }
  size_t Peak() const { return peak; }

 private:
  const std::function<bool()>& stopRequested;
  std::chrono::steady_clock::time_point deadline;
  uint32_t ticks = 0;
  bool over = false, stopped = false, timedOut = false;
  size_t bound, held = 0, peak = 0;
};

// An array of plain values whose memory is charged to a watch while it is held. It comes zeroed from the
// system: large ones are mapped afresh, so their pages cost time only as they are first used.
template <class T> class TCharged {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  explicit TCharged(TWatch& watch) : watch(watch) {}
  ~TCharged() { Release(); }
  TCharged(const TCharged&) = delete;
  TCharged& operator=(const TCharged&) = delete;

  // Room for `n` zeroed items; false when the bound or the system refuses them.
  bool Allocate(size_t n) {
    Release();
    if (n == 0) return true;
    if (!watch.Take(n * sizeof(T))) return false;
    items = static_cast<T*>(std::calloc(n, sizeof(T)));
    if (!items) {
      watch.Give(n * sizeof(T));
      return false;
    }
    count = n;
    return true;
  }
  // Room for at least `n` items, those held kept and any new ones unset; it grows by half again at a time, so
  // that growing a little at a time costs little copying. False, changing nothing, when refused.
  bool Reserve(size_t n) { return n <= count || Grow(std::max(n, count + count / 2)) || Grow(n); }
  void Release() {
    std::free(items);
    watch.Give(count * sizeof(T));
    items = nullptr;
    count = 0;
  }
  T* data() { return items; }
  const T* data() const { return items; }
  T& operator[](size_t i) { return items[i]; }
  const T& operator[](size_t i) const { return items[i]; }
  size_t size() const { return count; }

 private:
  bool Grow(size_t n) {
    if (!watch.Take((n - count) * sizeof(T))) return false;
    T* grown = static_cast<T*>(std::realloc(static_cast<void*>(items), n * sizeof(T)));
    if (!grown) {
      watch.Give((n - count) * sizeof(T));
      return false;
    }
    items = grown;
    count = n;
    return true;
  }

  TWatch& watch;
  T* items = nullptr;
  size_t count = 0;
};

// A way from `start` to `goal` of fewer than `shorterThan` moves by a beam search of `width` boards a layer,
// guided by the estimate; false when it finds none (the beam runs dry, the watch is over or memory is short).
bool BeamSearch(const TShape& shape, const uint8_t* start, const uint8_t* goal, int32_t width,
                int32_t shorterThan, TWatch& watch, std::vector<int8_t>& way);

// The most boards a layer a beam search that may go `depth` layers deep can hold within `bytes`.
int32_t BeamWidthFor(const TShape& shape, int32_t depth, size_t bytes);

// How hard the shortener tries: the stretches it re-solves, and the boards it may spend on each.
struct TShortenPlan {
  int32_t longestStretch;
  int64_t boardsPerStretch;
};

// Shortens `way` from `start` by replacing stretches of it with shortest ones, until no stretch of the plan
// gets shorter or the watch is over. `shorter` hears each shorter way. True when the way, short enough to
// be re-solved whole, is shown to be a shortest one.
bool Shorten(const TShape& shape, const uint8_t* start, std::vector<int8_t>& way, const TShortenPlan& plan,
             TWatch& watch, const std::function<void(const std::vector<int8_t>&)>& shorter);

} // namespace improving
