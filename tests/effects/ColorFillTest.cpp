#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "effects/Fulcolor.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/graphics/Graphics.h"
#include "palette/Fulone.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"
#include "support/RebuildCounter.h"
#include "support/Streams.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using Rows = std::vector<std::string>;

// A component that publishes a fill, as objects and layers do.
class TFillHolder : public host::TComponent {
  VANTORA_PERSISTENT(TFillHolder)
  explicit TFillHolder(host::TComponent* owner) : host::TComponent(owner), fill_(nullptr) {}
  tFulgoColor* Fill() const { return const_cast<tFulgoColor*>(&fill_); }

 private:
  tFulgoColor fill_;
};

const host::TClass& TFillHolder::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TFillHolder>("TFillHolder", host::TComponent::StaticClass())
          .ReadOnly("Fill", &TFillHolder::Fill, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFillHolder);

using test::At;

// A picture whose pixel at displayed (x, y) holds 10 * y + x.
void NumberedPicture(tFulgoDib& picture, int width, int height) {
  picture.MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      dib::Bits(picture.Dib)[static_cast<std::size_t>(height - 1 - y) * stride + x] =
          static_cast<std::uint8_t>(10 * y + x);
}

TEST(ColorFill, FuzzIsRefusedOutOfRangeAndGrowsTheBitmap) {
  test::RebuildCounter owner;
  tFulgoColor fill(&owner);
  fill.SetFuzz(7);
  for (std::int32_t bad : {8, -1}) {
    EXPECT_TRUE(test::Raises<EFulgoError>([&] { fill.SetFuzz(bad); }, "Ilegal Fuzz value"));
  }
  EXPECT_EQ(fill.Fuzz, 7);
  EXPECT_EQ(owner.count, 1);

  // Only a fuzz grows the bitmap, by its radius on every side.
  fill.CalcAddXY();
  EXPECT_EQ(fill.AddWidth, 0);
  fill.SetColorType(fgFuzz);
  fill.SetFuzz(3);
  fill.CalcAddXY();
  EXPECT_EQ((std::vector<int>{fill.AddX, fill.AddY, fill.AddWidth, fill.AddHeight}),
            (std::vector<int>{-3, -3, 6, 6}));
  fill.Fuzz = 1000;  // past the setter: sizes nothing
  EXPECT_THROW(fill.CalcAddXY(), EFulgoError);
}

TEST(ColorFill, TilesStartTopLeftAndAreCutRightAndBelow) {
  // A tile that repeats across the body, and one wider than the body.
  for (int tileWidth : {10, 40}) {
    tFulgoColor fill(nullptr);
    fill.ColorType = fgTiledBitmap;
    NumberedPicture(*fill.FulgoGlyph->Dib, tileWidth, 10);
    fill.FulgoGlyph->SetHasData(true);
    tFulgoDib body;
    Rows rows(25, std::string(25, '#'));
    for (int y = 0; y < 25; ++y) rows[y][(3 * y) % 25] = '.';
    Paint(body, rows);
    fill.Ready();
    fill.ApplyColor(body);
    EXPECT_FALSE(fill.WorkDib);
    // Displayed (x, y) shows tile pixel (x mod width, y mod 10): the third band is the tile's top
    // five rows.
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 25; ++x) {
        const int want = x == (3 * y) % 25 ? kTransparentIndex : 10 * (y % 10) + x % tileWidth;
        ASSERT_EQ(At(body, x, y), want) << tileWidth << " at " << x << "," << y;
      }
  }
}

TEST(ColorFill, PictureIsStretchedOrMissing) {
  tFulgoColor fill(nullptr);
  fill.SetColorType(fgBitmap);
  Paint(*fill.FulgoGlyph->Dib, {"12", "34"});
  fill.FulgoGlyph->SetHasData(true);
  tFulgoDib body;
  Paint(body, {"####", "#..#", "####", "###."});
  fill.Ready();
  fill.ApplyColor(body);
  EXPECT_EQ(Picture(body), (Rows{"1122", "1..2", "3344", "334."}));

  // A picture without pixels counts as none (a tile is never 0 wide): the fill becomes a brush.
  fill.SetColorType(fgTiledBitmap);
  fill.FulgoGlyph->Dib->FreeDib();
  fill.FulgoGlyph->Dib->MakeEmpty(0, 3);
  fill.BrushIndex = 9;
  fill.Ready();
  EXPECT_EQ(fill.ColorType, fgBrush);
  EXPECT_FALSE(fill.FulgoGlyph->HasData);
  fill.ApplyColor(body);
  EXPECT_EQ(Picture(body), (Rows{"9999", "9..9", "9999", "999."}));

  // A picture put into Glyph moves into FulgoGlyph.
  fill.Glyph->SetSize(3, 2);
  EXPECT_TRUE(fill.Glyph->Empty());
  EXPECT_EQ(fill.FulgoGlyph->GetWidth(), 3);
  EXPECT_EQ(fill.FulgoGlyph->GetHeight(), 2);
  fill.Glyph->SetSize(5, 5);
  EXPECT_EQ(fill.FulgoGlyph->GetWidth(), 5);
}

