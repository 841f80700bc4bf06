// Sprite sheets of the gallery's faces and faces with alpha: every frame read back from the sheet
// is the face `render --alpha` gives for its control and state, frames never overlap and fill the
// sheet well, and the alpha agrees with the controls drawing themselves over a picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/graphics/PictureFile.h"
#include "support/MiniJson.h"
#include "support/PngRgba.h"
#include "support/ShellRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using vantora::test::Json;
using vantora::test::JsonReader;
using vantora::test::ReadRgbaFile;
using vantora::test::RgbaPicture;
using vantora::test::ShellRun;

ShellRun Tool(const std::string& arguments) {
  return vantora::test::Shell(std::string(VANTORA_TOOL) + " " + arguments);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path GalleryDir() {
  return fs::path(VANTORA_TEST_INI).parent_path() / "gallery";
}

// The gallery's files with this extension, sorted.
std::vector<std::string> GalleryFiles(const std::string& extension) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(GalleryDir()))
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) line += " " + word;
  return line;
}

struct FrameRect {
  std::string key;
  int sheet, x, y, w, h;
};

// The frames of one JSON data file, checked against the hash format as it goes.
std::vector<FrameRect> ReadFrames(const Json& data, int sheet) {
  std::vector<FrameRect> frames;
  for (const auto& [key, f] : data["frames"].members) {
    const Json& frame = f["frame"];
    const FrameRect rect{key, sheet, frame["x"].Int(), frame["y"].Int(), frame["w"].Int(), frame["h"].Int()};
    EXPECT_FALSE(f["rotated"].boolean);
    EXPECT_FALSE(f["trimmed"].boolean);
    const Json& source = f["spriteSourceSize"];
    EXPECT_EQ(source["x"].Int(), 0);
    EXPECT_EQ(source["y"].Int(), 0);
    EXPECT_EQ(source["w"].Int(), rect.w);
    EXPECT_EQ(source["h"].Int(), rect.h);
    EXPECT_EQ(f["sourceSize"]["w"].Int(), rect.w);
    EXPECT_EQ(f["sourceSize"]["h"].Int(), rect.h);
    frames.push_back(rect);
  }
  return frames;
}

// The part of Sheet under Frame equals the part of Faces from Left, pixel for pixel, alpha included.
void ExpectFrameIs(const RgbaPicture& sheet, const FrameRect& frame, const RgbaPicture& faces, int left) {
  ASSERT_LE(left + frame.w, faces.width) << frame.key;
  ASSERT_EQ(frame.h, faces.height) << frame.key;
  for (int y = 0; y < frame.h; ++y)
    for (int x = 0; x < frame.w; ++x)
      ASSERT_EQ(sheet.Rgba(frame.x + x, frame.y + y), faces.Rgba(left + x, y))
          << frame.key << " at " << x << "," << y;
}

void ExpectApart(const std::vector<FrameRect>& frames, int padding) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j) {
      const FrameRect &a = frames[i], &b = frames[j];
      if (a.sheet != b.sheet) continue;
      EXPECT_TRUE(a.x + a.w + padding <= b.x || b.x + b.w + padding <= a.x || a.y + a.h + padding <= b.y ||
                  b.y + b.h + padding <= a.y)
          << a.key << " and " << b.key << " overlap";
    }
}

