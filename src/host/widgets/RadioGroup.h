// A radio group: one radio button per item inside a group box, laid out in columns; ItemIndex is
// the checked one (-1: none) and every change fires OnClick.
#pragma once

#include <memory>
#include <vector>

#include "VantoraExport.h"
#include "host/widgets/GroupBox.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TRadioGroup : public TCustomGroupBox {
  VANTORA_PERSISTENT(TRadioGroup)

  explicit TRadioGroup(TComponent* owner);
  ~TRadioGroup() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int value);
  int Columns() const { return columns_; }
  void SetColumns(int value);
  // The button of an item, for enabling or focusing it.
  TRadioButton* Buttons(int index) const;

  void Loaded() override;

 protected:
  void BoundsChanged(int oldWidth, int oldHeight) override;
  void CMFontChanged(TMessage& message) override;

 private:
  void ItemsChanged();
  void ArrangeButtons();
  void UpdateTabStops();
  void ButtonClicked(TRadioButton* button);

  std::unique_ptr<TStrings> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
