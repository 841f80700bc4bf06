// The controls: opening a form of 100 controls that share one palette (with the number of palette
// computations it took), repainting 200 faces already rendered, and a button's hover change from the
// mouse move to the finished paint.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/Fulbtn.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"

namespace vantora {
namespace {

// Labels and buttons in turn, each with a colour of its own, all naming Palette1.
std::string SharedForm(int count) {
  std::string text =
      "object Form1: TForm\n  Width = 800\n  Height = 600\n  object Palette1: tFulgoPalette\n  end\n";
  for (int i = 0; i < count; ++i) {
    const bool button = i % 2 != 0;
    text += std::string("  object C") + std::to_string(i) + (button ? ": TFulgoButton\n" : ": TFulgoLabel\n");
    text += "    Left = " + std::to_string(i % 10 * 78) + "\n    Top = " + std::to_string(i / 10 * 58) +
            "\n    Width = 74\n    Height = 26\n    Caption = 'C" + std::to_string(i) +
            "'\n    FulgoPalette = Palette1\n    Art.FulgoBackground.FulgoColor.Brush = " +
            std::to_string(0x203040 + i * 0x030507) + "\n  end\n";
  }
  return text + "end\n";
}

void BM_OpenSharedFormOf100(benchmark::State& state) {
  host::TApplication app(std::make_unique<host::THeadlessBackend>());
  const std::string text = SharedForm(100);
  int builds = 0;
  for (auto _ : state) {
    host::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    host::TCustomForm* form = host::LoadForm(stream, &app);
    form->Show();
    app.ProcessMessages();
    builds = dynamic_cast<tFulgoPalette*>(form->FindComponent("Palette1"))->BuildCount;
    delete form;
  }
  state.counters["palette_builds"] = builds;
}
BENCHMARK(BM_OpenSharedFormOf100)->Unit(benchmark::kMillisecond);

void BM_Repaint200Faces(benchmark::State& state) {
  host::TApplication app(std::make_unique<host::THeadlessBackend>());
  auto* form = new host::TForm(&app);
  form->SetBounds(0, 0, 800, 600);
  std::vector<TFulgoLabel*> labels;
  for (int i = 0; i < 200; ++i) {
    auto* label = new TFulgoLabel(form);
    label->SetCaption("Face " + std::to_string(i));
    label->SetDrawMode(i % 2 ? edTransparent : edOpaque);
    label->SetLeft(i % 10 * 80);
    label->SetTop(i / 10 * 30);
    label->SetParent(form);
    labels.push_back(label);
  }
  form->Show();
  app.ProcessMessages();
  for (auto _ : state) {
    for (TFulgoLabel* label : labels) label->Invalidate();
    app.ProcessMessages();
  }
}
BENCHMARK(BM_Repaint200Faces)->Unit(benchmark::kMillisecond);

void BM_HoverChange(benchmark::State& state) {
  auto backend = std::make_unique<host::THeadlessBackend>();
  host::THeadlessBackend& input = *backend;
  host::TApplication app(std::move(backend));
  auto* form = new host::TForm(&app);
  form->SetBounds(0, 0, 300, 200);
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->SetBounds(20, 20, 145, 38);
  button->SetCaption("Hover");
  button->SetMinArt(false);
  form->Show();
  app.ProcessMessages();
  bool inside = false;
  for (auto _ : state) {
    inside = !inside;
    input.MouseMove(form->Handle(), inside ? 60 : 250, inside ? 30 : 150);
    app.ProcessMessages();
  }
}
BENCHMARK(BM_HoverChange)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantora
