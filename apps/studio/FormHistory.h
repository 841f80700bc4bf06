// The designer's one command stack. Each state of the designed form is kept whole as its text form,
// which is exact: undoing a step is reading back the text the form had before it, whatever the step
// was (a drag, an inspector edit, a paste, everything the wizard's Ok changed at once).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantora::studio {

class TFormHistory {
 public:
  // Forgets every step; State is where the form starts.
  void Reset(std::string state);
  // The form is now in State: one step, unless nothing changed. Steps undone are forgotten.
  bool Record(std::string state);
  // The state to go back (or forth) to, which becomes the current one; none at either end.
  std::optional<std::string> Undo();
  std::optional<std::string> Redo();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  const std::string& Current() const { return current_; }

 private:
  std::vector<std::string> undo_;
  std::vector<std::string> redo_;
  std::string current_;
};

}  // namespace vantora::studio
