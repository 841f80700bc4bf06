// Unit Grdwiz: TfrmGrdWiz, the modal "Gradient Editor" in which the gradient of a colour fill is
// edited: its shape, angle, tile size, curve, discrete mode and its stops with their step counts.
// It works on a private copy shown live in a preview label; only OK copies it back into the fill.
// The layout is the form stream data/forms/gradient-editor.txt, built into the library.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "controls/Fullbl.h"
#include "controls/Qorspin2.h"
#include "effects/Fulcolor.h"
#include "effects/Fulgrd.h"
#include "host/forms/Forms.h"
#include "host/forms/Panel.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/Label.h"
#include "host/widgets/ScrollBar.h"
#include "host/widgets/Shape.h"
#include "host/widgets/SpeedButton.h"

VANTORA_API_BEGIN
namespace vantora {

class TfrmGrdWiz : public host::TForm {
  VANTORA_PERSISTENT(TfrmGrdWiz)

  // The stops the list can show, and the step spins between them.
  static constexpr int kStops = 9;
  static constexpr int kSegments = kStops - 1;

  explicit TfrmGrdWiz(host::TComponent* AOwner);
  ~TfrmGrdWiz() override;

  // Shows the editor modally on Fill's gradient; OK copies the edited gradient into Fill and
  // answers true, Cancel leaves Fill untouched.
  bool EditGradient(tFulgoColor& Fill);

  host::TPanel* pnlGradient = nullptr;
  host::TSpeedButton* btnOk = nullptr;
  host::TSpeedButton* btnCancel = nullptr;
  host::TComboBox* cmbGradientType = nullptr;
  host::TCheckBox* cbxDicret = nullptr;
  tQorSpin2* spnAngle = nullptr;
  tQorSpin2* spnHeight = nullptr;
  tQorSpin2* spnWidth = nullptr;
  tQorSpin2* spnInMode = nullptr;
  host::TPanel* Panel3 = nullptr;
  host::TScrollBar* ScrollBar1 = nullptr;
  host::TSpeedButton* btnDeleteColor = nullptr;
  host::TSpeedButton* btnInsertColor = nullptr;

  std::unique_ptr<tFulgoGradient> WorkGradient;
  TFulgoLabel* Preview = nullptr;  // owned by the form
  bool Updating = false;

  // The stop list by number (1..kStops; step spins 1..kSegments), as their Tags say.
  host::TShape* Swatch(int Number) const;
  host::TSpeedButton* ColorButton(int Number) const;
  host::TLabel* NumberLabel(int Number) const;
  tQorSpin2* StepSpin(int Number) const;

  void FormCreate(host::TPersistent* Sender);
  void FormDestroy(host::TPersistent* Sender);
  void GradientColorClicked(host::TPersistent* Sender);
  void CountStepsChanged(host::TPersistent* Sender);
  void CallSetToGradient(host::TPersistent* Sender);
  void cbxDicretClick(host::TPersistent* Sender);
  void spnWidthChange(host::TPersistent* Sender);
  void spnHeightChange(host::TPersistent* Sender);
  void spnInModeChange(host::TPersistent* Sender);
  void btnInsertColorClick(host::TPersistent* Sender);
  void btnDeleteColorClick(host::TPersistent* Sender);
  void ScrollBar1Change(host::TPersistent* Sender);
  void btnOkClick(host::TPersistent* Sender);
  void btnCancelClick(host::TPersistent* Sender);

  void GetFromGradient();
  void SetToGradient();
  // The number of segments: the leading stops with steps, as many as the list can show.
  int CountColor() const;
  void ScrollTop();
  void MoveUp(int Index);

 private:
  void FindStopList();
  void WireHandlers();
  // Puts stops First..First + 3 and the spins between them in view, the rest out of it.
  void PlaceStopList(int First);
  // Shows or hides swatch, button and label Number together.
  void ShowStop(int Number, bool Visible);
  // The preview takes the working gradient and renders it.
  void UpdatePreview();
  // A spin's value for the model: what it shows, kept within its range; Fallback when it shows no
  // number (the user is still typing).
  static std::int32_t SpinValue(const tQorSpin2& Spin, std::int32_t Fallback);

  std::array<host::TShape*, kStops + 1> swatches_{};
  std::array<host::TSpeedButton*, kStops + 1> colorButtons_{};
  std::array<host::TLabel*, kStops + 1> numberLabels_{};
  std::array<tQorSpin2*, kSegments + 1> stepSpins_{};
};

}  // namespace vantora
VANTORA_API_END
