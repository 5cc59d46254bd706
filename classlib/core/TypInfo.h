#pragma once
// Run-time type information: per-class tables of published properties and methods, a class registry that
// creates components from their class names, and the by-name accessors that form streams, the theme manager
// and the style helpers go through.
//
// A class declares itself with QUENDREL_CLASS(TFoo, TBase) in its body and describes what it publishes in its
// .cpp:
//
//   QUENDREL_REGISTER_CLASS(TFoo, TBase) {
//     c.Creatable();                                         // TFoo(TComponent* Owner) can be streamed
//     c.Property("Caption", &TFoo::GetCaption, &TFoo::SetCaption);
//     c.Enum("Align", &TFoo::GetAlign, &TFoo::SetAlign, AlignNames);
//     c.Event("OnClick", &TFoo::OnClick);
//     c.Method("ButtonClick", &TFoo::ButtonClick);
//     c.Message(WM_HSCROLL, &TFoo::WMHScroll);               // void WMHScroll(TMessage&)
//   }
//
// Tables are inherited: a lookup walks from the class to its ancestors.
#include <algorithm>
#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <variant>
#include <vector>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Event.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Object.h"
#include "classlib/core/Set.h"

class TComponent;
class TCollection;
class TCollectionItem;
struct TMessage; // classlib/controls/Messages.h

enum class TTypeKind { Integer, Enumeration, Set, Float, String, Class, Method };

// Identifiers of an enumeration's values by ordinal (also the element names of a set type).
struct TEnumInfo {
  std::vector<AnsiString> Names;
  AnsiString NameOf(int64_t ordinal) const;  // "" when out of range
  int IndexOf(const AnsiString& name) const; // case-insensitive; -1 when unknown
};

extern const TEnumInfo BooleanNames; // False, True

// A property value as the by-name accessors see it. Integers, enumerations, sets (as a bit mask) and booleans
// are int64_t; floats double; strings AnsiString; component references and sub-objects TObject*.
using TPropValue = std::variant<int64_t, double, AnsiString, TObject*>;

// Identifiers for some values of an integer property (colours such as clBtnFace, cursors), so that form
// streams can name them. Each converter answers whether it knew the value.
struct TIdentMapping {
  bool (*ToIdent)(int64_t value, AnsiString& ident) = nullptr;
  bool (*ToInt)(const AnsiString& ident, int64_t& value) = nullptr;
};

struct TPropInfo {
  AnsiString Name;
  TTypeKind Kind = TTypeKind::Integer;
  const TEnumInfo* Names = nullptr;         // enumeration values or set elements
  TClass (*PropClass)() = nullptr;          // for Class properties: the declared class (resolved lazily)
  std::type_index EventType = typeid(void); // for Method properties: the TEvent<...> type
  std::function<TPropValue(const TObject*)> Get;
  std::function<void(TObject*, const TPropValue&)> Set; // empty for read-only properties (sub-objects)
  // Method properties only.
  std::function<AnsiString(const TObject*)> GetMethodName;
  std::function<void(TObject*, TObject* instance, const AnsiString& methodName)> SetMethod;
  std::optional<int64_t> Default;             // ordinal default; a writer leaves out a value equal to it
  std::function<bool(const TObject*)> Stored; // empty: always stored; a writer leaves out what answers false
  const TIdentMapping* Idents = nullptr;      // Integer properties: identifiers for some values

  bool ReadOnly() const { return !Set && !SetMethod; }
  bool IsStored(const TObject* instance) const { return !Stored || Stored(instance); }
};

struct TMethodInfo {
  AnsiString Name;
  std::type_index Signature = typeid(void);        // the std::function type the method fits
  std::function<std::any(TObject* instance)> Bind; // std::any holding that std::function
};

// A message handler of the class's message table: the method that handles message Msg.
struct TMessageHandlerInfo {
  uint32_t Msg = 0;
  std::function<void(TObject* instance, TMessage& message)> Call;
};

class TMetaClass {
 public:
  AnsiString Name;
  TClass Parent = nullptr;
  std::function<TComponent*(TComponent* owner)> Create;                // set by Creatable()
  std::function<TCollectionItem*(TCollection* collection)> CreateItem; // set by CollectionItem()
  std::vector<TPropInfo> Properties;                // this class's own, in declaration order
  std::vector<TMethodInfo> Methods;                 // this class's own
  std::vector<TMessageHandlerInfo> MessageHandlers; // this class's own, sorted by message

  bool InheritsFrom(TClass ancestor) const;
  const TPropInfo* FindProperty(const AnsiString& name) const; // case-insensitive, walks ancestors
  const TMethodInfo* FindMethod(const AnsiString& name) const; // case-insensitive, walks ancestors
  // The handler of a message: the class's own, else the nearest ancestor's; null when none has one.
  const TMessageHandlerInfo* FindMessageHandler(uint32_t msg) const;
  std::vector<const TPropInfo*> AllProperties() const; // ancestors' first, each name once
};

