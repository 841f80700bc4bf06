#include <gtest/gtest.h>

#include <cstdlib>

#include "support/MemoryLeakCheck.h"

int main(int argc, char** argv) {
  // Tests run headless and read the build tree's settings, never the user's own, unless a run asks
  // otherwise.
  setenv("VANTORA_BACKEND", "headless", 0);
  setenv("VANTORA_INI", VANTORA_TEST_INI, 0);
  ::testing::InitGoogleTest(&argc, argv);
  vantora::test_support::InstallMemoryLeakCheck();
  return RUN_ALL_TESTS();
}
