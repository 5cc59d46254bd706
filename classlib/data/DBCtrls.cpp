#include "classlib/data/DBCtrls.h"

#include <algorithm>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Clipboard.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/JPEGImage.h"

// The published properties of a data-aware control and its answer to CM_GETDATALINK.
#define QUENDREL_DB_CONTROL(Class)                                                                           \
  c.Property("DataField", &Class::DataField, &Class::SetDataField);                                          \
  c.Property("DataSource", &Class::DataSource, &Class::SetDataSource);                                       \
  c.Property("ReadOnly", &Class::ReadOnly, &Class::SetReadOnly).Default(0);                                  \
  c.Message(CM_GETDATALINK, static_cast<void (Class::*)(TMessage&)>(&Class::CMGetDataLink))

QUENDREL_REGISTER_CLASS(TDBEdit, TCustomEdit) {
  c.Creatable();
  QUENDREL_DB_CONTROL(TDBEdit);
}
QUENDREL_REGISTER_CLASS(TDBMemo, TCustomMemo) {
  c.Creatable();
  QUENDREL_DB_CONTROL(TDBMemo);
}
QUENDREL_REGISTER_CLASS(TDBImage, TCustomControl) {
  c.Creatable();
  QUENDREL_DB_CONTROL(TDBImage);
  c.Property("Stretch", &TDBImage::Stretch, &TDBImage::SetStretch).Default(0);
  c.Property("Center", &TDBImage::Center, &TDBImage::SetCenter).Default(1);
  c.Enum("BorderStyle", &TDBImage::BorderStyle, &TDBImage::SetBorderStyle, BorderStyleNames)
      .Default(bsSingle);
  c.Message(WM_COPY, &TDBImage::WMCopy);
  c.Message(WM_CUT, &TDBImage::WMCut);
  c.Message(WM_PASTE, &TDBImage::WMPaste);
}
QUENDREL_REGISTER_CLASS(TDBListBox, TCustomListBox) {
  c.Creatable();
  QUENDREL_DB_CONTROL(TDBListBox);
  c.Property("Items", &TDBListBox::Items, &TDBListBox::SetItems);
}
QUENDREL_REGISTER_CLASS(TDBComboBox, TCustomComboBox) {
  c.Creatable();
  QUENDREL_DB_CONTROL(TDBComboBox);
  c.Property("Items", &TDBComboBox::Items, &TDBComboBox::SetItems);
}
QUENDREL_REGISTER_CLASS(TDBLookupControl, TCustomControl) {
  QUENDREL_DB_CONTROL(TDBLookupControl);
  c.Property("ListSource", &TDBLookupControl::ListSource, &TDBLookupControl::SetListSource);
  c.Property("KeyField", &TDBLookupControl::KeyField, &TDBLookupControl::SetKeyField);
  c.Property("ListField", &TDBLookupControl::ListField, &TDBLookupControl::SetListField);
}
QUENDREL_REGISTER_CLASS(TDBLookupListBox, TDBLookupControl) {
  c.Creatable();
  c.Message(WM_VSCROLL, &TDBLookupListBox::WMVScroll);
}
QUENDREL_REGISTER_CLASS(TPopupDataList, TDBLookupListBox) {}
QUENDREL_REGISTER_CLASS(TDBLookupComboBox, TDBLookupControl) {
  c.Creatable();
  c.Property("DropDownRows", &TDBLookupComboBox::DropDownRows, &TDBLookupComboBox::SetDropDownRows)
      .Default(7);
}
#undef QUENDREL_DB_CONTROL