// The class registry (class names are unique; registering the same class twice is harmless).
void RegisterClass(TClass cls);
TClass GetClass(const AnsiString& name);  // null when unknown
TClass FindClass(const AnsiString& name); // raises EClassNotFound "Class %s not found"
std::vector<TClass> RegisteredClasses();  // by name

// By-name access. Missing properties raise EPropertyError ("Property %s does not exist"); a value of the
// wrong kind raises EPropertyError too.
const TPropInfo* GetPropInfo(const TObject* instance, const AnsiString& name); // null when not published
bool IsPublishedProp(const TObject* instance, const AnsiString& name);
TPropValue GetPropValue(const TObject* instance, const AnsiString& name);
void SetPropValue(TObject* instance, const AnsiString& name, const TPropValue& value);
int64_t GetOrdProp(const TObject* instance, const AnsiString& name);
void SetOrdProp(TObject* instance, const AnsiString& name, int64_t value);
AnsiString GetStrProp(const TObject* instance, const AnsiString& name);
void SetStrProp(TObject* instance, const AnsiString& name, const AnsiString& value);
double GetFloatProp(const TObject* instance, const AnsiString& name);
void SetFloatProp(TObject* instance, const AnsiString& name, double value);
AnsiString GetEnumProp(const TObject* instance, const AnsiString& name);
void SetEnumProp(TObject* instance, const AnsiString& name, const AnsiString& identifier);
TObject* GetObjectProp(const TObject* instance, const AnsiString& name);
void SetObjectProp(TObject* instance, const AnsiString& name, TObject* value);
// Binds an event property to the published method `methodName` of `target` ("" clears it).
void SetMethodProp(TObject* instance, const AnsiString& name, TObject* target, const AnsiString& methodName);
AnsiString GetMethodPropName(const TObject* instance, const AnsiString& name);

[[noreturn]] void RaisePropertyError(const AnsiString& name);

namespace typinfo_detail {

template <class T> struct IsTEvent : std::false_type {};
template <class S> struct IsTEvent<TEvent<S>> : std::true_type {};
template <class T> struct IsTSet : std::false_type {};
template <class E> struct IsTSet<TSet<E>> : std::true_type {};

template <class V> TPropValue ToValue(const V& v) {
  if constexpr (std::is_same_v<V, bool>)
    return int64_t{v ? 1 : 0};
  else if constexpr (std::is_enum_v<V>)
    return static_cast<int64_t>(v);
  else if constexpr (std::is_integral_v<V>)
    return static_cast<int64_t>(v);
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<double>(v);
  else if constexpr (std::is_same_v<V, AnsiString>)
    return v;
  else if constexpr (IsTSet<V>::value)
    return static_cast<int64_t>(v.Mask());
  else if constexpr (std::is_pointer_v<V>)
    return static_cast<TObject*>(const_cast<std::remove_const_t<std::remove_pointer_t<V>>*>(v));
  else
    static_assert(sizeof(V) == 0, "unsupported published property type");
}

template <class V> V FromValue(const AnsiString& name, const TPropValue& value) {
  if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V> || std::is_integral_v<V> || IsTSet<V>::value) {
    const int64_t* i = std::get_if<int64_t>(&value);
    if (!i) throw EPropertyError(Format("Invalid property value for %s", name.c_str()));
    if constexpr (std::is_same_v<V, bool>) {
      return *i != 0;
    } else if constexpr (IsTSet<V>::value) {
      return V::FromMask(static_cast<uint32_t>(*i));
    } else {
      // A value the property's type cannot hold is refused, not cut to its low bits.
      using N = typename std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>,
                                            std::type_identity<V>>::type;
      if (!std::in_range<N>(*i))
        throw EPropertyError(
            Format("Value %lld is out of range for %s", static_cast<long long>(*i), name.c_str()));
      return static_cast<V>(*i);
    }
  } else if constexpr (std::is_floating_point_v<V>) {
    if (const double* d = std::get_if<double>(&value)) return static_cast<V>(*d);
    if (const int64_t* i = std::get_if<int64_t>(&value)) return static_cast<V>(*i);
    throw EPropertyError(Format("Invalid property value for %s", name.c_str()));
  } else if constexpr (std::is_same_v<V, AnsiString>) {
    const AnsiString* s = std::get_if<AnsiString>(&value);
    if (!s) throw EPropertyError(Format("Invalid property value for %s", name.c_str()));
    return *s;
  } else if constexpr (std::is_pointer_v<V>) {
    TObject* const* o = std::get_if<TObject*>(&value);
    if (!o) throw EPropertyError(Format("Invalid property value for %s", name.c_str()));
    if (!*o) return nullptr;
    auto* cast = dynamic_cast<V>(*o);
    if (!cast) throw EPropertyError(Format("Invalid property value for %s", name.c_str()));
    return cast;
  } else {
    static_assert(sizeof(V) == 0, "unsupported published property type");
  }
}

