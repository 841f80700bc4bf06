#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Fultype.h"
#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "core/uMemory.h"
#include "host/graphics/Gdi.h"
#include "support/DibTestUtil.h"

namespace vantora {
namespace {

using test::Block;
using test::Paint;
using test::Picture;
using test::Raster;

std::vector<std::uint8_t> Table(const tFulgoDib& bitmap) {
  const std::uint8_t* t = dib::ColorTable(bitmap.Dib);
  return {t, t + 1024};
}

std::vector<std::uint8_t> FreshTable() {
  std::vector<std::uint8_t> table(1024, 0);
  table[1020] = table[1021] = table[1022] = 255;
  return table;
}

TEST(FulgoDib, MakeEmptyWritesExactHeadersTableAndRows) {
  tFulgoDib bitmap;
  bitmap.MakeEmpty(5, 3);
  ASSERT_EQ(bitmap.GetDibMemorySize(), 1102u);
  const std::vector<std::uint8_t> headers = {
      0x42, 0x4D, 0x4E, 0x04, 0,  0, 0, 0, 0, 0, 0x36, 0x04, 0, 0,  // file header
      40,   0,    0,    0,    5,  0, 0, 0, 3, 0, 0,    0,    1, 0,
      8,    0,  // size, width, height, planes, bits
      0,    0,    0,    0,    24, 0, 0, 0, 0, 0, 0,    0,    0, 0,
      0,    0,                               // compression, image size, resolutions
      0,    1,    0,    0,    0,  0, 0, 0};  // colours used, important
  const auto block = Block(bitmap);
  EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 54), headers);
  EXPECT_EQ(Table(bitmap), FreshTable());
  EXPECT_EQ(Raster(bitmap), std::vector<std::uint8_t>(24, 247));

  bitmap.FreeDib();
  bitmap.TransparentIndex = 3;
  bitmap.MakeEmpty(2, 2);
  EXPECT_EQ(Raster(bitmap), std::vector<std::uint8_t>(8, 3));
}

TEST(FulgoDibDeathTest, RowsArePaddedAndCheckedInDebugBuilds) {
  tFulgoDib dib;
  dib.MakeEmpty(3, 2);
  EXPECT_EQ(dib.Stride(), 4u);
  EXPECT_EQ(dib.Row(0), dib.Dib + 1078);
  EXPECT_EQ(dib.Row(1), dib.Dib + 1082);
#ifndef NDEBUG
  EXPECT_DEATH(dib.Row(2), "");
  EXPECT_DEATH(dib.Row(-1), "");
#endif
}

TEST(FulgoDib, EmptyBitmapsMeasureZeroAndRefuseColourAccess) {
  tFulgoDib bitmap;
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.GetWidth(), 0);
  EXPECT_EQ(bitmap.GetHeight(), 0);
  EXPECT_EQ(bitmap.GetDibMemorySize(), 0u);
  EXPECT_EQ(bitmap.TransparentIndex, 247);
  EXPECT_THROW(bitmap.GetColor(1), ENoBMPInSource);
  EXPECT_THROW(bitmap.SetColor(1, 0), ENoBMPInSource);
  EXPECT_THROW(bitmap.MakeMask(0), ENoBMPInSource);
  bitmap.FreeDib();  // harmless
}

TEST(FulgoDib, NewRastersHoldNoStaleBytes) {
  // Leave a freed block full of a pattern where the next block of that size is likely to come from.
  for (int round = 0; round < 3; ++round) {
    void* dirty = mGETMEM(1078 + 8 * 3);
    std::memset(dirty, 0xAA, 1078 + 8 * 3);
    mFREE(dirty);
    tFulgoDib bitmap;
    bitmap.MakeNew(5, 3);
    EXPECT_EQ(Raster(bitmap), std::vector<std::uint8_t>(24, 0));
    EXPECT_EQ(Table(bitmap), FreshTable());
  }
  // A zero side gives headers and table only.
  tFulgoDib flat;
  flat.MakeEmpty(0, 7);
  EXPECT_EQ(flat.GetDibMemorySize(), 1078u);
  EXPECT_EQ(flat.GetHeight(), 7);
  flat.FreeDib();
  flat.NewColored(9, 0, 1);
  EXPECT_EQ(flat.GetDibMemorySize(), 1078u);

  tFulgoDib huge;
  EXPECT_THROW(huge.MakeNew(32049, 1), EFulgoError);
  EXPECT_TRUE(huge.Empty());
}

