#pragma once
// Helpers shared by the graphics tests: fresh bitmaps, pixel probes and PNG snapshots of what was drawn.
#include <cstdlib>
#include <string>

#include "classlib/backend/Backend.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"

inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TColor fill = clWhite) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(fill);
  b->Canvas()->FillRect({0, 0, w, h});
  return b;
}

inline TColor Px(TBitmap& b, int x, int y) {
  return b.Canvas()->Pixels(x, y);
}

// Writes the bitmap to $QUENDREL_TEST_OUTPUT/<name>.png when that folder is set.
inline void Snapshot(TBitmap& b, const std::string& name) {
  const char* dir = std::getenv("QUENDREL_TEST_OUTPUT");
  if (!dir) return;
  std::system((std::string("mkdir -p '") + dir + "'").c_str());
  backend::SavePng(std::string(dir) + "/" + name + ".png", b.Surface().Bits(), b.Width(), b.Height(),
                   b.Surface().Stride() * 4);
}

// The pixels of row y that have colour c, as a string of '#' and '.' (for readable shape checks).
inline std::string Row(TBitmap& b, int y, TColor c, int from = 0, int to = -1) {
  if (to < 0) to = b.Width();
  std::string s;
  for (int x = from; x < to; ++x) s += Px(b, x, y) == c ? '#' : '.';
  return s;
}
