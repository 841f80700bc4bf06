// Translation of SDL's key codes to the virtual-key codes of VirtualKeys.h.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

// The virtual key of a key event; 0 when the key has none. The key code follows the keyboard layout,
// as virtual keys do; a letter or digit key whose layout gives no Latin letter or digit (Cyrillic
// letters, the digit row of a French keyboard) is named by its position instead.
std::uint16_t VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);

}  // namespace vantora::host
VANTORA_API_END
