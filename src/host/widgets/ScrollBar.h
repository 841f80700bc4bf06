// A scroll bar: arrow buttons that step (repeating while held), a track that pages, a thumb that
// drags; Position runs from Min to Max - PageSize + 1 (to Max without a page) and every change
// fires OnChange. Lists, memos and scroll boxes use it as their own scroll bars.
#pragma once

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

// The breadth of the scroll bars that lists, memos, grids and scroll boxes show.
inline constexpr int kScrollBarWidth = 16;

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
const TEnumInfo& TypeInfoOf(TScrollBarKind);

class TScrollBar : public TCustomControl {
  VANTORA_PERSISTENT(TScrollBar)

  explicit TScrollBar(TComponent* owner);
  ~TScrollBar() override;

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind value);
  int Min() const { return min_; }
  void SetMin(int value) { SetParams(position_, value, max_); }
  int Max() const { return max_; }
  void SetMax(int value) { SetParams(position_, min_, value); }
  int Position() const { return position_; }
  void SetPosition(int value) { SetParams(value, min_, max_); }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int value) { smallChange_ = value; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int value) { largeChange_ = value; }
  void SetParams(int position, int min, int max);
  // The highest position the thumb reaches.
  int Limit() const;

  TNotifyEvent OnChange;

  void Loaded() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void WMTimer(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;

 private:
  enum class Part : std::uint8_t { None, LessArrow, MoreArrow, LessTrack, MoreTrack, Thumb };
  struct Geometry {
    int length;      // along the bar
    int button;      // each arrow button
    int thumbStart;  // from the bar's start
    int thumbSize;
  };
  Geometry Measure() const;
  Part PartAt(int x, int y) const;
  // One step of the part held down; answers whether it moved.
  void Step(Part part);
  RECT PartRect(Part part) const;
  void Change();

  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int smallChange_ = 1, largeChange_ = 1;
  Part pressed_ = Part::None;
  bool pressedInside_ = false;
  POINT mouse_{0, 0};
  int dragOffset_ = 0;  // where in the thumb it was taken
  bool timerRunning_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
