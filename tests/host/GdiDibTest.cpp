// Device-independent bitmaps drawn on devices, written into device bitmaps and read back.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "host/GdiTestSupport.h"

namespace vantora::host {
namespace {

using testing::GdiTest;
using testing::MemorySurface;

// A DIB built by hand: header, colour table and rows (stored in the header's order).
struct Dib {
  BITMAPINFO256 info{};
  std::vector<BYTE> bits;
  std::size_t stride;

  Dib(int width, int height, WORD bitCount, DWORD compression = BI_RGB) {
    BITMAPINFOHEADER& h = info.bmiHeader;
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biCompression = compression;
    stride = DibStride(width, bitCount);
    bits.assign(stride * static_cast<std::size_t>(height < 0 ? -height : height), 0);
  }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(&info); }
  BYTE* Stored(int row) { return bits.data() + static_cast<std::size_t>(row) * stride; }
  void Color(int index, COLORREF c) {
    info.bmiColors[index] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
  }
  void SetRle(std::vector<BYTE> data) {
    bits = std::move(data);
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bits.size());
  }
};

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

using DibTest = GdiTest;

TEST_F(DibTest, StretchDIBitsScalesABottomUp2x2To4x4) {
  Dib dib(2, 2, 8);
  const COLORREF colors[4] = {kRed, kGreen, kBlue, kWhite};
  for (int i = 0; i < 4; ++i) dib.Color(i, colors[i]);
  // Stored bottom row first: the picture's top row is 0 1, its bottom row 2 3.
  dib.Stored(0)[0] = 2, dib.Stored(0)[1] = 3;
  dib.Stored(1)[0] = 0, dib.Stored(1)[1] = 1;
  MemorySurface s(4, 4);
  EXPECT_EQ(StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 2, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY),
            4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s.At(x, y), colors[(y / 2) * 2 + x / 2]) << x << "," << y;
}

TEST_F(DibTest, EveryDepthDrawsTheSamePicture) {
  // Top row red green blue white, bottom row the reverse.
  const COLORREF top[4] = {kRed, kGreen, kBlue, kWhite};
  auto check = [&](Dib& dib, const char* what) {
    MemorySurface s(4, 2, RGB(7, 7, 7));
    EXPECT_EQ(SetDIBitsToDevice(s.dc, 0, 0, 4, 2, 0, 0, 0, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 2)
        << what;
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(s.At(x, 0), top[x]) << what << " column " << x;
      EXPECT_EQ(s.At(x, 1), top[3 - x]) << what << " column " << x;
    }
  };
  auto rowOf = [&](int stored, int x) { return stored == 1 ? x : 3 - x; };  // colour index at a stored place

  Dib eight(4, 2, 8), four(4, 2, 4);
  for (int i = 0; i < 4; ++i) eight.Color(i, top[i]), four.Color(i, top[i]);
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 4; ++x) {
      eight.Stored(r)[x] = static_cast<BYTE>(rowOf(r, x));
      four.Stored(r)[x / 2] |= static_cast<BYTE>(rowOf(r, x) << ((x & 1) ? 0 : 4));
    }
  check(eight, "8 bits");
  check(four, "4 bits");

  Dib topDown(4, -2, 8);
  for (int i = 0; i < 4; ++i) topDown.Color(i, top[i]);
  std::memcpy(topDown.Stored(0), eight.Stored(1), 4);
  std::memcpy(topDown.Stored(1), eight.Stored(0), 4);
  check(topDown, "8 bits top-down");

  const WORD five55[4] = {0x7C00, 0x03E0, 0x001F, 0x7FFF}, five65[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  Dib rgb555(4, 2, 16), rgb565(4, 2, 16, BI_BITFIELDS), rgb24(4, 2, 24), rgb32(4, 2, 32);
  const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(reinterpret_cast<BYTE*>(&rgb565.info) + 40, masks, sizeof masks);
  for (int r = 0; r < 2; ++r)
    for (int x = 0; x < 4; ++x) {
      const int i = rowOf(r, x);
      std::memcpy(rgb555.Stored(r) + 2 * x, &five55[i], 2);
      std::memcpy(rgb565.Stored(r) + 2 * x, &five65[i], 2);
      const BYTE bgr[3] = {GetBValue(top[i]), GetGValue(top[i]), GetRValue(top[i])};
      std::memcpy(rgb24.Stored(r) + 3 * x, bgr, 3);
      std::memcpy(rgb32.Stored(r) + 4 * x, bgr, 3);
      rgb32.Stored(r)[4 * x + 3] = 0xEE;  // the unused byte never shows
    }
  check(rgb555, "16 bits 5-5-5");
  check(rgb565, "16 bits 5-6-5");
  check(rgb24, "24 bits");
  check(rgb32, "32 bits");

  Dib mono(4, 2, 1);
  mono.Color(0, kBlack);
  mono.Color(1, kWhite);
  mono.Stored(1)[0] = 0xA0;  // top row 1 0 1 0
  MemorySurface s(4, 2);
  SetDIBitsToDevice(s.dc, 0, 0, 4, 2, 0, 0, 0, 2, mono.bits.data(), mono.Info(), DIB_RGB_COLORS);
  EXPECT_EQ(s.At(0, 0), kWhite);
  EXPECT_EQ(s.At(1, 0), kBlack);
  EXPECT_EQ(s.At(2, 0), kWhite);
  EXPECT_EQ(s.At(0, 1), kBlack);
}

