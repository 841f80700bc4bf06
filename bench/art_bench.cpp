// Speed of a whole label face: a 145 x 38 face with a gradient background, frame, shadow and a
// ten-letter caption; a 29-letter caption with every layer on text and background; a caption of
// rotated letters. Each iteration is one Render, as a control renders its face again after a
// change that keeps its colours (a caption, a size); one more renders with new colours each time.
#include <benchmark/benchmark.h>

#include "model/Fullblart.h"

namespace {

using namespace vantora;

void BuildLabel(tFulgoLabelArt& art) {
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

void AllLayers(tFulgoObject& object) {
  object.Layer3D->SetActive(true);
  object.Layer3D->SetLineWidth(2);
  object.Layer3D->SetEmbossed(true);
  object.Layer3D->FulgoColor1->SetBrush(0xFFFFFF);
  object.Layer3D->FulgoColor2->SetBrush(0x303030);
  object.LayerFrame->SetActive(true);
  object.LayerFrame->SetLineWidth(1);
  object.LayerFrame->FulgoColor1->SetBrush(0x208020);
  object.LayerShadow->SetActive(true);
  object.LayerShadow->SetLeft(2);
  object.LayerShadow->SetTop(2);
  object.LayerShadow->FulgoColor1->SetBrush(0x404040);
}

void RenderLoop(benchmark::State& state, tFulgoLabelArt& art) {
  art.Render();  // fonts and glyphs of a face already shown once
  for (auto _ : state) {
    art.Render();
    benchmark::DoNotOptimize(art.Dib->Dib);
  }
}

void BM_LabelFace(benchmark::State& state) {
  tFulgoLabelArt art(nullptr);
  BuildLabel(art);
  RenderLoop(state, art);
}
BENCHMARK(BM_LabelFace)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The same face with a new text colour at every render: the palette is built each time.
void BM_LabelFaceNewColours(benchmark::State& state) {
  tFulgoLabelArt art(nullptr);
  BuildLabel(art);
  art.Render();
  std::uint32_t colour = 0;
  for (auto _ : state) {
    art.FulgoText->FulgoColor->SetBrush(static_cast<TColor>(colour++ & 0xFFFFFF));
    art.Render();
    benchmark::DoNotOptimize(art.Dib->Dib);
  }
}
BENCHMARK(BM_LabelFaceNewColours)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_LongCaptionAllLayers(benchmark::State& state) {
  tFulgoLabelArt art(nullptr);
  BuildLabel(art);
  art.NeededWidth = -1;
  art.NeededHeight = -1;
  art.FulgoText->SetCaption("The quick brown fox jumps over");  // cut to 29 letters
  AllLayers(*art.FulgoText);
  AllLayers(*art.FulgoBackground);
  RenderLoop(state, art);
}
BENCHMARK(BM_LongCaptionAllLayers)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_RotatedCaption(benchmark::State& state) {
  tFulgoLabelArt art(nullptr);
  BuildLabel(art);
  art.NeededWidth = -1;
  art.NeededHeight = -1;
  tFulgoText& text = *art.FulgoText;
  for (int i = 0; i < 10; ++i)
    text.GetLetterFont(static_cast<std::int16_t>(i))->SetAngle(static_cast<std::int16_t>(i * 36));
  RenderLoop(state, art);
}
BENCHMARK(BM_RotatedCaption)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
