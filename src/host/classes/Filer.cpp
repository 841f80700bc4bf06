#include "host/classes/Filer.h"

#include <algorithm>
#include <strings.h>

namespace vantora::host {

namespace {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsIntegerType(TValueType type) {
  return type == TValueType::vaInt8 || type == TValueType::vaInt16 || type == TValueType::vaInt32 ||
         type == TValueType::vaInt64;
}

std::string ComponentPath(const TComponent& component) {
  return component.Name().empty() ? component.ClassName() : component.Name();
}

struct GlobalLoadingState {
  int depth = 0;
  std::vector<TReader::Fixup> fixups;
  std::vector<TComponent*> loaded;
  std::vector<TComponent*> roots;
  TFindGlobalComponent finder;
};

GlobalLoadingState& Global() {
  static GlobalLoadingState state;
  return state;
}

TComponent* FindNested(TComponent* start, std::string_view path) {
  while (start && !path.empty()) {
    const auto dot = path.find('.');
    start = start->FindComponent(path.substr(0, dot));
    path = dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
  }
  return start;
}

// A reference names a component of the root ("Button1"), the root itself, or a component of
// another root ("Form2.Button1").
TComponent* FindReferenced(TComponent* root, const std::string& name) {
  if (SameText(root->Name(), name)) return root;
  if (TComponent* c = root->FindComponent(name)) return c;
  const auto dot = name.find('.');
  if (dot == std::string::npos) return nullptr;
  const std::string head = name.substr(0, dot);
  if (SameText(root->Name(), head)) return FindNested(root, std::string_view(name).substr(dot + 1));
  return nullptr;
}

TComponent* FindGloballyReferenced(const std::string& name) {
  const TFindGlobalComponent& finder = Global().finder;
  if (!finder) return nullptr;
  if (TComponent* c = finder(name)) return c;
  const auto dot = name.find('.');
  if (dot == std::string::npos) return nullptr;
  return FindNested(finder(name.substr(0, dot)), std::string_view(name).substr(dot + 1));
}

// References that name nothing known stay unset, as a control file may name a peer that lives on
// another form; a reference to a component of the wrong class is an error.
void ResolveFixups(const std::vector<TReader::Fixup>& fixups, const std::vector<TComponent*>& roots) {
  for (const TReader::Fixup& f : fixups) {
    TComponent* target = FindReferenced(f.root, f.name);
    for (auto it = roots.begin(); !target && it != roots.end(); ++it) target = FindReferenced(*it, f.name);
    if (!target) target = FindGloballyReferenced(f.name);
    if (!target) continue;
    if (!target->InheritsFrom(f.prop->ClassOf()))
      throw EReadError("Component " + f.name + " is not a " + f.prop->ClassOf().ClassName() + " (property " +
                       f.prop->Name + " of " + ComponentPath(*f.root) + ")");
    f.prop->Setter(*f.instance, static_cast<TPersistent*>(target));
  }
}

// Every named child the root's class declares must be among the components the root owns, of the
// member's class. All are checked before any member is set, so a failed read leaves them as they were.
void BindDeclaredChildren(TComponent& root) {
  const std::vector<const TChildInfo*>& declared = root.ClassType().Children();
  std::vector<TComponent*> found;
  found.reserve(declared.size());
  for (const TChildInfo* child : declared) {
    TComponent* component = root.FindComponent(child->Name);
    const std::string member = root.ClassName() + "." + child->Name + ": ";
    if (!component) throw EReadError(member + "no component named " + child->Name);
    if (!child->Accepts(*component))
      throw EReadError(member + "expected " + child->ClassOf().ClassName() + ", found " +
                       component->ClassName());
    found.push_back(component);
  }
  for (std::size_t i = 0; i < declared.size(); ++i) declared[i]->Assign(root, found[i]);
}

void UnbindDeclaredChildren(TComponent& root) {
  for (const TChildInfo* child : root.ClassType().Children()) child->Assign(root, nullptr);
}

void FinishLoading(const std::vector<TComponent*>& loaded) {
  for (TComponent* c : loaded) c->Loaded();
  for (TComponent* c : loaded) c->ClearReadingState();
}

}  // namespace

// --- Writer -----------------------------------------------------------------------------------

void TWriter::WriteRootComponent(TComponent& root) {
  root_ = &root;
  format_.WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent& component) {
  format_.WriteName(component.ClassName());
  format_.WriteName(component.Name());
  WriteProperties(component, "", 0);
  format_.WriteEnd();
  component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, root_);
  format_.WriteEnd();
}

