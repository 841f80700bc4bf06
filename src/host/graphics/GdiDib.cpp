// Device-independent bitmaps to and from devices and device bitmaps.
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "host/graphics/DibCodec.h"
#include "host/graphics/Gdi.h"

namespace vantora::host {

using namespace detail;

namespace {

// The header is trusted as the classic calls trust it: the masks and table it announces are there.
constexpr std::size_t kTrustedHeader = std::numeric_limits<std::size_t>::max();

const BYTE* TableOf(const BITMAPINFO* info, const DibLayout& layout) {
  return reinterpret_cast<const BYTE*>(info) + layout.tableOffset;
}

// The header's layout and colours, through the context's palette for DIB_PAL_COLORS.
bool Prepare(const BITMAPINFO* info, UINT usage, const DcObject* dc, DibLayout& layout,
             std::array<Pixel, 256>& lookup) {
  if (!info || !CheckDibLayout(info->bmiHeader, kTrustedHeader, layout).empty()) return false;
  lookup.fill(0);
  if (layout.bitCount > 8) return true;
  const BYTE* table = TableOf(info, layout);
  if (usage == DIB_RGB_COLORS) {
    lookup = ColorLookup(reinterpret_cast<const RGBQUAD*>(table), layout.tableEntries);
    return true;
  }
  if (usage != DIB_PAL_COLORS || !dc || !dc->state.palette.object) return false;
  const auto& entries = dc->state.palette.object->entries;
  for (int i = 0; i < layout.tableEntries; ++i) {
    WORD index;
    std::memcpy(&index, table + 2 * i, sizeof index);
    if (index < entries.size()) lookup[static_cast<std::size_t>(i)] = PixelFromEntry(entries[index]);
  }
  return true;
}

// The compressed size, which only RLE data needs.
std::size_t BitsSize(const BITMAPINFO* info) {
  const DWORD c = info->bmiHeader.biCompression;
  return (c == BI_RLE8 || c == BI_RLE4) ? info->bmiHeader.biSizeImage : kTrustedHeader;
}

// The colours a DIB of BitCount bits written from a context gets, and which of them pixels may
// map to: the selected palette's entries, or for the default palette its static colours where the
// system palette has them (8 bits), the 16 classic colours (4 bits), or black and white (1 bit).
struct OutputTable {
  std::array<Pixel, 256> colors{};
  std::array<bool, 256> usable{};
};

OutputTable TableFor(const PaletteObject& palette, int bitCount, int entries) {
  OutputTable table;
  if (palette.isDefault) {
    static constexpr Pixel kSixteen[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                           0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    if (bitCount == 8) {
      for (int i = 0; i < 20; ++i) {
        const auto index = static_cast<std::size_t>(StaticColorIndex(i));
        table.colors[index] = PixelFromEntry(StaticColors()[i]);
        table.usable[index] = true;
      }
    } else if (bitCount == 4) {
      for (std::size_t i = 0; i < 16; ++i) table.colors[i] = kSixteen[i], table.usable[i] = true;
    } else {
      table.colors[0] = 0x000000, table.colors[1] = 0xFFFFFF;
      table.usable[0] = table.usable[1] = true;
    }
  } else {
    const std::size_t count = std::min<std::size_t>(palette.entries.size(), 256);
    for (std::size_t i = 0; i < count; ++i)
      table.colors[i] = PixelFromEntry(palette.entries[i]), table.usable[i] = true;
  }
  for (std::size_t i = static_cast<std::size_t>(entries); i < 256; ++i) table.usable[i] = false;
  return table;
}

void PackRow(const Pixel* from, const DibLayout& layout, NearestColor& nearest, std::uint8_t* out) {
  std::memset(out, 0, layout.stride);
  const int width = layout.width;
  switch (layout.bitCount) {
    case 1:
      for (int x = 0; x < width; ++x)
        out[x >> 3] |= static_cast<std::uint8_t>(nearest.Find(from[x]) << (7 - (x & 7)));
      return;
    case 4:
      for (int x = 0; x < width; ++x)
        out[x >> 1] |= static_cast<std::uint8_t>(nearest.Find(from[x]) << ((x & 1) ? 0 : 4));
      return;
    case 8: {
      // Runs of one colour are common in pictures: one look-up a run.
      Pixel last = ~kPixelMask;
      std::uint8_t index = 0;
      for (int x = 0; x < width; ++x) {
        const Pixel color = from[x] & kPixelMask;
        if (color != last) last = color, index = static_cast<std::uint8_t>(nearest.Find(color));
        out[x] = index;
      }
      return;
    }
    case 24:
      for (int x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<std::uint8_t>(from[x]);
        out[1] = static_cast<std::uint8_t>(from[x] >> 8);
        out[2] = static_cast<std::uint8_t>(from[x] >> 16);
      }
      return;
    case 16:
    case 32: {
      const int bytes = layout.bitCount / 8;
      for (int x = 0; x < width; ++x, out += bytes) {
        std::uint32_t v = 0;
        for (std::size_t c = 0; c < 3; ++c) {
          const DWORD mask = layout.masks[c];
          if (!mask) continue;
          const int shift = std::countr_zero(mask), bits = std::popcount(mask);
          const std::uint32_t component = (from[x] >> (16 - 8 * static_cast<int>(c))) & 0xFF;
          const std::uint32_t scaled = bits >= 8 ? component << (bits - 8) : component >> (8 - bits);
          v |= (scaled << shift) & mask;
        }
        std::memcpy(out, &v, static_cast<std::size_t>(bytes));
      }
      return;
    }
    default:
      return;
  }
}

// Source rows in the DIB's own coordinates (counted from the bottom for bottom-up DIBs) as a
// top-down origin and size for the copy engine; a negative size mirrors.
void SourceRows(const DibLayout& layout, int y, int height, int& top, int& size) {
  if (layout.topDown) {
    top = y;
    size = height;
    return;
  }
  const int n = height < 0 ? -height : height;
  const int bottom = height < 0 ? y + height + 1 : y;
  const int t = layout.height - bottom - n;
  top = height < 0 ? t + n - 1 : t;
  size = height;
}

}  // namespace

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sourceX, int sourceY,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto object = GetDcObject(dc);
  DibLayout layout;
  std::array<Pixel, 256> lookup;
  if (!object || !object->Target() || !bits || !Prepare(info, usage, object.get(), layout, lookup)) return 0;
  if (width > static_cast<DWORD>(kMaxSide) || height > static_cast<DWORD>(kMaxSide) ||
      startScan > static_cast<UINT>(kMaxSide) || scanLines > static_cast<UINT>(kMaxSide))
    return 0;
  DibRows rows(layout, bits, BitsSize(info), lookup, static_cast<int>(startScan),
               static_cast<int>(scanLines));
  if (!rows.Error().empty()) return 0;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  int top, size;
  SourceRows(layout, sourceY, h, top, size);
  const CopyRects rects{x + object->state.origin.x, y + object->state.origin.y, w, h, sourceX, top, w, size};
  Surface& target = *object->Target();
  const RECT written = CopyPixels(target, object->ClipRect(), rows, rects, 0xCC, 0);
  Present(*object, target, written);
  return rows.StoredRows();
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                  int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  auto object = GetDcObject(dc);
  DibLayout layout;
  std::array<Pixel, 256> lookup;
  if (!object || !object->Target() || !Prepare(info, usage, object.get(), layout, lookup)) return 0;
  const std::uint8_t code = RopCode(rop);
  const auto& brush = object->state.brush.object;
  const Pixel pattern = brush && !brush->hollow ? ResolveColor(*object, brush->color) : 0;
  if (!bits && RopUsesSource(code)) return 0;
  DibRows rows(layout, bits, BitsSize(info), lookup, 0, layout.height);
  if (!rows.Error().empty()) return 0;
  int top, size;
  SourceRows(layout, sourceY, sourceHeight, top, size);
  const CopyRects rects{
      x + object->state.origin.x, y + object->state.origin.y, width, height, sourceX, top, sourceWidth, size};
  Surface& target = *object->Target();
  const RECT written = CopyPixels(target, object->ClipRect(), rows, rects, code, pattern);
  Present(*object, target, written);
  return height < 0 ? -height : height;
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  auto object = State().handles.Get<BitmapObject>(bitmap, ObjectKind::Bitmap);
  auto context = dc ? GetDcObject(dc) : nullptr;
  if (!object || (dc && !context) || !bits) return 0;
  DibLayout layout;
  std::array<Pixel, 256> lookup;
  if (!Prepare(info, usage, context.get(), layout, lookup)) return 0;
  if (startScan > static_cast<UINT>(kMaxSide) || scanLines > static_cast<UINT>(kMaxSide)) return 0;
  DibRows rows(layout, bits, BitsSize(info), lookup, static_cast<int>(startScan),
               static_cast<int>(scanLines));
  if (!rows.Error().empty()) return 0;
  // The DIB's top row lands on the bitmap's top row.
  Surface& surface = object->surface;
  const CopyRects rects{0, 0, layout.width, layout.height, 0, 0, layout.width, layout.height};
  CopyPixels(surface, surface.Bounds(), rows, rects, 0xCC, 0);
  return rows.StoredRows();
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT usage) {
  auto context = GetDcObject(dc);
  auto object = State().handles.Get<BitmapObject>(bitmap, ObjectKind::Bitmap);
  if (!context || !object || !info || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return 0;
  const Surface& surface = object->surface;
  BITMAPINFOHEADER& header = info->bmiHeader;
  if (header.biSize < 40) return 0;
  if (!bits && header.biBitCount == 0) {
    // Describe the bitmap.
    header.biWidth = surface.width;
    header.biHeight = surface.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = DibStride(surface.width, 32) * static_cast<DWORD>(surface.height);
    header.biClrUsed = 0;
    header.biClrImportant = 0;
    return 1;
  }
  if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) return 0;
  if (header.biCompression == BI_BITFIELDS) {
    if (header.biBitCount != 16 && header.biBitCount != 32) return 0;
    // The masks this layer writes: 5-6-5 and 8-8-8.
    const std::array<DWORD, 3> masks = header.biBitCount == 16
                                           ? std::array<DWORD, 3>{0xF800, 0x07E0, 0x001F}
                                           : std::array<DWORD, 3>{0xFF0000, 0x00FF00, 0x0000FF};
    std::memcpy(reinterpret_cast<BYTE*>(info) + 40, masks.data(), sizeof masks);
  }
  DibLayout layout;
  if (!CheckDibLayout(header, kTrustedHeader, layout).empty()) return 0;
  header.biSizeImage = static_cast<DWORD>(layout.stride * static_cast<std::size_t>(layout.height));

  NearestColor nearest;
  if (layout.bitCount <= 8) {
    const OutputTable table = TableFor(*context->state.palette.object, layout.bitCount, layout.tableEntries);
    BYTE* out = reinterpret_cast<BYTE*>(info) + layout.tableOffset;
    for (int i = 0; i < layout.tableEntries; ++i) {
      const Pixel c = table.colors[static_cast<std::size_t>(i)];
      if (usage == DIB_PAL_COLORS) {
        const auto index = static_cast<WORD>(i);
        std::memcpy(out + 2 * i, &index, sizeof index);
      } else {
        const RGBQUAD quad{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
        std::memcpy(out + 4 * i, &quad, sizeof quad);
      }
    }
    nearest.Reset(table.colors.data(), table.usable.data(), layout.tableEntries);
  }
  if (!bits) return 1;

  const int first = static_cast<int>(std::min<UINT>(startScan, static_cast<UINT>(layout.height)));
  const int last = static_cast<int>(std::min<std::uint64_t>(std::uint64_t{startScan} + scanLines,
                                                            static_cast<std::uint64_t>(layout.height)));
  std::vector<Pixel> row(static_cast<std::size_t>(layout.width), 0);
  auto* out = static_cast<std::uint8_t*>(bits);
  for (int stored = first; stored < last; ++stored) {
    const int y = layout.topDown ? stored : layout.height - 1 - stored;
    std::fill(row.begin(), row.end(), Pixel{0});
    if (y < surface.height)
      std::memcpy(row.data(), surface.Row(y),
                  static_cast<std::size_t>(std::min(layout.width, surface.width)) * sizeof(Pixel));
    PackRow(row.data(), layout, nearest, out + static_cast<std::size_t>(stored - first) * layout.stride);
  }
  return last - first;
}

}  // namespace vantora::host
