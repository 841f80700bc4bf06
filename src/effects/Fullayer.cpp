#include "effects/Fullayer.h"

#include <algorithm>

namespace vantora {

const host::TClass& tFulgoLayer::StaticClass() {
  using L = tFulgoLayer;
  // Active lives in the persistent base; named through this class for the builder.
  bool (L::*getActive)() const = &L::GetActive;
  void (L::*setActive)(bool) = &L::SetActive;
  static const host::TClass& cls = host::ClassBuilder<L>("tFulgoLayer", tFulgoPersistent::StaticClass())
                                       .Property("Active", getActive, setActive, false)
                                       .ReadOnly("Width", &L::GetWidth, 0)
                                       .ReadOnly("Height", &L::GetHeight, 0)
                                       .Property("FulgoColor1", &L::GetFulgoColor1, &L::SetFulgoColor1)
                                       .Property("FulgoColor2", &L::GetFulgoColor2, &L::SetFulgoColor2)
                                       .Property("FadeTo", &L::GetFadeTo, &L::SetFadeTo, kButtonFace)
                                       .AsColor()
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoLayer);

tFulgoLayer::tFulgoLayer(tFulgoPersistent* AOwner)
    : tFulgoPersistent(AOwner),
      FulgoColor1(std::make_unique<tFulgoColor>(this)),
      FulgoColor2(std::make_unique<tFulgoColor>(this)) {
  SetDefaults();
}

tFulgoLayer::~tFulgoLayer() = default;

void tFulgoLayer::SetDefaults() {
  Width = 0;
  Height = 0;
  LineWidth = 1;
  Direction = fgUpLeft;
  Embossed = false;
  UseColor2 = false;
  FadeTo = kButtonFace;
}

void tFulgoLayer::Init() {
  FulgoColor1->Init();
  FulgoColor2->Init();
  tFulgoPersistent::Init();
  SetDefaults();
}

void tFulgoLayer::SetLineWidth(std::int16_t Value) {
  if (Value == LineWidth) return;
  LineWidth = Value;
  Rebuild();
}

void tFulgoLayer::SetDirection(efgDirection Value) {
  if (Value == Direction) return;
  Direction = Value;
  Rebuild();
}

void tFulgoLayer::SetWidth(std::int16_t Value) {
  if (Value == Width) return;
  Width = Value;
  Rebuild();
}

void tFulgoLayer::SetHeight(std::int16_t Value) {
  if (Value == Height) return;
  Height = Value;
  Rebuild();
}

void tFulgoLayer::SetEmbossed(bool Value) {
  if (Value == Embossed) return;
  Embossed = Value;
  Rebuild();
}

void tFulgoLayer::SetFadeTo(TColor Value) {
  FadeTo = Value;
  FulgoColor1->SetBrush2(Value);
  if (UseColor2) FulgoColor2->SetBrush2(Value);
}

void tFulgoLayer::SetFulgoColor1(tFulgoColor* Value) {
  if (Value && Value != FulgoColor1.get()) FulgoColor1->Assign(Value);
}

void tFulgoLayer::SetFulgoColor2(tFulgoColor* Value) {
  if (Value && Value != FulgoColor2.get()) FulgoColor2->Assign(Value);
}

std::int16_t tFulgoLayer::DrawnLineWidth() const {
  return std::clamp<std::int16_t>(LineWidth, 0, kMaxLineWidth);
}

void tFulgoLayer::Ready() {
  FulgoColor1->Ready();
  if (UseColor2) FulgoColor2->Ready();
}

void tFulgoLayer::RegisterOnePalette(tFulgoOnePalette& Palette) {
  FulgoColor1->RegisterOnePalette(Palette);
  if (UseColor2) FulgoColor2->RegisterOnePalette(Palette);
}

void tFulgoLayer::ApplyOnePalette(tFulgoOnePalette& Palette) {
  FulgoColor1->ApplyOnePalette(Palette);
  if (UseColor2) FulgoColor2->ApplyOnePalette(Palette);
}

void tFulgoLayer::CalcAddXY() {
  AddX = AddY = 0;
  FulgoColor1->CalcAddXY();
  AddWidth = static_cast<std::int16_t>(FulgoColor1->AddWidth);
  AddHeight = static_cast<std::int16_t>(FulgoColor1->AddHeight);
}

std::unique_ptr<tFulgoDib> tFulgoLayer::MakeEffect1(const tFulgoDib&, std::int16_t&, std::int16_t&) {
  return std::make_unique<tFulgoDib>();
}

std::unique_ptr<tFulgoDib> tFulgoLayer::MakeEffect2(const tFulgoDib&, std::int16_t&, std::int16_t&) {
  return std::make_unique<tFulgoDib>();
}

void tFulgoLayer::Render(tFulgoDib& Dib) {
  LayMasks(
      Dib, [](int, const tFulgoColor& fill) { return fill.SolidIndex(); },
      [](int, tFulgoColor& fill, tFulgoDib& mask) { fill.ApplyColor(mask); });
}

tFulgoLayer::tLaidMasks tFulgoLayer::LayMasks(tFulgoDib& Dib, const tMaskInk& InkOf,
                                              const tMaskPaint& Paint) {
  tLaidMasks laid;
  std::int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  // A one-colour band under a brush is drawn in the brush's index at once rather than painted over.
  const auto inkOf = [&](int which, const tFulgoColor& fill) {
    return DrawsInInk() && Dib.TransparentIndex == kTransparentIndex ? InkOf(which, fill) : std::nullopt;
  };
  const std::optional<std::uint8_t> ink1 = inkOf(0, *FulgoColor1);
  Ink = ink1.value_or(255);
  const std::unique_ptr<tFulgoDib> m1 = MakeEffect1(Dib, x1, y1);
  if (!ink1) Paint(0, *FulgoColor1, *m1);
  FulgoColor1->CalcAddXY();
  // The second band is only drawn by a fill that went through the render phases.
  const bool second = Embossed && UseColor2;
  std::unique_ptr<tFulgoDib> m2;
  if (second) {
    const std::optional<std::uint8_t> ink2 = inkOf(1, *FulgoColor2);
    Ink = ink2.value_or(255);
    m2 = MakeEffect2(Dib, x2, y2);
    if (!ink2) Paint(1, *FulgoColor2, *m2);
    FulgoColor2->CalcAddXY();
  }

  // Where the painted first mask lies; a fuzz has grown it on every side. An empty mask (a shadow
  // too small to draw) adds nothing, not even room.
  const std::int32_t x = x1 + FulgoColor1->AddX, y = y1 + FulgoColor1->AddY;
  const auto lay = [&](tFulgoDib& mask, std::int32_t at, std::int32_t atY, tLaidMask& place) {
    place = {true, at, atY, mask.GetWidth(), mask.GetHeight()};
    Dib.LayUnder(mask, static_cast<std::int16_t>(at), static_cast<std::int16_t>(atY));
    // The bitmap grew to the left and upwards by what the mask stood out there.
    const std::int32_t growX = -std::min(at, 0), growY = -std::min(atY, 0);
    for (tLaidMask& mask2 : laid.Masks) {
      mask2.X += growX;
      mask2.Y += growY;
    }
    laid.GrowX += growX;
    laid.GrowY += growY;
  };
  std::int32_t originX = 0, originY = 0;
  if (!m1->Empty()) {
    lay(*m1, x, y, laid.Masks[0]);
    originX = std::min(x, 0);
    originY = std::min(y, 0);
  }
  // The second mask is placed relative to the bitmap as grown by the first.
  if (second && !m2->Empty())
    lay(*m2, x2 + FulgoColor2->AddX - originX, y2 + FulgoColor2->AddY - originY, laid.Masks[1]);
  return laid;
}

}  // namespace vantora
