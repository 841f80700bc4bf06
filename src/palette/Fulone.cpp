#include "palette/Fulone.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <string>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "base/Fultype.h"
#include "core/DibLayout.h"
#include "core/LogPalette.h"
#include "host/classes/Errors.h"
#include "host/graphics/Gdi.h"
#include "palette/PaletteRefinement.h"

namespace vantora {

namespace {

static_assert(sizeof(tFulgoOnePalette::TEntry) == 4, "Palette is copied as a colour table");

constexpr std::int32_t kRecordGrowth = 1024;
constexpr std::int32_t kFreshRecords = 1024;
// Room for a face's first 256 colours: clearing a larger index at every render costs more than
// growing it for the rare picture that needs it.
constexpr std::size_t kFreshIndexSlots = 512;
constexpr std::int32_t kFreshFixBrushes = 200;
// Bitmaps a face registers without moving the maps of those before.
constexpr std::size_t kFreshDibMaps = 8;

[[noreturn]] void NotEnoughMemory() {
  throw host::EOutOfMemory("Not enough memory");
}
[[noreturn]] void NoBitmap() {
  throw ENoBMPInSource("No bmp in source");
}

std::uint32_t ColorKey(const std::uint8_t* color) {
  return dib::Get32(color);
}

// A full mix of the 32 bits, so that regular colour sequences (a gradient's table) spread evenly.
std::size_t Slot(std::uint32_t key, std::size_t mask) {
  std::uint32_t h = key;
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h & mask;
}

// A multiplicative hash to Bits bits: enough to spread the at most 256 colours of a palette.
std::size_t FibonacciSlot(std::uint32_t key, int bits) {
  return (key * 0x9E3779B1u) >> (32 - bits);
}

std::uint8_t Channel(std::uint32_t value, int shift) {
  return static_cast<std::uint8_t>(value >> shift);
}

// An entry as a colour-table value: blue in the low byte, the flag in the high one.
std::uint32_t EntryValue(const tFulgoOnePalette::TEntry& e) {
  return e.Blue | std::uint32_t{e.Green} << 8 | std::uint32_t{e.Red} << 16 | std::uint32_t{e.Flag} << 24;
}

// One table lookup per byte: about a byte per cycle.
void RemapBytesScalar(std::uint8_t* bits, std::size_t count, const std::uint8_t* map) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const std::uint8_t a = map[bits[i]], b = map[bits[i + 1]], c = map[bits[i + 2]], d = map[bits[i + 3]];
    bits[i] = a, bits[i + 1] = b, bits[i + 2] = c, bits[i + 3] = d;
  }
  for (; i < count; ++i) bits[i] = map[bits[i]];
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VANTORA_REMAP_VBMI 1
// With byte permutes the whole 256-entry table sits in four registers and 64 bytes are mapped at
// once, as fast as they can be copied: two 128-entry lookups, chosen by each byte's high bit.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void RemapBytesVbmi(std::uint8_t* bits,
                                                                           std::size_t count,
                                                                           const std::uint8_t* map) {
  const __m512i t0 = _mm512_loadu_si512(map), t1 = _mm512_loadu_si512(map + 64);
  const __m512i t2 = _mm512_loadu_si512(map + 128), t3 = _mm512_loadu_si512(map + 192);
  std::size_t i = 0;
  for (; i + 64 <= count; i += 64) {
    const __m512i x = _mm512_loadu_si512(bits + i);
    const __m512i low = _mm512_permutex2var_epi8(t0, x, t1);
    const __m512i high = _mm512_permutex2var_epi8(t2, x, t3);
    _mm512_storeu_si512(bits + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high));
  }
  RemapBytesScalar(bits + i, count - i, map);
}
#endif

using TRemap = void (*)(std::uint8_t*, std::size_t, const std::uint8_t*);

TRemap ChooseRemap() {
#ifdef VANTORA_REMAP_VBMI
  if (__builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw")) return RemapBytesVbmi;
#endif
  return RemapBytesScalar;
}

void RemapBytes(std::uint8_t* bits, std::size_t count, const std::uint8_t* map) {
  static const TRemap remap = ChooseRemap();
  remap(bits, count, map);
}

}  // namespace

// --- life -------------------------------------------------------------------------------------

tFulgoOnePalette::tFulgoOnePalette() try
    : DibMaps(1), FixBrushes(kFreshFixBrushes, 0), Colors(kFreshRecords) {
  static const TIndexSlot clearedIndex[kFreshIndexSlots] = {};
  colorIndex_.assign(std::begin(clearedIndex), std::end(clearedIndex));
  DibMaps.reserve(kFreshDibMaps);
} catch (const std::bad_alloc&) {
  NotEnoughMemory();
}

tFulgoOnePalette::~tFulgoOnePalette() = default;

// --- registration -----------------------------------------------------------------------------

