// Registers the dialog components by name for form streams.
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/FontDialog.h"
#include "host/dialogs/OpenPictureDialog.h"

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
