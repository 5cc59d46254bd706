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
  explicit TThreadControl(const TSearchThread& thread) : thread(thread) {}
  bool Pass() override {
    if (thread.Terminated()) return false;
    Sleep(0);
    return true;
  }

 private:
  const TSearchThread& thread;
};

// The search on boards of any kind, for those the packed search does not take (boards of more cells, or
// holding something other than every tile and one blank). The same passes, with TBoard objects in a CMyTree
// and a TFibHeap; true with `path` filled when it reached the goal.
bool SearchBoards(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t limit,
                  TPackedSearch::TControl& control, std::vector<TMove>& path) {
  TList moves;
  // Declared in this order so that the visited set, which owns every board, goes first.
  std::unique_ptr<TFibHeap, HeapDeleter> open(TFibHeap::MakeKeyHeap());
  CMyTree visited(CompareBoards);
  TBoard* current = nullptr;
  try {
    // Without an open list, or without room for its first entry, the search ends as an exhausted one.
    TBoard* root = new TBoard(start.rows, start.cols, start.cells);
    visited.Add(root);
    if (open && open->InsertKey(root->manhattan + root->conflicts, root)) current = root;

    while (current && !current->IsEqual(goal)) {
      if (!control.Pass()) return false;
      current = static_cast<TBoard*>(open->ExtractMin());
      if (!current) break;
      const int32_t used = visited.count * 48;
      if (maxDepth > current->depth && used < limit) {
        current->GetMoves(&moves);
        bool full = false;
        for (int i = 0; i < moves.Count(); ++i) {
          if (full) break;
          std::unique_ptr<TBoard> child(TBoard::NewChild(current, static_cast<TMove*>(moves[i])));
          // One descent both finds a duplicate and stores a new board; the tree comes out as if it had
          // looked first and added after.
          if (visited.Probe(child.get()) != child.get()) continue;
          TBoard* fresh = child.release();
          fresh->Evaluate(goal);
          // An entry the open list cannot hold would be lost from the search: stop as if exhausted.
          if (!open->InsertKey(fresh->manhattan + fresh->conflicts, fresh)) full = true;
        }
        ReleaseMoves(moves);
        if (full) current = nullptr;
      }
    }
    if (!current) return false;
    for (TBoard* board = current; board->parent; board = board->parent) path.push_back(board->move);
    std::reverse(path.begin(), path.end());
    return true;
  } catch (const std::bad_alloc&) {
    // Out of memory for a board or a tree node: end as an exhausted search, releasing what was built.
    ReleaseMoves(moves);
    path.clear();
    return false;
  }
}
} // namespace

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
      solved = search->Run(control) == TPackedSearch::Solved && !Terminated();
      if (solved) path = search->Path();
    } else {
      solved = SearchBoards(*startBoard, goalCells, maxDepth, limit, control, path) && !Terminated();
    }
  } catch (const std::bad_alloc&) {
    solved = false;
  }

  if (solved) {
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
