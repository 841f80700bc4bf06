#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/classes/IniFile.h"
#include "host/graphics/PictureFile.h"
#include "support/FullDisk.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"
#include "util/Version.h"

namespace {

using ToolRun = vantora::test::ShellRun;
using vantora::test::Shell;

std::string ToolCommand(const std::string& arguments) {
  return std::string(VANTORA_TOOL) + " " + arguments;
}

ToolRun Tool(const std::string& arguments) {
  return Shell(ToolCommand(arguments));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Tool, ConvertsBetweenTheFormsAndBack) {
  vantora::test::TempDir dir;
  const std::string sample = std::string(VANTORA_SOURCE_DIR) + "/data/samples/button-states.txt";
  const std::string binary = dir.Path().string() + "/sample.vnt";
  ASSERT_EQ(Tool("convert " + sample + " -o " + binary).status, 0);
  EXPECT_EQ(ReadFile(binary).substr(0, 4), "VNT0");
  const ToolRun dump = Tool("dump " + binary);
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.output, ReadFile(sample));
}

TEST(Tool, BadInputFailsWithTheReadersMessage) {
  vantora::test::TempDir dir;
  const std::string bad = dir.Path().string() + "/bad.txt";
  std::ofstream(bad) << "object A: TThing\n  Width = \n";
  const ToolRun run = Tool("dump " + bad);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "vantora: error: Expected a value on line 3\n");

  const std::string truncated = dir.Path().string() + "/short.vnt";
  std::ofstream(truncated, std::ios::binary) << std::string("VNT0\x07TThing", 11);
  const ToolRun shortRun = Tool("dump " + truncated);
  EXPECT_EQ(shortRun.status, 1);
  EXPECT_NE(shortRun.output.find("Unexpected end of stream"), std::string::npos) << shortRun.output;

  EXPECT_EQ(Tool("convert " + bad + " --to binary").status, 2);  // binary output needs -o
  EXPECT_NE(Tool("convert").status, 0);
}

using Colours = std::vector<std::array<std::uint8_t, 3>>;

// A true-colour picture of 3 x 2 pixels (red, green, blue each), written as a BMP file.
std::string TrueColourBmp(const vantora::test::TempDir& dir, const Colours& pixels) {
  vantora::host::DibImage picture(3, 2, 32);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    std::uint8_t* p = picture.Row(static_cast<int>(i / 3)) + 4 * (i % 3);
    p[0] = pixels[i][2];
    p[1] = pixels[i][1];
    p[2] = pixels[i][0];
  }
  const std::string path = dir.Name("photo.bmp");
  vantora::host::WriteBmpFile(path, picture.Info(), picture.Bits());
  return path;
}

// The colours of an 8-bit picture file, top row first.
Colours ColoursOf(const std::string& path) {
  const vantora::host::DibImage read = vantora::host::ReadPictureFile(path);
  EXPECT_EQ(read.BitCount(), 8);
  Colours colours;
  for (int y = 0; y < read.Height(); ++y)
    for (int x = 0; x < read.Width(); ++x) {
      const vantora::host::RGBQUAD& c = read.Colors()[read.Row(y)[x]];
      colours.push_back({c.rgbRed, c.rgbGreen, c.rgbBlue});
    }
  return colours;
}

