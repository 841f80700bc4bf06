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
  std::int32_t AboutValue = 1;
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
  void SaveToFile(const std::string& FileName) { SaveControlToFile(*this, FileName); }
  // Keeps the control's own palette component and AutoSize, whatever the file holds.
  void LoadFromFile(const std::string& FileName) { LoadControlFromFile(*this, FileName, true); }

  // The "Wizard" property carries the designer's wizard row: it reads as the control itself and
  // writing it only rebuilds.
  host::TPersistent* GetSelf() const {
    return const_cast<host::TPersistent*>(static_cast<const host::TPersistent*>(this));
  }
  void SetWizLabel(host::TPersistent*) { Rebuild(); }
  std::int32_t GetAbout() const { return AboutValue; }
  void SetAbout(std::int32_t Value) { AboutValue = Value; }
  tFulgoPalette* GetFulgoPalette() const { return fulgoInt_->FulgoPalette; }
  void SetFulgoPalette(tFulgoPalette* Value) { fulgoInt_->SetFulgoPalette(Value); }
  bool GetUpdatePalette() const { return fulgoInt_->UpdatePalette; }
  void SetUpdatePalette(bool Value) { fulgoInt_->UpdatePalette = Value; }
  bool GetAutoSize() const { return fulgoInt_->AutoSize; }
  void SetAutoSize(bool Value) { fulgoInt_->SetAutoSize(Value); }
  eDrawMode GetDrawMode() const { return fulgoInt_->DrawMode; }
  void SetDrawMode(eDrawMode Value) { fulgoInt_->SetDrawMode(Value); }
  void SetPaletteGroup(std::int32_t Value);
  void SetPaletteGlobal(bool Value);
  bool SavePalette() const { return !PaletteNotStored; }
  // AutoSize is stored when it differs from what Init gives the class.
  virtual bool InitialAutoSize() const { return true; }
  bool IsAutoSizeStored() const { return GetAutoSize() != InitialAutoSize(); }

 protected:
  void Paint() override { fulgoInt_->Paint(); }

 private:
  void JoinWindowPalette();
  std::unique_ptr<tFulgoInt> fulgoInt_;
};

}  // namespace vantora
VANTORA_API_END
