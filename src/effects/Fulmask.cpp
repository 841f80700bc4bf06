#include "effects/Fulmask.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "core/RowOps.h"

namespace vantora {

namespace {

struct Step {
  std::int32_t dx, dy;  // memory coordinates: dy = +1 is one row up as displayed
};

Step DirectionStep(efgDirection Direction) {
  switch (Direction) {
    case fgUpLeft:
      return {-1, 1};
    case fgUp:
      return {0, 1};
    case fgUpRight:
      return {1, 1};
    case fgRight:
      return {1, 0};
    case fgDownRight:
      return {1, -1};
    case fgDown:
      return {0, -1};
    case fgDownLeft:
      return {-1, -1};
    case fgLeft:
      return {-1, 0};
  }
  throw EFulgoError("Unknown direction " + std::to_string(static_cast<int>(Direction)));
}

std::int16_t Clamp16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

// A 3D band row with at most one edge pixel per this many columns is drawn stroke by stroke.
constexpr std::int32_t kStrokeRowRatio = 32;

// Replaces Mask's picture by a W x H raster of Src's transparent index.
std::uint8_t* FreshMask(tFulgoDib& Mask, const tFulgoDib& Src, std::int32_t W, std::int32_t H) {
  if (W > kMaxBitmapSide || H > kMaxBitmapSide)
    throw EFulgoError("Mask size " + std::to_string(W) + " x " + std::to_string(H) + " out of range (0.." +
                      std::to_string(kMaxBitmapSide) + ")");
  Mask.FreeDib();
  Mask.TransparentIndex = Src.TransparentIndex;
  Mask.MakeEmpty(static_cast<TWidth>(W), static_cast<THeight>(H));
  return dib::Bits(Mask.Dib);
}

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

// The first column from C on whose pixel is not T, or W; eight columns at a time over runs of T.
std::int32_t SkipTransparent(const std::uint8_t* row, std::int32_t c, std::int32_t W, std::uint8_t T) {
  const std::uint64_t all = kEveryByte * T;
  for (std::uint64_t eight; c + 8 <= W; c += 8) {
    std::memcpy(&eight, row + c, sizeof eight);
    if (eight != all) break;
  }
  while (c < W && row[c] == T) ++c;
  return c;
}

// Whether a row holds more than Limit marks (bytes of 0 or 1). Blocks of 64 are summed in
// vector lanes; a row of letters passes the limit early and is not counted further.
bool MoreMarksThan(const std::uint8_t* marks, std::int32_t n, std::int32_t limit) {
  constexpr std::int32_t kBlock = 64;
  std::int32_t count = 0, c = 0;
  for (; c + kBlock <= n; c += kBlock) {
    std::uint8_t block = 0;  // at most 64 marks: no overflow
    for (std::int32_t k = 0; k < kBlock; ++k) block = static_cast<std::uint8_t>(block + marks[c + k]);
    count += block;
    if (count > limit) return true;
  }
  for (; c < n; ++c) count += marks[c];
  return count > limit;
}

// The runs of pixels other than T in a row, as start and stop columns, when there are at most a
// few. Held in place: rows are compared with the row before at every row.
struct Runs {
  static constexpr std::size_t kFew = 4;
  std::array<std::int32_t, 2 * kFew> bounds{};
  std::size_t count = 0;  // bounds used: two per run

