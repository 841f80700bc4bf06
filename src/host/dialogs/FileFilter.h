// The classic filter strings of the file dialogs: "Labels|*.lbl|Bitmap (*.bmp)|*.bmp", pairs of a
// description and its patterns, several patterns separated by ';'. Names match without regard to
// letter case.
#pragma once

#include <string>
#include <vector>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

struct TFileFilter {
  std::string description;
  std::vector<std::string> patterns;
};

// A description without patterns takes "*"; an empty string gives no filters.
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);
// '*' stands for any run of characters, '?' for one.
bool MatchesPattern(const std::string& name, const std::string& pattern);
bool MatchesFilter(const std::string& name, const TFileFilter& filter);

}  // namespace vantora::host
VANTORA_API_END
