#include "classlib/controls/Grids.h"

#include <algorithm>

#include "classlib/controls/ScrollBars.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TInplaceEdit, TCustomEdit) {}
QUENDREL_REGISTER_CLASS(TCustomGrid, TCustomControl) {
  c.Property("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount).Default(5);
  c.Property("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount).Default(5);
  c.Property("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols).Default(1);
  c.Property("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows).Default(1);
  c.Property("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth).Default(64);
  c.Property("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
      .Default(24);
  c.Property("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth).Default(1);
  c.Enum("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars, ScrollStyleNames)
      .Default(ssBoth);
  c.Enum("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle, BorderStyleNames)
      .Default(bsSingle);
  c.Property("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing).Default(1);
  c.Message(WM_VSCROLL, &TCustomGrid::WMVScroll);
  c.Message(WM_HSCROLL, &TCustomGrid::WMHScroll);
  c.Message(WM_CUT, &TCustomGrid::WMCut);
  c.Message(WM_COPY, &TCustomGrid::WMCopy);
  c.Message(WM_PASTE, &TCustomGrid::WMPaste);
  c.Message(WM_CLEAR, &TCustomGrid::WMClear);
  c.Message(WM_UNDO, &TCustomGrid::WMUndo);
  c.Message(WM_SETTEXT, &TCustomGrid::WMSetText);
}
QUENDREL_REGISTER_CLASS(TDrawGrid, TCustomGrid) {
  c.Creatable();
  c.Event("OnDrawCell", &TDrawGrid::OnDrawCell);
}

// ---------------------------------------------------------------------------------------------------------
// TInplaceEdit

TInplaceEdit::TInplaceEdit(TComponent* AOwner, TCustomGrid* Grid) : TCustomEdit(AOwner), FGrid(Grid) {
  SetBorderStyle(bsNone);
  SetTabStop(false);
  SetVisible(false);
  SetAutoSelect(false);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
  TCustomEdit::WMGetDlgCode(Message);
  if (FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
  Message.Result |= DLGC_WANTALLKEYS;
}

void TInplaceEdit::WMKeyDown(TMessage& Message) {
  auto key = static_cast<WORD>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(static_cast<LONG>(Message.LParam));
  const int len = static_cast<int>(GetText().size());
  // Moving past either end of the text, or to another row, is the grid's business.
  bool toGrid = false;
  switch (key) {
  case VK_UP:
  case VK_DOWN:
  case VK_PRIOR:
  case VK_NEXT:
  case VK_ESCAPE:
  case VK_RETURN:
  case VK_TAB:
  case VK_F2:
  case VK_INSERT:
    toGrid = key != VK_INSERT || shift.Empty();
    break;
  case VK_LEFT:
    toGrid = SelStart() == 0 && SelLength() == 0;
    break;
  case VK_RIGHT:
    toGrid = SelStart() == len && SelLength() == 0;
    break;
  case VK_HOME:
  case VK_END:
    toGrid = shift.Contains(ssCtrl);
    break;
  case VK_DELETE:
    toGrid = shift.Contains(ssCtrl);
    break;
  default:
    break;
  }
  if (toGrid) {
    FGrid->KeyDown(key, shift);
    return;
  }
  TCustomEdit::WMKeyDown(Message);
}

void TInplaceEdit::WMChar(TMessage& Message) {
  char key = static_cast<char>(Message.WParam);
  FGrid->KeyPress(key);
  if (key == 0 || key == '\r' || key == 27 || key == '\t') return;
  Message.WParam = static_cast<unsigned char>(key);
  TCustomEdit::WMChar(Message);
}

void TInplaceEdit::WMKillFocus(TMessage& Message) {
  TCustomEdit::WMKillFocus(Message);
}

bool TInplaceEdit::EditCanModify() {
  return FGrid->CanEditModify();
}

void TInplaceEdit::Change() {
  TCustomEdit::Change();
  if (Visible()) FGrid->SetEditText(FGrid->Col(), FGrid->Row(), GetText());
}

// ---------------------------------------------------------------------------------------------------------
// TCustomGrid

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  SetBounds(FLeft, FTop, 320, 120);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomGrid::SetColCount(int Value) {
  Value = std::max(1, Value);
  if (Value == FColCount) return;
  const int old = FColCount;
  FColCount = Value;
  FColWidths.resize(std::min(FColWidths.size(), static_cast<size_t>(Value)));
  FFixedCols = std::min(FFixedCols, Value - 1 >= 0 ? std::max(0, Value - 1) : 0);
  FCol = std::clamp(FCol, FFixedCols, Value - 1);
  FAnchorCol = std::clamp(FAnchorCol, FFixedCols, Value - 1);
  FLeftCol = std::clamp(FLeftCol, FFixedCols, Value - 1);
  SizeChanged(old, FRowCount);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetRowCount(int Value) {
  Value = std::max(1, Value);
  if (Value == FRowCount) return;
  const int old = FRowCount;
  FRowCount = Value;
  FRowHeights.resize(std::min(FRowHeights.size(), static_cast<size_t>(Value)));
  FFixedRows = std::min(FFixedRows, std::max(0, Value - 1));
  FRow = std::clamp(FRow, FFixedRows, Value - 1);
  FAnchorRow = std::clamp(FAnchorRow, FFixedRows, Value - 1);
  FTopRow = std::clamp(FTopRow, FFixedRows, Value - 1);
  SizeChanged(FColCount, old);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedCols(int Value) {
  Value = std::clamp(Value, 0, FColCount - 1);
  FFixedCols = Value;
  FCol = std::max(FCol, Value);
  FAnchorCol = std::max(FAnchorCol, Value);
  FLeftCol = std::max(FLeftCol, Value);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
  Value = std::clamp(Value, 0, FRowCount - 1);
  FFixedRows = Value;
  FRow = std::max(FRow, Value);
  FAnchorRow = std::max(FAnchorRow, Value);
  FTopRow = std::max(FTopRow, Value);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FDefaultColWidth = std::max(0, Value);
  FColWidths.clear();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = std::max(0, Value);
  FRowHeights.clear();
  UpdateScrollRange();
  Invalidate();
}

int TCustomGrid::ColWidths(int Index) const {
  if (Index >= 0 && static_cast<size_t>(Index) < FColWidths.size() && FColWidths[Index] >= 0)
    return FColWidths[Index];
  return FDefaultColWidth;
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= FColCount) return;
  if (FColWidths.size() <= static_cast<size_t>(Index)) FColWidths.resize(Index + 1, -1);
  FColWidths[Index] = std::max(0, Value);
  UpdateScrollRange();
  Invalidate();
}

int TCustomGrid::RowHeights(int Index) const {
  if (Index >= 0 && static_cast<size_t>(Index) < FRowHeights.size() && FRowHeights[Index] >= 0)
    return FRowHeights[Index];
  return FDefaultRowHeight;
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= FRowCount) return;
  if (FRowHeights.size() <= static_cast<size_t>(Index)) FRowHeights.resize(Index + 1, -1);
  FRowHeights[Index] = std::max(0, Value);
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  FGridLineWidth = std::max(0, Value);
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  FOptions = Value;
  if (!FOptions.Contains(goEditing)) HideEditor();
  if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing) && Focused()) ShowEditor();
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (FFixedColor == Value) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) {
    ShowScrollBar(Handle(), SB_VERT, Value == ssVertical || Value == ssBoth);
    ShowScrollBar(Handle(), SB_HORZ, Value == ssHorizontal || Value == ssBoth);
  }
  UpdateScrollRange();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

TGridRect TCustomGrid::Selection() const {
  if (FOptions.Contains(goRowSelect))
    return {FFixedCols, std::min(FRow, FAnchorRow), FColCount - 1, std::max(FRow, FAnchorRow)};
  return {std::min(FCol, FAnchorCol), std::min(FRow, FAnchorRow), std::max(FCol, FAnchorCol),
          std::max(FRow, FAnchorRow)};
}

// ----- Geometry

int TCustomGrid::ColLeft(int ACol) {
  int x = 0;
  for (int c = 0; c < FFixedCols && c < ACol; ++c) x += ColWidths(c) + FGridLineWidth;
  if (ACol < FFixedCols) return x;
  if (ACol < FLeftCol) return -1;
  for (int c = FLeftCol; c < ACol; ++c) x += ColWidths(c) + FGridLineWidth;
  return x;
}

int TCustomGrid::RowTop(int ARow) {
  int y = 0;
  for (int r = 0; r < FFixedRows && r < ARow; ++r) y += RowHeights(r) + FGridLineWidth;
  if (ARow < FFixedRows) return y;
  if (ARow < FTopRow) return -1;
  for (int r = FTopRow; r < ARow; ++r) y += RowHeights(r) + FGridLineWidth;
  return y;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) return {};
  const int x = ColLeft(ACol), y = RowTop(ARow);
  const TRect client = ClientRect();
  if (x < 0 || y < 0 || x >= client.Right || y >= client.Bottom) return {};
  return {x, y, x + ColWidths(ACol), y + RowHeights(ARow)};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridCoord g{-1, -1};
  int x = 0;
  for (int c = 0; c < FColCount; ++c) {
    if (c == FFixedCols) c = std::max(c, FLeftCol);
    if (c >= FColCount) break;
    const int w = ColWidths(c) + FGridLineWidth;
    if (X >= x && X < x + w) {
      g.X = c;
      break;
    }
    x += w;
  }
  int y = 0;
  for (int r = 0; r < FRowCount; ++r) {
    if (r == FFixedRows) r = std::max(r, FTopRow);
    if (r >= FRowCount) break;
    const int h = RowHeights(r) + FGridLineWidth;
    if (Y >= y && Y < y + h) {
      g.Y = r;
      break;
    }
    y += h;
  }
  return g;
}

int TCustomGrid::VisibleRowCount() {
  const int height = ClientRect().Height();
  int y = 0;
  for (int r = 0; r < FFixedRows; ++r) y += RowHeights(r) + FGridLineWidth;
  int n = 0;
  for (int r = FTopRow; r < FRowCount; ++r) {
    y += RowHeights(r) + FGridLineWidth;
    if (y - FGridLineWidth > height) break;
    ++n;
  }
  return std::max(1, n);
}

int TCustomGrid::VisibleColCount() {
  const int width = ClientRect().Width();
  int x = 0;
  for (int c = 0; c < FFixedCols; ++c) x += ColWidths(c) + FGridLineWidth;
  int n = 0;
  for (int c = FLeftCol; c < FColCount; ++c) {
    x += ColWidths(c) + FGridLineWidth;
    if (x - FGridLineWidth > width) break;
    ++n;
  }
  return std::max(1, n);
}

void TCustomGrid::SetTopRow(int Value) {
  Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, FRowCount - 1));
  if (Value == FTopRow) return;
  FTopRow = Value;
  TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int Value) {
  Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, FColCount - 1));
  if (Value == FLeftCol) return;
  FLeftCol = Value;
  TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
  UpdateScrollRange();
  UpdateEditor();
  Invalidate();
}

void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
  if (!HandleAllocated()) return;
  const TRect r = CellRect(ACol, ARow);
  if (r.IsEmpty()) return;
  TRect withLines{r.Left, r.Top, r.Right + FGridLineWidth, r.Bottom + FGridLineWidth};
  InvalidateRect(Handle(), &withLines, false);
}

void TCustomGrid::InvalidateRow(int ARow) {
  if (!HandleAllocated()) return;
  const int y = RowTop(ARow);
  if (y < 0) return;
  const TRect r{0, y, ClientRect().Width(), y + RowHeights(ARow) + FGridLineWidth};
  InvalidateRect(Handle(), &r, false);
}

void TCustomGrid::InvalidateCol(int ACol) {
  if (!HandleAllocated()) return;
  const int x = ColLeft(ACol);
  if (x < 0) return;
  const TRect r{x, 0, x + ColWidths(ACol) + FGridLineWidth, ClientRect().Height()};
  InvalidateRect(Handle(), &r, false);
}

// ----- Painting

void TCustomGrid::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsSolid);
  const bool focused = Focused() || InEditor();
  const TGridRect sel = Selection();
  int y = 0;
  int lastX = 0, lastY = 0;
  for (int r = 0; r < FRowCount && y < client.Bottom; ++r) {
    if (r == FFixedRows) r = std::max(r, FTopRow);
    if (r >= FRowCount) break;
    const int h = RowHeights(r);
    int x = 0;
    for (int col = 0; col < FColCount && x < client.Right; ++col) {
      if (col == FFixedCols) col = std::max(col, FLeftCol);
      if (col >= FColCount) break;
      const int w = ColWidths(col);
      const TRect cell{x, y, x + w, y + h};
      TGridDrawState state;
      const bool fixed = col < FFixedCols || r < FFixedRows;
      if (fixed) {
        state.Include(gdFixed);
      } else {
        const bool current = col == FCol && r == FRow;
        if (current && focused) state.Include(gdFocused);
        if (sel.Contains(col, r) &&
            (!current || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect)))
          state.Include(gdSelected);
      }
      // The cell's ground first, so that DrawCell may leave it or paint over it.
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(fixed ? FFixedColor : state.Contains(gdSelected) ? clHighlight : FColor);
      c->Font()->Assign(Font());
      c->FillRect(cell);
      DrawCell(col, r, cell, state);
      if (fixed && FDefaultDrawing) {
        RECT e = cell;
        DrawEdge(c->Handle(), &e, BDR_RAISEDINNER, BF_RECT);
      }
      if (state.Contains(gdFocused) && !FEditorMode && !FOptions.Contains(goRowSelect))
        c->DrawFocusRect(cell);
      // Grid lines to the right and below.
      const bool vline = fixed ? FOptions.Contains(goFixedVertLine) : FOptions.Contains(goVertLine);
      const bool hline = fixed ? FOptions.Contains(goFixedHorzLine) : FOptions.Contains(goHorzLine);
      c->Brush()->SetColor(fixed ? clBlack : clSilver);
      if (FGridLineWidth > 0) {
        c->Brush()->SetColor(vline ? (fixed ? clBlack : clSilver) : FColor);
        c->FillRect({cell.Right, cell.Top, cell.Right + FGridLineWidth, cell.Bottom + FGridLineWidth});
        c->Brush()->SetColor(hline ? (fixed ? clBlack : clSilver) : FColor);
        c->FillRect({cell.Left, cell.Bottom, cell.Right + FGridLineWidth, cell.Bottom + FGridLineWidth});
      }
      x += w + FGridLineWidth;
    }
    lastX = std::max(lastX, x);
    y += h + FGridLineWidth;
    lastY = y;
  }
  // What lies beyond the last cells.
  c->Brush()->SetColor(FColor);
  if (lastX < client.Right) c->FillRect({lastX, 0, client.Right, client.Bottom});
  if (lastY < client.Bottom) c->FillRect({0, lastY, lastX, client.Bottom});
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::WMNCPaint(TMessage& Message) {
  TCustomControl::WMNCPaint(Message);
  if (!HandleAllocated() || !(GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
  HDC dc = GetWindowDC(Handle());
  RECT r = Handle()->WindowRectInWindow();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  ReleaseDC(Handle(), dc);
}

void TCustomGrid::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  if (FEditor) FEditor->Font()->Assign(Font());
  Invalidate();
}

void TCustomGrid::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TCustomGrid::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  UpdateScrollRange();
  UpdateEditor();
}

// ----- Scroll bars

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingBars) return;
  FUpdatingBars = true;
  try {
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
      SCROLLINFO si;
      si.fMask = SIF_ALL;
      si.nMin = 0;
      si.nMax = std::max(0, FRowCount - FFixedRows - 1);
      si.nPage = static_cast<UINT>(VisibleRowCount());
      si.nPos = FTopRow - FFixedRows;
      si.nTrackPos = si.nPos;
      SetScrollInfo(Handle(), SB_VERT, &si, true);
    }
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
      SCROLLINFO si;
      si.fMask = SIF_ALL;
      si.nMin = 0;
      si.nMax = std::max(0, FColCount - FFixedCols - 1);
      si.nPage = static_cast<UINT>(VisibleColCount());
      si.nPos = FLeftCol - FFixedCols;
      si.nTrackPos = si.nPos;
      SetScrollInfo(Handle(), SB_HORZ, &si, true);
    }
  } catch (...) {
    FUpdatingBars = false;
    throw;
  }
  FUpdatingBars = false;
}

