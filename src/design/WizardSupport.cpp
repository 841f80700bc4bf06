#include "design/WizardSupport.h"

#include <algorithm>
#include <array>
#include <exception>
#include <iterator>

#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"
#include "design/Wizard.h"
#include "host/classes/Errors.h"
#include "host/classes/Platform.h"
#include "host/forms/Application.h"
#include "host/widgets/ScrollBox.h"
#include "model/Fultext.h"

namespace vantora::wizard {

namespace {

constexpr host::TAlignment kAlignments[] = {host::taCenter, host::taLeftJustify, host::taRightJustify};
// The colour panel's entry for each tag; 0 is no entry.
constexpr std::array<int, 13> kColorOfTag = {0, 1, 2, 3, 4, 0, 6, 7, 8, 9, 5, 5, 0};

}  // namespace

void ShowSpin(tQorSpin2& spin, std::int32_t value) {
  spin.SetText(std::to_string(value));
}

std::int32_t SpinOr(tQorSpin2& spin, std::int32_t current) {
  try {
    const std::int32_t value = spin.Getvalue();
    if (value == current || spin.CheckNewValue(value)) return value;
  } catch (const host::EConvertError&) {
  }
  host::MessageBeep(0);
  ShowSpin(spin, current);
  return current;
}

std::int16_t SpinOr16(tQorSpin2& spin, std::int16_t current) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(SpinOr(spin, current), INT16_MIN, INT16_MAX));
}

int AlignmentIndex(host::TAlignment alignment) {
  const auto* it = std::find(std::begin(kAlignments), std::end(kAlignments), alignment);
  return it == std::end(kAlignments) ? 0 : static_cast<int>(it - std::begin(kAlignments));
}

host::TAlignment AlignmentAt(int index) {
  return kAlignments[std::clamp(index, 0, static_cast<int>(std::size(kAlignments)) - 1)];
}

int ColorOfTag(int tag) {
  if (tag <= 0 || tag >= static_cast<int>(kColorOfTag.size())) return -1;
  return kColorOfTag[static_cast<std::size_t>(tag)];
}

void CentreInBox(host::TScrollBox& box, host::TControl& control) {
  const tPresetPlacement place =
      PlacePreset(box.ClientWidth(), box.ClientHeight(), control.Width(), control.Height());
  box.HorzScrollBar()->SetRange(place.HorzRange);
  box.VertScrollBar()->SetRange(place.VertRange);
  control.SetBounds(place.X, place.Y, control.Width(), control.Height());
}

void ReportLoadError(const std::string& file, const std::string& message) {
  host::Application->HandleException(
      std::make_exception_ptr(host::Exception("Cannot load \"" + file + "\": " + message)));
}

tFulgoArt* StateArt(const TFulgoButton& button, int state) {
  switch (state) {
    case kStateDown:
      return button.DownArt.get();
    case kStateDisable:
      return button.DisableArt.get();
    case kStateMouseOver:
      return button.MouseOverArt.get();
    default:
      return button.Art.get();
  }
}

tFulgoArt* WorkArt(const TfrmWizard& form) {
  switch (form.EditMode) {
    case edButton:
      return StateArt(*form.WorkButton, form.ButtonState);
    case edPanel:
      return form.WorkPanel->Art.get();
    case edLabel:
      break;
  }
  return form.WorkLabel->Art.get();
}

std::string WorkCaption(const TfrmWizard& form) {
  if (form.EditMode == edButton && form.ButtonState != kStateUp) return form.EditedText()->Caption;
  return form.WorkControl().HostControl().Caption();
}

}  // namespace vantora::wizard
