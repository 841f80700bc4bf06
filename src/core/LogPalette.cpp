#include "core/LogPalette.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "base/Fultype.h"
#include "core/DibLayout.h"
#include "core/uMemory.h"
#include "host/classes/Errors.h"
#include "host/graphics/Gdi.h"

namespace vantora {

namespace {

MemBlock NewRecord() {
  try {
    return GetMemBlock(static_cast<std::int32_t>(kLogPaletteBytes));
  } catch (const host::EOutOfMemory&) {
    throw ECantCreatPal("Palette could not be created - Out of memory");
  }
}

static_assert(sizeof(host::PALETTEENTRY) == 4 && std::endian::native == std::endian::little,
              "Entries are laid and compared as 32-bit values");

// Entries From..To of Table laid over Entries with Flags; a black table entry leaves its entry as
// it is. One 32-bit select per entry, so the loop runs in vector lanes.
void LayRange(const std::uint8_t* Table, host::PALETTEENTRY* Entries, int From, int To, host::BYTE Flags) {
  for (int i = From; i < To; ++i) {
    const std::uint32_t colour = dib::Get32(Table + 4 * i) & 0x00FFFFFFu;  // blue in the low byte
    const std::uint32_t made = (colour >> 16) | (colour & 0xFF00u) | (colour & 0xFFu) << 16 |
                               std::uint32_t{Flags} << 24;  // red in the low byte
    std::uint32_t entry;
    std::memcpy(&entry, Entries + i, sizeof entry);
    entry = colour == 0 ? entry : made;
    std::memcpy(Entries + i, &entry, sizeof entry);
  }
}

// The system palette (as given, or read now) with every non-black entry of Table in its place.
void LayEntries(const std::uint8_t* Table, const host::PALETTEENTRY* System, host::PALETTEENTRY* entries) {
  if (System)
    std::copy_n(System, kLogPaletteEntries, entries);
  else
    ReadSystemPalette(entries);
  LayRange(Table, entries, 0, kLowStaticEntries, 0);
  LayRange(Table, entries, kLowStaticEntries, kHighStaticFirst, host::PC_NOCOLLAPSE);
  LayRange(Table, entries, kHighStaticFirst, kLogPaletteEntries, 0);
}

// Whether Palette has exactly these entries, no more and no fewer.
bool HasEntries(host::HPALETTE Palette, const std::array<host::PALETTEENTRY, kLogPaletteEntries>& entries) {
  if (!Palette || host::GetPaletteEntries(Palette, 0, 0, nullptr) != kLogPaletteEntries) return false;
  std::array<host::PALETTEENTRY, kLogPaletteEntries> held;
  host::GetPaletteEntries(Palette, 0, kLogPaletteEntries, held.data());
  return std::memcmp(held.data(), entries.data(), sizeof held) == 0;
}

host::Owned<host::HPALETTE> CreateFromEntries(
    const std::array<host::PALETTEENTRY, kLogPaletteEntries>& entries, const char* FailMessage) {
  const MemBlock record = NewRecord();
  auto* logical = new (record.get()) host::LOGPALETTE{host::PALETTE_VERSION, kLogPaletteEntries, {}};
  std::copy(entries.begin(), entries.end(),
            reinterpret_cast<host::PALETTEENTRY*>(record.get() + kLogPaletteEntriesOffset));
  host::Owned<host::HPALETTE> palette(host::CreatePalette(logical));
  if (!palette) throw EPaletCreatFail(FailMessage);
  return palette;
}

}  // namespace

void ReadSystemPalette(host::PALETTEENTRY* Entries) {
  // The null context is the screen's: reading needs no context of its own.
  if (host::GetSystemPaletteEntries(nullptr, 0, kLogPaletteEntries, Entries) != kLogPaletteEntries)
    throw EPaletCreatFail("System palette could not be read");
}

host::Owned<host::HPALETTE> MakeLogPalette(const std::uint8_t* Table, const char* FailMessage) {
  return MakeLogPalette(Table, nullptr, FailMessage);
}

host::Owned<host::HPALETTE> MakeLogPalette(const std::uint8_t* Table, const host::PALETTEENTRY* System,
                                           const char* FailMessage) {
  return MakeLogPalette(host::Owned<host::HPALETTE>{}, Table, System, FailMessage);
}

host::Owned<host::HPALETTE> MakeLogPalette(host::Owned<host::HPALETTE> Held, const std::uint8_t* Table,
                                           const host::PALETTEENTRY* System, const char* FailMessage) {
  std::array<host::PALETTEENTRY, kLogPaletteEntries> entries;
  LayEntries(Table, System, entries.data());
  if (HasEntries(Held.get(), entries)) return Held;
  Held.reset();
  return CreateFromEntries(entries, FailMessage);
}

host::Owned<host::HPALETTE> CopyLogPalette(host::HPALETTE Palette, const char* FailMessage) {
  std::array<host::PALETTEENTRY, kLogPaletteEntries> entries;
  if (host::GetPaletteEntries(Palette, 0, kLogPaletteEntries, entries.data()) != kLogPaletteEntries)
    throw EPaletCreatFail(FailMessage);
  return CreateFromEntries(entries, FailMessage);
}

}  // namespace vantora
