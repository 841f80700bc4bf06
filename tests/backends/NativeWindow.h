// What the X server holds for a window of the SDL backend, and requests a window manager would send;
// for the tests that run the SDL backend on a virtual X server.
#pragma once

#include <cstdint>
#include <vector>

namespace vantora::test_support {

// A window's pixels as the display shows them: top-down rows, 0x00RRGGBB like window surfaces.
struct NativePixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads the whole window back from the X server; empty when the window is unknown or not on X11.
NativePixels ReadNativeWindowPixels(std::uint32_t sdlWindowId);

// The X window that shows the SDL window; 0 when the window is unknown or not on X11.
unsigned long X11WindowOf(std::uint32_t sdlWindowId);

// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void SendCloseRequest(std::uint32_t sdlWindowId);

// Sends the window the X events of a key press and release (KeySym as X names it, e.g. 'a'), with
// Shift held when asked.
void SendKeyStroke(std::uint32_t sdlWindowId, unsigned long keysym, bool shift);

}  // namespace vantora::test_support
