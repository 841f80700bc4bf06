// Device bitmaps captured into DIB blocks, logical palettes made from colour tables, and pictures
// loaded into glyphs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/Grputil.h"
#include "core/uMemory.h"
#include "host/GdiTestSupport.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/PictureFile.h"
#include "support/DibTestUtil.h"
#include "support/DrawTestUtil.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using host::RGB;
using CaptureTest = host::testing::GdiTest;

// A block from DIBFromBit and its size.
struct Captured {
  Captured(host::HBITMAP bitmap, host::HPALETTE palette, std::int32_t colors)
      : owner(DIBFromBitOwned(bitmap, palette, colors, size)), block(owner.get()) {}
  Bytes Range(std::size_t from, std::size_t count) const { return {block + from, block + from + count}; }
  std::int32_t size = 0;
  MemBlock owner;
  const std::uint8_t* block;
};

// 3 x 2: red, green, blue on top; white, black, olive below.
void PaintSample(host::testing::MemorySurface& surface) {
  const host::COLORREF colors[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                                       {RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 0)}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) host::SetPixel(surface.dc, x, y, colors[y][x]);
}

Bytes Quad(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return {b, g, r, 0};
}

std::string ErrorOf(const auto& action) {
  try {
    action();
  } catch (const host::Exception& e) {
    return e.Message();
  }
  return "no error";
}

TEST_F(CaptureTest, EightBitCaptureHasTheBlockLayoutAndTheIndicesOfThePalette) {
  host::testing::MemorySurface surface(3, 2);
  PaintSample(surface);
  test::LogPalette palette(
      {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(128, 128, 0)},
      0);
  const std::int32_t before = nQuant;
  {
    Captured dib(surface.bitmap, palette.handle, 256);
    EXPECT_EQ(nQuant, before + 1);
    ASSERT_EQ(dib.size, 1078 + 4 * 2);
    const Bytes headers = {
        0x42, 0x4D, 0x3E, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0,  // type, size, reserved, bits offset
        40,   0,    0,    0,    3, 0, 0, 0, 2, 0, 0,    0,    1, 0,
        8,    0,                              // size, width, height, planes, bits
        0,    0,    0,    0,    8, 0, 0, 0,   // compression, image size
        0,    0,    0,    0,    0, 0, 0, 0,   // resolutions
        0,    0,    0,    0,    0, 0, 0, 0};  // colours used, important
    EXPECT_EQ(dib.Range(0, 54), headers);
    Bytes table;
    for (const Bytes& q : {Quad(0, 0, 0), Quad(255, 0, 0), Quad(0, 255, 0), Quad(0, 0, 255),
                           Quad(255, 255, 255), Quad(128, 128, 0)})
      table.insert(table.end(), q.begin(), q.end());
    table.resize(1024, 0);
    EXPECT_EQ(dib.Range(54, 1024), table);
    // Bottom row first, padding zero.
    EXPECT_EQ(dib.Range(1078, 8), (Bytes{4, 0, 5, 0, 1, 2, 3, 0}));
  }
  EXPECT_EQ(nQuant, before);

  // Without a palette the default one applies: the static colours at their system indices.
  Captured plain(surface.bitmap, nullptr, 256);
  EXPECT_EQ(plain.Range(1078, 8), (Bytes{255, 0, 3, 0, 249, 250, 252, 0}));
  EXPECT_EQ(plain.Range(54 + 4 * 249, 4), Quad(255, 0, 0));
  EXPECT_EQ(plain.Range(54 + 4 * 3, 4), Quad(128, 128, 0));
  EXPECT_EQ(plain.Range(54 + 4 * 10, 4), Quad(0, 0, 0));
}

