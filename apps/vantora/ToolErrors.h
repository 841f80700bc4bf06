#pragma once

#include <stdexcept>
#include <string>

namespace vantora::tool {

// A mistake in how the tool was called, reported with the usage hint.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vantora::tool
