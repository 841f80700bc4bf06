#include "host/forms/Button.h"

#include "host/forms/StylePainter.h"
#include "host/forms/WindowSystem.h"

namespace vantora::host {

const TClass& TButton::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TButton>("TButton", TCustomControl::StaticClass())
          .Property("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
          .Property("Default", &TButton::Default, &TButton::SetDefault, false)
          .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TButton);

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle((ControlStyle() & ~csAcceptsControls) | csOpaque);
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  Invalidate();
}

void TButton::Click() {
  // The result is set before the handler runs, so the handler can still take it back.
  if (modalResult_ != mrNone)
    if (TCustomForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TCustomControl::Click();
}

void TButton::Paint() {
  StylePainter::ButtonFace(Canvas().Handle(), ClientRect(), Caption(), Font(), pressed_, Focused(),
                           IsEnabledInTree(), default_);
}

void TButton::SetPressed(bool value) {
  if (value == pressed_) return;
  pressed_ = value;
  Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left) SetPressed(true);
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState() & csLButtonDown) {
    const RECT client = ClientRect();
    SetPressed(PtInRect(&client, POINT{x, y}) != FALSE);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left) SetPressed(false);
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE || key == VK_RETURN) {
    key = 0;
    Click();
  }
}

void TButton::CMDialogKey(TMessage& message) {
  const auto key = static_cast<std::uint16_t>(message.WParam);
  if (((key == VK_RETURN && default_) || (key == VK_ESCAPE && cancel_)) && IsShowing() && IsEnabledInTree()) {
    message.Result = 1;
    Click();
    return;
  }
  TCustomControl::CMDialogKey(message);
}

void TButton::CMDialogChar(TMessage& message) {
  if (IsAccel(static_cast<std::uint16_t>(message.WParam), Caption()) && IsShowing() && IsEnabledInTree()) {
    message.Result = 1;
    if (CanFocus()) SetFocus();
    if (windowing::IsAlive(this)) Click();
    return;
  }
  TCustomControl::CMDialogChar(message);
}

void TButton::WndProc(TMessage& message) {
  // The focus rectangle comes and goes with the focus.
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(message);
}

}  // namespace vantora::host
