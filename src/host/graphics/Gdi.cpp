// Device contexts, objects, blits, pixels, palettes and brushes.
#include "host/graphics/Gdi.h"

#include <algorithm>
#include <cstring>

#include "host/graphics/GdiObjects.h"
#include "host/graphics/Raster.h"

namespace vantora::host {

using namespace detail;

namespace {

HandleTable& Handles() {
  return State().handles;
}

template <class T>
Selected<T> Stock(int index, ObjectKind kind) {
  const std::uintptr_t handle = StockHandle(index);
  return Selected<T>{handle, Handles().Get<T>(HandleFrom<void*>(handle), kind)};
}

HDC NewDc(DeviceKind device, std::shared_ptr<WindowObject> window) {
  auto dc = std::make_shared<DcObject>(device);
  dc->window = std::move(window);
  if (device == DeviceKind::Memory)
    dc->state.bitmap = Stock<BitmapObject>(kDefaultBitmapIndex, ObjectKind::Bitmap);
  dc->state.palette = Stock<PaletteObject>(DEFAULT_PALETTE, ObjectKind::Palette);
  dc->state.brush = Stock<BrushObject>(WHITE_BRUSH, ObjectKind::Brush);
  dc->state.font = Stock<FontObject>(SYSTEM_FONT, ObjectKind::Font);
  return HandleFrom<HDC>(Handles().Add(std::move(dc)));
}

RECT NormalizedRect(int x, int y, int width, int height) {
  // A negative size reaches back from the origin.
  std::int64_t left = x, top = y, right = std::int64_t{x} + width, bottom = std::int64_t{y} + height;
  if (width < 0) std::swap(left, right);
  if (height < 0) std::swap(top, bottom);
  auto clamp = [](std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, -(1 << 30), 1 << 30));
  };
  return RECT{clamp(left), clamp(top), clamp(right), clamp(bottom)};
}

RECT ToDevice(const DcObject& dc, RECT r) {
  r.left += dc.state.origin.x;
  r.right += dc.state.origin.x;
  r.top += dc.state.origin.y;
  r.bottom += dc.state.origin.y;
  return r;
}

void FillArea(DcObject& dc, RECT area, std::uint8_t code, Pixel pattern) {
  Surface* surface = dc.Target();
  if (!surface) return;
  RECT r;
  if (!Intersect(r, ToDevice(dc, area), dc.ClipRect())) return;
  FillPixels(*surface, r, code, pattern);
  Present(dc, *surface, r);
}

BOOL Blit(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
          int sourceWidth, int sourceHeight, DWORD rop) {
  auto d = GetDcObject(dest);
  if (!d || !d->Target()) return FALSE;
  const std::uint8_t code = RopCode(rop);
  const auto& brush = d->state.brush.object;
  if (RopUsesPattern(code) && brush && brush->hollow) return TRUE;
  const Pixel pattern = brush ? ResolveColor(*d, brush->color) : 0;
  if (!RopUsesSource(code)) {
    FillArea(*d, NormalizedRect(x, y, width, height), code, pattern);
    return TRUE;
  }
  auto s = GetDcObject(source);
  if (!s || !s->Target()) return FALSE;
  Surface& target = *d->Target();
  const Surface* from = s->Target();
  CopyRects rects{x + d->state.origin.x,       y + d->state.origin.y,       width,       height,
                  sourceX + s->state.origin.x, sourceY + s->state.origin.y, sourceWidth, sourceHeight};
  // Reading and writing one surface: read from a copy of the source area.
  Surface copy;
  if (from == &target) {
    RECT area;
    if (!Intersect(area, NormalizedRect(rects.sourceX, rects.sourceY, sourceWidth, sourceHeight),
                   from->Bounds()))
      return TRUE;
    copy.Resize(area.right - area.left, area.bottom - area.top);
    for (int row = 0; row < copy.height; ++row)
      std::memcpy(copy.Row(row), from->Row(area.top + row) + area.left,
                  static_cast<std::size_t>(copy.width) * sizeof(Pixel));
    rects.sourceX -= area.left;
    rects.sourceY -= area.top;
    from = &copy;
  }
  SurfaceRows rows(*from);
  const RECT written = CopyPixels(target, d->ClipRect(), rows, rects, code, pattern);
  Present(*d, target, written);
  return TRUE;
}

