#pragma once
// THintMark: the frame that shows which tile the hint means. Four bars on the tiles' parent, laid over the
// tile's edges, so the mark shows the same on numbered tiles and on picture pieces; a click on a bar is a
// click on the tile beneath.
#include <array>

#include "classlib/core/Event.h"
#include "classlib/graphics/Color.h"

class TComponent;
class TControl;
class TPanel;
class TWinControl;

class THintMark {
 public:
  static constexpr TColor MarkColor = 0x0000D7FF; // amber, far from the tile and frame colours
  static constexpr int Thickness = 3;

  // Owner owns the bars; they sit on TileParent, the tiles' parent.
  THintMark(TComponent* Owner, TWinControl* TileParent, TNotifyEvent OnTileClick);
  THintMark(const THintMark&) = delete;
  THintMark& operator=(const THintMark&) = delete;

  // Frames Tile (showing the tile of Cell); null hides the mark.
  void Show(TControl* Tile, int Cell);
  void Hide() { Show(nullptr, -1); }
  bool Showing() const { return cell >= 0; }
  int Cell() const { return cell; }

 private:
  std::array<TPanel*, 4> bars{}; // owned by the owner component
  int cell = -1;
};
