// Opening and freeing a form of many controls, read from its text form: the cost must grow with the
// number of components, not with its square. The plain framework label shows what loading costs
// without the faces the library's labels render; panels are windows, each with its tab order.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/Fullbl.h"
#include "host/backends/HeadlessBackend.h"
#include "host/forms/Application.h"
#include "host/forms/Panel.h"
#include "host/widgets/Label.h"

namespace vantora {
namespace {

// About 60 bytes a control: a name, a class and a place (and the tab order of a window).
std::string ControlsForm(const host::TClass& control, int count) {
  const bool windowed = control.InheritsFrom(host::TWinControl::StaticClass());
  std::string text = "object Form1: TForm\n  Width = 800\n  Height = 600\n";
  text.reserve(static_cast<std::size_t>(count) * 64 + 64);
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(i);
    text.append("  object C").append(number).append(": ").append(control.ClassName()).append("\n");
    text.append("    Left = ").append(std::to_string(i % 10 * 80)).append("\n");
    text.append("    Top = ").append(std::to_string(i / 10 % 20 * 30)).append("\n");
    if (windowed) text.append("    TabOrder = ").append(number).append("\n");
    text.append("  end\n");
  }
  return text + "end\n";
}

// Naming the class links it in, so that the reader finds it registered.
void OpenAndFree(benchmark::State& state, const host::TClass& control) {
  host::TApplication app(std::make_unique<host::THeadlessBackend>());
  const std::string text = ControlsForm(control, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    host::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    host::TCustomForm* form = host::LoadForm(stream, &app);
    delete form;
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}

// Each form read and freed once a run, five runs of 4,000, 8,000 and 20,000 components.
void FormSizes(benchmark::internal::Benchmark* sizes) {
  sizes->Arg(4000)
      ->Arg(8000)
      ->Arg(20000)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

void BM_OpenAndFreeFulgoLabels(benchmark::State& state) {
  OpenAndFree(state, TFulgoLabel::StaticClass());
}
BENCHMARK(BM_OpenAndFreeFulgoLabels)->Apply(FormSizes);

void BM_OpenAndFreePlainLabels(benchmark::State& state) {
  OpenAndFree(state, host::TLabel::StaticClass());
}
BENCHMARK(BM_OpenAndFreePlainLabels)->Apply(FormSizes);

void BM_OpenAndFreePanels(benchmark::State& state) {
  OpenAndFree(state, host::TPanel::StaticClass());
}
BENCHMARK(BM_OpenAndFreePanels)->Apply(FormSizes);

}  // namespace
}  // namespace vantora
