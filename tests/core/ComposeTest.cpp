#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/uMemory.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using test::Raster;

// A picture as a grid of indices, top row first.
struct Grid {
  int w = 0, h = 0;
  std::vector<std::uint8_t> px;
  std::uint8_t at(int x, int y) const { return px[static_cast<std::size_t>(y * w + x)]; }
  bool covers(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  friend bool operator==(const Grid&, const Grid&) = default;
};

Grid GridOf(const tFulgoDib& bitmap) {
  Grid g{bitmap.GetWidth(), bitmap.GetHeight(), {}};
  const std::size_t stride = dib::RowStride(g.w);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) g.px.push_back(dib::Bits(bitmap.Dib)[(g.h - 1 - y) * stride + x]);
  return g;
}

void Load(tFulgoDib& bitmap, const Grid& g) {
  bitmap.FreeDib();
  bitmap.MakeNew(g.w, g.h);
  const std::size_t stride = dib::RowStride(g.w);
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x) dib::Bits(bitmap.Dib)[(g.h - 1 - y) * stride + x] = g.at(x, y);
}

Grid RandomGrid(std::mt19937& rng, int maxSide, std::uint8_t t) {
  std::uniform_int_distribution<int> side(0, maxSide), pick(0, 3);
  Grid g{side(rng), side(rng), {}};
  const std::uint8_t values[] = {t, 1, 2, 247};
  for (int i = 0; i < g.w * g.h; ++i) g.px.push_back(values[pick(rng)]);
  return g;
}

// Upper laid over lower, both placed top-down in one frame; the result spans both.
Grid Compose(const Grid& upper, int ux, int uy, const Grid& lower, int lx, int ly, std::uint8_t t) {
  const int x0 = std::min(ux, lx), y0 = std::min(uy, ly);
  const int x1 = std::max(ux + upper.w, lx + lower.w), y1 = std::max(uy + upper.h, ly + lower.h);
  Grid r{x1 - x0, y1 - y0, {}};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      std::uint8_t p = t;
      if (lower.covers(x - lx, y - ly)) p = lower.at(x - lx, y - ly);
      if (upper.covers(x - ux, y - uy) && upper.at(x - ux, y - uy) != t)
        p = upper.at(x - ux, y - uy);
      else if (upper.covers(x - ux, y - uy) && !lower.covers(x - lx, y - ly))
        p = t;
      r.px.push_back(p);
    }
  return r;
}

TEST(Compose, CopyOverGrowsToHoldBothImages) {
  tFulgoDib self, other;
  self.NewColored(20, 20, 1);
  other.NewColored(10, 10, 2);
  dib::Bits(other.Dib)[9 * 12 + 0] = 3;  // Other's top-left pixel
  self.CopyOver(other, -2, -3);
  ASSERT_EQ(self.GetWidth(), 22);
  ASSERT_EQ(self.GetHeight(), 23);
  const Grid g = GridOf(self);
  EXPECT_EQ(g.at(0, 0), 3);
  EXPECT_EQ(g.at(9, 9), 2);
  EXPECT_EQ(g.at(10, 0), 247);  // right of Other, above Self
  EXPECT_EQ(g.at(0, 10), 247);  // below Other, left of Self
  EXPECT_EQ(g.at(21, 22), 1);   // Self's bottom-right
  EXPECT_EQ(g.at(2, 3), 2);     // Self's top-left lies under Other
  EXPECT_EQ(g.at(10, 3), 1);
  // Other is unchanged; the composite has a fresh colour table.
  EXPECT_EQ(other.GetWidth(), 10);
  EXPECT_EQ(dib::Bits(other.Dib)[9 * 12], 3);
  EXPECT_EQ(self.GetColor(255), 0x00FFFFFF);
  EXPECT_EQ(self.GetColor(1), 0);
}

TEST(Compose, TransparentPixelsShowWhatLiesBelow) {
  tFulgoDib self, other;
  Paint(self, {"1.1", "...", "1.1"});
  Paint(other, {"22", "22"});
  self.CopyUnder(other, 1, 1);  // Self stays on top, Other shows through
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"1.1", ".22", "121"}));

  tFulgoDib top, bottom;
  Paint(top, {"3.", ".3"});
  Paint(bottom, {"12", "45"});
  top.TransparentIndex = 247;
  bottom.CopyOver(top, 2, 1);  // Other beyond Self's right edge and below its bottom
  EXPECT_EQ(Picture(bottom), (std::vector<std::string>{"12..", "453.", "...3"}));
}

