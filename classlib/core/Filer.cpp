#include "classlib/core/Filer.h"

#include <algorithm>
#include <charconv>
#include <mutex>

#include "classlib/core/Collection.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Resources.h"
#include "classlib/core/Stream.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"

QUENDREL_REGISTER_CLASS(TFiler, TObject) {}
QUENDREL_REGISTER_CLASS(TReader, TFiler) {}
QUENDREL_REGISTER_CLASS(TWriter, TFiler) {}

namespace {

// Nesting beyond this is not a form anybody wrote; refusing it keeps hostile input off the stack's limits.
constexpr int MaxDepth = 200;

AnsiString StreamText(TStream* Stream) {
  AnsiString text;
  if (!Stream) return text;
  const int64_t size = Stream->Size() - Stream->Position();
  if (size > 0) {
    text.resize(static_cast<size_t>(size));
    Stream->ReadBuffer(text.data(), size);
  }
  return text;
}

struct GlobalFinders {
  std::mutex Lock;
  std::vector<TFindGlobalComponent> Procs;
};

GlobalFinders& Finders() {
  static GlobalFinders finders;
  return finders;
}

} // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  GlobalFinders& f = Finders();
  std::lock_guard lock(f.Lock);
  f.Procs.push_back(std::move(Proc));
}

TComponent* FindGlobalComponent(const AnsiString& Name) {
  std::vector<TFindGlobalComponent> procs;
  {
    GlobalFinders& f = Finders();
    std::lock_guard lock(f.Lock);
    procs = f.Procs;
  }
  for (const auto& proc : procs)
    if (TComponent* c = proc(Name)) return c;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------------------------
// TReader

TReader::TReader(TStream* Stream)
    : FOwnText(std::make_unique<AnsiString>(StreamText(Stream))),
      FParser(FOwnText->data(), FOwnText->size()) {}

TReader::TReader(const char* Text, size_t Length) : FParser(Text, Length) {}

TReader::~TReader() = default;

void TReader::ReadError(const AnsiString& Message, int AtLine) {
  throw EReadError(Format("Line %d: %s", AtLine, Message.c_str()));
}

bool TReader::IsChar(char C) {
  const TToken& t = FParser.Peek();
  return t.Kind == TTokenKind::Char && t.Char == C;
}

void TReader::Expect(char C) {
  const TToken t = FParser.Next();
  if (t.Kind != TTokenKind::Char || t.Char != C) FParser.Error(Format("'%c' expected", C), t.Line);
}

AnsiString TReader::ExpectSymbol(const char* What) {
  const TToken t = FParser.Next();
  if (t.Kind != TTokenKind::Symbol) FParser.Error(Format("%s expected", What), t.Line);
  return t.Text;
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  FRoot = Root;
  try {
    const TToken header = FParser.Next();
    if (header.Kind != TTokenKind::Symbol ||
        !(SameText(header.Text, "object") || SameText(header.Text, "inherited") ||
          SameText(header.Text, "inline")))
      FParser.Error("'object' expected", header.Line);
    AnsiString name;
    AnsiString className = ExpectSymbol("Class name");
    if (IsChar(':')) {
      FParser.Next();
      name = className;
      className = ExpectSymbol("Class name");
    }
    if (!FRoot) {
      TClass cls = GetClass(className);
      if (!cls) throw EClassNotFound(Format("Line %d: Class %s not found", header.Line, className.c_str()));
      if (!cls->Create) ReadError(Format("Class %s cannot be created", className.c_str()), header.Line);
      FRoot = cls->Create(nullptr);
      FCreated.push_back(FRoot);
    }
    FRoot->SetState(csLoading, true);
    FRoot->SetState(csReading, true);
    FLoaded.push_back(FRoot);
    if (FRoot->Name().empty() && !name.empty()) {
      try {
        FRoot->SetName(name);
      } catch (const EComponentError& e) {
        ReadError(e.Message, header.Line);
      }
    }
    ReadBody(FRoot, 1);
    const TToken rest = FParser.Next();
    if (rest.Kind != TTokenKind::EndOfText) FParser.Error("End of stream expected", rest.Line);
    ResolveFixups();
  } catch (...) {
    // Nothing half-read survives: what this reader created goes, newest first; a given root is left as it is,
    // minus the components created into it.
    for (TComponent* c : FLoaded) {
      c->SetState(csReading, false);
      c->SetState(csLoading, false);
    }
    const bool ownRoot = !FCreated.empty() && FCreated.front() == FRoot;
    if (ownRoot) {
      delete FRoot; // created here, with everything it owns
      FRoot = nullptr;
    } else {
      // Newest first, and only what the root still owns: freeing a component may have freed others with it.
      for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) {
        bool owned = false;
        for (int i = 0; i < FRoot->ComponentCount() && !owned; ++i) owned = FRoot->Components(i) == *it;
        if (owned) delete *it;
      }
    }
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
    throw;
  }
  for (TComponent* c : FLoaded) c->SetState(csReading, false);
  for (TComponent* c : FLoaded) {
    c->Loaded();
    c->SetState(csLoading, false);
  }
  FCreated.clear();
  return FRoot;
}