namespace {

void PaintClientEdge(TWinControl* Control) {
  if (!Control->HandleAllocated() || !(GetWindowLong(Control->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
    return;
  HDC dc = GetWindowDC(Control->Handle());
  RECT r = Control->Handle()->WindowRectInWindow();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  ReleaseDC(Control->Handle(), dc);
}

// Leaving a data-aware control writes its value; a value the field refuses keeps the focus on it.
template <class F> void UpdateOnExit(TWinControl* Control, TFieldDataLink* Link, F OnFailure) {
  try {
    Link->UpdateRecord();
  } catch (...) {
    OnFailure();
    if (Control->CanFocus()) Control->SetFocus();
    throw;
  }
}

} // namespace

bool DBUseRightToLeftAlignment(const TControl* Control, const TField* Field) {
  const TAlignment alignment = Field ? Field->Alignment() : taLeftJustify;
  return SysLocale.MiddleEast && Control->BiDiMode() == bdRightToLeft && alignment == taLeftJustify;
}

// ---------------------------------------------------------------------------------------------------------
// TDBEdit

TDBEdit::TDBEdit(TComponent* AOwner) : inherited(AOwner) {
  Link()->OnDataChange = [this](TObject* s) { DataChange(s); };
  Link()->OnUpdateData = [this](TObject* s) { UpdateData(s); };
}

void TDBEdit::DataChange(TObject*) {
  TField* f = Field();
  if (!f) {
    SetText("");
    return;
  }
  SetAlignment(f->Alignment());
  if (f->DataType() == ftString && MaxLength() == 0) SetMaxLength(f->Size());
  // While the user is in the field it shows the text to edit; otherwise the text to read.
  SetText(FFocused && Link()->CanModify() ? f->Text() : f->DisplayText());
}

void TDBEdit::UpdateData(TObject*) {
  if (Field()) Field()->SetText(GetText());
}

void TDBEdit::SetFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  if (Field() && !(Field()->Alignment() == taLeftJustify)) Invalidate();
  Link()->Reset();
}

void TDBEdit::CMEnter(TMessage& Message) {
  SetFocused(true);
  TCustomEdit::CMEnter(Message);
}

void TDBEdit::CMExit(TMessage& Message) {
  UpdateOnExit(this, Link(), [this] { SelectAll(); });
  SetFocused(false);
  TCustomEdit::CMExit(Message);
}

// ---------------------------------------------------------------------------------------------------------
// TDBMemo

TDBMemo::TDBMemo(TComponent* AOwner) : inherited(AOwner) {
  Link()->OnDataChange = [this](TObject* s) { DataChange(s); };
  Link()->OnUpdateData = [this](TObject* s) { UpdateData(s); };
}

void TDBMemo::DataChange(TObject*) {
  TField* f = Field();
  if (!f) {
    SetText("");
    return;
  }
  SetText(f->IsBlob() ? f->AsString() : FFocused && Link()->CanModify() ? f->Text() : f->DisplayText());
}

void TDBMemo::UpdateData(TObject*) {
  if (Field()) Field()->SetAsString(GetText());
}

void TDBMemo::CMEnter(TMessage& Message) {
  FFocused = true;
  TCustomMemo::CMEnter(Message);
}

void TDBMemo::CMExit(TMessage& Message) {
  UpdateOnExit(this, Link(), [] {});
  FFocused = false;
  TCustomMemo::CMExit(Message);
}

// ---------------------------------------------------------------------------------------------------------
// TDBImage

TDBImage::TDBImage(TComponent* AOwner) : inherited(AOwner), FPicture(std::make_unique<TPicture>()) {
  ControlStyle = {csOpaque, csReplicatable, csClickEvents, csDoubleClicks};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  SetBounds(FLeft, FTop, 105, 105);
  Link()->OnDataChange = [this](TObject* s) { DataChange(s); };
  Link()->OnUpdateData = [this](TObject* s) { UpdateData(s); };
}

void TDBImage::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDBImage::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TDBImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}

void TDBImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}

void TDBImage::LoadPicture() {
  const TField* f = Field();
  const AnsiString bytes = f ? f->AsString() : AnsiString();
  if (bytes == FLoadedBytes && (bytes.empty() || FPicture->Graphic())) return;
  FLoadedBytes = bytes;
  if (bytes.empty()) {
    FPicture->Assign(nullptr);
    Invalidate();
    return;
  }
  ++FLoadCount;
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  const bool jpeg = bytes.size() > 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                    static_cast<unsigned char>(bytes[1]) == 0xD8;
  try {
    if (jpeg) {
      TJPEGImage image;
      image.LoadFromStream(&stream);
      FPicture->Assign(&image);
    } else {
      TBitmap image;
      image.LoadFromStream(&stream);
      FPicture->Assign(&image);
    }
  } catch (const Exception&) {
    FPicture->Assign(nullptr); // bytes that are no picture show as none
  }
  Invalidate();
}

void TDBImage::DataChange(TObject*) {
  LoadPicture();
}

void TDBImage::UpdateData(TObject*) {
  if (!Field()) return;
  FLoadedBytes = Field()->AsString();
}

void TDBImage::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(client);
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  TRect r{0, 0, g->Width(), g->Height()};
  if (FStretch) {
    // Keep the proportions, fitted into the client area.
    const double sx = static_cast<double>(client.Width()) / std::max(1, g->Width());
    const double sy = static_cast<double>(client.Height()) / std::max(1, g->Height());
    const double s = std::min(sx, sy);
    r = {0, 0, static_cast<int>(g->Width() * s), static_cast<int>(g->Height() * s)};
  }
  if (FCenter) r.Offset((client.Width() - r.Width()) / 2, (client.Height() - r.Height()) / 2);
  c->StretchDraw(r, g);
  if (Focused()) c->DrawFocusRect(client);
}

void TDBImage::WMNCPaint(TMessage& Message) {
  TCustomControl::WMNCPaint(Message);
  PaintClientEdge(this);
}

