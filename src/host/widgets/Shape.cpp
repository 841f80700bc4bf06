#include "host/widgets/Shape.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TBrushStyle) {
  static const TEnumInfo info{"TBrushStyle", {"bsSolid", "bsClear"}};
  return info;
}

const TEnumInfo& TypeInfoOf(TShapeType) {
  static const TEnumInfo info{
      "TShapeType", {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"}};
  return info;
}

const TClass& TShapeBrush::StaticClass() {
  static const TClass& cls = ClassBuilder<TShapeBrush>("TShapeBrush", TPersistent::StaticClass())
                                 .Property("Color", &TShapeBrush::Color, &TShapeBrush::SetColor, clWhite)
                                 .AsColor()
                                 .Property("Style", &TShapeBrush::Style, &TShapeBrush::SetStyle, bsSolid)
                                 .Build();
  return cls;
}

void TShapeBrush::Assign(const TPersistent* source) {
  const auto* brush = dynamic_cast<const TShapeBrush*>(source);
  if (!brush) return TPersistent::Assign(source);
  color_ = brush->color_;
  style_ = brush->style_;
  if (OnChange) OnChange();
}

void TShapeBrush::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  if (OnChange) OnChange();
}

void TShapeBrush::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  style_ = value;
  if (OnChange) OnChange();
}

const TClass& TPen::StaticClass() {
  static const TClass& cls = ClassBuilder<TPen>("TPen", TPersistent::StaticClass())
                                 .Property("Color", &TPen::Color, &TPen::SetColor, clBlack)
                                 .AsColor()
                                 .Property("Width", &TPen::Width, &TPen::SetWidth, 1)
                                 .Build();
  return cls;
}

void TPen::Assign(const TPersistent* source) {
  const auto* pen = dynamic_cast<const TPen*>(source);
  if (!pen) return TPersistent::Assign(source);
  color_ = pen->color_;
  width_ = pen->width_;
  if (OnChange) OnChange();
}

void TPen::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  if (OnChange) OnChange();
}

void TPen::SetWidth(int value) {
  value = std::clamp(value, 0, 1000);
  if (value == width_) return;
  width_ = value;
  if (OnChange) OnChange();
}

const TClass& TShape::StaticClass() {
  static const TClass& cls = ClassBuilder<TShape>("TShape", TGraphicControl::StaticClass())
                                 .Property("Brush", &TShape::Brush, &TShape::SetBrush)
                                 .Property("Pen", &TShape::Pen, &TShape::SetPen)
                                 .Property("Shape", &TShape::Shape, &TShape::SetShape, stRectangle)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TShape);

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), brush_(std::make_unique<TShapeBrush>()), pen_(std::make_unique<TPen>()) {
  SetControlStyle(ControlStyle() & ~csOpaque);
  brush_->OnChange = [this] { Invalidate(); };
  pen_->OnChange = [this] { Invalidate(); };
  SetBounds(0, 0, 65, 65);
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType value) {
  if (value == shape_) return;
  shape_ = value;
  Invalidate();
}

void TShape::Paint() {
  RECT r = ClientRect();
  // Squares and circles take the shorter side, centred.
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    const int side = std::min(Width(), Height());
    r.left = (Width() - side) / 2;
    r.top = (Height() - side) / 2;
    r.right = r.left + side;
    r.bottom = r.top + side;
  }
  const auto kind = shape_ == stEllipse || shape_ == stCircle          ? StylePainter::ShapeKind::Ellipse
                    : shape_ == stRoundRect || shape_ == stRoundSquare ? StylePainter::ShapeKind::RoundRect
                                                                       : StylePainter::ShapeKind::Rectangle;
  StylePainter::Shape(Canvas().Handle(), r, kind, brush_->Style() == bsClear ? clNone : brush_->Color(),
                      pen_->Color(), pen_->Width());
}

}  // namespace vantora::host
