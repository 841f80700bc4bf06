#include "effects/Smartfn.h"

#include <array>
#include <cstring>
#include <vector>

#include "base/Fultype.h"
#include "core/DibLayout.h"

namespace vantora {

namespace {

using CountTable = std::array<std::uint8_t, 256>;

void CheckRadius(std::int32_t radius) {
  if (radius < 0 || radius > kMaxFuzz) throw EFulgoError("Ilegal Fuzz value");
}

// Adds the coverage of one source row to the column sums and takes away that of another (either
// may be null). The sums of one column never exceed 2r + 1, so bytes hold them.
void UpdateColumnSums(std::uint8_t* sums, const std::uint8_t* add, const std::uint8_t* sub, std::int32_t n) {
  if (add && sub) {
    for (std::int32_t c = 0; c < n; ++c)
      sums[c] =
          static_cast<std::uint8_t>(sums[c] + (add[c] != kTransparentIndex) - (sub[c] != kTransparentIndex));
  } else if (add) {
    for (std::int32_t c = 0; c < n; ++c)
      sums[c] = static_cast<std::uint8_t>(sums[c] + (add[c] != kTransparentIndex));
  } else if (sub) {
    for (std::int32_t c = 0; c < n; ++c)
      sums[c] = static_cast<std::uint8_t>(sums[c] - (sub[c] != kTransparentIndex));
  }
}

// The box count of S with radius r, each count written through Table (padding bytes get Table[0]).
// Two running sums: one per column down the rows, one along each row over the column sums, so the
// work per pixel is the same for every radius.
MemBlock CountedBlock(const std::uint8_t* S, std::int32_t r, const CountTable& table) {
  const std::int32_t w = dib::Width(S), h = dib::Height(S);
  const std::int32_t w2 = w + 2 * r, h2 = h + 2 * r, k = 2 * r + 1;
  if (w2 > kMaxBitmapSide || h2 > kMaxBitmapSide)
    throw EFulgoError("Bitmap size " + std::to_string(w2) + " x " + std::to_string(h2) +
                      " out of range (0.." + std::to_string(kMaxBitmapSide) + ")");
  tFulgoDib out;
  out.MakeNew(static_cast<TWidth>(w2), static_cast<THeight>(h2));

  const std::size_t sStride = dib::RowStride(static_cast<std::uint32_t>(w));
  const std::size_t oStride = dib::RowStride(static_cast<std::uint32_t>(w2));
  const std::uint8_t* src = dib::Bits(S);
  std::uint8_t* dst = dib::Bits(out.Dib);
  // Column sums sit at [2r, 2r + w) with zeros around them, so the window [x, x + 2r] of the row
  // sum never leaves the buffer.
  std::vector<std::uint8_t> line(static_cast<std::size_t>(w2 + 2 * r), 0);
  std::uint8_t* sums = line.data() + 2 * r;
  for (std::int32_t j = 0; j < h2; ++j) {
    const std::uint8_t* add = j < h ? src + static_cast<std::size_t>(j) * sStride : nullptr;
    const std::uint8_t* sub = j >= k ? src + static_cast<std::size_t>(j - k) * sStride : nullptr;
    UpdateColumnSums(sums, add, sub, w);

    std::uint8_t* row = dst + static_cast<std::size_t>(j) * oStride;
    std::uint32_t sum = 0;
    for (std::int32_t x = 0; x < 2 * r; ++x) sum += line[static_cast<std::size_t>(x)];
    for (std::int32_t x = 0; x < w2; ++x) {
      sum += line[static_cast<std::size_t>(x + 2 * r)];
      row[x] = table[sum];
      sum -= line[static_cast<std::size_t>(x)];
    }
    std::memset(row + w2, table[0], oStride - static_cast<std::size_t>(w2));
  }
  return out.ReleaseBlock();
}

}  // namespace

std::uint8_t* BuildBlurShadow(const std::uint8_t* S, std::int16_t Radius) {
  return BuildBlurShadowOwned(S, Radius).release();
}

MemBlock BuildBlurShadowOwned(const std::uint8_t* S, std::int16_t Radius) {
  CheckRadius(Radius);
  if (!S) throw ENoBMPInSource("No bmp in source");
  CountTable identity;
  for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<std::uint8_t>(i);
  return CountedBlock(S, Radius, identity);
}

void MakeDibFuzzed(tFulgoDib& Dib, std::span<const std::uint16_t> Indices, std::int16_t Radius) {
  CheckRadius(Radius);
  const std::int32_t n = FuzzColorCount(Radius);
  if (static_cast<std::int64_t>(Indices.size()) < n)
    throw EFulgoError("Fuzz needs " + std::to_string(n) + " colour indices, got " +
                      std::to_string(Indices.size()));
  if (Dib.Empty()) return;
  // Counts above n cannot occur; they stay transparent like count 0.
  CountTable table;
  table.fill(kTransparentIndex);
  for (std::int32_t i = 0; i < n; ++i)
    table[static_cast<std::size_t>(i + 1)] = static_cast<std::uint8_t>(Indices[i]);
  Dib.AdoptBlock(CountedBlock(Dib.Dib, Radius, table));
}

}  // namespace vantora
