// Packing rectangles onto sheets, as sprite sheets are made: MaxRects with the best short side fit,
// no rotation. Each sheet is made as small as the packer finds room for its rectangles, and a
// rectangle that does not fit a sheet of the largest size goes on to the next sheet.
#pragma once

#include <cstdint>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

struct TPackSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

struct TPackPlace {
  std::int32_t Sheet = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
};

struct TPackOptions {
  // Sheets are at most this many pixels a side; with PowerOfTwo, at most the largest power of two
  // not above it.
  std::int32_t MaxSide = 4096;
  bool PowerOfTwo = false;
  // Pixels left free between two rectangles (not along the sheet's edges).
  std::int32_t Spacing = 0;
};

struct TPacking {
  std::vector<TPackSize> Sheets;
  // One per rectangle, in the order given.
  std::vector<TPackPlace> Places;
};

// Places every rectangle. Raises EFulgoError when the options are out of range or a rectangle is
// empty or larger than a sheet can be.
TPacking PackRectangles(const std::vector<TPackSize>& Sizes, const TPackOptions& Options);

}  // namespace vantora
VANTORA_API_END