void TCustomGrid::Scroll(bool Vertical, int Code, int Pos) {
  const int now = Vertical ? FTopRow : FLeftCol;
  const int page = Vertical ? VisibleRowCount() : VisibleColCount();
  const int first = Vertical ? FFixedRows : FFixedCols;
  const int count = Vertical ? FRowCount : FColCount;
  const auto target = ScrollTarget(Code, Pos, now,
                                   {.Page = page,
                                    .ThumbOrigin = first,
                                    .Top = first,
                                    .Bottom = count - page,
                                    .ThumbTracks = FOptions.Contains(goThumbTracking)});
  if (!target) return;
  const int to = std::clamp(*target, first, std::max(first, count - page));
  if (Vertical)
    SetTopRow(to);
  else
    SetLeftCol(to);
}

void TCustomGrid::WMVScroll(TMessage& Message) {
  Scroll(true, Message.WParamLo(), ScrollMessagePos(Handle(), SB_VERT, Message));
  Message.Result = 0;
}

void TCustomGrid::WMHScroll(TMessage& Message) {
  Scroll(false, Message.WParamLo(), ScrollMessagePos(Handle(), SB_HORZ, Message));
  Message.Result = 0;
}

void TCustomGrid::WMMouseWheel(TMessage& Message) {
  if (DoMouseWheel(Message)) return;
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  WORD key = delta > 0 ? VK_UP : VK_DOWN;
  KeyDown(key, {});
  Message.Result = 1;
}

