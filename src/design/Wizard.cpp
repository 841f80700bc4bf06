#include "design/Wizard.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <filesystem>

#include "base/Prophelp.h"
#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"
#include "core/Fuldib.h"
#include "design/Grdwiz.h"
#include "design/WizardForm.inc"
#include "effects/Fulcolor.h"
#include "effects/Fullyrs.h"
#include "effects/Shapes.h"
#include "host/classes/Errors.h"
#include "host/classes/Platform.h"
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/FileDialog.h"
#include "host/dialogs/FontDialog.h"
#include "host/dialogs/OpenPictureDialog.h"
#include "host/forms/Application.h"
#include "host/forms/MessageBox.h"
#include "host/forms/Panel.h"
#include "host/forms/Timer.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/Notebook.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/Shape.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"
#include "host/widgets/TabSet.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

namespace vantora {

TfrmWizard* frmWiz = nullptr;
bool bInWizard = false;

namespace {

constexpr int kMaxCaption = 29;

// A control centred in its scroll box; one larger than the box sits at 0 and the box scrolls over it.
void CentreInBox(host::TScrollBox& box, host::TControl& control) {
  const tPresetPlacement place =
      PlacePreset(box.ClientWidth(), box.ClientHeight(), control.Width(), control.Height());
  box.HorzScrollBar()->SetRange(place.HorzRange);
  box.VertScrollBar()->SetRange(place.VertRange);
  control.SetBounds(place.X, place.Y, control.Width(), control.Height());
}
constexpr host::TAlignment kAlignments[] = {host::taCenter, host::taLeftJustify, host::taRightJustify};
// The combo entry of the colour panel that each "›" button selects, by its tag.
constexpr std::array<int, 13> kColorOfTag = {0, 1, 2, 3, 4, 0, 6, 7, 8, 9, 5, 5, 0};
constexpr int kFirstBackColor = 5;
// The pages whose colours the colour panel offers: the letters' or the background's.
constexpr int kFirstTextPage = 1, kLastTextPage = 2, kFirstBackPage = 3, kLastBackPage = 4;

int AlignmentIndex(host::TAlignment alignment) {
  const auto* it = std::find(std::begin(kAlignments), std::end(kAlignments), alignment);
  return it == std::end(kAlignments) ? 0 : static_cast<int>(it - std::begin(kAlignments));
}

host::TAlignment AlignmentAt(int index) {
  return kAlignments[std::clamp(index, 0, static_cast<int>(std::size(kAlignments)) - 1)];
}

// Shown through the application's error display, which a host may have taken over.
void ReportLoadError(const std::string& file, const std::string& message) {
  host::Application->HandleException(
      std::make_exception_ptr(host::Exception("Cannot load \"" + file + "\": " + message)));
}

void ShowSpin(tQorSpin2& spin, std::int32_t value) {
  spin.SetText(std::to_string(value));
}

// A typed value that is no integer, or lies outside the spin's range, is refused with a beep and
// the spin shows Current, the last good value, again. Current itself is always accepted: it is
// what the model holds, even when a file put it outside the range.
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

bool SameTextExt(const std::string& path, const char* ext) {
  std::string actual = std::filesystem::path(path).extension().string();
  std::transform(actual.begin(), actual.end(), actual.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return actual == ext;
}

const char* KindName(teEditing mode) {
  switch (mode) {
    case edButton:
      return "Buttons";
    case edPanel:
      return "Panels";
    case edLabel:
      break;
  }
  return "Labels";
}

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

// Sets a flag for a scope and clears it however the scope ends.
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

tFulgoControl& AsFulgo(host::TControl& control) {
  return dynamic_cast<tFulgoControl&>(control);
}

// The library's controls are windowless controls or panels; these reach either.
tFulgoPalette* PaletteOf(host::TControl& control) {
  if (auto* panel = dynamic_cast<tFulgoCustomPanel*>(&control)) return panel->GetFulgoPalette();
  return dynamic_cast<TFulgoGraphicControl&>(control).GetFulgoPalette();
}

void SetControlPalette(host::TControl& control, tFulgoPalette* palette) {
  if (auto* panel = dynamic_cast<tFulgoCustomPanel*>(&control))
    panel->SetFulgoPalette(palette);
  else
    dynamic_cast<TFulgoGraphicControl&>(control).SetFulgoPalette(palette);
}

bool UpdatePaletteOf(host::TControl& control) {
  if (auto* panel = dynamic_cast<tFulgoCustomPanel*>(&control)) return panel->GetUpdatePalette();
  return dynamic_cast<TFulgoGraphicControl&>(control).GetUpdatePalette();
}

void SetUpdatePaletteOf(host::TControl& control, bool value) {
  if (auto* panel = dynamic_cast<tFulgoCustomPanel*>(&control))
    panel->SetUpdatePalette(value);
  else
    dynamic_cast<TFulgoGraphicControl&>(control).SetUpdatePalette(value);
}

}  // namespace

const host::TClass& TfrmWizard::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<TfrmWizard>("TfrmWizard", host::TForm::StaticClass())
                                       .Child("scrlExample", &TfrmWizard::scrlExample)
                                       .Child("scrlPreset", &TfrmWizard::scrlPreset)
                                       .Child("lstButtonStates", &TfrmWizard::lstButtonStates)
                                       .Child("pnlHideButtonStates", &TfrmWizard::pnlHideButtonStates)
                                       .Child("TabSet1", &TfrmWizard::TabSet1)
                                       .Child("ntbMain", &TfrmWizard::ntbMain)
                                       .Child("pnlPresets", &TfrmWizard::pnlPresets)
                                       .Child("pnlColor", &TfrmWizard::pnlColor)
                                       .Child("lstFiles", &TfrmWizard::lstFiles)
                                       .Child("MemoNoPresets", &TfrmWizard::MemoNoPresets)
                                       .Child("rdoMyCaption", &TfrmWizard::rdoMyCaption)
                                       .Child("rdoPresetCaption", &TfrmWizard::rdoPresetCaption)
                                       .Child("txtLabelText1", &TfrmWizard::txtLabelText1)
                                       .Child("txtLabelText2", &TfrmWizard::txtLabelText2)
                                       .Child("txtFont", &TfrmWizard::txtFont)
                                       .Child("cmbBold", &TfrmWizard::cmbBold)
                                       .Child("chkItalic", &TfrmWizard::chkItalic)
                                       .Child("chkUnderLine", &TfrmWizard::chkUnderLine)
                                       .Child("chkStrikeOut", &TfrmWizard::chkStrikeOut)
                                       .Child("chkApplyAll", &TfrmWizard::chkApplyAll)
                                       .Child("pnlFontEffects", &TfrmWizard::pnlFontEffects)
                                       .Child("pnlLetters", &TfrmWizard::pnlLetters)
                                       .Child("grdLetters", &TfrmWizard::grdLetters)
                                       .Child("chkCreateBackground", &TfrmWizard::chkCreateBackground)
                                       .Child("chkTextFrame", &TfrmWizard::chkTextFrame)
                                       .Child("chkBackFrame", &TfrmWizard::chkBackFrame)
                                       .Child("chkTextShadow", &TfrmWizard::chkTextShadow)
                                       .Child("chkBackShadow", &TfrmWizard::chkBackShadow)
                                       .Child("chkText3d", &TfrmWizard::chkText3d)
                                       .Child("chkBack3D", &TfrmWizard::chkBack3D)
                                       .Child("chkTextEmbossed", &TfrmWizard::chkTextEmbossed)
                                       .Child("chkBackEmbossed", &TfrmWizard::chkBackEmbossed)
                                       .Child("cmbText3dDirection", &TfrmWizard::cmbText3dDirection)
                                       .Child("cmbBack3dDirection", &TfrmWizard::cmbBack3dDirection)
                                       .Child("rdoFadeBackground", &TfrmWizard::rdoFadeBackground)
                                       .Child("rdoFadeThisColor", &TfrmWizard::rdoFadeThisColor)
                                       .Child("shpLayerFuzz", &TfrmWizard::shpLayerFuzz)
                                       .Child("ShpBackgroundFuzz", &TfrmWizard::ShpBackgroundFuzz)
                                       .Child("chkTextAlignment", &TfrmWizard::chkTextAlignment)
                                       .Child("chkImageAlignment", &TfrmWizard::chkImageAlignment)
                                       .Child("rdoAutoSizeTrue", &TfrmWizard::rdoAutoSizeTrue)
                                       .Child("rdoAutoSizeFalse", &TfrmWizard::rdoAutoSizeFalse)
                                       .Child("rdoStretched", &TfrmWizard::rdoStretched)
                                       .Child("rdoFixedSize", &TfrmWizard::rdoFixedSize)
                                       .Child("txtGalleryDirectory", &TfrmWizard::txtGalleryDirectory)
                                       .Child("chkBeep", &TfrmWizard::chkBeep)
                                       .Child("rdosUpdateMethod", &TfrmWizard::rdosUpdateMethod)
                                       .Child("cmbColor", &TfrmWizard::cmbColor)
                                       .Child("shpColor", &TfrmWizard::shpColor)
                                       .Child("rdoColor", &TfrmWizard::rdoColor)
                                       .Child("rdoFuzz", &TfrmWizard::rdoFuzz)
                                       .Child("rdoBitmap", &TfrmWizard::rdoBitmap)
                                       .Child("rdoTiledBitmap", &TfrmWizard::rdoTiledBitmap)
                                       .Child("rdoGradient", &TfrmWizard::rdoGradient)
                                       .Child("rdoTiledGradient", &TfrmWizard::rdoTiledGradient)
                                       .Child("btnSameAsUp", &TfrmWizard::btnSameAsUp)
                                       .Child("btnOk", &TfrmWizard::btnOk)
                                       .Child("btnCancel", &TfrmWizard::btnCancel)
                                       .Child("btnRender", &TfrmWizard::btnRender)
                                       .Child("Timer1", &TfrmWizard::Timer1)
                                       .Child("spnTextShape", &TfrmWizard::spnTextShape)
                                       .Child("spnBackShape", &TfrmWizard::spnBackShape)
                                       .Child("spnTextFrame", &TfrmWizard::spnTextFrame)
                                       .Child("spnBackframe", &TfrmWizard::spnBackframe)
                                       .Child("spnTextShadowX", &TfrmWizard::spnTextShadowX)
                                       .Child("spnTextShadowY", &TfrmWizard::spnTextShadowY)
                                       .Child("spnTextShadowSizeX", &TfrmWizard::spnTextShadowSizeX)
                                       .Child("spnTextShadowSizeY", &TfrmWizard::spnTextShadowSizeY)
                                       .Child("spnBackShadowX", &TfrmWizard::spnBackShadowX)
                                       .Child("spnBackShadowY", &TfrmWizard::spnBackShadowY)
                                       .Child("spnBackShadowSizeX", &TfrmWizard::spnBackShadowSizeX)
                                       .Child("spnBackShadowSizeY", &TfrmWizard::spnBackShadowSizeY)
                                       .Child("spnText3d", &TfrmWizard::spnText3d)
                                       .Child("spnBack3D", &TfrmWizard::spnBack3D)
                                       .Child("spnTextAlignX", &TfrmWizard::spnTextAlignX)
                                       .Child("spnTextAlignY", &TfrmWizard::spnTextAlignY)
                                       .Child("spnImageX", &TfrmWizard::spnImageX)
                                       .Child("spnImageY", &TfrmWizard::spnImageY)
                                       .Child("spnInnerX", &TfrmWizard::spnInnerX)
                                       .Child("spnInnerY", &TfrmWizard::spnInnerY)
                                       .Child("spnInnerWidth", &TfrmWizard::spnInnerWidth)
                                       .Child("spnInnerHeight", &TfrmWizard::spnInnerHeight)
                                       .Child("spnBackWidth", &TfrmWizard::spnBackWidth)
                                       .Child("spnBackHeight", &TfrmWizard::spnBackHeight)
                                       .Child("spnTextWidth", &TfrmWizard::spnTextWidth)
                                       .Child("spnTextHeight", &TfrmWizard::spnTextHeight)
                                       .Child("spnImageWidth", &TfrmWizard::spnImageWidth)
                                       .Child("spnImageHeight", &TfrmWizard::spnImageHeight)
                                       .Child("spnHeight", &TfrmWizard::spnHeight)
                                       .Child("spnWidth", &TfrmWizard::spnWidth)
                                       .Child("spnAngle", &TfrmWizard::spnAngle)
                                       .Child("spnOffsetX", &TfrmWizard::spnOffsetX)
                                       .Child("spnOffsetY", &TfrmWizard::spnOffsetY)
                                       .Child("spnFuzz", &TfrmWizard::spnFuzz)
                                       .Child("spnUpdateTime", &TfrmWizard::spnUpdateTime)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TfrmWizard);

TfrmWizard::TfrmWizard(host::TComponent* AOwner) : host::TForm(AOwner) {
  bInWizard = true;
  host::TMemoryStream stream;
  stream.WriteBuffer(kWizardForm, static_cast<std::int64_t>(sizeof kWizardForm - 1));
  stream.SetPosition(0);
  ReadFromStream(stream);
  // The tab row lies over the page's top edge, so the chosen tab joins its page.
  TabSet1->BringToFront();
  if (host::Application) {
    SavedHelpFile = host::Application->HelpFile();
    host::Application->SetHelpFile("fulgo.hlp");
  }
  CreateParts();
  WireHandlers();
  LoadSettings();
  LastChange = host::Application ? host::Application->GetTickCount() : 0;
}

TfrmWizard::~TfrmWizard() {
  // The preview shows a working copy's art, and the working copies may go first.
  Preview->SetFulgoArt(nullptr);
  if (host::Application) host::Application->SetHelpFile(SavedHelpFile);
  if (frmWiz == this) frmWiz = nullptr;
  bInWizard = false;
}

void TfrmWizard::CreateParts() {
  GradientEditor = new TfrmGrdWiz(this);
  Preview = new TFulgoGen(this);
  Preview->SetAllowRebuild(false);
  Preview->SetParent(scrlExample);
  WizardPalette = new tFulgoPalette(this);

  WorkLabel = new TFulgoLabel(this);
  WorkButton = new TFulgoButton(this);
  WorkPanel = new tFulgoPanel(this);
  for (host::TControl* work : std::initializer_list<host::TControl*>{WorkLabel, WorkButton, WorkPanel}) {
    AsFulgo(*work).SetAllowRebuild(false);
    work->SetVisible(false);
    work->SetBounds(0, 0, work->Width(), work->Height());
    work->SetParent(this);
  }
  WorkLabel->SetUpdatePalette(false);
  WorkButton->SetUpdatePalette(false);
  WorkPanel->SetUpdatePalette(false);
  WorkButton->SetAutoSize(false);
  WorkPanel->SetAutoSize(false);

  ColorSwatch = new TFulgoLabel(this);
  ColorSwatch->SetAutoSize(false);
  ColorSwatch->SetBounds(shpColor->Left() + 1, shpColor->Top() + 1, shpColor->Width() - 2,
                         shpColor->Height() - 2);
  ColorSwatch->Art->FulgoBackground->LayerFrame->SetActive(true);
  ColorSwatch->Art->FulgoBackground->LayerFrame->SetLineWidth(1);
  ColorSwatch->Art->FulgoBackground->FulgoColor->SetBrush(0xFFFFFF);
  ColorSwatch->SetCaption("");
  ColorSwatch->SetParent(pnlColor);

  PresetLabel = new TFulgoLabel(this);
  PresetButton = new TFulgoButton(this);
  PresetPanel = new tFulgoPanel(this);
  PresetLabel->SetBounds(6, 175, PresetLabel->Width(), PresetLabel->Height());
  PresetButton->SetBounds(6, 175, PresetButton->Width(), PresetButton->Height());
  PresetPanel->SetBounds(600, 400, PresetPanel->Width(), PresetPanel->Height());
  for (host::TControl* preset :
       std::initializer_list<host::TControl*>{PresetLabel, PresetButton, PresetPanel}) {
    AsFulgo(*preset).SetAllowRebuild(false);
    preset->SetVisible(false);
    preset->SetParent(scrlPreset);
  }

  WizardPalette->SetActive(false);
  ColorSwatch->SetFulgoPalette(WizardPalette);
}

void TfrmWizard::WireHandlers() {
  using host::TPersistent;
  OnShow = [this](TPersistent* s) { FormShow(s); };
  OnKeyDown = [this](TPersistent* s, std::uint16_t& key, host::TShiftState shift) {
    FormKeyDown(s, key, shift);
  };
  Timer1->OnTimer = [this](TPersistent* s) { Timer1Timer(s); };
  TabSet1->OnChange = [this](TPersistent* s, int tab, bool& allow) { TabSet1Change(s, tab, allow); };

  const auto changed = [this](TPersistent* s) { ControlChanged(s); };
  const auto full = [this](TPersistent* s) { CallFullSetToLabel(s); };
  for (tQorSpin2* spin :
       {spnTextShape,       spnBackShape,       spnTextFrame,       spnBackframe,   spnTextShadowX,
        spnTextShadowY,     spnTextShadowSizeX, spnTextShadowSizeY, spnBackShadowX, spnBackShadowY,
        spnBackShadowSizeX, spnBackShadowSizeY, spnText3d,          spnBack3D,      spnTextAlignX,
        spnTextAlignY,      spnImageX,          spnImageY,          spnInnerX,      spnInnerY,
        spnInnerWidth,      spnInnerHeight,     spnBackWidth,       spnBackHeight,  spnTextWidth,
        spnTextHeight,      spnImageWidth,      spnImageHeight,     spnFuzz})
    spin->OnLegalChange = changed;
  for (host::TCheckBox* check : {chkCreateBackground, chkTextFrame, chkBackFrame, chkTextShadow,
                                 chkBackShadow, chkText3d, chkBack3D, chkTextEmbossed, chkBackEmbossed})
    check->OnClick = full;
  for (host::TRadioButton* radio :
       {rdoFadeBackground, rdoFadeThisColor, rdoAutoSizeTrue, rdoAutoSizeFalse, rdoStretched, rdoFixedSize})
    radio->OnClick = full;
  cmbText3dDirection->OnChange = changed;
  cmbBack3dDirection->OnChange = changed;
  chkTextAlignment->OnClick = changed;
  chkImageAlignment->OnClick = changed;
  txtLabelText1->OnChange = [this](TPersistent* s) { CaptionChanged(s); };
  txtLabelText2->OnChange = [this](TPersistent* s) { CaptionChanged(s); };

  const auto font = [this](TPersistent* s) { SetFontToLabel(s); };
  txtFont->OnChange = font;
  cmbBold->OnChange = font;
  for (tQorSpin2* spin : {spnHeight, spnWidth, spnAngle, spnOffsetX, spnOffsetY}) spin->OnLegalChange = font;
  for (host::TCheckBox* check : {chkItalic, chkUnderLine, chkStrikeOut}) check->OnClick = font;
  grdLetters->OnSelectCell = [this](TPersistent*, int col, int, bool&) { ReadFont(col); };

  cmbColor->OnChange = [this](TPersistent* s) { cmbColorChange(s); };
  for (host::TRadioButton* radio :
       {rdoColor, rdoFuzz, rdoBitmap, rdoTiledBitmap, rdoGradient, rdoTiledGradient})
    radio->OnClick = [this](TPersistent* s) { ColorTypeClick(s); };
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* button = dynamic_cast<host::TSpeedButton*>(Components(i));
        button && button->Caption() == "\x9b")
      button->OnClick = [this](TPersistent* s) { PickColorClick(s); };
  shpColor->OnClick = [this](TPersistent* s) { btnEditColorClick(s); };
  ColorSwatch->OnClick = [this](TPersistent* s) { btnEditColorClick(s); };

