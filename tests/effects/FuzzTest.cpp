#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Fultype.h"
#include "core/DibLayout.h"
#include "core/uMemory.h"
#include "effects/Smartfn.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using Rows = std::vector<std::string>;

// The count at displayed (x, y) of a block.
int CountAt(const std::uint8_t* block, int x, int y) {
  const std::size_t stride = dib::RowStride(dib::Width(block));
  return dib::Bits(block)[static_cast<std::size_t>(dib::Height(block) - 1 - y) * stride + x];
}

TEST(Fuzz, CountsMatchASquareCountAtEveryRadiusAndEdge) {
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  // A full square (whose counts are the products of the profiles 1, 2, 3, 2, 1 at radius 1), and
  // shapes of awkward sizes with holes.
  std::vector<Rows> shapes = {{"###", "###", "###"}};
  for (const auto& [w, h] : {std::pair{1, 1}, std::pair{13, 7}, std::pair{1, 9}, std::pair{30, 4}}) {
    Rows rows(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), '.'));
    for (auto& row : rows)
      for (char& c : row) c = next() % 3 ? '5' : '.';
    shapes.push_back(rows);
  }
  for (const Rows& rows : shapes) {
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    for (std::int16_t r = 0; r <= kMaxFuzz; ++r) {
      tFulgoDib body;
      Paint(body, rows, 99);  // padding must not count
      const MemBlock owner = BuildBlurShadowOwned(body.Dib, r);
      const std::uint8_t* blur = owner.get();
      ASSERT_EQ(dib::Width(blur), w + 2 * r);
      ASSERT_EQ(dib::Height(blur), h + 2 * r);
      for (int y = 0; y < h + 2 * r; ++y)
        for (int x = 0; x < w + 2 * r; ++x) {
          int want = 0;
          for (int sy = std::max(0, y - 2 * r); sy <= std::min(y, h - 1); ++sy)
            for (int sx = std::max(0, x - 2 * r); sx <= std::min(x, w - 1); ++sx) want += rows[sy][sx] != '.';
          ASSERT_EQ(CountAt(blur, x, y), want) << w << "x" << h << " r " << r << " at " << x << "," << y;
        }
      EXPECT_EQ(Picture(body), rows);  // read, not consumed
    }
  }
}

TEST(Fuzz, CountsBecomeFuzzIndices) {
  tFulgoDib body;
  Paint(body, {"##.", "###"});
  // Count k shows the low byte of index k - 1; count 0 stays transparent, padding too.
  std::vector<std::uint16_t> indices(9);
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint16_t>(0x100 + i + 1);
  MakeDibFuzzed(body, indices, 1);
  EXPECT_EQ(Picture(body), (Rows{"1221.", "24531", "24531", "12321"}));
  EXPECT_EQ(dib::Bits(body.Dib)[5], kTransparentIndex);

  for (std::int16_t r : {std::int16_t{8}, std::int16_t{-1}}) {
    EXPECT_TRUE(test::Raises<EFulgoError>([&] { BuildBlurShadow(body.Dib, r); }, "Ilegal Fuzz value"));
  }
  indices.resize(24);  // radius 2 needs 25
  EXPECT_THROW(MakeDibFuzzed(body, indices, 2), EFulgoError);
  EXPECT_EQ(body.GetWidth(), 5);
  tFulgoDib wide;
  wide.MakeEmpty(kMaxBitmapSide, 1);
  EXPECT_THROW(BuildBlurShadow(wide.Dib, 1), EFulgoError);
}

}  // namespace
}  // namespace vantora