int tFulgoOnePalette::BrushRoom() const {
  if (Reserved < 0 || Reserved > kMaxReduced || MaxColors < 0)
    throw EFulgoError("Palette entry counts out of range: Reserved " + std::to_string(Reserved) + " (0.." +
                      std::to_string(kMaxReduced) + "), MaxColors " + std::to_string(MaxColors));
  return std::min<int>(MaxColors, kMaxReduced - Reserved);
}

std::uint16_t tFulgoOnePalette::AddFixBrush(TColor Color) {
  const TColor color = RGBToTColor(Color) & 0x00FFFFFF;
  std::uint8_t word[4];
  dib::Put32(word, static_cast<std::uint32_t>(color));
  const bool repeated = Repeats(kFixBrushWord, word, 1);
  return PlaceFixBrush(color, repeated ? repeatedFixCount_ : FixCount, !repeated);
}

std::uint16_t tFulgoOnePalette::PlaceFixBrush(TColor Color, std::int16_t& Count, bool Record) {
  for (int k = 0; k < Count; ++k)
    if (FixBrushes[static_cast<std::size_t>(k)] == Color)
      return static_cast<std::uint16_t>(kLowStaticEntries + Reserved + k);
  const int room = BrushRoom();
  if (Count >= room)
    throw EFulgoError("Palette has no entry left for another brush colour: all " + std::to_string(room) +
                      " are taken");
  if (Record) {
    Forget();
    try {
      if (static_cast<std::size_t>(Count) == FixBrushes.size())
        FixBrushes.resize(static_cast<std::size_t>(room), 0);
    } catch (const std::bad_alloc&) {
      NotEnoughMemory();
    }
    FixBrushes[static_cast<std::size_t>(Count)] = Color;
  }
  return static_cast<std::uint16_t>(kLowStaticEntries + Reserved + Count++);
}

void tFulgoOnePalette::GrowRecords() {
  if (static_cast<std::int32_t>(Colors.size()) - ColorCount >= 256) return;
  if (static_cast<std::int64_t>(Colors.size()) + kRecordGrowth > INT32_MAX) NotEnoughMemory();
  Colors.resize(Colors.size() + kRecordGrowth);
}

// Keeps the index at most half full after 256 more records.
void tFulgoOnePalette::GrowIndex() {
  const std::size_t needed = 2 * (static_cast<std::size_t>(ColorCount) + 256);
  if (colorIndex_.size() >= needed) return;
  std::size_t size = colorIndex_.size();
  while (size < needed) size *= 2;
  std::vector<TIndexSlot> index(size, TIndexSlot{0, 0});
  const std::size_t mask = size - 1;
  for (std::int32_t n = 0; n < ColorCount; ++n) {
    const std::uint32_t key = ColorKey(Colors[static_cast<std::size_t>(n)].Color);
    std::size_t s = Slot(key, mask);
    while (index[s].Record != 0) s = (s + 1) & mask;
    index[s] = TIndexSlot{key, n + 1};
  }
  colorIndex_.swap(index);
}

