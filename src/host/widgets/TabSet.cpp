#include "host/widgets/TabSet.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kTabPadding = 12;
constexpr int kFirstTab = 2;

}  // namespace

const TClass& TTabSet::StaticClass() {
  static const TClass& cls = ClassBuilder<TTabSet>("TTabSet", TCustomControl::StaticClass())
                                 .Property("Notebook", &TTabSet::Notebook, &TTabSet::SetNotebook)
                                 .Property("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex, -1)
                                 .Property("Tabs", &TTabSet::Tabs, &TTabSet::SetTabs)
                                 .Method("OnChange")
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TTabSet);

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner), tabs_(std::make_unique<TStrings>()) {
  SetControlStyle((ControlStyle() & ~csAcceptsControls) | csOpaque);
  SetTabStop(true);
  tabs_->OnChange = [this] {
    if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
    Invalidate();
  };
  SetBounds(0, 0, 185, 22);
}

TTabSet::~TTabSet() {
  tabs_->OnChange = nullptr;
}

void TTabSet::SetTabIndex(int value) {
  if (IsLoading()) {
    tabIndex_ = value;
    return;
  }
  value = std::clamp(value, -1, tabs_->Count() - 1);
  if (value == tabIndex_) return;
  tabIndex_ = value;
  if (notebook_ && value >= 0) notebook_->SetPageIndex(value);
  Invalidate();
}

void TTabSet::SetNotebook(TNotebook* value) {
  if (value == notebook_) return;
  if (notebook_) RemoveFreeNotification(notebook_);
  notebook_ = value;
  if (value) {
    FreeNotification(value);
    if (tabIndex_ >= 0 && !IsLoading()) value->SetPageIndex(tabIndex_);
  }
}

void TTabSet::Loaded() {
  TCustomControl::Loaded();
  const int index = tabIndex_;
  tabIndex_ = -2;
  SetTabIndex(index);
}

void TTabSet::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == notebook_) notebook_ = nullptr;
}

RECT TTabSet::TabRect(int index) {
  HDC dc = Canvas().Handle();
  int x = kFirstTab;
  for (int i = 0; i < tabs_->Count(); ++i) {
    const int width = StylePainter::TextExtent(dc, (*tabs_)[i], Font()).cx + kTabPadding;
    // The selected tab reaches two pixels further on either side.
    if (i == index)
      return i == tabIndex_ ? RECT{x - 2, 0, x + width + 2, Height()} : RECT{x, 0, x + width, Height()};
    x += width;
  }
  return RECT{0, 0, 0, 0};
}

int TTabSet::TabAt(int x, int y) {
  // The selected tab lies over its neighbours, so it is asked first.
  if (tabIndex_ >= 0) {
    const RECT r = TabRect(tabIndex_);
    if (PtInRect(&r, POINT{x, y})) return tabIndex_;
  }
  for (int i = 0; i < tabs_->Count(); ++i) {
    const RECT r = TabRect(i);
    if (PtInRect(&r, POINT{x, y})) return i;
  }
  return -1;
}

void TTabSet::Select(int index) {
  if (index < 0 || index >= tabs_->Count() || index == tabIndex_) return;
  bool allow = true;
  if (OnChange) OnChange(this, index, allow);
  if (!allow) return;
  SetTabIndex(index);
  Click();
}

void TTabSet::Paint() {
  HDC dc = Canvas().Handle();
  const RECT client = ClientRect();
  StylePainter::Fill(dc, client, Color());
  // The edge of the page below runs along the bottom, broken by the selected tab.
  StylePainter::Fill(dc, RECT{0, client.bottom - 1, client.right, client.bottom}, clBtnHighlight);
  for (int i = 0; i < tabs_->Count(); ++i) {
    if (i == tabIndex_) continue;
    RECT r = TabRect(i);
    r.bottom -= 1;
    StylePainter::Tab(dc, r, (*tabs_)[i], Font(), false, false, i == hover_);
  }
  if (tabIndex_ >= 0)
    StylePainter::Tab(dc, TabRect(tabIndex_), (*tabs_)[tabIndex_], Font(), true, Focused(), false);
}

void TTabSet::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == TMouseButton::Left) Select(TabAt(x, y));
}

void TTabSet::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  const int hover = TabAt(x, y);
  if (hover == hover_) return;
  hover_ = hover;
  Invalidate();
}

void TTabSet::CMMouseLeave(TMessage& message) {
  TCustomControl::CMMouseLeave(message);
  if (hover_ < 0) return;
  hover_ = -1;
  Invalidate();
}

void TTabSet::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_LEFT)
    Select(tabIndex_ - 1);
  else if (key == VK_RIGHT)
    Select(tabIndex_ + 1);
  else
    return;
  key = 0;
}

void TTabSet::CMDialogChar(TMessage& message) {
  for (int i = 0; i < tabs_->Count(); ++i) {
    if (IsAccel(static_cast<std::uint16_t>(message.WParam), (*tabs_)[i]) && IsShowing() &&
        IsEnabledInTree()) {
      message.Result = 1;
      Select(i);
      return;
    }
  }
  TCustomControl::CMDialogChar(message);
}

void TTabSet::WndProc(TMessage& message) {
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(message);
}

}  // namespace vantora::host
