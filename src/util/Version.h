#pragma once

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

// The library's version, "major.minor.patch".
const char* VersionString();

}  // namespace vantora
VANTORA_API_END
