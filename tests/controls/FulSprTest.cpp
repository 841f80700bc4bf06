// The sprite that puts an art's face on a control's canvas: opaque over the art's Transparent colour,
// or transparent, composed over the saved background of the control and copied in one blit.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/FulSpr.h"
#include "core/DibLayout.h"
#include "core/DibTestUtil.h"
#include "core/DrawTestUtil.h"
#include "host/GdiTestSupport.h"
#include "host/graphics/Graphics.h"
#include "model/Fullblart.h"

namespace vantora {
namespace {

using host::COLORREF;
using host::RGB;
using host::testing::MemorySurface;
using test::Backdrop;
using Rows = std::vector<std::string>;
using FulgoSpriteTest = host::testing::GdiTest;

constexpr std::uint32_t kRedEntry = 0xFF0000, kGreenEntry = 0x00FF00, kBlueEntry = 0x0000FF;
constexpr std::uint32_t kLeakEntry = 0x123456;  // in the transparent entry: shows if a '.' is drawn

void PaintBackdrop(MemorySurface& surface) {
  test::PaintBackdrop(surface.dc, surface.Width(), surface.Height());
}

// An art whose picture uses 1, 2 and 3 for red, green and blue, '.' for no pixel.
void PaintArt(tFulgoArt& art, const Rows& rows) {
  art.Dib->FreeDib();
  test::Paint(*art.Dib, rows, kTransparentIndex);
  art.Dib->SetColor(1, kRedEntry);
  art.Dib->SetColor(2, kGreenEntry);
  art.Dib->SetColor(3, kBlueEntry);
  art.Dib->SetColor(kTransparentIndex, kLeakEntry);
}

COLORREF ArtColor(char c) {
  switch (c) {
    case '1':
      return test::Ref(kRedEntry);
    case '2':
      return test::Ref(kGreenEntry);
    case '3':
      return test::Ref(kBlueEntry);
    default:
      return host::CLR_INVALID;
  }
}

// What the surface should show: Under(x, y) everywhere, and the picture's pixels other than '.'
// where Inside(x, y) holds, the picture's top-left at (X0, Y0).
void ExpectShown(
    const MemorySurface& surface, const Rows& picture, int x0, int y0,
    const std::function<COLORREF(int, int)>& under,
    const std::function<bool(int, int)>& inside = [](int, int) { return true; }) {
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x) {
      const int px = x - x0, py = y - y0;
      const bool covered = py >= 0 && py < static_cast<int>(picture.size()) && px >= 0 &&
                           px < static_cast<int>(picture[0].size()) && inside(x, y) &&
                           picture[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)] != '.';
      const COLORREF expected =
          covered ? ArtColor(picture[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)])
                  : under(x, y);
      ASSERT_EQ(surface.At(x, y), expected) << "at " << x << "," << y;
    }
}

const Rows kFace{"1..2.", ".11..", "3..3."};
const Rows kOtherFace{"..3..", "2...2", ".1.1."};

TEST_F(FulgoSpriteTest, TransparentDrawShowsTheArtsPixelsOverWhatLayUnderTheControl) {
  MemorySurface screen(7, 5);
  PaintBackdrop(screen);
  host::TCanvas canvas(screen.dc);
  tFulgoArt art(nullptr);
  TFulgoSprite sprite;
  // Without a picture there is nothing to draw, and nothing is grabbed.
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, true);
  EXPECT_TRUE(sprite.Background.IsEmpty());
  ExpectShown(screen, {}, 0, 0, Backdrop);

  PaintArt(art, kFace);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  ExpectShown(screen, kFace, 0, 0, Backdrop);
  EXPECT_EQ(sprite.Background.DC, screen.dc);
  EXPECT_EQ(sprite.Background.Width, 5);
  EXPECT_EQ(sprite.Background.Height, 3);

  // The next face is composed over the saved background, not over the face drawn before, and
  // replaces the whole area at once.
  PaintArt(art, kOtherFace);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  ExpectShown(screen, kOtherFace, 0, 0, Backdrop);
}

