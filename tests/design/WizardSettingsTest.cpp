// The wizard's settings: defaults, the user's own file, and the installed default left alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "design/WizardGallery.h"
#include "design/WizardSettings.h"
#include "host/classes/IniFile.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

// Points the settings at a temporary home, and puts the environment back afterwards.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() {
    for (const char* name : {"VANTORA_INI", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    }
    unsetenv("VANTORA_INI");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", dir.Path().c_str(), 1);
  }
  ~SettingsTest() override {
    for (const auto& [name, value] : saved_) {
      if (value)
        setenv(name, value->c_str(), 1);
      else
        unsetenv(name);
    }
  }

  test::TempDir dir;

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(SettingsTest, SavedToTheUsersFileNeverToTheInstalledDefault) {
  const std::string installed = host::FulgoIniPath();
  ASSERT_EQ(installed, host::VantoraDataDir() + "/fulgo.ini") << "no user file yet: the default is in force";
  const std::string installedBefore = test::ReadAll(installed);

  // The defaults: the bundled gallery, no beep, the delay of 600 ms.
  tWizardSettings settings = ReadWizardSettings();
  EXPECT_EQ(settings.LabelGallery, host::VantoraDataDir() + "/gallery");
  EXPECT_FALSE(settings.BeepOnUpdate);
  EXPECT_FALSE(settings.UpdateOnEnter);
  EXPECT_EQ(settings.UpdateAfter, 600);

  settings.LabelGallery = " /somewhere else ";
  settings.BeepOnUpdate = true;
  settings.UpdateOnEnter = true;
  settings.UpdateAfter = 1500;
  WriteWizardSettings(settings);

  const std::string user = dir.Name(".config/vantora/fulgo.ini");
  EXPECT_EQ(UserSettingsPath(), user);
  EXPECT_EQ(host::FulgoIniPath(), user) << "the new user file is now in force";
  EXPECT_EQ(test::ReadAll(installed), installedBefore) << "the installed default is never written";
  const tWizardSettings read = ReadWizardSettings();
  EXPECT_EQ(read.LabelGallery, " /somewhere else ");
  EXPECT_TRUE(read.BeepOnUpdate);
  EXPECT_TRUE(read.UpdateOnEnter);
  EXPECT_EQ(read.UpdateAfter, 1500);
  // The keys the wizard does not own came along, so shapes are still found.
  const host::TIniFile userIni(user);
  EXPECT_EQ(userIni.ReadString("FulgoLabel", "FulgoShapePath", ""),
            host::TIniFile(installed).ReadString("FulgoLabel", "FulgoShapePath", "x"));
}

TEST_F(SettingsTest, ExplicitFileAndMissingKeys) {
  const std::string explicitIni = dir.File("mine.ini", "[FulgoLabel]\nUpdateAfter=abc\nBeepOnUpdate=1\n");
  setenv("VANTORA_INI", explicitIni.c_str(), 1);
  const tWizardSettings read = ReadWizardSettings();
  EXPECT_EQ(read.UpdateAfter, 600) << "a value that is no number gives the default";
  EXPECT_TRUE(read.BeepOnUpdate);
  EXPECT_EQ(read.LabelGallery, DefaultGalleryDirectory())
      << "a missing gallery key names the bundled gallery";

  tWizardSettings changed = read;
  changed.UpdateAfter = 0;
  WriteWizardSettings(changed);
  EXPECT_EQ(ReadWizardSettings().UpdateAfter, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.Name(".config"))) << "$VANTORA_INI is the user's file";
}

TEST(WizardGalleryTest, ListsPresetsOfOneKindByName) {
  test::TempDir dir;
  for (const char* name : {"b.lbl", "a.b.lbl", "Zeta.LBL", "button.btn", "lbl", "x.lblx", "panel.pnl"})
    dir.File(name, "x");
  std::filesystem::create_directory(dir.Path() / "folder.lbl");
  std::vector<std::string> names;
  for (const tPreset& preset : ListPresets(dir.Path().string(), PresetExtension(edLabel))) {
    names.push_back(preset.Name);
    EXPECT_TRUE(std::filesystem::is_regular_file(preset.Path)) << preset.Path;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.b", "b", "Zeta"}));
  const auto buttons = ListPresets(dir.Path().string(), PresetExtension(edButton));
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].Name, "button");
  EXPECT_EQ(ListPresets(dir.Name("missing"), "lbl").size(), 0u);
}

TEST(WizardGalleryTest, PresetsCentredOrScrolled) {
  const tPresetPlacement small = PlacePreset(200, 230, 100, 31);
  EXPECT_EQ(small.X, 50);
  EXPECT_EQ(small.Y, 100);  // 99.5 rounds to the even neighbour
  EXPECT_EQ(small.HorzRange, 0);
  EXPECT_EQ(small.VertRange, 0);
  const tPresetPlacement large = PlacePreset(200, 230, 401, 230);
  EXPECT_EQ(large.X, 0);
  EXPECT_EQ(large.HorzRange, 200 + 100 + 100) << "box width less the negative offset, plus 100";
  EXPECT_EQ(large.Y, 0);
  EXPECT_EQ(large.VertRange, 0);
}

}  // namespace
}  // namespace vantora
