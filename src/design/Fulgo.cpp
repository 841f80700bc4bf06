#include "design/Fulgo.h"

#include <memory>

#include "controls/Fulbtn.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"
#include "core/Fuldib.h"
#include "design/Wizard.h"
#include "host/designer/DesignRegistry.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/dialogs/OpenPictureDialog.h"

namespace vantora {

namespace {

// Opens the wizard that fits the control's kind; other components have none.
void EditInWizard(host::TPersistent* control) {
  if (auto* label = dynamic_cast<TFulgoLabel*>(control))
    EditLabel(*label);
  else if (auto* button = dynamic_cast<TFulgoButton*>(control))
    EditButton(*button);
  else if (auto* panel = dynamic_cast<tFulgoPanel*>(control))
    EditPanel(*panel);
}

// The look controls' own rows and verb.
template <class Control>
void RegisterLookControl() {
  const host::TClass& cls = Control::StaticClass();
  host::RegisterComponents("Vantora", {&cls});
  host::RegisterPropertyEditor(host::TPropertyType::OfKind(host::TTypeKind::tkInteger), &cls, "About",
                               &host::MakePropertyEditor<TAboutProperty>);
  host::RegisterPropertyEditor(host::TPropertyType::OfClass(host::TPersistent::StaticClass()), &cls, "Wizard",
                               &host::MakePropertyEditor<TWizProperty>);
}

}  // namespace

host::TPropertyAttributes TWizProperty::GetAttributes() {
  return host::paDialog | host::paReadOnly;
}

std::string TWizProperty::GetName() const {
  return "(Wizard)";
}

std::string TWizProperty::GetValue() {
  return "(Wizard)";
}

void TWizProperty::Edit() {
  host::TPersistent* control = GetObjectValue();
  EditInWizard(control);
  Modified();
  SetObjectValue(control);
}

host::TPropertyAttributes TAboutProperty::GetAttributes() {
  return host::paDialog | host::paReadOnly;
}

std::string TAboutProperty::GetValue() {
  return "Press ";
}

void TAboutProperty::Edit() {
  host::MessageDlg(std::string(kPackageDescription) +
                       "\n\nDecorative labels, buttons and panels that draw their own faces: gradients, "
                       "fuzz, pictures, shapes, 3D edges, frames, shadows and a font per letter, in one "
                       "shared 256-colour palette.",
                   host::mtInformation, {host::mbOK}, "About Vantora");
}

host::TPropertyAttributes TBitmapProperty::GetAttributes() {
  return host::paDialog;
}

std::string TBitmapProperty::GetValue() {
  auto* glyph = dynamic_cast<tFulgoGlyph*>(GetObjectValue());
  if (!glyph || glyph->Empty()) return "<None>";
  return "(" + glyph->ClassName() + ")";
}

void TBitmapProperty::SetValue(const std::string& text) {
  if (!text.empty()) return;
  auto* glyph = dynamic_cast<tFulgoGlyph*>(GetObjectValue());
  if (!glyph || glyph->Empty()) return;
  glyph->FreeDib();
  glyph->Changed();
  SetObjectValue(glyph);
}

void TBitmapProperty::Edit() {
  auto* glyph = dynamic_cast<tFulgoGlyph*>(GetObjectValue());
  auto dialog = std::make_unique<host::TOpenPictureDialog>(nullptr);
  if (glyph && dialog->Execute()) {
    glyph->LoadFromFile(dialog->FileName());
    glyph->Changed();
  }
  dialog.reset();
  SetObjectValue(glyph);
}

int TFulgoComponentEditor::GetVerbCount() {
  return 1;
}

std::string TFulgoComponentEditor::GetVerb(int) {
  return "Wizard";
}

void TFulgoComponentEditor::ExecuteVerb(int index) {
  if (index != 0) return;
  EditInWizard(&Component());
  Designer().Modified();
}

void Register() {
  host::RegisterComponents("Vantora", {&tQorSpin2::StaticClass()});
  host::RegisterComponents("Vantora", {&tFulgoPalette::StaticClass()});
  host::RegisterPropertyEditor(host::TPropertyType::OfClass(tFulgoGlyph::StaticClass()), nullptr, "",
                               &host::MakePropertyEditor<TBitmapProperty>);
  RegisterLookControl<TFulgoLabel>();
  RegisterLookControl<TFulgoButton>();
  RegisterLookControl<tFulgoPanel>();
  for (const host::TClass* cls :
       {&TFulgoLabel::StaticClass(), &TFulgoButton::StaticClass(), &tFulgoPanel::StaticClass()})
    host::RegisterComponentEditor(*cls, &host::MakeComponentEditor<TFulgoComponentEditor>);
}

}  // namespace vantora
