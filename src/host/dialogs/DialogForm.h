// A dialog's form, built in code: a dialog border, centred on the screen, with helpers that place
// named controls and the buttons that end it. Closing it any other way (the window manager, a
// timer) ends it with mrCancel.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/forms/Button.h"
#include "host/forms/Forms.h"
#include "host/widgets/Label.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TDialogForm : public TForm {
 public:
  TDialogForm(const std::string& caption, int clientWidth, int clientHeight);

  // A control of class T named Name inside Parent.
  template <class T>
  T* Place(TWinControl* parent, const std::string& name, int left, int top, int width, int height,
           const std::string& caption = {}) {
    auto* control = new T(this);
    control->SetName(name);
    control->SetBounds(left, top, width, height);
    if (!caption.empty()) control->SetCaption(caption);
    control->SetParent(parent);
    return control;
  }
  // A label of a fixed size (wrapping its words when Wrap).
  TLabel* AddText(TWinControl* parent, const std::string& name, int left, int top, int width, int height,
                  const std::string& caption, bool wrap = false);
  TButton* AddButton(const std::string& name, const std::string& caption, TModalResult result, int left,
                     int top, bool isDefault = false, bool isCancel = false);
  // Shows the dialog modally; closed any other way than by its buttons, it answers mrCancel.
  TModalResult Run();
};

}  // namespace vantora::host
VANTORA_API_END
