// A label, a button and a panel made in code on one form. Run it in a window, or headless:
//   ./hello_controls --screenshot hello.png
#include <cstring>
#include <iostream>
#include <memory>

#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "host/backends/HeadlessBackend.h"
#include "host/classes/Errors.h"
#include "host/forms/Application.h"

using namespace vantora;

namespace {

int Run(bool headless, const char* screenshot) {
  std::unique_ptr<host::TBackend> backend;
  if (headless)
    backend = std::make_unique<host::THeadlessBackend>();
  else
    backend = host::CreateWindowBackend("--screenshot OUT.png");
  auto* screen = dynamic_cast<host::THeadlessBackend*>(backend.get());
  host::TApplication app(std::move(backend));

  auto* form = new host::TForm(&app);
  form->SetCaption("Hello, controls");
  form->SetBounds(0, 0, 360, 200);

  // A panel whose face is a look: a silver plate with a frame and a shadow.
  auto* panel = new tFulgoPanel(form);
  panel->SetParent(form);
  panel->SetBounds(16, 16, 328, 80);
  panel->SetCaption("");

  // A label on the panel: its caption is the text its look shows.
  auto* label = new TFulgoLabel(form);
  label->SetParent(panel);
  // It takes the size of its face at its first paint (AutoSize), so only its position is set.
  label->SetLeft(12);
  label->SetTop(12);
  label->SetCaption("Press the button");
  label->Art->FulgoBackground->FulgoColor->SetBrush(0x00E0FF);  // red in the low byte: amber

  // A button: its Down, Disable and MouseOver looks start as the Up look, pressed without shadow.
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->SetBounds(16, 120, 145, 38);
  button->SetCaption("Press me");
  int presses = 0;
  button->OnClick = [&](host::TPersistent*) {
    label->SetCaption("Pressed " + std::to_string(++presses) + " times");
  };

  app.SetMainForm(form);
  if (!headless) {
    app.Run();
    return 0;
  }
  form->Show();
  app.ProcessMessages();
  screen->Screenshot(form->Handle(), screenshot);
  std::cout << "wrote " << screenshot << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool headless = argc == 3 && std::strcmp(argv[1], "--screenshot") == 0;
  if (argc != 1 && !headless) {
    std::cerr << "usage: hello_controls [--screenshot OUT.png]\n";
    return 2;
  }
  try {
    return Run(headless, headless ? argv[2] : nullptr);
  } catch (const host::Exception& e) {
    std::cerr << "hello_controls: " << e.Message() << "\n";
    return 1;
  }
}
