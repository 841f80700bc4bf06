#include "core/Grputil.h"

#include <array>

namespace vantora {

namespace {

constexpr TColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

// Indexed by the classic COLOR_* numbers.
constexpr std::array<TColor, 31> kSystemColors = {
    Rgb(192, 192, 192),  // 0 scroll bar
    Rgb(0, 128, 128),    // 1 desktop background
    Rgb(0, 0, 128),      // 2 active caption
    Rgb(128, 128, 128),  // 3 inactive caption
    Rgb(192, 192, 192),  // 4 menu
    Rgb(255, 255, 255),  // 5 window
    Rgb(0, 0, 0),        // 6 window frame
    Rgb(0, 0, 0),        // 7 menu text
    Rgb(0, 0, 0),        // 8 window text
    Rgb(255, 255, 255),  // 9 caption text
    Rgb(192, 192, 192),  // 10 active border
    Rgb(192, 192, 192),  // 11 inactive border
    Rgb(128, 128, 128),  // 12 application workspace
    Rgb(0, 0, 128),      // 13 highlight
    Rgb(255, 255, 255),  // 14 highlight text
    Rgb(192, 192, 192),  // 15 button face
    Rgb(128, 128, 128),  // 16 button shadow
    Rgb(128, 128, 128),  // 17 grey text
    Rgb(0, 0, 0),        // 18 button text
    Rgb(192, 192, 192),  // 19 inactive caption text
    Rgb(255, 255, 255),  // 20 button highlight
    Rgb(0, 0, 0),        // 21 3D dark shadow
    Rgb(223, 223, 223),  // 22 3D light
    Rgb(0, 0, 0),        // 23 tooltip text
    Rgb(255, 255, 225),  // 24 tooltip background
    Rgb(0, 0, 0),        // 25 unused
    Rgb(0, 0, 255),      // 26 hot-tracked item
    Rgb(16, 132, 208),   // 27 active caption gradient
    Rgb(181, 181, 181),  // 28 inactive caption gradient
    Rgb(0, 0, 128),      // 29 menu highlight
    Rgb(192, 192, 192),  // 30 menu bar
};

}  // namespace

TColor GetSysColor(int Index) {
  if (Index < 0 || Index >= static_cast<int>(kSystemColors.size())) return 0;
  return kSystemColors[static_cast<std::size_t>(Index)];
}

TColor RGBToTColor(TColor Color) {
  const auto value = static_cast<std::uint32_t>(Color);
  if ((value & kSystemColorFlag) == 0) return Color;
  return GetSysColor(static_cast<int>(value & 0xFF));
}

}  // namespace vantora
