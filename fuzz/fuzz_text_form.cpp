// Feeds text to the text-form parser; a parsed stream must print and parse back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/classes/TextForm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const std::string binary = vantora::host::ObjectTextToBinary(text);
    if (vantora::host::ObjectTextToBinary(vantora::host::ObjectBinaryToText(binary)) != binary) __builtin_trap();
  } catch (const vantora::host::Exception&) {
  }
  return 0;
}
