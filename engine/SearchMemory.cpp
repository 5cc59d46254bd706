#include "engine/SearchMemory.h"

#include <algorithm>
#include <mutex>
#include <sys/mman.h>
#include <utility>
#include <vector>

namespace {
constexpr size_t Page = 4096;
// Growth steps: few system calls, and little unused memory made usable at the end of a search. They match
// the processor's large pages, which a block asks for once it is large enough for them to pay: a search
// through millions of boards spends much of its time on address translation for its tree otherwise.
constexpr size_t CommitStep = size_t{2} << 20;
constexpr size_t LargePagesFrom = size_t{8} << 20;
// What a kept block may hold resident: enough for the searches of a game's improving chain to reuse, little
// for a program that stops searching.
constexpr size_t KeptBytes = size_t{16} << 20;
constexpr size_t KeptBlocks = 2;

size_t RoundUp(size_t bytes, size_t step) {
  return (bytes + step - 1) / step * step;
}

struct Kept {
  std::mutex lock;
  std::vector<std::unique_ptr<TSearchBlock>> blocks;
};

Kept& KeptBlocksStore() {
  static Kept kept;
  return kept;
}
} // namespace

TSearchBlock::TSearchBlock(size_t bytes) {
  const size_t size = RoundUp(bytes == 0 ? 1 : bytes, CommitStep);
  // Reserved without access, so the range is not charged against the system's commit limit until used;
  // one step more, so that the block can start on a large-page boundary.
  const size_t mapped = size + CommitStep;
  void* block = mmap(nullptr, mapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (block == MAP_FAILED) return;
  char* start = static_cast<char*>(block);
  char* aligned = start + (CommitStep - reinterpret_cast<uintptr_t>(start) % CommitStep) % CommitStep;
  if (aligned > start) munmap(start, static_cast<size_t>(aligned - start));
  if (aligned + size < start + mapped)
    munmap(aligned + size, static_cast<size_t>(start + mapped - (aligned + size)));
  base = aligned;
  reserved = size;
}

TSearchBlock::~TSearchBlock() {
  if (base) munmap(base, reserved);
}

bool TSearchBlock::Grow(size_t bytes) {
  if (!base || bytes > reserved || bytes > CommitCeiling) return false;
  const size_t target = std::min(reserved, RoundUp(bytes, CommitStep));
  if (mprotect(base + committed, target - committed, PROT_READ | PROT_WRITE) != 0) return false;
  if (committed < LargePagesFrom && target >= LargePagesFrom) madvise(base, reserved, MADV_HUGEPAGE);
  committed = target;
  return true;
}

void TSearchBlock::Trim(size_t bytes) {
  const size_t keep = RoundUp(bytes, Page);
  if (keep >= committed) return;
  // A fresh inaccessible mapping over the tail drops its pages and its commit charge in one call.
  if (mmap(base + keep, committed - keep, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED,
           -1, 0) != MAP_FAILED)
    committed = keep;
}

std::unique_ptr<TSearchBlock> TakeSearchBlock(size_t bytes) {
  {
    Kept& kept = KeptBlocksStore();
    std::lock_guard guard(kept.lock);
    // The smallest kept block that is large enough.
    auto best = kept.blocks.end();
    for (auto it = kept.blocks.begin(); it != kept.blocks.end(); ++it)
      if ((*it)->Reserved() >= bytes &&
          (best == kept.blocks.end() || (*it)->Reserved() < (*best)->Reserved()))
        best = it;
    if (best != kept.blocks.end()) {
      std::unique_ptr<TSearchBlock> block = std::move(*best);
      kept.blocks.erase(best);
      return block;
    }
  }
  auto block = std::make_unique<TSearchBlock>(bytes);
  if (!block->Data()) return nullptr;
  return block;
}

void ReturnSearchBlock(std::unique_ptr<TSearchBlock> block) {
  if (!block) return;
  block->Trim(KeptBytes);
  std::unique_ptr<TSearchBlock> dropped;
  Kept& kept = KeptBlocksStore();
  std::lock_guard guard(kept.lock);
  if (kept.blocks.size() == KeptBlocks) {
    // The one with the least resident memory goes.
    auto least = kept.blocks.begin();
    for (auto it = kept.blocks.begin(); it != kept.blocks.end(); ++it)
      if ((*it)->Committed() < (*least)->Committed()) least = it;
    dropped = std::move(*least);
    kept.blocks.erase(least);
  }
  kept.blocks.push_back(std::move(block));
}

void ReleaseSearchBlocks() {
  std::vector<std::unique_ptr<TSearchBlock>> blocks;
  Kept& kept = KeptBlocksStore();
  std::lock_guard guard(kept.lock);
  blocks.swap(kept.blocks);
}