void TReader::ReadObject(TComponent* Parent, int Depth) {
  if (Depth > MaxDepth) FParser.Error("Nesting too deep");
  const TToken header = FParser.Next(); // object, inherited or inline
  const bool inherited = SameText(header.Text, "inherited");
  AnsiString name;
  AnsiString className = ExpectSymbol("Class name");
  if (IsChar(':')) {
    FParser.Next();
    name = className;
    className = ExpectSymbol("Class name");
  }
  TComponent* component = nullptr;
  if (inherited) {
    component = FRoot->FindComponent(name);
    if (!component) ReadError(Format("Ancestor component %s not found", name.c_str()), header.Line);
  } else {
    TClass cls = GetClass(className);
    if (!cls) throw EClassNotFound(Format("Line %d: Class %s not found", header.Line, className.c_str()));
    if (!cls->Create) ReadError(Format("Class %s cannot be created", className.c_str()), header.Line);
    component = cls->Create(FRoot);
    FCreated.push_back(component);
    component->SetState(csLoading, true);
    component->SetState(csReading, true);
    try {
      component->SetName(name);
    } catch (const EComponentError& e) {
      ReadError(e.Message, header.Line);
    }
  }
  component->SetState(csLoading, true);
  component->SetState(csReading, true);
  if (std::find(FLoaded.begin(), FLoaded.end(), component) == FLoaded.end()) FLoaded.push_back(component);
  if (component->HasParent()) {
    try {
      component->SetParentComponent(Parent);
    } catch (const Exception& e) {
      ReadError(Format("Error reading %s: %s", name.c_str(), e.Message.c_str()), header.Line);
    }
  }
  ReadBody(component, Depth + 1);
}

void TReader::ReadBody(TComponent* Component, int Depth) {
  TComponent* const saved = FParent;
  FParent = Component;
  for (;;) {
    const TToken& t = FParser.Peek();
    if (t.Kind == TTokenKind::EndOfText) FParser.Error("'end' expected", t.Line);
    if (t.Kind != TTokenKind::Symbol) FParser.Error("Property name expected", t.Line);
    if (SameText(t.Text, "end")) {
      FParser.Next();
      break;
    }
    if (SameText(t.Text, "object") || SameText(t.Text, "inherited") || SameText(t.Text, "inline")) {
      ReadObject(Component, Depth);
      continue;
    }
    const TToken nameToken = FParser.Next();
    Expect('=');
    ReadProperty(Component, nameToken.Text, Depth);
  }
  FParent = saved;
}

