#pragma once
// TCustomGrid: rows and columns of cells, the first of them fixed (titles), with a current cell moved by the
// keys and the mouse, scrolling by whole rows and columns, grid lines, and an edit field over the current
// cell (TInplaceEdit). Descendants draw the cells (DrawCell) and give their text for editing.
#include <memory>
#include <vector>

#include "classlib/controls/Edit.h"
#include "classlib/core/Set.h"

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

struct TGridCoord {
  int X = 0;
  int Y = 0;
};
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int ACol, int ARow) const {
    return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
  }
};

class TCustomGrid;

// The edit field a grid shows over its current cell: the keys that move between cells go to the grid.
class TInplaceEdit : public TCustomEdit {
  QUENDREL_CLASS(TInplaceEdit, TCustomEdit)
 public:
  TInplaceEdit(TComponent* AOwner, TCustomGrid* Grid);
  TCustomGrid* Grid() const { return FGrid; }
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;

 protected:
  bool EditCanModify() override;
  void Change() override;

 private:
  TCustomGrid* FGrid;
};

class TCustomGrid : public TCustomControl {
  QUENDREL_CLASS(TCustomGrid, TCustomControl)
 public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  int ColCount() const { return FColCount; }
  void SetColCount(int Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

  // The current cell; setting it selects that cell.
  int Col() const { return FCol; }
  void SetCol(int Value) { FocusCell(Value, FRow, true); }
  int Row() const { return FRow; }
  void SetRow(int Value) { FocusCell(FCol, Value, true); }
  TGridRect Selection() const;
  int TopRow() const { return FTopRow; }
  void SetTopRow(int Value);
  int LeftCol() const { return FLeftCol; }
  void SetLeftCol(int Value);
  // Scrollable rows and columns that fit whole in the client area (at least one).
  int VisibleRowCount();
  int VisibleColCount();
  // The cell's rectangle in client coordinates, without its grid lines; empty when it is not shown.
  TRect CellRect(int ACol, int ARow);
  TGridCoord MouseCoord(int X, int Y);
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* InplaceEditor() const { return FEditor; }

  void InvalidateCell(int ACol, int ARow);
  void InvalidateRow(int ARow);
  void InvalidateCol(int ACol);

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  // Messages the base classes do not know, in the class's message table.
  virtual void WMVScroll(TMessage& Message);
  virtual void WMHScroll(TMessage& Message);
  virtual void WMCut(TMessage& Message);
  virtual void WMCopy(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  virtual void WMClear(TMessage& Message);
  virtual void WMUndo(TMessage& Message);
  virtual void WMSetText(TMessage& Message);

  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);

  // The edit field asks: keys that move between cells, and the text it edits.
  virtual void KeyDown(WORD& Key, TShiftState Shift) override;
  virtual void KeyPress(char& Key) override;
  virtual bool CanEditModify() { return true; }
  virtual AnsiString GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
  void ShowEditor();
  void HideEditor();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  virtual bool SelectCell(int ACol, int ARow);
  virtual void TopLeftChanged();
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  virtual bool CanEditShow();
  virtual void UpdateScrollRange();
  // Moves the current cell; MoveAnchor ends a range selection.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor);
  // What the keys do to the current cell and the edit field, after OnKeyDown.
  void NavigateKey(WORD& Key, TShiftState Shift);
  void ScrollCurrentIntoView();
  void UpdateEditor(); // the edit field follows the current cell and its text
  void HideEditorWindow();
  void InvalidateGrid() { Invalidate(); }
  bool InEditor() const;

 private:
  int ColLeft(int ACol);
  int RowTop(int ARow);
  void Scroll(bool Vertical, int Code, int Pos);

  int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
  int FDefaultColWidth = 64, FDefaultRowHeight = 24;
  std::vector<int> FColWidths, FRowHeights;
  int FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor FFixedColor = clBtnFace;
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  bool FDefaultDrawing = true;
  int FCol = 1, FRow = 1;
  int FAnchorCol = 1, FAnchorRow = 1;
  int FTopRow = 1, FLeftCol = 1;
  bool FEditorMode = false;
  TInplaceEdit* FEditor = nullptr; // owned as a child component
  bool FSelecting = false;
  bool FUpdatingBars = false;
};

class TDrawGrid : public TCustomGrid {
  QUENDREL_CLASS(TDrawGrid, TCustomGrid)
 public:
  explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
  using TDrawCellEvent = TEvent<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
  TDrawCellEvent OnDrawCell;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
};
