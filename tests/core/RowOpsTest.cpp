#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/RowOps.h"

namespace vantora {
namespace {

// Every length from empty to past two wide vectors, so the wide, narrow and single-byte steps
// and their joins are all crossed; the byte after the run must stay as it was.
TEST(RowOps, PaintWherePaintsFlaggedBytesOnlyAndNothingPastTheRun) {
  std::mt19937 random(5);
  for (std::size_t n = 0; n <= 70; ++n) {
    std::vector<std::uint8_t> dest(n + 1), flags(n + 1);
    for (std::size_t i = 0; i <= n; ++i) {
      dest[i] = static_cast<std::uint8_t>(random());
      flags[i] = random() % 3 == 0 ? 0 : static_cast<std::uint8_t>(random() | 1);
    }
    std::vector<std::uint8_t> expected = dest;
    for (std::size_t i = 0; i < n; ++i)
      if (flags[i] != 0) expected[i] = 200;
    rowops::PaintWhere(dest.data(), flags.data(), n, 200);
    ASSERT_EQ(dest, expected) << "length " << n;
  }
}

}  // namespace
}  // namespace vantora
