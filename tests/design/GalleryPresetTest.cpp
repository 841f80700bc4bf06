// The label presets of the bundled gallery as the wizard and the gallery sheet show them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "controls/ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fulfile.h"
#include "controls/Fullbl.h"
#include "effects/Fulcolor.h"
#include "effects/Fulgrd.h"
#include "model/Fulback.h"
#include "model/Fultext.h"

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

int Luminance(int red, int green, int blue) {
  return (red * 299 + green * 587 + blue * 114) / 1000;
}

// The mean lightness of a face: its brush, or its gradient's stops.
int FaceLuminance(const tFulgoColor& face) {
  if (face.ColorType != fgGradient && face.ColorType != fgTiledGradient)
    return Luminance(host::GetRValue(face.Brush), host::GetGValue(face.Brush), host::GetBValue(face.Brush));
  int sum = 0, stops = 0;
  for (const tVortex& stop : face.Gradient->Vortex) {
    sum += Luminance(stop.Red, stop.Green, stop.Blue);
    ++stops;
    if (stop.Steps <= 0) break;
  }
  return sum / stops;
}

TEST_F(GalleryPresetTest, DisabledButtonPresetsStayReadableAndLookDisabled) {
  // Lightness apart, letters to face, that still reads at a glance.
  constexpr int kReadable = 80;
  // Lightness apart, disabled to up (letters or face), that shows at a glance the button is off.
  constexpr int kLooksOff = 48;
  const fs::path gallery = fs::path(VANTORA_TEST_INI).parent_path() / "gallery";
  int presets = 0;
  for (const auto& entry : fs::directory_iterator(gallery)) {
    if (entry.path().extension() != ".btn") continue;
    ++presets;
    TFulgoButton button(nullptr);
    LoadControlFromFile(button, entry.path().string(), false);
    // A state that follows Up holds Up's look as well.
    const tFulgoButtonArt& disabled = *button.DisableArt;
    const TColor text = disabled.FulgoText->FulgoColor->Brush;
    const int letters = Luminance(host::GetRValue(text), host::GetGValue(text), host::GetBValue(text));
    const int face = FaceLuminance(*disabled.FulgoBackground->FulgoColor);
    EXPECT_GE(std::abs(letters - face), kReadable) << entry.path().filename();
    const TColor upText = button.Art->FulgoText->FulgoColor->Brush;
    const int upLetters =
        Luminance(host::GetRValue(upText), host::GetGValue(upText), host::GetBValue(upText));
    const int upFace = FaceLuminance(*button.Art->FulgoBackground->FulgoColor);
    EXPECT_GE(std::max(std::abs(letters - upLetters), std::abs(face - upFace)), kLooksOff)
        << entry.path().filename() << ": the disabled state looks like up";
  }
  EXPECT_GE(presets, 10);
}

}  // namespace
}  // namespace vantora::testing
