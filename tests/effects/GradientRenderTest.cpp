#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "effects/Fulgrd.h"
#include "host/classes/Platform.h"
#include "support/DibTestUtil.h"

namespace vantora {
namespace {

using Channel = std::vector<int>;

Channel Interpolate(int c1, int c2, int len, int mode) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(len) + 1, 0xAA);
  tFulgoGradient::CalcInnerColors(static_cast<std::uint8_t>(c1), static_cast<std::uint8_t>(c2),
                                  static_cast<std::int16_t>(len), out.data(),
                                  static_cast<std::int16_t>(mode));
  return {out.begin(), out.end()};
}

// Pixel at a column and a memory row (row 0 is the bottom row as displayed).
int Pixel(const tFulgoDib& d, int column, int row) {
  return dib::Bits(d.Dib)[row * Align(d.GetWidth()) + column];
}

struct Rgb {
  int blue, green, red;
  bool operator==(const Rgb&) const = default;
};

Rgb Entry(const tFulgoDib& d, int index) {
  const std::uint8_t* e = dib::ColorTable(d.Dib) + 4 * index;
  return {e[0], e[1], e[2]};
}

// Entries in use: the table is black from the first unused entry on.
int UsedEntries(const tFulgoDib& d) {
  int used = 256;
  while (used > 0 && Entry(d, used - 1) == Rgb{0, 0, 0}) --used;
  return used;
}

void SetStop(tFulgoGradient& g, int i, int red, int green, int blue, int steps) {
  tVortex& v = g.Vortex[static_cast<std::size_t>(i)];
  v.Red = static_cast<std::uint8_t>(red);
  v.Green = static_cast<std::uint8_t>(green);
  v.Blue = static_cast<std::uint8_t>(blue);
  v.Steps = static_cast<std::int16_t>(steps);
}

class GradientRender : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes_ = host::HeadlessMessageBoxInstalled();
    ASSERT_NE(boxes_, nullptr);
    boxes_->ClearHistory();
  }
  void TearDown() override { boxes_->ClearHistory(); }

  std::unique_ptr<tFulgoDib> Render(tFulgoGradient& g) {
    auto d = std::make_unique<tFulgoDib>();
    g.CreateGradient(*d);
    return d;
  }

  host::HeadlessMessageBox* boxes_ = nullptr;
};

TEST(GradientInterpolation, LinearFloorsEachStep) {
  EXPECT_EQ(Interpolate(0, 255, 4, 0), (Channel{0, 63, 127, 191, 255}));
  EXPECT_EQ(Interpolate(255, 0, 4, 0), (Channel{255, 191, 127, 63, 0}));
  EXPECT_EQ(Interpolate(200, 0, 10, 0), (Channel{200, 180, 160, 140, 120, 100, 80, 60, 40, 20, 0}));
  EXPECT_EQ(Interpolate(10, 90, 1, 0), (Channel{10, 90}));
  EXPECT_EQ(Interpolate(77, 77, 5, 3), (Channel{77, 77, 77, 77, 77, 77}));
  // Modes the editor does not offer interpolate linearly.
  EXPECT_EQ(Interpolate(255, 0, 4, 9), Interpolate(255, 0, 4, 0));
  EXPECT_EQ(Interpolate(255, 0, 4, -1), Interpolate(255, 0, 4, 0));
}

TEST(GradientInterpolation, CurveOneBothWays) {
  EXPECT_EQ(Interpolate(200, 0, 10, 1), (Channel{200, 184, 168, 152, 134, 113, 91, 65, 35, 0, 0}));
  EXPECT_EQ(Interpolate(0, 200, 10, 1), (Channel{0, 32, 63, 89, 111, 132, 151, 166, 182, 200, 200}));
}

TEST(GradientInterpolation, CurvesAreOrderedAndMonotonic) {
  // Each curve keeps the channel near its higher value longer than the curve before it, falling
  // or rising, and never turns back.
  for (int len : {10, 57, 235}) {
    Channel previousFalling, previousRising;
    for (int mode = 1; mode <= 4; ++mode) {
      const Channel falling = Interpolate(250, 10, len, mode);
      const Channel rising = Interpolate(10, 250, len, mode);
      ASSERT_EQ(falling.front(), 250);
      ASSERT_EQ(falling.back(), 10);
      ASSERT_EQ(rising.front(), 10);
      ASSERT_EQ(rising.back(), 250);
      for (int i = 1; i <= len; ++i) {
        EXPECT_LE(falling[i], falling[i - 1]) << "mode " << mode << " position " << i;
        EXPECT_GE(rising[i], rising[i - 1]) << "mode " << mode << " position " << i;
        if (mode == 1) continue;
        EXPECT_GE(falling[i], previousFalling[i]) << "mode " << mode << " position " << i;
        EXPECT_GE(rising[i], previousRising[i]) << "mode " << mode << " position " << i;
      }
      previousFalling = falling;
      previousRising = rising;
    }
  }
}

