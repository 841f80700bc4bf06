#include "controls/Fullbl.h"

namespace vantora {

const host::TClass& TFulgoLabel::StaticClass() {
  // The art's objects are filled in place by the stream; the art is never replaced.
  static const host::TClass& cls =
      host::ClassBuilder<TFulgoLabel>("TFulgoLabel", TFulgoGraphicControl::StaticClass())
          .ReadOnly("Art", &TFulgoLabel::GetArt, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFulgoLabel);

const host::TClass& oFulgoLabel::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<oFulgoLabel>("oFulgoLabel", TFulgoLabel::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(oFulgoLabel);

TFulgoLabel::TFulgoLabel(host::TComponent* AOwner) : TFulgoGraphicControl(AOwner) {
  AddFulgoArt();
  SetDefaults();
  CallComponentDefaults();
}

TFulgoLabel::~TFulgoLabel() {
  FulgoInt().Arts.Clear();
  FulgoInt().CurrentArt = nullptr;
}

void TFulgoLabel::AddFulgoArt() {
  Art = std::make_unique<tFulgoLabelArt>(nullptr);
  FulgoInt().Add(Art.get());
  FulgoInt().CurrentArt = Art.get();
}

void TFulgoLabel::Init() {
  TFulgoGraphicControl::Init();
  SetDefaults();
  // The art's caption is not part of its look: Init emptied it, and a stream whose caption equals
  // the control's sends no set-text message to bring it back.
  if (Art->FulgoText->Caption != Text()) Art->FulgoText->SetCaption(Text());
}

void TFulgoLabel::ComponentDefaults() {
  TFulgoGraphicControl::ComponentDefaults();
  Art->FulgoBackground->FulgoColor->SetBrush(0xC0C0C0);
}

void TFulgoLabel::WndProc(host::TMessage& Message) {
  TFulgoGraphicControl::WndProc(Message);
  if (Message.Msg == host::WM_SETTEXT) CaptionChanged();
}

void TFulgoLabel::CaptionChanged() {
  Art->FulgoText->SetCaption(Text());
}

oFulgoLabel::oFulgoLabel(host::TComponent* AOwner) : TFulgoLabel(AOwner) {
  FulgoInt().UseGlobalPalette = true;
  PaletteNotStored = true;
}

}  // namespace vantora
