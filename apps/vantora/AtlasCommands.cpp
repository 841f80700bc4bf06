// atlas: the faces of control files (every state of a button) and looks packed onto sprite sheets
// (RGBA PNG) with their frame data, as JSON in the "hash" form sprite tools write, or as CSS classes.
// One sheet is written under the given name; when the frames need several, the sheets are NAME-0.png,
// NAME-1.png..., each with its own JSON file named alike, and the CSS file lists the frames of all.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "ControlFaces.h"
#include "ToolErrors.h"
#include "ToolImages.h"
#include "core/RectPacker.h"
#include "core/RgbaImage.h"
#include "host/classes/AtomicFile.h"
#include "util/Version.h"

namespace vantora::tool {

namespace {

namespace fs = std::filesystem;

struct AtlasOptions {
  std::vector<std::string> inputs;
  std::string output;
  std::string data;
  std::string dataFormat = "json";
  bool powerOfTwo = false;
  int padding = 2;
  int extrude = 0;
  int maxSize = 2048;
  int scale = 1;
};

struct Frame {
  std::string key;  // name/state
  TRgbaImage image;
  TPackPlace place;
};

struct Sheet {
  std::string image;  // the PNG's path
  TRgbaImage pixels;
};

// Every face of every input, keyed by the file's name without its extension and the state.
std::vector<Frame> CollectFrames(const AtlasOptions& options) {
  std::vector<Frame> frames;
  std::set<std::string> names;
  for (const std::string& input : options.inputs) {
    const std::string name = fs::path(input).stem().string();
    if (!names.insert(name).second)
      throw UsageError("two inputs are named " + name + ": frame names would clash");
    std::vector<TStateFace> faces;
    if (IsControlFile(input))
      faces = RgbaControlFaces(input);
    else
      faces.push_back({std::string(kPlainFaceName), RgbaOfDib(*RenderLook(input, std::nullopt)->Dib)});
    for (TStateFace& face : faces)
      frames.push_back({name + "/" + face.State, ScaleRgba(face.Image, options.scale), {}});
  }
  return frames;
}

// A file beside Path named with "-N" before its extension.
std::string Numbered(const std::string& path, std::size_t number) {
  const fs::path p(path);
  return (p.parent_path() / (p.stem().string() + "-" + std::to_string(number) + p.extension().string()))
      .string();
}

std::vector<Sheet> PackFrames(std::vector<Frame>& frames, const AtlasOptions& options) {
  std::vector<TPackSize> sizes;
  const int border = 2 * options.extrude;
  for (const Frame& frame : frames) {
    const TPackSize size{frame.image.Width() + border, frame.image.Height() + border};
    if (size.Width > options.maxSize || size.Height > options.maxSize)
      throw UsageError(frame.key + " (" + std::to_string(size.Width) + " x " + std::to_string(size.Height) +
                       " with its extrusion) does not fit a sheet of at most " +
                       std::to_string(options.maxSize) + " x " + std::to_string(options.maxSize));
    sizes.push_back(size);
  }
  const TPacking packing = PackRectangles(sizes, {options.maxSize, options.powerOfTwo, options.padding});
  std::vector<Sheet> sheets;
  for (std::size_t i = 0; i < packing.Sheets.size(); ++i)
    sheets.push_back({packing.Sheets.size() == 1 ? options.output : Numbered(options.output, i),
                      TRgbaImage(packing.Sheets[i].Width, packing.Sheets[i].Height)});
  for (std::size_t i = 0; i < frames.size(); ++i) {
    Frame& frame = frames[i];
    frame.place = packing.Places[i];
    frame.place.X += options.extrude;
    frame.place.Y += options.extrude;
    PutRgba(sheets[static_cast<std::size_t>(frame.place.Sheet)].pixels, frame.image, frame.place.X,
            frame.place.Y, options.extrude);
  }
  return sheets;
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// Where the data file finds the sheet: relative to the data file's folder.
std::string ImageReference(const std::string& image, const std::string& data) {
  const fs::path dataFolder = fs::absolute(data).parent_path().lexically_normal();
  return fs::absolute(image).lexically_normal().lexically_relative(dataFolder).generic_string();
}

std::string JsonData(const std::vector<Frame>& frames, int sheetNumber, const Sheet& sheet,
                     const std::string& dataPath, int scale) {
  std::ostringstream out;
  out << "{\"frames\": {";
  const char* separator = "\n";
  for (const Frame& f : frames) {
    if (f.place.Sheet != sheetNumber) continue;
    const int w = f.image.Width(), h = f.image.Height();
    out << separator << "  " << JsonString(f.key) << ": {\n"
        << "    \"frame\": {\"x\": " << f.place.X << ", \"y\": " << f.place.Y << ", \"w\": " << w
        << ", \"h\": " << h << "},\n"
        << "    \"rotated\": false,\n    \"trimmed\": false,\n"
        << "    \"spriteSourceSize\": {\"x\": 0, \"y\": 0, \"w\": " << w << ", \"h\": " << h << "},\n"
        << "    \"sourceSize\": {\"w\": " << w << ", \"h\": " << h << "}\n  }";
    separator = ",\n";
  }
  out << "\n},\n\"meta\": {\n"
      << "  \"app\": \"vantora\",\n  \"version\": " << JsonString(VersionString()) << ",\n"
      << "  \"image\": " << JsonString(ImageReference(sheet.image, dataPath)) << ",\n"
      << "  \"format\": \"RGBA8888\",\n"
      << "  \"size\": {\"w\": " << sheet.pixels.Width() << ", \"h\": " << sheet.pixels.Height() << "},\n"
      << "  \"scale\": \"" << scale << "\"\n}\n}\n";
  return out.str();
}

// A class name of the frame's key: letters, digits, '-' and '_' kept, anything else '_'.
std::string CssClass(const std::string& key) {
  std::string name;
  for (const char c : key)
    name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name.insert(0, "_");
  return name;
}

std::string CssString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CssData(const std::vector<Frame>& frames, const std::vector<Sheet>& sheets,
                    const std::string& dataPath) {
  std::ostringstream out;
  out << "/* Sprite classes written by vantora atlas: give an element the class of a frame. */\n";
  for (const Frame& f : frames) {
    const Sheet& sheet = sheets[static_cast<std::size_t>(f.place.Sheet)];
    out << "." << CssClass(f.key) << " { display: inline-block; width: " << f.image.Width()
        << "px; height: " << f.image.Height() << "px; background: url("
        << CssString(ImageReference(sheet.image, dataPath)) << ") " << -f.place.X << "px " << -f.place.Y
        << "px no-repeat; }\n";
  }
  return out.str();
}

void WriteText(const std::string& path, const std::string& text) {
  host::WriteFileAtomically(path, text.data(), text.size());
}

void CheckOptions(const AtlasOptions& options) {
  if (fs::path(options.output).extension() != ".png")
    throw UsageError("the sheet is a .png file: " + options.output);
  if (options.data == options.output) throw UsageError("the data file and the sheet are the same file");
}

void RunAtlas(AtlasOptions options) {
  CheckOptions(options);
  if (options.data.empty())
    options.data = fs::path(options.output).replace_extension("." + options.dataFormat).string();
  std::vector<Frame> frames = CollectFrames(options);
  const std::vector<Sheet> sheets = PackFrames(frames, options);
  for (const fs::path& folder :
       {fs::path(options.output).parent_path(), fs::path(options.data).parent_path()})
    if (!folder.empty()) fs::create_directories(folder);

  std::int64_t used = 0, total = 0;
  for (const Frame& f : frames) used += std::int64_t{f.image.Width()} * f.image.Height();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const Sheet& sheet = sheets[i];
    WriteRgbaFace(sheet.pixels, sheet.image);
    total += std::int64_t{sheet.pixels.Width()} * sheet.pixels.Height();
    if (options.dataFormat == "json") {
      const std::string data = sheets.size() == 1 ? options.data : Numbered(options.data, i);
      WriteText(data, JsonData(frames, static_cast<int>(i), sheet, data, options.scale));
    }
    std::cout << sheet.image << ": " << sheet.pixels.Width() << " x " << sheet.pixels.Height() << "\n";
  }
  if (options.dataFormat == "css") WriteText(options.data, CssData(frames, sheets, options.data));
  std::cout << frames.size() << " frames on " << sheets.size() << (sheets.size() == 1 ? " sheet" : " sheets")
            << ", " << (100 * used / total) << "% of the sheet area filled\n";
}

}  // namespace

void AddAtlasCommands(CLI::App& app) {
  auto options = std::make_shared<AtlasOptions>();
  CLI::App* atlas = app.add_subcommand(
      "atlas", "Pack the faces of control files (every state of a button) and looks onto sprite sheets");
  atlas->add_option("INPUTS", options->inputs, "Control files (.lbl, .btn, .pnl) and looks")
      ->required()
      ->check(CLI::ExistingFile);
  atlas
      ->add_option("-o,--output", options->output,
                   "The sheet, a .png file (NAME-0.png, NAME-1.png... for several)")
      ->required();
  atlas->add_option("--data", options->data,
                    "The frame data file (default: the sheet's name, .json or .css)");
  atlas->add_option("--data-format", options->dataFormat, "json (the hash form of sprite tools) or css")
      ->check(CLI::IsMember({"json", "css"}));
  atlas->add_flag("--pot", options->powerOfTwo, "Sheets of power-of-two sides");
  atlas->add_option("--padding", options->padding, "Clear pixels between two frames (default 2)")
      ->check(CLI::Range(0, 256));
  atlas->add_option("--extrude", options->extrude, "Repeat each frame's edge pixels N times outwards")
      ->check(CLI::Range(0, 64));
  atlas
      ->add_option("--max-size", options->maxSize,
                   "Largest sheet side; more sheets when the frames need them")
      ->check(CLI::Range(16, 16384));
  atlas->add_option("--scale", options->scale, "Enlarge every face N times, pixels doubled as they are")
      ->check(CLI::Range(1, 16));
  atlas->callback([options] { RunAtlas(*options); });
}

}  // namespace vantora::tool
