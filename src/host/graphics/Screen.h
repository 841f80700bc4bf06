// The screen device and the window surfaces the drawing layer draws on. The display is true colour
// by default; an emulated 256-colour display keeps a system palette of 20 static colours (indices
// 0..9 and 246..255) and 236 free entries that logical palettes fill when they are realised, and
// every colour drawn on the screen or a window then shows as the nearest colour in use there.
#pragma once

#include <cstdint>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum class DisplayMode { TrueColor, Palette256 };

// Switching the mode (also to the same mode) returns the system palette to its 20 static colours.
void SetDisplayMode(DisplayMode mode);
DisplayMode GetDisplayMode();

// The screen is 1024 x 768 pixels until told otherwise; resizing clears it to black.
void SetScreenSize(int width, int height);
SIZE GetScreenSize();

// The 20 static colours at their system-palette indices: 0..9 are the first ten entries, 246..255
// the last ten.
const PALETTEENTRY (&StaticColors())[20];
// How many times a logical palette has been realised into the system palette since start-up.
std::uint64_t PaletteRealizationCount();
int StaticColorIndex(int i);  // system-palette index of static colour i (0..19)

// Window surfaces: the drawing targets the window layer builds its windows on. A surface starts
// black; ResizeWindowSurface keeps the part that still fits.
HWND CreateWindowSurface(int width, int height);
BOOL DestroyWindowSurface(HWND window);
BOOL ResizeWindowSurface(HWND window, int width, int height);
BOOL IsWindowSurface(HWND window);

// Read access to the pixels of a window surface, or of the screen when Window is null: top-down
// rows of Width pixels, each 0x00RRGGBB (bytes blue, green, red, 0). Empty when the handle is bad.
// The pointer stays valid until the surface is resized or destroyed.
struct SurfacePixels {
  int width = 0;
  int height = 0;
  const std::uint32_t* pixels = nullptr;
};
SurfacePixels GetSurfacePixels(HWND window);

}  // namespace vantora::host
VANTORA_API_END
