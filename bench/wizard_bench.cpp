// The wizard: from a keystroke in the caption to the repainted preview on a gallery look, and
// opening the wizard on a button with four state arts.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "design/Wizard.h"
#include "effects/Fulcolor.h"
#include "effects/Fullyrs.h"
#include "host/backends/HeadlessBackend.h"
#include "host/classes/IniFile.h"
#include "host/forms/Application.h"
#include "host/forms/Responder.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/CustomEdit.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

namespace vantora {
namespace {

std::string GalleryFile(const char* name) {
  return host::VantoraDataDir() + "/gallery/" + name;
}

void BM_WizardKeystrokeToRepaintedPreview(benchmark::State& state) {
  auto backend = std::make_unique<host::THeadlessBackend>();
  host::THeadlessBackend* input = backend.get();
  host::TApplication app(std::move(backend));
  auto* form = new host::TForm(&app);
  auto* label = new TFulgoLabel(form);
  label->SetParent(form);
  label->LoadFromFile(GalleryFile("gold-badge.lbl"));
  form->Show();
  app.ProcessMessages();
  host::DialogResponder().OnShow = [&](host::TCustomForm& shown) {
    auto* wizard = dynamic_cast<TfrmWizard*>(&shown);
    if (!wizard) return;
    // Each render beeps, so the rounds can be checked to have rendered.
    wizard->chkBeep->SetChecked(true);
    wizard->ShowPage(1);
    wizard->txtLabelText1->SetFocus();
    input->PressKey(host::VK_END);
    app.ProcessMessages();
    bool add = true;
    for (auto _ : state) {
      // One letter added, then taken away again, so every round edits the same look.
      if (add)
        input->Type("s");
      else
        input->PressKey(host::VK_BACK);
      add = !add;
      app.ProcessMessages();
      // The update delay passes on the virtual clock: what is measured is the work, not the wait.
      input->Advance(1000);
      app.ProcessMessages();
    }
    state.counters["renders per round"] =
        benchmark::Counter(static_cast<double>(input->Beeps()), benchmark::Counter::kAvgIterations);
    wizard->SetModalResult(host::mrCancel);
  };
  EditLabel(*label);
  host::DialogResponder().OnShow = nullptr;
}
BENCHMARK(BM_WizardKeystrokeToRepaintedPreview)->Unit(benchmark::kMillisecond);

void BM_OpenWizardOnAButtonWithFourStates(benchmark::State& state) {
  host::TApplication app(std::make_unique<host::THeadlessBackend>());
  auto* form = new host::TForm(&app);
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->LoadFromFile(GalleryFile("aqua-pill.btn"));
  // Every state a look of its own.
  button->DownArt->SetInnerOffsetX(3);
  button->DownArt->SetInnerOffsetY(3);
  button->ChildStateChanged(kStateDown);
  button->DisableArt->FulgoBackground->FulgoColor->SetColorType(fgBrush);
  button->DisableArt->FulgoBackground->FulgoColor->SetBrush(0xC0C0C0);
  button->ChildStateChanged(kStateDisable);
  button->MouseOverArt->FulgoText->LayerFrame->SetActive(true);
  button->ChildStateChanged(kStateMouseOver);
  form->Show();
  app.ProcessMessages();
  // Open, shown and painted once, then closed.
  host::DialogResponder().OnShow = [&](host::TCustomForm& shown) {
    if (auto* wizard = dynamic_cast<TfrmWizard*>(&shown)) {
      app.ProcessMessages();
      wizard->SetModalResult(host::mrCancel);
    }
  };
  for (auto _ : state) EditButton(*button);
  host::DialogResponder().OnShow = nullptr;
}
BENCHMARK(BM_OpenWizardOnAButtonWithFourStates)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantora
