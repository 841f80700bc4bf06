// Input boxes: InputBox and InputQuery, beside the message boxes they come with. Each takes a
// scripted answer when one is queued.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/forms/Forms.h"
#include "host/forms/MessageBox.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Answers whether the user confirmed; Value is the text entered then, else it stays.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The text entered, or Default when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);

}  // namespace vantora::host
VANTORA_API_END
