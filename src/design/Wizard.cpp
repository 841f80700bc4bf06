#include "design/Wizard.h"

#include <algorithm>
#include <cctype>
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
#include "design/WizardSupport.h"
#include "effects/Fulcolor.h"
#include "effects/Fullyrs.h"
#include "effects/Shapes.h"
#include "host/classes/Platform.h"
#include "host/dialogs/FileDialog.h"
#include "host/dialogs/FontDialog.h"
#include "host/dialogs/OpenPictureDialog.h"
#include "host/forms/Application.h"
#include "host/forms/FormLayout.h"
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

using namespace wizard;

TfrmWizard* frmWiz = nullptr;
bool bInWizard = false;

namespace {

// The pages whose colours the colour panel offers: the letters' or the background's.
constexpr int kFirstTextPage = 1, kLastTextPage = 2, kFirstBackPage = 3, kLastBackPage = 4;

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
  host::ReadFormLayout(*this, kWizardForm);
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
  for (tFulgoControl* work : std::initializer_list<tFulgoControl*>{WorkLabel, WorkButton, WorkPanel}) {
    work->SetAllowRebuild(false);
    work->SetUpdatePalette(false);
    host::TControl& control = work->HostControl();
    control.SetVisible(false);
    control.SetBounds(0, 0, control.Width(), control.Height());
    control.SetParent(this);
  }
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
  for (tFulgoControl* preset :
       std::initializer_list<tFulgoControl*>{PresetLabel, PresetButton, PresetPanel}) {
    preset->SetAllowRebuild(false);
    preset->HostControl().SetVisible(false);
    preset->HostControl().SetParent(scrlPreset);
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

  WireBindings();

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

tFulgoControl& TfrmWizard::PresetControl() const {
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

void TfrmWizard::SetToColor() {
  tFulgoText* text = EditedText();
  tFulgoBackground* back = EditedBackground();
  if (EditedColor) EditedColor->SetFuzz(SpinOr(*spnFuzz, EditedColor->Fuzz));
  text->SetFadeTo(rdoFadeThisColor->Checked() ? shpLayerFuzz->Brush()->Color() : back->FulgoColor->Brush);
  back->SetFadeTo(ShpBackgroundFuzz->Brush()->Color());
}

void TfrmWizard::CallFullSetToLabel(host::TPersistent* Sender) {
  if (Loading) return;
  FullRebuild = true;
  SetToLabel();
  const auto* component = dynamic_cast<host::TComponent*>(Sender);
  if (const int color = ColorOfTag(component ? component->Tag() : 0); color >= 0) SelectColor(color);
  RebuildLabel();
  Timer1->SetEnabled(false);
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
  host::TControl& work = WorkControl().HostControl();
  work.SetBounds(work.Left(), work.Top(), Preview->Width(), Preview->Height());
  if (EditMode == edButton) PushButtonState();
  WorkControl().SaveToFile(file);
  ComponentFileName = file;
}

void TfrmWizard::btnLoadClick(host::TPersistent*) {
  host::TOpenDialog dialog(nullptr);
  dialog.SetDefaultExt("lbl");
  dialog.SetOptions({host::ofPathMustExist, host::ofFileMustExist});
  dialog.SetFilter(std::string(KindName(EditMode)) + "|*." + PresetExtension(EditMode));
  if (dialog.Execute() && LoadComponentFile(WorkControl(), dialog.FileName()))
    ComponentFileName = dialog.FileName();
  Preview->SetFulgoArt(WorkArt(*this));
  FullRebuild = true;
  GetFromLabel();
  RebuildLabel();
}

}  // namespace vantora
