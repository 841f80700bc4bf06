#include "model/Fulgoobj.h"

#include "effects/Shapes.h"

namespace vantora {

const host::TClass& tFulgoObject::StaticClass() {
  using O = tFulgoObject;
  static const host::TClass& cls = host::ClassBuilder<O>("tFulgoObject", tFulgoPersistent::StaticClass())
                                       .Property("FulgoColor", &O::GetFulgoColor, &O::SetFulgoColor)
                                       .ReadOnly("Align", &O::GetAlign, nullptr)
                                       .ReadOnly("Width", &O::GetWidth, 0)
                                       .ReadOnly("Height", &O::GetHeight, 0)
                                       .Property("Shape", &O::GetShape, &O::SetShape, 0)
                                       .ReadOnly("Layer3D", &O::GetLayer3D, nullptr)
                                       .ReadOnly("LayerShadow", &O::GetLayerShadow, nullptr)
                                       .ReadOnly("LayerFrame", &O::GetLayerFrame, nullptr)
                                       .Property("FadeTo", &O::GetFadeTo, &O::SetFadeTo, kButtonFace)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoObject);

tFulgoObject::tFulgoObject(tFulgoPersistent* AOwner)
    : tFulgoPersistent(AOwner),
      Dib(std::make_unique<tFulgoDib>()),
      Align(std::make_unique<tFulgoAlign>(this)),
      FulgoColor(std::make_unique<tFulgoColor>(this)) {
  AddLayers();
  SetDefaults();
}

tFulgoObject::~tFulgoObject() {
  Layers.FreeAll();
}

void tFulgoObject::AddLayers() {
  auto layer3D = std::make_unique<tFulgo3D>(this);
  auto shadow = std::make_unique<tFulgoShadow>(this);
  auto frame = std::make_unique<tFulgoFrame>(this);
  Layer3D = layer3D.get();
  LayerShadow = shadow.get();
  LayerFrame = frame.get();
  Layers.Add(layer3D.release());
  Layers.Add(frame.release());
  Layers.Add(shadow.release());
}

void tFulgoObject::SetDefaults() {
  for (int i = 0; i < Layers.GetCount(); ++i) Layers.GetItemTyped(i)->Init();
  Align->Init();
  Width = 0;
  Height = 0;
  Shape = 0;
  // Stored only: the fill and the layers keep their own Brush2 until SetFadeTo.
  FadeTo = kButtonFace;
}

void tFulgoObject::Init() {
  tFulgoPersistent::Init();
  SetDefaults();
  FulgoColor->Init();
}

void tFulgoObject::SetFulgoColor(tFulgoColor* Value) {
  if (!Value || Value == FulgoColor.get()) return;
  FulgoColor->Assign(Value);
}

void tFulgoObject::SetShape(std::int16_t Value) {
  if (Value == Shape) return;
  Shape = Value;
  Rebuild();
}

void tFulgoObject::SetFadeTo(TColor Value) {
  FadeTo = Value;
  FulgoColor->SetBrush2(Value);
  for (int i = 0; i < Layers.GetCount(); ++i) Layers.GetItemTyped(i)->SetFadeTo(Value);
}

void tFulgoObject::Ready() {
  for (int i = 0; i < Layers.GetActiveCount(); ++i) Layers.GetActiveLayer(i)->Ready();
  FulgoColor->Ready();
  AddX = AddY = AddWidth = AddHeight = 0;
}

void tFulgoObject::RegisterOnePalette(tFulgoOnePalette& Palette) {
  for (int i = 0; i < Layers.GetActiveCount(); ++i) Layers.GetActiveLayer(i)->RegisterOnePalette(Palette);
  FulgoColor->RegisterOnePalette(Palette);
}

void tFulgoObject::ApplyOnePalette(tFulgoOnePalette& Palette) {
  for (int i = 0; i < Layers.GetActiveCount(); ++i) Layers.GetActiveLayer(i)->ApplyOnePalette(Palette);
  FulgoColor->ApplyOnePalette(Palette);
}

void tFulgoObject::Render() {
  MakeFirstBitmap();
  FulgoColor->ApplyColor(*Dib);
  for (int i = 0; i < Layers.GetActiveCount(); ++i) Layers.GetActiveLayer(i)->Render(*Dib);
  CalcAddXY();
  // Cut after the layers, so the shape takes them with it.
  if (Shape != 0) GetMatrixShape(*Dib, Shape);
  Width = static_cast<std::int16_t>(Dib->Empty() ? 0 : Dib->GetWidth());
  Height = static_cast<std::int16_t>(Dib->Empty() ? 0 : Dib->GetHeight());
}

void tFulgoObject::Finished() {
  Dib->FreeDib();
}

void tFulgoObject::MakeFirstBitmap() {
  Dib->FreeDib();
}

void tFulgoObject::CalcAddXY() {
  AddX = AddY = AddWidth = AddHeight = 0;
  for (int i = 0; i < Layers.GetActiveCount(); ++i) {
    tFulgoLayer* layer = Layers.GetActiveLayer(i);
    layer->CalcAddXY();
    AddX = static_cast<std::int16_t>(AddX + layer->AddX);
    AddY = static_cast<std::int16_t>(AddY + layer->AddY);
    AddWidth = static_cast<std::int16_t>(AddWidth + layer->AddWidth);
    AddHeight = static_cast<std::int16_t>(AddHeight + layer->AddHeight);
  }
}

}  // namespace vantora