// ----- The current cell

bool TCustomGrid::SelectCell(int, int) {
  return true;
}

void TCustomGrid::ScrollCurrentIntoView() {
  if (FRow >= FFixedRows) {
    if (FRow < FTopRow)
      SetTopRow(FRow);
    else if (FRow >= FTopRow + VisibleRowCount())
      SetTopRow(FRow - VisibleRowCount() + 1);
  }
  if (FCol >= FFixedCols && !FOptions.Contains(goRowSelect)) {
    if (FCol < FLeftCol)
      SetLeftCol(FCol);
    else if (FCol >= FLeftCol + VisibleColCount())
      SetLeftCol(FCol - VisibleColCount() + 1);
  }
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor) {
  ACol = std::clamp(ACol, FFixedCols, FColCount - 1);
  ARow = std::clamp(ARow, FFixedRows, FRowCount - 1);
  if ((ACol != FCol || ARow != FRow) && !SelectCell(ACol, ARow)) return;
  const TGridRect old = Selection();
  FCol = ACol;
  FRow = ARow;
  if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
    FAnchorCol = ACol;
    FAnchorRow = ARow;
  }
  ScrollCurrentIntoView();
  for (int r = old.Top; r <= old.Bottom; ++r) InvalidateRow(r);
  InvalidateRow(FRow);
  UpdateEditor();
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor);
  Click();
}

