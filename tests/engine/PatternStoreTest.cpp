#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <thread>

#include <gtest/gtest.h>

#include "engine/PatternDatabase.h"
#include "engine/PatternStore.h"

namespace {
namespace fs = std::filesystem;

// Counts the progress reports of a build and may cancel it at a given share.
struct TCountingBuild final : TPatternDatabase::TBuildControl {
  bool Progress(double done) override {
    if (done < last) backwards = true;
    last = done;
    ++reports;
    return done < cancelAt;
  }
  int reports = 0;
  double last = 0, cancelAt = 2;
  bool backwards = false;
};

// A private cache folder for the test, named by XDG_CACHE_HOME.
class PatternStore : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("XDG_CACHE_HOME");
    if (previous) saved = previous, hadValue = true;
    folder = fs::temp_directory_path() / ("quendrel-patterns-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
    TPatternStore::Forget();
  }
  void TearDown() override {
    TPatternStore::Forget();
    if (hadValue)
      ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else
      ::unsetenv("XDG_CACHE_HOME");
    fs::remove_all(folder);
  }

  static std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  fs::path folder;
  std::string saved;
  bool hadValue = false;
};

std::vector<uint8_t> Image(const TPatternDatabase& database) {
  const auto bytes = database.Serialize();
  return {bytes.begin(), bytes.end()};
}

std::unique_ptr<TPatternDatabase> Parse(std::vector<uint8_t> bytes, const TPatternLayout& layout,
                                        std::string& reason) {
  return TPatternDatabase::Deserialize(std::move(bytes), layout, reason);
}
} // namespace

