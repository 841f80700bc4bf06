#include "host/graphics/GdiObjects.h"

#include <algorithm>
#include <cstring>

namespace vantora::host {

namespace {

constexpr PALETTEENTRY kStaticColors[20] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
};

constexpr int kFirstFree = 10;
constexpr int kLastFree = 245;

}  // namespace

const PALETTEENTRY (&StaticColors())[20] {
  return kStaticColors;
}

int StaticColorIndex(int i) {
  return i < 10 ? i : 236 + i;
}

namespace detail {

bool ValidSurfaceSize(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<std::int64_t>(width) * height <= kMaxPixels;
}

void Surface::Resize(int newWidth, int newHeight) {
  std::vector<Pixel> fresh(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight), 0);
  const int keepWidth = std::min(width, newWidth);
  const int keepHeight = std::min(height, newHeight);
  for (int y = 0; y < keepHeight; ++y)
    std::memcpy(fresh.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(newWidth), Row(y),
                static_cast<std::size_t>(keepWidth) * sizeof(Pixel));
  pixels.swap(fresh);
  width = newWidth;
  height = newHeight;
}

// ---- NearestColor

namespace {
constexpr std::size_t kCacheSlots = 4096;
constexpr std::uint64_t kCacheValid = std::uint64_t{1} << 32;
std::size_t CacheSlot(Pixel color) {
  return (color * 2654435761u) >> 20;
}

// A face has at most 256 colours: searching each over all candidates costs less than the cells.
constexpr int kSearchesBeforeCells = 256;
constexpr int kCellBits = 3;              // cells of 8 x 8 x 8 colours,
constexpr int kSideBits = 8 - kCellBits;  // 32 along each channel
constexpr Pixel kSideMask = (1u << kSideBits) - 1;
constexpr std::size_t kCells = std::size_t{1} << (3 * kSideBits);
// A list holds 1..256 colours; 32768 lists of 256 start below 2^23, so both fit in 32 bits.
constexpr int kLengthBits = 9;

std::size_t CellOf(Pixel color) {
  return std::size_t{(color >> (16 + kCellBits)) & kSideMask} << (2 * kSideBits) |
         std::size_t{(color >> (8 + kCellBits)) & kSideMask} << kSideBits |
         ((color >> kCellBits) & kSideMask);
}

int SquaredDistance(Pixel a, Pixel b) {
  const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
  const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
  const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}
}  // namespace

NearestColor::NearestColor() = default;

void NearestColor::Reset(const Pixel* colors, const bool* usable, int count) {
  count = std::clamp(count, 0, 256);
  candidateCount_ = 0;
  for (int i = 0; i < count; ++i) {
    colors_[static_cast<std::size_t>(i)] = colors[i] & kPixelMask;
    if (!usable || usable[i])
      candidates_[static_cast<std::size_t>(candidateCount_++)] = static_cast<std::uint8_t>(i);
  }
  cache_.clear();
  searches_ = 0;
  std::fill(cells_.begin(), cells_.end(), 0);
  lists_.clear();
}

// The candidate at the smallest distance, the lowest index among equals. Distance and index make
// one key, so the nearest is a plain minimum, with no branch to mispredict.
int NearestColor::SearchAmong(Pixel color, const std::uint8_t* candidates, int count) const {
  if (count == 0) return 0;
  std::uint32_t best = ~0u;
  for (int k = 0; k < count; ++k) {
    const std::uint8_t i = candidates[k];
    const auto key = static_cast<std::uint32_t>(SquaredDistance(colors_[i], color)) << 8 | i;
    best = std::min(best, key);
  }
  return static_cast<int>(best & 0xFF);
}

// A candidate can be nearest to some colour of the cell only if its nearest point of the cell is
// no farther than the farthest point of the cell is from some other candidate; all others are
// left out, so the list's search finds every colour at the smallest distance, in index order.
std::uint32_t NearestColor::MakeCell(std::size_t cell) {
  const int low[3] = {static_cast<int>(cell >> (2 * kSideBits)) << kCellBits,
                      static_cast<int>((cell >> kSideBits) & kSideMask) << kCellBits,
                      static_cast<int>(cell & kSideMask) << kCellBits};
  constexpr int kSpan = (1 << kCellBits) - 1;
  std::array<int, 256> nearest;
  int bound = 1 << 30;
  for (int k = 0; k < candidateCount_; ++k) {
    const Pixel c = colors_[candidates_[static_cast<std::size_t>(k)]];
    int nearSum = 0, farSum = 0;
    for (int channel = 0; channel < 3; ++channel) {
      const int v = static_cast<int>((c >> (16 - 8 * channel)) & 0xFF);
      const int lo = low[channel], hi = lo + kSpan;
      const int inside = v < lo ? lo - v : (v > hi ? v - hi : 0);
      const int far = std::max(v - lo, hi - v);
      nearSum += inside * inside;
      farSum += far * far;
    }
    nearest[static_cast<std::size_t>(k)] = nearSum;
    bound = std::min(bound, farSum);
  }
  const auto start = static_cast<std::uint32_t>(lists_.size());
  for (int k = 0; k < candidateCount_; ++k)
    if (nearest[static_cast<std::size_t>(k)] <= bound)
      lists_.push_back(candidates_[static_cast<std::size_t>(k)]);
  const auto length = static_cast<std::uint32_t>(lists_.size()) - start;
  return cells_[cell] = start << kLengthBits | length;
}

