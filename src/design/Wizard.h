// Unit Wizard: TfrmWizard, the modal editor of the whole look of one label, button or panel. It
// edits a hidden working copy of the control, shows its art in a preview that re-renders shortly
// after every change, offers the preset gallery, and on "Ok" copies the result back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "design/WizardGallery.h"
#include "design/WizardSettings.h"
#include "host/forms/Forms.h"

VANTORA_API_BEGIN
namespace vantora {

namespace host {
class TCheckBox;
class TComboBox;
class TEdit;
class TListBox;
class TMemo;
class TNotebook;
class TPanel;
class TRadioButton;
class TRadioGroup;
class TScrollBox;
class TShape;
class TSpeedButton;
class TStringGrid;
class TTabSet;
class TTimer;
}  // namespace host

class TFulgoButton;
class TFulgoGen;
class TFulgoLabel;
class tFulgoArt;
class tFulgoBackground;
class tFulgoColor;
class tFulgoControl;
class tFulgoFont;
class tFulgoPalette;
class tFulgoPanel;
class tFulgoText;
class tQorSpin2;
class TfrmGrdWiz;

class TfrmWizard : public host::TForm {
  VANTORA_PERSISTENT(TfrmWizard)

  explicit TfrmWizard(host::TComponent* AOwner);
  ~TfrmWizard() override;

  // The form's controls, read from its form stream.
  host::TScrollBox* scrlExample = nullptr;
  host::TScrollBox* scrlPreset = nullptr;
  host::TListBox* lstButtonStates = nullptr;
  host::TPanel* pnlHideButtonStates = nullptr;
  host::TTabSet* TabSet1 = nullptr;
  host::TNotebook* ntbMain = nullptr;
  host::TPanel* pnlPresets = nullptr;
  host::TPanel* pnlColor = nullptr;
  host::TListBox* lstFiles = nullptr;
  host::TMemo* MemoNoPresets = nullptr;
  host::TRadioButton* rdoMyCaption = nullptr;
  host::TRadioButton* rdoPresetCaption = nullptr;
  host::TEdit* txtLabelText1 = nullptr;
  host::TEdit* txtLabelText2 = nullptr;
  host::TEdit* txtFont = nullptr;
  host::TComboBox* cmbBold = nullptr;
  host::TCheckBox* chkItalic = nullptr;
  host::TCheckBox* chkUnderLine = nullptr;
  host::TCheckBox* chkStrikeOut = nullptr;
  host::TCheckBox* chkApplyAll = nullptr;
  host::TPanel* pnlFontEffects = nullptr;
  host::TPanel* pnlLetters = nullptr;
  host::TStringGrid* grdLetters = nullptr;
  host::TCheckBox* chkCreateBackground = nullptr;
  host::TCheckBox* chkTextFrame = nullptr;
  host::TCheckBox* chkBackFrame = nullptr;
  host::TCheckBox* chkTextShadow = nullptr;
  host::TCheckBox* chkBackShadow = nullptr;
  host::TCheckBox* chkText3d = nullptr;
  host::TCheckBox* chkBack3D = nullptr;
  host::TCheckBox* chkTextEmbossed = nullptr;
  host::TCheckBox* chkBackEmbossed = nullptr;
  host::TComboBox* cmbText3dDirection = nullptr;
  host::TComboBox* cmbBack3dDirection = nullptr;
  host::TRadioButton* rdoFadeBackground = nullptr;
  host::TRadioButton* rdoFadeThisColor = nullptr;
  host::TShape* shpLayerFuzz = nullptr;
  host::TShape* ShpBackgroundFuzz = nullptr;
  host::TRadioGroup* chkTextAlignment = nullptr;
  host::TRadioGroup* chkImageAlignment = nullptr;
  host::TRadioButton* rdoAutoSizeTrue = nullptr;
  host::TRadioButton* rdoAutoSizeFalse = nullptr;
  host::TRadioButton* rdoStretched = nullptr;
  host::TRadioButton* rdoFixedSize = nullptr;
  host::TEdit* txtGalleryDirectory = nullptr;
  host::TCheckBox* chkBeep = nullptr;
  host::TRadioGroup* rdosUpdateMethod = nullptr;
  host::TComboBox* cmbColor = nullptr;
  host::TShape* shpColor = nullptr;
  host::TRadioButton* rdoColor = nullptr;
  host::TRadioButton* rdoFuzz = nullptr;
  host::TRadioButton* rdoBitmap = nullptr;
  host::TRadioButton* rdoTiledBitmap = nullptr;
  host::TRadioButton* rdoGradient = nullptr;
  host::TRadioButton* rdoTiledGradient = nullptr;
  host::TSpeedButton* btnSameAsUp = nullptr;
  host::TSpeedButton* btnOk = nullptr;
  host::TSpeedButton* btnCancel = nullptr;
  host::TSpeedButton* btnRender = nullptr;
  host::TTimer* Timer1 = nullptr;

