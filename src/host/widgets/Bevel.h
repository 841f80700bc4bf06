// A bevel: a lowered or raised box, frame or line, for grouping controls without a container.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TBevelShape : std::uint8_t {
  bsBox,
  bsFrame,
  bsTopLine,
  bsBottomLine,
  bsLeftLine,
  bsRightLine,
  bsSpacer
};
const TEnumInfo& TypeInfoOf(TBevelShape);
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };
const TEnumInfo& TypeInfoOf(TBevelStyle);

class TBevel : public TGraphicControl {
  VANTORA_PERSISTENT(TBevel)

  explicit TBevel(TComponent* owner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

}  // namespace vantora::host
VANTORA_API_END
