#include "host/classes/Types.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TAlignment) {
  static const TEnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
  return info;
}

}  // namespace vantora::host