// The size of the palette's table and the nearest entry, over any number of entries.
UINT NearestEntry(const std::vector<PALETTEENTRY>& entries, COLORREF color) {
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  UINT best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int dr = entries[i].peRed - r, dg = entries[i].peGreen - g, db = entries[i].peBlue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<UINT>(i);
    }
  }
  return best;
}

}  // namespace

// ---- Device contexts

HDC CreateCompatibleDC(HDC dc) {
  if (dc && !GetDcObject(dc)) return nullptr;
  return NewDc(DeviceKind::Memory, nullptr);
}

BOOL DeleteDC(HDC dc) {
  if (!GetDcObject(dc)) return FALSE;
  return Handles().Remove(dc) ? TRUE : FALSE;
}

HDC GetDC(HWND window) {
  if (!window) return NewDc(DeviceKind::Screen, nullptr);
  auto object = Handles().Get<WindowObject>(window, ObjectKind::Window);
  if (!object) return nullptr;
  return NewDc(DeviceKind::Window, std::move(object));
}

int ReleaseDC(HWND, HDC dc) {
  auto object = GetDcObject(dc);
  if (!object || object->device == DeviceKind::Memory) return 0;
  Handles().Remove(dc);
  return 1;
}

int GetDeviceCaps(HDC dc, int index) {
  auto object = GetDcObject(dc);
  if (!object) return 0;
  const bool palette = object->IsPaletteDevice();
  switch (index) {
    case HORZRES:
      return State().screen.width;
    case VERTRES:
      return State().screen.height;
    case BITSPIXEL:
      return palette ? 8 : 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return palette ? 20 : -1;
    case RASTERCAPS:
      return 0x0001 | 0x0008 | 0x0080 | 0x0200 | 0x0800 | 0x2000 | (palette ? RC_PALETTE : 0);
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case SIZEPALETTE:
      return palette ? 256 : 0;
    case NUMRESERVED:
      return palette ? 20 : 0;
    case COLORRES:
      return palette ? 18 : 24;
    default:
      return 0;
  }
}

int SaveDC(HDC dc) {
  auto object = GetDcObject(dc);
  if (!object) return 0;
  object->saved.push_back(object->state);
  return static_cast<int>(object->saved.size());
}

BOOL RestoreDC(HDC dc, int savedState) {
  auto object = GetDcObject(dc);
  if (!object) return FALSE;
  const int depth = static_cast<int>(object->saved.size());
  const int level = savedState < 0 ? depth + 1 + savedState : savedState;
  if (level < 1 || level > depth) return FALSE;
  object->state = object->saved[static_cast<std::size_t>(level - 1)];
  object->saved.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
  auto object = GetDcObject(dc);
  if (!object) return FALSE;
  if (previous) *previous = object->state.origin;
  object->state.origin = POINT{x, y};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC dc, POINT* origin) {
  auto object = GetDcObject(dc);
  if (!object || !origin) return FALSE;
  *origin = object->state.origin;
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
  auto object = GetDcObject(dc);
  if (!object) return FALSE;
  if (previous) *previous = object->state.origin;
  object->state.origin.x += dx;
  object->state.origin.y += dy;
  return TRUE;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  auto object = GetDcObject(dc);
  if (!object || !object->Target()) return ERROR;
  RECT r = ToDevice(*object, RECT{left, top, right, bottom});
  const RECT current = object->state.clipped ? object->state.clip : object->Target()->Bounds();
  const bool any = Intersect(r, r, current);
  object->state.clip = r;
  object->state.clipped = true;
  return any ? SIMPLEREGION : NULLREGION;
}

int SelectClipRgn(HDC dc, std::nullptr_t) {
  auto object = GetDcObject(dc);
  if (!object) return ERROR;
  object->state.clipped = false;
  return SIMPLEREGION;
}

int GetClipBox(HDC dc, RECT* rect) {
  auto object = GetDcObject(dc);
  if (!object || !rect) return ERROR;
  RECT r = object->ClipRect();
  const bool any = !IsEmpty(r);
  r.left -= object->state.origin.x;
  r.right -= object->state.origin.x;
  r.top -= object->state.origin.y;
  r.bottom -= object->state.origin.y;
  *rect = r;
  return any ? SIMPLEREGION : NULLREGION;
}

