#include "host/widgets/ComboBox.h"

#include <algorithm>
#include <cctype>

namespace vantora::host {

namespace {

constexpr int kButtonWidth = 17;

}  // namespace

const TEnumInfo& TypeInfoOf(TComboBoxStyle) {
  static const TEnumInfo info{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}};
  return info;
}

const TClass& TComboBox::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TComboBox>("TComboBox", TCustomEdit::StaticClass())
          .Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
          .Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
          .Property("Items", &TComboBox::Items, &TComboBox::SetItems)
          .Property("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false)
          .Property("Style", &TComboBox::Style, &TComboBox::SetStyle, csDropDown)
          .Method("OnDropDown")
          .Method("OnCloseUp")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TComboBox);

TComboBox::TComboBox(TComponent* owner) : TCustomEdit(owner), items_(std::make_unique<TStrings>()) {
  items_->OnChange = [this] {
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  };
  SetBounds(Left(), Top(), 145, 21);
}

TComboBox::~TComboBox() {
  items_->OnChange = nullptr;
  delete list_;
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  SetCursor(value == csDropDownList ? TCursor::Default : TCursor::IBeam);
  Invalidate();
}

void TComboBox::SetItemIndex(int value) {
  if (IsLoading()) {
    itemIndex_ = value;
    return;
  }
  value = std::clamp(value, -1, items_->Count() - 1);
  if (value == itemIndex_ && (value < 0 || Text() == (*items_)[value])) return;
  choosing_ = true;
  itemIndex_ = value;
  SetText(value >= 0 ? (*items_)[value] : std::string());
  choosing_ = false;
}

void TComboBox::Loaded() {
  TCustomEdit::Loaded();
  const int index = itemIndex_;
  itemIndex_ = -1;
  if (index >= 0) SetItemIndex(index);
}

void TComboBox::Change() {
  // Typed text selects the item it matches.
  if (!choosing_) itemIndex_ = items_->IndexOf(Text());
  TCustomEdit::Change();
}

void TComboBox::Choose(int index) {
  if (index < 0 || index >= items_->Count()) return;
  if (index == itemIndex_ && Text() == (*items_)[index]) return;
  SetItemIndex(index);
  if (style_ != csDropDownList) SelectAll();
  Click();
}

RECT TComboBox::ButtonRect() const {
  RECT r = ClientRect();
  InflateRect(&r, -2, -2);
  r.left = r.right - kButtonWidth;
  return r;
}

RECT TComboBox::TextArea() const {
  RECT r = TCustomEdit::TextArea();
  r.right = ButtonRect().left - 1;
  return r;
}

void TComboBox::PaintText(HDC dc, const RECT& area) {
  if (style_ != csDropDownList) return TCustomEdit::PaintText(dc, area);
  // A fixed choice shows the whole text selected while it has the focus.
  const TColor textColor = IsEnabledInTree() ? Font().Color() : clGrayText;
  if (Focused() && !DroppedDown()) {
    const RECT row{area.left - 1, area.top - 1, area.right, area.bottom + 1};
    StylePainter::Fill(dc, row, clHighlight);
    StylePainter::FocusRect(dc, row);
  }
  StylePainter::Text(dc, area.left + 1, area.top, Text(), Font(),
                     Focused() && !DroppedDown() ? clHighlightText : textColor);
}

void TComboBox::Paint() {
  if (style_ == csDropDownList) {
    // No caret in a fixed choice: paint as an unfocused edit would, with the text highlighted.
    HDC dc = Canvas().Handle();
    RECT r = ClientRect();
    StylePainter::FieldFrame(dc, r);
    StylePainter::Fill(dc, r, IsEnabledInTree() ? Color() : clBtnFace);
    const RECT area = TextArea();
    {
      SavedDC saved(dc);
      IntersectClipRect(dc, area.left - 1, area.top - 1, area.right, area.bottom + 1);
      PaintText(dc, area);
    }
  } else {
    TCustomEdit::Paint();
  }
  StylePainter::ArrowButton(Canvas().Handle(), ButtonRect(), StylePainter::Direction::Down, buttonPressed_,
                            IsEnabledInTree());
}

void TComboBox::SetDroppedDown(bool value) {
  if (value == DroppedDown()) return;
  if (!value) return CloseUp(false);
  TWinControl* top = TopLevel();
  if (!top || !IsShowing() || items_->Count() == 0) return;
  if (OnDropDown) OnDropDown(this);
  list_ = new TListBox(nullptr);
  list_->SetTabStop(false);
  list_->SetHotTrack(true);
  list_->Items()->Assign(items_.get());
  list_->SetFont(&Font());
  const int rows = std::min(items_->Count(), dropDownCount_);
  const int height = rows * list_->ItemHeight() + 4;
  const POINT origin = OriginInTopLevel();
  // Below the box when it fits in the window, else above it.
  int y = origin.y + Height();
  if (y + height > top->ClientHeight() && origin.y - height >= 0) y = origin.y - height;
  list_->SetBounds(origin.x, y, Width(), height);
  // The form may free the list with its other children before this box.
  FreeNotification(list_);
  list_->SetParent(top);
  OpenDropDown(*list_, *this);
  list_->SetItemIndex(itemIndex_);
  SetCaptureControl(this);
  Invalidate();
}

