// K-means refinement of a reduced palette: a few passes that move each palette colour to the mean
// of the colours mapped to it and map every colour to its nearest palette colour again. The median
// cut places its colours by splitting boxes in halves; these passes lower the squared error the
// cut leaves, at a cost that grows with the colours times the passes.
#pragma once

#include <cstdint>
#include <span>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

// Colors and Centres are colour-table values (blue in the low byte; the fourth byte is ignored and
// a centre's is written 0); every colour weighs 1. Map holds, for each colour, the index of the
// centre it starts in, and receives the index of its nearest centre (squared distance, the lowest
// index among equal ones) after the passes. A pass whose map does not change ends the refinement.
// A centre that no colour maps to moves onto a colour that its own centre serves worst, where it
// does more good. Answers the passes made.
int RefinePalette(std::span<const std::uint32_t> Colors, std::span<std::uint32_t> Centres,
                  std::span<std::uint16_t> Map, int Passes);

}  // namespace vantora
VANTORA_API_END
