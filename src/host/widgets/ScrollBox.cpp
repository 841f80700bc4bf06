#include "host/widgets/ScrollBox.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

const TClass& TControlScrollBar::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TControlScrollBar>("TControlScrollBar", TPersistent::StaticClass())
          .Property("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement, 8)
          .Property("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition, 0)
          .Property("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange, 0)
          .Build();
  return cls;
}

void TControlScrollBar::Assign(const TPersistent* source) {
  const auto* bar = dynamic_cast<const TControlScrollBar*>(source);
  if (!bar) return TPersistent::Assign(source);
  increment_ = bar->increment_;
  SetRange(bar->range_);
  SetPosition(bar->position_);
}

void TControlScrollBar::SetRange(int value) {
  value = std::max(value, 0);
  if (value == range_) return;
  range_ = value;
  box_.UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int value) {
  box_.ScrollTo(*this, value);
}

const TClass& TScrollBox::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TScrollBox>("TScrollBox", TCustomControl::StaticClass())
          .Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, bsSingle)
          .Property("HorzScrollBar", &TScrollBox::HorzScrollBar, &TScrollBox::SetHorzScrollBar)
          .Property("VertScrollBar", &TScrollBox::VertScrollBar, &TScrollBox::SetVertScrollBar)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TScrollBox);

TScrollBox::TScrollBox(TComponent* owner)
    : TCustomControl(owner),
      horz_(std::make_unique<TControlScrollBar>(*this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(*this, sbVertical)),
      bars_{new TScrollBar(this), new TScrollBar(this)} {
  SetControlStyle(ControlStyle() | csOpaque);
  bars_[1]->SetKind(sbVertical);
  for (TScrollBar* bar : bars_) {
    bar->SetTabStop(false);
    bar->SetVisible(false);
    bar->SetParent(this);
  }
  bars_[0]->OnChange = [this](TPersistent*) { ScrollTo(*horz_, bars_[0]->Position()); };
  bars_[1]->OnChange = [this](TPersistent*) { ScrollTo(*vert_, bars_[1]->Position()); };
  SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::SetBorderStyle(TFormBorderStyle value) {
  value = value == bsNone ? bsNone : bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  UpdateScrollBars();
  Invalidate();
}

int TScrollBox::EffectiveRange(const TControlScrollBar& bar) const {
  if (bar.range_ > 0) return bar.range_;
  // The children's extent, measured as if unscrolled.
  int extent = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    const TControl* c = Controls(i);
    if (IsOwnBar(c) || !c->Visible()) continue;
    extent =
        std::max(extent, bar.kind_ == sbHorizontal ? c->Left() + c->Width() + horz_->position_ - Inset()
                                                   : c->Top() + c->Height() + vert_->position_ - Inset());
  }
  return extent;
}

SIZE TScrollBox::ViewSize() const {
  const int width = Width() - 2 * Inset(), height = Height() - 2 * Inset();
  const int rangeX = EffectiveRange(*horz_), rangeY = EffectiveRange(*vert_);
  bool needH = rangeX > width, needV = rangeY > height;
  needH = needH || (needV && rangeX > width - kScrollBarWidth);
  needV = needV || (needH && rangeY > height - kScrollBarWidth);
  return SIZE{width - (needV ? kScrollBarWidth : 0), height - (needH ? kScrollBarWidth : 0)};
}

void TScrollBox::UpdateScrollBars() {
  if (updating_ || IsLoading()) return;
  updating_ = true;
  const SIZE view = ViewSize();
  const int inset = Inset();
  const int rangeX = EffectiveRange(*horz_), rangeY = EffectiveRange(*vert_);
  const bool needH = rangeX > view.cx, needV = rangeY > view.cy;
  bars_[0]->SetBounds(inset, inset + view.cy, view.cx, kScrollBarWidth);
  bars_[1]->SetBounds(inset + view.cx, inset, kScrollBarWidth, view.cy);
  bars_[0]->SetVisible(needH);
  bars_[1]->SetVisible(needV);
  for (auto [bar, control, range, size] :
       {std::tuple{horz_.get(), bars_[0], rangeX, static_cast<int>(view.cx)},
        std::tuple{vert_.get(), bars_[1], rangeY, static_cast<int>(view.cy)}}) {
    control->SetPageSize(0);
    control->SetParams(bar->position_, 0, std::max(range - 1, 0));
    control->SetPageSize(std::max(size, 1));
    control->SetSmallChange(bar->increment_);
    // A range that shrank pulls the position back.
    const int limit = std::max(0, range - size);
    if (bar->position_ > limit) {
      updating_ = false;
      ScrollTo(*bar, limit);
      updating_ = true;
    }
  }
  updating_ = false;
  Invalidate();
}

void TScrollBox::ScrollTo(TControlScrollBar& bar, int position) {
  if (IsLoading()) {
    bar.position_ = position;
    return;
  }
  const int size = bar.kind_ == sbHorizontal ? ViewSize().cx : ViewSize().cy;
  position = std::clamp(position, 0, std::max(0, EffectiveRange(bar) - size));
  const int delta = bar.position_ - position;
  if (delta == 0) return;
  bar.position_ = position;
  if (bar.kind_ == sbHorizontal)
    ScrollBy(delta, 0);
  else
    ScrollBy(0, delta);
  bars_[bar.kind_ == sbHorizontal ? 0 : 1]->SetPosition(position);
}

void TScrollBox::ScrollBy(int dx, int dy) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!IsOwnBar(c)) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  Invalidate();
}

void TScrollBox::ScrollInView(TControl* control) {
  if (!control || control->Parent() != this) return;
  const SIZE view = ViewSize();
  const int inset = Inset();
  if (control->Left() < inset)
    ScrollTo(*horz_, horz_->position_ + control->Left() - inset);
  else if (control->Left() + control->Width() > inset + view.cx)
    ScrollTo(*horz_, horz_->position_ + control->Left() + control->Width() - inset - view.cx);
  if (control->Top() < inset)
    ScrollTo(*vert_, vert_->position_ + control->Top() - inset);
  else if (control->Top() + control->Height() > inset + view.cy)
    ScrollTo(*vert_, vert_->position_ + control->Top() + control->Height() - inset - view.cy);
}

void TScrollBox::Loaded() {
  TCustomControl::Loaded();
  // Children were read at their unscrolled places; the stored positions scroll them now.
  const int x = horz_->position_, y = vert_->position_;
  horz_->position_ = vert_->position_ = 0;
  UpdateScrollBars();
  ScrollTo(*horz_, x);
  ScrollTo(*vert_, y);
}

void TScrollBox::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  if (borderStyle_ == bsSingle) StylePainter::FieldFrame(dc, r);
  StylePainter::Fill(dc, r, Color());
}

RECT TScrollBox::AlignArea() const {
  const SIZE view = ViewSize();
  return RECT{Inset(), Inset(), Inset() + view.cx, Inset() + view.cy};
}

void TScrollBox::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomControl::BoundsChanged(oldWidth, oldHeight);
  UpdateScrollBars();
}

void TScrollBox::WndProc(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    const int notches = static_cast<int>(static_cast<std::intptr_t>(message.WParam)) / 120;
    ScrollTo(*vert_, vert_->position_ - notches * vert_->increment_ * 3);
    message.Result = 1;
    return;
  }
  TCustomControl::WndProc(message);
}

}  // namespace vantora::host
