#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "core/uMemory.h"
#include "host/classes/Errors.h"
#include "support/Raises.h"

namespace vantora {
namespace {

bool Registered(void* address) {
  const auto& list = MemControl();
  return std::find(list.begin(), list.end(), address) != list.end();
}

std::string FreeError(void* address) {
  try {
    mFREE(address);
  } catch (const host::EOutOfMemory& e) {
    return e.Message();
  }
  return "no error";
}

TEST(Memory, BlockOwnersFreeOnEveryExitAndHandOverOnRelease) {
  const std::int32_t before = nQuant;
  void* large = nullptr;
  try {
    const MemBlock block = GetMemBlock(70000);
    large = block.get();
    EXPECT_EQ(nQuant, before + 1);
    throw host::EReadError("after the allocation");
  } catch (const host::EReadError&) {
  }
  EXPECT_EQ(nQuant, before);
  EXPECT_FALSE(Registered(large));

  MemBlock small = GetMemBlock(10);
  MemBlock moved = std::move(small);
  EXPECT_FALSE(small);
  std::uint8_t* raw = moved.release();
  EXPECT_EQ(nQuant, before + 1);
  mFREE(raw);
  EXPECT_EQ(nQuant, before);
  EXPECT_THROW(GetMemBlock(-1), host::EOutOfMemory);
  EXPECT_EQ(nQuant, before);
}

TEST(Memory, SmallBlocksCarryASizePrefixAndLargeOnesAreZeroedAndRegistered) {
  const std::int32_t before = nQuant;
  auto* small = static_cast<std::uint8_t*>(mGETMEM(61440));
  std::uint16_t prefix;
  std::memcpy(&prefix, small - 2, 2);
  EXPECT_EQ(prefix, 61442);
  EXPECT_FALSE(Registered(small));

  auto* large = static_cast<std::uint8_t*>(mGETMEM(61441));
  EXPECT_TRUE(Registered(large));
  EXPECT_TRUE(std::all_of(large, large + 61441, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(nQuant, before + 2);

  mFREE(small);
  mFREE(large);
  EXPECT_FALSE(Registered(large));
  EXPECT_EQ(nQuant, before);
}

TEST(Memory, FreeingALargeBlockRemovesExactlyItsEntry) {
  const std::size_t listed = MemControl().size();
  void* a = mGETMEM(70000);
  void* b = mGETMEM(80000);
  void* c = mGETMEM(90000);
  void* small = mGETMEM(10);
  mFREE(b);
  ASSERT_EQ(MemControl().size(), listed + 2);
  EXPECT_EQ(MemControl()[listed], a);
  EXPECT_EQ(MemControl()[listed + 1], c);
  mFREE(small);  // not in the list: freed as a small block
  EXPECT_EQ(MemControl().size(), listed + 2);
  mFREE(a);
  mFREE(c);
  EXPECT_EQ(MemControl().size(), listed);
}

TEST(Memory, FreeingWhatIsNotALiveBlockRaisesAndChangesNothing) {
  const std::int32_t before = nQuant;
  auto* live = static_cast<std::uint8_t*>(mGETMEM(16));
  std::memset(live, 0x5A, 16);
  std::uint8_t onStack[8] = {};
  void* freed = mGETMEM(32);
  mFREE(freed);

  const std::string expected = "Attempt free dont allocated memory";
  EXPECT_EQ(FreeError(onStack + 2), expected);
  EXPECT_EQ(FreeError(nullptr), expected);
  EXPECT_EQ(FreeError(freed), expected);     // freed twice
  EXPECT_EQ(FreeError(live + 4), expected);  // inside a live block
  EXPECT_EQ(nQuant, before + 1);

  // The live block is intact and still released normally.
  EXPECT_TRUE(std::all_of(live, live + 16, [](std::uint8_t b) { return b == 0x5A; }));
  mFREE(live);
  EXPECT_EQ(nQuant, before);
  EXPECT_EQ(FreeError(live), expected);
  EXPECT_EQ(nQuant, before);
}

TEST(Memory, ReallocKeepsContentsAcrossBothKinds) {
  const std::int32_t before = nQuant;
  auto* p = static_cast<std::uint8_t*>(mGETMEM(100));
  for (int i = 0; i < 100; ++i) p[i] = static_cast<std::uint8_t>(i);
  p = static_cast<std::uint8_t*>(mREALLOC(p, 200));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(p[i], i);
  p = static_cast<std::uint8_t*>(mREALLOC(p, 50));
  for (int i = 0; i < 50; ++i) ASSERT_EQ(p[i], i);
  EXPECT_EQ(nQuant, before + 1);

  // A small block grown past the limit becomes a registered large one.
  p = static_cast<std::uint8_t*>(mREALLOC(p, 70000));
  EXPECT_TRUE(Registered(p));
  for (int i = 0; i < 50; ++i) ASSERT_EQ(p[i], i);
  std::memset(p + 50, 0xEE, 70000 - 50);

  // A large block keeps its registry entry when it moves, and its new bytes are zero.
  p = static_cast<std::uint8_t*>(mREALLOC(p, 300000));
  EXPECT_TRUE(Registered(p));
  EXPECT_EQ(p[69999], 0xEE);
  EXPECT_TRUE(std::all_of(p + 70000, p + 300000, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(nQuant, before + 1);
  mFREE(p);
  EXPECT_FALSE(Registered(p));
  EXPECT_EQ(nQuant, before);

  std::uint8_t stray[4];
  EXPECT_THROW(mREALLOC(stray, 10), host::EOutOfMemory);
  EXPECT_EQ(nQuant, before);
}

TEST(Memory, FreedLargeBlocksServeTheNextRequestOfTheirSizeZeroedOrAsTheyAre) {
  const std::int32_t before = nQuant;
  constexpr std::int32_t kSize = 123457;
  auto* first = static_cast<std::uint8_t*>(mGETMEM(kSize));
  std::memset(first, 0xAB, kSize);
  mFREE(first);
  EXPECT_EQ(FreeError(first), "Attempt free dont allocated memory") << "a kept block is not live";
  EXPECT_FALSE(Registered(first));

  // Zero-filled again for mGETMEM, and registered as a live block.
  auto* again = static_cast<std::uint8_t*>(mGETMEM(kSize));
  ASSERT_EQ(again, first);
  EXPECT_TRUE(Registered(again));
  EXPECT_TRUE(std::all_of(again, again + kSize, [](std::uint8_t b) { return b == 0; }));
  std::memset(again, 0xCD, kSize);
  mFREE(again);

  // A slightly smaller request takes it without clearing; a much smaller one does not take it.
  MemBlock half = GetUnclearedBlock(kSize / 2);
  EXPECT_NE(half.get(), first);
  MemBlock uncleared = GetUnclearedBlock(kSize - 1000);
  ASSERT_EQ(uncleared.get(), first);
  EXPECT_EQ(uncleared[kSize - 1001], 0xCD);
  EXPECT_EQ(nQuant, before + 2);

  // Growing a block that was kept still zero-fills what it adds.
  auto* grown = static_cast<std::uint8_t*>(mREALLOC(uncleared.release(), kSize + 5000));
  EXPECT_EQ(grown[0], 0xCD);
  EXPECT_TRUE(std::all_of(grown + kSize - 1000, grown + kSize + 5000, [](std::uint8_t b) { return b == 0; }));
  mFREE(grown);
  half.reset();
  EXPECT_EQ(nQuant, before);
}

TEST(Memory, KeptBlocksStayWithinTheirLimits) {
  std::vector<void*> blocks;
  for (int i = 0; i < 40; ++i) blocks.push_back(mGETMEM(70000 + 4096 * i));
  for (void* block : blocks) mFREE(block);
  EXPECT_LE(SpareBlockCount(), 24u);
  std::vector<void*> huge;
  for (int i = 0; i < 3; ++i) huge.push_back(mGETMEM(30 << 20));
  for (void* block : huge) mFREE(block);
  EXPECT_LE(SpareBlockBytes(), std::size_t{64} << 20);
  EXPECT_GE(SpareBlockBytes(), std::size_t{30} << 20) << "the last one freed is kept";
  void* tooLarge = mGETMEM(65 << 20);
  const std::size_t kept = SpareBlockBytes();
  mFREE(tooLarge);
  EXPECT_EQ(SpareBlockBytes(), kept) << "a block past the byte limit is given back at once";
}

TEST(Memory, ImpossibleSizesRaiseNotEnoughMemory) {
  const std::int32_t before = nQuant;
  EXPECT_TRUE(test::Raises<host::EOutOfMemory>([&] { mGETMEM(-1); }, "Not enough memory"));
  EXPECT_EQ(nQuant, before);
}

}  // namespace
}  // namespace vantora
