#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "effects/Fulmask.h"
#include "support/DibTestUtil.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using test::Raster;
using Pic = std::vector<std::string>;

struct Offsets {
  std::int16_t x = 99, y = 99;
  bool operator==(const Offsets&) const = default;
};

TEST(Mask3D, BorderPixelsAreEdgesWhateverTheDirection) {
  tFulgoDib square, mask;
  square.NewColored(10, 10, 1);
  Offsets off;
  Create3DMask(mask, square, fgRight, 3, 5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{0, 0}));
  const std::string outer = ".555555555555", inner = ".555......555";
  EXPECT_EQ(Picture(mask), (Pic{outer, inner, inner, inner, inner, inner, inner, inner, inner, outer}));
}

TEST(Mask3D, SizeAndOffsetsOfEveryDirection) {
  struct Case {
    efgDirection direction;
    int width, height;
    Offsets off;
  };
  // A 7 x 4 source, band width 3.
  const Case cases[] = {
      {fgUpLeft, 10, 7, {-3, -3}},  {fgUp, 7, 7, {0, -3}},        {fgUpRight, 10, 7, {0, -3}},
      {fgRight, 10, 4, {0, 0}},     {fgDownRight, 10, 7, {0, 0}}, {fgDown, 7, 7, {0, 0}},
      {fgDownLeft, 10, 7, {-3, 0}}, {fgLeft, 10, 4, {-3, 0}},
  };
  tFulgoDib source, mask;
  source.NewColored(7, 4, 1);
  source.TransparentIndex = 3;
  for (const Case& c : cases) {
    Offsets off;
    Create3DMask(mask, source, c.direction, 3, 5, off.x, off.y);
    EXPECT_EQ(mask.GetWidth(), c.width) << c.direction;
    EXPECT_EQ(mask.GetHeight(), c.height) << c.direction;
    EXPECT_EQ(off, c.off) << c.direction;
    EXPECT_EQ(mask.TransparentIndex, 3);
    for (const auto b : Raster(mask)) ASSERT_TRUE(b == 3 || b == 5) << c.direction;
  }
  // A negative width draws no band.
  Offsets off;
  Create3DMask(mask, source, fgUpLeft, -4, 5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{0, 0}));
  EXPECT_EQ(Raster(mask), std::vector<std::uint8_t>(8 * 4, 3));
}

TEST(Mask3D, BandsFollowTheEdgesThatFaceTheDirection) {
  tFulgoDib dot, ring, mask;
  Paint(dot, {"1"});
  Offsets off;
  // Diagonal bands are staircases without holes.
  Create3DMask(mask, dot, fgDownRight, 2, 5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{0, 0}));
  EXPECT_EQ(Picture(mask), (Pic{"...", "55.", ".55"}));
  Create3DMask(mask, dot, fgUpLeft, 2, 5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{-2, -2}));
  EXPECT_EQ(Picture(mask), (Pic{"55.", ".55", "..."}));
  // Inside the object only the pixel under the hole faces up.
  Paint(ring, {"11111", "11.11", "11111", "11111", "11111"});
  Create3DMask(mask, ring, fgUp, 1, 5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{0, -1}));
  EXPECT_EQ(Picture(mask), (Pic{"55555", "5...5", "5.5.5", "5...5", "55555", "....."}));
}

// The frame by its definition: a square of side 2L + 1 for every pixel of the object.
std::vector<std::uint8_t> DilatedByDefinition(const tFulgoDib& src, int L) {
  const int w = src.GetWidth(), h = src.GetHeight();
  const std::size_t stride = dib::RowStride(w), maskStride = dib::RowStride(w + 2 * L);
  std::vector<std::uint8_t> out(maskStride * (h + 2 * L), src.TransparentIndex);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      if (dib::Bits(src.Dib)[r * stride + c] != src.TransparentIndex)
        for (int j = 0; j <= 2 * L; ++j)
          for (int i = 0; i <= 2 * L; ++i) out[(r + j) * maskStride + c + i] = 255;
  return out;
}

