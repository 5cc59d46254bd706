// skingen <outdir>: writes every built-in skin picture as <outdir>/<NAME>.bmp and a line per picture
// ("name width height pieces") to <outdir>/index.txt, and the resource list that compiles them into a program
// ("NAME=NAME.bmp") to <outdir>/resources.txt.
#include "tools/skingen/BmpFile.h"
#include "tools/skingen/SkinCatalogue.h"

#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skingen <outdir>\n";
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  if (ec) {
    std::cerr << "skingen: cannot create " << out << ": " << ec.message() << "\n";
    return 1;
  }
  std::ofstream index(out / "index.txt");
  std::ofstream resources(out / "resources.txt");
  for (const skingen::SkinPicture& p : skingen::skinCatalogue()) {
    const skingen::Image image = skingen::renderPicture(p);
    const std::string file = (out / (p.name + ".bmp")).string();
    if (!skingen::writeBmp(file, image)) {
      std::cerr << "skingen: cannot write " << file << "\n";
      return 1;
    }
    index << p.name << ' ' << p.width << ' ' << p.height << ' ' << p.pieces << '\n';
    resources << p.name << '=' << p.name << ".bmp\n";
  }
  if (!index || !resources) {
    std::cerr << "skingen: cannot write the index\n";
    return 1;
  }
  return 0;
}