void TReader::ReadProperty(TPersistent* Instance, const AnsiString& Path, int Depth) {
  const int line = FParser.Line();
  TPersistent* target = Instance;
  AnsiString rest = Path;
  try {
    // Descend through sub-objects: Font.Name, Items.Strings.
    for (size_t dot; (dot = rest.find('.')) != AnsiString::npos; rest = rest.substr(dot + 1)) {
      const AnsiString head = rest.substr(0, dot);
      const TPropInfo* p = GetPropInfo(target, head);
      if (!p) RaisePropertyError(head);
      if (p->Kind != TTypeKind::Class)
        throw EPropertyError(Format("Property %s is not an object", head.c_str()));
      auto* sub = dynamic_cast<TPersistent*>(GetObjectProp(target, head));
      if (!sub) throw EPropertyError(Format("Property %s holds no object", head.c_str()));
      target = sub;
    }
    if (const TPropInfo* p = GetPropInfo(target, rest)) {
      ReadPropValue(target, *p, Depth);
      return;
    }
    FPropName = rest;
    FPropHandled = false;
    target->DefineProperties(this);
    const bool handled = FPropHandled;
    FPropName.clear();
    if (!handled) RaisePropertyError(rest);
  } catch (const EParserError&) {
    throw;
  } catch (const EReadError&) {
    throw;
  } catch (const Exception& e) {
    const auto* component = dynamic_cast<const TComponent*>(Instance);
    const AnsiString owner = component ? component->Name() : Instance->ClassName();
    ReadError(Format("Error reading %s.%s: %s", owner.c_str(), Path.c_str(), e.Message.c_str()), line);
  }
}

int64_t TReader::ReadOrdinal(const TPropInfo& Prop) {
  const TToken t = FParser.Next();
  if (t.Kind == TTokenKind::Char && t.Char == '-') {
    const TToken n = FParser.Next();
    if (n.Kind != TTokenKind::Integer) FParser.Error("Integer expected", n.Line);
    return -n.Int;
  }
  if (t.Kind == TTokenKind::Integer) return t.Int;
  if (t.Kind == TTokenKind::Symbol) {
    int64_t value = 0;
    if (Prop.Idents && Prop.Idents->ToInt && Prop.Idents->ToInt(t.Text, value)) return value;
    throw EPropertyError(Format("Invalid property value %s", t.Text.c_str()));
  }
  FParser.Error("Integer expected", t.Line);
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Prop, int Depth) {
  switch (Prop.Kind) {
  case TTypeKind::Integer:
    SetPropValue(Instance, Prop.Name, ReadOrdinal(Prop));
    return;
  case TTypeKind::Enumeration: {
    const TToken t = FParser.Next();
    if (t.Kind == TTokenKind::Integer) {
      SetPropValue(Instance, Prop.Name, t.Int);
      return;
    }
    if (t.Kind != TTokenKind::Symbol) FParser.Error("Identifier expected", t.Line);
    SetEnumProp(Instance, Prop.Name, t.Text);
    return;
  }
  case TTypeKind::Set: {
    Expect('[');
    uint64_t mask = 0;
    if (!IsChar(']')) {
      for (;;) {
        const TToken t = FParser.Next();
        if (t.Kind != TTokenKind::Symbol) FParser.Error("Identifier expected", t.Line);
        const int bit = Prop.Names ? Prop.Names->IndexOf(t.Text) : -1;
        if (bit < 0 || bit > 31) throw EPropertyError(Format("Invalid property value %s", t.Text.c_str()));
        mask |= uint64_t{1} << bit;
        if (!IsChar(',')) break;
        FParser.Next();
      }
    }
    Expect(']');
    SetPropValue(Instance, Prop.Name, static_cast<int64_t>(mask));
    return;
  }
  case TTypeKind::Float:
    SetPropValue(Instance, Prop.Name, ReadFloat());
    return;
  case TTypeKind::String:
    SetPropValue(Instance, Prop.Name, ReadString());
    return;
  case TTypeKind::Method: {
    const TToken t = FParser.Next();
    if (t.Kind != TTokenKind::Symbol) FParser.Error("Method name expected", t.Line);
    if (SameText(t.Text, "nil"))
      SetMethodProp(Instance, Prop.Name, nullptr, "");
    else
      SetMethodProp(Instance, Prop.Name, FRoot, t.Text);
    return;
  }
  case TTypeKind::Class: {
    const TToken& t = FParser.Peek();
    if (t.Kind == TTokenKind::Symbol) {
      const TToken ref = FParser.Next();
      if (SameText(ref.Text, "nil"))
        SetObjectProp(Instance, Prop.Name, nullptr);
      else
        FFixups.push_back(TFixup{Instance, &Prop, ref.Text, ref.Line});
      return;
    }
    TObject* value = GetObjectProp(Instance, Prop.Name);
    if (t.Kind == TTokenKind::Char && t.Char == '(') {
      auto* strings = dynamic_cast<TStrings*>(value);
      if (!strings) throw EPropertyError(Format("Property %s is not a string list", Prop.Name.c_str()));
      ReadStringList(strings);
      return;
    }
    if (t.Kind == TTokenKind::Char && t.Char == '<') {
      auto* collection = dynamic_cast<TCollection*>(value);
      if (!collection) throw EPropertyError(Format("Property %s is not a collection", Prop.Name.c_str()));
      ReadCollectionItems(collection, Depth);
      return;
    }
    FParser.Error("Invalid property value", t.Line);
  }
  }
}

