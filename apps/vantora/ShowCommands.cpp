// show: a form stream opened in a window, or rendered headless after its first paint.
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "host/backends/HeadlessBackend.h"
#include "host/dialogs/CommonDialog.h"
#include "host/forms/Application.h"
#include "host/graphics/Screen.h"

namespace vantora::tool {

namespace {

struct ShowOptions {
  std::string input;
  std::optional<std::string> screenshot;
  bool palette256 = false;
};

void RunShow(const ShowOptions& options) {
  if (options.palette256) host::SetDisplayMode(host::DisplayMode::Palette256);
  std::unique_ptr<host::TBackend> backend;
  if (options.screenshot)
    backend = std::make_unique<host::THeadlessBackend>();
  else
    backend = host::CreateWindowBackend("--screenshot OUT.png");
  auto* headless = dynamic_cast<host::THeadlessBackend*>(backend.get());
  host::TApplication app(std::move(backend));
  host::TFileStream file(options.input, host::TFileMode::fmOpenRead);
  host::TCustomForm* form = host::LoadForm(file, &app);
  // A button named after one of the form's dialogs with "Button" added opens it.
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* dialog = dynamic_cast<host::TCommonDialog*>(form->Components(i)))
      if (auto* button = dynamic_cast<host::TControl*>(form->FindComponent(dialog->Name() + "Button")))
        button->OnClick = [dialog](host::TPersistent*) { dialog->Execute(); };
  app.SetMainForm(form);
  if (!options.screenshot) {
    app.Run();
    return;
  }
  form->Show();
  app.ProcessMessages();
  headless->Screenshot(form->Handle(), *options.screenshot);
}

}  // namespace

void AddShowCommands(CLI::App& app) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* show = app.add_subcommand("show", "Open a form stored in a file in a window");
  show->add_option("FORM", options->input, "Form: a component stream (binary or text) whose root is a form")
      ->required()
      ->check(CLI::ExistingFile);
  show->add_option_function<std::string>(
      "--screenshot", [options](const std::string& path) { options->screenshot = path; },
      "Render the form without a display after its first paint, write it to this PNG file and exit");
  show->add_flag("--256-colours", options->palette256,
                 "Show the form on an emulated 256-colour display, where the palettes are seen at work");
  show->callback([options] { RunShow(*options); });
}

}  // namespace vantora::tool
