#include "effects/Fullyrs.h"

#include <algorithm>
#include <cstdlib>

#include "effects/Fulmask.h"

namespace vantora {

namespace {

// Accessors declared by tFulgoLayer, named through the class being described.
template <class T, class V>
auto Get(V (tFulgoLayer::*get)() const) -> V (T::*)() const {
  return get;
}
template <class T, class V>
auto Set(void (tFulgoLayer::*set)(V)) -> void (T::*)(V) {
  return set;
}

// A direction that did not come through the enumeration's names still names one of the eight.
efgDirection DrawnDirection(efgDirection direction) {
  return static_cast<efgDirection>(direction % 8);
}

efgDirection Opposite(efgDirection direction) {
  return static_cast<efgDirection>((direction + 4) % 8);
}

bool IsLeftward(efgDirection d) {
  return d == fgUpLeft || d == fgLeft || d == fgDownLeft;
}
bool IsUpward(efgDirection d) {
  return d == fgUpLeft || d == fgUp || d == fgUpRight;
}

std::int16_t DrawnOffset(std::int16_t offset) {
  return std::clamp<std::int16_t>(offset, -static_cast<std::int16_t>(kMaxBitmapSide),
                                  static_cast<std::int16_t>(kMaxBitmapSide));
}

}  // namespace

// --- tFulgoFrame ------------------------------------------------------------------------------

const host::TClass& tFulgoFrame::StaticClass() {
  using F = tFulgoFrame;
  static const host::TClass& cls =
      host::ClassBuilder<F>("tFulgoFrame", tFulgoLayer::StaticClass())
          .Property("LineWidth", Get<F>(&tFulgoLayer::GetLineWidth), Set<F>(&tFulgoLayer::SetLineWidth), 1)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoFrame);

void tFulgoFrame::CalcAddXY() {
  tFulgoLayer::CalcAddXY();
  const std::int16_t l = DrawnLineWidth();
  AddX = AddY = static_cast<std::int16_t>(-l);
  AddWidth = AddHeight = static_cast<std::int16_t>(2 * l);
}

std::unique_ptr<tFulgoDib> tFulgoFrame::MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                                    std::int16_t& OffY) {
  auto mask = std::make_unique<tFulgoDib>();
  CreateForeFrameMask(*mask, Dib, DrawnLineWidth(), OffX, OffY, Ink);
  return mask;
}

// --- tFulgo3D ---------------------------------------------------------------------------------

const host::TClass& tFulgo3D::StaticClass() {
  using D = tFulgo3D;
  static const host::TClass& cls =
      host::ClassBuilder<D>("tFulgo3D", tFulgoLayer::StaticClass())
          .Property("Embossed", Get<D>(&tFulgoLayer::GetEmbossed), Set<D>(&tFulgoLayer::SetEmbossed), false)
          .Property("LineWidth", Get<D>(&tFulgoLayer::GetLineWidth), Set<D>(&tFulgoLayer::SetLineWidth), 1)
          .Property("Direction", Get<D>(&tFulgoLayer::GetDirection), Set<D>(&tFulgoLayer::SetDirection),
                    fgUpLeft)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgo3D);

tFulgo3D::tFulgo3D(tFulgoPersistent* AOwner) : tFulgoLayer(AOwner) {
  SetDefaults();
}

void tFulgo3D::SetDefaults() {
  UseColor2 = true;
}

void tFulgo3D::Init() {
  tFulgoLayer::Init();
  SetDefaults();
}

void tFulgo3D::CalcAddXY() {
  tFulgoLayer::CalcAddXY();
  const std::int16_t l = DrawnLineWidth();
  const efgDirection d = DrawnDirection(Direction);
  // A band straight above or below adds no width, one straight beside adds no height.
  const bool vertical = d == fgUp || d == fgDown;
  const bool horizontal = d == fgLeft || d == fgRight;
  const std::int16_t band = static_cast<std::int16_t>(Embossed ? 2 * l : l);
  if (Embossed) {
    AddX = static_cast<std::int16_t>(vertical ? 0 : -l);
    AddY = static_cast<std::int16_t>(horizontal ? 0 : -l);
  } else {
    if (IsLeftward(d)) AddX = static_cast<std::int16_t>(-l);
    if (IsUpward(d)) AddY = static_cast<std::int16_t>(-l);
  }
  if (!vertical) AddWidth = band;
  if (!horizontal) AddHeight = band;
}

std::unique_ptr<tFulgoDib> tFulgo3D::MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                                 std::int16_t& OffY) {
  auto mask = std::make_unique<tFulgoDib>();
  Create3DMask(*mask, Dib, DrawnDirection(Direction), DrawnLineWidth(), Ink, OffX, OffY);
  return mask;
}

std::unique_ptr<tFulgoDib> tFulgo3D::MakeEffect2(const tFulgoDib& Dib, std::int16_t& OffX,
                                                 std::int16_t& OffY) {
  auto mask = std::make_unique<tFulgoDib>();
  Create3DMask(*mask, Dib, Opposite(DrawnDirection(Direction)), DrawnLineWidth(), Ink, OffX, OffY);
  return mask;
}

// --- tFulgoShadow -----------------------------------------------------------------------------

const host::TClass& tFulgoShadow::StaticClass() {
  using S = tFulgoShadow;
  static const host::TClass& cls = host::ClassBuilder<S>("tFulgoShadow", tFulgoLayer::StaticClass())
                                       .Property("Left", &S::GetLeft, &S::SetLeft, 1)
                                       .Property("Top", &S::GetTop, &S::SetTop, 1)
                                       .Property("SizeX", &S::GetSizeX, &S::SetSizeX, 100)
                                       .Property("SizeY", &S::GetSizeY, &S::SetSizeY, 100)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoShadow);

tFulgoShadow::tFulgoShadow(tFulgoPersistent* AOwner) : tFulgoLayer(AOwner) {
  SetDefaults();
}

void tFulgoShadow::SetDefaults() {
  Left = 1;
  Top = 1;
  SizeX = 100;
  SizeY = 100;
}

void tFulgoShadow::Init() {
  tFulgoLayer::Init();
  SetDefaults();
}

void tFulgoShadow::SetLeft(std::int16_t Value) {
  if (Value == Left) return;
  Left = Value;
  Rebuild();
}

void tFulgoShadow::SetTop(std::int16_t Value) {
  if (Value == Top) return;
  Top = Value;
  Rebuild();
}

void tFulgoShadow::SetSizeX(std::int16_t Value) {
  if (Value == SizeX) return;
  SizeX = Value;
  Rebuild();
}

void tFulgoShadow::SetSizeY(std::int16_t Value) {
  if (Value == SizeY) return;
  SizeY = Value;
  Rebuild();
}

std::int16_t tFulgoShadow::DrawnLeft() const {
  return DrawnOffset(Left);
}
std::int16_t tFulgoShadow::DrawnTop() const {
  return DrawnOffset(Top);
}

void tFulgoShadow::CalcAddXY() {
  tFulgoLayer::CalcAddXY();
  const std::int16_t left = DrawnLeft(), top = DrawnTop();
  if (left < 0) AddX = left;
  if (top < 0) AddY = top;
  AddWidth = static_cast<std::int16_t>(std::abs(left));
  AddHeight = static_cast<std::int16_t>(std::abs(top));
}

std::unique_ptr<tFulgoDib> tFulgoShadow::MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                                     std::int16_t& OffY) {
  auto mask = std::make_unique<tFulgoDib>();
  CreateShadowMask(*mask, Dib, SizeX, SizeY, DrawnLeft(), DrawnTop(), OffX, OffY);
  return mask;
}

}  // namespace vantora
