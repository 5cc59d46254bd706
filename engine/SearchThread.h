#pragma once
// The solver: a greedy best-first search on a worker thread. The open list is ordered by the estimate alone,
// so the first solution need not be shortest; the caller tightens `maxDepth` run after run to improve it.
#include <cstdint>
#include <vector>

#include "classlib/core/Kernel.h"
#include "classlib/core/Thread.h"
#include "engine/PackedSearch.h"

class TList;

class TSearchThread : public TThread {
 public:
  // Nothing is read through the pointers before the search starts.
  TSearchThread(TBoard* startBoard, int32_t* goalCells, TList* resultList, double* elapsedOut,
                int32_t maxDepth, bool CreateSuspended);
  ~TSearchThread() override;

  TBoard* startBoard;
  int32_t* goalCells;
  TList* resultList;  // receives the solution's moves in playing order; the list's owner owns them
  double* elapsedOut; // receives the search's duration in days, always, last of all
  int32_t maxDepth;   // only boards shallower than this are expanded

  // Where a search reads the machine's free memory; tests put a small figure here to reach the memory bound.
  static inline void (*MemoryStatus)(MEMORYSTATUS* status) = nullptr;
  // Called on the worker once a pass, after the stop flag was found down; tests hold or stop a search at a
  // known pass with it.
  static inline void (*PassHook)(TSearchThread& thread) = nullptr;

 protected:
  void Execute() override;
};

// The search on TBoard objects, held in a CMyTree and a TFibHeap: what the packed search does, pass for pass,
// for the boards it does not take (more cells than it packs).
class TBoardSearch {
 public:
  // Nothing is read through `start` and `goal` before Run.
  TBoardSearch(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t memoryLimit);

  // Runs the search to its end. A start board or goal that is not a valid position (TBoard::IsValid) ends it
  // at once as exhausted, as does running out of memory.
  TPackedSearch::TOutcome Run(TPackedSearch::TControl& control);
  // After Solved: the moves from the start board to the goal, in playing order.
  const std::vector<TMove>& Path() const { return path; }

  int32_t Stored() const { return stored; }
  int64_t Expanded() const { return expanded; }

 private:
  TPackedSearch::TOutcome Search(TPackedSearch::TControl& control);

  const TBoard& start;
  const int32_t* goal;
  int32_t maxDepth;
  int32_t memoryLimit;
  std::vector<TMove> path;
  int32_t stored = 0;
  int64_t expanded = 0;
};
