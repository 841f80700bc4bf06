// wizard: the look of a control file edited in the wizard, in a real window, and saved back on Ok;
// or, headless, a screenshot of every page.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolErrors.h"
#include "controls/Fulbtn.h"
#include "controls/Fulfile.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "design/Wizard.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "host/forms/Responder.h"
#include "host/widgets/TabSet.h"

namespace vantora::tool {

namespace {

struct WizardOptions {
  std::string file;
  std::string kind;
  std::string output;
  std::optional<std::string> screenshots;
};

// The file names of the pages' screenshots, in tab order.
constexpr const char* kPageNames[] = {"presets",          "text-fonts", "text-effects", "background-effects",
                                      "background-image", "align-size", "preferences"};

// "Font" gives font-dialog.png.
std::string DialogFileName(const std::string& caption) {
  std::string name;
  for (char c : caption)
    name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : '-';
  return name + "-dialog.png";
}

std::string KindOf(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".lbl") return "label";
  if (ext == ".btn") return "button";
  if (ext == ".pnl") return "panel";
  throw UsageError("Cannot tell the kind of control of \"" + path + "\": use .lbl, .btn or .pnl.");
}

// Opens the wizard on Control; on Ok the control is written to the output file.
template <class Control>
void EditControl(host::TApplication& app, const WizardOptions& options, bool (*edit)(Control&)) {
  auto* control = new Control(&app);
  if (options.kind.empty()) {
    // The file's AutoSize counts, as it does when the file is rendered.
    LoadControlFromFile(*control, options.file, false);
  } else {
    control->CallComponentDefaults();
    control->SetCaption("Vantora");
  }
  if (edit(*control)) control->SaveToFile(options.output);
}

void RunWizard(const WizardOptions& given) {
  WizardOptions options = given;
  if (!options.kind.empty() && options.output.empty()) throw UsageError("--new needs -o FILE.");
  if (options.kind.empty()) {
    if (options.file.empty()) throw UsageError("Name a control file, or use --new KIND -o FILE.");
    if (options.output.empty()) options.output = options.file;
  }
  const std::string kind = options.kind.empty() ? KindOf(options.file) : options.kind;

  std::unique_ptr<host::TBackend> backend;
  if (options.screenshots)
    backend = std::make_unique<host::THeadlessBackend>();
  else
    backend = host::CreateWindowBackend("--screenshots DIR");
  auto* headless = dynamic_cast<host::THeadlessBackend*>(backend.get());
  host::TApplication app(std::move(backend));
  if (options.screenshots) {
    std::filesystem::create_directories(*options.screenshots);
    const std::string dir = *options.screenshots;
    host::DialogResponder().OnShow = [&app, headless, dir](host::TCustomForm& form) {
      auto* wizard = dynamic_cast<TfrmWizard*>(&form);
      app.ProcessMessages();
      if (!wizard) {
        // A dialog the wizard opened: its picture, then it closes with nothing changed.
        headless->Screenshot(form.Handle(), dir + "/" + DialogFileName(form.Caption()));
        form.SetModalResult(host::mrCancel);
        return;
      }
      for (int page = 0; page < static_cast<int>(std::size(kPageNames)); ++page) {
        wizard->ShowPage(page);
        app.ProcessMessages();
        headless->Screenshot(wizard->Handle(), dir + "/wizard-" + kPageNames[page] + ".png");
      }
      // The font and colour dialogs as the letters' buttons open them.
      wizard->ShowPage(1);
      wizard->btnFontClick(wizard);
      wizard->SelectColor(0);
      wizard->btnEditColorClick(wizard);
      wizard->SetModalResult(host::mrCancel);
    };
  }
  if (kind == "label")
    EditControl<TFulgoLabel>(app, options, &EditLabel);
  else if (kind == "button")
    EditControl<TFulgoButton>(app, options, &EditButton);
  else
    EditControl<tFulgoPanel>(app, options, &EditPanel);
  host::DialogResponder().OnShow = nullptr;
}

}  // namespace

void AddWizardCommands(CLI::App& app) {
  auto options = std::make_shared<WizardOptions>();
  CLI::App* wizard = app.add_subcommand(
      "wizard", "Edit the look of a control file (.lbl, .btn, .pnl) in the wizard; Ok saves it back");
  wizard->add_option("FILE", options->file, "The control file to edit")->check(CLI::ExistingFile);
  wizard->add_option("--new", options->kind, "Start from a new control of this kind instead of a file")
      ->check(CLI::IsMember({"label", "button", "panel"}));
  wizard->add_option("-o,--output", options->output, "Where Ok saves the control (default: FILE itself)");
  wizard->add_option_function<std::string>(
      "--screenshots", [options](const std::string& dir) { options->screenshots = dir; },
      "Without a display: write a PNG of every page of the wizard to this directory and cancel");
  wizard->callback([options] { RunWizard(*options); });
}

}  // namespace vantora::tool
