// Fails every test that leaves a block of the library's allocator alive: nQuant must be back where
// it was when the test started.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "core/uMemory.h"

namespace vantora::test_support {

class MemoryLeakCheck : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override { before_ = nQuant; }
  // Runs before the result printer's OnTestEnd (end events go to listeners in reverse order), so a
  // leak is reported as a failure of the test itself.
  void OnTestEnd(const ::testing::TestInfo&) override {
    const std::int32_t after = nQuant;
    EXPECT_EQ(after, before_) << "the test leaves " << (after - before_) << " memory block(s) alive";
  }

 private:
  std::int32_t before_ = 0;
};

// Appends the check to the listeners; call after InitGoogleTest.
inline void InstallMemoryLeakCheck() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new MemoryLeakCheck);
}

}  // namespace vantora::test_support