TEST(Atlas, TheGallerysButtonsPackIntoOneWellFilledSheetOfTheirRenderedFaces) {
  vantora::test::TempDir dir;
  const std::vector<std::string> buttons = GalleryFiles(".btn");
  ASSERT_GE(buttons.size(), 4u);
  const std::string sheetPath = dir.Name("atlas/buttons.png"), dataPath = dir.Name("atlas/buttons.json");
  const ShellRun run = Tool("atlas" + Joined(buttons) + " -o " + sheetPath + " --data " + dataPath);
  ASSERT_EQ(run.status, 0) << run.output;

  const Json data = JsonReader::Parse(ReadText(dataPath));
  const RgbaPicture sheet = ReadRgbaFile(sheetPath);
  const Json& meta = data["meta"];
  EXPECT_EQ(meta["image"].text, "buttons.png");
  EXPECT_EQ(meta["format"].text, "RGBA8888");
  EXPECT_EQ(meta["scale"].text, "1");
  EXPECT_EQ(meta["size"]["w"].Int(), sheet.width);
  EXPECT_EQ(meta["size"]["h"].Int(), sheet.height);

  const std::vector<FrameRect> frames = ReadFrames(data, 0);
  ASSERT_EQ(frames.size(), 4 * buttons.size());
  ExpectApart(frames, 2);
  std::int64_t used = 0;
  for (const FrameRect& f : frames) used += std::int64_t{f.w} * f.h;
  const double filled = static_cast<double>(used) / (static_cast<double>(sheet.width) * sheet.height);
  EXPECT_GE(filled, 0.75) << sheet.width << " x " << sheet.height;
  RecordProperty("filled", std::to_string(filled));

  // The first button's states one by one, the others' side by side as render shows a button's four
  // states (up, down, disabled, hover), 8 pixels apart.
  const std::string face = dir.Name("face.png");
  for (const FrameRect& frame : frames) {
    const std::string name = frame.key.substr(0, frame.key.find('/'));
    const std::string state = frame.key.substr(frame.key.find('/') + 1);
    const std::string control = (GalleryDir() / (name + ".btn")).string();
    if (control != buttons.front()) continue;
    const ShellRun render = Tool("render " + control + " --alpha --state " + state + " -o " + face);
    ASSERT_EQ(render.status, 0) << render.output;
    ExpectFrameIs(sheet, frame, ReadRgbaFile(face), 0);
  }
  for (const std::string& control : buttons) {
    const ShellRun render = Tool("render " + control + " --alpha -o " + face);
    ASSERT_EQ(render.status, 0) << render.output;
    const RgbaPicture states = ReadRgbaFile(face);
    const std::string name = fs::path(control).stem().string();
    int left = 0;
    for (const char* state : {"up", "down", "disabled", "hover"}) {
      const auto frame = std::find_if(frames.begin(), frames.end(),
                                      [&](const FrameRect& f) { return f.key == name + "/" + state; });
      ASSERT_NE(frame, frames.end()) << name << "/" << state;
      ExpectFrameIs(sheet, *frame, states, left);
      left += frame->w + 8;
    }
    EXPECT_EQ(left - 8, states.width) << name;
  }
}

// A picture of squares of two colours, 8 pixels a side, as a BMP file.
std::string Checkerboard(const vantora::test::TempDir& dir, int width, int height) {
  vantora::host::DibImage board(width, height, 32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = board.Row(y) + 4 * x;
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      p[0] = dark ? 0x40 : 0xC0;  // blue
      p[1] = dark ? 0x90 : 0x20;  // green
      p[2] = dark ? 0x10 : 0xE0;  // red
    }
  const std::string path = dir.Name("checker.bmp");
  vantora::host::WriteBmpFile(path, board.Info(), board.Bits());
  return path;
}