  bool operator==(const Runs& other) const {
    if (count != other.count) return false;
    for (std::size_t i = 0; i < count; ++i)
      if (bounds[i] != other.bounds[i]) return false;
    return true;
  }
};

// Fills Found with the row's runs; false when there are more than a few.
bool FewRuns(const std::uint8_t* row, std::int32_t W, std::uint8_t T, Runs& found) {
  found.count = 0;
  for (std::int32_t c = 0; c < W;) {
    c = SkipTransparent(row, c, W, T);
    if (c == W) break;
    if (found.count == found.bounds.size()) return false;
    const void* end = std::memchr(row + c, T, static_cast<std::size_t>(W - c));
    const std::int32_t stop =
        end ? static_cast<std::int32_t>(static_cast<const std::uint8_t*>(end) - row) : W;
    found.bounds[found.count++] = c;
    found.bounds[found.count++] = stop;
    c = stop;
  }
  return true;
}

}  // namespace

void Create3DMask(tFulgoDib& Mask, const tFulgoDib& Src, efgDirection Direction, std::int16_t LineWidth,
                  std::uint8_t Colour, std::int16_t& OffX, std::int16_t& OffY) {
  const Step step = DirectionStep(Direction);
  const std::int32_t L = std::max<std::int32_t>(0, LineWidth);
  const std::int32_t W = Src.GetWidth(), H = Src.GetHeight();
  const std::int32_t MW = step.dx == 0 ? W : W + L;
  const std::int32_t MH = step.dy == 0 ? H : H + L;
  OffX = static_cast<std::int16_t>(step.dx < 0 ? -L : 0);
  OffY = static_cast<std::int16_t>(step.dy > 0 ? -L : 0);
  std::uint8_t* mask = FreshMask(Mask, Src, MW, MH);
  if (W == 0 || H == 0) return;

  const std::uint8_t T = Src.TransparentIndex;
  const std::ptrdiff_t srcStride = dib::RowStride(static_cast<std::uint32_t>(W));
  const std::ptrdiff_t maskStride = dib::RowStride(static_cast<std::uint32_t>(MW));
  // Src's origin inside the mask: the band needs room on the side it lies on.
  const std::int32_t originC = step.dx < 0 ? L : 0;
  const std::int32_t originR = step.dy < 0 ? L : 0;
  // One band pixel further along the direction, as an offset in the mask's raster.
  const std::ptrdiff_t along = step.dy * maskStride + step.dx;
  const bool diagonal = step.dx != 0 && step.dy != 0;
  const std::uint8_t* rows = dib::Bits(Src.Dib);

  // Per row, first mark the edge pixels (a pass the compiler vectorises). A row of few edges (a
  // filled object's) then draws a stroke from each, found by a search; a row of more (letters)
  // draws the band as whole-row passes over the marks, one per band pixel.
  std::vector<std::uint8_t> edge(static_cast<std::size_t>(W) + 1, 0), closing(static_cast<std::size_t>(W), 0);
  edge[static_cast<std::size_t>(W)] = 1;  // stops the search at the row's end
  for (std::int32_t r = 0; r < H; ++r) {
    const std::uint8_t* row = rows + r * srcStride;
    // Border rows are all edge; inner rows look at the neighbour row in the direction.
    if (r == 0 || r == H - 1) {
      for (std::int32_t c = 0; c < W; ++c) edge[static_cast<std::size_t>(c)] = row[c] != T;
    } else {
      const std::uint8_t* facing = rows + (r + step.dy) * srcStride + step.dx;
      for (std::int32_t c = 1; c < W - 1; ++c)
        edge[static_cast<std::size_t>(c)] = (row[c] != T) & (facing[c] == T);
      // Pixels on the border columns count as edges whatever the direction.
      edge[0] = row[0] != T;
      edge[static_cast<std::size_t>(W - 1)] = row[W - 1] != T;
    }
    std::uint8_t* at = mask + (r + originR) * maskStride + originC;
    // A diagonal band is a staircase: a second diagonal beside the first, from the edge pixels
    // that end a run, closes its holes.
    if (!MoreMarksThan(edge.data(), W, W / kStrokeRowRatio)) {
      const std::uint8_t* flags = edge.data();
      for (std::int32_t c = 0;; ++c) {
        const void* next = std::memchr(flags + c, 1, static_cast<std::size_t>(W + 1 - c));
        c = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(next) - flags);
        if (c == W) break;
        std::uint8_t* p = at + c;
        for (std::int32_t k = 1; k <= L; ++k) p[k * along] = Colour;
        if (diagonal && (c == W - 1 || row[c + 1] == T))
          for (std::int32_t k = 0; k < L; ++k) p[k * along + step.dy * maskStride] = Colour;
      }
      continue;
    }
    for (std::int32_t k = 1; k <= L; ++k)
      rowops::PaintWhere(at + k * along, edge.data(), static_cast<std::size_t>(W), Colour);
    if (!diagonal) continue;
    for (std::int32_t c = 0; c < W - 1; ++c)
      closing[static_cast<std::size_t>(c)] = edge[static_cast<std::size_t>(c)] & (row[c + 1] == T);
    closing[static_cast<std::size_t>(W - 1)] = edge[static_cast<std::size_t>(W - 1)];
    for (std::int32_t k = 0; k < L; ++k)
      rowops::PaintWhere(at + k * along + step.dy * maskStride, closing.data(), static_cast<std::size_t>(W),
                         Colour);
  }
}

