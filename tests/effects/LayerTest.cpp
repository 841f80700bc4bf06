#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/DibLayout.h"
#include "effects/Fullyrs.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "palette/Fulone.h"
#include "palette/RenderPass.h"
#include "support/DibTestUtil.h"
#include "support/RebuildCounter.h"
#include "support/Streams.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using Rows = std::vector<std::string>;

// A component that publishes the three layers of an object.
class TLayerHolder : public host::TComponent {
  VANTORA_PERSISTENT(TLayerHolder)
  explicit TLayerHolder(host::TComponent* owner)
      : host::TComponent(owner), layer3D_(nullptr), frame_(nullptr), shadow_(nullptr) {}
  tFulgo3D* Layer3D() const { return const_cast<tFulgo3D*>(&layer3D_); }
  tFulgoFrame* LayerFrame() const { return const_cast<tFulgoFrame*>(&frame_); }
  tFulgoShadow* LayerShadow() const { return const_cast<tFulgoShadow*>(&shadow_); }

 private:
  tFulgo3D layer3D_;
  tFulgoFrame frame_;
  tFulgoShadow shadow_;
};

const host::TClass& TLayerHolder::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TLayerHolder>("TLayerHolder", host::TComponent::StaticClass())
          .ReadOnly("Layer3D", &TLayerHolder::Layer3D, nullptr)
          .ReadOnly("LayerFrame", &TLayerHolder::LayerFrame, nullptr)
          .ReadOnly("LayerShadow", &TLayerHolder::LayerShadow, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TLayerHolder);

using Margins = std::array<int, 4>;

Margins Measure(tFulgoLayer& layer) {
  layer.CalcAddXY();
  return {layer.AddX, layer.AddY, layer.AddWidth, layer.AddHeight};
}

// Brush fills painting fixed indices: the first mask 2, the second 3.
void BrushIndices(tFulgoLayer& layer) {
  layer.FulgoColor1->BrushIndex = 2;
  layer.FulgoColor2->BrushIndex = 3;
}

Rows Body(int width, int height) {
  return Rows(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), '1'));
}

TEST(LayerMargins, EachKindMeasuresItsGrowth) {
  tFulgoFrame frame(nullptr);
  frame.SetLineWidth(2);
  EXPECT_EQ(Measure(frame), (Margins{-2, -2, 4, 4}));

  tFulgo3D edge(nullptr);
  edge.SetLineWidth(2);
  edge.SetDirection(fgDownRight);
  EXPECT_EQ(Measure(edge), (Margins{0, 0, 2, 2}));
  edge.SetDirection(fgUp);
  EXPECT_EQ(Measure(edge), (Margins{0, -2, 0, 2}));
  edge.SetDirection(fgDownLeft);
  EXPECT_EQ(Measure(edge), (Margins{-2, 0, 2, 2}));
  edge.SetEmbossed(true);
  edge.SetDirection(fgUpLeft);
  EXPECT_EQ(Measure(edge), (Margins{-2, -2, 4, 4}));
  edge.SetDirection(fgRight);
  EXPECT_EQ(Measure(edge), (Margins{-2, 0, 4, 0}));
  edge.SetDirection(fgDown);
  EXPECT_EQ(Measure(edge), (Margins{0, -2, 0, 4}));
  // A side the band does not reach keeps the growth of the fill's fuzz.
  edge.FulgoColor1->SetColorType(fgFuzz);
  edge.FulgoColor1->SetFuzz(3);
  EXPECT_EQ(Measure(edge), (Margins{0, -2, 6, 4}));

  tFulgoShadow shadow(nullptr);
  EXPECT_EQ(Measure(shadow), (Margins{0, 0, 1, 1}));
  shadow.SetLeft(-3);
  EXPECT_EQ(Measure(shadow), (Margins{-3, 0, 3, 1}));

  // Values beyond what the wizard offers stay within the size types.
  frame.SetLineWidth(-5);
  EXPECT_EQ(Measure(frame), (Margins{0, 0, 0, 0}));
  frame.SetLineWidth(32767);
  EXPECT_EQ(Measure(frame), (Margins{-16024, -16024, 32048, 32048}));
  shadow.SetLeft(-32768);
  shadow.SetTop(32767);
  EXPECT_EQ(Measure(shadow), (Margins{-32048, 0, 32048, 32048}));
  // A direction that did not come through the property's names counts as one of the eight.
  edge.Embossed = false;
  edge.FulgoColor1->Init();
  edge.Direction = static_cast<efgDirection>(11);  // as fgRight
  EXPECT_EQ(Measure(edge), (Margins{0, 0, 2, 0}));
}

