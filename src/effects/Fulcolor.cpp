#include "effects/Fulcolor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/RowOps.h"
#include "effects/Smartfn.h"
#include "host/graphics/Graphics.h"
#include "palette/Fulone.h"

namespace vantora {

const host::TClass& tFulgoColor::StaticClass() {
  using C = tFulgoColor;
  static const host::TClass& cls = host::ClassBuilder<C>("tFulgoColor", tFulgoPersistent::StaticClass())
                                       .Property("ColorType", &C::GetColorType, &C::SetColorType, fgBrush)
                                       .Property("Fuzz", &C::GetFuzz, &C::SetFuzz, 0)
                                       .Property("Brush", &C::GetBrush, &C::SetBrush, 0)
                                       .AsColor()
                                       .Property("Brush2", &C::GetBrush2, &C::SetBrush2, 0)
                                       .AsColor()
                                       .Property("Glyph", &C::GetGlyph, &C::SetGlyph)
                                       .Property("FulgoGlyph", &C::GetFulgoGlyph, &C::SetFulgoGlyph)
                                       .Property("Gradient", &C::GetGradient, &C::SetGradient)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoColor);

namespace {

bool IsBitmapKind(efgColorType type) {
  return type == fgBitmap || type == fgTiledBitmap;
}
bool IsGradientKind(efgColorType type) {
  return type == fgGradient || type == fgTiledGradient;
}
bool IsPictureKind(efgColorType type) {
  return IsBitmapKind(type) || IsGradientKind(type);
}

// The radius of a fuzz; the field is public, so a value that bypassed the setter is refused here
// before it sizes anything.
std::int16_t FuzzRadius(std::int32_t fuzz) {
  if (fuzz < 0 || fuzz > kMaxFuzz) throw EFulgoError("Ilegal Fuzz value");
  return static_cast<std::int16_t>(fuzz);
}

double Channel(TColor color, int shift) {
  return static_cast<double>((static_cast<std::uint32_t>(color) >> shift) & 0xFF);
}

// Rounds to nearest, ties to even (the default rounding mode).
std::uint32_t RoundedChannel(double value) {
  return static_cast<std::uint32_t>(std::clamp(std::nearbyint(value), 0.0, 255.0));
}

// Up to this many bytes of repeated tile rows are kept for the whole bitmap; beyond it each row is
// repeated again where it is used.
constexpr std::size_t kPatternCache = 256 * 1024;

}  // namespace

tFulgoColor::tFulgoColor(tFulgoPersistent* AOwner)
    : tFulgoPersistent(AOwner),
      Glyph(std::make_unique<host::TBitmap>()),
      FulgoGlyph(std::make_unique<tFulgoGlyph>()),
      Gradient(std::make_unique<tFulgoGradient>(nullptr)) {
  Glyph->OnChange = [this](host::TBitmap& sender) { GlyphChanged(sender); };
  FulgoGlyph->OnChange = [this](host::TPersistent* sender) { BitMapChanged(sender); };
  SetDefaults();
}

tFulgoColor::~tFulgoColor() = default;

void tFulgoColor::SetDefaults() {
  FulgoGlyph->Init();
  ColorType = fgBrush;
  Fuzz = 0;
  Brush = 0;
  Brush2 = 0;
  Gradient->Init();
}

void tFulgoColor::Init() {
  tFulgoPersistent::Init();
  SetDefaults();
}

void tFulgoColor::SetColorType(efgColorType Value) {
  if (Value == ColorType) return;
  ColorType = Value;
  Rebuild();
  UpdateStoredSources();
}

void tFulgoColor::SetFuzz(std::int32_t Value) {
  if (Value < 0 || Value > kMaxFuzz) throw EFulgoError("Ilegal Fuzz value");
  if (Value == Fuzz) return;
  Fuzz = Value;
  Rebuild();
}

void tFulgoColor::SetBrush(TColor Value) {
  if (Value == Brush) return;
  Brush = Value;
  Rebuild();
}

void tFulgoColor::SetBrush2(TColor Value) {
  if (Value == Brush2) return;
  Brush2 = Value;
  Rebuild();
}

void tFulgoColor::SetGlyph(host::TBitmap* Value) {
  if (!Value || Value == Glyph.get()) return;
  Glyph->Assign(*Value);
}

void tFulgoColor::SetFulgoGlyph(tFulgoGlyph* Value) {
  if (!Value || Value == FulgoGlyph.get()) return;
  FulgoGlyph->Assign(Value);
  UpdateStoredSources();
  Rebuild();
}

void tFulgoColor::SetGradient(tFulgoGradient* Value) {
  if (!Value || Value == Gradient.get()) return;
  Gradient->Assign(Value);
  Rebuild();
}

void tFulgoColor::GlyphChanged(host::TBitmap&) {
  if (Glyph->Empty()) return;
  FulgoGlyph->GetGlyphData(*Glyph);
  // Emptied in place, not replaced: this runs inside the bitmap's own change event. Emptying it
  // comes back here with an empty bitmap and stops.
  Glyph->SetHandle(nullptr);
  Glyph->SetPalette(nullptr);
}

void tFulgoColor::BitMapChanged(host::TPersistent*) {
  Rebuild();
}

void tFulgoColor::UpdateStoredSources() {
  Gradient->StoreVortex = IsGradientKind(ColorType);
  FulgoGlyph->HasData = IsBitmapKind(ColorType);
}

void tFulgoColor::CalcAddXY() {
  AddX = AddY = AddWidth = AddHeight = 0;
  if (ColorType != fgFuzz || Fuzz == 0) return;
  const std::int16_t radius = FuzzRadius(Fuzz);
  AddX = AddY = -radius;
  AddWidth = AddHeight = 2 * radius;
}

bool tFulgoColor::HasWork() const {
  if (WorkGradient) return true;
  return WorkDib && !WorkDib->Empty() && WorkDib->GetWidth() > 0 && WorkDib->GetHeight() > 0;
}

std::array<std::uint8_t, 256> tFulgoColor::IdentityMap() {
  std::array<std::uint8_t, 256> map;
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::uint8_t>(i);
  return map;
}

void tFulgoColor::ReleaseWork() {
  WorkMap = IdentityMap();
  FuzzColors.clear();
  FuzzColors.shrink_to_fit();
  FuzzIndices.clear();
  FuzzIndices.shrink_to_fit();
  WorkDib.reset();
  WorkGradient.reset();
}

void tFulgoColor::Ready() {
  ReleaseWork();
  if (IsBitmapKind(ColorType)) {
    // A picture without pixels counts as none: the fill becomes a brush for good.
    if (FulgoGlyph->Empty() || FulgoGlyph->GetWidth() == 0 || FulgoGlyph->GetHeight() == 0) {
      ColorType = fgBrush;
    } else {
      WorkDib = std::make_unique<tFulgoDib>();
      FulgoGlyph->MakeDuplicate(*WorkDib);
    }
  } else if (ColorType == fgGradient) {
    // A gradient that cannot render reports it itself and makes no picture; this render then
    // paints a brush.
    WorkGradient = Gradient->SharedPicture();
  } else if (ColorType == fgTiledGradient) {
    WorkDib = std::make_unique<tFulgoDib>();
    Gradient->CreateGradient(*WorkDib);
  }
  UpdateStoredSources();
}

void tFulgoColor::RegisterOnePalette(tFulgoOnePalette& Palette) {
  if (ColorType == fgFuzz)
    AddFuzzColors(Palette);
  else if (IsPictureKind(ColorType) && HasWork())
    DibHandle = WorkGradient ? Palette.AddColorTable(WorkGradient->Table.data()) : Palette.AddDib(*WorkDib);
  else
    BrushIndex = Palette.AddFixBrush(Brush);
}

void tFulgoColor::AddFuzzColors(tFulgoOnePalette& Palette) {
  const std::int32_t n = FuzzColorCount(FuzzRadius(Fuzz));
  const TColor outer = RGBToTColor(Brush2);
  const TColor inner = RGBToTColor(Brush);
  double red = Channel(outer, 0), green = Channel(outer, 8), blue = Channel(outer, 16);
  const double dRed = (Channel(inner, 0) - red) / n;
  const double dGreen = (Channel(inner, 8) - green) / n;
  const double dBlue = (Channel(inner, 16) - blue) / n;
  FuzzColors.assign(static_cast<std::size_t>(n), 0);
  for (std::uint32_t& color : FuzzColors) {
    red += dRed;
    green += dGreen;
    blue += dBlue;
    // Colour-table order, as the palette builder takes and finds brushes.
    color = RoundedChannel(blue) | (RoundedChannel(green) << 8) | (RoundedChannel(red) << 16);
    Palette.AddBrush(color);
  }
}

void tFulgoColor::ApplyOnePalette(tFulgoOnePalette& Palette) {
  if (ColorType == fgFuzz) {
    FuzzIndices.resize(FuzzColors.size());
    for (std::size_t i = 0; i < FuzzColors.size(); ++i)
      FuzzIndices[i] = Palette.FindBrush(static_cast<TColor>(FuzzColors[i]));
  } else if (IsPictureKind(ColorType) && HasWork()) {
    const auto number = static_cast<std::uint16_t>(DibHandle);
    if (WorkGradient)
      WorkMap = Palette.RasterMap(number);
    else if (ColorType == fgBitmap)
      WorkMap = Palette.RasterMap(*WorkDib, number);
    else
      Palette.ChangeDib(*WorkDib, number);
  }
}

void tFulgoColor::ApplyColor(tFulgoDib& Dib) {
  // The working data goes at the end of every cycle, also when painting fails.
  struct Release {
    tFulgoColor* fill;
    ~Release() { fill->ReleaseWork(); }
  } release{this};
  switch (ColorType) {
    case fgFuzz:
      ApplyFuzz(Dib);
      break;
    case fgBitmap:
    case fgGradient:
      ApplyBitmap(Dib);
      break;
    case fgTiledBitmap:
    case fgTiledGradient:
      ApplyTiledBitmap(Dib);
      break;
    default:
      ApplyBrush(Dib);
      break;
  }
}

std::optional<std::uint8_t> tFulgoColor::SolidIndex() const {
  if (ColorType != fgBrush) return std::nullopt;
  return static_cast<std::uint8_t>(BrushIndex);
}

void tFulgoColor::ApplyBrush(tFulgoDib& Dib) const {
  if (Dib.Empty()) return;
  BrushObject(Dib.Dib, static_cast<std::uint8_t>(BrushIndex), kTransparentIndex);
}

void tFulgoColor::ApplyFuzz(tFulgoDib& Dib) const {
  const std::int16_t radius = FuzzRadius(Fuzz);
  if (static_cast<std::int32_t>(FuzzIndices.size()) != FuzzColorCount(radius))
    throw EFulgoError("Fuzz colours are not mapped for radius " + std::to_string(radius));
  MakeDibFuzzed(Dib, FuzzIndices, radius);
}

void tFulgoColor::ApplyBitmap(tFulgoDib& Dib) const {
  if (!HasWork()) return ApplyBrush(Dib);
  if (Dib.Empty()) return;
  if (WorkGradient) return WorkGradient->StretchOnto(Dib, WorkMap.data(), kTransparentIndex);
  StretchThrough(dib::Bits(WorkDib->Dib), dib::Bits(Dib.Dib), WorkDib->GetWidth(), WorkDib->GetHeight(),
                 Dib.GetWidth(), Dib.GetHeight(), WorkMap.data(), kTransparentIndex);
}

void tFulgoColor::ApplyTiledBitmap(tFulgoDib& Dib) const {
  if (!HasWork()) return ApplyBrush(Dib);
  if (Dib.Empty()) return;
  const std::int32_t tw = WorkDib->GetWidth(), th = WorkDib->GetHeight();
  const std::int32_t ow = Dib.GetWidth(), oh = Dib.GetHeight();
  // Where tiles repeat across the row, the tile row is first repeated over the whole width, so
  // the row is painted in one run rather than in short runs with unaligned ends. Each repeated
  // tile row is made once when they all fit the cache.
  const auto width = static_cast<std::size_t>(ow);
  const bool repeated = tw < ow;
  const bool cached = repeated && static_cast<std::size_t>(th) * width <= kPatternCache;
  std::unique_ptr<std::uint8_t[]> patterns;
  if (repeated) patterns = std::make_unique_for_overwrite<std::uint8_t[]>((cached ? th : 1) * width);
  std::vector<bool> made(cached ? static_cast<std::size_t>(th) : 0, false);
  // The first band's top row is the bitmap's top row, so memory row R shows tile row
  // (R - oh) mod th; the lowest band is cut at the bottom as displayed.
  std::int32_t tileRow = (0 - oh) % th;
  if (tileRow < 0) tileRow += th;
  for (std::int32_t r = 0; r < oh; ++r) {
    std::uint8_t* row = Dib.Row(r);
    const std::uint8_t* source = WorkDib->Row(tileRow);
    if (repeated) {
      std::uint8_t* pattern = patterns.get() + (cached ? static_cast<std::size_t>(tileRow) * width : 0);
      if (!cached || !made[static_cast<std::size_t>(tileRow)]) {
        rowops::RepeatTile(pattern, width, source, static_cast<std::size_t>(tw));
        if (cached) made[static_cast<std::size_t>(tileRow)] = true;
      }
      source = pattern;
    }
    rowops::FillThrough(row, source, width, kTransparentIndex);
    if (++tileRow == th) tileRow = 0;
  }
}

void tFulgoColor::AssignTo(host::TPersistent* Dest) const {
  tFulgoColor* dest = AssignTarget(*this, Dest);
  if (dest == this) return;
  FuzzRadius(Fuzz);  // refused before Dest changes
  {
    tQuietNotices quiet(*dest);
    dest->SetColorType(ColorType);
    dest->SetFuzz(Fuzz);
    dest->SetBrush(Brush);
    dest->SetBrush2(Brush2);
    dest->FulgoGlyph->Assign(FulgoGlyph.get());
    dest->Gradient->Assign(Gradient.get());
    // The copied picture sets its own has-data flag; the kind decides what is streamed.
    dest->UpdateStoredSources();
  }
  dest->Rebuild();
}

}  // namespace vantora
