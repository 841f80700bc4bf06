// Byte primitives over 8-bit rasters. Rows are padded to 4 bytes and the padding is processed like
// pixels, so most primitives treat a raster as one run of stride x height bytes. None allocates.
#pragma once

#include <cstdint>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

// Writes Value into Count bytes from Dest; nothing for Count < 1.
void SetMem(void* Dest, std::uint8_t Value, std::int32_t Count);
// Copies Count bytes, lowest address first (an overlapping copy to a higher address repeats the
// leading bytes, as a forward byte copy does).
void CopyMem(void* Dest, const void* Source, std::uint16_t Count);
// In the raster of a DIB block (size from its 32-bit width and height fields) every OldIndex byte
// becomes NewIndex. A raster of zero bytes raises EFulgoError "Bitmap size is zero".
void SetColorPixel(void* Dib, std::uint8_t NewIndex, std::uint8_t OldIndex);
// In the raster of a DIB block every byte that differs from KeepIndex becomes NewIndex.
void BrushObject(void* Dib, std::uint8_t NewIndex, std::uint8_t KeepIndex);
// Two rasters of the same size: every Target byte that differs from Transparent takes the Source
// byte at the same position.
void ColorizeText(void* Target, const void* Source, std::uint16_t Width, std::uint16_t Height,
                  std::uint8_t Transparent);
// Nearest-neighbour scaling in 16.16 fixed point, biased by half a source pixel so the last
// destination pixel lands on the last source pixel. A destination side of 1 takes the first source
// column or row; a side of 0 on either raster does nothing. Row padding of Dest is not written.
void Stretch(const void* Source, void* Dest, std::uint16_t SrcWidth, std::uint16_t SrcHeight,
             std::uint16_t DstWidth, std::uint16_t DstHeight);
// 16.16 step between the source positions of neighbouring destination pixels of a Stretch: pixel i
// of the destination shows source pixel (i * step) >> 16.
std::uint32_t StretchStep(std::uint16_t SrcWidth, std::uint16_t DstWidth);
// The source pixels a Stretch of Source to DstWidth x DstHeight picks: pixel (i, j) of the destination,
// memory rows, shows Rows[j][Columns[i]]. Rows equal to the row before share its pointer. Both sides
// of the source are at least 1.
void StretchGrid(const void* Source, std::uint16_t SrcWidth, std::uint16_t SrcHeight, std::uint16_t DstWidth,
                 std::uint16_t DstHeight, std::vector<std::int32_t>& Columns,
                 std::vector<const std::uint8_t*>& Rows);
// ColorizeText over a Stretch of Source to DstWidth x DstHeight, in one pass and through Map: every
// Target byte that differs from Transparent takes Map[the Source pixel Stretch puts there], and the
// row padding becomes Transparent, as it is in a transparent stretched copy. A source side of 0 leaves
// every byte Transparent.
void StretchThrough(const void* Source, void* Target, std::uint16_t SrcWidth, std::uint16_t SrcHeight,
                    std::uint16_t DstWidth, std::uint16_t DstHeight, const std::uint8_t* Map,
                    std::uint8_t Transparent);
// The painting of StretchThrough over source pixels picked in advance: every Target byte of row j
// and column i that differs from Transparent takes Map[Rows[j][Columns[i]]], and the row padding
// becomes Transparent. Rows that repeat a pointer are sampled once.
void SampleThrough(const std::uint8_t* const* Rows, const std::int32_t* Columns, void* Target,
                   std::uint16_t DstWidth, std::uint16_t DstHeight, const std::uint8_t* Map,
                   std::uint8_t Transparent);

}  // namespace vantora
VANTORA_API_END