TEST(Tool, PictureCapturesToAnEightBitDibAndWritesItAsBmpOrPng) {
  vantora::test::TempDir dir;
  // A true-colour picture of a few colours keeps them exactly, those far from any fixed colour cube
  // included: the tool brings the library's picture palette along.
  const Colours pixels = {{255, 0, 0},     {17, 99, 203}, {250, 3, 131},
                          {255, 255, 255}, {0, 0, 0},     {120, 121, 37}};
  const std::string input = TrueColourBmp(dir, pixels);
  const std::string bmp = dir.Name("capture.bmp"), png = dir.Name("capture.PNG");
  ASSERT_EQ(Tool("picture " + input + " -o " + bmp).status, 0);
  const std::string block = ReadFile(bmp);
  ASSERT_EQ(block.size(), 1078u + 4 * 2);  // the DIB block itself: rows at 1078
  EXPECT_EQ(block.substr(0, 2), "BM");
  EXPECT_EQ(block.substr(10, 4), std::string("\x36\x04\0\0", 4));
  EXPECT_EQ(ColoursOf(bmp), pixels);
  ASSERT_EQ(Tool("picture " + input + " -o " + png + " --colors 256").status, 0);
  EXPECT_EQ(ColoursOf(png), pixels);

  // An indexed picture keeps its own colours.
  vantora::host::DibImage indexed(2, 1, 8);
  indexed.SetColorCount(2);
  indexed.Colors()[0] = {7, 77, 177, 0};
  indexed.Colors()[1] = {201, 13, 99, 0};
  indexed.Row(0)[1] = 1;
  const std::string indexedFile = dir.Name("indexed.bmp");
  vantora::host::WriteBmpFile(indexedFile, indexed.Info(), indexed.Bits());
  ASSERT_EQ(Tool("picture " + indexedFile + " -o " + bmp).status, 0);
  EXPECT_EQ(ColoursOf(bmp), (Colours{{177, 77, 7}, {99, 13, 201}}));
}

TEST(Tool, PictureRefineLowersTheErrorOfAManyColouredCapture) {
  vantora::test::TempDir dir;
  // 6,000 distinct colours scattered over the cube: an odd multiplier is a bijection.
  vantora::host::DibImage picture(200, 30, 32);
  Colours pixels;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) {
      const std::uint32_t colour =
          (static_cast<std::uint32_t>(y * 200 + x) * 0x9E3779u + 0x123457u) & 0xFFFFFFu;
      std::uint8_t* p = picture.Row(y) + 4 * x;
      p[0] = static_cast<std::uint8_t>(colour), p[1] = static_cast<std::uint8_t>(colour >> 8);
      p[2] = static_cast<std::uint8_t>(colour >> 16);
      pixels.push_back({p[2], p[1], p[0]});
    }
  const std::string input = dir.Name("many.bmp");
  vantora::host::WriteBmpFile(input, picture.Info(), picture.Bits());
  const auto error = [&](const std::string& path) {
    const Colours captured = ColoursOf(path);
    long long sum = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
      for (std::size_t c = 0; c < 3; ++c) {
        const int d = pixels[i][c] - captured[i][c];
        sum += d * d;
      }
    return sum;
  };
  const std::string plain = dir.Name("plain.png"), refined = dir.Name("refined.png");
  ASSERT_EQ(Tool("picture " + input + " -o " + plain).status, 0);
  ASSERT_EQ(Tool("picture " + input + " -o " + refined + " --refine 8").status, 0);
  EXPECT_LT(error(refined), error(plain) * 9 / 10);
  EXPECT_NE(Tool("picture " + input + " -o " + plain + " --refine 256").status, 0);
}

TEST(Tool, PictureRefusesOtherColourCountsOutputsAndFiles) {
  vantora::test::TempDir dir;
  const std::string input = TrueColourBmp(dir, {});
  const ToolRun colors = Tool("picture " + input + " -o " + dir.Name("out.png") + " --colors 16");
  EXPECT_EQ(colors.status, 2);
  EXPECT_NE(colors.output.find("--colors must be 256"), std::string::npos) << colors.output;
  EXPECT_EQ(Tool("picture " + input + " -o " + dir.Name("out.gif")).status, 2);
  EXPECT_NE(Tool("picture " + input).status, 0);

  const std::string notes = dir.File("notes.bmp", "hello");
  const ToolRun bad = Tool("picture " + notes + " -o " + dir.Name("out.png"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.output, "vantora: error: Unknown picture file format (" + notes + ")\n");
  EXPECT_FALSE(std::ifstream(dir.Name("out.png")).good());
}

}  // namespace