TEST_F(CaptureTest, OtherDepthsGetTheirOwnHeaderAndRowSizes) {
  host::testing::MemorySurface surface(3, 2);
  PaintSample(surface);
  auto field32 = [](const Captured& dib, std::size_t at) { return dib::Get32(dib.block + at); };

  // The bitmap's own depth: 32 bits become 24, with no colour table.
  Captured own(surface.bitmap, nullptr, 0);
  EXPECT_EQ(own.size, 14 + 40 + 12 * 2);
  EXPECT_EQ(field32(own, 2), 78u);
  EXPECT_EQ(field32(own, 10), 54u);
  EXPECT_EQ(dib::Get16(own.block + 28), 24);
  EXPECT_EQ(field32(own, 34), 24u);
  EXPECT_EQ(own.Range(54, 24), (Bytes{255, 255, 255, 0, 0,   0, 0,   128, 128, 0, 0, 0,  //
                                      0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0}));

  Captured mono(surface.bitmap, nullptr, 2);
  EXPECT_EQ(mono.size, 14 + 48 + 4 * 2);
  EXPECT_EQ(field32(mono, 10), 62u);
  EXPECT_EQ(dib::Get16(mono.block + 28), 1);
  EXPECT_EQ(mono.Range(54, 8), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
  EXPECT_EQ(mono.Range(62, 8), (Bytes{0x80, 0, 0, 0, 0x00, 0, 0, 0}));

  // The sixteen classic colours: red 9, green 10, blue 12, white 15, olive 3.
  Captured sixteen(surface.bitmap, nullptr, 16);
  EXPECT_EQ(sixteen.size, 14 + 104 + 4 * 2);
  EXPECT_EQ(field32(sixteen, 10), 118u);
  EXPECT_EQ(sixteen.Range(118, 8), (Bytes{0xF0, 0x30, 0, 0, 0x9A, 0xC0, 0, 0}));
}

TEST_F(CaptureTest, BitmapsThatAreNotThereAreRefusedWithoutABlockLeft) {
  const std::int32_t before = nQuant;
  std::int32_t size = 17;
  EXPECT_EQ(ErrorOf([&] { DIBFromBit(nullptr, nullptr, 256, size); }), "Invalid Bitmap");
  host::HBITMAP stale = host::CreateCompatibleBitmap(nullptr, 2, 2);
  host::DeleteObject(stale);
  EXPECT_THROW(DIBFromBit(stale, nullptr, 256, size), host::EInvalidGraphic);
  EXPECT_EQ(size, 17);
  EXPECT_EQ(nQuant, before);
}

TEST_F(CaptureTest, LogPaletteTakesNonBlackEntriesAndKeepsTheSystemElsewhere) {
  // Give the system palette free entries that are not black, so keeping them shows.
  host::SetDisplayMode(host::DisplayMode::Palette256);
  test::LogPalette shown({RGB(11, 22, 33), RGB(44, 55, 66), RGB(77, 88, 99)}, host::PC_NOCOLLAPSE);
  host::HDC screen = host::GetDC(nullptr);
  host::HPALETTE old = host::SelectPalette(screen, shown.handle, host::FALSE);
  ASSERT_EQ(host::RealizePalette(screen), 3u);
  host::SelectPalette(screen, old, host::TRUE);
  host::ReleaseDC(nullptr, screen);
  host::PALETTEENTRY system[256];
  host::GetSystemPaletteEntries(nullptr, 0, 256, system);
  ASSERT_EQ(system[11].peRed, 44);

  tFulgoDib bitmap;
  bitmap.MakeEmpty(2, 2);
  bitmap.SetColor(3, 0x00102030);
  bitmap.SetColor(100, 0x00C86432);
  bitmap.SetColor(245, 0x00000001);
  bitmap.SetColor(246, 0x00010000);
  const int live = host::LiveGdiObjectCount();
  host::HPALETTE palette = bitmap.GetLogPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(bitmap.PaletteHandle, palette);
  EXPECT_EQ(host::LiveGdiObjectCount(), live + 1);

  host::PALETTEENTRY entries[256];
  ASSERT_EQ(host::GetPaletteEntries(palette, 0, 0, nullptr), 256u);
  host::GetPaletteEntries(palette, 0, 256, entries);
  auto same = [](const host::PALETTEENTRY& a, const host::PALETTEENTRY& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  };
  const std::map<int, host::PALETTEENTRY> taken = {{3, {0x10, 0x20, 0x30, 0}},
                                                   {100, {0xC8, 0x64, 0x32, host::PC_NOCOLLAPSE}},
                                                   {245, {0, 0, 1, host::PC_NOCOLLAPSE}},
                                                   {246, {1, 0, 0, 0}},
                                                   {255, {255, 255, 255, 0}}};
  for (int i = 0; i < 256; ++i) {
    const auto it = taken.find(i);
    const host::PALETTEENTRY& want = it != taken.end() ? it->second : system[i];
    EXPECT_TRUE(same(entries[i], want)) << "entry " << i;
  }

  // Each new palette, a new table and releasing the bitmap delete the one held.
  host::HPALETTE second = bitmap.GetLogPalette();
  EXPECT_EQ(host::GetObjectType(palette), 0u);
  EXPECT_EQ(host::LiveGdiObjectCount(), live + 1);
  tFulgoDib other;
  other.MakeEmpty(1, 1);
  bitmap.GetPaletteFrom(other.Dib);
  EXPECT_EQ(bitmap.PaletteHandle, nullptr);
  EXPECT_EQ(host::GetObjectType(second), 0u);
  EXPECT_EQ(host::LiveGdiObjectCount(), live);
  bitmap.GetLogPalette();
  bitmap.FreeDib();
  EXPECT_EQ(bitmap.PaletteHandle, nullptr);
  EXPECT_EQ(host::LiveGdiObjectCount(), live);
  {
    tFulgoDib scoped;
    scoped.MakeEmpty(1, 1);
    scoped.GetLogPalette();
    other.GetLogPalette();
    other.GrabDib(scoped);  // releases other's block and palette
    EXPECT_EQ(host::LiveGdiObjectCount(), live + 1);
  }
  EXPECT_EQ(host::LiveGdiObjectCount(), live);
  EXPECT_EQ(ErrorOf([&] { bitmap.GetLogPalette(); }), "Palette could not be created - No Dib");
  EXPECT_THROW(bitmap.GetLogPalette(), EDontCreatDib);
}

// A 4 x 3 indexed picture with five distinct colours.
host::DibImage IndexedPicture() {
  host::DibImage picture(4, 3, 8);
  picture.SetColorCount(5);
  const host::RGBQUAD colors[5] = {
      {10, 20, 30, 0}, {200, 0, 0, 0}, {0, 150, 0, 0}, {0, 0, 90, 0}, {255, 255, 255, 0}};
  std::memcpy(picture.Colors(), colors, sizeof colors);
  const char* rows[3] = {"0123", "4012", "3340"};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) picture.Row(y)[x] = static_cast<std::uint8_t>(rows[y][x] - '0');
  return picture;
}

