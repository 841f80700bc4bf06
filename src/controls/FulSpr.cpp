#include "controls/FulSpr.h"

#include <algorithm>

#include "core/Fuldib.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"

namespace vantora {

namespace {

// Selects a palette into a context as a background palette and realises it for one scope; the
// previous palette goes back, also as a background palette. No palette selects nothing.
class BackgroundPalette {
 public:
  BackgroundPalette(host::HDC dc, host::HPALETTE palette) : selected_(dc, palette, host::TRUE) {
    if (selected_.Selected()) host::RealizePalette(dc);
  }

 private:
  host::SelectGuard selected_;
};

}  // namespace

TFaceArea FaceArea(const tFulgoArt& Art, bool Opaque) {
  TFaceArea area{Art.InnerOffsetX, Art.InnerOffsetY, Art.GetWidth() - Art.InnerOffsetSizeX,
                 Art.GetHeight() - Art.InnerOffsetSizeY};
  if (!Opaque) {
    area.Width = std::min(area.Width, Art.GetWidth());
    area.Height = std::min(area.Height, Art.GetHeight());
  }
  return area;
}

void TFulgoSprite::DrawAt(tFulgoArt& Art, host::TCanvas& Canvas, host::HPALETTE Palette, std::int32_t X,
                          std::int32_t Y, bool Opaque) {
  if (Art.Dib->Empty()) return;
  const host::HDC dc = Canvas.Handle();
  SetDC(dc);
  const std::int32_t width = Art.GetWidth(), height = Art.GetHeight();
  const TFaceArea area = FaceArea(Art, Opaque);
  const std::int32_t areaWidth = area.Width, areaHeight = area.Height;
  const auto x = static_cast<std::int16_t>(X + area.X);
  const auto y = static_cast<std::int16_t>(Y + area.Y);

  if (Opaque) {
    const BackgroundPalette realised(dc, Palette);
    Art.Dib->DrawFill(Canvas, Art.Transparent, areaWidth, areaHeight, x, y);
    return;
  }
  // A background of another size lies under another area: the control has been resized.
  if (Background.IsEmpty() || Background.Width != width || Background.Height != height)
    Background.GrabBitmap(dc, 0, 0, width, height);
  const std::unique_ptr<TSpriteBmp> work = Background.Duplicate();
  if (!work) return;
  {
    const host::Owned<host::HDC> workDC = work->GetBitmapDC();
    const BackgroundPalette realised(workDC.get(), Palette);
    Art.Dib->DrawTransparent(workDC.get(), areaWidth, areaHeight, x, y);
  }
  work->DrawCopy(dc, 0, 0);
}

}  // namespace vantora
