// Reducing pictures of 1,000, 10,000 and 50,000 distinct colours to 236 colours and mapping every
// pixel: the palette builder's median cut, the same refined by k-means passes, and libimagequant at
// its default speed without dithering. Each iteration starts from the 32-bit picture and ends with
// an index per pixel. The mse counter is the mean squared error per channel of the mapped picture.
#include <benchmark/benchmark.h>
#include <libimagequant.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "palette/Fulone.h"

namespace {

using namespace vantora;

constexpr int kColours = tFulgoOnePalette::kMaxReduced;
constexpr int kPictureWidth = 250;

// Distinct colours scattered over the cube: an odd multiplier is a bijection of 24-bit values.
std::uint32_t ScatteredColor(std::uint32_t i) {
  return (i * 0x9E3779u + 0x123457u) & 0xFFFFFFu;
}

// Every pixel a colour of its own, as colour-table values (blue in the low byte).
std::vector<std::uint32_t> Picture(std::int64_t colours) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(colours));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = ScatteredColor(static_cast<std::uint32_t>(i));
  return pixels;
}

struct TRgb {
  std::uint8_t red, green, blue;
};

double MeanSquaredError(const std::vector<std::uint32_t>& pixels, const std::vector<std::uint8_t>& indices,
                        const std::vector<TRgb>& palette) {
  double sum = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const TRgb& p = palette[indices[i]];
    const double db = static_cast<double>(pixels[i] & 0xFF) - p.blue;
    const double dg = static_cast<double>(pixels[i] >> 8 & 0xFF) - p.green;
    const double dr = static_cast<double>(pixels[i] >> 16 & 0xFF) - p.red;
    sum += db * db + dg * dg + dr * dr;
  }
  return sum / (3.0 * static_cast<double>(pixels.size()));
}

void Report(benchmark::State& state, const std::vector<std::uint32_t>& pixels,
            const std::vector<std::uint8_t>& indices, const std::vector<TRgb>& palette) {
  state.counters["mse"] = MeanSquaredError(pixels, indices, palette);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The builder maps colours, not pixels: every pixel here is a colour of its own, registered in
// pixel order, so pixel i takes the entry of record i.
void Builder(benchmark::State& state, std::uint8_t passes) {
  const std::vector<std::uint32_t> pixels = Picture(state.range(0));
  std::vector<std::uint8_t> indices(pixels.size());
  std::vector<TRgb> palette(256);
  for (auto _ : state) {
    tFulgoOnePalette builder;
    builder.RefinePasses = passes;
    for (const std::uint32_t colour : pixels) builder.AddBrush(colour);
    builder.BuildPalette();
    const int base = 10;  // no brushes, nothing reserved: the reduced colours follow the static ones
    for (std::size_t i = 0; i < pixels.size(); ++i)
      indices[i] = static_cast<std::uint8_t>(builder.ColorMap[i] + base);
    benchmark::DoNotOptimize(indices.data());
    for (std::size_t k = 0; k < 256; ++k)
      palette[k] = TRgb{builder.Palette[k].Red, builder.Palette[k].Green, builder.Palette[k].Blue};
  }
  Report(state, pixels, indices, palette);
}

void BM_MedianCut(benchmark::State& state) {
  Builder(state, 0);
}

void BM_MedianCutRefined(benchmark::State& state) {
  Builder(state, static_cast<std::uint8_t>(state.range(1)));
}

void BM_ImageQuant(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels = Picture(state.range(0));
  std::vector<std::uint8_t> rgba(4 * pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    rgba[4 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
    rgba[4 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
    rgba[4 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    rgba[4 * i + 3] = 255;
  }
  const int height = static_cast<int>(pixels.size()) / kPictureWidth;
  std::vector<std::uint8_t> indices(pixels.size());
  std::vector<TRgb> palette(256);
  for (auto _ : state) {
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, kColours);
    liq_image* image = liq_image_create_rgba(attr, rgba.data(), kPictureWidth, height, 0);
    liq_result* result = nullptr;
    if (liq_image_quantize(image, attr, &result) != LIQ_OK) throw std::runtime_error("libimagequant failed");
    liq_set_dithering_level(result, 0);
    liq_write_remapped_image(result, image, indices.data(), indices.size());
    const liq_palette* reduced = liq_get_palette(result);
    for (unsigned k = 0; k < reduced->count; ++k)
      palette[k] = TRgb{reduced->entries[k].r, reduced->entries[k].g, reduced->entries[k].b};
    benchmark::DoNotOptimize(indices.data());
    liq_result_destroy(result);
    liq_image_destroy(image);
    liq_attr_destroy(attr);
  }
  Report(state, pixels, indices, palette);
}

// Picture sizes are whole rows of kPictureWidth.
void Pictures(benchmark::internal::Benchmark* b) {
  b->Arg(1000)
      ->Arg(10000)
      ->Arg(50000)
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(9)
      ->ReportAggregatesOnly(true);
}

void RefinedPictures(benchmark::internal::Benchmark* b) {
  for (const int colours : {1000, 10000, 50000})
    for (const int passes : {4, 8, 16}) b->Args({colours, passes});
  b->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_MedianCut)->Apply(Pictures);
BENCHMARK(BM_MedianCutRefined)->Apply(RefinedPictures);
BENCHMARK(BM_ImageQuant)->Apply(Pictures);

}  // namespace
