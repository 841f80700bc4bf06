// K-means refinement of a reduced palette: its passes on hand-made colours, and what it does to the
// palette builder and to captured pictures when asked for, and that it changes nothing when not.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/GdiTestSupport.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/PictureFile.h"
#include "palette/Fulone.h"
#include "palette/PaletteRefinement.h"
#include "palette/PicturePalette.h"

namespace vantora {
namespace {

using Colors = std::vector<std::uint32_t>;
using Map = std::vector<std::uint16_t>;

constexpr std::uint32_t Bgr(int r, int g, int b) {
  return static_cast<std::uint32_t>(b | (g << 8) | (r << 16));
}

int SquaredDistance(std::uint32_t a, std::uint32_t b) {
  int sum = 0;
  for (int shift : {0, 8, 16}) {
    const int d = static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255);
    sum += d * d;
  }
  return sum;
}

// The nearest centre by a plain search, the lowest index among equal ones.
std::uint16_t NearestByHand(std::uint32_t color, const Colors& centres) {
  std::uint16_t best = 0;
  for (std::size_t k = 1; k < centres.size(); ++k)
    if (SquaredDistance(color, centres[k]) < SquaredDistance(color, centres[best]))
      best = static_cast<std::uint16_t>(k);
  return best;
}

// Distinct colours scattered over the cube: an odd multiplier is a bijection of 24-bit values.
Colors Scattered(int count) {
  Colors colors;
  for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(count); ++i)
    colors.push_back((i * 0x9E3779u + 0x123457u) & 0xFFFFFFu);
  return colors;
}

TEST(PaletteRefinement, PassesMoveCentresToMeansAndStopWhenTheMapHolds) {
  // A poor start: one centre serves 10, 100 and 110 from a distance.
  const Colors colors{Bgr(0, 0, 0), Bgr(0, 0, 10), Bgr(0, 0, 100), Bgr(0, 0, 110)};
  Colors centres{Bgr(0, 0, 0), Bgr(0, 0, 10)};
  Map map{0, 1, 1, 1};
  // Pass 1: means 0 and 73, then 10 joins the first; pass 2: means 5 and 105, nothing moves over.
  EXPECT_EQ(RefinePalette(colors, centres, map, 8), 2);
  EXPECT_EQ(centres, (Colors{Bgr(0, 0, 5), Bgr(0, 0, 105)}));
  EXPECT_EQ(map, (Map{0, 0, 1, 1}));

  // One pass only: the means of the start, and the map to them.
  centres = {Bgr(0, 0, 0), Bgr(0, 0, 10)};
  map = {0, 1, 1, 1};
  EXPECT_EQ(RefinePalette(colors, centres, map, 1), 1);
  EXPECT_EQ(centres, (Colors{Bgr(0, 0, 0), Bgr(0, 0, 73)}));
  EXPECT_EQ(map, (Map{0, 0, 1, 1}));

  // No passes: nothing changes.
  centres = {Bgr(0, 0, 0), Bgr(0, 0, 10)};
  map = {0, 1, 1, 1};
  EXPECT_EQ(RefinePalette(colors, centres, map, 0), 0);
  EXPECT_EQ(centres, (Colors{Bgr(0, 0, 0), Bgr(0, 0, 10)}));
  EXPECT_EQ(map, (Map{0, 1, 1, 1}));
}