void TDBImage::CopyToClipboard() {
  if (!FLoadedBytes.empty()) Clipboard()->SetAsPicture(FLoadedBytes);
}

void TDBImage::CutToClipboard() {
  if (!Field() || !Link()->Edit()) return;
  CopyToClipboard();
  Field()->Clear();
}

void TDBImage::PasteFromClipboard() {
  if (!Clipboard()->HasPicture() || !Field() || !Link()->Edit()) return;
  Field()->SetAsString(Clipboard()->AsPicture());
}

void TDBImage::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_INSERT && Shift.Contains(ssShift)) PasteFromClipboard();
  if (Key == VK_DELETE && Shift.Contains(ssShift)) CutToClipboard();
  if (Key == VK_INSERT && Shift.Contains(ssCtrl)) CopyToClipboard();
}

void TDBImage::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  switch (Key) {
  case 3:
    CopyToClipboard();
    break;
  case 22:
    PasteFromClipboard();
    break;
  case 24:
    CutToClipboard();
    break;
  case 27:
    Link()->Reset();
    break;
  default:
    break;
  }
}

void TDBImage::WMLButtonDown(TMessage& Message) {
  if (CanFocus() && !Focused()) SetFocus();
  TCustomControl::WMLButtonDown(Message);
}

void TDBImage::CMEnter(TMessage& Message) {
  Invalidate();
  TCustomControl::CMEnter(Message);
}

void TDBImage::CMExit(TMessage& Message) {
  UpdateOnExit(this, Link(), [] {});
  Invalidate();
  TCustomControl::CMExit(Message);
}

void TDBImage::WMCopy(TMessage&) {
  CopyToClipboard();
}

void TDBImage::WMCut(TMessage&) {
  CutToClipboard();
}

void TDBImage::WMPaste(TMessage&) {
  PasteFromClipboard();
}

// ---------------------------------------------------------------------------------------------------------
// TDBListBox

TDBListBox::TDBListBox(TComponent* AOwner) : inherited(AOwner) {
  Link()->OnDataChange = [this](TObject* s) { DataChange(s); };
  Link()->OnUpdateData = [this](TObject* s) { UpdateData(s); };
}

void TDBListBox::DataChange(TObject*) {
  SetItemIndex(Field() ? Items()->IndexOf(Field()->Text()) : -1);
}

void TDBListBox::UpdateData(TObject*) {
  if (!Field()) return;
  Field()->SetText(ItemIndex() >= 0 ? Items()->Strings(ItemIndex()) : AnsiString());
}

void TDBListBox::SetItems(TStrings* Value) {
  Items()->Assign(Value);
  DataChange(this);
}

void TDBListBox::Click() {
  if (!Link()->Edit()) return;
  TCustomListBox::Click();
  Link()->Modified();
}

void TDBListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomListBox::KeyDown(Key, Shift);
  if (Key >= VK_PRIOR && Key <= VK_DOWN && !Link()->Edit()) Key = 0;
}

void TDBListBox::KeyPress(char& Key) {
  TCustomListBox::KeyPress(Key);
  if (DBPrintableKey(Key)) {
    if (!Link()->Edit()) Key = 0;
  } else if (Key == 27) {
    Link()->Reset();
  }
}

void TDBListBox::WMLButtonDown(TMessage& Message) {
  if (Link()->Edit()) {
    TCustomListBox::WMLButtonDown(Message);
    return;
  }
  // A list that may not change still takes the focus.
  if (CanFocus()) SetFocus();
}

void TDBListBox::CMExit(TMessage& Message) {
  UpdateOnExit(this, Link(), [] {});
  TCustomListBox::CMExit(Message);
}

// ---------------------------------------------------------------------------------------------------------
// TDBComboBox

TDBComboBox::TDBComboBox(TComponent* AOwner) : inherited(AOwner) {
  Link()->OnDataChange = [this](TObject* s) { DataChange(s); };
  Link()->OnEditingChange = [this](TObject* s) { EditingChange(s); };
  Link()->OnUpdateData = [this](TObject* s) { UpdateData(s); };
  if (EditControl()) EditControl()->SetReadOnly(true);
}

void TDBComboBox::DataChange(TObject*) {
  if (DroppedDown()) return;
  SetText(Field() ? Field()->Text() : AnsiString());
}

void TDBComboBox::EditingChange(TObject*) {
  if (EditControl()) EditControl()->SetReadOnly(!Link()->Editing());
}

void TDBComboBox::UpdateData(TObject*) {
  if (Field()) Field()->SetText(GetText());
}

void TDBComboBox::SetItems(TStrings* Value) {
  Items()->Assign(Value);
  DataChange(this);
}

