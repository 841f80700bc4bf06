#include "palette/PicturePalette.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "host/classes/Errors.h"
#include "host/graphics/Graphics.h"
#include "palette/Fulone.h"

namespace vantora {

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFF;

// Pictures may be captured on any thread.
std::atomic<std::uint8_t> refinePasses{0};

// One bit for each of the 2^24 colours: 2 MB however large the picture, and one memory access a
// pixel, where a hash set would grow with the picture and probe.
class TColorSet {
 public:
  TColorSet() : words_(std::size_t{1} << 18, 0) {}
  // True when the colour was not in the set yet.
  bool Insert(std::uint32_t color) {
    std::uint64_t& word = words_[color >> 6];
    const std::uint64_t bit = std::uint64_t{1} << (color & 63);
    const bool fresh = (word & bit) == 0;
    word |= bit;
    return fresh;
  }
  void Clear() { std::fill(words_.begin(), words_.end(), 0); }

 private:
  std::vector<std::uint64_t> words_;
};

// The colour with the low Shift bits of each channel set to the middle of the cell they span.
std::uint32_t Coarse(std::uint32_t color, int shift) {
  const std::uint32_t low = ((1u << shift) - 1) * 0x010101u;
  const std::uint32_t middle = ((1u << shift) - 1) / 2 * 0x010101u;
  return (color & ~low & kRgb) | middle;
}

std::vector<std::uint32_t> CollectColors(const host::DibImage& Picture, std::size_t MaxColors) {
  TColorSet seen;
  std::vector<std::uint32_t> colors;
  const int width = Picture.Width();
  for (int y = 0; y < Picture.Height(); ++y) {
    const std::uint8_t* row = Picture.Row(y);
    // Neighbours often share a colour; a run costs no look-up in the set.
    std::uint32_t previous = ~0u;
    for (int x = 0; x < width; ++x) {
      std::uint32_t color;
      std::memcpy(&color, row + 4 * static_cast<std::size_t>(x), sizeof color);
      color &= kRgb;
      if (color == previous) continue;
      previous = color;
      if (seen.Insert(color)) colors.push_back(color);
    }
  }
  // Each coarser step merges what the finer one kept, in the same order; 7 bits less leaves at
  // most 8 colours.
  for (int shift = 1; colors.size() > MaxColors && shift < 8; ++shift) {
    seen.Clear();
    std::size_t kept = 0;
    for (const std::uint32_t color : colors) {
      const std::uint32_t coarse = Coarse(color, shift);
      if (seen.Insert(coarse)) colors[kept++] = coarse;
    }
    colors.resize(kept);
  }
  return colors;
}

}  // namespace

std::vector<std::uint32_t> PictureColors(const host::DibImage& Picture, std::size_t MaxColors) {
  if (Picture.BitCount() != 32)
    throw host::EInvalidGraphic("Picture of " + std::to_string(Picture.BitCount()) +
                                " bits has no true colours to reduce");
  try {
    return CollectColors(Picture, MaxColors);
  } catch (const std::bad_alloc&) {
    throw host::EOutOfMemory("Not enough memory");
  }
}

host::HPALETTE MakePicturePalette(const host::DibImage& Picture) {
  const std::vector<std::uint32_t> colors = PictureColors(Picture);
  tFulgoOnePalette builder;
  builder.RefinePasses = PictureRefinePasses();
  for (const std::uint32_t color : colors) builder.AddBrush(color);
  builder.BuildPalette();
  return builder.PaletteHandle.release();
}

void SetPictureRefinePasses(std::uint8_t Passes) {
  refinePasses = Passes;
}

std::uint8_t PictureRefinePasses() {
  return refinePasses;
}

void InstallPictureQuantizer() {
  host::SetPictureQuantizer(MakePicturePalette);
}

}  // namespace vantora
