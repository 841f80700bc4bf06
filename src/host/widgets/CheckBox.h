// A check box: checked, unchecked or (when AllowGrayed) grayed; every change of state fires
// OnClick.
#pragma once

#include "VantoraExport.h"
#include "host/widgets/ButtonControl.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };
const TEnumInfo& TypeInfoOf(TCheckBoxState);

class TCheckBox : public TButtonControl {
  VANTORA_PERSISTENT(TCheckBox)

  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }

 protected:
  void Toggle() override;
  void PaintMark(HDC dc, int x, int y, bool pressed) override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