TEST(Atlas, AnRgbaFaceOverACheckerboardIsTheControlDrawnOverIt) {
  vantora::test::TempDir dir;
  const std::string checker = Checkerboard(dir, 640, 320);
  int clearSeen = 0;
  for (const std::string extension : {".btn", ".lbl", ".pnl"}) {
    const std::string control = GalleryFiles(extension).front();
    // --transparent-over draws the control transparently; in its up state a button covers the same
    // place drawn either way (a pressed face, shifted, is cut at its own size when transparent).
    const std::string state = extension == ".btn" ? " --state up" : "";
    const std::string face = dir.Name("face.png"), over = dir.Name("over.png"),
                      opaque = dir.Name("opaque.png");
    ASSERT_EQ(Tool("render " + control + state + " --alpha -o " + face).status, 0);
    ASSERT_EQ(Tool("render " + control + state + " --transparent-over " + checker + " -o " + over).status, 0);
    ASSERT_EQ(Tool("render " + control + state + " -o " + opaque).status, 0);
    const RgbaPicture rgba = ReadRgbaFile(face), shown = ReadRgbaFile(over), plain = ReadRgbaFile(opaque);
    // Faces sit 8 pixels from the top-left corner of what render draws.
    constexpr int kMargin = 8;
    for (int y = 0; y < rgba.height; ++y)
      for (int x = 0; x < rgba.width; ++x) {
        const std::uint32_t pixel = rgba.Rgba(x, y), alpha = pixel & 0xFF;
        ASSERT_TRUE(alpha == 0 || alpha == 255) << control;
        const int sx = kMargin + x, sy = kMargin + y;
        const bool dark = ((sx / 8) + (sy / 8)) % 2 == 0;
        const std::uint32_t checkerPixel = dark ? 0x109040FFu : 0xE020C0FFu;
        const std::uint32_t composed = alpha == 255 ? pixel : checkerPixel;
        ASSERT_EQ(shown.Rgba(sx, sy), composed) << control << " at " << x << "," << y;
        if (alpha == 255)
          ASSERT_EQ(plain.Rgba(sx, sy), pixel) << control << " at " << x << "," << y;
        else
          ++clearSeen;
      }
  }
  EXPECT_GT(clearSeen, 0) << "no face had a transparent area to see through";
}

TEST(Atlas, SheetSizesScaleExtrusionAndSeveralSheets) {
  vantora::test::TempDir dir;
  const std::vector<std::string> buttons = GalleryFiles(".btn");
  const std::string inputs = Joined({buttons[0], buttons[1]});

  // Power-of-two sides, pixels doubled, edges repeated outwards.
  ASSERT_EQ(Tool("atlas" + inputs + " -o " + dir.Name("one.png")).status, 0);
  ASSERT_EQ(Tool("atlas" + inputs + " -o " + dir.Name("pot.png") + " --pot --scale 2 --extrude 2").status, 0);
  const Json one = JsonReader::Parse(ReadText(dir.Name("one.json")));
  const Json pot = JsonReader::Parse(ReadText(dir.Name("pot.json")));
  const int w = pot["meta"]["size"]["w"].Int(), h = pot["meta"]["size"]["h"].Int();
  EXPECT_EQ(w & (w - 1), 0);
  EXPECT_EQ(h & (h - 1), 0);
  EXPECT_EQ(pot["meta"]["scale"].text, "2");
  const std::vector<FrameRect> small = ReadFrames(one, 0), large = ReadFrames(pot, 0);
  ASSERT_EQ(small.size(), large.size());
  const RgbaPicture potSheet = ReadRgbaFile(dir.Name("pot.png"));
  for (std::size_t i = 0; i < small.size(); ++i) {
    EXPECT_EQ(large[i].key, small[i].key);
    EXPECT_EQ(large[i].w, 2 * small[i].w);
    EXPECT_EQ(large[i].h, 2 * small[i].h);
    const FrameRect& f = large[i];
    for (int y = 0; y < f.h; ++y) {
      EXPECT_EQ(potSheet.Rgba(f.x - 1, f.y + y), potSheet.Rgba(f.x, f.y + y)) << f.key;
      EXPECT_EQ(potSheet.Rgba(f.x - 2, f.y + y), potSheet.Rgba(f.x, f.y + y)) << f.key;
      EXPECT_EQ(potSheet.Rgba(f.x + f.w + 1, f.y + y), potSheet.Rgba(f.x + f.w - 1, f.y + y)) << f.key;
    }
  }
  ExpectApart(large, 2 + 4);  // padding and the two extrusions

  // A sheet too small for all frames: several sheets, each with its own data naming it.
  int largest = 0;
  for (const FrameRect& f : small) largest = std::max({largest, f.w, f.h});
  const ShellRun split = Tool("atlas" + inputs + " -o " + dir.Name("split.png") + " --max-size " +
                              std::to_string(largest) + " --padding 0");
  ASSERT_EQ(split.status, 0) << split.output;
  EXPECT_FALSE(fs::exists(dir.Name("split.png")));
  std::vector<FrameRect> all;
  for (int n = 0; fs::exists(dir.Name("split-" + std::to_string(n) + ".png")); ++n) {
    const Json data = JsonReader::Parse(ReadText(dir.Name("split-" + std::to_string(n) + ".json")));
    EXPECT_EQ(data["meta"]["image"].text, "split-" + std::to_string(n) + ".png");
    EXPECT_LE(data["meta"]["size"]["w"].Int(), largest);
    for (const FrameRect& f : ReadFrames(data, n)) all.push_back(f);
  }
  EXPECT_EQ(all.size(), small.size());
  EXPECT_TRUE(fs::exists(dir.Name("split-1.png")));
  ExpectApart(all, 0);

  // CSS: one class per frame with its sheet and place.
  ASSERT_EQ(Tool("atlas" + inputs + " -o " + dir.Name("web.png") + " --data-format css").status, 0);
  const std::string css = ReadText(dir.Name("web.css"));
  const FrameRect& first = small[0];
  std::string expectedClass = first.key;
  std::replace(expectedClass.begin(), expectedClass.end(), '/', '_');
  EXPECT_NE(css.find("." + expectedClass + " {"), std::string::npos) << css;
  EXPECT_NE(css.find("url(\"web.png\")"), std::string::npos) << css;
  EXPECT_EQ(static_cast<std::size_t>(std::count(css.begin(), css.end(), '\n')), small.size() + 1);
}

