#include "host/forms/Responder.h"

#include <algorithm>

namespace vantora::host {

const char* DialogKindName(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::Message:
      return "message";
    case TDialogKind::Input:
      return "input";
    case TDialogKind::Color:
      return "colour";
    case TDialogKind::Font:
      return "font";
    case TDialogKind::OpenFile:
      return "open file";
    case TDialogKind::SaveFile:
      return "save file";
  }
  return "dialog";
}

std::optional<TDialogAnswer> TDialogResponder::Take(const TDialogRecord& opened) {
  const auto it = std::find_if(answers_.begin(), answers_.end(),
                               [&](const TDialogAnswer& a) { return a.kind == opened.kind; });
  if (it == answers_.end()) return std::nullopt;
  TDialogAnswer answer = *it;
  answers_.erase(it);
  TDialogRecord record = opened;
  record.answer = answer;
  record.scripted = true;
  history_.push_back(std::move(record));
  return answer;
}

void TDialogResponder::Record(TDialogRecord shown, const TDialogAnswer& answer) {
  shown.answer = answer;
  shown.answer.kind = shown.kind;
  shown.scripted = false;
  history_.push_back(std::move(shown));
}

TDialogResponder& DialogResponder() {
  static TDialogResponder responder;
  return responder;
}

}  // namespace vantora::host
