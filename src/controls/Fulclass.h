// The classes of this layer, known by name to the component reader from the start of the program,
// whether or not the program refers to them.
#pragma once

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

void RegisterFulgoClasses();

}  // namespace vantora
VANTORA_API_END
