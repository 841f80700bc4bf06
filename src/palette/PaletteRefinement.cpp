#include "palette/PaletteRefinement.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

namespace vantora {

namespace {

int Blue(std::uint32_t value) {
  return static_cast<int>(value & 0xFF);
}
int Green(std::uint32_t value) {
  return static_cast<int>((value >> 8) & 0xFF);
}
int Red(std::uint32_t value) {
  return static_cast<int>((value >> 16) & 0xFF);
}

int SquaredDistance(std::uint32_t a, std::uint32_t b) {
  const int db = Blue(a) - Blue(b), dg = Green(a) - Green(b), dr = Red(a) - Red(b);
  return db * db + dg * dg + dr * dr;
}

// The centres in 32-bit lanes, padded to whole vectors with centres farther than any colour, so
// that the search of all of them runs in vector lanes.
class TCentreLanes {
 public:
  static constexpr int kLanes = 16;
  static constexpr int kFar = 4096;

  explicit TCentreLanes(std::size_t count)
      : count_(static_cast<int>(count)),
        padded_((count_ + kLanes - 1) / kLanes * kLanes),
        red_(static_cast<std::size_t>(padded_), kFar),
        green_(red_),
        blue_(red_),
        distance_(red_) {}

  void Set(std::span<const std::uint32_t> centres) {
    for (int k = 0; k < count_; ++k) {
      const std::uint32_t c = centres[static_cast<std::size_t>(k)];
      red_[static_cast<std::size_t>(k)] = Red(c);
      green_[static_cast<std::size_t>(k)] = Green(c);
      blue_[static_cast<std::size_t>(k)] = Blue(c);
    }
  }

  // The nearest centre, the lowest index among equal ones: all distances first, then their least,
  // then the first that has it, so that each loop vectorises.
  int Nearest(std::uint32_t color) {
    const int r = Red(color), g = Green(color), b = Blue(color);
    int* distance = distance_.data();
    const int* red = red_.data();
    const int* green = green_.data();
    const int* blue = blue_.data();
    int best = INT_MAX;
    for (int k = 0; k < padded_; ++k) {
      const int dr = r - red[k], dg = g - green[k], db = b - blue[k];
      distance[k] = dr * dr + dg * dg + db * db;
      best = std::min(best, distance[k]);
    }
    int k = 0;
    while (distance[k] != best) ++k;
    return k;
  }

 private:
  int count_;
  int padded_;
  std::vector<int> red_, green_, blue_, distance_;
};

// Moves every centre to the rounded mean of its colours; answers whether any moved.
bool MoveCentres(std::span<const std::uint32_t> colors, std::span<std::uint32_t> centres,
                 std::span<const std::uint16_t> map, std::vector<std::uint64_t>& sums) {
  // Per centre: blue, green, red, count.
  sums.assign(centres.size() * 4, 0);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    std::uint64_t* sum = sums.data() + 4 * std::size_t{map[i]};
    sum[0] += static_cast<std::uint64_t>(Blue(colors[i]));
    sum[1] += static_cast<std::uint64_t>(Green(colors[i]));
    sum[2] += static_cast<std::uint64_t>(Red(colors[i]));
    sum[3] += 1;
  }
  bool moved = false;
  for (std::size_t k = 0; k < centres.size(); ++k) {
    const std::uint64_t* sum = sums.data() + 4 * k;
    const std::uint64_t n = sum[3];
    if (n == 0) continue;
    const auto mean = [n](std::uint64_t total) { return static_cast<std::uint32_t>((total + n / 2) / n); };
    const std::uint32_t centre = mean(sum[0]) | mean(sum[1]) << 8 | mean(sum[2]) << 16;
    moved |= centre != (centres[k] & 0x00FFFFFFu);
    centres[k] = centre;
  }
  return moved;
}

// A quarter of the squared distance from each centre to its nearest other centre: a colour whose
// squared distance to its own centre is at most this is nearer to it than to any other (triangle
// inequality), and needs no search.
void MeasureSafeRadii(std::span<const std::uint32_t> centres, std::vector<int>& safe) {
  safe.assign(centres.size(), INT_MAX);
  for (std::size_t j = 0; j < centres.size(); ++j)
    for (std::size_t k = j + 1; k < centres.size(); ++k) {
      const int d = SquaredDistance(centres[j], centres[k]);
      safe[j] = std::min(safe[j], d);
      safe[k] = std::min(safe[k], d);
    }
  for (int& s : safe) s = s == INT_MAX ? INT_MAX : s / 4;
}

// Maps every colour to its nearest centre; answers whether any colour changed centre.
bool MapToNearest(std::span<const std::uint32_t> colors, std::span<const std::uint32_t> centres,
                  std::span<std::uint16_t> map, TCentreLanes& lanes, std::vector<int>& safe) {
  lanes.Set(centres);
  MeasureSafeRadii(centres, safe);
  bool changed = false;
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const std::uint16_t own = map[i];
    const int d = SquaredDistance(colors[i], centres[own]);
    // Strictly inside: on the border another centre may be as near, and a lower index wins.
    if (d < safe[own]) continue;
    const auto nearest = static_cast<std::uint16_t>(lanes.Nearest(colors[i]));
    changed |= nearest != own;
    map[i] = nearest;
  }
  return changed;
}

}  // namespace

int RefinePalette(std::span<const std::uint32_t> Colors, std::span<std::uint32_t> Centres,
                  std::span<std::uint16_t> Map, int Passes) {
  if (Centres.empty() || Colors.empty()) return 0;
  TCentreLanes lanes(Centres.size());
  std::vector<std::uint64_t> sums;
  std::vector<int> safe;
  int pass = 0;
  while (pass < Passes) {
    ++pass;
    // The first pass maps even when no centre moves: the map it starts from need not be nearest.
    const bool moved = MoveCentres(Colors, Centres, Map, sums);
    const bool changed = (moved || pass == 1) && MapToNearest(Colors, Centres, Map, lanes, safe);
    if (!changed) break;
  }
  return pass;
}

}  // namespace vantora
