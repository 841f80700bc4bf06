#include "host/classes/Convert.h"

#include <string>

#include "host/classes/Errors.h"

namespace vantora::host {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool TryStrToInt(std::string_view s, std::int32_t& value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == s.size()) return false;

  // Magnitudes are collected in 64 bits; the limits below keep them from overflowing.
  std::uint64_t magnitude = 0;
  if (hex) {
    if (s.size() - i > 8) return false;
    for (; i < s.size(); ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      magnitude = magnitude * 16 + static_cast<std::uint64_t>(d);
    }
    const auto bits = static_cast<std::uint32_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    return true;
  }
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(s[i] - '0');
    if (magnitude > limit) return false;
  }
  value = negative ? static_cast<std::int32_t>(0 - static_cast<std::int64_t>(magnitude))
                   : static_cast<std::int32_t>(magnitude);
  return true;
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t def) {
  std::int32_t value = 0;
  return TryStrToInt(s, value) ? value : def;
}

std::int32_t StrToInt(std::string_view s) {
  std::int32_t value = 0;
  if (!TryStrToInt(s, value)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return value;
}

}  // namespace vantora::host
