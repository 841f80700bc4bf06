#include "design/WizardGallery.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include <cctype>

namespace fs = std::filesystem;

namespace vantora {

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Centred on one axis; the scroll range covers a preview that does not fit.
void PlaceOnAxis(int box, int size, int& offset, int& range) {
  offset = static_cast<int>(std::nearbyint((box - size) * 0.5));
  if (offset < 0) {
    range = box - offset + 100;
    offset = 0;
  } else {
    range = 0;
  }
}

}  // namespace

const char* PresetExtension(teEditing Mode) {
  switch (Mode) {
    case edButton:
      return "btn";
    case edPanel:
      return "pnl";
    case edLabel:
      break;
  }
  return "lbl";
}

std::vector<tPreset> ListPresets(const std::string& Directory, const std::string& Extension) {
  std::vector<tPreset> presets;
  std::error_code ec;
  fs::directory_iterator it(Directory, ec), end;
  const std::string suffix = "." + Extension;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string file = it->path().filename().string();
    if (file.size() <= suffix.size() || !SameText(file.substr(file.size() - suffix.size()), suffix)) continue;
    if (!it->is_regular_file(ec)) continue;
    presets.push_back({file.substr(0, file.size() - suffix.size()), it->path().string()});
  }
  std::sort(presets.begin(), presets.end(),
            [](const tPreset& a, const tPreset& b) { return Lower(a.Name) < Lower(b.Name); });
  return presets;
}

tPresetPlacement PlacePreset(int BoxWidth, int BoxHeight, int Width, int Height) {
  tPresetPlacement placement;
  PlaceOnAxis(BoxWidth, Width, placement.X, placement.HorzRange);
  PlaceOnAxis(BoxHeight, Height, placement.Y, placement.VertRange);
  return placement;
}

}  // namespace vantora
