// Small bitmaps written as pictures: one string per row, top row first, one character per pixel.
// '.' is the transparent index 247, '#' is 255, '0'..'9' are 0..9 and 'a'..'z' are 10..35.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/DibLayout.h"
#include "core/Fuldib.h"

namespace vantora::test {

inline std::uint8_t IndexOf(char c) {
  if (c == '.') return 247;
  if (c == '#') return 255;
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  return static_cast<std::uint8_t>(c - 'a' + 10);
}

inline char CharOf(std::uint8_t index) {
  if (index == 247) return '.';
  if (index == 255) return '#';
  if (index <= 9) return static_cast<char>('0' + index);
  if (index <= 35) return static_cast<char>('a' + index - 10);
  return '?';
}

// Fills an empty bitmap with the picture; padding bytes are set to Pad.
inline void Paint(tFulgoDib& bitmap, const std::vector<std::string>& rows, std::uint8_t pad = 0) {
  const auto height = static_cast<THeight>(rows.size());
  const auto width = static_cast<TWidth>(rows.empty() ? 0 : rows[0].size());
  bitmap.MakeNew(width, height);
  std::memset(dib::Bits(bitmap.Dib), pad, bitmap.Stride() * height);
  for (std::size_t top = 0; top < rows.size(); ++top)
    for (std::size_t c = 0; c < width; ++c)
      bitmap.Row(static_cast<std::int32_t>(height - 1 - top))[c] = IndexOf(rows[top][c]);
}

// The picture of a bitmap, top row first.
inline std::vector<std::string> Picture(const tFulgoDib& bitmap) {
  std::vector<std::string> rows;
  for (int top = 0; top < bitmap.GetHeight(); ++top) {
    std::string row;
    const std::uint8_t* line = bitmap.Row(bitmap.GetHeight() - 1 - top);
    for (std::size_t c = 0; c < bitmap.GetWidth(); ++c) row += CharOf(line[c]);
    rows.push_back(row);
  }
  return rows;
}

// The pixel at top-down (X, Y).
inline std::uint8_t At(const tFulgoDib& bitmap, int x, int y) {
  return bitmap.Row(bitmap.GetHeight() - 1 - y)[x];
}

// The raster bytes, padding included, in memory order.
inline std::vector<std::uint8_t> Raster(const tFulgoDib& bitmap) {
  const std::uint8_t* bits = dib::Bits(bitmap.Dib);
  return {bits, bits + bitmap.Stride() * bitmap.GetHeight()};
}

inline std::vector<std::uint8_t> Block(const tFulgoDib& bitmap) {
  return {bitmap.Dib, bitmap.Dib + bitmap.GetDibMemorySize()};
}

}  // namespace vantora::test
