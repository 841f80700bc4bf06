#include "host/classes/TypeInfo.h"

#include <map>
#include <strings.h>

#include "host/classes/Persistent.h"

namespace vantora::host {

const char* TypeKindName(TTypeKind kind) {
  switch (kind) {
    case TTypeKind::tkInteger: return "integer";
    case TTypeKind::tkChar: return "char";
    case TTypeKind::tkEnumeration: return "enumeration";
    case TTypeKind::tkSet: return "set";
    case TTypeKind::tkFloat: return "float";
    case TTypeKind::tkString: return "string";
    case TTypeKind::tkClass: return "class";
    case TTypeKind::tkMethod: return "method";
  }
  return "unknown";
}

int TEnumInfo::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (Names[i].size() == name.size() && strncasecmp(Names[i].data(), name.data(), name.size()) == 0)
      return static_cast<int>(i);
  return -1;
}

const TEnumInfo& BooleanTypeInfo() {
  static const TEnumInfo info{"Boolean", {"False", "True"}};
  return info;
}

bool TPropInfo::IsDefault(const TPersistent& instance) const {
  if (!Default || !Getter) return false;
  return Getter(instance) == *Default;
}

TClass::TClass(std::string name, const TClass* parent, TComponentFactory factory, std::vector<TPropInfo> own,
               std::vector<TChildInfo> ownChildren)
    : name_(std::move(name)),
      parent_(parent),
      factory_(factory),
      own_(std::move(own)),
      ownChildren_(std::move(ownChildren)) {
  if (parent_) {
    all_ = parent_->all_;
    allChildren_ = parent_->allChildren_;
  }
  for (const TPropInfo& p : own_) all_.push_back(&p);
  for (const TChildInfo& c : ownChildren_) allChildren_.push_back(&c);
}

bool TClass::InheritsFrom(const TClass& ancestor) const {
  for (const TClass* c = this; c; c = c->parent_)
    if (c == &ancestor) return true;
  return false;
}

TComponent* TClass::Create(TComponent* owner) const {
  if (!factory_) throw EClassNotFound("Class " + name_ + " cannot be created from a stream");
  return factory_(owner);
}

const TPropInfo* TClass::FindProperty(std::string_view name) const {
  for (const TPropInfo* p : all_)
    if (p->Name.size() == name.size() && strncasecmp(p->Name.data(), name.data(), name.size()) == 0) return p;
  return nullptr;
}

namespace {

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    const int c = strncasecmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c != 0 ? c < 0 : a.size() < b.size();
  }
};

struct ClassRegistry {
  std::vector<std::unique_ptr<TClass>> kept;
  std::map<std::string, const TClass*, CaseInsensitiveLess> byName;
};

ClassRegistry& Registry() {
  static ClassRegistry registry;
  return registry;
}

}  // namespace

namespace detail {
const TClass& KeepClass(std::unique_ptr<TClass> cls) {
  const TClass& kept = *cls;
  Registry().kept.push_back(std::move(cls));
  RegisterClass(kept);
  return kept;
}
}  // namespace detail

void RegisterClass(const TClass& cls) {
  auto [it, inserted] = Registry().byName.emplace(cls.ClassName(), &cls);
  if (!inserted && it->second != &cls)
    throw EFilerError("A class named " + cls.ClassName() + " already exists");
}

const TClass* GetClass(std::string_view name) {
  const auto& byName = Registry().byName;
  const auto it = byName.find(name);
  return it == byName.end() ? nullptr : it->second;
}

const TClass& FindClass(std::string_view name) {
  const TClass* cls = GetClass(name);
  if (!cls) throw EClassNotFound("Class " + std::string(name) + " not found");
  return *cls;
}

namespace {
void CheckKind(const TPropInfo& prop, bool ok, const char* wanted) {
  if (!ok)
    throw EConvertError("Property " + prop.Name + " is of kind " + TypeKindName(prop.Kind) + ", not " + wanted);
}
void CheckWritable(const TPropInfo& prop) {
  if (!prop.Setter) throw EConvertError("Property " + prop.Name + " is read-only");
}
}  // namespace

std::int64_t GetOrdProp(const TPersistent& instance, const TPropInfo& prop) {
  CheckKind(prop, prop.IsOrdinal(), "ordinal");
  return std::get<std::int64_t>(prop.Getter(instance));
}

void SetOrdProp(TPersistent& instance, const TPropInfo& prop, std::int64_t value) {
  CheckKind(prop, prop.IsOrdinal(), "ordinal");
  CheckWritable(prop);
  if (value < prop.MinValue || value > prop.MaxValue)
    throw EConvertError("Value " + std::to_string(value) + " is out of range for property " + prop.Name);
  prop.Setter(instance, value);
}

double GetFloatProp(const TPersistent& instance, const TPropInfo& prop) {
  CheckKind(prop, prop.Kind == TTypeKind::tkFloat, "float");
  return std::get<double>(prop.Getter(instance));
}

void SetFloatProp(TPersistent& instance, const TPropInfo& prop, double value) {
  CheckKind(prop, prop.Kind == TTypeKind::tkFloat, "float");
  CheckWritable(prop);
  prop.Setter(instance, value);
}

std::string GetStrProp(const TPersistent& instance, const TPropInfo& prop) {
  CheckKind(prop, prop.Kind == TTypeKind::tkString, "string");
  return std::get<std::string>(prop.Getter(instance));
}

void SetStrProp(TPersistent& instance, const TPropInfo& prop, const std::string& value) {
  CheckKind(prop, prop.Kind == TTypeKind::tkString, "string");
  CheckWritable(prop);
  prop.Setter(instance, value);
}

TPersistent* GetObjectProp(const TPersistent& instance, const TPropInfo& prop) {
  CheckKind(prop, prop.Kind == TTypeKind::tkClass, "class");
  return std::get<TPersistent*>(prop.Getter(instance));
}

void SetObjectProp(TPersistent& instance, const TPropInfo& prop, TPersistent* value) {
  CheckKind(prop, prop.Kind == TTypeKind::tkClass, "class");
  CheckWritable(prop);
  prop.Setter(instance, value);
}

std::string GetEnumProp(const TPersistent& instance, const TPropInfo& prop) {
  CheckKind(prop, prop.Kind == TTypeKind::tkEnumeration, "enumeration");
  const std::int64_t ord = GetOrdProp(instance, prop);
  if (ord < 0 || ord >= static_cast<std::int64_t>(prop.Enum->Names.size())) return std::to_string(ord);
  return prop.Enum->Names[static_cast<std::size_t>(ord)];
}

}  // namespace vantora::host