int NearestColor::Search(Pixel color) {
  if (candidateCount_ == 0) return 0;
  if (searches_ < kSearchesBeforeCells) {
    ++searches_;
    return SearchAmong(color, candidates_.data(), candidateCount_);
  }
  if (cells_.empty()) cells_.assign(kCells, 0);
  const std::size_t cell = CellOf(color);
  std::uint32_t list = cells_[cell];
  if (list == 0) list = MakeCell(cell);
  constexpr std::uint32_t kLengthMask = (1u << kLengthBits) - 1;
  return SearchAmong(color, lists_.data() + (list >> kLengthBits), static_cast<int>(list & kLengthMask));
}

int NearestColor::Find(Pixel color) {
  color &= kPixelMask;
  // Made on first use: a picture of a few colours in runs needs only a few look-ups.
  if (cache_.empty()) cache_.assign(kCacheSlots, 0);
  std::uint64_t& slot = cache_[CacheSlot(color)];
  if ((slot & (kCacheValid | 0xFFFFFFFFu)) == (kCacheValid | color)) return static_cast<int>(slot >> 40);
  const int index = Search(color);
  slot = kCacheValid | color | (static_cast<std::uint64_t>(index) << 40);
  return index;
}

// ---- Objects

namespace {
std::uint64_t NextPaletteSerial() {
  static std::uint64_t serial = 0;
  return ++serial;
}
}  // namespace

PaletteObject::PaletteObject() : GdiObject(ObjectKind::Palette), serial(NextPaletteSerial()) {}

PaletteObject::~PaletteObject() {
  State().systemPalette.Release(serial);
}

Surface* DcObject::Target() {
  switch (device) {
    case DeviceKind::Memory:
      return state.bitmap.object ? &state.bitmap.object->surface : nullptr;
    case DeviceKind::Screen:
      return &State().screen;
    case DeviceKind::Window:
      return window ? &window->surface : nullptr;
  }
  return nullptr;
}

RECT DcObject::ClipRect() {
  const Surface* surface = Target();
  RECT bounds = surface ? surface->Bounds() : RECT{0, 0, 0, 0};
  if (state.clipped) Intersect(bounds, bounds, state.clip);
  return bounds;
}

bool DcObject::IsPaletteDevice() const {
  return device != DeviceKind::Memory && State().mode == DisplayMode::Palette256;
}

// ---- HandleTable

std::uintptr_t HandleTable::Add(std::shared_ptr<GdiObject> object) {
  const std::uintptr_t handle = next_;
  next_ += 0x10;
  objects_.emplace(handle, std::move(object));
  return handle;
}

void HandleTable::AddStock(std::uintptr_t handle, std::shared_ptr<GdiObject> object) {
  objects_.emplace(handle, std::move(object));
  ++stockCount_;
}

std::shared_ptr<GdiObject> HandleTable::Find(const void* handle) const {
  const auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects_.end() ? nullptr : it->second;
}

bool HandleTable::IsStock(const void* handle) const {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  return value < 0x10000 && objects_.count(value) != 0;
}

