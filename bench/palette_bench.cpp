// Speed of the palette builder: registering and reducing 236 (fits, no reduction), 1,000, 10,000
// and 50,000 distinct colours, the median cut alone, and ChangeDib on faces of 145 x 38 and
// 400 x 120 and a 1024 x 768 bitmap beside memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "palette/Fulone.h"

namespace {

using namespace vantora;

// Distinct colours scattered over the cube: an odd multiplier is a bijection of 24-bit values.
std::uint32_t ScatteredColor(std::uint32_t i) {
  return (i * 0x9E3779u + 0x123457u) & 0xFFFFFFu;
}

// Count distinct colours in 1 x 1 bitmaps of 256 table entries each; the last table repeats its
// first colour to fill up, as the black entries of a real table do.
std::vector<std::unique_ptr<tFulgoDib>> ColourTables(std::int64_t count) {
  std::vector<std::unique_ptr<tFulgoDib>> bitmaps;
  for (std::int64_t first = 0; first < count; first += 256) {
    auto bitmap = std::make_unique<tFulgoDib>();
    bitmap->MakeNew(1, 1);
    std::uint8_t* table = dib::ColorTable(bitmap->Dib);
    for (std::int64_t j = 0; j < 256; ++j) {
      const std::int64_t i = first + j < count ? first + j : first;
      dib::Put32(table + 4 * j, ScatteredColor(static_cast<std::uint32_t>(i)));
    }
    bitmaps.push_back(std::move(bitmap));
  }
  return bitmaps;
}

void ColourCounts(benchmark::internal::Benchmark* b) {
  b->Arg(236)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);
}

// What a render pays: a fresh builder, every table registered, the palette built.
void BM_RegisterAndBuild(benchmark::State& state) {
  const auto bitmaps = ColourTables(state.range(0));
  for (auto _ : state) {
    tFulgoOnePalette builder;
    for (const auto& bitmap : bitmaps) builder.AddDib(*bitmap);
    builder.BuildPalette();
    benchmark::DoNotOptimize(builder.Palette.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RegisterAndBuild)->Apply(ColourCounts);

void BM_Register(benchmark::State& state) {
  const auto bitmaps = ColourTables(state.range(0));
  for (auto _ : state) {
    tFulgoOnePalette builder;
    for (const auto& bitmap : bitmaps) builder.AddDib(*bitmap);
    benchmark::DoNotOptimize(builder.Colors.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Register)->Apply(ColourCounts);

// The reduction itself: boxes, splits and the inverse map into 236 colours.
void BM_MedianCut(benchmark::State& state) {
  const auto bitmaps = ColourTables(state.range(0));
  tFulgoOnePalette builder;
  for (const auto& bitmap : bitmaps) builder.AddDib(*bitmap);
  for (auto _ : state) {
    auto reduced = builder.MedianCut(236);
    benchmark::DoNotOptimize(reduced.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MedianCut)->Apply(ColourCounts);

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({145, 38})->Args({400, 120})->Args({1024, 768});
}

std::size_t RasterBytes(const benchmark::State& state) {
  return std::size_t{dib::RowStride(static_cast<std::uint32_t>(state.range(0)))} *
         static_cast<std::size_t>(state.range(1));
}

void BM_ChangeDib(benchmark::State& state) {
  const auto tables = ColourTables(256);
  tFulgoDib face;
  face.MakeNew(static_cast<TWidth>(state.range(0)), static_cast<THeight>(state.range(1)));
  std::memcpy(dib::ColorTable(face.Dib), dib::ColorTable(tables[0]->Dib), dib::kColorTableSize);
  const std::size_t bytes = RasterBytes(state);
  for (std::size_t i = 0; i < bytes; ++i) dib::Bits(face.Dib)[i] = static_cast<std::uint8_t>(i * 7 + i / 13);
  tFulgoOnePalette builder;
  builder.AddFixBrush(0x00336699);
  const std::uint16_t number = builder.AddDib(face);
  builder.BuildPalette();  // 256 colours: reduced
  for (auto _ : state) {
    builder.ChangeDib(face, number);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ChangeDib)->Apply(Sizes);

void BM_memcpy(benchmark::State& state) {
  std::vector<std::uint8_t> from(RasterBytes(state), 3), to(RasterBytes(state));
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * to.size()));
}
BENCHMARK(BM_memcpy)->Apply(Sizes);

}  // namespace