bool TDBComboBox::EditCanModify() {
  return Link()->Edit();
}

void TDBComboBox::Change() {
  Link()->Modified();
  TCustomComboBox::Change();
}

void TDBComboBox::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == CBN_SELCHANGE) Link()->Modified();
  if (Message.WParamHi() == CBN_DROPDOWN) Link()->Edit();
  TCustomComboBox::CNCommand(Message);
}

void TDBComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomComboBox::KeyDown(Key, Shift);
  const bool editing =
      Key == VK_BACK || Key == VK_DELETE || Key == VK_UP || Key == VK_DOWN || (Key >= 32 && Key <= 255);
  if (editing && !Link()->Edit() && (Key == VK_UP || Key == VK_DOWN)) Key = 0;
}

void TDBComboBox::KeyPress(char& Key) {
  TCustomComboBox::KeyPress(Key);
  if (DBPrintableKey(Key) || Key == 8) {
    if (!Link()->Edit()) Key = 0;
  } else if (Key == 27) {
    Link()->Reset();
    SelectAll();
  }
}

void TDBComboBox::CMExit(TMessage& Message) {
  UpdateOnExit(this, Link(), [this] { SelectAll(); });
  TCustomComboBox::CMExit(Message);
}

// ---------------------------------------------------------------------------------------------------------
// TDBLookupListLink

void TDBLookupListLink::ActiveChanged() {
  if (FControl) FControl->ListLinkActiveChanged();
}

void TDBLookupListLink::DataSetChanged() {
  if (FControl) FControl->ListLinkDataChanged();
}

void TDBLookupListLink::DataSetScrolled(int) {
  if (FControl) FControl->ListLinkDataChanged();
}

void TDBLookupListLink::LayoutChanged() {
  if (FControl) FControl->ListLinkActiveChanged();
}

// ---------------------------------------------------------------------------------------------------------
// TDBLookupControl

TDBLookupControl::TDBLookupControl(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(std::make_unique<TFieldDataLink>()),
      FListLink(std::make_unique<TDBLookupListLink>(this)) {
  ControlStyle = {csOpaque, csReplicatable, csClickEvents, csDoubleClicks};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = [this](TObject* s) { DataChange(s); };
  FDataLink->OnUpdateData = [this](TObject* s) { UpdateData(s); };
  FDataLink->OnActiveChange = [this](TObject*) {
    UpdateListFields();
    DataChange(this);
  };
}

TDBLookupControl::~TDBLookupControl() {
  FListLink->Detach();
  FListLink.reset();
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->OnActiveChange = nullptr;
  FDataLink.reset();
  FLookupSource.reset();
}

void TDBLookupControl::SetDataField(const AnsiString& Value) {
  FDataLink->SetFieldName(Value);
  UpdateListFields();
  DataChange(this);
}

void TDBLookupControl::SetDataSource(TDataSource* Value) {
  if (!(FDataLink->DataSourceFixed() && ComponentState().Contains(csLoading)))
    FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  UpdateListFields();
  DataChange(this);
}

void TDBLookupControl::SetListSource(TDataSource* Value) {
  if (FListSource == Value) return;
  FListSource = Value;
  if (Value) Value->FreeNotification(this);
  UpdateListFields();
}

void TDBLookupControl::SetKeyField(const AnsiString& Value) {
  FKeyFieldName = Value;
  UpdateListFields();
}

void TDBLookupControl::SetListField(const AnsiString& Value) {
  FListFieldName = Value;
  UpdateListFields();
}

TDataSet* TDBLookupControl::ListDataSet() const {
  return FListLink->DataSet();
}

void TDBLookupControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
  if (AComponent == FListSource) SetListSource(nullptr);
}

// Where the list comes from: a lookup field brings its own data set, key and shown field.
TField* TDBLookupControl::DataKeyField() const {
  TField* data = FDataLink ? FDataLink->Field() : nullptr;
  if (data && data->Lookup()) return data->DataSet()->FindField(data->KeyFields());
  return data;
}

void TDBLookupControl::UpdateListFields() {
  if (!FListLink) return;
  TField* data = FDataLink->Field();
  TDataSource* source = FListSource;
  AnsiString key = FKeyFieldName, list = FListFieldName;
  if (data && data->Lookup()) {
    if (!FLookupSource) FLookupSource = std::make_unique<TDataSource>(nullptr);
    FLookupSource->SetDataSet(data->LookupDataSet());
    source = FLookupSource.get();
    key = data->LookupKeyFields();
    list = data->LookupResultField();
  }
  FListLink->SetDataSource(source);
  TDataSet* ds = FListLink->Active() ? FListLink->DataSet() : nullptr;
  FKeyFieldObj = ds && !key.empty() ? ds->FindField(key) : nullptr;
  FListFieldObj = ds ? (list.empty() ? FKeyFieldObj : ds->FindField(list)) : nullptr;
  FListActive = FKeyFieldObj && FListFieldObj;
  KeyValueChanged();
}

