#include "host/dialogs/Responder.h"

namespace vantora::host {

std::optional<TDialogAnswer> TDialogResponder::Take(TDialogKind kind) {
  if (answers_.empty()) return std::nullopt;
  if (answers_.front().kind != kind)
    throw EInvalidOperation("The next scripted answer is for another dialog");
  TDialogAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

TDialogResponder& DialogResponder() {
  static TDialogResponder responder;
  return responder;
}

}  // namespace vantora::host
