// A page control: tabs along the top over a raised frame, one sheet per tab; choosing a tab shows
// its sheet. The sheets are TTabSheet children whose captions are the tabs.
#pragma once

#include "VantoraExport.h"
#include "host/widgets/Notebook.h"
#include "host/widgets/TabSet.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TTabSheet : public TPage {
  VANTORA_PERSISTENT(TTabSheet)
  explicit TTabSheet(TComponent* owner) : TPage(owner) {}

 protected:
  void CMTextChanged(TMessage& message) override;
};

class TPageControl : public TCustomControl {
  VANTORA_PERSISTENT(TPageControl)

  explicit TPageControl(TComponent* owner);

  int PageCount() const;
  TTabSheet* Pages(int index) const;
  // A new last sheet, owned by the control's owner so that it streams with the form.
  TTabSheet* AddPage(const std::string& caption);
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The tabs follow the sheets' captions.
  void UpdateTabs();

  TNotifyEvent OnChange;

  void Loaded() override;

 protected:
  void Paint() override;
  RECT AlignArea() const override;
  void BoundsChanged(int oldWidth, int oldHeight) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TTabSet* tabs_;
  TTabSheet* active_ = nullptr;
};

}  // namespace vantora::host
VANTORA_API_END
