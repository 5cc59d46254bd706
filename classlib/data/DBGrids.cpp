#include "classlib/data/DBGrids.h"

#include <algorithm>
#include <limits>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/graphics/Gdi.h"

namespace {

const TEnumInfo DBGridOptionNames{{"dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator",
                                   "dgColumnResize", "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect",
                                   "dgAlwaysShowSelection", "dgConfirmDelete", "dgCancelOnExit"}};

constexpr int IndicatorWidth = 11;

} // namespace

QUENDREL_REGISTER_CLASS(TColumn, TCollectionItem) {
  c.CollectionItem();
  c.Property("FieldName", &TColumn::FieldName, &TColumn::SetFieldName);
  c.Property("Title", &TColumn::Title, &TColumn::SetTitle);
  c.Property("Width", &TColumn::Width, &TColumn::SetWidth);
  c.Property("Visible", &TColumn::Visible, &TColumn::SetVisible).Default(1);
  c.Property("ReadOnly", &TColumn::ReadOnly, &TColumn::SetReadOnly).Default(0);
}
QUENDREL_REGISTER_CLASS(TDBGridColumns, TCollection) {}
QUENDREL_REGISTER_CLASS(TCustomDBGrid, TCustomGrid) {
  c.Property("DataSource", &TCustomDBGrid::DataSource, &TCustomDBGrid::SetDataSource);
  c.Set("Options", &TCustomDBGrid::DBOptions, &TCustomDBGrid::SetDBOptions, DBGridOptionNames);
  c.Property("Columns", &TCustomDBGrid::Columns, &TCustomDBGrid::SetColumns);
  c.Property("TitleFont", &TCustomDBGrid::TitleFont, &TCustomDBGrid::SetTitleFont);
  c.Property("ReadOnly", &TCustomDBGrid::ReadOnly, &TCustomDBGrid::SetReadOnly).Default(0);
  c.Event("OnDrawColumnCell", &TCustomDBGrid::OnDrawColumnCell);
  c.Event("OnColEnter", &TCustomDBGrid::OnColEnter);
  c.Event("OnColExit", &TCustomDBGrid::OnColExit);
  c.Message(CM_GETDATALINK, &TCustomDBGrid::CMGetDataLink);
}
QUENDREL_REGISTER_CLASS(TDBGrid, TCustomDBGrid) {
  c.Creatable();
}

// ---------------------------------------------------------------------------------------------------------
// TColumn, TDBGridColumns

TColumn::TColumn(TCollection* Collection) : TCollectionItem(Collection) {
  Changed(true); // the collection heard of the item before it was a column
}

TCustomDBGrid* TColumn::Grid() const {
  auto* columns = dynamic_cast<TDBGridColumns*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

void TColumn::SetFieldName(const AnsiString& Value) {
  FFieldName = Value;
  Changed(true);
}

TField* TColumn::Field() const {
  TCustomDBGrid* grid = Grid();
  TDataSet* ds = grid && grid->DataLink()->Active() ? grid->DataLink()->DataSet() : nullptr;
  return ds && !FFieldName.empty() ? ds->FindField(FFieldName) : nullptr;
}

AnsiString TColumn::Title() const {
  if (!FTitle.empty()) return FTitle;
  const TField* f = Field();
  return f ? f->DisplayLabel() : FFieldName;
}

void TColumn::SetTitle(const AnsiString& Value) {
  FTitle = Value;
  Changed(false);
}

int TColumn::Width() const {
  return FWidth;
}

void TColumn::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  Changed(true);
}

TAlignment TColumn::Alignment() const {
  if (FAlignment >= 0) return static_cast<TAlignment>(FAlignment);
  const TField* f = Field();
  return f ? f->Alignment() : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Changed(false);
}

void TColumn::SetVisible(bool Value) {
  FVisible = Value;
  Changed(true);
}

