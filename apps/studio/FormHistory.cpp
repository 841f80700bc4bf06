#include "FormHistory.h"

namespace vantora::studio {

namespace {

// Moves the current state to one stack and takes the next from the other.
std::optional<std::string> Step(std::vector<std::string>& from, std::vector<std::string>& to,
                                std::string& current) {
  if (from.empty()) return std::nullopt;
  to.push_back(std::move(current));
  current = std::move(from.back());
  from.pop_back();
  return current;
}

}  // namespace

void TFormHistory::Reset(std::string state) {
  undo_.clear();
  redo_.clear();
  current_ = std::move(state);
}

bool TFormHistory::Record(std::string state) {
  if (state == current_) return false;
  undo_.push_back(std::move(current_));
  current_ = std::move(state);
  redo_.clear();
  return true;
}

std::optional<std::string> TFormHistory::Undo() {
  return Step(undo_, redo_, current_);
}

std::optional<std::string> TFormHistory::Redo() {
  return Step(redo_, undo_, current_);
}

}  // namespace vantora::studio