// ---- Objects

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto context = GetDcObject(dc);
  auto found = Handles().Find(object);
  if (!context || !found) return nullptr;
  DcState& state = context->state;
  const std::uintptr_t handle = reinterpret_cast<std::uintptr_t>(object);
  switch (found->Kind()) {
    case ObjectKind::Bitmap: {
      if (context->device != DeviceKind::Memory) return nullptr;
      const std::uintptr_t previous = state.bitmap.handle;
      state.bitmap = {handle, std::static_pointer_cast<BitmapObject>(found)};
      return HandleFrom<HGDIOBJ>(previous);
    }
    case ObjectKind::Brush: {
      const std::uintptr_t previous = state.brush.handle;
      state.brush = {handle, std::static_pointer_cast<BrushObject>(found)};
      return HandleFrom<HGDIOBJ>(previous);
    }
    case ObjectKind::Font: {
      const std::uintptr_t previous = state.font.handle;
      state.font = {handle, std::static_pointer_cast<FontObject>(found)};
      return HandleFrom<HGDIOBJ>(previous);
    }
    default:
      return nullptr;  // palettes go through SelectPalette
  }
}

HBITMAP SelectObject(HDC dc, HBITMAP bitmap) {
  return static_cast<HBITMAP>(SelectObject(dc, static_cast<HGDIOBJ>(bitmap)));
}
HBRUSH SelectObject(HDC dc, HBRUSH brush) {
  return static_cast<HBRUSH>(SelectObject(dc, static_cast<HGDIOBJ>(brush)));
}
HFONT SelectObject(HDC dc, HFONT font) {
  return static_cast<HFONT>(SelectObject(dc, static_cast<HGDIOBJ>(font)));
}

BOOL DeleteObject(HGDIOBJ object) {
  auto found = Handles().Find(object);
  if (!found || found->Kind() == ObjectKind::Dc || found->Kind() == ObjectKind::Window) return FALSE;
  if (Handles().IsStock(object)) return TRUE;
  return Handles().Remove(object) ? TRUE : FALSE;
}

int GetObject(HGDIOBJ object, int size, void* buffer) {
  auto found = Handles().Find(object);
  if (!found || size < 0) return 0;
  auto give = [&](const auto& value) {
    const int bytes = static_cast<int>(sizeof value);
    if (!buffer) return bytes;
    const int copied = std::min(size, bytes);
    std::memcpy(buffer, &value, static_cast<std::size_t>(copied));
    return copied;
  };
  switch (found->Kind()) {
    case ObjectKind::Bitmap: {
      const Surface& s = std::static_pointer_cast<BitmapObject>(found)->surface;
      return give(BITMAP{0, s.width, s.height, s.width * 4, 1, 32, nullptr});
    }
    case ObjectKind::Palette:
      return give(static_cast<WORD>(std::static_pointer_cast<PaletteObject>(found)->entries.size()));
    case ObjectKind::Font:
      return give(std::static_pointer_cast<FontObject>(found)->record);
    case ObjectKind::Brush: {
      const auto& brush = *std::static_pointer_cast<BrushObject>(found);
      return give(LOGBRUSH{brush.hollow ? BS_NULL : BS_SOLID, brush.color, 0});
    }
    default:
      return 0;
  }
}

DWORD GetObjectType(HGDIOBJ object) {
  auto found = Handles().Find(object);
  if (!found) return 0;
  switch (found->Kind()) {
    case ObjectKind::Bitmap:
      return OBJ_BITMAP;
    case ObjectKind::Palette:
      return OBJ_PAL;
    case ObjectKind::Brush:
      return OBJ_BRUSH;
    case ObjectKind::Font:
      return OBJ_FONT;
    case ObjectKind::Dc:
      return std::static_pointer_cast<DcObject>(found)->device == DeviceKind::Memory ? OBJ_MEMDC : OBJ_DC;
    case ObjectKind::Window:
      return 0;
  }
  return 0;
}

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
  const auto handle = HandleFrom<HGDIOBJ>(StockHandle(index));
  return Handles().Find(handle) ? handle : nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  auto object = GetDcObject(dc);
  if (!object) return nullptr;
  switch (type) {
    case OBJ_BITMAP:
      return HandleFrom<HGDIOBJ>(object->state.bitmap.handle);
    case OBJ_PAL:
      return HandleFrom<HGDIOBJ>(object->state.palette.handle);
    case OBJ_BRUSH:
      return HandleFrom<HGDIOBJ>(object->state.brush.handle);
    case OBJ_FONT:
      return HandleFrom<HGDIOBJ>(object->state.font.handle);
    default:
      return nullptr;
  }
}