TEST_F(GradientRender, DefaultIsLinearWithOnePaletteEntryPerColumn) {
  tFulgoGradient g(nullptr);
  const auto d = Render(g);
  ASSERT_FALSE(d->Empty());
  EXPECT_EQ(d->GetWidth(), 110);
  EXPECT_EQ(d->GetHeight(), 110);
  EXPECT_EQ(UsedEntries(*d), 110);
  for (int row = 0; row < 110; ++row)
    for (int column = 0; column < 110; ++column)
      ASSERT_EQ(Pixel(*d, column, row), column) << row << "," << column;
  EXPECT_EQ(Entry(*d, 0), (Rgb{113, 200, 248}));
  // Red 248 -> 48 over 110 steps: 55 steps down is 99.9997, floored to 100.
  EXPECT_EQ(Entry(*d, 55).red, 148);
  EXPECT_EQ(Entry(*d, 255), (Rgb{0, 0, 0}));
  EXPECT_TRUE(boxes_->History().empty());
}

TEST_F(GradientRender, LongLinearRampIsDrawnSmallAndStretched) {
  tFulgoGradient g(nullptr);
  g.GradWidth = 300;
  g.GradHeight = 100;
  const auto d = Render(g);
  EXPECT_EQ(d->GetWidth(), 300);
  EXPECT_EQ(d->GetHeight(), 100);
  EXPECT_EQ(UsedEntries(*d), 112);
  for (int row : {0, 50, 99}) {
    EXPECT_EQ(Pixel(*d, 0, row), 0);
    EXPECT_EQ(Pixel(*d, 299, row), 111);
  }
}

TEST_F(GradientRender, LinearAngles) {
  tFulgoGradient g(nullptr);
  g.Angle = 45;
  auto d = Render(g);
  ASSERT_EQ(d->GetWidth(), 110);
  EXPECT_EQ(UsedEntries(*d), 220);
  for (int row = 0; row < 110; ++row)
    for (int column = 0; column < 110; ++column) ASSERT_EQ(Pixel(*d, column, row), column + row);

  // Top to bottom: the first stop is in the top row, which is the last row in memory.
  g.Angle = -90;
  d = Render(g);
  EXPECT_EQ(g.Angle, 270);
  for (int row = 0; row < 110; ++row) {
    EXPECT_EQ(Pixel(*d, 0, row), 109 - row);
    EXPECT_EQ(Pixel(*d, 109, row), 109 - row);
  }

  g.Angle = 180 + 360;
  d = Render(g);
  EXPECT_EQ(g.Angle, 180);
  for (int column = 0; column < 110; ++column) EXPECT_EQ(Pixel(*d, column, 7), 109 - column);

  // Up and to the left: the first stop at the bottom right, the last near the top left.
  g.Angle = 135;
  d = Render(g);
  EXPECT_EQ(UsedEntries(*d), 219);
  EXPECT_EQ(Pixel(*d, 109, 0), 0);
  EXPECT_EQ(Pixel(*d, 0, 0), 109);
  EXPECT_EQ(Pixel(*d, 0, 109), 217);

  // Steep and leaning left: the line shifts back by one every few columns.
  g.Angle = 100;
  d = Render(g);
  EXPECT_EQ(UsedEntries(*d), 129);
  EXPECT_EQ(Pixel(*d, 0, 0), 19);
  EXPECT_EQ(Pixel(*d, 0, 109), 128);
  EXPECT_EQ(Pixel(*d, 109, 0), 1);

  g.Angle = -32768;
  Render(g);
  EXPECT_EQ(g.Angle, 352);
}

