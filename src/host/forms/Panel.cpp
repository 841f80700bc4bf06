#include "host/forms/Panel.h"

#include <algorithm>

namespace vantora::host {

const TClass& TCustomPanel::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCustomPanel>("TCustomPanel", TCustomControl::StaticClass())
          .Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, taCenter)
          .Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bvNone)
          .Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bvRaised)
          .Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
          .Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, bsNone)
          .Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TCustomPanel);

const TClass& TPanel::StaticClass() {
  static const TClass& cls = ClassBuilder<TPanel>("TPanel", TCustomPanel::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPanel);

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Relayout();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Relayout();
}

void TCustomPanel::SetBevelWidth(int value) {
  value = std::clamp(value, 1, 100);
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  Relayout();
}

void TCustomPanel::SetBorderWidth(int value) {
  value = std::clamp(value, 0, 100);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Relayout();
}

void TCustomPanel::SetBorderStyle(TFormBorderStyle value) {
  value = value == bsNone ? bsNone : bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Relayout();
}

void TCustomPanel::Relayout() {
  Realign();
  Invalidate();
}

RECT TCustomPanel::AlignArea() const {
  RECT r = ClientRect();
  int inset = borderWidth_ + (borderStyle_ == bsSingle ? 1 : 0);
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  InflateRect(&r, -inset, -inset);
  return r;
}

void TCustomPanel::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  if (borderStyle_ == bsSingle)
    StylePainter::Frame3D(dc, r, clSystemColor | COLOR_WINDOWFRAME, clSystemColor | COLOR_WINDOWFRAME, 1);
  StylePainter::Bevel(dc, r, bevelOuter_, bevelWidth_);
  StylePainter::Frame3D(dc, r, Color(), Color(), borderWidth_);
  StylePainter::Bevel(dc, r, bevelInner_, bevelWidth_);
  StylePainter::Fill(dc, r, Color());
  InflateRect(&r, -2, 0);
  StylePainter::Caption(dc, r, Caption(), Font(), alignment_, vaCenter, IsEnabledInTree());
}

}  // namespace vantora::host
