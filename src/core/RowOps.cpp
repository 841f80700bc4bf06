#include "core/RowOps.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

// Each loop is written once over a lane type and built twice on x86-64: with 32-byte AVX2 vectors
// and with the 16-byte vectors every x86-64 has. The first call picks the one the processor runs.
#if defined(__x86_64__) && defined(__GNUC__)
#define VANTORA_ROWOPS_AVX2 1
#endif
#if defined(__GNUC__)
// The wide vectors never cross a call between translation units, so the ABI note does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#define VANTORA_INLINE inline __attribute__((always_inline))

namespace vantora::rowops {

namespace {

using V16 = std::uint8_t __attribute__((vector_size(16)));
using V32 = std::uint8_t __attribute__((vector_size(32)));

// The same lane operations on vectors and on single bytes.
template <class V>
VANTORA_INLINE V Load(const std::uint8_t* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class V>
VANTORA_INLINE void Store(std::uint8_t* p, V v) {
  std::memcpy(p, &v, sizeof v);
}
// The byte in every lane. GCC expands "V{} + b" lane by lane (32 byte inserts on every call) before
// this code is inlined where wide vectors are enabled, so there it is a shuffle of lane 0.
template <class V>
VANTORA_INLINE V Splat(std::uint8_t b) {
#if defined(__clang__)
  return V{} + b;
#else
  if constexpr (sizeof(V) == 1) {
    return b;
  } else {
    V v{};
    v[0] = b;
    return __builtin_shuffle(v, V{});
  }
#endif
}
// All ones where A equals B.
template <class V>
VANTORA_INLINE V Equal(V a, V b) {
  if constexpr (sizeof(V) == 1)
    return a == b ? 0xFF : 0;
  else
    return reinterpret_cast<V>(a == b);
}
template <class V>
VANTORA_INLINE V Select(V mask, V a, V b) {
  return static_cast<V>((a & mask) | (b & ~mask));
}

// Stores Lane(i) at D + i for every position: Wide lanes first, then 16 bytes, then single bytes.
// An operation whose lanes give the same bytes when done again over their own result (Again) ends
// a run of at least one vector with a last vector reaching back over bytes already done, rather
// than with up to 31 single bytes: a face's rows are short, and that tail was most of their time.
// The last vector is worked out before any store, so it never waits for one.
enum class Repeat { Again, Never };
template <class Wide, Repeat repeat = Repeat::Again, class Lane>
VANTORA_INLINE void Sweep(std::uint8_t* d, std::size_t n, Lane lane) {
  const auto sweep = [&](auto width) __attribute__((always_inline)) {
    using V = typename decltype(width)::type;
    const bool reachBack = repeat == Repeat::Again && n > sizeof(V) && n % sizeof(V) != 0;
    V last{};
    if (reachBack) last = lane(V{}, n - sizeof(V));
    std::size_t i = 0;
    for (; i + sizeof(V) <= n; i += sizeof(V)) Store(d + i, lane(V{}, i));
    if (reachBack) Store(d + n - sizeof(V), last);
    return reachBack ? n : i;
  };
  std::size_t i = n >= sizeof(Wide) ? sweep(std::type_identity<Wide>{}) : 0;
  if (i == n) return;
  if (i == 0) i = n >= sizeof(V16) ? sweep(std::type_identity<V16>{}) : 0;
  // Past the wide steps, or a run shorter than a vector: one narrow step, then bytes.
  for (; i + sizeof(V16) <= n; i += sizeof(V16)) Store(d + i, lane(V16{}, i));
  for (; i < n; ++i) d[i] = lane(std::uint8_t{}, i);
}

template <class W>
VANTORA_INLINE void ReplaceByteOf(std::uint8_t* p, std::size_t n, std::uint8_t from, std::uint8_t to) {
  Sweep<W>(p, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    const V v = Load<V>(p + i);
    return Select(Equal(v, Splat<V>(from)), Splat<V>(to), v);
  });
}

template <class W>
VANTORA_INLINE void PaintExceptOf(std::uint8_t* p, std::size_t n, std::uint8_t keep, std::uint8_t to) {
  Sweep<W>(p, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    return Select(Equal(Load<V>(p + i), Splat<V>(keep)), Splat<V>(keep), Splat<V>(to));
  });
}

template <class W>
VANTORA_INLINE void SplitByteOf(std::uint8_t* p, std::size_t n, std::uint8_t key, std::uint8_t hit,
                                std::uint8_t miss) {
  // A byte split to Miss may equal Key: splitting it again would make it Hit.
  Sweep<W, Repeat::Never>(p, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    return Select(Equal(Load<V>(p + i), Splat<V>(key)), Splat<V>(hit), Splat<V>(miss));
  });
}