void TDBLookupControl::ListLinkActiveChanged() {
  UpdateListFields();
}

void TDBLookupControl::ListLinkDataChanged() {
  Invalidate();
}

TFieldValue TDBLookupControl::RowKey() const {
  return FKeyFieldObj ? FKeyFieldObj->Value() : TFieldValue();
}

TFieldValue TDBLookupControl::KeyOfRow(int Row) const {
  const int saved = FListLink->ActiveRecord();
  FListLink->SetActiveRecord(Row);
  const TFieldValue key = RowKey();
  FListLink->SetActiveRecord(saved);
  return key;
}

void TDBLookupControl::SetKeyValue(const TFieldValue& Value) {
  if (FieldValuesMatch(FKeyValue, Value, false, false) && FKeyValue.index() == Value.index()) return;
  FKeyValue = Value;
  KeyValueChanged();
}

void TDBLookupControl::KeyValueChanged() {
  FText.clear();
  TDataSet* ds = FListActive ? ListDataSet() : nullptr;
  if (ds && !std::holds_alternative<std::monostate>(FKeyValue)) {
    const TFieldValue shown = ds->Lookup(FKeyFieldObj->FieldName(), {FKeyValue}, FListFieldObj->FieldName());
    if (const auto* s = std::get_if<AnsiString>(&shown))
      FText = *s;
    else if (const auto* i = std::get_if<int64_t>(&shown))
      FText = IntToStr(*i);
    else if (const auto* d = std::get_if<double>(&shown))
      FText = FloatToStr(*d);
  }
  Invalidate();
}

void TDBLookupControl::DataChange(TObject*) {
  const TField* key = DataKeyField();
  SetKeyValue(key ? key->Value() : TFieldValue());
}

void TDBLookupControl::UpdateData(TObject*) {
  if (TField* key = DataKeyField()) key->SetValue(FKeyValue);
}

bool TDBLookupControl::CanModify() {
  if (!FListActive || ReadOnly()) return false;
  if (!FDataLink->Active()) return true;
  // The key field is the one written: a lookup field itself cannot be, yet its key field may.
  const TField* key = DataKeyField();
  return key && key->CanModify() && static_cast<TDataLink*>(FDataLink.get())->Edit();
}

void TDBLookupControl::SelectKeyValue(const TFieldValue& Value) {
  if (TField* key = DataKeyField()) {
    if (!CanModify()) return;
    // The key field takes the value at once, so that a lookup field and every control on it follow.
    key->SetValue(Value);
    FDataLink->Modified();
    SetKeyValue(Value);
  } else if (!FDataLink->Active()) {
    SetKeyValue(Value);
  }
  Click();
}

void TDBLookupControl::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 27) FDataLink->Reset();
}

bool TDBLookupControl::ExecuteAction(TBasicAction* Action) {
  return TCustomControl::ExecuteAction(Action) || (FDataLink && FDataLink->ExecuteAction(Action));
}

bool TDBLookupControl::UpdateAction(TBasicAction* Action) {
  return TCustomControl::UpdateAction(Action) || (FDataLink && FDataLink->UpdateAction(Action));
}

void TDBLookupControl::CMExit(TMessage& Message) {
  UpdateOnExit(this, FDataLink.get(), [] {});
  TCustomControl::CMExit(Message);
}

void TDBLookupControl::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TDBLookupControl::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
}

// ---------------------------------------------------------------------------------------------------------
// TDBLookupListBox

TDBLookupListBox::TDBLookupListBox(TComponent* AOwner) : TDBLookupControl(AOwner) {
  SetBounds(FLeft, FTop, 121, 97);
}

