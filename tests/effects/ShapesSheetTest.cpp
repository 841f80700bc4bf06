// The shipped shape file: every shape must warp faces of the sizes controls have. With
// VANTORA_SHAPE_SHEET_DIR set, the warped sample faces are also written there as BMP files (one per
// shape and size, and a sheet per size with them all), so the shapes can be looked at.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "effects/Shapes.h"
#include "host/classes/IniFile.h"

namespace vantora {
namespace {

// The shape names in record order, from the readable source of the shape file.
std::vector<std::string> ShippedShapeNames() {
  std::ifstream source(std::string(VANTORA_SOURCE_DIR) + "/data/shapes/shapes.txt");
  std::vector<std::string> names;
  for (std::string line; std::getline(source, line);)
    if (line.rfind("shape ", 0) == 0) names.push_back(line.substr(6));
  return names;
}

// Sample colours, as table values 0x00RRGGBB.
constexpr std::uint8_t kBorder = 1, kCross = 2, kBands = 10, kBandCount = 6, kLight = kBands + kBandCount;
constexpr std::uint32_t kBandColours[kBandCount] = {0x1E3A8A, 0x1D4ED8, 0x0891B2,
                                                    0x0D9488, 0x65A30D, 0xCA8A04};

std::uint32_t Lighter(std::uint32_t rgb) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) out |= ((((rgb >> shift) & 0xFF) + 255) / 2) << shift;
  return out;
}

// A face to warp: colour bands from left to right, checkered, a cross through the middle and a
// border, so that every part of the warp shows.
void MakeSample(tFulgoDib& face, int width, int height) {
  face.MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  face.SetColor(kBorder, 0x111827);
  face.SetColor(kCross, 0xF8FAFC);
  for (int i = 0; i < kBandCount; ++i) {
    face.SetColor(static_cast<std::uint8_t>(kBands + i), kBandColours[i]);
    face.SetColor(static_cast<std::uint8_t>(kLight + i), Lighter(kBandColours[i]));
  }
  face.SetColor(kTransparentIndex, 0xE5E5E5);  // shows where the shape cut the face away
  for (int r = 0; r < height; ++r) {
    std::uint8_t* row = face.Row(r);
    for (int c = 0; c < width; ++c) {
      const int band = c * kBandCount / width;
      const bool light = ((c / 6) + (r / 6)) % 2 == 1;
      std::uint8_t index = static_cast<std::uint8_t>((light ? kLight : kBands) + band);
      if (r == height / 2 || c == width / 2) index = kCross;
      if (r < 2 || c < 2 || r >= height - 2 || c >= width - 2) index = kBorder;
      row[c] = index;
    }
  }
}

TEST(ShippedShapes, EveryShapeWarpsFacesOfRealisticSizes) {
  // Run outside the test driver, the build's own settings name the shipped file.
  const bool iniGiven = std::getenv("VANTORA_INI") != nullptr;
  if (!iniGiven) setenv("VANTORA_INI", (host::VantoraDataDir() + "/fulgo.ini").c_str(), 1);
  struct Restore {
    bool given;
    ~Restore() {
      if (!given) unsetenv("VANTORA_INI");
    }
  } restore{iniGiven};

  const std::vector<std::string> names = ShippedShapeNames();
  ASSERT_GE(names.size(), 24u) << "the wizard offers shapes 1 to 24";
  ASSERT_EQ(CheckShapesFile(), static_cast<std::int16_t>(names.size()));

  const char* sheetDir = std::getenv("VANTORA_SHAPE_SHEET_DIR");
  if (sheetDir) std::filesystem::create_directories(sheetDir);
  struct Size {
    int width, height;
  };
  const Size sizes[] = {{145, 38}, {60, 20}, {400, 120}, {110, 110}, {24, 12}};
  // One sheet per size, four shapes to a row.
  const int gap = 10, perRow = 4;
  const int rows = (static_cast<int>(names.size()) + perRow - 1) / perRow;
  std::vector<tFulgoDib> sheets(std::size(sizes));
  for (std::size_t i = 0; i < sheets.size(); ++i)
    sheets[i].MakeEmpty(static_cast<TWidth>(perRow * (sizes[i].width + gap) + gap),
                        static_cast<THeight>(rows * (sizes[i].height + gap) + gap));

  for (std::size_t n = 0; n < names.size(); ++n) {
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
      const Size& size = sizes[i];
      SCOPED_TRACE(names[n] + " at " + std::to_string(size.width) + "x" + std::to_string(size.height));
      tFulgoDib face;
      MakeSample(face, size.width, size.height);
      std::array<bool, 256> used{};
      for (const std::uint8_t* p = dib::Bits(face.Dib); p != face.Dib + face.GetDibMemorySize(); ++p)
        used[*p] = true;

      auto shape = static_cast<std::int16_t>(n + 1);
      GetMatrixShape(face, shape);
      ASSERT_EQ(shape, static_cast<std::int16_t>(n + 1)) << "the shape was refused";
      ASSERT_EQ(face.GetWidth(), size.width);
      ASSERT_EQ(face.GetHeight(), size.height);
      int opaque = 0, transparent = 0;
      for (int r = 0; r < size.height; ++r) {
        const std::uint8_t* row = face.Row(r);
        for (int c = 0; c < size.width; ++c) {
          if (row[c] == kTransparentIndex) {
            ++transparent;
          } else {
            ++opaque;
            ASSERT_TRUE(used[row[c]]) << "pixel " << c << "," << r << " holds " << int{row[c]};
          }
        }
      }
      // A shape cuts something away but keeps most of the face.
      EXPECT_GT(transparent, 0);
      EXPECT_GT(opaque, size.width * size.height * 2 / 5);

      const int x = gap + static_cast<int>(n % perRow) * (size.width + gap);
      const int y = gap + static_cast<int>(n / perRow) * (size.height + gap);
      sheets[i].CutCopy(face, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
      if (n == 0) sheets[i].GetPaletteFrom(face.Dib);
      if (sheetDir) {
        char file[64];
        std::snprintf(file, sizeof file, "%02zu-%s-%dx%d.bmp", n + 1, names[n].c_str(), size.width,
                      size.height);
        SaveDib(face, (std::filesystem::path(sheetDir) / file).string());
      }
    }
  }
  if (!sheetDir) return;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const std::string file =
        "sheet-" + std::to_string(sizes[i].width) + "x" + std::to_string(sizes[i].height) + ".bmp";
    SaveDib(sheets[i], (std::filesystem::path(sheetDir) / file).string());
  }
}

}  // namespace
}  // namespace vantora