bool HandleTable::Remove(const void* handle) {
  if (IsStock(handle)) return false;
  return objects_.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

// ---- SystemPalette

void SystemPalette::Reset() {
  entries_.fill(PALETTEENTRY{0, 0, 0, 0});
  owner_.fill(0);
  inUse_.fill(false);
  for (int i = 0; i < 20; ++i) {
    const int index = StaticColorIndex(i);
    entries_[static_cast<std::size_t>(index)] = kStaticColors[i];
    inUse_[static_cast<std::size_t>(index)] = true;
  }
  foreground_ = 0;
  Invalidate();
}

void SystemPalette::Release(std::uint64_t owner) {
  for (int i = kFirstFree; i <= kLastFree; ++i) {
    if (owner_[static_cast<std::size_t>(i)] != owner) continue;
    owner_[static_cast<std::size_t>(i)] = 0;
    inUse_[static_cast<std::size_t>(i)] = false;
  }
  if (foreground_ == owner) foreground_ = 0;
  Invalidate();
}

namespace {

// Whether an entry may share a system entry that already shows its colour.
bool Collapses(const PALETTEENTRY& entry) {
  return !(entry.peFlags & (PC_NOCOLLAPSE | PC_RESERVED));
}

}  // namespace

bool SystemPalette::SameColor(int index, Pixel color) const {
  return PixelFromEntry(entries_[static_cast<std::size_t>(index)]) == color;
}

bool SystemPalette::FreeSlot(int index) const {
  return index >= kFirstFree && index <= kLastFree && !inUse_[static_cast<std::size_t>(index)];
}

int SystemPalette::ExactMatch(Pixel color) const {
  for (int i = 0; i < 256; ++i)
    if (inUse_[static_cast<std::size_t>(i)] && SameColor(i, color)) return i;
  return -1;
}

void SystemPalette::Take(PaletteObject& palette, std::size_t entryIndex, int slot) {
  const PALETTEENTRY& entry = palette.entries[entryIndex];
  entries_[static_cast<std::size_t>(slot)] = PALETTEENTRY{entry.peRed, entry.peGreen, entry.peBlue, 0};
  owner_[static_cast<std::size_t>(slot)] = palette.serial;
  inUse_[static_cast<std::size_t>(slot)] = true;
  palette.systemIndex[entryIndex] = slot;
}

UINT SystemPalette::Realize(PaletteObject& palette, bool background) {
  ++realizations_;
  GiveUpEntries(palette, background);
  palette.systemIndex.resize(palette.entries.size(), -1);
  std::vector<bool> placed(palette.entries.size(), false);
  PlaceShownColors(palette, placed);
  const UINT changed = PlaceOtherColors(palette, placed);
  Invalidate();
  return changed;
}

// The foreground palette may take every free entry; a background palette only what is left, after
// giving up the entries it held itself.
void SystemPalette::GiveUpEntries(const PaletteObject& palette, bool background) {
  for (int i = kFirstFree; i <= kLastFree; ++i) {
    auto& owner = owner_[static_cast<std::size_t>(i)];
    if (owner != 0 && (!background || owner == palette.serial)) {
      owner = 0;
      inUse_[static_cast<std::size_t>(i)] = false;
    }
  }
  if (!background)
    foreground_ = palette.serial;
  else if (foreground_ == palette.serial)
    foreground_ = 0;
}

// First every entry whose colour is shown already: an entry in use (unless it must have a slot of
// its own), else a free entry still showing it, preferably the one it had. Taking these first keeps
// them from being painted over by entries that need a new colour anyway.
void SystemPalette::PlaceShownColors(PaletteObject& palette, std::vector<bool>& placed) {
  for (std::size_t e = 0; e < palette.entries.size(); ++e) {
    const PALETTEENTRY& entry = palette.entries[e];
    int& mapped = palette.systemIndex[e];
    if (entry.peFlags & PC_EXPLICIT) {
      mapped = entry.peRed;  // the low byte of the explicit index
      placed[e] = true;
      continue;
    }
    const Pixel color = PixelFromEntry(entry);
    if (Collapses(entry)) {
      if (const int match = ExactMatch(color); match >= 0) {
        mapped = match;
        placed[e] = true;
        continue;
      }
    }
    int slot = FreeSlot(mapped) && SameColor(mapped, color) ? mapped : -1;
    for (int i = kFirstFree; i <= kLastFree && slot < 0; ++i)
      if (FreeSlot(i) && SameColor(i, color)) slot = i;
    if (slot >= 0) {
      Take(palette, e, slot);
      placed[e] = true;
    }
  }
}

// Then the others, each in a free entry (the one it had if it can), as long as there is one; once
// the system palette is full, the nearest colour in use (no entry changes from there on). Answers
// how many system entries changed colour.
UINT SystemPalette::PlaceOtherColors(PaletteObject& palette, const std::vector<bool>& placed) {
  UINT changed = 0;
  std::unique_ptr<NearestColor> full;
  for (std::size_t e = 0; e < palette.entries.size(); ++e) {
    if (placed[e]) continue;
    const PALETTEENTRY& entry = palette.entries[e];
    const Pixel color = PixelFromEntry(entry);
    if (Collapses(entry)) {
      if (const int match = ExactMatch(color); match >= 0) {
        palette.systemIndex[e] = match;
        continue;
      }
    }
    int slot = FreeSlot(palette.systemIndex[e]) ? palette.systemIndex[e] : -1;
    for (int i = kFirstFree; i <= kLastFree && slot < 0; ++i)
      if (FreeSlot(i)) slot = i;
    if (slot >= 0) {
      if (!SameColor(slot, color)) ++changed;
      Take(palette, e, slot);
      continue;
    }
    if (!full) {
      std::array<Pixel, 256> colors{};
      for (int i = 0; i < 256; ++i)
        colors[static_cast<std::size_t>(i)] = PixelFromEntry(entries_[static_cast<std::size_t>(i)]);
      full = std::make_unique<NearestColor>();
      full->Reset(colors.data(), inUse_.data(), 256);
    }
    palette.systemIndex[e] = full->Find(color);
  }
  return changed;
}

int SystemPalette::NearestIndex(Pixel color) {
  if (!mapperValid_) {
    std::array<Pixel, 256> colors{};
    for (int i = 0; i < 256; ++i)
      colors[static_cast<std::size_t>(i)] = PixelFromEntry(entries_[static_cast<std::size_t>(i)]);
    mapper_.Reset(colors.data(), inUse_.data(), 256);
    mapperValid_ = true;
  }
  return mapper_.Find(color);
}

Pixel SystemPalette::Nearest(Pixel color) {
  return mapper_.ColorAt(NearestIndex(color));
}

void SystemPalette::MapRect(Surface& surface, const RECT& rect) {
  RECT r;
  if (!Intersect(r, rect, surface.Bounds())) return;
  for (int y = r.top; y < r.bottom; ++y) {
    Pixel* row = surface.Row(y);
    Pixel last = row[r.left] ^ 1u;  // differs from the first pixel
    Pixel mapped = 0;
    for (int x = r.left; x < r.right; ++x) {
      if (row[x] != last) {
        last = row[x];
        mapped = Nearest(last);
      }
      row[x] = mapped;
    }
  }
}

// ---- Global state

namespace {

std::shared_ptr<PaletteObject> MakeDefaultPalette() {
  auto palette = std::make_shared<PaletteObject>();
  palette->entries.assign(std::begin(kStaticColors), std::end(kStaticColors));
  palette->isDefault = true;
  return palette;
}

LOGFONTA StockFont(LONG height, LONG weight, const char* face) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

}  // namespace

GdiState::GdiState() {
  screen.Resize(1024, 768);
  auto brush = [&](int index, COLORREF color, bool hollow) {
    handles.AddStock(StockHandle(index), std::make_shared<BrushObject>(color, hollow));
  };
  brush(WHITE_BRUSH, RGB(255, 255, 255), false);
  brush(LTGRAY_BRUSH, RGB(192, 192, 192), false);
  brush(GRAY_BRUSH, RGB(128, 128, 128), false);
  brush(DKGRAY_BRUSH, RGB(64, 64, 64), false);
  brush(BLACK_BRUSH, RGB(0, 0, 0), false);
  brush(NULL_BRUSH, RGB(0, 0, 0), true);
  auto font = [&](int index, const LOGFONTA& record) {
    handles.AddStock(StockHandle(index), std::make_shared<FontObject>(record));
  };
  font(OEM_FIXED_FONT, StockFont(12, FW_NORMAL, "Courier New"));
  font(ANSI_FIXED_FONT, StockFont(13, FW_NORMAL, "Courier New"));
  font(ANSI_VAR_FONT, StockFont(13, FW_NORMAL, "MS Sans Serif"));
  font(SYSTEM_FONT, StockFont(16, FW_BOLD, "System"));
  font(DEVICE_DEFAULT_FONT, StockFont(16, FW_BOLD, "System"));
  font(SYSTEM_FIXED_FONT, StockFont(15, FW_NORMAL, "Courier New"));
  font(DEFAULT_GUI_FONT, StockFont(-11, FW_NORMAL, "MS Shell Dlg"));
  handles.AddStock(StockHandle(DEFAULT_PALETTE), MakeDefaultPalette());
  // The 1 x 1 bitmap every new memory context starts with.
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->surface.Resize(1, 1);
  handles.AddStock(StockHandle(kDefaultBitmapIndex), bitmap);
}

GdiState& State() {
  static GdiState state;
  return state;
}

std::shared_ptr<DcObject> GetDcObject(HDC dc) {
  return State().handles.Get<DcObject>(dc, ObjectKind::Dc);
}

void Present(DcObject& dc, Surface& surface, const RECT& written) {
  if (dc.IsPaletteDevice() && !IsEmpty(written)) State().systemPalette.MapRect(surface, written);
}

Pixel ResolveColor(DcObject& dc, COLORREF color) {
  if ((color >> 24) == 0x01) {
    const auto& palette = dc.state.palette.object;
    const std::size_t index = color & 0xFFFF;
    if (palette && index < palette->entries.size()) return PixelFromEntry(palette->entries[index]);
    return 0;
  }
  return PixelFromColorRef(color & 0x00FFFFFFu);
}

bool Intersect(RECT& result, const RECT& a, const RECT& b) {
  result.left = std::max(a.left, b.left);
  result.top = std::max(a.top, b.top);
  result.right = std::min(a.right, b.right);
  result.bottom = std::min(a.bottom, b.bottom);
  if (IsEmpty(result)) {
    result = RECT{0, 0, 0, 0};
    return false;
  }
  return true;
}

}  // namespace detail
}  // namespace vantora::host
