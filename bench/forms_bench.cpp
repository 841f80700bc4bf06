// The window layer: message dispatch, invalidate-and-paint of many windowless controls, and opening
// a form with many controls from a stream.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/backends/HeadlessBackend.h"
#include "host/classes/Filer.h"
#include "host/forms/Application.h"
#include "host/forms/Button.h"
#include "host/forms/Panel.h"

namespace vantora::host {
namespace {

// A windowless control that draws nothing, so only the layer's own work is measured.
class TBlank : public TGraphicControl {
 public:
  explicit TBlank(TComponent* owner) : TGraphicControl(owner) {}
};

void BM_SendMessage(benchmark::State& state) {
  TApplication app(std::make_unique<THeadlessBackend>());
  auto* form = new TForm(&app);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  for (auto _ : state)
    for (int i = 0; i < 1000000; ++i) benchmark::DoNotOptimize(SendMessage(panel, WM_USER + 1, i));
}
BENCHMARK(BM_SendMessage)->Unit(benchmark::kMillisecond);

void BM_InvalidateAndPaint200(benchmark::State& state) {
  TApplication app(std::make_unique<THeadlessBackend>());
  auto* form = new TForm(&app);
  form->SetBounds(0, 0, 640, 480);
  std::vector<TBlank*> blanks;
  for (int i = 0; i < 200; ++i) {
    auto* blank = new TBlank(form);
    blank->SetBounds((i % 20) * 32, (i / 20) * 48, 30, 46);
    blank->SetParent(form);
    blanks.push_back(blank);
  }
  form->Show();
  app.ProcessMessages();
  for (auto _ : state) {
    for (TBlank* blank : blanks) blank->Invalidate();
    app.ProcessMessages();
  }
}
BENCHMARK(BM_InvalidateAndPaint200)->Unit(benchmark::kMillisecond);

void BM_OpenFormWith100Controls(benchmark::State& state) {
  TApplication app(std::make_unique<THeadlessBackend>());
  TMemoryStream stream;
  {
    TForm form(nullptr);
    form.SetBounds(0, 0, 640, 480);
    for (int i = 0; i < 100; ++i) {
      TWinControl* control = i % 2 ? static_cast<TWinControl*>(new TButton(&form)) : new TPanel(&form);
      const std::string number = std::to_string(i);
      control->SetName(std::string("Control").append(number));
      control->SetBounds((i % 10) * 64, (i / 10) * 48, 60, 40);
      control->SetCaption(std::string("Item ").append(number));
      control->SetParent(&form);
    }
    WriteComponent(stream, form);
  }
  for (auto _ : state) {
    stream.SetPosition(0);
    TCustomForm* form = LoadForm(stream, &app);
    form->Show();
    app.ProcessMessages();
    delete form;
  }
}
BENCHMARK(BM_OpenFormWith100Controls)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantora::host