TEST(Atlas, BadInputIsAClearErrorAndWritesNothing) {
  vantora::test::TempDir dir;
  const std::string button = GalleryFiles(".btn").front();
  const std::string out = " -o " + dir.Name("bad.png");
  const ShellRun missing = Tool("atlas " + dir.Name("absent.btn") + out);
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.output.find("absent.btn"), std::string::npos) << missing.output;
  const ShellRun tooSmall = Tool("atlas " + button + out + " --max-size 16");
  EXPECT_EQ(tooSmall.status, 2);
  EXPECT_NE(tooSmall.output.find("does not fit a sheet of at most 16 x 16"), std::string::npos)
      << tooSmall.output;
  EXPECT_NE(Tool("atlas " + button + out + " --padding -1").status, 0);
  EXPECT_NE(Tool("atlas " + button + out + " --scale 0").status, 0);
  EXPECT_NE(Tool("atlas " + button + out + " --max-size lots").status, 0);
  EXPECT_NE(Tool("atlas " + button + out + " --data-format xml").status, 0);
  EXPECT_EQ(Tool("atlas " + button + " -o " + dir.Name("bad.bmp")).status, 2);
  EXPECT_EQ(Tool("atlas " + button + " " + button + out).status, 2) << "two frames of one name";
  EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(Atlas, ALooksPaletteFaceMarksItsTransparentIndexClear) {
  vantora::test::TempDir dir;
  const std::string look = std::string(VANTORA_SOURCE_DIR) + "/data/looks/07-ribbon-shape.txt";
  ASSERT_EQ(Tool("render " + look + " -o " + dir.Name("look.png")).status, 0);
  ASSERT_EQ(Tool("render " + look + " --alpha -o " + dir.Name("alpha.png")).status, 0);
  // The palette PNG stays 8 bits, its colours and clear pixels those of the RGBA face.
  const std::string palette = ReadText(dir.Name("look.png"));
  EXPECT_EQ(palette[25], 3) << "colour type: palette";
  EXPECT_NE(palette.find("tRNS"), std::string::npos);
  const RgbaPicture indexed = ReadRgbaFile(dir.Name("look.png")), rgba = ReadRgbaFile(dir.Name("alpha.png"));
  ASSERT_EQ(indexed.width, rgba.width);
  ASSERT_EQ(indexed.height, rgba.height);
  int clear = 0;
  for (int y = 0; y < rgba.height; ++y)
    for (int x = 0; x < rgba.width; ++x) {
      const std::uint32_t a = rgba.Rgba(x, y);
      if ((a & 0xFF) == 0) {
        ++clear;
        EXPECT_EQ(indexed.Rgba(x, y) & 0xFF, 0u);
      } else {
        EXPECT_EQ(indexed.Rgba(x, y), a);
      }
    }
  EXPECT_GT(clear, 0);
}

}  // namespace
