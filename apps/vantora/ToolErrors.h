#pragma once

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantora::tool {

// A mistake in how the tool was called, reported with the usage hint.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Text from files reaches the terminal with its control characters shown as \xNN, so a name in a
// file cannot move the cursor or change colours.
inline std::string Printable(std::string_view text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

inline void ReportError(std::string_view message) {
  std::cerr << "vantora: error: " << Printable(message) << "\n";
}

}  // namespace vantora::tool
