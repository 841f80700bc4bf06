#include "design/Grdwiz.h"

#include <algorithm>
#include <string>

#include "design/GrdwizForm.inc"
#include "host/classes/Convert.h"
#include "host/classes/Platform.h"
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/forms/FormLayout.h"

namespace vantora {

namespace {

// Where the four stops in view sit in the list, and the three spins between them.
constexpr std::array<int, 4> kSwatchTops{10, 57, 104, 151};
constexpr std::array<int, 4> kLabelTops{12, 59, 106, 153};
constexpr std::array<int, 3> kSpinTops{32, 79, 125};
constexpr int kOutOfView = 1000;
constexpr int kInsertedSteps = 20;
// What a first stop without steps gets on the first change made in the editor.
constexpr std::int16_t kFirstStopSteps = 50;
// Combo items 0, 1, 2 are these gradient types.
constexpr std::array<std::int16_t, 3> kTypes{kGradLinear, kGradRectangular, kGradCircular};

// Sets a flag for a scope and clears it however the scope is left.
class UpdatingScope {
 public:
  explicit UpdatingScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~UpdatingScope() { flag_ = false; }
  UpdatingScope(const UpdatingScope&) = delete;
  UpdatingScope& operator=(const UpdatingScope&) = delete;

 private:
  bool& flag_;
};

// The editor's colours hold red in the low byte, the stops in colour-table order.
host::TColor StopColor(const tVortex& stop) {
  return static_cast<host::TColor>(stop.Red | (stop.Green << 8) | (stop.Blue << 16));
}

void SetStopColor(tVortex& stop, host::TColor color) {
  const host::COLORREF rgb = host::ColorToRGB(color);
  stop.Red = static_cast<std::uint8_t>(rgb & 0xFF);
  stop.Green = static_cast<std::uint8_t>((rgb >> 8) & 0xFF);
  stop.Blue = static_cast<std::uint8_t>((rgb >> 16) & 0xFF);
}

}  // namespace

const host::TClass& TfrmGrdWiz::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<TfrmGrdWiz>("TfrmGrdWiz", host::TForm::StaticClass())
                                       .Child("pnlGradient", &TfrmGrdWiz::pnlGradient)
                                       .Child("btnOk", &TfrmGrdWiz::btnOk)
                                       .Child("btnCancel", &TfrmGrdWiz::btnCancel)
                                       .Child("cmbGradientType", &TfrmGrdWiz::cmbGradientType)
                                       .Child("cbxDicret", &TfrmGrdWiz::cbxDicret)
                                       .Child("spnAngle", &TfrmGrdWiz::spnAngle)
                                       .Child("spnHeight", &TfrmGrdWiz::spnHeight)
                                       .Child("spnWidth", &TfrmGrdWiz::spnWidth)
                                       .Child("spnInMode", &TfrmGrdWiz::spnInMode)
                                       .Child("Panel3", &TfrmGrdWiz::Panel3)
                                       .Child("ScrollBar1", &TfrmGrdWiz::ScrollBar1)
                                       .Child("btnDeleteColor", &TfrmGrdWiz::btnDeleteColor)
                                       .Child("btnInsertColor", &TfrmGrdWiz::btnInsertColor)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TfrmGrdWiz);

TfrmGrdWiz::TfrmGrdWiz(host::TComponent* AOwner) : host::TForm(AOwner) {
  OnCreate = [this](host::TPersistent* sender) { FormCreate(sender); };
  host::ReadFormLayout(*this, kGrdwizForm);
}

TfrmGrdWiz::~TfrmGrdWiz() {
  // Hidden while its handlers can still run: the focus leaving a spin may correct it and notify.
  Hide();
  FormDestroy(this);
}