void tFulgoOnePalette::PrepareForColors() {
  try {
    GrowRecords();
    GrowIndex();
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
}

// Room for the new record is made beforehand by PrepareForColors.
std::int32_t tFulgoOnePalette::FindOrAddColor(const std::uint8_t* Color) {
  const std::uint32_t key = ColorKey(Color);
  const std::size_t mask = colorIndex_.size() - 1;
  std::size_t s = Slot(key, mask);
  for (; colorIndex_[s].Record != 0; s = (s + 1) & mask)
    if (colorIndex_[s].Key == key) return colorIndex_[s].Record - 1;
  const std::int32_t n = ColorCount++;
  TColorRecord& record = Colors[static_cast<std::size_t>(n)];
  std::memcpy(record.Color, Color, 4);
  record.Number = n;
  record.Next = n + 1;
  colorIndex_[s] = TIndexSlot{key, n + 1};
  return n;
}

void tFulgoOnePalette::AddBrush(std::uint32_t Color) {
  std::uint8_t bytes[4];
  dib::Put32(bytes, Color);
  if (!Repeats(kBrushWord, bytes, 1)) RecordBrush(bytes);
}

void tFulgoOnePalette::RecordBrush(const std::uint8_t* Color) {
  Forget();
  PrepareForColors();
  FindOrAddColor(Color);
}

std::uint16_t tFulgoOnePalette::AddDib(const tFulgoDib& Dib) {
  if (Dib.Empty()) NoBitmap();
  return AddColorTable(dib::ColorTable(Dib.Dib));
}

std::uint16_t tFulgoOnePalette::AddColorTable(const std::uint8_t* Table) {
  if ((repeating_ ? repeatedDibCount_ : DibCount) >= kMaxDibs)
    throw EFulgoError("Palette takes at most " + std::to_string(kMaxDibs) + " bitmaps");
  if (Repeats(kTableWord, Table, 256)) return static_cast<std::uint16_t>(++repeatedDibCount_);
  RecordColorTable(Table);
  return static_cast<std::uint16_t>(DibCount);
}

void tFulgoOnePalette::RecordColorTable(const std::uint8_t* Table) {
  Forget();
  PrepareForColors();
  try {
    DibMaps.resize(static_cast<std::size_t>(DibCount) + 2);
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
  TDibMap& map = DibMaps[static_cast<std::size_t>(DibCount) + 1];
  // A table's unused tail repeats one entry: a repeat has the record of the entry before it.
  map[0] = FindOrAddColor(Table);
  for (std::size_t j = 1; j < 256; ++j)
    map[j] =
        ColorKey(Table + 4 * j) == ColorKey(Table + 4 * (j - 1)) ? map[j - 1] : FindOrAddColor(Table + 4 * j);
  ++DibCount;
}

// --- repeating the last build -----------------------------------------------------------------

bool tFulgoOnePalette::TBuildInputs::operator==(const TBuildInputs& Other) const {
  return Reserved == Other.Reserved && MaxColors == Other.MaxColors && ExactMap == Other.ExactMap &&
         RefinePasses == Other.RefinePasses &&
         std::memcmp(System.data(), Other.System.data(), sizeof System) == 0;
}

void tFulgoOnePalette::Forget() {
  builtFrom_.reset();
  rasterMaps_.clear();
}

void tFulgoOnePalette::Restart() {
  registered_.clear();
  repeatedFixCount_ = 0;
  repeatedDibCount_ = 0;
  repeating_ = builtFrom_.has_value();
  if (!repeating_) ClearRecords();
}

bool tFulgoOnePalette::Repeats(TRegistration Kind, const std::uint8_t* Words, std::size_t Count) {
  const std::size_t at = registered_.size();
  try {
    registered_.resize(at + 1 + Count);
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
  registered_[at] = Kind;
  std::memcpy(registered_.data() + at + 1, Words, 4 * Count);
  if (!repeating_) return false;
  if (registered_.size() <= built_.size() &&
      std::memcmp(registered_.data() + at, built_.data() + at, 4 * (1 + Count)) == 0)
    return true;
  RecordAgain(at);
  return false;
}

void tFulgoOnePalette::RecordAgain(std::size_t Words) {
  repeating_ = false;
  ClearRecords();
  for (std::size_t at = 0; at < Words;) {
    const std::uint32_t kind = registered_[at++];
    const auto* words = reinterpret_cast<const std::uint8_t*>(registered_.data() + at);
    if (kind == kTableWord) {
      RecordColorTable(words);
      at += 256;
    } else {
      if (kind == kFixBrushWord)
        PlaceFixBrush(static_cast<TColor>(registered_[at]), FixCount, true);
      else
        RecordBrush(words);
      at += 1;
    }
  }
}

void tFulgoOnePalette::ClearRecords() {
  Forget();
  ColorCount = 0;
  DibCount = 0;
  FixCount = 0;
  DibMaps.resize(1);
  ColorMap.clear();
  std::fill(colorIndex_.begin(), colorIndex_.end(), TIndexSlot{0, 0});
}

// --- building ---------------------------------------------------------------------------------

void tFulgoOnePalette::BuildPalette() {
  TBuildInputs inputs{Reserved, MaxColors, ExactMap, RefinePasses, {}};
  ReadSystemPalette(inputs.System.data());
  if (repeating_) {
    repeating_ = false;
    if (registered_.size() == built_.size() && builtFrom_ == inputs) {
      MaxColors = static_cast<std::int16_t>(BrushRoom());
      MakePaletteHandle(inputs.System.data());
      return;
    }
    RecordAgain(registered_.size());
  }
  Forget();
  const int room = BrushRoom();
  MaxColors = static_cast<std::int16_t>(room);
  const int free = MaxColors - FixCount;
  if (ColorCount > 0 && free < 1)
    throw EFulgoError("Palette has no entry left for the bitmaps' colours: " + std::to_string(FixCount) +
                      " brush colours take all " + std::to_string(MaxColors));

  TReducedColors reduced{};
  UseMedianCut = 0;
  ColorMap.clear();
  if (ColorCount > 0 && free < ColorCount) {
    UseMedianCut = 255;
    reduced = MedianCut(free);
    if (RefinePasses > 0) Refine(reduced);
  }

  const std::array<host::PALETTEENTRY, 256>& system = inputs.System;
  Palette.fill(TEntry{0, 0, 0, 0});
  for (int i = 0; i < 256; ++i) {
    if (i >= kLowStaticEntries && i < kHighStaticFirst) continue;
    const host::PALETTEENTRY& e = system[static_cast<std::size_t>(i)];
    Palette[static_cast<std::size_t>(i)] = TEntry{e.peBlue, e.peGreen, e.peRed, 0};
  }
  int next = kLowStaticEntries + Reserved;
  for (int k = 0; k < FixCount; ++k) {
    const auto c = static_cast<std::uint32_t>(FixBrushes[static_cast<std::size_t>(k)]);
    Palette[static_cast<std::size_t>(next++)] = TEntry{Channel(c, 16), Channel(c, 8), Channel(c, 0), 4};
  }
  if (UseMedianCut) {
    for (int i = 0; i < free; ++i) {
      const TRGBTriple& c = reduced[static_cast<std::size_t>(i)];
      Palette[static_cast<std::size_t>(next++)] = TEntry{c.Blue, c.Green, c.Red, 0};
    }
  } else {
    for (std::int32_t i = 0; i < ColorCount; ++i) {
      const std::uint8_t* c = Colors[static_cast<std::size_t>(i)].Color;
      Palette[static_cast<std::size_t>(next++)] = TEntry{c[0], c[1], c[2], 0};
    }
  }
  MakePaletteHandle(system.data());
  built_ = registered_;
  builtFrom_ = inputs;
}

tFulgoOnePalette::TReducedColors tFulgoOnePalette::MedianCut(int N) {
  if (N < 1 || N > kMaxReduced)
    throw EFulgoError("Median cut into " + std::to_string(N) + " boxes (1.." + std::to_string(kMaxReduced) +
                      ")");
  try {
    ColorMap.assign(static_cast<std::size_t>(ColorCount), 0);
    work_.resize(static_cast<std::size_t>(ColorCount));
    scratch_.resize(static_cast<std::size_t>(ColorCount));
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
  if (ColorCount == 0) return TReducedColors{};

  // Box 0 holds the records in registration order.
  for (std::int32_t i = 0; i < ColorCount; ++i)
    work_[static_cast<std::size_t>(i)] = TWork{ColorKey(Colors[static_cast<std::size_t>(i)].Color), i};
  Boxes[0] = TBox{0, ColorCount, 0, 0, 0, 0, 0, 0, 0};
  boxStart_[0] = 0;
  MeasureRun(0);
  int made = 1;
  TBoxCursor cursor;
  while (made < N) {
    const int chosen = ChooseBox(cursor, made, N);
    if (chosen < 0) break;
    SplitBox(chosen, made);
    cursor.TopLevel = std::max<int>(cursor.TopLevel, Boxes[static_cast<std::size_t>(made)].Level);
    ++made;
  }
  LinkBoxes(made);
  cutBoxes_ = made;
  return MapBoxes(made);
}

// The least split box that can still be split, the lowest number on equal levels. A split leaves
// both halves one level up, so the boxes at the lowest level are taken in number order: a cursor
// moving forward through the boxes of Level, then through those of Level + 1, finds the same box
// as a search of all boxes would.
int tFulgoOnePalette::ChooseBox(TBoxCursor& Cursor, int B, int N) const {
  for (; Cursor.Level < N && Cursor.Level <= Cursor.TopLevel; ++Cursor.Level, Cursor.Next = 0) {
    for (; Cursor.Next < B; ++Cursor.Next) {
      const TBox& box = Boxes[static_cast<std::size_t>(Cursor.Next)];
      const bool spread =
          box.RedMin != box.RedMax || box.GreenMin != box.GreenMax || box.BlueMin != box.BlueMax;
      if (spread && box.Level == Cursor.Level) return Cursor.Next++;
    }
  }
  return -1;
}

// Distributing a list into 256 buckets that keep list order, and joining the buckets from the
// lowest value up, is a stable counting sort of the box's run. The cut comes before the bucket
// that brings the running sum to half; a first bucket of half or more moves half past itself, so
// neither part is ever empty.
void tFulgoOnePalette::SplitBox(int Chosen, int NewBox) {
  TBox& box = Boxes[static_cast<std::size_t>(Chosen)];
  const int r = box.RedMax - box.RedMin;
  const int g = box.GreenMax - box.GreenMin;
  const int b = box.BlueMax - box.BlueMin;
  // The last true test wins: ties go to blue, then to green.
  int shift = 0, lo = 0, hi = 0;
  if (r >= g && r >= b) shift = 16, lo = box.RedMin, hi = box.RedMax;
  if (g >= r && g >= b) shift = 8, lo = box.GreenMin, hi = box.GreenMax;
  if (b >= r && b >= g) shift = 0, lo = box.BlueMin, hi = box.BlueMax;

  TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(Chosen)];
  const std::int32_t n = box.Count;
  std::array<std::int32_t, 256> count;
  std::fill(count.begin() + lo, count.begin() + hi + 1, 0);
  for (std::int32_t i = 0; i < n; ++i) ++count[(run[i].Color >> shift) & 0xFF];

  std::int32_t half = n / 2, sum = 0, lower = 0;
  bool first = true;
  for (int v = lo; v <= hi; ++v) {
    const std::int32_t c = count[static_cast<std::size_t>(v)];
    if (c == 0) continue;
    if (first) {
      first = false;
      if (c >= half) half = c + 1;
    } else if (sum + c >= half) {
      lower = sum;
      break;
    }
    sum += c;
  }

  std::array<std::int32_t, 256> next;
  for (std::int32_t v = lo, at = 0; v <= hi; ++v) {
    next[static_cast<std::size_t>(v)] = at;
    at += count[static_cast<std::size_t>(v)];
  }
  TWork* sorted = scratch_.data();
  for (std::int32_t i = 0; i < n; ++i) sorted[next[(run[i].Color >> shift) & 0xFF]++] = run[i];
  std::copy(sorted, sorted + n, run);

  const auto level = static_cast<std::uint16_t>(box.Level + 1);
  Boxes[static_cast<std::size_t>(NewBox)] = TBox{run[lower].Record, n - lower, level, 0, 0, 0, 0, 0, 0};
  boxStart_[static_cast<std::size_t>(NewBox)] = boxStart_[static_cast<std::size_t>(Chosen)] + lower;
  box.Head = run[0].Record;
  box.Count = lower;
  box.Level = level;
  MeasureRun(Chosen);
  MeasureRun(NewBox);
}

// Shrink over a box's run.
void tFulgoOnePalette::MeasureRun(int Box) {
  TBox& box = Boxes[static_cast<std::size_t>(Box)];
  const TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(Box)];
  std::uint8_t rMin = 255, rMax = 0, gMin = 255, gMax = 0, bMin = 255, bMax = 0;
  for (std::int32_t i = 0; i < box.Count; ++i) {
    const std::uint8_t b = Channel(run[i].Color, 0), g = Channel(run[i].Color, 8),
                       r = Channel(run[i].Color, 16);
    bMin = std::min(bMin, b), bMax = std::max(bMax, b);
    gMin = std::min(gMin, g), gMax = std::max(gMax, g);
    rMin = std::min(rMin, r), rMax = std::max(rMax, r);
  }
  box.RedMin = rMin, box.RedMax = rMax;
  box.GreenMin = gMin, box.GreenMax = gMax;
  box.BlueMin = bMin, box.BlueMax = bMax;
}

// The runs become the boxes' lists.
void tFulgoOnePalette::LinkBoxes(int B) {
  for (int j = 0; j < B; ++j) {
    TBox& box = Boxes[static_cast<std::size_t>(j)];
    const TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(j)];
    box.Head = run[0].Record;
    for (std::int32_t i = 0; i + 1 < box.Count; ++i)
      Colors[static_cast<std::size_t>(run[i].Record)].Next = run[i + 1].Record;
    Colors[static_cast<std::size_t>(run[box.Count - 1].Record)].Next = -1;
  }
}

void tFulgoOnePalette::Shrink(TBox& Box) const {
  std::uint8_t rMin = 255, rMax = 0, gMin = 255, gMax = 0, bMin = 255, bMax = 0;
  for (std::int32_t rec = Box.Head; rec >= 0; rec = Colors[static_cast<std::size_t>(rec)].Next) {
    const std::uint8_t* c = Colors[static_cast<std::size_t>(rec)].Color;
    bMin = std::min(bMin, c[0]), bMax = std::max(bMax, c[0]);
    gMin = std::min(gMin, c[1]), gMax = std::max(gMax, c[1]);
    rMin = std::min(rMin, c[2]), rMax = std::max(rMax, c[2]);
  }
  Box.RedMin = rMin, Box.RedMax = rMax;
  Box.GreenMin = gMin, Box.GreenMax = gMax;
  Box.BlueMin = bMin, Box.BlueMax = bMax;
}

// From the boxes' lists, for boxes laid out by hand; MedianCut maps its runs directly.
tFulgoOnePalette::TReducedColors tFulgoOnePalette::InvMap(int B) {
  if (B < 0 || B > kMaxReduced)
    throw EFulgoError("Inverse map of " + std::to_string(B) + " boxes (0.." + std::to_string(kMaxReduced) +
                      ")");
  try {
    ColorMap.assign(static_cast<std::size_t>(ColorCount), 0);
    work_.resize(static_cast<std::size_t>(ColorCount));
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
  std::int32_t at = 0;
  for (int j = 0; j < B; ++j) {
    TBox& box = Boxes[static_cast<std::size_t>(j)];
    boxStart_[static_cast<std::size_t>(j)] = at;
    for (std::int32_t rec = box.Head; rec >= 0; rec = Colors[static_cast<std::size_t>(rec)].Next) {
      if (at == ColorCount || at - boxStart_[static_cast<std::size_t>(j)] == box.Count)
        throw EFulgoError("Box " + std::to_string(j) + " lists more colours than it counts");
      work_[static_cast<std::size_t>(at++)] =
          TWork{ColorKey(Colors[static_cast<std::size_t>(rec)].Color), rec};
    }
    if (box.Count < 1 || at - boxStart_[static_cast<std::size_t>(j)] != box.Count)
      throw EFulgoError("Box " + std::to_string(j) + " lists fewer colours than it counts");
  }
  return MapBoxes(B);
}

// Box colours are the truncated means of their records, each distinct colour weighing 1.
tFulgoOnePalette::TReducedColors tFulgoOnePalette::MapBoxes(int B) {
  TReducedColors reduced{};
  for (int j = 0; j < B; ++j) {
    const TBox& box = Boxes[static_cast<std::size_t>(j)];
    const TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(j)];
    std::uint64_t blue = 0, green = 0, red = 0;
    for (std::int32_t i = 0; i < box.Count; ++i) {
      blue += Channel(run[i].Color, 0), green += Channel(run[i].Color, 8), red += Channel(run[i].Color, 16);
    }
    const auto n = static_cast<std::uint64_t>(box.Count);
    reduced[static_cast<std::size_t>(j)] =
        TRGBTriple{static_cast<std::uint8_t>(blue / n), static_cast<std::uint8_t>(green / n),
                   static_cast<std::uint8_t>(red / n)};
  }
  if (ExactMap != 0) {
    for (int j = 0; j < B; ++j) {
      const TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(j)];
      for (std::int32_t i = 0; i < Boxes[static_cast<std::size_t>(j)].Count; ++i)
        ColorMap[static_cast<std::size_t>(run[i].Record)] = static_cast<std::uint16_t>(j);
    }
  } else {
    NearestBoxes(B, reduced);
  }
  return reduced;
}

