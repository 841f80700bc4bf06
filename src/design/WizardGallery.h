// The preset gallery of the wizard: a directory of control files, one per preset, named after the
// preset with the extension of the kind being edited; and where a preset's preview sits in its box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora {

enum teEditing : std::uint8_t { edLabel, edButton, edPanel };

// "lbl", "btn" or "pnl".
const char* PresetExtension(teEditing Mode);

struct tPreset {
  std::string Name;
  std::string Path;
};

// The files of Directory whose extension is Extension (in any letter case), named without the dot
// and extension, sorted by name ignoring case. A directory that is missing or unreadable has none.
std::vector<tPreset> ListPresets(const std::string& Directory, const std::string& Extension);

// A preview centred in its box; one larger than the box sits at 0 and the box scrolls over it plus
// 100 pixels.
struct tPresetPlacement {
  int X = 0;
  int Y = 0;
  int HorzRange = 0;
  int VertRange = 0;
};
tPresetPlacement PlacePreset(int BoxWidth, int BoxHeight, int Width, int Height);

}  // namespace vantora
VANTORA_API_END
