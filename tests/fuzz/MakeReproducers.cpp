// Writes the reproducers too large to keep in the tree, one folder per fuzz target, into the folder named on
// the command line; CTest runs this before replaying the corpora.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

using TBytes = std::vector<uint8_t>;

void Put16(TBytes& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}

void Put32(TBytes& v, size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

// An 8-bit run-length BMP of the given size with a palette of two colours.
TBytes Rle8(int width, int height, const TBytes& runs) {
  TBytes f(54 + 8, 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 10, 54 + 8);
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(width));
  Put32(f, 22, static_cast<uint32_t>(height));
  Put16(f, 26, 1);
  Put16(f, 28, 8);
  Put32(f, 30, 1);
  Put32(f, 46, 2);
  f[54 + 6] = 0xFF; // colour 1 is red
  f.insert(f.end(), runs.begin(), runs.end());
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  return f;
}

// Enough runs (or deltas) to carry a 32-bit column counter of a one-pixel picture round to the line again.
TBytes ColumnWrap(bool delta) {
  TBytes runs = {1, 1};
  const size_t steps = (size_t{1} << 31) / 255 + 2;
  runs.reserve(steps * 4 + 4);
  for (size_t i = 0; i < steps; ++i) {
    if (delta)
      runs.insert(runs.end(), {0, 2, 255, 0});
    else
      runs.insert(runs.end(), {255, 1});
  }
  runs.insert(runs.end(), {0, 1});
  return Rle8(1, 1, runs);
}

// 8192 x 8192 pixels from 64 KB: each line three short runs and an end of line.
TBytes HugeFromLittle() {
  TBytes runs;
  for (int y = 0; y < 8192; ++y) runs.insert(runs.end(), {1, 1, 1, 0, 1, 1, 0, 0});
  runs.insert(runs.end(), {0, 1});
  return Rle8(8192, 8192, runs);
}

