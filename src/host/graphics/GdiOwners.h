// Owners for the drawing layer's objects, so that whatever is made or selected is given back on
// every path, an exception included:
//
//   Owned<HBITMAP> mask(CreateCompatibleBitmap(dc, w, h));   // DeleteObject at scope exit
//   Owned<HDC> memory(CreateCompatibleDC(dc));               // DeleteDC at scope exit
//   SelectGuard selected(memory, mask);                      // the old bitmap goes back first
//   BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCAND);
//
//   WindowDC screen(nullptr);                                // GetDC ... ReleaseDC
//   SavedDC saved(dc);                                       // SaveDC ... RestoreDC
//   SelectGuard palette(dc, hpal, TRUE);                     // SelectPalette, and back
//
// Guards are declared after the objects they select, so that C++'s reverse order of destruction
// deselects an object before it is deleted. An owner converts to its handle, so it goes straight
// into the drawing calls; never delete through that handle.
#pragma once

#include <utility>

#include "VantoraExport.h"
#include "host/graphics/Gdi.h"

VANTORA_API_BEGIN
namespace vantora::host {

// How each kind of object is given back: a context made by CreateCompatibleDC with DeleteDC,
// bitmaps, palettes, brushes and fonts with DeleteObject.
template <class H>
struct HandleDeleter {
  void operator()(H handle) const { DeleteObject(handle); }
};
template <>
struct HandleDeleter<HDC> {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

// Owns one object made by a Create... call, or none (null). Move-only.
template <class H>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H handle) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  H get() const { return handle_; }
  operator H() const { return handle_; }
  // Hands the object over to its next owner; this one becomes null.
  [[nodiscard]] H release() { return std::exchange(handle_, nullptr); }
  // Deletes the object held (if any) and takes Handle.
  void reset(H handle = nullptr) {
    if (const H old = std::exchange(handle_, handle)) HandleDeleter<H>{}(old);
  }

 private:
  H handle_ = nullptr;
};

// Selects an object into a context for one scope and selects back the one it replaced. A null
// object selects nothing; so does one the context refuses (a stale handle), and then nothing is
// put back either.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HBITMAP bitmap) : SelectGuard(dc, static_cast<HGDIOBJ>(bitmap)) {}
  SelectGuard(HDC dc, HBRUSH brush) : SelectGuard(dc, static_cast<HGDIOBJ>(brush)) {}
  SelectGuard(HDC dc, HFONT font) : SelectGuard(dc, static_cast<HGDIOBJ>(font)) {}
  // Palettes go through SelectPalette. The palette put back is always selected in the background,
  // so that restoring it never takes the foreground from another window.
  SelectGuard(HDC dc, HPALETTE palette, BOOL forceBackground);
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard();

  bool Selected() const { return previous_ != nullptr; }

 private:
  SelectGuard(HDC dc, HGDIOBJ object);
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
  bool palette_ = false;
};

// Saves a context's state (selected objects, colours, modes, origin, clip rectangle) for one scope
// and restores exactly that state at its end, whatever was saved or selected in between.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), level_(SaveDC(dc)) {}
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  ~SavedDC() {
    if (level_ > 0) RestoreDC(dc_, level_);
  }

  bool Saved() const { return level_ > 0; }

 private:
  HDC dc_;
  int level_;
};

// The context of a window surface, or of the screen for a null window, from GetDC; released with
// ReleaseDC at scope exit. Null when the window is not a surface.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }

  HDC get() const { return dc_; }
  operator HDC() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace vantora::host
VANTORA_API_END
