// A radio button: checking one unchecks the radio buttons beside it (the same parent); arrow
// keys move the check to the next one.
#pragma once

#include "VantoraExport.h"
#include "host/widgets/ButtonControl.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TRadioButton : public TButtonControl {
  VANTORA_PERSISTENT(TRadioButton)

  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  void SetChecked(bool value);

 protected:
  void Toggle() override;
  void PaintMark(HDC dc, int x, int y, bool pressed) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;

 private:
  bool checked_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
