// Every built-in skin picture: its resource name, size, number of equal-width state pieces, transparent key
// and the function that draws one piece. This table is the one place those facts live.
#pragma once

#include "tools/skingen/Canvas.h"
#include "tools/skingen/Image.h"
#include "tools/skingen/Style.h"

#include <string>
#include <vector>

namespace skingen {

// Draws piece `piece` (0-based) of a picture in `style`, `width` x `height` pixels.
using DrawPiece = Canvas (*)(Style style, int piece, int width, int height);

struct SkinPicture {
  std::string name;
  int width, height, pieces;
  Key key;
  Style style; // for pictures shared by all styles, the look they are drawn in
  DrawPiece draw;

  int pieceWidth() const { return width / pieces; }
};

const std::vector<SkinPicture>& skinCatalogue();
const SkinPicture* findPicture(const std::string& name);
// Draws every piece and joins them left to right.
Image renderPicture(const SkinPicture& picture);

} // namespace skingen
