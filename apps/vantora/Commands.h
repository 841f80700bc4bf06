// The verbs of the vantora tool. Each registers its subcommand and runs it when chosen.
#pragma once

#include <CLI/CLI.hpp>

namespace vantora::tool {

void AddConvertCommands(CLI::App& app);
void AddPictureCommands(CLI::App& app);
void AddEffectsSheetCommands(CLI::App& app);
void AddRenderCommands(CLI::App& app);
void AddShowCommands(CLI::App& app);
void AddGalleryCommands(CLI::App& app);
void AddGradientCommands(CLI::App& app);
void AddWizardCommands(CLI::App& app);
void AddAtlasCommands(CLI::App& app);

}  // namespace vantora::tool
