#include "app/ShortestSolution.h"

#include <algorithm>
#include <cmath>

#include "engine/ImprovingSearch.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternStore.h"

namespace {

using TSteady = std::chrono::steady_clock;

class TBuildControl final : public TPatternDatabase::TBuildControl {
 public:
  explicit TBuildControl(TSolverContext& Context) : context(Context) {}
  bool Progress(double Done) override {
    context.BuildProgress(Done);
    return !context.StopRequested();
  }

 private:
  TSolverContext& context;
};

class TStopControl final : public TOptimalSearch::TControl {
 public:
  explicit TStopControl(TSolverContext& Context) : context(Context) {}
  bool Continue() override { return !context.StopRequested(); }

 private:
  TSolverContext& context;
};

} // namespace

bool ExactlySolvable(int32_t Rows, int32_t Cols) {
  return Rows * Cols <= MaxPatternCells && TPatternLayout::Supported(Rows, Cols);
}

void SolveShortest(const TSolveRequest& Request, TSolverContext& Context) {
  const size_t count = static_cast<size_t>(Request.rows) * static_cast<size_t>(Request.cols);
  if (Request.rows <= 0 || Request.cols <= 0 || Request.cells.size() != count) return;
  if (ExactlySolvable(Request.rows, Request.cols)) {
    std::shared_ptr<const TPatternDatabase> database = TPatternStore::Find(Request.rows, Request.cols);
    if (!database) {
      TBuildControl build(Context);
      database = TPatternStore::Obtain(Request.rows, Request.cols, build);
      Context.BuildProgress(1.0);
    }
    if (!database || Context.StopRequested()) return;
    TOptimalSearch search(*database);
    TStopControl stop(Context);
    if (search.Run(Request.cells.data(), stop) == TOptimalSearch::Solved)
      Context.Improved(search.Path(), true);
    return;
  }
  TImprovingLimits limits;
  limits.stopRequested = [&Context] { return Context.StopRequested(); };
  if (Request.timeLimit > 0)
    limits.deadline = TSteady::now() + std::chrono::duration_cast<TSteady::duration>(
                                           std::chrono::duration<double>(Request.timeLimit));
  ImprovingSearch(Request.rows, Request.cols, Request.cells.data(), limits,
                  [&Context](const std::vector<TMove>& Solution) { Context.Improved(Solution, false); });
}

TShortestSolutionThread::TShortestSolutionThread(TSolver Solver, TSolveRequest Request)
    : TThread(true), solver(std::move(Solver)), request(std::move(Request)) {}

TShortestSolutionThread::~TShortestSolutionThread() {
  Shutdown(); // Execute reads this object's members
}

double TShortestSolutionThread::ElapsedDays() const {
  const TSteady::time_point until = Finished() ? ended : TSteady::now();
  return std::chrono::duration<double>(until - started).count() / 86400.0;
}

void TShortestSolutionThread::Execute() {
  started = TSteady::now();
  try {
    if (solver) solver(request, *this);
  } catch (...) {
    ended = TSteady::now();
    throw; // the thread keeps it; the run ends without a solution
  }
  ended = TSteady::now();
}

void TShortestSolutionThread::BuildProgress(double Done) {
  // Whole percents only, and the end only when a start was shown: the status line is not flooded.
  const int percent = static_cast<int>(std::floor(std::clamp(Done, 0.0, 1.0) * 100));
  if (percent == shownPercent || (percent == 100 && shownPercent < 0)) return;
  shownPercent = percent;
  if (OnBuildProgress) Synchronize([this, Done] { OnBuildProgress(this, Done); });
}

void TShortestSolutionThread::Improved(const std::vector<TMove>& Solution, bool Optimal) {
  if (OnImproved) Synchronize([this, &Solution, Optimal] { OnImproved(this, Solution, Optimal); });
}
