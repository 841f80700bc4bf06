// picture: a picture file captured to an 8-bit DIB as the library captures pictures (loaded into a
// host bitmap, then taken with GetGlyphData), written out so the capture can be seen.
#include <cstdint>
#include <memory>
#include <string>

#include "Commands.h"
#include "ToolErrors.h"
#include "ToolImages.h"
#include "core/Fuldib.h"
#include "host/graphics/Graphics.h"
#include "palette/PicturePalette.h"

namespace vantora::tool {

namespace {

struct PictureOptions {
  std::string input;
  std::string output;
  int colors = 256;
  int refinePasses = 0;
};

void RunPicture(const PictureOptions& options) {
  // The library's captures are always 8-bit.
  if (options.colors != 256) throw UsageError("--colors must be 256: pictures are captured to 8 bits");
  CheckFacePath(options.output);

  SetPictureRefinePasses(static_cast<std::uint8_t>(options.refinePasses));
  host::TBitmap bitmap;
  bitmap.LoadFromFile(options.input);
  tFulgoDib capture;
  capture.GetGlyphData(bitmap);
  WriteFace(capture, options.output);
}

}  // namespace

void AddPictureCommands(CLI::App& app) {
  auto options = std::make_shared<PictureOptions>();
  CLI::App* picture = app.add_subcommand(
      "picture", "Capture a BMP, PNG or JPEG picture to an 8-bit DIB as the library does and write it out");
  picture->add_option("FILE", options->input, "Picture file")->required()->check(CLI::ExistingFile);
  picture->add_option("-o,--output", options->output, "Output file, .png or .bmp")->required();
  picture->add_option("--colors", options->colors, "Colours of the capture (256)")->capture_default_str();
  picture
      ->add_option("--refine", options->refinePasses,
                   "K-means passes refining the median cut's palette of a picture of many colours (0)")
      ->check(CLI::Range(0, 255))
      ->capture_default_str();
  picture->callback([options] { RunPicture(*options); });
}

}  // namespace vantora::tool
