// Warping by a shipped shape (file read included) and building each mask, on control-sized bodies.
// The shape file is the one the settings name; run from the build tree it is the shipped one.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "effects/Fulmask.h"
#include "effects/Shapes.h"

namespace {

using namespace vantora;

// An opaque body with a transparent notch, so the masks see inner edges.
void MakeBody(tFulgoDib& body, int width, int height) {
  body.FreeDib();
  body.NewColored(static_cast<TWidth>(width), static_cast<THeight>(height), 9);
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  for (int r = height / 3; r < 2 * height / 3; ++r)
    for (int c = width / 3; c < 2 * width / 3; ++c) dib::Bits(body.Dib)[r * stride + c] = kTransparentIndex;
}

void BM_GetMatrixShape(benchmark::State& state) {
  const auto shape = static_cast<std::int16_t>(state.range(0));
  const int width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
  if (CheckShapesFile() < shape) {
    state.SkipWithError("no shape file");
    return;
  }
  tFulgoDib body;
  for (auto _ : state) {
    state.PauseTiming();
    MakeBody(body, width, height);
    state.ResumeTiming();
    std::int16_t number = shape;
    GetMatrixShape(body, number);
    benchmark::DoNotOptimize(body.Dib);
  }
}
BENCHMARK(BM_GetMatrixShape)
    ->Args({1, 145, 38})
    ->Args({1, 400, 120})
    ->Args({12, 145, 38})
    ->Args({12, 400, 120});

void BM_Create3DMask(benchmark::State& state) {
  tFulgoDib body, mask;
  MakeBody(body, 145, 38);
  std::int16_t x, y;
  for (auto _ : state)
    Create3DMask(mask, body, fgDownRight, static_cast<std::int16_t>(state.range(0)), 255, x, y);
}
BENCHMARK(BM_Create3DMask)->Arg(1)->Arg(3)->Arg(7);

void BM_CreateForeFrameMask(benchmark::State& state) {
  tFulgoDib body, mask;
  MakeBody(body, 145, 38);
  std::int16_t x, y;
  for (auto _ : state) CreateForeFrameMask(mask, body, static_cast<std::int16_t>(state.range(0)), x, y);
}
BENCHMARK(BM_CreateForeFrameMask)->Arg(1)->Arg(3)->Arg(7);

void BM_CreateShadowMask(benchmark::State& state) {
  tFulgoDib body, mask;
  MakeBody(body, 145, 38);
  std::int16_t x, y;
  for (auto _ : state) CreateShadowMask(mask, body, 100, 100, 2, 2, x, y);
}
BENCHMARK(BM_CreateShadowMask);

}  // namespace
