// The window system on SDL2: one SDL window per shown window surface, real input, time, cursors, the
// system clipboard and the bell. VANTORA_ZOOM=N (1..8) shows every surface pixel as an N x N block, so
// that 8-bit faces stay readable on a dense display; the forms layer keeps working in surface pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "VantoraExport.h"
#include "host/backends/Backend.h"

VANTORA_API_BEGIN
namespace vantora::host {

// Starts SDL's video; throws Exception when it cannot (no display) or VANTORA_ZOOM is not 1..8.
std::unique_ptr<TBackend> CreateSdlBackend();

// The id of the SDL window that shows Surface; 0 when Backend is not the SDL backend or the surface is
// not shown. Tests aim SDL events at it and read its pixels back.
std::uint32_t SdlWindowId(const TBackend& backend, HWND surface);

}  // namespace vantora::host
VANTORA_API_END
