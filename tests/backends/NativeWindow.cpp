#include "backends/NativeWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

namespace vantora::test_support {
namespace {

bool X11Window(std::uint32_t sdlWindowId, Display*& display, Window& window) {
  SDL_Window* sdlWindow = SDL_GetWindowFromID(sdlWindowId);
  if (!sdlWindow) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  display = info.info.x11.display;
  window = info.info.x11.window;
  return true;
}

}  // namespace

unsigned long X11WindowOf(std::uint32_t sdlWindowId) {
  Display* display = nullptr;
  Window window = 0;
  return X11Window(sdlWindowId, display, window) ? window : 0;
}

NativePixels ReadNativeWindowPixels(std::uint32_t sdlWindowId) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11Window(sdlWindowId, display, window)) return {};
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return {};
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return {};
  NativePixels result;
  // The virtual server runs at 24 bits, red in the high byte: other layouts are not read.
  if (image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 && image->blue_mask == 0xFF) {
    result.width = attributes.width;
    result.height = attributes.height;
    result.pixels.reserve(static_cast<std::size_t>(result.width) * result.height);
    for (int y = 0; y < result.height; ++y) {
      for (int x = 0; x < result.width; ++x) {
        result.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
      }
    }
  }
  XDestroyImage(image);
  return result;
}

void SendCloseRequest(std::uint32_t sdlWindowId) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11Window(sdlWindowId, display, window)) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

void SendKeyStroke(std::uint32_t sdlWindowId, unsigned long keysym, bool shift) {
  Display* display = nullptr;
  Window window = 0;
  if (!X11Window(sdlWindowId, display, window)) return;
  XEvent event{};
  event.xkey.display = display;
  event.xkey.window = window;
  event.xkey.root = DefaultRootWindow(display);
  event.xkey.same_screen = True;
  event.xkey.keycode = XKeysymToKeycode(display, keysym);
  event.xkey.state = shift ? ShiftMask : 0;
  event.xkey.time = CurrentTime;
  for (int type : {KeyPress, KeyRelease}) {
    event.xkey.type = type;
    XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
  }
  XFlush(display);
}

}  // namespace vantora::test_support
