// Bitmaps drawn on devices: opaque, transparent (mask AND, then image OR), merged with what lies
// beneath and over a filled area, on memory surfaces and on both kinds of display.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Fuldib.h"
#include "host/GdiTestSupport.h"
#include "host/graphics/Graphics.h"
#include "support/DibTestUtil.h"
#include "support/DrawTestUtil.h"
#include "util/Gen.h"

namespace vantora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Grid = std::vector<std::vector<host::COLORREF>>;
using host::COLORREF;
using host::RGB;
using DrawTest = host::testing::GdiTest;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kHidden = 0x123456;

// A picture whose indices 1, 2, 3 are red, green and blue, '#' white, and whose transparent entry
// holds a colour of its own, so that a transparent pixel that leaks shows.
void PaintRgb(tFulgoDib& bitmap, const std::vector<std::string>& rows) {
  test::Paint(bitmap, rows, 247);
  bitmap.SetColor(1, kRed);
  bitmap.SetColor(2, kGreen);
  bitmap.SetColor(3, kBlue);
  bitmap.SetColor(247, kHidden);
}

COLORREF ColorOf(char c) {
  switch (c) {
    case '1':
      return test::Ref(kRed);
    case '2':
      return test::Ref(kGreen);
    case '3':
      return test::Ref(kBlue);
    case '#':
      return RGB(255, 255, 255);
    case '.':
      return test::Ref(kHidden);
    default:
      return host::CLR_INVALID;
  }
}

// A background in which every pixel differs, with bits set in every channel.
COLORREF Backdrop(int x, int y) {
  return RGB(static_cast<host::BYTE>(13 + 29 * x), static_cast<host::BYTE>(101 + 23 * y),
             static_cast<host::BYTE>(77 + 7 * x + 5 * y));
}

void FillBackdrop(host::HDC dc, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) host::SetPixel(dc, x, y, Backdrop(x, y));
}

Grid Read(host::HDC dc, int width, int height) {
  Grid grid(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) grid[static_cast<std::size_t>(y)].push_back(host::GetPixel(dc, x, y));
  return grid;
}

// The backdrop with a picture laid at (X, Y): a '-' in the picture, or a cell outside it, shows the
// backdrop.
Grid Expected(int width, int height, int x0, int y0, const std::vector<std::string>& picture) {
  Grid grid(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int px = x - x0, py = y - y0;
      const bool inside = py >= 0 && py < static_cast<int>(picture.size()) && px >= 0 &&
                          px < static_cast<int>(picture[0].size());
      const char c = inside ? picture[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)] : '-';
      grid[static_cast<std::size_t>(y)].push_back(c == '-' ? Backdrop(x, y) : ColorOf(c));
    }
  return grid;
}

TEST_F(DrawTest, DrawCopiesTheWholePictureTopRowOnTopClippedByTheDevice) {
  host::testing::MemorySurface surface(6, 5);
  FillBackdrop(surface.dc, 6, 5);
  tFulgoDib bitmap;
  PaintRgb(bitmap, {"12.", "3#1"});
  bitmap.Draw(surface.dc, 2, 1);
  EXPECT_EQ(Read(surface.dc, 6, 5), Expected(6, 5, 2, 1, {"12.", "3#1"}));

  FillBackdrop(surface.dc, 6, 5);
  bitmap.Draw(surface.dc, -1, 4);
  EXPECT_EQ(Read(surface.dc, 6, 5), Expected(6, 5, 0, 4, {"2."}));

  tFulgoDib empty;
  FillBackdrop(surface.dc, 6, 5);
  empty.Draw(surface.dc, 0, 0);
  EXPECT_EQ(Read(surface.dc, 6, 5), Expected(6, 5, 0, 0, {}));
}

