// build-control: a control file made from its text source. gallery: every control file of a folder
// rendered to one PNG each (a button in its four states) and to one contact sheet.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Commands.h"
#include "ControlFaces.h"
#include "ToolErrors.h"

namespace vantora::tool {

namespace {

namespace fs = std::filesystem;

struct GalleryOptions {
  std::string input;
  std::string output;
};

bool IsControlFileName(const fs::path& path) {
  const std::string extension = path.extension().string();
  return extension == ".lbl" || extension == ".btn" || extension == ".pnl";
}

void RunGallery(const GalleryOptions& options) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(options.input))
    if (entry.is_regular_file() && IsControlFileName(entry.path())) files.push_back(entry.path().string());
  if (files.empty()) throw UsageError("no control files (.lbl, .btn, .pnl) in " + options.input);
  std::sort(files.begin(), files.end());
  fs::create_directories(options.output);
  // A broken file is named and skipped; the others are still rendered, and the run fails at the end.
  std::vector<std::string> rendered;
  for (const std::string& file : files) {
    try {
      RenderControlFile(file, (fs::path(options.output) / fs::path(file).stem()).string() + ".png", {});
      rendered.push_back(file);
    } catch (const std::exception& e) {
      ReportError(file + ": " + e.what());
    }
  }
  if (!rendered.empty())
    RenderContactSheet(rendered, (fs::path(options.output) / "gallery-sheet.png").string());
  if (rendered.size() < files.size())
    throw std::runtime_error(std::to_string(files.size() - rendered.size()) + " of " +
                             std::to_string(files.size()) + " control files could not be rendered");
}

}  // namespace

void AddGalleryCommands(CLI::App& app) {
  auto build = std::make_shared<GalleryOptions>();
  CLI::App* buildCommand = app.add_subcommand("build-control", "Make a control file from its text source");
  buildCommand
      ->add_option("SOURCE", build->input, "A label, button or panel as a component stream (text or binary)")
      ->required()
      ->check(CLI::ExistingFile);
  buildCommand->add_option("-o,--output", build->output, "The control file to write (.lbl, .btn, .pnl)")
      ->required();
  buildCommand->callback([build] { BuildControlFile(build->input, build->output); });

  auto gallery = std::make_shared<GalleryOptions>();
  CLI::App* galleryCommand =
      app.add_subcommand("gallery", "Render every control file of a folder, and a contact sheet of them all");
  galleryCommand->add_option("DIR", gallery->input, "Folder of control files")
      ->required()
      ->check(CLI::ExistingDirectory);
  galleryCommand->add_option("-o,--output", gallery->output, "Folder for the PNG files")->required();
  galleryCommand->callback([gallery] { RunGallery(*gallery); });
}

}  // namespace vantora::tool