void tFulgoOnePalette::Refine(TReducedColors& Reduced) {
  std::vector<std::uint32_t> colors, centres;
  try {
    colors.resize(static_cast<std::size_t>(ColorCount));
    centres.resize(static_cast<std::size_t>(cutBoxes_));
  } catch (const std::bad_alloc&) {
    NotEnoughMemory();
  }
  for (std::size_t i = 0; i < colors.size(); ++i) colors[i] = ColorKey(Colors[i].Color);
  for (std::size_t k = 0; k < centres.size(); ++k) {
    const TRGBTriple& c = Reduced[k];
    centres[k] = c.Blue | std::uint32_t{c.Green} << 8 | std::uint32_t{c.Red} << 16;
  }
  RefinePalette(colors, centres, ColorMap, RefinePasses);
  for (std::size_t k = 0; k < centres.size(); ++k)
    Reduced[k] = TRGBTriple{Channel(centres[k], 0), Channel(centres[k], 8), Channel(centres[k], 16)};
}

namespace {

std::int16_t AbsDiff(std::int16_t a, std::int16_t b) {
  return static_cast<std::int16_t>(std::max(a, b) - std::min(a, b));
}

// How far a value lies outside [low, high].
std::int16_t Outside(std::int16_t value, std::int16_t low, std::int16_t high) {
  return static_cast<std::int16_t>(std::max<std::int16_t>(0, static_cast<std::int16_t>(low - value)) +
                                   std::max<std::int16_t>(0, static_cast<std::int16_t>(value - high)));
}

// Box colours in 16-bit lanes, padded to whole vectors with colours farther than any real one.
struct TBoxColors {
  static constexpr int kLanes = 8;
  static constexpr std::int16_t kFar = 4096;
  static constexpr std::int16_t kNone = SHRT_MAX;
  static constexpr int kSize = tFulgoOnePalette::kMaxReduced + kLanes;
  alignas(64) std::int16_t red[kSize], green[kSize], blue[kSize];
  alignas(64) std::int16_t number[kSize];
  int count = 0;