// The 3D band by its rule: every object pixel on the image border or whose neighbour in the
// direction is outside the object throws L pixels along the direction; on a diagonal, a pixel that
// ends a run to its right also throws L pixels one row along, closing the staircase.
std::vector<std::uint8_t> BandByDefinition(const tFulgoDib& src, efgDirection direction, int L,
                                           std::uint8_t colour) {
  static const int steps[8][2] = {{-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};
  const int dx = steps[direction][0], dy = steps[direction][1];
  const int w = src.GetWidth(), h = src.GetHeight();
  const int mw = dx == 0 ? w : w + L, mh = dy == 0 ? h : h + L;
  const std::size_t stride = dib::RowStride(w), maskStride = dib::RowStride(mw);
  const std::uint8_t T = src.TransparentIndex;
  const auto at = [&](int r, int c) { return dib::Bits(src.Dib)[r * stride + c]; };
  std::vector<std::uint8_t> out(maskStride * mh, T);
  const auto set = [&](int r, int c) { out[r * maskStride + c] = colour; };
  const int c0 = dx < 0 ? L : 0, r0 = dy < 0 ? L : 0;
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      if (at(r, c) == T) continue;
      const bool border = r == 0 || r == h - 1 || c == 0 || c == w - 1;
      if (!border && at(r + dy, c + dx) != T) continue;
      for (int k = 1; k <= L; ++k) set(r0 + r + k * dy, c0 + c + k * dx);
      if (dx != 0 && dy != 0 && (c == w - 1 || at(r, c + 1) == T))
        for (int k = 0; k < L; ++k) set(r0 + r + (k + 1) * dy, c0 + c + k * dx);
    }
  return out;
}

TEST(Mask3D, EqualsTheBandByItsRuleForAnyObject) {
  tFulgoDib src, mask;
  Offsets off;
  std::mt19937 random(11);
  for (int round = 0; round < 160; ++round) {
    // Every fourth object is wide and sparse: rows of a few edges are drawn another way.
    const bool sparse = round % 4 == 3;
    const int w = sparse ? 60 + static_cast<int>(random() % 90) : 1 + static_cast<int>(random() % 40);
    const int h = 1 + static_cast<int>(random() % 17);
    const int L = static_cast<int>(random() % 4);
    const auto direction = static_cast<efgDirection>(round % 8);
    const unsigned density = sparse ? 1 : 10 + 10 * (random() % 9);
    src.FreeDib();
    src.TransparentIndex = round % 3 == 0 ? 3 : 247;
    src.MakeEmpty(static_cast<TWidth>(w), static_cast<THeight>(h));
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c)
        if (random() % 100 < density) dib::Bits(src.Dib)[r * dib::RowStride(w) + c] = 9;
    Create3DMask(mask, src, direction, static_cast<std::int16_t>(L), 5, off.x, off.y);
    ASSERT_EQ(Raster(mask), BandByDefinition(src, direction, L, 5)) << "round " << round;
  }
}

TEST(MaskFrame, EqualsTheSquareDilationOfAnyObject) {
  tFulgoDib src, mask;
  Paint(src, {"4"});
  Offsets off;
  CreateForeFrameMask(mask, src, 2, off.x, off.y);
  EXPECT_EQ(off, (Offsets{-2, -2}));
  EXPECT_EQ(Picture(mask), Pic(5, "#####"));

  std::mt19937 random(7);
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 23), h = 1 + static_cast<int>(random() % 17);
    const int L = static_cast<int>(random() % 4);
    const unsigned density = 1 + random() % 9;
    src.FreeDib();
    src.TransparentIndex = round % 3 == 0 ? 3 : 247;
    src.MakeEmpty(static_cast<TWidth>(w), static_cast<THeight>(h));
    // On odd rounds, rows often repeat the pixels of the row before in another colour, as the
    // rows of a filled object do.
    std::uint8_t* bits = dib::Bits(src.Dib);
    const std::size_t stride = dib::RowStride(w);
    for (int r = 0; r < h; ++r) {
      const bool repeat = round % 2 == 1 && r > 0 && random() % 3 != 0;
      for (int c = 0; c < w; ++c) {
        const bool object =
            repeat ? bits[(r - 1) * stride + c] != src.TransparentIndex : random() % 10 < density;
        if (object) bits[r * stride + c] = static_cast<std::uint8_t>(9 + r % 2);
      }
    }
    CreateForeFrameMask(mask, src, static_cast<std::int16_t>(L), off.x, off.y);
    EXPECT_EQ(off, (Offsets{static_cast<std::int16_t>(-L), static_cast<std::int16_t>(-L)}));
    EXPECT_EQ(mask.TransparentIndex, src.TransparentIndex);
    ASSERT_EQ(mask.GetWidth(), w + 2 * L);
    ASSERT_EQ(mask.GetHeight(), h + 2 * L);
    ASSERT_EQ(Raster(mask), DilatedByDefinition(src, L)) << "round " << round;
  }
}