// A stretched copy writes every pixel itself; its padding is cleared over whatever the heap held.
TEST(FulgoDib, StretchedCopiesHoldTheStretchAndNoStaleBytes) {
  tFulgoDib source;
  Paint(source, {"0123456", "789abcd", "efghijk"});
  for (const auto& [w, h] : {std::pair{5, 3}, std::pair{13, 7}, std::pair{1, 1}, std::pair{7, 2}}) {
    const std::size_t bytes =
        1078 + dib::RowStride(static_cast<std::uint32_t>(w)) * static_cast<std::size_t>(h);
    void* dirty = mGETMEM(static_cast<std::int32_t>(bytes));
    std::memset(dirty, 0xAA, bytes);
    mFREE(dirty);
    tFulgoDib stretched, expected;
    stretched.MakeStretched(source, static_cast<TWidth>(w), static_cast<THeight>(h));
    expected.MakeNew(static_cast<TWidth>(w), static_cast<THeight>(h));
    Stretch(dib::Bits(source.Dib), dib::Bits(expected.Dib), 7, 3, static_cast<std::uint16_t>(w),
            static_cast<std::uint16_t>(h));
    EXPECT_EQ(Block(stretched), Block(expected)) << w << "x" << h;
  }
  // From a source without pixels: cleared rows, as MakeNew gives.
  tFulgoDib none, fromNone;
  fromNone.MakeStretched(none, 6, 2);
  EXPECT_EQ(Raster(fromNone), std::vector<std::uint8_t>(16, 0));
}

TEST(FulgoDib, ColoursAreTableValuesResolvedThroughSystemColours) {
  tFulgoDib bitmap;
  bitmap.MakeNew(1, 1);
  bitmap.SetColor(3, 0x00123456);
  const auto table = Table(bitmap);
  EXPECT_EQ(std::vector<std::uint8_t>(table.begin() + 12, table.begin() + 16),
            (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0}));
  EXPECT_EQ(bitmap.GetColor(3), 0x00123456);
  bitmap.SetColor(4, static_cast<TColor>(0x8000000F));  // button face
  EXPECT_EQ(bitmap.GetColor(4), 0x00C0C0C0);
  EXPECT_EQ(bitmap.GetColor(255), 0x00FFFFFF);

  tFulgoDib other;
  other.MakeNew(2, 2);
  other.GetPaletteFrom(bitmap.Dib);
  EXPECT_EQ(Table(other), Table(bitmap));
}

TEST(FulgoDib, MakeMaskKeysOnTheFirstMatchingEntryBelow255) {
  tFulgoDib bitmap;
  Paint(bitmap, {"05#", "50."}, 5);
  bitmap.SetColor(5, 0x00FFFFFF);  // white at 5 and at 255
  bitmap.MakeMask(0x00FFFFFF);
  EXPECT_EQ(Picture(bitmap), (std::vector<std::string>{"#.#", ".##"}));
  EXPECT_EQ(Raster(bitmap)[3], 247);          // padding of 5 became transparent too
  EXPECT_EQ(bitmap.GetColor(5), 0x00FFFFFF);  // table unchanged

  // White only at 255: the key falls back to index 0.
  tFulgoDib fallback;
  Paint(fallback, {"0#3"});
  fallback.TransparentIndex = 9;
  fallback.MakeMask(0x00FFFFFF);
  EXPECT_EQ(Picture(fallback), (std::vector<std::string>{"9##"}));
  EXPECT_EQ(Raster(fallback)[3], 9);  // padding 0 matched the key
}

TEST(FulgoDib, MinSizeFindsAndCropsTheBoundingBox) {
  tFulgoDib bitmap;
  bitmap.MakeEmpty(10, 10);
  dib::Bits(bitmap.Dib)[2 * 12 + 7] = 4;  // memory row 2, column 7
  TWidth w;
  THeight h;
  tFulgoDib::TOrigin origin;
  ASSERT_TRUE(bitmap.FindMinSize(w, h, origin));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(origin.X, 7);
  EXPECT_EQ(origin.Y, 2);
  bitmap.SetColor(4, 0x00010203);
  bitmap.ChangeToMinSize();
  const auto block = Block(bitmap);
  ASSERT_EQ(block.size(), 1082u);
  EXPECT_EQ(dib::Get32(block.data() + 2), 1082u);  // file size
  EXPECT_EQ(dib::Get32(block.data() + 18), 1u);
  EXPECT_EQ(dib::Get32(block.data() + 22), 1u);
  EXPECT_EQ(dib::Get32(block.data() + 34), 4u);                        // image size
  EXPECT_EQ(Raster(bitmap), (std::vector<std::uint8_t>{4, 0, 0, 0}));  // padding cleared
  EXPECT_EQ(bitmap.GetColor(4), 0x00010203);

  tFulgoDib box;
  Paint(box, {"......", "..1...", "....2.", ".3....", "......"});
  box.ChangeToMinSize();
  EXPECT_EQ(Picture(box), (std::vector<std::string>{".1..", "...2", "3..."}));
  EXPECT_EQ(Raster(box)[0 * 4 + 0], 3);  // bottom row first in memory
}

TEST(FulgoDib, AllTransparentOrEmptyBitmapsHaveNoBoxAndStayUnchanged) {
  tFulgoDib bitmap;
  bitmap.MakeEmpty(6, 4);
  const std::uint8_t* block = bitmap.Dib;
  TWidth w = 9;
  THeight h = 9;
  tFulgoDib::TOrigin origin{5, 5};
  EXPECT_FALSE(bitmap.FindMinSize(w, h, origin));
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(origin.X, 0);
  bitmap.ChangeToMinSize();
  EXPECT_EQ(bitmap.Dib, block);
  EXPECT_EQ(bitmap.GetWidth(), 6);

  tFulgoDib empty;
  EXPECT_FALSE(empty.FindMinSize(w, h, origin));
  empty.ChangeToMinSize();
  EXPECT_TRUE(empty.Empty());
}