void TWriter::WriteProperties(TPersistent& instance, const std::string& prefix, int depth) {
  if (depth > kMaxComponentDepth) throw EWriteError("Nested objects too deep at " + prefix);
  for (const TPropInfo* prop : instance.ClassType().Properties())
    if (prop->IsStored(instance)) WriteProperty(instance, *prop, prefix, depth);
  const std::string saved = prefix_;
  prefix_ = prefix;
  instance.DefineProperties(*this);
  prefix_ = saved;
}

void TWriter::WriteProperty(TPersistent& instance, const TPropInfo& prop, const std::string& prefix, int depth) {
  const std::string path = prefix + prop.Name;
  switch (prop.Kind) {
    case TTypeKind::tkMethod: return;
    case TTypeKind::tkClass: {
      TPersistent* value = GetObjectProp(instance, prop);
      if (!value || value == &instance) return;
      if (auto* component = dynamic_cast<TComponent*>(value)) {
        // Another component is stored by name; one of another root is qualified by its owner.
        if (!prop.HasSetter() || component->Name().empty()) return;
        std::string name = component->Name();
        const TComponent* owner = component->Owner();
        if (component != root_ && owner != root_ && owner && !owner->Name().empty()) name = owner->Name() + "." + name;
        format_.WriteName(path);
        format_.WriteIdent(name);
        return;
      }
      WriteProperties(*value, path + ".", depth + 1);
      return;
    }
    default: break;
  }
  if (!prop.HasSetter() || prop.IsDefault(instance)) return;
  format_.WriteName(path);
  switch (prop.Kind) {
    case TTypeKind::tkInteger: format_.WriteInteger(GetOrdProp(instance, prop)); break;
    case TTypeKind::tkChar: format_.WriteString(std::string(1, static_cast<char>(GetOrdProp(instance, prop)))); break;
    case TTypeKind::tkEnumeration: {
      const std::int64_t ord = GetOrdProp(instance, prop);
      if (prop.Enum == &BooleanTypeInfo()) {
        format_.WriteBoolean(ord != 0);
      } else {
        if (ord < 0 || ord >= static_cast<std::int64_t>(prop.Enum->Names.size()))
          throw EWriteError("Property " + path + " holds " + std::to_string(ord) + ", not a value of " +
                            prop.Enum->Name);
        format_.WriteIdent(prop.Enum->Names[static_cast<std::size_t>(ord)]);
      }
      break;
    }
    case TTypeKind::tkSet: {
      const auto bits = static_cast<std::uint64_t>(GetOrdProp(instance, prop));
      std::vector<std::string> names;
      for (std::size_t i = 0; i < prop.Enum->Names.size() && i < 32; ++i)
        if ((bits >> i) & 1u) names.push_back(prop.Enum->Names[i]);
      format_.WriteSet(names);
      break;
    }
    case TTypeKind::tkFloat: format_.WriteDouble(GetFloatProp(instance, prop)); break;
    case TTypeKind::tkString: format_.WriteString(GetStrProp(instance, prop)); break;
    default: break;
  }
}

