#pragma once
// Form streams: TReader builds a component tree from the text form format, TWriter writes one back.
//
//   object mainForm: TmainForm          object, inherited or inline; "Name:" may be left out
//     Caption = 'Quendrel'#13#10 +      strings with #nn codes, joined with + across lines
//       'v2.0'
//     Left = -8                         integers ($hex too), floats, identifiers (enums, True, references)
//     Font.Name = 'Courier New'         dotted sub-object properties
//     Anchors = [akLeft, akTop]         sets
//     Items.Strings = ( 'a' 'b' )       lists
//     Buttons = < item Caption = 'x' end >   collections
//     SkinData = { 0A1B2C }             binary data
//     OnClick = ButtonClick             events by published method name
//     object Child: TSomething ... end  owned components, nested by parent
//   end
//
// Component references are resolved once the whole stream has been read (they may name components that come
// later, or "Other.Name" through the global lookup); then every component read gets Loaded, once, in the
// order of creation. Malformed text raises EParserError "Line <n>: ..."; a well-formed stream that names
// something unknown raises EReadError (or EClassNotFound) with the line number too. A failed read frees what
// it created.
#include <functional>
#include <memory>
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/Parser.h"
#include "classlib/core/TypInfo.h"

class TReader;
class TWriter;
class TStream;
class TCollection;
class TStrings;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

// What a persistent object's DefineProperties talks to: the reader or the writer at hand.
class TFiler : public TObject {
  QUENDREL_CLASS(TFiler, TObject)
 public:
  // Data under Name that no published property holds: ReadData reads its value(s) from the reader, WriteData
  // writes them; HasData says whether there is anything to write.
  virtual void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData,
                              bool HasData) = 0;
  // Raw bytes under Name, streamed as they are ({ hex }).
  virtual void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

  TComponent* Root() const { return FRoot; }

 protected:
  TComponent* FRoot = nullptr;
};

enum TValueType {
  vaNull,
  vaList,
  vaInteger,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaNil,
  vaCollection
};

class TReader : public TFiler {
  QUENDREL_CLASS(TReader, TFiler)
 public:
  // Reads the text from Stream's position to its end.
  explicit TReader(TStream* Stream);
  // Reads Text, which must outlive the reader.
  TReader(const char* Text, size_t Length);
  ~TReader() override;

  // Reads one root object. With a Root, the stream's properties and components go into it (it keeps its name
  // unless it has none); without, the root is created from its class name. Answers the root.
  TComponent* ReadRootComponent(TComponent* Root);

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Values, for DefineProperty readers.
  TValueType NextValue();
  int ReadInteger();
  int64_t ReadInt64();
  double ReadFloat();
  AnsiString ReadString();
  AnsiString ReadIdent();
  bool ReadBoolean();
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList();
  void ReadCollection(TCollection* Collection);
  std::vector<uint8_t> ReadBinary();

  int Line() { return FParser.Line(); }
  // The component whose properties are being read, and the one that encloses it in the text.
  TComponent* Owner() const { return FRoot; }
  TComponent* Parent() const { return FParent; }

 private:
  struct TFixup {
    TObject* Instance;
    const TPropInfo* Prop;
    AnsiString Name;
    int Line;
  };

  void ReadObject(TComponent* Parent, int Depth);
  void ReadBody(TComponent* Component, int Depth);
  void ReadProperty(TPersistent* Instance, const AnsiString& Path, int Depth);
  void ReadPropValue(TPersistent* Instance, const TPropInfo& Prop, int Depth);
  void ReadCollectionItems(TCollection* Collection, int Depth);
  void ReadStringList(TStrings* Strings);
  int64_t ReadOrdinal(const TPropInfo& Prop);
  void ResolveFixups();
  TComponent* FindReference(const AnsiString& Name) const;
  AnsiString ExpectSymbol(const char* What);
  void Expect(char C);
  bool IsChar(char C);
  [[noreturn]] void ReadError(const AnsiString& Message, int AtLine);

  std::unique_ptr<AnsiString> FOwnText; // the text read from a stream
  TParser FParser;
  TComponent* FParent = nullptr;
  std::vector<TComponent*> FLoaded;  // every component read, in creation order
  std::vector<TComponent*> FCreated; // those this reader created
  std::vector<TFixup> FFixups;
  // DefineProperties lookup: the property asked for, and whether a definition took it.
  AnsiString FPropName;
  bool FPropHandled = false;
};

class TWriter : public TFiler {
  QUENDREL_CLASS(TWriter, TFiler)
 public:
  explicit TWriter(TStream* Stream);
  ~TWriter() override;

  void WriteRootComponent(TComponent* Root);

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Values, for DefineProperty writers.
  void WriteInteger(int64_t Value);
  void WriteFloat(double Value);
  void WriteString(const AnsiString& Value);
  void WriteIdent(const AnsiString& Ident);
  void WriteBoolean(bool Value);
  void WriteListBegin();
  void WriteListEnd();
  void WriteCollection(TCollection* Collection);

  // Flushes what was written to the stream (also done by the destructor).
  void FlushBuffer();

 private:
  void WriteComponent(TComponent* Component);
  void WriteProperties(TPersistent* Instance, const AnsiString& Prefix);
  void WriteProperty(TPersistent* Instance, const TPropInfo& Prop, const AnsiString& Prefix);
  void BeginValue();
  void NewLine();
  AnsiString ReferenceName(TComponent* Component) const;

  TStream* FStream;
  AnsiString FBuffer;
  int FIndent = 0;
  int FListDepth = 0;
  AnsiString FPrefix; // of DefineProperties names
};

// Reads the form stream in Stream into Root (or a new root), see TReader.
TComponent* ReadComponent(TStream* Stream, TComponent* Root);
// Writes Root and the components it streams, see TWriter.
void WriteComponent(TStream* Stream, TComponent* Root);
TComponent* ReadComponentText(const AnsiString& Text, TComponent* Root);
AnsiString WriteComponentText(TComponent* Root);
// Reads the form stream stored as the RCDATA resource ResName; raises EResNotFound when there is none.
TComponent* ReadComponentRes(const AnsiString& ResName, TComponent* Instance);
// Reads into Instance the form resources named after its class and its ancestors (upper case), from below
// RootAncestor down to Instance's class. Answers whether any was found.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);

// Where references to components outside the stream's root are looked up ("OtherForm.Button1"): each
// registered finder is asked for the first name in turn.
using TFindGlobalComponent = std::function<TComponent*(const AnsiString& Name)>;
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const AnsiString& Name);
