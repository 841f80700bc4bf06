// Published-property metadata. Every persistent class describes itself once, in its source file:
// class name, parent, factory and its published properties in declaration order. The filer, the
// property differences and the object inspector walk these descriptions; they are shared by every
// instance, and accessors take the object as their first argument.
//
//   const TClass& tFulgoAlign::StaticClass() {
//     static const TClass& cls = ClassBuilder<tFulgoAlign>("tFulgoAlign", tFulgoPersistent::StaticClass())
//         .Field("X", &tFulgoAlign::X, 0)
//         .Field("Alignment", &tFulgoAlign::Alignment, taCenter)
//         .Build();
//     return cls;
//   }
//   VANTORA_REGISTER_CLASS(tFulgoAlign);
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Errors.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TPersistent;
class TComponent;
class TClass;

enum class TTypeKind { tkInteger, tkChar, tkEnumeration, tkSet, tkFloat, tkString, tkClass, tkMethod };

const char* TypeKindName(TTypeKind kind);

// The value names of an enumeration, in ordinal order. Sets use the names of their element type.
struct TEnumInfo {
  std::string Name;
  std::vector<std::string> Names;

  // Ordinal of a value name (ignoring letter case), or -1.
  int IndexOf(std::string_view name) const;
};

// The framework's Boolean is an enumeration with the names False and True.
const TEnumInfo& BooleanTypeInfo();

// A set of up to 32 elements of an enumeration, stored as a bit mask (bit n: element n).
template <class E>
struct TSet {
  using ElementType = E;
  std::uint32_t Bits = 0;

  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) Include(e);
  }
  constexpr bool Contains(E e) const { return (Bits >> static_cast<unsigned>(e)) & 1u; }
  constexpr void Include(E e) { Bits |= 1u << static_cast<unsigned>(e); }
  constexpr void Exclude(E e) { Bits &= ~(1u << static_cast<unsigned>(e)); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.Bits == b.Bits; }
};

// A property value as the metadata moves it: ordinals (integers, characters, enumerations, sets as
// masks) as 64-bit integers, floats as double, strings, and object references.
using TValue = std::variant<std::int64_t, double, std::string, TPersistent*>;

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkInteger;
  const TEnumInfo* Enum = nullptr;       // enumeration values, or a set's element names
  const TClass& (*ClassOf)() = nullptr;  // the declared class of a class-kind property
  std::int64_t MinValue = 0;             // range of an ordinal property
  std::int64_t MaxValue = 0;
  std::function<TValue(const TPersistent&)> Getter;  // empty for method properties
  std::function<void(TPersistent&, const TValue&)> Setter;  // empty when read-only
  std::function<bool(const TPersistent&)> StoredFn;  // empty: stored when StoredFlag holds
  bool StoredFlag = true;
  std::optional<TValue> Default;  // empty: no default, always written
  bool IsColor = false;           // an integer holding a colour: shown by its name, picked from a dialog

  bool HasSetter() const { return static_cast<bool>(Setter); }
  bool IsOrdinal() const {
    return Kind == TTypeKind::tkInteger || Kind == TTypeKind::tkChar || Kind == TTypeKind::tkEnumeration ||
           Kind == TTypeKind::tkSet;
  }
  bool IsStored(const TPersistent& instance) const { return StoredFn ? StoredFn(instance) : StoredFlag; }
  // Whether the instance holds the declared default, so the filer may leave it out.
  bool IsDefault(const TPersistent& instance) const;
};

// A named child a form class declares: the component of that name its instance owns is bound to a
// member once the instance has been read from a stream.
struct TChildInfo {
  std::string Name;
  const TClass& (*ClassOf)() = nullptr;                               // the member's class, for messages
  std::function<bool(const TComponent& child)> Accepts;               // whether the member can hold Child
  std::function<void(TPersistent& owner, TComponent* child)> Assign;  // null clears the member
};

using TComponentFactory = TComponent* (*)(TComponent* owner);

class TClass {
 public:
  TClass(std::string name, const TClass* parent, TComponentFactory factory, std::vector<TPropInfo> own,
         std::vector<TChildInfo> ownChildren = {});
  TClass(const TClass&) = delete;
  TClass& operator=(const TClass&) = delete;