void TfrmGrdWiz::FindStopList() {
  // The stop list is found by class and Tag, whatever the controls are called.
  for (int i = 0; i < Panel3->ControlCount(); ++i) {
    host::TControl* control = Panel3->Controls(i);
    const int tag = control->Tag();
    if (tag < 1 || tag > kStops) continue;
    if (auto* shape = dynamic_cast<host::TShape*>(control))
      swatches_[static_cast<std::size_t>(tag)] = shape;
    else if (auto* button = dynamic_cast<host::TSpeedButton*>(control))
      colorButtons_[static_cast<std::size_t>(tag)] = button;
    else if (auto* label = dynamic_cast<host::TLabel*>(control))
      numberLabels_[static_cast<std::size_t>(tag)] = label;
    else if (auto* spin = dynamic_cast<tQorSpin2*>(control); spin && tag <= kSegments)
      stepSpins_[static_cast<std::size_t>(tag)] = spin;
  }
  for (int i = 1; i <= kStops; ++i)
    if (!Swatch(i) || !ColorButton(i) || !NumberLabel(i) || (i <= kSegments && !StepSpin(i)))
      throw host::EComponentError("The gradient editor's form lacks a control of stop " + std::to_string(i));
}

host::TShape* TfrmGrdWiz::Swatch(int Number) const {
  return Number >= 1 && Number <= kStops ? swatches_[static_cast<std::size_t>(Number)] : nullptr;
}

host::TSpeedButton* TfrmGrdWiz::ColorButton(int Number) const {
  return Number >= 1 && Number <= kStops ? colorButtons_[static_cast<std::size_t>(Number)] : nullptr;
}

host::TLabel* TfrmGrdWiz::NumberLabel(int Number) const {
  return Number >= 1 && Number <= kStops ? numberLabels_[static_cast<std::size_t>(Number)] : nullptr;
}

tQorSpin2* TfrmGrdWiz::StepSpin(int Number) const {
  return Number >= 1 && Number <= kSegments ? stepSpins_[static_cast<std::size_t>(Number)] : nullptr;
}

void TfrmGrdWiz::WireHandlers() {
  using host::TPersistent;
  for (int i = 1; i <= kStops; ++i)
    ColorButton(i)->OnClick = [this](TPersistent* sender) { GradientColorClicked(sender); };
  // The model follows what the spins show only when it is a number in their range; a value typed
  // outside it is corrected (and applied) when the spin is left.
  for (int i = 1; i <= kSegments; ++i)
    StepSpin(i)->OnLegalChange = [this](TPersistent* sender) { CountStepsChanged(sender); };
  cmbGradientType->OnChange = [this](TPersistent* sender) { CallSetToGradient(sender); };
  spnAngle->OnLegalChange = [this](TPersistent* sender) { CallSetToGradient(sender); };
  cbxDicret->OnClick = [this](TPersistent* sender) { cbxDicretClick(sender); };
  spnWidth->OnLegalChange = [this](TPersistent* sender) { spnWidthChange(sender); };
  spnHeight->OnLegalChange = [this](TPersistent* sender) { spnHeightChange(sender); };
  spnInMode->OnLegalChange = [this](TPersistent* sender) { spnInModeChange(sender); };
  btnInsertColor->OnClick = [this](TPersistent* sender) { btnInsertColorClick(sender); };
  btnDeleteColor->OnClick = [this](TPersistent* sender) { btnDeleteColorClick(sender); };
  ScrollBar1->OnChange = [this](TPersistent* sender) { ScrollBar1Change(sender); };
  btnOk->OnClick = [this](TPersistent* sender) { btnOkClick(sender); };
  btnCancel->OnClick = [this](TPersistent* sender) { btnCancelClick(sender); };
}

