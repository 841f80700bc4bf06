#include "StudioWindow.h"

#include "StudioWindowForm.inc"
#include "host/forms/Button.h"
#include "host/forms/FormLayout.h"
#include "host/forms/Panel.h"
#include "host/widgets/TabSet.h"

namespace vantora::studio {

const host::TClass& TStudioWindow::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TStudioWindow>("TStudioWindow", host::TForm::StaticClass())
          .Child("btnNew", &TStudioWindow::btnNew)
          .Child("btnOpen", &TStudioWindow::btnOpen)
          .Child("btnSave", &TStudioWindow::btnSave)
          .Child("btnSaveAs", &TStudioWindow::btnSaveAs)
          .Child("btnEdit", &TStudioWindow::btnEdit)
          .Child("btnTest", &TStudioWindow::btnTest)
          .Child("tabPalette", &TStudioWindow::tabPalette)
          .Child("pnlPalette", &TStudioWindow::pnlPalette)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TStudioWindow);

TStudioWindow::TStudioWindow(host::TComponent* owner) : host::TForm(owner) {
  host::ReadFormLayout(*this, kStudioWindowForm);
}

}  // namespace vantora::studio