  static int Padded(int n) { return (n + kLanes - 1) / kLanes * kLanes; }
  void Pad() {
    for (int k = count; k < Padded(count); ++k) red[k] = green[k] = blue[k] = kFar, number[k] = 0;
  }
  // The entry at the smallest city-block distance, the lowest box number among equal ones. Two
  // reductions instead of a search, so both run in vector lanes.
  int Nearest(std::int16_t r, std::int16_t g, std::int16_t b) const {
    alignas(64) std::int16_t distance[kSize];
    const int n = Padded(count);
    std::int16_t best = SHRT_MAX;
    for (int k = 0; k < n; ++k) {
      const auto d =
          static_cast<std::int16_t>(AbsDiff(r, red[k]) + AbsDiff(g, green[k]) + AbsDiff(b, blue[k]));
      distance[k] = d;
      best = std::min(best, d);
    }
    std::int16_t lowest = kNone;
    for (int k = 0; k < n; ++k) {
      const auto miss = static_cast<std::int16_t>(-static_cast<int>(distance[k] != best) & kNone);
      lowest = std::min(lowest, static_cast<std::int16_t>(number[k] | miss));
    }
    return lowest;
  }
};

// Below this many records a box searches all box colours rather than first narrowing them down.
constexpr std::int32_t kNarrowFrom = 3;

}  // namespace