void TDBLookupListBox::CreateParams(TCreateParams& Params) {
  TDBLookupControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDBLookupListBox::CreateWnd() {
  TDBLookupControl::CreateWnd();
  ListLink()->SetBufferCount(RowCount());
  UpdateScrollRange();
}

void TDBLookupListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

int TDBLookupListBox::ItemHeight() {
  if (!HandleAllocated()) return 16;
  Canvas()->Font()->Assign(Font());
  return std::max(1, Canvas()->TextHeight("Wg") + 2);
}

int TDBLookupListBox::RowCount() {
  return std::max(1, ClientRect().Height() / ItemHeight());
}

int TDBLookupListBox::RowAt(int Y) {
  const int r = Y / ItemHeight();
  return Y < 0 ? -1 : r < ListLink()->RecordCount() ? r : -1;
}

void TDBLookupListBox::ShowKey() {
  TDataSet* ds = ListActive() ? ListDataSet() : nullptr;
  if (!ds || std::holds_alternative<std::monostate>(KeyValue())) return;
  ds->Locate(KeyFieldOf()->FieldName(), {KeyValue()});
}

void TDBLookupListBox::KeyValueChanged() {
  TDBLookupControl::KeyValueChanged();
  ShowKey();
}

void TDBLookupListBox::ListLinkActiveChanged() {
  TDBLookupControl::ListLinkActiveChanged();
  if (HandleAllocated()) ListLink()->SetBufferCount(RowCount());
  UpdateScrollRange();
  Invalidate();
}

void TDBLookupListBox::ListLinkDataChanged() {
  TDBLookupControl::ListLinkDataChanged();
  UpdateScrollRange();
}

void TDBLookupListBox::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingBar) return;
  FUpdatingBar = true;
  // The bar counts the listed records: its position is the first record shown.
  TDataSet* ds = ListActive() ? ListDataSet() : nullptr;
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = ds ? std::max(0, ds->RecordCount() - 1) : 0;
  si.nPage = static_cast<UINT>(RowCount());
  si.nPos = ds ? ListLink()->FirstRecord() : 0;
  si.nTrackPos = si.nPos;
  try {
    SetScrollInfo(Handle(), SB_VERT, &si, true);
  } catch (...) {
    FUpdatingBar = false;
    throw;
  }
  FUpdatingBar = false;
}

void TDBLookupListBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(client);
  if (!ListActive()) return;
  const int h = ItemHeight();
  const int saved = ListLink()->ActiveRecord();
  const bool focused = Focused();
  for (int i = 0; i < ListLink()->RecordCount(); ++i) {
    ListLink()->SetActiveRecord(i);
    const TRect r{0, i * h, client.Width(), (i + 1) * h};
    const bool selected = !std::holds_alternative<std::monostate>(KeyValue()) &&
                          FieldValuesMatch(RowKey(), KeyValue(), false, false);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(selected ? clHighlight : FColor);
    c->FillRect(r);
    c->Font()->SetColor(!IsEnabledAll() ? clGrayText : selected ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    const AnsiString text = ListFieldOf()->DisplayText();
    const int x = UseRightToLeftAlignment() ? r.Right - 2 - c->TextWidth(text) : r.Left + 2;
    c->TextRect(r, x, r.Top + 1, text);
    c->Brush()->SetStyle(bsSolid);
    if (selected && focused) c->DrawFocusRect(r);
  }
  ListLink()->SetActiveRecord(saved);
}

void TDBLookupListBox::WMNCPaint(TMessage& Message) {
  TDBLookupControl::WMNCPaint(Message);
  PaintClientEdge(this);
}

void TDBLookupListBox::WMSize(TMessage& Message) {
  TDBLookupControl::WMSize(Message);
  if (HandleAllocated()) ListLink()->SetBufferCount(RowCount());
  UpdateScrollRange();
  Invalidate();
}

void TDBLookupListBox::WMSetFocus(TMessage& Message) {
  TDBLookupControl::WMSetFocus(Message);
  Invalidate();
}

void TDBLookupListBox::WMKillFocus(TMessage& Message) {
  TDBLookupControl::WMKillFocus(Message);
  FTracking = false;
  Invalidate();
}

void TDBLookupListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TDBLookupControl::KeyDown(Key, Shift);
  TDataSet* ds = ListActive() ? ListDataSet() : nullptr;
  if (!ds || Key == 0) return;
  int delta = 0;
  switch (Key) {
  case VK_UP:
    delta = -1;
    break;
  case VK_DOWN:
    delta = 1;
    break;
  case VK_PRIOR:
    delta = -RowCount();
    break;
  case VK_NEXT:
    delta = RowCount();
    break;
  case VK_HOME:
    delta = -ds->RecordCount();
    break;
  case VK_END:
    delta = ds->RecordCount();
    break;
  default:
    return;
  }
  if (!CanModify()) return;
  // Without a chosen key, the first step lands on the first record.
  if (std::holds_alternative<std::monostate>(KeyValue()))
    ds->First();
  else if (ds->Locate(KeyFieldOf()->FieldName(), {KeyValue()}))
    ds->MoveBy(delta);
  SelectKeyValue(KeyFieldOf()->Value());
}

void TDBLookupListBox::WMLButtonDown(TMessage& Message) {
  TDBLookupControl::WMLButtonDown(Message);
  if (CanFocus() && !Focused()) SetFocus();
  const int row = RowAt(TWMMouse(Message).YPos);
  if (row < 0 || !CanModify()) return;
  SelectKeyValue(KeyOfRow(row));
  FTracking = true;
}

