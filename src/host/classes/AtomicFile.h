// The one way files are written: whole or not at all.
#pragma once

#include <cstddef>
#include <string>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Writes Size bytes as the whole content of the file at Path. The bytes go to a temporary file beside
// the target; every write and the close are checked, the data is synced, and the temporary file is
// renamed over the target, which keeps its permission bits (a symbolic link keeps pointing at the
// file it names). On any failure the temporary file is removed, the old file is left byte for byte as
// it was, and EFCreateError names the path and the system's reason. A target that exists but is not a
// regular file (a device, a pipe) is written in place, with the same checks.
void WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

}  // namespace vantora::host
VANTORA_API_END
