#pragma once
// The pattern databases of the running program: one shared instance per board shape, read from the user's
// cache folder or built on first use and then written there. A cache file is checked (size, shape, version,
// checksum) and rebuilt when anything is wrong; it is replaced atomically.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/PatternDatabase.h"

class TPatternStore {
 public:
  // The databases of rows x cols when they are held already, else null.
  static std::shared_ptr<const TPatternDatabase> Find(int32_t rows, int32_t cols);
  // The databases of rows x cols: held, read from the cache, or built with `control` (which may cancel) and
  // then cached. Null when the shape has none or the build was cancelled. Safe from any thread: a caller
  // that finds another thread building the same shape waits for it, polling `control` meanwhile.
  static std::shared_ptr<const TPatternDatabase> Obtain(int32_t rows, int32_t cols,
                                                        TPatternDatabase::TBuildControl& control);
  // Drops every database held (the program's own references stay valid).
  static void Forget();

  // ${XDG_CACHE_HOME:-$HOME/.cache}/quendrel/, or empty when neither is an absolute path.
  static std::string CacheFolder();
  static std::string CacheFile(int32_t rows, int32_t cols);
  // The cache file at `path` for `layout`; null with `reason` when it is missing, not a regular file, or its
  // bytes are not exactly what a build writes.
  static std::unique_ptr<TPatternDatabase> ReadFile(const std::string& path, const TPatternLayout& layout,
                                                    std::string& reason);
  // Writes through a temporary file in the same folder, renamed into place once complete.
  static bool WriteFile(const std::string& path, const TPatternDatabase& database, std::string& reason);
};
