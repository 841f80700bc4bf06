// A complete label face: gradient background with a frame and a shadow, a ten-letter caption.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <tuple>

#include "core/DibLayout.h"
#include "core/uMemory.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/PictureFile.h"
#include "model/Fullblart.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using Rgb = std::tuple<int, int, int>;

Rgb TableEntry(const tFulgoDib& d, int i) {
  const std::uint8_t* e = dib::ColorTable(d.Dib) + 4 * i;
  return {e[2], e[1], e[0]};
}

void BuildFace(tFulgoLabelArt& art) {
  tFulgoBackground& back = *art.FulgoBackground;
  back.FulgoColor->SetColorType(fgGradient);
  back.LayerFrame->SetActive(true);
  back.LayerFrame->SetLineWidth(2);
  back.LayerFrame->FulgoColor1->SetBrush(0x202080);
  back.LayerShadow->SetActive(true);
  back.LayerShadow->SetLeft(3);
  back.LayerShadow->SetTop(3);
  back.LayerShadow->FulgoColor1->SetBrush(0x404040);
  art.FulgoText->FulgoColor->SetBrush(0xF0F0F0);
  art.FulgoText->SetCaption("Vantora 10");
  art.NeededWidth = 145;
  art.NeededHeight = 38;
}

TEST(ArtFace, ColourTableIsTheBuiltPaletteAndPixelsUseOnlyItsEntries) {
  const int gdiBefore = host::LiveGdiObjectCount();
  {
    tFulgoLabelArt art(nullptr);
    BuildFace(art);
    art.Render();
    ASSERT_EQ(art.GetWidth(), 145);
    ASSERT_EQ(art.GetHeight(), 38);
    ASSERT_NE(art.PaletteHandle, nullptr);
    // The objects give their pictures up once composed.
    EXPECT_TRUE(art.FulgoText->Dib->Empty());
    EXPECT_TRUE(art.FulgoBackground->Dib->Empty());

    // Every colour announced: three brushes and the 110 ramp colours of the default gradient, few
    // enough to be kept exactly.
    std::set<Rgb> announced{{0xF0, 0xF0, 0xF0}, {0x80, 0x20, 0x20}, {0x40, 0x40, 0x40}};
    {
      tFulgoGradient ramp(nullptr);
      tFulgoDib g;
      ramp.CreateGradient(g);
      for (int i = 0; i < 110; ++i) announced.insert(TableEntry(g, i));
    }
    host::PALETTEENTRY logical[256];
    ASSERT_EQ(host::GetPaletteEntries(art.PaletteHandle, 0, 256, logical), 256u);

    const tFulgoDib& d = *art.Dib;
    std::set<int> used;
    for (int r = 0; r < d.GetHeight(); ++r)
      for (int c = 0; c < d.GetWidth(); ++c) used.insert(d.Row(r)[c]);
    for (int i : used) {
      if (i == kTransparentIndex) continue;
      ASSERT_GE(i, 10) << "index in the low static colours";
      ASSERT_LT(i, 246) << "index in the high static colours";
      EXPECT_TRUE(announced.count(TableEntry(d, i))) << "entry " << i << " holds a colour nobody announced";
      EXPECT_EQ(TableEntry(d, i), (Rgb{logical[i].peRed, logical[i].peGreen, logical[i].peBlue})) << i;
    }
    // Text, frame, shadow and a good part of the ramp all show.
    for (const Rgb& brush : {Rgb{0xF0, 0xF0, 0xF0}, Rgb{0x80, 0x20, 0x20}, Rgb{0x40, 0x40, 0x40}}) {
      bool shown = false;
      for (int i : used) shown = shown || (i != kTransparentIndex && TableEntry(d, i) == brush);
      EXPECT_TRUE(shown);
    }
    EXPECT_GT(used.size(), 60u);

    // For looking at: a palette PNG of the face.
    test::TempDir dir;
    const std::string png = dir.Name("label_face.png");
    SavePicture(d, png);
    const host::DibImage back = host::ReadPictureFile(png);
    EXPECT_EQ(back.Width(), 145);
    EXPECT_EQ(back.Height(), 38);
    if (const char* keep = std::getenv("VANTORA_KEEP_FACES"))
      std::filesystem::copy_file(png, std::filesystem::path(keep) / "label_face.png",
                                 std::filesystem::copy_options::overwrite_existing);

    // A second render replaces the palette rather than leaking it.
    art.Render();
  }
  EXPECT_EQ(host::LiveGdiObjectCount(), gdiBefore);
}

}  // namespace
}  // namespace vantora