  tQorSpin2* spnTextShape = nullptr;
  tQorSpin2* spnBackShape = nullptr;
  tQorSpin2* spnTextFrame = nullptr;
  tQorSpin2* spnBackframe = nullptr;
  tQorSpin2* spnTextShadowX = nullptr;
  tQorSpin2* spnTextShadowY = nullptr;
  tQorSpin2* spnTextShadowSizeX = nullptr;
  tQorSpin2* spnTextShadowSizeY = nullptr;
  tQorSpin2* spnBackShadowX = nullptr;
  tQorSpin2* spnBackShadowY = nullptr;
  tQorSpin2* spnBackShadowSizeX = nullptr;
  tQorSpin2* spnBackShadowSizeY = nullptr;
  tQorSpin2* spnText3d = nullptr;
  tQorSpin2* spnBack3D = nullptr;
  tQorSpin2* spnTextAlignX = nullptr;
  tQorSpin2* spnTextAlignY = nullptr;
  tQorSpin2* spnImageX = nullptr;
  tQorSpin2* spnImageY = nullptr;
  tQorSpin2* spnInnerX = nullptr;
  tQorSpin2* spnInnerY = nullptr;
  tQorSpin2* spnInnerWidth = nullptr;
  tQorSpin2* spnInnerHeight = nullptr;
  tQorSpin2* spnBackWidth = nullptr;
  tQorSpin2* spnBackHeight = nullptr;
  tQorSpin2* spnTextWidth = nullptr;
  tQorSpin2* spnTextHeight = nullptr;
  tQorSpin2* spnImageWidth = nullptr;
  tQorSpin2* spnImageHeight = nullptr;
  tQorSpin2* spnHeight = nullptr;
  tQorSpin2* spnWidth = nullptr;
  tQorSpin2* spnAngle = nullptr;
  tQorSpin2* spnOffsetX = nullptr;
  tQorSpin2* spnOffsetY = nullptr;
  tQorSpin2* spnFuzz = nullptr;
  tQorSpin2* spnUpdateTime = nullptr;

  teEditing EditMode = edLabel;
  // Shows the art being edited; every page reads and writes its art's text and background.
  TFulgoGen* Preview = nullptr;
  TFulgoLabel* WorkLabel = nullptr;
  TFulgoButton* WorkButton = nullptr;
  tFulgoPanel* WorkPanel = nullptr;
  TFulgoLabel* PresetLabel = nullptr;
  tFulgoPanel* PresetPanel = nullptr;
  TFulgoButton* PresetButton = nullptr;
  tFulgoPalette* WizardPalette = nullptr;
  TFulgoLabel* ColorSwatch = nullptr;
  TfrmGrdWiz* GradientEditor = nullptr;
  tFulgoColor* EditedColor = nullptr;
  std::int32_t ButtonState = 0;
  std::string GalleryDirectory;
  std::string PresetName;
  bool PresetsFound = false;
  std::vector<tPreset> Presets;
  std::string SavedHelpFile;
  bool FullRebuild = false;
  bool Loading = false;
  bool ColorTypeChanging = false;
  bool BuildingPresets = false;
  bool ApplyingPreset = false;
  std::uint32_t LastChange = 0;
  // The colour panel's last selection overall, on the text side and on the background side.
  int LastColorIndex = 0;
  int LastTextColorIndex = 0;
  int LastBackColorIndex = 5;
  // The file name the save dialog offers.
  std::string ComponentFileName;

