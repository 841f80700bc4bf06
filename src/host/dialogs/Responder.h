// Answers to dialogs given in advance: with answers queued, the next dialog of the matching kind
// takes the first one instead of waiting for a person. Tests queue them; nothing is shown then.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "VantoraExport.h"
#include "host/forms/Font.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class TDialogKind : std::uint8_t { Message, Input, Color, Font, OpenFile, SaveFile };

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

class TDialogResponder {
 public:
  void Queue(const TDialogAnswer& answer) { answers_.push_back(answer); }
  void Clear() { answers_.clear(); }
  int Pending() const { return static_cast<int>(answers_.size()); }
  // The first queued answer of this kind, taken from the queue; none when none is queued.
  std::optional<TDialogAnswer> Take(TDialogKind kind);

  // Told about every dialog shown to a person (one no answer was queued for), once its form is
  // up: a test drives the dialog's own controls from here.
  std::function<void(TCustomForm& dialog)> OnShow;
  void Shown(TCustomForm& dialog) {
    if (OnShow) OnShow(dialog);
  }

 private:
  std::deque<TDialogAnswer> answers_;
};

TDialogResponder& DialogResponder();

}  // namespace vantora::host
VANTORA_API_END
