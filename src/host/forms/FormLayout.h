// A form's layout built into the program as the text of a form stream.
#pragma once

#include <cstdint>
#include <string_view>

#include "VantoraExport.h"
#include "host/classes/Stream.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Reads the layout into the form as ReadFromStream does from a file.
inline void ReadFormLayout(TCustomForm& form, std::string_view layout) {
  TMemoryStream stream;
  stream.WriteBuffer(layout.data(), static_cast<std::int64_t>(layout.size()));
  stream.SetPosition(0);
  form.ReadFromStream(stream);
}

}  // namespace vantora::host
VANTORA_API_END
