// The framework's strict string-to-integer conversion, shared by the settings file and the helpers.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantora::host {

// Accepts leading spaces, an optional sign, then decimal digits, or hexadecimal digits after "$" or
// "0x". Anything else (trailing text, an empty number, a decimal value outside 32 bits, more than
// eight hexadecimal digits) fails. Hexadecimal values use all 32 bits, so "$FFFFFFFF" is -1.
bool TryStrToInt(std::string_view s, std::int32_t& value);
std::int32_t StrToIntDef(std::string_view s, std::int32_t def);
// The same conversion; what fails raises EConvertError "'<s>' is not a valid integer value".
std::int32_t StrToInt(std::string_view s);

}  // namespace vantora::host