namespace {

TEST(Tool, EffectsSheetPaintsEveryGroup) {
  vantora::test::TempDir dir;
  const ToolRun run = Tool("effects-sheet -o " + dir.Path().string());
  ASSERT_EQ(run.status, 0) << run.output;
  for (const char* name : {"fills-6.png", "gradients-12.png", "layers-5.png", "shapes-28.png",
                           "fills-sheet.png", "gradients-sheet.png", "layers-sheet.png", "shapes-sheet.png"})
    EXPECT_EQ(ReadFile(dir.Path().string() + "/" + name).substr(1, 3), "PNG") << name;
}

TEST(Tool, FileSystemFailuresEndWithAMessage) {
  vantora::test::TempDir dir;
  // A folder that cannot be made, since a plain file stands in its path.
  const std::string file = dir.File("plain", "not a folder");
  const ToolRun sheet = Tool("effects-sheet -o " + file + "/sheets");
  EXPECT_EQ(sheet.status, 1);
  EXPECT_EQ(sheet.output.rfind("vantora: error: ", 0), 0u) << sheet.output;
  EXPECT_NE(sheet.output.find(file + "/sheets"), std::string::npos) << sheet.output;

  const std::string look = std::string(VANTORA_SOURCE_DIR) + "/data/looks/01-sunset-gradient.txt";
  for (const char* face : {"/missing/face.png", "/missing/face.bmp"}) {
    const ToolRun render = Tool("render " + look + " -o " + dir.Path().string() + face);
    EXPECT_EQ(render.status, 1) << face;
    EXPECT_EQ(render.output.rfind("vantora: error: ", 0), 0u) << render.output;
  }
}

}  // namespace

namespace {

TEST(Tool, RendersALookWithItsOwnOrAGivenCaption) {
  vantora::test::TempDir dir;
  const std::string look = std::string(VANTORA_SOURCE_DIR) + "/data/looks/01-sunset-gradient.txt";
  const std::string png = dir.Path().string() + "/face.png";
  const std::string bmp = dir.Path().string() + "/face.bmp";
  ASSERT_EQ(Tool("render " + look + " -o " + png).status, 0);
  EXPECT_EQ(ReadFile(png).substr(1, 3), "PNG");
  ASSERT_EQ(Tool("render " + look + " -o " + bmp + " --caption Hi").status, 0);
  const std::string shortFace = ReadFile(bmp);
  ASSERT_EQ(Tool("render " + look + " -o " + bmp).status, 0);
  const std::string longFace = ReadFile(bmp);
  // A BMP is the face's block: two letters make a narrower face than the look's own caption.
  ASSERT_GT(shortFace.size(), 26u);
  EXPECT_EQ(shortFace.substr(0, 2), "BM");
  const auto width = [](const std::string& b) {
    return static_cast<unsigned char>(b[18]) | (static_cast<unsigned char>(b[19]) << 8);
  };
  EXPECT_LT(width(shortFace), width(longFace));
  EXPECT_EQ(Tool("render " + look + " -o " + dir.Path().string() + "/face.gif").status, 2);
  const std::string broken = dir.Path().string() + "/broken.txt";
  std::ofstream(broken) << "object Look: tSaveTmp\n  Art.FulgoText.Colour = 1\nend\n";
  const ToolRun run = Tool("render " + broken + " -o " + png);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Unknown property Colour"), std::string::npos) << run.output;
}

TEST(Tool, ShapesComeFromTheGivenFileBeforeTheSettingsFile) {
  vantora::test::TempDir dir;
  const std::string look = std::string(VANTORA_SOURCE_DIR) + "/data/looks/07-ribbon-shape.txt";
  const std::string face = dir.Name("face.bmp");
  const auto render = [&](const std::string& options) {
    EXPECT_EQ(Tool(options + " render " + look + " -o " + face).status, 0) << options;
    return ReadFile(face);
  };
  const std::string shaped = render("");
  EXPECT_NE(render("--shapes " + dir.File("empty.shp", "")), shaped);
  // Before the verb or after it.
  const std::string shipped = vantora::host::VantoraDataDir() + "/shapes.shp";
  EXPECT_EQ(render("--shapes " + shipped), shaped);
  EXPECT_EQ(Tool("render " + look + " --shapes " + shipped + " -o " + face).status, 0);
  EXPECT_EQ(ReadFile(face), shaped);
  const ToolRun missing = Tool("render " + look + " -o " + face + " --shapes " + dir.Name("missing.shp"));
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.output.find("missing.shp"), std::string::npos) << missing.output;
}

