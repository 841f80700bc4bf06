// The readable text form of a component stream and its conversion to and from the binary form.
// The conversion needs no knowledge of the classes: it follows the value tags.
//
//   object Label1: TFulgoLabel
//     Caption = 'Hello'
//     Gradient.Steps = 12
//     Visible = False
//     Style = [fsBold, fsItalic]
//     ButtonStates = {
//       0A0B0C0D}
//     Items = (
//       1
//       'two')
//   end
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/classes/Stream.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Converts the component stream from Input's position to its end; raises EReadError on a malformed
// stream, bytes after the root component included.
void ObjectBinaryToText(TStream& input, TStream& output);
// Parses the text form at Input's position; raises EParserError naming the line of a fault.
void ObjectTextToBinary(TStream& input, TStream& output);

std::string ObjectBinaryToText(const std::string& binary);
std::string ObjectTextToBinary(const std::string& text);

// Answers whether the stream at Input's position starts like the binary form (its signature),
// leaving the position unchanged.
bool IsBinaryComponentStream(TStream& input);

VANTORA_DECLARE_ERROR(EParserError, EReadError);

}  // namespace vantora::host
VANTORA_API_END
