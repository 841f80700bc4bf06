// The screen device in both display modes: the system palette, palette realisation, drawing on the
// screen and on window surfaces.
#include <cstring>

#include "host/GdiTestSupport.h"

namespace vantora::host {
namespace {

using testing::GdiTest;
using testing::MemorySurface;

// A logical palette built from colours, all with the same flags.
class Palette {
 public:
  Palette(const std::vector<COLORREF>& colors, BYTE flags) : block_(sizeof(LOGPALETTE) + colors.size() * 4) {
    auto* log = reinterpret_cast<LOGPALETTE*>(block_.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i)
      reinterpret_cast<PALETTEENTRY*>(block_.data() + 4)[i] =
          PALETTEENTRY{GetRValue(colors[i]), GetGValue(colors[i]), GetBValue(colors[i]), flags};
    handle = CreatePalette(log);
  }
  Palette(const Palette&) = delete;
  Palette& operator=(const Palette&) = delete;
  ~Palette() {
    if (handle) DeleteObject(handle);
  }
  HPALETTE handle;

 private:
  std::vector<BYTE> block_;
};

// Colours far from every static colour and from each other: (Seed + i) spread over the cube.
std::vector<COLORREF> Distinct(int count, int seed) {
  std::vector<COLORREF> colors;
  for (int i = 0; i < count; ++i) {
    const int n = seed + i;
    colors.push_back(RGB(20 + (n % 8) * 29, 17 + ((n / 8) % 8) * 29, 23 + ((n / 64) % 8) * 29));
  }
  return colors;
}

// Realises a palette into the screen, in the foreground or the background.
UINT Realize(HPALETTE palette, bool background) {
  HDC screen = GetDC(nullptr);
  HPALETTE previous = SelectPalette(screen, palette, background ? TRUE : FALSE);
  const UINT changed = RealizePalette(screen);
  SelectPalette(screen, previous, TRUE);
  ReleaseDC(nullptr, screen);
  return changed;
}

int EntriesInUse() {
  // Free entries that were never taken stay black.
  PALETTEENTRY entries[256];
  GetSystemPaletteEntries(nullptr, 0, 256, entries);
  int used = 0;
  for (int i = 10; i < 246; ++i) used += entries[i].peRed || entries[i].peGreen || entries[i].peBlue;
  return used;
}

using ScreenTest = GdiTest;

TEST_F(ScreenTest, SystemPaletteHoldsTheTwentyStaticColours) {
  const COLORREF expected[20] = {0x000000,
                                 RGB(0x80, 0, 0),
                                 RGB(0, 0x80, 0),
                                 RGB(0x80, 0x80, 0),
                                 RGB(0, 0, 0x80),
                                 RGB(0x80, 0, 0x80),
                                 RGB(0, 0x80, 0x80),
                                 RGB(0xC0, 0xC0, 0xC0),
                                 RGB(0xC0, 0xDC, 0xC0),
                                 RGB(0xA6, 0xCA, 0xF0),
                                 RGB(0xFF, 0xFB, 0xF0),
                                 RGB(0xA0, 0xA0, 0xA4),
                                 RGB(0x80, 0x80, 0x80),
                                 RGB(0xFF, 0, 0),
                                 RGB(0, 0xFF, 0),
                                 RGB(0xFF, 0xFF, 0),
                                 RGB(0, 0, 0xFF),
                                 RGB(0xFF, 0, 0xFF),
                                 RGB(0, 0xFF, 0xFF),
                                 RGB(0xFF, 0xFF, 0xFF)};
  PALETTEENTRY system[256];
  EXPECT_EQ(GetSystemPaletteEntries(nullptr, 0, 0, nullptr), 256u);
  EXPECT_EQ(GetSystemPaletteEntries(nullptr, 0, 256, system), 256u);
  PALETTEENTRY defaults[20];
  HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetPaletteEntries(stock, 0, 0, nullptr), 20u);
  EXPECT_EQ(GetPaletteEntries(stock, 0, 20, defaults), 20u);
  for (int i = 0; i < 20; ++i) {
    const PALETTEENTRY& e = system[i < 10 ? i : 236 + i];
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), expected[i]) << "static colour " << i;
    EXPECT_EQ(RGB(defaults[i].peRed, defaults[i].peGreen, defaults[i].peBlue), expected[i]);
  }
  EXPECT_EQ(GetSystemPaletteEntries(nullptr, 250, 10, system), 6u);
}

TEST_F(ScreenTest, TrueColourDisplayShowsEveryColour) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_EQ(SetPixel(screen, 3, 4, RGB(13, 57, 201)), RGB(13, 57, 201));
  Palette palette(Distinct(5, 0), PC_NOCOLLAPSE);
  HPALETTE previous = SelectPalette(screen, palette.handle, FALSE);
  EXPECT_EQ(RealizePalette(screen), 0u);  // nothing to change on a true-colour display
  SelectPalette(screen, previous, FALSE);
  EXPECT_EQ(EntriesInUse(), 0);
  ReleaseDC(nullptr, screen);
}

TEST_F(ScreenTest, RealisationFillsFreeEntriesForegroundFirst) {
  SetDisplayMode(DisplayMode::Palette256);
  Palette first(Distinct(100, 0), PC_NOCOLLAPSE), second(Distinct(200, 100), PC_NOCOLLAPSE);
  EXPECT_EQ(Realize(first.handle, false), 100u);
  EXPECT_EQ(Realize(first.handle, false), 0u) << "realising again changes nothing";
  EXPECT_EQ(Realize(second.handle, true), 136u) << "the background palette gets what is left";
  EXPECT_EQ(EntriesInUse(), 236);
  // In the foreground the second palette keeps its 136 entries and takes 64 more of the first's.
  EXPECT_EQ(Realize(second.handle, false), 64u);
  EXPECT_EQ(Realize(first.handle, true), 0u) << "the first palette finds its colours where they are";

  // Switching the mode returns to the static colours alone.
  SetDisplayMode(DisplayMode::Palette256);
  EXPECT_EQ(EntriesInUse(), 0);
}

