// Unit Fulgopal: tFulgoPalette, a non-visual component that controls share so that they draw with
// one palette built from all their pictures; it can store that palette in the form. Window-wide
// palettes (oFulgoPalette, found with FindGlobalPalette) are joined by the controls created in code,
// and bAbortPaletteChange silences palette realisation during batch work.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/classes/Stream.h"
#include "host/classes/Types.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoInt;
class tFulgoOnePalette;

class tFulgoPalette : public host::TComponent {
  VANTORA_PERSISTENT(tFulgoPalette)

  explicit tFulgoPalette(host::TComponent* AOwner);
  // Detaches every member, last first.
  ~tFulgoPalette() override;

  std::unique_ptr<tFulgoOnePalette> Builder;
  bool LoadingSeen = false;
  bool RebuiltAfterLoad = false;
  std::int32_t ChildrenLoaded = 0;
  bool Active = true;
  host::TNotifyEvent OnRebuild;
  bool SavePalette = false;
  host::HPALETTE PaletteHandle = nullptr;
  bool OwnsHandle = false;
  std::vector<tFulgoInt*> RegisteredInterfaces;
  // How often the palette builder ran for this component.
  std::int32_t BuildCount = 0;
  // The palette waits for members' faces that loading left pending (BuildMemberFaces).
  bool WaitsForFaces = false;

  void Add(tFulgoInt* Interface);
  virtual void Remove(tFulgoInt* Interface);
  void ChildLoaded(tFulgoInt* Interface, std::int32_t Count);
  void Loaded() override;
  bool GetActive() const { return Active; }
  void SetActive(bool Value);
  bool GetSavePalette() const { return SavePalette; }
  void SetSavePalette(bool Value) { SavePalette = Value; }
  std::int32_t GetComponentsCount() const { return static_cast<std::int32_t>(RegisteredInterfaces.size()); }
  void InvalidateControls();
  void RebuildPalette();
  // Builds the faces of every member that loading left pending, then the palette if it waited.
  void BuildMemberFaces();
  void RealizeOnePalette();
  void CheckRebuildAfterLoad();

  void DefineProperties(host::TFiler& Filer) override;
  void WritePalette(host::TStream& Stream) const;
  // Raises EReadError naming the property when the value is not a whole palette.
  void ReadPalette(host::TStream& Stream);

 private:
  void FreeHandle();
};

// A window-wide palette: it leaves the list of window-wide palettes and destroys itself when its
// last member leaves.
class oFulgoPalette : public tFulgoPalette {
  VANTORA_PERSISTENT(oFulgoPalette)

  explicit oFulgoPalette(host::TComponent* AOwner) : tFulgoPalette(AOwner) {}
  // While the base destructor detaches the members, this override no longer runs, so a palette
  // being destroyed cannot destroy itself a second time.
  void Remove(tFulgoInt* Interface) override;
};

struct tGlobalPalette {
  bool Global = false;
  host::HWND Window = nullptr;
  std::unique_ptr<oFulgoPalette> Palette;
  std::int32_t Group = 0;
};

// The window-wide palettes, keyed by (top-level window, group, global).
std::vector<std::unique_ptr<tGlobalPalette>>& GlobalPalettes();
extern bool bAbortPaletteChange;

// The palette of Window's top-level window for this group and flag, made when first asked for.
tFulgoPalette* FindGlobalPalette(host::HWND Window, std::int32_t Group, bool Global);
// Destroys every window-wide palette (their members are detached); runs at exit as well.
void ExitPalettes();

}  // namespace vantora
VANTORA_API_END
