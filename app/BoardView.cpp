#include "app/BoardView.h"

#include <algorithm>

#include "classlib/controls/Image.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"
#include "engine/Board.h"
#include "skin/SKImagePanel.h"

TBoardView::TBoardView(TComponent* Owner, TskPanel* BoardPanel, TWinControl* TileParent,
                       TNotifyEvent OnTileClick, std::function<void()> PostLayout)
    : owner(Owner), boardPanel(BoardPanel), tileParent(TileParent), onTileClick(std::move(OnTileClick)),
      postLayout(std::move(PostLayout)), slideTimer(std::make_unique<TTimer>(nullptr)) {
  slideTimer->SetEnabled(false);
  slideTimer->SetInterval(FrameInterval);
  slideTimer->OnTimer = [this](TObject*) { SlideFrame(); };
}

TBoardView::~TBoardView() = default;

void TBoardView::SetCellCount(int Count) {
  FinishSlide();
  boardPanel->SetVisible(false);
  for (TImage*& image : tileImages) {
    delete image;
    image = nullptr;
  }
  for (TPanel*& panel : tilePanels) {
    delete panel;
    panel = nullptr;
  }
  tilePanels.assign(static_cast<size_t>(Count), nullptr);
  tileImages.assign(static_cast<size_t>(Count), nullptr);
  shown.assign(static_cast<size_t>(Count), TFace{});
  grid = TGrid{};
}

void TBoardView::Forget() {
  std::fill(shown.begin(), shown.end(), TFace{});
}

TPanel* TBoardView::TilePanel(int Cell) const {
  return Cell >= 0 && Cell < static_cast<int>(tilePanels.size()) ? tilePanels[static_cast<size_t>(Cell)]
                                                                 : nullptr;
}

TImage* TBoardView::TileImage(int Cell) const {
  return Cell >= 0 && Cell < static_cast<int>(tileImages.size()) ? tileImages[static_cast<size_t>(Cell)]
                                                                 : nullptr;
}

// ----- Layout

void TBoardView::RequestLayout() {
  if (layoutRequested) return;
  layoutRequested = true;
  if (postLayout) postLayout();
}

bool TBoardView::TakeLayoutRequest() {
  const bool requested = layoutRequested;
  layoutRequested = false;
  return requested;
}

TImage* TBoardView::NewImage(int Cell) {
  TImage*& image = tileImages[static_cast<size_t>(Cell)];
  delete image;
  image = new TImage(owner); // owned by the owner component
  image->SetAlign(alClient);
  image->SetTransparent(false);
  image->SetStretch(true);
  image->SetTag(Cell);
  image->OnClick = onTileClick;
  image->SetParent(tilePanels[static_cast<size_t>(Cell)]);
  image->SetLeft(0);
  image->SetTop(0);
  return image;
}

bool TBoardView::Layout(const TBoard& Board, int8_t Style) {
  ++layouts;
  const int rows = Board.rows, cols = Board.cols;
  const TGrid now{tileParent->ClientWidth(), tileParent->ClientHeight(), rows, cols, Style};
  if (now == grid || static_cast<int>(tilePanels.size()) != Board.count) return false;
  FinishSlide();
  grid = now;
  Forget(); // every face is drawn again at its new size
  const int tileWidth = std::max(0, (now.width - (cols + 1)) / cols);
  const int tileHeight = std::max(0, (now.height - (rows + 1)) / rows);
  const int offsetX = (now.width - cols * tileWidth - (cols - 1)) / 2;
  const int offsetY = (now.height - rows * tileHeight - (rows - 1)) / 2;
  boardPanel->SetVisible(false); // the next refresh shows it again
  for (int i = 0; i < Board.count; ++i) {
    const int x = i % cols, y = i / cols;
    TPanel*& panel = tilePanels[static_cast<size_t>(i)];
    if (!panel) panel = new TPanel(owner); // owned by the owner component
    panel->SetVisible(true);
    panel->OnClick = onTileClick;
    panel->SetTag(i);
    panel->SetParent(tileParent);
    panel->SetBounds(x * tileWidth + offsetX + x, y * tileHeight + offsetY + y, tileWidth, tileHeight);
    if (Style == 1 || Style == 2)
      NewImage(i);
    else if (TImage* image = tileImages[static_cast<size_t>(i)])
      image->SetVisible(false);
  }
  return true;
}

// ----- Faces

void TBoardView::Refresh(const TBoard& Board, int8_t Style, TBitmap* Picture, TColor TileColor,
                         const TMove* Move) {
  if (static_cast<int>(tilePanels.size()) != Board.count) return;
  FinishSlide(); // a new move never waits for the last one
  if (Move) {
    DrawCell(Board, std::min(Move->from, Move->to), Style, Picture, TileColor);
    DrawCell(Board, std::max(Move->from, Move->to), Style, Picture, TileColor);
    if (animate) StartSlide(*Move);
  } else {
    for (int i = 0; i < Board.count; ++i) DrawCell(Board, i, Style, Picture, TileColor);
  }
  boardPanel->SetVisible(true);
  const AnsiString name = IntToStr(Board.count - 1) + "-Puzzle";
  if (boardPanel->Caption() != name) boardPanel->SetCaption(name);
}

