// A label: text on its parent, aligned, optionally wrapped at word boundaries, sized to its text
// when AutoSize is on; its '&' accelerator focuses FocusControl.
#pragma once

#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/forms/Controls.h"
#include "host/forms/StylePainter.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
const TEnumInfo& TypeInfoOf(TTextLayout);

class TLabel : public TGraphicControl {
  VANTORA_PERSISTENT(TLabel)

  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

  // The lines the caption breaks into at the current width (one when not wrapping).
  std::vector<std::string> Lines();

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void AdjustBounds();
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool transparent_ = false;
  TWinControl* focusControl_ = nullptr;
};

}  // namespace vantora::host
VANTORA_API_END