TEST(LayerRender, FrameSurroundsTheObject) {
  tFulgoFrame frame(nullptr);
  frame.SetLineWidth(2);
  BrushIndices(frame);
  tFulgoDib dib;
  Paint(dib, Body(20, 10));
  frame.Render(dib);
  ASSERT_EQ(dib.GetWidth(), 24);
  ASSERT_EQ(dib.GetHeight(), 14);
  Rows want(14, std::string(24, '2'));
  for (int y = 2; y < 12; ++y) want[y] = "22" + std::string(20, '1') + "22";
  EXPECT_EQ(Picture(dib), want);

  // A negative width draws the silhouette itself, hidden under the object.
  frame.SetLineWidth(-4);
  tFulgoDib plain;
  Paint(plain, {"1.", "11"});
  frame.Render(plain);
  EXPECT_EQ(Picture(plain), (Rows{"1.", "11"}));
}

TEST(LayerRender, EdgeLiesOnTheSideItFacesAndEmbossedOnBoth) {
  tFulgo3D edge(nullptr);
  edge.SetLineWidth(2);
  edge.SetDirection(fgDownRight);
  BrushIndices(edge);
  tFulgoDib dib;
  Paint(dib, Body(6, 4));
  edge.Render(dib);
  EXPECT_EQ(Picture(dib), (Rows{"111111..", "1111112.", "11111122", "11111122", ".2222222", "..222222"}));

  // The opposite band is painted by the second fill.
  edge.SetDirection(fgUpLeft);
  edge.SetEmbossed(true);
  dib.FreeDib();
  Paint(dib, Body(4, 3));
  edge.Render(dib);
  EXPECT_EQ(Picture(dib), (Rows{
                              "22222...",
                              "222222..",
                              "221111..",
                              ".211113.",
                              "..111133",
                              "...33333",
                              "....3333",
                          }));
}

TEST(LayerRender, SecondBandKeepsItsPlaceWhenTheFirstIsFuzzed) {
  tFulgo3D edge(nullptr);
  edge.SetEmbossed(true);
  edge.SetFadeTo(0);
  edge.FulgoColor1->SetColorType(fgFuzz);
  edge.FulgoColor1->SetFuzz(1);
  edge.FulgoColor1->SetBrush(0xFFFFFF);
  edge.FulgoColor2->SetBrush(0x0000FF);
  tFulgoOnePalette palette;
  tFulgoDib dib;
  Paint(dib, Body(3, 3));
  RenderPass(palette, edge, [&] { edge.Render(dib); });
  // The first band reaches two pixels up and left (band and fuzz), the second one right and down.
  ASSERT_EQ(dib.GetWidth(), 6);
  ASSERT_EQ(dib.GetHeight(), 6);
  const auto second =
      static_cast<char>(test::CharOf(static_cast<std::uint8_t>(edge.FulgoColor2->BrushIndex)));
  const Rows picture = Picture(dib);
  EXPECT_EQ(picture[2].substr(2, 3), "111");
  EXPECT_EQ(picture[5].substr(2), std::string(".") + second + second + second);
}

