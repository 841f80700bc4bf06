#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Fultype.h"
#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "host/classes/Errors.h"
#include "host/graphics/Gdi.h"
#include "palette/Fulone.h"
#include "support/Raises.h"

namespace vantora {
namespace {

using Builder = tFulgoOnePalette;

// Colour-table order: blue in the low byte.
constexpr std::uint32_t Bgr(int r, int g, int b) {
  return static_cast<std::uint32_t>(b | (g << 8) | (r << 16));
}

// A Width x 2 bitmap whose table entries are Table (the rest black) and whose pixels run through
// the indices 0, 1, 2, ... padding included.
void MakeBitmap(tFulgoDib& bitmap, const std::vector<std::uint32_t>& table, TWidth width = 5) {
  bitmap.MakeNew(width, 2);
  std::uint8_t* t = dib::ColorTable(bitmap.Dib);
  for (std::size_t i = 0; i < 256; ++i) dib::Put32(t + 4 * i, i < table.size() ? table[i] : 0);
  const std::size_t bytes = dib::RowStride(width) * 2;
  for (std::size_t i = 0; i < bytes; ++i) dib::Bits(bitmap.Dib)[i] = static_cast<std::uint8_t>(i);
}

std::uint32_t EntryBgr(const Builder::TEntry& e) {
  return Bgr(e.Red, e.Green, e.Blue);
}

int CityBlock(std::uint32_t a, const Builder::TEntry& e) {
  return std::abs(int(a >> 16 & 255) - e.Red) + std::abs(int(a >> 8 & 255) - e.Green) +
         std::abs(int(a & 255) - e.Blue);
}

// Records of a box's list, in list order.
std::vector<int> ListOf(const Builder& p, int box) {
  std::vector<int> records;
  for (int r = p.Boxes[box].Head; r >= 0; r = p.Colors[r].Next) records.push_back(r);
  return records;
}

std::uint32_t ReducedAt(const Builder::TReducedColors& reduced, int j) {
  return Bgr(reduced[j].Red, reduced[j].Green, reduced[j].Blue);
}

std::array<host::PALETTEENTRY, 256> EntriesOf(host::HPALETTE palette) {
  std::array<host::PALETTEENTRY, 256> entries{};
  EXPECT_EQ(host::GetPaletteEntries(palette, 0, 256, entries.data()), 256u);
  return entries;
}

std::array<host::PALETTEENTRY, 256> SystemEntries() {
  std::array<host::PALETTEENTRY, 256> entries{};
  const host::HDC screen = host::GetDC(nullptr);
  host::GetSystemPaletteEntries(screen, 0, 256, entries.data());
  host::ReleaseDC(nullptr, screen);
  return entries;
}

bool Same(const host::PALETTEENTRY& a, const host::PALETTEENTRY& b) {
  return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue && a.peFlags == b.peFlags;
}

TEST(FulgoOnePalette, ColoursThatFitKeepRegistrationOrderAndMapExactly) {
  std::vector<std::uint32_t> table;
  for (int i = 0; i < 100; ++i) table.push_back(Bgr(20 + i, 7, 100));
  tFulgoDib bitmap;
  MakeBitmap(bitmap, table);  // entries 100..254 black; 255 white, as in a fresh table
  dib::Put32(dib::ColorTable(bitmap.Dib) + 4 * 255, Bgr(255, 255, 255));

  Builder p;
  EXPECT_EQ(p.AddFixBrush(0x00030201), 10);
  EXPECT_EQ(p.AddFixBrush(25 | 7 << 8 | 100 << 16), 11);  // the colour of table entry 5
  EXPECT_EQ(p.AddFixBrush(0x80000005), 12);               // system colour "window": white
  EXPECT_EQ(p.AddFixBrush(0x00030201), 10);
  EXPECT_EQ(p.AddDib(bitmap), 1);
  EXPECT_EQ(p.AddDib(bitmap), 2);
  EXPECT_EQ(p.ColorCount, 102);  // 100 colours, black, white; nothing new the second time
  p.BuildPalette();

  EXPECT_EQ(p.UseMedianCut, 0);
  const auto system = SystemEntries();
  for (int i : {0, 9, 246, 255})
    EXPECT_EQ(EntryBgr(p.Palette[i]), Bgr(system[i].peRed, system[i].peGreen, system[i].peBlue)) << i;
  EXPECT_EQ(EntryBgr(p.Palette[10]), Bgr(1, 2, 3));
  EXPECT_EQ(EntryBgr(p.Palette[11]), table[5]);
  EXPECT_EQ(p.Palette[12].Flag, 4);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(EntryBgr(p.Palette[13 + i]), table[i]) << i;
  EXPECT_EQ(EntryBgr(p.Palette[113]), 0u);
  EXPECT_EQ(EntryBgr(p.Palette[114]), 0xFFFFFFu);
  EXPECT_EQ(p.Palette[114].Flag, 0);
  for (int i = 115; i < 246; ++i) ASSERT_EQ(EntryBgr(p.Palette[i]), 0u) << i;

  // The first palette entry of the same colour, flags ignored: the brush at 11 for entry 5, the
  // static black at 0, the white brush at 12. Padding bytes (5..7 and 13..15) are remapped too.
  p.ChangeDib(bitmap, 2);
  const std::uint8_t* bits = dib::Bits(bitmap.Dib);
  const std::vector<std::uint8_t> expected = {13, 14, 15, 16, 17, 11, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28};
  EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + 16), expected);
  tFulgoDib edges;
  MakeBitmap(edges, table, 4);
  dib::Bits(edges.Dib)[0] = 200;
  dib::Bits(edges.Dib)[1] = 255;
  dib::Put32(dib::ColorTable(edges.Dib) + 4 * 255, Bgr(255, 255, 255));
  p.ChangeDib(edges, 1);
  EXPECT_EQ(dib::Bits(edges.Dib)[0], 0);
  EXPECT_EQ(dib::Bits(edges.Dib)[1], 12);
}

