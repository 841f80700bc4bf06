#include "host/widgets/PopupMenu.h"

#include <algorithm>

#include "host/classes/Lists.h"
#include "host/forms/Application.h"
#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kInset = 3;       // the raised frame and a pixel of the menu's colour inside it
constexpr int kRowPadding = 6;  // above and below an item's text, together
constexpr int kSeparatorHeight = 8;
constexpr int kTextLeft = 18;  // room where a check mark would go
constexpr int kTextRight = 18;

}  // namespace

// The borderless window that shows a menu while it pops up. It holds the mouse, so that a click
// anywhere else reaches it and closes the menu instead of acting on what lies under the mouse.
class TPopupMenuWindow : public TCustomForm {
 public:
  explicit TPopupMenuWindow(TPopupMenu& menu) : TCustomForm(nullptr), menu_(menu) {
    SetBorderStyle(bsNone);
    SetColor(clSystemColor | COLOR_MENU);
    // A second click is a click like the first.
    SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  }

  void Open(POINT at);
  void Close();
  // Sizes the window to the items, its top-left corner staying where it is.
  void Layout();
  int Highlighted() const { return highlighted_; }
  void ForgetUnselectableHighlight();

 protected:
  void PaintBackground(HDC dc, const RECT& clip) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WndProc(TMessage& message) override;
  // The focus stays with the control under the menu, as desktop menus leave it; the keys reach the
  // menu all the same, as the active window.
  void Activated() override {}
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int RowHeight(const TMenuItem& item) const { return item.IsLine() ? kSeparatorHeight : rowHeight_; }
  RECT ItemRect(int index) const;
  // The item at a client point if it can be chosen, else -1.
  int SelectableAt(int x, int y) const;
  void Highlight(int index);
  // Moves the highlight to the next item that can be chosen, round the ends.
  void Step(int direction);
  // Closes the menu, then runs the item's OnClick.
  void Choose(int index);
  // The form that was active before the menu popped up, and gets the activation back.
  void Remember(TCustomForm* form);

  TPopupMenu& menu_;
  TCustomForm* previous_ = nullptr;
  int highlighted_ = -1;
  int rowHeight_ = 0;
};

void TPopupMenuWindow::Open(POINT at) {
  Layout();
  const SIZE size{Width(), Height()};
  // Where the screen ends the menu opens left of or above the point, as desktop menus do.
  POINT topLeft = KeptOnScreen(at, size);
  if (topLeft.x < at.x && at.x >= size.cx) topLeft.x = at.x - size.cx;
  if (topLeft.y < at.y && at.y >= size.cy) topLeft.y = at.y - size.cy;
  SetBounds(topLeft.x, topLeft.y, size.cx, size.cy);
  highlighted_ = -1;
  Remember(Screen ? Screen->ActiveForm() : nullptr);
  Show();
  SetCaptureControl(this);
}

void TPopupMenuWindow::Close() {
  if (!Visible()) return;
  TCustomForm* previous = previous_;
  Remember(nullptr);
  // The form the menu opened over takes the activation back, which closes the menu; hiding first
  // would hand it to the newest form on the way.
  if (Active() && previous && previous->IsShowing()) return previous->Show();
  highlighted_ = -1;
  if (GetCaptureControl() == this) ReleaseCapture();
  Hide();
}

void TPopupMenuWindow::Remember(TCustomForm* form) {
  if (form == previous_) return;
  if (previous_) RemoveFreeNotification(previous_);
  previous_ = form;
  if (previous_) FreeNotification(previous_);
}

void TPopupMenuWindow::Notification(TComponent* component, TOperation operation) {
  TCustomForm::Notification(component, operation);
  if (operation == TOperation::opRemove && component == previous_) previous_ = nullptr;
}

void TPopupMenuWindow::Layout() {
  const Owned<HDC> measure(CreateCompatibleDC(nullptr));
  rowHeight_ = StylePainter::TextExtent(measure, "Ag", Font()).cy + kRowPadding;
  int width = 0, height = 0;
  for (int i = 0; i < menu_.Count(); ++i) {
    const TMenuItem& item = *menu_.Items(i);
    if (!item.IsLine())
      width = std::max<int>(width, StylePainter::TextExtent(measure, item.Caption(), Font()).cx);
    height += RowHeight(item);
  }
  SetBounds(Left(), Top(), width + kTextLeft + kTextRight + 2 * kInset, height + 2 * kInset);
  Invalidate();
}

void TPopupMenuWindow::ForgetUnselectableHighlight() {
  if (highlighted_ >= 0 && !menu_.Items(highlighted_)->Selectable()) Highlight(-1);
}

RECT TPopupMenuWindow::ItemRect(int index) const {
  int top = kInset;
  for (int i = 0; i < index; ++i) top += RowHeight(*menu_.Items(i));
  return RECT{kInset, top, ClientWidth() - kInset, top + RowHeight(*menu_.Items(index))};
}

int TPopupMenuWindow::SelectableAt(int x, int y) const {
  for (int i = 0; i < menu_.Count(); ++i) {
    const RECT r = ItemRect(i);
    if (PtInRect(&r, POINT{x, y})) return menu_.Items(i)->Selectable() ? i : -1;
  }
  return -1;
}

