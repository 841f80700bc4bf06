#include "controls/Fulcust.h"

#include "controls/Fulgopal.h"

namespace vantora {

const host::TClass& TFulgoGraphicControl::StaticClass() {
  using C = TFulgoGraphicControl;
  static const host::TClass& cls =
      host::ClassBuilder<C>("TFulgoGraphicControl", host::TGraphicControl::StaticClass())
          .Property("Wizard", &C::GetSelf, &C::SetWizLabel)
          .Property("About", &C::GetAbout, &C::SetAbout, 1)
          .Property("FulgoPalette", &C::GetFulgoPalette, &C::SetFulgoPalette)
          .Stored(&C::SavePalette)
          .Property("UpdatePalette", &C::GetUpdatePalette, &C::SetUpdatePalette, true)
          .Property("AutoSize", &C::GetAutoSize, &C::SetAutoSize, host::NoDefault)
          .Stored(&C::IsAutoSizeStored)
          .Property("DrawMode", &C::GetDrawMode, &C::SetDrawMode, edOpaque)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFulgoGraphicControl);

TFulgoGraphicControl::TFulgoGraphicControl(host::TComponent* AOwner)
    : host::TGraphicControl(AOwner), fulgoInt_(std::make_unique<tFulgoInt>()) {
  SetControlState(ControlState() | host::csPalette);
  fulgoInt_->Control = this;
  fulgoInt_->Canvas = &Canvas();
  SetBounds(0, 0, 20, 20);
  SetDefaults();
}

TFulgoGraphicControl::~TFulgoGraphicControl() = default;

void TFulgoGraphicControl::Init() {
  SetDefaults();
}

void TFulgoGraphicControl::SetDefaults() {
  fulgoInt_->Init();
  PaletteGroup = 0;
  PaletteGlobal = false;
}

void TFulgoGraphicControl::CallComponentDefaults() {
  NoRebuilds quiet(*this);
  ComponentDefaults();
}

void TFulgoGraphicControl::Loaded() {
  host::TGraphicControl::Loaded();
  fulgoInt_->Loaded();
}

void TFulgoGraphicControl::ReadState(host::TReader& Reader) {
  Init();
  ReadingState reading(*this);
  host::TGraphicControl::ReadState(Reader);
}

void TFulgoGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  fulgoInt_->SetBounds(ALeft, ATop, AWidth, AHeight);
  host::TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TFulgoGraphicControl::AssignTo(host::TPersistent* Dest) const {
  AssignControl(*this, Dest);
}

bool TFulgoGraphicControl::PaletteChanged(bool Foreground) {
  return fulgoInt_->PaletteChanged(Foreground);
}

void TFulgoGraphicControl::SetPaletteGroup(std::int32_t Value) {
  if (Value == PaletteGroup) return;
  PaletteGroup = Value;
  JoinWindowPalette();
}

void TFulgoGraphicControl::SetPaletteGlobal(bool Value) {
  if (Value == PaletteGlobal) return;
  PaletteGlobal = Value;
  JoinWindowPalette();
}

void TFulgoGraphicControl::JoinWindowPalette() {
  // The key holds the parent's window; without a parent the new key takes effect when it joins.
  if (Parent()) SetFulgoPalette(FindGlobalPalette(Parent()->GetWindowHandle(), PaletteGroup, PaletteGlobal));
}

}  // namespace vantora
