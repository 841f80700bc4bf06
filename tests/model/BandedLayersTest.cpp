// A rectangular background draws its layers as bands around the body; every face must come out
// byte for byte as the mask-by-mask render makes it, and looks the bands cannot draw must fall back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/DibLayout.h"
#include "model/Fullblart.h"

namespace vantora {
namespace {

// A picture of Width x Height in 40 colours of diagonal stripes.
void PaintPicture(tFulgoGlyph& glyph, int width, int height) {
  tFulgoDib& picture = *glyph.Dib;
  picture.FreeDib();
  picture.MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  std::uint8_t* table = dib::ColorTable(picture.Dib);
  for (std::uint32_t i = 0; i < 40; ++i)
    dib::Put32(table + 4 * i, (20 + i * 5) | (200 - i * 3) << 8 | (60 + i) << 16);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.Row(y)[x] = static_cast<std::uint8_t>((x + 2 * y) % 40);
  glyph.SetHasData(true);
  glyph.Changed();
}

// Every kind a fill can be, each with colours of its own.
void SetFill(tFulgoColor& fill, efgColorType kind, TColor brush) {
  fill.SetColorType(kind);
  fill.SetBrush(brush);
  if (kind == fgBitmap) PaintPicture(*fill.FulgoGlyph, 13, 9);
  if (kind == fgTiledBitmap) PaintPicture(*fill.FulgoGlyph, 7, 5);
  if (kind == fgTiledGradient) {
    fill.Gradient->SetGradWidth(17);
    fill.Gradient->SetGradHeight(11);
  }
}

struct TLook {
  efgColorType body = fgGradient;
  // 3D edge: 0 for none.
  std::int16_t edge = 0;
  bool embossed = true;
  efgDirection direction = fgUpLeft;
  std::int16_t frame = 0;
  bool shadow = false;
  std::int16_t shadowX = 3, shadowY = 3;
  // Pictures in the layers' fills instead of brushes.
  bool layerPictures = false;
  int width = 40, height = 30;
};

void Build(tFulgoLabelArt& art, const TLook& look) {
  tFulgoBackground& back = *art.FulgoBackground;
  SetFill(*back.FulgoColor, look.body, 0x3080C0);
  if (look.edge > 0) {
    back.Layer3D->SetActive(true);
    back.Layer3D->SetLineWidth(look.edge);
    back.Layer3D->SetEmbossed(look.embossed);
    back.Layer3D->SetDirection(look.direction);
    SetFill(*back.Layer3D->FulgoColor1, look.layerPictures ? fgTiledBitmap : fgBrush, 0xFFFFFF);
    SetFill(*back.Layer3D->FulgoColor2, look.layerPictures ? fgGradient : fgBrush, 0x303030);
  }
  if (look.frame > 0) {
    back.LayerFrame->SetActive(true);
    back.LayerFrame->SetLineWidth(look.frame);
    SetFill(*back.LayerFrame->FulgoColor1, look.layerPictures ? fgBitmap : fgBrush, 0x202080);
  }
  if (look.shadow) {
    back.LayerShadow->SetActive(true);
    back.LayerShadow->SetLeft(look.shadowX);
    back.LayerShadow->SetTop(look.shadowY);
    SetFill(*back.LayerShadow->FulgoColor1, look.layerPictures ? fgTiledGradient : fgBrush, 0x404040);
  }
  art.FulgoText->FulgoColor->SetBrush(0xF0F0F0);
  art.FulgoText->SetCaption("Ab");
  art.NeededWidth = look.width;
  art.NeededHeight = look.height;
}

// The face with and without bands; the look's set-up may change the art further.
struct TFaces {
  std::vector<std::uint8_t> bands, masks;
  bool drewBands = false;
};

std::vector<std::uint8_t> Block(const tFulgoDib& dib) {
  return {dib.Dib, dib.Dib + dib.GetDibMemorySize()};
}

TFaces Render(const TLook& look, const std::function<void(tFulgoLabelArt&)>& more = {}) {
  TFaces faces;
  for (bool bands : {true, false}) {
    tFulgoLabelArt art(nullptr);
    Build(art, look);
    if (more) more(art);
    art.FulgoBackground->DrawBands = bands;
    art.Render();
    (bands ? faces.bands : faces.masks) = Block(*art.Dib);
    if (bands)
      faces.drewBands = art.FulgoBackground->DrewBands;
    else
      EXPECT_FALSE(art.FulgoBackground->DrewBands);
  }
  return faces;
}

std::string Describe(const TLook& l) {
  return "body " + std::to_string(l.body) + " edge " + std::to_string(l.edge) +
         (l.embossed ? " embossed" : "") + " dir " + std::to_string(l.direction) + " frame " +
         std::to_string(l.frame) + " shadow " +
         (l.shadow ? std::to_string(l.shadowX) + "," + std::to_string(l.shadowY) : "none") +
         (l.layerPictures ? " pictures" : "") + " size " + std::to_string(l.width) + "x" +
         std::to_string(l.height);
}

TEST(BandedLayers, EveryLayerAndFillGivesTheFaceOfTheMaskByMaskRender) {
  struct TEdge {
    std::int16_t width;
    bool embossed;
    efgDirection direction;
  };
  const TEdge edges[] = {{0, false, fgUpLeft},
                         {2, true, fgUpLeft},
                         {3, false, fgDownRight},
                         {1, true, fgRight},
                         {2, true, fgDown}};
  const std::int16_t frames[] = {0, 1, 3};
  struct TShadow {
    bool on;
    std::int16_t x, y;
  };
  const TShadow shadows[] = {{false, 0, 0}, {true, 3, 3}, {true, -2, 4}};
  const efgColorType kinds[] = {fgBrush, fgGradient, fgTiledBitmap, fgBitmap, fgTiledGradient};
  struct TSize {
    int width, height;
  };
  // From bodies smaller than the corners to ones much wider than high and the other way round.
  const TSize sizes[] = {{4, 3}, {19, 40}, {70, 33}, {321, 117}};
  int looks = 0;
  for (const TEdge& edge : edges)
    for (std::int16_t frame : frames)
      for (const TShadow& shadow : shadows)
        for (efgColorType kind : kinds)
          for (const TSize& size : sizes) {
            const bool anyLayer = edge.width > 0 || frame > 0 || shadow.on;
            // Pictures in the layers only once per layer set: they cost a render each.
            for (bool pictures : {false, true}) {
              if (pictures && (!anyLayer || kind != fgGradient)) continue;
              TLook look{kind,     edge.width, edge.embossed, edge.direction, frame,      shadow.on,
                         shadow.x, shadow.y,   pictures,      size.width,     size.height};
              const TFaces faces = Render(look);
              ASSERT_EQ(faces.bands, faces.masks) << Describe(look);
              // The smallest bodies may leave a shadow too small to draw, and no mask at all.
              if (size.width > 4) {
                ASSERT_EQ(faces.drewBands, anyLayer) << Describe(look);
              }
              ++looks;
            }
          }
  EXPECT_GT(looks, 900);
}

TEST(BandedLayers, BenchPanelsComeOutTheSameAtFullSize) {
  for (efgColorType kind : {fgGradient, fgTiledBitmap}) {
    const TLook look{kind, 2, true, fgUpLeft, 2, true, 3, 3, false, 1920, 1080};
    const TFaces faces = Render(look);
    EXPECT_TRUE(faces.drewBands);
    EXPECT_TRUE(faces.bands == faces.masks) << Describe(look);
  }
}

// A face keeps the outline of its last render: each change to the layers' geometry or the size must
// make it anew, and a change of fill alone must not leave the old rows behind.
TEST(BandedLayers, AFaceRedrawnAfterEachChangeMatchesAFreshRender) {
  const TLook look{fgTiledBitmap, 2, true, fgUpLeft, 2, true, 3, 3, false, 90, 50};
  using TChange = std::function<void(tFulgoLabelArt&)>;
  const std::vector<std::pair<std::string, TChange>> changes = {
      {"3D width", [](tFulgoLabelArt& a) { a.FulgoBackground->Layer3D->SetLineWidth(3); }},
      {"shadow left", [](tFulgoLabelArt& a) { a.FulgoBackground->LayerShadow->SetLeft(-2); }},
      {"size", [](tFulgoLabelArt& a) { a.NeededWidth = 200, a.NeededHeight = 31; }},
      {"not embossed", [](tFulgoLabelArt& a) { a.FulgoBackground->Layer3D->SetEmbossed(false); }},
      {"direction", [](tFulgoLabelArt& a) { a.FulgoBackground->Layer3D->SetDirection(fgDownRight); }},
      {"body gradient",
       [](tFulgoLabelArt& a) { SetFill(*a.FulgoBackground->FulgoColor, fgGradient, 0x3080C0); }},
      {"no frame", [](tFulgoLabelArt& a) { a.FulgoBackground->LayerFrame->SetActive(false); }},
      {"taller tile",
       [](tFulgoLabelArt& a) {
         SetFill(*a.FulgoBackground->FulgoColor, fgTiledBitmap, 0x3080C0);
         PaintPicture(*a.FulgoBackground->FulgoColor->FulgoGlyph, 9, 70);
       }},
  };
  tFulgoLabelArt kept(nullptr);
  Build(kept, look);
  kept.Render();
  for (std::size_t i = 0; i < changes.size(); ++i) {
    changes[i].second(kept);
    kept.Render();
    EXPECT_TRUE(kept.FulgoBackground->DrewBands) << changes[i].first;

    tFulgoLabelArt fresh(nullptr);
    Build(fresh, look);
    for (std::size_t j = 0; j <= i; ++j) changes[j].second(fresh);
    fresh.FulgoBackground->DrawBands = false;
    fresh.Render();
    EXPECT_TRUE(Block(*kept.Dib) == Block(*fresh.Dib)) << "after " << changes[i].first;
  }
}

TEST(BandedLayers, LooksTheBandsCannotDrawTakeTheMaskByMaskRender) {
  const TLook layered{fgGradient, 2, true, fgUpLeft, 2, true, 3, 3, false, 90, 50};
  const std::vector<std::pair<std::string, std::function<void(tFulgoLabelArt&)>>> cases = {
      {"fuzz body", [](tFulgoLabelArt& a) { SetFill(*a.FulgoBackground->FulgoColor, fgFuzz, 0x3080C0); }},
      {"fuzz frame",
       [](tFulgoLabelArt& a) {
         a.FulgoBackground->LayerFrame->FulgoColor1->SetColorType(fgFuzz);
         a.FulgoBackground->LayerFrame->FulgoColor1->SetFuzz(3);
       }},
      {"scaled shadow", [](tFulgoLabelArt& a) { a.FulgoBackground->LayerShadow->SetSizeX(80); }},
      {"shape", [](tFulgoLabelArt& a) { a.FulgoBackground->SetShape(3); }},
      {"no layers",
       [](tFulgoLabelArt& a) {
         for (tFulgoLayer* layer : a.FulgoBackground->Layers.All()) layer->SetActive(false);
       }},
      {"no body", [](tFulgoLabelArt& a) { a.FulgoBackground->SetExist(false); }},
      {"picture body", [](tFulgoLabelArt& a) { PaintPicture(*a.FulgoBackground->BackImage, 5, 5); }},
  };
  for (const auto& [name, change] : cases) {
    const TFaces faces = Render(layered, change);
    EXPECT_FALSE(faces.drewBands) << name;
    EXPECT_TRUE(faces.bands == faces.masks) << name;
  }
}

}  // namespace
}  // namespace vantora
