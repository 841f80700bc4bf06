// A shape: a rectangle, square, rounded rectangle or square, ellipse or circle, filled with its
// Brush inside an outline of its Pen.
#pragma once

#include <functional>
#include <memory>

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
const TEnumInfo& TypeInfoOf(TBrushStyle);

// The fill of a shape.
class TShapeBrush : public TPersistent {
  VANTORA_PERSISTENT(TShapeBrush)
  TShapeBrush() = default;
  void Assign(const TPersistent* source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);
  std::function<void()> OnChange;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// The outline of a shape; a width of 0 draws none.
class TPen : public TPersistent {
  VANTORA_PERSISTENT(TPen)
  TPen() = default;
  void Assign(const TPersistent* source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Width() const { return width_; }
  void SetWidth(int value);
  std::function<void()> OnChange;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
};

enum TShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
const TEnumInfo& TypeInfoOf(TShapeType);

class TShape : public TGraphicControl {
  VANTORA_PERSISTENT(TShape)

  explicit TShape(TComponent* owner);
  ~TShape() override;

  TShapeBrush* Brush() const { return brush_.get(); }
  void SetBrush(TShapeBrush* value) { brush_->Assign(value); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* value) { pen_->Assign(value); }
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType value);

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TShapeBrush> brush_;
  std::unique_ptr<TPen> pen_;
  TShapeType shape_ = stRectangle;
};

}  // namespace vantora::host
VANTORA_API_END