void TColumn::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TColumn*>(Source)) {
    FFieldName = c->FFieldName;
    FTitle = c->FTitle;
    FWidth = c->FWidth;
    FAlignment = c->FAlignment;
    FVisible = c->FVisible;
    FReadOnly = c->FReadOnly;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

TDBGridColumns::TDBGridColumns(TCustomDBGrid* Grid) : TCollection(TColumn::StaticClass()), FGrid(Grid) {}

TPersistent* TDBGridColumns::GetOwner() {
  return FGrid;
}

void TDBGridColumns::Update(TCollectionItem*) {
  // An item still being made is no column yet: its own constructor reports it once it is.
  for (int i = 0; i < Count(); ++i)
    if (!dynamic_cast<TColumn*>(TCollection::Items(i))) return;
  if (FGrid) FGrid->ColumnsChanged();
}

// ---------------------------------------------------------------------------------------------------------
// TGridDataLink

void TGridDataLink::ActiveChanged() {
  if (FGrid) FGrid->LinkActive(Active());
}
void TGridDataLink::DataSetChanged() {
  if (FGrid) FGrid->DataChanged();
}
void TGridDataLink::DataSetScrolled(int Distance) {
  if (FGrid) FGrid->Scroll(Distance);
}
void TGridDataLink::EditingChanged() {
  if (FGrid) FGrid->EditingChanged();
}
void TGridDataLink::LayoutChanged() {
  if (FGrid) FGrid->LayoutChanged();
}
void TGridDataLink::RecordChanged(TField* Field) {
  if (FGrid) FGrid->RecordChanged(Field);
}
void TGridDataLink::UpdateData() {
  if (FGrid) FGrid->UpdateData();
}
void TGridDataLink::FocusControl(TField** Field) {
  if (!FGrid || !*Field || !FGrid->CanFocus()) return;
  for (int i = 0; i < FGrid->Columns()->Count(); ++i)
    if (FGrid->Columns()->Items(i)->Field() == *Field) {
      FGrid->SetSelectedIndex(i);
      FGrid->SetFocus();
      *Field = nullptr;
      return;
    }
}

// ---------------------------------------------------------------------------------------------------------
// TCustomDBGrid

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner), FDataLink(std::make_unique<TGridDataLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)), FTitleFont(std::make_unique<TFont>()) {
  FDataLink->SetVisualControl(true);
  FTitleFont->Assign(Font());
  SetDefaultRowHeight(18);
  SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goTabs, goEditing});
  UpdateLayout();
}

TCustomDBGrid::~TCustomDBGrid() {
  FDataLink->Detach();
  FDataLink.reset();
  FColumns.reset();
}

void TCustomDBGrid::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActive(FDataLink->Active());
}

void TCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

bool TCustomDBGrid::ExecuteAction(TBasicAction* Action) {
  return TCustomGrid::ExecuteAction(Action) || (FDataLink && FDataLink->ExecuteAction(Action));
}

bool TCustomDBGrid::UpdateAction(TBasicAction* Action) {
  return TCustomGrid::UpdateAction(Action) || (FDataLink && FDataLink->UpdateAction(Action));
}

void TCustomDBGrid::SetDBOptions(TDBGridOptions Value) {
  FDBOptions = Value;
  TGridOptions o = Options();
  auto flag = [&](TGridOption g, bool on) {
    if (on)
      o.Include(g);
    else
      o.Exclude(g);
  };
  flag(goEditing, Value.Contains(dgEditing));
  flag(goAlwaysShowEditor, Value.Contains(dgAlwaysShowEditor));
  flag(goVertLine, Value.Contains(dgColLines));
  flag(goFixedVertLine, Value.Contains(dgColLines));
  flag(goHorzLine, Value.Contains(dgRowLines));
  flag(goFixedHorzLine, Value.Contains(dgRowLines));
  flag(goTabs, Value.Contains(dgTabs));
  flag(goRowSelect, Value.Contains(dgRowSelect));
  SetOptions(o);
  UpdateLayout();
}

int TCustomDBGrid::SelectedIndex() const {
  return Col() - IndicatorOffset();
}

void TCustomDBGrid::SetSelectedIndex(int Value) {
  SetCol(Value + IndicatorOffset());
}