// Painting a gradient from its picture reads single pixels through up to two stretches; the body
// must come out as when the whole bitmap was drawn and then stretched onto it.
TEST_F(GradientRender, PicturePaintsWhatTheWholeBitmapStretchedPaints) {
  struct Kind {
    std::int16_t type, angle, width, height;
  };
  const Kind kinds[] = {
      {kGradLinear, 0, 110, 110},    {kGradLinear, 30, 37, 9},   {kGradLinear, 70, 30, 7},
      {kGradLinear, 100, 13, 41},    {kGradLinear, 225, 50, 50}, {kGradLinear, 300, 8, 33},
      {kGradLinear, 0, 300, 17},     {kGradLinear, 80, 9, 260},  {kGradRectangular, 0, 21, 8},
      {kGradRectangular, 0, 300, 2}, {kGradCircular, 0, 45, 45}, {kGradCircular, 0, 7, 250}};
  const std::pair<int, int> bodies[] = {{138, 31}, {5, 3}, {1, 1}, {61, 203}, {2, 40}};
  std::array<std::uint8_t, 256> map;
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::uint8_t>((i * 7 + 3) % 256);
  for (const Kind& kind : kinds) {
    tFulgoGradient g(nullptr);
    g.GradType = kind.type;
    g.Angle = kind.angle;
    g.GradWidth = kind.width;
    g.GradHeight = kind.height;
    SetStop(g, 1, 10, 250, 90, 7);
    SetStop(g, 2, 200, 0, 30, 0);
    const auto whole = Render(g);
    const auto picture = g.MakePicture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(0, std::memcmp(picture->Table.data(), dib::ColorTable(whole->Dib), dib::kColorTableSize));
    for (const auto& [w, h] : bodies) {
      // A body with holes and its padding set: painting writes only where the shape is.
      tFulgoDib expected, painted;
      for (tFulgoDib* body : {&expected, &painted}) {
        body->MakeEmpty(static_cast<TWidth>(w), static_cast<THeight>(h));
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) body->Row(y)[x] = (x * 3 + y) % 5 == 0 ? 247 : 1;
      }
      StretchThrough(dib::Bits(whole->Dib), dib::Bits(expected.Dib), whole->GetWidth(), whole->GetHeight(),
                     static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), map.data(), 247);
      picture->StretchOnto(painted, map.data(), 247);
      ASSERT_EQ(test::Raster(painted), test::Raster(expected))
          << "type " << kind.type << " angle " << kind.angle << " " << kind.width << "x" << kind.height
          << " onto " << w << "x" << h;
    }
  }
}

TEST_F(GradientRender, RectangleRings) {
  tFulgoGradient g(nullptr);
  g.GradType = kGradRectangular;
  // 111 is its own working size, so the rings are seen unstretched.
  g.GradWidth = g.GradHeight = 111;
  auto d = Render(g);
  ASSERT_EQ(d->GetWidth(), 111);
  EXPECT_EQ(UsedEntries(*d), 111);
  // Ring r outlines columns 55-r..55+r+1 and rows 55-r..55+r; outer rings are drawn last.
  for (int row = 0; row < 111; ++row) {
    for (int column = 0; column < 111; ++column) {
      const int across = column <= 55 ? 55 - column : column - 56;
      const int ring = std::max(std::abs(row - 55), across);
      ASSERT_EQ(Pixel(*d, column, row), 2 * ring) << row << "," << column;
    }
  }

  g.GradWidth = g.GradHeight = 110;
  d = Render(g);
  EXPECT_EQ(d->GetWidth(), 110);
  EXPECT_EQ(d->GetHeight(), 110);
  EXPECT_EQ(UsedEntries(*d), 111);
}

TEST_F(GradientRender, CircleRings) {
  tFulgoGradient g(nullptr);
  g.GradType = kGradCircular;
  g.GradWidth = g.GradHeight = 112;
  auto d = Render(g);
  ASSERT_EQ(d->GetWidth(), 112);
  EXPECT_EQ(UsedEntries(*d), 112);
  const int c = 55;
  EXPECT_EQ(Pixel(*d, c, c), 2);
  for (int k = 1; k <= 55; ++k) {
    EXPECT_EQ(Pixel(*d, c + k, c), 2 * k);
    EXPECT_EQ(Pixel(*d, c - k, c), 2 * k);
    EXPECT_EQ(Pixel(*d, c, c + k), 2 * k);
  }
  // Outside the largest ring the bitmap keeps the last ramp position.
  EXPECT_EQ(Pixel(*d, 111, c), 111);
  for (int corner : {0, 111}) {
    EXPECT_EQ(Pixel(*d, corner, 0), 111);
    EXPECT_EQ(Pixel(*d, corner, 111), 111);
  }
  // The two-pixel rings leave no gaps inside the largest one, and a ring lies where its radius says.
  for (int row = 0; row < 112; ++row) {
    for (int column = 0; column < 112; ++column) {
      const double distance = std::hypot(column - c, row - c);
      const int value = Pixel(*d, column, row);
      if (distance <= 54) {
        ASSERT_NE(value, 111) << row << "," << column;
      }
      if (value == 111) continue;
      ASSERT_EQ(value % 2, 0);
      ASSERT_GE(value, 2);
      ASSERT_LT(std::abs(distance - value / 2), 1.5) << row << "," << column;
    }
  }

  g.GradWidth = g.GradHeight = 110;
  d = Render(g);
  EXPECT_EQ(d->GetWidth(), 110);
  EXPECT_EQ(UsedEntries(*d), 112);
}

