// Paints the game's default board picture, a small landscape, and writes it as a JPEG:
//   boardpic <output.jpg>
// Every region differs from its neighbours (sky, sun, clouds, two mountain ridges, a house, a tree, a lake
// and a meadow), so that each piece of the picture is easy to place.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

// After <cstdio>: the library's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace {

constexpr int Size = 400;

struct Rgb {
  double R, G, B;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

double FarRidge(double x) {
  return 0.42 - 0.10 * std::sin(x * 5.1 + 0.7) - 0.05 * std::sin(x * 13.0 + 2.0) - 0.02 * std::sin(x * 31.0);
}

double NearRidge(double x) {
  return 0.55 - 0.07 * std::sin(x * 3.3 + 2.4) - 0.03 * std::sin(x * 17.0 + 1.0);
}

double Cloud(double x, double y, double cx, double cy, double w) {
  const double dx = (x - cx) / w, dy = (y - cy) / (w * 0.35);
  return std::exp(-(dx * dx + dy * dy) * 2.5);
}

Rgb Pixel(double x, double y) {
  const double horizon = 0.66;
  Rgb c;
  if (y < horizon) {
    c = Mix({40, 90, 190}, {170, 210, 245}, y / horizon); // sky
    const double sun = std::hypot(x - 0.76, y - 0.18);
    if (sun < 0.07)
      c = Mix({255, 245, 150}, {255, 190, 60}, sun / 0.07);
    else
      c = Mix({255, 220, 140}, c, (sun - 0.07) / 0.12); // glow
    const double clouds = Cloud(x, y, 0.25, 0.15, 0.16) + Cloud(x, y, 0.38, 0.12, 0.12) +
                          Cloud(x, y, 0.55, 0.30, 0.14) + Cloud(x, y, 0.12, 0.33, 0.10);
    c = Mix(c, {250, 250, 255}, clouds);
    if (y > FarRidge(x)) {
      c = Mix({120, 110, 160}, {80, 75, 120}, (y - FarRidge(x)) * 6);        // far mountains
      if (y < FarRidge(x) + 0.03 && FarRidge(x) < 0.36) c = {240, 240, 250}; // snow on the peaks
    }
    if (y > NearRidge(x)) c = Mix({70, 140, 60}, {40, 100, 40}, (y - NearRidge(x)) * 8); // hills
  } else {
    const double lakeEdge = 0.78 + 0.05 * std::sin(x * 7.0);
    if (x > 0.35 && y < lakeEdge + 0.1 && y < 0.9 - 0.4 * (x - 0.35) * (x - 1.3)) {
      c = Mix({60, 120, 200}, {20, 60, 140}, (y - horizon) * 4);                                   // lake
      if (std::fmod(y * 90 + std::sin(x * 40) * 0.8, 3.0) < 0.5) c = Mix(c, {220, 230, 255}, 0.5); // ripples
    } else {
      c = Mix({120, 190, 70}, {60, 140, 40}, (y - horizon) * 3);                  // meadow
      if (std::fmod(x * 60 + y * 25, 2.0) < 0.3) c = Mix(c, {230, 220, 90}, 0.6); // flowers in rows
    }
  }
  // A red house with a brown roof and a yellow window.
  if (x > 0.10 && x < 0.26 && y > 0.62 && y < 0.75) {
    c = {190, 40, 40};
    if (x > 0.15 && x < 0.20 && y > 0.65 && y < 0.70) c = {250, 220, 90};
  }
  if (y > 0.53 && y <= 0.62 && std::fabs(x - 0.18) < (y - 0.53) * 1.1) c = {110, 60, 30};
  // A tree: trunk and round crown.
  if (x > 0.295 && x < 0.315 && y > 0.62 && y < 0.76) c = {90, 55, 25};
  if (std::hypot(x - 0.305, y - 0.58) < 0.06)
    c = Mix({30, 120, 40}, {20, 80, 30}, std::hypot(x - 0.29, y - 0.56) / 0.08);
  return c;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: boardpic <output.jpg>\n");
    return 2;
  }
  std::vector<unsigned char> rows(static_cast<size_t>(Size) * Size * 3);
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      // Four samples a pixel keep the edges smooth.
      Rgb sum{0, 0, 0};
      for (int s = 0; s < 4; ++s) {
        const Rgb p = Pixel((x + 0.25 + 0.5 * (s & 1)) / Size, (y + 0.25 + 0.5 * (s >> 1)) / Size);
        sum = {sum.R + p.R / 4, sum.G + p.G / 4, sum.B + p.B / 4};
      }
      unsigned char* px = &rows[(static_cast<size_t>(y) * Size + x) * 3];
      px[0] = static_cast<unsigned char>(std::clamp(sum.R, 0.0, 255.0));
      px[1] = static_cast<unsigned char>(std::clamp(sum.G, 0.0, 255.0));
      px[2] = static_cast<unsigned char>(std::clamp(sum.B, 0.0, 255.0));
    }

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = Size;
  cinfo.image_height = Size;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = &rows[static_cast<size_t>(cinfo.next_scanline) * Size * 3];
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(out) == 0 ? 0 : 1;
}
