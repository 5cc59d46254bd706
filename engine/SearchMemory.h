#pragma once
// Memory for the records of one search: a contiguous range of address space reserved up front and made
// usable as the search grows, so records are addressed by 32-bit index, never move, and cost resident memory
// only once touched. A finished search returns its blocks whole; the next search takes them back with their
// pages still in place, which is what makes a run of short searches cheap.
#include <cstddef>
#include <cstdint>
#include <memory>

class TSearchBlock {
 public:
  // Reserves `bytes` of address space; Data() is null when the system refuses.
  explicit TSearchBlock(size_t bytes);
  ~TSearchBlock();
  TSearchBlock(const TSearchBlock&) = delete;
  TSearchBlock& operator=(const TSearchBlock&) = delete;

  char* Data() const { return base; }
  size_t Reserved() const { return reserved; }
  size_t Committed() const { return committed; }
  // Makes at least the first `bytes` usable; false when they exceed the reservation or the system refuses.
  bool Commit(size_t bytes) { return bytes <= committed || Grow(bytes); }
  // Hands every page beyond the first `bytes` back to the system.
  void Trim(size_t bytes);

  // No block commits more than this; tests lower it to have memory refused.
  static inline size_t CommitCeiling = SIZE_MAX;

 private:
  bool Grow(size_t bytes);

  char* base = nullptr;
  size_t reserved = 0;
  size_t committed = 0;
};

// A block of at least `bytes`: a returned one when one is large enough, else a new one (null when the
// system refuses the reservation).
std::unique_ptr<TSearchBlock> TakeSearchBlock(size_t bytes);
// Keeps the block for the next search, with at most a few tens of megabytes of it resident.
void ReturnSearchBlock(std::unique_ptr<TSearchBlock> block);
// Releases every kept block.
void ReleaseSearchBlocks();
