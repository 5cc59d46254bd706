#pragma once
// The solver: a greedy best-first search on a worker thread. The open list is ordered by the estimate alone,
// so the first solution need not be shortest; the caller tightens `maxDepth` run after run to improve it.
#include <cstdint>

#include "classlib/core/Kernel.h"
#include "classlib/core/Thread.h"

class TBoard;
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

 protected:
  void Execute() override;
};
