// The classes of this layer, known by name to the component reader from the start of the program,
// whether or not the program refers to them.
#pragma once

namespace vantora {

void RegisterFulgoClasses();

}  // namespace vantora
