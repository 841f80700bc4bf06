// Pixel loops of the drawing layer: raster operations on rows and the one copy engine behind every
// blit, stretch and DIB transfer. Only the drawing layer's own sources include this header.
#pragma once

#include <cstdint>
#include <vector>

#include "VantoraExport.h"
#include "host/graphics/GdiObjects.h"

VANTORA_API_BEGIN
namespace vantora::host::detail {

// The truth-table byte of a raster operation code.
constexpr std::uint8_t RopCode(DWORD rop) {
  return static_cast<std::uint8_t>(rop >> 16);
}
// Whether the operation reads the source (its result differs when only the source bits flip).
constexpr bool RopUsesSource(std::uint8_t code) {
  return ((code >> 2) & 0x33) != (code & 0x33);
}
constexpr bool RopUsesPattern(std::uint8_t code) {
  return (code >> 4) != (code & 0x0F);
}

// Dest[i] = op(Pattern, Source[i], Dest[i]) for Count pixels; Source may be null when unused.
void ApplyRopRow(Pixel* dest, const Pixel* source, int count, std::uint8_t code, Pixel pattern);

// Where the rows of a copy come from. Row(y) answers row y (top-down) of a Width-pixel picture;
// only rows in [RowBegin, RowEnd) may be asked for.
class RowSource {
 public:
  RowSource(const RowSource&) = delete;
  RowSource& operator=(const RowSource&) = delete;
  virtual ~RowSource() = default;
  virtual const Pixel* Row(int y) = 0;
  int Width() const { return width_; }
  int RowBegin() const { return rowBegin_; }
  int RowEnd() const { return rowEnd_; }

 protected:
  RowSource() = default;
  int width_ = 0;
  int rowBegin_ = 0;
  int rowEnd_ = 0;
};

class SurfaceRows : public RowSource {
 public:
  explicit SurfaceRows(const Surface& surface) : surface_(surface) {
    width_ = surface.width;
    rowEnd_ = surface.height;
  }
  const Pixel* Row(int y) override { return surface_.Row(y); }

 private:
  const Surface& surface_;
};

// A destination rectangle and a source rectangle, both as origin and signed size (a negative size
// mirrors, the rectangle then reaching from the origin back by the size), in device pixels.
struct CopyRects {
  int x, y, width, height;
  int sourceX, sourceY, sourceWidth, sourceHeight;
};

// Copies with nearest-pixel scaling and the raster operation into Dest, within Clip (device
// coordinates, inside the surface). Answers the rectangle written, empty when nothing was.
RECT CopyPixels(Surface& dest, const RECT& clip, RowSource& source, const CopyRects& rects, std::uint8_t code,
                Pixel pattern);

// Fills a rectangle (device coordinates, already clipped) with the raster operation of no source.
void FillPixels(Surface& dest, const RECT& rect, std::uint8_t code, Pixel pattern);

}  // namespace vantora::host::detail
VANTORA_API_END