// ----- The edit field

bool TCustomGrid::CanEditShow() {
  return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode &&
         FCol >= FFixedCols && FRow >= FFixedRows && HandleAllocated();
}

bool TCustomGrid::InEditor() const {
  return FEditor && FEditor->HandleAllocated() && FEditor->Focused();
}

AnsiString TCustomGrid::GetEditText(int, int) {
  return "";
}

void TCustomGrid::SetEditText(int, int, const AnsiString&) {}

void TCustomGrid::SetEditorMode(bool Value) {
  if (Value)
    ShowEditor();
  else
    HideEditor();
}

void TCustomGrid::ShowEditor() {
  if (!FOptions.Contains(goEditing) || FOptions.Contains(goRowSelect)) return;
  FEditorMode = true;
  if (!CanEditShow()) {
    FEditorMode = false;
    return;
  }
  if (!FEditor) {
    FEditor = new TInplaceEdit(this, this); // owned by the grid as a component
    FEditor->SetParent(this);
    FEditor->Font()->Assign(Font());
  }
  UpdateEditor();
}

void TCustomGrid::HideEditor() {
  const bool had = FEditorMode;
  FEditorMode = false;
  if (FEditor) HideEditorWindow();
  if (had) InvalidateCell(FCol, FRow);
}

void TCustomGrid::HideEditorWindow() {
  if (!FEditor->Visible()) return;
  // The edit field is the grid's own part: the focus it had stays with the grid.
  const bool hadFocus = FEditor->HandleAllocated() && FEditor->Focused();
  FEditor->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
}

