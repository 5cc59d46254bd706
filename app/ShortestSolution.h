#pragma once
// The worker behind Shortest Solution and Hint. Boards of at most 16 cells get an exact search over their
// shape's pattern databases (built on the first board of a shape, with progress, then held and cached);
// larger ones the improving search, which hands over each shorter solution as it finds it. What the solver
// reports is handed to the user-interface thread, where the game takes it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "classlib/core/Thread.h"
#include "engine/Board.h"

// One board to solve, row by row with the blank as -1.
struct TSolveRequest {
  int32_t rows = 0;
  int32_t cols = 0;
  std::vector<int32_t> cells;
  // Seconds the improving search may take; 0 for as long as it finds shorter solutions.
  double timeLimit = 0;
};

// What a solver sees of the worker it runs on; every call comes from the worker's thread.
class TSolverContext {
 public:
  virtual bool StopRequested() const = 0;
  // The board shape's tables are being built: Done runs from 0 to 1, and 1 says the search proper begins.
  virtual void BuildProgress(double Done) = 0;
  // A solution shorter than every one before it, in playing order; Optimal when none is shorter.
  virtual void Improved(const std::vector<TMove>& Solution, bool Optimal) = 0;

 protected:
  ~TSolverContext() = default;
};

using TSolver = std::function<void(const TSolveRequest& Request, TSolverContext& Context)>;

// The engines' solver: exact up to 16 cells, improving above.
void SolveShortest(const TSolveRequest& Request, TSolverContext& Context);
// Whether SolveShortest finds a shortest solution for a board of Rows x Cols.
bool ExactlySolvable(int32_t Rows, int32_t Cols);

// Runs a solver once, created suspended. Its handlers run on the user-interface thread while the worker
// waits; the termination event comes after the last of them.
class TShortestSolutionThread : public TThread, private TSolverContext {
 public:
  TShortestSolutionThread(TSolver Solver, TSolveRequest Request);
  ~TShortestSolutionThread() override;

  std::function<void(TShortestSolutionThread* Sender, double Done)> OnBuildProgress;
  std::function<void(TShortestSolutionThread* Sender, const std::vector<TMove>& Solution, bool Optimal)>
      OnImproved;

  // Days since the run began; once it has ended, its whole length.
  double ElapsedDays() const;

 protected:
  void Execute() override;

 private:
  bool StopRequested() const override { return Terminated(); }
  void BuildProgress(double Done) override;
  void Improved(const std::vector<TMove>& Solution, bool Optimal) override;

  TSolver solver;
  TSolveRequest request;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now(); // again when it runs
  std::chrono::steady_clock::time_point ended; // set last, before Execute returns
  int shownPercent = -1;                       // the build's last percentage handed over
};