TEST_F(CaptureTest, GlyphDataIsAnEightBitCaptureThroughTheBitmapsPalette) {
  host::TBitmap bitmap;
  bitmap.LoadFromPicture(IndexedPicture());
  tFulgoDib dib;
  dib.MakeEmpty(2, 2);
  dib.GetLogPalette();
  dib.GetGlyphData(bitmap);  // the block and palette held before are released
  EXPECT_EQ(dib.PaletteHandle, nullptr);
  ASSERT_EQ(dib.GetWidth(), 4);
  ASSERT_EQ(dib.GetHeight(), 3);
  EXPECT_EQ(dib.GetDibMemorySize(), 1078u + 4 * 3);
  EXPECT_EQ(test::Picture(dib), (std::vector<std::string>{"0123", "4012", "3340"}));
  EXPECT_EQ(dib.GetColor(0), 0x001E140A);
  EXPECT_EQ(dib.GetColor(1), 0x000000C8);
  EXPECT_EQ(dib.GetColor(3), 0x005A0000);
  EXPECT_EQ(dib.GetColor(4), 0x00FFFFFF);
  EXPECT_EQ(dib.GetColor(5), 0);

  // A true-colour picture of a few colours keeps them exactly.
  host::DibImage photo(2, 1, 32);
  const std::uint8_t pixels[8] = {153, 102, 51, 0, 0, 204, 255, 0};
  std::memcpy(photo.Row(0), pixels, sizeof pixels);
  host::TBitmap truecolor;
  truecolor.LoadFromPicture(photo);
  tFulgoDib captured;
  captured.GetGlyphData(truecolor);
  const std::uint8_t* row = dib::Bits(captured.Dib);
  EXPECT_EQ(captured.GetColor(row[0]), 0x00336699);
  EXPECT_EQ(captured.GetColor(row[1]), 0x00FFCC00);
}

