// A list box: Items shown one per row (sorted when Sorted), the selected one at ItemIndex, chosen
// by click, arrow and page keys, Home/End or the first letter; the wheel and a vertical scroll bar
// scroll it. OnClick follows every change of the selection made by the user.
#pragma once

#include <memory>

#include "VantoraExport.h"
#include "host/widgets/ScrollBar.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

// The first item after Current (wrapping round) that starts with Letter, ignoring case; -1 if none.
int NextItemStartingWith(const TStrings& items, int current, char letter);

class TListBox : public TCustomControl {
  VANTORA_PERSISTENT(TListBox)

  explicit TListBox(TComponent* owner);
  ~TListBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* value) { items_->Assign(value); }
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool value) { items_->SetSorted(value); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int value);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  // The item under a client point, or -1.
  int ItemAtPos(POINT p) const;
  // The rows that fit.
  int VisibleRows() const;
  // Follows the mouse without a button down (the drop-down list of a combo box does).
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value) { hotTrack_ = value; }

  void Loaded() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WndProc(TMessage& message) override;
  void BoundsChanged(int oldWidth, int oldHeight) override;
  void CMFontChanged(TMessage& message) override;

 private:
  RECT ItemsArea() const;
  void ItemsChanged();
  void UpdateScrollBar();
  // Selects as the user does: OnClick when it changed.
  void Choose(int index);
  void MakeVisible(int index);

  std::unique_ptr<TStrings> items_;
  TScrollBar* scrollBar_;
  int itemIndex_ = -1;
  int itemHeight_ = 13;
  int topIndex_ = 0;
  bool hotTrack_ = false;
  TFormBorderStyle borderStyle_ = bsSingle;
};

}  // namespace vantora::host
VANTORA_API_END