void TReader::ReadStringList(TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    ReadListBegin();
    while (!EndOfList()) Strings->Add(ReadString());
    ReadListEnd();
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TReader::ReadCollectionItems(TCollection* Collection, int Depth) {
  if (Depth > MaxDepth) FParser.Error("Nesting too deep");
  Expect('<');
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    while (!IsChar('>')) {
      const TToken item = FParser.Next();
      if (item.Kind != TTokenKind::Symbol || !SameText(item.Text, "item"))
        FParser.Error("'item' expected", item.Line);
      TCollectionItem* target = Collection->Add();
      for (;;) {
        const TToken& t = FParser.Peek();
        if (t.Kind == TTokenKind::Symbol && SameText(t.Text, "end")) {
          FParser.Next();
          break;
        }
        if (t.Kind != TTokenKind::Symbol) FParser.Error("Property name expected", t.Line);
        const TToken name = FParser.Next();
        Expect('=');
        ReadProperty(target, name.Text, Depth + 1);
      }
    }
    Expect('>');
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

void TReader::ReadCollection(TCollection* Collection) {
  ReadCollectionItems(Collection, 1);
}

void TReader::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (FPropHandled || FPropName.empty() || !SameText(Name, FPropName) || !ReadData) return;
  FPropHandled = true;
  ReadData(this);
}

void TReader::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (FPropHandled || FPropName.empty() || !SameText(Name, FPropName) || !ReadData) return;
  FPropHandled = true;
  const std::vector<uint8_t> bytes = ReadBinary();
  TMemoryStream stream;
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  ReadData(&stream);
}

TValueType TReader::NextValue() {
  const TToken& t = FParser.Peek();
  switch (t.Kind) {
  case TTokenKind::EndOfText:
    return vaNull;
  case TTokenKind::Integer:
    return vaInteger;
  case TTokenKind::Float:
    return vaExtended;
  case TTokenKind::String:
    return vaString;
  case TTokenKind::Symbol:
    if (SameText(t.Text, "True")) return vaTrue;
    if (SameText(t.Text, "False")) return vaFalse;
    if (SameText(t.Text, "nil")) return vaNil;
    return vaIdent;
  case TTokenKind::Char:
    switch (t.Char) {
    case '(':
      return vaList;
    case '<':
      return vaCollection;
    case '[':
      return vaSet;
    case '{':
      return vaBinary;
    case '-':
      return vaInteger;
    default:
      return vaNull;
    }
  }
  return vaNull;
}

int64_t TReader::ReadInt64() {
  const TToken t = FParser.Next();
  if (t.Kind == TTokenKind::Integer) return t.Int;
  if (t.Kind == TTokenKind::Char && t.Char == '-') {
    const TToken n = FParser.Next();
    if (n.Kind == TTokenKind::Integer) return -n.Int;
    FParser.Error("Integer expected", n.Line);
  }
  FParser.Error("Integer expected", t.Line);
}

int TReader::ReadInteger() {
  const int line = FParser.Line();
  const int64_t v = ReadInt64();
  if (v < INT32_MIN || v > UINT32_MAX) FParser.Error("Integer out of range", line);
  return static_cast<int>(static_cast<uint32_t>(v));
}

double TReader::ReadFloat() {
  bool negative = false;
  TToken t = FParser.Next();
  if (t.Kind == TTokenKind::Char && t.Char == '-') {
    negative = true;
    t = FParser.Next();
  }
  double v = 0;
  if (t.Kind == TTokenKind::Float)
    v = t.Float;
  else if (t.Kind == TTokenKind::Integer)
    v = static_cast<double>(t.Int);
  else
    FParser.Error("Number expected", t.Line);
  return negative ? -v : v;
}

