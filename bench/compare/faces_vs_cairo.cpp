// Whole faces against cairo drawing the same look in true colour: the 145 x 38 label face
// (gradient, frame, shadow, ten letters), the 29-letter face with every layer on text and
// background, and panels of 320 x 240, 800 x 600 and 1920 x 1080 with a gradient or a tiled
// picture, a 3D edge, a frame, a shadow and a caption. Each face renders anew every iteration;
// cairo clears its surface and draws every layer. The px counter is the cost of one pixel.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/DibLayout.h"
#include "model/Fullblart.h"

namespace {

using namespace vantora;

// The look, as both contenders draw it.
struct TLook {
  int width = 145;
  int height = 38;
  const char* caption = "Vantora 10";
  bool tiled = false;       // a tiled picture instead of the gradient
  bool textLayers = false;  // 3D edge, frame and shadow on the letters too
  int edge = 0;             // 3D edge of the background, 0 for none
  int frame = 2;
  int shadow = 3;
};

constexpr int kTileSide = 64;

void SetPixelCounter(benchmark::State& state, const TLook& look) {
  state.counters["px"] =
      benchmark::Counter(static_cast<double>(look.width) * look.height,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// --- the library ----------------------------------------------------------------------------

// A 64 x 64 tile of 64 colours: diagonal bands over a few squares.
void PaintTile(tFulgoDib& tile) {
  tile.MakeNew(kTileSide, kTileSide);
  std::uint8_t* table = dib::ColorTable(tile.Dib);
  for (std::uint32_t i = 0; i < 64; ++i)
    dib::Put32(table + 4 * i, (40 + i * 3) | (90 + i * 2) << 8 | (150 - i) << 16);
  std::uint8_t* bits = dib::Bits(tile.Dib);
  const std::size_t stride = dib::RowStride(kTileSide);
  for (int y = 0; y < kTileSide; ++y)
    for (int x = 0; x < kTileSide; ++x)
      bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(((x + y) / 4 + (x / 16 + y / 16) * 8) % 64);
}

void Layers(tFulgoObject& object, int edge, int frame, int shadow) {
  if (edge > 0) {
    object.Layer3D->SetActive(true);
    object.Layer3D->SetLineWidth(static_cast<std::int16_t>(edge));
    object.Layer3D->SetEmbossed(true);
    object.Layer3D->FulgoColor1->SetBrush(0xFFFFFF);
    object.Layer3D->FulgoColor2->SetBrush(0x303030);
  }
  object.LayerFrame->SetActive(true);
  object.LayerFrame->SetLineWidth(static_cast<std::int16_t>(frame));
  object.LayerFrame->FulgoColor1->SetBrush(0x202080);
  object.LayerShadow->SetActive(true);
  object.LayerShadow->SetLeft(static_cast<std::int16_t>(shadow));
  object.LayerShadow->SetTop(static_cast<std::int16_t>(shadow));
  object.LayerShadow->FulgoColor1->SetBrush(0x404040);
}

void BuildArt(tFulgoLabelArt& art, const TLook& look) {
  tFulgoBackground& back = *art.FulgoBackground;
  tFulgoColor& fill = *back.FulgoColor;
  if (look.tiled) {
    fill.SetColorType(fgTiledBitmap);
    PaintTile(*fill.FulgoGlyph->Dib);
    fill.FulgoGlyph->SetHasData(true);
  } else {
    fill.SetColorType(fgGradient);
  }
  Layers(back, look.edge, look.frame, look.shadow);
  art.FulgoText->FulgoColor->SetBrush(0xF0F0F0);
  art.FulgoText->SetCaption(look.caption);
  if (look.textLayers) Layers(*art.FulgoText, 2, 1, 2);
  art.NeededWidth = look.width;
  art.NeededHeight = look.height;
}

void Render(benchmark::State& state, const TLook& look, bool bands) {
  tFulgoLabelArt art(nullptr);
  BuildArt(art, look);
  art.FulgoBackground->DrawBands = bands;
  art.Render();  // fonts and glyphs of a face already shown once
  for (auto _ : state) {
    art.Render();
    benchmark::DoNotOptimize(art.Dib->Dib);
  }
  SetPixelCounter(state, look);
}

void Vantora(benchmark::State& state, const TLook& look) {
  Render(state, look, true);
}

// The general render, which lays one whole mask after another under the body: what a rectangular
// body saves by drawing its layers as bands.
void VantoraMasks(benchmark::State& state, const TLook& look) {
  Render(state, look, false);
}

// --- cairo ----------------------------------------------------------------------------------

void SetRgb(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

struct TCairoSurface {
  cairo_surface_t* surface;
  ~TCairoSurface() { cairo_surface_destroy(surface); }
};

cairo_surface_t* CairoTile() {
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kTileSide, kTileSide);
  cairo_surface_flush(tile);
  unsigned char* bits = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  for (int y = 0; y < kTileSide; ++y)
    for (int x = 0; x < kTileSide; ++x) {
      const std::uint32_t i = static_cast<std::uint32_t>(((x + y) / 4 + (x / 16 + y / 16) * 8) % 64);
      const std::uint32_t pixel = (150 - i) << 16 | (90 + i * 2) << 8 | (40 + i * 3);
      *reinterpret_cast<std::uint32_t*>(bits + y * stride + 4 * x) = pixel;
    }
  cairo_surface_mark_dirty(tile);
  return tile;
}

// A rectangle's 3D edge: light bands at the top and left, dark ones at the bottom and right.
void CairoEdge(cairo_t* cr, double x, double y, double w, double h, int edge) {
  SetRgb(cr, 0xFFFFFF);
  cairo_rectangle(cr, x, y, w, edge);
  cairo_rectangle(cr, x, y, edge, h);
  cairo_fill(cr);
  SetRgb(cr, 0x303030);
  cairo_rectangle(cr, x, y + h - edge, w, edge);
  cairo_rectangle(cr, x + w - edge, y, edge, h);
  cairo_fill(cr);
}

void CairoBackground(cairo_t* cr, const TLook& look, cairo_pattern_t* fill) {
  const double w = look.width - look.shadow, h = look.height - look.shadow;
  SetRgb(cr, 0x404040);
  cairo_rectangle(cr, look.shadow, look.shadow, w, h);
  cairo_fill(cr);
  cairo_set_source(cr, fill);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
  const double f = look.frame;
  if (look.edge > 0) CairoEdge(cr, f, f, w - 2 * f, h - 2 * f, look.edge);
  SetRgb(cr, 0x802020);
  cairo_set_line_width(cr, f);
  cairo_rectangle(cr, f / 2, f / 2, w - f, h - f);
  cairo_stroke(cr);
}

// The caption centred; with text layers its shadow, both edges and an outline come first.
void CairoCaption(cairo_t* cr, const TLook& look) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, look.caption, &extents);
  const double x = (look.width - extents.width) / 2 - extents.x_bearing;
  const double y = (look.height - extents.height) / 2 - extents.y_bearing;
  if (look.textLayers) {
    const auto show = [&](std::uint32_t rgb, double dx, double dy) {
      SetRgb(cr, rgb);
      cairo_move_to(cr, x + dx, y + dy);
      cairo_show_text(cr, look.caption);
    };
    show(0x404040, 2, 2);
    for (int d = 1; d <= 2; ++d) {
      show(0xFFFFFF, -d, -d);
      show(0x303030, d, d);
    }
    SetRgb(cr, 0x802020);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, look.caption);
    cairo_stroke(cr);
  }
  SetRgb(cr, 0xF0F0F0);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, look.caption);
}