// Each record gets the box colour at the smallest city-block distance, the lowest box number on
// equal distances; every record lies in exactly one box, so going box by box loses nothing. Two
// bounds spare most of the search and never change its result:
// - A record nearer its own box colour than half the distance from that colour to any other box
//   colour is strictly nearest its own box (triangle inequality).
// - A record of box j lies inside j's ranges, so it is at most `reach` (the distance from colour j
//   to the farthest corner of the ranges) from colour j; a box colour farther than reach from the
//   whole of the ranges can never be nearest and is left out of the search.
void tFulgoOnePalette::NearestBoxes(int B, const TReducedColors& Reduced) {
  TBoxColors all, near;
  all.count = B;
  for (int k = 0; k < B; ++k) {
    const TRGBTriple& c = Reduced[static_cast<std::size_t>(k)];
    all.red[k] = c.Red, all.green[k] = c.Green, all.blue[k] = c.Blue,
    all.number[k] = static_cast<std::int16_t>(k);
  }
  all.Pad();
  alignas(64) std::int16_t gap[TBoxColors::kSize];
  for (int j = 0; j < B; ++j) {
    const TBox& box = Boxes[static_cast<std::size_t>(j)];
    const std::int16_t ownR = all.red[j], ownG = all.green[j], ownB = all.blue[j];
    const auto from = [&](int k) {
      return static_cast<std::int16_t>(AbsDiff(ownR, all.red[k]) + AbsDiff(ownG, all.green[k]) +
                                       AbsDiff(ownB, all.blue[k]));
    };
    std::int16_t apart = TBoxColors::kNone;
    for (int k = 0; k < j; ++k) apart = std::min(apart, from(k));
    for (int k = j + 1; k < TBoxColors::Padded(B); ++k) apart = std::min(apart, from(k));

    // The narrowed search is made when the first record needs it.
    const TBoxColors* search = box.Count >= kNarrowFrom ? nullptr : &all;
    const auto narrow = [&] {
      const auto farthest = [](int value, int low, int high) { return std::max(value - low, high - value); };
      const int reach = farthest(ownR, box.RedMin, box.RedMax) + farthest(ownG, box.GreenMin, box.GreenMax) +
                        farthest(ownB, box.BlueMin, box.BlueMax);
      const std::int16_t rMin = box.RedMin, rMax = box.RedMax, gMin = box.GreenMin, gMax = box.GreenMax;
      const std::int16_t bMin = box.BlueMin, bMax = box.BlueMax;
      for (int k = 0; k < TBoxColors::Padded(B); ++k)
        gap[k] =
            static_cast<std::int16_t>(Outside(all.red[k], rMin, rMax) + Outside(all.green[k], gMin, gMax) +
                                      Outside(all.blue[k], bMin, bMax));
      int m = 0;
      for (int k = 0; k < B; ++k) {
        near.number[m] = static_cast<std::int16_t>(k);
        m += gap[k] <= reach;
      }
      for (int i = 0; i < m; ++i) {
        const int k = near.number[i];
        near.red[i] = all.red[k], near.green[i] = all.green[k], near.blue[i] = all.blue[k];
      }
      near.count = m;
      near.Pad();
      return &near;
    };

    const TWork* run = work_.data() + boxStart_[static_cast<std::size_t>(j)];
    for (std::int32_t i = 0; i < box.Count; ++i) {
      const std::uint32_t c = run[i].Color;
      const std::int16_t r = Channel(c, 16), g = Channel(c, 8), b = Channel(c, 0);
      const int own = AbsDiff(r, ownR) + AbsDiff(g, ownG) + AbsDiff(b, ownB);
      int nearest = j;
      if (2 * own >= apart) {
        if (!search) search = narrow();
        nearest = search->Nearest(r, g, b);
      }
      ColorMap[static_cast<std::size_t>(run[i].Record)] = static_cast<std::uint16_t>(nearest);
    }
  }
}

