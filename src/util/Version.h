#pragma once

namespace vantora {

// The library's version, "major.minor.patch".
const char* VersionString();

}  // namespace vantora