TEST(MaskFrame, NegativeWidthActsAsZeroAndOversizedFramesAreRefused) {
  tFulgoDib src, mask;
  Paint(src, {"1.2", ".3."});
  Offsets off;
  CreateForeFrameMask(mask, src, -5, off.x, off.y);
  EXPECT_EQ(off, (Offsets{0, 0}));
  EXPECT_EQ(Picture(mask), (Pic{"#.#", ".#."}));
  // Beyond the largest bitmap side: an error, and the old mask stays.
  EXPECT_THROW(CreateForeFrameMask(mask, src, 16100, off.x, off.y), EFulgoError);
  EXPECT_EQ(Picture(mask), (Pic{"#.#", ".#."}));
}

TEST(MaskShadow, ScalesTheObjectAnchoredAtItsBottomEdge) {
  tFulgoDib src, mask;
  src.MakeNew(40, 20);
  // Every memory row holds its own number, so the mask shows which rows it took.
  for (int r = 0; r < 20; ++r) std::memset(dib::Bits(src.Dib) + r * 40, 100 + r, 40);
  src.TransparentIndex = 3;
  Offsets off;
  CreateShadowMask(mask, src, 100, 50, 4, 2, off.x, off.y);
  EXPECT_EQ(mask.GetWidth(), 40);
  EXPECT_EQ(mask.GetHeight(), 10);
  EXPECT_EQ(off, (Offsets{4, 12}));
  EXPECT_EQ(mask.TransparentIndex, 3);
  const std::uint8_t* bits = dib::Bits(mask.Dib);
  EXPECT_EQ(bits[0], 100);
  EXPECT_EQ(bits[9 * 40 + 39], 119);
  for (int r = 1; r < 10; ++r) EXPECT_GT(bits[r * 40], bits[(r - 1) * 40]);

  CreateShadowMask(mask, src, 150, 200, -3, -1, off.x, off.y);
  EXPECT_EQ(mask.GetWidth(), 60);
  EXPECT_EQ(mask.GetHeight(), 40);
  EXPECT_EQ(off, (Offsets{-3, -21}));
}

TEST(MaskShadow, BelowTwoByTwoGivesNoMaskAndHugeSizesAreCut) {
  tFulgoDib src, dot, empty, mask;
  src.NewColored(40, 20, 6);
  dot.NewColored(1, 1, 6);
  Offsets off;
  const std::pair<int, int> tooSmall[] = {{4, 100}, {100, 9}, {0, 0}, {-100, 100}, {100, -32768}};
  for (const auto& [sx, sy] : tooSmall) {
    CreateShadowMask(mask, src, 100, 100, 1, 1, off.x, off.y);
    ASSERT_FALSE(mask.Empty());
    CreateShadowMask(mask, src, static_cast<std::int16_t>(sx), static_cast<std::int16_t>(sy), 5, 7, off.x,
                     off.y);
    EXPECT_TRUE(mask.Empty()) << sx << "," << sy;
    EXPECT_EQ(off.x, 5);
  }
  EXPECT_EQ(off.y, 20 + 7 - 0);
  for (const tFulgoDib* tiny : {&dot, &empty}) {
    CreateShadowMask(mask, *tiny, 100, 100, 1, 1, off.x, off.y);
    EXPECT_TRUE(mask.Empty());
  }

  tFulgoDib strip;
  strip.NewColored(200, 2, 6);
  CreateShadowMask(mask, strip, 32767, 100, 0, 0, off.x, off.y);
  EXPECT_EQ(mask.GetWidth(), kMaxBitmapSide);
  EXPECT_EQ(mask.GetHeight(), 2);
  EXPECT_EQ(dib::Bits(mask.Dib)[kMaxBitmapSide - 1], 6);
}

}  // namespace
}  // namespace vantora
