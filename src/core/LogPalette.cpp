#include "core/LogPalette.h"

#include <algorithm>
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
  const MemBlock record = NewRecord();
  auto* logical = new (record.get()) host::LOGPALETTE{host::PALETTE_VERSION, kLogPaletteEntries, {}};
  auto* entries = reinterpret_cast<host::PALETTEENTRY*>(record.get() + kLogPaletteEntriesOffset);
  if (System)
    std::copy_n(System, kLogPaletteEntries, entries);
  else
    ReadSystemPalette(entries);
  for (int i = 0; i < kLogPaletteEntries; ++i) {
    const std::uint8_t* c = Table + 4 * i;
    if (IsBlack(c)) continue;
    entries[i] = host::PALETTEENTRY{c[2], c[1], c[0], IsStaticEntry(i) ? host::BYTE{0} : host::PC_NOCOLLAPSE};
  }
  host::Owned<host::HPALETTE> palette(host::CreatePalette(logical));
  if (!palette) throw EPaletCreatFail(FailMessage);
  return palette;
}

}  // namespace vantora
