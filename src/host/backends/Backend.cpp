#include "host/backends/Backend.h"

#include <cstdlib>
#include <string_view>

#include "host/backends/HeadlessBackend.h"
#ifdef VANTORA_HAVE_SDL
#include "host/backends/SdlBackend.h"
#endif

namespace vantora::host {

namespace {

bool DisplayPresent() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

std::unique_ptr<TBackend> CreateBackendFromEnvironment() {
  const char* chosen = std::getenv("VANTORA_BACKEND");
  const std::string_view name = chosen ? chosen : "";
  const bool wantSdl = name == "sdl" || (name.empty() && DisplayPresent());
#ifdef VANTORA_HAVE_SDL
  if (wantSdl) return CreateSdlBackend();
#else
  (void)wantSdl;
#endif
  return std::make_unique<THeadlessBackend>();
}

}  // namespace vantora::host
