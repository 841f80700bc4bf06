#include "host/widgets/ListBox.h"

#include <algorithm>
#include <cctype>

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kWheelRows = 3;

}  // namespace

const TClass& TListBox::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TListBox>("TListBox", TCustomControl::StaticClass())
          .Property("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle, bsSingle)
          .Property("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight, 13)
          .Property("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex, -1)
          .Property("Items", &TListBox::Items, &TListBox::SetItems)
          .Property("Sorted", &TListBox::Sorted, &TListBox::SetSorted, false)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TListBox);

TListBox::TListBox(TComponent* owner)
    : TCustomControl(owner), items_(std::make_unique<TStrings>()), scrollBar_(new TScrollBar(this)) {
  // OnClick follows a change of the selection, not every click.
  SetControlStyle((ControlStyle() & ~(csAcceptsControls | csClickEvents)) | csOpaque);
  SetColor(clWindow);
  SetTabStop(true);
  scrollBar_->SetKind(sbVertical);
  scrollBar_->SetTabStop(false);
  scrollBar_->SetVisible(false);
  scrollBar_->SetParent(this);
  scrollBar_->OnChange = [this](TPersistent*) { SetTopIndex(scrollBar_->Position()); };
  items_->OnChange = [this] { ItemsChanged(); };
  itemHeight_ = StylePainter::MeasureCharacters(Font()).height + 1;
  SetBounds(0, 0, 121, 97);
}

TListBox::~TListBox() {
  items_->OnChange = nullptr;
}

RECT TListBox::ItemsArea() const {
  RECT r = ClientRect();
  if (borderStyle_ == bsSingle) InflateRect(&r, -2, -2);
  if (scrollBar_->Visible()) r.right -= kScrollBarWidth;
  return r;
}

int TListBox::VisibleRows() const {
  const RECT r = ItemsArea();
  return std::max(1, (r.bottom - r.top) / std::max(itemHeight_, 1));
}

void TListBox::SetItemIndex(int value) {
  if (IsLoading()) {
    itemIndex_ = value;
    return;
  }
  value = std::clamp(value, -1, items_->Count() - 1);
  if (value == itemIndex_) return;
  itemIndex_ = value;
  MakeVisible(value);
  Invalidate();
}

void TListBox::SetItemHeight(int value) {
  value = std::clamp(value, 1, 255);
  if (value == itemHeight_) return;
  itemHeight_ = value;
  UpdateScrollBar();
  Invalidate();
}

void TListBox::SetTopIndex(int value) {
  value = std::clamp(value, 0, std::max(0, items_->Count() - VisibleRows()));
  if (value == topIndex_) return;
  topIndex_ = value;
  scrollBar_->SetPosition(value);
  Invalidate();
}

void TListBox::SetBorderStyle(TFormBorderStyle value) {
  value = value == bsNone ? bsNone : bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  UpdateScrollBar();
  Invalidate();
}

int TListBox::ItemAtPos(POINT p) const {
  const RECT r = ItemsArea();
  if (!PtInRect(&r, p)) return -1;
  const int index = topIndex_ + (p.y - r.top) / std::max(itemHeight_, 1);
  return index < items_->Count() ? index : -1;
}

void TListBox::Loaded() {
  TCustomControl::Loaded();
  const int index = itemIndex_;
  itemIndex_ = -1;
  ItemsChanged();
  SetItemIndex(index);
}

void TListBox::ItemsChanged() {
  if (IsLoading()) return;
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  UpdateScrollBar();
  Invalidate();
}

void TListBox::UpdateScrollBar() {
  const int count = items_->Count();
  const RECT client = ClientRect();
  const int inset = borderStyle_ == bsSingle ? 2 : 0;
  const int rows = std::max(1, (client.bottom - client.top - 2 * inset) / std::max(itemHeight_, 1));
  const bool needed = count > rows;
  scrollBar_->SetBounds(client.right - inset - kScrollBarWidth, inset, kScrollBarWidth,
                        client.bottom - 2 * inset);
  scrollBar_->SetVisible(needed);
  scrollBar_->SetPageSize(0);
  scrollBar_->SetParams(topIndex_, 0, std::max(count - 1, 0));
  scrollBar_->SetPageSize(rows);
  scrollBar_->SetLargeChange(rows);
  SetTopIndex(topIndex_);
}

void TListBox::MakeVisible(int index) {
  if (index < 0) return;
  if (index < topIndex_)
    SetTopIndex(index);
  else if (index >= topIndex_ + VisibleRows())
    SetTopIndex(index - VisibleRows() + 1);
}

void TListBox::Choose(int index) {
  index = std::clamp(index, -1, items_->Count() - 1);
  MakeVisible(index);
  if (index == itemIndex_) return;
  SetItemIndex(index);
  Click();
}

void TListBox::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  if (borderStyle_ == bsSingle) StylePainter::FieldFrame(dc, r);
  const RECT area = ItemsArea();
  StylePainter::Fill(dc, area, IsEnabledInTree() ? Color() : clBtnFace);
  SavedDC saved(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const int last = std::min(items_->Count(), topIndex_ + VisibleRows() + 1);
  const TColor textColor = IsEnabledInTree() ? Font().Color() : clGrayText;
  for (int i = topIndex_; i < last; ++i) {
    const int y = area.top + (i - topIndex_) * itemHeight_;
    const RECT row{area.left, y, area.right, y + itemHeight_};
    const bool selected = i == itemIndex_;
    if (selected) StylePainter::Fill(dc, row, clHighlight);
    StylePainter::Text(dc, row.left + 2, y, (*items_)[i], Font(), selected ? clHighlightText : textColor);
    if (selected && Focused()) StylePainter::FocusRect(dc, row);
  }
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::Left) return;
  const int index = ItemAtPos(POINT{x, y});
  if (index >= 0) Choose(index);
}

void TListBox::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!(ControlState() & csLButtonDown) && !hotTrack_) return;
  // Dragging past the ends scrolls.
  const RECT area = ItemsArea();
  int index = ItemAtPos(POINT{x, y});
  if (ControlState() & csLButtonDown) {
    if (y < area.top) index = topIndex_ - 1;
    if (y >= area.bottom) index = topIndex_ + VisibleRows();
  }
  if (index >= 0 && index < items_->Count()) {
    MakeVisible(index);
    SetItemIndex(index);
  }
}

