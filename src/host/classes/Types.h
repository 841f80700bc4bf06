// Small shared types of the framework.
#pragma once

#include <cstdint>
#include <functional>

#include "VantoraExport.h"
#include "host/classes/TypeInfo.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TPersistent;

// A change handler that is told who changed.
using TNotifyEvent = std::function<void(TPersistent* sender)>;

// Horizontal alignment of text or an object.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
const TEnumInfo& TypeInfoOf(TAlignment);

}  // namespace vantora::host
VANTORA_API_END
