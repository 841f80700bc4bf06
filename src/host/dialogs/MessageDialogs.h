// Message and input boxes: MessageDlg with an icon's kind and a set of buttons, ShowMessage,
// InputBox and InputQuery, and MessageBeep. Each takes a scripted answer when one is queued.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"
#include "host/classes/TypeInfo.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : std::uint8_t { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
const TEnumInfo& TypeInfoOf(TMsgDlgBtn);
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Shows Message and answers the result of the button chosen (mrCancel when closed otherwise). The
// title is Caption, or without one the name of the message's kind.
TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                        const std::string& caption = {});
void ShowMessage(const std::string& message);
// Answers whether the user confirmed; Value is the text entered then, else it stays.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The text entered, or Default when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
void MessageBeep(int type = 0);

}  // namespace vantora::host
VANTORA_API_END
