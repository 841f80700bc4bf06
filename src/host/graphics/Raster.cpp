#include "host/graphics/Raster.h"

#include <algorithm>
#include <cstring>

namespace vantora::host::detail {

namespace {

// Any of the 256 operations, one minterm of the truth table at a time.
Pixel Ternary(std::uint8_t code, Pixel p, Pixel s, Pixel d) {
  Pixel result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    const Pixel pp = (i & 4) ? p : ~p;
    const Pixel ss = (i & 2) ? s : ~s;
    const Pixel dd = (i & 1) ? d : ~d;
    result |= pp & ss & dd;
  }
  return result & kPixelMask;
}

// One destination axis of a copy: which source index each destination index reads.
struct AxisMap {
  int begin = 0;  // first destination index written
  int end = 0;    // one past the last
  bool identity = false;
  int sourceBegin = 0;   // source index of Begin when identity
  std::vector<int> map;  // source index per destination index otherwise
};

// Dest spans [dest, dest + destSize), source [source, source + sourceSize); Flip mirrors. The
// destination is cut to [clipBegin, clipEnd) and to the indices whose source lies in
// [validBegin, validEnd); since the mapping is monotonic those form one run.
AxisMap MapAxis(std::int64_t dest, std::int64_t destSize, std::int64_t source, std::int64_t sourceSize,
                bool flip, int clipBegin, int clipEnd, int validBegin, int validEnd) {
  AxisMap axis;
  std::int64_t lo = std::max<std::int64_t>(dest, clipBegin);
  std::int64_t hi = std::min<std::int64_t>(dest + destSize, clipEnd);
  if (lo >= hi) return axis;
  auto sourceOf = [&](std::int64_t d) {
    const std::int64_t i = d - dest;
    const std::int64_t offset = ((2 * i + 1) * sourceSize) / (2 * destSize);
    return flip ? source + sourceSize - 1 - offset : source + offset;
  };
  auto valid = [&](std::int64_t d) {
    const std::int64_t s = sourceOf(d);
    return s >= validBegin && s < validEnd;
  };
  if (!flip && destSize == sourceSize) {
    // Unscaled: cut both ends arithmetically.
    lo = std::max(lo, dest + (validBegin - source));
    hi = std::min(hi, dest + (validEnd - source));
    if (lo >= hi) return axis;
    axis.begin = static_cast<int>(lo);
    axis.end = static_cast<int>(hi);
    axis.identity = true;
    axis.sourceBegin = static_cast<int>(sourceOf(lo));
    return axis;
  }
  while (lo < hi && !valid(lo)) ++lo;
  while (hi > lo && !valid(hi - 1)) --hi;
  if (lo >= hi) return axis;
  axis.begin = static_cast<int>(lo);
  axis.end = static_cast<int>(hi);
  axis.map.resize(static_cast<std::size_t>(hi - lo));
  for (std::int64_t d = lo; d < hi; ++d)
    axis.map[static_cast<std::size_t>(d - lo)] = static_cast<int>(sourceOf(d));
  return axis;
}

}  // namespace

