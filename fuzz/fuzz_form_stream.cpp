// Feeds bytes as a form stream holding the library's controls: load, show, paint, free. Anything
// but a clean result or a framework exception is a finding, and a failed load leaves no form.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "controls/Fulclass.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  static host::TApplication app(std::make_unique<host::THeadlessBackend>());
  RegisterFulgoClasses();
  host::TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  const int before = app.ComponentCount();
  host::TCustomForm* form = nullptr;
  try {
    form = host::LoadForm(stream, &app);
  } catch (const host::Exception&) {
    if (app.ComponentCount() != before) __builtin_trap();
    return 0;
  }
  // Forms larger than the screen are not painted: the model renders any size a stream asks for.
  if (static_cast<long>(form->Width()) * form->Height() <= 1L << 20) {
    try {
      form->Show();
      app.ProcessMessages();
    } catch (const host::Exception&) {
    }
  }
  delete form;
  return 0;
}