TEST(FulgoOnePalette, RasterMapIsWhatChangeDibDoesToEachByte) {
  // Runs of repeated entries (a gradient's black tail, a colour twice in a row) between distinct
  // ones; fitting the palette and, with more colours than entries, reduced.
  for (int distinct : {40, 300}) {
    Builder p;
    std::vector<tFulgoDib> bitmaps((distinct + 99) / 100);
    for (std::size_t k = 0; k < bitmaps.size(); ++k) {
      std::vector<std::uint32_t> table;
      for (int i = 0; i < std::min(100, distinct); ++i) {
        const int c = static_cast<int>(k) * 100 + i;
        table.push_back(Bgr(c & 255, (c * 7) & 255, i));
        if (i % 2 == 1 && i < 20) table.back() = table[table.size() - 2];
      }
      MakeBitmap(bitmaps[k], table, 256);
      p.AddDib(bitmaps[k]);
    }
    p.BuildPalette();
    EXPECT_EQ(p.UseMedianCut, distinct > 236 ? 255 : 0);
    for (std::size_t k = 0; k < bitmaps.size(); ++k) {
      const auto number = static_cast<std::uint16_t>(k + 1);
      const Builder::TRasterMap map = p.RasterMap(bitmaps[k], number);
      p.ChangeDib(bitmaps[k], number);
      for (int j = 0; j < 256; ++j) ASSERT_EQ(dib::Bits(bitmaps[k].Dib)[j], map[j]) << distinct << " " << j;
      for (int j = 1; j < 20; j += 2) EXPECT_EQ(map[j], map[j - 1]);
    }
  }
}

// Without reduction every byte takes the first palette entry of its colour: a static colour, a
// brush or a reserved (black) entry before the bitmap's own entries, or an earlier entry of the
// same colour with another fourth byte.
TEST(FulgoOnePalette, UnreducedBytesTakeTheFirstEntryOfTheirColour) {
  for (int reserved : {0, 5}) {
    Builder p;
    p.Reserved = static_cast<std::int16_t>(reserved);
    p.AddFixBrush(0x00332211);
    tFulgoDib first, second;
    MakeBitmap(first, {Bgr(0x11, 0x22, 0x33), Bgr(9, 9, 9), Bgr(128, 0, 0), Bgr(9, 9, 9) | 1u << 24,
                       Bgr(255, 255, 255), Bgr(40, 50, 60)});
    MakeBitmap(second, {Bgr(40, 50, 60), Bgr(1, 2, 3), Bgr(9, 9, 9) | 7u << 24, Bgr(0x11, 0x22, 0x33)});
    p.AddDib(first);
    p.AddDib(second);
    p.BuildPalette();
    ASSERT_EQ(p.UseMedianCut, 0);
    for (std::uint16_t number : {1, 2}) {
      const tFulgoDib& bitmap = number == 1 ? first : second;
      const Builder::TRasterMap map = p.RasterMap(bitmap, number);
      for (std::size_t j = 0; j < 256; ++j) {
        const std::uint32_t colour = dib::Get32(dib::ColorTable(bitmap.Dib) + 4 * j) & 0x00FFFFFFu;
        std::size_t want = 0;
        while (want < 256 && EntryBgr(p.Palette[want]) != colour) ++want;
        ASSERT_LT(want, 256u) << j;
        ASSERT_EQ(map[j], want) << "bitmap " << number << " entry " << j << " reserved " << reserved;
      }
    }
    const Builder::TRasterMap map = p.RasterMap(first, 1);
    EXPECT_EQ(map[0], 10 + reserved);  // the brush
    EXPECT_EQ(map[3], map[1]);
    EXPECT_EQ(map[255], 0);  // black is the first static colour
  }
}

