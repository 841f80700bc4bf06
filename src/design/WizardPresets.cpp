// The wizard's preset gallery: the control files of the edited kind in the gallery folder, one of
// them shown beside the edited art, and applied to it on request.
#include <exception>
#include <filesystem>

#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "design/Wizard.h"
#include "design/WizardSupport.h"
#include "host/dialogs/FileDialog.h"
#include "host/forms/MessageBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/RadioButton.h"
#include "model/Fultext.h"

namespace vantora {

using namespace wizard;

void TfrmWizard::BuildPresetsFileList() {
  FlagScope building(BuildingPresets);
  Presets = ListPresets(GalleryDirectory, PresetExtension(EditMode));
  host::TStrings& items = *lstFiles->Items();
  items.Clear();
  for (const tPreset& preset : Presets) items.Add(preset.Name);
  PresetsFound = !Presets.empty();
}

void TfrmWizard::InitPreset() {
  PresetName.clear();
  BuildPresetsFileList();
}

void TfrmWizard::SetlstFiles() {
  host::TControl& preset = PresetControl().HostControl();
  if (!PresetsFound) {
    preset.SetVisible(false);
    MemoNoPresets->SetVisible(true);
    return;
  }
  {
    FlagScope building(BuildingPresets);
    lstFiles->SetItemIndex(0);
  }
  lstFilesClick(nullptr);
  MemoNoPresets->SetVisible(false);
  preset.SetVisible(true);
}

bool TfrmWizard::LoadComponentFile(tFulgoControl& Target, const std::string& FileName) {
  try {
    Target.LoadFromFile(FileName);
    return true;
  } catch (const std::exception& error) {
    ReportLoadError(FileName, error.what());
    return false;
  }
}

void TfrmWizard::lstFilesClick(host::TPersistent*) {
  if (BuildingPresets || Presets.empty()) return;
  const int index = lstFiles->ItemIndex();
  if (index < 0 || index >= static_cast<int>(Presets.size())) return;
  const tPreset& chosen = Presets[static_cast<std::size_t>(index)];
  tFulgoControl& preset = PresetControl();
  // A preset that fails to load leaves the last good one shown and chosen.
  if (!LoadComponentFile(preset, chosen.Path)) return;
  PresetName = chosen.Name;
  preset.HostControl().SetVisible(false);
  if (rdoMyCaption->Checked()) preset.HostControl().SetCaption(EditedText()->Caption);
  preset.SetFulgoPalette(WizardPalette);
  if (EditMode == edLabel) PresetLabel->SetAutoSize(true);
  FullRebuild = true;
  RebuildPreset();
}

void TfrmWizard::btnApplyPresetClick(host::TPersistent*) {
  if (ApplyingPreset || !PresetsFound || PresetName.empty()) return;
  FlagScope applying(ApplyingPreset);
  host::TControl& preset = PresetControl().HostControl();
  host::TControl& work = WorkControl().HostControl();
  AssignControl(preset, &work);
  // The working copy belongs to no palette component while the wizard runs.
  WorkControl().SetFulgoPalette(nullptr);
  if (EditMode == edButton) {
    ButtonState = kStateUp;
    FlagScope loading(Loading);
    lstButtonStates->SetItemIndex(0);
  }
  Preview->SetFulgoArt(WorkArt(*this));
  if (EditMode != edLabel) {
    work.SetBounds(0, 0, preset.Width(), preset.Height());
    Preview->SetBounds(0, 0, preset.Width(), preset.Height());
  }
  FullRebuild = true;
  RebuildLabel();
  GetFromLabel();
}

void TfrmWizard::btnRefreshPresetsClick(host::TPersistent*) {
  GalleryDirectory = txtGalleryDirectory->Text();
  BuildPresetsFileList();
  SetlstFiles();
  host::MessageDlg("Presets loaded.", host::mtInformation, {host::mbOK}, "Refresh Presets");
}

void TfrmWizard::btnBrowseGalleryClick(host::TPersistent*) {
  host::TOpenDialog dialog(nullptr);
  dialog.SetFilter("FulgoComponents|*.LBL;*.BTN;*.PNL");
  dialog.SetDefaultExt("LBL");
  dialog.SetOptions({host::ofPathMustExist});
  dialog.SetInitialDir(GalleryDirectory);
  if (!dialog.Execute()) return;
  txtGalleryDirectory->SetText(std::filesystem::path(dialog.FileName()).parent_path().string());
}

}  // namespace vantora
