// The one message box: MessageDlg shows a message with the sign of its kind and a set of buttons,
// and takes a scripted answer when one is queued. The application's MessageBox and the platform's
// message-box service both come here.
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

}  // namespace vantora::host
VANTORA_API_END
