#include "host/widgets/RadioGroup.h"

#include <algorithm>

namespace vantora::host {

const TClass& TRadioGroup::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TRadioGroup>("TRadioGroup", TCustomGroupBox::StaticClass())
          .Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns, 1)
          .Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex, -1)
          .Property("Items", &TRadioGroup::Items, &TRadioGroup::SetItems)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TRadioGroup);

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomGroupBox(owner), items_(std::make_unique<TStrings>()) {
  items_->OnChange = [this] { ItemsChanged(); };
}

TRadioGroup::~TRadioGroup() {
  items_->OnChange = nullptr;
}

TRadioButton* TRadioGroup::Buttons(int index) const {
  if (index < 0 || index >= static_cast<int>(buttons_.size())) RaiseListIndexError(index);
  return buttons_[static_cast<std::size_t>(index)];
}

void TRadioGroup::SetItemIndex(int value) {
  if (IsLoading()) {
    itemIndex_ = value;
    return;
  }
  value = std::clamp(value, -1, items_->Count() - 1);
  if (value == itemIndex_) return;
  itemIndex_ = value;
  updating_ = true;
  for (std::size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == value);
  updating_ = false;
  UpdateTabStops();
  Click();
}

void TRadioGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (value == columns_) return;
  columns_ = value;
  ArrangeButtons();
}

void TRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  const int index = itemIndex_;
  itemIndex_ = -1;
  ItemsChanged();
  updating_ = true;
  if (index >= 0 && index < static_cast<int>(buttons_.size())) {
    buttons_[static_cast<std::size_t>(index)]->SetChecked(true);
    itemIndex_ = index;
  }
  updating_ = false;
  UpdateTabStops();
}

void TRadioGroup::ItemsChanged() {
  if (IsLoading()) return;
  const int count = items_->Count();
  while (static_cast<int>(buttons_.size()) > count) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  while (static_cast<int>(buttons_.size()) < count) {
    auto* button = new TRadioButton(this);
    button->OnClick = [this, button](TPersistent*) { ButtonClicked(button); };
    button->SetParent(this);
    buttons_.push_back(button);
  }
  for (int i = 0; i < count; ++i) buttons_[static_cast<std::size_t>(i)]->SetCaption((*items_)[i]);
  if (itemIndex_ >= count) itemIndex_ = -1;
  UpdateTabStops();
  ArrangeButtons();
}

void TRadioGroup::UpdateTabStops() {
  // Tab reaches the group once, at its checked button; the arrows move among the buttons.
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->SetTabStop(static_cast<int>(i) == std::max(itemIndex_, 0));
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const RECT area = AlignArea();
  const int count = static_cast<int>(buttons_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int columnWidth = (area.right - area.left - 8) / columns_;
  const int rowHeight = std::max(1, (area.bottom - area.top) / rows);
  for (int i = 0; i < count; ++i) {
    const int column = i / rows, row = i % rows;
    buttons_[static_cast<std::size_t>(i)]->SetBounds(area.left + 6 + column * columnWidth,
                                                     area.top + row * rowHeight + (rowHeight - 17) / 2,
                                                     columnWidth - 2, 17);
  }
}

void TRadioGroup::ButtonClicked(TRadioButton* button) {
  if (updating_ || !button->Checked()) return;
  const auto it = std::find(buttons_.begin(), buttons_.end(), button);
  if (it == buttons_.end()) return;
  itemIndex_ = static_cast<int>(it - buttons_.begin());
  UpdateTabStops();
  Click();
}

void TRadioGroup::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomGroupBox::BoundsChanged(oldWidth, oldHeight);
  ArrangeButtons();
}

void TRadioGroup::CMFontChanged(TMessage& message) {
  TCustomGroupBox::CMFontChanged(message);
  ArrangeButtons();
}

}  // namespace vantora::host