TEST_F(DrawTest, DrawTransparentLeavesOutIndex247AndKeepsTheBlock) {
  host::testing::MemorySurface surface(7, 6);
  tFulgoDib bitmap;
  PaintRgb(bitmap, {"1.2.", ".3#.", "2..1"});
  const Bytes block = test::Block(bitmap);

  FillBackdrop(surface.dc, 7, 6);
  bitmap.DrawTransparent(surface.dc, 7, 6, 2, 1);
  EXPECT_EQ(Read(surface.dc, 7, 6), Expected(7, 6, 2, 1, {"1-2-", "-3#-", "2--1"}));
  EXPECT_EQ(test::Block(bitmap), block) << "the table (and everything else) as it was";

  // Off the top-left corner: only the bottom row's last three pixels remain, at the origin.
  FillBackdrop(surface.dc, 7, 6);
  bitmap.DrawTransparent(surface.dc, 7, 6, -1, -2);
  EXPECT_EQ(Read(surface.dc, 7, 6), Expected(7, 6, 0, 0, {"--1"}));

  // A clip area smaller than the device: nothing beyond it changes, not even under opaque pixels.
  FillBackdrop(surface.dc, 7, 6);
  bitmap.DrawTransparent(surface.dc, 4, 3, 2, 1);
  EXPECT_EQ(Read(surface.dc, 7, 6), Expected(7, 6, 2, 1, {"1-", "-3"}));
  FillBackdrop(surface.dc, 7, 6);
  bitmap.DrawTransparent(surface.dc, 5, 6, -1, 3);
  EXPECT_EQ(Read(surface.dc, 7, 6), Expected(7, 6, 0, 3, {"-2-", "3#-", "--1"}));

  // Nothing at all: no clip area, or a picture entirely outside it.
  FillBackdrop(surface.dc, 7, 6);
  const Grid untouched = Read(surface.dc, 7, 6);
  bitmap.DrawTransparent(surface.dc, 0, 6, 0, 0);
  bitmap.DrawTransparent(surface.dc, 7, -1, 0, 0);
  bitmap.DrawTransparent(surface.dc, 7, 6, 7, 0);
  bitmap.DrawTransparent(surface.dc, 7, 6, -4, 0);
  bitmap.DrawTransparent(surface.dc, 7, 6, 0, -3);
  tFulgoDib().DrawTransparent(surface.dc, 7, 6, 0, 0);
  EXPECT_EQ(Read(surface.dc, 7, 6), untouched);
  EXPECT_EQ(test::Block(bitmap), block);
}

TEST_F(DrawTest, DrawTransparentOnAPaletteDisplayShowsRealisedColoursExactly) {
  host::SetDisplayMode(host::DisplayMode::Palette256);
  host::HWND window = host::CreateWindowSurface(6, 3);
  host::HDC dc = host::GetDC(window);
  const COLORREF silver = RGB(192, 192, 192);
  host::HBRUSH brush = host::CreateSolidBrush(silver);
  const host::RECT all{0, 0, 6, 3};

  tFulgoDib bitmap;
  test::Paint(bitmap, {"12.", ".21"}, 247);
  const std::uint32_t teal = 0x10C8A0, plum = 0xB4325A;  // far from every static colour
  bitmap.SetColor(1, teal);
  bitmap.SetColor(2, plum);
  bitmap.SetColor(247, kHidden);
  const Bytes block = test::Block(bitmap);
  auto shows = [&] {
    std::vector<COLORREF> pixels;
    const host::SurfacePixels surface = host::GetSurfacePixels(window);
    for (int i = 0; i < surface.width * surface.height; ++i) pixels.push_back(test::Ref(surface.pixels[i]));
    return pixels;
  };

  // Before the picture's palette is realised its colours show as the nearest static ones.
  host::FillRect(dc, &all, brush);
  bitmap.DrawTransparent(dc, 6, 3, 1, 0);
  const COLORREF nearTeal = host::GetNearestColor(dc, test::Ref(teal));
  const COLORREF nearPlum = host::GetNearestColor(dc, test::Ref(plum));
  EXPECT_NE(nearTeal, test::Ref(teal));
  const std::vector<COLORREF> ground(6, silver);
  auto rows = [&](COLORREF one, COLORREF two) {
    std::vector<COLORREF> pixels = {silver, one,    two, silver, silver, silver,
                                    silver, silver, two, one,    silver, silver};
    pixels.insert(pixels.end(), ground.begin(), ground.end());
    return pixels;
  };
  EXPECT_EQ(shows(), rows(nearTeal, nearPlum));

  // Realised (teal, plum and the colour entry 247 holds), they show as they are; transparent pixels
  // keep the ground.
  EXPECT_EQ(RealizePaletteToWindow(window, bitmap.GetLogPalette(), false), 3u);
  host::FillRect(dc, &all, brush);
  bitmap.DrawTransparent(dc, 6, 3, 1, 0);
  EXPECT_EQ(shows(), rows(test::Ref(teal), test::Ref(plum)));
  EXPECT_EQ(test::Block(bitmap), block);

  host::DeleteObject(brush);
  host::ReleaseDC(window, dc);
  host::DestroyWindowSurface(window);
}