TEST(LayerRender, ShadowFallsBelowAndBeside) {
  tFulgoShadow shadow(nullptr);
  BrushIndices(shadow);
  tFulgoDib dib;
  Paint(dib, Body(5, 4));
  shadow.Render(dib);
  EXPECT_EQ(Picture(dib), (Rows{"11111.", "111112", "111112", "111112", ".22222"}));

  shadow.SetLeft(-3);
  tFulgoDib left;
  Paint(left, Body(5, 4));
  shadow.Render(left);
  EXPECT_EQ(Picture(left), (Rows{"...11111", "22211111", "22211111", "22211111", "22222..."}));

  // A shadow scaled below 2 x 2 pixels is no shadow: the bitmap keeps its size.
  shadow.SetSizeX(1);
  tFulgoDib small;
  Paint(small, Body(5, 4));
  shadow.Render(small);
  EXPECT_EQ(Picture(small), Body(5, 4));
}

TEST(LayerModel, FadeToInitAndTheList) {
  test::RebuildCounter owner;
  tFulgo3D edge(&owner);
  EXPECT_EQ(edge.FadeTo, kButtonFace);
  edge.SetFadeTo(0x0000FF);
  EXPECT_EQ(edge.FulgoColor1->Brush2, 0x0000FF);
  EXPECT_EQ(edge.FulgoColor2->Brush2, 0x0000FF);
  EXPECT_EQ(owner.count, 2);  // through the two fills
  tFulgoFrame frame(nullptr);
  frame.SetFadeTo(0x00FF00);
  EXPECT_EQ(frame.FulgoColor1->Brush2, 0x00FF00);
  EXPECT_EQ(frame.FulgoColor2->Brush2, 0);

  tFulgoShadow shadow(nullptr);
  shadow.SetLeft(5);
  shadow.SetActive(true);
  edge.SetEmbossed(true);
  shadow.Init();
  edge.Init();
  EXPECT_EQ(shadow.Left, 1);
  EXPECT_FALSE(shadow.Active);
  EXPECT_FALSE(shadow.UseColor2);
  EXPECT_FALSE(edge.Embossed);
  EXPECT_TRUE(edge.UseColor2);
  EXPECT_EQ(edge.FadeTo, kButtonFace);
  EXPECT_EQ(edge.FulgoColor2->Brush2, 0);

  tLayersList list;
  list.Add(std::make_unique<tFulgo3D>(nullptr));
  tFulgoShadow* active = list.Add(std::make_unique<tFulgoShadow>(nullptr));
  active->SetActive(true);
  EXPECT_EQ(list.GetActiveLayer(0), active);
  EXPECT_THROW(list.GetActiveLayer(1), host::EListError);
}

TEST(LayerStream, ChangedValuesRoundTrip) {
  TLayerHolder holder(nullptr);
  holder.SetName("Holder");
  EXPECT_EQ(test::ToText(holder), "object Holder: TLayerHolder\nend\n");

  holder.Layer3D()->SetActive(true);
  holder.Layer3D()->SetEmbossed(true);
  holder.Layer3D()->SetDirection(fgRight);
  holder.Layer3D()->FulgoColor2->SetBrush(255);
  holder.LayerFrame()->SetLineWidth(3);
  holder.LayerFrame()->SetFadeTo(0x00FF00);
  holder.LayerShadow()->SetLeft(-2);
  holder.LayerShadow()->SetSizeY(50);
  const std::string text = test::ToText(holder);
  EXPECT_EQ(text,
            "object Holder: TLayerHolder\n"
            "  Layer3D.Active = True\n"
            "  Layer3D.FulgoColor2.Brush = 255\n"
            "  Layer3D.Embossed = True\n"
            "  Layer3D.Direction = fgRight\n"
            "  LayerFrame.FulgoColor1.Brush2 = 65280\n"
            "  LayerFrame.FadeTo = 65280\n"
            "  LayerFrame.LineWidth = 3\n"
            "  LayerShadow.Left = -2\n"
            "  LayerShadow.SizeY = 50\n"
            "end\n");

  const auto copy = test::FromText<TLayerHolder>(text);
  ASSERT_TRUE(copy);
  EXPECT_EQ(test::ToText(*copy), text);
}

}  // namespace
}  // namespace vantora