  lstButtonStates->OnClick = [this](TPersistent* s) { lstButtonStatesClick(s); };
  lstFiles->OnClick = [this](TPersistent* s) { lstFilesClick(s); };
  rdoMyCaption->OnClick = [this](TPersistent* s) { lstFilesClick(s); };
  rdoPresetCaption->OnClick = [this](TPersistent* s) { lstFilesClick(s); };

  const auto click = [this](const char* name, void (TfrmWizard::*handler)(TPersistent*)) {
    FindComponentAs<host::TSpeedButton>(name).OnClick = [this, handler](TPersistent* s) {
      (this->*handler)(s);
    };
  };
  click("btnFont", &TfrmWizard::btnFontClick);
  click("btnAdvanced", &TfrmWizard::btnAdvancedClick);
  click("btnSameAsUp", &TfrmWizard::btnSameAsUpClick);
  click("btnEditColor", &TfrmWizard::btnEditColorClick);
  click("btnLayerFuzz", &TfrmWizard::FadeColorClick);
  click("btnBackgroundFuzz", &TfrmWizard::FadeColorClick);
  click("btnLoadImage", &TfrmWizard::btnLoadImageClick);
  click("btnClearImage", &TfrmWizard::btnClearImageClick);
  click("btnApplyPreset", &TfrmWizard::btnApplyPresetClick);
  click("btnRefreshPresets", &TfrmWizard::btnRefreshPresetsClick);
  click("btnBrowseGallery", &TfrmWizard::btnBrowseGalleryClick);
  click("btnClear", &TfrmWizard::btnClearClick);
  click("btnLoad", &TfrmWizard::btnLoadClick);
  click("btnSave", &TfrmWizard::btnSaveClick);
  click("btnRender", &TfrmWizard::btnRenderClick);
  FindComponentAs<host::TSpeedButton>("btnSaveDefault").OnClick = [this](TPersistent*) { SaveSettings(); };
  FindComponentAs<host::TSpeedButton>("btnRestoreDefaults").OnClick = [this](TPersistent*) {
    LoadSettings();
  };
  btnOk->OnClick = [this](TPersistent*) { SetModalResult(host::mrOk); };
  btnCancel->OnClick = [this](TPersistent*) { SetModalResult(host::mrCancel); };
}