void TDBLookupListBox::WMMouseMove(TMessage& Message) {
  TDBLookupControl::WMMouseMove(Message);
  if (!FTracking) return;
  const int row = RowAt(TWMMouse(Message).YPos);
  if (row < 0) return;
  const TFieldValue key = KeyOfRow(row);
  if (!FieldValuesMatch(key, KeyValue(), false, false)) SelectKeyValue(key);
}

void TDBLookupListBox::WMLButtonUp(TMessage& Message) {
  FTracking = false;
  TDBLookupControl::WMLButtonUp(Message);
}

void TDBLookupListBox::WMMouseWheel(TMessage& Message) {
  if (DoMouseWheel(Message)) return;
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  Perform(WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  Message.Result = 1;
}

void TDBLookupListBox::WMVScroll(TMessage& Message) {
  TDataSet* ds = ListActive() ? ListDataSet() : nullptr;
  Message.Result = 0;
  if (!ds) return;
  const int rows = RowCount();
  const int first = ListLink()->FirstRecord();
  const auto target = ScrollTarget(Message.WParamLo(), ScrollMessagePos(Handle(), SB_VERT, Message), first,
                                   {.Page = rows, .Bottom = ds->RecordCount()});
  if (!target) return;
  const int top = std::clamp(*target, 0, std::max(0, ds->RecordCount() - rows));
  if (top == first) return;
  // The buffer follows the cursor as little as it must: visiting the last row to show, then the first,
  // leaves the window starting at the first.
  ds->DisableControls();
  try {
    ds->SetRecNo(std::min(top + rows, ds->RecordCount()));
    ds->SetRecNo(top + 1);
  } catch (...) {
    ds->EnableControls();
    throw;
  }
  ds->EnableControls();
}

// ---------------------------------------------------------------------------------------------------------
// TPopupDataList

TPopupDataList::TPopupDataList(TComponent* AOwner, TDBLookupComboBox* Combo)
    : TDBLookupListBox(AOwner), FCombo(Combo) {
  SetTabStop(false);
  ControlStyle.Exclude(csClickEvents);
}

void TPopupDataList::CreateParams(TCreateParams& Params) {
  TDBLookupListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS | WS_VSCROLL;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
}

void TPopupDataList::WMSetFocus(TMessage&) {
  if (FCombo->HandleAllocated()) ::SetFocus(FCombo->Handle());
}

void TPopupDataList::WMLButtonDown(TMessage& Message) {
  const TWMMouse m(Message);
  if (!ClientRect().Contains(m.Pos())) {
    TPoint screen = ClientToScreen(m.Pos());
    TRect wr;
    GetWindowRect(Handle(), &wr);
    if (wr.Contains(screen)) { // the scroll bar
      const LRESULT hit = SendMessage(Handle(), WM_NCHITTEST, 0, PointToLParam(screen));
      SendMessage(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), PointToLParam(screen));
      return;
    }
    FCombo->CloseUp(false);
    return;
  }
  WMMouseMove(Message);
}

void TPopupDataList::WMMouseMove(TMessage& Message) {
  const TWMMouse m(Message);
  if (!ClientRect().Contains(m.Pos())) return;
  const int row = RowAt(m.YPos);
  if (row >= 0) SetKeyValue(KeyOfRow(row));
}

void TPopupDataList::WMLButtonUp(TMessage& Message) {
  const TWMMouse m(Message);
  if (ClientRect().Contains(m.Pos()) && RowAt(m.YPos) >= 0) FCombo->CloseUp(true);
}

// ---------------------------------------------------------------------------------------------------------
// TDBLookupComboBox

TDBLookupComboBox::TDBLookupComboBox(TComponent* AOwner)
    : TDBLookupControl(AOwner), FDataList(std::make_unique<TPopupDataList>(nullptr, this)) {
  SetBounds(FLeft, FTop, 145, 21);
}

TDBLookupComboBox::~TDBLookupComboBox() {
  FListVisible = false;
  FDataList.reset();
}

