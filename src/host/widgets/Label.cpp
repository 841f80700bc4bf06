#include "host/widgets/Label.h"

#include <algorithm>

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TTextLayout) {
  static const TEnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
  return info;
}

const TClass& TLabel::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TLabel>("TLabel", TGraphicControl::StaticClass())
          .Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify)
          .Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
          .Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
          .Property("Layout", &TLabel::Layout, &TLabel::SetLayout, tlTop)
          .Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
          .Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TLabel);

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 13);
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (control == focusControl_) return;
  if (focusControl_) RemoveFreeNotification(focusControl_);
  focusControl_ = control;
  if (control) FreeNotification(control);
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}

std::vector<std::string> TLabel::Lines() {
  HDC dc = GetDC(nullptr);
  std::vector<std::string> lines = StylePainter::TextLines(dc, Caption(), Font(), wordWrap_ ? Width() : 0);
  ReleaseDC(nullptr, dc);
  return lines;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  HDC dc = GetDC(nullptr);
  const int lineHeight = StylePainter::TextExtent(dc, "Ag", Font()).cy;
  int width = 0;
  const std::vector<std::string> lines = Lines();
  for (const std::string& line : lines)
    width = std::max<int>(width, StylePainter::TextExtent(dc, line, Font()).cx);
  ReleaseDC(nullptr, dc);
  const int height = lineHeight * static_cast<int>(lines.size());
  // A wrapping label keeps its width and grows downwards.
  if (wordWrap_)
    SetBounds(Left(), Top(), Width(), height);
  else
    SetBounds(alignment_ == taRightJustify ? Left() + Width() - width : Left(), Top(), width, height);
}

void TLabel::Paint() {
  HDC dc = Canvas().Handle();
  const RECT client = ClientRect();
  if (!transparent_) StylePainter::Fill(dc, client, Color());
  const int lineHeight = StylePainter::TextExtent(dc, "Ag", Font()).cy;
  const std::vector<std::string> lines = Lines();
  const int textHeight = lineHeight * static_cast<int>(lines.size());
  int y = 0;
  if (layout_ == tlCenter)
    y = (Height() - textHeight) / 2;
  else if (layout_ == tlBottom)
    y = Height() - textHeight;
  for (const std::string& line : lines) {
    StylePainter::Caption(dc, RECT{0, y, Width(), y + lineHeight}, line, Font(), alignment_, vaTop,
                          IsEnabledInTree());
    y += lineHeight;
  }
}

void TLabel::CMTextChanged(TMessage& message) {
  AdjustBounds();
  TGraphicControl::CMTextChanged(message);
}

void TLabel::CMFontChanged(TMessage& message) {
  TGraphicControl::CMFontChanged(message);
  AdjustBounds();
}

void TLabel::CMDialogChar(TMessage& message) {
  if (focusControl_ && IsAccel(static_cast<std::uint16_t>(message.WParam), Caption()) && IsShowing() &&
      focusControl_->CanFocus()) {
    message.Result = 1;
    focusControl_->SetFocus();
  }
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

}  // namespace vantora::host