TEST(ColorFill, GradientIsRenderedForOneCycle) {
  tFulgoColor fill(nullptr);
  fill.SetColorType(fgTiledGradient);
  fill.Gradient->SetGradWidth(3);
  fill.Gradient->SetGradHeight(2);
  fill.Ready();
  ASSERT_TRUE(fill.WorkDib);
  tFulgoDib body;
  Paint(body, {"#####.", "######"});
  fill.ApplyColor(body);
  EXPECT_FALSE(fill.WorkDib);
  EXPECT_EQ(Picture(body), (Rows{"01201.", "012012"}));

  // A gradient that cannot render paints the brush this once; the fill keeps its kind.
  fill.Gradient->Vortex[0].Steps = 0;
  fill.BrushIndex = 3;
  fill.Ready();
  fill.ApplyColor(body);
  EXPECT_EQ(fill.ColorType, fgTiledGradient);
  EXPECT_EQ(Picture(body), (Rows{"33333.", "333333"}));
}

// A stretched gradient or picture keeps its own indices until it is painted; the body must come
// out as when the working picture was mapped to the palette first and then stretched.
TEST(ColorFill, StretchedPictureIsMappedWhereItLands) {
  for (efgColorType kind : {fgGradient, fgBitmap, fgTiledGradient}) {
    tFulgoColor fill(nullptr);
    fill.SetColorType(kind);
    fill.Gradient->SetGradWidth(30);
    fill.Gradient->SetGradHeight(7);
    fill.Gradient->SetAngle(70);
    NumberedPicture(*fill.FulgoGlyph->Dib, 9, 4);
    for (std::uint32_t i = 0; i < 256; ++i)
      dib::Put32(dib::ColorTable(fill.FulgoGlyph->Dib->Dib) + 4 * i,
                 (i * 3) << 16 | (255 - i) << 8 | (i * 7 & 255));
    fill.FulgoGlyph->SetHasData(true);
    tFulgoDib body;
    Rows rows(11, std::string(23, '#'));
    for (int y = 0; y < 11; ++y) rows[y][(5 * y) % 23] = '.';
    Paint(body, rows, 9);  // shape in the padding too: painting leaves none there
    tFulgoOnePalette palette;
    palette.AddFixBrush(0x00102030);
    fill.Ready();
    fill.RegisterOnePalette(palette);
    palette.BuildPalette();

    // A stretched gradient is never drawn whole by the fill: the whole one is drawn here.
    tFulgoDib whole;
    if (kind == fgGradient) fill.Gradient->CreateGradient(whole);
    const tFulgoDib& working = kind == fgGradient ? whole : *fill.WorkDib;
    tFulgoDib mapped;
    mapped.MakeEmpty(working.GetWidth(), working.GetHeight());
    std::memcpy(mapped.Dib, working.Dib, working.GetDibMemorySize());
    palette.ChangeDib(mapped, static_cast<std::uint16_t>(fill.DibHandle));
    tFulgoDib expected;
    expected.MakeEmpty(body.GetWidth(), body.GetHeight());
    std::memcpy(expected.Dib, body.Dib, body.GetDibMemorySize());
    if (kind == fgTiledGradient) {
      tFulgoColor tiles(nullptr);
      tiles.WorkDib = std::make_unique<tFulgoDib>();
      tiles.WorkDib->GrabDib(mapped);
      tiles.ApplyTiledBitmap(expected);
    } else {
      tFulgoDib stretched;
      stretched.MakeEmpty(body.GetWidth(), body.GetHeight());
      Stretch(dib::Bits(mapped.Dib), dib::Bits(stretched.Dib), mapped.GetWidth(), mapped.GetHeight(),
              body.GetWidth(), body.GetHeight());
      ColorizeText(dib::Bits(expected.Dib), dib::Bits(stretched.Dib), body.GetWidth(), body.GetHeight(), 247);
    }

    fill.ApplyOnePalette(palette);
    fill.ApplyColor(body);
    EXPECT_EQ(test::Raster(body), test::Raster(expected)) << kind;
    EXPECT_GT(std::set<std::uint8_t>(dib::Bits(body.Dib), dib::Bits(body.Dib) + 24 * 11).size(), 4u) << kind;
  }
}

