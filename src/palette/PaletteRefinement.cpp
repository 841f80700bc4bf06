#include "palette/PaletteRefinement.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
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

float Distance(std::uint32_t a, std::uint32_t b) {
  return std::sqrt(static_cast<float>(SquaredDistance(a, b)));
}

// Bounds are kept in floats: a skip is trusted only with this much to spare, far more than the
// rounding of a square root of a colour distance, so every skip is exact.
constexpr float kSlack = 1.0f / 64;

struct TNearest {
  int index;       // the nearest centre, the lowest index among equal ones
  int squared;     // its squared distance
  int runnerUpSq;  // the squared distance of the nearest other centre
};

// Squared distances to every centre in 32-bit lanes, with padding centres farther than any colour.
// Three passes (distances, the least, the first that has it) that each vectorise.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
TNearest
NearestOf(int r, int g, int b, const int* red, const int* green, const int* blue, int padded, int* distance) {
  int best = INT_MAX;
  for (int k = 0; k < padded; ++k) {
    const int dr = r - red[k], dg = g - green[k], db = b - blue[k];
    distance[k] = dr * dr + dg * dg + db * db;
    best = std::min(best, distance[k]);
  }
  int index = 0;
  while (distance[index] != best) ++index;
  distance[index] = INT_MAX;
  int runnerUp = INT_MAX;
  for (int k = 0; k < padded; ++k) runnerUp = std::min(runnerUp, distance[k]);
  return {index, best, runnerUp};
}

// Centres in 32-bit lanes, padded to whole vectors with centres farther than any colour.
class TCentreLanes {
 public:
  static constexpr int kLanes = 8;
  static constexpr int kFar = 4096;

  // The centres listed, in the order given.
  void Set(std::span<const std::uint32_t> centres, std::span<const int> listed) {
    count_ = static_cast<int>(listed.size());
    padded_ = (count_ + kLanes - 1) / kLanes * kLanes;
    red_.assign(static_cast<std::size_t>(padded_), kFar);
    green_ = blue_ = distance_ = red_;
    number_.assign(listed.begin(), listed.end());
    for (int i = 0; i < count_; ++i) {
      const std::uint32_t c = centres[static_cast<std::size_t>(listed[static_cast<std::size_t>(i)])];
      red_[static_cast<std::size_t>(i)] = Red(c);
      green_[static_cast<std::size_t>(i)] = Green(c);
      blue_[static_cast<std::size_t>(i)] = Blue(c);
    }
  }

  TNearest Nearest(std::uint32_t color) {
    TNearest found = NearestOf(Red(color), Green(color), Blue(color), red_.data(), green_.data(),
                               blue_.data(), padded_, distance_.data());
    found.index = number_[static_cast<std::size_t>(found.index)];
    return found;
  }

 private:
  int count_ = 0;
  int padded_ = 0;
  std::vector<int> red_, green_, blue_, distance_, number_;
};

// The state of the passes. Per colour, Upper is at least its distance to its own centre and Lower
// at most its distance to any other (Hamerly's bounds): after the centres move they loosen by how
// far the centres went, and a colour whose bounds still part needs no search. A colour that does
// is compared only with the centres near its own: none farther from it than twice the reach of
// its colours can be nearer.
class TRefinement {
 public:
  TRefinement(std::span<const std::uint32_t> colors, std::span<std::uint32_t> centres,
              std::span<std::uint16_t> map)
      : colors_(colors),
        centres_(centres),
        map_(map),
        upper_(colors.size(), std::numeric_limits<float>::infinity()),
        lower_(colors.size(), 0.0f),
        moved_(centres.size(), 0.0f),
        halfGap_(centres.size()),
        reach_(centres.size()),
        outsideGap_(centres.size()),
        centreSq_(centres.size() * centres.size()),
        candidates_(centres.size()),
        sums_(centres.size() * 4) {}

  // Moves every centre to the rounded mean of its colours; answers whether any moved.
  bool MoveCentres() {
    std::fill(sums_.begin(), sums_.end(), 0);
    for (std::size_t i = 0; i < colors_.size(); ++i) {
      std::uint64_t* sum = sums_.data() + 4 * std::size_t{map_[i]};
      sum[0] += static_cast<std::uint64_t>(Blue(colors_[i]));
      sum[1] += static_cast<std::uint64_t>(Green(colors_[i]));
      sum[2] += static_cast<std::uint64_t>(Red(colors_[i]));
      sum[3] += 1;
    }
    bool any = false;
    for (std::size_t k = 0; k < centres_.size(); ++k) {
      const std::uint64_t* sum = sums_.data() + 4 * k;
      const std::uint64_t n = sum[3];
      const std::uint32_t old = centres_[k] & 0x00FFFFFFu;
      moved_[k] = 0;
      centres_[k] = old;
      if (n == 0) {
        idle_.push_back(k);
        continue;
      }
      const auto mean = [n](std::uint64_t total) { return static_cast<std::uint32_t>((total + n / 2) / n); };
      const std::uint32_t centre = mean(sum[0]) | mean(sum[1]) << 8 | mean(sum[2]) << 16;
      if (centre == old) continue;
      moved_[k] = Distance(old, centre);
      centres_[k] = centre;
      any = true;
    }
    if (!idle_.empty()) any |= MoveIdleCentres();
    return any;
  }

