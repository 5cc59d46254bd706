// Building blocks shared by the pictures: raised faces and the small glyphs drawn on them.
#pragma once

#include "tools/skingen/Canvas.h"
#include "tools/skingen/Style.h"

namespace skingen {

// Body stops of a face, from its top to its bottom.
std::vector<Stop> faceStops(const Face& f);

// A rounded face over (x0, y0, x1, y1): outline, body shaded from top to bottom and an inner rim of
// `rimWidth`. With `across` the body is shaded from right to left instead: pictures drawn for a vertical bar
// are turned a quarter counter-clockwise for a horizontal one, which brings their right side to the top.
void drawFace(Canvas& c, double x0, double y0, double x1, double y1, double r, const Face& f,
              bool across = false, double rimWidth = 1.0);
// A round face: outline, body and a soft reflection over its upper half.
void drawOrb(Canvas& c, double cx, double cy, double radius, const Face& f);
// A glossy reflection: an ellipse over the upper part of a shape, fading downwards.
void drawSheen(Canvas& c, double x0, double y0, double x1, double y1, double opacity);

enum class Dir { Up, Down, Left, Right };

// Glyphs centred on (cx, cy); `a` is half their size, `w` the stroke width.
Region closeGlyph(double cx, double cy, double a, double w);
Region minimizeGlyph(double cx, double cy, double a, double w);
Region maximizeGlyph(double cx, double cy, double a, double w);
Region restoreGlyph(double cx, double cy, double a, double w);
Region helpGlyph(double cx, double cy, double a, double w);
Region arrowGlyph(Dir dir, double cx, double cy, double a);
Region chevronGlyph(Dir dir, double cx, double cy, double a, double w);
Region checkGlyph(double cx, double cy, double a, double w);
Region plusGlyph(double cx, double cy, double a, double w);
// A three-by-three board with its last cell empty: the game's own mark.
void drawPuzzleMark(Canvas& c, double x0, double y0, double size, Rgb frame, Rgb tile, Rgb tileShade);

} // namespace skingen
