// The beam search: breadth first, keeping at each depth only the `width` boards of least estimate. Boards
// are known by their hash alone; two boards sharing one would cost the search a board, never a wrong way,
// since a way is built from moves and checked by being played.
#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/ImprovingParts.h"

namespace improving {

namespace {
// Boards by their hash in open addressing: the low bits choose the slot, the high half is what the slot
// holds, 0 marking an empty one. Two boards alike in both are taken for one.
class THashSet {
 public:
  explicit THashSet(TWatch& watch) : slots(watch) {}
  // Room for `capacity` slots, a power of two, or none at all (then nothing is ever held).
  bool Allocate(size_t capacity) {
    count = 0;
    mask = capacity ? capacity - 1 : 0;
    return slots.Allocate(capacity);
  }
  // False when the hash was held already.
  bool Insert(uint64_t hash) {
    if (slots.size() == 0) return true;
    const uint32_t print = Print(hash);
    size_t i = Home(hash);
    for (; slots[i] != 0; i = (i + 1) & mask)
      if (slots[i] == print) return false;
    slots[i] = print;
    ++count;
    return true;
  }
  void Prefetch(uint64_t hash) const {
    if (slots.size()) __builtin_prefetch(&slots[Home(hash)]);
  }
  bool Full() const { return count * 4 >= slots.size() * 3; }
  // Afresh from the system rather than zeroed in place, which would hold up a stop for a large set.
  bool Clear() { return count == 0 || Allocate(slots.size()); }

 private:
  size_t Home(uint64_t hash) const { return static_cast<size_t>(hash) & mask; }
  static uint32_t Print(uint64_t hash) { return std::max<uint32_t>(static_cast<uint32_t>(hash >> 32), 1); }

