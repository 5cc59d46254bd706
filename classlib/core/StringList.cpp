#include "classlib/core/StringList.h"

#include <algorithm>

#include "classlib/core/Exception.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TStrings, TPersistent) {}
QUENDREL_REGISTER_CLASS(TStringList, TStrings) {}

// TStrings

void TStrings::Error(int Index) {
  throw EListError(Format("List index out of bounds (%d)", Index));
}

void TStrings::Put(int Index, const AnsiString& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

TObject* TStrings::GetObject(int) const {
  return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const AnsiString& S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject) {
  const int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(const TStrings* Strings) {
  if (!Strings) return;
  BeginUpdate();
  try {
    for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  try {
    const AnsiString s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  try {
    const AnsiString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const {
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

int TStrings::IndexOf(const AnsiString& S) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const {
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Get(i);
    const size_t p = s.find(FNameValueSeparator);
    if (p != AnsiString::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

AnsiString TStrings::Names(int Index) const {
  const AnsiString s = Get(Index);
  const size_t p = s.find(FNameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::ValueFromIndex(int Index) const {
  const AnsiString s = Get(Index);
  const size_t p = s.find(FNameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

AnsiString TStrings::Values(const AnsiString& Name) const {
  const int i = IndexOfName(Name);
  return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValues(const AnsiString& Name, const AnsiString& Value) {
  int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  const AnsiString line = Name + FNameValueSeparator + Value;
  if (i < 0)
    Add(line);
  else
    Put(i, line);
}

AnsiString TStrings::Text() const {
  AnsiString r;
  for (int i = 0; i < Count(); ++i) r += Get(i) + LineBreak();
  return r;
}

void TStrings::SetText(const AnsiString& Value) {
  BeginUpdate();
  try {
    Clear();
    size_t start = 0;
    while (start < Value.size()) {
      size_t end = Value.find_first_of("\r\n", start);
      if (end == AnsiString::npos) end = Value.size();
      Add(Value.substr(start, end - start));
      if (end < Value.size() && Value[end] == '\r' && end + 1 < Value.size() && Value[end + 1] == '\n') ++end;
      start = end + 1;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TStrings::CommaText() const {
  AnsiString r;
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Get(i);
    const bool quote = s.empty() || s.find_first_of(" ,\"\t\r\n") != AnsiString::npos;
    if (i > 0) r += ',';
    if (quote)
      r += '"' + StringReplaceAll(s, "\"", "\"\"") + '"';
    else
      r += s;
  }
  return r;
}

void TStrings::SetCommaText(const AnsiString& Value) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0;
    const size_t n = Value.size();
    auto skipBlanks = [&] {
      while (i < n && static_cast<unsigned char>(Value[i]) <= ' ') ++i;
    };
    skipBlanks();
    while (i < n) {
      AnsiString item;
      if (Value[i] == '"') {
        ++i;
        while (i < n) {
          if (Value[i] == '"') {
            if (i + 1 < n && Value[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += Value[i++];
        }
        while (i < n && Value[i] != ',' && static_cast<unsigned char>(Value[i]) > ' ') ++i;
      } else {
        while (i < n && Value[i] != ',' && static_cast<unsigned char>(Value[i]) > ' ') item += Value[i++];
      }
      Add(item);
      skipBlanks();
      if (i < n && Value[i] == ',') {
        ++i;
        skipBlanks();
        if (i >= n) Add(AnsiString());
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream* Stream) {
  if (!Stream) return;
  const int64_t size = Stream->Size() - Stream->Position();
  AnsiString text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!text.empty()) Stream->ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) const {
  if (!Stream) return;
  const AnsiString text = Text();
  Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const AnsiString& FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (!Strings || Strings->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TStrings*>(Source)) {
    if (source == this) return;
    BeginUpdate();
    try {
      Clear();
      FNameValueSeparator = source->FNameValueSeparator;
      AddStrings(source);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  inherited::Assign(Source);
}

void TStrings::DefineProperties(TFiler* Filer) {
  Filer->DefineProperty(
      "Strings",
      [this](TReader* Reader) {
        BeginUpdate();
        try {
          Clear();
          Reader->ReadListBegin();
          while (!Reader->EndOfList()) Add(Reader->ReadString());
          Reader->ReadListEnd();
        } catch (...) {
          EndUpdate();
          throw;
        }
        EndUpdate();
      },
      [this](TWriter* Writer) {
        Writer->WriteListBegin();
        for (int i = 0; i < Count(); ++i) Writer->WriteString(Get(i));
        Writer->WriteListEnd();
      },
      Count() > 0);
}

// TStringList

AnsiString TStringList::Get(int Index) const {
  Check(Index);
  return FList[static_cast<size_t>(Index)].FString;
}

void TStringList::Put(int Index, const AnsiString& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  Check(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FString = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  Check(Index);
  return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject) {
  Check(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FObject = AObject;
  Changed();
}

void TStringList::Insert(int Index, const AnsiString& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) Error(Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  Check(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  Changed();
}

int TStringList::Add(const AnsiString& S) {
  if (!FSorted) {
    InsertItem(Count(), S, nullptr);
    return Count() - 1;
  }
  int index = 0;
  if (Find(S, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EListError("String list does not allow duplicates");
  }
  InsertItem(index, S, nullptr);
  return index;
}

void TStringList::Exchange(int Index1, int Index2) {
  Check(Index1);
  Check(Index2);
  Changing();
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
  Changed();
}

int TStringList::IndexOf(const AnsiString& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int index = 0;
  return Find(S, index) ? index : -1;
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FList.begin(), FList.end(), [this](const TStringItem& a, const TStringItem& b) {
    return CompareStrings(a.FString, b.FString) < 0;
  });
  Changed();
}

bool TStringList::Find(const AnsiString& S, int& Index) const {
  // The first of equal lines, so that duplicates are found where IndexOf would find them.
  int low = 0;
  int high = Count();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (CompareStrings(FList[static_cast<size_t>(mid)].FString, S) < 0)
      low = mid + 1;
    else
      high = mid;
  }
  Index = low;
  return low < Count() && CompareStrings(FList[static_cast<size_t>(low)].FString, S) == 0;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (Value == CaseSensitive()) return;
  TStrings::SetCaseSensitive(Value);
  if (FSorted) Sort();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}
