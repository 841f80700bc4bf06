// The wizard's preferences in "fulgo.ini", section "FulgoLabel": the gallery directory, the beep, and
// when the preview renders. They are read from the settings file in force and written to the user's
// own file, never to the default installed with the data.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

struct tWizardSettings {
  std::string LabelGallery;
  bool BeepOnUpdate = false;
  bool UpdateOnEnter = false;
  std::int32_t UpdateAfter = 600;
};

// The gallery installed with the data: a new user sees the presets at once.
std::string DefaultGalleryDirectory();
// The four keys from the settings file in force (FulgoIniPath); a missing key gives its default.
tWizardSettings ReadWizardSettings();
// The file "Save As Default" writes (UserFulgoIniPath).
std::string UserSettingsPath();
// Writes the four keys to the user's file. A user file made here starts as a copy of the settings in
// force, so the keys the wizard does not own (the shape file) still resolve.
void WriteWizardSettings(const tWizardSettings& Settings);

}  // namespace vantora
VANTORA_API_END