TField* TCustomDBGrid::SelectedField() const {
  const int i = SelectedIndex();
  return i >= 0 && i < FColumns->Count() ? FColumns->Items(i)->Field() : nullptr;
}

int TCustomDBGrid::VisibleDataRowCount() {
  const int titles = TitleOffset() ? RowHeights(0) + GridLineWidth() : 0;
  const int rowHeight = DefaultRowHeight() + GridLineWidth();
  return std::max(1, (ClientRect().Height() - titles) / std::max(1, rowHeight));
}

// ----- Layout

void TCustomDBGrid::BuildDefaultColumns() {
  if (FColumns->Customized()) return;
  FLayoutLock = true;
  FColumns->BeginUpdate();
  FColumns->Clear();
  TDataSet* ds = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
  for (int i = 0; ds && i < ds->FieldCount(); ++i) {
    TField* f = ds->Fields(i);
    if (!f->Visible()) continue;
    FColumns->Add()->SetFieldName(f->FieldName());
  }
  FColumns->EndUpdate();
  FLayoutLock = false;
}

int TCustomDBGrid::ColumnWidth(TColumn* Column) {
  if (Column->Width() > 0) return Column->Width();
  const TField* f = Column->Field();
  if (!HandleAllocated()) return DefaultColWidth();
  Canvas()->Font()->Assign(Font());
  const int chars = f ? f->DisplayWidth() : 10;
  const int data = chars * Canvas()->TextWidth("0") + 4;
  Canvas()->Font()->Assign(FTitleFont.get());
  const int title = Canvas()->TextWidth(Column->Title()) + 4;
  return std::max(data, title);
}

void TCustomDBGrid::UpdateLayout() {
  if (FLayoutLock) return;
  FLayoutLock = true;
  try {
    const int cols = std::max(1, FColumns->Count()) + IndicatorOffset();
    SetColCount(cols);
    SetFixedCols(IndicatorOffset());
    if (IndicatorOffset()) SetColWidths(0, IndicatorWidth);
    for (int i = 0; i < FColumns->Count(); ++i) {
      TColumn* c = FColumns->Items(i);
      SetColWidths(i + IndicatorOffset(), c->Visible() ? ColumnWidth(c) : 0);
    }
    if (FColumns->Count() == 0) SetColWidths(IndicatorOffset(), DefaultColWidth());
    UpdateRowCount();
  } catch (...) {
    FLayoutLock = false;
    throw;
  }
  FLayoutLock = false;
  Invalidate();
}

void TCustomDBGrid::UpdateRowCount() {
  const int titles = TitleOffset();
  if (HandleAllocated()) FDataLink->SetBufferCount(VisibleDataRowCount());
  const int records = FDataLink->Active() ? FDataLink->RecordCount() : 0;
  SetRowCount(titles + std::max(1, records));
  SetFixedRows(titles);
  if (titles && FTitleFont) SetRowHeights(0, DefaultRowHeight());
  if (FDataLink->Active() && records > 0) {
    // The current record's row, without moving the data set.
    FMovingRow = true;
    MoveCurrent(Col(), titles + FDataLink->ActiveRecord(), true);
    FMovingRow = false;
  }
  UpdateScrollRange();
}

void TCustomDBGrid::ColumnsChanged() {
  if (FLayoutLock) return;
  if (!FColumns->Customized() && FColumns->Count() > 0) FColumns->SetCustomized(true);
  UpdateLayout();
}

void TCustomDBGrid::LinkActive(bool Value) {
  if (!Value) HideEditor();
  BuildDefaultColumns();
  UpdateLayout();
  UpdateScrollRange();
}

void TCustomDBGrid::LayoutChanged() {
  BuildDefaultColumns();
  UpdateLayout();
}

