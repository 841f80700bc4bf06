// Inner workings of the drawing layer: the objects behind the handles, the handle table, pixel
// surfaces and the system palette. Only the drawing layer's own sources include this header.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "VantoraExport.h"
#include "host/graphics/GdiTypes.h"
#include "host/graphics/Screen.h"

VANTORA_API_BEGIN
namespace vantora::host::detail {

// A device pixel: 0x00RRGGBB, so that in memory the bytes read blue, green, red, 0.
using Pixel = std::uint32_t;
inline constexpr Pixel kPixelMask = 0x00FFFFFFu;

constexpr Pixel PixelFromColorRef(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorRefFromPixel(Pixel p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}
constexpr Pixel PixelFromRgbQuad(const RGBQUAD& q) {
  return (static_cast<Pixel>(q.rgbRed) << 16) | (static_cast<Pixel>(q.rgbGreen) << 8) | q.rgbBlue;
}
constexpr Pixel PixelFromEntry(const PALETTEENTRY& e) {
  return (static_cast<Pixel>(e.peRed) << 16) | (static_cast<Pixel>(e.peGreen) << 8) | e.peBlue;
}

// Largest side of any surface or DIB, and largest surface, that the layer accepts.
inline constexpr int kMaxSide = 32768;
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

// Top-down rows of Width pixels.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;

  Pixel* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  const Pixel* Row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
  }
  RECT Bounds() const { return RECT{0, 0, width, height}; }
  // Resizes keeping the top-left part that still fits; new pixels are black.
  void Resize(int newWidth, int newHeight);
};

bool ValidSurfaceSize(int width, int height);

// Picks the nearest of up to 256 colours (squared distance in RGB, lowest index on ties) and
// remembers recent answers. A photo has far more distinct colours than a face, so once many have
// been searched the colour cube is cut into cells of 8 x 8 x 8, each listing (made when first
// needed) the only colours that can be nearest to a colour inside it; a search then looks at a
// handful of colours instead of all of them, and answers exactly the same.
class NearestColor {
 public:
  NearestColor();
  // Usable[i] false leaves colour i out of the search.
  void Reset(const Pixel* colors, const bool* usable, int count);
  int Find(Pixel color);
  Pixel ColorAt(int index) const { return colors_[static_cast<std::size_t>(index)]; }

 private:
  int Search(Pixel color);
  int SearchAmong(Pixel color, const std::uint8_t* candidates, int count) const;
  std::uint32_t MakeCell(std::size_t cell);
  std::array<Pixel, 256> colors_{};
  std::array<std::uint8_t, 256> candidates_{};
  int candidateCount_ = 0;
  // Key in the low 32 bits (with a valid flag), index above; empty until the first look-up.
  std::vector<std::uint64_t> cache_;
  int searches_ = 0;                  // made over every candidate, before there are cells
  std::vector<std::uint32_t> cells_;  // per cell its list's start in lists_ << 9 | length; 0: not made
  std::vector<std::uint8_t> lists_;
};

enum class ObjectKind { Bitmap, Palette, Brush, Font, Dc, Window };

class GdiObject {
 public:
  explicit GdiObject(ObjectKind kind) : kind_(kind) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  virtual ~GdiObject() = default;
  ObjectKind Kind() const { return kind_; }

 private:
  ObjectKind kind_;
};

class BitmapObject : public GdiObject {
 public:
  BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
  Surface surface;
};

class WindowObject : public GdiObject {
 public:
  WindowObject() : GdiObject(ObjectKind::Window) {}
  Surface surface;
};

class PaletteObject : public GdiObject {
 public:
  PaletteObject();
  ~PaletteObject() override;
  std::vector<PALETTEENTRY> entries;
  // Where each entry went in the system palette at its last realisation (-1: not yet).
  std::vector<int> systemIndex;
  std::uint64_t serial;  // identity in the system palette, never reused
  bool isDefault = false;
};

class BrushObject : public GdiObject {
 public:
  BrushObject(COLORREF brushColor, bool isHollow)
      : GdiObject(ObjectKind::Brush), color(brushColor), hollow(isHollow) {}
  COLORREF color;
  bool hollow;
};

class RealizedFont;

class FontObject : public GdiObject {
 public:
  explicit FontObject(const LOGFONTA& font) : GdiObject(ObjectKind::Font), record(font) {}
  LOGFONTA record;
  std::shared_ptr<RealizedFont> realized;  // made on first use
};

enum class DeviceKind { Memory, Screen, Window };

template <class T>
struct Selected {
  std::uintptr_t handle = 0;
  std::shared_ptr<T> object;
};

// What SaveDC keeps.
struct DcState {
  Selected<BitmapObject> bitmap;
  Selected<PaletteObject> palette;
  bool paletteBackground = false;
  Selected<BrushObject> brush;
  Selected<FontObject> font;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP;
  int stretchMode = 1;
  POINT origin{0, 0};
  bool clipped = false;
  RECT clip{0, 0, 0, 0};  // device coordinates
};

class DcObject : public GdiObject {
 public:
  explicit DcObject(DeviceKind kind) : GdiObject(ObjectKind::Dc), device(kind) {}
  DeviceKind device;
  std::shared_ptr<WindowObject> window;
  DcState state;
  std::vector<DcState> saved;

  Surface* Target();
  // The drawable area in device coordinates: the surface bounds within the clip rectangle.
  RECT ClipRect();
  bool IsPaletteDevice() const;
};

// Maps handles to objects. A handle is a number that is never reused, so a stale handle finds
// nothing instead of a newer object.
class HandleTable {
 public:
  std::uintptr_t Add(std::shared_ptr<GdiObject> object);
  void AddStock(std::uintptr_t handle, std::shared_ptr<GdiObject> object);
  std::shared_ptr<GdiObject> Find(const void* handle) const;
  template <class T>
  std::shared_ptr<T> Get(const void* handle, ObjectKind kind) const {
    const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == objects_.end() || it->second->Kind() != kind) return nullptr;
    return std::static_pointer_cast<T>(it->second);
  }
  bool IsStock(const void* handle) const;
  bool Remove(const void* handle);
  int LiveCount() const { return static_cast<int>(objects_.size()) - stockCount_; }

 private:
  std::unordered_map<std::uintptr_t, std::shared_ptr<GdiObject>> objects_;
  std::uintptr_t next_ = 0x10000;
  int stockCount_ = 0;
};

// The system palette of the emulated 256-colour display.
class SystemPalette {
 public:
  SystemPalette() { Reset(); }
  void Reset();
  const PALETTEENTRY& Entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  // Realises a logical palette; answers how many system entries changed colour.
  UINT Realize(PaletteObject& palette, bool background);
  // How many realisations there have been since the program started.
  std::uint64_t Realizations() const { return realizations_; }
  // Frees the entries a palette holds (when the palette is deleted).
  void Release(std::uint64_t owner);
  // The nearest colour in use.
  Pixel Nearest(Pixel color);
  int NearestIndex(Pixel color);
  // Shows a drawn area as the display would: every pixel becomes the nearest colour in use.
  void MapRect(Surface& surface, const RECT& rect);

 private:
  void Invalidate() { mapperValid_ = false; }
  // The steps of Realize.
  void GiveUpEntries(const PaletteObject& palette, bool background);
  void PlaceShownColors(PaletteObject& palette, std::vector<bool>& placed);
  UINT PlaceOtherColors(PaletteObject& palette, const std::vector<bool>& placed);
  bool SameColor(int index, Pixel color) const;
  // A free entry: not static and not in use.
  bool FreeSlot(int index) const;
  // The first entry in use that shows the colour, or -1.
  int ExactMatch(Pixel color) const;
  // Gives the palette's entry the system entry Slot, showing its colour.
  void Take(PaletteObject& palette, std::size_t entryIndex, int slot);

  std::array<PALETTEENTRY, 256> entries_{};
  std::array<std::uint64_t, 256> owner_{};  // 0: free or static
  std::array<bool, 256> inUse_{};
  std::uint64_t foreground_ = 0;
  std::uint64_t realizations_ = 0;
  NearestColor mapper_;
  bool mapperValid_ = false;
};

struct GdiState {
  SystemPalette systemPalette;  // declared first: the objects below release entries when destroyed
  DisplayMode mode = DisplayMode::TrueColor;
  Surface screen;
  HandleTable handles;
  GdiState();
};

GdiState& State();

template <class T>
std::uintptr_t HandleValue(T* handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}
template <class H>
H HandleFrom(std::uintptr_t value) {
  return reinterpret_cast<H>(value);
}

std::shared_ptr<DcObject> GetDcObject(HDC dc);

// The stock index of the 1 x 1 bitmap a new memory context holds.
inline constexpr int kDefaultBitmapIndex = 40;

// Stock handles are fixed small numbers so that they are the same in every run.
constexpr std::uintptr_t StockHandle(int index) {
  return 0x100u + static_cast<std::uintptr_t>(index) * 4u;
}

// Shows a drawn area as the display would: on a palette display every pixel becomes the nearest
// colour in use; memory surfaces and true-colour displays keep every colour.
void Present(DcObject& dc, Surface& surface, const RECT& written);

// Resolves a colour value for a context: PALETTEINDEX through its palette, the flags byte dropped.
Pixel ResolveColor(DcObject& dc, COLORREF color);

// Rectangle arithmetic on half-open rectangles.
bool Intersect(RECT& result, const RECT& a, const RECT& b);
inline bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace vantora::host::detail
VANTORA_API_END
