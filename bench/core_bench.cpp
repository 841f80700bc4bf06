// Speed of the image core's byte loops and record round trip on realistic faces (145 x 38,
// 400 x 120) and a large bitmap (1024 x 768), beside memset/memcpy of the same bytes; and of the
// transparent draw of a face on a memory device.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "host/graphics/Gdi.h"
#include "host/classes/Stream.h"

namespace {

using namespace vantora;

std::size_t RasterBytes(const benchmark::State& state) {
  return std::size_t{dib::RowStride(static_cast<std::uint32_t>(state.range(0)))} *
         static_cast<std::size_t>(state.range(1));
}

// A face: an opaque shape on a transparent ground, so selections really branch per byte.
void FillFace(tFulgoDib& bitmap, TWidth w, THeight h) {
  bitmap.MakeEmpty(w, h);
  std::uint8_t* bits = dib::Bits(bitmap.Dib);
  const std::size_t stride = dib::RowStride(w);
  for (std::size_t r = 0; r < h; ++r)
    for (std::size_t c = 0; c < w; ++c)
      if ((c * 7 + r * 3) % 5 != 0) bits[r * stride + c] = static_cast<std::uint8_t>(c + r);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({145, 38})->Args({400, 120})->Args({1024, 768});
}

void Finish(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_memset(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(RasterBytes(state));
  for (auto _ : state) {
    std::memset(bytes.data(), 5, bytes.size());
    benchmark::ClobberMemory();
  }
  Finish(state, bytes.size());
}
BENCHMARK(BM_memset)->Apply(Sizes);

void BM_memcpy(benchmark::State& state) {
  std::vector<std::uint8_t> from(RasterBytes(state), 3), to(RasterBytes(state));
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::ClobberMemory();
  }
  Finish(state, to.size());
}
BENCHMARK(BM_memcpy)->Apply(Sizes);

void BM_SetMem(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(RasterBytes(state));
  for (auto _ : state) {
    SetMem(bytes.data(), 5, static_cast<std::int32_t>(bytes.size()));
    benchmark::ClobberMemory();
  }
  Finish(state, bytes.size());
}
BENCHMARK(BM_SetMem)->Apply(Sizes);

void BM_BrushObject(benchmark::State& state) {
  tFulgoDib face;
  FillFace(face, static_cast<TWidth>(state.range(0)), static_cast<THeight>(state.range(1)));
  for (auto _ : state) {
    BrushObject(face.Dib, 9, 247);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_BrushObject)->Apply(Sizes);

void BM_ColorizeText(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib text, pattern;
  FillFace(text, w, h);
  pattern.NewColored(w, h, 12);
  for (auto _ : state) {
    ColorizeText(dib::Bits(text.Dib), dib::Bits(pattern.Dib), w, h, 247);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_ColorizeText)->Apply(Sizes);

// Enlarges a half-size picture to the measured size.
void BM_Stretch(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib source, dest;
  FillFace(source, static_cast<TWidth>(w / 2), static_cast<THeight>(h / 2));
  dest.MakeEmpty(w, h);
  for (auto _ : state) {
    Stretch(dib::Bits(source.Dib), dib::Bits(dest.Dib), w / 2, h / 2, w, h);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_Stretch)->Apply(Sizes);

// Lays a face over a ground of the same size: one new block per call, every byte selected.
void BM_CopyOver(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib ground, face;
  ground.NewColored(w, h, 3);
  FillFace(face, w, h);
  for (auto _ : state) {
    ground.CopyOver(face, 0, 0);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_CopyOver)->Apply(Sizes);

// A face shifted half its size: the composite is larger and has all four kinds of coverage.
void BM_IndCopyOffset(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib face;
  FillFace(face, w, h);
  for (auto _ : state) {
    state.PauseTiming();
    tFulgoDib ground;
    ground.NewColored(w, h, 3);
    state.ResumeTiming();
    ground.IndCopy(face, static_cast<std::int16_t>(w / 2), static_cast<std::int16_t>(h / 2), false);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state) * 9 / 4);
}
BENCHMARK(BM_IndCopyOffset)->Apply(Sizes);

void BM_CutCopy(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib frame, art;
  frame.NewColored(w, h, 3);
  FillFace(art, w, h);
  for (auto _ : state) {
    frame.CutCopy(art, 0, 0);
    benchmark::ClobberMemory();
  }
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_CutCopy)->Apply(Sizes);

// Writes the glyph record and reads it back; bytes counted once for each direction.
void BM_GlyphRoundTrip(benchmark::State& state) {
  tFulgoGlyph glyph, loaded;
  FillFace(*glyph.Dib, static_cast<TWidth>(state.range(0)), static_cast<THeight>(state.range(1)));
  glyph.SetHasData(true);
  host::TMemoryStream stream;
  stream.SetCapacity(static_cast<std::int64_t>(glyph.Dib->GetDibMemorySize()) + 64);
  for (auto _ : state) {
    stream.SetSize(0);
    glyph.SaveToStream(stream);
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
    benchmark::ClobberMemory();
  }
  Finish(state, 2 * std::size_t{glyph.Dib->GetDibMemorySize()});
}
BENCHMARK(BM_GlyphRoundTrip)->Apply(Sizes);

// The same bytes as the round trip, moved twice by memcpy.
void BM_memcpyTwice(benchmark::State& state) {
  const std::size_t bytes = RasterBytes(state) + 1078;
  std::vector<std::uint8_t> a(bytes, 1), b(bytes), c(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    std::memcpy(c.data(), b.data(), bytes);
    benchmark::ClobberMemory();
  }
  Finish(state, 2 * bytes);
}
BENCHMARK(BM_memcpyTwice)->Apply(Sizes);

// A face drawn transparently on a memory device of the same size: mask AND, then image OR. Bytes
// are those of the face's raster.
void BM_DrawTransparent(benchmark::State& state) {
  const auto w = static_cast<TWidth>(state.range(0));
  const auto h = static_cast<THeight>(state.range(1));
  tFulgoDib face;
  FillFace(face, w, h);
  host::HDC dc = host::CreateCompatibleDC(nullptr);
  host::HBITMAP target = host::CreateCompatibleBitmap(dc, w, h);
  host::HBITMAP previous = host::SelectObject(dc, target);
  for (auto _ : state) {
    face.DrawTransparent(dc, w, h, 0, 0);
    benchmark::ClobberMemory();
  }
  host::SelectObject(dc, previous);
  host::DeleteObject(target);
  host::DeleteDC(dc);
  Finish(state, RasterBytes(state));
}
BENCHMARK(BM_DrawTransparent)->Args({145, 38})->Args({400, 120});

}  // namespace
