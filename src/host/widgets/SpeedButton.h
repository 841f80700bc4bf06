// A speed button: a windowless button with an optional glyph, flat until hovered when Flat; with
// a GroupIndex it stays down when clicked, and the buttons of one group beside it (same parent
// and index) come up; AllowAllUp lets the down one come up again.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TSpeedButton : public TGraphicControl {
  VANTORA_PERSISTENT(TSpeedButton)

  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  // The picture beside the caption; its bottom-left pixel's colour is transparent.
  TBitmap& Glyph() { return *glyph_; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CMMouseEnter(TMessage& message) override;
  void CMMouseLeave(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;

 private:
  void SetPressed(bool value);
  std::unique_ptr<TBitmap> glyph_;
  bool flat_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  int spacing_ = 4;
  bool pressed_ = false;
  bool hovered_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
