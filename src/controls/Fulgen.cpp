#include "controls/Fulgen.h"

namespace vantora {

const host::TClass& TFulgoGen::StaticClass() {
  using G = TFulgoGen;
  static const host::TClass& cls = host::ClassBuilder<G>("TFulgoGen", TFulgoGraphicControl::StaticClass())
                                       .Field("FulgoText", &G::FulgoText, nullptr)
                                       .Stored(false)
                                       .Field("FulgoBackground", &G::FulgoBackground, nullptr)
                                       .Stored(false)
                                       .Property("Art", &G::GetFulgoArt, &G::SetFulgoArt)
                                       .Stored(false)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFulgoGen);

TFulgoGen::TFulgoGen(host::TComponent* AOwner) : TFulgoGraphicControl(AOwner) {
  SetDefaults();
}

TFulgoGen::~TFulgoGen() {
  // The art outlives this control: its rebuild notices must not reach a freed interface.
  if (Art) Art->OnRebuild = nullptr;
  FulgoInt().Arts.Clear();
  FulgoInt().CurrentArt = nullptr;
}

void TFulgoGen::Init() {
  TFulgoGraphicControl::Init();
  SetDefaults();
}

void TFulgoGen::SetDefaults() {
  FulgoInt().SetAutoSize(true);
  RequiredWidth = -1;
  RequiredHeight = -1;
}

void TFulgoGen::SetFulgoArt(tFulgoArt* Value) {
  tFulgoInt& face = FulgoInt();
  if (Art && Art != Value) Art->OnRebuild = nullptr;
  face.Arts.Clear();
  face.CurrentArt = Value;
  Art = Value;
  if (!Value) return;
  face.Add(Value);
  Value->NeededWidth = RequiredWidth;
  Value->NeededHeight = RequiredHeight;
  for (int i = 0; i < Value->Objects.GetCount(); ++i) {
    tFulgoObject* object = Value->Objects.GetItemTyped(i);
    if (auto* text = dynamic_cast<tFulgoText*>(object)) FulgoText = text;
    if (auto* background = dynamic_cast<tFulgoBackground*>(object)) FulgoBackground = background;
  }
}

}  // namespace vantora
