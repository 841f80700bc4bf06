#include "controls/Fulpanel.h"

#include "controls/Fulgopal.h"

namespace vantora {

const host::TClass& tFulgoCustomPanel::StaticClass() {
  using P = tFulgoCustomPanel;
  static const host::TClass& cls =
      host::ClassBuilder<P>("tFulgoCustomPanel", host::TCustomPanel::StaticClass())
          .Property("Wizard", &P::GetSelf, &P::SetWizLabel)
          .Property("About", &P::GetAbout, &P::SetAbout, 1)
          .Property("FulgoPalette", &P::GetFulgoPalette, &P::SetFulgoPalette)
          .Property("UpdatePalette", &P::GetUpdatePalette, &P::SetUpdatePalette, true)
          .Property("AutoSize", &P::GetAutoSize, &P::SetAutoSize, false)
          .Property("DrawMode", &P::GetDrawMode, &P::SetDrawMode, edOpaque)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoCustomPanel);

const host::TClass& tFulgoPanel::StaticClass() {
  // The art's objects are filled in place by the stream; the art is never replaced.
  static const host::TClass& cls =
      host::ClassBuilder<tFulgoPanel>("tFulgoPanel", tFulgoCustomPanel::StaticClass())
          .ReadOnly("Art", &tFulgoPanel::GetArt, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoPanel);

tFulgoCustomPanel::tFulgoCustomPanel(host::TComponent* AOwner)
    : host::TCustomPanel(AOwner), fulgoInt_(std::make_unique<tFulgoInt>()) {
  fulgoInt_->Control = this;
  fulgoInt_->Canvas = &Canvas();
  SetControlState(ControlState() | host::csPalette);
  SetBounds(0, 0, 185, 41);
  SetDefaults();
}

tFulgoCustomPanel::~tFulgoCustomPanel() = default;

void tFulgoCustomPanel::Init() {
  SetDefaults();
}

void tFulgoCustomPanel::SetDefaults() {
  fulgoInt_->Init();
  fulgoInt_->SetAutoSize(false);
}

void tFulgoCustomPanel::CallComponentDefaults() {
  NoRebuilds quiet(*this);
  ComponentDefaults();
}

void tFulgoCustomPanel::Loaded() {
  host::TCustomPanel::Loaded();
  fulgoInt_->Loaded();
}

void tFulgoCustomPanel::ReadState(host::TReader& Reader) {
  Init();
  ReadingState reading(*this);
  host::TCustomPanel::ReadState(Reader);
}

void tFulgoCustomPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  fulgoInt_->SetBounds(ALeft, ATop, AWidth, AHeight);
  host::TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void tFulgoCustomPanel::AssignTo(host::TPersistent* Dest) const {
  AssignControl(*this, Dest);
}

bool tFulgoCustomPanel::PaletteChanged(bool Foreground) {
  if (bAbortPaletteChange) return false;
  const bool realised = fulgoInt_->PaletteChanged(Foreground);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->PaletteChanged(Foreground);
  return realised;
}

tFulgoPanel::tFulgoPanel(host::TComponent* AOwner) : tFulgoCustomPanel(AOwner) {
  AddFulgoArt();
  SetDefaults();
  CallComponentDefaults();
}

tFulgoPanel::~tFulgoPanel() {
  FulgoInt().Arts.Clear();
  FulgoInt().CurrentArt = nullptr;
}

void tFulgoPanel::AddFulgoArt() {
  Art = std::make_unique<tFulgoLabelArt>(nullptr);
  FulgoInt().Add(Art.get());
  FulgoInt().CurrentArt = Art.get();
}

void tFulgoPanel::Init() {
  tFulgoCustomPanel::Init();
  SetDefaults();
  // As for the label: the art's caption follows the panel's text, which a stream may not resend.
  if (Art->FulgoText->Caption != Text()) Art->FulgoText->SetCaption(Text());
}

void tFulgoPanel::ComponentDefaults() {
  tFulgoCustomPanel::ComponentDefaults();
  SetFramedLook(*Art->FulgoBackground, 0xC0C0C0);
}

void tFulgoPanel::WndProc(host::TMessage& Message) {
  tFulgoCustomPanel::WndProc(Message);
  if (Message.Msg == host::WM_SETTEXT) CaptionChanged();
}

void tFulgoPanel::CaptionChanged() {
  Art->FulgoText->SetCaption(Text());
}

}  // namespace vantora