void TfrmGrdWiz::FormCreate(host::TPersistent*) {
  FindStopList();
  WorkGradient = std::make_unique<tFulgoGradient>(nullptr);
  WorkGradient->Init();
  WorkGradient->Vortex[1].Steps = 0;
  Swatch(1)->Brush()->SetColor(StopColor(WorkGradient->Vortex[0]));
  Swatch(2)->Brush()->SetColor(StopColor(WorkGradient->Vortex[1]));
  Preview = new TFulgoLabel(this);
  Preview->SetParent(pnlGradient);
  Preview->SetBounds(1, 1, pnlGradient->Width() - 2, pnlGradient->Height() - 2);
  Preview->SetAutoSize(false);
  Preview->Art->FulgoBackground->FulgoColor->SetColorType(fgGradient);
  WireHandlers();
}

void TfrmGrdWiz::FormDestroy(host::TPersistent*) {
  WorkGradient.reset();
}

bool TfrmGrdWiz::EditGradient(tFulgoColor& Fill) {
  // The tile size matters only for tiled gradients.
  const bool tiled = Fill.ColorType == fgTiledGradient;
  spnWidth->SetEnabled(tiled);
  spnHeight->SetEnabled(tiled);
  WorkGradient->Assign(Fill.Gradient.get());
  tFulgoColor& previewFill = *Preview->Art->FulgoBackground->FulgoColor;
  previewFill.Gradient->Assign(Fill.Gradient.get());
  previewFill.Assign(&Fill);
  GetFromGradient();
  if (ShowModal() != host::mrOk) return false;
  Fill.Gradient->Assign(WorkGradient.get());
  // The gradient's copy rebuilds nothing by itself; whoever shows the fill is told here.
  Fill.Rebuild();
  return true;
}

int TfrmGrdWiz::CountColor() const {
  int n = 0;
  while (n < kSegments && WorkGradient->Vortex[static_cast<std::size_t>(n)].Steps > 0) ++n;
  return n;
}

void TfrmGrdWiz::ShowStop(int Number, bool Visible) {
  if (Number < 1 || Number > kStops) return;
  Swatch(Number)->SetVisible(Visible);
  ColorButton(Number)->SetVisible(Visible);
  NumberLabel(Number)->SetVisible(Visible);
}

void TfrmGrdWiz::GetFromGradient() {
  UpdatingScope updating(Updating);
  tFulgoGradient& g = *WorkGradient;
  const auto type = std::find(kTypes.begin(), kTypes.end(), g.GradType);
  cmbGradientType->SetItemIndex(type == kTypes.end() ? -1 : static_cast<int>(type - kTypes.begin()));
  spnAngle->SetEnabled(g.GradType == kGradLinear);
  spnAngle->SetText(std::to_string(g.Angle));
  spnHeight->SetText(std::to_string(g.GradHeight));
  spnWidth->SetText(std::to_string(g.GradWidth));
  cbxDicret->SetChecked(g.Discr);
  spnInMode->SetText(std::to_string(g.InMode));

  ScrollTop();
  const int n = CountColor();
  btnDeleteColor->SetEnabled(n >= 3);
  btnInsertColor->SetEnabled(n <= 6);
  ScrollBar1->SetEnabled(n > 2);

  const int shown = g.Discr ? n : n + 1;
  for (int i = 1; i <= kSegments; ++i) {
    StepSpin(i)->SetText(std::to_string(g.Vortex[static_cast<std::size_t>(i - 1)].Steps));
    StepSpin(i)->SetVisible(i <= n);
  }
  for (int i = 1; i <= kStops; ++i) {
    Swatch(i)->Brush()->SetColor(StopColor(g.Vortex[static_cast<std::size_t>(i - 1)]));
    ShowStop(i, i <= shown);
  }
  UpdatePreview();
}

std::int32_t TfrmGrdWiz::SpinValue(const tQorSpin2& Spin, std::int32_t Fallback) {
  std::int32_t value = 0;
  if (!host::TryStrToInt(Spin.Text(), value)) return Fallback;
  if (Spin.MinValue == 0 && Spin.MaxValue == 0) return value;
  return std::clamp(value, Spin.MinValue, Spin.MaxValue);
}