TEST(PaletteRefinement, MeansRoundAndIdleCentresMoveOntoTheWorstServedColour) {
  // Means of 1 and 2 round up to 2 on every channel; the fourth byte of a colour is ignored. The
  // second centre serves nothing and moves onto (1, 1, 1), the colour now farthest from its centre.
  Colors colors{Bgr(1, 1, 1) | 0xFF000000u, Bgr(2, 2, 2)};
  Colors centres{Bgr(9, 9, 9), Bgr(200, 200, 200)};
  Map map{0, 0};
  EXPECT_EQ(RefinePalette(colors, centres, map, 4), 2);
  EXPECT_EQ(centres, (Colors{Bgr(2, 2, 2), Bgr(1, 1, 1)}));
  EXPECT_EQ(map, (Map{1, 0}));

  // Two idle centres take the two worst-served colours, the worst first.
  colors = {Bgr(10, 0, 0), Bgr(0, 0, 0), Bgr(20, 0, 0), Bgr(100, 0, 0)};
  centres = {Bgr(0, 0, 0), Bgr(250, 250, 250), Bgr(251, 251, 251)};
  map = {0, 0, 0, 0};
  RefinePalette(colors, centres, map, 1);
  EXPECT_EQ(centres, (Colors{Bgr(33, 0, 0), Bgr(100, 0, 0), Bgr(0, 0, 0)}));
  EXPECT_EQ(map, (Map{2, 2, 0, 1}));
}

TEST(PaletteRefinement, TiesGoToTheLowerCentre) {
  // Two colours of 50 between means of 40 and 60, one starting in each: both go to the lower.
  const Colors colors = {Bgr(30, 0, 0), Bgr(40, 0, 0), Bgr(50, 0, 0),
                         Bgr(50, 0, 0), Bgr(60, 0, 0), Bgr(70, 0, 0)};
  Colors centres = {Bgr(40, 0, 0), Bgr(60, 0, 0)};
  Map map = {0, 0, 0, 1, 1, 1};
  RefinePalette(colors, centres, map, 1);
  EXPECT_EQ(centres, (Colors{Bgr(40, 0, 0), Bgr(60, 0, 0)}));
  EXPECT_EQ(map, (Map{0, 0, 0, 0, 1, 1}));
}

TEST(PaletteRefinement, EveryColourEndsAtItsNearestCentreAndTheErrorNeverGrows) {
  const Colors colors = Scattered(6000);
  Colors start;
  for (int k = 0; k < 200; ++k) start.push_back(colors[static_cast<std::size_t>(k) * 30]);
  Map startMap(colors.size());
  for (std::size_t i = 0; i < colors.size(); ++i) startMap[i] = NearestByHand(colors[i], start);

  const auto error = [&](const Colors& centres, const Map& map) {
    long long sum = 0;
    for (std::size_t i = 0; i < colors.size(); ++i) sum += SquaredDistance(colors[i], centres[map[i]]);
    return sum;
  };
  long long previous = error(start, startMap);
  for (int passes = 1; passes <= 6; ++passes) {
    Colors centres = start;
    Map map = startMap;
    RefinePalette(colors, centres, map, passes);
    for (std::size_t i = 0; i < colors.size(); ++i)
      ASSERT_EQ(map[i], NearestByHand(colors[i], centres)) << "colour " << i << " after " << passes;
    const long long now = error(centres, map);
    EXPECT_LE(now, previous) << passes << " passes";
    previous = now;
  }
  EXPECT_LT(previous, error(start, startMap) * 3 / 4);
}

// The squared error per channel of every registered colour against the palette entry it maps to.
double BuilderError(const tFulgoOnePalette& builder, const Colors& colors) {
  double sum = 0;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const tFulgoOnePalette::TEntry& e = builder.Palette[builder.ColorMap[i] + 10u];
    sum += SquaredDistance(colors[i], Bgr(e.Red, e.Green, e.Blue));
  }
  return sum / (3.0 * static_cast<double>(colors.size()));
}

using PaletteBuilderRefinement = host::testing::GdiTest;

