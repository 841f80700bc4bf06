#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Fultype.h"
#include "core/AsmFun.h"
#include "core/Grputil.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using test::Raster;

// Source pixel value = 10 * row + column, so the destination shows which pixel it took.
std::vector<std::uint8_t> Grid(int w, int h) {
  std::vector<std::uint8_t> bits(dib::RowStride(w) * h, 0xEE);
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) bits[r * dib::RowStride(w) + c] = static_cast<std::uint8_t>(10 * r + c);
  return bits;
}

std::vector<std::uint8_t> Stretched(int sw, int sh, int dw, int dh) {
  const auto src = Grid(sw, sh);
  std::vector<std::uint8_t> dst(dib::RowStride(dw) * dh, 0xAB);
  Stretch(src.data(), dst.data(), sw, sh, dw, dh);
  return dst;
}

TEST(Stretch, MapsColumnsAndRowsWithHalfPixelBias) {
  // 3x3 -> 5x5: columns and rows 0, 0, 1, 1, 2.
  const auto up = Stretched(3, 3, 5, 5);
  const int map[] = {0, 0, 1, 1, 2};
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(up[r * 8 + c], 10 * map[r] + map[c]) << r << "," << c;
  // Padding of the destination is not written.
  for (int r = 0; r < 5; ++r) EXPECT_EQ(up[r * 8 + 5], 0xAB);

  // 5x5 -> 3x3: columns and rows 0, 2, 4.
  const auto down = Stretched(5, 5, 3, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(down[r * 4 + c], 10 * (2 * r) + 2 * c);

  // A long row: the last destination pixel lands on the last source pixel.
  const auto wide = Stretched(7, 2, 40, 9);
  EXPECT_EQ(wide[0], 0);
  EXPECT_EQ(wide[39], 6);
  EXPECT_EQ(wide[8 * 40 + 39], 16);
}

TEST(Stretch, SidesOfOneTakeTheFirstColumnOrRowAndZeroDoesNothing) {
  const auto column = Stretched(4, 3, 1, 3);
  EXPECT_EQ(column,
            (std::vector<std::uint8_t>{0, 0xAB, 0xAB, 0xAB, 10, 0xAB, 0xAB, 0xAB, 20, 0xAB, 0xAB, 0xAB}));
  const auto row = Stretched(4, 3, 6, 1);
  EXPECT_EQ(row, (std::vector<std::uint8_t>{0, 0, 1, 2, 2, 3, 0xAB, 0xAB}));  // step 45875

  std::vector<std::uint8_t> dst(8, 0xAB);
  Stretch(Grid(4, 3).data(), dst.data(), 4, 3, 0, 5);
  Stretch(Grid(4, 3).data(), dst.data(), 0, 3, 5, 1);
  EXPECT_EQ(dst, std::vector<std::uint8_t>(8, 0xAB));
}

// Equal widths take a faster path; it must pick the columns the step picks at any width.
TEST(Stretch, EqualWidthsPickTheColumnsOfTheStep) {
  const auto step = [](std::int64_t src, std::int64_t dst) {
    return dst < 2 ? 0 : ((src - 1) * 65536 + 32768) / (dst - 1);
  };
  for (const int w : {1, 2, 3, 145, 256, 4099, 16000}) {
    for (const auto& [sh, dh] : {std::pair{1, 1}, {5, 5}, {3, 8}, {8, 3}, {2, 1}}) {
      const std::size_t stride = dib::RowStride(w);
      std::vector<std::uint8_t> src(stride * sh, 0xEE), dst(stride * dh, 0xAB);
      for (int r = 0; r < sh; ++r)
        for (int c = 0; c < w; ++c) src[r * stride + c] = static_cast<std::uint8_t>(7 * c + 31 * r);
      Stretch(src.data(), dst.data(), w, sh, w, dh);
      for (int j = 0; j < dh; ++j) {
        const std::int64_t row = j * step(sh, dh) >> 16;
        for (int i = 0; i < w; ++i)
          ASSERT_EQ(dst[j * stride + i], src[row * stride + (i * step(w, w) >> 16)])
              << w << " " << j << "," << i;
        for (std::size_t i = w; i < stride; ++i) ASSERT_EQ(dst[j * stride + i], 0xAB);
      }
    }
  }
}

TEST(AsmFun, BrushAndRecolourRunOverTheWholeRasterPaddingIncluded) {
  tFulgoDib bitmap;
  Paint(bitmap, {"1.2.3", ".....", "45..6"}, 247);  // width 5: 3 padding bytes per row
  BrushObject(bitmap.Dib, 9, 247);
  EXPECT_EQ(Picture(bitmap), (std::vector<std::string>{"9.9.9", ".....", "99..9"}));
  for (int r = 0; r < 3; ++r)
    for (int p = 5; p < 8; ++p) EXPECT_EQ(Raster(bitmap)[r * 8 + p], 247);

  bitmap.FreeDib();
  Paint(bitmap, {"1.2.3", ".....", "45..6"}, 0);
  BrushObject(bitmap.Dib, 9, 247);
  for (int r = 0; r < 3; ++r)
    for (int p = 5; p < 8; ++p) EXPECT_EQ(Raster(bitmap)[r * 8 + p], 9);  // padding 0 differs from 247

  // A raster longer than one vector and with a tail.
  tFulgoDib wide;
  wide.NewColored(37, 3, 4);
  SetColorPixel(wide.Dib, 7, 4);
  EXPECT_EQ(Raster(wide), std::vector<std::uint8_t>(40 * 3, 7));
  SetColorPixel(wide.Dib, 1, 2);  // nothing matches
  EXPECT_EQ(Raster(wide), std::vector<std::uint8_t>(40 * 3, 7));
}

TEST(AsmFun, SetColorPixelRefusesAnEmptyRaster) {
  tFulgoDib flat;
  flat.MakeNew(0, 4);
  EXPECT_TRUE(test::Raises<EFulgoError>([&] { SetColorPixel(flat.Dib, 1, 0); }, "Bitmap size is zero"));
  tFulgoDib low;
  low.MakeNew(4, 0);
  EXPECT_THROW(SetColorPixel(low.Dib, 1, 0), EFulgoError);
}

TEST(AsmFun, ColorizeTextFillsOnlyTheShape) {
  const int w = 37, h = 2, stride = 40;
  std::vector<std::uint8_t> target(stride * h, 247), source(stride * h);
  for (int i = 0; i < stride * h; ++i) source[i] = static_cast<std::uint8_t>(i);
  for (int i : {0, 5, 16, 17, 36, 39, 41, 79}) target[i] = 1;
  ColorizeText(target.data(), source.data(), w, h, 247);
  for (int i = 0; i < stride * h; ++i) {
    const bool shape = i == 0 || i == 5 || i == 16 || i == 17 || i == 36 || i == 39 || i == 41 || i == 79;
    EXPECT_EQ(target[i], shape ? source[i] : 247) << i;
  }
}

// StretchThrough against the steps it stands for: the source mapped, stretched into a transparent
// copy, then coloured through the target's shape.
TEST(AsmFun, StretchThroughPaintsWhatAStretchedCopyWould) {
  std::array<std::uint8_t, 256> map;
  for (int i = 0; i < 256; ++i) map[i] = static_cast<std::uint8_t>(255 - i);
  const std::pair<int, int> sizes[] = {{7, 5}, {110, 110}, {3, 3}, {1, 4}, {5, 1}, {40, 9}};
  for (auto [sw, sh] : sizes)
    for (auto [dw, dh] : sizes) {
      auto source = Grid(sw, sh);
      // Rows 1 and 2 the same, so a repeated source row is met after a different one.
      if (sh > 2) std::memcpy(&source[2 * dib::RowStride(sw)], &source[dib::RowStride(sw)], sw);
      const std::size_t bytes = dib::RowStride(dw) * dh;
      std::vector<std::uint8_t> shape(bytes);
      for (std::size_t i = 0; i < bytes; ++i) shape[i] = i % 3 == 0 ? 247 : static_cast<std::uint8_t>(i % 11);

      auto mapped = source;
      for (auto& b : mapped) b = map[b];
      std::vector<std::uint8_t> stretched(bytes, 247), expected = shape;
      Stretch(mapped.data(), stretched.data(), sw, sh, dw, dh);
      ColorizeText(expected.data(), stretched.data(), dw, dh, 247);
      std::vector<std::uint8_t> painted = shape;
      StretchThrough(source.data(), painted.data(), sw, sh, dw, dh, map.data(), 247);
      ASSERT_EQ(painted, expected) << sw << "x" << sh << " to " << dw << "x" << dh;
    }
  // No source pixels: nothing is painted and the shape is gone.
  std::vector<std::uint8_t> painted(8 * 2, 3);
  StretchThrough(nullptr, painted.data(), 0, 4, 5, 2, map.data(), 247);
  EXPECT_EQ(painted, std::vector<std::uint8_t>(8 * 2, 247));
}

TEST(AsmFun, CopyMemCopiesForwardEvenWhenRegionsOverlap) {
  std::uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  CopyMem(bytes + 1, bytes, 6);  // one byte higher: the first byte repeats
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 8), (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 1, 1, 8}));
}

TEST(Grputil, SystemColoursResolveAndOthersPassThrough) {
  EXPECT_EQ(RGBToTColor(static_cast<TColor>(0x8000000F)), 0x00C0C0C0);  // button face
  EXPECT_EQ(RGBToTColor(static_cast<TColor>(0x80000005)), 0x00FFFFFF);  // window
  EXPECT_EQ(RGBToTColor(static_cast<TColor>(0x8000000D)),
            0x00800000);  // highlight: navy, red in the low byte
  EXPECT_EQ(RGBToTColor(static_cast<TColor>(0x80000018)), 0x00E1FFFF);  // tooltip background
  EXPECT_EQ(RGBToTColor(static_cast<TColor>(0x800000FF)), 0);           // no such system colour
  EXPECT_EQ(RGBToTColor(0x00123456), 0x00123456);
  EXPECT_EQ(ScanlineBytes(5 * 8), 8u);
  EXPECT_EQ(ScanlineBytes(3 * 4), 4u);
  EXPECT_EQ(ScanlineBytes(0), 0u);
}

}  // namespace
}  // namespace vantora
