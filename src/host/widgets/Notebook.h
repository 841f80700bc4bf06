// A notebook: a stack of pages of which one shows, chosen by PageIndex (or by name with
// ActivePage). Each page is a TPage child that holds the page's controls.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TPage : public TCustomControl {
  VANTORA_PERSISTENT(TPage)
  explicit TPage(TComponent* owner);

 protected:
  void Paint() override;
};

class TNotebook : public TCustomControl {
  VANTORA_PERSISTENT(TNotebook)

  explicit TNotebook(TComponent* owner);

  int PageCount() const;
  TPage* Pages(int index) const;
  // A new last page with the caption, owned by the notebook's owner (so it streams with the form).
  TPage* AddPage(const std::string& caption);
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int value);
  std::string ActivePage() const;
  void SetActivePage(const std::string& caption);

  TNotifyEvent OnPageChanged;

  void Loaded() override;

 protected:
  void Paint() override;

 private:
  void ShowPage();
  int pageIndex_ = 0;
};

}  // namespace vantora::host
VANTORA_API_END
