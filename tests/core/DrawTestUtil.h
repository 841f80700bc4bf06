// Pieces shared by the tests that capture bitmaps from the drawing layer and draw them on it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/graphics/Gdi.h"

namespace vantora::test {

// A table value (0x00RRGGBB) as the drawing layer's colour reference (0x00BBGGRR).
constexpr host::COLORREF Ref(std::uint32_t tableValue) {
  return host::RGB(static_cast<host::BYTE>(tableValue >> 16), static_cast<host::BYTE>(tableValue >> 8),
                   static_cast<host::BYTE>(tableValue));
}

// A logical palette of the given colours, all with the same flags; deleted with the object.
class LogPalette {
 public:
  LogPalette(const std::vector<host::COLORREF>& colors, host::BYTE flags) {
    std::vector<host::BYTE> block(4 + colors.size() * 4);
    block[0] = 0x00;
    block[1] = 0x03;
    block[2] = static_cast<host::BYTE>(colors.size());
    block[3] = static_cast<host::BYTE>(colors.size() >> 8);
    for (std::size_t i = 0; i < colors.size(); ++i) {
      block[4 + 4 * i] = host::GetRValue(colors[i]);
      block[5 + 4 * i] = host::GetGValue(colors[i]);
      block[6 + 4 * i] = host::GetBValue(colors[i]);
      block[7 + 4 * i] = flags;
    }
    handle = host::CreatePalette(reinterpret_cast<const host::LOGPALETTE*>(block.data()));
  }
  LogPalette(const LogPalette&) = delete;
  LogPalette& operator=(const LogPalette&) = delete;
  ~LogPalette() {
    if (handle) host::DeleteObject(handle);
  }
  host::HPALETTE handle;
};

// A backdrop in which every pixel differs, with bits set in every channel, painted over W x H.
inline host::COLORREF Backdrop(int x, int y) {
  return host::RGB(static_cast<host::BYTE>(13 + 29 * x), static_cast<host::BYTE>(101 + 23 * y),
                   static_cast<host::BYTE>(77 + 7 * x + 5 * y));
}
inline void PaintBackdrop(host::HDC dc, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) host::SetPixel(dc, x, y, Backdrop(x, y));
}

// What a device context shows in a W x H area from (0, 0), as one character per pixel through the
// legend; colours not in the legend show as '?'.
inline std::vector<std::string> Shown(host::HDC dc, int width, int height,
                                      const std::map<char, host::COLORREF>& legend) {
  std::vector<std::string> rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const host::COLORREF c = host::GetPixel(dc, x, y);
      char shown = '?';
      for (const auto& [key, color] : legend)
        if (color == c) shown = key;
      row += shown;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace vantora::test