TEST(ColorFill, FuzzColorsAndTheirCoverage) {
  tFulgoColor fill(nullptr);
  fill.SetColorType(fgFuzz);
  fill.SetFuzz(2);
  fill.SetBrush(0x00FF7F0A);  // red 10, green 127, blue 255
  tFulgoOnePalette palette;
  fill.Ready();
  fill.RegisterOnePalette(palette);
  // 25 colours in colour-table order (blue in the low byte), from one step past black to Brush.
  ASSERT_EQ(fill.FuzzColors.size(), 25u);
  EXPECT_EQ(fill.FuzzColors[0], 0x00050Au);
  EXPECT_EQ(fill.FuzzColors[1], 0x010A14u);
  EXPECT_EQ(fill.FuzzColors[24], 0x0A7FFFu);

  // System colours are resolved: from white to button face (192, 192, 192) in 9 steps of 7.
  tFulgoColor grey(nullptr);
  grey.SetColorType(fgFuzz);
  grey.SetFuzz(1);
  grey.SetBrush(static_cast<TColor>(kSystemColorFlag | 15));
  grey.SetBrush2(0x00FFFFFF);
  tFulgoOnePalette palette2;
  tFulgoDib body;
  Paint(body, {"###", "###", "###"});
  grey.Ready();
  grey.RegisterOnePalette(palette2);
  EXPECT_EQ(grey.FuzzColors[0], 0xF8F8F8u);
  EXPECT_EQ(grey.FuzzColors[8], 0xC0C0C0u);
  palette2.BuildPalette();
  grey.ApplyOnePalette(palette2);
  grey.ApplyColor(body);
  EXPECT_TRUE(grey.FuzzColors.empty());
  // Coverage k shows fuzz colour k - 1: 1 at the corners, 3 mid-edge, 9 (the brush) in the middle.
  ASSERT_EQ(body.GetWidth(), 5);
  EXPECT_EQ(At(body, 0, 0), palette2.FindBrush(0xF8F8F8));
  EXPECT_EQ(At(body, 4, 4), palette2.FindBrush(0xF8F8F8));
  EXPECT_EQ(At(body, 2, 0), palette2.FindBrush(0xEAEAEA));
  EXPECT_EQ(At(body, 2, 2), palette2.FindBrush(0xC0C0C0));

  // Painting without mapped colours is refused rather than guessed.
  EXPECT_THROW(grey.ApplyColor(body), EFulgoError);
}

TEST(ColorFill, AssignCopiesThroughTheSettersAndRebuildsOnce) {
  tFulgoColor source(nullptr);
  source.SetColorType(fgTiledBitmap);
  source.SetFuzz(4);
  source.SetBrush(0x010203);
  source.SetBrush2(0x040506);
  Paint(*source.FulgoGlyph->Dib, {"12", "34"});
  source.Gradient->SetAngle(30);
  test::RebuildCounter owner;
  tFulgoColor dest(&owner);
  dest.Assign(&source);
  EXPECT_EQ(owner.count, 1);
  EXPECT_TRUE(dest.NotifyOwner);
  EXPECT_EQ((std::vector<int>{dest.ColorType, dest.Fuzz, dest.Brush, dest.Brush2, dest.Gradient->Angle}),
            (std::vector<int>{fgTiledBitmap, 4, 0x010203, 0x040506, 30}));
  EXPECT_EQ(Picture(*dest.FulgoGlyph->Dib), (Rows{"12", "34"}));
  // A picture copied for another kind is kept but not streamed.
  source.SetColorType(fgBrush);
  dest.Assign(&source);
  EXPECT_FALSE(dest.FulgoGlyph->Empty());
  EXPECT_FALSE(dest.FulgoGlyph->HasData);

  test::RebuildCounter unrelated;
  EXPECT_TRUE(test::Raises<host::EConvertError>([&] { source.AssignTo(&unrelated); },
                                                "Can not assign tFulgoPersistent to tFulgoColor"));
}

TEST(ColorFillStream, OnlyTheSourceInUseIsWritten) {
  TFillHolder holder(nullptr);
  holder.SetName("Holder");
  EXPECT_EQ(test::ToText(holder), "object Holder: TFillHolder\nend\n");

  tFulgoColor& fill = *holder.Fill();
  Paint(*fill.FulgoGlyph->Dib, {"12", "34"});
  fill.FulgoGlyph->SetHasData(true);
  fill.Gradient->SetAngle(90);
  fill.SetColorType(fgFuzz);
  fill.SetFuzz(3);
  fill.SetBrush(255);
  fill.SetBrush2(static_cast<TColor>(kSystemColorFlag | 15));
  EXPECT_EQ(test::ToText(holder),
            "object Holder: TFillHolder\n"
            "  Fill.ColorType = fgFuzz\n"
            "  Fill.Fuzz = 3\n"
            "  Fill.Brush = 255\n"
            "  Fill.Brush2 = -2147483633\n"
            "  Fill.Gradient.Angle = 90\n"
            "end\n");
  fill.SetColorType(fgTiledGradient);
  std::string text = test::ToText(holder);
  EXPECT_NE(text.find("Fill.Gradient.ZizeruWiz"), std::string::npos);
  EXPECT_EQ(text.find("ButtonStates"), std::string::npos);
  fill.SetColorType(fgBitmap);
  text = test::ToText(holder);
  EXPECT_EQ(text.find("ZizeruWiz"), std::string::npos);
  EXPECT_NE(text.find("Fill.FulgoGlyph.ButtonStates"), std::string::npos);

  const auto copy = test::FromText<TFillHolder>(text);
  EXPECT_EQ(test::ToText(*copy), text);
  EXPECT_EQ(Picture(*copy->Fill()->FulgoGlyph->Dib), (Rows{"12", "34"}));
  EXPECT_THROW(test::FromText<TFillHolder>("object H: TFillHolder\n  Fill.Fuzz = 9\nend\n"), EFulgoError);
}

}  // namespace
}  // namespace vantora
