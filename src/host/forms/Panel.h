// A panel: a windowed container with an outer and inner bevel, a border between them, and a caption
// aligned inside; aligned children are laid out within the bevels.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"
#include "host/forms/StylePainter.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TCustomPanel : public TCustomControl {
  VANTORA_PERSISTENT(TCustomPanel)

  explicit TCustomPanel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);

 protected:
  void Paint() override;
  RECT AlignArea() const override;

 private:
  void Relayout();
  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TFormBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
  VANTORA_PERSISTENT(TPanel)
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

}  // namespace vantora::host
VANTORA_API_END