TEST(FulgoOnePalette, SplitCutsBeforeTheBucketThatReachesHalf) {
  Builder p;
  for (std::uint32_t c : {Bgr(10, 0, 0), Bgr(10, 1, 0), Bgr(10, 2, 0), Bgr(200, 0, 0)}) p.AddBrush(c);
  const auto reduced = p.MedianCut(2);
  // Red (range 190) is cut; the bucket of red 10 holds 3 of 4, so half moves past it.
  EXPECT_EQ(ListOf(p, 0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ListOf(p, 1), (std::vector<int>{3}));
  EXPECT_EQ(p.Boxes[0].Count, 3);
  EXPECT_EQ(p.Boxes[1].Count, 1);
  EXPECT_EQ(p.Boxes[0].Level, 1);
  EXPECT_EQ(p.Boxes[1].Level, 1);
  EXPECT_EQ(p.Boxes[0].GreenMax, 2);
  EXPECT_EQ(p.Boxes[1].RedMin, 200);
  EXPECT_EQ(reduced[0].Red, 10);
  EXPECT_EQ(reduced[0].Green, 1);
  EXPECT_EQ(reduced[1].Red, 200);
  EXPECT_EQ(p.ColorMap, (std::vector<std::uint16_t>{0, 0, 0, 1}));

  // Single colours per bucket: half 2 cuts before the second bucket. Lists are concatenated by
  // channel value, whatever the registration order; the box colour is the truncated mean.
  Builder q;
  for (int red : {41, 10, 30, 21}) q.AddBrush(Bgr(red, 5, 5));
  const auto halves = q.MedianCut(2);
  EXPECT_EQ(ListOf(q, 0), (std::vector<int>{1}));
  EXPECT_EQ(ListOf(q, 1), (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(q.Boxes[1].Count, 3);
  EXPECT_EQ(halves[1].Red, 30);  // 92 / 3
}

TEST(FulgoOnePalette, AxisTiesGoToBlueThenGreen) {
  struct Case {
    std::vector<std::uint32_t> colours;
    int upperRecord;  // alone in the upper box
  };
  const std::vector<Case> cases = {
      {{Bgr(0, 0, 0), Bgr(50, 0, 10), Bgr(0, 50, 0)}, 2},                // r = g > b: green
      {{Bgr(0, 0, 0), Bgr(50, 0, 0), Bgr(0, 10, 50)}, 2},                // r = b > g: blue
      {{Bgr(0, 0, 0), Bgr(50, 0, 0), Bgr(0, 50, 0), Bgr(0, 0, 50)}, 3},  // all equal: blue
      {{Bgr(0, 0, 0), Bgr(60, 0, 0), Bgr(0, 50, 50)}, 1},                // red widest
  };
  for (const Case& c : cases) {
    Builder p;
    for (std::uint32_t colour : c.colours) p.AddBrush(colour);
    p.MedianCut(2);
    EXPECT_EQ(ListOf(p, 1), std::vector<int>{c.upperRecord}) << "case with upper " << c.upperRecord;
  }
}

TEST(FulgoOnePalette, LeastSplitBoxFirstAndNearestBoxColour) {
  Builder p;
  for (int red = 0; red < 80; red += 10) p.AddBrush(Bgr(red, 0, 0));
  const auto reduced = p.MedianCut(3);
  // First cut: {0, 10, 20} | {30..70}. Both are level 1; box 0 is cut next: {0} | {10, 20}.
  EXPECT_EQ(ListOf(p, 0), (std::vector<int>{0}));
  EXPECT_EQ(ListOf(p, 1), (std::vector<int>{3, 4, 5, 6, 7}));
  EXPECT_EQ(ListOf(p, 2), (std::vector<int>{1, 2}));
  EXPECT_EQ(p.Boxes[0].Level, 2);
  EXPECT_EQ(p.Boxes[1].Level, 1);
  EXPECT_EQ(reduced[2].Red, 15);
  EXPECT_EQ(reduced[1].Red, 50);
  // Red 30 lies in box 1 but is nearer box 2's colour (15 against 20).
  EXPECT_EQ(p.ColorMap, (std::vector<std::uint16_t>{0, 2, 2, 2, 1, 1, 1, 1}));

  p.ExactMap = 1;
  p.MedianCut(3);
  EXPECT_EQ(p.ColorMap, (std::vector<std::uint16_t>{0, 2, 2, 1, 1, 1, 1, 1}));

  // Equal distances: the lowest box number. Means 0 and 20 (mean of 10 and 30) are both 10 from 10.
  Builder t;
  for (int red : {0, 10, 30}) t.AddBrush(Bgr(red, 0, 0));
  t.MedianCut(2);
  EXPECT_EQ(t.ColorMap, (std::vector<std::uint16_t>{0, 0, 1}));

  // Boxes laid out by hand: box 1 holds red 10, 10 (another reserved byte) and 40, mean 20; red 40
  // is as far from it as from box 0's red 60, the farthest a colour of box 1 can be, so box 0 wins.
  Builder h;
  for (std::uint32_t c : {Bgr(60, 0, 0), Bgr(10, 0, 0), Bgr(10, 0, 0) | 1u << 24, Bgr(40, 0, 0)})
    h.AddBrush(c);
  h.Colors[0].Next = -1;
  h.Colors[3].Next = -1;
  h.Boxes[0] = {0, 1, 1, 0, 0, 0, 0, 0, 0};
  h.Boxes[1] = {1, 3, 1, 0, 0, 0, 0, 0, 0};
  h.Shrink(h.Boxes[0]);
  h.Shrink(h.Boxes[1]);
  EXPECT_EQ(h.Boxes[1].RedMax, 40);
  const auto handLaid = h.InvMap(2);
  EXPECT_EQ(handLaid[1].Red, 20);
  EXPECT_EQ(h.ColorMap, (std::vector<std::uint16_t>{0, 1, 1, 0}));
}

TEST(FulgoOnePalette, BoxesThatDifferOnlyInTheReservedByteAreNotSplit) {
  Builder p;
  for (std::uint32_t reserved = 0; reserved < 3; ++reserved) p.AddBrush(Bgr(90, 80, 70) | reserved << 24);
  p.AddBrush(Bgr(10, 20, 30));
  EXPECT_EQ(p.ColorCount, 4);
  const auto reduced = p.MedianCut(4);
  EXPECT_EQ(p.ColorMap, (std::vector<std::uint16_t>{1, 1, 1, 0}));
  EXPECT_EQ(ReducedAt(reduced, 1), Bgr(90, 80, 70));
  EXPECT_EQ(ReducedAt(reduced, 2), 0u);  // only two boxes could be made
}

TEST(FulgoOnePalette, ReductionLaysOutBrushesThenBoxColoursAndMapsToTheNearest) {
  // 300 colours over the cube from two bitmaps, two of them registered twice.
  std::vector<std::uint32_t> first, second;
  for (int i = 0; i < 256; ++i) first.push_back(Bgr(i, (i * 37) & 255, (i * 101) & 255));
  for (int i = 0; i < 44; ++i) second.push_back(Bgr((i * 53) & 255, i * 5, 255 - i));
  tFulgoDib a, b, a2;
  MakeBitmap(a, first);
  MakeBitmap(b, second);
  MakeBitmap(a2, first);
  Builder p;
  p.AddFixBrush(0x00112233);
  EXPECT_EQ(p.AddDib(a), 1);
  EXPECT_EQ(p.AddDib(b), 2);  // its black entries are already known
  EXPECT_EQ(p.AddDib(a2), 3);
  EXPECT_EQ(p.ColorCount, 300);
  p.AddFixBrush(0x00445566);
  p.BuildPalette();

  ASSERT_EQ(p.UseMedianCut, 255);
  EXPECT_EQ(EntryBgr(p.Palette[10]), Bgr(0x33, 0x22, 0x11));
  EXPECT_EQ(EntryBgr(p.Palette[11]), Bgr(0x66, 0x55, 0x44));
  EXPECT_EQ(p.Palette[11].Flag, 4);
  // 234 reduced colours at 12..245; each table colour goes to the nearest of them, the first on ties.
  for (tFulgoDib* bitmap : {&b, &a2}) {
    std::vector<std::uint32_t> colours(256);
    for (int j = 0; j < 256; ++j) colours[j] = dib::Get32(dib::ColorTable(bitmap->Dib) + 4 * j);
    tFulgoDib probe;
    MakeBitmap(probe, colours, 256);
    p.ChangeDib(probe, bitmap == &b ? 2 : 3);
    for (int j = 0; j < 256; ++j) {
      int best = 12;
      for (int q = 13; q < 246; ++q)
        if (CityBlock(colours[j], p.Palette[q]) < CityBlock(colours[j], p.Palette[best])) best = q;
      ASSERT_EQ(dib::Bits(probe.Dib)[j], best) << "table entry " << j;
    }
  }
  // The composed image takes the palette as its table.
  p.SetColorTabelTo(a);
  EXPECT_EQ(dib::Get32(dib::ColorTable(a.Dib) + 4 * 11), Bgr(0x66, 0x55, 0x44) | 4u << 24);

  // A second build relinks the records and gives the same palette.
  const auto palette = p.Palette;
  const auto map = p.ColorMap;
  p.BuildPalette();
  EXPECT_EQ(p.ColorMap, map);
  EXPECT_EQ(0, std::memcmp(p.Palette.data(), palette.data(), sizeof palette));
}

// The cut done literally on linked lists and 256 buckets, with a search of every box for the
// inverse map: slow, but plainly right, for comparing with the builder on many colours.
struct ReferenceCut {
  struct Box {
    int head, count, level;
    int low[3], high[3];  // red, green, blue
  };
  std::vector<std::array<int, 3>> rgb;
  std::vector<int> next;
  std::vector<Box> boxes;
  std::vector<int> map;

  void Shrink(Box& box) const {
    for (int ch = 0; ch < 3; ++ch) box.low[ch] = 255, box.high[ch] = 0;
    for (int r = box.head; r >= 0; r = next[r])
      for (int ch = 0; ch < 3; ++ch)
        box.low[ch] = std::min(box.low[ch], rgb[r][ch]), box.high[ch] = std::max(box.high[ch], rgb[r][ch]);
  }

  void Cut(int n) {
    const int count = static_cast<int>(rgb.size());
    next.resize(count);
    for (int i = 0; i < count; ++i) next[i] = i + 1 < count ? i + 1 : -1;
    boxes = {Box{0, count, 0, {}, {}}};
    Shrink(boxes[0]);
    while (static_cast<int>(boxes.size()) < n) {
      int chosen = -1;
      for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        const Box& b = boxes[i];
        const bool spread = b.low[0] != b.high[0] || b.low[1] != b.high[1] || b.low[2] != b.high[2];
        if (spread && b.level < n && (chosen < 0 || b.level < boxes[chosen].level)) chosen = i;
      }
      if (chosen < 0) break;
      Box box = boxes[chosen];
      const int r = box.high[0] - box.low[0], g = box.high[1] - box.low[1], b = box.high[2] - box.low[2];
      int axis = 0;
      if (r >= g && r >= b) axis = 0;
      if (g >= r && g >= b) axis = 1;
      if (b >= r && b >= g) axis = 2;
      std::vector<int> head(256, -1), tail(256, -1), size(256, 0);
      for (int rec = box.head; rec >= 0;) {
        const int following = next[rec], v = rgb[rec][axis];
        if (size[v]++ == 0)
          head[v] = rec;
        else
          next[tail[v]] = rec;
        tail[v] = rec;
        rec = following;
      }
      int half = box.count / 2, sum = 0, lower = -1, upperHead = -1, previous = -1;
      bool first = true;
      for (int v = box.low[axis]; v <= box.high[axis]; ++v) {
        if (size[v] == 0) continue;
        if (first && size[v] >= half) half = size[v] + 1;
        if (first) box.head = head[v];
        first = false;
        if (previous >= 0) next[previous] = head[v];
        sum += size[v];
        if (sum >= half && lower < 0) {
          next[previous] = -1;
          upperHead = head[v];
          lower = sum - size[v];
        }
        previous = tail[v];
      }
      next[previous] = -1;
      Box upper{upperHead, box.count - lower, box.level + 1, {}, {}};
      box.count = lower, box.level += 1;
      Shrink(box), Shrink(upper);
      boxes[chosen] = box;
      boxes.push_back(upper);
    }
    std::vector<std::array<int, 3>> means;
    for (const Box& box : boxes) {
      std::array<int, 3> sum{};
      for (int r = box.head; r >= 0; r = next[r])
        for (int ch = 0; ch < 3; ++ch) sum[ch] += rgb[r][ch];
      means.push_back({sum[0] / box.count, sum[1] / box.count, sum[2] / box.count});
    }
    map.assign(count, 0);
    for (int rec = 0; rec < count; ++rec) {
      int best = 2000000000;
      for (int k = 0; k < static_cast<int>(means.size()); ++k) {
        int d = 0;
        for (int ch = 0; ch < 3; ++ch) d += std::abs(rgb[rec][ch] - means[k][ch]);
        if (d < best) best = d, map[rec] = k;
      }
    }
  }
};

TEST(FulgoOnePalette, CutAgreesWithTheLiteralListsOnManyColours) {
  // Clusters of near colours with repeated channel values, so that buckets, ties of distance and
  // boxes that cannot be split all occur; some colours come twice with another reserved byte.
  std::uint32_t seed = 12345;
  const auto random = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
  };
  for (const int clusters : {1, 12, 60}) {
    Builder p;
    ReferenceCut reference;
    for (int attempt = 0; attempt < 20000 && p.ColorCount < 3000; ++attempt) {
      const int cluster = random(clusters);
      const int r = (cluster * 97) % 256, g = (cluster * 53) % 256, b = (cluster * 29) % 256;
      const int spread = 24 + cluster % 40;
      const std::uint32_t colour = Bgr(std::min(255, r + random(spread)), std::min(255, g + random(spread)),
                                       std::min(255, b + random(spread))) |
                                   static_cast<std::uint32_t>(random(8) == 0) << 24;
      const std::int32_t before = p.ColorCount;
      p.AddBrush(colour);
      if (p.ColorCount > before)
        reference.rgb.push_back({int(colour >> 16 & 255), int(colour >> 8 & 255), int(colour & 255)});
    }
    ASSERT_EQ(p.ColorCount, 3000);
    for (const int n : {236, 37}) {
      reference.Cut(n);
      p.MedianCut(n);
      ASSERT_LE(reference.boxes.size(), static_cast<std::size_t>(n));
      for (std::size_t j = 0; j < reference.boxes.size(); ++j) {
        const auto& want = reference.boxes[j];
        const auto& got = p.Boxes[j];
        ASSERT_EQ(got.Head, want.head) << "box " << j << " of " << clusters << " clusters, " << n;
        ASSERT_EQ(got.Count, want.count) << "box " << j;
        ASSERT_EQ(got.Level, want.level) << "box " << j;
        ASSERT_EQ((std::array<int, 6>{got.RedMin, got.RedMax, got.GreenMin, got.GreenMax, got.BlueMin,
                                      got.BlueMax}),
                  (std::array<int, 6>{want.low[0], want.high[0], want.low[1], want.high[1], want.low[2],
                                      want.high[2]}))
            << "box " << j;
      }
      for (std::size_t i = 0; i < reference.next.size(); ++i)
        ASSERT_EQ(p.Colors[i].Next, reference.next[i]) << i;
      for (std::size_t i = 0; i < reference.map.size(); ++i) ASSERT_EQ(p.ColorMap[i], reference.map[i]) << i;
    }
  }
}

TEST(FulgoOnePalette, FindBrushPrefersAnExactEntryWithItsFlag) {
  Builder p;
  p.AddFixBrush(0x000000FF);  // red, also static entry 249
  p.AddFixBrush(0x00030201);
  p.AddBrush(Bgr(200, 100, 50));
  p.BuildPalette();
  EXPECT_EQ(p.FindBrush(Bgr(255, 0, 0)), 249);  // the brush at 10 carries flag 4
  EXPECT_EQ(p.FindBrush(Bgr(1, 2, 3)), 11);     // brush only: found at distance 0
  EXPECT_EQ(p.FindBrush(Bgr(200, 100, 50)), 12);
  EXPECT_EQ(p.FindBrush(Bgr(198, 104, 50)), 12);                 // nearest
  EXPECT_EQ(p.FindBrush(static_cast<TColor>(0x80000005)), 255);  // system white, resolved
}

TEST(FulgoOnePalette, LogicalPaletteKeepsSystemEntriesUnderBlackOnes) {
  const auto system = SystemEntries();
  Builder p;
  p.AddFixBrush(0x00336699);
  p.AddBrush(Bgr(1, 2, 3));
  p.BuildPalette();
  ASSERT_NE(p.PaletteHandle, nullptr);
  const auto entries = EntriesOf(p.PaletteHandle);
  for (int i : {0, 9, 12, 200, 245, 246, 255}) EXPECT_TRUE(Same(entries[i], system[i])) << i;
  EXPECT_TRUE(Same(entries[10], host::PALETTEENTRY{0x99, 0x66, 0x33, host::PC_NOCOLLAPSE}));
  EXPECT_TRUE(Same(entries[11], host::PALETTEENTRY{1, 2, 3, host::PC_NOCOLLAPSE}));
  // Over the system palette as BuildPalette read it or as read once more: the same palette.
  p.CreateLogicalPalette();
  const auto again = EntriesOf(p.PaletteHandle);
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(Same(again[i], entries[i])) << i;

  // A bitmap's own table: non-black static entries are taken without a flag.
  tFulgoDib bitmap;
  MakeBitmap(bitmap, {Bgr(10, 20, 30)});
  dib::Put32(dib::ColorTable(bitmap.Dib) + 4 * 100, Bgr(7, 8, 9));
  dib::Put32(dib::ColorTable(bitmap.Dib) + 4 * 255, Bgr(250, 251, 252));
  const host::HPALETTE built = p.PaletteHandle;
  p.CreatePaletteFrom(bitmap);
  EXPECT_EQ(host::DeleteObject(built), host::FALSE);  // replaced, so already deleted
  const auto fromTable = EntriesOf(p.PaletteHandle);
  EXPECT_TRUE(Same(fromTable[0], host::PALETTEENTRY{10, 20, 30, 0}));
  EXPECT_TRUE(Same(fromTable[100], host::PALETTEENTRY{7, 8, 9, host::PC_NOCOLLAPSE}));
  EXPECT_TRUE(Same(fromTable[101], system[101]));
  EXPECT_TRUE(Same(fromTable[255], host::PALETTEENTRY{250, 251, 252, 0}));
}

TEST(FulgoOnePalette, BitmapAndBuilderMakeTheSameLogicalPaletteOfATable) {
  tFulgoDib bitmap;
  MakeBitmap(bitmap, {Bgr(10, 20, 30)});
  for (int i : {9, 10, 100, 245, 246}) dib::Put32(dib::ColorTable(bitmap.Dib) + 4 * i, Bgr(i, 255 - i, 7));
  Builder p;
  p.CreatePaletteFrom(bitmap);
  const auto fromBuilder = EntriesOf(p.PaletteHandle);
  const auto fromBitmap = EntriesOf(bitmap.GetLogPalette());
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(Same(fromBitmap[i], fromBuilder[i])) << i;
  EXPECT_EQ(fromBitmap[245].peFlags, host::PC_NOCOLLAPSE);
  EXPECT_EQ(fromBitmap[246].peFlags, 0);
}

TEST(FulgoOnePalette, TakenPaletteOutlivesTheBuilder) {
  host::HPALETTE kept = nullptr, left = nullptr;
  {
    Builder taker, other;
    taker.AddBrush(Bgr(40, 50, 60));
    taker.BuildPalette();
    other.BuildPalette();
    kept = taker.PaletteHandle.release();
    left = other.PaletteHandle;
  }
  EXPECT_EQ(EntriesOf(kept)[10].peRed, 40);
  EXPECT_EQ(host::DeleteObject(kept), host::TRUE);
  EXPECT_EQ(host::DeleteObject(left), host::FALSE);
}

// One render's registrations: brushes and whole tables, in order, and the entries kept free.
struct Registrations {
  struct Item {
    char kind;  // 'f' fixed brush, 'b' brush, 't' table
    std::vector<std::uint32_t> colours;
  };
  std::vector<Item> items;
  std::int16_t reserved = 0;
};

// What a build answers: the registrations' answers, the palette, every table's raster map.
std::vector<std::uint32_t> Build(Builder& p, const Registrations& r) {
  // Both are settings a build also writes back (MaxColors capped by Reserved).
  p.Reserved = r.reserved;
  p.MaxColors = Builder::kMaxReduced;
  std::vector<std::uint32_t> out, tables;
  for (const auto& item : r.items) {
    if (item.kind == 'f') {
      out.push_back(p.AddFixBrush(static_cast<TColor>(item.colours[0])));
    } else if (item.kind == 'b') {
      p.AddBrush(item.colours[0]);
    } else {
      std::array<std::uint8_t, 1024> table{};
      for (std::size_t j = 0; j < item.colours.size(); ++j) dib::Put32(table.data() + 4 * j, item.colours[j]);
      tables.push_back(p.AddColorTable(table.data()));
      out.push_back(tables.back());
    }
  }
  p.BuildPalette();
  out.push_back(p.UseMedianCut);
  for (const auto& e : p.Palette) out.push_back(EntryBgr(e) | std::uint32_t{e.Flag} << 24);
  for (const std::uint32_t n : tables)
    for (const std::uint8_t index : p.RasterMap(static_cast<std::uint16_t>(n))) out.push_back(index);
  for (const auto& e : EntriesOf(p.PaletteHandle)) out.push_back(Bgr(e.peRed, e.peGreen, e.peBlue));
  return out;
}

TEST(FulgoOnePalette, ARestartedBuilderAnswersAsAFreshOneWhatEverItRepeats) {
  std::uint32_t seed = 99;
  const auto random = [&seed](std::uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  const auto table = [&](std::size_t n) {
    std::vector<std::uint32_t> colours(n);
    for (auto& c : colours) c = random(1u << 24);
    return colours;
  };
  Registrations r;
  r.items = {{'f', {0x203040}}, {'t', table(120)}, {'b', {0x0000FF}}, {'t', table(30)}, {'f', {0xFFFFFF}}};
  Builder kept;
  for (int round = 0; round < 60; ++round) {
    // Each render repeats the last, or changes one thing: a colour anywhere, one registration more
    // or less at the end, the entries kept free; sometimes enough colours for a median cut.
    switch (random(7)) {
      case 0:
      case 1:
        break;
      case 2: {
        auto& item = r.items[random(static_cast<std::uint32_t>(r.items.size()))];
        item.colours[random(static_cast<std::uint32_t>(item.colours.size()))] = random(1u << 24);
        break;
      }
      case 3:
        if (r.items.size() > 1) r.items.pop_back();
        break;
      case 4:
        r.items.push_back({"fbt"[random(3)], {}});
        r.items.back().colours = r.items.back().kind == 't' ? table(1 + random(256)) : table(1);
        break;
      case 5:
        r.reserved = static_cast<std::int16_t>(random(3));
        break;
      default:
        r.items.insert(r.items.begin(), Registrations::Item{'f', {random(1u << 24)}});
        break;
    }
    if (round > 0) kept.Restart();
    Builder fresh;
    ASSERT_EQ(Build(kept, r), Build(fresh, r)) << "render " << round;
  }
}

TEST(FulgoOnePalette, ColourRecordsGrowAndStayFindable) {
  Builder p;
  std::vector<tFulgoDib> bitmaps(5);
  for (int n = 0; n < 5; ++n) {
    std::vector<std::uint32_t> table;
    for (int i = 0; i < 256; ++i) table.push_back(Bgr(n * 40, i, 255 - i));
    MakeBitmap(bitmaps[n], table);
    p.AddDib(bitmaps[n]);
  }
  EXPECT_EQ(p.ColorCount, 1280);
  EXPECT_EQ(p.Colors.size(), 2048u);  // 1024 left too few free records before the fifth bitmap
  EXPECT_EQ(p.Colors[700].Number, 700);
  EXPECT_EQ(p.Colors[700].Next, 701);
  EXPECT_EQ(p.AddDib(bitmaps[0]), 6);
  p.AddBrush(Bgr(120, 3, 252));
  EXPECT_EQ(p.ColorCount, 1280);
  EXPECT_EQ(p.DibMaps[6][3], 3);
  EXPECT_EQ(p.DibMaps[5][3], 1027);
}

TEST(FulgoOnePalette, TablesGrowPastFortyNineBitmapsAndTwoHundredBrushes) {
  Builder p;
  std::vector<tFulgoDib> bitmaps(60);
  for (int n = 0; n < 60; ++n) {
    MakeBitmap(bitmaps[n], {Bgr(n, 1, 2)});
    ASSERT_EQ(p.AddDib(bitmaps[n]), n + 1);
  }
  p.BuildPalette();  // 61 colours fit
  p.ChangeDib(bitmaps[59], 60);
  EXPECT_EQ(EntryBgr(p.Palette[dib::Bits(bitmaps[59].Dib)[0]]), Bgr(59, 1, 2));

  Builder brushes;
  for (int k = 0; k < 236; ++k) ASSERT_EQ(brushes.AddFixBrush(k + 1), 10 + k);
  EXPECT_THROW(brushes.AddFixBrush(0x00ABCDEF), EFulgoError);
  EXPECT_EQ(brushes.AddFixBrush(236), 245);
  brushes.BuildPalette();
  EXPECT_EQ(EntryBgr(brushes.Palette[245]), Bgr(236, 0, 0));
  const host::PALETTEENTRY firstHigh = SystemEntries()[246];  // untouched by the last brush
  EXPECT_EQ(EntryBgr(brushes.Palette[246]), Bgr(firstHigh.peRed, firstHigh.peGreen, firstHigh.peBlue));
  brushes.AddBrush(Bgr(1, 1, 1));
  EXPECT_THROW(brushes.BuildPalette(), EFulgoError);
}

TEST(FulgoOnePalette, BadCallsRaiseClearErrors) {
  Builder p;
  tFulgoDib empty, bitmap;
  MakeBitmap(bitmap, {Bgr(1, 2, 3)});
  EXPECT_THROW(p.AddDib(empty), ENoBMPInSource);
  p.AddDib(bitmap);
  p.BuildPalette();
  EXPECT_THROW(p.ChangeDib(bitmap, 0), EFulgoError);
  EXPECT_THROW(p.ChangeDib(bitmap, 2), EFulgoError);
  EXPECT_THROW(p.ChangeDib(empty, 1), ENoBMPInSource);
  EXPECT_THROW(p.MedianCut(237), EFulgoError);
  EXPECT_TRUE(test::Raises<EDontCreatDib>([&] { p.CreatePaletteFrom(empty); },
                                          "Palette could not be created - No Dib"));
  p.Reserved = 237;
  EXPECT_THROW(p.BuildPalette(), EFulgoError);
}

}  // namespace
}  // namespace vantora
