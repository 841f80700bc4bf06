// A headless application per test with the library's controls on its forms, and what the tests
// read back: screen pixels in 0xRRGGBB and component streams in memory.
#pragma once

#include <string>

#include "controls/Fulgopal.h"
#include "forms/FormsTestSupport.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/forms/Forms.h"

namespace vantora::testing {

class ControlsTest : public host::testing::FormsTest {
 protected:
  ~ControlsTest() override { bAbortPaletteChange = false; }

  // A form read from the text form of a component stream, shown and painted once.
  host::TCustomForm* ShowForm(const std::string& text) {
    host::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    host::TCustomForm* form = host::LoadForm(stream, app);
    form->SetBounds(0, 0, form->Width(), form->Height());
    form->Show();
    app->ProcessMessages();
    return form;
  }
  // The control streamed alone, as the text form shows it.
  static std::string AsText(host::TComponent& component) {
    host::TMemoryStream binary;
    host::WriteComponent(binary, component);
    binary.SetPosition(0);
    host::TMemoryStream text;
    host::ObjectBinaryToText(binary, text);
    return std::string(reinterpret_cast<const char*>(text.Memory()), static_cast<std::size_t>(text.Size()));
  }
  // A colour as the screen holds it.
  static std::uint32_t PixelOf(host::TColor color) {
    const host::COLORREF c = host::ColorToRGB(color);
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
  }
  void MoveTo(const host::TControl& control, int x, int y) {
    const host::POINT p = At(control, x, y);
    input->MouseMove(control.GetWindowHandle(), p.x, p.y);
    app->ProcessMessages();
  }
};

}  // namespace vantora::testing