AnsiString TReader::ReadString() {
  TToken t = FParser.Next();
  if (t.Kind != TTokenKind::String) FParser.Error("String expected", t.Line);
  AnsiString s = std::move(t.Text);
  while (IsChar('+')) {
    FParser.Next();
    TToken more = FParser.Next();
    if (more.Kind != TTokenKind::String) FParser.Error("String expected", more.Line);
    s += more.Text;
  }
  return s;
}

AnsiString TReader::ReadIdent() {
  const TToken t = FParser.Next();
  if (t.Kind != TTokenKind::Symbol) FParser.Error("Identifier expected", t.Line);
  return t.Text;
}

bool TReader::ReadBoolean() {
  const TToken t = FParser.Next();
  if (t.Kind == TTokenKind::Symbol && SameText(t.Text, "True")) return true;
  if (t.Kind == TTokenKind::Symbol && SameText(t.Text, "False")) return false;
  FParser.Error("Boolean expected", t.Line);
}

void TReader::ReadListBegin() {
  Expect('(');
}

void TReader::ReadListEnd() {
  Expect(')');
}

bool TReader::EndOfList() {
  const TToken& t = FParser.Peek();
  if (t.Kind == TTokenKind::EndOfText) FParser.Error("')' expected", t.Line);
  return t.Kind == TTokenKind::Char && t.Char == ')';
}

std::vector<uint8_t> TReader::ReadBinary() {
  Expect('{');
  return FParser.ReadBinary();
}

TComponent* TReader::FindReference(const AnsiString& Name) const {
  const size_t dot = Name.find('.');
  const AnsiString head = Name.substr(0, dot);
  TComponent* c = nullptr;
  if (SameText(head, FRoot->Name()))
    c = FRoot;
  else if (TComponent* own = FRoot->FindComponent(head))
    c = own;
  else
    c = FindGlobalComponent(head);
  if (dot == AnsiString::npos || !c) return c;
  size_t start = dot + 1;
  while (c && start <= Name.size()) {
    size_t next = Name.find('.', start);
    if (next == AnsiString::npos) next = Name.size();
    c = c->FindComponent(Name.substr(start, next - start));
    start = next + 1;
  }
  return c;
}

void TReader::ResolveFixups() {
  // Setting a reference may free nothing and create nothing, so the list is stable while we walk it.
  for (const TFixup& f : FFixups) {
    TComponent* target = FindReference(f.Name);
    if (!target) ReadError(Format("Unresolved reference to %s", f.Name.c_str()), f.Line);
    try {
      SetObjectProp(f.Instance, f.Prop->Name, target);
    } catch (const Exception& e) {
      ReadError(Format("Error setting %s to %s: %s", f.Prop->Name.c_str(), f.Name.c_str(), e.Message.c_str()),
                f.Line);
    }
  }
  FFixups.clear();
}

// ---------------------------------------------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TStream* Stream) : FStream(Stream) {}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // A destructor must not throw; callers that care flush first.
  }
}

void TWriter::FlushBuffer() {
  if (FStream && !FBuffer.empty()) FStream->WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
  FBuffer.clear();
}

void TWriter::NewLine() {
  FBuffer += '\n';
  FBuffer.append(static_cast<size_t>(FIndent) * 2, ' ');
}

void TWriter::BeginValue() {
  // Values inside a list stand one to a line; a property's value follows its "Name = ".
  if (FListDepth > 0) NewLine();
}

void TWriter::WriteRootComponent(TComponent* Root) {
  FRoot = Root;
  WriteComponent(Root);
  FlushBuffer();
}

void TWriter::WriteComponent(TComponent* Component) {
  const bool wasWriting = Component->ComponentState().Contains(csWriting);
  Component->SetState(csWriting, true);
  FBuffer += "object ";
  if (!Component->Name().empty()) FBuffer += Component->Name() + ": ";
  FBuffer += Component->ClassName();
  ++FIndent;
  WriteProperties(Component, AnsiString());
  Component->GetChildren(
      [this](TComponent* child) {
        NewLine();
        WriteComponent(child);
      },
      FRoot);
  --FIndent;
  NewLine();
  FBuffer += "end";
  if (FIndent == 0) FBuffer += '\n';
  if (!wasWriting) Component->SetState(csWriting, false);
}

