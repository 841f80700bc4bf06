// Realising logical palettes through a device context or a window, on both kinds of display.
#include <gtest/gtest.h>

#include <vector>

#include "host/GdiTestSupport.h"
#include "util/Gen.h"

namespace vantora {
namespace {

using namespace host;
using RealizePaletteTest = host::testing::GdiTest;

// Count colours far from every static colour and from each other, all marked PC_NOCOLLAPSE.
HPALETTE MakePalette(int count, int seed) {
  std::vector<BYTE> block(4 + 4 * static_cast<std::size_t>(count));
  block[1] = 0x03;
  block[2] = static_cast<BYTE>(count);
  block[3] = static_cast<BYTE>(count >> 8);
  for (int i = 0; i < count; ++i) {
    const int n = seed + i;
    BYTE* e = block.data() + 4 + 4 * i;
    e[0] = static_cast<BYTE>(20 + (n % 8) * 29);
    e[1] = static_cast<BYTE>(17 + ((n / 8) % 8) * 29);
    e[2] = static_cast<BYTE>(23 + ((n / 64) % 8) * 29);
    e[3] = PC_NOCOLLAPSE;
  }
  return CreatePalette(reinterpret_cast<const LOGPALETTE*>(block.data()));
}

TEST_F(RealizePaletteTest, RealisesThroughADcAndGivesItsPaletteBack) {
  HPALETTE first = MakePalette(100, 0), second = MakePalette(200, 100);
  HDC screen = GetDC(nullptr);
  HPALETTE own = MakePalette(3, 400);
  SelectPalette(screen, own, TRUE);

  // A true-colour display has no system palette to change.
  EXPECT_EQ(RealizePaletteToDc(screen, first, false), 0u);
  EXPECT_EQ(GetCurrentObject(screen, OBJ_PAL), own);

  SetDisplayMode(DisplayMode::Palette256);
  EXPECT_EQ(RealizePaletteToDc(screen, first, false), 100u);
  EXPECT_EQ(GetCurrentObject(screen, OBJ_PAL), own);
  // In the background only the 136 entries the foreground palette left are there to take.
  EXPECT_EQ(RealizePaletteToDc(screen, second, true), 136u);
  PALETTEENTRY system[256];
  GetSystemPaletteEntries(nullptr, 0, 256, system);
  EXPECT_EQ(system[10].peRed, 20);  // the first colour of the foreground palette kept its place

  // In the foreground it takes what it needs, background palette or not.
  SetDisplayMode(DisplayMode::Palette256);
  EXPECT_EQ(RealizePaletteToDc(screen, second, false), 200u);
  EXPECT_EQ(RealizePaletteToDc(screen, first, true), 36u);

  // Handles that are not live realise nothing.
  HPALETTE dead = MakePalette(5, 0);
  DeleteObject(dead);
  EXPECT_EQ(RealizePaletteToDc(screen, dead, false), 0u);
  EXPECT_EQ(GetCurrentObject(screen, OBJ_PAL), own);
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  EXPECT_EQ(RealizePaletteToDc(gone, first, false), 0u);

  SelectPalette(screen, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
  ReleaseDC(nullptr, screen);
  for (HPALETTE p : {first, second, own}) DeleteObject(p);
}

TEST_F(RealizePaletteTest, RealisesThroughAWindowAndReleasesItsDc) {
  SetDisplayMode(DisplayMode::Palette256);
  HWND window = CreateWindowSurface(4, 4);
  HPALETTE palette = MakePalette(50, 7);
  const int live = LiveGdiObjectCount();
  EXPECT_EQ(RealizePaletteToWindow(window, palette, false), 50u);
  EXPECT_EQ(RealizePaletteToWindow(window, palette, false), 0u) << "already realised";
  EXPECT_EQ(LiveGdiObjectCount(), live);
  // Drawn on the window, a colour of the palette now shows exactly.
  HDC dc = GetDC(window);
  const COLORREF color = RGB(20 + 7 * 29, 17, 23);
  EXPECT_EQ(SetPixel(dc, 0, 0, color), color);
  ReleaseDC(window, dc);

  DestroyWindowSurface(window);
  EXPECT_EQ(RealizePaletteToWindow(window, palette, false), 0u);
  EXPECT_EQ(LiveGdiObjectCount(), live - 1);
  DeleteObject(palette);
}

}  // namespace
}  // namespace vantora