  // The art, text and background every page edits.
  tFulgoArt* EditedArt() const;
  tFulgoText* EditedText() const;
  tFulgoBackground* EditedBackground() const;
  // The working copy of the current kind, as a control of the library.
  tFulgoControl& WorkControl() const;

  void FormShow(host::TPersistent* Sender);
  void GetFromLabel();
  void SetToLabel();
  void SetToColor();
  void RebuildLabel();
  void CallFullSetToLabel(host::TPersistent* Sender);
  void ControlChanged(host::TPersistent* Sender);
  void CaptionChanged(host::TPersistent* Sender);
  void Timer1Timer(host::TPersistent* Sender);
  void FormKeyDown(host::TPersistent* Sender, std::uint16_t& Key, host::TShiftState Shift);
  void btnRenderClick(host::TPersistent* Sender);
  void TabSet1Change(host::TPersistent* Sender, int NewTab, bool& AllowChange);
  // Turns the notebook to a page, with the side panel that goes with it.
  void ShowPage(int Index);

  void SelectColor(int Index);
  void PickColorClick(host::TPersistent* Sender);
  void cmbColorChange(host::TPersistent* Sender);
  void ColorTypeClick(host::TPersistent* Sender);
  void btnEditColorClick(host::TPersistent* Sender);
  void FadeColorClick(host::TPersistent* Sender);
  void ShowEditedColor();

  void SetFontToLabel(host::TPersistent* Sender);
  void btnFontClick(host::TPersistent* Sender);
  void btnAdvancedClick(host::TPersistent* Sender);
  void lstButtonStatesClick(host::TPersistent* Sender);
  // Marks the states whose look differs from Up in the state list.
  void ShowStateDifferences();
  // The state shown follows Up again: its own differences are dropped.
  void btnSameAsUpClick(host::TPersistent* Sender);
  void btnLoadImageClick(host::TPersistent* Sender);
  void btnClearImageClick(host::TPersistent* Sender);
  void btnClearClick(host::TPersistent* Sender);

  void LoadSettings();
  void SaveSettings();
  void BuildPresetsFileList();
  void SetlstFiles();
  void InitPreset();
  void lstFilesClick(host::TPersistent* Sender);
  void RebuildPreset();
  void btnApplyPresetClick(host::TPersistent* Sender);
  void btnRefreshPresetsClick(host::TPersistent* Sender);
  void btnBrowseGalleryClick(host::TPersistent* Sender);
  void btnSaveClick(host::TPersistent* Sender);
  void btnLoadClick(host::TPersistent* Sender);

  // Pushes the edits of the state shown into the working button.
  void PushButtonState();
  // The preview of the current kind's presets.
  tFulgoControl& PresetControl() const;

 private:
  void ShowSidePanel(int Page);
  void WireHandlers();
  // Wires the change handlers of the widgets bound to the model.
  void WireBindings();
  // Takes the typed caption into the working copy, once.
  void StoreCaption();
  // The preview's own size or AutoSize, as the Align/Size page sets it.
  void StorePreviewSize();
  void CreateParts();
  tFulgoColor* ColorOf(int Index) const;
  void ShowLetters();
  std::vector<tFulgoFont*> EditedFonts() const;
  // Shows the font of one letter in the font controls.
  void ReadFont(int Letter);
  // A control file read into Target; a failure is shown naming the file and leaves Target as it was.
  bool LoadComponentFile(tFulgoControl& Target, const std::string& FileName);
};

extern TfrmWizard* frmWiz;
// True while a wizard form exists.
extern bool bInWizard;

void BuildForm();
host::TModalResult ShowForm();
void KillForm();
// Each opens the wizard on the control and returns when it closes; the control is changed in place
// when the user accepted, which is what they answer.
bool EditLabel(TFulgoLabel& Control);
bool EditButton(TFulgoButton& Button);
bool EditPanel(tFulgoPanel& Panel);

}  // namespace vantora
VANTORA_API_END
