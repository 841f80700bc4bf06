// Unit WizardSupport: the small pieces the wizard's units share: scope guards for its flags and
// rebuilds, spin edits that keep their last good value, alignments by index, error reports, and
// the working copy's art and caption.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"
#include "controls/Fulfile.h"
#include "host/forms/Controls.h"

VANTORA_API_BEGIN
namespace vantora {

class TfrmWizard;
class TFulgoButton;
class tFulgoArt;
class tQorSpin2;

namespace host {
class TScrollBox;
}

namespace wizard {

// Sets a flag for a scope and puts the old value back however the scope ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};

// Allows rebuilds of a control for a scope and forbids them again however it ends.
class RebuildsAllowed {
 public:
  explicit RebuildsAllowed(tFulgoControl& control) : control_(control) { control.SetAllowRebuild(true); }
  RebuildsAllowed(const RebuildsAllowed&) = delete;
  RebuildsAllowed& operator=(const RebuildsAllowed&) = delete;
  ~RebuildsAllowed() { control_.SetAllowRebuild(false); }

 private:
  tFulgoControl& control_;
};

void ShowSpin(tQorSpin2& spin, std::int32_t value);
// A typed value that is no integer, or lies outside the spin's range, is refused with a beep and
// the spin shows Current, the last good value, again. Current itself is always accepted: it is
// what the model holds, even when a file put it outside the range.
std::int32_t SpinOr(tQorSpin2& spin, std::int32_t current);
std::int16_t SpinOr16(tQorSpin2& spin, std::int16_t current);

// The alignments in the order the alignment radio groups list them.
int AlignmentIndex(host::TAlignment alignment);
host::TAlignment AlignmentAt(int index);

// The colour panel's entry a "›" button or a switch selects, by its tag; -1 for none.
int ColorOfTag(int tag);

// A control centred in its scroll box; one larger than the box sits at 0 and the box scrolls over it.
void CentreInBox(host::TScrollBox& box, host::TControl& control);
// Shown through the application's error display, which a host may have taken over.
void ReportLoadError(const std::string& file, const std::string& message);

tFulgoArt* StateArt(const TFulgoButton& button, int state);
// The art of the working copy the preview shows.
tFulgoArt* WorkArt(const TfrmWizard& form);
// The caption kept by the working copy: the last one accepted.
std::string WorkCaption(const TfrmWizard& form);

}  // namespace wizard
}  // namespace vantora
VANTORA_API_END
