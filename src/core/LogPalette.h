// The logical palettes the library makes of a colour table: 256 entries laid over the display's
// system palette, so that realising one leaves the static colours where they are. The bitmap and
// the palette builder both make theirs here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "VantoraExport.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora {

// A LOGPALETTE record of the library: version word, entry count 256, then the entries.
inline constexpr host::WORD kLogPaletteEntries = 256;
inline constexpr std::size_t kLogPaletteEntriesOffset = offsetof(host::LOGPALETTE, palPalEntry);
// The block taken for a record: room for the 256 entries and one spare.
inline constexpr std::size_t kLogPaletteBytes = 1032;
static_assert(kLogPaletteBytes >= kLogPaletteEntriesOffset + kLogPaletteEntries * sizeof(host::PALETTEENTRY));

// The system's static colours sit at entries 0..9 and 246..255; the 236 between are free.
inline constexpr int kLowStaticEntries = 10;
inline constexpr int kHighStaticFirst = 246;

// The 256 entries of the system palette; EPaletCreatFail when they cannot be read.
void ReadSystemPalette(host::PALETTEENTRY* Entries);

// The current system palette with every non-black entry of Table (256 entries in colour-table
// order: blue, green, red, reserved) put in its place. The free entries are marked PC_NOCOLLAPSE so
// that each gets a system entry of its own even when it equals a static colour. The record comes
// from mGETMEM; without memory for it raises ECantCreatPal "Palette could not be created - Out of
// memory", and EPaletCreatFail when the system palette cannot be read or the drawing layer refuses
// the palette (then with FailMessage).
host::Owned<host::HPALETTE> MakeLogPalette(const std::uint8_t* Table, const char* FailMessage);
// The same over System, the 256 entries of the system palette as a caller has just read them.
host::Owned<host::HPALETTE> MakeLogPalette(const std::uint8_t* Table, const host::PALETTEENTRY* System,
                                           const char* FailMessage);
// The same, but Held is kept when it already has exactly the entries the new palette would get: a
// face painted again in the same colours keeps the palette a window may have realised.
host::Owned<host::HPALETTE> MakeLogPalette(host::Owned<host::HPALETTE> Held, const std::uint8_t* Table,
                                           const host::PALETTEENTRY* System, const char* FailMessage);

// A palette of its own with the 256 entries of Palette; EPaletCreatFail (with FailMessage) when
// Palette has not 256 entries or the drawing layer refuses the copy.
host::Owned<host::HPALETTE> CopyLogPalette(host::HPALETTE Palette, const char* FailMessage);

}  // namespace vantora
VANTORA_API_END