TEST_F(DibTest, RunLengthEncodedDibsDecodeRunsLiteralsMovesAndEnds) {
  Dib rle8(6, 3, 8, BI_RLE8);
  for (int i = 0; i < 6; ++i) rle8.Color(i, RGB(i * 40, 0, 0));
  rle8.SetRle({0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x02, 0x00, 0x00, 0x00,  // bottom: run, padded literal
               0x00, 0x02, 0x02, 0x00, 0x02, 0x04, 0x00, 0x00,              // middle: move right 2, run
               0x01, 0x05, 0x00, 0x01});                                    // top: one pixel, end
  const int expected8[3][6] = {{5, 0, 0, 0, 0, 0}, {0, 0, 4, 4, 0, 0}, {1, 1, 1, 2, 3, 2}};
  MemorySurface s8(6, 3, kWhite);
  EXPECT_EQ(
      StretchDIBits(s8.dc, 0, 0, 6, 3, 0, 0, 6, 3, rle8.bits.data(), rle8.Info(), DIB_RGB_COLORS, SRCCOPY),
      3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s8.At(x, y), RGB(expected8[y][x] * 40, 0, 0)) << x << "," << y;

  Dib rle4(4, 2, 4, BI_RLE4);
  for (int i = 0; i < 6; ++i) rle4.Color(i, RGB(0, i * 40, 0));
  rle4.SetRle({0x04, 0x12, 0x00, 0x00, 0x00, 0x03, 0x34, 0x50, 0x00, 0x01});
  const int expected4[2][4] = {{3, 4, 5, 0}, {1, 2, 1, 2}};
  MemorySurface s4(4, 2, kWhite);
  EXPECT_EQ(SetDIBitsToDevice(s4.dc, 0, 0, 4, 2, 0, 0, 0, 2, rle4.bits.data(), rle4.Info(), DIB_RGB_COLORS),
            2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s4.At(x, y), RGB(0, expected4[y][x] * 40, 0)) << x << "," << y;

  // Data that stops before the picture is complete draws nothing.
  rle8.SetRle({0x03, 0x01, 0x00, 0x00, 0x02});
  MemorySurface cut(6, 3, kWhite);
  EXPECT_EQ(
      StretchDIBits(cut.dc, 0, 0, 6, 3, 0, 0, 6, 3, rle8.bits.data(), rle8.Info(), DIB_RGB_COLORS, SRCCOPY),
      0);
  EXPECT_EQ(cut.Count(kWhite), 18);
}

