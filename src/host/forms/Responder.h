// Answers to dialogs given in advance, and a record of every dialog shown. With answers queued, the
// next dialog of the matching kind takes the first one instead of waiting for a person; either way
// the dialog is recorded with what it was opened with and the answer it gave.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/forms/Font.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class TDialogKind : std::uint8_t { Message, Input, Color, Font, OpenFile, SaveFile };
const char* DialogKindName(TDialogKind kind);

struct TDialogAnswer {
  TDialogKind kind = TDialogKind::Message;
  // False for a dialog left with Cancel.
  bool accept = true;
  // The button of a message dialog.
  TModalResult button = mrOk;
  // The text of an input box, or the file name of a file dialog.
  std::string text;
  TColor color = clBlack;
  std::string fontName;
  int fontSize = 0;
  TFontStyles fontStyle;
};

// A dialog as it was opened, and how it ended.
struct TDialogRecord {
  TDialogKind kind = TDialogKind::Message;
  std::string title;
  // A message's text, or an input box's prompt.
  std::string text;
  // What it offered first: an input box's text, a file dialog's file name.
  std::string value;
  // File dialogs.
  std::string filter, defaultExt, initialDir;
  // The colour or font it opened with.
  TColor color = clBlack;
  std::string fontName;
  int fontSize = 0;
  TDialogAnswer answer;
  // Answered from the queue rather than by a person.
  bool scripted = false;
};

class TDialogResponder {
 public:
  void Queue(const TDialogAnswer& answer) { answers_.push_back(answer); }
  void Clear() { answers_.clear(); }
  int Pending() const { return static_cast<int>(answers_.size()); }
  // The first queued answer of the opened dialog's kind, taken from the queue and recorded with
  // the dialog; none when none is queued (the dialog is then shown, and recorded when it ends).
  std::optional<TDialogAnswer> Take(const TDialogRecord& opened);
  void Record(TDialogRecord shown, const TDialogAnswer& answer);
  const std::vector<TDialogRecord>& History() const { return history_; }
  void ClearHistory() { history_.clear(); }

  // Told about every modal form once it is up (dialogs a queued answer spared are never shown): a
  // test drives the form's own controls from here.
  std::function<void(TCustomForm& form)> OnShow;
  void Shown(TCustomForm& form) {
    if (OnShow) OnShow(form);
  }

 private:
  std::deque<TDialogAnswer> answers_;
  std::vector<TDialogRecord> history_;
};

TDialogResponder& DialogResponder();

}  // namespace vantora::host
VANTORA_API_END
