// Speed of the fills and layers on the bodies a face is made of: the fuzz at radius 1, 3 and 7 on a
// button-sized and a wide body (the cost must not grow with the radius), each layer kind on a
// button-sized body, and tiling compared with a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/DibLayout.h"
#include "effects/Fullyrs.h"
#include "effects/Smartfn.h"

namespace {

using namespace vantora;

// An ellipse with a band of holes, roughly what a label's letters leave of a body.
void MakeBody(tFulgoDib& body, int width, int height) {
  body.MakeEmpty(static_cast<TWidth>(width), static_cast<THeight>(height));
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = (x - cx) / cx, dy = (y - cy) / cy;
      if (dx * dx + dy * dy <= 1.0 && (x / 3 + y / 5) % 4 != 0) dib::Bits(body.Dib)[y * stride + x] = 255;
    }
}

void Duplicate(const tFulgoDib& from, tFulgoDib& to) {
  to.FreeDib();
  to.MakeNew(from.GetWidth(), from.GetHeight());
  std::memcpy(to.Dib, from.Dib, from.GetDibMemorySize());
}

void BM_Fuzz(benchmark::State& state) {
  const auto radius = static_cast<std::int16_t>(state.range(0));
  const int width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
  tFulgoDib body, work;
  MakeBody(body, width, height);
  std::vector<std::uint16_t> indices(static_cast<std::size_t>(FuzzColorCount(radius)));
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint16_t>(10 + i);
  for (auto _ : state) {
    Duplicate(body, work);
    MakeDibFuzzed(work, indices, radius);
    benchmark::DoNotOptimize(work.Dib);
  }
  state.SetItemsProcessed(state.iterations() * (width + 2 * radius) * (height + 2 * radius));
}
BENCHMARK(BM_Fuzz)
    ->ArgNames({"r", "w", "h"})
    ->Args({1, 145, 38})
    ->Args({3, 145, 38})
    ->Args({7, 145, 38})
    ->Args({1, 400, 120})
    ->Args({3, 400, 120})
    ->Args({7, 400, 120});

enum LayerKind { k3D, k3DEmbossed, kFrame, kShadow };

std::unique_ptr<tFulgoLayer> MakeLayer(LayerKind kind) {
  std::unique_ptr<tFulgoLayer> layer;
  if (kind == kFrame) {
    layer = std::make_unique<tFulgoFrame>(nullptr);
    layer->LineWidth = 2;
  } else if (kind == kShadow) {
    auto shadow = std::make_unique<tFulgoShadow>(nullptr);
    shadow->Left = 3;
    shadow->Top = 3;
    layer = std::move(shadow);
  } else {
    layer = std::make_unique<tFulgo3D>(nullptr);
    layer->LineWidth = 2;
    layer->Embossed = kind == k3DEmbossed;
  }
  layer->FulgoColor1->BrushIndex = 20;
  layer->FulgoColor2->BrushIndex = 21;
  return layer;
}

void BM_Layer(benchmark::State& state) {
  const auto layer = MakeLayer(static_cast<LayerKind>(state.range(0)));
  tFulgoDib body, work;
  MakeBody(body, 145, 38);
  for (auto _ : state) {
    Duplicate(body, work);
    layer->Render(work);
    benchmark::DoNotOptimize(work.Dib);
  }
  state.SetItemsProcessed(state.iterations() * 145 * 38);
}
BENCHMARK(BM_Layer)->ArgName("kind")->Arg(k3D)->Arg(k3DEmbossed)->Arg(kFrame)->Arg(kShadow);

// A numbered tile, so no tile pixel is transparent and repeated tiling keeps the body whole.
void MakeTile(tFulgoDib& tile, int width, int height) {
  tile.MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      dib::Bits(tile.Dib)[y * stride + x] = static_cast<std::uint8_t>((x + y) % 200);
}

void BM_TiledBitmap(benchmark::State& state) {
  const int tileSide = static_cast<int>(state.range(0));
  const int width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
  tFulgoColor fill(nullptr);
  fill.ColorType = fgTiledBitmap;
  fill.WorkDib = std::make_unique<tFulgoDib>();
  MakeTile(*fill.WorkDib, tileSide, tileSide);
  tFulgoDib body;
  body.NewColored(static_cast<TWidth>(width), static_cast<THeight>(height), 255);
  for (auto _ : state) {
    fill.ApplyTiledBitmap(body);
    benchmark::DoNotOptimize(body.Dib);
  }
  state.SetBytesProcessed(state.iterations() * dib::RowStride(static_cast<std::uint32_t>(width)) * height);
}

void BM_Memcpy(benchmark::State& state) {
  const std::size_t bytes =
      dib::RowStride(static_cast<std::uint32_t>(state.range(1))) * static_cast<std::size_t>(state.range(2));
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

void TileSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"tile", "w", "h"});
  for (int tile : {10, 110})
    for (const auto& size : {std::pair{400, 120}, std::pair{1600, 1200}})
      b->Args({tile, size.first, size.second});
}
BENCHMARK(BM_TiledBitmap)->Apply(TileSizes);
BENCHMARK(BM_Memcpy)->ArgNames({"tile", "w", "h"})->Args({0, 400, 120})->Args({0, 1600, 1200});

}  // namespace
