#include "host/dialogs/MessageDialogs.h"

#include "host/dialogs/DialogForm.h"
#include "host/forms/Responder.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"

namespace vantora::host {

namespace {

constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 25, kGap = 8;

}  // namespace

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TDialogRecord record;
  record.kind = TDialogKind::Input;
  record.title = caption;
  record.text = prompt;
  record.value = value;
  if (auto answer = DialogResponder().Take(record)) {
    if (answer->accept) value = answer->text;
    return answer->accept;
  }
  constexpr int kWidth = 300;
  TDialogForm dialog(caption, kWidth, 110);
  auto* label = dialog.Place<TLabel>(&dialog, "Prompt", kMargin, kMargin, kWidth - 2 * kMargin, 13, prompt);
  auto* edit = dialog.Place<TEdit>(&dialog, "Value", kMargin, label->Top() + label->Height() + 6,
                                   kWidth - 2 * kMargin, 21);
  edit->SetText(value);
  edit->SelectAll();
  label->SetFocusControl(edit);
  const int buttonsTop = edit->Top() + edit->Height() + kMargin;
  dialog.AddButton("OK", "OK", mrOk, kWidth - 2 * (kButtonWidth + kGap) - kMargin + kGap, buttonsTop, true);
  dialog.AddButton("Cancel", "Cancel", mrCancel, kWidth - kButtonWidth - kMargin, buttonsTop, false, true);
  dialog.SetBounds(0, 0, kWidth, buttonsTop + kButtonHeight + kMargin);
  dialog.SetActiveControl(edit);
  TDialogAnswer answer;
  answer.accept = dialog.Run() == mrOk;
  answer.text = edit->Text();
  DialogResponder().Record(record, answer);
  if (answer.accept) value = answer.text;
  return answer.accept;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
  std::string value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}

}  // namespace vantora::host
