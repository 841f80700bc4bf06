// A row of tabs: the one at TabIndex stands out and joins what lies below it. A click, the
// arrow keys while focused or a caption's accelerator selects a tab ("&&" shows one '&');
// OnChange may refuse the change. With a Notebook it turns the notebook's pages.
#pragma once

#include <functional>
#include <memory>

#include "VantoraExport.h"
#include "host/widgets/Notebook.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TTabSet : public TCustomControl {
  VANTORA_PERSISTENT(TTabSet)

  explicit TTabSet(TComponent* owner);
  ~TTabSet() override;

  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* value) { tabs_->Assign(value); }
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int value);
  TNotebook* Notebook() const { return notebook_; }
  void SetNotebook(TNotebook* value);
  // The tab under a client point, or -1.
  int TabAt(int x, int y);
  RECT TabRect(int index);

  using TTabChangeEvent = std::function<void(TPersistent* sender, int newTab, bool& allowChange)>;
  TTabChangeEvent OnChange;

  void Loaded() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void CMDialogChar(TMessage& message) override;
  void CMMouseLeave(TMessage& message) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // Selects as the user does: OnChange may refuse; OnClick follows.
  void Select(int index);
  std::unique_ptr<TStrings> tabs_;
  TNotebook* notebook_ = nullptr;
  int tabIndex_ = -1;
  int hover_ = -1;
};

}  // namespace vantora::host
VANTORA_API_END