void TWriter::WriteProperties(TPersistent* Instance, const AnsiString& Prefix) {
  for (const TPropInfo* p : Instance->ClassType()->AllProperties())
    if (p->IsStored(Instance)) WriteProperty(Instance, *p, Prefix);
  const AnsiString saved = FPrefix;
  FPrefix = Prefix;
  Instance->DefineProperties(this);
  FPrefix = saved;
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Prop, const AnsiString& Prefix) {
  // The component's name is its object header's.
  if (Prefix.empty() && SameText(Prop.Name, "Name") && dynamic_cast<TComponent*>(Instance)) return;
  const AnsiString name = Prefix + Prop.Name;
  auto start = [&] {
    NewLine();
    FBuffer += name + " = ";
  };
  switch (Prop.Kind) {
  case TTypeKind::Integer:
  case TTypeKind::Enumeration:
  case TTypeKind::Set: {
    if (!Prop.Set || !Prop.Get) return;
    const int64_t v = GetOrdProp(Instance, Prop.Name);
    if (Prop.Default && *Prop.Default == v) return;
    start();
    if (Prop.Kind == TTypeKind::Enumeration && Prop.Names && !Prop.Names->NameOf(v).empty()) {
      FBuffer += Prop.Names->NameOf(v);
    } else if (Prop.Kind == TTypeKind::Set) {
      FBuffer += '[';
      bool first = true;
      for (int bit = 0; bit < 32; ++bit) {
        if (!(v & (int64_t{1} << bit))) continue;
        if (!first) FBuffer += ", ";
        first = false;
        const AnsiString element = Prop.Names ? Prop.Names->NameOf(bit) : AnsiString();
        FBuffer += element.empty() ? IntToStr(bit) : element;
      }
      FBuffer += ']';
    } else {
      AnsiString ident;
      if (Prop.Idents && Prop.Idents->ToIdent && Prop.Idents->ToIdent(v, ident))
        FBuffer += ident;
      else
        FBuffer += IntToStr(v);
    }
    return;
  }
  case TTypeKind::Float: {
    if (!Prop.Set || !Prop.Get) return;
    const double v = GetFloatProp(Instance, Prop.Name);
    if (v == 0) return;
    start();
    WriteFloat(v);
    return;
  }
  case TTypeKind::String: {
    if (!Prop.Set || !Prop.Get) return;
    const AnsiString v = GetStrProp(Instance, Prop.Name);
    if (v.empty()) return;
    start();
    WriteString(v);
    return;
  }
  case TTypeKind::Method: {
    if (!Prop.GetMethodName) return;
    const AnsiString method = Prop.GetMethodName(Instance);
    if (method.empty()) return;
    start();
    FBuffer += method;
    return;
  }
  case TTypeKind::Class: {
    if (!Prop.Get) return;
    TObject* value = GetObjectProp(Instance, Prop.Name);
    if (!value) return;
    if (auto* component = dynamic_cast<TComponent*>(value)) {
      if (!Prop.Set) return;
      const AnsiString ref = ReferenceName(component);
      if (ref.empty()) return;
      start();
      FBuffer += ref;
      return;
    }
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
      if (collection->Count() == 0) return;
      start();
      WriteCollection(collection);
      return;
    }
    if (auto* persistent = dynamic_cast<TPersistent*>(value)) WriteProperties(persistent, name + ".");
    return;
  }
  }
}

AnsiString TWriter::ReferenceName(TComponent* Component) const {
  if (Component->Name().empty()) return {};
  if (Component == FRoot || Component->Owner() == FRoot) return Component->Name();
  if (Component->Owner() && !Component->Owner()->Name().empty())
    return Component->Owner()->Name() + "." + Component->Name();
  return Component->Name();
}

void TWriter::DefineProperty(const AnsiString& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  NewLine();
  FBuffer += FPrefix + Name + " = ";
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(&data);
  NewLine();
  FBuffer += FPrefix + Name + " = {";
  ++FIndent;
  static const char* const hex = "0123456789ABCDEF";
  const auto* bytes = static_cast<const uint8_t*>(data.Memory());
  for (int64_t i = 0; i < data.Size(); ++i) {
    if (i % 32 == 0) NewLine();
    FBuffer += hex[bytes[i] >> 4];
    FBuffer += hex[bytes[i] & 15];
  }
  --FIndent;
  FBuffer += '}';
}