void TCustomDBGrid::DataChanged() {
  UpdateRowCount();
  FEditModified = false;
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::Scroll(int) {
  UpdateRowCount();
  FEditModified = false;
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::EditingChanged() {
  if (!FDataLink->Editing()) FEditModified = false;
  InvalidateCol(0);
  Invalidate();
}

void TCustomDBGrid::RecordChanged(TField* Field) {
  Invalidate();
  if (!Field || Field == SelectedField()) {
    FEditModified = false;
    if (EditorMode() && InplaceEditor() && !InplaceEditor()->Focused()) UpdateEditor();
  }
}

void TCustomDBGrid::UpdateData() {
  TField* f = SelectedField();
  if (f && FEditModified) f->SetText(FEditText);
  FEditModified = false;
}

void TCustomDBGrid::CreateWnd() {
  TCustomGrid::CreateWnd();
  UpdateLayout(); // column widths come from the font, which is measured on the window
}

void TCustomDBGrid::WMSize(TMessage& Message) {
  TCustomGrid::WMSize(Message);
  UpdateRowCount();
}

void TCustomDBGrid::CMFontChanged(TMessage& Message) {
  TCustomGrid::CMFontChanged(Message);
  UpdateLayout();
}

// ----- The current cell and editing

bool TCustomDBGrid::SelectCell(int ACol, int ARow) {
  if (!TCustomGrid::SelectCell(ACol, ARow)) return false;
  if (ACol != Col() && FEditModified && FDataLink->Editing()) FDataLink->UpdateRecord();
  if (ACol != Col() && OnColExit) OnColExit(this);
  if (FMovingRow || !FDataLink->Active()) return true;
  // Another row means another record: the data set moves, and the grid follows it.
  const int delta = ARow - Row();
  if (delta != 0) {
    FDataLink->DataSet()->MoveBy(delta);
    return ACol != Col() ? (MoveCurrent(ACol, Row(), true), false) : false;
  }
  return true;
}

bool TCustomDBGrid::CanEditShow() {
  if (!TCustomGrid::CanEditShow() || FReadOnly || !FDataLink->Active()) return false;
  const int i = SelectedIndex();
  if (i < 0 || i >= FColumns->Count() || FColumns->Items(i)->ReadOnly()) return false;
  const TField* f = SelectedField();
  return f && !f->IsBlob() && f->CanModify();
}

bool TCustomDBGrid::CanEditModify() {
  if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
  const TField* f = SelectedField();
  if (!f || !f->CanModify()) return false;
  FDataLink->Edit();
  return FDataLink->Editing();
}

AnsiString TCustomDBGrid::GetEditText(int, int) {
  const TField* f = SelectedField();
  FEditText = f ? f->Text() : AnsiString();
  return FEditText;
}

void TCustomDBGrid::SetEditText(int, int, const AnsiString& Value) {
  FEditText = Value;
  FEditModified = true;
}

void TCustomDBGrid::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  TDataSet* ds = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
  const bool ctrl = Shift.Contains(ssCtrl);
  if (!ds) return NavigateKey(Key, Shift);
  const bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
  auto canAppend = [&] { return FDBOptions.Contains(dgEditing) && !FReadOnly && ds->CanModify(); };
  switch (Key) {
  case VK_UP:
    ds->MoveBy(-1);
    break;
  case VK_DOWN:
    if (ds->Eof() || ds->RecNo() == ds->RecordCount()) {
      if (canAppend() && !(ds->State() == dsInsert && !ds->Modified())) ds->Append();
    } else {
      ds->MoveBy(1);
    }
    break;
  case VK_PRIOR:
    ds->MoveBy(-VisibleDataRowCount());
    break;
  case VK_NEXT:
    ds->MoveBy(VisibleDataRowCount());
    break;
  case VK_HOME:
  case VK_END:
    if (ctrl) {
      if (Key == VK_HOME)
        ds->First();
      else
        ds->Last();
    } else {
      NavigateKey(Key, Shift);
    }
    break;
  case VK_INSERT:
    if (canAppend() && !editing) ds->Insert();
    break;
  case VK_DELETE:
    if (!ctrl) return NavigateKey(Key, Shift);
    if (!FReadOnly && ds->CanModify() && !ds->IsEmpty() &&
        (!FDBOptions.Contains(dgConfirmDelete) ||
         MessageDlg("Delete record?", mtConfirmation, mbOKCancel, 0) != mrCancel))
      ds->Delete();
    break;
  case VK_ESCAPE:
    if (EditorMode() && FEditModified) {
      FEditModified = false;
      UpdateEditor();
    } else if (editing) {
      ds->Cancel();
      HideEditor();
    }
    break;
  case VK_RETURN:
    if (EditorMode()) {
      if (FEditModified) FDataLink->UpdateRecord();
      HideEditor();
    } else {
      ShowEditor();
    }
    break;
  default:
    NavigateKey(Key, Shift);
    return;
  }
}

void TCustomDBGrid::KeyPress(char& Key) {
  if (Key == 27 || Key == '\r') {
    Key = 0;
    return;
  }
  TCustomGrid::KeyPress(Key);
}

void TCustomDBGrid::WMLButtonDown(TMessage& Message) {
  const TWMMouse m(Message);
  const TGridCoord g = MouseCoord(m.XPos, m.YPos);
  // A click below the last record, or on the titles, moves nothing.
  if (g.Y >= TitleOffset() && g.Y - TitleOffset() >= FDataLink->RecordCount() && FDataLink->Active()) {
    if (CanFocus() && !Focused()) SetFocus();
    return;
  }
  TCustomGrid::WMLButtonDown(Message);
}

void TCustomDBGrid::CMExit(TMessage& Message) {
  try {
    if (FEditModified && FDataLink->Editing()) FDataLink->UpdateRecord();
  } catch (...) {
    if (CanFocus()) SetFocus();
    throw;
  }
  TCustomGrid::CMExit(Message);
}

// ----- Scroll bars

void TCustomDBGrid::UpdateScrollRange() {
  if (!HandleAllocated()) return;
  TDataSet* ds = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
  if (!ds) {
    TCustomGrid::UpdateScrollRange();
    return;
  }
  if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = std::max(0, ColCount() - FixedCols() - 1);
    si.nPage = static_cast<UINT>(VisibleColCount());
    si.nPos = LeftCol() - FixedCols();
    si.nTrackPos = si.nPos;
    SetScrollInfo(Handle(), SB_HORZ, &si, true);
  }
  if (ScrollBars() == ssVertical || ScrollBars() == ssBoth) {
    // The vertical bar counts records: its range is the record numbers and its position the current one.
    SCROLLINFO old;
    old.fMask = SIF_POS;
    GetScrollInfo(Handle(), SB_VERT, &old);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 1;
    si.nPage = static_cast<UINT>(VisibleDataRowCount());
    si.nMax = static_cast<int>(
        std::min<int64_t>(static_cast<int64_t>(si.nPage) + ds->RecordCount() - 1, INT32_MAX));
    si.nPos = ds->State() == dsInsert ? old.nPos : std::max(1, ds->RecNo());
    si.nTrackPos = si.nPos;
    SetScrollInfo(Handle(), SB_VERT, &si, true);
  }
}

