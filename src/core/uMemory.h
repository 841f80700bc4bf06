// The block allocator of the library. Every DIB block, colour table and scratch array comes from
// here: small blocks (up to 61440 bytes) from the heap behind a 16-bit size prefix, large ones
// zero-filled and listed in the registry MemControl. nQuant counts the live blocks of both kinds, so
// a leak of any block shows as a count that does not return. A few freed large blocks are kept for
// the next requests of about their size: a face renders the same sizes at every render, and memory
// new from the system costs a page fault per page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

// Requests up to this size are small blocks.
inline constexpr std::int32_t kSmallBlockLimit = 0xF000;

// Number of live blocks.
extern std::int32_t nQuant;

// Raises EOutOfMemory "Not enough memory" when the block cannot be had (or Size is negative).
void* mGETMEM(std::int32_t Size);
// Raises EOutOfMemory "Attempt free dont allocated memory" for an address that is not a live
// block, leaving the heap and nQuant untouched.
void mFREE(void* Address);
// Resizes a block, keeping its contents up to the smaller size; a large block's new bytes are
// zero. An address that is not a live block raises as mFREE does, before anything is allocated.
void* mREALLOC(void* Address, std::int32_t NewSize);

// The addresses of the live large blocks, oldest first.
const std::vector<void*>& MemControl();

struct MemBlockFree {
  void operator()(void* Address) const { mFREE(Address); }
};

// Owns one block from mGETMEM and gives it back through mFREE on every path, an exception
// included. Move-only; release() hands the block over to whoever owns it next (a tFulgoDib takes
// one with AdoptBlock).
using MemBlock = std::unique_ptr<std::uint8_t[], MemBlockFree>;

// mGETMEM(Size) in an owner; raises as mGETMEM does.
MemBlock GetMemBlock(std::int32_t Size);
// The same without zero-filling a large block, for a caller that writes every byte before any is
// read.
MemBlock GetUnclearedBlock(std::int32_t Size);

// The freed large blocks kept for reuse, and their bytes.
std::size_t SpareBlockCount();
std::size_t SpareBlockBytes();

}  // namespace vantora
VANTORA_API_END
