// Unit Fulpanel: tFulgoCustomPanel and tFulgoPanel, the look of the library's controls on a
// windowed container that holds child controls and passes palette notifications on to them. The
// face is a label art; the host panel's own bevels and caption are not drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "controls/Fulfile.h"
#include "controls/Fulint.h"
#include "host/forms/Panel.h"
#include "model/Fullblart.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoPalette;

class tFulgoCustomPanel : public host::TCustomPanel, public tFulgoControl {
  VANTORA_PERSISTENT(tFulgoCustomPanel)

  // Subclasses create their arts in their own constructors.
  explicit tFulgoCustomPanel(host::TComponent* AOwner);
  ~tFulgoCustomPanel() override;

  tFulgoInt& FulgoInt() const override { return *fulgoInt_; }

  void AssignTo(host::TPersistent* Dest) const override;
  void Loaded() override;
  void ReadState(host::TReader& Reader) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  host::HPALETTE GetPalette() override { return fulgoInt_->GetPalette(); }
  // Always passed on to the children, unless palette changes are suspended.
  bool PaletteChanged(bool Foreground) override;

  virtual void AddFulgoArt() = 0;
  virtual void ComponentDefaults() {}
  void Init() override;
  void SetDefaults();
  void CallComponentDefaults();
  void Rebuild() override { fulgoInt_->Rebuild(); }

 protected:
  void Paint() override { fulgoInt_->Paint(); }
  // AutoSize comes from the file.
  bool KeepsAutoSizeOnLoad() const override { return false; }

 private:
  std::unique_ptr<tFulgoInt> fulgoInt_;
};

class tFulgoPanel : public tFulgoCustomPanel {
  VANTORA_PERSISTENT(tFulgoPanel)

  explicit tFulgoPanel(host::TComponent* AOwner);
  ~tFulgoPanel() override;

  std::unique_ptr<tFulgoLabelArt> Art;

  void WndProc(host::TMessage& Message) override;
  void AddFulgoArt() override;
  void ComponentDefaults() override;
  void Init() override;
  void SetDefaults() {}
  void CaptionChanged();
  tFulgoLabelArt* GetArt() const { return Art.get(); }
};

}  // namespace vantora
VANTORA_API_END
