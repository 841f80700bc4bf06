// Unit Fulfile: control files and the stream copy. A control file holds one control as the root of
// a component stream, as a form holds it; copying a control into another writes it into such a
// stream and reads it back into the other. The windowless controls and the panel share this.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/classes/Stream.h"
#include "model/Fulgoart.h"

VANTORA_API_BEGIN
namespace vantora {

namespace host {
class TControl;
}

class tFulgoInt;
class tFulgoPalette;

// What every control of the library is beside its host base class: the accessors of the
// properties they all publish, reached through the rendering interface, and their control files.
class tFulgoControl {
 public:
  virtual ~tFulgoControl() = default;
  virtual tFulgoInt& FulgoInt() const = 0;
  // Back to the bare model defaults, as before a stream is read into the control.
  virtual void Init() = 0;
  virtual void Rebuild() = 0;
  bool GetAllowRebuild() const;
  void SetAllowRebuild(bool Value);

  std::int32_t AboutValue = 1;

  // The host control this is, as the rendering interface knows it.
  host::TControl& HostControl() const;

  // The "Wizard" property carries the designer's wizard row: it reads as the control itself and
  // writing it only rebuilds.
  host::TPersistent* GetSelf() const;
  void SetWizLabel(host::TPersistent*) { Rebuild(); }
  std::int32_t GetAbout() const { return AboutValue; }
  void SetAbout(std::int32_t Value) { AboutValue = Value; }
  tFulgoPalette* GetFulgoPalette() const;
  void SetFulgoPalette(tFulgoPalette* Value);
  bool GetUpdatePalette() const;
  void SetUpdatePalette(bool Value);
  bool GetAutoSize() const;
  void SetAutoSize(bool Value);
  eDrawMode GetDrawMode() const;
  void SetDrawMode(eDrawMode Value);

  void SaveToFile(const std::string& FileName) const;
  // Keeps the control's own palette component, and its AutoSize where the class says so.
  void LoadFromFile(const std::string& FileName);

 protected:
  // Whether loading a control file keeps the AutoSize the control has.
  virtual bool KeepsAutoSizeOnLoad() const = 0;
};

// Switches rebuilding off for a scope and puts the old value back however the scope ends.
class NoRebuilds {
 public:
  explicit NoRebuilds(tFulgoControl& control) : control_(control), old_(control.GetAllowRebuild()) {
    control.SetAllowRebuild(false);
  }
  NoRebuilds(const NoRebuilds&) = delete;
  NoRebuilds& operator=(const NoRebuilds&) = delete;
  ~NoRebuilds() { control_.SetAllowRebuild(old_); }

 private:
  tFulgoControl& control_;
  bool old_;
};

void SaveControlToFile(host::TComponent& Control, const std::string& FileName);
// Reads the file (binary or text form) into Control, whose palette component is kept; so is its
// AutoSize when KeepAutoSize. The file is first read into a fresh control of the same class, so a
// file that fails (unreadable, truncated, corrupt, of an unrelated class) leaves Control untouched.
void LoadControlFromFile(host::TComponent& Control, const std::string& FileName, bool KeepAutoSize);
// The same from a stream (binary or text form), read from its current position.
void LoadControlFromStream(host::TComponent& Control, host::TStream& Stream, bool KeepAutoSize);
// Copies Source into Dest through the component stream; their classes must be related, else
// EConvertError "Can not assign <Dest class> to <Source class>".
void AssignControl(const host::TComponent& Source, host::TPersistent* Dest);

}  // namespace vantora
VANTORA_API_END
