// Colour resolution of host colour values, and the capture of a device bitmap into a DIB block. A
// value with the high bit set (0x80000000 + n) names system colour n and resolves to its RGB value;
// any other value is already a colour.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "core/uMemory.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora {

// A host colour value: red in the low byte (0x00BBGGRR), or a system colour.
using host::TColor;

inline constexpr std::uint32_t kSystemColorFlag = static_cast<std::uint32_t>(host::clSystemColor);

// Resolves a system colour to its RGB value (the host's system colour table: button face light
// grey, window white, highlight navy...); other values are returned unchanged.
TColor RGBToTColor(TColor Color);

// Byte stride of a row of Bits bits, rounded up to 4 bytes.
constexpr std::uint32_t ScanlineBytes(std::uint32_t Bits) {
  return ((Bits + 31) / 32) * 4;
}

// Describes Bitmap at the depth Colors selects: 2 = 1 bit, 16 = 4 bits, 256 = 8 bits, anything else
// the bitmap's own depth, where 16 and 32 bits become 24. No colours are declared in use and the
// resolutions are 0. A bitmap the drawing layer does not know raises EInvalidGraphic "Invalid Bitmap".
void FillInfoHeader(host::HBITMAP Bitmap, host::BITMAPINFOHEADER& Header, std::int32_t Colors);
// The bytes of the header with its colour table, and of the rows.
void MeasureDib(const host::BITMAPINFOHEADER& Header, std::int32_t& HeaderSize, std::int32_t& ImageSize);
// Reads every row of Bitmap, through Palette when one is given, into Rows, and the header with its
// colour table into Header (HeaderSize bytes as MeasureDib has them). Header need not be aligned.
// Answers whether the drawing layer delivered the rows.
bool ReadDibBits(host::HBITMAP Bitmap, host::HPALETTE Palette, void* Header, void* Rows, std::int32_t Colors);
// A new block holding a BMP file image of Bitmap (file header, info header, colour table, rows),
// Size bytes long; with Colors = 256 it has the layout of the library's DIB blocks. The caller
// releases it with mFREE. A null bitmap raises EInvalidGraphic "Invalid Bitmap".
std::uint8_t* DIBFromBit(host::HBITMAP Bitmap, host::HPALETTE Palette, std::int32_t Colors,
                         std::int32_t& Size);
// DIBFromBit with the block in an owner.
MemBlock DIBFromBitOwned(host::HBITMAP Bitmap, host::HPALETTE Palette, std::int32_t Colors,
                         std::int32_t& Size);

}  // namespace vantora
VANTORA_API_END
