// The gradient editor: from a new colour for one stop to the preview repainted on the screen.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "design/Grdwiz.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "host/graphics/Screen.h"

namespace vantora {
namespace {

void BM_StopColourToRepaintedPreview(benchmark::State& state) {
  host::TApplication app(std::make_unique<host::THeadlessBackend>());
  auto* editor = new TfrmGrdWiz(&app);
  tFulgoColor fill(nullptr);
  fill.SetColorType(fgGradient);
  tFulgoGradient& g = *fill.Gradient;
  g.Vortex[0] = tVortex{40, 20, 200, 0, 30, 0, 0};
  g.Vortex[1] = tVortex{60, 190, 235, 0, 30, 0, 0};
  g.Vortex[2] = tVortex{170, 245, 255, 0, 0, 0, 0};
  // The measurement runs inside the modal editor, as the user's click on a colour would.
  editor->OnShow = [&](host::TPersistent*) {
    app.ProcessMessages();
    int shade = 0;
    host::TControl& preview = *editor->Preview;
    for (auto _ : state) {
      shade = (shade + 1) & 0xFF;
      editor->Swatch(1)->Brush()->SetColor(static_cast<host::TColor>(host::RGB(shade, 128, 64)));
      editor->SetToGradient();
      app.ProcessMessages();
    }
    // The first stop's colour is the preview's left edge: the last change must be on the screen.
    const host::POINT edge = preview.OriginInTopLevel();
    const host::SurfacePixels screen = host::GetSurfacePixels(preview.GetWindowHandle());
    const std::uint32_t shown =
        screen.pixels[static_cast<std::size_t>((edge.y + 60) * screen.width + edge.x + 2)];
    if (shown != (static_cast<std::uint32_t>(shade) << 16 | 128u << 8 | 64u))
      state.SkipWithError("the preview does not show the new colour");
    editor->SetModalResult(host::mrCancel);
  };
  editor->EditGradient(fill);
}
BENCHMARK(BM_StopColourToRepaintedPreview)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantora
