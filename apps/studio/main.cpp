// vantora-studio: a form designer hosting the library's components. Without a display it can write
// screenshots of its windows instead.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Studio.h"
#include "design/Fulgo.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "util/Version.h"

namespace {

struct Options {
  std::string form;
  std::optional<std::string> screenshots;
  std::string select;
  std::string saveAs;
};

// The designed form after a few edits a person makes, each shot as it shows: a band drawn from
// the bottom-right corner and still held, what it took in, and that duplicated.
void ShootEditing(vantora::studio::TStudio& studio, vantora::host::THeadlessBackend& screen,
                  vantora::host::TApplication& app, const std::string& dir) {
  vantora::host::TCustomForm& form = studio.DesignedForm();
  const auto window = form.Handle();
  const int right = form.ClientWidth() - 4, bottom = form.ClientHeight() - 4;
  screen.MouseDown(window, right, bottom);
  screen.MouseMove(window, right - 60, bottom - 60);
  screen.MouseMove(window, form.ClientWidth() * 3 / 5, form.ClientHeight() / 3);
  app.ProcessMessages();
  screen.Screenshot(window, dir + "/rubber-band.png");
  screen.MouseUp(window, form.ClientWidth() * 3 / 5, form.ClientHeight() / 3);
  app.ProcessMessages();
  screen.Screenshot(window, dir + "/multi-select.png");
  studio.Designer().Duplicate();
  app.ProcessMessages();
  screen.Screenshot(window, dir + "/paste.png");
}

void Run(const Options& options) {
  std::unique_ptr<vantora::host::TBackend> backend;
  // Writing a form back needs no window: it is the one a script normalising forms runs.
  if (options.screenshots || !options.saveAs.empty())
    backend = std::make_unique<vantora::host::THeadlessBackend>();
  else
    backend = vantora::host::CreateWindowBackend("--screenshots DIR");
  auto* headless = dynamic_cast<vantora::host::THeadlessBackend*>(backend.get());
  vantora::host::TApplication app(std::move(backend));
  vantora::Register();
  vantora::studio::TStudio studio(app);
  if (!options.form.empty()) studio.OpenForm(options.form);
  if (!options.select.empty()) {
    vantora::host::TComponent* chosen = studio.DesignedForm().FindComponent(options.select);
    if (!chosen) throw std::runtime_error("The form has no component " + options.select);
    studio.Designer().Select(chosen);
  }
  if (!options.saveAs.empty()) {
    studio.SaveForm(options.saveAs);
    return;
  }
  if (!options.screenshots) {
    app.Run();
    return;
  }
  std::filesystem::create_directories(*options.screenshots);
  studio.Window().Show();
  app.ProcessMessages();
  headless->Screenshot(studio.Window().Handle(), *options.screenshots + "/studio.png");
  headless->Screenshot(studio.DesignedForm().Handle(), *options.screenshots + "/designed-form.png");
  ShootEditing(studio, *headless, app, *options.screenshots);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{"Vantora Studio: design forms with the Vantora components"};
  cli.set_version_flag("--version", vantora::VersionString());
  Options options;
  CLI::Option* form = cli.add_option("FORM", options.form, "A form to open (text or binary component stream)")
                          ->check(CLI::ExistingFile);
  cli.add_option("--select", options.select, "Select this component of the form");
  cli.add_option_function<std::string>(
      "--screenshots", [&options](const std::string& dir) { options.screenshots = dir; },
      "Without a display: write PNGs of the studio and the designed form, then of a band drawn, the "
      "components it took in and their duplicates, to this directory and exit");
  cli.add_option("--save-as", options.saveAs,
                 "Without a window: write FORM back in the text form to this file and exit")
      ->needs(form);
  try {
    cli.parse(argc, argv);
    Run(options);
  } catch (const CLI::ParseError& e) {
    return cli.exit(e);
  } catch (const std::exception& e) {
    std::cerr << "vantora-studio: error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
