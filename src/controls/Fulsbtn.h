// Unit Fulsbtn: TFulgoSpeedButton, push-button behaviour for the windowless controls: press
// tracking with the mouse, groups of which one button stays down, accelerators, and the press
// state that painting reads. It creates no art of its own.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "controls/Fulcust.h"

VANTORA_API_BEGIN
namespace vantora {

enum ePressState : std::uint8_t { psUp, psDisabled, psDown, psLatched };

// Live speed buttons and buttons.
extern std::int32_t FulgoButtonCount;

class TFulgoSpeedButton : public TFulgoGraphicControl {
  VANTORA_PERSISTENT(TFulgoSpeedButton)

  explicit TFulgoSpeedButton(host::TComponent* AOwner);
  ~TFulgoSpeedButton() override;

  std::int32_t GroupIndex = 0;
  bool Down = false;
  // A left-button press on the button is being followed.
  bool Dragging = false;
  bool AllowAllUp = false;
  ePressState PressState = psUp;

  std::int32_t GetGroupIndex() const { return GroupIndex; }
  void SetGroupIndex(std::int32_t Value);
  bool GetDown() const { return Down; }
  void SetDown(bool Value);
  bool GetAllowAllUp() const { return AllowAllUp; }
  void SetAllowAllUp(bool Value);
  // Tells the other buttons of the group in the same parent that this one went down.
  void UpdateExclusive();

 protected:
  void MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
  void MouseMove(host::TShiftState Shift, int X, int Y) override;
  void MouseUp(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
  void WMLButtonDblClk(host::TMessage& Message) override;
  void CMEnabledChanged(host::TMessage& Message) override;
  void CMButtonPressed(host::TMessage& Message) override;
  void CMDialogChar(host::TMessage& Message) override;
  void CMFontChanged(host::TMessage& Message) override;
  void CMTextChanged(host::TMessage& Message) override;
  // The bottom row just outside the client counts as inside.
  bool IsInside(int X, int Y) const { return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight(); }
};

}  // namespace vantora
VANTORA_API_END
