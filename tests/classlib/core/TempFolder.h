#pragma once
// A fresh folder under the temporary folder for one test, removed with everything in it afterwards.
#include <cstdlib>
#include <filesystem>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quendrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Path = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!Path.empty()) std::filesystem::remove_all(Path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return Path + "/" + name; }

  std::string Path;
};