void TWriter::DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& write, bool hasData) {
  if (!hasData || !write) return;
  format_.WriteName(prefix_ + name);
  write(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const TStreamProc&, const TStreamProc& write,
                                   bool hasData) {
  if (!hasData || !write) return;
  TMemoryStream data;
  write(data);
  format_.WriteName(prefix_ + name);
  const auto& bytes = data.Bytes();
  format_.WriteBinary(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// --- Reader -----------------------------------------------------------------------------------

TReader::~TReader() = default;

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
  TComponent* const givenRoot = root;
  root_ = nullptr;
  created_.clear();
  loaded_.clear();
  fixups_.clear();
  childrenBound_ = false;
  try {
    format_.ReadSignature();
    if (root) root_ = root;
    owner_ = owner;
    ReadComponentRecord(root, nullptr);
    BindDeclaredChildren(*root_);
    childrenBound_ = true;
    GlobalLoadingState& global = Global();
    if (global.depth > 0) {
      global.fixups.insert(global.fixups.end(), fixups_.begin(), fixups_.end());
      global.loaded.insert(global.loaded.end(), loaded_.begin(), loaded_.end());
      global.roots.push_back(root_);
    } else {
      ResolveFixups(fixups_, {});
      FinishLoading(loaded_);
    }
  } catch (...) {
    Abandon(givenRoot);
    throw;
  }
  return root_;
}

void TReader::Abandon(TComponent* givenRoot) {
  if (root_ && root_ != givenRoot) {
    delete root_;  // owns everything else the read created
  } else {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) delete *it;
  }
  if (givenRoot) {
    // Its members must not keep components the read created and has just freed.
    if (childrenBound_) UnbindDeclaredChildren(*givenRoot);
    givenRoot->SetReading(false);
  }
  root_ = nullptr;
  created_.clear();
  loaded_.clear();
  fixups_.clear();
}

TComponent* TReader::ReadComponentRecord(TComponent* instance, TComponent* parent) {
  if (++depth_ > kMaxComponentDepth) format_.Fail("Components nested too deeply");
  const std::int64_t offset = format_.Offset();
  format_.SetContext(parent ? "child of " + ComponentPath(*parent) : "root component");
  const std::string className = format_.ReadName();
  const std::string name = format_.ReadName();
  if (className.empty()) format_.Fail("Missing class name", offset);
  const auto takeName = [&] {
    try {
      instance->SetName(name);
    } catch (const EComponentError& e) {
      format_.Fail(e.Message(), offset);
    }
  };
  if (!instance) {
    const TClass* cls = GetClass(className);
    if (!cls) format_.Fail("Unknown class " + className, offset);
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
      format_.Fail("Class " + className + " cannot be created from a stream", offset);
    instance = cls->Create(root_ ? root_ : owner_);
    created_.push_back(instance);
    // Loading before it is named, so that a designed control's caption does not take its name
    // in place of the stored (or empty) one.
    instance->SetReading(true);
    if (!name.empty()) takeName();
  } else if (instance->IsDesigning() && instance->Name().empty() && !name.empty()) {
    // A form opened in a designer is the one stored, name and all, so that saving it loses nothing.
    instance->SetReading(true);
    takeName();
  }
  if (!root_) root_ = instance;
  instance->SetReading(true);
  loaded_.push_back(instance);
  if (parent) instance->SetParentComponent(parent);
  instance->ReadState(*this);
  --depth_;
  return instance;
}

void TReader::ReadData(TComponent& instance) {
  TComponent* const savedReading = reading_;
  reading_ = &instance;
  for (;;) {
    format_.SetContext("component " + ComponentPath(instance));
    const std::int64_t offset = format_.Offset();
    const std::string path = format_.ReadName();
    if (path.empty()) break;
    ReadProperty(instance, path, offset);
  }
  TComponent* const savedParent = parent_;
  parent_ = &instance;
  format_.SetContext("children of " + ComponentPath(instance));
  while (!format_.AtEnd()) ReadComponentRecord(nullptr, &instance);
  format_.ReadEnd();
  parent_ = savedParent;
  reading_ = savedReading;
}

void TReader::ReadProperty(TPersistent& instance, const std::string& path, std::int64_t offset) {
  const auto* component = dynamic_cast<const TComponent*>(&instance);
  format_.SetContext("property " + (component ? ComponentPath(*component) + "." : std::string()) + path);
  TPersistent* target = &instance;
  std::string_view rest = path;
  for (auto dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
    const std::string part(rest.substr(0, dot));
    const TPropInfo* prop = target->ClassType().FindProperty(part);
    if (!prop || prop->Kind != TTypeKind::tkClass)
      format_.Fail("Unknown object property " + part + " of class " + target->ClassName(), offset);
    TPersistent* nested = GetObjectProp(*target, *prop);
    if (!nested || dynamic_cast<TComponent*>(nested))
      format_.Fail("Property " + part + " does not hold a nested object", offset);
    target = nested;
    rest = rest.substr(dot + 1);
  }
  const std::string last(rest);
  if (last.empty()) format_.Fail("Invalid property name", offset);
  const TPropInfo* prop = target->ClassType().FindProperty(last);
  if (prop && prop->Kind != TTypeKind::tkMethod) {
    ReadPropertyValue(*target, *prop);
    return;
  }
  defining_ = last;
  defined_found_ = false;
  target->DefineProperties(*this);
  const bool found = defined_found_;
  defining_.clear();
  defined_found_ = false;
  if (!found) format_.Fail("Unknown property " + last + " of class " + target->ClassName(), offset);
}

namespace {

// One reader per kind of property: each reads the value that follows a value type and refuses
// what does not fit the property, naming the offset where the value began.

[[noreturn]] void ValueMismatch(const FormatReader& format, const TPropInfo& prop, TValueType type,
                                std::int64_t offset) {
  const std::string kind = TypeKindName(prop.Kind);
  const std::string article = std::string("aeiou").find(kind[0]) != std::string::npos ? "an " : "a ";
  format.Fail("Expected " + article + kind + " value, found " + ValueTypeName(type), offset);
}

std::int64_t ReadIntegerValue(FormatReader& format, const TPropInfo& prop, TValueType type,
                              std::int64_t offset) {
  if (!IsIntegerType(type)) ValueMismatch(format, prop, type, offset);
  const std::int64_t value = format.ReadIntegerPayload(type);
  if (value < prop.MinValue || value > prop.MaxValue)
    format.Fail("Value " + std::to_string(value) + " out of range", offset);
  return value;
}

// A character is written as a one-letter string or as its code.
std::int64_t ReadCharValue(FormatReader& format, const TPropInfo& prop, TValueType type,
                           std::int64_t offset) {
  if (type == TValueType::vaString) {
    const std::string s = format.ReadBytesPayload();
    if (s.size() != 1) format.Fail("Expected one character, found " + std::to_string(s.size()), offset);
    return static_cast<unsigned char>(s[0]);
  }
  if (!IsIntegerType(type)) ValueMismatch(format, prop, type, offset);
  const std::int64_t value = format.ReadIntegerPayload(type);
  if (value < 0 || value > 255)
    format.Fail("Character code " + std::to_string(value) + " out of range", offset);
  return value;
}

std::int64_t ReadEnumValue(FormatReader& format, const TPropInfo& prop, TValueType type,
                           std::int64_t offset) {
  if (prop.Enum == &BooleanTypeInfo() && (type == TValueType::vaFalse || type == TValueType::vaTrue))
    return type == TValueType::vaTrue ? 1 : 0;
  if (type != TValueType::vaIdent) ValueMismatch(format, prop, type, offset);
  const std::string name = format.ReadName();
  const std::int64_t value = prop.Enum->IndexOf(name);
  if (value < 0) format.Fail("Unknown " + prop.Enum->Name + " value '" + name + "'", offset);
  return value;
}

std::int64_t ReadSetValue(FormatReader& format, const TPropInfo& prop, TValueType type, std::int64_t offset) {
  if (type != TValueType::vaSet) ValueMismatch(format, prop, type, offset);
  std::int64_t bits = 0;
  for (const std::string& name : format.ReadSetPayload()) {
    const int index = prop.Enum->IndexOf(name);
    if (index < 0 || index >= 32) format.Fail("Unknown set element '" + name + "'", offset);
    bits |= std::int64_t{1} << index;
  }
  return bits;
}

double ReadFloatValue(FormatReader& format, const TPropInfo& prop, TValueType type, std::int64_t offset) {
  if (type == TValueType::vaDouble) return format.ReadDoublePayload();
  if (!IsIntegerType(type)) ValueMismatch(format, prop, type, offset);
  return static_cast<double>(format.ReadIntegerPayload(type));
}

std::string ReadStringValue(FormatReader& format, const TPropInfo& prop, TValueType type,
                            std::int64_t offset) {
  if (type != TValueType::vaString) ValueMismatch(format, prop, type, offset);
  return format.ReadBytesPayload();
}

// The value of a property of any kind but class (whose value names a component found later).
TValue ReadPlainValue(FormatReader& format, const TPropInfo& prop, TValueType type, std::int64_t offset) {
  switch (prop.Kind) {
    case TTypeKind::tkInteger:
      return ReadIntegerValue(format, prop, type, offset);
    case TTypeKind::tkChar:
      return ReadCharValue(format, prop, type, offset);
    case TTypeKind::tkEnumeration:
      return ReadEnumValue(format, prop, type, offset);
    case TTypeKind::tkSet:
      return ReadSetValue(format, prop, type, offset);
    case TTypeKind::tkFloat:
      return ReadFloatValue(format, prop, type, offset);
    case TTypeKind::tkString:
      return ReadStringValue(format, prop, type, offset);
    case TTypeKind::tkClass:
    case TTypeKind::tkMethod:
      break;
  }
  ValueMismatch(format, prop, type, offset);
}

}  // namespace

void TReader::ReadPropertyValue(TPersistent& target, const TPropInfo& prop) {
  const std::int64_t offset = format_.Offset();
  const TValueType type = format_.ReadValueType();
  if (!prop.HasSetter()) format_.Fail("Property " + prop.Name + " is read-only", offset);
  if (prop.Kind == TTypeKind::tkClass)
    ReadClassValue(target, prop, type, offset);
  else
    prop.Setter(target, ReadPlainValue(format_, prop, type, offset));
}

// A class property holds nil or the name of a component, found when the loading ends.
void TReader::ReadClassValue(TPersistent& target, const TPropInfo& prop, TValueType type,
                             std::int64_t offset) {
  if (type == TValueType::vaNil) {
    prop.Setter(target, static_cast<TPersistent*>(nullptr));
  } else if (type == TValueType::vaIdent) {
    fixups_.push_back({root_, reading_, &target, &prop, format_.ReadName()});
  } else {
    ValueMismatch(format_, prop, type, offset);
  }
}

void TReader::SkipValue(int depth) {
  if (depth > kMaxListDepth) format_.Fail("Lists nested too deeply");
  const TValueType type = format_.ReadValueType();
  switch (type) {
    case TValueType::vaNull: format_.Fail("Unexpected end of list");
    case TValueType::vaList:
      while (!format_.AtEnd()) SkipValue(depth + 1);
      format_.ReadEnd();
      return;
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
    case TValueType::vaInt64: format_.ReadIntegerPayload(type); return;
    case TValueType::vaDouble: format_.ReadDoublePayload(); return;
    case TValueType::vaString:
    case TValueType::vaBinary: format_.ReadBytesPayload(); return;
    case TValueType::vaIdent: format_.ReadName(); return;
    case TValueType::vaSet: format_.ReadSetPayload(); return;
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil: return;
  }
}

void TReader::DefineProperty(const std::string& name, const TReaderProc& read, const TWriterProc&, bool) {
  if (defined_found_ || defining_.empty() || !SameText(name, defining_)) return;
  defined_found_ = true;
  if (read) read(*this);
  else SkipValue(0);
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc&, bool) {
  if (defined_found_ || defining_.empty() || !SameText(name, defining_)) return;
  defined_found_ = true;
  const std::int64_t offset = format_.Offset();
  if (format_.ReadValueType() != TValueType::vaBinary) format_.Fail("Expected binary data", offset);
  const std::string bytes = format_.ReadBytesPayload();
  if (!read) return;
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  data.SetPosition(0);
  read(data);
}

void TReader::ReadListBegin() {
  const std::int64_t offset = format_.Offset();
  if (format_.ReadValueType() != TValueType::vaList) format_.Fail("Expected a list", offset);
}

bool TReader::EndOfList() { return format_.AtEnd(); }

void TReader::ReadListEnd() { format_.ReadEnd(); }

std::int64_t TReader::ReadInteger() {
  const std::int64_t offset = format_.Offset();
  const TValueType type = format_.ReadValueType();
  if (!IsIntegerType(type)) format_.Fail(std::string("Expected an integer, found ") + ValueTypeName(type), offset);
  return format_.ReadIntegerPayload(type);
}

bool TReader::ReadBoolean() {
  const std::int64_t offset = format_.Offset();
  const TValueType type = format_.ReadValueType();
  if (type != TValueType::vaFalse && type != TValueType::vaTrue)
    format_.Fail(std::string("Expected a boolean, found ") + ValueTypeName(type), offset);
  return type == TValueType::vaTrue;
}

std::string TReader::ReadString() {
  const std::int64_t offset = format_.Offset();
  const TValueType type = format_.ReadValueType();
  if (type != TValueType::vaString) format_.Fail(std::string("Expected a string, found ") + ValueTypeName(type), offset);
  return format_.ReadBytesPayload();
}

double TReader::ReadFloat() {
  const std::int64_t offset = format_.Offset();
  const TValueType type = format_.ReadValueType();
  if (type == TValueType::vaDouble) return format_.ReadDoublePayload();
  if (IsIntegerType(type)) return static_cast<double>(format_.ReadIntegerPayload(type));
  format_.Fail(std::string("Expected a float, found ") + ValueTypeName(type), offset);
}

std::string TReader::ReadIdent() {
  const std::int64_t offset = format_.Offset();
  switch (const TValueType type = format_.ReadValueType()) {
    case TValueType::vaIdent: return format_.ReadName();
    case TValueType::vaFalse: return "False";
    case TValueType::vaTrue: return "True";
    case TValueType::vaNil: return "nil";
    default: format_.Fail(std::string("Expected an identifier, found ") + ValueTypeName(type), offset);
  }
}

// --- Entry points -----------------------------------------------------------------------------

void WriteComponent(TStream& stream, TComponent& root) {
  TWriter writer(stream);
  writer.WriteRootComponent(root);
}

TComponent* ReadComponent(TStream& stream, TComponent* root, TComponent* owner) {
  TReader reader(stream);
  return reader.ReadRootComponent(root, owner);
}

void BeginGlobalLoading() { ++Global().depth; }

bool InGlobalLoading() { return Global().depth > 0; }

void EndGlobalLoading() {
  GlobalLoadingState& global = Global();
  if (global.depth == 0 || --global.depth > 0) return;
  const auto fixups = std::move(global.fixups);
  const auto loaded = std::move(global.loaded);
  const auto roots = std::move(global.roots);
  global.fixups.clear();
  global.loaded.clear();
  global.roots.clear();
  ResolveFixups(fixups, roots);
  FinishLoading(loaded);
}

void ForgetGlobalLoading(TComponent* component) {
  GlobalLoadingState& global = Global();
  if (global.depth == 0) return;
  std::erase(global.loaded, component);
  std::erase(global.roots, component);
  std::erase_if(global.fixups,
                [component](const TReader::Fixup& f) { return f.root == component || f.component == component; });
}

void SetFindGlobalComponent(TFindGlobalComponent finder) { Global().finder = std::move(finder); }

}  // namespace vantora::host
