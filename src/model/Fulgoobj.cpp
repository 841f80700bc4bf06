#include "model/Fulgoobj.h"

#include "effects/Shapes.h"
#include "model/BandedLayers.h"

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
                                       .AsColor()
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

tFulgoObject::~tFulgoObject() = default;

void tFulgoObject::AddLayers() {
  Layer3D = Layers.Add(std::make_unique<tFulgo3D>(this));
  LayerFrame = Layers.Add(std::make_unique<tFulgoFrame>(this));
  LayerShadow = Layers.Add(std::make_unique<tFulgoShadow>(this));
}

void tFulgoObject::SetDefaults() {
  for (tFulgoLayer* layer : Layers.All()) layer->Init();
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
  for (tFulgoLayer* layer : Layers.All()) layer->SetFadeTo(Value);
}

void tFulgoObject::Ready() {
  for (tFulgoLayer* layer : Layers.Actives()) layer->Ready();
  FulgoColor->Ready();
  AddX = AddY = AddWidth = AddHeight = 0;
}

void tFulgoObject::RegisterOnePalette(tFulgoOnePalette& Palette) {
  for (tFulgoLayer* layer : Layers.Actives()) layer->RegisterOnePalette(Palette);
  FulgoColor->RegisterOnePalette(Palette);
}

void tFulgoObject::ApplyOnePalette(tFulgoOnePalette& Palette) {
  for (tFulgoLayer* layer : Layers.Actives()) layer->ApplyOnePalette(Palette);
  FulgoColor->ApplyOnePalette(Palette);
}

void tFulgoObject::Render() {
  std::int32_t w = 0, h = 0;
  // A shape cuts the layers too, so only an uncut body may draw them as bands.
  DrewBands = DrawBands && Shape == 0 && RectangularBody(w, h) && RenderAsBands(*this, w, h);
  if (!DrewBands) {
    MakeFirstBitmap();
    FulgoColor->ApplyColor(*Dib);
    for (tFulgoLayer* layer : Layers.Actives()) layer->Render(*Dib);
  }
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

bool tFulgoObject::RectangularBody(std::int32_t&, std::int32_t&) const {
  return false;
}

void tFulgoObject::CalcAddXY() {
  AddX = AddY = AddWidth = AddHeight = 0;
  for (tFulgoLayer* layer : Layers.Actives()) {
    layer->CalcAddXY();
    AddX = static_cast<std::int16_t>(AddX + layer->AddX);
    AddY = static_cast<std::int16_t>(AddY + layer->AddY);
    AddWidth = static_cast<std::int16_t>(AddWidth + layer->AddWidth);
    AddHeight = static_cast<std::int16_t>(AddHeight + layer->AddHeight);
  }
}

}  // namespace vantora
