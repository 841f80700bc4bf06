#include "host/widgets/ScrollBar.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400, kRepeat = 100;
constexpr int kMinThumb = 8;

}  // namespace

const TEnumInfo& TypeInfoOf(TScrollBarKind) {
  static const TEnumInfo info{"TScrollBarKind", {"sbHorizontal", "sbVertical"}};
  return info;
}

const TClass& TScrollBar::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TScrollBar>("TScrollBar", TCustomControl::StaticClass())
          .Property("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, sbHorizontal)
          .Property("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange, 1)
          .Property("Max", &TScrollBar::Max, &TScrollBar::SetMax, 100)
          .Property("Min", &TScrollBar::Min, &TScrollBar::SetMin, 0)
          .Property("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize, 0)
          .Property("Position", &TScrollBar::Position, &TScrollBar::SetPosition, 0)
          .Property("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange, 1)
          .Method("OnChange")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TScrollBar);

TScrollBar::TScrollBar(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle((ControlStyle() & ~(csAcceptsControls | csDoubleClicks | csClickEvents)) | csOpaque);
  SetTabStop(true);
  SetBounds(0, 0, 121, 16);
}

TScrollBar::~TScrollBar() {
  if (timerRunning_) KillTimer(this, kRepeatTimer);
}

void TScrollBar::SetKind(TScrollBarKind value) {
  if (value == kind_) return;
  kind_ = value;
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TScrollBar::SetPageSize(int value) {
  value = std::max(value, 0);
  if (value == pageSize_) return;
  pageSize_ = value;
  SetParams(position_, min_, max_);
  Invalidate();
}

int TScrollBar::Limit() const {
  return std::max(min_, pageSize_ > 0 ? max_ - pageSize_ + 1 : max_);
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (IsLoading()) {
    position_ = position;
    min_ = min;
    max_ = max;
    return;
  }
  max = std::max(max, min);
  const bool rangeChanged = min != min_ || max != max_;
  min_ = min;
  max_ = max;
  position = std::clamp(position, min_, Limit());
  if (rangeChanged) Invalidate();
  if (position == position_) return;
  position_ = position;
  Invalidate();
  Change();
}

void TScrollBar::Loaded() {
  TCustomControl::Loaded();
  const int position = position_;
  position_ = min_;
  SetParams(position, min_, max_);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

TScrollBar::Geometry TScrollBar::Measure() const {
  Geometry g{};
  const bool vertical = kind_ == sbVertical;
  g.length = vertical ? Height() : Width();
  const int thickness = vertical ? Width() : Height();
  g.button = std::min(thickness, g.length / 2);
  const int track = g.length - 2 * g.button;
  const int range = max_ - min_ + 1;
  g.thumbSize = pageSize_ > 0
                    ? std::max(kMinThumb, static_cast<int>(static_cast<long long>(track) * pageSize_ / range))
                    : thickness;
  if (g.thumbSize >= track || !Enabled() || Limit() == min_) {
    g.thumbSize = 0;  // no room, or nothing to scroll: no thumb
    g.thumbStart = g.button;
    return g;
  }
  const int span = Limit() - min_;
  g.thumbStart =
      g.button + static_cast<int>(static_cast<long long>(track - g.thumbSize) * (position_ - min_) / span);
  return g;
}

RECT TScrollBar::PartRect(Part part) const {
  const Geometry g = Measure();
  int from = 0, to = 0;
  switch (part) {
    case Part::LessArrow:
      to = g.button;
      break;
    case Part::MoreArrow:
      from = g.length - g.button;
      to = g.length;
      break;
    case Part::LessTrack:
      from = g.button;
      to = g.thumbSize ? g.thumbStart : g.length - g.button;
      break;
    case Part::MoreTrack:
      from = g.thumbSize ? g.thumbStart + g.thumbSize : g.length - g.button;
      to = g.length - g.button;
      break;
    case Part::Thumb:
      from = g.thumbStart;
      to = g.thumbStart + g.thumbSize;
      break;
    case Part::None:
      break;
  }
  return kind_ == sbVertical ? RECT{0, from, Width(), to} : RECT{from, 0, to, Height()};
}

TScrollBar::Part TScrollBar::PartAt(int x, int y) const {
  for (Part part : {Part::LessArrow, Part::MoreArrow, Part::Thumb, Part::LessTrack, Part::MoreTrack}) {
    const RECT r = PartRect(part);
    if (PtInRect(&r, POINT{x, y})) return part;
  }
  return Part::None;
}

void TScrollBar::Paint() {
  HDC dc = Canvas().Handle();
  const bool vertical = kind_ == sbVertical;
  const bool enabled = IsEnabledInTree() && Limit() > min_;
  using StylePainter::Direction;
  StylePainter::ArrowButton(dc, PartRect(Part::LessArrow), vertical ? Direction::Up : Direction::Left,
                            pressed_ == Part::LessArrow && pressedInside_, enabled);
  StylePainter::ArrowButton(dc, PartRect(Part::MoreArrow), vertical ? Direction::Down : Direction::Right,
                            pressed_ == Part::MoreArrow && pressedInside_, enabled);
  StylePainter::ScrollTrack(dc, PartRect(Part::LessTrack), pressed_ == Part::LessTrack && pressedInside_);
  StylePainter::ScrollTrack(dc, PartRect(Part::MoreTrack), pressed_ == Part::MoreTrack && pressedInside_);
  const RECT thumb = PartRect(Part::Thumb);
  if (!IsRectEmpty(&thumb)) StylePainter::ScrollThumb(dc, thumb);
  if (Focused() && !IsRectEmpty(&thumb)) {
    RECT focus = thumb;
    InflateRect(&focus, -3, -3);
    StylePainter::FocusRect(dc, focus);
  }
}

void TScrollBar::Step(Part part) {
  const int page = pageSize_ > 0 ? pageSize_ : largeChange_;
  switch (part) {
    case Part::LessArrow:
      SetPosition(position_ - smallChange_);
      return;
    case Part::MoreArrow:
      SetPosition(position_ + smallChange_);
      return;
    case Part::LessTrack:
      SetPosition(position_ - page);
      return;
    case Part::MoreTrack:
      SetPosition(position_ + page);
      return;
    default:
      return;
  }
}

void TScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::Left || !Enabled()) return;
  pressed_ = PartAt(x, y);
  pressedInside_ = true;
  mouse_ = POINT{x, y};
  if (pressed_ == Part::Thumb) {
    dragOffset_ = (kind_ == sbVertical ? y : x) - Measure().thumbStart;
  } else if (pressed_ != Part::None) {
    Step(pressed_);
    SetTimer(this, kRepeatTimer, kFirstRepeat);
    timerRunning_ = true;
  }
  Invalidate();
}

void TScrollBar::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (pressed_ == Part::None) return;
  if (pressed_ == Part::Thumb) {
    const Geometry g = Measure();
    const int track = g.length - 2 * g.button - g.thumbSize;
    if (track <= 0) return;
    const int at = (kind_ == sbVertical ? y : x) - dragOffset_ - g.button;
    const int span = Limit() - min_;
    SetPosition(min_ + static_cast<int>((static_cast<long long>(at) * span + track / 2) / track));
    return;
  }
  mouse_ = POINT{x, y};
  const RECT r = PartRect(pressed_);
  const bool inside = PtInRect(&r, POINT{x, y}) != FALSE;
  if (inside != pressedInside_) {
    pressedInside_ = inside;
    Invalidate();
  }
}

void TScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::Left && pressed_ != Part::None) {
    pressed_ = Part::None;
    if (timerRunning_) KillTimer(this, kRepeatTimer);
    timerRunning_ = false;
    Invalidate();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TScrollBar::WMTimer(TMessage& message) {
  if (message.WParam != kRepeatTimer) return;
  // After the first delay the steps come faster, as long as the mouse stays on the part.
  KillTimer(this, kRepeatTimer);
  SetTimer(this, kRepeatTimer, kRepeat);
  // Paging stops once the thumb reaches the mouse.
  if (PartAt(mouse_.x, mouse_.y) == pressed_) Step(pressed_);
}

void TScrollBar::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool vertical = kind_ == sbVertical;
  if (key == (vertical ? VK_UP : VK_LEFT))
    Step(Part::LessArrow);
  else if (key == (vertical ? VK_DOWN : VK_RIGHT))
    Step(Part::MoreArrow);
  else if (key == VK_PRIOR)
    Step(Part::LessTrack);
  else if (key == VK_NEXT)
    Step(Part::MoreTrack);
  else if (key == VK_HOME)
    SetPosition(min_);
  else if (key == VK_END)
    SetPosition(Limit());
  else
    return;
  key = 0;
}

void TScrollBar::CMEnabledChanged(TMessage& message) {
  TCustomControl::CMEnabledChanged(message);
  Invalidate();
}

}  // namespace vantora::host
