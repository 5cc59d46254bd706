// quendrel-solve: solves the boards read from standard input, several at once, and prints their solutions in
// the order read.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/solve/BoardLine.h"
#include "app/solve/SolveMethods.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/Thread.h"
#include "engine/OptimalSearch.h"
#include "engine/SearchThread.h"

namespace {
const char* const Usage = R"(Usage: quendrel-solve [OPTION]...
Solves sliding-tile boards read from standard input, one a line:
  ROWS COLS c1 ... cN
with 2 to 6 rows and columns and the N cells row by row, 0 for the blank. The goal holds the tiles
1 .. N-1 in order with the blank last. For each board one line is printed, in the order read:
  LENGTH t1 t2 ...
the number of moves, then the tile that each move slides. Empty lines are skipped.

Options:
  --method METHOD       optimal  a shortest solution (boards of at most 16 cells)
                        chain    the game's Search: run after run, each bounded one move below the
                                 last solution, until a run finds nothing; the last solution found
                        first    the first solution of the game's Search
                        Without this option boards of at most 16 cells are solved optimally and
                        larger ones by the improving search.
  --time-limit SECONDS  the longest search for one board. When it runs out, chain gives the best
                        solution found so far; optimal and first give none. Building the pattern
                        databases of a board shape on its first use does not count.
  --jobs N              boards solved at once (default: the number of processors); with chain and
                        first each search takes its share of the free memory.
  --help                this text

A line that is not a solvable board (wrong count, not a permutation of 0 .. N-1, unsolvable, a size
outside 2 .. 6, anything but numbers, longer than 4096 characters), and a board left without a
solution, get a message on standard error naming the line instead of a line of output; the other
boards are still solved. The optimal search keeps its pattern databases in
${XDG_CACHE_HOME:-$HOME/.cache}/quendrel and rebuilds any file there that is not exactly right.

Exit status: 0 when every board was solved, 1 when some board was left without a solution, 2 when
some line was not a board or an option was wrong.
)";

struct TOptions {
  TSolveMethod method = TSolveMethod::Auto;
  TTimeLimit limit = 0;
  unsigned jobs = 0;
};

enum class TParsed { Run, Help, Wrong };

TParsed ParseOptions(int argc, char** argv, TOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i], value;
    if (name == "--help" || name == "-h") return TParsed::Help;
    const size_t equals = name.find('=');
    const bool takesValue =
        name.rfind("--method", 0) == 0 || name.rfind("--time-limit", 0) == 0 || name.rfind("--jobs", 0) == 0;
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    } else if (takesValue) {
      if (i + 1 >= argc) {
        error = "option " + name + " needs a value";
        return TParsed::Wrong;
      }
      value = argv[++i];
    }
    if (name == "--method") {
      if (value == "optimal")
        options.method = TSolveMethod::Optimal;
      else if (value == "chain")
        options.method = TSolveMethod::Chain;
      else if (value == "first")
        options.method = TSolveMethod::First;
      else {
        error = "unknown method \"" + value + "\" (optimal, chain or first)";
        return TParsed::Wrong;
      }
    } else if (name == "--time-limit") {
      char* end = nullptr;
      errno = 0;
      const double seconds = std::strtod(value.c_str(), &end);
      if (value.empty() || *end || errno || !std::isfinite(seconds) || seconds <= 0) {
        error = "the time limit must be a positive number of seconds, not \"" + value + "\"";
        return TParsed::Wrong;
      }
      options.limit = seconds;
    } else if (name == "--jobs") {
      char* end = nullptr;
      errno = 0;
      const long jobs = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end || errno || jobs < 1 || jobs > 1024) {
        error = "the number of jobs must be 1 .. 1024, not \"" + value + "\"";
        return TParsed::Wrong;
      }
      options.jobs = static_cast<unsigned>(jobs);
    } else {
      error = "unknown option " + name;
      return TParsed::Wrong;
    }
  }
  return TParsed::Run;
}

// Standard input a line at a time. A line longer than MaxBoardLine is kept only in part and reported.
class TLineReader {
 public:
  explicit TLineReader(int fd) : fd(fd) {}

  // False at the end of the input.
  bool Next(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    bool any = false;
    for (;;) {
      if (at == end) {
        if (ended || !Fill()) return any;
      }
      any = true;
      const char* start = buffer + at;
      const char* newline = static_cast<const char*>(std::memchr(start, '\n', end - at));
      const size_t length = newline ? static_cast<size_t>(newline - start) : end - at;
      const size_t room = MaxBoardLine + 1 - std::min(line.size(), MaxBoardLine + 1);
      line.append(start, std::min(length, room));
      if (line.size() > MaxBoardLine) tooLong = true;
      at += length + (newline ? 1 : 0);
      if (newline) return true;
    }
  }

 private:
  bool Fill() {
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ended = true;
        return false;
      }
      at = 0;
      end = static_cast<size_t>(n);
      return true;
    }
  }

  int fd;
  char buffer[1 << 16];
  size_t at = 0, end = 0;
  bool ended = false;
};

struct TTask {
  size_t lineNumber = 0;
  TBoardLine board;
  bool isBoard = false;
  bool done = false;
  TSolveResult result;
};

// Lines go in as they are read, are solved by the workers in any order, and come out in the order read. A
// worker that finds no line left helps the earliest optimal search still running.
class TSolvePipeline final : public TSearchRegistry {
 public:
  TSolvePipeline(const TOptions& options) : options(options) {}

