#include "base/Prophelp.h"

#include "base/Fultype.h"

namespace vantora {

namespace {

constexpr std::uint8_t kListBegin = 1;
constexpr std::uint8_t kInteger = 4;
constexpr std::uint8_t kString = 6;
constexpr std::uint8_t kListEnd = 7;
const char* const kNewClass = "NewClass";

[[noreturn]] void ReadingError() { throw EFulgoError("Error reading stream"); }

void WriteTag(host::TStream& Stream, std::uint8_t tag) { Stream.WriteBuffer(&tag, 1); }

void ExpectTag(host::TStream& Stream, std::uint8_t tag) {
  if (Stream.ReadValue<std::uint8_t>() != tag) ReadingError();
}

}  // namespace

void WriteStreamInteger(host::TStream& Stream, std::int32_t Value) {
  WriteTag(Stream, kInteger);
  Stream.WriteValue(Value);
}

void WriteStreamString(host::TStream& Stream, const std::string& Text) {
  if (Text.size() > 255) throw EFulgoError("String too long for stream (" + std::to_string(Text.size()) + ")");
  const auto length = static_cast<std::uint8_t>(Text.size());
  WriteTag(Stream, kString);
  // The length is written twice; readers of the record expect both bytes.
  Stream.WriteValue(length);
  Stream.WriteValue(length);
  Stream.WriteBuffer(Text.data(), length);
}

void WriteStreamListBegin(host::TStream& Stream) { WriteTag(Stream, kListBegin); }
void WriteStreamListEnd(host::TStream& Stream) { WriteTag(Stream, kListEnd); }

std::int32_t ReadStreamInteger(host::TStream& Stream) {
  ExpectTag(Stream, kInteger);
  return Stream.ReadValue<std::int32_t>();
}

std::string ReadStreamString(host::TStream& Stream) {
  ExpectTag(Stream, kString);
  const auto length = Stream.ReadValue<std::uint8_t>();
  std::string bytes(std::size_t{length} + 1, '\0');
  Stream.ReadBuffer(bytes.data(), length + 1);
  return bytes.substr(1);
}

void ReadStreamListBegin(host::TStream& Stream) { ExpectTag(Stream, kListBegin); }
void ReadStreamListEnd(host::TStream& Stream) { ExpectTag(Stream, kListEnd); }

bool IsStreamListEnd(host::TStream& Stream) {
  const auto tag = Stream.ReadValue<std::uint8_t>();
  Stream.Seek(-1, host::TSeekOrigin::soCurrent);
  return tag == kListEnd;
}

host::TPersistent* GetPropRef(const host::TPersistent* Instance, const std::string& Name) {
  const host::TPropInfo* prop = Instance->ClassType().FindProperty(Name);
  if (!prop || prop->Kind != host::TTypeKind::tkClass) return nullptr;
  return host::GetObjectProp(*Instance, *prop);
}

bool FindDifference(host::TStream& Stream, const host::TPersistent* Base, const host::TPersistent* Other) {
  if (!Base || !Other || &Base->ClassType() != &Other->ClassType())
    throw EFulgoError("Object must have the same value");
  WriteStreamListBegin(Stream);
  WriteStreamString(Stream, Base->ClassName());
  bool found = false;
  for (const host::TPropInfo* prop : Base->ClassType().Properties())
    if (prop->IsStored(*Base)) found = FindPropertyDifference(Stream, Base, Other, *prop) || found;
  WriteStreamListEnd(Stream);
  return found;
}

bool FindPropertyDifference(host::TStream& Stream, const host::TPersistent* Base, const host::TPersistent* Other,
                            const host::TPropInfo& Property) {
  using host::TTypeKind;
  if (Property.IsOrdinal() || Property.Kind == TTypeKind::tkFloat || Property.Kind == TTypeKind::tkString) {
    // Ordinals, floats (exactly) and strings (case-sensitively) compare as values.
    if (Property.Getter(*Base) == Property.Getter(*Other)) return false;
    WriteProperty(Stream, Other, Property);
    return true;
  }
  if (Property.Kind != TTypeKind::tkClass) return false;
  const host::TPersistent* base = GetPropRef(Base, Property.Name);
  const host::TPersistent* other = GetPropRef(Other, Property.Name);
  if (!base || base == Base) return false;
  const std::int64_t start = Stream.Position();
  WriteStreamString(Stream, kNewClass);
  WriteStreamString(Stream, Property.Name);
  bool found = false;
  if (auto* record = dynamic_cast<IChangeRecord*>(const_cast<host::TPersistent*>(other));
      record && dynamic_cast<const IChangeRecord*>(base)) {
    found = record->WriteChanges(Stream, base);
  } else {
    found = FindDifference(Stream, base, other);
  }
  // An unchanged sub-object leaves no entry: the next one overwrites it.
  if (!found) Stream.SetPosition(start);
  return found;
}

void WriteProperty(host::TStream& Stream, const host::TPersistent* Instance, const host::TPropInfo& Property) {
  if (!Property.HasSetter()) return;
  WriteStreamString(Stream, Property.Name);
  if (Property.IsOrdinal()) {
    WriteStreamInteger(Stream, static_cast<std::int32_t>(host::GetOrdProp(*Instance, Property)));
  } else if (Property.Kind == host::TTypeKind::tkString) {
    WriteStreamString(Stream, host::GetStrProp(*Instance, Property));
  }
}

bool SetDifference(host::TStream& Stream, host::TPersistent* Target) {
  ReadStreamListBegin(Stream);
  if (ReadStreamString(Stream) != Target->ClassName()) throw EFulgoError("Ilegal class assignment");
  bool changed = false;
  while (!IsStreamListEnd(Stream)) {
    const std::string name = ReadStreamString(Stream);
    if (name == kNewClass) {
      const std::string propName = ReadStreamString(Stream);
      host::TPersistent* sub = GetPropRef(Target, propName);
      if (!sub || sub == Target) throw EFulgoError("Error reading stream: no object property " + propName);
      if (auto* record = dynamic_cast<IChangeRecord*>(sub)) {
        record->ReadChanges(Stream);
        changed = true;
      } else {
        changed = SetDifference(Stream, sub) || changed;
      }
      continue;
    }
    const host::TPropInfo* prop = Target->ClassType().FindProperty(name);
    if (!prop) throw EFulgoError("Error reading stream: no property " + name + " in " + Target->ClassName());
    ReadProperty(Stream, Target, *prop);
    changed = true;
  }
  ReadStreamListEnd(Stream);
  return changed;
}

void ReadProperty(host::TStream& Stream, host::TPersistent* Target, const host::TPropInfo& Property) {
  if (Property.IsOrdinal()) {
    host::SetOrdProp(*Target, Property, ReadStreamInteger(Stream));
  } else if (Property.Kind == host::TTypeKind::tkString) {
    host::SetStrProp(*Target, Property, ReadStreamString(Stream));
  } else if (Property.Kind == host::TTypeKind::tkClass) {
    host::TPersistent* sub = GetPropRef(Target, Property.Name);
    if (sub && sub != Target) SetDifference(Stream, sub);
  }
}

}  // namespace vantora