  const std::string& ClassName() const { return name_; }
  const TClass* ClassParent() const { return parent_; }
  bool InheritsFrom(const TClass& ancestor) const;
  bool CanCreate() const { return factory_ != nullptr; }
  // Creates a component of this class; raises EClassNotFound when the class cannot be created.
  TComponent* Create(TComponent* owner) const;

  // Published properties, ancestors first, each class in declaration order.
  const std::vector<const TPropInfo*>& Properties() const { return all_; }
  // Finds a published property by name, ignoring letter case; null when there is none.
  const TPropInfo* FindProperty(std::string_view name) const;
  // Declared named children, ancestors first, each class in declaration order.
  const std::vector<const TChildInfo*>& Children() const { return allChildren_; }

 private:
  std::string name_;
  const TClass* parent_;
  TComponentFactory factory_;
  std::vector<TPropInfo> own_;
  std::vector<const TPropInfo*> all_;
  std::vector<TChildInfo> ownChildren_;
  std::vector<const TChildInfo*> allChildren_;
};

// The registry of classes known by name, which the component reader uses.
void RegisterClass(const TClass& cls);
const TClass* GetClass(std::string_view name);  // null when unknown
const TClass& FindClass(std::string_view name);  // raises EClassNotFound when unknown

// Typed access to a published property of an instance, checked against the property's kind.
std::int64_t GetOrdProp(const TPersistent& instance, const TPropInfo& prop);
void SetOrdProp(TPersistent& instance, const TPropInfo& prop, std::int64_t value);
double GetFloatProp(const TPersistent& instance, const TPropInfo& prop);
void SetFloatProp(TPersistent& instance, const TPropInfo& prop, double value);
std::string GetStrProp(const TPersistent& instance, const TPropInfo& prop);
void SetStrProp(TPersistent& instance, const TPropInfo& prop, const std::string& value);
TPersistent* GetObjectProp(const TPersistent& instance, const TPropInfo& prop);
void SetObjectProp(TPersistent& instance, const TPropInfo& prop, TPersistent* value);
// The enumeration value name of an enumeration property's current value.
std::string GetEnumProp(const TPersistent& instance, const TPropInfo& prop);

// Marks a property with no default: it is written whatever its value.
struct NoDefaultTag {};
inline constexpr NoDefaultTag NoDefault{};