  int Run() {
    std::thread reader([this] { Read(); });
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < options.jobs; ++i) workers.emplace_back([this] { Work(); });
    const int status = Print();
    reader.join();
    for (auto& worker : workers) worker.join();
    return status;
  }

 private:
  // Tasks read but not yet printed, at most: bounds the memory a long input takes.
  static constexpr size_t MaxPending = 4096;

  void Read() {
    TLineReader input(0);
    std::string text;
    bool tooLong = false;
    for (size_t number = 1; input.Next(text, tooLong); ++number) {
      auto task = std::make_unique<TTask>();
      task->lineNumber = number;
      const TBoardLine::TKind kind = TBoardLine::Parse(text, task->board);
      if (kind == TBoardLine::Empty) continue;
      task->isBoard = kind == TBoardLine::Board;
      task->done = !task->isBoard;
      std::unique_lock guard(lock);
      changed.wait(guard, [&] { return tasks.size() < MaxPending; });
      tasks.push_back(std::move(task));
      changed.notify_all();
    }
    std::lock_guard guard(lock);
    inputEnded = true;
    changed.notify_all();
  }

  void Work() {
    for (;;) {
      TTask* task = nullptr;
      std::shared_ptr<TOptimalSearch> help;
      {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] {
          // Lines that are not boards may have been printed already.
          nextToSolve = std::max(nextToSolve, printed);
          while (nextToSolve < printed + tasks.size() && !tasks[nextToSolve - printed]->isBoard)
            ++nextToSolve;
          // A board being solved may not have begun its search yet (its tables may still be loading):
          // wait for it rather than leave it to solve alone.
          return nextToSolve < printed + tasks.size() || !running.empty() || (inputEnded && solving == 0);
        });
        if (nextToSolve < printed + tasks.size()) {
          task = tasks[nextToSolve++ - printed].get();
          ++solving;
        } else if (!running.empty()) {
          help = running.front();
        } else {
          return;
        }
      }
      if (help) {
        help->Help();
        // Its owner takes it off the list at once; meanwhile there is nothing else to do.
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return running.empty() || running.front() != help; });
        continue;
      }
      // With one worker there is nobody to help a search.
      TSolveResult result =
          Solve(task->board, options.method, options.limit, options.jobs > 1 ? this : nullptr);
      std::lock_guard guard(lock);
      task->result = std::move(result);
      task->done = true;
      --solving;
      changed.notify_all();
    }
  }

  void Started(const std::shared_ptr<TOptimalSearch>& search) override {
    std::lock_guard guard(lock);
    running.push_back(search);
    changed.notify_all();
  }

  void Ended(const TOptimalSearch* search) override {
    std::lock_guard guard(lock);
    std::erase_if(running, [&](const auto& entry) { return entry.get() == search; });
    changed.notify_all();
  }

  int Print() {
    bool badLine = false, unsolved = false;
    for (;;) {
      std::unique_ptr<TTask> task;
      {
        std::unique_lock guard(lock);
        if (tasks.empty() || !tasks.front()->done) {
          guard.unlock();
          std::fflush(stdout);
          guard.lock();
        }
        changed.wait(
            guard, [&] { return (!tasks.empty() && tasks.front()->done) || (tasks.empty() && inputEnded); });
        if (tasks.empty()) break;
        task = std::move(tasks.front());
        tasks.pop_front();
        ++printed;
        changed.notify_all();
      }
      if (!task->isBoard) {
        badLine = true;
        std::fprintf(stderr, "quendrel-solve: line %zu: %s\n", task->lineNumber, task->board.reason.c_str());
      } else if (!task->result.solved) {
        unsolved = true;
        std::fprintf(stderr, "quendrel-solve: line %zu: %s\n", task->lineNumber, task->result.reason.c_str());
      } else {
        std::string line = std::to_string(task->result.tiles.size());
        for (const int32_t tile : task->result.tiles) line += " " + std::to_string(tile);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
      }
    }
    std::fflush(stdout);
    return badLine ? 2 : unsolved ? 1 : 0;
  }

  const TOptions& options;
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::unique_ptr<TTask>> tasks; // from the first one not printed yet
  size_t printed = 0;                       // tasks printed: the number of the first in `tasks`
  size_t nextToSolve = 0;
  size_t solving = 0; // boards taken by a worker and not solved yet
  bool inputEnded = false;
  std::deque<std::shared_ptr<TOptimalSearch>> running; // optimal searches, the earliest first
};

unsigned gJobs = 1;

// Searches of the game's kind run side by side: each takes its share of the free memory.
void SharedMemoryStatus(MEMORYSTATUS* status) {
  GlobalMemoryStatus(status);
  status->dwAvailPhys /= gJobs;
}
} // namespace

int main(int argc, char** argv) {
  TOptions options;
  std::string error;
  switch (ParseOptions(argc, argv, options, error)) {
  case TParsed::Help:
    std::fputs(Usage, stdout);
    return 0;
  case TParsed::Wrong:
    std::fprintf(stderr, "quendrel-solve: %s\nTry 'quendrel-solve --help'.\n", error.c_str());
    return 2;
  case TParsed::Run:
    break;
  }
  if (options.jobs == 0) options.jobs = std::max(1u, std::thread::hardware_concurrency());
  SetMainThread();
  gJobs = options.jobs;
  if (options.jobs > 1) TSearchThread::MemoryStatus = SharedMemoryStatus;
  TSolvePipeline pipeline(options);
  return pipeline.Run();
}