void TComboBox::CloseUp(bool accept) {
  if (!list_) return;
  const int chosen = list_->ItemIndex();
  TListBox* list = list_;
  list_ = nullptr;
  CloseDropDown(*list);
  delete list;
  if (GetCaptureControl() == this) ReleaseCapture();
  buttonPressed_ = false;
  Invalidate();
  if (accept) Choose(chosen);
  if (OnCloseUp) OnCloseUp(this);
}

POINT TComboBox::ToList(int x, int y) const {
  const POINT mine = OriginInTopLevel(), theirs = list_->OriginInTopLevel();
  return POINT{x + mine.x - theirs.x, y + mine.y - theirs.y};
}

bool TComboBox::InList(int x, int y) const {
  if (!list_) return false;
  const RECT r = list_->ClientRect();
  return PtInRect(&r, ToList(x, y)) != FALSE;
}

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (DroppedDown()) {
    if (InList(x, y)) {
      // The list follows; the release chooses. The box keeps the mouse throughout.
      const int index = list_->ItemAtPos(ToList(x, y));
      if (index >= 0) list_->SetItemIndex(index);
      return;
    }
    // A click anywhere else closes the list; on the box itself that is all it does.
    CloseUp(false);
    return;
  }
  const RECT button_ = ButtonRect();
  const bool onButton = PtInRect(&button_, POINT{x, y}) != FALSE;
  if (button == TMouseButton::Left && (onButton || style_ == csDropDownList)) {
    buttonPressed_ = true;
    SetDroppedDown(true);
    return;
  }
  TCustomEdit::MouseDown(button, shift, x, y);
}

void TComboBox::MouseMove(TShiftState shift, int x, int y) {
  if (DroppedDown()) {
    if (InList(x, y)) {
      const POINT p = ToList(x, y);
      list_->Perform(WM_MOUSEMOVE, shift, PointToLParam(p.x, p.y));
    }
    return;
  }
  TCustomEdit::MouseMove(shift, x, y);
}

void TComboBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (DroppedDown()) {
    if (InList(x, y) && button == TMouseButton::Left) {
      const POINT p = ToList(x, y);
      const int index = list_->ItemAtPos(p);
      if (index >= 0) {
        list_->SetItemIndex(index);
        CloseUp(true);
        return;
      }
    }
    // Released on the box after opening it: the list stays and keeps the mouse.
    buttonPressed_ = false;
    Invalidate();
    SetCaptureControl(this);
    return;
  }
  TCustomEdit::MouseUp(button, shift, x, y);
}

void TComboBox::DblClick() {
  if (style_ != csDropDownList && !DroppedDown()) TCustomEdit::DblClick();
}

void TComboBox::KeyDown(std::uint16_t& key, TShiftState shift) {
  const bool toggle = key == VK_F4 || ((shift & ssAlt) && (key == VK_DOWN || key == VK_UP));
  const bool choiceKey = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT ||
                         (style_ == csDropDownList && (key == VK_HOME || key == VK_END));
  if (!toggle && !choiceKey && !DroppedDown()) {
    // The edit's keys; a fixed choice has none of them.
    if (style_ == csDropDownList)
      TWinControl::KeyDown(key, shift);
    else
      TCustomEdit::KeyDown(key, shift);
    return;
  }
  TWinControl::KeyDown(key, shift);
  if (key == 0) return;
  if (toggle) {
    if (DroppedDown())
      CloseUp(true);
    else
      SetDroppedDown(true);
  } else if (DroppedDown()) {
    switch (key) {
      case VK_RETURN:
        CloseUp(true);
        break;
      case VK_ESCAPE:
        CloseUp(false);
        break;
      case VK_TAB:
        CloseUp(true);
        return;  // the focus moves on as well
      default:
        if (list_->Perform(WM_KEYDOWN, key, shift) != 0 && !choiceKey) return;
    }
  } else {
    int index = itemIndex_;
    if (key == VK_UP) index = std::max(index - 1, 0);
    if (key == VK_DOWN) index = index + 1;
    if (key == VK_PRIOR) index = std::max(index - dropDownCount_, 0);
    if (key == VK_NEXT) index = index + dropDownCount_;
    if (key == VK_HOME) index = 0;
    if (key == VK_END) index = items_->Count() - 1;
    Choose(std::min(index, items_->Count() - 1));
  }
  key = 0;
}

void TComboBox::KeyPress(char& key) {
  if (style_ != csDropDownList) return TCustomEdit::KeyPress(key);
  if (OnKeyPress) OnKeyPress(this, key);
  const auto c = static_cast<unsigned char>(key);
  if (c <= 32) return;
  if (const int i = NextItemStartingWith(*items_, itemIndex_, key); i >= 0) Choose(i);
}

void TComboBox::Notification(TComponent* component, TOperation operation) {
  TCustomEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == list_) list_ = nullptr;
}

void TComboBox::WndProc(TMessage& message) {
  if (message.Msg == WM_KILLFOCUS || message.Msg == WM_CANCELMODE) CloseUp(false);
  if (message.Msg == WM_MOUSEWHEEL && DroppedDown()) {
    list_->Perform(WM_MOUSEWHEEL, message.WParam, message.LParam);
    return;
  }
  TCustomEdit::WndProc(message);
}

}  // namespace vantora::host