  // Maps every colour to its nearest centre; answers whether any colour changed centre.
  bool MapToNearest() {
    MeasureCentres();
    // The farthest any centre moved, and the farthest but one's own for the centre that moved most.
    std::size_t farthest = 0;
    for (std::size_t k = 1; k < moved_.size(); ++k)
      if (moved_[k] > moved_[farthest]) farthest = k;
    float mostOthers = 0;
    const float most = moved_[farthest];
    for (std::size_t k = 0; k < moved_.size(); ++k)
      if (k != farthest) mostOthers = std::max(mostOthers, moved_[k]);

    pending_.clear();
    std::fill(reach_.begin(), reach_.end(), 0.0f);
    for (std::size_t i = 0; i < colors_.size(); ++i) {
      const std::uint16_t own = map_[i];
      upper_[i] += moved_[own] + kSlack;
      lower_[i] -= (own == farthest ? mostOthers : most) + kSlack;
      const float bound = std::max(halfGap_[own], lower_[i]);
      if (upper_[i] < bound) continue;
      upper_[i] = Distance(colors_[i], centres_[own]) + kSlack;
      if (upper_[i] < bound) continue;
      pending_.push_back(static_cast<std::uint32_t>(i));
      reach_[own] = std::max(reach_[own], upper_[i]);
    }

    std::fill(candidatesMade_.begin(), candidatesMade_.end(), false);
    candidatesMade_.resize(centres_.size(), false);
    bool changed = false;
    for (const std::uint32_t i : pending_) {
      const std::uint16_t own = map_[i];
      const TNearest nearest = CandidatesOf(own).Nearest(colors_[i]);
      const float outside = outsideGap_[own] - upper_[i];
      upper_[i] = std::sqrt(static_cast<float>(nearest.squared)) + kSlack;
      lower_[i] = std::min(std::sqrt(static_cast<float>(nearest.runnerUpSq)), outside) - kSlack;
      changed |= nearest.index != own;
      map_[i] = static_cast<std::uint16_t>(nearest.index);
    }
    return changed;
  }

 private:
  // A centre that no colour maps to moves onto one of the colours farthest from their own centres,
  // a different one for each; they will map to it. Answers whether any moved.
  bool MoveIdleCentres() {
    worst_.clear();
    for (std::size_t i = 0; i < colors_.size(); ++i) {
      const int d = SquaredDistance(colors_[i], centres_[map_[i]]);
      if (d > 0) worst_.push_back(std::uint64_t{static_cast<std::uint32_t>(d)} << 32 | i);
    }
    const std::size_t count = std::min(idle_.size(), worst_.size());
    std::partial_sort(worst_.begin(), worst_.begin() + static_cast<std::ptrdiff_t>(count), worst_.end(),
                      std::greater<>());
    for (std::size_t m = 0; m < count; ++m) {
      const std::size_t k = idle_[m];
      const std::uint32_t centre = colors_[worst_[m] & 0xFFFFFFFFu] & 0x00FFFFFFu;
      moved_[k] = Distance(centres_[k], centre);
      centres_[k] = centre;
    }
    idle_.clear();
    return count > 0;
  }

  // The distances between the centres, and half the distance from each to its nearest other, less
  // the slack: a colour nearer its own centre than that is strictly nearer to it than to any other.
  void MeasureCentres() {
    const std::size_t n = centres_.size();
    std::vector<int> nearestSq(n, INT_MAX);
    for (std::size_t j = 0; j < n; ++j) {
      centreSq_[j * n + j] = 0;
      for (std::size_t k = j + 1; k < n; ++k) {
        const int d = SquaredDistance(centres_[j], centres_[k]);
        centreSq_[j * n + k] = centreSq_[k * n + j] = d;
        nearestSq[j] = std::min(nearestSq[j], d);
        nearestSq[k] = std::min(nearestSq[k], d);
      }
    }
    for (std::size_t j = 0; j < n; ++j)
      halfGap_[j] = nearestSq[j] == INT_MAX ? std::numeric_limits<float>::infinity()
                                            : std::sqrt(static_cast<float>(nearestSq[j])) / 2 - kSlack;
  }

  // The centres within twice the reach of Own's colours, in index order so that ties still go to
  // the lowest; and how far the nearest one left out lies from Own.
  TCentreLanes& CandidatesOf(std::uint16_t own) {
    TCentreLanes& lanes = candidates_[own];
    if (candidatesMade_[own]) return lanes;
    candidatesMade_[own] = true;
    const std::size_t n = centres_.size();
    const double limit = 2.0 * reach_[own] + kSlack;
    float outside = std::numeric_limits<float>::infinity();
    listed_.clear();
    for (std::size_t k = 0; k < n; ++k) {
      const int d = centreSq_[std::size_t{own} * n + k];
      if (d <= limit * limit)
        listed_.push_back(static_cast<int>(k));
      else
        outside = std::min(outside, std::sqrt(static_cast<float>(d)));
    }
    outsideGap_[own] = outside;
    lanes.Set(centres_, listed_);
    return lanes;
  }

  std::span<const std::uint32_t> colors_;
  std::span<std::uint32_t> centres_;
  std::span<std::uint16_t> map_;
  std::vector<float> upper_, lower_, moved_, halfGap_, reach_, outsideGap_;
  std::vector<int> centreSq_, listed_;
  std::vector<TCentreLanes> candidates_;
  std::vector<bool> candidatesMade_;
  std::vector<std::uint32_t> pending_;
  std::vector<std::size_t> idle_;
  std::vector<std::uint64_t> sums_, worst_;
};

}  // namespace

int RefinePalette(std::span<const std::uint32_t> Colors, std::span<std::uint32_t> Centres,
                  std::span<std::uint16_t> Map, int Passes) {
  if (Centres.empty() || Colors.empty()) return 0;
  TRefinement refinement(Colors, Centres, Map);
  int pass = 0;
  while (pass < Passes) {
    ++pass;
    // The first pass maps even when no centre moves: the map it starts from need not be nearest.
    const bool moved = refinement.MoveCentres();
    const bool changed = (moved || pass == 1) && refinement.MapToNearest();
    if (!changed) break;
  }
  return pass;
}

}  // namespace vantora