template <class W>
VANTORA_INLINE void FillThroughOf(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key) {
  Sweep<W>(d, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    const V v = Load<V>(d + i);
    return Select(Equal(v, Splat<V>(key)), v, Load<V>(s + i));
  });
}

template <class W>
VANTORA_INLINE void CopyExceptOf(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key) {
  Sweep<W>(d, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    const V v = Load<V>(s + i);
    return Select(Equal(v, Splat<V>(key)), Load<V>(d + i), v);
  });
}

template <class W>
VANTORA_INLINE void PaintWhereOf(std::uint8_t* d, const std::uint8_t* flags, std::size_t n, std::uint8_t to) {
  Sweep<W>(d, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    return Select(Equal(Load<V>(flags + i), Splat<V>(0)), Load<V>(d + i), Splat<V>(to));
  });
}

template <class W>
VANTORA_INLINE void MergeOf(std::uint8_t* d, const std::uint8_t* upper, const std::uint8_t* lower,
                            std::size_t n, std::uint8_t key) {
  Sweep<W>(d, n, [=](auto lane, std::size_t i) __attribute__((always_inline)) {
    using V = decltype(lane);
    const V u = Load<V>(upper + i);
    return Select(Equal(u, Splat<V>(key)), Load<V>(lower + i), u);
  });
}

#ifdef VANTORA_ROWOPS_AVX2
#define VANTORA_AVX2 __attribute__((target("avx2")))
VANTORA_AVX2 void ReplaceByteAvx2(std::uint8_t* p, std::size_t n, std::uint8_t a, std::uint8_t b) {
  ReplaceByteOf<V32>(p, n, a, b);
}
VANTORA_AVX2 void PaintExceptAvx2(std::uint8_t* p, std::size_t n, std::uint8_t a, std::uint8_t b) {
  PaintExceptOf<V32>(p, n, a, b);
}
VANTORA_AVX2 void SplitByteAvx2(std::uint8_t* p, std::size_t n, std::uint8_t a, std::uint8_t b,
                                std::uint8_t c) {
  SplitByteOf<V32>(p, n, a, b, c);
}
VANTORA_AVX2 void FillThroughAvx2(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t k) {
  FillThroughOf<V32>(d, s, n, k);
}
VANTORA_AVX2 void CopyExceptAvx2(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t k) {
  CopyExceptOf<V32>(d, s, n, k);
}
VANTORA_AVX2 void PaintWhereAvx2(std::uint8_t* d, const std::uint8_t* f, std::size_t n, std::uint8_t to) {
  PaintWhereOf<V32>(d, f, n, to);
}
VANTORA_AVX2 void MergeAvx2(std::uint8_t* d, const std::uint8_t* u, const std::uint8_t* l, std::size_t n,
                            std::uint8_t k) {
  MergeOf<V32>(d, u, l, n, k);
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#define VANTORA_DISPATCH(name, ...)              \
  if (HasAvx2()) return name##Avx2(__VA_ARGS__); \
  name##Of<V16>(__VA_ARGS__)
#else
#define VANTORA_DISPATCH(name, ...) name##Of<V16>(__VA_ARGS__)
#endif

}  // namespace

void ReplaceByte(std::uint8_t* p, std::size_t n, std::uint8_t from, std::uint8_t to) {
  VANTORA_DISPATCH(ReplaceByte, p, n, from, to);
}

void PaintExcept(std::uint8_t* p, std::size_t n, std::uint8_t keep, std::uint8_t to) {
  VANTORA_DISPATCH(PaintExcept, p, n, keep, to);
}

void SplitByte(std::uint8_t* p, std::size_t n, std::uint8_t key, std::uint8_t hit, std::uint8_t miss) {
  VANTORA_DISPATCH(SplitByte, p, n, key, hit, miss);
}

void FillThrough(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key) {
  VANTORA_DISPATCH(FillThrough, d, s, n, key);
}

void CopyExcept(std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint8_t key) {
  VANTORA_DISPATCH(CopyExcept, d, s, n, key);
}

void PaintWhere(std::uint8_t* d, const std::uint8_t* flags, std::size_t n, std::uint8_t to) {
  VANTORA_DISPATCH(PaintWhere, d, flags, n, to);
}

void Merge(std::uint8_t* d, const std::uint8_t* upper, const std::uint8_t* lower, std::size_t n,
           std::uint8_t key) {
  VANTORA_DISPATCH(Merge, d, upper, lower, n, key);
}

void RepeatTile(std::uint8_t* d, std::size_t n, const std::uint8_t* tile, std::size_t tileWidth) {
  std::size_t filled = std::min(tileWidth, n);
  std::memcpy(d, tile, filled);
  // Doubling what is there already: a few long copies rather than one per tile.
  while (filled < n) {
    const std::size_t step = std::min(filled, n - filled);
    std::memcpy(d + filled, d, step);
    filled += step;
  }
}

}  // namespace vantora::rowops
