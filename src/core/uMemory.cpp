#include "core/uMemory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "host/classes/Errors.h"

namespace vantora {

std::int32_t nQuant = 0;

namespace {

constexpr std::size_t kPrefix = 2;

struct Registry {
  std::vector<void*> large;         // MemControl: addresses in allocation order
  std::vector<std::size_t> sizes;   // size of each large block, for zero-filling on growth
  std::unordered_set<void*> small;  // live small blocks, so a stray address is refused
};

// Never destroyed: blocks owned by objects with static lifetime are freed after every other static
// is gone, and must still be found.
Registry& State() {
  alignas(Registry) static unsigned char storage[sizeof(Registry)];
  static Registry* registry = new (storage) Registry;
  return *registry;
}

[[noreturn]] void NotEnoughMemory() {
  throw host::EOutOfMemory("Not enough memory");
}
[[noreturn]] void NotAllocated() {
  throw host::EOutOfMemory("Attempt free dont allocated memory");
}

std::ptrdiff_t LargeIndex(const Registry& r, void* address) {
  const auto it = std::find(r.large.begin(), r.large.end(), address);
  return it == r.large.end() ? -1 : it - r.large.begin();
}

std::uint16_t SmallPrefix(void* address) {
  std::uint16_t prefix;
  std::memcpy(&prefix, static_cast<unsigned char*>(address) - kPrefix, kPrefix);
  return prefix;
}

}  // namespace

void* mGETMEM(std::int32_t Size) {
  if (Size < 0) NotEnoughMemory();
  Registry& r = State();
  void* address;
  if (Size <= kSmallBlockLimit) {
    auto* raw = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(Size) + kPrefix));
    if (!raw) NotEnoughMemory();
    const auto prefix = static_cast<std::uint16_t>(Size + kPrefix);
    std::memcpy(raw, &prefix, kPrefix);
    address = raw + kPrefix;
    try {
      r.small.insert(address);
    } catch (const std::bad_alloc&) {
      std::free(raw);
      NotEnoughMemory();
    }
  } else {
    address = std::calloc(static_cast<std::size_t>(Size), 1);
    if (!address) NotEnoughMemory();
    try {
      r.large.push_back(address);
      r.sizes.push_back(static_cast<std::size_t>(Size));
    } catch (const std::bad_alloc&) {
      if (r.large.size() > r.sizes.size()) r.large.pop_back();
      std::free(address);
      NotEnoughMemory();
    }
  }
  ++nQuant;
  return address;
}

void mFREE(void* Address) {
  Registry& r = State();
  const std::ptrdiff_t index = LargeIndex(r, Address);
  if (index >= 0) {
    std::free(Address);
    r.large.erase(r.large.begin() + index);
    r.sizes.erase(r.sizes.begin() + index);
  } else {
    if (!Address || r.small.erase(Address) == 0) NotAllocated();
    std::free(static_cast<unsigned char*>(Address) - kPrefix);
  }
  --nQuant;
}

void* mREALLOC(void* Address, std::int32_t NewSize) {
  if (NewSize < 0) NotEnoughMemory();
  Registry& r = State();
  const std::ptrdiff_t index = LargeIndex(r, Address);
  if (index >= 0) {
    const std::size_t oldSize = r.sizes[static_cast<std::size_t>(index)];
    const std::size_t newSize = static_cast<std::size_t>(NewSize);
    // realloc of zero bytes may free the block; keep one byte so the block stays live.
    void* moved = std::realloc(Address, std::max<std::size_t>(newSize, 1));
    if (!moved) NotEnoughMemory();
    if (newSize > oldSize) std::memset(static_cast<unsigned char*>(moved) + oldSize, 0, newSize - oldSize);
    r.large[static_cast<std::size_t>(index)] = moved;
    r.sizes[static_cast<std::size_t>(index)] = newSize;
    return moved;
  }
  if (!Address || !r.small.contains(Address)) NotAllocated();
  const std::size_t oldSize = SmallPrefix(Address) - kPrefix;
  void* fresh = mGETMEM(NewSize);
  std::memcpy(fresh, Address, std::min(oldSize, static_cast<std::size_t>(NewSize)));
  mFREE(Address);
  return fresh;
}

MemBlock GetMemBlock(std::int32_t Size) {
  return MemBlock(static_cast<std::uint8_t*>(mGETMEM(Size)));
}

const std::vector<void*>& MemControl() {
  return State().large;
}

}  // namespace vantora
