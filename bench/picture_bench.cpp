// Speed of capturing true-colour pictures to 8 bits on a photo-like 1024 x 768 picture: smooth,
// with sensor-like noise (+-6), and with heavy noise (+-40: more distinct colours than the median
// cut takes, so they are coarsened first). Collecting the distinct colours ("colours" counts what
// is handed to the median cut), building the picture's palette, loading into a TBitmap, and the
// capture itself (every pixel mapped to the nearest palette entry).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Fuldib.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/Graphics.h"
#include "host/graphics/PictureFile.h"
#include "palette/PicturePalette.h"

namespace {

using namespace vantora;

constexpr int kWidth = 1024, kHeight = 768;

std::uint8_t Clamp(double v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

// An evening sky with a sun over shaded hills; Noise adds up to +-Noise to every channel.
host::DibImage PhotoLike(int noise) {
  host::DibImage picture(kWidth, kHeight, 32);
  std::uint32_t seed = 12345;
  const auto jitter = [&] {
    seed = seed * 1664525u + 1013904223u;
    return noise ? static_cast<int>(seed >> 16) % (2 * noise + 1) - noise : 0;
  };
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = picture.Row(y);
    for (int x = 0; x < kWidth; ++x) {
      const double fx = double(x) / kWidth, fy = double(y) / kHeight;
      double r = 255 * (0.9 - 0.5 * fy) + 40 * std::sin(fx * 3.1);
      double g = 255 * (0.35 + 0.4 * fy * fy);
      double b = 255 * (0.55 + 0.4 * std::cos(fx * 2.0 + fy));
      const double d = std::hypot(fx - 0.72, (fy - 0.3) * 0.75) * 10;
      if (d < 1) r += (255 - r) * (1 - d), g += (230 - g) * (1 - d), b += (120 - b) * (1 - d);
      const double hill = 0.65 + 0.12 * std::sin(fx * 7 + 1) + 0.06 * std::sin(fx * 17);
      if (fy > hill) {
        const double t = (fy - hill) / (1.0 - hill);
        r = 40 + 60 * t + 30 * std::sin(fx * 20);
        g = 110 + 40 * std::sin(fx * 5 + t * 3) + 40 * t;
        b = 40 + 30 * t;
      }
      row[4 * x + 0] = Clamp(b + jitter());
      row[4 * x + 1] = Clamp(g + jitter());
      row[4 * x + 2] = Clamp(r + jitter());
    }
  }
  return picture;
}

void Noise(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(6)->Arg(40)->Unit(benchmark::kMillisecond);
}

void BM_PictureColors(benchmark::State& state) {
  const host::DibImage picture = PhotoLike(static_cast<int>(state.range(0)));
  std::size_t count = 0;
  for (auto _ : state) {
    const auto colors = PictureColors(picture);
    count = colors.size();
    benchmark::DoNotOptimize(colors.data());
  }
  state.counters["colours"] = static_cast<double>(count);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PictureColors)->Apply(Noise);

void BM_MakePicturePalette(benchmark::State& state) {
  const host::DibImage picture = PhotoLike(static_cast<int>(state.range(0)));
  for (auto _ : state) host::DeleteObject(MakePicturePalette(picture));
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_MakePicturePalette)->Apply(Noise);

// The picture into a device bitmap with its palette, as TBitmap::LoadFromFile does after decoding.
void BM_LoadFromPicture(benchmark::State& state) {
  const host::DibImage picture = PhotoLike(static_cast<int>(state.range(0)));
  host::TBitmap bitmap;
  for (auto _ : state) bitmap.LoadFromPicture(picture);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LoadFromPicture)->Apply(Noise);

// The capture alone: every pixel to the nearest entry of the bitmap's palette.
void BM_GetGlyphData(benchmark::State& state) {
  const host::DibImage picture = PhotoLike(static_cast<int>(state.range(0)));
  host::TBitmap bitmap;
  bitmap.LoadFromPicture(picture);
  tFulgoDib capture;
  for (auto _ : state) capture.GetGlyphData(bitmap);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_GetGlyphData)->Apply(Noise);

}  // namespace
