#include "core/uMemory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

#include "host/classes/Errors.h"

namespace vantora {

std::int32_t nQuant = 0;

namespace {

constexpr std::size_t kPrefix = 2;

// At most this many freed large blocks, of at most this many bytes together, wait for reuse: the
// blocks of one large face, and no more.
constexpr std::size_t kSpareBlocks = 24;
constexpr std::size_t kSpareBytes = std::size_t{64} << 20;

struct Spare {
  void* address;
  std::size_t capacity;
};

struct Registry {
  std::vector<void*> large;             // MemControl: addresses in allocation order
  std::vector<std::size_t> sizes;       // size of each large block, for zero-filling on growth
  std::vector<std::size_t> capacities;  // bytes each large block really has
  std::unordered_set<void*> small;      // live small blocks, so a stray address is refused
  std::vector<Spare> spare;             // freed large blocks, oldest first
  std::size_t spareBytes = 0;
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

// The smallest spare block that holds Size bytes and wastes at most a quarter more, taken out of
// the spares; nullptr when none fits.
Spare TakeSpare(Registry& r, std::size_t size) {
  std::size_t best = r.spare.size();
  for (std::size_t i = 0; i < r.spare.size(); ++i) {
    const std::size_t capacity = r.spare[i].capacity;
    if (capacity >= size && capacity <= size + size / 4 &&
        (best == r.spare.size() || capacity < r.spare[best].capacity))
      best = i;
  }
  if (best == r.spare.size()) return {nullptr, 0};
  const Spare taken = r.spare[best];
  r.spare.erase(r.spare.begin() + static_cast<std::ptrdiff_t>(best));
  r.spareBytes -= taken.capacity;
  ASAN_UNPOISON_MEMORY_REGION(taken.address, taken.capacity);
  return taken;
}

// Keeps a freed large block for reuse, giving the oldest spares back to the system past the limits.
void KeepSpare(Registry& r, Spare block) {
  if (block.capacity > kSpareBytes) return std::free(block.address);
  try {
    r.spare.push_back(block);
  } catch (const std::bad_alloc&) {
    return std::free(block.address);
  }
  r.spareBytes += block.capacity;
  // A use after free still shows under the address sanitizer.
  ASAN_POISON_MEMORY_REGION(block.address, block.capacity);
  while (r.spare.size() > kSpareBlocks || r.spareBytes > kSpareBytes) {
    ASAN_UNPOISON_MEMORY_REGION(r.spare.front().address, r.spare.front().capacity);
    std::free(r.spare.front().address);
    r.spareBytes -= r.spare.front().capacity;
    r.spare.erase(r.spare.begin());
  }
}

void* GetLarge(Registry& r, std::size_t size, bool cleared) {
  Spare block = TakeSpare(r, size);
  if (block.address) {
    if (cleared) std::memset(block.address, 0, size);
  } else {
    block = {cleared ? std::calloc(size, 1) : std::malloc(size), size};
    if (!block.address) NotEnoughMemory();
  }
  try {
    r.large.reserve(r.large.size() + 1);
    r.sizes.reserve(r.large.size() + 1);
    r.capacities.reserve(r.large.size() + 1);
  } catch (const std::bad_alloc&) {
    std::free(block.address);
    NotEnoughMemory();
  }
  r.large.push_back(block.address);
  r.sizes.push_back(size);
  r.capacities.push_back(block.capacity);
  return block.address;
}

void* GetBlock(std::int32_t Size, bool cleared) {
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
    address = GetLarge(r, static_cast<std::size_t>(Size), cleared);
  }
  ++nQuant;
  return address;
}

}  // namespace

void* mGETMEM(std::int32_t Size) {
  return GetBlock(Size, true);
}

void mFREE(void* Address) {
  Registry& r = State();
  const std::ptrdiff_t index = LargeIndex(r, Address);
  if (index >= 0) {
    KeepSpare(r, {Address, r.capacities[static_cast<std::size_t>(index)]});
    r.large.erase(r.large.begin() + index);
    r.sizes.erase(r.sizes.begin() + index);
    r.capacities.erase(r.capacities.begin() + index);
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
    r.capacities[static_cast<std::size_t>(index)] = std::max<std::size_t>(newSize, 1);
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

MemBlock GetUnclearedBlock(std::int32_t Size) {
  return MemBlock(static_cast<std::uint8_t*>(GetBlock(Size, false)));
}

std::size_t SpareBlockCount() {
  return State().spare.size();
}

std::size_t SpareBlockBytes() {
  return State().spareBytes;
}

const std::vector<void*>& MemControl() {
  return State().large;
}

}  // namespace vantora