// A 4-bit block: headers of 40 bytes, 16-entry table, rows of ScanlineBytes(width * 4).
std::vector<std::uint8_t> FourBitBlock(int width, int height, const std::vector<std::uint32_t>& colors,
                                       const std::vector<std::vector<int>>& memoryRows) {
  const int stride = static_cast<int>(ScanlineBytes(width * 4));
  std::vector<std::uint8_t> block(14 + 40 + 64 + stride * height, 0);
  dib::Put16(block.data(), 0x4D42);
  dib::Put32(block.data() + 2, static_cast<std::uint32_t>(block.size()));
  dib::Put32(block.data() + 10, 14 + 40 + 64);
  dib::Put32(block.data() + 14, 40);
  dib::Put32(block.data() + 18, width);
  dib::Put32(block.data() + 22, height);
  dib::Put16(block.data() + 26, 1);
  dib::Put16(block.data() + 28, 4);
  for (std::size_t i = 0; i < colors.size(); ++i) dib::Put32(block.data() + 54 + 4 * i, colors[i]);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) {
      std::uint8_t& b = block[14 + 40 + 64 + r * stride + c / 2];
      b |= static_cast<std::uint8_t>(c % 2 == 0 ? memoryRows[r][c] << 4 : memoryRows[r][c]);
    }
  return block;
}

TEST(FulgoDib, BlocksChangeHandsThroughOwnersWithoutLeaksOrStalePalettes) {
  const std::int32_t before = nQuant;
  tFulgoDib bitmap;
  bitmap.MakeEmpty(4, 4);
  bitmap.SetColor(20, 0x00112233);
  const host::HPALETTE old = bitmap.GetLogPalette();
  tFulgoDib source;
  source.MakeEmpty(2, 3);
  bitmap.AdoptBlock(source.ReleaseBlock());
  EXPECT_TRUE(source.Empty());
  EXPECT_EQ(bitmap.GetWidth(), 2);
  EXPECT_EQ(nQuant, before + 1);  // the 4 x 4 block is gone
  // The palette described the old colours; it goes with them.
  EXPECT_EQ(bitmap.PaletteHandle, nullptr);
  EXPECT_EQ(host::DeleteObject(old), host::FALSE);

  // Released, the block outlives the bitmap's emptying; the palette stays with the bitmap.
  bitmap.GetLogPalette();
  MemBlock taken = bitmap.ReleaseBlock();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_NE(bitmap.PaletteHandle, nullptr);
  EXPECT_EQ(dib::Height(taken.get()), 3);
  bitmap.FreeDib();
  EXPECT_EQ(nQuant, before + 1);
  taken.reset();
  EXPECT_EQ(nQuant, before);
}

TEST(FulgoDib, From16To256MapsStaticColoursToTheirIndicesAndOthersFrom10) {
  // Entries: black, white, a new colour, the same colour again, the static grey at 247, then 11 new
  // colours; the unused ones repeat black.
  std::vector<std::uint32_t> colors = {0x000000, 0xFFFFFF, 0x123456, 0x123456, 0xA0A0A4};
  for (std::uint32_t k = 0; k < 11; ++k) colors.push_back(0x010101 * (k + 1) + 0x200000);
  const auto source = FourBitBlock(3, 2, colors, {{0, 1, 2}, {3, 4, 15}});
  tFulgoDib bitmap;
  bitmap.AdoptBlock(GetMemBlock(static_cast<std::int32_t>(source.size())));
  std::memcpy(bitmap.Dib, source.data(), source.size());

  bitmap.From16To256();
  EXPECT_EQ(dib::Get16(bitmap.Dib + 28), 8);
  EXPECT_EQ(bitmap.GetDibMemorySize(), 1078u + 4 * 2);
  ASSERT_EQ(bitmap.GetWidth(), 3);
  const auto raster = Raster(bitmap);
  EXPECT_EQ(std::vector<std::uint8_t>(raster.begin(), raster.begin() + 3),
            (std::vector<std::uint8_t>{0, 255, 10}));
  EXPECT_EQ(std::vector<std::uint8_t>(raster.begin() + 4, raster.begin() + 7),
            (std::vector<std::uint8_t>{10, 247, 21}));
  EXPECT_EQ(bitmap.GetColor(10), 0x123456);
  EXPECT_EQ(bitmap.GetColor(21), 0x010101 * 11 + 0x200000);
  EXPECT_EQ(bitmap.GetColor(246), 0xFFFBF0);
  EXPECT_EQ(bitmap.GetColor(9), 0xA6CAF0);
  EXPECT_EQ(bitmap.GetColor(22), 0);  // unused entries stay black
  EXPECT_EQ(bitmap.GetColor(100), 0);

  EXPECT_THROW(bitmap.From16To256(), EFulgoError);  // already 8-bit
}

}  // namespace
}  // namespace vantora
