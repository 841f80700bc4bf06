// Unit Fulcolor: tFulgoColor, the colour fill of every object and effect layer. An object renders
// its body as a mask (247 = no pixel) and the fill paints every other pixel: with one brush, with a
// fuzz that fades from Brush2 outside to Brush inside, with a picture stretched or tiled, or with a
// gradient stretched or tiled. All faces share one palette, so a fill works in phases: Ready makes
// its working picture, RegisterOnePalette announces its colours to the palette builder,
// ApplyOnePalette takes the indices back once the palette is built, and ApplyColor paints.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/Grputil.h"
#include "effects/Fulgrd.h"

VANTORA_API_BEGIN
namespace vantora::host {
class TBitmap;
}

namespace vantora {

class tFulgoOnePalette;

class tFulgoColor : public tFulgoPersistent {
  VANTORA_PERSISTENT(tFulgoColor)

  explicit tFulgoColor(tFulgoPersistent* AOwner);
  ~tFulgoColor() override;

  efgColorType ColorType = fgBrush;
  // Fuzz radius in pixels, 0..7.
  std::int32_t Fuzz = 0;
  // Host colours (red in the low byte, system colours allowed): the brush, the fuzz's inner colour,
  // and the fuzz's outer colour.
  TColor Brush = 0;
  TColor Brush2 = 0;
  // Drop slot for a picture: whatever is put into it is moved into FulgoGlyph, so it always reads
  // back empty.
  std::unique_ptr<host::TBitmap> Glyph;
  // The picture of the bitmap kinds; its change event rebuilds the fill.
  std::unique_ptr<tFulgoGlyph> FulgoGlyph;
  // The gradient of the gradient kinds. It has no owner, so its own setters rebuild nothing here.
  std::unique_ptr<tFulgoGradient> Gradient;

  // Working data of one render. BrushIndex and DibHandle come from the palette builder.
  std::int32_t BrushIndex = 0;
  std::int32_t DibHandle = 0;
  // The fuzz colours in colour-table order (blue in the low byte), from one step past Brush2 to
  // Brush, and their palette indices.
  std::vector<std::uint32_t> FuzzColors;
  std::vector<std::uint16_t> FuzzIndices;
  // The picture or the rendered gradient; a stretched gradient is kept as WorkGradient instead, so
  // that only the pixels its body shows are made.
  std::unique_ptr<tFulgoDib> WorkDib;
  std::shared_ptr<const tGradientPicture> WorkGradient;
  // Palette index of each of WorkDib's (or WorkGradient's) byte values. A stretched picture keeps its own
  // indices and is mapped where its pixels land, so a large picture is not mapped pixel by pixel before a
  // small body samples it; tiles are mapped in WorkDib itself and keep the identity here.
  std::array<std::uint8_t, 256> WorkMap = IdentityMap();

  // Growth of the object's bitmap caused by the fill (set by CalcAddXY).
  std::int32_t AddX = 0;
  std::int32_t AddY = 0;
  std::int32_t AddWidth = 0;
  std::int32_t AddHeight = 0;

  void SetDefaults();
  void Init() override;

  efgColorType GetColorType() const { return ColorType; }
  // Also decides which source is streamed: the gradient's stops only for the gradient kinds, the
  // picture only for the bitmap kinds.
  void SetColorType(efgColorType Value);
  std::int32_t GetFuzz() const { return Fuzz; }
  // A value outside 0..7 raises EFulgoError "Ilegal Fuzz value" and keeps the old one.
  void SetFuzz(std::int32_t Value);
  TColor GetBrush() const { return Brush; }
  void SetBrush(TColor Value);
  TColor GetBrush2() const { return Brush2; }
  void SetBrush2(TColor Value);
  host::TBitmap* GetGlyph() const { return Glyph.get(); }
  // Copies the picture into the slot, which moves it on into FulgoGlyph.
  void SetGlyph(host::TBitmap* Value);
  tFulgoGlyph* GetFulgoGlyph() const { return FulgoGlyph.get(); }
  void SetFulgoGlyph(tFulgoGlyph* Value);
  tFulgoGradient* GetGradient() const { return Gradient.get(); }
  void SetGradient(tFulgoGradient* Value);

  // Change event of Glyph.
  void GlyphChanged(host::TBitmap& Sender);
  // Change event of FulgoGlyph.
  void BitMapChanged(host::TPersistent* Sender);

  void CalcAddXY();
  // The render phases, in this order for every render.
  void Ready();
  void RegisterOnePalette(tFulgoOnePalette& Palette);
  void ApplyOnePalette(tFulgoOnePalette& Palette);
  // Paints every pixel of Dib other than 247, then releases the working data. A picture kind whose
  // working picture could not be made paints as a brush; an empty Dib is left alone.
  void ApplyColor(tFulgoDib& Dib);
  // The one index a brush fill paints this render: a mask drawn in it and in 247 needs no painting.
  std::optional<std::uint8_t> SolidIndex() const;

  // The painting of each kind, with the working data the phases made.
  void ApplyBrush(tFulgoDib& Dib) const;
  void ApplyFuzz(tFulgoDib& Dib) const;
  void ApplyBitmap(tFulgoDib& Dib) const;
  // Tiles of WorkDib from the top-left corner as displayed, clipped on the right and at the bottom.
  void ApplyTiledBitmap(tFulgoDib& Dib) const;

  // Whether the picture kinds have a working picture this render.
  bool HasWork() const;
  // Drops the working data of a render; ApplyColor does it when it has painted.
  void ReleaseWork();

  // Dest must be a fill: it takes the kind, fuzz, colours, picture and gradient through its
  // setters and rebuilds once. Another class raises EConvertError.
  void AssignTo(host::TPersistent* Dest) const override;

 private:
  static std::array<std::uint8_t, 256> IdentityMap();
  void AddFuzzColors(tFulgoOnePalette& Palette);
  void UpdateStoredSources();
};

}  // namespace vantora
VANTORA_API_END
