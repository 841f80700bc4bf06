// The wizard's colour panel: which of the ten fills of the letters and the background it edits, the
// kind of fill, and the dialogs that make one (colour, picture, gradient) and the fade colours.
#include <algorithm>

#include "controls/Fulbtn.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Qorspin2.h"
#include "design/Grdwiz.h"
#include "design/Wizard.h"
#include "design/WizardSupport.h"
#include "effects/Fulcolor.h"
#include "effects/Fullyrs.h"
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/OpenPictureDialog.h"
#include "host/forms/MessageBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/Shape.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

namespace vantora {

using namespace wizard;

namespace {

// The colour panel lists the letters' five fills, then the background's.
constexpr int kFirstBackColor = 5;

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
  if (const int color = ColorOfTag(static_cast<host::TComponent*>(Sender)->Tag()); color >= 0)
    SelectColor(color);
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

}  // namespace vantora