void TWriter::WriteInteger(int64_t Value) {
  BeginValue();
  FBuffer += IntToStr(Value);
}

void TWriter::WriteFloat(double Value) {
  BeginValue();
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, Value);
  AnsiString text = ec == std::errc() ? AnsiString(buffer, end) : AnsiString("0");
  // The reader takes "inf" and "nan" for identifiers; such values have no place in a form.
  if (text.find_first_of("in") != AnsiString::npos) text = "0";
  FBuffer += text;
}

void TWriter::WriteString(const AnsiString& Value) {
  BeginValue();
  if (Value.empty()) {
    FBuffer += "''";
    return;
  }
  // Long text is cut into pieces joined with "+" on the following lines.
  constexpr size_t PieceLength = 64;
  ++FIndent;
  for (size_t start = 0; start < Value.size(); start += PieceLength) {
    if (start > 0) {
      FBuffer += " +";
      NewLine();
    }
    const size_t end = std::min(Value.size(), start + PieceLength);
    bool quoted = false;
    for (size_t i = start; i < end; ++i) {
      const auto c = static_cast<unsigned char>(Value[i]);
      if (c >= ' ' && c < 0x7F) {
        if (!quoted) FBuffer += '\'';
        quoted = true;
        FBuffer += Value[i];
        if (c == '\'') FBuffer += '\'';
      } else {
        if (quoted) FBuffer += '\'';
        quoted = false;
        FBuffer += '#' + IntToStr(c);
      }
    }
    if (quoted) FBuffer += '\'';
  }
  --FIndent;
}

void TWriter::WriteIdent(const AnsiString& Ident) {
  BeginValue();
  FBuffer += Ident;
}

void TWriter::WriteBoolean(bool Value) {
  WriteIdent(Value ? "True" : "False");
}

void TWriter::WriteListBegin() {
  BeginValue();
  FBuffer += '(';
  ++FListDepth;
  ++FIndent;
}

void TWriter::WriteListEnd() {
  --FListDepth;
  --FIndent;
  FBuffer += ')';
}

void TWriter::WriteCollection(TCollection* Collection) {
  BeginValue();
  FBuffer += '<';
  ++FIndent;
  const int savedList = FListDepth;
  FListDepth = 0; // item properties are "Name = value" lines again
  for (int i = 0; i < Collection->Count(); ++i) {
    NewLine();
    FBuffer += "item";
    ++FIndent;
    WriteProperties(Collection->Items(i), AnsiString());
    --FIndent;
    NewLine();
    FBuffer += "end";
  }
  FListDepth = savedList;
  --FIndent;
  FBuffer += '>';
}

// ---------------------------------------------------------------------------------------------------------------

TComponent* ReadComponent(TStream* Stream, TComponent* Root) {
  TReader reader(Stream);
  return reader.ReadRootComponent(Root);
}

void WriteComponent(TStream* Stream, TComponent* Root) {
  TWriter writer(Stream);
  writer.WriteRootComponent(Root);
}

TComponent* ReadComponentText(const AnsiString& Text, TComponent* Root) {
  TReader reader(Text.data(), Text.size());
  return reader.ReadRootComponent(Root);
}

AnsiString WriteComponentText(TComponent* Root) {
  TStringStream stream;
  WriteComponent(&stream, Root);
  return stream.DataString();
}

TComponent* ReadComponentRes(const AnsiString& ResName, TComponent* Instance) {
  TResourceStream stream(ResName, RT_RCDATA);
  return ReadComponent(&stream, Instance);
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  std::vector<TClass> chain;
  for (TClass c = Instance->ClassType(); c && c != RootAncestor; c = c->Parent)
    chain.insert(chain.begin(), c);
  bool found = false;
  for (TClass c : chain) {
    const AnsiString name = UpperCase(c->Name);
    if (!FindResourceData(name, RT_RCDATA)) continue;
    ReadComponentRes(name, Instance);
    found = true;
  }
  return found;
}