// A small progressive JPEG whose frame header claims 20000 x 20000 pixels.
TBytes ProgressiveGiant() {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = 64;
  info.image_height = 64;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(64 * 3);
  for (int y = 0; y < 64; ++y) {
    for (size_t x = 0; x < row.size(); ++x)
      row[x] = static_cast<JSAMPLE>((x * 7 + static_cast<size_t>(y) * 13) & 0xFF);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  TBytes bytes(out, out + size);
  std::free(out);
  for (size_t i = 0; i + 9 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC2) { // progressive frame: length, precision, height, width
      bytes[i + 5] = bytes[i + 7] = 20000 >> 8;
      bytes[i + 6] = bytes[i + 8] = 20000 & 0xFF;
      break;
    }
  return bytes;
}

// A 256 KiB theme file whose picture entries all point at the same 128 KiB of data.
TBytes SharedThemeData() {
  const size_t total = 256 * 1024, data = 128 * 1024;
  const size_t entries = (total - data - 24 - 77) / 77;
  TBytes f(24, 0);
  std::memcpy(f.data(), "SkinKit_TB", 10);
  Put32(f, 12, 24);
  Put32(f, 16, 1);
  Put32(f, 20, 24);
  const size_t dataAt = 24 + (entries + 1) * 77;
  for (size_t i = 0; i < entries; ++i) {
    TBytes h(77, 0);
    const std::string name = "Picture" + std::to_string(i);
    std::memcpy(h.data(), name.data(), name.size());
    h[64] = 0; // a file entry
    Put32(h, 65, static_cast<uint32_t>(dataAt));
    Put32(h, 69, static_cast<uint32_t>(data));
    Put32(h, 73, static_cast<uint32_t>(f.size() + 77));
    f.insert(f.end(), h.begin(), h.end());
  }
  TBytes terminator(77, 0);
  terminator[64] = 2;
  f.insert(f.end(), terminator.begin(), terminator.end());
  f.resize(dataAt + data, 0x42);
  return f;
}

bool Write(const std::filesystem::path& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Head, then Piece Times over, then Tail.
TBytes Repeat(const std::string& Head, const std::string& Piece, size_t Times, const std::string& Tail) {
  TBytes page(Head.begin(), Head.end());
  page.reserve(Head.size() + Piece.size() * Times + Tail.size());
  for (size_t i = 0; i < Times; ++i) page.insert(page.end(), Piece.begin(), Piece.end());
  page.insert(page.end(), Tail.begin(), Tail.end());
  return page;
}

// Banner pages under the 1 MiB a fetch takes that stalled the toolkit's layout for seconds to minutes.
bool WriteHostilePages(const std::filesystem::path& folder) {
  const std::pair<const char*, TBytes> pages[] = {
      {"nested-b-100000.htm", Repeat("", "<b>", 100000, "x")},
      {"nested-div-100000.htm", Repeat("", "<div>", 100000, "x")},
      {"nested-table-60000.htm", Repeat("", "<table><tr><td>", 60000, "x")},
      {"nested-ul-li-100000.htm", Repeat("", "<ul><li>", 100000, "x")},
      {"nested-blockquote-80000.htm", Repeat("", "<blockquote>", 80000, "x")},
      {"nested-span-100000.htm", Repeat("", "<span>", 100000, "x")},
      {"nested-font-table-15000.htm",
       Repeat("", "<font size=7><table cellpadding=99><tr><td colspan=999>", 15000, "x")},
      {"unclosed-rows-100000.htm", Repeat("<table>", "<tr><td>x", 100000, "")},
      {"unclosed-cells-200000.htm", Repeat("<table>", "<td>", 200000, "</table>")},
      {"word-1000000.htm", Repeat("", "w", 1000000, "")},
      {"word-of-nbsp-170000.htm", Repeat("", "&nbsp;", 170000, "")},
      {"spaces-1000000.htm", Repeat("", " ", 1000000, "x")},
      {"references-30000.htm", Repeat("", "&#x10FFFF;&#99999999999;&amp", 30000, "")},
      {"comment-unclosed.htm", Repeat("<!--", " <b>", 100000, "")},
      {"attributes-80000.htm", Repeat("<table><tr><td", " bgcolor=red", 80000, ">x")},
      {"br-200000.htm", Repeat("", "<br>", 200000, "x")},
  };
  for (const auto& [name, page] : pages)
    if (!Write(folder / name, page)) return false;
  return true;
}

// A pattern-database cache file of the 4x4 board's full size whose header is right but whose checksum is not.
TBytes WrongChecksum4x4() {
  const uint8_t groupOf[16] = {0xFF, 0, 2, 2, 2, 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1};
  const size_t tables = (5765760 + 1) / 2 * 2 + (3360 + 1) / 2;
  TBytes f(64 + tables, 0);
  std::memcpy(f.data(), "QNDRLPDB", 8);
  Put32(f, 8, 1);
  f[12] = f[13] = 4;
  f[14] = 3;
  std::memcpy(f.data() + 16, groupOf, 16);
  Put32(f, 32, static_cast<uint32_t>(tables));
  return f;
}

// A line of a million digits.
TBytes EndlessLine() {
  TBytes line(1 << 20, '7');
  line.push_back('\n');
  return line;
}

// 6x6 games at the reader's limit of moves, and one move over it.
bool WriteLongGames(const std::filesystem::path& folder) {
  std::string start;
  for (int i = 1; i < 36; ++i) start += std::to_string(i) + " ";
  const std::string head = "Quendrel game 1\nsize 6 6\nstyle 0\nimage \nstart " + start + "0\nmoves ";
  const std::string tail = "\ncount 0\nelapsed 0\nstate playing\n";
  return Write(folder / "moves-1000000.qgame", Repeat(head, "rl", 500000, tail)) &&
         Write(folder / "moves-1000001.qgame", Repeat(head, "rl", 500000, "r" + tail));
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_reproducers <folder>\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  for (const char* target : {"bmp", "jpeg", "raster_image", "theme_file", "form_stream", "ini_file",
                             "html_page", "pattern_file", "board_line", "saved_game"})
    std::filesystem::create_directories(root / target);
  const bool ok = Write(root / "bmp" / "rle8-runs-wrap-column.bmp", ColumnWrap(false)) &&
                  Write(root / "bmp" / "rle8-deltas-wrap-column.bmp", ColumnWrap(true)) &&
                  Write(root / "bmp" / "rle8-8192x8192-from-64k.bmp", HugeFromLittle()) &&
                  Write(root / "jpeg" / "progressive-claims-20000x20000.jpg", ProgressiveGiant()) &&
                  Write(root / "theme_file" / "every-picture-shares-128k.skn", SharedThemeData()) &&
                  WriteHostilePages(root / "html_page") &&
                  Write(root / "pattern_file" / "4x4-full-size-wrong-checksum.db", WrongChecksum4x4()) &&
                  Write(root / "board_line" / "a-million-digits.txt", EndlessLine()) &&
                  WriteLongGames(root / "saved_game");
  return ok ? 0 : 1;
}
