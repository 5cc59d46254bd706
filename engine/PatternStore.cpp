#include "engine/PatternStore.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "classlib/core/SysUtils.h"

namespace {
struct TShapeEntry {
  std::shared_ptr<const TPatternDatabase> database;
  bool building = false;
};

// Never destroyed: workers may still obtain databases while statics go at exit.
struct TStoreState {
  std::mutex lock;
  std::condition_variable built;
  std::map<std::pair<int32_t, int32_t>, TShapeEntry> shapes;
};

TStoreState& State() {
  static TStoreState& state = *new TStoreState;
  return state;
}

bool IsAbsolute(const char* path) {
  return path && path[0] == '/';
}

// Moves exactly `size` bytes with read(2) or write(2), or fails.
template <class Data, class Call> bool Transfer(int fd, Data* data, size_t size, Call call) {
  while (size > 0) {
    const ssize_t n = call(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::shared_ptr<const TPatternDatabase> LoadOrBuild(int32_t rows, int32_t cols,
                                                    TPatternDatabase::TBuildControl& control) {
  const TPatternLayout layout = TPatternLayout::For(rows, cols);
  const std::string file = TPatternStore::CacheFile(rows, cols);
  std::string reason;
  if (!file.empty())
    if (auto cached = TPatternStore::ReadFile(file, layout, reason)) return cached;
  std::shared_ptr<const TPatternDatabase> built = TPatternDatabase::Build(layout, control);
  // A cache that cannot be written costs the next run a build, nothing more.
  if (built && !file.empty() && ForceDirectories(TPatternStore::CacheFolder()))
    (void)TPatternStore::WriteFile(file, *built, reason);
  return built;
}
} // namespace

std::shared_ptr<const TPatternDatabase> TPatternStore::Find(int32_t rows, int32_t cols) {
  TStoreState& state = State();
  std::lock_guard guard(state.lock);
  const auto found = state.shapes.find({rows, cols});
  return found == state.shapes.end() ? nullptr : found->second.database;
}

std::shared_ptr<const TPatternDatabase> TPatternStore::Obtain(int32_t rows, int32_t cols,
                                                              TPatternDatabase::TBuildControl& control) {
  if (!TPatternLayout::Supported(rows, cols)) return nullptr;
  TStoreState& state = State();
  std::unique_lock guard(state.lock);
  TShapeEntry& entry = state.shapes[{rows, cols}];
  while (!entry.database && entry.building) {
    // Another thread builds it: wait, but stay cancellable.
    state.built.wait_for(guard, std::chrono::milliseconds(50));
    if (!entry.database && entry.building && !control.Progress(0.0)) return nullptr;
  }
  if (entry.database) return entry.database;
  entry.building = true;
  guard.unlock();
  std::shared_ptr<const TPatternDatabase> database;
  try {
    database = LoadOrBuild(rows, cols, control);
  } catch (...) {
    guard.lock();
    entry.building = false;
    state.built.notify_all();
    throw;
  }
  guard.lock();
  entry.building = false;
  if (database) entry.database = database;
  state.built.notify_all();
  return database;
}

void TPatternStore::Forget() {
  TStoreState& state = State();
  std::lock_guard guard(state.lock);
  // Entries stay: a thread waiting for a build holds a reference to its shape's.
  for (auto& [shape, entry] : state.shapes) entry.database.reset();
}

std::string TPatternStore::CacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (IsAbsolute(cache)) return IncludeTrailingPathDelimiter(cache) + "quendrel/";
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return IncludeTrailingPathDelimiter(home) + ".cache/quendrel/";
  return {};
}

std::string TPatternStore::CacheFile(int32_t rows, int32_t cols) {
  const std::string folder = CacheFolder();
  if (folder.empty()) return {};
  return folder + "patterns-" + std::to_string(rows) + "x" + std::to_string(cols) + ".db";
}

std::unique_ptr<TPatternDatabase> TPatternStore::ReadFile(const std::string& path,
                                                          const TPatternLayout& layout, std::string& reason) {
  AnsiString why;
  const int fd = OpenRegularFile(path, O_RDONLY, why);
  if (fd < 0) {
    reason = why;
    return nullptr;
  }
  // The size is checked before anything is allocated.
  struct stat st {};
  const size_t expected = TPatternDatabase::FileSize(layout);
  TPatternBytes bytes;
  if (::fstat(fd, &st) != 0 || st.st_size < 0 || static_cast<uint64_t>(st.st_size) != expected) {
    reason = "wrong size";
  } else {
    bytes.resize(expected);
    // One byte more than expected is asked for, so that a file grown since fstat is noticed.
    uint8_t extra;
    if (!Transfer(fd, bytes.data(), expected, ::read) || ::read(fd, &extra, 1) != 0) {
      reason = "cannot be read whole";
      bytes.clear();
    }
  }
  ::close(fd);
  if (bytes.empty()) return nullptr;
  return TPatternDatabase::Deserialize(std::move(bytes), layout, reason);
}

bool TPatternStore::WriteFile(const std::string& path, const TPatternDatabase& database,
                              std::string& reason) {
  static std::atomic<unsigned> serial{0};
  const std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  const std::span<const uint8_t> bytes = database.Serialize();
  bool ok = Transfer(fd, bytes.data(), bytes.size(), ::write) && ::fsync(fd) == 0;
  if (!ok) reason = std::strerror(errno ? errno : EIO);
  if (::close(fd) != 0 && ok) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
}
