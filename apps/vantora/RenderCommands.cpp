// render: a look (a component stream whose root holds an art) rendered to an 8-bit PNG or BMP, or a
// control file rendered as the control draws itself.
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "ControlFaces.h"
#include "ToolErrors.h"
#include "ToolImages.h"
#include "model/Fullblart.h"
#include "model/Fultext.h"

namespace vantora::tool {

namespace {

struct RenderOptions {
  std::string input;
  std::string output;
  int scale = 1;
  std::optional<std::string> caption;
  ControlFaceOptions control;
};

void RunRender(const RenderOptions& options) {
  if (IsControlFile(options.input)) {
    if (options.scale != 1 || options.caption) throw UsageError("--scale and --caption are for looks");
    RenderControlFile(options.input, options.output, options.control);
    return;
  }
  if (options.control.state || options.control.transparentOver)
    throw UsageError("--state and --transparent-over are for control files");
  CheckFacePath(options.output);

  tFulgoLabelArt art(nullptr);
  host::TFileStream file(options.input, host::TFileMode::fmOpenRead);
  art.LoadFromStream(file);
  if (options.caption) art.FulgoText->SetCaption(*options.caption);
  art.Render();

  // The face as a control draws it opaquely: its transparent pixels in the art's Transparent colour.
  const int width = art.Dib->GetWidth() * options.scale;
  const int height = art.Dib->GetHeight() * options.scale;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw UsageError("--scale makes the picture too large");
  tFulgoDib face;
  face.AdoptBlock(art.Dib->ResizeDibOwned(static_cast<TWidth>(width), static_cast<THeight>(height)));
  const auto transparent = static_cast<std::uint32_t>(RGBToTColor(art.Transparent));
  const auto tableOrder =
      ((transparent & 0xFF) << 16) | (transparent & 0xFF00) | ((transparent >> 16) & 0xFF);
  face.SetColor(kTransparentIndex, static_cast<TColor>(tableOrder));
  WriteFace(face, options.output);
}

}  // namespace

void AddRenderCommands(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand("render", "Render the look stored in a file to an 8-bit PNG or BMP");
  render
      ->add_option(
          "FILE", options->input,
          "Look (a component stream, binary or text, holding an art) or control file (.lbl, .btn, .pnl)")
      ->required()
      ->check(CLI::ExistingFile);
  render->add_option("-o,--output", options->output, "Output file, .png or .bmp")->required();
  render->add_option("--scale", options->scale, "Enlarge the picture N times for viewing")
      ->check(CLI::Range(1, 16));
  render->add_option_function<std::string>(
      "--caption", [options](const std::string& text) { options->caption = text; },
      "Text to show instead of the look's own caption");
  render->add_option_function<std::string>(
      "--state", [options](const std::string& state) { options->control.state = state; },
      "A button in one state only: up, down, disabled or hover (default: all four side by side)");
  render->add_option_function<std::string>(
      "--transparent-over", [options](const std::string& path) { options->control.transparentOver = path; },
      "Draw the control transparently over this picture (BMP, PNG or JPEG)");
  render->callback([options] { RunRender(*options); });
}

}  // namespace vantora::tool