TEST_F(PaletteBuilderRefinement, RefinedBuildsLowerTheErrorAndOffBuildsAreTheMedianCut) {
  const Colors colors = Scattered(5000);
  const auto build = [&](tFulgoOnePalette& builder, std::uint8_t passes) {
    builder.RefinePasses = passes;
    for (const std::uint32_t c : colors) builder.AddBrush(c);
    builder.BuildPalette();
  };
  tFulgoOnePalette plain, refined;
  build(plain, 0);
  build(refined, 8);
  ASSERT_EQ(plain.UseMedianCut, 255);
  ASSERT_EQ(refined.ColorMap.size(), colors.size());
  const double plainError = BuilderError(plain, colors), refinedError = BuilderError(refined, colors);
  EXPECT_LT(refinedError, plainError * 0.9) << plainError << " against " << refinedError;
  // The median cut's own result is what a builder that never heard of refinement makes.
  tFulgoOnePalette::TReducedColors cut;
  {
    tFulgoOnePalette direct;
    for (const std::uint32_t c : colors) direct.AddBrush(c);
    cut = direct.MedianCut(tFulgoOnePalette::kMaxReduced);
    EXPECT_EQ(direct.ColorMap, plain.ColorMap);
  }
  for (int k = 0; k < tFulgoOnePalette::kMaxReduced; ++k) {
    const tFulgoOnePalette::TEntry& e = plain.Palette[static_cast<std::size_t>(k + 10)];
    ASSERT_EQ(Bgr(e.Red, e.Green, e.Blue), Bgr(cut[k].Red, cut[k].Green, cut[k].Blue)) << k;
  }

  // A restarted builder that repeats its registrations builds again when only the passes change,
  // and turning them off again gives back the plain palette and map exactly.
  const auto rebuild = [&](std::uint8_t passes) {
    plain.Restart();
    build(plain, passes);
  };
  rebuild(8);
  EXPECT_EQ(std::memcmp(plain.Palette.data(), refined.Palette.data(), sizeof plain.Palette), 0);
  EXPECT_EQ(plain.ColorMap, refined.ColorMap);
  rebuild(0);
  tFulgoOnePalette fresh;
  build(fresh, 0);
  EXPECT_EQ(std::memcmp(plain.Palette.data(), fresh.Palette.data(), sizeof plain.Palette), 0);
  EXPECT_EQ(plain.ColorMap, fresh.ColorMap);
}

TEST_F(PaletteBuilderRefinement, ColoursThatFitAreNotTouched) {
  tFulgoOnePalette builder;
  builder.RefinePasses = 8;
  const Colors colors = Scattered(100);
  for (const std::uint32_t c : colors) builder.AddBrush(c);
  builder.BuildPalette();
  EXPECT_EQ(builder.UseMedianCut, 0);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const tFulgoOnePalette::TEntry& e = builder.Palette[i + 10];
    ASSERT_EQ(Bgr(e.Red, e.Green, e.Blue), colors[i]) << i;
  }
}

// The entries of a capture's palette as colour-table values, the palette deleted.
Colors Entries(host::HPALETTE palette) {
  std::vector<host::PALETTEENTRY> entries(256);
  host::GetPaletteEntries(palette, 0, 256, entries.data());
  host::DeleteObject(palette);
  Colors colors;
  for (const host::PALETTEENTRY& e : entries) colors.push_back(Bgr(e.peRed, e.peGreen, e.peBlue));
  return colors;
}

TEST_F(PaletteBuilderRefinement, PictureCaptureRefinesOnlyWhenAsked) {
  const Colors colors = Scattered(3000);
  host::DibImage picture(100, 30, 32);
  for (int y = 0; y < 30; ++y) std::memcpy(picture.Row(y), colors.data() + 100 * y, 400);
  ASSERT_EQ(PictureRefinePasses(), 0);
  const auto before = Entries(MakePicturePalette(picture));

  // The picture's error against the nearest entry of each palette.
  const auto error = [&](const Colors& entries) {
    long long sum = 0;
    for (const std::uint32_t c : colors) {
      int best = INT_MAX;
      for (int k = 10; k < 246; ++k)
        best = std::min(best, SquaredDistance(c, entries[static_cast<std::size_t>(k)]));
      sum += best;
    }
    return sum;
  };
  SetPictureRefinePasses(8);
  const auto refined = Entries(MakePicturePalette(picture));
  SetPictureRefinePasses(0);
  EXPECT_LT(error(refined), error(before) * 9 / 10);
  EXPECT_EQ(Entries(MakePicturePalette(picture)), before);
}

}  // namespace
}  // namespace vantora
