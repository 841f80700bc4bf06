#include "host/widgets/ButtonControl.h"

namespace vantora::host {

const TClass& TButtonControl::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TButtonControl>("TButtonControl", TCustomControl::StaticClass())
          .Property("Alignment", &TButtonControl::Alignment, &TButtonControl::SetAlignment, taRightJustify)
          .Build();
  return cls;
}

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  // A state change fires OnClick; the mouse's own click events would fire it a second time.
  SetControlStyle((ControlStyle() & ~(csAcceptsControls | csDoubleClicks | csClickEvents)) | csOpaque);
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TButtonControl::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TButtonControl::Paint() {
  HDC dc = Canvas().Handle();
  const RECT client = ClientRect();
  StylePainter::Fill(dc, client, Color());
  const int markTop = (Height() - StylePainter::kCheckSize) / 2;
  const bool markLeft = alignment_ != taLeftJustify;
  const int markX = markLeft ? 0 : Width() - StylePainter::kCheckSize;
  PaintMark(dc, markX, markTop, pressed_);
  const SIZE extent = StylePainter::TextExtent(dc, Caption(), Font());
  const int textLeft = markLeft ? StylePainter::kCheckSize + 4 : 1;
  const int textTop = (Height() - extent.cy) / 2;
  const RECT text{textLeft, textTop, std::min<int>(textLeft + extent.cx, Width() - (markLeft ? 0 : 17)),
                  textTop + extent.cy};
  StylePainter::Caption(dc, text, Caption(), Font(), taLeftJustify, vaTop, IsEnabledInTree());
  if (Focused() && !Caption().empty())
    StylePainter::FocusRect(dc, RECT{text.left - 1, text.top - 1, text.right + 1, text.bottom + 1});
}

void TButtonControl::SetPressed(bool value) {
  if (value == pressed_) return;
  pressed_ = value;
  Invalidate();
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // A radio button of a group is no tab stop, yet a click gives it the focus.
  if (button == TMouseButton::Left && !Focused() && CanFocus()) SetFocus();
  if (button == TMouseButton::Left) SetPressed(true);
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButtonControl::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState() & csLButtonDown) {
    const RECT client = ClientRect();
    SetPressed(PtInRect(&client, POINT{x, y}) != FALSE);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TButtonControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool toggle = button == TMouseButton::Left && pressed_;
  if (button == TMouseButton::Left) SetPressed(false);
  TCustomControl::MouseUp(button, shift, x, y);
  if (toggle) Toggle();
}

void TButtonControl::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE) {
    SetPressed(true);
    key = 0;
  }
}

void TButtonControl::KeyUp(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == VK_SPACE && pressed_) {
    SetPressed(false);
    key = 0;
    Toggle();
  }
}

void TButtonControl::CMDialogChar(TMessage& message) {
  if (IsAccel(static_cast<std::uint16_t>(message.WParam), Caption()) && IsShowing() && IsEnabledInTree()) {
    message.Result = 1;
    if (CanFocus()) SetFocus();
    Toggle();
    return;
  }
  TCustomControl::CMDialogChar(message);
}

void TButtonControl::WndProc(TMessage& message) {
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) {
    if (message.Msg == WM_KILLFOCUS) pressed_ = false;
    Invalidate();
  }
  TCustomControl::WndProc(message);
}

}  // namespace vantora::host
