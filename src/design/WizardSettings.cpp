#include "design/WizardSettings.h"

#include <filesystem>
#include <system_error>

#include "host/classes/Errors.h"
#include "host/classes/IniFile.h"
#include "host/classes/Stream.h"

namespace fs = std::filesystem;

namespace vantora {

namespace {

constexpr const char* kSection = "FulgoLabel";

// Seeds a new user file with the settings in force, so it shadows the default without losing keys.
void CreateUserFile(const std::string& user) {
  std::error_code ec;
  if (fs::exists(user, ec)) return;
  const std::string current = host::FulgoIniPath();
  if (current == user || !fs::is_regular_file(current, ec)) return;
  const fs::path parent = fs::path(user).parent_path();
  if (!parent.empty() && !fs::create_directories(parent, ec) && ec)
    throw host::EFCreateError("Cannot create directory \"" + parent.string() + "\". " + ec.message());
  host::TMemoryStream seed;
  seed.LoadFromFile(current);
  seed.SaveToFile(user);
}

}  // namespace

std::string DefaultGalleryDirectory() {
  return host::VantoraDataDir() + "/gallery";
}

tWizardSettings ReadWizardSettings() {
  const host::TIniFile ini(host::FulgoIniPath());
  tWizardSettings settings;
  settings.LabelGallery = ini.ReadString(kSection, "LabelGallery", DefaultGalleryDirectory());
  settings.BeepOnUpdate = ini.ReadBool(kSection, "BeepOnUpdate", false);
  settings.UpdateOnEnter = ini.ReadBool(kSection, "UpdateOnEnter", false);
  settings.UpdateAfter = ini.ReadInteger(kSection, "UpdateAfter", 600);
  return settings;
}

std::string UserSettingsPath() {
  return host::UserFulgoIniPath();
}

void WriteWizardSettings(const tWizardSettings& Settings) {
  const std::string user = UserSettingsPath();
  if (user.empty()) throw host::EFCreateError("Cannot create settings file: no home directory is set.");
  CreateUserFile(user);
  host::TIniFile ini(user);
  ini.WriteStrings(kSection, {{"LabelGallery", Settings.LabelGallery},
                              {"BeepOnUpdate", Settings.BeepOnUpdate ? "1" : "0"},
                              {"UpdateOnEnter", Settings.UpdateOnEnter ? "1" : "0"},
                              {"UpdateAfter", std::to_string(Settings.UpdateAfter)}});
}

}  // namespace vantora
