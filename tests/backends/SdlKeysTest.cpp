#include <gtest/gtest.h>

#include "host/backends/SdlKeys.h"
#include "host/backends/VirtualKeys.h"

namespace vantora::host {
namespace {

TEST(SdlKeys, KeysOfTheLayoutBecomeTheirVirtualKeys) {
  const struct {
    SDL_Keycode key;
    SDL_Scancode scancode;
    std::uint16_t virtualKey;
  } cases[] = {
      {SDLK_a, SDL_SCANCODE_Q, 'A'},  // a French keyboard: the layout's letter wins over the position
      {SDLK_z, SDL_SCANCODE_Z, 'Z'},
      {SDLK_0, SDL_SCANCODE_0, '0'},
      {SDLK_9, SDL_SCANCODE_9, '9'},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK},
      {SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, VK_SHIFT},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, VK_CONTROL},
      {SDLK_LALT, SDL_SCANCODE_LALT, VK_MENU},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, VK_PRIOR},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, VK_NEXT},
      {SDLK_END, SDL_SCANCODE_END, VK_END},
      {SDLK_HOME, SDL_SCANCODE_HOME, VK_HOME},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
      {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, VK_INSERT},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, VK_DELETE},
      {SDLK_F1, SDL_SCANCODE_F1, VK_F1},
      {SDLK_F12, SDL_SCANCODE_F12, VK_F1 + 11},
      {SDLK_F13, SDL_SCANCODE_F13, VK_F1 + 12},
      {SDLK_F24, SDL_SCANCODE_F24, VK_F1 + 23},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, VK_NUMPAD0},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, VK_OEM_MINUS},
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
      // No Latin letter or digit in the layout: the key's position names it.
      {0x0444 /* Cyrillic ef */, SDL_SCANCODE_A, 'A'},
      {SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},
      {0x00E0 /* a grave */, SDL_SCANCODE_0, '0'},
      // Keys without a virtual key.
      {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 0},
      {0x00F9 /* u grave */, SDL_SCANCODE_APOSTROPHE, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.key, c.scancode), c.virtualKey) << "SDL key 0x" << std::hex << c.key;
  }
}

}  // namespace
}  // namespace vantora::host