void TCustomDBGrid::WMVScroll(TMessage& Message) {
  TDataSet* ds = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
  Message.Result = 0;
  if (!ds) return TCustomGrid::WMVScroll(Message);
  // A line goes just past the rows on show, so that the window moves by one; the thumb is the record number
  // and moves the record pointer only when dropped; the bottom lies past any record.
  const TScrollMove move =
      ReadScrollCode(Message.WParamLo(), ScrollMessagePos(Handle(), SB_VERT, Message),
                     {.LineBack = FDataLink->ActiveRecord() + 1,
                      .LineForward = FDataLink->RecordCount() - FDataLink->ActiveRecord(),
                      .Page = VisibleDataRowCount(),
                      .Top = 1,
                      .Bottom = std::numeric_limits<int>::max(),
                      .ThumbTracks = false});
  if (move.Kind == TScrollMove::Step) {
    ds->MoveBy(move.Value);
  } else if (move.Kind == TScrollMove::Jump) {
    if (move.Value <= 1)
      ds->First();
    else if (move.Value >= ds->RecordCount())
      ds->Last();
    else
      ds->SetRecNo(move.Value);
  }
  UpdateScrollRange();
}

// ----- Painting

void TCustomDBGrid::DrawIndicator(const TRect& Rect, int Row) {
  TCanvas* c = Canvas();
  if (!FDataLink->Active() || Row - TitleOffset() != FDataLink->ActiveRecord()) return;
  const TDataSetState state = FDataLink->DataSet()->State();
  const int cx = (Rect.Left + Rect.Right) / 2, cy = (Rect.Top + Rect.Bottom) / 2;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBlack);
  c->Pen()->SetColor(clBlack);
  if (state == dsEdit) { // an I-beam
    c->MoveTo(cx, cy - 4);
    c->LineTo(cx, cy + 5);
    c->MoveTo(cx - 2, cy - 4);
    c->LineTo(cx + 3, cy - 4);
    c->MoveTo(cx - 2, cy + 4);
    c->LineTo(cx + 3, cy + 4);
  } else if (state == dsInsert) { // a star
    c->MoveTo(cx - 3, cy);
    c->LineTo(cx + 4, cy);
    c->MoveTo(cx, cy - 3);
    c->LineTo(cx, cy + 4);
    c->MoveTo(cx - 2, cy - 2);
    c->LineTo(cx + 3, cy + 3);
    c->MoveTo(cx + 2, cy - 2);
    c->LineTo(cx - 3, cy + 3);
  } else { // a pointer
    c->Polygon({TPoint{cx - 2, cy - 4}, TPoint{cx + 2, cy}, TPoint{cx - 2, cy + 4}});
  }
}

void TCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int, TColumn* Column, TGridDrawState State) {
  TCanvas* c = Canvas();
  const TField* f = Column->Field();
  const AnsiString text = f ? f->DisplayText() : AnsiString();
  // Text on the ground the cell has: the highlight's own text colour only on the highlight.
  const bool onHighlight =
      c->Brush()->Color() == clHighlight && (State.Contains(gdSelected) || State.Contains(gdFocused));
  c->Font()->Assign(Font());
  if (onHighlight) c->Font()->SetColor(clHighlightText);
  if (!IsEnabledAll()) c->Font()->SetColor(clGrayText);
  c->Brush()->SetStyle(bsClear);
  const int w = c->TextWidth(text);
  TAlignment a = Column->Alignment();
  if (UseRightToLeftAlignment() && a != taCenter) a = a == taLeftJustify ? taRightJustify : taLeftJustify;
  const int x = a == taRightJustify ? Rect.Right - 2 - w
                : a == taCenter     ? Rect.Left + (Rect.Width() - w) / 2
                                    : Rect.Left + 2;
  c->TextRect(Rect, x, Rect.Top + 2, text);
  c->Brush()->SetStyle(bsSolid);
}

void TCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TCanvas* c = Canvas();
  const int column = ACol - IndicatorOffset();
  if (ACol < IndicatorOffset()) {
    if (ARow >= TitleOffset()) DrawIndicator(ARect, ARow);
    return;
  }
  if (column < 0 || column >= FColumns->Count()) return;
  TColumn* col = FColumns->Items(column);
  if (ARow < TitleOffset()) {
    c->Font()->Assign(FTitleFont.get());
    c->Brush()->SetStyle(bsClear);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, col->Title());
    c->Brush()->SetStyle(bsSolid);
    return;
  }
  if (!FDataLink->Active() || ARow - TitleOffset() >= FDataLink->RecordCount()) return;
  const int saved = FDataLink->ActiveRecord();
  FDataLink->SetActiveRecord(ARow - TitleOffset());
  try {
    if (OnDrawColumnCell)
      OnDrawColumnCell(this, ARect, column, col, AState);
    else if (DefaultDrawing())
      DefaultDrawColumnCell(ARect, column, col, AState);
  } catch (...) {
    FDataLink->SetActiveRecord(saved);
    throw;
  }
  FDataLink->SetActiveRecord(saved);
}

void TCustomDBGrid::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
}