TEST_F(GradientRender, SegmentsSplitTheRampByTheirSteps) {
  tFulgoGradient g(nullptr);
  SetStop(g, 0, 200, 0, 0, 20);
  SetStop(g, 1, 0, 200, 0, 10);
  SetStop(g, 2, 0, 0, 200, 0);
  // 20 and 10 steps on 110 positions: the second segment starts at 73 with the middle stop's colour.
  auto d = Render(g);
  EXPECT_EQ(Entry(*d, 0), (Rgb{0, 0, 200}));
  EXPECT_EQ(Entry(*d, 73), (Rgb{0, 200, 0}));
  EXPECT_NE(Entry(*d, 72), (Rgb{0, 200, 0}));

  g.Discr = true;
  d = Render(g);
  EXPECT_EQ(UsedEntries(*d), 2);
  EXPECT_EQ(Entry(*d, 0), (Rgb{0, 0, 200}));
  EXPECT_EQ(Entry(*d, 1), (Rgb{0, 200, 0}));
  for (int column = 0; column < 110; ++column)
    EXPECT_EQ(Pixel(*d, column, 30), column < 73 ? 0 : 1) << column;
  // The corners outside the circles keep the last band.
  g.GradType = kGradCircular;
  d = Render(g);
  EXPECT_EQ(Pixel(*d, 55, 55), 0);
  EXPECT_EQ(Pixel(*d, 0, 0), 1);
  EXPECT_EQ(Pixel(*d, 109, 109), 1);
  g.GradType = kGradLinear;

  // Two stops give one band in the first stop's colour only.
  g.Vortex[1].Steps = 0;
  d = Render(g);
  EXPECT_EQ(UsedEntries(*d), 1);
  for (int column = 0; column < 110; ++column) EXPECT_EQ(Pixel(*d, column, 0), 0);
}

TEST_F(GradientRender, NoStepsShowsTheErrorAndLeavesTheBitmapEmpty) {
  for (int steps : {0, -5}) {
    tFulgoGradient g(nullptr);
    g.Vortex[0].Steps = static_cast<std::int16_t>(steps);
    const auto d = Render(g);
    EXPECT_TRUE(d->Empty());
    ASSERT_EQ(boxes_->History().size(), 1u);
    EXPECT_EQ(boxes_->History()[0].text, "Error while creating gradient");
    EXPECT_EQ(boxes_->History()[0].caption, "Oops");
    EXPECT_EQ(boxes_->History()[0].flags, host::MB_OK);
    boxes_->ClearHistory();
  }
  // An unknown shape draws nothing and says nothing.
  tFulgoGradient g(nullptr);
  g.GradType = 3;
  EXPECT_TRUE(Render(g)->Empty());
  EXPECT_TRUE(boxes_->History().empty());
}

TEST_F(GradientRender, OutOfModelValuesRenderWithinTheBitmap) {
  tFulgoGradient g(nullptr);
  for (std::int16_t type : {kGradLinear, kGradRectangular, kGradCircular}) {
    g.GradType = type;
    for (std::int16_t side : {std::int16_t{0}, std::int16_t{1}, std::int16_t{-7}}) {
      g.GradWidth = side;
      g.GradHeight = 3;
      auto d = Render(g);
      EXPECT_EQ(d->GetWidth(), 2) << type;
      EXPECT_EQ(d->GetHeight(), 3) << type;
    }
    g.GradWidth = 32767;
    g.GradHeight = 2;
    auto d = Render(g);
    EXPECT_EQ(d->GetWidth(), kMaxBitmapSide) << type;
  }

  // All ten stops with steps, summing far past 32767: nine segments, in order, within the ramp.
  g.GradType = kGradLinear;
  g.GradWidth = 200;
  g.GradHeight = 4;
  g.Discr = true;
  for (int i = 0; i < kMaxVortex; ++i) SetStop(g, i, 10 * i, 0, 0, 30000);
  auto d = Render(g);
  ASSERT_FALSE(d->Empty());
  EXPECT_EQ(UsedEntries(*d), 9);
  EXPECT_EQ(Pixel(*d, 0, 0), 0);
  EXPECT_EQ(Pixel(*d, 199, 0), 8);
  for (int column = 1; column < 200; ++column) EXPECT_GE(Pixel(*d, column, 0), Pixel(*d, column - 1, 0));

  g.Discr = false;
  g.InMode = 77;
  d = Render(g);
  EXPECT_EQ(UsedEntries(*d), 200);
  EXPECT_TRUE(boxes_->History().empty());
}

}  // namespace
}  // namespace vantora