void TDBLookupComboBox::CreateParams(TCreateParams& Params) {
  TDBLookupControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

TRect TDBLookupComboBox::ButtonRect() {
  const TRect c = ClientRect();
  const int w = ScrollBarSize;
  if (UseRightToLeftAlignment()) return {0, 0, std::min(w, c.Right), c.Bottom};
  return {std::max(0, c.Right - w), 0, c.Right, c.Bottom};
}

void TDBLookupComboBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const TRect client = ClientRect();
  const TRect button = ButtonRect();
  const bool focused = Focused() && !FListVisible;
  TRect text = client;
  if (button.Left > 0)
    text.Right = button.Left;
  else
    text.Left = button.Right;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(focused ? clHighlight : FColor);
  c->FillRect(text);
  c->Font()->SetColor(!IsEnabledAll() ? clGrayText : focused ? clHighlightText : Font()->Color());
  c->Brush()->SetStyle(bsClear);
  c->TextRect(text, text.Left + 2, text.Top + (text.Height() - c->TextHeight("Wg")) / 2, SelectedText());
  c->Brush()->SetStyle(bsSolid);
  if (focused) c->DrawFocusRect(text);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(button);
  RECT face = button;
  DrawEdge(c->Handle(), &face, FListVisible ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
  const int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  const TColor arrow = IsEnabledAll() ? clBtnText : clGrayText;
  c->Brush()->SetColor(arrow);
  c->Pen()->SetColor(arrow);
  c->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
}

void TDBLookupComboBox::WMNCPaint(TMessage& Message) {
  TDBLookupControl::WMNCPaint(Message);
  PaintClientEdge(this);
}

void TDBLookupComboBox::KeyValueChanged() {
  TDBLookupControl::KeyValueChanged();
  if (FListVisible) FDataList->SetKeyValue(KeyValue());
}

void TDBLookupComboBox::DropDown() {
  if (FListVisible || !ListActive() || !HandleAllocated()) return;
  if (OnDropDown) OnDropDown(this);
  FDataList->Font()->Assign(Font());
  FDataList->SetListSource(ListLink()->DataSource());
  FDataList->SetKeyField(KeyFieldOf()->FieldName());
  FDataList->SetListField(ListFieldOf()->FieldName());
  FDataList->SetKeyValue(KeyValue());
  TRect wr;
  GetWindowRect(Handle(), &wr);
  const int rows = std::clamp(ListDataSet()->RecordCount(), 1, FDropDownRows);
  FDataList->HandleNeeded();
  const int height = rows * FDataList->ItemHeight() + 2;
  FDataList->SetBounds(wr.Left, wr.Bottom, wr.Width(), height);
  FListVisible = true;
  SetWindowPos(FDataList->Handle(), HWND_TOPMOST, wr.Left, wr.Bottom, wr.Width(), height,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetCapture(FDataList->Handle());
  Invalidate();
}

void TDBLookupComboBox::CloseUp(bool Accept) {
  if (!FListVisible) return;
  FListVisible = false;
  if (FDataList->HandleAllocated()) {
    if (GetCapture() == FDataList->Handle()) ReleaseCapture();
    ShowWindow(FDataList->Handle(), SW_HIDE);
  }
  const TFieldValue chosen = FDataList->KeyValue();
  FDataList->SetListSource(nullptr);
  Invalidate();
  if (Accept && !FieldValuesMatch(chosen, KeyValue(), false, false)) SelectKeyValue(chosen);
  if (OnCloseUp) OnCloseUp(this);
}

void TDBLookupComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TDBLookupControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  if ((Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt)) {
    if (FListVisible)
      CloseUp(true);
    else
      DropDown();
    Key = 0;
    return;
  }
  if (Key == VK_F4) {
    if (FListVisible)
      CloseUp(true);
    else
      DropDown();
    Key = 0;
    return;
  }
  if (FListVisible) {
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
      CloseUp(Key == VK_RETURN);
      Key = 0;
      return;
    }
    WORD k = Key;
    FDataList->TDBLookupListBox::KeyDown(k, Shift);
    Key = 0;
    return;
  }
  if (Key != VK_UP && Key != VK_DOWN) return;
  TDataSet* ds = ListActive() ? ListDataSet() : nullptr;
  if (!ds || !CanModify()) return;
  if (std::holds_alternative<std::monostate>(KeyValue()))
    ds->First();
  else if (ds->Locate(KeyFieldOf()->FieldName(), {KeyValue()}))
    ds->MoveBy(Key == VK_UP ? -1 : 1);
  SelectKeyValue(KeyFieldOf()->Value());
  Key = 0;
}

void TDBLookupComboBox::WMLButtonDown(TMessage& Message) {
  TDBLookupControl::WMLButtonDown(Message);
  if (CanFocus() && !Focused()) SetFocus();
  if (FListVisible)
    CloseUp(false);
  else
    DropDown();
}

void TDBLookupComboBox::WMSetFocus(TMessage& Message) {
  TDBLookupControl::WMSetFocus(Message);
  Invalidate();
}

void TDBLookupComboBox::WMKillFocus(TMessage& Message) {
  TDBLookupControl::WMKillFocus(Message);
  CloseUp(false);
  Invalidate();
}

void TDBLookupComboBox::WMMouseWheel(TMessage& Message) {
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  WORD key = delta > 0 ? VK_UP : VK_DOWN;
  KeyDown(key, {});
  Message.Result = 1;
}

void TDBLookupComboBox::CMEnabledChanged(TMessage& Message) {
  TDBLookupControl::CMEnabledChanged(Message);
  Invalidate();
}