TEST_F(FulgoSpriteTest, TheBackgroundIsGrabbedOnceUntilReLoadBackground) {
  MemorySurface screen(6, 4);
  PaintBackdrop(screen);
  host::TCanvas canvas(screen.dc);
  tFulgoArt art(nullptr);
  PaintArt(art, kFace);
  TFulgoSprite sprite;
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);

  // What lies under the control changes; the saved copy is still used.
  const COLORREF newUnder = RGB(40, 50, 60);
  screen.Fill(newUnder);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  ExpectShown(screen, kFace, 0, 0, [&](int x, int y) { return x < 5 && y < 3 ? Backdrop(x, y) : newUnder; });

  sprite.ReLoadBackground();
  EXPECT_TRUE(sprite.Background.IsEmpty());
  screen.Fill(newUnder);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  ExpectShown(screen, kFace, 0, 0, [&](int, int) { return newUnder; });
}

TEST_F(FulgoSpriteTest, AResizedArtGrabsTheBackgroundAgainAtItsNewSize) {
  MemorySurface screen(7, 5);
  host::TCanvas canvas(screen.dc);
  tFulgoArt art(nullptr);
  PaintArt(art, {"12", "3."});
  TFulgoSprite sprite;
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);

  // The parent repaints what lies under the grown control before the control paints.
  PaintBackdrop(screen);
  PaintArt(art, kFace);
  sprite.DrawAt(art, canvas, nullptr, 0, 0, false);
  ExpectShown(screen, kFace, 0, 0, Backdrop);
  EXPECT_EQ(sprite.Background.Width, 5);
}

TEST_F(FulgoSpriteTest, InnerOffsetsMoveThePictureAndNarrowTheDrawnArea) {
  MemorySurface screen(6, 5);
  host::TCanvas canvas(screen.dc);
  tFulgoArt art(nullptr);
  const Rows picture{"1.2.", "2313", "3.1."};
  PaintArt(art, picture);
  art.InnerOffsetX = 1;
  art.InnerOffsetY = 2;
  art.InnerOffsetSizeX = 1;
  art.InnerOffsetSizeY = 1;
  art.Transparent = static_cast<TColor>(host::clWhite);
  TFulgoSprite sprite;
  // The picture lands at the position plus the inner offsets, (1, 1), and only the 3 x 2 area from
  // the canvas origin shows it.
  const auto drawn = [](int x, int y) { return x < 3 && y < 2; };

  PaintBackdrop(screen);
  sprite.DrawAt(art, canvas, nullptr, 0, -1, false);
  ExpectShown(screen, picture, 1, 1, Backdrop, drawn);

  // Opaque: that area is filled with the Transparent colour.
  PaintBackdrop(screen);
  sprite.DrawAt(art, canvas, nullptr, 0, -1, true);
  ExpectShown(
      screen, picture, 1, 1, [&](int x, int y) { return drawn(x, y) ? RGB(255, 255, 255) : Backdrop(x, y); },
      drawn);
}

TEST_F(FulgoSpriteTest, OpaqueDrawFillsTransparentPixelsWithTheArtsTransparentColour) {
  MemorySurface screen(7, 5);
  PaintBackdrop(screen);
  host::TCanvas canvas(screen.dc);
  tFulgoArt art(nullptr);
  PaintArt(art, kFace);
  ASSERT_EQ(art.Transparent, static_cast<TColor>(host::clBtnFace));
  const COLORREF face = host::ColorToRGB(host::clBtnFace);
  TFulgoSprite sprite;
  sprite.DrawAt(art, canvas, nullptr, 0, 0, true);
  ExpectShown(screen, kFace, 0, 0, [&](int x, int y) { return x < 5 && y < 3 ? face : Backdrop(x, y); });
  // The colour stays in the picture's transparent entry; nothing was grabbed.
  EXPECT_EQ(test::Ref(static_cast<std::uint32_t>(art.Dib->GetColor(kTransparentIndex))), face);
  EXPECT_TRUE(sprite.Background.IsEmpty());
}

