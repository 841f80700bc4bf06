// Unit Fullayer: tFulgoLayer, the base of the effect layers. A layer builds one or two masks from
// an object's finished bitmap, paints each with its own colour fill and lays them under the object,
// which grows to hold them. The 3D edge, the frame and the shadow (unit Fullyrs) decide the masks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/Grputil.h"
#include "effects/Fulcolor.h"

VANTORA_API_BEGIN
namespace vantora {

class tFulgoOnePalette;

// The system button-face colour: what the fuzz of a layer fades to unless told otherwise.
inline constexpr TColor kButtonFace = static_cast<TColor>(kSystemColorFlag | 15u);

// The widest band or frame a layer draws, so that twice the width still fits a bitmap side.
inline constexpr std::int16_t kMaxLineWidth = kMaxBitmapSide / 2;

class tFulgoLayer : public tFulgoPersistent {
  VANTORA_PERSISTENT(tFulgoLayer)

  explicit tFulgoLayer(tFulgoPersistent* AOwner);
  ~tFulgoLayer() override;

  // Fill of the first mask, and of the second (the opposite band of an embossed 3D edge).
  std::unique_ptr<tFulgoColor> FulgoColor1;
  std::unique_ptr<tFulgoColor> FulgoColor2;
  // Width of the 3D band or of the frame in pixels; a negative width draws as 0.
  std::int16_t LineWidth = 1;
  efgDirection Direction = fgUpLeft;
  // Published but never computed.
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  bool Embossed = false;
  // Whether FulgoColor2 takes part in the render phases.
  bool UseColor2 = false;
  TColor FadeTo = kButtonFace;
  // Growth of the object's bitmap caused by this layer (set by CalcAddXY).
  std::int16_t AddX = 0;
  std::int16_t AddY = 0;
  std::int16_t AddWidth = 0;
  std::int16_t AddHeight = 0;

  void SetDefaults();
  void Init() override;

  std::int16_t GetLineWidth() const { return LineWidth; }
  void SetLineWidth(std::int16_t Value);
  efgDirection GetDirection() const { return Direction; }
  void SetDirection(efgDirection Value);
  std::int16_t GetWidth() const { return Width; }
  void SetWidth(std::int16_t Value);
  std::int16_t GetHeight() const { return Height; }
  void SetHeight(std::int16_t Value);
  bool GetEmbossed() const { return Embossed; }
  void SetEmbossed(bool Value);
  TColor GetFadeTo() const { return FadeTo; }
  // Stores the colour and hands it to the fills as their Brush2; any rebuild comes from them.
  void SetFadeTo(TColor Value);
  tFulgoColor* GetFulgoColor1() const { return FulgoColor1.get(); }
  void SetFulgoColor1(tFulgoColor* Value);
  tFulgoColor* GetFulgoColor2() const { return FulgoColor2.get(); }
  void SetFulgoColor2(tFulgoColor* Value);

  // The render phases of the fills: FulgoColor1, then FulgoColor2 when UseColor2 is set.
  void Ready();
  void RegisterOnePalette(tFulgoOnePalette& Palette);
  void ApplyOnePalette(tFulgoOnePalette& Palette);

  virtual void CalcAddXY();
  // Each builds a mask from Dib and reports its top-left corner relative to Dib's, x to the right
  // and y downwards. The base versions make a bitmap without a picture and leave the offsets.
  virtual std::unique_ptr<tFulgoDib> MakeEffect1(const tFulgoDib& Dib, std::int16_t& OffX,
                                                 std::int16_t& OffY);
  virtual std::unique_ptr<tFulgoDib> MakeEffect2(const tFulgoDib& Dib, std::int16_t& OffX,
                                                 std::int16_t& OffY);
  // Paints the masks and lays them under Dib, which grows to hold them.
  virtual void Render(tFulgoDib& Dib);

  // Where a mask went: its top-left corner in the bitmap as grown, top-down, and its size.
  struct tLaidMask {
    bool Laid = false;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
  };
  struct tLaidMasks {
    std::array<tLaidMask, 2> Masks;
    // Where the bitmap's old top-left corner lies in the grown one.
    std::int32_t GrowX = 0;
    std::int32_t GrowY = 0;
  };
  // How the masks (0 the first, 1 the second) get their colours: the one index a fill draws a mask
  // in, where it has one, and the painting of a mask drawn in 255.
  using tMaskInk = std::function<std::optional<std::uint8_t>(int Which, const tFulgoColor& Fill)>;
  using tMaskPaint = std::function<void(int Which, tFulgoColor& Fill, tFulgoDib& Mask)>;
  // Render with the colouring given: builds the masks from Dib, colours them and lays them under it.
  tLaidMasks LayMasks(tFulgoDib& Dib, const tMaskInk& InkOf, const tMaskPaint& Paint);

 protected:
  // Whether the masks hold one colour, Ink, besides the transparent index.
  virtual bool DrawsInInk() const { return false; }
  // The index a one-colour mask is drawn in: 255, or the index of the brush that fills it.
  std::uint8_t Ink = 255;

  // LineWidth as drawn: 0..kMaxLineWidth.
  std::int16_t DrawnLineWidth() const;
};

}  // namespace vantora
VANTORA_API_END