template <class T, class G> auto Read(const T* obj, G getter) {
  if constexpr (std::is_member_function_pointer_v<G>)
    return std::invoke(getter, obj);
  else
    return obj->*getter;
}

template <class T, class G>
using ValueOf = std::remove_cvref_t<decltype(Read(std::declval<const T*>(), std::declval<G>()))>;

template <class T, class V, class S> void Write(T* obj, S setter, V value) {
  if constexpr (std::is_member_function_pointer_v<S>)
    std::invoke(setter, obj, std::move(value));
  else
    obj->*setter = std::move(value);
}

} // namespace typinfo_detail

template <class T> class TClassBuilder {
 public:
  explicit TClassBuilder(TMetaClass& meta) : Meta(meta) {}

  // The class can be created by name with an owner: T(TComponent* Owner).
  TClassBuilder& Creatable() {
    Meta.Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
    return *this;
  }

  // The class is a collection item that a collection creates: T(TCollection* Collection).
  TClassBuilder& CollectionItem() {
    Meta.CreateItem = [](TCollection* collection) -> TCollectionItem* { return new T(collection); };
    return *this;
  }

  // A property of integer, boolean, float, string or object-pointer type. Getter and setter may be member
  // functions or data members. Without a setter an object property is a sub-object (Font, Items, ...).
  template <class G, class S> TClassBuilder& Property(const char* name, G getter, S setter) {
    TPropInfo& p = Add<G>(name, getter);
    using V = typinfo_detail::ValueOf<T, G>;
    const AnsiString n = name;
    p.Set = [setter, n](TObject* o, const TPropValue& v) {
      typinfo_detail::Write<T, V>(Self(o), setter, typinfo_detail::FromValue<V>(n, v));
    };
    return *this;
  }
  template <class G> TClassBuilder& Property(const char* name, G getter) {
    Add<G>(name, getter);
    return *this;
  }
  // An enumeration property, written and read by identifier in form streams.
  template <class G, class S>
  TClassBuilder& Enum(const char* name, G getter, S setter, const TEnumInfo& names) {
    Property(name, getter, setter);
    Meta.Properties.back().Kind = TTypeKind::Enumeration;
    Meta.Properties.back().Names = &names;
    return *this;
  }
  // A set property; `elements` names the element values by ordinal.
  template <class G, class S>
  TClassBuilder& Set(const char* name, G getter, S setter, const TEnumInfo& elements) {
    Property(name, getter, setter);
    Meta.Properties.back().Kind = TTypeKind::Set;
    Meta.Properties.back().Names = &elements;
    return *this;
  }
  // The value a writer may leave out.
  TClassBuilder& Default(int64_t value) {
    Meta.Properties.back().Default = value;
    return *this;
  }
  // Whether a writer stores the last property: never (false), or as a method or predicate of T answers.
  TClassBuilder& Stored(bool stored) {
    Meta.Properties.back().Stored = [stored](const TObject*) { return stored; };
    return *this;
  }
  template <class F> TClassBuilder& Stored(F predicate) {
    Meta.Properties.back().Stored = [predicate](const TObject* o) {
      return static_cast<bool>(std::invoke(predicate, static_cast<const T*>(o)));
    };
    return *this;
  }
  // Identifiers for values of the last (integer) property.
  TClassBuilder& Idents(const TIdentMapping& mapping) {
    Meta.Properties.back().Idents = &mapping;
    return *this;
  }

  // An event property: a TEvent<Sig> data member.
  template <class Sig> TClassBuilder& Event(const char* name, TEvent<Sig> T::*member) {
    return AddEvent<Sig>(name, [member](T* o) -> TEvent<Sig>& { return o->*member; });
  }
  // An event property reached through an accessor, for an event that lives in a part of the component.
  template <class Sig> TClassBuilder& Event(const char* name, TEvent<Sig>& (T::*accessor)()) {
    return AddEvent<Sig>(name, [accessor](T* o) -> TEvent<Sig>& { return (o->*accessor)(); });
  }

  // A published method that event properties can be bound to by name.
  template <class R, class... Args> TClassBuilder& Method(const char* name, R (T::*method)(Args...)) {
    using Fn = std::function<R(Args...)>;
    TMethodInfo m;
    m.Name = name;
    m.Signature = typeid(Fn);
    m.Bind = [method](TObject* instance) -> std::any {
      T* self = Self(instance);
      return Fn([self, method](Args... args) -> R { return (self->*method)(std::forward<Args>(args)...); });
    };
    Meta.Methods.push_back(std::move(m));
    return *this;
  }

  // A handler in the class's message table: the control's Dispatch calls it for message `msg` (a later
  // registration of the same message replaces an earlier one). Handlers are named after their message and
  // call the inherited handler, or DefaultHandler, where the default behaviour is wanted.
  template <class M> TClassBuilder& Message(uint32_t msg, void (T::*handler)(M&)) {
    TMessageHandlerInfo h;
    h.Msg = msg;
    h.Call = [handler](TObject* instance, TMessage& message) { (Self(instance)->*handler)(message); };
    auto& table = Meta.MessageHandlers;
    auto it = std::lower_bound(table.begin(), table.end(), msg,
                               [](const TMessageHandlerInfo& e, uint32_t m) { return e.Msg < m; });
    if (it != table.end() && it->Msg == msg)
      *it = std::move(h);
    else
      table.insert(it, std::move(h));
    return *this;
  }

 private:
  static T* Self(TObject* o) { return static_cast<T*>(o); }

  template <class Sig, class Access> TClassBuilder& AddEvent(const char* name, Access access) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::Method;
    p.EventType = typeid(TEvent<Sig>);
    p.GetMethodName = [access](const TObject* o) {
      return access(const_cast<T*>(static_cast<const T*>(o))).MethodName;
    };
    const AnsiString n = name;
    p.SetMethod = [access, n](TObject* o, TObject* target, const AnsiString& methodName) {
      TEvent<Sig>& event = access(Self(o));
      if (methodName.empty() || !target) {
        event = TEvent<Sig>();
        return;
      }
      const TMethodInfo* m = target->ClassType()->FindMethod(methodName);
      if (!m) throw EPropertyError(Format("Method %s not found", methodName.c_str()));
      if (m->Signature != std::type_index(typeid(typename TEvent<Sig>::Function)))
        throw EPropertyError(Format("Method %s does not fit event %s", methodName.c_str(), n.c_str()));
      event.Handler = std::any_cast<typename TEvent<Sig>::Function>(m->Bind(target));
      event.Data = target;
      event.MethodName = m->Name;
    };
    Meta.Properties.push_back(std::move(p));
    return *this;
  }

  template <class G> TPropInfo& Add(const char* name, G getter) {
    using V = typinfo_detail::ValueOf<T, G>;
    TPropInfo p;
    p.Name = name;
    if constexpr (std::is_same_v<V, bool>) {
      p.Kind = TTypeKind::Enumeration;
      p.Names = &BooleanNames;
    } else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
      p.Kind = TTypeKind::Integer;
    } else if constexpr (std::is_floating_point_v<V>) {
      p.Kind = TTypeKind::Float;
    } else if constexpr (std::is_same_v<V, AnsiString>) {
      p.Kind = TTypeKind::String;
    } else if constexpr (typinfo_detail::IsTSet<V>::value) {
      p.Kind = TTypeKind::Set;
    } else if constexpr (std::is_pointer_v<V>) {
      p.Kind = TTypeKind::Class;
      p.PropClass = &std::remove_cv_t<std::remove_pointer_t<V>>::StaticClass;
    } else {
      static_assert(sizeof(V) == 0, "unsupported published property type");
    }
    p.Get = [getter](const TObject* o) {
      return typinfo_detail::ToValue<V>(typinfo_detail::Read(static_cast<const T*>(o), getter));
    };
    Meta.Properties.push_back(std::move(p));
    return Meta.Properties.back();
  }

  TMetaClass& Meta;
};

// Fills a meta class's tables through `describe`.
template <class T>
TMetaClass MakeMetaClass(const char* name, TClass parent, void (*describe)(TClassBuilder<T>&)) {
  TMetaClass meta;
  meta.Name = name;
  meta.Parent = parent;
  TClassBuilder<T> builder(meta);
  if (describe) describe(builder);
  return meta;
}

// Defines Class::StaticClass() and registers the class by name when the program starts. The block that
// follows describes what the class publishes, through the builder `c`.
#define QUENDREL_REGISTER_CLASS(Class, Base)                                                                 \
  static void QuendrelDescribe_##Class(TClassBuilder<Class>& c);                                             \
  TClass Class::StaticClass() {                                                                              \
    static const TMetaClass meta =                                                                           \
        MakeMetaClass<Class>(#Class, Base::StaticClass(), &QuendrelDescribe_##Class);                        \
    static const bool registered = (RegisterClass(&meta), true);                                             \
    (void)registered;                                                                                        \
    return &meta;                                                                                            \
  }                                                                                                          \
  [[maybe_unused]] static const TClass QuendrelRegistered_##Class = Class::StaticClass();                    \
  static void QuendrelDescribe_##Class([[maybe_unused]] TClassBuilder<Class>& c)
