#include "controls/Fulsbtn.h"

namespace vantora {

std::int32_t FulgoButtonCount = 0;

const host::TClass& TFulgoSpeedButton::StaticClass() {
  using B = TFulgoSpeedButton;
  static const host::TClass& cls =
      host::ClassBuilder<B>("TFulgoSpeedButton", TFulgoGraphicControl::StaticClass())
          .Property("AllowAllUp", &B::GetAllowAllUp, &B::SetAllowAllUp, false)
          .Property("GroupIndex", &B::GetGroupIndex, &B::SetGroupIndex, 0)
          .Property("Down", &B::GetDown, &B::SetDown, false)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFulgoSpeedButton);

TFulgoSpeedButton::TFulgoSpeedButton(host::TComponent* AOwner) : TFulgoGraphicControl(AOwner) {
  SetBounds(0, 0, 25, 25);
  // The button tracks presses itself: the framework makes no clicks and sets no caption.
  SetControlStyle(host::csCaptureMouse | host::csDoubleClicks);
  SetParentFont(true);
  ++FulgoButtonCount;
}

TFulgoSpeedButton::~TFulgoSpeedButton() {
  --FulgoButtonCount;
}

void TFulgoSpeedButton::SetDown(bool Value) {
  if (GroupIndex == 0) Value = false;
  if (Value == Down) return;
  if (Down && !AllowAllUp) return;
  Down = Value;
  PressState = Value ? psLatched : psUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TFulgoSpeedButton::SetGroupIndex(std::int32_t Value) {
  if (Value == GroupIndex) return;
  GroupIndex = Value;
  UpdateExclusive();
}

void TFulgoSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == AllowAllUp) return;
  AllowAllUp = Value;
  UpdateExclusive();
}

void TFulgoSpeedButton::UpdateExclusive() {
  if (GroupIndex == 0 || !Parent()) return;
  host::TMessage message{host::CM_BUTTONPRESSED, static_cast<host::WPARAM>(GroupIndex),
                         reinterpret_cast<host::LPARAM>(static_cast<host::TControl*>(this)), 0};
  Parent()->Broadcast(message);
}

void TFulgoSpeedButton::CMButtonPressed(host::TMessage& Message) {
  if (Message.WParam != static_cast<host::WPARAM>(GroupIndex)) return;
  // The sender is the control that broadcast, by the framework's convention for this message.
  auto* sender = dynamic_cast<TFulgoSpeedButton*>(reinterpret_cast<host::TControl*>(Message.LParam));
  if (!sender || sender == this) return;
  if (sender->Down && Down) {
    Down = false;
    PressState = psUp;
    Invalidate();
  }
  AllowAllUp = sender->AllowAllUp;
}

void TFulgoSpeedButton::MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  TFulgoGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != host::TMouseButton::Left || !Enabled()) return;
  if (!Down) {
    PressState = psDown;
    Repaint();
  }
  Dragging = true;
}

void TFulgoSpeedButton::MouseMove(host::TShiftState Shift, int X, int Y) {
  TFulgoGraphicControl::MouseMove(Shift, X, Y);
  if (!Dragging) return;
  const ePressState state = IsInside(X, Y) ? (Down ? psLatched : psDown) : (Down ? psLatched : psUp);
  if (state == PressState) return;
  PressState = state;
  Repaint();
}

void TFulgoSpeedButton::MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) {
  TFulgoGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!Dragging) return;
  Dragging = false;
  const bool inside = IsInside(X, Y);
  PressState = psUp;
  if (GroupIndex != 0 && inside) SetDown(!Down);
  // A down button whose raising was refused stays drawn down.
  if (Down) PressState = psLatched;
  Repaint();
  if (inside) Click();
}

void TFulgoSpeedButton::WMLButtonDblClk(host::TMessage& Message) {
  TFulgoGraphicControl::WMLButtonDblClk(Message);
  if (Down) DblClick();
}

void TFulgoSpeedButton::CMEnabledChanged(host::TMessage& Message) {
  TFulgoGraphicControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFulgoSpeedButton::CMFontChanged(host::TMessage& Message) {
  TFulgoGraphicControl::CMFontChanged(Message);
  Invalidate();
}

void TFulgoSpeedButton::CMTextChanged(host::TMessage& Message) {
  TFulgoGraphicControl::CMTextChanged(Message);
  Invalidate();
}

void TFulgoSpeedButton::CMDialogChar(host::TMessage& Message) {
  if (host::IsAccel(static_cast<std::uint16_t>(Message.WParam), Caption()) && IsEnabledInTree() &&
      IsShowing()) {
    Click();
    Message.Result = 1;
    return;
  }
  TFulgoGraphicControl::CMDialogChar(Message);
}

}  // namespace vantora
