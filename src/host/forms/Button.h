// A push button: clicks with the mouse, Space or Enter while focused, its accelerator, or Enter /
// Escape anywhere on the form when it is the default / cancel button; a modal result closes a
// modal form.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TButton : public TCustomControl {
  VANTORA_PERSISTENT(TButton)

  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void CMDialogKey(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;
  void WndProc(TMessage& message) override;

 private:
  void SetPressed(bool value);
  bool default_ = false;
  bool cancel_ = false;
  bool pressed_ = false;
  TModalResult modalResult_ = mrNone;
};

}  // namespace vantora::host
VANTORA_API_END