void TBoardView::DrawCell(const TBoard& Board, int Cell, int8_t Style, TBitmap* Picture, TColor TileColor) {
  if (Cell < 0 || Cell >= Board.count) return;
  TPanel* panel = tilePanels[static_cast<size_t>(Cell)];
  if (!panel) return;
  const int v = Board.cells[Cell];
  const TFace face{v, Style, TileColor};
  TFace& was = shown[static_cast<size_t>(Cell)];
  if (was == face) return;
  was = face;

  const int cols = Board.cols, rows = Board.rows;
  const int pieceCol = (v - 1) % cols, pieceRow = (v - 1) / cols;
  const int pieceWidth = Picture->Width() / cols, pieceHeight = Picture->Height() / rows;
  const int fontSize = std::min(panel->Width(), panel->Height()) / 4;
  panel->SetVisible(true);
  if (Style == 0) {
    panel->SetBevelWidth(2);
    panel->SetBevelInner(bvRaised);
    panel->SetBevelOuter(bvRaised);
  } else {
    panel->SetBevelWidth(0);
    panel->SetBevelInner(bvNone);
    panel->SetBevelOuter(bvNone);
  }
  panel->SetColor(TileColor);
  panel->Font()->SetName("Verdana");
  panel->Font()->SetSize(fontSize);
  panel->Font()->SetStyle({fsBold});
  panel->Font()->SetColor(clBlack);
  if (v == -1) {
    panel->SetVisible(false);
    return;
  }
  if (Style == 0) {
    panel->SetCaption(IntToStr(v));
    return;
  }
  TImage* image = tileImages[static_cast<size_t>(Cell)];
  if (!image) return;
  const bool hasPiece = pieceWidth > 0 && pieceHeight > 0;
  // Without a piece nothing covers the old face: a fresh image shows what a first drawing would.
  if (!hasPiece) image = NewImage(Cell);
  const TRect client = image->ClientRect();
  if (hasPiece) {
    TBitmap piece;
    piece.SetSize(pieceWidth, pieceHeight);
    BitBlt(piece.Canvas()->Handle(), 0, 0, pieceWidth, pieceHeight, Picture->Canvas()->Handle(),
           pieceCol * pieceWidth, pieceRow * pieceHeight, SRCCOPY);
    image->Canvas()->SetCopyMode(cmSrcCopy);
    image->Canvas()->StretchDraw(client, &piece);
  }
  if (Style == 2) {
    // Black digits on white, merged with OR NOT: white leaves the piece alone, black turns it white.
    TBitmap digits;
    digits.SetSize(client.Width(), client.Height());
    digits.Canvas()->Brush()->SetColor(clWhite);
    digits.Canvas()->FillRect(digits.Canvas()->ClipRect());
    digits.Canvas()->Font()->SetName("Verdana");
    digits.Canvas()->Font()->SetSize(fontSize);
    digits.Canvas()->Font()->SetColor(clBlack);
    digits.Canvas()->Font()->SetStyle({fsBold});
    const AnsiString text = IntToStr(v);
    digits.Canvas()->TextOut((digits.Width() - digits.Canvas()->TextWidth(text)) / 2,
                             (digits.Height() - digits.Canvas()->TextHeight(text)) / 2, text);
    image->Canvas()->SetCopyMode(cmMergePaint);
    image->Canvas()->StretchDraw(client, &digits);
  }
  image->Invalidate();
}

// ----- Sliding

void TBoardView::SetAnimate(bool Value) {
  if (!Value) FinishSlide();
  animate = Value;
}

void TBoardView::StartSlide(const TMove& Move) {
  // The tile now belongs to the blank's old cell; it starts where the cell it left stands.
  TPanel* tile = TilePanel(Move.to);
  TPanel* left = TilePanel(Move.from);
  if (!tile || !left || !tile->Visible()) return;
  const TPoint home{tile->Left(), tile->Top()};
  const TPoint start{left->Left(), left->Top()};
  if (home == start) return;
  slide = TTileSlide(start, home, GetTickCount64());
  slidingCell = Move.to;
  tile->SetBounds(start.X, start.Y, tile->Width(), tile->Height());
  slideTimer->SetEnabled(true);
}

void TBoardView::SlideFrame() {
  TPanel* tile = TilePanel(slidingCell);
  if (!tile) {
    FinishSlide();
    return;
  }
  const uint64_t now = GetTickCount64();
  const TPoint at = slide.At(now);
  tile->SetBounds(at.X, at.Y, tile->Width(), tile->Height());
  if (slide.Arrived(now)) FinishSlide();
}

void TBoardView::FinishSlide() {
  slideTimer->SetEnabled(false);
  if (TPanel* tile = TilePanel(slidingCell))
    tile->SetBounds(slide.To().X, slide.To().Y, tile->Width(), tile->Height());
  slidingCell = -1;
}
