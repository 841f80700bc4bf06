// The widgets at sizes a user reaches: a keystroke in a long edit with its repaint, a list box
// filled with many items, and the file dialog opened on a folder of many files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/backends/HeadlessBackend.h"
#include "host/dialogs/FileDialogForm.h"
#include "host/forms/Application.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"

namespace vantora::host {
namespace {

// One character typed at the end of 1,000 and taken back with Backspace, each followed by the
// repaint: two keystrokes per iteration.
void BM_TypeIntoEditOf1000(benchmark::State& state) {
  auto backend = std::make_unique<THeadlessBackend>();
  THeadlessBackend* input = backend.get();
  TApplication app(std::move(backend));
  auto* form = new TForm(&app);
  form->SetBounds(0, 0, 300, 60);
  auto* edit = new TEdit(form);
  edit->SetBounds(10, 10, 280, 21);
  edit->SetParent(form);
  edit->SetText(std::string(1000, 'w'));
  form->Show();
  app.ProcessMessages();
  edit->SetSelStart(1000);
  for (auto _ : state) {
    input->Type("x");
    app.ProcessMessages();
    input->PressKey(VK_BACK);
    app.ProcessMessages();
  }
  if (edit->Text().size() != 1000) state.SkipWithError("the edit lost or kept a character");
}
BENCHMARK(BM_TypeIntoEditOf1000)->Unit(benchmark::kMicrosecond);

// 10,000 items added one by one (no BeginUpdate), then the list painted.
void BM_FillListBoxWith10000(benchmark::State& state) {
  TApplication app(std::make_unique<THeadlessBackend>());
  auto* form = new TForm(&app);
  form->SetBounds(0, 0, 300, 300);
  auto* list = new TListBox(form);
  list->SetBounds(10, 10, 200, 280);
  list->SetParent(form);
  form->Show();
  app.ProcessMessages();
  std::vector<std::string> names;
  for (int i = 0; i < 10000; ++i) names.push_back("Preset " + std::to_string(i));
  for (auto _ : state) {
    list->Items()->Clear();
    for (const std::string& name : names) list->Items()->Add(name);
    app.ProcessMessages();
  }
}
BENCHMARK(BM_FillListBoxWith10000)->Unit(benchmark::kMillisecond);

// The file dialog's form built on a folder of 10,000 files (listed, filtered, sorted) and shown
// with its first paint.
void BM_OpenFileDialogOn10000Files(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "vantora-bench-10000";
  if (!fs::exists(folder / "face9999.lbl")) {
    fs::create_directories(folder);
    for (int i = 0; i < 10000; ++i)
      std::ofstream(folder / ("face" + std::to_string(i) + (i % 2 ? ".btn" : ".lbl")));
  }
  TApplication app(std::make_unique<THeadlessBackend>());
  TFileDialogSettings settings;
  settings.filters = ParseFileFilter("FulgoComponents|*.LBL;*.BTN;*.PNL");
  settings.folder = folder.string();
  for (auto _ : state) {
    TFileDialogForm form(settings);
    form.Show();
    app.ProcessMessages();
    if (form.Entries().Count() != 10001) state.SkipWithError("not every file was listed");
  }
}
BENCHMARK(BM_OpenFileDialogOn10000Files)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantora::host
