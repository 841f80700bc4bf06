// Unit Fulcust: TFulgoGraphicControl, the base of every windowless control of the library. It owns
// one rendering interface and hands it painting, rebuilding, sizing, palette handling and loading;
// it fixes how a control is created, reset, loaded, copied and saved to a control file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "controls/Fulfile.h"
#include "controls/Fulint.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoPalette;

class TFulgoGraphicControl : public host::TGraphicControl, public tFulgoControl {
  VANTORA_PERSISTENT(TFulgoGraphicControl)

  // Subclasses create their arts (AddFulgoArt) in their own constructors: a base constructor cannot
  // reach an override.
  explicit TFulgoGraphicControl(host::TComponent* AOwner);
  ~TFulgoGraphicControl() override;

  // The o variants set it: their palette component is found at run time, never stored.
  bool PaletteNotStored = false;
  std::int32_t PaletteGroup = 0;
  bool PaletteGlobal = false;

  tFulgoInt& FulgoInt() const override { return *fulgoInt_; }

  void AssignTo(host::TPersistent* Dest) const override;
  void Loaded() override;
  void ReadState(host::TReader& Reader) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  host::HPALETTE GetPalette() override { return fulgoInt_->GetPalette(); }
  bool PaletteChanged(bool Foreground) override;

  virtual void AddFulgoArt() = 0;
  virtual void ComponentDefaults() {}
  void Init() override;
  void SetDefaults();
  void CallComponentDefaults();
  void Rebuild() override { fulgoInt_->Rebuild(); }
  void LoadBackground() { fulgoInt_->LoadBackground(); }
  void SetPaletteGroup(std::int32_t Value);
  void SetPaletteGlobal(bool Value);
  bool SavePalette() const { return !PaletteNotStored; }
  // AutoSize is stored when it differs from what Init gives the class.
  virtual bool InitialAutoSize() const { return true; }
  bool IsAutoSizeStored() const { return GetAutoSize() != InitialAutoSize(); }

 protected:
  void Paint() override { fulgoInt_->Paint(); }
  bool KeepsAutoSizeOnLoad() const override { return true; }

 private:
  void JoinWindowPalette();
  std::unique_ptr<tFulgoInt> fulgoInt_;
};

}  // namespace vantora
VANTORA_API_END