TEST(Compose, IndCopyMatchesTheCoverageFlagsOnRandomImages) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> pos(-25, 25);
  for (int round = 0; round < 400; ++round) {
    const std::uint8_t t = round % 3 == 0 ? 247 : 5;
    const Grid s = RandomGrid(rng, 20, t), o = RandomGrid(rng, 20, t);
    const int x = pos(rng), y = pos(rng);
    // Memory-row origin (x, y) of O relative to S is top-down (x, S.h - y - O.h).
    const Grid expected = Compose(s, 0, 0, o, x, s.h - y - o.h, t);

    tFulgoDib self, other;
    Load(self, s);
    Load(other, o);
    self.TransparentIndex = t;
    const bool swap = round % 2 == 1;
    self.IndCopy(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), swap);
    ASSERT_EQ(GridOf(self), expected) << "round " << round;
    ASSERT_EQ(GridOf(other), swap ? s : o) << "round " << round;
    // Padding of the composite is zero.
    const auto raster = Raster(self);
    const int stride = static_cast<int>(dib::RowStride(expected.w));
    for (int r = 0; r < expected.h; ++r)
      for (int p = expected.w; p < stride; ++p) ASSERT_EQ(raster[r * stride + p], 0);
  }
}

TEST(Compose, CopyOverUnderAndDibCopyDataPlaceTopDownOnRandomImages) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> pos(-15, 15);
  for (int round = 0; round < 300; ++round) {
    const Grid s = RandomGrid(rng, 12, 247), o = RandomGrid(rng, 12, 247);
    const int x = pos(rng), y = pos(rng);
    tFulgoDib self, other;
    Load(self, s);
    Load(other, o);
    if (round % 3 == 0) {
      self.CopyOver(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
      ASSERT_EQ(GridOf(self), Compose(o, x, y, s, 0, 0, 247)) << round;
    } else if (round % 3 == 1) {
      // Y counted between the bottom edges.
      self.DibCopyData(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
      ASSERT_EQ(GridOf(self), Compose(o, x, s.h + y - o.h, s, 0, 0, 247)) << round;
    } else {
      self.CopyUnder(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
      ASSERT_EQ(GridOf(self), Compose(s, 0, 0, o, x, y, 247)) << round;
    }
    ASSERT_EQ(GridOf(other), o);
  }
}

std::vector<std::uint8_t> Block(const tFulgoDib& bitmap) {
  return {bitmap.Dib, bitmap.Dib + bitmap.GetDibMemorySize()};
}

// Made in Other's block or in a new one, the composite is CopyUnder's to the last byte: headers,
// a fresh colour table and zero padding, whatever Other's table and padding held.
TEST(Compose, LayUnderMakesCopyUndersBlockAndEmptiesOther) {
  std::mt19937 rng(13);
  std::uniform_int_distribution<int> grow(0, 6), shift(-7, 1);
  for (int round = 0; round < 300; ++round) {
    const std::uint8_t t = round % 2 == 0 ? 247 : 5;
    const Grid s = RandomGrid(rng, 14, t);
    Grid o = RandomGrid(rng, 0, t);
    o.w = s.w + grow(rng) - (round % 5 == 0 ? 2 : 0);
    o.h = s.h + grow(rng);
    o.w = std::max(o.w, 1), o.h = std::max(o.h, 1);
    for (int i = 0; i < o.w * o.h; ++i)
      o.px.push_back(static_cast<std::uint8_t>(i % 7 == 0 ? t : 40 + i % 3));
    const int x = shift(rng), y = shift(rng);

    tFulgoDib expected, self, under, other;
    Load(expected, s);
    Load(self, s);
    Load(under, o);
    Load(other, o);
    expected.TransparentIndex = self.TransparentIndex = t;
    for (tFulgoDib* lower : {&under, &other}) {
      dib::Put32(dib::ColorTable(lower->Dib) + 4 * 3, 0x00ABCDEF);
      std::memset(dib::Bits(lower->Dib) + o.w, 0x77, lower->Stride() - static_cast<std::size_t>(o.w));
    }
    expected.CopyUnder(under, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    self.LayUnder(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    ASSERT_EQ(Block(self), Block(expected)) << "round " << round;
    ASSERT_TRUE(other.Empty()) << "round " << round;
  }
}

TEST(Compose, AFailedCopyOverLeavesBothPicturesInPlace) {
  tFulgoDib self, other;
  Paint(self, {"1"});
  Paint(other, {"2"});
  std::uint8_t* selfBlock = self.Dib;
  std::uint8_t* otherBlock = other.Dib;
  EXPECT_THROW(self.CopyOver(other, 32767, 0), EFulgoError);  // the union would be too wide
  EXPECT_EQ(self.Dib, selfBlock);
  EXPECT_EQ(other.Dib, otherBlock);
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"1"}));
}

TEST(Compose, CutCopyWritesOpaquePixelsClippedToSelf) {
  tFulgoDib self, other;
  Paint(self, {"1111", "1111", "1111"});
  self.SetColor(1, 0x00ABCDEF);
  Paint(other, {"2.2", "222"});
  self.CutCopy(other, 4, 0);  // X = width: nothing
  self.CutCopy(other, 0, 3);
  self.CutCopy(other, -3, 0);
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"1111", "1111", "1111"}));

  self.CutCopy(other, -1, -1);  // hangs over the top-left corner
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"2211", "1111", "1111"}));
  self.CutCopy(other, 2, 2);  // hangs over the bottom-right corner
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"2211", "1111", "1121"}));
  EXPECT_EQ(self.GetColor(1), 0x00ABCDEF);

  tFulgoDib big;
  Paint(big, {"333333", "3.3333", "333333", "333333"});
  self.CutCopy(big, -1, 0);
  EXPECT_EQ(Picture(self), (std::vector<std::string>{"3333", "1333", "3333"}));
}