  TCharged<uint32_t> slots;
  size_t mask = 0, count = 0;
};

struct TCandidate {
  uint64_t hash;
  uint32_t parent;
  int16_t estimate;
  int8_t direction;
};

// One depth of the beam: its boards' cells side by side, and what each needs to make its children.
struct TLayer {
  explicit TLayer(TWatch& watch) : cells(watch), hash(watch), estimate(watch), blank(watch), back(watch) {}
  bool Allocate(size_t width, int32_t count) {
    return cells.Allocate(width * static_cast<size_t>(count)) && hash.Allocate(width) &&
           estimate.Allocate(width) && blank.Allocate(width) && back.Allocate(width);
  }
  TCharged<uint8_t> cells;
  TCharged<uint64_t> hash;
  TCharged<int16_t> estimate;
  TCharged<int8_t> blank, back;
  size_t size = 0;
};

// Bytes a layer's boards cost per board besides the cells: hash, estimate, blank, back move.
constexpr size_t LayerBytes = 8 + 2 + 1 + 1;
// Per board of the beam's width: candidates (at most three children each) and their order.
constexpr size_t CandidateBytes = 3 * (sizeof(TCandidate) + sizeof(uint32_t));
// Per board kept: its way back (4 bytes) and its share of the set of boards seen (about 8 bytes).
constexpr size_t KeptBytes = 12;
constexpr int32_t MostWidth = 1 << 24;

size_t CeilPower(size_t n) {
  return std::bit_ceil(std::max<size_t>(n, 1));
}

// The boards of the shape, half the orders of the tiles and the blank, or MostWidth when that is fewer.
size_t Boards(const TShape& shape) {
  size_t boards = 1;
  for (int32_t n = 3; n <= shape.count && boards < MostWidth; ++n) boards *= static_cast<size_t>(n);
  return std::min(boards, static_cast<size_t>(MostWidth));
}
} // namespace

int32_t BeamWidthFor(const TShape& shape, int32_t depth, size_t bytes) {
  const size_t perBoard = 2 * (static_cast<size_t>(shape.count) + LayerBytes) + CandidateBytes +
                          KeptBytes * static_cast<size_t>(std::max(depth, 1));
  // No wider than there are boards to hold.
  return static_cast<int32_t>(std::min(bytes / perBoard, Boards(shape)));
}

bool BeamSearch(const TShape& shape, const uint8_t* from, const uint8_t* to, int32_t width,
                int32_t shorterThan, TWatch& watch, std::vector<int8_t>& way) {
  uint8_t start[MaxPackedCells], goal[MaxPackedCells];
  shape.Renumber(from, to, start, goal);
  const TEstimator estimator(shape.rows, shape.cols, goal);
  const int32_t count = shape.count;
  const int32_t startEstimate = estimator.Full(start);
  way.clear();
  if (startEstimate == 0) return true;
  if (startEstimate >= shorterThan || width < 1) return false;

  const size_t beam = static_cast<size_t>(width);
  TLayer layers[2] = {TLayer(watch), TLayer(watch)};
  TCharged<TCandidate> candidates(watch);
  TCharged<uint32_t> order(watch);
  THashSet seen(watch);
  if (!layers[0].Allocate(beam, count) || !layers[1].Allocate(beam, count) ||
      !candidates.Allocate(3 * beam + 1) || !order.Allocate(3 * beam + 1))
    return false;
  // The set of boards seen takes what is left once the ways back of a beam as deep as it may go have their
  // share, but no more than such a beam needs. Unbounded, a narrow beam may wander far: it is given room
  // for many times the estimate, for once its set starts again it wanders farther.
  const size_t depthGuess = static_cast<size_t>(std::min(shorterThan, 16 * startEstimate));
  const size_t wayBytes = beam * 4 * depthGuess;
  const size_t seenRoom = watch.Free() > wayBytes ? (watch.Free() - wayBytes) / sizeof(uint32_t) : 0;
  const size_t seenWant = CeilPower(std::min(beam * depthGuess, 2 * Boards(shape)) * 3 / 2);
  // A layer fills at most an eighth of the slots, so that the set, cleared when three quarters full, never
  // runs out of them; smaller, it would not be worth its upkeep.
  const size_t seenSlots =
      std::min(std::max(seenWant, CeilPower(8 * beam)), seenRoom ? std::bit_floor(seenRoom) : 0);
  if (!seen.Allocate(seenSlots >= 8 * beam ? seenSlots : 0)) return false;

  // Per depth below the start, each board's parent in the depth above and the move from it, one depth after
  // another; where each depth begins; boards by estimate.
  TCharged<uint32_t> steps(watch);
  TCharged<size_t> depthStart(watch);
  TCharged<uint32_t> tally(watch);

  TLayer* current = &layers[0];
  TLayer* next = &layers[1];
  std::copy(start, start + count, current->cells.data());
  current->hash[0] = shape.Hash(start);
  current->estimate[0] = static_cast<int16_t>(startEstimate);
  current->blank[0] = static_cast<int8_t>(std::find(start, start + count, 0) - start);
  current->back[0] = -1;
  current->size = 1;
  seen.Insert(current->hash[0]);

  for (int32_t depth = 0; depth + 1 < shorterThan; ++depth) {
    // The children worth keeping: new, and close enough to the goal to arrive in time.
    size_t found = 0;
    int32_t most = 0;
    for (size_t i = 0; i < current->size; ++i) {
      if (watch.Tick()) return false;
      uint8_t* cells = current->cells.data() + i * static_cast<size_t>(count);
      const int32_t blank = current->blank[i];
      for (int8_t direction = 0; direction < 4; ++direction) {
        const int32_t from = shape.From(blank, direction);
        if (from < 0 || direction == current->back[i]) continue;
        const int32_t estimate = current->estimate[i] + estimator.Delta(cells, from, blank);
        if (depth + 1 + estimate >= shorterThan) continue;
        if (estimate == 0) {
          // The goal: the way back through the layers above.
          way.assign(1, direction);
          for (size_t board = i, d = static_cast<size_t>(depth); d > 0; --d) {
            const uint32_t step = steps[depthStart[d - 1] + board];
            way.push_back(static_cast<int8_t>(step & 3));
            board = step >> 2;
          }
          std::reverse(way.begin(), way.end());
          return true;
        }
        const uint8_t tile = cells[from];
        const uint64_t hash = current->hash[i] ^ shape.Key(from, tile) ^ shape.Key(blank, tile);
        candidates[found++] =
            TCandidate{hash, static_cast<uint32_t>(i), static_cast<int16_t>(estimate), direction};
        most = std::max(most, estimate);
      }
    }
    if (found == 0) return false;

    // The `width` of least estimate not seen before, in order of estimate; among equals, children of better
    // boards first. Only the boards this reaches are looked up in the set of those seen, a few ahead; each
    // joins it at once, so that its twins in this layer are passed over.
    // The set only spares the search work: when full, it starts again.
    if (seen.Full() && !seen.Clear()) return false;
    if (!tally.Reserve(static_cast<size_t>(most) + 2)) return false;
    std::fill(tally.data(), tally.data() + most + 2, 0);
    for (size_t c = 0; c < found; ++c) ++tally[static_cast<size_t>(candidates[c].estimate) + 1];
    for (size_t e = 1; e < static_cast<size_t>(most) + 2; ++e) tally[e] += tally[e - 1];
    for (size_t c = 0; c < found; ++c)
      order[static_cast<size_t>(tally[static_cast<size_t>(candidates[c].estimate)]++)] =
          static_cast<uint32_t>(c);
    constexpr size_t Ahead = 16;
    for (size_t k = 0; k < std::min(found, Ahead); ++k) seen.Prefetch(candidates[order[k]].hash);
    size_t kept = 0;
    for (size_t k = 0; k < found && kept < beam; ++k) {
      // A set new to the beam takes a page fault on most lookups: they are watched as boards are.
      if (watch.Tick()) return false;
      if (k + Ahead < found) seen.Prefetch(candidates[order[k + Ahead]].hash);
      if (seen.Insert(candidates[order[k]].hash)) order[kept++] = order[k];
    }
    if (kept == 0) return false;
    const size_t first = depth == 0 ? 0 : depthStart[static_cast<size_t>(depth) - 1] + current->size;
    if (!steps.Reserve(first + kept) || !depthStart.Reserve(static_cast<size_t>(depth) + 1)) return false;
    depthStart[static_cast<size_t>(depth)] = first;
    for (size_t place = 0; place < kept; ++place) {
      const TCandidate& candidate = candidates[order[place]];
      uint8_t* cells = next->cells.data() + place * static_cast<size_t>(count);
      std::memcpy(cells, current->cells.data() + candidate.parent * static_cast<size_t>(count),
                  static_cast<size_t>(count));
      const int32_t blank = current->blank[candidate.parent];
      const int32_t from = shape.From(blank, candidate.direction);
      cells[blank] = cells[from];
      cells[from] = 0;
      next->hash[place] = candidate.hash;
      next->estimate[place] = candidate.estimate;
      next->blank[place] = static_cast<int8_t>(from);
      next->back[place] = Opposite[candidate.direction];
      steps[first + place] = candidate.parent << 2 | static_cast<uint32_t>(candidate.direction);
    }
    next->size = kept;
    std::swap(current, next);
  }
  return false;
}

} // namespace improving
