#pragma once
// TBoardView: the game's cells on screen, one panel per cell in a centred grid with 1-pixel gaps, showing its
// tile as a number, as the piece of the board picture the tile covers when solved, or as that piece with the
// number merged into it in white. It remembers what each cell shows and where the grid was laid out, so a
// move repaints its two cells and a layout that would move nothing moves nothing. Layout requests are
// coalesced: any number of them before the posted request is taken run one layout. A move can slide its
// tile from the cell it left into its new cell, frame by frame from a timer; whatever comes next (another
// move, a layout, a key) first puts the sliding tile where it belongs.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/TileSlide.h"

#include "classlib/core/Event.h"
#include "classlib/graphics/Color.h"

class TBitmap;
class TComponent;
class TImage;
class TPanel;
class TTimer;
class TWinControl;
class TskPanel;
class TBoard;
struct TMove;

class TBoardView {
 public:
  // Owner owns the cell controls; the cells sit on TileParent inside BoardPanel, which carries the puzzle's
  // name. PostLayout hands a layout request to the message loop (it comes back through TakeLayoutRequest).
  TBoardView(TComponent* Owner, TskPanel* BoardPanel, TWinControl* TileParent, TNotifyEvent OnTileClick,
             std::function<void()> PostLayout);
  ~TBoardView();
  TBoardView(const TBoardView&) = delete;
  TBoardView& operator=(const TBoardView&) = delete;

  // A board of Count cells: the cell controls of the old size are freed.
  void SetCellCount(int Count);
  // Sizes and places the cell controls for Board in Style; answers whether anything moved.
  bool Layout(const TBoard& Board, int8_t Style);
  // Shows the cells of Move (all cells when it is null) that differ from what they show.
  void Refresh(const TBoard& Board, int8_t Style, TBitmap* Picture, TColor TileColor, const TMove* Move);
  // The board picture changed: every picture face is drawn again on its next refresh.
  void PictureChanged() { Forget(); }

  void RequestLayout();
  // Takes the pending request, if any.
  bool TakeLayoutRequest();
  // Layout passes so far.
  int Layouts() const { return layouts; }

  TPanel* TilePanel(int Cell) const;
  TImage* TileImage(int Cell) const;

  // Whether a move slides its tile (off: the tile jumps, as before).
  bool Animate() const { return animate; }
  void SetAnimate(bool Value);
  // The cell whose tile is on its way, or -1.
  int SlidingCell() const { return slidingCell; }
  // Puts the sliding tile, if any, in its cell now.
  void FinishSlide();
  // Milliseconds between frames.
  static constexpr unsigned FrameInterval = 15;

 private:
  // What a cell shows: its tile in a style on a colour.
  struct TFace {
    int value = 0;
    int8_t style = -1;
    TColor color = clNone;
    bool operator==(const TFace&) const = default;
  };
  // What the last layout was made for.
  struct TGrid {
    int width = -1, height = -1, rows = 0, cols = 0;
    int8_t style = -1;
    bool operator==(const TGrid&) const = default;
  };
  void Forget();
  TImage* NewImage(int Cell);
  void DrawCell(const TBoard& Board, int Cell, int8_t Style, TBitmap* Picture, TColor TileColor);
  void StartSlide(const TMove& Move);
  void SlideFrame();

  TComponent* owner;
  TskPanel* boardPanel;
  TWinControl* tileParent;
  TNotifyEvent onTileClick;
  std::function<void()> postLayout;
  std::vector<TPanel*> tilePanels; // owned by the owner component
  std::vector<TImage*> tileImages; // likewise
  std::vector<TFace> shown;
  TGrid grid;
  bool layoutRequested = false;
  int layouts = 0;
  bool animate = true;
  std::unique_ptr<TTimer> slideTimer;
  TTileSlide slide;
  int slidingCell = -1;
};
