// Layout of a DIB block: the in-memory image of an 8-bit BMP file (file header, info header,
// 256-entry colour table, bottom-up rows). Blocks come from mGETMEM and are only 2-byte aligned, so
// every field is read and written through byte copies, little-endian.
#pragma once

#include <cstdint>
#include <cstring>

#include "VantoraExport.h"
#include "util/Gen.h"

VANTORA_API_BEGIN
namespace vantora::dib {

inline constexpr std::uint32_t kFileHeaderSize = 14;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kColorTableOffset = 54;
inline constexpr std::uint32_t kColorTableSize = 1024;
inline constexpr std::uint32_t kBitsOffset = 1078;

// Field offsets from the start of the block.
inline constexpr std::uint32_t kType = 0;
inline constexpr std::uint32_t kFileSize = 2;
inline constexpr std::uint32_t kOffBits = 10;
inline constexpr std::uint32_t kHeaderSize = 14;
inline constexpr std::uint32_t kWidth = 18;
inline constexpr std::uint32_t kHeight = 22;
inline constexpr std::uint32_t kPlanes = 26;
inline constexpr std::uint32_t kBitCount = 28;
inline constexpr std::uint32_t kCompression = 30;
inline constexpr std::uint32_t kSizeImage = 34;
inline constexpr std::uint32_t kClrUsed = 46;

// Largest width or height of a bitmap (the size types TWidth and THeight).
inline constexpr std::uint32_t kMaxSide = 32048;

// Align for the unsigned sizes of the block headers.
constexpr std::uint32_t RowStride(std::uint32_t width) {
  return static_cast<std::uint32_t>(Align(static_cast<std::int32_t>(width)));
}

inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The library reads the low 16 bits of the 32-bit size fields as unsigned sizes.
inline std::uint16_t Width(const std::uint8_t* block) {
  return Get16(block + kWidth);
}
inline std::uint16_t Height(const std::uint8_t* block) {
  return Get16(block + kHeight);
}
inline std::uint8_t* Bits(std::uint8_t* block) {
  return block + kBitsOffset;
}
inline const std::uint8_t* Bits(const std::uint8_t* block) {
  return block + kBitsOffset;
}
inline std::uint8_t* ColorTable(std::uint8_t* block) {
  return block + kColorTableOffset;
}
inline const std::uint8_t* ColorTable(const std::uint8_t* block) {
  return block + kColorTableOffset;
}

// Writes the headers of an 8-bit block of Width x Height and the fresh colour table: all black,
// entry 255 white. The rows are left to the caller.
inline void WriteHeaders(std::uint8_t* block, std::uint16_t width, std::uint16_t height) {
  const std::uint32_t image = RowStride(width) * height;
  std::memset(block, 0, kBitsOffset);
  Put16(block + kType, 0x4D42);
  Put32(block + kFileSize, image + kBitsOffset);
  Put32(block + kOffBits, kBitsOffset);
  Put32(block + kHeaderSize, kInfoHeaderSize);
  Put32(block + kWidth, width);
  Put32(block + kHeight, height);
  Put16(block + kPlanes, 1);
  Put16(block + kBitCount, 8);
  Put32(block + kSizeImage, image);
  Put32(block + kClrUsed, 256);
  std::memset(ColorTable(block) + 255 * 4, 0xFF, 3);
}

}  // namespace vantora::dib
VANTORA_API_END
