// Feeds bytes as a control file to a label, a button and a panel on a shown form: load, render,
// paint. A file that fails must leave the control as it was; anything but a clean load or a
// framework exception is a finding.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"

namespace {

using namespace vantora;

// Faces larger than this are left unrendered: the model renders any size a file asks for.
constexpr long kMaxPixels = 1L << 20;

struct Screen {
  Screen() : app(std::make_unique<host::THeadlessBackend>()), form(new host::TForm(&app)) {
    form->SetBounds(0, 0, 400, 300);
    form->Show();
  }
  host::TApplication app;
  host::TForm* form;
};

template <class T>
void Try(Screen& screen, const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<T> control(new T(screen.form));
  control->SetParent(screen.form);
  const auto brush = control->Art->FulgoBackground->FulgoColor->Brush;
  host::TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  try {
    LoadControlFromStream(*control, stream, false);
  } catch (const host::Exception&) {
    if (control->Art->FulgoBackground->FulgoColor->Brush != brush) __builtin_trap();
    return;
  }
  if (static_cast<long>(control->Width()) * control->Height() > kMaxPixels) return;
  try {
    control->FulgoInt().LoadIfCreated();
    if (static_cast<long>(control->Width()) * control->Height() > kMaxPixels) return;
    control->Invalidate();
    screen.app.ProcessMessages();
  } catch (const host::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Screen screen;
  Try<TFulgoLabel>(screen, data, size);
  Try<TFulgoButton>(screen, data, size);
  Try<tFulgoPanel>(screen, data, size);
  return 0;
}
