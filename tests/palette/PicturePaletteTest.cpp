// True-colour pictures loaded into a host bitmap and captured to 8 bits through a palette of their
// own colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "host/GdiTestSupport.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/PictureFile.h"
#include "palette/PicturePalette.h"
#include "support/DibTestUtil.h"

namespace vantora {
namespace {

using PicturePaletteTest = host::testing::GdiTest;

// Colour-table order: blue in the low byte.
constexpr std::uint32_t Bgr(int r, int g, int b) {
  return static_cast<std::uint32_t>(b | (g << 8) | (r << 16));
}

void Put(host::DibImage& picture, int x, int y, std::uint32_t bgr) {
  std::memcpy(picture.Row(y) + 4 * x, &bgr, 4);
}

std::uint32_t At(const host::DibImage& picture, int x, int y) {
  std::uint32_t bgr;
  std::memcpy(&bgr, picture.Row(y) + 4 * x, 4);
  return bgr & 0xFFFFFF;
}

// A smooth ramp from one colour to another along the rows.
host::DibImage Ramp(int width, int height, std::uint32_t from, std::uint32_t to) {
  host::DibImage picture(width, height, 32);
  for (int x = 0; x < width; ++x) {
    std::uint32_t bgr = 0;
    for (int shift : {0, 8, 16}) {
      const int a = static_cast<int>(from >> shift & 255), b = static_cast<int>(to >> shift & 255);
      bgr |= static_cast<std::uint32_t>(a + (b - a) * x / (width - 1)) << shift;
    }
    for (int y = 0; y < height; ++y) Put(picture, x, y, bgr);
  }
  return picture;
}

// A picture loaded into a host bitmap and captured to 8 bits, as a picture property does.
struct Capture {
  explicit Capture(const host::DibImage& picture) {
    bitmap.LoadFromPicture(picture);
    dib.GetGlyphData(bitmap);
  }
  std::uint32_t At(int x, int y) const { return dib.GetColor(test::At(dib, x, y)); }
  host::TBitmap bitmap;
  tFulgoDib dib;
};

// The largest and the mean city-block distance between the picture and its capture.
struct Error {
  int largest = 0;
  double mean = 0;
};

Error CaptureError(const host::DibImage& picture) {
  const Capture capture(picture);
  Error error;
  long total = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const std::uint32_t a = At(picture, x, y), b = capture.At(x, y);
      int d = 0;
      for (int shift : {0, 8, 16})
        d += std::abs(static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255));
      error.largest = std::max(error.largest, d);
      total += d;
    }
  error.mean = static_cast<double>(total) / (picture.Width() * picture.Height());
  return error;
}

TEST_F(PicturePaletteTest, ALargeRampIsCapturedThroughItsOwnColoursNotAFixedCube) {
  ASSERT_EQ(host::PictureQuantizer(), &MakePicturePalette) << "installed at start-up";
  const host::DibImage ramp = Ramp(1024, 3, Bgr(20, 40, 200), Bgr(240, 180, 30));
  ASSERT_GT(PictureColors(ramp).size(), 236u);
  const Error own = CaptureError(ramp);
  EXPECT_LE(own.largest, 6);
  EXPECT_LT(own.mean, 2.0);

  // The same picture through the halftone palette, as it was captured before.
  const host::TPictureQuantizer installed = host::SetPictureQuantizer(nullptr);
  const Error halftone = CaptureError(ramp);
  host::SetPictureQuantizer(installed);
  EXPECT_GT(halftone.largest, 5 * own.largest);
  EXPECT_GT(halftone.mean, 10 * own.mean);
}

TEST_F(PicturePaletteTest, APictureOfAtMost236ColoursIsCapturedExactly) {
  // 236 colours unlike the static ones, each in several places; then one pixel brings a 237th.
  std::vector<std::uint32_t> colours;
  for (int i = 0; colours.size() < 237; ++i)
    colours.push_back(Bgr(31 + i % 7 * 29, 17 + i / 7 % 6 * 37, 13 + i / 42 * 41));
  host::DibImage picture(40, 18, 32);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 40; ++x) Put(picture, x, y, colours[static_cast<std::size_t>(y * 40 + x) * 7 % 236]);
  {
    const Capture capture(picture);
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 40; ++x) ASSERT_EQ(capture.At(x, y), At(picture, x, y)) << x << ", " << y;
    // The colours lie at 10 on in the order they first appear, top row first.
    const std::vector<std::uint32_t> order = PictureColors(picture);
    ASSERT_EQ(order.size(), 236u);
    for (int i = 0; i < 236; ++i)
      ASSERT_EQ(capture.dib.GetColor(static_cast<std::uint8_t>(10 + i)), order[i]) << i;
  }
  // With 237 they no longer fit: some pixel gets a mean of several.
  Put(picture, 39, 17, colours[236]);
  ASSERT_EQ(PictureColors(picture).size(), 237u);
  const Capture reduced(picture);
  bool changed = false;
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 40; ++x) changed |= reduced.At(x, y) != At(picture, x, y);
  EXPECT_TRUE(changed);
}

TEST_F(PicturePaletteTest, PictureColorsAreDistinctInOrderAndCoarsenedPastTheLimit) {
  // Red 7, 6, ... 0 on both rows, one pixel with its fourth byte set: 8 colours.
  host::DibImage picture(8, 2, 32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 8; ++x) Put(picture, x, y, Bgr(7 - x, 0, 0) | (x == 3 ? 0x5A000000u : 0u));
  const std::vector<std::uint32_t> all = PictureColors(picture);
  ASSERT_EQ(all.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(all[i], Bgr(7 - i, 0, 0)) << i;
  // One bit less per channel: 6, 4, 2, 0; two bits less: 5 and 1, with 1 (the middle of 0..3) in
  // green and blue too.
  EXPECT_EQ(PictureColors(picture, 4),
            (std::vector<std::uint32_t>{Bgr(6, 0, 0), Bgr(4, 0, 0), Bgr(2, 0, 0), Bgr(0, 0, 0)}));
  EXPECT_EQ(PictureColors(picture, 3), (std::vector<std::uint32_t>{Bgr(5, 1, 1), Bgr(1, 1, 1)}));

  host::DibImage indexed(2, 2, 8);
  EXPECT_THROW(PictureColors(indexed), host::EInvalidGraphic);
}

}  // namespace
}  // namespace vantora
