// skinpreview <outdir>: writes a mock window per style, PREVIEW_<STYLE>.bmp, for the contact sheet.
#include "tools/skingen/BmpFile.h"
#include "tools/skingen/Preview.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skinpreview <outdir>\n";
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  for (skingen::Style s : skingen::AllStyles) {
    const std::string file = (out / ("PREVIEW_" + skingen::stylePrefix(s) + ".bmp")).string();
    if (!skingen::writeBmp(file, skingen::renderPreview(s))) {
      std::cerr << "skinpreview: cannot write " << file << "\n";
      return 1;
    }
  }
  return 0;
}
