#include "host/dialogs/MessageDialogs.h"

#include <algorithm>
#include <vector>

#include "host/dialogs/DialogForm.h"
#include "host/dialogs/Responder.h"
#include "host/forms/Application.h"
#include "host/forms/StylePainter.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"

namespace vantora::host {

namespace {

constexpr int kMargin = 12, kButtonWidth = 75, kButtonHeight = 25, kGap = 8;
constexpr int kMaxTextWidth = 400;

struct ButtonInfo {
  TMsgDlgBtn button;
  const char* name;
  const char* caption;
  TModalResult result;
};

constexpr ButtonInfo kButtons[] = {
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
};

std::string CaptionOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    case mtCustom:
      break;
  }
  return Application ? Application->Title() : std::string();
}

// The sign of the message's kind beside its text.
class TMessageSign : public TGraphicControl {
 public:
  TMessageSign(TComponent* owner, StylePainter::MessageSign sign) : TGraphicControl(owner), sign_(sign) {
    SetBounds(0, 0, StylePainter::kMessageSignSize, StylePainter::kMessageSignSize);
  }

 protected:
  void Paint() override { StylePainter::MessageSignIcon(Canvas().Handle(), 0, 0, sign_, Font()); }

 private:
  StylePainter::MessageSign sign_;
};

}  // namespace

const TEnumInfo& TypeInfoOf(TMsgDlgBtn) {
  static const TEnumInfo info{"TMsgDlgBtn",
                              {"mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore"}};
  return info;
}

TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                        const std::string& caption) {
  if (auto answer = DialogResponder().Take(TDialogKind::Message))
    return answer->accept ? answer->button : mrCancel;
  std::vector<const ButtonInfo*> shown;
  for (const ButtonInfo& info : kButtons)
    if (buttons.Contains(info.button)) shown.push_back(&info);
  if (shown.empty()) shown.push_back(&kButtons[2]);

  const int buttonsWidth = static_cast<int>(shown.size()) * (kButtonWidth + kGap) - kGap;
  const int textWidth = std::min(kMaxTextWidth, std::max(DialogTextWidth(message), 120));
  const bool withSign = type != mtCustom;
  const int textLeft = kMargin + (withSign ? StylePainter::kMessageSignSize + kMargin : 0);
  const int width = std::max(textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin);
  TDialogForm dialog(caption.empty() ? CaptionOf(type) : caption, width, 100);
  if (withSign) {
    const auto sign = type == mtWarning        ? StylePainter::MessageSign::Warning
                      : type == mtError        ? StylePainter::MessageSign::Error
                      : type == mtConfirmation ? StylePainter::MessageSign::Question
                                               : StylePainter::MessageSign::Information;
    auto* icon = new TMessageSign(&dialog, sign);
    icon->SetName("Sign");
    icon->SetBounds(kMargin, kMargin, StylePainter::kMessageSignSize, StylePainter::kMessageSignSize);
    icon->SetParent(&dialog);
  }
  auto* text = dialog.AddText(&dialog, "Message", textLeft, kMargin, textWidth, 13, message, true);
  text->SetHeight(static_cast<int>(text->Lines().size()) *
                  StylePainter::MeasureCharacters(text->Font()).height);
  // Short text stands level with the middle of the sign.
  if (withSign && text->Height() < StylePainter::kMessageSignSize)
    text->SetTop(kMargin + (StylePainter::kMessageSignSize - text->Height()) / 2);
  const int textBottom =
      std::max(text->Top() + text->Height(), withSign ? kMargin + StylePainter::kMessageSignSize : 0);
  const int buttonsTop = textBottom + 2 * kMargin;
  dialog.SetBounds(0, 0, width, buttonsTop + kButtonHeight + kMargin);
  // The first button is the default; Cancel, else No, else a lone OK answers Escape.
  const bool hasCancel = buttons.Contains(mbCancel), hasNo = buttons.Contains(mbNo);
  int x = (width - buttonsWidth) / 2;
  for (const ButtonInfo* info : shown) {
    const bool isCancel =
        info->button == mbCancel || (info->button == mbNo && !hasCancel) || (shown.size() == 1 && !hasNo);
    TButton* button = dialog.AddButton(info->name, info->caption, info->result, x, buttonsTop,
                                       info == shown.front(), isCancel);
    if (info == shown.front()) dialog.SetActiveControl(button);
    x += kButtonWidth + kGap;
  }
  return dialog.Run();
}

void ShowMessage(const std::string& message) {
  MessageDlg(message, mtCustom, {mbOK});
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  if (auto answer = DialogResponder().Take(TDialogKind::Input)) {
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
  if (dialog.Run() != mrOk) return false;
  value = edit->Text();
  return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
  std::string value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}

void MessageBeep(int) {
  if (Application) Application->Backend().Beep();
}

}  // namespace vantora::host
