// Pictures with real alpha, for faces that leave the library for other renderers (games, the web):
// an 8-bit bitmap's pixels made opaque in the colours of its table, its transparent index clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "VantoraExport.h"
#include "core/Fuldib.h"

VANTORA_API_BEGIN
namespace vantora {

// Rows top-down, four bytes a pixel: red, green, blue, alpha. Clear pixels are all zero.
class TRgbaImage {
 public:
  TRgbaImage() = default;
  // A clear picture; a side above kMaxBitmapSide raises EFulgoError.
  TRgbaImage(std::int32_t Width, std::int32_t Height);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t Stride() const { return static_cast<std::size_t>(width_) * 4; }
  std::uint8_t* Row(std::int32_t Y) { return pixels_.data() + static_cast<std::size_t>(Y) * Stride(); }
  const std::uint8_t* Row(std::int32_t Y) const {
    return pixels_.data() + static_cast<std::size_t>(Y) * Stride();
  }
  const std::uint8_t* Bits() const { return pixels_.data(); }
  bool operator==(const TRgbaImage&) const = default;

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// Dib's pixels other than its transparent index, opaque in their table colours, with the picture's
// top-left corner at (X, Y) of a clear Width x Height picture and clipped to the first ClipWidth x
// ClipHeight pixels of it: what drawing the bitmap transparently at (X, Y) leaves on a device.
TRgbaImage RgbaOfDib(const tFulgoDib& Dib, std::int32_t Width, std::int32_t Height, std::int32_t X,
                     std::int32_t Y, std::int32_t ClipWidth, std::int32_t ClipHeight);
// The whole bitmap at its own size.
TRgbaImage RgbaOfDib(const tFulgoDib& Dib);
// Source written into Dest with its top-left corner at (X, Y), and Border pixels more all round
// that repeat Source's edge pixels outwards (so that filtering at the edges of a sprite samples its
// own colours); clipped to Dest.
void PutRgba(TRgbaImage& Dest, const TRgbaImage& Source, std::int32_t X, std::int32_t Y,
             std::int32_t Border = 0);
// Every pixel made a Factor x Factor block (Factor 1..16); too large a result raises EFulgoError.
TRgbaImage ScaleRgba(const TRgbaImage& Image, std::int32_t Factor);

}  // namespace vantora
VANTORA_API_END