TEST(Tool, VersionIsTheLibrarys) {
  const ToolRun run = Tool("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, std::string(vantora::VersionString()) + "\n");
}

TEST(Tool, EditGradientShowsTheEditorAndSavesOnlyOnOk) {
  vantora::test::TempDir dir;
  const std::string source = std::string(VANTORA_SOURCE_DIR) + "/data/looks/12-gold-badge.txt";
  const std::string look = dir.Path().string() + "/gold.txt";
  std::ofstream(look) << ReadFile(source);
  const std::string png = dir.Path().string() + "/editor.png";
  ASSERT_EQ(Tool("edit-gradient " + look + " --screenshot " + png).status, 0);
  const std::string shot = ReadFile(png);
  ASSERT_GT(shot.size(), 24u);
  const auto big = [&](std::size_t at) {
    return static_cast<unsigned char>(shot[at]) << 24 | static_cast<unsigned char>(shot[at + 1]) << 16 |
           static_cast<unsigned char>(shot[at + 2]) << 8 | static_cast<unsigned char>(shot[at + 3]);
  };
  EXPECT_EQ(big(16), 473u) << "the editor's client area";
  EXPECT_EQ(big(20), 333u);
  // Headless with no one to press OK nothing can happen: it says so and fails, and the look stays.
  setenv("VANTORA_BACKEND", "headless", 1);
  const ToolRun unanswered = Tool("edit-gradient " + look);
  EXPECT_EQ(unanswered.status, 1) << unanswered.output;
  EXPECT_NE(unanswered.output.find("\"Gradient Editor\" waits for input that cannot come"), std::string::npos)
      << unanswered.output;
  EXPECT_EQ(ReadFile(look), ReadFile(source));

  const ToolRun refused =
      Tool("edit-gradient " + std::string(VANTORA_SOURCE_DIR) + "/data/looks/02-neon-fuzz.txt");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.output.find("not filled with a gradient"), std::string::npos) << refused.output;
}

}  // namespace

namespace {

TEST(Tool, BuildsControlFilesAndRendersButtonsInTheirStates) {
  vantora::test::TempDir dir;
  const std::string source = std::string(VANTORA_SOURCE_DIR) + "/data/gallery/cherry.btn.txt";
  const std::string button = dir.Path().string() + "/cherry.btn";
  ASSERT_EQ(Tool("build-control " + source + " -o " + button).status, 0);
  const std::string all = dir.Path().string() + "/all.png";
  const std::string hover = dir.Path().string() + "/hover.png";
  ASSERT_EQ(Tool("render " + button + " -o " + all).status, 0);
  ASSERT_EQ(Tool("render " + button + " -o " + hover + " --state hover").status, 0);
  const vantora::host::DibImage four = vantora::host::ReadPictureFile(all);
  const vantora::host::DibImage one = vantora::host::ReadPictureFile(hover);
  // Four faces side by side, each as wide as the one alone, with the same margins.
  EXPECT_EQ(four.Width() - 8, 4 * (one.Width() - 8));
  EXPECT_EQ(four.Height(), one.Height());
  EXPECT_EQ(Tool("render " + button + " -o " + hover + " --state sideways").status, 2);
  EXPECT_EQ(Tool("render " + button + " -o " + dir.Path().string() + "/face.bmp").status, 2);

  const std::string over = dir.Path().string() + "/over.png";
  const std::string picture = std::string(VANTORA_SOURCE_DIR) + "/data/looks/01-sunset-gradient.txt";
  EXPECT_EQ(Tool("render " + button + " -o " + over + " --transparent-over " + all).status, 0);
  EXPECT_EQ(Tool("render " + picture + " -o " + over + " --state up").status, 2)
      << "states are for control files";

  ASSERT_EQ(Tool("gallery " + dir.Path().string() + " -o " + dir.Path().string() + "/out").status, 0);
  EXPECT_EQ(ReadFile(dir.Path().string() + "/out/cherry.png").substr(1, 3), "PNG");
  EXPECT_EQ(ReadFile(dir.Path().string() + "/out/gallery-sheet.png").substr(1, 3), "PNG");
}

}  // namespace

