// The small frameless window that shows a control's Hint beside the mouse once it has rested on the
// control for a moment. It never takes the focus or activation from the form underneath.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

class THintWindow : public TCustomForm {
  VANTORA_PERSISTENT(THintWindow)

  explicit THintWindow(TComponent* owner);

  // Sized to Text and shown with its top-left corner at the screen point At, kept on the screen.
  void ActivateHint(POINT at, const std::string& text);
  void ReleaseHint() { SetVisible(false); }

 protected:
  void PaintBackground(HDC dc, const RECT& clip) override;
};

}  // namespace vantora::host
VANTORA_API_END
