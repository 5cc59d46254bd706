#pragma once
// TCustomDBGrid: a grid of records, one row per record around the current one, one column per field (or per
// column the application lists), with titles, an indicator of the current record and its state, editing in
// the cells, and a vertical scroll bar that counts records.
#include <memory>

#include "classlib/controls/Grids.h"
#include "classlib/core/Collection.h"
#include "classlib/data/DataLink.h"

class TCustomDBGrid;

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit
};
using TDBGridOptions = TSet<TDBGridOption>;

// One column: the field it shows, its title and width. Width 0 takes the field's display width.
class TColumn : public TCollectionItem {
  QUENDREL_CLASS(TColumn, TCollectionItem)
 public:
  explicit TColumn(TCollection* Collection);
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  TField* Field() const;
  AnsiString Title() const;
  void SetTitle(const AnsiString& Value);
  int Width() const;
  void SetWidth(int Value);
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  void Assign(TPersistent* Source) override;
  TCustomDBGrid* Grid() const;

 private:
  AnsiString FFieldName;
  AnsiString FTitle;
  int FWidth = 0;
  int FAlignment = -1; // -1: the field's
  bool FVisible = true;
  bool FReadOnly = false;
};

class TDBGridColumns : public TCollection {
  QUENDREL_CLASS(TDBGridColumns, TCollection)
 public:
  explicit TDBGridColumns(TCustomDBGrid* Grid);
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
  TCustomDBGrid* Grid() const { return FGrid; }
  // Columns the application made: the grid no longer makes them from the fields.
  bool Customized() const { return FCustomized; }
  void SetCustomized(bool Value) { FCustomized = Value; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomDBGrid* FGrid;
  bool FCustomized = false;
};

class TGridDataLink : public TDataLink {
 public:
  explicit TGridDataLink(TCustomDBGrid* Grid) : FGrid(Grid) {}
  void Detach() { FGrid = nullptr; } // the grid goes: it hears nothing more

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;
  void FocusControl(TField** Field) override;

 private:
  TCustomDBGrid* FGrid;
};

using TDrawColumnCellEvent =
    TEvent<void(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;

class TCustomDBGrid : public TCustomGrid {
  QUENDREL_CLASS(TCustomDBGrid, TCustomGrid)
 public:
  explicit TCustomDBGrid(TComponent* AOwner);
  ~TCustomDBGrid() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDBGridOptions DBOptions() const { return FDBOptions; }
  void SetDBOptions(TDBGridOptions Value);
  TDBGridColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumns* Value) { FColumns->Assign(Value); }
  TFont* TitleFont() const { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TGridDataLink* DataLink() const { return FDataLink.get(); }
  // The column of the current cell, counted among the columns (not the indicator).
  int SelectedIndex() const;
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  int TitleOffset() const { return FDBOptions.Contains(dgTitles) ? 1 : 0; }
  int IndicatorOffset() const { return FDBOptions.Contains(dgIndicator) ? 1 : 0; }
  // The grid's rows of records: as many as fit.
  int VisibleDataRowCount();

  TDrawColumnCellEvent OnDrawColumnCell;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;

  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  bool CanEditModify() override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void WMVScroll(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void CMGetDataLink(TMessage& Message);

  // Told by the data link.
  void LinkActive(bool Value);
  void DataChanged();
  void Scroll(int Distance);
  void EditingChanged();
  void LayoutChanged();
  void RecordChanged(TField* Field);
  void UpdateData();
  void ColumnsChanged();

 protected:
  bool SelectCell(int ACol, int ARow) override;
  bool CanEditShow() override;
  void UpdateScrollRange() override;
  void CreateWnd() override;

 private:
  void BuildDefaultColumns();
  void UpdateLayout();
  void UpdateRowCount();
  int ColumnWidth(TColumn* Column);
  void DrawIndicator(const TRect& Rect, int Row);

  std::unique_ptr<TGridDataLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  std::unique_ptr<TFont> FTitleFont;
  TDBGridOptions FDBOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                            dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
  bool FReadOnly = false;
  AnsiString FEditText;
  bool FEditModified = false;
  bool FLayoutLock = false;
  bool FMovingRow = false;
};

class TDBGrid : public TCustomDBGrid {
  QUENDREL_CLASS(TDBGrid, TCustomDBGrid)
 public:
  explicit TDBGrid(TComponent* AOwner) : TCustomDBGrid(AOwner) {}
};