void TfrmGrdWiz::SetToGradient() {
  if (Updating) return;
  tFulgoGradient& g = *WorkGradient;
  const int item = cmbGradientType->ItemIndex();
  spnAngle->SetEnabled(item == 0);
  if (item >= 0 && item < static_cast<int>(kTypes.size()))
    g.GradType = kTypes[static_cast<std::size_t>(item)];
  // Any angle is a direction; a whole turn less keeps it in the field.
  g.Angle = static_cast<std::int16_t>(SpinValue(*spnAngle, g.Angle) % 360);
  g.GradHeight = static_cast<std::int16_t>(SpinValue(*spnHeight, g.GradHeight));
  g.GradWidth = static_cast<std::int16_t>(SpinValue(*spnWidth, g.GradWidth));
  g.InMode = static_cast<std::int16_t>(SpinValue(*spnInMode, g.InMode));
  // A hidden spin belongs to no segment: it must not revive the stops past the last one.
  for (int i = 1; i <= kSegments; ++i) {
    const tQorSpin2& spin = *StepSpin(i);
    tVortex& stop = g.Vortex[static_cast<std::size_t>(i - 1)];
    if (!spin.Visible()) continue;
    const std::int32_t steps = SpinValue(spin, stop.Steps);
    if (steps != 0) stop.Steps = static_cast<std::int16_t>(steps);
  }
  if (g.Vortex[0].Steps <= 0) g.Vortex[0].Steps = kFirstStopSteps;
  for (int i = 1; i <= kStops; ++i)
    SetStopColor(g.Vortex[static_cast<std::size_t>(i - 1)], Swatch(i)->Brush()->Color());
  UpdatePreview();
}

void TfrmGrdWiz::UpdatePreview() {
  Preview->Art->FulgoBackground->FulgoColor->Gradient->Assign(WorkGradient.get());
  Preview->Rebuild();
}

void TfrmGrdWiz::CountStepsChanged(host::TPersistent*) {
  SetToGradient();
}

void TfrmGrdWiz::CallSetToGradient(host::TPersistent*) {
  SetToGradient();
}

void TfrmGrdWiz::GradientColorClicked(host::TPersistent* Sender) {
  auto* button = dynamic_cast<host::TComponent*>(Sender);
  host::TShape* swatch = button ? Swatch(button->Tag()) : nullptr;
  if (!swatch) return;
  host::TColorDialog dialog(nullptr);
  dialog.SetOptions({host::cdFullOpen});
  dialog.SetColor(swatch->Brush()->Color());
  if (dialog.Execute()) swatch->Brush()->SetColor(host::ColorToRGB(dialog.Color()));
  SetToGradient();
}

void TfrmGrdWiz::cbxDicretClick(host::TPersistent*) {
  if (Updating) return;
  WorkGradient->Discr = cbxDicret->Checked();
  // In discrete mode the last stop's colour is not used.
  ShowStop(CountColor() + 1, !WorkGradient->Discr);
  SetToGradient();
}

void TfrmGrdWiz::spnWidthChange(host::TPersistent*) {
  if (Updating) return;
  WorkGradient->GradWidth = static_cast<std::int16_t>(SpinValue(*spnWidth, WorkGradient->GradWidth));
  UpdatePreview();
}

void TfrmGrdWiz::spnHeightChange(host::TPersistent*) {
  if (Updating) return;
  WorkGradient->GradHeight = static_cast<std::int16_t>(SpinValue(*spnHeight, WorkGradient->GradHeight));
  UpdatePreview();
}

void TfrmGrdWiz::spnInModeChange(host::TPersistent*) {
  if (Updating) return;
  WorkGradient->InMode = static_cast<std::int16_t>(SpinValue(*spnInMode, WorkGradient->InMode));
  UpdatePreview();
}