// ---- the model being edited

tFulgoArt* TfrmWizard::EditedArt() const {
  return Preview->Art;
}
tFulgoText* TfrmWizard::EditedText() const {
  return Preview->FulgoText;
}
tFulgoBackground* TfrmWizard::EditedBackground() const {
  return Preview->FulgoBackground;
}

tFulgoControl& TfrmWizard::WorkControl() const {
  switch (EditMode) {
    case edButton:
      return *WorkButton;
    case edPanel:
      return *WorkPanel;
    case edLabel:
      break;
  }
  return *WorkLabel;
}

host::TControl& TfrmWizard::PresetControl() const {
  switch (EditMode) {
    case edButton:
      return *PresetButton;
    case edPanel:
      return *PresetPanel;
    case edLabel:
      break;
  }
  return *PresetLabel;
}

namespace {

host::TControl& WorkOf(const TfrmWizard& form) {
  return dynamic_cast<host::TControl&>(form.WorkControl());
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

// The art of the working copy the preview shows.
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

// The caption kept by the working copy: the last one accepted.
std::string WorkCaption(const TfrmWizard& form) {
  if (form.EditMode == edButton && form.ButtonState != kStateUp) return form.EditedText()->Caption;
  return WorkOf(form).Caption();
}

}  // namespace

tFulgoColor* TfrmWizard::ColorOf(int Index) const {
  tFulgoObject* object =
      Index < kFirstBackColor ? static_cast<tFulgoObject*>(EditedText()) : EditedBackground();
  switch (Index % kFirstBackColor) {
    case 1:
      return object->Layer3D->FulgoColor1.get();
    case 2:
      return object->Layer3D->FulgoColor2.get();
    case 3:
      return object->LayerFrame->FulgoColor1.get();
    case 4:
      return object->LayerShadow->FulgoColor1.get();
    default:
      return object->FulgoColor.get();
  }
}

// ---- showing and rendering

void TfrmWizard::FormShow(host::TPersistent*) {
  if (CheckShapesFile() == 0) {
    spnTextShape->SetEnabled(false);
    spnBackShape->SetEnabled(false);
  }
  ShowPage(0);
  GetFromLabel();
  FullRebuild = true;
  RebuildLabel();
  SetlstFiles();
}

void TfrmWizard::TabSet1Change(host::TPersistent*, int NewTab, bool&) {
  ShowSidePanel(NewTab);
}

void TfrmWizard::ShowPage(int Index) {
  TabSet1->SetTabIndex(Index);
  ShowSidePanel(Index);
}

void TfrmWizard::ShowSidePanel(int Page) {
  pnlPresets->SetVisible(Page == 0);
  pnlColor->SetVisible(Page != 0);
  if (Page >= kFirstTextPage && Page <= kLastTextPage) SelectColor(LastTextColorIndex);
  if (Page >= kFirstBackPage && Page <= kLastBackPage) SelectColor(LastBackColorIndex);
}

void TfrmWizard::GetFromLabel() {
  FlagScope loading(Loading);
  tFulgoText* text = EditedText();
  tFulgoBackground* back = EditedBackground();
  tFulgoArt* art = EditedArt();
  txtLabelText1->SetText(text->Caption);
  txtLabelText2->SetText(text->Caption);
  ShowSpin(*spnTextShape, text->Shape);
  ShowSpin(*spnBackShape, back->Shape);
  chkCreateBackground->SetChecked(back->Exist);
  chkTextFrame->SetChecked(text->LayerFrame->Active);
  chkBackFrame->SetChecked(back->LayerFrame->Active);
  ShowSpin(*spnTextFrame, text->LayerFrame->LineWidth);
  ShowSpin(*spnBackframe, back->LayerFrame->LineWidth);
  chkTextShadow->SetChecked(text->LayerShadow->Active);
  chkBackShadow->SetChecked(back->LayerShadow->Active);
  ShowSpin(*spnTextShadowX, text->LayerShadow->Left);
  ShowSpin(*spnTextShadowY, text->LayerShadow->Top);
  ShowSpin(*spnTextShadowSizeX, text->LayerShadow->SizeX);
  ShowSpin(*spnTextShadowSizeY, text->LayerShadow->SizeY);
  ShowSpin(*spnBackShadowX, back->LayerShadow->Left);
  ShowSpin(*spnBackShadowY, back->LayerShadow->Top);
  ShowSpin(*spnBackShadowSizeX, back->LayerShadow->SizeX);
  ShowSpin(*spnBackShadowSizeY, back->LayerShadow->SizeY);
  chkText3d->SetChecked(text->Layer3D->Active);
  chkBack3D->SetChecked(back->Layer3D->Active);
  chkTextEmbossed->SetChecked(text->Layer3D->Embossed);
  chkBackEmbossed->SetChecked(back->Layer3D->Embossed);
  ShowSpin(*spnText3d, text->Layer3D->LineWidth);
  ShowSpin(*spnBack3D, back->Layer3D->LineWidth);
  cmbText3dDirection->SetItemIndex(static_cast<int>(text->Layer3D->Direction));
  cmbBack3dDirection->SetItemIndex(static_cast<int>(back->Layer3D->Direction));
  chkTextAlignment->SetItemIndex(AlignmentIndex(text->Align->Alignment));
  ShowSpin(*spnTextAlignX, text->Align->X);
  ShowSpin(*spnTextAlignY, text->Align->Y);
  chkImageAlignment->SetItemIndex(AlignmentIndex(back->Align->Alignment));
  ShowSpin(*spnImageX, back->Align->X);
  ShowSpin(*spnImageY, back->Align->Y);
  ShowSpin(*spnInnerX, art->InnerOffsetX);
  ShowSpin(*spnInnerY, art->InnerOffsetY);
  ShowSpin(*spnInnerWidth, art->InnerOffsetSizeX);
  ShowSpin(*spnInnerHeight, art->InnerOffsetSizeY);
  (Preview->GetAutoSize() ? rdoAutoSizeTrue : rdoAutoSizeFalse)->SetChecked(true);
  ShowSpin(*spnBackWidth, Preview->Width());
  ShowSpin(*spnBackHeight, Preview->Height());
  ShowSpin(*spnTextWidth, back->TextWidthPlus);
  ShowSpin(*spnTextHeight, back->TextHeightPlus);
  ShowSpin(*spnImageWidth, back->ImageWidth);
  ShowSpin(*spnImageHeight, back->ImageHeight);
  (back->ImageAutoSize ? rdoStretched : rdoFixedSize)->SetChecked(true);
  const bool fadeToBackground = text->FadeTo == back->FulgoColor->Brush;
  (fadeToBackground ? rdoFadeBackground : rdoFadeThisColor)->SetChecked(true);
  if (!fadeToBackground) shpLayerFuzz->Brush()->SetColor(text->FadeTo);
  ShpBackgroundFuzz->Brush()->SetColor(back->FadeTo);
  ShowLetters();
  ReadFont(chkApplyAll->Checked() ? 0 : grdLetters->Selection().Left);
  SelectColor(LastColorIndex);
}

void TfrmWizard::CaptionChanged(host::TPersistent* Sender) {
  if (Loading) return;
  {
    FlagScope loading(Loading);
    auto* source = static_cast<host::TEdit*>(Sender);
    (source == txtLabelText1 ? txtLabelText2 : txtLabelText1)->SetText(source->Text());
  }
  SetToLabel();
}

void TfrmWizard::ControlChanged(host::TPersistent*) {
  SetToLabel();
}

void TfrmWizard::SetToLabel() {
  if (Loading) return;
  FlagScope loading(Loading);
  tFulgoText* text = EditedText();
  tFulgoBackground* back = EditedBackground();
  tFulgoArt* art = EditedArt();

  std::string caption = txtLabelText1->Text();
  if (static_cast<int>(caption.size()) > kMaxCaption) {
    caption = WorkCaption(*this);
    txtLabelText1->SetText(caption);
    txtLabelText2->SetText(caption);
    host::MessageBeep(0);
  }
  // Set once: the working control hands its caption to its art's text (a button's to every state's);
  // a button's other states take theirs straight.
  if (EditMode == edButton && ButtonState != kStateUp)
    text->SetCaption(caption);
  else
    WorkOf(*this).SetCaption(caption);

  text->SetShape(SpinOr16(*spnTextShape, text->Shape));
  back->SetShape(SpinOr16(*spnBackShape, back->Shape));
  back->SetExist(chkCreateBackground->Checked());
  text->LayerFrame->SetActive(chkTextFrame->Checked());
  back->LayerFrame->SetActive(chkBackFrame->Checked());
  text->LayerFrame->SetLineWidth(SpinOr16(*spnTextFrame, text->LayerFrame->LineWidth));
  back->LayerFrame->SetLineWidth(SpinOr16(*spnBackframe, back->LayerFrame->LineWidth));

  const auto shadow = [](tFulgoShadow& layer, host::TCheckBox& check, tQorSpin2& x, tQorSpin2& y,
                         tQorSpin2& sx, tQorSpin2& sy) {
    layer.SetActive(check.Checked());
    layer.SetLeft(SpinOr16(x, layer.Left));
    layer.SetTop(SpinOr16(y, layer.Top));
    layer.SetSizeX(SpinOr16(sx, layer.SizeX));
    layer.SetSizeY(SpinOr16(sy, layer.SizeY));
  };
  shadow(*text->LayerShadow, *chkTextShadow, *spnTextShadowX, *spnTextShadowY, *spnTextShadowSizeX,
         *spnTextShadowSizeY);
  shadow(*back->LayerShadow, *chkBackShadow, *spnBackShadowX, *spnBackShadowY, *spnBackShadowSizeX,
         *spnBackShadowSizeY);

  const auto edge = [](tFulgo3D& layer, host::TCheckBox& check, host::TCheckBox& embossed, tQorSpin2& width,
                       host::TComboBox& direction) {
    layer.SetActive(check.Checked());
    layer.SetEmbossed(embossed.Checked());
    layer.SetLineWidth(SpinOr16(width, layer.LineWidth));
    if (direction.ItemIndex() >= 0) layer.SetDirection(static_cast<efgDirection>(direction.ItemIndex()));
  };
  edge(*text->Layer3D, *chkText3d, *chkTextEmbossed, *spnText3d, *cmbText3dDirection);
  edge(*back->Layer3D, *chkBack3D, *chkBackEmbossed, *spnBack3D, *cmbBack3dDirection);

  text->Align->Alignment = AlignmentAt(chkTextAlignment->ItemIndex());
  text->Align->X = SpinOr(*spnTextAlignX, text->Align->X);
  text->Align->Y = SpinOr(*spnTextAlignY, text->Align->Y);
  back->Align->Alignment = AlignmentAt(chkImageAlignment->ItemIndex());
  back->Align->X = SpinOr(*spnImageX, back->Align->X);
  back->Align->Y = SpinOr(*spnImageY, back->Align->Y);

  art->SetInnerOffsetX(SpinOr(*spnInnerX, art->InnerOffsetX));
  art->SetInnerOffsetY(SpinOr(*spnInnerY, art->InnerOffsetY));
  art->SetInnerOffsetSizeX(SpinOr(*spnInnerWidth, art->InnerOffsetSizeX));
  art->SetInnerOffsetSizeY(SpinOr(*spnInnerHeight, art->InnerOffsetSizeY));
  if (rdoAutoSizeTrue->Checked()) {
    Preview->SetAutoSize(true);
  } else {
    const int width = SpinOr(*spnBackWidth, Preview->Width());
    const int height = SpinOr(*spnBackHeight, Preview->Height());
    Preview->SetAutoSize(false);
    Preview->SetBounds(0, 0, width, height);
  }
  back->TextWidthPlus = SpinOr(*spnTextWidth, back->TextWidthPlus);
  back->TextHeightPlus = SpinOr(*spnTextHeight, back->TextHeightPlus);
  back->SetImageWidth(SpinOr(*spnImageWidth, back->ImageWidth));
  back->SetImageHeight(SpinOr(*spnImageHeight, back->ImageHeight));
  back->SetImageAutoSize(rdoStretched->Checked());

  ShowLetters();
  if (rdosUpdateMethod->ItemIndex() == 0) {
    LastChange = host::Application->GetTickCount();
    Timer1->SetEnabled(true);
  }
  SetToColor();
  ShowStateDifferences();
}

void TfrmWizard::SetToColor() {
  tFulgoText* text = EditedText();
  tFulgoBackground* back = EditedBackground();
  if (EditedColor) EditedColor->SetFuzz(SpinOr(*spnFuzz, EditedColor->Fuzz));
  text->SetFadeTo(rdoFadeThisColor->Checked() ? shpLayerFuzz->Brush()->Color() : back->FulgoColor->Brush);
  back->SetFadeTo(ShpBackgroundFuzz->Brush()->Color());
}

void TfrmWizard::RebuildLabel() {
  ShowStateDifferences();
  host::TControl& preset = PresetControl();
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

void TfrmWizard::CallFullSetToLabel(host::TPersistent* Sender) {
  if (Loading) return;
  FullRebuild = true;
  SetToLabel();
  const int tag = dynamic_cast<host::TComponent*>(Sender) ? static_cast<host::TComponent*>(Sender)->Tag() : 0;
  if (tag > 0 && tag < static_cast<int>(kColorOfTag.size()))
    SelectColor(kColorOfTag[static_cast<std::size_t>(tag)]);
  RebuildLabel();
  Timer1->SetEnabled(false);
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

// ---- the colour panel

void TfrmWizard::SelectColor(int Index) {
  LastColorIndex = std::clamp(Index, 0, 9);
  (LastColorIndex < kFirstBackColor ? LastTextColorIndex : LastBackColorIndex) = LastColorIndex;
  EditedColor = ColorOf(LastColorIndex);
  ShowEditedColor();
}

void TfrmWizard::ShowEditedColor() {
  FlagScope changing(ColorTypeChanging);
  FlagScope loading(Loading);
  cmbColor->SetItemIndex(LastColorIndex);
  host::TRadioButton* const radios[] = {rdoColor,       rdoFuzz,     rdoBitmap,
                                        rdoTiledBitmap, rdoGradient, rdoTiledGradient};
  radios[static_cast<int>(EditedColor->ColorType)]->SetChecked(true);
  ShowSpin(*spnFuzz, EditedColor->Fuzz);
  tFulgoColor& swatch = *ColorSwatch->Art->FulgoBackground->FulgoColor;
  WizardPalette->SetActive(false);
  swatch.Assign(EditedColor);
  ColorSwatch->Invalidate();
}

void TfrmWizard::PickColorClick(host::TPersistent* Sender) {
  const int tag = static_cast<host::TComponent*>(Sender)->Tag();
  if (tag > 0 && tag < static_cast<int>(kColorOfTag.size()))
    SelectColor(kColorOfTag[static_cast<std::size_t>(tag)]);
}

void TfrmWizard::cmbColorChange(host::TPersistent*) {
  if (Loading) return;
  SelectColor(cmbColor->ItemIndex());
}

namespace {

efgColorType CheckedType(const TfrmWizard& form) {
  if (form.rdoFuzz->Checked()) return fgFuzz;
  if (form.rdoBitmap->Checked()) return fgBitmap;
  if (form.rdoTiledBitmap->Checked()) return fgTiledBitmap;
  if (form.rdoGradient->Checked()) return fgGradient;
  if (form.rdoTiledGradient->Checked()) return fgTiledGradient;
  return fgBrush;
}

bool IsBitmapType(efgColorType type) {
  return type == fgBitmap || type == fgTiledBitmap;
}
bool IsGradientType(efgColorType type) {
  return type == fgGradient || type == fgTiledGradient;
}

}  // namespace

void TfrmWizard::ColorTypeClick(host::TPersistent*) {
  if (Loading || ColorTypeChanging || !EditedColor) return;
  const efgColorType type = CheckedType(*this);
  if (type == EditedColor->ColorType) return;
  if (IsBitmapType(type) && EditedColor->FulgoGlyph->Empty()) {
    btnEditColorClick(nullptr);
    ShowEditedColor();
    return;
  }
  EditedColor->SetColorType(type);
  CallFullSetToLabel(nullptr);
  ShowEditedColor();
}

void TfrmWizard::btnEditColorClick(host::TPersistent*) {
  if (!EditedColor) return;
  const efgColorType type = CheckedType(*this);
  if (IsBitmapType(type)) {
    if (EditMode == edButton && ButtonState != kStateUp) {
      host::MessageDlg("Bitmaps can only be changed for the UP state", host::mtWarning, {host::mbOK},
                       "Vantora");
      return;
    }
    host::TOpenPictureDialog dialog(nullptr);
    dialog.SetFilter("Bitmaps (*.bmp)|*.bmp");
    if (!dialog.Execute()) return;
    tFulgoGlyph& glyph = *ColorSwatch->Art->FulgoBackground->FulgoColor->FulgoGlyph;
    try {
      glyph.LoadFromFile(dialog.FileName());
    } catch (const host::Exception& error) {
      ReportLoadError(dialog.FileName(), error.Message());
      return;
    }
    WizardPalette->SetActive(false);
    EditedColor->SetFulgoGlyph(&glyph);
    EditedColor->SetColorType(glyph.Empty() ? fgBrush : type);
  } else if (IsGradientType(type)) {
    if (!GradientEditor->EditGradient(*EditedColor)) return;
    EditedColor->SetColorType(type);
  } else {
    host::TColorDialog dialog(nullptr);
    dialog.SetOptions({host::cdFullOpen});
    dialog.SetColor(EditedColor->Brush);
    if (!dialog.Execute()) return;
    EditedColor->SetColorType(type);
    EditedColor->SetBrush(dialog.Color());
  }
  CallFullSetToLabel(nullptr);
  ShowEditedColor();
}

void TfrmWizard::FadeColorClick(host::TPersistent* Sender) {
  const bool text = static_cast<host::TComponent*>(Sender)->Name() == "btnLayerFuzz";
  host::TShape& swatch = text ? *shpLayerFuzz : *ShpBackgroundFuzz;
  host::TColorDialog dialog(nullptr);
  dialog.SetOptions({host::cdFullOpen});
  dialog.SetColor(swatch.Brush()->Color());
  if (!dialog.Execute()) return;
  swatch.Brush()->SetColor(dialog.Color());
  CallFullSetToLabel(text ? rdoFadeThisColor : nullptr);
}

// ---- fonts per letter

void TfrmWizard::ShowLetters() {
  const std::string& caption = EditedText()->Caption;
  const int columns = std::max<int>(1, static_cast<int>(caption.size()));
  if (grdLetters->ColCount() != columns) grdLetters->SetColCount(columns);
  for (int i = 0; i < columns; ++i)
    grdLetters->SetCells(
        i, 0,
        i < static_cast<int>(caption.size()) ? std::string(1, caption[static_cast<std::size_t>(i)]) : "");
}

std::vector<tFulgoFont*> TfrmWizard::EditedFonts() const {
  tFulgoText* text = EditedText();
  std::vector<tFulgoFont*> fonts;
  if (chkApplyAll->Checked()) {
    for (int i = 0; i < tFulgoText::kFontCount; ++i)
      fonts.push_back(text->GetLetterFont(static_cast<std::int16_t>(i)));
    return fonts;
  }
  const host::TGridRect selection = grdLetters->Selection();
  const int last = std::min(selection.Right, tFulgoText::kFontCount - 1);
  for (int i = std::max(selection.Left, 0); i <= last; ++i)
    fonts.push_back(text->GetLetterFont(static_cast<std::int16_t>(i)));
  return fonts;
}

void TfrmWizard::ReadFont(int Letter) {
  const tFulgoFont& font = *EditedText()->GetLetterFont(
      static_cast<std::int16_t>(std::clamp(Letter, 0, tFulgoText::kFontCount - 1)));
  FlagScope loading(Loading);
  txtFont->SetText(font.GetFontName());
  cmbBold->SetItemIndex(std::clamp(font.GetWeight() / 100 - 1, 0, 8));
  ShowSpin(*spnHeight, font.GetHeight());
  ShowSpin(*spnWidth, font.GetWidth());
  ShowSpin(*spnAngle, font.GetAngle());
  chkItalic->SetChecked(font.GetItalic());
  chkUnderLine->SetChecked(font.GetUnderLine());
  chkStrikeOut->SetChecked(font.GetStrikeOut());
  ShowSpin(*spnOffsetX, font.GetOffSetX());
  ShowSpin(*spnOffsetY, font.GetOffSetY());
}

void TfrmWizard::SetFontToLabel(host::TPersistent* Sender) {
  if (Loading) return;
  const int tag = static_cast<host::TComponent*>(Sender)->Tag();
  const std::vector<tFulgoFont*> fonts = EditedFonts();
  if (fonts.empty()) return;
  const tFulgoFont& shown = *fonts.front();
  // Read once, with the first edited letter's value as the last good one.
  std::int32_t number = 0;
  switch (tag) {
    case 3:
      number = SpinOr(*spnHeight, shown.GetHeight());
      break;
    case 4:
      number = SpinOr(*spnWidth, shown.GetWidth());
      break;
    case 5:
      number = SpinOr(*spnAngle, shown.GetAngle());
      break;
    case 9:
      number = SpinOr(*spnOffsetX, shown.GetOffSetX());
      break;
    case 10:
      number = SpinOr(*spnOffsetY, shown.GetOffSetY());
      break;
    default:
      break;
  }
  for (tFulgoFont* font : fonts) {
    switch (tag) {
      case 1:
        font->SetFontName(txtFont->Text());
        break;
      case 2:
        font->SetWeight(std::max(cmbBold->ItemIndex(), 0) * 100 + 100);
        break;
      case 3:
        font->SetHeight(number);
        break;
      case 4:
        font->SetWidth(number);
        break;
      case 5:
        font->SetAngle(static_cast<std::int16_t>(number));
        break;
      case 6:
        font->SetItalic(chkItalic->Checked());
        break;
      case 7:
        font->SetUnderline(chkUnderLine->Checked());
        break;
      case 8:
        font->SetStrikeOut(chkStrikeOut->Checked());
        break;
      case 9:
        font->SetOffSetX(number);
        break;
      case 10:
        font->SetOffSetY(number);
        break;
      default:
        break;
    }
  }
  // Letter fonts send no notice of their own.
  EditedText()->Rebuild();
  SetToLabel();
}

// A letter height in pixels as a font size in points and back, at 96 pixels to the inch. A negative
// height is the letters' own, a positive one their cell's; a size taken back keeps the sign.
int PointsOfHeight(std::int32_t height) {
  return (std::abs(height) * 72 + 48) / 96;
}
std::int32_t HeightOfPoints(int points, std::int32_t like) {
  const std::int32_t pixels = (points * 96 + 36) / 72;
  return like > 0 ? pixels : -pixels;
}

void TfrmWizard::btnFontClick(host::TPersistent*) {
  const std::vector<tFulgoFont*> fonts = EditedFonts();
  host::TFontDialog dialog(nullptr);
  dialog.SetOptions({host::fdTrueTypeOnly, host::fdEffects, host::fdForceFontExist});
  const std::int32_t height = fonts.empty() ? 0 : fonts.front()->GetHeight();
  if (height != 0) dialog.Font()->SetSize(PointsOfHeight(height));
  if (!fonts.empty()) {
    dialog.Font()->SetName(fonts.front()->GetFontName());
    host::TFontStyles style;
    if (fonts.front()->GetWeight() >= 700) style.Include(host::fsBold);
    if (fonts.front()->GetItalic()) style.Include(host::fsItalic);
    if (fonts.front()->GetUnderLine()) style.Include(host::fsUnderline);
    if (fonts.front()->GetStrikeOut()) style.Include(host::fsStrikeOut);
    dialog.Font()->SetStyle(style);
  }
  if (!dialog.Execute()) return;
  const host::TFontStyles style = dialog.Font()->Style();
  {
    FlagScope loading(Loading);
    txtFont->SetText(dialog.Font()->Name());
    cmbBold->SetItemIndex(style.Contains(host::fsBold) ? 6 : 3);
    chkItalic->SetChecked(style.Contains(host::fsItalic));
    chkUnderLine->SetChecked(style.Contains(host::fsUnderline));
    chkStrikeOut->SetChecked(style.Contains(host::fsStrikeOut));
    // Only a size changed in the dialog replaces the height, which it can only round.
    if (height == 0 || dialog.Font()->Size() != PointsOfHeight(height))
      ShowSpin(*spnHeight, HeightOfPoints(dialog.Font()->Size(), height));
  }
  for (host::TComponent* control : std::initializer_list<host::TComponent*>{
           txtFont, cmbBold, spnHeight, chkItalic, chkUnderLine, chkStrikeOut})
    SetFontToLabel(control);
}

void TfrmWizard::btnAdvancedClick(host::TPersistent*) {
  const bool showGrid = !pnlLetters->Visible();
  pnlLetters->SetVisible(showGrid);
  pnlFontEffects->SetVisible(!showGrid);
  if (!showGrid) {
    FlagScope loading(Loading);
    chkApplyAll->SetChecked(true);
  }
}

// ---- button states, image, clear

void TfrmWizard::PushButtonState() {
  if (ButtonState == kStateUp)
    WorkButton->UpChanged();
  else
    WorkButton->ChildStateChanged(ButtonState);
}

void TfrmWizard::lstButtonStatesClick(host::TPersistent*) {
  if (Loading || EditMode != edButton) return;
  const int state = lstButtonStates->ItemIndex();
  if (state < 0 || state == ButtonState) return;
  PushButtonState();
  ButtonState = state;
  Preview->SetFulgoArt(WorkArt(*this));
  FullRebuild = true;
  RebuildLabel();
  GetFromLabel();
}

namespace {

// Whether a state's look keeps anything of its own against Up. The difference record also holds the
// nesting of unchanged parts, so what counts is whether applying it changes any property.
bool DiffersFromUp(const TFulgoButton& Button, int State) {
  host::TMemoryStream record;
  FindDifference(record, Button.Art.get(), StateArt(Button, State));
  const std::unique_ptr<tFulgoArt> up = Button.Art->NewArt();
  up->Assign(Button.Art.get());
  record.SetPosition(0);
  return SetDifference(record, up.get());
}

}  // namespace

void TfrmWizard::ShowStateDifferences() {
  if (EditMode != edButton) return;
  static constexpr const char* kStateNames[] = {"Up ", "Down", "Disable", "MouseOver"};
  FlagScope loading(Loading);
  for (int state = kStateDown; state <= kStateMouseOver; ++state) {
    const std::string shown =
        std::string(kStateNames[state]) + (DiffersFromUp(*WorkButton, state) ? " *" : "");
    if ((*lstButtonStates->Items())[state] != shown) lstButtonStates->Items()->Put(state, shown);
  }
  lstButtonStates->SetItemIndex(ButtonState);
}

void TfrmWizard::btnSameAsUpClick(host::TPersistent*) {
  if (EditMode != edButton || ButtonState == kStateUp) return;
  PushButtonState();
  WorkButton->ClearArt(ButtonState);
  FullRebuild = true;
  RebuildLabel();
  GetFromLabel();
}

void TfrmWizard::btnLoadImageClick(host::TPersistent*) {
  host::TOpenPictureDialog dialog(nullptr);
  if (!dialog.Execute()) return;
  tFulgoBackground* back = EditedBackground();
  try {
    back->BackImage->LoadFromFile(dialog.FileName());
  } catch (const host::Exception& error) {
    ReportLoadError(dialog.FileName(), error.Message());
    return;
  }
  back->BackImage->Changed();
  {
    FlagScope loading(Loading);
    ShowSpin(*spnImageWidth, back->BackImage->GetWidth());
    ShowSpin(*spnImageHeight, back->BackImage->GetHeight());
  }
  CallFullSetToLabel(nullptr);
}

void TfrmWizard::btnClearImageClick(host::TPersistent*) {
  EditedBackground()->BackImage->FreeDib();
  EditedBackground()->BackImage->Changed();
  CallFullSetToLabel(nullptr);
}

void TfrmWizard::btnClearClick(host::TPersistent*) {
  switch (EditMode) {
    case edButton:
      WorkButton->ClearArt(ButtonState);
      if (ButtonState == kStateUp) WorkButton->CallComponentDefaults();
      break;
    case edPanel:
      WorkPanel->Init();
      WorkPanel->CallComponentDefaults();
      break;
    case edLabel:
      WorkLabel->Init();
      WorkLabel->CallComponentDefaults();
      break;
  }
  Preview->SetFulgoArt(WorkArt(*this));
  FullRebuild = true;
  RebuildLabel();
  GetFromLabel();
}

// ---- settings

void TfrmWizard::LoadSettings() {
  const tWizardSettings settings = ReadWizardSettings();
  FlagScope loading(Loading);
  GalleryDirectory = settings.LabelGallery;
  txtGalleryDirectory->SetText(settings.LabelGallery);
  chkBeep->SetChecked(settings.BeepOnUpdate);
  rdosUpdateMethod->SetItemIndex(settings.UpdateOnEnter ? 1 : 0);
  ShowSpin(*spnUpdateTime,
           std::clamp(settings.UpdateAfter, spnUpdateTime->MinValue, spnUpdateTime->MaxValue));
}

void TfrmWizard::SaveSettings() {
  tWizardSettings settings;
  settings.LabelGallery = txtGalleryDirectory->Text();
  settings.BeepOnUpdate = chkBeep->Checked();
  settings.UpdateOnEnter = rdosUpdateMethod->ItemIndex() == 1;
  settings.UpdateAfter = SpinOr(*spnUpdateTime, ReadWizardSettings().UpdateAfter);
  WriteWizardSettings(settings);
}

// ---- the preset gallery

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
  host::TControl& preset = PresetControl();
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

bool TfrmWizard::LoadComponentFile(host::TComponent& Target, const std::string& FileName) {
  try {
    if (auto* control = dynamic_cast<TFulgoGraphicControl*>(&Target))
      control->LoadFromFile(FileName);
    else
      dynamic_cast<tFulgoCustomPanel&>(Target).LoadFromFile(FileName);
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
  host::TControl& preset = PresetControl();
  // A preset that fails to load leaves the last good one shown and chosen.
  if (!LoadComponentFile(preset, chosen.Path)) return;
  PresetName = chosen.Name;
  preset.SetVisible(false);
  if (rdoMyCaption->Checked()) preset.SetCaption(EditedText()->Caption);
  SetControlPalette(preset, WizardPalette);
  if (EditMode == edLabel) PresetLabel->SetAutoSize(true);
  FullRebuild = true;
  RebuildPreset();
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
  host::TControl& preset = PresetControl();
  WizardPalette->SetActive(false);
  {
    AbortPaletteChanges quiet;
    {
      RebuildsAllowed allowed(AsFulgo(preset));
      if (EditMode == edButton) PresetButton->UpChanged();
      AsFulgo(preset).Rebuild();
    }
    CentreInBox(*scrlPreset, preset);
  }
  WizardPalette->SetActive(true);
  WizardPalette->SetActive(false);
  FullRebuild = false;
  if (PresetsFound) preset.SetVisible(true);
}

void TfrmWizard::btnApplyPresetClick(host::TPersistent*) {
  if (ApplyingPreset || !PresetsFound || PresetName.empty()) return;
  FlagScope applying(ApplyingPreset);
  host::TControl& preset = PresetControl();
  host::TControl& work = WorkOf(*this);
  AssignControl(preset, &work);
  // The working copy belongs to no palette component while the wizard runs.
  SetControlPalette(work, nullptr);
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

// ---- control files

void TfrmWizard::btnSaveClick(host::TPersistent*) {
  host::TSaveDialog dialog(nullptr);
  dialog.SetTitle("Save Component");
  dialog.SetDefaultExt("lbl");
  dialog.SetOptions({host::ofOverwritePrompt, host::ofPathMustExist});
  dialog.SetFilter(std::string(KindName(EditMode)) + "|*." + PresetExtension(EditMode) +
                   "|Bitmap (*.bmp)|*.bmp");
  dialog.SetFileName(ComponentFileName);
  if (!dialog.Execute()) return;
  const std::string file = dialog.FileName();
  if (SameTextExt(file, ".bmp")) {
    SaveDib(*EditedArt()->Dib, file);
    return;
  }
  host::TControl& work = WorkOf(*this);
  work.SetBounds(work.Left(), work.Top(), Preview->Width(), Preview->Height());
  if (EditMode == edButton) PushButtonState();
  if (EditMode == edPanel)
    WorkPanel->SaveToFile(file);
  else
    static_cast<TFulgoGraphicControl&>(work).SaveToFile(file);
  ComponentFileName = file;
}

void TfrmWizard::btnLoadClick(host::TPersistent*) {
  host::TOpenDialog dialog(nullptr);
  dialog.SetDefaultExt("lbl");
  dialog.SetOptions({host::ofPathMustExist, host::ofFileMustExist});
  dialog.SetFilter(std::string(KindName(EditMode)) + "|*." + PresetExtension(EditMode));
  if (dialog.Execute() && LoadComponentFile(WorkOf(*this), dialog.FileName()))
    ComponentFileName = dialog.FileName();
  Preview->SetFulgoArt(WorkArt(*this));
  FullRebuild = true;
  GetFromLabel();
  RebuildLabel();
}

// ---- entry points

void BuildForm() {
  if (!frmWiz) frmWiz = new TfrmWizard(host::Application);
}

host::TModalResult ShowForm() {
  return frmWiz->ShowModal();
}

void KillForm() {
  delete frmWiz;
  frmWiz = nullptr;
}

namespace {

// Kills the form however the edit ends.
struct FormKiller {
  FormKiller() = default;
  FormKiller(const FormKiller&) = delete;
  FormKiller& operator=(const FormKiller&) = delete;
  ~FormKiller() { KillForm(); }
};

// Opens the wizard on Control with Work as its working copy; answers whether the user pressed Ok.
bool OpenWizard(host::TControl& Control, teEditing Mode, host::TControl& Work) {
  TfrmWizard& form = *frmWiz;
  host::TScreen* screen = host::Application ? &host::Application->Screen() : nullptr;
  if (screen) screen->SetCursor(host::TCursor::HourGlass);
  form.EditMode = Mode;
  tFulgoControl& work = AsFulgo(Work);
  {
    NoRebuilds quiet(work);
    AssignControl(Control, &Work);
    // The working copy must not join, and so change, the control's palette component.
    SetControlPalette(Work, nullptr);
    SetUpdatePaletteOf(Work, false);
    Work.SetBounds(1, 1, Work.Width(), Work.Height());
    Work.SetVisible(false);
  }
  if (Mode == edButton) {
    form.WorkButton->SetMinArt(false);
    form.WorkButton->UpChanged();
  }
  form.ButtonState = kStateUp;
  form.Preview->SetFulgoArt(WorkArt(form));
  const auto* fulgoControl = dynamic_cast<const TFulgoGraphicControl*>(&Control);
  const bool autoSize = fulgoControl ? fulgoControl->GetAutoSize()
                                     : dynamic_cast<const tFulgoCustomPanel&>(Control).GetAutoSize();
  form.Preview->SetAutoSize(autoSize);
  form.Preview->SetBounds(0, 0, Control.Width(), Control.Height());
  form.Preview->SetFulgoPalette(form.WizardPalette);
  SetControlPalette(form.PresetControl(), form.WizardPalette);
  const bool button = Mode == edButton;
  form.lstButtonStates->SetVisible(button);
  form.btnSameAsUp->SetVisible(button);
  form.pnlHideButtonStates->SetVisible(!button);
  // The preview takes the state list's place when there is none.
  const host::TControl& states = *form.lstButtonStates;
  const int previewRight = button ? states.Left() - form.scrlExample->Left() : states.Left() + states.Width();
  form.scrlExample->SetWidth(previewRight - form.scrlExample->Left());
  {
    FlagScope loading(form.Loading);
    form.lstButtonStates->SetItemIndex(0);
    form.rdoMyCaption->SetChecked(true);
  }
  form.InitPreset();
  if (screen) screen->SetCursor(host::TCursor::Default);
  return ShowForm() == host::mrOk;
}

// Copies the working copy back into the control. A failure on the way puts the control back exactly
// as it was, palette component and UpdatePalette included, and passes the error on.
void CommitWizard(host::TControl& Control, host::TControl& Work, const std::string& Caption,
                  const std::function<void()>& Restore) {
  TfrmWizard& form = *frmWiz;
  tFulgoControl& fulgo = AsFulgo(Control);
  const bool visible = Control.Visible();
  const int left = Control.Left(), top = Control.Top(), width = Control.Width(), height = Control.Height();
  tFulgoPalette* const palette = PaletteOf(Control);
  const bool updatePalette = UpdatePaletteOf(Control);
  const bool allowRebuild = fulgo.GetAllowRebuild();
  const bool autoSize = form.Preview->GetAutoSize();
  host::TMemoryStream before;
  host::WriteComponent(before, Control);
  try {
    fulgo.SetAllowRebuild(false);
    AssignControl(Work, &Control);
    Control.SetCaption(Caption);
    Control.SetVisible(visible);
    if (auto* graphic = dynamic_cast<TFulgoGraphicControl*>(&Control))
      graphic->SetAutoSize(autoSize);
    else
      dynamic_cast<tFulgoCustomPanel&>(Control).SetAutoSize(autoSize);
    if (Restore) Restore();
    Control.SetBounds(left, top, form.Preview->Width(), form.Preview->Height());
    SetUpdatePaletteOf(Control, true);
    SetControlPalette(Control, palette);
    fulgo.SetAllowRebuild(true);
    fulgo.Rebuild();
    SetUpdatePaletteOf(Control, updatePalette);
    fulgo.SetAllowRebuild(allowRebuild);
  } catch (...) {
    fulgo.SetAllowRebuild(false);
    before.SetPosition(0);
    LoadControlFromStream(Control, before, false);
    SetControlPalette(Control, palette);
    SetUpdatePaletteOf(Control, updatePalette);
    Control.SetBounds(left, top, width, height);
    Control.SetVisible(visible);
    fulgo.SetAllowRebuild(allowRebuild);
    throw;
  }
}

}  // namespace

bool EditLabel(TFulgoLabel& Control) {
  BuildForm();
  FormKiller killer;
  TfrmWizard& form = *frmWiz;
  form.WorkLabel->SetCaption(Control.Caption());
  if (!OpenWizard(Control, edLabel, *form.WorkLabel)) return false;
  CommitWizard(Control, *form.WorkLabel, form.EditedText()->Caption, nullptr);
  return true;
}

bool EditButton(TFulgoButton& Button) {
  BuildForm();
  FormKiller killer;
  TfrmWizard& form = *frmWiz;
  const bool minArt = Button.GetMinArt();
  if (!OpenWizard(Button, edButton, *form.WorkButton)) return false;
  form.PushButtonState();
  CommitWizard(Button, *form.WorkButton, form.WorkButton->Caption(),
               [&Button, minArt] { Button.SetMinArt(minArt); });
  return true;
}

bool EditPanel(tFulgoPanel& Panel) {
  BuildForm();
  FormKiller killer;
  TfrmWizard& form = *frmWiz;
  if (!OpenWizard(Panel, edPanel, *form.WorkPanel)) return false;
  CommitWizard(Panel, *form.WorkPanel, form.EditedText()->Caption, nullptr);
  return true;
}

}  // namespace vantora
