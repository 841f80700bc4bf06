// render: a look (a component stream whose root holds an art) rendered to an 8-bit PNG or BMP, or a
// control file rendered as the control draws itself.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Commands.h"
#include "ControlFaces.h"
#include "ToolErrors.h"
#include "ToolImages.h"
#include "core/RgbaImage.h"
#include "model/Fullblart.h"

namespace vantora::tool {

namespace {

struct RenderOptions {
  std::string input;
  std::string output;
  int scale = 1;
  bool alpha = false;
  std::optional<std::string> caption;
  ControlFaceOptions control;
};

constexpr int kFaceGap = 8;

// The control's faces with alpha: one state, or a button's four side by side.
void RenderRgbaControl(const RenderOptions& options) {
  std::vector<TRgbaImage> faces;
  for (TStateFace& face : RgbaControlFaces(options.input))
    if (!options.control.state || face.State == *options.control.state)
      faces.push_back(std::move(face.Image));
  if (faces.empty())
    throw UsageError("the control in " + options.input + " has no state \"" + *options.control.state + "\"");
  WriteRgbaFace(ScaleRgba(SideBySide(faces, kFaceGap), options.scale), options.output);
}

void RenderControl(const RenderOptions& options) {
  if (options.caption) throw UsageError("--caption is for looks");
  if (options.alpha) {
    if (options.control.transparentOver) throw UsageError("--transparent-over draws no alpha");
    RenderRgbaControl(options);
    return;
  }
  if (options.scale != 1) throw UsageError("--scale is for looks and --alpha faces");
  RenderControlFile(options.input, options.output, options.control);
}

void RunRender(const RenderOptions& options) {
  if (IsControlFile(options.input)) {
    RenderControl(options);
    return;
  }
  if (options.control.state || options.control.transparentOver)
    throw UsageError("--state and --transparent-over are for control files");
  CheckFacePath(options.output);
  const std::unique_ptr<tFulgoLabelArt> art = RenderLook(options.input, options.caption);
  if (options.alpha) {
    WriteRgbaFace(ScaleRgba(RgbaOfDib(*art->Dib), options.scale), options.output);
    return;
  }

  // The face as a control draws it opaquely: its transparent pixels in the art's Transparent colour,
  // which the PNG's transparency chunk makes clear for readers that take it.
  const int width = art->Dib->GetWidth() * options.scale;
  const int height = art->Dib->GetHeight() * options.scale;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw UsageError("--scale makes the picture too large");
  tFulgoDib face;
  face.AdoptBlock(art->Dib->ResizeDibOwned(static_cast<TWidth>(width), static_cast<THeight>(height)));
  const auto transparent = static_cast<std::uint32_t>(RGBToTColor(art->Transparent));
  const auto tableOrder =
      ((transparent & 0xFF) << 16) | (transparent & 0xFF00) | ((transparent >> 16) & 0xFF);
  face.SetColor(kTransparentIndex, static_cast<TColor>(tableOrder));
  WriteFace(face, options.output, true);
}

}  // namespace

void AddRenderCommands(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* render =
      app.add_subcommand("render", "Render the look stored in a file to an 8-bit PNG or BMP, or an RGBA PNG");
  render
      ->add_option(
          "FILE", options->input,
          "Look (a component stream, binary or text, holding an art) or control file (.lbl, .btn, .pnl)")
      ->required()
      ->check(CLI::ExistingFile);
  render->add_option("-o,--output", options->output, "Output file, .png or .bmp")->required();
  render->add_option("--scale", options->scale, "Enlarge the picture N times for viewing")
      ->check(CLI::Range(1, 16));
  render->add_flag("--alpha", options->alpha,
                   "Write an RGBA PNG whose transparent areas are clear (a button: its four states side by "
                   "side, or the one --state names)");
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
