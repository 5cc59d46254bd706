#include "app/HintMark.h"

#include <algorithm>

#include "classlib/controls/Panel.h"

THintMark::THintMark(TComponent* Owner, TWinControl* TileParent, TNotifyEvent OnTileClick) {
  for (TPanel*& bar : bars) {
    bar = new TPanel(Owner); // owned by the owner component
    bar->SetVisible(false);
    bar->SetBevelOuter(bvNone);
    bar->SetBevelInner(bvNone);
    bar->SetColor(MarkColor);
    bar->OnClick = OnTileClick;
    bar->SetParent(TileParent);
  }
}

void THintMark::Show(TControl* Tile, int Cell) {
  cell = Tile ? Cell : -1;
  if (!Tile) {
    for (TPanel* bar : bars) bar->SetVisible(false);
    return;
  }
  const int x = Tile->Left(), y = Tile->Top(), w = Tile->Width(), h = Tile->Height();
  const int t = std::min({Thickness, w / 2, h / 2});
  bars[0]->SetBounds(x, y, w, t);         // top
  bars[1]->SetBounds(x, y + h - t, w, t); // bottom
  bars[2]->SetBounds(x, y, t, h);         // left
  bars[3]->SetBounds(x + w - t, y, t, h); // right
  for (TPanel* bar : bars) {
    bar->SetTag(Cell);
    bar->SetVisible(true);
    bar->BringToFront();
  }
}
