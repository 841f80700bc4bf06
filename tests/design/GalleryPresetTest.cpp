// The label presets of the bundled gallery as the wizard and the gallery sheet show them.
#include <filesystem>
#include <string>

#include "controls/ControlsTestSupport.h"
#include "controls/Fulfile.h"
#include "controls/Fullbl.h"

namespace vantora::testing {
namespace {

namespace fs = std::filesystem;

// What a preset's shape, frame and shadow hold beyond its letters, across and down.
constexpr int kMarginX = 16, kMarginY = 8;

using GalleryPresetTest = ControlsTest;

TEST_F(GalleryPresetTest, LabelPresetsHoldTheirTextWithAMargin) {
  host::TForm* form = NewForm(400, 200);
  form->Show();
  const fs::path gallery = fs::path(VANTORA_TEST_INI).parent_path() / "gallery";
  int presets = 0;
  for (const auto& entry : fs::directory_iterator(gallery)) {
    if (entry.path().extension() != ".lbl") continue;
    ++presets;
    // As the gallery sheet reads it, the file's AutoSize counts; beside it one sized to its letters.
    auto* preset = new TFulgoLabel(form);
    LoadControlFromFile(*preset, entry.path().string(), false);
    auto* letters = new TFulgoLabel(form);
    ASSERT_TRUE(letters->GetAutoSize());
    letters->LoadFromFile(entry.path().string());
    for (host::TControl* label :
         {static_cast<host::TControl*>(preset), static_cast<host::TControl*>(letters)})
      label->SetParent(form);
    app->ProcessMessages();
    EXPECT_GE(preset->Width(), letters->Width() + kMarginX) << entry.path().filename();
    EXPECT_GE(preset->Height(), letters->Height() + kMarginY) << entry.path().filename();
    delete preset;
    delete letters;
  }
  EXPECT_GE(presets, 10);
}

}  // namespace
}  // namespace vantora::testing
