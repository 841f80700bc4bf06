// The wizard's previews: the edited art rendered when the update rule says so (at once, after a
// pause in typing, or on Enter), and the chosen preset rendered beside it.
#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fulgopal.h"
#include "design/Wizard.h"
#include "design/WizardSupport.h"
#include "host/classes/Platform.h"
#include "host/forms/Application.h"
#include "host/forms/Timer.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/ScrollBox.h"
#include "model/Fultext.h"

namespace vantora {

using namespace wizard;

void TfrmWizard::RebuildLabel() {
  ShowStateDifferences();
  host::TControl& preset = PresetControl().HostControl();
  if (rdoMyCaption->Checked() && PresetsFound && preset.Caption() != EditedText()->Caption) {
    preset.SetCaption(EditedText()->Caption);
    RebuildPreset();
  }
  if (chkBeep->Checked()) host::MessageBeep(0);
  {
    RebuildsAllowed allowed(*Preview);
    Preview->SetUpdatePalette(FullRebuild);
    WizardPalette->SetActive(true);
    try {
      Preview->Rebuild();
    } catch (...) {
      WizardPalette->SetActive(false);
      throw;
    }
  }
  WizardPalette->SetActive(false);
  FullRebuild = false;
  CentreInBox(*scrlExample, *Preview);
  if (Preview->GetAutoSize()) {
    FlagScope loading(Loading);
    ShowSpin(*spnBackWidth, Preview->Width());
    ShowSpin(*spnBackHeight, Preview->Height());
  }
}

void TfrmWizard::Timer1Timer(host::TPersistent*) {
  const std::uint32_t now = host::Application->GetTickCount();
  const std::int32_t delay = SpinOr(*spnUpdateTime, 600);
  if (now - LastChange <= static_cast<std::uint32_t>(std::max(delay, 0))) return;
  Timer1->SetEnabled(false);
  RebuildLabel();
}

void TfrmWizard::FormKeyDown(host::TPersistent*, std::uint16_t& Key, host::TShiftState) {
  if (Key != host::VK_RETURN || rdosUpdateMethod->ItemIndex() != 1) return;
  Key = 0;
  RebuildLabel();
}

void TfrmWizard::btnRenderClick(host::TPersistent*) {
  if (rdosUpdateMethod->ItemIndex() != 1) return;
  FullRebuild = true;
  RebuildLabel();
}

namespace {

// Palette changes caused while a preset renders are not propagated.
class AbortPaletteChanges {
 public:
  AbortPaletteChanges() { bAbortPaletteChange = true; }
  AbortPaletteChanges(const AbortPaletteChanges&) = delete;
  AbortPaletteChanges& operator=(const AbortPaletteChanges&) = delete;
  ~AbortPaletteChanges() { bAbortPaletteChange = false; }
};

}  // namespace

void TfrmWizard::RebuildPreset() {
  tFulgoControl& preset = PresetControl();
  WizardPalette->SetActive(false);
  {
    AbortPaletteChanges quiet;
    {
      RebuildsAllowed allowed(preset);
      if (EditMode == edButton) PresetButton->UpChanged();
      preset.Rebuild();
    }
    CentreInBox(*scrlPreset, preset.HostControl());
  }
  WizardPalette->SetActive(true);
  WizardPalette->SetActive(false);
  FullRebuild = false;
  if (PresetsFound) preset.HostControl().SetVisible(true);
}

}  // namespace vantora