// --- applying ---------------------------------------------------------------------------------

void tFulgoOnePalette::MakeRasterMap(std::uint16_t Number, std::uint8_t* Map) const {
  const TDibMap& records = DibMaps[Number];
  const int base = kLowStaticEntries + Reserved + FixCount;
  if (UseMedianCut) {
    if (ColorMap.size() != static_cast<std::size_t>(ColorCount))
      throw EFulgoError("Palette is not built: no colour map for bitmap " + std::to_string(Number));
    for (std::size_t i = 0; i < 256; ++i)
      Map[i] = static_cast<std::uint8_t>(ColorMap[static_cast<std::size_t>(records[i])] + base);
    return;
  }
  // Each byte takes the first palette entry of its colour. A record's colour is laid out at entry
  // base + record, so only the entries before it can hold the colour first: the static colours,
  // the reserved entries, the brushes and the earlier records (the same colour with another fourth
  // byte). A small open-addressing index takes those in palette order, the first one of a colour
  // staying.
  if (base + ColorCount > kHighStaticFirst)
    throw EFulgoError("Palette is not built: " + std::to_string(ColorCount) + " colours for bitmap " +
                      std::to_string(Number) + " do not fit");
  constexpr int kSlotBits = 9;
  constexpr std::size_t kMask = (std::size_t{1} << kSlotBits) - 1;
  std::array<std::uint32_t, 256> rgb;
  std::array<std::int16_t, kMask + 1> first;
  first.fill(-1);
  const auto firstEntry = [&](std::uint32_t colour, int entry) {
    rgb[static_cast<std::size_t>(entry)] = colour;
    std::size_t s = FibonacciSlot(colour, kSlotBits);
    while (first[s] >= 0 && rgb[static_cast<std::size_t>(first[s])] != colour) s = (s + 1) & kMask;
    if (first[s] < 0) first[s] = static_cast<std::int16_t>(entry);
    return static_cast<std::uint8_t>(first[s]);
  };
  for (int i = 0; i < base; ++i)
    firstEntry(EntryValue(Palette[static_cast<std::size_t>(i)]) & 0x00FFFFFFu, i);
  std::array<std::uint8_t, kMaxReduced> recordEntry;
  for (std::int32_t r = 0; r < ColorCount; ++r)
    recordEntry[static_cast<std::size_t>(r)] =
        firstEntry(ColorKey(Colors[static_cast<std::size_t>(r)].Color) & 0x00FFFFFFu, base + r);
  for (std::size_t j = 0; j < 256; ++j) Map[j] = recordEntry[static_cast<std::size_t>(records[j])];
}

