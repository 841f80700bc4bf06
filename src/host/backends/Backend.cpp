#include "host/backends/Backend.h"

#include <cstdlib>
#include <string>

#include "host/backends/HeadlessBackend.h"
#ifdef VANTORA_HAVE_SDL
#include "host/backends/SdlBackend.h"
#endif

namespace vantora::host {

namespace {

#ifdef VANTORA_HAVE_SDL
bool EnvironmentHas(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}
#endif

ENoWindowSystem NoWindow(std::string_view why, std::string_view headlessOption) {
  return ENoWindowSystem("No window can be shown: " + std::string(why) + ". Use " +
                         std::string(headlessOption) +
                         " to run without a display, or VANTORA_BACKEND=headless to run without windows.");
}

}  // namespace

std::unique_ptr<TBackend> CreateWindowBackend(std::string_view HeadlessOption) {
  const char* chosen = std::getenv("VANTORA_BACKEND");
  const std::string_view name = chosen ? chosen : "";
  if (name == "headless") return std::make_unique<THeadlessBackend>();
  if (!name.empty() && name != "sdl")
    throw ENoWindowSystem("VANTORA_BACKEND is \"" + std::string(name) + "\": use sdl or headless.");
#ifdef VANTORA_HAVE_SDL
  // Without a display SDL falls back on a driver that shows nothing, and the program would wait for
  // a person who cannot see it; a driver named in SDL_VIDEODRIVER (a console's, say) is a choice.
  if (EnvironmentHas("DISPLAY") || EnvironmentHas("WAYLAND_DISPLAY") || EnvironmentHas("SDL_VIDEODRIVER"))
    return CreateSdlBackend();
  throw NoWindow("there is no display (DISPLAY and WAYLAND_DISPLAY are not set)", HeadlessOption);
#else
  throw NoWindow(
      "this build has no window backend (SDL2's development files were missing when it was configured)",
      HeadlessOption);
#endif
}

}  // namespace vantora::host
