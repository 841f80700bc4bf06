// The wizard's entry points: building, showing and freeing its one form, and editing a label, a
// button or a panel through a working copy that is copied back only when the user accepts.
#include <functional>
#include <string>

#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "design/Wizard.h"
#include "design/WizardSupport.h"
#include "host/classes/Filer.h"
#include "host/forms/Application.h"
#include "host/forms/Panel.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/SpeedButton.h"
#include "model/Fultext.h"

namespace vantora {

using namespace wizard;

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
bool OpenWizard(tFulgoControl& Control, teEditing Mode, tFulgoControl& Work) {
  TfrmWizard& form = *frmWiz;
  host::TScreen* screen = host::Application ? &host::Application->Screen() : nullptr;
  if (screen) screen->SetCursor(host::TCursor::HourGlass);
  form.EditMode = Mode;
  host::TControl& control = Control.HostControl();
  host::TControl& work = Work.HostControl();
  {
    NoRebuilds quiet(Work);
    AssignControl(control, &work);
    // The working copy must not join, and so change, the control's palette component.
    Work.SetFulgoPalette(nullptr);
    Work.SetUpdatePalette(false);
    work.SetBounds(1, 1, work.Width(), work.Height());
    work.SetVisible(false);
  }
  if (Mode == edButton) {
    form.WorkButton->SetMinArt(false);
    form.WorkButton->UpChanged();
  }
  form.ButtonState = kStateUp;
  form.Preview->SetFulgoArt(WorkArt(form));
  form.Preview->SetAutoSize(Control.GetAutoSize());
  form.Preview->SetBounds(0, 0, control.Width(), control.Height());
  form.Preview->SetFulgoPalette(form.WizardPalette);
  form.PresetControl().SetFulgoPalette(form.WizardPalette);
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
void CommitWizard(tFulgoControl& Control, tFulgoControl& Work, const std::string& Caption,
                  const std::function<void()>& Restore) {
  TfrmWizard& form = *frmWiz;
  host::TControl& control = Control.HostControl();
  const bool visible = control.Visible();
  const int left = control.Left(), top = control.Top(), width = control.Width(), height = control.Height();
  tFulgoPalette* const palette = Control.GetFulgoPalette();
  const bool updatePalette = Control.GetUpdatePalette();
  const bool allowRebuild = Control.GetAllowRebuild();
  const bool autoSize = form.Preview->GetAutoSize();
  host::TMemoryStream before;
  host::WriteComponent(before, control);
  try {
    Control.SetAllowRebuild(false);
    AssignControl(Work.HostControl(), &control);
    control.SetCaption(Caption);
    control.SetVisible(visible);
    Control.SetAutoSize(autoSize);
    if (Restore) Restore();
    control.SetBounds(left, top, form.Preview->Width(), form.Preview->Height());
    Control.SetUpdatePalette(true);
    Control.SetFulgoPalette(palette);
    Control.SetAllowRebuild(true);
    Control.Rebuild();
    Control.SetUpdatePalette(updatePalette);
    Control.SetAllowRebuild(allowRebuild);
  } catch (...) {
    Control.SetAllowRebuild(false);
    before.SetPosition(0);
    LoadControlFromStream(control, before, false);
    Control.SetFulgoPalette(palette);
    Control.SetUpdatePalette(updatePalette);
    control.SetBounds(left, top, width, height);
    control.SetVisible(visible);
    Control.SetAllowRebuild(allowRebuild);
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
