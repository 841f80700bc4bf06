// What the SDL backend needs to know of the X11 connection under SDL, kept apart because Xlib's macros
// (None, TrueColor, FocusIn) clash with the names of the window layer.
#pragma once

#include "VantoraExport.h"

struct SDL_Window;

VANTORA_API_BEGIN
namespace vantora::host {

// The socket of the X connection Window's events come through; -1 where SDL does not run on X11.
int X11EventSocket(SDL_Window* window);

}  // namespace vantora::host
VANTORA_API_END