TEST_F(DibTest, SourceRowsCountFromTheBottomAndBandsDrawOnlyTheirRows) {
  Dib dib(1, 3, 8);
  for (int i = 0; i < 3; ++i) dib.Color(i, RGB(0, 0, 100 + i)), dib.Stored(i)[0] = static_cast<BYTE>(i);
  MemorySurface s(1, 3, kBlack);
  // One row from source row 0, which is the bottom row of the picture.
  SetDIBitsToDevice(s.dc, 0, 0, 1, 1, 0, 0, 0, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS);
  EXPECT_EQ(s.At(0, 0), RGB(0, 0, 100));
  StretchDIBits(s.dc, 0, 1, 1, 1, 0, 2, 1, 1, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(s.At(0, 1), RGB(0, 0, 102));

  // A band holding stored row 1 only: the bits point at that row.
  MemorySurface band(1, 3, kBlack);
  EXPECT_EQ(SetDIBitsToDevice(band.dc, 0, 0, 1, 3, 0, 0, 1, 1, dib.Stored(1), dib.Info(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(band.At(0, 0), kBlack);
  EXPECT_EQ(band.At(0, 1), RGB(0, 0, 101));
  EXPECT_EQ(band.At(0, 2), kBlack);
}

TEST_F(DibTest, GetDIBitsMapsToTheDefaultPaletteStaticColours) {
  const COLORREF pixels[6] = {kBlack,         kWhite, kRed, RGB(250, 250, 250), RGB(0x80, 0x80, 0x80),
                              RGB(10, 10, 12)};
  const BYTE indices[6] = {0, 255, 249, 255, 248, 0};
  MemorySurface s(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(s.dc, x, 0, pixels[x]);
  Dib dib(6, 1, 8);
  std::fill(dib.bits.begin(), dib.bits.end(), BYTE{0xCD});
  EXPECT_EQ(GetDIBits(s.dc, s.bitmap, 0, 1, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 1);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(dib.bits[static_cast<std::size_t>(x)], indices[x]) << x;
  // The table holds the static colours at their places and nothing between them.
  PALETTEENTRY system[256];
  GetSystemPaletteEntries(nullptr, 0, 256, system);
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD& q = dib.info.bmiColors[i];
    const bool isStatic = i < 10 || i > 245;
    EXPECT_EQ(q.rgbRed, isStatic ? system[i].peRed : 0) << i;
    EXPECT_EQ(q.rgbGreen, isStatic ? system[i].peGreen : 0) << i;
    EXPECT_EQ(q.rgbBlue, isStatic ? system[i].peBlue : 0) << i;
  }
  EXPECT_EQ(dib.bits[6], 0);  // padding is written, not left as it was
  EXPECT_EQ(dib.bits[7], 0);

  // Fewer bits: the sixteen classic colours, and black and white.
  Dib four(6, 1, 4), one(6, 1, 1);
  GetDIBits(s.dc, s.bitmap, 0, 1, four.bits.data(), four.Info(), DIB_RGB_COLORS);
  EXPECT_EQ(four.bits[0], 0x0F);  // black, white
  EXPECT_EQ(four.bits[1], 0x9F);  // red, white
  EXPECT_EQ(four.bits[2], 0x80);  // dark grey, black
  GetDIBits(s.dc, s.bitmap, 0, 1, one.bits.data(), one.Info(), DIB_RGB_COLORS);
  EXPECT_EQ(one.bits[0], 0x58);  // black white black white white (mid grey is nearer white) black
}

TEST_F(DibTest, GetDIBitsMapsToTheSelectedPalette) {
  struct {
    WORD version, count;
    PALETTEENTRY entries[4];
  } log{0x300, 4, {{10, 10, 10, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}, {200, 0, 0, PC_NOCOLLAPSE}}};
  HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
  const COLORREF pixels[5] = {kBlack, kWhite, RGB(250, 250, 250), RGB(20, 20, 20), kRed};
  const BYTE indices[5] = {2, 1, 1, 0, 3};
  MemorySurface s(5, 1);
  for (int x = 0; x < 5; ++x) SetPixel(s.dc, x, 0, pixels[x]);
  HPALETTE previous = SelectPalette(s.dc, palette, FALSE);
  Dib dib(5, 1, 8);
  std::memset(dib.info.bmiColors, 0xCD, sizeof dib.info.bmiColors);
  GetDIBits(s.dc, s.bitmap, 0, 1, dib.bits.data(), dib.Info(), DIB_RGB_COLORS);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(dib.bits[static_cast<std::size_t>(x)], indices[x]) << x;
  EXPECT_EQ(dib.info.bmiColors[3].rgbRed, 200);
  EXPECT_EQ(dib.info.bmiColors[3].rgbReserved, 0);
  EXPECT_EQ(dib.info.bmiColors[4].rgbRed, 0);  // beyond the palette

  // The colour table as indices into the palette.
  Dib indexed(5, 1, 8);
  GetDIBits(s.dc, s.bitmap, 0, 1, indexed.bits.data(), indexed.Info(), DIB_PAL_COLORS);
  WORD words[4];
  std::memcpy(words, indexed.info.bmiColors, sizeof words);
  EXPECT_EQ(words[3], 3);
  // Drawing it back through the same palette restores the colours the palette has.
  MemorySurface back(5, 1);
  SelectPalette(back.dc, palette, FALSE);
  SetDIBitsToDevice(back.dc, 0, 0, 5, 1, 0, 0, 0, 1, indexed.bits.data(), indexed.Info(), DIB_PAL_COLORS);
  EXPECT_EQ(back.At(0, 0), kBlack);
  EXPECT_EQ(back.At(3, 0), RGB(10, 10, 10));
  EXPECT_EQ(back.At(4, 0), RGB(200, 0, 0));
  SelectPalette(back.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  SelectPalette(s.dc, previous, FALSE);
  DeleteObject(palette);
}

// The index a search of every usable entry finds: the smallest squared distance, the lowest index
// among equals.
BYTE BruteNearest(const std::vector<COLORREF>& entries, const std::vector<int>& usable, COLORREF c) {
  int best = -1, bestDistance = 0;
  for (const int i : usable) {
    const COLORREF e = entries[static_cast<std::size_t>(i)];
    const int dr = GetRValue(e) - GetRValue(c), dg = GetGValue(e) - GetGValue(c),
              db = GetBValue(e) - GetBValue(c);
    const int distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < bestDistance) best = i, bestDistance = distance;
  }
  return static_cast<BYTE>(best);
}

TEST_F(DibTest, GetDIBitsFindsTheNearestEntryForEveryColourOfAPhoto) {
  // Thousands of distinct colours, far more than the searches made before the colour cube
  // is cut into cells, and a palette with repeated entries and pairs of entries at equal distance
  // from colours of the picture, which must go to the lower index.
  std::mt19937 random(7);
  const auto channel = [&] { return static_cast<BYTE>(random() & 0xFF); };
  std::vector<COLORREF> entries(256);
  for (COLORREF& e : entries) e = RGB(channel(), channel(), channel());
  for (int i = 0; i < 10; ++i)
    entries[static_cast<std::size_t>(200 + i)] = entries[static_cast<std::size_t>(i)];
  std::vector<COLORREF> ties;
  for (int j = 0; j < 8; ++j) {
    const int r = 30 + 25 * j, g = 250 - 30 * j, b = 8 * j;
    entries[static_cast<std::size_t>(100 + 2 * j)] = RGB(r + 3, g, b + 4);
    entries[static_cast<std::size_t>(101 + 2 * j)] = RGB(r - 3, g, b - 4);
    ties.push_back(RGB(r, g, b));
  }
  // The far corner of the cell 0..7 from black is as near to (14, 14, 14) as to black.
  entries[116] = RGB(14, 14, 14);
  entries[117] = RGB(0, 0, 0);
  ties.push_back(RGB(7, 7, 7));
  const int width = 128, height = 48;
  Dib photo(width, -height, 32);
  const auto put = [&](int x, int y, COLORREF c) {
    BYTE* p = photo.Stored(y) + 4 * x;
    p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) put(x, y, RGB(channel(), channel(), channel()));
  // The pixels that tie, and the repeated entries, in the top row: captured last, through the cells.
  for (std::size_t j = 0; j < ties.size(); ++j) put(static_cast<int>(j), 0, ties[j]);
  for (int i = 0; i < 20; ++i) put(20 + i, 0, entries[static_cast<std::size_t>(200 + i % 10)]);
  MemorySurface s(width, height);
  ASSERT_EQ(SetDIBitsToDevice(s.dc, 0, 0, width, height, 0, 0, 0, height, photo.bits.data(), photo.Info(),
                              DIB_RGB_COLORS),
            height);

  struct {
    WORD version, count;
    PALETTEENTRY entries[256];
  } log{0x300, 256, {}};
  for (int i = 0; i < 256; ++i) {
    const COLORREF e = entries[static_cast<std::size_t>(i)];
    log.entries[i] = PALETTEENTRY{GetRValue(e), GetGValue(e), GetBValue(e), 0};
  }
  HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
  std::vector<COLORREF> statics(256, 0);
  std::vector<int> all, staticOnly;
  for (int i = 0; i < 256; ++i) all.push_back(i);
  GetSystemPaletteEntries(nullptr, 0, 256, log.entries);
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255}) {
    const PALETTEENTRY& e = log.entries[i];
    statics[static_cast<std::size_t>(i)] = RGB(e.peRed, e.peGreen, e.peBlue);
    staticOnly.push_back(i);
  }

  // Through the selected palette, and through the default one (its 20 static colours only).
  for (const bool selected : {true, false}) {
    HPALETTE previous = selected ? SelectPalette(s.dc, palette, FALSE) : nullptr;
    Dib dib(width, height, 8);
    ASSERT_EQ(GetDIBits(s.dc, s.bitmap, 0, height, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), height);
    if (previous) SelectPalette(s.dc, previous, FALSE);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const BYTE* p = photo.Stored(y) + 4 * x;
        const COLORREF c = RGB(p[2], p[1], p[0]);
        const BYTE expected = selected ? BruteNearest(entries, all, c) : BruteNearest(statics, staticOnly, c);
        const BYTE got = dib.Stored(height - 1 - y)[x];
        if (got != expected && wrong++ == 0)
          first = std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(got) + " instead of " +
                  std::to_string(expected);
      }
    EXPECT_EQ(wrong, 0) << (selected ? "selected palette, " : "default palette, ") << "first at " << first;
  }
  for (std::size_t j = 0; j < ties.size(); ++j)
    ASSERT_EQ(BruteNearest(entries, all, ties[j]), 100 + 2 * j) << "the picture has no tie at " << j;
  DeleteObject(palette);
}

TEST_F(DibTest, AnEightBitPictureSurvivesTheTripThroughADeviceBitmap) {
  // 256 distinct colours as both colour table and palette: capture gives back the same bytes.
  Dib dib(13, 7, 8);
  std::vector<BYTE> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
  log->palVersion = 0x300;
  log->palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    const COLORREF c = RGB(i, (i * 7) & 0xFF, 255 - i);
    dib.Color(i, c);
    reinterpret_cast<PALETTEENTRY*>(block.data() + 4)[i] =
        PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
  }
  std::mt19937 random(7);
  for (int r = 0; r < 7; ++r)
    for (int x = 0; x < 13; ++x) dib.Stored(r)[x] = static_cast<BYTE>(random());
  HPALETTE palette = CreatePalette(log);
  HDC dc = CreateCompatibleDC(nullptr);
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 13, 7);
  EXPECT_EQ(SetDIBits(dc, bitmap, 0, 7, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 7);
  Dib back(13, 7, 8);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, 7, back.bits.data(), back.Info(), DIB_RGB_COLORS), 7);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(std::memcmp(back.Stored(r), dib.Stored(r), 13), 0) << "row " << r;
  EXPECT_EQ(std::memcmp(back.info.bmiColors, dib.info.bmiColors, sizeof dib.info.bmiColors), 0);

  // Asking with a bit count of 0 describes the bitmap; rows can be read in part and top-down.
  Dib query(0, 0, 0);
  EXPECT_NE(GetDIBits(dc, bitmap, 0, 0, nullptr, query.Info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(query.info.bmiHeader.biWidth, 13);
  EXPECT_EQ(query.info.bmiHeader.biHeight, 7);
  EXPECT_EQ(query.info.bmiHeader.biBitCount, 32);
  EXPECT_EQ(query.info.bmiHeader.biSizeImage, 13u * 4 * 7);
  Dib part(13, 7, 8);
  EXPECT_EQ(GetDIBits(dc, bitmap, 2, 3, part.bits.data(), part.Info(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(std::memcmp(part.Stored(0), dib.Stored(2), 13), 0);
  Dib topDown(13, -7, 32);
  GetDIBits(dc, bitmap, 0, 7, topDown.bits.data(), topDown.Info(), DIB_RGB_COLORS);
  const RGBQUAD& first = dib.info.bmiColors[dib.Stored(6)[0]];  // top-left pixel
  EXPECT_EQ(topDown.bits[0], first.rgbBlue);
  EXPECT_EQ(topDown.bits[2], first.rgbRed);
  EXPECT_EQ(topDown.bits[3], 0);

  SelectPalette(dc, previous, FALSE);
  DeleteObject(bitmap);
  DeleteObject(palette);
  DeleteDC(dc);
}

TEST_F(DibTest, MalformedHeadersAreRefused) {
  MemorySurface s(4, 4, kWhite);
  auto refused = [&](Dib& dib) {
    return StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 4, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                         SRCCOPY) == 0 &&
           SetDIBitsToDevice(s.dc, 0, 0, 4, 4, 0, 0, 0, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS) == 0;
  };
  Dib zeroWidth(0, 4, 8), zeroHeight(4, 0, 8), oddDepth(4, 4, 7), wrongRle(4, 4, 8, BI_RLE4),
      huge(40000, 1, 8), jpeg(4, 4, 24, BI_JPEG), planes(4, 4, 8);
  planes.info.bmiHeader.biPlanes = 3;
  for (Dib* dib : {&zeroWidth, &zeroHeight, &oddDepth, &wrongRle, &huge, &jpeg, &planes})
    EXPECT_TRUE(refused(*dib));
  EXPECT_EQ(StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 4, 4, nullptr, nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
  EXPECT_EQ(s.Count(kWhite), 16);
}

}  // namespace
}  // namespace vantora::host
