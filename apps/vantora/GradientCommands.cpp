// edit-gradient: the gradient editor on the background fill of a look, in a window; OK writes the
// look back in the form it was read in (text or binary). Headless, it writes a screenshot instead.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ToolErrors.h"
#include "design/Grdwiz.h"
#include "host/backends/HeadlessBackend.h"
#include "host/classes/TextForm.h"
#include "host/forms/Application.h"
#include "model/Fullblart.h"

namespace vantora::tool {

namespace {

struct EditGradientOptions {
  std::string input;
  std::optional<std::string> screenshot;
};

void SaveLook(tFulgoLabelArt& art, const std::string& path, bool binary) {
  // A look file carries its caption, though a label's art does not store one by itself.
  art.FulgoText->StoreCaption = true;
  host::TMemoryStream look;
  art.SaveToStream(look);
  look.SetPosition(0);
  host::TMemoryStream text;
  if (!binary) host::ObjectBinaryToText(look, text);
  (binary ? look : text).SaveToFile(path);
}

void RunEditGradient(const EditGradientOptions& options) {
  tFulgoLabelArt art(nullptr);
  bool binary = false;
  {
    host::TFileStream file(options.input, host::TFileMode::fmOpenRead);
    binary = host::IsBinaryComponentStream(file);
    art.LoadFromStream(file);
  }
  tFulgoColor& fill = *art.FulgoBackground->FulgoColor;
  // Any other fill would not store its gradient, and the edit would be lost on saving.
  if (fill.ColorType != fgGradient && fill.ColorType != fgTiledGradient)
    throw UsageError("The background of " + options.input + " is not filled with a gradient");

  std::unique_ptr<host::TBackend> backend;
  if (options.screenshot)
    backend = std::make_unique<host::THeadlessBackend>();
  else
    backend = host::CreateWindowBackend("--screenshot OUT.png");
  auto* headless = dynamic_cast<host::THeadlessBackend*>(backend.get());
  host::TApplication app(std::move(backend));
  auto* editor = new TfrmGrdWiz(&app);
  if (options.screenshot) {
    editor->OnShow = [&](host::TPersistent*) {
      app.ProcessMessages();
      headless->Screenshot(editor->Handle(), *options.screenshot);
      editor->SetModalResult(host::mrCancel);
    };
    editor->EditGradient(fill);
    return;
  }
  if (!editor->EditGradient(fill)) {
    std::cout << "Cancelled: " << options.input << " is unchanged\n";
    return;
  }
  SaveLook(art, options.input, binary);
  std::cout << "Saved the new gradient to " << options.input << "\n";
}

}  // namespace

void AddGradientCommands(CLI::App& app) {
  auto options = std::make_shared<EditGradientOptions>();
  CLI::App* edit = app.add_subcommand(
      "edit-gradient", "Edit the gradient of a look's background in the gradient editor; OK saves the look");
  edit->add_option("LOOK", options->input,
                   "Look (a component stream, binary or text, holding an art) with a gradient background")
      ->required()
      ->check(CLI::ExistingFile);
  edit->add_option_function<std::string>(
      "--screenshot", [options](const std::string& path) { options->screenshot = path; },
      "Open the editor without a display, write it to this PNG file and leave the look as it is");
  edit->callback([options] { RunEditGradient(*options); });
}

}  // namespace vantora::tool