void TCustomGrid::UpdateEditor() {
  if (!FEditor) return;
  if (!FEditorMode || !CanEditShow()) {
    HideEditorWindow();
    return;
  }
  const TRect r = CellRect(FCol, FRow);
  HideEditorWindow(); // a new cell's text is no change by the user
  if (r.IsEmpty()) return;
  FEditor->SetBoundsRect(TRect{r.Left, r.Top, r.Right, r.Bottom});
  FEditor->SetText(GetEditText(FCol, FRow));
  FEditor->SelectAll();
  FEditor->SetVisible(true);
  if ((Focused() || InEditor()) && FEditor->CanFocus()) FEditor->SetFocus();
}

// ----- Focus, keys and mouse

void TCustomGrid::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  if (FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) ShowEditor();
  InvalidateRow(FRow);
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  InvalidateRow(FRow);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTALLKEYS;
}

void TCustomGrid::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
}

void TCustomGrid::WMChar(TMessage& Message) {
  DoKeyPress(Message);
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key != 0) NavigateKey(Key, Shift);
}

void TCustomGrid::NavigateKey(WORD& Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
  const bool anchor = !shift || !FOptions.Contains(goRangeSelect);
  const int page = VisibleRowCount();
  switch (Key) {
  case VK_UP:
    FocusCell(FCol, FRow - 1, anchor);
    break;
  case VK_DOWN:
    FocusCell(FCol, FRow + 1, anchor);
    break;
  case VK_LEFT:
    if (FOptions.Contains(goRowSelect)) break;
    FocusCell(FCol - 1, FRow, anchor);
    break;
  case VK_RIGHT:
    if (FOptions.Contains(goRowSelect)) break;
    FocusCell(FCol + 1, FRow, anchor);
    break;
  case VK_PRIOR:
    FocusCell(FCol, FRow - page, anchor);
    break;
  case VK_NEXT:
    FocusCell(FCol, FRow + page, anchor);
    break;
  case VK_HOME:
    if (ctrl)
      FocusCell(FCol, FFixedRows, anchor);
    else
      FocusCell(FFixedCols, FRow, anchor);
    break;
  case VK_END:
    if (ctrl)
      FocusCell(FCol, FRowCount - 1, anchor);
    else
      FocusCell(FColCount - 1, FRow, anchor);
    break;
  case VK_TAB:
    if (!FOptions.Contains(goTabs)) break;
    if (shift)
      FocusCell(FCol > FFixedCols ? FCol - 1 : FColCount - 1, FCol > FFixedCols ? FRow : FRow - 1, true);
    else
      FocusCell(FCol < FColCount - 1 ? FCol + 1 : FFixedCols, FCol < FColCount - 1 ? FRow : FRow + 1, true);
    break;
  case VK_F2:
    if (FEditorMode)
      HideEditor();
    else
      ShowEditor();
    break;
  case VK_RETURN:
    if (FOptions.Contains(goEditing)) {
      if (FEditorMode)
        HideEditor();
      else
        ShowEditor();
    }
    break;
  case VK_ESCAPE:
    if (FEditorMode && !FOptions.Contains(goAlwaysShowEditor)) HideEditor();
    break;
  default:
    return;
  }
}

