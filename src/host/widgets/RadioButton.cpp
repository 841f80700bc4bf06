#include "host/widgets/RadioButton.h"

#include <vector>

namespace vantora::host {

const TClass& TRadioButton::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TRadioButton>("TRadioButton", TButtonControl::StaticClass())
          .Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TRadioButton);

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Invalidate();
  if (!value) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  if (!IsLoading()) Click();
}

void TRadioButton::Toggle() {
  SetChecked(true);
}

void TRadioButton::PaintMark(HDC dc, int x, int y, bool pressed) {
  StylePainter::RadioButton(dc, x, y, checked_, IsEnabledInTree(), pressed);
}

void TRadioButton::KeyDown(std::uint16_t& key, TShiftState shift) {
  TButtonControl::KeyDown(key, shift);
  if (key != VK_UP && key != VK_DOWN && key != VK_LEFT && key != VK_RIGHT) return;
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TRadioButton*> group;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* button = dynamic_cast<TRadioButton*>(parent->Controls(i)); button && button->CanFocus())
      group.push_back(button);
  const auto count = static_cast<int>(group.size());
  int index = 0;
  while (index < count && group[static_cast<std::size_t>(index)] != this) ++index;
  if (index == count) return;
  const int step = key == VK_UP || key == VK_LEFT ? -1 : 1;
  TRadioButton* next = group[static_cast<std::size_t>((index + step + count) % count)];
  key = 0;
  next->SetFocus();
  next->SetChecked(true);
}

}  // namespace vantora::host
