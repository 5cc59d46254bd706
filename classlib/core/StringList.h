#pragma once
// TStrings: an ordered list of strings, each with an optional object pointer (never owned). Lines of the form
// "name=value" can be read and written by name. TStringList keeps the lines in memory and can keep them
// sorted.
#include <vector>

#include "classlib/core/Event.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Persistent.h"

class TStream;

class TStrings : public TPersistent {
  QUENDREL_CLASS(TStrings, TPersistent)
 public:
  TStrings() = default;

  // Storage, supplied by descendants.
  virtual int Count() const = 0;
  virtual AnsiString Get(int Index) const = 0; // raises EListError on a bad index
  virtual void Put(int Index, const AnsiString& S);
  virtual TObject* GetObject(int Index) const;
  virtual void PutObject(int Index, TObject* AObject);
  virtual void Insert(int Index, const AnsiString& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  AnsiString Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const AnsiString& S) { Put(Index, S); }
  AnsiString operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

  virtual int Add(const AnsiString& S);
  int AddObject(const AnsiString& S, TObject* AObject);
  void InsertObject(int Index, const AnsiString& S, TObject* AObject);
  void AddStrings(const TStrings* Strings);
  void Append(const AnsiString& S) { Add(S); }
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);

  // Searches compare without regard to letter case (CaseSensitive switches that); the first match wins; -1
  // when there is none.
  virtual int IndexOf(const AnsiString& S) const;
  int IndexOfName(const AnsiString& Name) const;
  int IndexOfObject(const TObject* AObject) const;

  // "name=value" lines. Names(i) is the text before the first "=" ("" when the line has none); Values(name)
  // is the text after it for the first line of that name ("" when none). SetValues replaces that line's
  // value, adds a line when there is none, and deletes the line when Value is "".
  AnsiString Names(int Index) const;
  AnsiString ValueFromIndex(int Index) const;
  AnsiString Values(const AnsiString& Name) const;
  void SetValues(const AnsiString& Name, const AnsiString& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

  // All lines, each followed by a line break. SetText splits at "\r\n", "\n" or "\r".
  AnsiString Text() const;
  virtual void SetText(const AnsiString& Value);
  // Lines quoted where needed and separated by commas.
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& Value);
  const char* LineBreak() const { return "\n"; }

  bool CaseSensitive() const { return FCaseSensitive; }
  virtual void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

  // Change notification is held back between BeginUpdate and the matching EndUpdate, then sent once.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName) const;

  bool Equals(const TStrings* Strings) const;
  void Assign(TPersistent* Source) override;
  // Streams the lines as the list property "Strings".
  void DefineProperties(TFiler* Filer) override;

 protected:
  // Told when the first BeginUpdate starts (true) and the last EndUpdate ends (false).
  virtual void SetUpdateState(bool Updating) { (void)Updating; }
  int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
  [[noreturn]] static void Error(int Index);

 private:
  int FUpdateCount = 0;
  char FNameValueSeparator = '=';
  bool FCaseSensitive = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  QUENDREL_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;

  int Count() const override { return static_cast<int>(FList.size()); }
  AnsiString Get(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int Add(const AnsiString& S) override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const AnsiString& S) const override;

  // A sorted list keeps its lines in order (Insert and Put raise EListError then); Find is a binary search
  // that answers whether S is present and where it is or would go.
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  virtual void Sort();
  bool Find(const AnsiString& S, int& Index) const;
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  void SetCaseSensitive(bool Value) override;

  // OnChanging before and OnChange after every change, unless held back by BeginUpdate.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;

 private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject = nullptr;
  };
  void Check(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
  }
  void InsertItem(int Index, const AnsiString& S, TObject* AObject);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};