namespace {

TEST(Tool, WizardShowsEveryPageAndSavesOnlyOnOk) {
  vantora::test::TempDir dir;
  const std::string shots = dir.Path().string() + "/shots";
  const std::string created = dir.Path().string() + "/my.lbl";
  const ToolRun run = Tool("wizard --new label -o " + created + " --screenshots " + shots);
  ASSERT_EQ(run.status, 0) << run.output;
  for (const char* page : {"presets", "text-fonts", "text-effects", "background-effects", "background-image",
                           "align-size", "preferences"}) {
    const vantora::host::DibImage shot = vantora::host::ReadPictureFile(shots + "/wizard-" + page + ".png");
    EXPECT_EQ(shot.Width(), 772) << page;
    EXPECT_EQ(shot.Height(), 468) << page;
  }
  for (const char* dialog : {"font-dialog", "color-dialog"})
    EXPECT_TRUE(std::filesystem::exists(shots + "/" + dialog + ".png")) << dialog;
  EXPECT_FALSE(std::filesystem::exists(created)) << "the screenshots end with Cancel";

  // Headless with no one to press Ok: it fails, saying why, and the file is left as it was.
  setenv("VANTORA_BACKEND", "headless", 1);
  const std::string label = dir.Path().string() + "/face.lbl";
  ASSERT_EQ(Tool("build-control " + std::string(VANTORA_SOURCE_DIR) + "/data/gallery/gold-badge.lbl.txt -o " +
                 label)
                .status,
            0);
  const std::string before = ReadFile(label);
  const ToolRun unanswered = Tool("wizard " + label);
  EXPECT_EQ(unanswered.status, 1);
  EXPECT_NE(unanswered.output.find("\"Vantora Wizard\" waits for input that cannot come"), std::string::npos)
      << unanswered.output;
  EXPECT_EQ(ReadFile(label), before);

  EXPECT_EQ(Tool("wizard " + std::string(VANTORA_SOURCE_DIR) + "/data/looks/12-gold-badge.txt").status, 2)
      << "not a control file by its extension";
  EXPECT_EQ(Tool("wizard --new label").status, 2) << "--new needs -o";
  EXPECT_NE(Tool("wizard --new circle -o " + created).status, 0) << "no such kind";
}

}  // namespace

