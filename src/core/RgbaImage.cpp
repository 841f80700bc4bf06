#include "core/RgbaImage.h"

#include <algorithm>
#include <string>

#include "base/Fultype.h"
#include "core/DibLayout.h"

namespace vantora {

namespace {

void CheckSide(std::int64_t Width, std::int64_t Height) {
  if (Width < 0 || Height < 0 || Width > kMaxBitmapSide || Height > kMaxBitmapSide)
    throw EFulgoError("A picture of " + std::to_string(Width) + " x " + std::to_string(Height) +
                      " pixels is out of range (at most " + std::to_string(kMaxBitmapSide) + " a side)");
}

// The colour table of a block, as red, green, blue, alpha per index: one lookup per pixel.
std::vector<std::uint32_t> OpaqueColours(const std::uint8_t* Block) {
  std::vector<std::uint32_t> colours(256);
  const std::uint8_t* table = Block + dib::kColorTableOffset;
  for (std::size_t i = 0; i < colours.size(); ++i, table += 4)
    colours[i] =
        std::uint32_t{table[2]} | std::uint32_t{table[1]} << 8 | std::uint32_t{table[0]} << 16 | 0xFF000000u;
  return colours;
}

void PutPixel(std::uint8_t* To, std::uint32_t Rgba) {
  for (int c = 0; c < 4; ++c) To[c] = static_cast<std::uint8_t>(Rgba >> (8 * c));
}

}  // namespace

TRgbaImage::TRgbaImage(std::int32_t Width, std::int32_t Height) : width_(Width), height_(Height) {
  CheckSide(Width, Height);
  pixels_.assign(Stride() * static_cast<std::size_t>(Height), 0);
}

TRgbaImage RgbaOfDib(const tFulgoDib& Dib, std::int32_t Width, std::int32_t Height, std::int32_t X,
                     std::int32_t Y, std::int32_t ClipWidth, std::int32_t ClipHeight) {
  TRgbaImage image(Width, Height);
  if (Dib.Empty()) return image;
  const std::int32_t dibWidth = Dib.GetWidth(), dibHeight = Dib.GetHeight();
  const std::int32_t right = std::min({Width, ClipWidth, X + dibWidth});
  const std::int32_t bottom = std::min({Height, ClipHeight, Y + dibHeight});
  const std::int32_t left = std::max(X, 0), top = std::max(Y, 0);
  if (left >= right || top >= bottom) return image;
  const std::vector<std::uint32_t> colours = OpaqueColours(Dib.Dib);
  const std::uint8_t clear = kTransparentIndex;
  for (std::int32_t y = top; y < bottom; ++y) {
    // The block's rows run from the bottom.
    const std::uint8_t* from = Dib.Row(dibHeight - 1 - (y - Y)) + (left - X);
    std::uint8_t* to = image.Row(y) + static_cast<std::size_t>(left) * 4;
    for (std::int32_t x = left; x < right; ++x, ++from, to += 4)
      if (*from != clear) PutPixel(to, colours[*from]);
  }
  return image;
}

TRgbaImage RgbaOfDib(const tFulgoDib& Dib) {
  const std::int32_t width = Dib.GetWidth(), height = Dib.GetHeight();
  return RgbaOfDib(Dib, width, height, 0, 0, width, height);
}

void PutRgba(TRgbaImage& Dest, const TRgbaImage& Source, std::int32_t X, std::int32_t Y,
             std::int32_t Border) {
  if (Source.Empty()) return;
  const std::int32_t top = std::max(Y - Border, 0),
                     bottom = std::min(Y + Source.Height() + Border, Dest.Height());
  const std::int32_t left = std::max(X - Border, 0),
                     right = std::min(X + Source.Width() + Border, Dest.Width());
  for (std::int32_t y = top; y < bottom; ++y) {
    const std::uint8_t* from = Source.Row(std::clamp(y - Y, 0, Source.Height() - 1));
    std::uint8_t* to = Dest.Row(y) + static_cast<std::size_t>(left) * 4;
    for (std::int32_t x = left; x < right; ++x, to += 4)
      std::copy_n(from + static_cast<std::size_t>(std::clamp(x - X, 0, Source.Width() - 1)) * 4, 4, to);
  }
}

TRgbaImage ScaleRgba(const TRgbaImage& Image, std::int32_t Factor) {
  if (Factor < 1 || Factor > 16) throw EFulgoError("A scale of " + std::to_string(Factor) + " is not 1..16");
  CheckSide(std::int64_t{Image.Width()} * Factor, std::int64_t{Image.Height()} * Factor);
  TRgbaImage scaled(Image.Width() * Factor, Image.Height() * Factor);
  for (std::int32_t y = 0; y < scaled.Height(); ++y) {
    const std::uint8_t* from = Image.Row(y / Factor);
    std::uint8_t* to = scaled.Row(y);
    for (std::int32_t x = 0; x < scaled.Width(); ++x, to += 4) std::copy_n(from + (x / Factor) * 4, 4, to);
  }
  return scaled;
}

}  // namespace vantora