namespace detail {

template <class V>
concept Enumeration = std::is_enum_v<V>;

template <class V>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

template <class V>
constexpr TTypeKind KindOf() {
  if constexpr (std::is_same_v<V, bool>) return TTypeKind::tkEnumeration;
  else if constexpr (std::is_same_v<V, char>) return TTypeKind::tkChar;
  else if constexpr (std::is_enum_v<V>) return TTypeKind::tkEnumeration;
  else if constexpr (IsSet<V>::value) return TTypeKind::tkSet;
  else if constexpr (std::is_integral_v<V>) return TTypeKind::tkInteger;
  else if constexpr (std::is_floating_point_v<V>) return TTypeKind::tkFloat;
  else if constexpr (std::is_same_v<V, std::string>) return TTypeKind::tkString;
  else if constexpr (std::is_pointer_v<V>) return TTypeKind::tkClass;
  else static_assert(sizeof(V) == 0, "unsupported published property type");
}

template <class V>
TValue ToValue(const V& v) {
  if constexpr (std::is_same_v<V, bool>) return std::int64_t{v ? 1 : 0};
  else if constexpr (std::is_same_v<V, char>) return std::int64_t{static_cast<unsigned char>(v)};
  else if constexpr (std::is_enum_v<V>) return static_cast<std::int64_t>(v);
  else if constexpr (IsSet<V>::value) return static_cast<std::int64_t>(v.Bits);
  else if constexpr (std::is_integral_v<V>) return static_cast<std::int64_t>(v);
  else if constexpr (std::is_floating_point_v<V>) return static_cast<double>(v);
  else if constexpr (std::is_same_v<V, std::string>) return v;
  else return static_cast<TPersistent*>(const_cast<std::remove_const_t<std::remove_pointer_t<V>>*>(v));
}

template <class V>
V FromValue(const TValue& value) {
  if constexpr (std::is_same_v<V, bool>) return std::get<std::int64_t>(value) != 0;
  else if constexpr (std::is_same_v<V, char>) return static_cast<char>(std::get<std::int64_t>(value));
  else if constexpr (std::is_enum_v<V>) return static_cast<V>(std::get<std::int64_t>(value));
  else if constexpr (IsSet<V>::value) {
    V set;
    set.Bits = static_cast<std::uint32_t>(std::get<std::int64_t>(value));
    return set;
  } else if constexpr (std::is_integral_v<V>) return static_cast<V>(std::get<std::int64_t>(value));
  else if constexpr (std::is_floating_point_v<V>) return static_cast<V>(std::get<double>(value));
  else if constexpr (std::is_same_v<V, std::string>) return std::get<std::string>(value);
  else {
    // A reference of the wrong class is refused rather than cast blindly.
    TPersistent* object = std::get<TPersistent*>(value);
    auto* typed = dynamic_cast<V>(object);
    if (object && !typed) throw EConvertError("Invalid class typecast");
    return typed;
  }
}

template <class V>
void DescribeType(TPropInfo& info) {
  info.Kind = KindOf<V>();
  if constexpr (std::is_same_v<V, bool>) {
    info.Enum = &BooleanTypeInfo();
    info.MaxValue = 1;
  } else if constexpr (std::is_enum_v<V>) {
    // The enumeration's value names are found by argument-dependent lookup of TypeInfoOf(E).
    info.Enum = &TypeInfoOf(V{});
    info.MaxValue = static_cast<std::int64_t>(info.Enum->Names.size()) - 1;
  } else if constexpr (IsSet<V>::value) {
    info.Enum = &TypeInfoOf(typename V::ElementType{});
    const auto count = info.Enum->Names.size();
    info.MaxValue = count >= 32 ? 0xFFFFFFFFll : (std::int64_t{1} << count) - 1;
  } else if constexpr (std::is_integral_v<V>) {
    info.MinValue = std::numeric_limits<V>::min();
    info.MaxValue = static_cast<std::int64_t>(std::numeric_limits<V>::max());
  } else if constexpr (std::is_pointer_v<V>) {
    // Looked up when needed, so classes may refer to each other.
    info.ClassOf = &std::remove_pointer_t<V>::StaticClass;
  }
}

}  // namespace detail

// Builds the description of class T, then registers it. Properties are declared in order, one per
// call; Stored(...) applies to the property declared last.
template <class T>
class ClassBuilder {
 public:
  ClassBuilder(std::string name, const TClass& parent) : name_(std::move(name)), parent_(&parent) {}
  // Only the root of the hierarchy has no parent.
  explicit ClassBuilder(std::string name) : name_(std::move(name)), parent_(nullptr) {}