namespace {

const std::string kSample = std::string(VANTORA_SOURCE_DIR) + "/data/samples/button-states.txt";
const std::string kButtonSource = std::string(VANTORA_SOURCE_DIR) + "/data/gallery/cherry.btn.txt";
const std::string kLook = std::string(VANTORA_SOURCE_DIR) + "/data/looks/01-sunset-gradient.txt";

TEST(Tool, AFailedSaveLeavesTheOldFileWholeAndFails) {
  vantora::test::TempDir dir;
  vantora::test::FullDisk disk(dir.Path() / "disk");
  const std::string stream = disk.Name("sample.vnt"), button = disk.Name("cherry.btn");
  ASSERT_EQ(Tool("convert " + kSample + " -o " + stream).status, 0);
  ASSERT_EQ(Tool("build-control " + kButtonSource + " -o " + button).status, 0);
  const std::string oldStream = ReadFile(stream), oldButton = ReadFile(button);
  disk.Fill();

  // The text form is longer than the binary one, so it cannot fit where the old file was.
  const ToolRun convert = Shell(disk.Command(ToolCommand("convert " + stream + " --to text -o " + stream)));
  EXPECT_EQ(convert.status, 1);
  EXPECT_NE(convert.output.find("Cannot write file \"" + stream + "\""), std::string::npos) << convert.output;
  EXPECT_EQ(Shell(disk.Command(ToolCommand("build-control " + kSample + " -o " + button))).status, 1);
  EXPECT_EQ(Shell(disk.Command(ToolCommand("render " + kLook + " -o " + disk.Name("face.png")))).status, 1);
  EXPECT_EQ(ReadFile(stream), oldStream);
  EXPECT_EQ(ReadFile(button), oldButton);
  EXPECT_FALSE(std::filesystem::exists(disk.Name("face.png")));

  // A device that takes no bytes: every writer says so.
  const std::string full = dir.Name("full.png");
  std::filesystem::create_symlink("/dev/full", full);
  EXPECT_EQ(Tool("convert " + kSample + " -o " + full).status, 1);
  EXPECT_EQ(Tool("build-control " + kButtonSource + " -o " + full).status, 1);
  EXPECT_EQ(Tool("render " + kLook + " -o " + full).status, 1);
  EXPECT_EQ(Tool("dump " + kSample + " >/dev/full").status, 1);
}

TEST(Tool, StreamsAreCheckedWholeWhateverTheyAreConvertedTo) {
  vantora::test::TempDir dir;
  const std::string good = dir.Name("good.vnt");
  ASSERT_EQ(Tool("convert " + kSample + " -o " + good).status, 0);
  const std::string bytes = ReadFile(good);

  const std::string trailing = dir.File("trailing.vnt", bytes + "extra");
  const std::string cut = dir.File("cut.vnt", bytes.substr(0, bytes.size() / 2));
  for (const std::string& broken : {trailing, cut}) {
    for (const char* to : {"text", "binary"}) {
      const ToolRun run = Tool("convert " + broken + " --to " + to + " -o " + dir.Name("out"));
      EXPECT_EQ(run.status, 1) << broken << " to " << to << ": " << run.output;
      EXPECT_FALSE(std::filesystem::exists(dir.Name("out")));
    }
  }
  EXPECT_NE(Tool("dump " + trailing).output.find("Unexpected data after the end of the component"),
            std::string::npos);
  EXPECT_EQ(Tool("build-control " + trailing + " -o " + dir.Name("x.btn")).status, 1);
}

TEST(Tool, ContentOfTheWrongKindIsBadInputNamedInTheMessage) {
  vantora::test::TempDir dir;
  const std::string form = std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt";
  const ToolRun build = Tool("build-control " + form + " -o " + dir.Name("x.btn"));
  EXPECT_EQ(build.status, 1);
  EXPECT_EQ(build.output,
            "vantora: error: " + form + " holds a TForm, not a label, button or panel of the library\n");

  // A name carrying a terminal's escape sequence is shown, not obeyed.
  const std::string escape = dir.Name("form\x1b[31m.btn");
  std::filesystem::copy_file(form, escape);
  const ToolRun run = Tool("build-control '" + escape + "' -o " + dir.Name("x.btn"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("form\\x1B[31m.btn holds a TForm"), std::string::npos) << run.output;
}

TEST(Tool, GalleryNamesEveryBrokenFileAndRendersTheRest) {
  vantora::test::TempDir dir;
  const std::string in = dir.Name("in");
  std::filesystem::create_directories(in);
  ASSERT_EQ(Tool("build-control " + kButtonSource + " -o " + in + "/cherry.btn").status, 0);
  dir.File("in/broken.lbl", "object L: TFulgoLabel\n  Width = \n");
  std::filesystem::copy_file(std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt", in + "/form.pnl");

  const ToolRun run = Tool("gallery " + in + " -o " + dir.Name("out"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find(in + "/broken.lbl: "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find(in + "/form.pnl: "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("2 of 3 control files could not be rendered"), std::string::npos) << run.output;
  EXPECT_EQ(ReadFile(dir.Name("out/cherry.png")).substr(1, 3), "PNG");
  EXPECT_EQ(ReadFile(dir.Name("out/gallery-sheet.png")).substr(1, 3), "PNG");
}

}  // namespace
