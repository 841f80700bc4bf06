// The greeter in a window, or headless: ./greeter --screenshot greeter.png
#include <cstring>
#include <iostream>
#include <memory>

#include "greeter.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"

using namespace vantora;

int main(int argc, char** argv) {
  const bool headless = argc == 3 && std::strcmp(argv[1], "--screenshot") == 0;
  if (argc != 1 && !headless) {
    std::cerr << "usage: greeter [--screenshot OUT.png]\n";
    return 2;
  }
  try {
    auto backend = headless ? std::make_unique<host::THeadlessBackend>()
                            : host::CreateWindowBackend("--screenshot OUT.png");
    auto* screen = dynamic_cast<host::THeadlessBackend*>(backend.get());
    host::TApplication app(std::move(backend));
    auto* form = new TGreeterForm(&app);
    app.SetMainForm(form);
    if (!headless) {
      app.Run();
      return 0;
    }
    form->Show();
    app.ProcessMessages();
    screen->Screenshot(form->Handle(), argv[2]);
    return 0;
  } catch (const host::Exception& e) {
    std::cerr << "greeter: " << e.Message() << "\n";
    return 1;
  }
}