void TListBox::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int page = std::max(1, VisibleRows() - 1);
  switch (key) {
    case VK_UP:
      Choose(std::max(itemIndex_ - 1, 0));
      break;
    case VK_DOWN:
      Choose(itemIndex_ + 1);
      break;
    case VK_PRIOR:
      Choose(std::max(itemIndex_ - page, 0));
      break;
    case VK_NEXT:
      Choose(itemIndex_ + page);
      break;
    case VK_HOME:
      Choose(0);
      break;
    case VK_END:
      Choose(items_->Count() - 1);
      break;
    default:
      return;
  }
  key = 0;
}

int NextItemStartingWith(const TStrings& items, int current, char letter) {
  const int count = items.Count();
  const int wanted = std::tolower(static_cast<unsigned char>(letter));
  for (int step = 1; step <= count; ++step) {
    const int i = ((current < 0 ? -1 : current) + step) % count;
    const std::string& item = items[i];
    if (!item.empty() && std::tolower(static_cast<unsigned char>(item[0])) == wanted) return i;
  }
  return -1;
}

void TListBox::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  if (c <= 32) return;
  if (const int i = NextItemStartingWith(*items_, itemIndex_, key); i >= 0) Choose(i);
}

void TListBox::WndProc(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    const int notches = static_cast<int>(static_cast<std::intptr_t>(message.WParam)) / 120;
    SetTopIndex(topIndex_ - notches * kWheelRows);
    message.Result = 1;
    return;
  }
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(message);
  // Without click events the double click is the list's own: it follows the selection it made.
  if (message.Msg == WM_LBUTTONDBLCLK) DblClick();
}

void TListBox::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomControl::BoundsChanged(oldWidth, oldHeight);
  UpdateScrollBar();
}

void TListBox::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  SetItemHeight(StylePainter::MeasureCharacters(Font()).height + 1);
}

}  // namespace vantora::host