void ApplyRopRow(Pixel* dest, const Pixel* source, int count, std::uint8_t code, Pixel pattern) {
  pattern &= kPixelMask;
  switch (code) {
    case 0xCC:  // SRCCOPY; pattern-only callers pass no source and never ask for it
      if (source) std::memcpy(dest, source, static_cast<std::size_t>(count) * sizeof(Pixel));
      return;
    case 0x88:  // SRCAND
      for (int i = 0; i < count; ++i) dest[i] &= source[i];
      return;
    case 0xEE:  // SRCPAINT
      for (int i = 0; i < count; ++i) dest[i] |= source[i];
      return;
    case 0x66:  // SRCINVERT
      for (int i = 0; i < count; ++i) dest[i] ^= source[i];
      return;
    case 0x33:  // NOTSRCCOPY
      for (int i = 0; i < count; ++i) dest[i] = ~source[i] & kPixelMask;
      return;
    case 0x44:  // SRCERASE
      for (int i = 0; i < count; ++i) dest[i] = source[i] & ~dest[i] & kPixelMask;
      return;
    case 0xAA:  // destination unchanged
      return;
    case 0x00:  // BLACKNESS
      std::fill(dest, dest + count, Pixel{0});
      return;
    case 0xFF:  // WHITENESS
      std::fill(dest, dest + count, kPixelMask);
      return;
    case 0xF0:  // PATCOPY
      std::fill(dest, dest + count, pattern);
      return;
    case 0x55:  // DSTINVERT
      for (int i = 0; i < count; ++i) dest[i] = ~dest[i] & kPixelMask;
      return;
    case 0x5A:  // PATINVERT
      for (int i = 0; i < count; ++i) dest[i] ^= pattern;
      return;
    default:
      break;
  }
  if (source) {
    for (int i = 0; i < count; ++i) dest[i] = Ternary(code, pattern, source[i], dest[i]);
  } else {
    for (int i = 0; i < count; ++i) dest[i] = Ternary(code, pattern, 0, dest[i]);
  }
}

RECT CopyPixels(Surface& dest, const RECT& clip, RowSource& source, const CopyRects& r, std::uint8_t code,
                Pixel pattern) {
  const RECT none{0, 0, 0, 0};
  if (r.width == 0 || r.height == 0 || r.sourceWidth == 0 || r.sourceHeight == 0) return none;
  std::int64_t dx = r.x, dy = r.y, dw = r.width, dh = r.height;
  std::int64_t sx = r.sourceX, sy = r.sourceY, sw = r.sourceWidth, sh = r.sourceHeight;
  bool flipX = false, flipY = false;
  if (dw < 0) dx += dw + 1, dw = -dw, flipX = !flipX;
  if (sw < 0) sx += sw + 1, sw = -sw, flipX = !flipX;
  if (dh < 0) dy += dh + 1, dh = -dh, flipY = !flipY;
  if (sh < 0) sy += sh + 1, sh = -sh, flipY = !flipY;

  const AxisMap cols = MapAxis(dx, dw, sx, sw, flipX, clip.left, clip.right, 0, source.Width());
  if (cols.begin >= cols.end) return none;
  const AxisMap rows =
      MapAxis(dy, dh, sy, sh, flipY, clip.top, clip.bottom, source.RowBegin(), source.RowEnd());
  if (rows.begin >= rows.end) return none;

  const int count = cols.end - cols.begin;
  std::vector<Pixel> gathered;
  if (!cols.identity && code != 0xCC) gathered.resize(static_cast<std::size_t>(count));
  const int* colMap = cols.identity ? nullptr : cols.map.data();
  for (int y = rows.begin; y < rows.end; ++y) {
    const int sourceY = rows.identity ? rows.sourceBegin + (y - rows.begin)
                                      : rows.map[static_cast<std::size_t>(y - rows.begin)];
    const Pixel* from = source.Row(sourceY);
    Pixel* to = dest.Row(y) + cols.begin;
    if (cols.identity) {
      ApplyRopRow(to, from + cols.sourceBegin, count, code, pattern);
    } else if (code == 0xCC) {
      for (int i = 0; i < count; ++i) to[i] = from[colMap[i]];
    } else {
      for (int i = 0; i < count; ++i) gathered[static_cast<std::size_t>(i)] = from[colMap[i]];
      ApplyRopRow(to, gathered.data(), count, code, pattern);
    }
  }
  return RECT{cols.begin, rows.begin, cols.end, rows.end};
}

void FillPixels(Surface& dest, const RECT& rect, std::uint8_t code, Pixel pattern) {
  const int count = rect.right - rect.left;
  if (count <= 0) return;
  for (int y = rect.top; y < rect.bottom; ++y)
    ApplyRopRow(dest.Row(y) + rect.left, nullptr, count, code, pattern);
}

}  // namespace vantora::host::detail