// ---- Device bitmaps

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  if (dc && !GetDcObject(dc)) return nullptr;
  if (width == 0 || height == 0) width = height = 1;  // as the classic call does for an empty size
  if (!ValidSurfaceSize(width, height)) return nullptr;
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->surface.Resize(width, height);
  return HandleFrom<HBITMAP>(Handles().Add(std::move(bitmap)));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
  if (planes != 1 || bitCount != 32 || !ValidSurfaceSize(width, height)) return nullptr;
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->surface.Resize(width, height);
  if (bits) {
    const auto* from = static_cast<const Pixel*>(bits);
    std::transform(from, from + bitmap->surface.pixels.size(), bitmap->surface.pixels.begin(),
                   [](Pixel p) { return p & kPixelMask; });
  }
  return HandleFrom<HBITMAP>(Handles().Add(std::move(bitmap)));
}

// ---- Raster operations

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  if (RopUsesSource(RopCode(rop))) return FALSE;
  return Blit(dc, x, y, width, height, nullptr, 0, 0, width, height, rop);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  auto object = GetDcObject(dc);
  if (!object || !object->Target()) return CLR_INVALID;
  const POINT p{x + object->state.origin.x, y + object->state.origin.y};
  const RECT clip = object->ClipRect();
  if (p.x < clip.left || p.x >= clip.right || p.y < clip.top || p.y >= clip.bottom) return CLR_INVALID;
  Pixel pixel = ResolveColor(*object, color);
  if (object->IsPaletteDevice()) pixel = State().systemPalette.Nearest(pixel);
  object->Target()->Row(p.y)[p.x] = pixel;
  return ColorRefFromPixel(pixel);
}

COLORREF GetPixel(HDC dc, int x, int y) {
  auto object = GetDcObject(dc);
  if (!object || !object->Target()) return CLR_INVALID;
  const POINT p{x + object->state.origin.x, y + object->state.origin.y};
  const RECT clip = object->ClipRect();
  if (p.x < clip.left || p.x >= clip.right || p.y < clip.top || p.y >= clip.bottom) return CLR_INVALID;
  return ColorRefFromPixel(object->Target()->Row(p.y)[p.x]);
}

int SetStretchBltMode(HDC dc, int mode) {
  auto object = GetDcObject(dc);
  if (!object || mode < 1 || mode > 4) return 0;
  const int previous = object->state.stretchMode;
  object->state.stretchMode = mode;
  return previous;
}

int GetStretchBltMode(HDC dc) {
  auto object = GetDcObject(dc);
  return object ? object->state.stretchMode : 0;
}

// ---- Palettes

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != PALETTE_VERSION || palette->palNumEntries == 0) return nullptr;
  auto object = std::make_shared<PaletteObject>();
  const auto* entries = reinterpret_cast<const PALETTEENTRY*>(reinterpret_cast<const BYTE*>(palette) + 4);
  object->entries.assign(entries, entries + palette->palNumEntries);
  return HandleFrom<HPALETTE>(Handles().Add(std::move(object)));
}

HPALETTE CreateHalftonePalette(HDC dc) {
  if (dc && !GetDcObject(dc)) return nullptr;
  auto object = std::make_shared<PaletteObject>();
  object->entries.resize(256, PALETTEENTRY{0, 0, 0, 0});
  for (int i = 0; i < 20; ++i)
    object->entries[static_cast<std::size_t>(StaticColorIndex(i))] = StaticColors()[i];
  // A 6 x 6 x 6 colour cube, then 20 greys between its levels.
  std::size_t next = 10;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        object->entries[next++] =
            PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51), 0};
  for (int i = 1; i <= 20; ++i) {
    const auto grey = static_cast<BYTE>((i * 255 + 10) / 21);
    object->entries[next++] = PALETTEENTRY{grey, grey, grey, 0};
  }
  return HandleFrom<HPALETTE>(Handles().Add(std::move(object)));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
  auto context = GetDcObject(dc);
  auto object = Handles().Get<PaletteObject>(palette, ObjectKind::Palette);
  if (!context || !object) return nullptr;
  const std::uintptr_t previous = context->state.palette.handle;
  context->state.palette = {HandleValue(palette), std::move(object)};
  context->state.paletteBackground = forceBackground != FALSE;
  return HandleFrom<HPALETTE>(previous);
}

