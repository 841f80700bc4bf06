// The sheet packer: every rectangle inside its sheet, none overlapping another or closer than the
// spacing, sheets within the largest size, more sheets when one is not enough.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "base/Fultype.h"
#include "core/RectPacker.h"

namespace vantora {
namespace {

bool IsPowerOfTwo(std::int32_t v) {
  return v > 0 && (v & (v - 1)) == 0;
}

// Checks what every packing must hold; answers the share of the sheets' area the rectangles cover.
double ExpectSound(const std::vector<TPackSize>& sizes, const TPackOptions& options,
                   const TPacking& packing) {
  EXPECT_EQ(packing.Places.size(), sizes.size());
  std::int64_t used = 0, total = 0;
  for (const TPackSize& sheet : packing.Sheets) {
    EXPECT_LE(sheet.Width, options.MaxSide);
    EXPECT_LE(sheet.Height, options.MaxSide);
    if (options.PowerOfTwo) {
      EXPECT_TRUE(IsPowerOfTwo(sheet.Width) && IsPowerOfTwo(sheet.Height));
    }
    total += std::int64_t{sheet.Width} * sheet.Height;
  }
  const int gap = options.Spacing;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const TPackPlace& a = packing.Places[i];
    used += std::int64_t{sizes[i].Width} * sizes[i].Height;
    if (a.Sheet < 0 || a.Sheet >= static_cast<int>(packing.Sheets.size())) {
      ADD_FAILURE() << "rectangle " << i << " on sheet " << a.Sheet;
      return 0;
    }
    const TPackSize& sheet = packing.Sheets[static_cast<std::size_t>(a.Sheet)];
    EXPECT_TRUE(a.X >= 0 && a.Y >= 0 && a.X + sizes[i].Width <= sheet.Width &&
                a.Y + sizes[i].Height <= sheet.Height)
        << "rectangle " << i << " leaves its sheet";
    for (std::size_t j = i + 1; j < sizes.size(); ++j) {
      const TPackPlace& b = packing.Places[j];
      if (a.Sheet != b.Sheet) continue;
      const bool apart = a.X + sizes[i].Width + gap <= b.X || b.X + sizes[j].Width + gap <= a.X ||
                         a.Y + sizes[i].Height + gap <= b.Y || b.Y + sizes[j].Height + gap <= a.Y;
      EXPECT_TRUE(apart) << "rectangles " << i << " and " << j << " overlap or lie closer than " << gap;
    }
  }
  return total ? static_cast<double>(used) / static_cast<double>(total) : 0;
}

TEST(RectPacker, EqualSquaresFillASheetExactly) {
  const std::vector<TPackSize> sizes(16, TPackSize{32, 32});
  for (const bool pot : {false, true}) {
    const TPackOptions options{1024, pot, 0};
    const TPacking packing = PackRectangles(sizes, options);
    ASSERT_EQ(packing.Sheets.size(), 1u);
    EXPECT_DOUBLE_EQ(ExpectSound(sizes, options, packing), 1.0) << (pot ? "power of two" : "free");
    EXPECT_EQ(std::int64_t{packing.Sheets[0].Width} * packing.Sheets[0].Height, 16 * 32 * 32);
  }
}

TEST(RectPacker, SpacingLiesBetweenRectanglesButNotAlongTheEdges) {
  const std::vector<TPackSize> sizes(4, TPackSize{10, 10});
  const TPackOptions options{64, false, 3};
  const TPacking packing = PackRectangles(sizes, options);
  ExpectSound(sizes, options, packing);
  ASSERT_EQ(packing.Sheets.size(), 1u);
  // In a row: four squares and three gaps.
  const TPackSize& sheet = packing.Sheets[0];
  EXPECT_EQ(std::max(sheet.Width, sheet.Height), 4 * 10 + 3 * 3);
  EXPECT_EQ(std::min(sheet.Width, sheet.Height), 10);
}

TEST(RectPacker, MixedSizesPackTightlyAndSoundly) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> side(4, 90);
  for (const bool pot : {false, true})
    for (const int spacing : {0, 2}) {
      std::vector<TPackSize> sizes;
      for (int i = 0; i < 60; ++i) sizes.push_back({side(random), side(random)});
      const TPackOptions options{2048, pot, spacing};
      const TPacking packing = PackRectangles(sizes, options);
      EXPECT_EQ(packing.Sheets.size(), 1u);
      const double filled = ExpectSound(sizes, options, packing);
      // A power-of-two sheet may have to double a side the frames only just pass.
      EXPECT_GE(filled, pot ? 0.45 : 0.75) << "pot " << pot << " spacing " << spacing;
    }
}

TEST(RectPacker, RectanglesBeyondOneSheetGoOnToMore) {
  // Four 60 x 60 squares fill a 128 sheet's 120 x 120; the fifth needs a sheet of its own.
  const std::vector<TPackSize> sizes(5, TPackSize{60, 60});
  const TPackOptions options{128, false, 0};
  const TPacking packing = PackRectangles(sizes, options);
  ExpectSound(sizes, options, packing);
  ASSERT_EQ(packing.Sheets.size(), 2u);
  EXPECT_EQ(packing.Sheets[1].Width, 60);
  EXPECT_EQ(packing.Sheets[1].Height, 60);

  // Many sheets, each within the largest size, power of two or not.
  std::vector<TPackSize> many;
  for (int i = 0; i < 40; ++i) many.push_back({10 + i % 7 * 7, 12 + i % 5 * 9});
  for (const bool pot : {false, true}) {
    const TPackOptions small{100, pot, 1};
    const TPacking split = PackRectangles(many, small);
    EXPECT_GT(split.Sheets.size(), 3u);
    ExpectSound(many, small, split);
  }
}

TEST(RectPacker, ImpossibleRequestsAreErrors) {
  EXPECT_THROW(PackRectangles({{65, 10}}, {64, false, 0}), EFulgoError);
  // A power-of-two sheet of at most 100 is at most 64.
  EXPECT_THROW(PackRectangles({{70, 10}}, {100, true, 0}), EFulgoError);
  EXPECT_THROW(PackRectangles({{0, 10}}, {64, false, 0}), EFulgoError);
  EXPECT_THROW(PackRectangles({{10, 10}}, {0, false, 0}), EFulgoError);
  EXPECT_THROW(PackRectangles({{10, 10}}, {64, false, -1}), EFulgoError);
  EXPECT_TRUE(PackRectangles({}, {64, false, 0}).Sheets.empty());
}

}  // namespace
}  // namespace vantora
