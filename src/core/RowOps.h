// Byte loops shared by the pixel primitives and the compositing of the image core. Each handles a
// run of bytes in wide vector steps, so the rasters move at memory speed. Runs given to one call
// must not overlap: the last step may read and write bytes of the run a second time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::rowops {

// Every byte equal to From becomes To.
void ReplaceByte(std::uint8_t* p, std::size_t n, std::uint8_t from, std::uint8_t to);
// Every byte that differs from Keep becomes To.
void PaintExcept(std::uint8_t* p, std::size_t n, std::uint8_t keep, std::uint8_t to);
// Every byte equal to Key becomes Hit, every other byte Miss.
void SplitByte(std::uint8_t* p, std::size_t n, std::uint8_t key, std::uint8_t hit, std::uint8_t miss);
// Every Dest byte that differs from Key takes the Source byte at the same position.
void FillThrough(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key);
// Every Source byte that differs from Key overwrites the Dest byte at the same position.
void CopyExcept(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key);
// Every Dest byte whose Flags byte is not zero becomes To.
void PaintWhere(std::uint8_t* d, const std::uint8_t* flags, std::size_t n, std::uint8_t to);
// Dest takes Upper's byte, or Lower's where Upper holds Key.
void Merge(std::uint8_t* d, const std::uint8_t* upper, const std::uint8_t* lower, std::size_t n,
           std::uint8_t key);

// Dest becomes the first TileWidth bytes of Tile repeated over N bytes.
void RepeatTile(std::uint8_t* d, std::size_t n, const std::uint8_t* tile, std::size_t tileWidth);

}  // namespace vantora::rowops
VANTORA_API_END
