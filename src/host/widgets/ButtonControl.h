// What check boxes and radio buttons share: a mark beside a caption, pressed while the mouse or
// Space holds it, toggled on release, the accelerator, and a focus rectangle round the caption.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"
#include "host/forms/StylePainter.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TButtonControl : public TCustomControl {
  VANTORA_PERSISTENT(TButtonControl)

  explicit TButtonControl(TComponent* owner);

  // Which side of the mark the caption stands on (left-justify puts it on the left).
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

 protected:
  // What a click does to the state.
  virtual void Toggle() = 0;
  virtual void PaintMark(HDC dc, int x, int y, bool pressed) = 0;

  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyUp(std::uint16_t& key, TShiftState shift) override;
  void CMDialogChar(TMessage& message) override;
  void WndProc(TMessage& message) override;

 private:
  void SetPressed(bool value);
  TAlignment alignment_ = taRightJustify;
  bool pressed_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
