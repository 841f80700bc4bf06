// Fonts and text output.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#include "host/graphics/Fonts.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiObjects.h"

namespace vantora::host {

using namespace detail;

namespace {

std::shared_ptr<RealizedFont> FontOf(DcObject& dc) {
  auto& font = dc.state.font.object;
  if (!font) return nullptr;
  if (!font->realized) font->realized = RealizeFont(font->record);
  return font->realized;
}

RECT Union(const RECT& a, const RECT& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// Where text is drawn: rows of pixels of one kind, addressed top-down, and the value ink writes.
struct SurfaceInk {
  Surface& surface;
  Pixel value;
  Pixel* Row(int y) const { return surface.Row(y); }
};

struct RasterInk {
  const IndexRaster& raster;
  BYTE value;
  BYTE* Row(int y) const {
    return raster.rows +
           static_cast<std::size_t>(raster.height - 1 - y) * static_cast<std::size_t>(raster.stride);
  }
};

// For each byte of a two-state bitmap, its eight pixels as byte masks, leftmost pixel first.
constexpr std::array<std::uint64_t, 256> kSpreadBits = [] {
  std::array<std::uint64_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::array<std::uint8_t, 8> pixels{};
    for (int k = 0; k < 8; ++k) pixels[static_cast<std::size_t>(k)] = (byte >> (7 - k)) & 1 ? 0xFF : 0;
    table[byte] = std::bit_cast<std::uint64_t>(pixels);
  }
  return table;
}();

// Sets the pixels of a two-state bitmap whose top-left pixel lands at (X, Y). Bits are taken a byte
// at a time, the bytes at the clip's edges cut to the columns inside it. On an 8-bit raster a
// whole byte inside the clip sets its eight pixels in one masked store.
template <class Ink>
RECT DrawMono(const Ink& ink, const RECT& clip, const MonoBitmap& mono, int x, int y) {
  RECT area{x, y, x + mono.width, y + mono.height}, r;
  if (mono.Empty() || !Intersect(r, area, clip)) return RECT{0, 0, 0, 0};
  const int first = r.left - x, end = r.right - x;
  for (int row = r.top; row < r.bottom; ++row) {
    const std::uint8_t* bits =
        mono.bits.data() + static_cast<std::size_t>(row - y) * static_cast<std::size_t>(mono.pitch);
    auto* out = ink.Row(row);
    for (int column = first & ~7; column < end; column += 8) {
      unsigned byte = bits[column >> 3];
      if constexpr (sizeof *out == 1) {
        if (column >= first && column + 8 <= end) {
          if (byte == 0) continue;
          const std::uint64_t mask = kSpreadBits[byte];
          std::uint64_t eight;
          std::memcpy(&eight, out + x + column, sizeof eight);
          eight = (eight & ~mask) | (0x0101010101010101u * ink.value & mask);
          std::memcpy(out + x + column, &eight, sizeof eight);
          continue;
        }
      }
      if (column < first) byte &= 0xFFu >> (first - column);
      if (column + 8 > end) byte &= 0xFFu << (column + 8 - end);
      for (; byte != 0; byte &= byte - 1) out[x + column + 7 - std::countr_zero(byte)] = ink.value;
    }
  }
  return r;
}

// A rectangle of the unrotated text (U along the baseline, V downwards) turned about the reference
// point: filled directly when it stays upright, else rasterised as a polygon.
struct Frame {
  double x, y, cosine, sine;
  void Map(double u, double v, double out[2]) const {
    out[0] = x + u * cosine + v * sine;
    out[1] = y - u * sine + v * cosine;
  }
};

template <class Ink>
RECT FillTextRect(const Ink& ink, const RECT& clip, const Frame& frame, double u0, double v0, double u1,
                  double v1) {
  double corners[4][2];
  frame.Map(u0, v0, corners[0]);
  frame.Map(u1, v0, corners[1]);
  frame.Map(u1, v1, corners[2]);
  frame.Map(u0, v1, corners[3]);
  const bool upright = std::abs(frame.sine) < 1e-9 || std::abs(frame.cosine) < 1e-9;
  if (upright) {
    double minX = corners[0][0], maxX = minX, minY = corners[0][1], maxY = minY;
    for (const auto& c : corners)
      minX = std::min(minX, c[0]), maxX = std::max(maxX, c[0]), minY = std::min(minY, c[1]),
      maxY = std::max(maxY, c[1]);
    RECT r{static_cast<LONG>(std::lround(minX)), static_cast<LONG>(std::lround(minY)),
           static_cast<LONG>(std::lround(maxX)), static_cast<LONG>(std::lround(maxY))};
    if (!Intersect(r, r, clip)) return RECT{0, 0, 0, 0};
    for (int row = r.top; row < r.bottom; ++row)
      std::fill(ink.Row(row) + r.left, ink.Row(row) + r.right, ink.value);
    return r;
  }
  const MonoBitmap mono = RasterizePolygon(corners, 4, clip);
  return DrawMono(ink, clip, mono, mono.left, mono.top);
}

// Where a string goes: its cell in unrotated coordinates, from the context's alignment, turned
// about the reference point by the font's escapement.
struct TextPlacement {
  Frame frame;
  int u0, v0, total, baseline;
};

TextPlacement PlaceText(const DcState& state, RealizedFont& font, int x, int y, const char* text, int count) {
  const TEXTMETRICA& tm = font.Metrics();
  int total = 0;
  for (int i = 0; i < count; ++i) total += font.Measure(static_cast<std::uint8_t>(text[i])).advance;
  const UINT horizontal = state.textAlign & TA_CENTER;
  const UINT vertical = state.textAlign & TA_BASELINE;
  const int u0 = horizontal == TA_CENTER ? -(total / 2) : horizontal == TA_RIGHT ? -total : 0;
  const int v0 = vertical == TA_BASELINE ? -tm.tmAscent : vertical == TA_BOTTOM ? -tm.tmHeight : 0;
  const Frame frame{static_cast<double>(x + state.origin.x), static_cast<double>(y + state.origin.y),
                    std::cos(font.Angle()), std::sin(font.Angle())};
  return TextPlacement{frame, u0, v0, total, v0 + tm.tmAscent};
}

// The letters with their underline and strike-out; answers the rectangle written.
template <class Ink>
RECT DrawText(const Ink& ink, const RECT& clip, RealizedFont& font, const TextPlacement& at, const char* text,
              int count) {
  const TEXTMETRICA& tm = font.Metrics();
  RECT written{0, 0, 0, 0};
  int pen = at.u0;
  for (int i = 0; i < count; ++i) {
    const auto code = static_cast<std::uint8_t>(text[i]);
    double origin[2];
    at.frame.Map(pen, at.baseline, origin);
    const MonoBitmap& glyph = font.Glyph(code);
    const int gx = static_cast<int>(std::lround(origin[0])) + glyph.left;
    const int gy = static_cast<int>(std::lround(origin[1])) + glyph.top;
    written = Union(written, DrawMono(ink, clip, glyph, gx, gy));
    pen += font.Measure(code).advance;
  }
  const int u1 = at.u0 + at.total;
  if (tm.tmUnderlined) {
    const int top = at.baseline + font.UnderlineTop();
    written = Union(written, FillTextRect(ink, clip, at.frame, at.u0, top, u1, top + font.UnderlineSize()));
  }
  if (tm.tmStruckOut) {
    const int top = at.baseline + font.StrikeOutTop();
    written = Union(written, FillTextRect(ink, clip, at.frame, at.u0, top, u1, top + font.StrikeOutSize()));
  }
  return written;
}

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (!font) return nullptr;
  LOGFONTA record = *font;
  record.lfFaceName[LF_FACESIZE - 1] = 0;  // a name is at most 31 characters
  // Sizes beyond what a screen shows are drawn at the largest size the font engine takes.
  record.lfHeight = std::clamp<LONG>(record.lfHeight, -4096, 4096);
  record.lfWidth = std::clamp<LONG>(record.lfWidth, -4096, 4096);
  return HandleFrom<HFONT>(State().handles.Add(std::make_shared<FontObject>(record)));
}

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths) {
  auto object = GetDcObject(dc);
  if (!object || !widths || first > last || last > 0xFF) return FALSE;
  auto font = FontOf(*object);
  // Only outline faces have these measures, as on the classic system.
  if (!font || !font->HasOutlines()) return FALSE;
  for (UINT code = first; code <= last; ++code) {
    const LetterMetrics& m = font->Measure(static_cast<std::uint8_t>(code));
    widths[code - first] = ABC{m.a, static_cast<UINT>(m.b), m.c};
  }
  return TRUE;
}

BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, INT* widths) {
  auto object = GetDcObject(dc);
  if (!object || !widths || first > last || last > 0xFF) return FALSE;
  auto font = FontOf(*object);
  if (!font) return FALSE;
  for (UINT code = first; code <= last; ++code)
    widths[code - first] = font->Measure(static_cast<std::uint8_t>(code)).advance;
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size) {
  auto object = GetDcObject(dc);
  if (!object || !size || count < 0 || (count > 0 && !text)) return FALSE;
  auto font = FontOf(*object);
  if (!font) return FALSE;
  LONG width = 0;
  for (int i = 0; i < count; ++i) width += font->Measure(static_cast<std::uint8_t>(text[i])).advance;
  *size = SIZE{width, font->Metrics().tmHeight};
  return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  auto object = GetDcObject(dc);
  if (!object || !metrics) return FALSE;
  auto font = FontOf(*object);
  if (!font) return FALSE;
  *metrics = font->Metrics();
  return TRUE;
}

int GetTextFaceA(HDC dc, int count, char* name) {
  auto object = GetDcObject(dc);
  if (!object) return 0;
  auto font = FontOf(*object);
  if (!font) return 0;
  const std::string& face = font->FaceName();
  if (!name) return static_cast<int>(face.size()) + 1;
  if (count <= 0) return 0;
  const std::size_t copied = std::min(face.size(), static_cast<std::size_t>(count - 1));
  std::memcpy(name, face.data(), copied);
  name[copied] = 0;
  return static_cast<int>(copied);
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
  auto object = GetDcObject(dc);
  if (!object || !object->Target() || count < 0 || (count > 0 && !text)) return FALSE;
  if (count == 0) return TRUE;
  auto font = FontOf(*object);
  if (!font) return FALSE;
  const DcState& state = object->state;
  const TextPlacement at = PlaceText(state, *font, x, y, text, count);
  Surface& surface = *object->Target();
  const RECT clip = object->ClipRect();
  RECT written{0, 0, 0, 0};
  if (state.bkMode == OPAQUE)
    written = FillTextRect(SurfaceInk{surface, ResolveColor(*object, state.bkColor)}, clip, at.frame, at.u0,
                           at.v0, at.u0 + at.total, at.v0 + font->Metrics().tmHeight);
  const SurfaceInk ink{surface, ResolveColor(*object, state.textColor)};
  written = Union(written, DrawText(ink, clip, *font, at, text, count));
  Present(*object, surface, written);
  return TRUE;
}

