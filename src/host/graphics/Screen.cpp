#include "host/graphics/Screen.h"

#include "host/graphics/GdiObjects.h"

namespace vantora::host {

using namespace detail;

void SetDisplayMode(DisplayMode mode) {
  State().mode = mode;
  State().systemPalette.Reset();
}

DisplayMode GetDisplayMode() {
  return State().mode;
}

void SetScreenSize(int width, int height) {
  if (!ValidSurfaceSize(width, height)) return;
  Surface& screen = State().screen;
  screen.width = 0;
  screen.height = 0;
  screen.pixels.clear();
  screen.Resize(width, height);
}

SIZE GetScreenSize() {
  return SIZE{State().screen.width, State().screen.height};
}

std::uint64_t PaletteRealizationCount() {
  return State().systemPalette.Realizations();
}

HWND CreateWindowSurface(int width, int height) {
  if (!ValidSurfaceSize(width, height)) return nullptr;
  auto window = std::make_shared<WindowObject>();
  window->surface.Resize(width, height);
  return HandleFrom<HWND>(State().handles.Add(std::move(window)));
}

BOOL DestroyWindowSurface(HWND window) {
  if (!State().handles.Get<WindowObject>(window, ObjectKind::Window)) return FALSE;
  return State().handles.Remove(window) ? TRUE : FALSE;
}

BOOL ResizeWindowSurface(HWND window, int width, int height) {
  auto object = State().handles.Get<WindowObject>(window, ObjectKind::Window);
  if (!object || !ValidSurfaceSize(width, height)) return FALSE;
  object->surface.Resize(width, height);
  return TRUE;
}

BOOL IsWindowSurface(HWND window) {
  return State().handles.Get<WindowObject>(window, ObjectKind::Window) ? TRUE : FALSE;
}

SurfacePixels GetSurfacePixels(HWND window) {
  const Surface* surface = &State().screen;
  if (window) {
    auto object = State().handles.Get<WindowObject>(window, ObjectKind::Window);
    if (!object) return {};
    surface = &object->surface;
  }
  return SurfacePixels{surface->width, surface->height, surface->pixels.data()};
}

}  // namespace vantora::host