// On the 256-colour display the art's palette is realised for the opaque draw, so its colours show
// as they are; the window keeps the palette it had selected.
TEST_F(FulgoSpriteTest, OpaqueDrawRealisesThePaletteOnAPaletteDisplay) {
  host::SetDisplayMode(host::DisplayMode::Palette256);
  const host::HWND window = host::CreateWindowSurface(6, 4);
  const host::HDC dc = host::GetDC(window);
  {
    host::TCanvas canvas(dc);
    tFulgoArt art(nullptr);
    PaintArt(art, {"12", "3."});
    const std::uint32_t odd[] = {0x123456, 0x3A7B5C, 0x6D1E9F};
    for (int i = 0; i < 3; ++i) art.Dib->SetColor(static_cast<std::uint8_t>(i + 1), odd[i]);
    art.Transparent = 0x00506070;
    test::LogPalette palette({test::Ref(odd[0]), test::Ref(odd[1]), test::Ref(odd[2]), RGB(0x70, 0x60, 0x50)},
                             host::PC_NOCOLLAPSE);
    const host::HGDIOBJ before = host::GetCurrentObject(dc, host::OBJ_PAL);
    TFulgoSprite sprite;
    sprite.DrawAt(art, canvas, palette.handle, 0, 0, true);
    EXPECT_EQ(host::GetPixel(dc, 0, 0), test::Ref(odd[0]));
    EXPECT_EQ(host::GetPixel(dc, 1, 0), test::Ref(odd[1]));
    EXPECT_EQ(host::GetPixel(dc, 0, 1), test::Ref(odd[2]));
    EXPECT_EQ(host::GetPixel(dc, 1, 1), RGB(0x70, 0x60, 0x50));
    EXPECT_EQ(host::GetCurrentObject(dc, host::OBJ_PAL), before);
  }
  host::ReleaseDC(window, dc);
  host::DestroyWindowSurface(window);
}

// A rendered label face with a drop shadow, whose offset leaves two corners without pixels.
TEST_F(FulgoSpriteTest, ARenderedFaceShowsItsPixelsInItsColoursAndTheBackgroundElsewhere) {
  MemorySurface screen(70, 40);
  PaintBackdrop(screen);
  host::TCanvas canvas(screen.dc);
  tFulgoLabelArt art(nullptr);
  art.FulgoBackground->LayerShadow->SetActive(true);
  art.FulgoBackground->LayerShadow->SetLeft(4);
  art.FulgoBackground->LayerShadow->SetTop(4);
  art.FulgoText->SetCaption("Ab");
  art.NeededWidth = 60;
  art.NeededHeight = 30;
  art.Render();
  ASSERT_EQ(art.GetWidth(), 60);
  ASSERT_EQ(art.GetHeight(), 30);
  TFulgoSprite sprite;
  sprite.DrawAt(art, canvas, art.PaletteHandle, 0, 0, false);

  const tFulgoDib& dib = *art.Dib;
  const std::size_t stride = dib::RowStride(dib.GetWidth());
  int holes = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 70; ++x) {
      COLORREF expected = Backdrop(x, y);
      if (x < 60 && y < 30) {
        const std::uint8_t index = dib::Bits(dib.Dib)[static_cast<std::size_t>(29 - y) * stride + x];
        if (index == kTransparentIndex)
          ++holes;
        else
          expected = test::Ref(static_cast<std::uint32_t>(dib.GetColor(index)));
      }
      ASSERT_EQ(screen.At(x, y), expected) << "at " << x << "," << y;
    }
  EXPECT_GT(holes, 0);
}

}  // namespace
}  // namespace vantora