TEST_F(DrawTest, DrawTranspMergesWithWhatLiesBeneathThroughTheTable) {
  host::testing::MemorySurface surface(6, 3);
  // Two colours of the table side by side, and one the table only comes near.
  const COLORREF left = RGB(0, 128, 128), right = RGB(200, 40, 160), grey = RGB(100, 100, 100);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) host::SetPixel(surface.dc, x, y, y == 2 ? grey : x < 3 ? left : right);
  tFulgoDib bitmap;
  PaintRgb(bitmap, {"1..1", ".##.", "3..."});
  bitmap.SetColor(5, 0x008080);
  bitmap.SetColor(6, 0xC828A0);
  bitmap.SetColor(7, 0x606060);
  const Bytes block = test::Block(bitmap);

  bitmap.DrawTransp(surface.dc, 1, 0);
  const COLORREF r = test::Ref(kRed), w = RGB(255, 255, 255), b = test::Ref(kBlue), g = RGB(96, 96, 96);
  EXPECT_EQ(Read(surface.dc, 6, 3), (Grid{{left, r, left, right, r, right},  //
                                          {left, left, w, w, right, right},
                                          {grey, b, g, g, g, grey}}));
  EXPECT_EQ(test::Block(bitmap), block);
}

TEST_F(DrawTest, DrawFillShowsTheColourThroughTransparentPixelsAndKeepsItInTheTable) {
  host::testing::MemorySurface surface(8, 6);
  host::TCanvas canvas(surface.dc);
  tFulgoDib bitmap;
  PaintRgb(bitmap, {"1.2", "..3"});

  bitmap.DrawFill(canvas, 0x00336699, 6, 4, 2, 1);
  const COLORREF f = 0x00336699, k = RGB(0, 0, 0);
  const COLORREF r = test::Ref(kRed), g = test::Ref(kGreen), b = test::Ref(kBlue);
  EXPECT_EQ(Read(surface.dc, 8, 6), (Grid{{f, f, f, f, f, f, k, k},
                                          {f, f, r, f, g, f, k, k},
                                          {f, f, f, f, b, f, k, k},
                                          {f, f, f, f, f, f, k, k},
                                          {k, k, k, k, k, k, k, k},
                                          {k, k, k, k, k, k, k, k}}));
  EXPECT_EQ(bitmap.GetColor(247), 0x00996633) << "the entry keeps the colour, in table order";

  // A system colour is resolved; another transparent index takes the colour instead of 247.
  bitmap.TransparentIndex = 2;
  bitmap.DrawFill(canvas, static_cast<TColor>(host::clBtnFace), 3, 2, 0, 0);
  const COLORREF face = RGB(192, 192, 192);
  EXPECT_EQ(Read(surface.dc, 3, 2), (Grid{{r, f, face}, {f, f, b}}));
  EXPECT_EQ(bitmap.GetColor(2), 0x00C0C0C0);

  // An empty picture draws the plain area.
  tFulgoDib empty;
  empty.DrawFill(canvas, 0x000000FF, 2, 1, 0, 0);
  EXPECT_EQ(host::GetPixel(surface.dc, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(host::GetPixel(surface.dc, 2, 0), face);
}

}  // namespace
}  // namespace vantora
