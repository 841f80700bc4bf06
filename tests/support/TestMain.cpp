#include <gtest/gtest.h>

#include "support/MemoryLeakCheck.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  vantora::test_support::InstallMemoryLeakCheck();
  return RUN_ALL_TESTS();
}