TEST_F(PatternStore, TheCacheFolderFollowsTheEnvironment) {
  EXPECT_EQ(TPatternStore::CacheFolder(), folder.string() + "/quendrel/");
  EXPECT_EQ(TPatternStore::CacheFile(4, 4), folder.string() + "/quendrel/patterns-4x4.db");
  // A relative XDG_CACHE_HOME is ignored, as the XDG rules say; without any home there is no cache.
  ::setenv("XDG_CACHE_HOME", "relative/cache", 1);
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(TPatternStore::CacheFolder(), "/home/someone/.cache/quendrel/");
  ::unsetenv("HOME");
  EXPECT_EQ(TPatternStore::CacheFolder(), "");
  EXPECT_EQ(TPatternStore::CacheFile(3, 3), "");
  if (home) ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(PatternStore, ABuildIsWrittenOnceAndReadBackAfterwards) {
  TCountingBuild build;
  const auto built = TPatternStore::Obtain(3, 3, build);
  ASSERT_TRUE(built);
  EXPECT_GT(build.reports, 0);
  EXPECT_FALSE(build.backwards);
  EXPECT_EQ(build.last, 1.0);
  // Held: the same instance, without building.
  TCountingBuild again;
  EXPECT_EQ(TPatternStore::Obtain(3, 3, again), built);
  EXPECT_EQ(TPatternStore::Find(3, 3), built);
  EXPECT_EQ(again.reports, 0);
  // Written whole, with no temporary file left beside it.
  const fs::path file = TPatternStore::CacheFile(3, 3);
  EXPECT_EQ(Bytes(file), Image(*built));
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
  // After the program forgot it, the file is read, not built again.
  TPatternStore::Forget();
  EXPECT_FALSE(TPatternStore::Find(3, 3));
  TCountingBuild read;
  const auto loaded = TPatternStore::Obtain(3, 3, read);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(read.reports, 0);
  EXPECT_EQ(Image(*loaded), Image(*built));
}

TEST_F(PatternStore, AWrongCacheFileIsRebuiltAndReplaced) {
  TCountingBuild first;
  const std::vector<uint8_t> good = Image(*TPatternStore::Obtain(2, 4, first));
  const fs::path file = TPatternStore::CacheFile(2, 4);
  const TPatternLayout layout = TPatternLayout::For(2, 4);
  std::vector<std::vector<uint8_t>> wrong;
  wrong.push_back({});                                                 // empty
  wrong.push_back(std::vector<uint8_t>(good.begin(), good.end() - 1)); // cut short
  wrong.push_back(good), wrong.back().push_back(0);                    // one byte more
  for (size_t at : {size_t{0}, size_t{9}, size_t{13}, size_t{17}, size_t{40}, size_t{64}, good.size() - 1}) {
    wrong.push_back(good);
    wrong.back()[at] ^= 0x10; // magic, version, shape, split of tiles, checksum, tables
  }
  for (const auto& bytes : wrong) {
    std::string reason;
    EXPECT_FALSE(Parse(bytes, layout, reason)) << reason;
    EXPECT_FALSE(reason.empty());
    Write(file, bytes);
    TPatternStore::Forget();
    TCountingBuild rebuild;
    const auto database = TPatternStore::Obtain(2, 4, rebuild);
    ASSERT_TRUE(database);
    EXPECT_GT(rebuild.reports, 0) << "a wrong file was trusted";
    EXPECT_EQ(Image(*database), good);
    EXPECT_EQ(Bytes(file), good);
  }
  // The bytes of another shape are refused for this one, even with their own checksum right.
  std::string reason;
  TCountingBuild other;
  EXPECT_FALSE(Parse(Image(*TPatternStore::Obtain(4, 2, other)), layout, reason));
  // A table that does not put the goal at distance 0 was not built for this goal, whatever its checksum.
  std::vector<uint8_t> forged = good;
  for (size_t i = 64; i < forged.size(); ++i) forged[i] = 0x11;
  const uint64_t sum = TPatternDatabase::Checksum(forged.data() + 64, forged.size() - 64);
  for (int i = 0; i < 8; ++i) forged[40 + static_cast<size_t>(i)] = static_cast<uint8_t>(sum >> (8 * i));
  EXPECT_FALSE(Parse(forged, layout, reason));
  EXPECT_EQ(reason, "the goal is not at distance 0");
  EXPECT_TRUE(Parse(good, layout, reason));
}

TEST_F(PatternStore, OnlyRegularFilesAreRead) {
  const TPatternLayout layout = TPatternLayout::For(2, 3);
  fs::create_directories(folder);
  std::string reason;
  EXPECT_FALSE(TPatternStore::ReadFile((folder / "missing").string(), layout, reason));
  EXPECT_FALSE(reason.empty());
  fs::create_directories(folder / "a-folder");
  EXPECT_FALSE(TPatternStore::ReadFile((folder / "a-folder").string(), layout, reason));
  const fs::path fifo = folder / "a-fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Refused at once, without waiting for a writer.
  EXPECT_FALSE(TPatternStore::ReadFile(fifo.string(), layout, reason));
}

TEST_F(PatternStore, AnUnwritableCacheStillGivesTheDatabases) {
  // The cache folder's place is taken by a file: the databases are built and held, only not cached.
  fs::create_directories(folder);
  Write(folder / "quendrel", {1, 2, 3});
  TCountingBuild build;
  EXPECT_TRUE(TPatternStore::Obtain(2, 3, build));
  EXPECT_TRUE(fs::is_regular_file(folder / "quendrel"));
}

TEST_F(PatternStore, ACancelledBuildGivesNothingAndLeavesNoFile) {
  TCountingBuild cancel;
  cancel.cancelAt = 0.5;
  EXPECT_FALSE(TPatternStore::Obtain(3, 3, cancel));
  EXPECT_FALSE(TPatternStore::Find(3, 3));
  EXPECT_FALSE(fs::exists(TPatternStore::CacheFile(3, 3)));
  EXPECT_LT(cancel.last, 1.0);
  // Groups built side by side stop as well.
  TCountingBuild early;
  early.cancelAt = 0;
  EXPECT_FALSE(TPatternDatabase::Build(TPatternLayout::For(3, 4), early));
  EXPECT_LT(early.last, 0.5);
  // The next caller builds it.
  TCountingBuild build;
  EXPECT_TRUE(TPatternStore::Obtain(3, 3, build));
  // Shapes without databases give none.
  EXPECT_FALSE(TPatternStore::Obtain(5, 5, build));
  EXPECT_FALSE(TPatternStore::Obtain(1, 9, build));
}

TEST_F(PatternStore, ThreadsAskingTogetherShareOneBuild) {
  std::vector<std::shared_ptr<const TPatternDatabase>> got(6);
  std::atomic<int> builds{0};
  std::vector<std::thread> threads;
  for (auto& slot : got)
    threads.emplace_back([&] {
      struct TOnce final : TPatternDatabase::TBuildControl {
        explicit TOnce(std::atomic<int>& builds) : builds(builds) {}
        bool Progress(double done) override {
          // Waiting for another thread's build reports nothing done.
          if (done > 0 && !counted) counted = true, ++builds;
          return true;
        }
        std::atomic<int>& builds;
        bool counted = false;
      } control(builds);
      slot = TPatternStore::Obtain(3, 3, control);
    });
  for (auto& thread : threads) thread.join();
  for (const auto& database : got) EXPECT_EQ(database, got.front());
  EXPECT_TRUE(got.front());
  EXPECT_EQ(builds.load(), 1);
}

TEST(PatternBytes, LargeBlocksStartOnALargePageAndSmallOnesStillWork) {
  // Large blocks are asked of the system page-aligned, so that it may back them with large pages; small ones
  // come from the ordinary heap. Either way the bytes are kept through growth and copies.
  TPatternBytes large(size_t{3} << 20, 7), small(100, 9);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(large.data()) % (uintptr_t{2} << 20), 0u);
  large.back() = 8;
  small.resize(size_t{5} << 20, 1);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(small.data()) % (uintptr_t{2} << 20), 0u);
  EXPECT_EQ(small[99], 9);
  EXPECT_EQ(small.back(), 1);
  const TPatternBytes copy = large;
  EXPECT_EQ(copy.front(), 7);
  EXPECT_EQ(copy.back(), 8);
  small.resize(10);
  small.shrink_to_fit();
  EXPECT_EQ(small[9], 9);
}