  // A property read and written through accessor member functions, of T or of a base of T (a
  // mixin base may hold the accessors of properties several classes publish).
  template <class G, class S, class D, class BG, class BS>
    requires std::derived_from<T, BG> && std::derived_from<T, BS>
  ClassBuilder& Property(std::string name, G (BG::*get)() const, void (BS::*set)(S), const D& def) {
    using V = std::remove_cvref_t<G>;
    TPropInfo& info = Add<V>(std::move(name), get);
    info.Setter = [set](TPersistent& o, const TValue& v) {
      (static_cast<T&>(o).*set)(detail::FromValue<V>(v));
    };
    SetDefault<V>(info, def);
    return *this;
  }
  template <class G, class S, class BG, class BS>
    requires std::derived_from<T, BG> && std::derived_from<T, BS>
  ClassBuilder& Property(std::string name, G (BG::*get)() const, void (BS::*set)(S)) {
    return Property(std::move(name), get, set, ImplicitDefault<std::remove_cvref_t<G>>());
  }
  // A read-only property.
  template <class G, class D>
  ClassBuilder& ReadOnly(std::string name, G (T::*get)() const, const D& def) {
    using V = std::remove_cvref_t<G>;
    SetDefault<V>(Add<V>(std::move(name), get), def);
    return *this;
  }
  // A property read and written directly in a field, as a published field without accessors.
  template <class V, class D>
  ClassBuilder& Field(std::string name, V T::*field, const D& def) {
    TPropInfo info;
    info.Name = std::move(name);
    detail::DescribeType<V>(info);
    info.Getter = [field](const TPersistent& o) { return detail::ToValue<V>(static_cast<const T&>(o).*field); };
    info.Setter = [field](TPersistent& o, const TValue& v) {
      static_cast<T&>(o).*field = detail::FromValue<V>(v);
    };
    SetDefault<V>(info, def);
    props_.push_back(std::move(info));
    return *this;
  }
  // An event: described for the inspector, never streamed.
  ClassBuilder& Method(std::string name) {
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = TTypeKind::tkMethod;
    props_.push_back(std::move(info));
    return *this;
  }
  ClassBuilder& Stored(bool (T::*stored)() const) {
    props_.back().StoredFn = [stored](const TPersistent& o) { return (static_cast<const T&>(o).*stored)(); };
    return *this;
  }
  ClassBuilder& Stored(bool stored) {
    props_.back().StoredFlag = stored;
    return *this;
  }
  // The property declared last holds a colour.
  ClassBuilder& AsColor() {
    props_.back().IsColor = true;
    return *this;
  }
  // A member bound to the owned component of this name when an instance has been read; the
  // component must be an M.
  template <class M>
  ClassBuilder& Child(std::string name, M* T::*member) {
    static_assert(std::is_base_of_v<TComponent, M>, "a named child is a component");
    TChildInfo info;
    info.Name = std::move(name);
    info.ClassOf = &M::StaticClass;
    info.Accepts = [](const TComponent& child) { return dynamic_cast<const M*>(&child) != nullptr; };
    info.Assign = [member](TPersistent& owner, TComponent* child) {
      static_cast<T&>(owner).*member = dynamic_cast<M*>(child);
    };
    children_.push_back(std::move(info));
    return *this;
  }

  // Creates the description, registers it by name and hands it out for the class's lifetime.
  const TClass& Build();

 private:
  template <class V, class G, class BG>
  TPropInfo& Add(std::string name, G (BG::*get)() const) {
    TPropInfo info;
    info.Name = std::move(name);
    detail::DescribeType<V>(info);
    info.Getter = [get](const TPersistent& o) { return detail::ToValue<V>((static_cast<const T&>(o).*get)()); };
    props_.push_back(std::move(info));
    return props_.back();
  }
  template <class V>
  static auto ImplicitDefault() {
    if constexpr (std::is_pointer_v<V>) return V{nullptr};
    else if constexpr (std::is_same_v<V, std::string>) return std::string();
    else if constexpr (std::is_floating_point_v<V>) return 0.0;
    else return NoDefault;
  }
  template <class V, class D>
  static void SetDefault(TPropInfo& info, const D& def) {
    if constexpr (std::is_same_v<D, NoDefaultTag>) info.Default.reset();
    else if constexpr (std::is_pointer_v<V>) info.Default = TValue{static_cast<TPersistent*>(nullptr)};
    else if constexpr (std::is_same_v<V, std::string>) info.Default = TValue{std::string(def)};
    else info.Default = detail::ToValue<V>(static_cast<V>(def));
  }

  std::string name_;
  const TClass* parent_;
  std::vector<TPropInfo> props_;
  std::vector<TChildInfo> children_;
};

namespace detail {
const TClass& KeepClass(std::unique_ptr<TClass> cls);
}

template <class T>
const TClass& ClassBuilder<T>::Build() {
  TComponentFactory factory = nullptr;
  if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TComponent*> &&
                std::is_base_of_v<TComponent, T>)
    factory = [](TComponent* owner) -> TComponent* { return new T(owner); };
  return detail::KeepClass(
      std::make_unique<TClass>(name_, parent_, factory, std::move(props_), std::move(children_)));
}

// Declares the class description accessors; put it first in the class body (it leaves access public).
#define VANTORA_PERSISTENT(T)                                                            \
 public:                                                                                 \
  static const ::vantora::host::TClass& StaticClass();                                   \
  const ::vantora::host::TClass& ClassType() const override { return T::StaticClass(); }

// Registers the class by name at start-up, so a stream can name it before any instance exists.
#define VANTORA_REGISTER_CLASS(T) \
  [[maybe_unused]] static const ::vantora::host::TClass& vantora_registered_##T = T::StaticClass()

}  // namespace vantora::host
VANTORA_API_END
