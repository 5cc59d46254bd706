// icongen <outdir> <size>...: draws the program's icon (the art of the window icon, MAINICON) at each size
// and writes it as <outdir>/<size>x<size>/apps/quendrel.png, with the picture's outside transparent.
#include "tools/skingen/Image.h"
#include "tools/skingen/SkinCatalogue.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <png.h>

namespace {

constexpr int LargestSize = 1024;

bool writePng(const std::filesystem::path& path, const skingen::RgbaImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGBA;
  const bool written = png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0, nullptr) != 0;
  png_image_free(&png);
  return written;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: icongen <outdir> <size>...\n";
    return 2;
  }
  const skingen::SkinPicture* art = skingen::findPicture("MAINICON");
  if (!art) {
    std::cerr << "icongen: the catalogue has no MAINICON\n";
    return 1;
  }
  const std::filesystem::path out = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const int size = std::atoi(arg.c_str());
    if (size < 16 || size > LargestSize || std::to_string(size) != arg) {
      std::cerr << "icongen: not an icon size: " << arg << "\n";
      return 2;
    }
    const std::filesystem::path folder = out / (arg + "x" + arg) / "apps";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path file = folder / "quendrel.png";
    if (ec || !writePng(file, skingen::toRgbaImage(art->draw(art->style, 0, size, size)))) {
      std::cerr << "icongen: cannot write " << file << "\n";
      return 1;
    }
  }
  return 0;
}
