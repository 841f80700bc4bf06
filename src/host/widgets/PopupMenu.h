// A context menu: a column of items that pops up at a screen point in a borderless window of its own.
// The item under the mouse is highlighted and the arrow keys move the highlight over the items that
// can be chosen; a click, Enter or an item's accelerator letter chooses, while Escape, a click outside
// or the window losing activation close the menu without a choice. Choosing closes the menu before
// the item's OnClick runs, so the handler may open a modal form or free the menu's owner.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TPopupMenu;
class TPopupMenuWindow;

class TMenuItem : public TPersistent {
  VANTORA_PERSISTENT(TMenuItem)

  explicit TMenuItem(TPopupMenu& menu) : menu_(menu) {}

  // '&' marks the accelerator letter; "-" makes the item a separator line.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool IsLine() const { return caption_ == "-"; }
  // Whether a highlight may rest on the item and a choice take it.
  bool Selectable() const { return enabled_ && !IsLine(); }

  TNotifyEvent OnClick;

 private:
  TPopupMenu& menu_;
  std::string caption_;
  bool enabled_ = true;
};

class TPopupMenu : public TComponent {
  VANTORA_PERSISTENT(TPopupMenu)

  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Add(const std::string& caption, TNotifyEvent onClick = nullptr);
  // Closes the menu if it shows, and frees every item.
  void Clear();

  // Fires OnPopup, then shows the items with the menu's top-left corner at the screen point (X, Y),
  // or left of and above it where the screen ends. Answers at once; an empty menu does not show.
  void Popup(int x, int y);
  // Closes the menu without a choice.
  void CloseUp();
  bool Showing() const;
  // The highlighted item, or -1.
  int Highlighted() const;
  // The menu's window while it exists (after the first Popup), for input and screenshots.
  TCustomForm* Window() const;

  TNotifyEvent OnPopup;

 private:
  friend class TMenuItem;
  void ItemsChanged();

  std::vector<std::unique_ptr<TMenuItem>> items_;
  std::unique_ptr<TPopupMenuWindow> window_;
};

}  // namespace vantora::host
VANTORA_API_END
