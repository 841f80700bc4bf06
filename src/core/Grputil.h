// Colour resolution of host colour values. A value with the high bit set (0x80000000 + n) names
// system colour n and resolves to its RGB value; any other value is already a colour.
#pragma once

#include <cstdint>

namespace vantora {

// A host colour value: red in the low byte (0x00BBGGRR), or a system colour.
using TColor = std::int32_t;

inline constexpr std::uint32_t kSystemColorFlag = 0x80000000u;

// Resolves a system colour to its RGB value (the host's system colour table: button face light
// grey, window white, highlight navy...); other values are returned unchanged.
TColor RGBToTColor(TColor Color);

// Byte stride of a row of Bits bits, rounded up to 4 bytes.
constexpr std::uint32_t ScanlineBytes(std::uint32_t Bits) {
  return ((Bits + 31) / 32) * 4;
}

}  // namespace vantora
