// Unit Fulmask: the masks the effect layers are made of. Each takes an object's finished bitmap
// (every pixel either its TransparentIndex or part of the object), replaces the picture of Mask by
// a silhouette derived from it, and reports where the mask's top-left corner lies relative to the
// source's, x to the right and y downwards. The mask takes the source's TransparentIndex, and every
// pixel the function does not set holds it.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "base/Fultype.h"
#include "core/Fuldib.h"

VANTORA_API_BEGIN
namespace vantora {

// A band of LineWidth pixels beyond every edge of the object that faces Direction, in Colour.
// Pixels on the image border count as edges whatever the direction. A negative LineWidth acts as 0.
void Create3DMask(tFulgoDib& Mask, const tFulgoDib& Src, efgDirection Direction, std::int16_t LineWidth,
                  std::uint8_t Colour, std::int16_t& OffX, std::int16_t& OffY);

// The object grown by LineWidth pixels on every side (a square dilation), in Colour. A negative
// LineWidth acts as 0.
void CreateForeFrameMask(tFulgoDib& Mask, const tFulgoDib& Src, std::int16_t LineWidth, std::int16_t& OffX,
                         std::int16_t& OffY, std::uint8_t Colour = 255);

// The object scaled to SizeX and SizeY percent (nearest pixel, values kept), its bottom edge Top
// pixels below the source's and its left edge Left pixels right of it. A size beyond the largest
// bitmap side is cut to it; a shadow smaller than 2 x 2 pixels leaves Mask empty (offsets are still
// reported).
void CreateShadowMask(tFulgoDib& Mask, const tFulgoDib& Src, std::int16_t SizeX, std::int16_t SizeY,
                      std::int16_t Left, std::int16_t Top, std::int16_t& OffX, std::int16_t& OffY);

}  // namespace vantora
VANTORA_API_END
