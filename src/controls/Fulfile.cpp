#include "controls/Fulfile.h"

#include <memory>

#include "controls/Fulint.h"
#include "host/classes/ComponentFormat.h"
#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/forms/Forms.h"

namespace vantora {

namespace {

tFulgoControl& AsFulgoControl(host::TPersistent& control) {
  auto* fulgo = dynamic_cast<tFulgoControl*>(&control);
  if (!fulgo) throw host::EConvertError(control.ClassName() + " is not a control of this library");
  return *fulgo;
}

bool Related(const host::TClass& a, const host::TClass& b) {
  return a.InheritsFrom(b) || b.InheritsFrom(a);
}

[[noreturn]] void CannotAssign(const std::string& dest, const std::string& source) {
  throw host::EConvertError("Can not assign " + dest + " to " + source);
}

// Reads Stream (binary) into Control after resetting it to the model defaults.
void ReadInto(host::TComponent& Control, host::TStream& Stream) {
  tFulgoControl& fulgo = AsFulgoControl(Control);
  NoRebuilds quiet(fulgo);
  fulgo.Init();
  Stream.SetPosition(0);
  host::ReadComponent(Stream, &Control);
}

}  // namespace

bool tFulgoControl::GetAllowRebuild() const {
  return FulgoInt().GetAllowRebuild();
}

void tFulgoControl::SetAllowRebuild(bool Value) {
  FulgoInt().SetAllowRebuild(Value);
}

host::TControl& tFulgoControl::HostControl() const {
  return *FulgoInt().Control;
}

host::TPersistent* tFulgoControl::GetSelf() const {
  return &HostControl();
}

tFulgoPalette* tFulgoControl::GetFulgoPalette() const {
  return FulgoInt().FulgoPalette;
}

void tFulgoControl::SetFulgoPalette(tFulgoPalette* Value) {
  FulgoInt().SetFulgoPalette(Value);
}

bool tFulgoControl::GetUpdatePalette() const {
  return FulgoInt().UpdatePalette;
}

void tFulgoControl::SetUpdatePalette(bool Value) {
  FulgoInt().UpdatePalette = Value;
}

bool tFulgoControl::GetAutoSize() const {
  return FulgoInt().AutoSize;
}

void tFulgoControl::SetAutoSize(bool Value) {
  FulgoInt().SetAutoSize(Value);
}

eDrawMode tFulgoControl::GetDrawMode() const {
  return FulgoInt().DrawMode;
}

void tFulgoControl::SetDrawMode(eDrawMode Value) {
  FulgoInt().SetDrawMode(Value);
}

void tFulgoControl::SaveToFile(const std::string& FileName) const {
  SaveControlToFile(HostControl(), FileName);
}

void tFulgoControl::LoadFromFile(const std::string& FileName) {
  LoadControlFromFile(HostControl(), FileName, KeepsAutoSizeOnLoad());
}

void SaveControlToFile(host::TComponent& Control, const std::string& FileName) {
  host::TMemoryStream file;
  host::WriteComponent(file, Control);
  file.SaveToFile(FileName);
}

void LoadControlFromFile(host::TComponent& Control, const std::string& FileName, bool KeepAutoSize) {
  host::TFileStream file(FileName, host::TFileMode::fmOpenRead);
  LoadControlFromStream(Control, file, KeepAutoSize);
}

void LoadControlFromStream(host::TComponent& Control, host::TStream& Stream, bool KeepAutoSize) {
  tFulgoControl& fulgo = AsFulgoControl(Control);
  host::TMemoryStream binary;
  host::ReadComponentStream(Stream, binary);
  binary.SetPosition(0);
  host::FormatReader format(binary);
  format.ReadSignature();
  const std::string className = format.ReadName();
  const host::TClass* fileClass = host::GetClass(className);
  if (!fileClass) format.Fail("Unknown class " + className);
  if (!Related(*fileClass, Control.ClassType())) CannotAssign(Control.ClassName(), className);
  {
    std::unique_ptr<host::TComponent> trial(Control.ClassType().Create(nullptr));
    ReadInto(*trial, binary);
  }
  tFulgoInt& face = fulgo.FulgoInt();
  tFulgoPalette* palette = face.FulgoPalette;
  const bool autoSize = face.AutoSize;
  {
    NoRebuilds quiet(fulgo);
    ReadInto(Control, binary);
    face.SetFulgoPalette(palette);
    if (KeepAutoSize) face.SetAutoSize(autoSize);
  }
  fulgo.Rebuild();
}

void AssignControl(const host::TComponent& Source, host::TPersistent* Dest) {
  if (!Dest || !Related(Source.ClassType(), Dest->ClassType()))
    CannotAssign(Dest ? Dest->ClassName() : std::string("nil"), Source.ClassName());
  auto* dest = dynamic_cast<host::TComponent*>(Dest);
  tFulgoControl& fulgo = AsFulgoControl(*Dest);
  host::TMemoryStream stream;
  stream.SetCapacity(2000);
  host::WriteComponent(stream, const_cast<host::TComponent&>(Source));
  ReadInto(*dest, stream);
  fulgo.Rebuild();
}

}  // namespace vantora