TEST_F(CaptureTest, GlyphDataRefusesEmptyAndOversizedBitmapsKeepingThePicture) {
  tFulgoDib dib;
  test::Paint(dib, {"12"});
  const Bytes kept = test::Block(dib);
  host::TBitmap empty;
  EXPECT_EQ(ErrorOf([&] { dib.GetGlyphData(empty); }), "Invalid Bitmap");
  host::TBitmap wide;
  wide.SetSize(32049, 1);
  EXPECT_EQ(ErrorOf([&] { dib.GetGlyphData(wide); }), "Bitmap size 32049 x 1 out of range (0..32048)");
  EXPECT_EQ(test::Block(dib), kept);
}

// 16 x 8, yellow left half, blue right half.
const Bytes kJpeg = {
    0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01, 0x01,
    0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06,
    0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06,
    0x08, 0x0B, 0x08, 0x09, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x06, 0x08, 0x0B, 0x0C, 0x0B, 0x0A, 0x0C, 0x09,
    0x0A, 0x0A, 0x0A, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03,
    0x05, 0x0A, 0x07, 0x06, 0x07, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x10, 0x03, 0x01, 0x11, 0x00,
    0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xC4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x0A, 0xFF, 0xC4, 0x00, 0x14, 0x10,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0xFF, 0xC4, 0x00, 0x16, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x0A, 0x07, 0x08, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03,
    0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x62, 0x07, 0xFD, 0x54, 0x47, 0x59, 0xFE, 0x32,
    0xBB, 0xFF, 0xD9};

TEST_F(CaptureTest, GlyphsLoadBmpPngAndJpegFilesAndKeepTheirPictureOnFailure) {
  test::TempDir dir;
  const host::DibImage picture = IndexedPicture();
  const std::string bmp = dir.Name("picture.bmp"), png = dir.Name("picture.png");
  host::WriteBmpFile(bmp, picture.Info(), picture.Bits());
  host::WritePngFile(png, picture.Info(), picture.Bits());
  const std::string jpeg = dir.File("picture.jpg", std::string(kJpeg.begin(), kJpeg.end()));

  tFulgoGlyph glyph;
  int changes = 0;
  glyph.OnChange = [&](host::TPersistent*) { ++changes; };
  for (const std::string& file : {bmp, png}) {
    glyph.LoadFromFile(file);
    EXPECT_TRUE(glyph.HasDib);
    EXPECT_TRUE(glyph.HasData);
    EXPECT_EQ(test::Picture(*glyph.Dib), (std::vector<std::string>{"0123", "4012", "3340"})) << file;
    EXPECT_EQ(glyph.Dib->GetColor(2), 0x00009600) << file;
  }
  EXPECT_EQ(changes, 2);
  glyph.LoadFromFile(jpeg);
  ASSERT_EQ(glyph.GetWidth(), 16);
  ASSERT_EQ(glyph.GetHeight(), 8);
  // The decoded picture has a few colours near yellow and blue, and they are kept exactly.
  const host::DibImage decoded = host::ReadPictureFile(jpeg);
  for (int row = 0; row < 8; ++row) {
    const std::uint8_t* line = glyph.Dib->Row(row);
    const std::uint8_t* source = decoded.Row(7 - row);
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(glyph.Dib->GetColor(line[x]), dib::Get32(source + 4 * x) & 0xFFFFFF) << x << ", " << row;
    }
    EXPECT_EQ(glyph.Dib->GetColor(line[1]), 0x00FFFF00) << row;
    const TColor blue = glyph.Dib->GetColor(line[14]);
    EXPECT_TRUE((blue >> 16) <= 2 && ((blue >> 8) & 0xFF) <= 2 && (blue & 0xFF) >= 0xFD) << std::hex << blue;
  }
  EXPECT_EQ(changes, 3);

  const Bytes kept = test::Block(*glyph.Dib);
  EXPECT_THROW(glyph.LoadFromFile(dir.Name("missing.bmp")), host::EFOpenError);
  EXPECT_THROW(glyph.LoadFromFile(dir.File("bad.bmp", "BM not really")), host::EInvalidGraphic);
  EXPECT_EQ(test::Block(*glyph.Dib), kept);
  EXPECT_TRUE(glyph.HasData);
  EXPECT_EQ(changes, 3);

  // An empty host bitmap empties the glyph.
  host::TBitmap empty;
  glyph.GetGlyphData(empty);
  EXPECT_TRUE(glyph.Empty());
  EXPECT_FALSE(glyph.HasDib);
  EXPECT_FALSE(glyph.HasData);
}

}  // namespace
}  // namespace vantora
