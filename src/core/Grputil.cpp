#include "core/Grputil.h"

#include "host/Gdi.h"

namespace vantora {

TColor RGBToTColor(TColor Color) {
  const auto value = static_cast<std::uint32_t>(Color);
  if ((value & kSystemColorFlag) == 0) return Color;
  return static_cast<TColor>(host::GetSysColor(static_cast<int>(value & 0xFF)));
}

}  // namespace vantora