void TfrmGrdWiz::btnInsertColorClick(host::TPersistent*) {
  const int n = CountColor();
  if (n >= kSegments) {
    host::MessageBeep(0);
    return;
  }
  {
    UpdatingScope updating(Updating);
    // This insert still happens: at most eight segments, nine stops.
    if (n > 6) btnInsertColor->SetEnabled(false);
    if (n > 2) {
      ScrollBar1->SetMax(n - 2);
      ScrollBar1->SetEnabled(true);
    }
    btnDeleteColor->SetEnabled(true);
    WorkGradient->Vortex[static_cast<std::size_t>(n)].Steps = kInsertedSteps;
    WorkGradient->Vortex[static_cast<std::size_t>(n + 1)].Steps = 0;
    StepSpin(n + 1)->SetText(std::to_string(kInsertedSteps));
    StepSpin(n + 1)->SetVisible(true);
    ShowStop(WorkGradient->Discr ? n + 1 : n + 2, true);
  }
  SetToGradient();
}

void TfrmGrdWiz::btnDeleteColorClick(host::TPersistent*) {
  const int n = CountColor();
  // Two stops are the fewest a gradient can be drawn from.
  if (n < 2) {
    host::MessageBeep(0);
    return;
  }
  std::string answer = std::to_string(n + 1);
  std::int32_t number = 0;
  // What is no number is asked for again, until a number comes or the box is cancelled.
  for (;;) {
    if (!host::InputQuery("Delete Color", "Select the number to delete", answer)) return;
    if (host::TryStrToInt(answer, number)) break;
    host::MessageBeep(0);
  }
  number = std::clamp(number, 1, n + 1);
  {
    UpdatingScope updating(Updating);
    btnInsertColor->SetEnabled(true);
    if (n < 5) {
      ScrollBar1->SetEnabled(false);
      ScrollTop();
    }
    if (ScrollBar1->Enabled()) ScrollBar1->SetMax(ScrollBar1->Max() - 1);
    if (n < 3) btnDeleteColor->SetEnabled(false);
    MoveUp(number);
    WorkGradient->Vortex[static_cast<std::size_t>(n - 1)].Steps = 0;
    StepSpin(n)->SetVisible(false);
    StepSpin(n)->SetText("0");
    ShowStop(WorkGradient->Discr ? n : n + 1, false);
  }
  SetToGradient();
}

void TfrmGrdWiz::MoveUp(int Index) {
  for (int t = std::max(Index, 1); t < kSegments; ++t) StepSpin(t)->SetText(StepSpin(t + 1)->Text());
  for (int t = std::max(Index, 1); t < kStops; ++t)
    Swatch(t)->Brush()->SetColor(Swatch(t + 1)->Brush()->Color());
}

void TfrmGrdWiz::PlaceStopList(int First) {
  for (int i = 1; i <= kStops; ++i) {
    const int slot = i - First;
    const bool inView = slot >= 0 && slot < static_cast<int>(kSwatchTops.size());
    const int top = inView ? kSwatchTops[static_cast<std::size_t>(slot)] : kOutOfView;
    Swatch(i)->SetTop(top);
    ColorButton(i)->SetTop(top);
    NumberLabel(i)->SetTop(inView ? kLabelTops[static_cast<std::size_t>(slot)] : kOutOfView);
    if (i > kSegments) continue;
    const bool spinInView = slot >= 0 && slot < static_cast<int>(kSpinTops.size());
    StepSpin(i)->SetTop(spinInView ? kSpinTops[static_cast<std::size_t>(slot)] : kOutOfView);
  }
}

void TfrmGrdWiz::ScrollTop() {
  PlaceStopList(1);
  ScrollBar1->SetParams(0, 0, std::max(CountColor() - 3, 0));
}

void TfrmGrdWiz::ScrollBar1Change(host::TPersistent*) {
  PlaceStopList(ScrollBar1->Position() + 1);
}

void TfrmGrdWiz::btnOkClick(host::TPersistent*) {
  SetModalResult(host::mrOk);
}

void TfrmGrdWiz::btnCancelClick(host::TPersistent*) {
  SetModalResult(host::mrCancel);
}

}  // namespace vantora