TEST(Compose, CutCopyMatchesTopDownPlacementOnRandomImages) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> pos(-15, 15);
  for (int round = 0; round < 300; ++round) {
    const Grid s = RandomGrid(rng, 12, 247), o = RandomGrid(rng, 12, 247);
    const int x = pos(rng), y = pos(rng);
    Grid expected = s;
    for (int yy = 0; yy < s.h; ++yy)
      for (int xx = 0; xx < s.w; ++xx)
        if (o.covers(xx - x, yy - y) && o.at(xx - x, yy - y) != 247)
          expected.px[static_cast<std::size_t>(yy * s.w + xx)] = o.at(xx - x, yy - y);
    tFulgoDib self, other;
    Load(self, s);
    Load(other, o);
    self.CutCopy(other, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    ASSERT_EQ(GridOf(self), expected) << round;
  }
}

TEST(Compose, CopyDibClipsAllFourEdges) {
  tFulgoDib dest, source;
  Paint(dest, {"1111", "1111", "1111"});
  Paint(source, {"2a2", "b.3", "c45"});  // memory rows: "c45" is row 0
  // Memory-row origin (-1, -1): the source's first column and first (bottom) row fall outside.
  CopyDIB(dest.Dib, source.Dib, -1, -1, 247);
  EXPECT_EQ(Picture(dest), (std::vector<std::string>{"1111", "a211", "1311"}));
  CopyDIB(dest.Dib, source.Dib, 3, 2, 247);  // only the source's bottom-left pixel fits
  EXPECT_EQ(Picture(dest), (std::vector<std::string>{"111c", "a211", "1311"}));
  const auto before = Picture(dest);
  CopyDIB(dest.Dib, source.Dib, -3, 0, 247);
  CopyDIB(dest.Dib, source.Dib, 0, -3, 247);
  CopyDIB(dest.Dib, source.Dib, 4, 0, 247);
  CopyDIB(dest.Dib, source.Dib, 0, 3, 247);
  EXPECT_EQ(Picture(dest), before);

  // CopyFromDib uses Self's transparent index and needs a block.
  dest.TransparentIndex = 2;
  dest.CopyFromDib(source.Dib, 0, 0);
  EXPECT_EQ(Picture(dest), (std::vector<std::string>{"1a1c", "b.31", "c451"}));
  tFulgoDib empty;
  EXPECT_TRUE(test::Raises<ENoBMPInSource>([&] { empty.CopyFromDib(source.Dib, 0, 0); }, "No bmp in source"));
}

TEST(Compose, ResizeDibScalesAndKeepsTheColourTable) {
  tFulgoDib bitmap;
  Paint(bitmap, {"123", "456", "789"}, 247);
  bitmap.SetColor(4, 0x00445566);
  tFulgoDib same;
  same.Dib = bitmap.ResizeDib(3, 3);
  EXPECT_EQ(test::Block(same), test::Block(bitmap));

  tFulgoDib up;
  up.AdoptBlock(bitmap.ResizeDibOwned(5, 5));
  EXPECT_EQ(Picture(up), (std::vector<std::string>{"11223", "44556", "44556", "77889", "77889"}));
  EXPECT_EQ(up.GetColor(4), 0x00445566);
  EXPECT_EQ(Raster(up)[5], 247);  // padding as MakeEmpty left it

  tFulgoDib one;
  one.AdoptBlock(bitmap.ResizeDibOwned(1, 1));
  EXPECT_EQ(Picture(one), (std::vector<std::string>{"7"}));  // first column of the bottom row
  tFulgoDib none;
  none.AdoptBlock(bitmap.ResizeDibOwned(0, 4));
  EXPECT_EQ(none.GetDibMemorySize(), 1078u);

  tFulgoDib empty;
  EXPECT_THROW(empty.ResizeDib(2, 2), ENoBMPInSource);
}

}  // namespace
}  // namespace vantora
