// Unit Smartfn: the box blur behind the fuzz fill. A mask (247 = no pixel) is counted over a square
// of (2r + 1) x (2r + 1) pixels around every position of a picture grown by r on every side; the
// counts then pick the fuzz colours, so the body fades out towards its edges.
#pragma once

#include <cstdint>
#include <span>

#include "VantoraExport.h"
#include "core/Fuldib.h"

VANTORA_API_BEGIN
namespace vantora {

// The largest fuzz radius: 15 x 15 = 225 counts still fit a byte and the palette.
inline constexpr std::int16_t kMaxFuzz = 7;

// Number of fuzz colours of a radius: (2r + 1)^2.
constexpr std::int32_t FuzzColorCount(std::int32_t Radius) {
  return (2 * Radius + 1) * (2 * Radius + 1);
}

// A new DIB block of (W + 2r) x (H + 2r) holding at every pixel the number of pixels of S other
// than 247 inside the square of radius r centred on it. S is left as it is; the caller owns the
// result. A radius outside 0..7 raises EFulgoError "Ilegal Fuzz value"; a null S raises
// ENoBMPInSource.
std::uint8_t* BuildBlurShadow(const std::uint8_t* S, std::int16_t Radius);
// BuildBlurShadow with the block in an owner.
MemBlock BuildBlurShadowOwned(const std::uint8_t* S, std::int16_t Radius);

// Replaces Dib's picture by its fuzz: count 0 becomes 247, count k the low byte of Indices[k - 1];
// the bitmap grows by Radius on every side. Indices must hold FuzzColorCount(Radius) entries,
// else EFulgoError. An empty Dib is left alone.
void MakeDibFuzzed(tFulgoDib& Dib, std::span<const std::uint16_t> Indices, std::int16_t Radius);

}  // namespace vantora
VANTORA_API_END
