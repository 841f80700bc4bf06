// An owner that counts the rebuild notices that reach it.
#pragma once

#include "base/Fultype.h"

namespace vantora::test {

class RebuildCounter : public tFulgoPersistent {
 public:
  RebuildCounter() : tFulgoPersistent(nullptr) {}
  void Rebuild() override { ++count; }
  int count = 0;
};

}  // namespace vantora::test
