#include "engine/SearchThread.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "classlib/core/DateTime.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/List.h"
#include "engine/Board.h"
#include "engine/FibHeap.h"
#include "engine/PackedSearch.h"
#include "engine/Tree.h"

TSearchThread::TSearchThread(TBoard* startBoard, int32_t* goalCells, TList* resultList, double* elapsedOut,
                             int32_t maxDepth, bool CreateSuspended)
    : TThread(CreateSuspended), startBoard(startBoard), goalCells(goalCells), resultList(resultList),
      elapsedOut(elapsedOut), maxDepth(maxDepth) {}

// The search reads this object's fields until it ends, so it must end before they go.
TSearchThread::~TSearchThread() {
  Shutdown();
}

namespace {
struct HeapDeleter {
  void operator()(TFibHeap* heap) const { heap->DeleteHeap(); }
};

void ReleaseMoves(TList& list) {
  for (int i = 0; i < list.Count(); ++i) delete static_cast<TMove*>(list[i]);
  list.Clear();
}

// Yields once a pass, as a worker at normal priority should, and stops when told to.
class TThreadControl final : public TPackedSearch::TControl {
 public:
  explicit TThreadControl(TSearchThread& thread) : thread(thread) {}
  bool Pass() override {
    if (thread.Terminated()) return false;
    if (TSearchThread::PassHook) TSearchThread::PassHook(thread);
    Sleep(0);
    return true;
  }

 private:
  TSearchThread& thread;
};
} // namespace

TBoardSearch::TBoardSearch(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t memoryLimit)
    : start(start), goal(goal), maxDepth(maxDepth), memoryLimit(memoryLimit) {}

TPackedSearch::TOutcome TBoardSearch::Run(TPackedSearch::TControl& control) {
  path.clear();
  stored = 0;
  expanded = 0;
  // Moves are defined only on boards holding every tile and one blank: without a blank they would reach
  // outside the cells.
  if (!start.IsValid(start.cells) || !start.IsValid(goal)) return TPackedSearch::Exhausted;
  try {
    return Search(control);
  } catch (const std::bad_alloc&) {
    // Out of memory for a board or a tree node: end as an exhausted search, having released what was built.
    path.clear();
    return TPackedSearch::Exhausted;
  }
}

TPackedSearch::TOutcome TBoardSearch::Search(TPackedSearch::TControl& control) {
  TList moves;
  struct MovesReleaser {
    TList& list;
    ~MovesReleaser() { ReleaseMoves(list); }
  } releaseMoves{moves};
  // Declared in this order so that the visited set, which owns every board, goes first. When the open list
  // cannot grow its degree array, ExtractMin answers null and the search ends as an exhausted one instead of
  // aborting the program: the game keeps the solution it has and stays usable.
  std::unique_ptr<TFibHeap, HeapDeleter> open(TFibHeap::MakeKeyHeap());
  CMyTree visited(CompareBoards);
  // The start board is not evaluated: its estimate stays 0.
  auto root = std::make_unique<TBoard>(start.rows, start.cols, start.cells);
  visited.Add(root.get());
  TBoard* current = root.release();
  stored = visited.count;
  // Without an open list, or without room for its first entry, the search ends as an exhausted one.
  if (!open || !open->InsertKey(current->manhattan + current->conflicts, current))
    return TPackedSearch::Exhausted;

  while (!current->IsEqual(goal)) {
    if (!control.Pass()) return TPackedSearch::Stopped;
    current = static_cast<TBoard*>(open->ExtractMin());
    if (!current) return TPackedSearch::Exhausted;
    const int32_t used = visited.count * 48;
    if (maxDepth > current->depth && used < memoryLimit) {
      ++expanded;
      current->GetMoves(&moves);
      for (int i = 0; i < moves.Count(); ++i) {
        std::unique_ptr<TBoard> child(TBoard::NewChild(current, static_cast<TMove*>(moves[i])));
        // One descent both finds a duplicate and stores a new board; the tree comes out as if it had looked
        // first and added after.
        if (visited.Probe(child.get()) != child.get()) continue;
        TBoard* fresh = child.release();
        stored = visited.count;
        fresh->Evaluate(goal);
        // A board the open list cannot hold would be lost from the search: end as exhausted instead.
        if (!open->InsertKey(fresh->manhattan + fresh->conflicts, fresh)) return TPackedSearch::Exhausted;
      }
      ReleaseMoves(moves);
    }
  }
  for (TBoard* board = current; board->parent; board = board->parent) path.push_back(board->move);
  std::reverse(path.begin(), path.end());
  return TPackedSearch::Solved;
}

void TSearchThread::Execute() {
  const TDateTime t0 = Now();
  MEMORYSTATUS memory;
  (MemoryStatus ? MemoryStatus : GlobalMemoryStatus)(&memory);
  // An eighth of the free memory, charged at 48 bytes a stored board.
  const int32_t limit = static_cast<int32_t>(memory.dwAvailPhys >> 3);

  std::vector<TMove> path;
  bool solved = false;
  TThreadControl control(*this);
  try {
    if (auto search = TPackedSearch::Create(*startBoard, goalCells, maxDepth, limit)) {
      solved = search->Run(control) == TPackedSearch::Solved;
      if (solved) path = search->Path();
    } else {
      // This search also takes the boards that are no valid position, and refuses them before it starts.
      TBoardSearch boards(*startBoard, goalCells, maxDepth, limit);
      solved = boards.Run(control) == TPackedSearch::Solved;
      if (solved) path = boards.Path();
    }
  } catch (const std::bad_alloc&) {
    solved = false;
  }

  // A stop raised in the pass that reached the goal still discards the solution.
  if (solved && !Terminated()) {
    const int before = resultList->Count();
    try {
      for (const TMove& move : path) {
        auto record = std::make_unique<TMove>(move);
        resultList->Add(record.get());
        record.release();
      }
    } catch (const std::bad_alloc&) {
      // Half a solution is no solution.
      while (resultList->Count() > before) {
        delete static_cast<TMove*>(resultList->Last());
        resultList->Delete(resultList->Count() - 1);
      }
    }
  }
  *elapsedOut = Now() - t0;
}
