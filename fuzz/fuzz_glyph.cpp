// Feeds arbitrary bytes to the glyph record reader. A record is either refused with one of the
// library's errors, leaving the glyph empty, or taken whole; a taken record writes back the same
// bytes, and no memory block outlives the glyph.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/Fuldib.h"
#include "core/uMemory.h"
#include "host/classes/Errors.h"
#include "host/classes/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  const std::int32_t before = nQuant;
  {
    host::TMemoryStream input;
    input.WriteBuffer(data, static_cast<std::int64_t>(size));
    input.SetPosition(0);
    tFulgoGlyph glyph;
    bool taken = true;
    try {
      glyph.LoadFromStream(input);
    } catch (const host::Exception&) {
      taken = false;
      if (!glyph.Empty() || glyph.HasDib) std::abort();
    }
    if (taken && !glyph.Empty()) {
      host::TMemoryStream output;
      glyph.SaveToStream(output);
      // Everything up to the terminator's tag comes back unchanged, except the second length byte
      // of "DIB1" (which the reader skips) and the terminator's text (which it does not compare).
      const auto consumed = static_cast<std::size_t>(input.Position());
      const std::size_t kept = output.Bytes().size() - 9 + 1;
      const std::uint8_t* written = output.Bytes().data();
      if (consumed < kept || std::memcmp(written, data, 2) != 0 ||
          std::memcmp(written + 3, data + 3, kept - 3) != 0)
        std::abort();
    }
  }
  if (nQuant != before) std::abort();
  return 0;
}
