// The art: background sizing, text alignment, rebuild notices and the stream copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/uMemory.h"
#include "host/classes/Platform.h"
#include "host/classes/Stream.h"
#include "host/classes/TextForm.h"
#include "host/graphics/Gdi.h"
#include "model/Fullblart.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"
#include "support/Streams.h"

namespace vantora {
namespace {

// An art class unrelated to the label's, as a button's art is.
class TOtherArt : public tFulgoArt {
  VANTORA_PERSISTENT(TOtherArt)
  explicit TOtherArt(tFulgoPersistent* owner) : tFulgoArt(owner) {}
};

const host::TClass& TOtherArt::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TOtherArt>("TOtherArt", tFulgoArt::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TOtherArt);

std::string LookText(tFulgoArt& art) {
  host::TMemoryStream s;
  art.SaveToStream(s);
  return test::TextOf(s);
}

TEST(ArtSize, BackgroundFollowsTheTextOrTheImposedSize) {
  tFulgoLabelArt art(nullptr);
  art.FulgoText->SetCaption("H");
  art.Render();
  const int w = art.FulgoText->Width, h = art.FulgoText->Height;
  EXPECT_EQ(art.FulgoBackground->TargetWidth, w);
  EXPECT_EQ(art.FulgoBackground->TargetHeight, h);
  EXPECT_EQ(art.GetWidth(), w);
  EXPECT_EQ(art.FulgoText->Align->PosX, 0);
  EXPECT_EQ(art.FulgoText->Align->PosY, 0);

  art.FulgoBackground->TextWidthPlus = 10;
  art.FulgoBackground->TextHeightPlus = 4;
  art.SetInnerOffsetSizeX(2);
  art.Render();
  EXPECT_EQ(art.GetWidth(), w + 12);
  EXPECT_EQ(art.GetHeight(), h + 4);
  // Centred on the background, offsets included.
  EXPECT_EQ(art.FulgoText->Align->PosX, 6);
  EXPECT_EQ(art.FulgoText->Align->PosY, 2);

  art.FulgoText->Align->Alignment = host::taLeftJustify;
  art.FulgoText->Align->Y = -1;
  art.Render();
  EXPECT_EQ(art.FulgoText->Align->PosX, 1);
  EXPECT_EQ(art.FulgoText->Align->PosY, 1);
  art.FulgoText->Align->Alignment = host::taRightJustify;
  art.Render();
  EXPECT_EQ(art.FulgoText->Align->PosX, 12);

  // An imposed width less the frame's growth on both sides.
  art.SetInnerOffsetSizeX(0);
  art.FulgoBackground->LayerFrame->SetActive(true);
  art.FulgoBackground->LayerFrame->SetLineWidth(2);
  art.NeededWidth = 200;
  art.NeededHeight = 30;
  art.Render();
  EXPECT_EQ(art.FulgoBackground->TargetWidth, 196);
  EXPECT_EQ(art.FulgoBackground->TargetHeight, 26);
  EXPECT_EQ(art.GetWidth(), 200);
  EXPECT_EQ(art.GetHeight(), 30);

  // Smaller than the growth: a body of one pixel. Beyond a bitmap side: capped.
  art.NeededWidth = 3;
  art.Render();
  EXPECT_EQ(art.FulgoBackground->TargetWidth, 1);
  art.NeededWidth = 2000000000;
  art.CalcBackgroundSize(0);
  EXPECT_EQ(art.FulgoBackground->TargetWidth, kMaxBitmapSide);
}

TEST(ArtSize, RenderFailureKeepsThePaletteAndFreesThePictures) {
  tFulgoLabelArt art(nullptr);
  art.FulgoText->SetCaption("ab");
  art.Render();
  const host::HPALETTE palette = art.PaletteHandle;
  ASSERT_NE(palette, nullptr);
  art.FulgoText->GetLetterFont(1)->SetHeight(0);
  art.FulgoText->GetLetterFont(0)->SetHeight(0);
  EXPECT_THROW(art.Render(), EFulgoError);
  EXPECT_EQ(art.PaletteHandle, palette);
  EXPECT_TRUE(art.Dib->Empty());
  EXPECT_TRUE(art.FulgoText->Dib->Empty());

  // An art without a background says so.
  art.FulgoBackground->SetActive(false);
  EXPECT_THROW(art.Render(), EFulgoError);
}

// A window that realised the face's palette keeps a live one while the colours stay.
TEST(ArtPalette, SameColoursKeepTheHandleNewColoursGetTheirOwn) {
  tFulgoLabelArt art(nullptr);
  art.FulgoText->SetCaption("ab");
  art.FulgoText->FulgoColor->SetBrush(0x102030);
  art.Render();
  const host::HPALETTE first = art.PaletteHandle;
  ASSERT_NE(first, nullptr);
  art.Render();
  EXPECT_EQ(art.PaletteHandle, first);

  art.FulgoText->FulgoColor->SetBrush(0x405060);
  art.Render();
  ASSERT_NE(art.PaletteHandle, nullptr);
  host::PALETTEENTRY entries[256];
  ASSERT_EQ(host::GetPaletteEntries(art.PaletteHandle, 0, 256, entries), 256u);
  const auto holds = [&](host::BYTE red, host::BYTE green, host::BYTE blue) {
    return std::any_of(std::begin(entries), std::end(entries), [&](const host::PALETTEENTRY& e) {
      return e.peRed == red && e.peGreen == green && e.peBlue == blue;
    });
  };
  EXPECT_TRUE(holds(0x60, 0x50, 0x40));
  EXPECT_FALSE(holds(0x30, 0x20, 0x10));
  // A handle changed behind the art's back is not taken for the palette it should have.
  entries[20] = host::PALETTEENTRY{1, 2, 3, 0};
  const host::HPALETTE changed = art.PaletteHandle;
  ASSERT_EQ(host::SetPaletteEntries(changed, 20, 1, &entries[20]), 1u);
  art.Render();
  ASSERT_EQ(host::GetPaletteEntries(art.PaletteHandle, 0, 256, entries), 256u);
  EXPECT_FALSE(holds(1, 2, 3));
  EXPECT_TRUE(holds(0x60, 0x50, 0x40));
}

// Renders keep what the colours and the gradient gave last time: whatever changes in between, a
// face rendered again is the face a fresh art renders.
TEST(ArtPalette, AFaceRenderedAgainIsTheFaceOfAFreshArt) {
  tFulgoLabelArt art(nullptr);
  art.FulgoText->SetCaption("Again");
  art.FulgoBackground->FulgoColor->SetColorType(fgGradient);
  art.FulgoBackground->LayerShadow->SetActive(true);
  tFulgoGradient& gradient = *art.FulgoBackground->FulgoColor->Gradient;
  const auto same = [&art] {
    art.Render();
    tFulgoLabelArt fresh(nullptr);
    fresh.Assign(&art);
    fresh.FulgoText->SetCaption(art.FulgoText->GetCaption());  // not part of a label's look
    fresh.NeededWidth = art.NeededWidth;
    fresh.NeededHeight = art.NeededHeight;
    fresh.Render();
    return test::Raster(*art.Dib) == test::Raster(*fresh.Dib) &&
           std::equal(dib::ColorTable(art.Dib->Dib), dib::ColorTable(art.Dib->Dib) + dib::kColorTableSize,
                      dib::ColorTable(fresh.Dib->Dib));
  };
  EXPECT_TRUE(same());
  EXPECT_TRUE(same());
  art.FulgoText->SetCaption("Other words");
  EXPECT_TRUE(same());
  gradient.Vortex[0].Red = 17;  // a field written directly, without a notice
  EXPECT_TRUE(same());
  gradient.GradType = kGradCircular;
  EXPECT_TRUE(same());
  art.FulgoText->FulgoColor->SetBrush(0x00F0E0);
  EXPECT_TRUE(same());
  art.NeededWidth = 90;
  art.NeededHeight = 30;
  EXPECT_TRUE(same());
  art.FulgoBackground->LayerShadow->FulgoColor1->SetBrush(0x0000FF);
  EXPECT_TRUE(same());
}

// A render takes its bitmaps' blocks from those the last one freed, unclear: every byte of the
// face, row padding included, must be written anew all the same.
TEST(ArtPalette, ALargeFaceOnReusedBlocksIsByteForByteTheSame) {
  const auto layered = [](tFulgoLabelArt& art, TColor colour, const char* caption) {
    art.FulgoBackground->FulgoColor->SetColorType(fgGradient);
    for (tFulgoObject* object :
         {static_cast<tFulgoObject*>(art.FulgoBackground), static_cast<tFulgoObject*>(art.FulgoText)}) {
      object->Layer3D->SetActive(true);
      object->Layer3D->SetEmbossed(true);
      object->LayerFrame->SetActive(true);
      object->LayerShadow->SetActive(true);
      object->LayerFrame->FulgoColor1->SetBrush(colour);
    }
    art.FulgoText->SetCaption(caption);
    art.NeededWidth = 401;  // odd: three padding bytes a row
    art.NeededHeight = 203;
  };
  const auto block = [](const tFulgoLabelArt& art) {
    return std::string(reinterpret_cast<const char*>(art.Dib->Dib), art.Dib->GetDibMemorySize());
  };
  // Blocks of about a face's sizes, freed full of a byte no render writes there.
  const auto dirtySpares = [] {
    std::vector<MemBlock> blocks;
    for (std::int32_t size = 80000; size < 116000; size += 1500) {
      blocks.push_back(GetUnclearedBlock(size));
      std::memset(blocks.back().get(), 0xA5, static_cast<std::size_t>(size));
    }
  };
  tFulgoLabelArt art(nullptr), other(nullptr);
  layered(art, 0x2020C0, "Reused");
  layered(other, 0xC0F020, "Other blocks");
  art.Render();
  const std::string first = block(art);
  for (int i = 0; i < 3; ++i) {
    other.Render();
    ASSERT_NE(block(other), first);
    dirtySpares();
    art.Render();
    EXPECT_EQ(block(art), first) << "render " << i + 2;
  }
}

// A message shown while a face renders runs a message loop, in which other faces paint.
TEST(ArtPalette, AFaceRenderedWhileAnotherRendersLeavesItsPaletteAlone) {
  const auto face = [](tFulgoLabelArt& art) {
    return std::pair(test::Raster(*art.Dib),
                     std::vector<std::uint8_t>(dib::ColorTable(art.Dib->Dib),
                                               dib::ColorTable(art.Dib->Dib) + dib::kColorTableSize));
  };
  tFulgoLabelArt inner(nullptr), outer(nullptr), alone(nullptr);
  inner.FulgoText->SetCaption("in");
  inner.FulgoText->FulgoColor->SetBrush(0x1020F0);
  for (tFulgoLabelArt* art : {&outer, &alone}) {
    art->FulgoText->SetCaption("out");
    art->FulgoText->FulgoColor->SetBrush(0x30C040);
    art->FulgoBackground->FulgoColor->SetColorType(fgGradient);
    art->FulgoBackground->FulgoColor->Gradient->Vortex[0].Steps = 0;  // the gradient cannot render: a message
  }
  alone.Render();
  outer.Render();  // its palette is the one kept

  struct PaintingBox : host::IMessageBoxService {
    tFulgoLabelArt* art;
    int Show(const std::string&, const std::string&, std::uint32_t) override {
      art->Render();
      return host::IDOK;
    }
  };
  auto box = std::make_unique<PaintingBox>();
  box->art = &inner;
  auto before = host::SetMessageBoxService(std::move(box));
  outer.Render();
  host::SetMessageBoxService(std::move(before));
  EXPECT_EQ(face(outer), face(alone));
  tFulgoLabelArt fresh(nullptr);
  fresh.Assign(&inner);
  fresh.FulgoText->SetCaption("in");
  fresh.Render();
  EXPECT_EQ(face(inner), face(fresh));
}

TEST(ArtRebuild, NoticesReachTheRebuildEventOnly) {
  tFulgoLabelArt art(nullptr);
  int rebuilds = 0;
  art.OnRebuild = [&] { ++rebuilds; };
  art.SetInnerOffsetSizeX(4);
  art.SetInnerOffsetSizeY(4);
  EXPECT_EQ(rebuilds, 0);
  art.SetInnerOffsetX(4);
  art.SetInnerOffsetX(4);
  EXPECT_EQ(rebuilds, 1);
  art.FulgoText->SetCaption("x");
  art.FulgoBackground->LayerShadow->FulgoColor1->SetBrush(0x123456);
  EXPECT_EQ(rebuilds, 3);
  art.NotifyOwner = false;
  art.SetTransparent(0);
  EXPECT_EQ(rebuilds, 3);
}

TEST(ArtCopy, AssignCopiesEveryPublishedValueBetweenLabelArts) {
  tFulgoLabelArt source(nullptr), dest(nullptr);
  source.SetInnerOffsetX(3);
  source.SetTransparent(0x00FF00);
  source.FulgoText->SetCaption("Hello");
  source.FulgoText->GetLetterFont(4)->SetAngle(20);
  source.FulgoText->GetLetterFont(5)->SetFontName("Arial");
  source.FulgoText->Align->Alignment = host::taLeftJustify;
  source.FulgoBackground->SetImageAutoSize(false);
  source.FulgoBackground->FulgoColor->SetColorType(fgGradient);
  source.FulgoBackground->FulgoColor->Gradient->SetAngle(45);
  source.FulgoBackground->LayerFrame->SetActive(true);
  source.FulgoBackground->LayerShadow->SetLeft(4);
  dest.SetInnerOffsetY(9);  // reset by the copy
  dest.FulgoText->SetCaption("Hello");
  int rebuilds = 0;
  dest.OnRebuild = [&] { ++rebuilds; };

  dest.Assign(&source);
  EXPECT_EQ(rebuilds, 1);
  EXPECT_EQ(dest.InnerOffsetY, 0);
  EXPECT_EQ(dest.FulgoText->GetLetterFont(4)->GetAngle(), 20);
  EXPECT_EQ(dest.FulgoText->GetLetterFont(5)->GetFontName(), "Arial");
  EXPECT_EQ(LookText(dest), LookText(source));

  TOtherArt other(nullptr);
  EXPECT_TRUE(test::Raises<host::EConvertError>([&] { other.Assign(&source); },
                                                "Can not assign TOtherArt to tFulgoLabelArt"));
}

TEST(ArtCopy, LookFilesRoundTripAndFailedLoadsChangeNothing) {
  tFulgoLabelArt art(nullptr);
  art.SetInnerOffsetX(5);
  art.FulgoBackground->SetExist(false);
  const std::string look = LookText(art);
  EXPECT_EQ(look.find("Image"), std::string::npos) << "the picture slots are never streamed";

  tFulgoLabelArt loaded(nullptr);
  host::TMemoryStream text;
  text.WriteBuffer(look.data(), static_cast<std::int64_t>(look.size()));
  text.SetPosition(0);
  loaded.LoadFromStream(text);
  EXPECT_EQ(LookText(loaded), look);

  const std::string broken = look.substr(0, look.rfind("end")) + "  Art.FulgoText.Nothing = 1\nend\n";
  host::TMemoryStream bad;
  bad.WriteBuffer(broken.data(), static_cast<std::int64_t>(broken.size()));
  bad.SetPosition(0);
  tFulgoLabelArt untouched(nullptr);
  untouched.SetInnerOffsetY(7);
  EXPECT_THROW(untouched.LoadFromStream(bad), host::EReadError);
  EXPECT_EQ(untouched.InnerOffsetY, 7);
  EXPECT_TRUE(untouched.FulgoBackground->Exist);
}

}  // namespace
}  // namespace vantora
