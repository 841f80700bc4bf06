#include "host/dialogs/Responder.h"

#include <algorithm>

namespace vantora::host {

std::optional<TDialogAnswer> TDialogResponder::Take(TDialogKind kind) {
  const auto it = std::find_if(answers_.begin(), answers_.end(),
                               [kind](const TDialogAnswer& a) { return a.kind == kind; });
  if (it == answers_.end()) return std::nullopt;
  TDialogAnswer answer = *it;
  answers_.erase(it);
  return answer;
}

TDialogResponder& DialogResponder() {
  static TDialogResponder responder;
  return responder;
}

}  // namespace vantora::host
