// Registers the dialog components by name for form streams; programs ask the linker for this
// unit's symbol, as for the widgets.
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/FontDialog.h"
#include "host/dialogs/OpenPictureDialog.h"

extern "C" {
[[maybe_unused]] int vantora_dialog_classes_unit = 0;
}

namespace vantora::host {
namespace {

[[maybe_unused]] const bool kRegistered = [] {
  for (const TClass* cls :
       {&TOpenDialog::StaticClass(), &TSaveDialog::StaticClass(), &TOpenPictureDialog::StaticClass(),
        &TColorDialog::StaticClass(), &TFontDialog::StaticClass()})
    RegisterClass(*cls);
  return true;
}();

}  // namespace
}  // namespace vantora::host