BOOL TextOutToRaster(HDC dc, int x, int y, const char* text, int count, const IndexRaster& raster,
                     BYTE index) {
  auto object = GetDcObject(dc);
  if (!object || count < 0 || (count > 0 && !text)) return FALSE;
  if (raster.width < 0 || raster.height < 0 || raster.stride < raster.width ||
      (!raster.rows && raster.width > 0 && raster.height > 0))
    return FALSE;
  if (count == 0) return TRUE;
  auto font = FontOf(*object);
  if (!font) return FALSE;
  const TextPlacement at = PlaceText(object->state, *font, x, y, text, count);
  DrawText(RasterInk{raster, index}, RECT{0, 0, raster.width, raster.height}, *font, at, text, count);
  return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  auto object = GetDcObject(dc);
  if (!object) return CLR_INVALID;
  return std::exchange(object->state.textColor, color);
}

COLORREF GetTextColor(HDC dc) {
  auto object = GetDcObject(dc);
  return object ? object->state.textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  auto object = GetDcObject(dc);
  if (!object) return CLR_INVALID;
  return std::exchange(object->state.bkColor, color);
}

COLORREF GetBkColor(HDC dc) {
  auto object = GetDcObject(dc);
  return object ? object->state.bkColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
  auto object = GetDcObject(dc);
  if (!object || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(object->state.bkMode, mode);
}

int GetBkMode(HDC dc) {
  auto object = GetDcObject(dc);
  return object ? object->state.bkMode : 0;
}

UINT SetTextAlign(HDC dc, UINT align) {
  auto object = GetDcObject(dc);
  if (!object) return GDI_ERROR;
  return std::exchange(object->state.textAlign, align);
}

UINT GetTextAlign(HDC dc) {
  auto object = GetDcObject(dc);
  return object ? object->state.textAlign : GDI_ERROR;
}

int AddFontResourceA(const char* path) {
  return path ? AddFontFile(path) : 0;
}

}  // namespace vantora::host
