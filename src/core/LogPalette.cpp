#include "core/LogPalette.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "base/Fultype.h"
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

bool IsBlack(const std::uint8_t* color) {
  return (color[0] | color[1] | color[2]) == 0;
}

bool IsStaticEntry(int index) {
  return index < kLowStaticEntries || index >= kHighStaticFirst;
}

static_assert(sizeof(host::PALETTEENTRY) == 4, "Entries are compared as bytes");

// The system palette (as given, or read now) with every non-black entry of Table in its place.
void LayEntries(const std::uint8_t* Table, const host::PALETTEENTRY* System, host::PALETTEENTRY* entries) {
  if (System)
    std::copy_n(System, kLogPaletteEntries, entries);
  else
    ReadSystemPalette(entries);
  for (int i = 0; i < kLogPaletteEntries; ++i) {
    const std::uint8_t* c = Table + 4 * i;
    if (IsBlack(c)) continue;
    entries[i] = host::PALETTEENTRY{c[2], c[1], c[0], IsStaticEntry(i) ? host::BYTE{0} : host::PC_NOCOLLAPSE};
  }
}

// Whether Palette has exactly these entries, no more and no fewer.
bool HasEntries(host::HPALETTE Palette, const std::array<host::PALETTEENTRY, kLogPaletteEntries>& entries) {
  if (!Palette || host::GetPaletteEntries(Palette, 0, 0, nullptr) != kLogPaletteEntries) return false;
  std::array<host::PALETTEENTRY, kLogPaletteEntries> held;
  host::GetPaletteEntries(Palette, 0, kLogPaletteEntries, held.data());
  return std::memcmp(held.data(), entries.data(), sizeof held) == 0;
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
  const MemBlock record = NewRecord();
  auto* logical = new (record.get()) host::LOGPALETTE{host::PALETTE_VERSION, kLogPaletteEntries, {}};
  std::copy(entries.begin(), entries.end(),
            reinterpret_cast<host::PALETTEENTRY*>(record.get() + kLogPaletteEntriesOffset));
  host::Owned<host::HPALETTE> palette(host::CreatePalette(logical));
  if (!palette) throw EPaletCreatFail(FailMessage);
  return palette;
}

}  // namespace vantora
