#include "host/widgets/CheckBox.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TCheckBoxState) {
  static const TEnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
  return info;
}

const TClass& TCheckBox::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCheckBox>("TCheckBox", TButtonControl::StaticClass())
          .Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed, false)
          .Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false)
          .Stored(false)
          .Property("State", &TCheckBox::State, &TCheckBox::SetState, cbUnchecked)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TCheckBox);

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  Invalidate();
  // Loading a form sets the state without it being a click.
  if (!IsLoading()) Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(cbChecked);
      return;
    case cbChecked:
      SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
      return;
    case cbGrayed:
      SetState(cbUnchecked);
      return;
  }
}

void TCheckBox::PaintMark(HDC dc, int x, int y, bool pressed) {
  const auto state = state_ == cbChecked  ? StylePainter::CheckState::Checked
                     : state_ == cbGrayed ? StylePainter::CheckState::Grayed
                                          : StylePainter::CheckState::Unchecked;
  StylePainter::CheckBox(dc, x, y, state, IsEnabledInTree(), pressed);
}

}  // namespace vantora::host
