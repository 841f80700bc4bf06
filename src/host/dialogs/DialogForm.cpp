#include "host/dialogs/DialogForm.h"


namespace vantora::host {

TDialogForm::TDialogForm(const std::string& caption, int clientWidth, int clientHeight) : TForm(nullptr) {
  SetCaption(caption);
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetBounds(0, 0, clientWidth, clientHeight);
}

TButton* TDialogForm::AddButton(const std::string& name, const std::string& caption, TModalResult result,
                                int left, int top, bool isDefault, bool isCancel) {
  auto* button = Place<TButton>(this, name, left, top, 75, 25, caption);
  button->SetModalResult(result);
  button->SetDefault(isDefault);
  button->SetCancel(isCancel);
  return button;
}

TLabel* TDialogForm::AddText(TWinControl* parent, const std::string& name, int left, int top, int width,
                             int height, const std::string& caption, bool wrap) {
  auto* label = new TLabel(this);
  label->SetName(name);
  label->SetAutoSize(false);
  label->SetWordWrap(wrap);
  label->SetBounds(left, top, width, height);
  label->SetCaption(caption);
  label->SetParent(parent);
  return label;
}

TModalResult TDialogForm::Run() {
  const TModalResult result = ShowModal();
  return result == mrNone ? mrCancel : result;
}

}  // namespace vantora::host
