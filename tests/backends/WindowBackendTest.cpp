// Which backend a program that shows windows gets, and what it is told when it can have none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "host/backends/Backend.h"
#include "support/Raises.h"
#include "support/ScopedEnv.h"

namespace vantora::host {
namespace {

using test::ScopedEnv;

const std::string kWays =
    ". Use --screenshot OUT.png to run without a display, or VANTORA_BACKEND=headless to run "
    "without windows.";

TEST(WindowBackend, WithoutAWindowSystemSaysWhyAndHowToRunWithoutOne) {
  ScopedEnv noX11("DISPLAY", nullptr), noWayland("WAYLAND_DISPLAY", nullptr),
      noDriver("SDL_VIDEODRIVER", nullptr), unchosen("VANTORA_BACKEND", nullptr);
#ifdef VANTORA_HAVE_SDL
  const std::string why = "there is no display (DISPLAY and WAYLAND_DISPLAY are not set)";
#else
  const std::string why =
      "this build has no window backend (SDL2's development files were missing when it was configured)";
#endif
  EXPECT_TRUE(test::Raises<ENoWindowSystem>([] { CreateWindowBackend("--screenshot OUT.png"); },
                                            "No window can be shown: " + why + kWays));
  {
    // Asked for by name, SDL still needs a display (its fallback driver shows nothing), or is not there.
    const ScopedEnv sdl("VANTORA_BACKEND", "sdl");
    EXPECT_TRUE(test::Raises<ENoWindowSystem>([] { CreateWindowBackend("--screenshot OUT.png"); },
                                              "No window can be shown: " + why + kWays));
  }

  // The headless backend only when asked for; a misspelt name is no choice of it.
  const ScopedEnv headless("VANTORA_BACKEND", "headless");
  EXPECT_STREQ(CreateWindowBackend("--screenshot OUT.png")->Name(), "headless");
  const ScopedEnv misspelt("VANTORA_BACKEND", "headles");
  EXPECT_TRUE(test::Raises<ENoWindowSystem>([] { CreateWindowBackend("--screenshot OUT.png"); },
                                            "VANTORA_BACKEND is \"headles\": use sdl or headless."));
}

#ifdef VANTORA_HAVE_SDL
TEST(WindowBackend, WithADisplayIsSdl) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no X display: these tests run under scripts/with-xvfb (Xvfb)";
  ScopedEnv unchosen("VANTORA_BACKEND", nullptr), x11("SDL_VIDEODRIVER", "x11"),
      quiet("SDL_AUDIODRIVER", "dummy");
  EXPECT_STREQ(CreateWindowBackend("--screenshot OUT.png")->Name(), "sdl");
}
#endif

}  // namespace
}  // namespace vantora::host
