#include "classlib/core/TypInfo.h"

#include <map>
#include <mutex>
#include <strings.h>

namespace {

bool SameText(const AnsiString& a, const AnsiString& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

struct CaseInsensitiveLess {
  bool operator()(const AnsiString& a, const AnsiString& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct Registry {
  std::mutex Lock;
  std::map<AnsiString, TClass, CaseInsensitiveLess> Classes;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

const TPropInfo& RequireProp(const TObject* instance, const AnsiString& name) {
  const TPropInfo* p = GetPropInfo(instance, name);
  if (!p) RaisePropertyError(name);
  return *p;
}

} // namespace

const TEnumInfo BooleanNames{{"False", "True"}};

AnsiString TEnumInfo::NameOf(int64_t ordinal) const {
  if (ordinal < 0 || ordinal >= static_cast<int64_t>(Names.size())) return {};
  return Names[static_cast<size_t>(ordinal)];
}

int TEnumInfo::IndexOf(const AnsiString& name) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], name)) return static_cast<int>(i);
  return -1;
}

bool TMetaClass::InheritsFrom(TClass ancestor) const {
  for (TClass c = this; c; c = c->Parent)
    if (c == ancestor) return true;
  return false;
}

const TPropInfo* TMetaClass::FindProperty(const AnsiString& name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TPropInfo& p : c->Properties)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodInfo* TMetaClass::FindMethod(const AnsiString& name) const {
  for (TClass c = this; c; c = c->Parent)
    for (const TMethodInfo& m : c->Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TMessageHandlerInfo* TMetaClass::FindMessageHandler(uint32_t msg) const {
  for (TClass c = this; c; c = c->Parent) {
    const auto& table = c->MessageHandlers;
    const auto it = std::lower_bound(table.begin(), table.end(), msg,
                                     [](const TMessageHandlerInfo& e, uint32_t m) { return e.Msg < m; });
    if (it != table.end() && it->Msg == msg) return &*it;
  }
  return nullptr;
}

std::vector<const TPropInfo*> TMetaClass::AllProperties() const {
  std::vector<TClass> chain;
  for (TClass c = this; c; c = c->Parent) chain.insert(chain.begin(), c);
  std::vector<const TPropInfo*> result;
  for (TClass c : chain)
    for (const TPropInfo& p : c->Properties) {
      bool redeclared = false;
      for (const TPropInfo*& seen : result)
        if (SameText(seen->Name, p.Name)) {
          seen = &p; // a descendant's redeclaration replaces the ancestor's, in the ancestor's place
          redeclared = true;
        }
      if (!redeclared) result.push_back(&p);
    }
  return result;
}

void RegisterClass(TClass cls) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.Lock);
  r.Classes.emplace(cls->Name, cls);
}

TClass GetClass(const AnsiString& name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.Lock);
  const auto it = r.Classes.find(name);
  return it == r.Classes.end() ? nullptr : it->second;
}

std::vector<TClass> RegisteredClasses() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.Lock);
  std::vector<TClass> list;
  for (const auto& entry : r.Classes) list.push_back(entry.second);
  return list;
}

TClass FindClass(const AnsiString& name) {
  TClass cls = GetClass(name);
  if (!cls) throw EClassNotFound(Format("Class %s not found", name.c_str()));
  return cls;
}

void RaisePropertyError(const AnsiString& name) {
  throw EPropertyError(Format("Property %s does not exist", name.c_str()));
}

const TPropInfo* GetPropInfo(const TObject* instance, const AnsiString& name) {
  if (!instance) return nullptr;
  return instance->ClassType()->FindProperty(name);
}

bool IsPublishedProp(const TObject* instance, const AnsiString& name) {
  return GetPropInfo(instance, name);
}

TPropValue GetPropValue(const TObject* instance, const AnsiString& name) {
  const TPropInfo& p = RequireProp(instance, name);
  if (!p.Get) throw EPropertyError(Format("Property %s is not readable", name.c_str()));
  return p.Get(instance);
}

void SetPropValue(TObject* instance, const AnsiString& name, const TPropValue& value) {
  const TPropInfo& p = RequireProp(instance, name);
  if (!p.Set) throw EPropertyError(Format("Property %s is read-only", name.c_str()));
  // An enumeration holds only its named values; anything else would not be a value of its type at all.
  if (p.Kind == TTypeKind::Enumeration && p.Names)
    if (const int64_t* i = std::get_if<int64_t>(&value);
        i && (*i < 0 || *i >= static_cast<int64_t>(p.Names->Names.size())))
      throw EPropertyError(
          Format("Invalid property value %lld for %s", static_cast<long long>(*i), name.c_str()));
  p.Set(instance, value);
}

int64_t GetOrdProp(const TObject* instance, const AnsiString& name) {
  const TPropValue v = GetPropValue(instance, name);
  if (const int64_t* i = std::get_if<int64_t>(&v)) return *i;
  throw EPropertyError(Format("Property %s is not ordinal", name.c_str()));
}

void SetOrdProp(TObject* instance, const AnsiString& name, int64_t value) {
  SetPropValue(instance, name, value);
}

AnsiString GetStrProp(const TObject* instance, const AnsiString& name) {
  const TPropValue v = GetPropValue(instance, name);
  if (const AnsiString* s = std::get_if<AnsiString>(&v)) return *s;
  throw EPropertyError(Format("Property %s is not a string", name.c_str()));
}

void SetStrProp(TObject* instance, const AnsiString& name, const AnsiString& value) {
  SetPropValue(instance, name, value);
}

double GetFloatProp(const TObject* instance, const AnsiString& name) {
  const TPropValue v = GetPropValue(instance, name);
  if (const double* d = std::get_if<double>(&v)) return *d;
  throw EPropertyError(Format("Property %s is not a float", name.c_str()));
}

void SetFloatProp(TObject* instance, const AnsiString& name, double value) {
  SetPropValue(instance, name, value);
}

AnsiString GetEnumProp(const TObject* instance, const AnsiString& name) {
  const TPropInfo& p = RequireProp(instance, name);
  const int64_t ordinal = GetOrdProp(instance, name);
  return p.Names ? p.Names->NameOf(ordinal) : std::to_string(ordinal);
}

void SetEnumProp(TObject* instance, const AnsiString& name, const AnsiString& identifier) {
  const TPropInfo& p = RequireProp(instance, name);
  const int ordinal = p.Names ? p.Names->IndexOf(identifier) : -1;
  if (ordinal < 0)
    throw EPropertyError(Format("Invalid property value %s for %s", identifier.c_str(), name.c_str()));
  SetOrdProp(instance, name, ordinal);
}

TObject* GetObjectProp(const TObject* instance, const AnsiString& name) {
  const TPropValue v = GetPropValue(instance, name);
  if (TObject* const* o = std::get_if<TObject*>(&v)) return *o;
  throw EPropertyError(Format("Property %s is not an object", name.c_str()));
}

void SetObjectProp(TObject* instance, const AnsiString& name, TObject* value) {
  SetPropValue(instance, name, value);
}

void SetMethodProp(TObject* instance, const AnsiString& name, TObject* target, const AnsiString& methodName) {
  const TPropInfo& p = RequireProp(instance, name);
  if (!p.SetMethod) throw EPropertyError(Format("Property %s is not an event", name.c_str()));
  p.SetMethod(instance, target, methodName);
}

AnsiString GetMethodPropName(const TObject* instance, const AnsiString& name) {
  const TPropInfo& p = RequireProp(instance, name);
  if (!p.GetMethodName) throw EPropertyError(Format("Property %s is not an event", name.c_str()));
  return p.GetMethodName(instance);
}
