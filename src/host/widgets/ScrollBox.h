// A scroll box: a container whose children lie on a scrollable area. HorzScrollBar and
// VertScrollBar give each direction's Range (0: as far as the children reach) and Position;
// a scroll bar shows when the range exceeds the box, and scrolling moves the children.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "host/widgets/ScrollBar.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TScrollBox;

// One direction of a scroll box.
class TControlScrollBar : public TPersistent {
  VANTORA_PERSISTENT(TControlScrollBar)

  TControlScrollBar(TScrollBox& box, TScrollBarKind kind) : box_(box), kind_(kind) {}
  void Assign(const TPersistent* source) override;

  int Range() const { return range_; }
  void SetRange(int value);
  int Position() const { return position_; }
  void SetPosition(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value) { increment_ = std::max(value, 1); }
  TScrollBarKind Kind() const { return kind_; }

 private:
  friend class TScrollBox;
  TScrollBox& box_;
  TScrollBarKind kind_;
  int range_ = 0;
  int position_ = 0;
  int increment_ = 8;
};

class TScrollBox : public TCustomControl {
  VANTORA_PERSISTENT(TScrollBox)

  explicit TScrollBox(TComponent* owner);
  ~TScrollBox() override;

  TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
  void SetHorzScrollBar(TControlScrollBar* value) { horz_->Assign(value); }
  TControlScrollBar* VertScrollBar() const { return vert_.get(); }
  void SetVertScrollBar(TControlScrollBar* value) { vert_->Assign(value); }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  // Moves the children by the offsets (as scrolling does) without changing the positions.
  void ScrollBy(int dx, int dy);
  // Lays out the scroll bars for the ranges and positions as they are now.
  void UpdateScrollBars();
  // Scrolls so that the control shows.
  void ScrollInView(TControl* control);

  void Loaded() override;

 protected:
  void Paint() override;
  RECT AlignArea() const override;
  void BoundsChanged(int oldWidth, int oldHeight) override;
  void WndProc(TMessage& message) override;

 private:
  friend class TControlScrollBar;
  bool IsOwnBar(const TControl* control) const { return control == bars_[0] || control == bars_[1]; }
  // The range in effect: the given one, or how far the children reach.
  int EffectiveRange(const TControlScrollBar& bar) const;
  int Inset() const { return borderStyle_ == bsSingle ? 2 : 0; }
  // The visible part of the area, without the scroll bars.
  SIZE ViewSize() const;
  void ScrollTo(TControlScrollBar& bar, int position);

  std::unique_ptr<TControlScrollBar> horz_, vert_;
  TScrollBar* bars_[2];
  TFormBorderStyle borderStyle_ = bsSingle;
  bool updating_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