void CreateForeFrameMask(tFulgoDib& Mask, const tFulgoDib& Src, std::int16_t LineWidth, std::int16_t& OffX,
                         std::int16_t& OffY, std::uint8_t Colour) {
  const std::int32_t L = std::max<std::int32_t>(0, LineWidth);
  const std::int32_t W = Src.GetWidth(), H = Src.GetHeight();
  const std::int32_t side = 2 * L + 1;
  OffX = OffY = static_cast<std::int16_t>(-L);
  std::uint8_t* mask = FreshMask(Mask, Src, W + 2 * L, H + 2 * L);
  if (W == 0 || H == 0) return;

  const std::uint8_t T = Src.TransparentIndex;
  const std::ptrdiff_t srcStride = dib::RowStride(static_cast<std::uint32_t>(W));
  const std::ptrdiff_t maskStride = dib::RowStride(static_cast<std::uint32_t>(W + 2 * L));
  const std::uint8_t* rows = dib::Bits(Src.Dib);

  // Each run of object pixels in a row covers the same columns, widened by 2L, in the 2L + 1 mask
  // rows from its own: one fill per run and row instead of one square per pixel. A row with the
  // runs of the row before has its first 2L mask rows filled already and adds only the last. A row
  // of many runs (letters) is widened as a whole instead, in vector passes over object marks.
  Runs runs, before;
  bool beforeKnown = false;
  const std::size_t maskWidth = static_cast<std::size_t>(W + 2 * L);
  // The marks sit 2L zeros in from both ends, so every mask column ORs 2L + 1 of them.
  std::vector<std::uint8_t> marks(static_cast<std::size_t>(W + 4 * L), 0), widened(maskWidth);
  for (std::int32_t r = 0; r < H; ++r) {
    const std::uint8_t* row = rows + r * srcStride;
    std::uint8_t* first = mask + r * maskStride;
    if (!FewRuns(row, W, T, runs)) {
      for (std::int32_t c = 0; c < W; ++c) marks[static_cast<std::size_t>(2 * L + c)] = row[c] != T;
      std::fill(widened.begin(), widened.end(), 0);
      for (std::int32_t j = 0; j < side; ++j)
        for (std::size_t c = 0; c < maskWidth; ++c) widened[c] |= marks[c + static_cast<std::size_t>(j)];
      for (std::int32_t k = 0; k < side; ++k)
        rowops::PaintWhere(first + k * maskStride, widened.data(), maskWidth, Colour);
      beforeKnown = false;
      continue;
    }
    const std::int32_t firstNew = beforeKnown && runs == before ? side - 1 : 0;
    for (std::size_t i = 0; i < runs.count; i += 2) {
      std::uint8_t* span = first + runs.bounds[i];
      for (std::int32_t k = firstNew; k < side; ++k)
        std::memset(span + k * maskStride, Colour,
                    static_cast<std::size_t>(runs.bounds[i + 1] - runs.bounds[i] + 2 * L));
    }
    std::swap(runs, before);
    beforeKnown = true;
  }
}

void CreateShadowMask(tFulgoDib& Mask, const tFulgoDib& Src, std::int16_t SizeX, std::int16_t SizeY,
                      std::int16_t Left, std::int16_t Top, std::int16_t& OffX, std::int16_t& OffY) {
  const std::int32_t W = Src.GetWidth(), H = Src.GetHeight();
  const std::int32_t limit = kMaxBitmapSide;
  const std::int32_t MW = std::clamp<std::int32_t>(W * SizeX / 100, 0, limit);
  const std::int32_t MH = std::clamp<std::int32_t>(H * SizeY / 100, 0, limit);
  OffX = Left;
  OffY = Clamp16(H + Top - MH);
  Mask.FreeDib();
  Mask.TransparentIndex = Src.TransparentIndex;
  // Scaling needs two pixels each way; a smaller shadow is no shadow.
  if (MW < 2 || MH < 2) return;
  Mask.MakeStretched(Src, static_cast<TWidth>(MW), static_cast<THeight>(MH));
}

}  // namespace vantora
