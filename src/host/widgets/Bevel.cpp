#include "host/widgets/Bevel.h"

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TBevelShape) {
  static const TEnumInfo info{
      "TBevelShape",
      {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
  return info;
}

const TEnumInfo& TypeInfoOf(TBevelStyle) {
  static const TEnumInfo info{"TBevelStyle", {"bsLowered", "bsRaised"}};
  return info;
}

const TClass& TBevel::StaticClass() {
  static const TClass& cls = ClassBuilder<TBevel>("TBevel", TGraphicControl::StaticClass())
                                 .Property("Shape", &TBevel::Shape, &TBevel::SetShape, bsBox)
                                 .Property("Style", &TBevel::Style, &TBevel::SetStyle, bsLowered)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TBevel);

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() & ~csOpaque);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (value == style_) return;
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  const bool raised = style_ == bsRaised;
  switch (shape_) {
    case bsBox:
      StylePainter::Bevel(dc, r, raised ? bvRaised : bvLowered, 1);
      return;
    case bsFrame:
      // Two nested frames of opposite sense make the etched look.
      StylePainter::EtchedFrame(dc, r, 0, 0);
      return;
    case bsTopLine:
      StylePainter::Line(dc, r, StylePainter::LineSide::Top, raised);
      return;
    case bsBottomLine:
      StylePainter::Line(dc, r, StylePainter::LineSide::Bottom, raised);
      return;
    case bsLeftLine:
      StylePainter::Line(dc, r, StylePainter::LineSide::Left, raised);
      return;
    case bsRightLine:
      StylePainter::Line(dc, r, StylePainter::LineSide::Right, raised);
      return;
    case bsSpacer:
      return;
  }
}

}  // namespace vantora::host
