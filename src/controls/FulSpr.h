// Unit FulSpr: TFulgoSprite puts an art's face on a control's canvas. Opaque, over the art's
// Transparent colour; transparent, composed in memory over a saved copy of what lies under the
// control and then copied to the canvas in one blit, so the control never flickers.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "core/Sprites.h"
#include "host/graphics/GdiTypes.h"
#include "model/Fulgoart.h"

VANTORA_API_BEGIN
namespace vantora {

namespace host {
class TCanvas;
}  // namespace host

// Where an art's picture lies on its control: shifted by the inner offsets, clipped to the art's
// size less the inner size offsets; drawn transparently, also to the art's own size, the size of the
// background it is composed on.
struct TFaceArea {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};
TFaceArea FaceArea(const tFulgoArt& Art, bool Opaque);

class TFulgoSprite {
 public:
  TFulgoSprite() = default;
  TFulgoSprite(const TFulgoSprite&) = delete;
  TFulgoSprite& operator=(const TFulgoSprite&) = delete;

  // What lies under the control, grabbed by the first transparent draw; empty until then.
  TSpriteBmp Background;

  void SetDC(host::HDC DC) { Background.DC = DC; }
  // Drops the saved background, so that the next transparent draw grabs it anew.
  void ReLoadBackground() { Background.FreeBitmap(); }

  // Draws Art's picture at (X, Y) of Canvas, shifted by its inner offsets, within its size less the
  // inner size offsets, with Palette realised as a background palette. An art without a picture
  // draws nothing.
  void DrawAt(tFulgoArt& Art, host::TCanvas& Canvas, host::HPALETTE Palette, std::int32_t X, std::int32_t Y,
              bool Opaque);
};

}  // namespace vantora
VANTORA_API_END
