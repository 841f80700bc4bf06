// A combo box: an edit (csDropDown) or a fixed choice (csDropDownList) with a button that drops a
// list of Items down. The list follows the mouse and the arrow keys; a click or Enter chooses and
// closes it, Escape or a click outside closes it unchanged. Choosing sets Text and ItemIndex and
// fires OnChange.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList };
const TEnumInfo& TypeInfoOf(TComboBoxStyle);

class TComboBox : public TCustomEdit {
  VANTORA_PERSISTENT(TComboBox)

  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool value) { items_->SetSorted(value); }
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value) { dropDownCount_ = std::max(value, 1); }
  bool DroppedDown() const { return list_ != nullptr; }
  void SetDroppedDown(bool value);

  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Loaded() override;

 protected:
  RECT TextArea() const override;
  void PaintText(HDC dc, const RECT& area) override;
  void Paint() override;
  void Change() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  RECT ButtonRect() const;
  // Sets Text from the item (and ItemIndex), as a choice of the user does.
  void Choose(int index);
  void CloseUp(bool accept);
  // A point of this control in the drop-down list's coordinates.
  POINT ToList(int x, int y) const;
  bool InList(int x, int y) const;

  std::unique_ptr<TStrings> items_;
  TListBox* list_ = nullptr;  // the dropped-down list, a child of the form while it shows
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  TComboBoxStyle style_ = csDropDown;
  bool buttonPressed_ = false;
  bool choosing_ = false;
};

}  // namespace vantora::host
VANTORA_API_END
