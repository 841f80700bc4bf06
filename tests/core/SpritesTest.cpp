// Sprites: device bitmaps grabbed, loaded, duplicated, masked, and drawn, put and stretched with the
// copy, mask and invert raster operations.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DrawTestUtil.h"
#include "core/Sprites.h"
#include "host/GdiTestSupport.h"
#include "host/classes/Errors.h"
#include "host/graphics/Graphics.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using host::COLORREF;
using host::RGB;
using host::testing::MemorySurface;
using test::Backdrop;
using SpriteTest = host::testing::GdiTest;
using Rows = std::vector<std::string>;

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
const std::map<char, COLORREF> kLegend{
    {'r', kRed}, {'g', kGreen}, {'b', kBlue}, {'#', kWhite}, {'.', kBlack}};

void PaintBackdrop(MemorySurface& surface) {
  test::PaintBackdrop(surface.dc, surface.Width(), surface.Height());
}

void PaintRows(host::HDC dc, const Rows& rows) {
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      host::SetPixel(dc, static_cast<int>(x), static_cast<int>(y), kLegend.at(rows[y][x]));
}

// A sprite holding the picture, with DC as its reference context.
void MakeSprite(TSpriteBmp& sprite, host::HDC dc, const Rows& rows) {
  sprite.DC = dc;
  sprite.CreateBitmap(dc, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  PaintRows(sprite.GetBitmapDC().get(), rows);
}

Rows Shown(const TSpriteBmp& sprite) {
  return test::Shown(sprite.GetBitmapDC().get(), sprite.Width, sprite.Height, kLegend);
}

TEST_F(SpriteTest, AnEmptySpriteHasNothingToDrawOrCopy) {
  MemorySurface surface(6, 6);
  PaintBackdrop(surface);
  const auto before = surface.Pixels();
  TSpriteBmp sprite;
  sprite.DC = surface.dc;
  EXPECT_FALSE(sprite.GetBitmapDC());
  EXPECT_FALSE(sprite.Duplicate());
  sprite.Width = sprite.Height = 4;
  sprite.DrawCopy(surface.dc, 0, 0);
  sprite.StretchCopy(surface.dc, 0, 0, 0, 0, 6, 6);
  sprite.MaskSelf();
  TSpriteBmp target;
  MakeSprite(target, surface.dc, {"rg", "b#"});
  sprite.PutCopy(target, 0, 0);
  EXPECT_EQ(surface.Pixels(), before);
  EXPECT_EQ(Shown(target), (Rows{"rg", "b#"}));

  // Nor onto an empty target.
  target.FreeBitmap();
  TSpriteBmp source;
  MakeSprite(source, surface.dc, {"r"});
  source.PutCopy(target, 0, 0);
  source.StretchPutCopy(target, 0, 0, 0, 0, 2, 2);
  EXPECT_TRUE(target.IsEmpty());
}

TEST_F(SpriteTest, GrabKeepsTheAreaAndDrawCopyPutsItAtThePosition) {
  MemorySurface screen(10, 8);
  PaintBackdrop(screen);
  TSpriteBmp sprite;
  sprite.DC = screen.dc;
  sprite.GrabBitmap(screen.dc, 2, 1, 4, 3);
  ASSERT_FALSE(sprite.IsEmpty());
  EXPECT_EQ(sprite.Width, 4);
  EXPECT_EQ(sprite.Height, 3);
  EXPECT_EQ(sprite.X, 0);  // the grab position is not the sprite's
  EXPECT_EQ(sprite.Y, 0);

  // The grabbed copy does not follow later changes of the device.
  screen.Fill(kBlack);
  MemorySurface target(10, 8, kWhite);
  sprite.DrawCopy(target.dc, 5, 4);
  EXPECT_EQ(sprite.X, 5);
  EXPECT_EQ(sprite.Y, 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 5 && x < 9 && y >= 4 && y < 7;
      EXPECT_EQ(target.At(x, y), inside ? Backdrop(x - 3, y - 3) : kWhite) << x << "," << y;
    }

  // The picture XORed onto itself turns black, and black ANDed onto black stays black.
  sprite.DrawInvert(target.dc, 5, 4);
  sprite.DrawMask(target.dc, 5, 4);
  EXPECT_EQ(target.Count(kBlack), 4 * 3);
}

TEST_F(SpriteTest, PutDrawsIntoAnotherSpritesPicture) {
  MemorySurface screen(1, 1);
  TSpriteBmp target, stamp, mask;
  MakeSprite(target, screen.dc, {"bbbb", "bbbb", "bbbb"});
  MakeSprite(stamp, screen.dc, {"rg", "#."});
  stamp.PutCopy(target, 1, 1);
  EXPECT_EQ(Shown(target), (Rows{"bbbb", "brgb", "b#.b"}));
  EXPECT_EQ(stamp.X, 1);
  EXPECT_EQ(stamp.Y, 1);

  // Transparency the classic way: a mask ANDed (white keeps, black cuts), then the image XORed in.
  MakeSprite(mask, screen.dc, {"#.", "##"});
  mask.PutMask(target, 2, 0);
  EXPECT_EQ(Shown(target), (Rows{"bbb.", "brgb", "b#.b"}));
  stamp.PutInvert(target, 2, 0);
  EXPECT_EQ(Shown(target), (Rows{"bb?g", "br?b", "b#.b"}));
  EXPECT_EQ(host::GetPixel(target.GetBitmapDC().get(), 2, 0), RGB(255, 0, 255));
}

TEST_F(SpriteTest, StretchTakesWidthByHeightFromTheSourceOrigin) {
  MemorySurface screen(8, 4, kBlack);
  TSpriteBmp frames;
  // Two frames of 2 x 2 side by side.
  MakeSprite(frames, screen.dc, {"rg#b", "b#gr"});
  frames.DrawCopy(screen.dc, 10, 20);
  EXPECT_EQ(frames.X, 10);
  EXPECT_EQ(frames.Y, 20);

  frames.Width = 2;
  frames.StretchCopy(screen.dc, 2, 0, 1, 0, 4, 4);
  EXPECT_EQ(frames.X, 2);
  EXPECT_EQ(frames.Y, 0);
  EXPECT_EQ(test::Shown(screen.dc, 8, 4, kLegend), (Rows{".##bb...", ".##bb...", ".ggrr...", ".ggrr..."}));

  // Into another sprite: the first frame copied, the second ANDed beside it.
  TSpriteBmp target;
  MakeSprite(target, screen.dc, {"rrrr", "rrrr"});
  frames.StretchPutCopy(target, 0, 0, 0, 0, 2, 2);
  frames.StretchPutMask(target, 2, 0, 2, 0, 2, 2);
  EXPECT_EQ(Shown(target), (Rows{"rgr.", "b#.r"}));
}

TEST_F(SpriteTest, MaskSelfAndSpriteSelfKeyOnTheTopLeftColour) {
  MemorySurface screen(1, 1);
  const Rows picture{"rgr#", "b.rr", "#rgb"};
  TSpriteBmp sprite;
  MakeSprite(sprite, screen.dc, picture);
  sprite.MaskSelf();
  EXPECT_EQ(Shown(sprite), (Rows{"#.#.", "..##", ".#.."}));

  MakeSprite(sprite, screen.dc, picture);
  sprite.SpriteSelf();
  EXPECT_EQ(Shown(sprite), (Rows{".g.#", "b...", "#.gb"}));

  // A black key: masking makes the black pixels white, sprite-making leaves the picture.
  MakeSprite(sprite, screen.dc, {".r", "g."});
  sprite.SpriteSelf();
  EXPECT_EQ(Shown(sprite), (Rows{".r", "g."}));
  sprite.MaskSelf();
  EXPECT_EQ(Shown(sprite), (Rows{"#.", ".#"}));
}

TEST_F(SpriteTest, DuplicateIsAnIndependentCopyWithTheSameReferenceContext) {
  MemorySurface screen(1, 1);
  TSpriteBmp sprite;
  MakeSprite(sprite, screen.dc, {"rgb", "#.r"});
  sprite.X = 7;
  const std::unique_ptr<TSpriteBmp> copy = sprite.Duplicate();
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->DC, screen.dc);
  EXPECT_EQ(copy->Width, 3);
  EXPECT_EQ(copy->Height, 2);
  EXPECT_EQ(copy->X, 0);
  EXPECT_NE(copy->Bitmap.get(), sprite.Bitmap.get());
  sprite.MaskSelf();
  EXPECT_EQ(Shown(*copy), (Rows{"rgb", "#.r"}));
}

