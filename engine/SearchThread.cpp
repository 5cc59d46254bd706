#include "engine/SearchThread.h"

#include <memory>
#include <new>

#include "classlib/core/DateTime.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/List.h"
#include "classlib/core/Stack.h"
#include "engine/Board.h"
#include "engine/FibHeap.h"
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
} // namespace

void TSearchThread::Execute() {
  const TDateTime t0 = Now();
  TStack stack;
  TList moves;
  {
    // Declared in this order so that the visited set, which owns every board, goes first.
    std::unique_ptr<TFibHeap, HeapDeleter> open(TFibHeap::MakeKeyHeap());
    CMyTree visited(CompareBoards);

    TBoard* current = nullptr;
    try {
      // Without an open list, or without room for its first entry, the search ends as an exhausted one.
      TBoard* root = new TBoard(startBoard->rows, startBoard->cols, startBoard->cells);
      visited.Add(root);
      if (open && open->InsertKey(root->manhattan + root->conflicts, root)) current = root;

      MEMORYSTATUS memory;
      (MemoryStatus ? MemoryStatus : GlobalMemoryStatus)(&memory);
      const int32_t limit = static_cast<int32_t>(memory.dwAvailPhys >> 3);

      while (current && !current->IsEqual(goalCells) && !Terminated()) {
        Sleep(0);
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
            fresh->Evaluate(goalCells);
            // An entry the open list cannot hold would be lost from the search: stop as if exhausted.
            if (!open->InsertKey(fresh->manhattan + fresh->conflicts, fresh)) full = true;
          }
          ReleaseMoves(moves);
          if (full) current = nullptr;
        }
      }
    } catch (const std::bad_alloc&) {
      // Out of memory for a board or a tree node: end as an exhausted search, releasing what was built.
      ReleaseMoves(moves);
      current = nullptr;
    }

    if (current && !Terminated()) {
      try {
        for (TBoard* board = current; board->parent; board = board->parent) {
          auto move = std::make_unique<TMove>(board->move);
          stack.Push(move.get());
          move.release();
        }
      } catch (const std::bad_alloc&) {
        while (stack.Count() > 0) delete static_cast<TMove*>(stack.Pop());
      }
    }
  } // the visited set deletes every board, then the open list releases its entries
  const int before = resultList->Count();
  try {
    while (stack.Count() > 0) {
      std::unique_ptr<TMove> move(static_cast<TMove*>(stack.Pop()));
      resultList->Add(move.get());
      move.release();
    }
  } catch (const std::bad_alloc&) {
    // Half a solution is no solution.
    while (stack.Count() > 0) delete static_cast<TMove*>(stack.Pop());
    while (resultList->Count() > before) {
      delete static_cast<TMove*>(resultList->Last());
      resultList->Delete(resultList->Count() - 1);
    }
  }
  *elapsedOut = Now() - t0;
}