tFulgoOnePalette::TRasterMap tFulgoOnePalette::RasterMap(const tFulgoDib& Dib, std::uint16_t Number) const {
  if (Dib.Empty()) NoBitmap();
  return RasterMap(Number);
}

tFulgoOnePalette::TRasterMap tFulgoOnePalette::RasterMap(std::uint16_t Number) const {
  if (Number < 1 || Number > DibCount)
    throw EFulgoError("Bitmap number " + std::to_string(Number) + " is not registered with this palette");
  if (rasterMaps_.size() <= Number) rasterMaps_.resize(std::size_t{Number} + 1);
  std::optional<TRasterMap>& map = rasterMaps_[Number];
  if (!map) MakeRasterMap(Number, map.emplace().data());
  return *map;
}

void tFulgoOnePalette::ChangeDib(tFulgoDib& Dib, std::uint16_t Number) const {
  const TRasterMap map = RasterMap(Dib, Number);
  const std::size_t bytes = std::size_t{dib::RowStride(dib::Width(Dib.Dib))} * dib::Height(Dib.Dib);
  RemapBytes(dib::Bits(Dib.Dib), bytes, map.data());
}

std::uint16_t tFulgoOnePalette::FindBrush(TColor Color) const {
  const auto color = static_cast<std::uint32_t>(RGBToTColor(Color));
  for (std::size_t i = 0; i < 256; ++i)
    if (EntryValue(Palette[i]) == color) return static_cast<std::uint16_t>(i);
  std::uint16_t best = 0;
  int bestDistance = INT_MAX;
  for (std::size_t i = 0; i < 256; ++i) {
    const TEntry& e = Palette[i];
    const int db = Channel(color, 0) - e.Blue, dg = Channel(color, 8) - e.Green,
              dr = Channel(color, 16) - e.Red;
    const int d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) bestDistance = d, best = static_cast<std::uint16_t>(i);
  }
  return best;
}

void tFulgoOnePalette::SetColorTabelTo(tFulgoDib& Dib) const {
  if (Dib.Empty()) NoBitmap();
  std::memcpy(dib::ColorTable(Dib.Dib), Palette.data(), dib::kColorTableSize);
}

// --- logical palettes -------------------------------------------------------------------------

void tFulgoOnePalette::CreateLogicalPalette() {
  MakePaletteHandle(nullptr);
}

void tFulgoOnePalette::MakePaletteHandle(const host::PALETTEENTRY* System) {
  const auto* table = reinterpret_cast<const std::uint8_t*>(Palette.data());
  PaletteHandle = MakeLogPalette(std::move(PaletteHandle), table, System, "Palette creation failed");
}

void tFulgoOnePalette::CreatePaletteFrom(const tFulgoDib& Dib) {
  PaletteHandle.reset();
  if (Dib.Empty()) throw EDontCreatDib("Palette could not be created - No Dib");
  PaletteHandle = MakeLogPalette(dib::ColorTable(Dib.Dib), "Palette creation falid");
}

}  // namespace vantora