TEST_F(SpriteTest, LoadFromFileTakesThePicturesPixelsAndPalette) {
  const test::TempDir dir;
  const std::string path = dir.Name("frames.bmp");
  const std::vector<COLORREF> colors{kBlack, kRed, kGreen, kBlue, kWhite};
  {
    host::TBitmap picture;
    picture.SetSize(4, 2);
    test::LogPalette palette(colors, 0);
    picture.SetPalette(palette.handle);
    palette.handle = nullptr;  // the bitmap owns it now
    PaintRows(picture.Canvas().Handle(), {"rgb#", "#.gr"});
    picture.SaveToFile(path);
  }

  TSpriteBmp sprite;
  sprite.LoadFromFile(path);
  sprite.LoadFromFile(path);  // the first picture and palette are freed: the fixture counts them
  EXPECT_EQ(sprite.Width, 4);
  EXPECT_EQ(sprite.Height, 2);
  EXPECT_EQ(Shown(sprite), (Rows{"rgb#", "#.gr"}));
  ASSERT_TRUE(sprite.PaletteHandle);
  std::vector<host::PALETTEENTRY> entries(colors.size());
  ASSERT_EQ(host::GetPaletteEntries(sprite.PaletteHandle.get(), 0, 5, entries.data()), 5u);
  for (std::size_t i = 0; i < colors.size(); ++i)
    EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), colors[i]) << i;

  // A file that cannot be read leaves the sprite as it was.
  const host::HBITMAP held = sprite.Bitmap.get();
  EXPECT_THROW(sprite.LoadFromFile(dir.Name("missing.bmp")), host::Exception);
  EXPECT_EQ(sprite.Bitmap.get(), held);
  EXPECT_TRUE(sprite.PaletteHandle);
}

}  // namespace
}  // namespace vantora