void TCustomGrid::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 0 || InEditor()) return;
  if (static_cast<unsigned char>(Key) >= 32 && FOptions.Contains(goEditing) && !FEditorMode) {
    // Typing starts editing the current cell with that character.
    ShowEditor();
    if (FEditor && FEditor->Visible() && FEditor->HandleAllocated()) {
      FEditor->SetSelStart(0);
      FEditor->SetSelLength(static_cast<int>(FEditor->GetText().size()));
      FEditor->Perform(WM_CHAR, static_cast<unsigned char>(Key), 0);
    }
    Key = 0;
  }
}

void TCustomGrid::WMLButtonDown(TMessage& Message) {
  TCustomControl::WMLButtonDown(Message);
  const TWMMouse m(Message);
  if (CanFocus() && !Focused() && !InEditor()) SetFocus();
  const TGridCoord g = MouseCoord(m.XPos, m.YPos);
  if (g.X < FFixedCols || g.Y < FFixedRows) return;
  const bool again = g.X == FCol && g.Y == FRow;
  FocusCell(g.X, g.Y, !(m.Keys & MK_SHIFT));
  FSelecting = FOptions.Contains(goRangeSelect);
  if (again && FOptions.Contains(goEditing)) ShowEditor();
}

void TCustomGrid::WMMouseMove(TMessage& Message) {
  TCustomControl::WMMouseMove(Message);
  if (!FSelecting) return;
  const TWMMouse m(Message);
  const TGridCoord g = MouseCoord(m.XPos, m.YPos);
  if (g.X >= FFixedCols && g.Y >= FFixedRows) MoveCurrent(g.X, g.Y, false);
}

void TCustomGrid::WMLButtonUp(TMessage& Message) {
  FSelecting = false;
  TCustomControl::WMLButtonUp(Message);
}

void TCustomGrid::WMCut(TMessage& Message) {
  ForwardToEdit(InEditor() ? FEditor : nullptr, Message);
}
void TCustomGrid::WMCopy(TMessage& Message) {
  ForwardToEdit(InEditor() ? FEditor : nullptr, Message);
}
void TCustomGrid::WMPaste(TMessage& Message) {
  ForwardToEdit(InEditor() ? FEditor : nullptr, Message);
}
void TCustomGrid::WMClear(TMessage& Message) {
  ForwardToEdit(InEditor() ? FEditor : nullptr, Message);
}
void TCustomGrid::WMUndo(TMessage& Message) {
  ForwardToEdit(InEditor() ? FEditor : nullptr, Message);
}
void TCustomGrid::WMSetText(TMessage& Message) {
  DefaultHandler(Message);
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}