TEST_F(ScreenTest, OnlyNoCollapseEntriesTakeASlotForAColourAlreadyShown) {
  SetDisplayMode(DisplayMode::Palette256);
  // Static colours (not black, which free entries already show) and one colour twice.
  const std::vector<COLORREF> colors = {RGB(0x80, 0, 0), RGB(0, 0x80, 0), RGB(255, 255, 255), RGB(50, 60, 70),
                                        RGB(50, 60, 70)};
  Palette collapsing(colors, 0), keeping(colors, PC_NOCOLLAPSE);
  EXPECT_EQ(Realize(collapsing.handle, false), 1u) << "one new colour, shared by two entries";
  EXPECT_EQ(Realize(keeping.handle, false), 4u) << "every entry its own slot; one already shows its colour";
  EXPECT_EQ(EntriesInUse(), 5);
  // A full system palette leaves a background palette nothing; deleting the foreground one frees it.
  SetDisplayMode(DisplayMode::Palette256);
  auto fill = std::make_unique<Palette>(Distinct(236, 0), PC_NOCOLLAPSE);
  Palette late(Distinct(10, 300), PC_NOCOLLAPSE);
  EXPECT_EQ(Realize(fill->handle, false), 236u);
  EXPECT_EQ(Realize(late.handle, true), 0u);
  fill.reset();
  EXPECT_EQ(Realize(late.handle, true), 10u);
}

TEST_F(ScreenTest, DrawingOnAPaletteDisplayShowsTheNearestRealisedColour) {
  SetDisplayMode(DisplayMode::Palette256);
  const COLORREF realised = RGB(10, 100, 200), near = RGB(12, 103, 199), far = RGB(250, 10, 10);
  BITMAPINFO256 info{};
  info.bmiHeader = BITMAPINFOHEADER{40, 3, 1, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
  const COLORREF table[3] = {realised, near, far};
  for (int i = 0; i < 3; ++i)
    info.bmiColors[i] = RGBQUAD{GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0};
  const BYTE bits[4] = {0, 1, 2, 0};
  auto draw = [&](HDC dc) {
    SetDIBitsToDevice(dc, 0, 0, 3, 1, 0, 0, 0, 1, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  };

  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
  EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
  draw(screen);
  EXPECT_EQ(GetPixel(screen, 0, 0), RGB(0, 0x80, 0x80)) << "before realising: the nearest static colour";
  Palette palette({realised}, PC_NOCOLLAPSE);
  HPALETTE previous = SelectPalette(screen, palette.handle, FALSE);
  EXPECT_EQ(RealizePalette(screen), 1u);
  draw(screen);
  EXPECT_EQ(GetPixel(screen, 0, 0), realised);
  EXPECT_EQ(GetPixel(screen, 1, 0), realised);
  EXPECT_EQ(GetPixel(screen, 2, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetNearestColor(screen, near), realised);
  EXPECT_EQ(SetPixel(screen, 5, 5, near), realised);
  // Blits and fills to the screen are shown the same way; memory surfaces keep every colour.
  MemorySurface memory(3, 1);
  draw(memory.dc);
  EXPECT_EQ(memory.At(1, 0), near);
  BitBlt(screen, 10, 0, 3, 1, memory.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(screen, 11, 0), realised);
  SelectPalette(screen, previous, FALSE);
  ReleaseDC(nullptr, screen);

  // Back on a true-colour display the same picture keeps its colours.
  SetDisplayMode(DisplayMode::TrueColor);
  screen = GetDC(nullptr);
  draw(screen);
  EXPECT_EQ(GetPixel(screen, 1, 0), near);
  ReleaseDC(nullptr, screen);
}

TEST_F(ScreenTest, WindowSurfacesAreDrawnThroughTheirContexts) {
  HWND window = CreateWindowSurface(8, 6);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowSurface(window));
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), OBJ_DC);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  RECT r{2, 1, 4, 3};
  FillRect(dc, &r, brush);
  SurfacePixels pixels = GetSurfacePixels(window);
  ASSERT_EQ(pixels.width, 8);
  ASSERT_EQ(pixels.height, 6);
  EXPECT_EQ(pixels.pixels[1 * 8 + 2], 0x00010203u) << "pixels read 0x00RRGGBB";
  EXPECT_EQ(pixels.pixels[0], 0u);
  HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 1, 1);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "a window has its own pixels";
  DeleteObject(bitmap);

  // Resizing keeps what still fits.
  EXPECT_TRUE(ResizeWindowSurface(window, 3, 2));
  pixels = GetSurfacePixels(window);
  EXPECT_EQ(pixels.width, 3);
  EXPECT_EQ(pixels.pixels[1 * 3 + 2], 0x00010203u);

  // A destroyed window's context keeps working until it is released; the handle is gone.
  EXPECT_TRUE(DestroyWindowSurface(window));
  EXPECT_FALSE(IsWindowSurface(window));
  EXPECT_EQ(GetDC(window), nullptr);
  EXPECT_EQ(GetSurfacePixels(window).pixels, nullptr);
  EXPECT_NE(SetPixel(dc, 0, 0, RGB(9, 9, 9)), CLR_INVALID);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  EXPECT_EQ(ReleaseDC(window, dc), 0);
  DeleteObject(brush);
  EXPECT_EQ(CreateWindowSurface(0, 5), nullptr);
}

}  // namespace
}  // namespace vantora::host
