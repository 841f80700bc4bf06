// The wizard's widgets bound to what they edit. Each table row names a widget of the form and how
// its value is read from the model and written back; the loops below show the model in the widgets,
// write the widgets back and wire their change handlers, so a new widget is one new row.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Qorspin2.h"
#include "design/Wizard.h"
#include "design/WizardSupport.h"
#include "effects/Fullyrs.h"
#include "host/forms/Application.h"
#include "host/forms/Timer.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/Shape.h"
#include "host/widgets/StringGrid.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

namespace vantora {

namespace {

using F = TfrmWizard;
using wizard::ShowSpin;
using wizard::SpinOr;

// What the pages edit: the shown art, its letters and its background.
struct tEdited {
  tFulgoText& text;
  tFulgoBackground& back;
  tFulgoArt& art;
};

// A widget of the form, as the member that points to it.
template <class W>
using tMember = W* F::*;

// Two radio buttons that together show one bool: the first is checked when it holds.
struct tRadioPair {
  tMember<host::TRadioButton> yes;
  tMember<host::TRadioButton> no;
};

// One widget and the model value it shows. Widget is a member of the form, or a radio pair.
template <class Widget, class V, class Model>
struct tBinding {
  Widget widget;
  V (*read)(const Model&);
  void (*write)(Model&, V);
};

constexpr tBinding<tMember<host::TCheckBox>, bool, tEdited> kChecks[] = {
    {&F::chkCreateBackground, [](const tEdited& m) { return m.back.Exist; },
     [](tEdited& m, bool v) { m.back.SetExist(v); }},
    {&F::chkTextFrame, [](const tEdited& m) { return m.text.LayerFrame->Active; },
     [](tEdited& m, bool v) { m.text.LayerFrame->SetActive(v); }},
    {&F::chkBackFrame, [](const tEdited& m) { return m.back.LayerFrame->Active; },
     [](tEdited& m, bool v) { m.back.LayerFrame->SetActive(v); }},
    {&F::chkTextShadow, [](const tEdited& m) { return m.text.LayerShadow->Active; },
     [](tEdited& m, bool v) { m.text.LayerShadow->SetActive(v); }},
    {&F::chkBackShadow, [](const tEdited& m) { return m.back.LayerShadow->Active; },
     [](tEdited& m, bool v) { m.back.LayerShadow->SetActive(v); }},
    {&F::chkText3d, [](const tEdited& m) { return m.text.Layer3D->Active; },
     [](tEdited& m, bool v) { m.text.Layer3D->SetActive(v); }},
    {&F::chkBack3D, [](const tEdited& m) { return m.back.Layer3D->Active; },
     [](tEdited& m, bool v) { m.back.Layer3D->SetActive(v); }},
    {&F::chkTextEmbossed, [](const tEdited& m) { return m.text.Layer3D->Embossed; },
     [](tEdited& m, bool v) { m.text.Layer3D->SetEmbossed(v); }},
    {&F::chkBackEmbossed, [](const tEdited& m) { return m.back.Layer3D->Embossed; },
     [](tEdited& m, bool v) { m.back.Layer3D->SetEmbossed(v); }},
};

constexpr tBinding<tRadioPair, bool, tEdited> kRadioPairs[] = {
    {{&F::rdoStretched, &F::rdoFixedSize},
     [](const tEdited& m) { return m.back.ImageAutoSize; },
     [](tEdited& m, bool v) { m.back.SetImageAutoSize(v); }},
};

// The values the layers keep in 16 bits.
constexpr tBinding<tMember<tQorSpin2>, std::int16_t, tEdited> kShortSpins[] = {
    {&F::spnTextShape, [](const tEdited& m) { return m.text.Shape; },
     [](tEdited& m, std::int16_t v) { m.text.SetShape(v); }},
    {&F::spnBackShape, [](const tEdited& m) { return m.back.Shape; },
     [](tEdited& m, std::int16_t v) { m.back.SetShape(v); }},
    {&F::spnTextFrame, [](const tEdited& m) { return m.text.LayerFrame->LineWidth; },
     [](tEdited& m, std::int16_t v) { m.text.LayerFrame->SetLineWidth(v); }},
    {&F::spnBackframe, [](const tEdited& m) { return m.back.LayerFrame->LineWidth; },
     [](tEdited& m, std::int16_t v) { m.back.LayerFrame->SetLineWidth(v); }},
    {&F::spnTextShadowX, [](const tEdited& m) { return m.text.LayerShadow->Left; },
     [](tEdited& m, std::int16_t v) { m.text.LayerShadow->SetLeft(v); }},
    {&F::spnTextShadowY, [](const tEdited& m) { return m.text.LayerShadow->Top; },
     [](tEdited& m, std::int16_t v) { m.text.LayerShadow->SetTop(v); }},
    {&F::spnTextShadowSizeX, [](const tEdited& m) { return m.text.LayerShadow->SizeX; },
     [](tEdited& m, std::int16_t v) { m.text.LayerShadow->SetSizeX(v); }},
    {&F::spnTextShadowSizeY, [](const tEdited& m) { return m.text.LayerShadow->SizeY; },
     [](tEdited& m, std::int16_t v) { m.text.LayerShadow->SetSizeY(v); }},
    {&F::spnBackShadowX, [](const tEdited& m) { return m.back.LayerShadow->Left; },
     [](tEdited& m, std::int16_t v) { m.back.LayerShadow->SetLeft(v); }},
    {&F::spnBackShadowY, [](const tEdited& m) { return m.back.LayerShadow->Top; },
     [](tEdited& m, std::int16_t v) { m.back.LayerShadow->SetTop(v); }},
    {&F::spnBackShadowSizeX, [](const tEdited& m) { return m.back.LayerShadow->SizeX; },
     [](tEdited& m, std::int16_t v) { m.back.LayerShadow->SetSizeX(v); }},
    {&F::spnBackShadowSizeY, [](const tEdited& m) { return m.back.LayerShadow->SizeY; },
     [](tEdited& m, std::int16_t v) { m.back.LayerShadow->SetSizeY(v); }},
    {&F::spnText3d, [](const tEdited& m) { return m.text.Layer3D->LineWidth; },
     [](tEdited& m, std::int16_t v) { m.text.Layer3D->SetLineWidth(v); }},
    {&F::spnBack3D, [](const tEdited& m) { return m.back.Layer3D->LineWidth; },
     [](tEdited& m, std::int16_t v) { m.back.Layer3D->SetLineWidth(v); }},
};

constexpr tBinding<tMember<tQorSpin2>, std::int32_t, tEdited> kSpins[] = {
    {&F::spnTextAlignX, [](const tEdited& m) { return m.text.Align->X; },
     [](tEdited& m, std::int32_t v) { m.text.Align->X = v; }},
    {&F::spnTextAlignY, [](const tEdited& m) { return m.text.Align->Y; },
     [](tEdited& m, std::int32_t v) { m.text.Align->Y = v; }},
    {&F::spnImageX, [](const tEdited& m) { return m.back.Align->X; },
     [](tEdited& m, std::int32_t v) { m.back.Align->X = v; }},
    {&F::spnImageY, [](const tEdited& m) { return m.back.Align->Y; },
     [](tEdited& m, std::int32_t v) { m.back.Align->Y = v; }},
    {&F::spnInnerX, [](const tEdited& m) { return m.art.InnerOffsetX; },
     [](tEdited& m, std::int32_t v) { m.art.SetInnerOffsetX(v); }},
    {&F::spnInnerY, [](const tEdited& m) { return m.art.InnerOffsetY; },
     [](tEdited& m, std::int32_t v) { m.art.SetInnerOffsetY(v); }},
    {&F::spnInnerWidth, [](const tEdited& m) { return m.art.InnerOffsetSizeX; },
     [](tEdited& m, std::int32_t v) { m.art.SetInnerOffsetSizeX(v); }},
    {&F::spnInnerHeight, [](const tEdited& m) { return m.art.InnerOffsetSizeY; },
     [](tEdited& m, std::int32_t v) { m.art.SetInnerOffsetSizeY(v); }},
    {&F::spnTextWidth, [](const tEdited& m) { return m.back.TextWidthPlus; },
     [](tEdited& m, std::int32_t v) { m.back.TextWidthPlus = v; }},
    {&F::spnTextHeight, [](const tEdited& m) { return m.back.TextHeightPlus; },
     [](tEdited& m, std::int32_t v) { m.back.TextHeightPlus = v; }},
    {&F::spnImageWidth, [](const tEdited& m) { return m.back.ImageWidth; },
     [](tEdited& m, std::int32_t v) { m.back.SetImageWidth(v); }},
    {&F::spnImageHeight, [](const tEdited& m) { return m.back.ImageHeight; },
     [](tEdited& m, std::int32_t v) { m.back.SetImageHeight(v); }},
};

// A direction is only taken from a chosen entry; an alignment off the list reads as centred.
void SetDirection(tFulgo3D& layer, int index) {
  if (index >= 0) layer.SetDirection(static_cast<efgDirection>(index));
}

constexpr tBinding<tMember<host::TComboBox>, int, tEdited> kCombos[] = {
    {&F::cmbText3dDirection, [](const tEdited& m) { return static_cast<int>(m.text.Layer3D->Direction); },
     [](tEdited& m, int v) { SetDirection(*m.text.Layer3D, v); }},
    {&F::cmbBack3dDirection, [](const tEdited& m) { return static_cast<int>(m.back.Layer3D->Direction); },
     [](tEdited& m, int v) { SetDirection(*m.back.Layer3D, v); }},
};

constexpr tBinding<tMember<host::TRadioGroup>, int, tEdited> kRadioGroups[] = {
    {&F::chkTextAlignment, [](const tEdited& m) { return wizard::AlignmentIndex(m.text.Align->Alignment); },
     [](tEdited& m, int v) { m.text.Align->Alignment = wizard::AlignmentAt(v); }},
    {&F::chkImageAlignment, [](const tEdited& m) { return wizard::AlignmentIndex(m.back.Align->Alignment); },
     [](tEdited& m, int v) { m.back.Align->Alignment = wizard::AlignmentAt(v); }},
};

// The letter font controls; the font dialog sets the same ones.
constexpr tBinding<tMember<host::TEdit>, std::string, tFulgoFont> kFontEdits[] = {
    {&F::txtFont, [](const tFulgoFont& f) { return f.GetFontName(); },
     [](tFulgoFont& f, std::string v) { f.SetFontName(v); }},
};

constexpr tBinding<tMember<host::TComboBox>, int, tFulgoFont> kFontCombos[] = {
    // Weights 100 to 900 are the entries 0 to 8.
    {&F::cmbBold, [](const tFulgoFont& f) { return std::clamp(f.GetWeight() / 100 - 1, 0, 8); },
     [](tFulgoFont& f, int v) { f.SetWeight(std::max(v, 0) * 100 + 100); }},
};

constexpr tBinding<tMember<tQorSpin2>, std::int32_t, tFulgoFont> kFontSpins[] = {
    {&F::spnHeight, [](const tFulgoFont& f) { return f.GetHeight(); },
     [](tFulgoFont& f, std::int32_t v) { f.SetHeight(v); }},
    {&F::spnWidth, [](const tFulgoFont& f) { return f.GetWidth(); },
     [](tFulgoFont& f, std::int32_t v) { f.SetWidth(v); }},
    {&F::spnOffsetX, [](const tFulgoFont& f) { return f.GetOffSetX(); },
     [](tFulgoFont& f, std::int32_t v) { f.SetOffSetX(v); }},
    {&F::spnOffsetY, [](const tFulgoFont& f) { return f.GetOffSetY(); },
     [](tFulgoFont& f, std::int32_t v) { f.SetOffSetY(v); }},
};

constexpr tBinding<tMember<tQorSpin2>, std::int16_t, tFulgoFont> kFontShortSpins[] = {
    {&F::spnAngle, [](const tFulgoFont& f) { return f.GetAngle(); },
     [](tFulgoFont& f, std::int16_t v) { f.SetAngle(v); }},
};

constexpr tBinding<tMember<host::TCheckBox>, bool, tFulgoFont> kFontChecks[] = {
    {&F::chkItalic, [](const tFulgoFont& f) { return f.GetItalic(); },
     [](tFulgoFont& f, bool v) { f.SetItalic(v); }},
    {&F::chkUnderLine, [](const tFulgoFont& f) { return f.GetUnderLine(); },
     [](tFulgoFont& f, bool v) { f.SetUnderline(v); }},
    {&F::chkStrikeOut, [](const tFulgoFont& f) { return f.GetStrikeOut(); },
     [](tFulgoFont& f, bool v) { f.SetStrikeOut(v); }},
};

// Switches re-render at once; typed values and choices wait for the update rule.
template <class Visit>
void VisitModelRows(Visit visit) {
  visit(kChecks, true);
  visit(kRadioPairs, true);
  visit(kShortSpins, false);
  visit(kSpins, false);
  visit(kCombos, false);
  visit(kRadioGroups, false);
}

template <class Visit>
void VisitFontRows(Visit visit) {
  visit(kFontEdits);
  visit(kFontCombos);
  visit(kFontSpins);
  visit(kFontShortSpins);
  visit(kFontChecks);
}

// ---- each kind of widget: showing a value, taking it (with the model's as the last good one),
// and its change event

void Show(host::TCheckBox& w, bool v) {
  w.SetChecked(v);
}
bool Take(host::TCheckBox& w, bool) {
  return w.Checked();
}
void OnChange(host::TCheckBox& w, const host::TNotifyEvent& handler) {
  w.OnClick = handler;
}

void Show(tQorSpin2& w, std::int32_t v) {
  ShowSpin(w, v);
}
std::int32_t Take(tQorSpin2& w, std::int32_t current) {
  return SpinOr(w, current);
}
std::int16_t Take(tQorSpin2& w, std::int16_t current) {
  return wizard::SpinOr16(w, current);
}
void OnChange(tQorSpin2& w, const host::TNotifyEvent& handler) {
  w.OnLegalChange = handler;
}

void Show(host::TComboBox& w, int v) {
  w.SetItemIndex(v);
}
int Take(host::TComboBox& w, int) {
  return w.ItemIndex();
}
void OnChange(host::TComboBox& w, const host::TNotifyEvent& handler) {
  w.OnChange = handler;
}

void Show(host::TRadioGroup& w, int v) {
  w.SetItemIndex(v);
}
int Take(host::TRadioGroup& w, int) {
  return w.ItemIndex();
}
void OnChange(host::TRadioGroup& w, const host::TNotifyEvent& handler) {
  w.OnClick = handler;
}

void Show(host::TEdit& w, const std::string& v) {
  w.SetText(v);
}
std::string Take(host::TEdit& w, const std::string&) {
  return w.Text();
}
void OnChange(host::TEdit& w, const host::TNotifyEvent& handler) {
  w.OnChange = handler;
}

// ---- a row's widget on the form

template <class W, class V>
void Show(const F& form, tMember<W> widget, const V& v) {
  Show(*(form.*widget), v);
}
template <class W, class V>
V Take(const F& form, tMember<W> widget, const V& current) {
  return Take(*(form.*widget), current);
}
template <class W>
void OnChange(const F& form, tMember<W> widget, const host::TNotifyEvent& handler) {
  OnChange(*(form.*widget), handler);
}
template <class W>
bool Is(const F& form, tMember<W> widget, const host::TPersistent* sender) {
  return form.*widget == sender;
}

void Show(const F& form, const tRadioPair& pair, bool v) {
  (form.*(v ? pair.yes : pair.no))->SetChecked(true);
}
bool Take(const F& form, const tRadioPair& pair, bool) {
  return (form.*pair.yes)->Checked();
}
void OnChange(const F& form, const tRadioPair& pair, const host::TNotifyEvent& handler) {
  (form.*pair.yes)->OnClick = handler;
  (form.*pair.no)->OnClick = handler;
}

// ---- the loops

template <class Rows, class Model>
void ShowRows(const F& form, const Rows& rows, const Model& model) {
  for (const auto& row : rows) Show(form, row.widget, row.read(model));
}

template <class Rows, class Model>
void StoreRows(const F& form, const Rows& rows, Model& model) {
  for (const auto& row : rows) row.write(model, Take(form, row.widget, row.read(model)));
}

template <class Rows>
void WireRows(const F& form, const Rows& rows, const host::TNotifyEvent& handler) {
  for (const auto& row : rows) OnChange(form, row.widget, handler);
}

// The value is taken once, with the first edited letter's as the last good one, and given to all.
template <class Rows>
bool StoreFontRow(const F& form, const Rows& rows, const host::TPersistent* sender,
                  const std::vector<tFulgoFont*>& fonts) {
  for (const auto& row : rows) {
    if (!Is(form, row.widget, sender)) continue;
    const auto value = Take(form, row.widget, row.read(*fonts.front()));
    for (tFulgoFont* font : fonts) row.write(*font, value);
    return true;
  }
  return false;
}

tEdited EditedOf(const F& form) {
  return {*form.EditedText(), *form.EditedBackground(), *form.EditedArt()};
}

}  // namespace

void TfrmWizard::GetFromLabel() {
  wizard::FlagScope loading(Loading);
  const tEdited model = EditedOf(*this);
  txtLabelText1->SetText(model.text.Caption);
  txtLabelText2->SetText(model.text.Caption);
  VisitModelRows([&](const auto& rows, bool) { ShowRows(*this, rows, model); });
  (Preview->GetAutoSize() ? rdoAutoSizeTrue : rdoAutoSizeFalse)->SetChecked(true);
  ShowSpin(*spnBackWidth, Preview->Width());
  ShowSpin(*spnBackHeight, Preview->Height());
  const bool fadeToBackground = model.text.FadeTo == model.back.FulgoColor->Brush;
  (fadeToBackground ? rdoFadeBackground : rdoFadeThisColor)->SetChecked(true);
  if (!fadeToBackground) shpLayerFuzz->Brush()->SetColor(model.text.FadeTo);
  ShpBackgroundFuzz->Brush()->SetColor(model.back.FadeTo);
  ShowLetters();
  ReadFont(chkApplyAll->Checked() ? 0 : grdLetters->Selection().Left);
  SelectColor(LastColorIndex);
}

void TfrmWizard::SetToLabel() {
  if (Loading) return;
  wizard::FlagScope loading(Loading);
  StoreCaption();
  tEdited model = EditedOf(*this);
  VisitModelRows([&](const auto& rows, bool) { StoreRows(*this, rows, model); });
  StorePreviewSize();
  ShowLetters();
  if (rdosUpdateMethod->ItemIndex() == 0) {
    LastChange = host::Application->GetTickCount();
    Timer1->SetEnabled(true);
  }
  SetToColor();
  ShowStateDifferences();
}

void TfrmWizard::StoreCaption() {
  std::string caption = txtLabelText1->Text();
  if (static_cast<int>(caption.size()) > tFulgoText::kMaxLetters) {
    caption = wizard::WorkCaption(*this);
    txtLabelText1->SetText(caption);
    txtLabelText2->SetText(caption);
    host::MessageBeep(0);
  }
  // Set once: the working control hands its caption to its art's text (a button's to every state's);
  // a button's other states take theirs straight.
  if (EditMode == edButton && ButtonState != kStateUp)
    EditedText()->SetCaption(caption);
  else
    WorkControl().HostControl().SetCaption(caption);
}

void TfrmWizard::StorePreviewSize() {
  if (rdoAutoSizeTrue->Checked()) {
    Preview->SetAutoSize(true);
    return;
  }
  const int width = SpinOr(*spnBackWidth, Preview->Width());
  const int height = SpinOr(*spnBackHeight, Preview->Height());
  Preview->SetAutoSize(false);
  Preview->SetBounds(0, 0, width, height);
}

void TfrmWizard::ReadFont(int Letter) {
  const tFulgoFont& font = *EditedText()->GetLetterFont(
      static_cast<std::int16_t>(std::clamp(Letter, 0, tFulgoText::kFontCount - 1)));
  wizard::FlagScope loading(Loading);
  VisitFontRows([&](const auto& rows) { ShowRows(*this, rows, font); });
}

void TfrmWizard::SetFontToLabel(host::TPersistent* Sender) {
  if (Loading) return;
  const std::vector<tFulgoFont*> fonts = EditedFonts();
  if (fonts.empty()) return;
  bool stored = false;
  VisitFontRows([&](const auto& rows) { stored = stored || StoreFontRow(*this, rows, Sender, fonts); });
  if (!stored) return;
  // Letter fonts send no notice of their own.
  EditedText()->Rebuild();
  SetToLabel();
}

void TfrmWizard::WireBindings() {
  const host::TNotifyEvent changed = [this](host::TPersistent* s) { ControlChanged(s); };
  const host::TNotifyEvent full = [this](host::TPersistent* s) { CallFullSetToLabel(s); };
  VisitModelRows([&](const auto& rows, bool atOnce) { WireRows(*this, rows, atOnce ? full : changed); });
  for (tQorSpin2* spin : {spnBackWidth, spnBackHeight, spnFuzz}) spin->OnLegalChange = changed;
  for (host::TRadioButton* radio : {rdoFadeBackground, rdoFadeThisColor, rdoAutoSizeTrue, rdoAutoSizeFalse})
    radio->OnClick = full;
  const host::TNotifyEvent font = [this](host::TPersistent* s) { SetFontToLabel(s); };
  VisitFontRows([&](const auto& rows) { WireRows(*this, rows, font); });
  grdLetters->OnSelectCell = [this](host::TPersistent*, int col, int, bool&) { ReadFont(col); };
  txtLabelText1->OnChange = [this](host::TPersistent* s) { CaptionChanged(s); };
  txtLabelText2->OnChange = [this](host::TPersistent* s) { CaptionChanged(s); };
}

}  // namespace vantora
