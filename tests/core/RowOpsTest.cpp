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

// Each operation against its byte-by-byte meaning, over the same lengths and with the key bytes
// common, so that a run ending in bytes done twice shows any difference.
TEST(RowOps, EveryOperationDoesWhatItsBytesSayOverEveryLength) {
  std::mt19937 random(7);
  constexpr std::uint8_t k = 247, hit = 3, miss = 247, to = 9;
  const auto byte = [&] { return static_cast<std::uint8_t>(random() % 3 == 0 ? k : random()); };
  for (std::size_t n = 0; n <= 70; ++n) {
    std::vector<std::uint8_t> d(n + 1), a(n + 1), b(n + 1);
    for (std::size_t i = 0; i <= n; ++i) d[i] = byte(), a[i] = byte(), b[i] = byte();
    const auto check = [&](auto operation, auto meaning, const char* name) {
      std::vector<std::uint8_t> got = d, want = d;
      operation(got.data());
      for (std::size_t i = 0; i < n; ++i) want[i] = meaning(d[i], a[i], b[i]);
      ASSERT_EQ(got, want) << name << ", length " << n;
    };
    using B = std::uint8_t;
    check([&](B* p) { rowops::ReplaceByte(p, n, k, to); }, [](B x, B, B) { return x == k ? to : x; }, "Replace");
    check([&](B* p) { rowops::PaintExcept(p, n, k, to); }, [](B x, B, B) { return x == k ? k : to; }, "Paint");
    check([&](B* p) { rowops::SplitByte(p, n, k, hit, miss); }, [](B x, B, B) { return x == k ? hit : miss; },
          "Split");
    check([&](B* p) { rowops::FillThrough(p, a.data(), n, k); }, [](B x, B s, B) { return x == k ? x : s; },
          "FillThrough");
    check([&](B* p) { rowops::CopyExcept(p, a.data(), n, k); }, [](B x, B s, B) { return s == k ? x : s; },
          "CopyExcept");
    check([&](B* p) { rowops::Merge(p, a.data(), b.data(), n, k); }, [](B, B u, B l) { return u == k ? l : u; },
          "Merge");
  }
}

}  // namespace
}  // namespace vantora
