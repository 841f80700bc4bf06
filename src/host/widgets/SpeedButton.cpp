#include "host/widgets/SpeedButton.h"

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TClass& TSpeedButton::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TSpeedButton>("TSpeedButton", TGraphicControl::StaticClass())
          .Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
          .Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
          .Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
          .Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
          .Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TSpeedButton);

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  SetControlStyle(ControlStyle() | csOpaque);
  glyph_->OnChange = [this](TBitmap&) { Invalidate(); };
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (value == 0) SetDown(false);
}

void TSpeedButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
}

void TSpeedButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0 && !IsLoading()) value = false;
  if (value == down_) return;
  // The down button of a group comes up only when the group allows all up.
  if (down_ && !value && !allowAllUp_ && !IsLoading()) return;
  down_ = value;
  Invalidate();
  if (!value || !Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
      other->down_ = false;
      other->Invalidate();
    }
  }
}

void TSpeedButton::Click() {
  if (groupIndex_ != 0) SetDown(!down_);
  TGraphicControl::Click();
}

void TSpeedButton::Paint() {
  HDC dc = Canvas().Handle();
  const RECT client = ClientRect();
  const bool enabled = IsEnabledInTree();
  StylePainter::SpeedButtonFace(dc, client, flat_, pressed_, down_, hovered_ && enabled);
  const int shift = pressed_ || down_ ? 1 : 0;
  const SIZE text = Caption().empty() ? SIZE{0, 0} : StylePainter::TextExtent(dc, Caption(), Font());
  const int glyphWidth = glyph_->Empty() ? 0 : glyph_->Width();
  const int gap = glyphWidth && text.cx ? spacing_ : 0;
  const int left = (Width() - glyphWidth - gap - text.cx) / 2 + shift;
  if (glyphWidth) StylePainter::Glyph(dc, left, (Height() - glyph_->Height()) / 2 + shift, *glyph_, enabled);
  if (text.cx) {
    const int x = left + glyphWidth + gap, y = (Height() - text.cy) / 2 + shift;
    StylePainter::Caption(dc, RECT{x, y, x + text.cx, y + text.cy}, Caption(), Font(), taLeftJustify, vaTop,
                          enabled);
  }
}

void TSpeedButton::SetPressed(bool value) {
  if (value == pressed_) return;
  pressed_ = value;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left && IsEnabledInTree()) SetPressed(true);
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState() & csLButtonDown) {
    const RECT client = ClientRect();
    SetPressed(PtInRect(&client, POINT{x, y}) != FALSE);
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left) SetPressed(false);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::CMMouseEnter(TMessage& message) {
  hovered_ = true;
  if (flat_) Invalidate();
  TGraphicControl::CMMouseEnter(message);
}

void TSpeedButton::CMMouseLeave(TMessage& message) {
  hovered_ = false;
  if (flat_) Invalidate();
  TGraphicControl::CMMouseLeave(message);
}

void TSpeedButton::CMEnabledChanged(TMessage& message) {
  TGraphicControl::CMEnabledChanged(message);
  Invalidate();
}

void TSpeedButton::CMDialogChar(TMessage& message) {
  if (IsAccel(static_cast<std::uint16_t>(message.WParam), Caption()) && IsShowing() && IsEnabledInTree()) {
    message.Result = 1;
    Click();
    return;
  }
  TGraphicControl::CMDialogChar(message);
}

}  // namespace vantora::host