void Cairo(benchmark::State& state, const TLook& look) {
  TCairoSurface target{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, look.width, look.height)};
  TCairoSurface tile{CairoTile()};
  cairo_pattern_t* fill;
  if (look.tiled) {
    fill = cairo_pattern_create_for_surface(tile.surface);
    cairo_pattern_set_extend(fill, CAIRO_EXTEND_REPEAT);
  } else {
    fill = cairo_pattern_create_linear(0, 0, look.width - look.shadow, 0);
    cairo_pattern_add_color_stop_rgb(fill, 0, 248 / 255.0, 200 / 255.0, 113 / 255.0);
    cairo_pattern_add_color_stop_rgb(fill, 1, 48 / 255.0, 68 / 255.0, 33 / 255.0);
  }
  cairo_t* cr = cairo_create(target.surface);
  cairo_select_font_face(cr, "Liberation Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 21);
  // Two-state letters and edges, as the library draws them.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  const auto draw = [&] {
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    CairoBackground(cr, look, fill);
    CairoCaption(cr, look);
    cairo_surface_flush(target.surface);
  };
  draw();  // the glyphs cached, as for the library
  for (auto _ : state) {
    draw();
    benchmark::DoNotOptimize(cairo_image_surface_get_data(target.surface));
  }
  cairo_destroy(cr);
  cairo_pattern_destroy(fill);
  SetPixelCounter(state, look);
}

// --- the faces ------------------------------------------------------------------------------

const TLook kLabel{};
const TLook kAllLayers{.width = 360,
                       .height = 44,
                       .caption = "The quick brown fox jumps ove",
                       .textLayers = true,
                       .edge = 2,
                       .frame = 1,
                       .shadow = 2};

TLook Panel(int width, int height, bool tiled) {
  return TLook{.width = width, .height = height, .caption = "Panel", .tiled = tiled, .edge = 2};
}

void Statistics(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
}

BENCHMARK_CAPTURE(Vantora, Label, kLabel)->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Label, kLabel)->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, AllLayers29, kAllLayers)->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, AllLayers29, kAllLayers)->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Gradient320x240, Panel(320, 240, false))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Gradient320x240, Panel(320, 240, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Gradient320x240, Panel(320, 240, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Gradient800x600, Panel(800, 600, false))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Gradient800x600, Panel(800, 600, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Gradient800x600, Panel(800, 600, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Gradient1920x1080, Panel(1920, 1080, false))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Gradient1920x1080, Panel(1920, 1080, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Gradient1920x1080, Panel(1920, 1080, false))->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Tiled320x240, Panel(320, 240, true))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Tiled320x240, Panel(320, 240, true))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Tiled320x240, Panel(320, 240, true))->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Tiled800x600, Panel(800, 600, true))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Tiled800x600, Panel(800, 600, true))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Tiled800x600, Panel(800, 600, true))->Apply(Statistics);
BENCHMARK_CAPTURE(Vantora, Tiled1920x1080, Panel(1920, 1080, true))->Apply(Statistics);
BENCHMARK_CAPTURE(VantoraMasks, Tiled1920x1080, Panel(1920, 1080, true))->Apply(Statistics);
BENCHMARK_CAPTURE(Cairo, Tiled1920x1080, Panel(1920, 1080, true))->Apply(Statistics);

}  // namespace
