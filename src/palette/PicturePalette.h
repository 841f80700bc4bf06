// Palettes for true-colour pictures: the palette builder's median cut over a picture's own
// distinct colours. The library installs it at start-up as the drawing layer's picture quantizer, so
// that a photo loaded into a TBitmap and captured to 8 bits keeps its colours instead of falling
// onto the halftone cube.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"
#include "host/graphics/PictureFile.h"

VANTORA_API_BEGIN
namespace vantora {

// The median cut runs over distinct colours, so its work grows with their number; a photo of a
// million pixels can hold nearly as many. Past this many the colours are taken less precisely.
inline constexpr std::size_t kMaxPictureColors = std::size_t{1} << 18;

// The distinct colours of a 32-bit picture in colour-table order (blue in the low byte, the fourth
// byte 0), in the order they first appear, top row first. While there are more than MaxColors,
// the colours are taken with one bit less per channel, each standing for the middle of the cell it
// covers, and merged. Raises EInvalidGraphic for a picture of another depth.
std::vector<std::uint32_t> PictureColors(const host::DibImage& Picture,
                                         std::size_t MaxColors = kMaxPictureColors);

// A palette laid out as a face's: the static colours at 0..9 and 246..255, and the picture's
// colours at 10 on, exactly when there are at most 236 of them, else the 236 means of a median cut,
// refined by PictureRefinePasses k-means passes. The caller owns the handle.
host::HPALETTE MakePicturePalette(const host::DibImage& Picture);

// The k-means passes (as tFulgoOnePalette::RefinePasses) for every picture captured from now on.
// 0, the default, keeps the median cut's colours; a photo gains most from about eight.
void SetPictureRefinePasses(std::uint8_t Passes);
std::uint8_t PictureRefinePasses();

// Makes MakePicturePalette the palette of every true-colour picture a TBitmap loads from now on.
void InstallPictureQuantizer();

}  // namespace vantora
VANTORA_API_END
