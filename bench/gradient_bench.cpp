// Speed of rendering a gradient of each shape at the default size (110 x 110) and at a wide button
// face (400 x 120), which needs the small working bitmap and a stretch.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <utility>

#include "effects/Fulgrd.h"

namespace {

using namespace vantora;

// Four stops, so every render interpolates three segments.
void Setup(tFulgoGradient& g, const benchmark::State& state) {
  g.GradType = static_cast<std::int16_t>(state.range(0));
  g.Angle = static_cast<std::int16_t>(state.range(1));
  g.GradWidth = static_cast<std::int16_t>(state.range(2));
  g.GradHeight = static_cast<std::int16_t>(state.range(3));
  const std::uint8_t colours[4][3] = {{20, 40, 200}, {250, 250, 90}, {200, 30, 10}, {10, 120, 30}};
  for (int i = 0; i < 4; ++i) {
    g.Vortex[i].Blue = colours[i][0];
    g.Vortex[i].Green = colours[i][1];
    g.Vortex[i].Red = colours[i][2];
    g.Vortex[i].Steps = i < 3 ? 30 : 0;
  }
}

void BM_Gradient(benchmark::State& state) {
  tFulgoGradient g(nullptr);
  Setup(g, state);
  for (auto _ : state) {
    tFulgoDib d;
    g.CreateGradient(d);
    benchmark::DoNotOptimize(d.Dib);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * state.range(2) * state.range(3)));
}

void Shapes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"type", "angle", "w", "h"});
  for (const auto& size : {std::pair{110, 110}, std::pair{400, 120}}) {
    b->Args({kGradLinear, 0, size.first, size.second});
    b->Args({kGradLinear, 30, size.first, size.second});
    b->Args({kGradLinear, 100, size.first, size.second});
    b->Args({kGradRectangular, 0, size.first, size.second});
    b->Args({kGradCircular, 0, size.first, size.second});
  }
}
BENCHMARK(BM_Gradient)->Apply(Shapes);

void BM_GradientDiscrete(benchmark::State& state) {
  tFulgoGradient g(nullptr);
  Setup(g, state);
  g.Discr = true;
  for (auto _ : state) {
    tFulgoDib d;
    g.CreateGradient(d);
    benchmark::DoNotOptimize(d.Dib);
  }
}
BENCHMARK(BM_GradientDiscrete)->Args({kGradLinear, 30, 400, 120});

}  // namespace