UINT RealizePalette(HDC dc) {
  auto context = GetDcObject(dc);
  if (!context) return GDI_ERROR;
  auto& palette = context->state.palette.object;
  // Only a palette display has a system palette to change; the default palette holds only the
  // static colours, which are always there.
  if (!context->IsPaletteDevice() || !palette || palette->isDefault) return 0;
  return State().systemPalette.Realize(*palette, context->state.paletteBackground);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  auto object = Handles().Get<PaletteObject>(palette, ObjectKind::Palette);
  if (!object) return 0;
  const auto size = static_cast<UINT>(object->entries.size());
  if (!entries) return size;
  if (start >= size) return 0;
  const UINT copied = std::min(count, size - start);
  std::copy_n(object->entries.begin() + start, copied, entries);
  return copied;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
  auto object = Handles().Get<PaletteObject>(palette, ObjectKind::Palette);
  if (!object || !entries || object->isDefault) return 0;
  const auto size = static_cast<UINT>(object->entries.size());
  if (start >= size) return 0;
  const UINT copied = std::min(count, size - start);
  std::copy_n(entries, copied, object->entries.begin() + start);
  return copied;
}

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
  if (dc && !GetDcObject(dc)) return 0;
  if (!entries) return 256;
  if (start >= 256) return 0;
  const UINT copied = std::min(count, 256 - start);
  const auto& system = State().systemPalette;
  for (UINT i = 0; i < copied; ++i) entries[i] = system.Entry(static_cast<int>(start + i));
  return copied;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  auto object = Handles().Get<PaletteObject>(palette, ObjectKind::Palette);
  if (!object || object->entries.empty()) return CLR_INVALID;
  return NearestEntry(object->entries, color);
}

COLORREF GetNearestColor(HDC dc, COLORREF color) {
  auto object = GetDcObject(dc);
  if (!object) return CLR_INVALID;
  Pixel pixel = ResolveColor(*object, color);
  if (object->IsPaletteDevice()) pixel = State().systemPalette.Nearest(pixel);
  return ColorRefFromPixel(pixel);
}

BOOL UnrealizeObject(HGDIOBJ object) {
  auto found = Handles().Find(object);
  if (!found) return FALSE;
  if (found->Kind() == ObjectKind::Palette)
    std::static_pointer_cast<PaletteObject>(found)->systemIndex.clear();
  return TRUE;
}

// ---- Brushes

HBRUSH CreateSolidBrush(COLORREF color) {
  return HandleFrom<HBRUSH>(Handles().Add(std::make_shared<BrushObject>(color, false)));
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  auto context = GetDcObject(dc);
  auto object = Handles().Get<BrushObject>(brush, ObjectKind::Brush);
  if (!context || !object || !rect) return 0;
  if (!object->hollow) FillArea(*context, *rect, RopCode(PATCOPY), ResolveColor(*context, object->color));
  return 1;
}

// ---- System colours

COLORREF GetSysColor(int index) {
  static constexpr COLORREF kColors[] = {
      RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
      RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
      RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),       RGB(255, 255, 225),
      RGB(192, 192, 192), RGB(0, 0, 255),     RGB(16, 132, 208),  RGB(181, 181, 181), RGB(0, 0, 128),
      RGB(192, 192, 192)};
  if (index < 0 || index >= static_cast<int>(std::size(kColors))) return 0;
  return kColors[index];
}

// ---- Rectangles

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* rect) {
  return SetRect(rect, 0, 0, 0, 0);
}

BOOL IsRectEmpty(const RECT* rect) {
  return !rect || IsEmpty(*rect) ? TRUE : FALSE;
}

BOOL IntersectRect(RECT* result, const RECT* a, const RECT* b) {
  if (!result || !a || !b) return FALSE;
  return Intersect(*result, *a, *b) ? TRUE : FALSE;
}

BOOL UnionRect(RECT* result, const RECT* a, const RECT* b) {
  if (!result || !a || !b) return FALSE;
  if (IsEmpty(*a))
    *result = *b;
  else if (IsEmpty(*b))
    *result = *a;
  else
    *result = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                   std::max(a->bottom, b->bottom)};
  if (IsEmpty(*result)) {
    *result = RECT{0, 0, 0, 0};
    return FALSE;
  }
  return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point) {
  return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
                 point.y < rect->bottom
             ? TRUE
             : FALSE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom
             ? TRUE
             : FALSE;
}

int LiveGdiObjectCount() {
  return Handles().LiveCount();
}

}  // namespace vantora::host