void TPopupMenuWindow::Highlight(int index) {
  if (index == highlighted_) return;
  highlighted_ = index;
  Invalidate();
}

void TPopupMenuWindow::Step(int direction) {
  const int count = menu_.Count();
  int index = highlighted_ >= 0 ? highlighted_ : direction > 0 ? count - 1 : 0;
  for (int tried = 0; tried < count; ++tried) {
    index = (index + direction + count) % count;
    if (menu_.Items(index)->Selectable()) return Highlight(index);
  }
}

void TPopupMenuWindow::Choose(int index) {
  TMenuItem* item = menu_.Items(index);
  // A copy: the handler may free the item, the menu and this window with them.
  const TNotifyEvent handler = item->OnClick;
  Close();
  if (handler) handler(item);
}

void TPopupMenuWindow::PaintBackground(HDC dc, const RECT&) {
  RECT r = ClientRect();
  StylePainter::MenuFrame(dc, r);
  StylePainter::Fill(dc, r, Color());
  for (int i = 0; i < menu_.Count(); ++i) {
    const TMenuItem& item = *menu_.Items(i);
    const RECT row = ItemRect(i);
    if (item.IsLine())
      StylePainter::MenuSeparator(dc, row);
    else
      StylePainter::MenuItem(dc, row, item.Caption(), Font(), kTextLeft, i == highlighted_, item.Enabled());
  }
}

void TPopupMenuWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomForm::MouseDown(button, shift, x, y);
  const RECT client = ClientRect();
  if (!PtInRect(&client, POINT{x, y})) return Close();
  Highlight(SelectableAt(x, y));
}

void TPopupMenuWindow::MouseMove(TShiftState shift, int x, int y) {
  TCustomForm::MouseMove(shift, x, y);
  Highlight(SelectableAt(x, y));
}

void TPopupMenuWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomForm::MouseUp(button, shift, x, y);
  if (const int index = SelectableAt(x, y); index >= 0) return Choose(index);
  // Released on a line, a disabled item or the frame: the menu stays and keeps the mouse.
  if (Visible()) SetCaptureControl(this);
}

void TPopupMenuWindow::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomForm::KeyDown(key, shift);
  switch (key) {
    case VK_UP:
      Step(-1);
      break;
    case VK_DOWN:
      Step(1);
      break;
    case VK_ESCAPE:
      key = 0;
      return Close();
    case VK_RETURN:
      key = 0;
      if (highlighted_ >= 0) Choose(highlighted_);
      return;
    default:
      return;
  }
  key = 0;
}

void TPopupMenuWindow::KeyPress(char& key) {
  TCustomForm::KeyPress(key);
  const auto letter = static_cast<unsigned char>(key);
  for (int i = 0; i < menu_.Count(); ++i) {
    if (menu_.Items(i)->Selectable() && IsAccel(letter, menu_.Items(i)->Caption())) {
      key = 0;
      return Choose(i);
    }
  }
}

void TPopupMenuWindow::WndProc(TMessage& message) {
  // The rest of a click that closed the menu has nothing left to choose from.
  if (!Visible() && message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MOUSEWHEEL) return;
  if (message.Msg == CM_DEACTIVATE) {
    // Another window took the activation: it keeps it.
    Remember(nullptr);
    Close();
  }
  TCustomForm::WndProc(message);
}

// ---- TMenuItem

const TClass& TMenuItem::StaticClass() {
  static const TClass& cls = ClassBuilder<TMenuItem>("TMenuItem", TPersistent::StaticClass())
                                 .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                 .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
                                 .Method("OnClick")
                                 .Build();
  return cls;
}

void TMenuItem::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  menu_.ItemsChanged();
}

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  menu_.ItemsChanged();
}

// ---- TPopupMenu

const TClass& TPopupMenu::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TPopupMenu>("TPopupMenu", TComponent::StaticClass()).Method("OnPopup").Build();
  return cls;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return items_[static_cast<std::size_t>(index)].get();
}

TMenuItem* TPopupMenu::Add(const std::string& caption, TNotifyEvent onClick) {
  auto item = std::make_unique<TMenuItem>(*this);
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  items_.push_back(std::move(item));
  ItemsChanged();
  return items_.back().get();
}

void TPopupMenu::Clear() {
  CloseUp();
  items_.clear();
}

void TPopupMenu::Popup(int x, int y) {
  CloseUp();
  if (OnPopup) OnPopup(this);
  if (items_.empty()) return;
  if (!window_) window_ = std::make_unique<TPopupMenuWindow>(*this);
  window_->Open(POINT{x, y});
}

void TPopupMenu::CloseUp() {
  if (window_) window_->Close();
}

bool TPopupMenu::Showing() const {
  return window_ && window_->Visible();
}

int TPopupMenu::Highlighted() const {
  return window_ ? window_->Highlighted() : -1;
}

TCustomForm* TPopupMenu::Window() const {
  return window_.get();
}

void TPopupMenu::ItemsChanged() {
  if (!Showing()) return;
  window_->ForgetUnselectableHighlight();
  window_->Layout();
}

}  // namespace vantora::host
