// A control's faces with real alpha, for sprite sheets and other renderers: every state a button
// shows (up, down, disabled, hover) and the one face of a label or panel, each as the control draws
// itself at its size, its transparent areas clear whatever its draw mode.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "VantoraExport.h"
#include "controls/Fulfile.h"
#include "core/RgbaImage.h"

VANTORA_API_BEGIN
namespace vantora {

inline constexpr std::array<std::string_view, 4> kButtonStateNames = {"up", "down", "disabled", "hover"};
// The state name of the face of a control without states.
inline constexpr std::string_view kPlainFaceName = "face";

struct TStateFace {
  std::string State;
  TRgbaImage Image;
};

// The names of the states Control shows, in the order RenderStateFaces gives them.
std::vector<std::string> StateNames(const tFulgoControl& Control);
// Renders the control first if it has not been; the control keeps the state it was in.
std::vector<TStateFace> RenderStateFaces(tFulgoControl& Control);
// One of them; a name the control has no state of raises EFulgoError listing those it has.
TRgbaImage RenderStateFace(tFulgoControl& Control, std::string_view State);

}  // namespace vantora
VANTORA_API_END
