// The studio's own window: file buttons, the palette's tabs and button bar, read from its embedded
// layout with the controls bound by name. The studio wires their handlers and fills the palette.
#pragma once

#include "host/forms/Forms.h"

namespace vantora::host {
class TButton;
class TPanel;
class TTabSet;
}  // namespace vantora::host

namespace vantora::studio {

class TStudioWindow : public host::TForm {
  VANTORA_PERSISTENT(TStudioWindow)

  explicit TStudioWindow(host::TComponent* owner);

  host::TButton* btnNew = nullptr;
  host::TButton* btnOpen = nullptr;
  host::TButton* btnSave = nullptr;
  host::TButton* btnSaveAs = nullptr;
  host::TButton* btnEdit = nullptr;
  host::TButton* btnTest = nullptr;
  host::TTabSet* tabPalette = nullptr;
  host::TPanel* pnlPalette = nullptr;
};

}  // namespace vantora::studio
