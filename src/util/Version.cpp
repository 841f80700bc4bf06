#include "util/Version.h"

namespace vantora {

const char* VersionString() { return VANTORA_VERSION; }

}  // namespace vantora
