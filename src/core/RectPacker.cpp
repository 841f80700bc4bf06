#include "core/RectPacker.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/Fultype.h"
#include "core/Fuldib.h"

namespace vantora {

namespace {

struct Rect {
  std::int32_t x, y, w, h;
  std::int32_t Right() const { return x + w; }
  std::int32_t Bottom() const { return y + h; }
};

bool Overlaps(const Rect& a, const Rect& b) {
  return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

bool Contains(const Rect& outer, const Rect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
         inner.Bottom() <= outer.Bottom();
}

// The free area of a sheet as the maximal free rectangles, which may overlap one another.
class MaxRectsBin {
 public:
  MaxRectsBin(std::int32_t Width, std::int32_t Height) : free_{{0, 0, Width, Height}} {}

  // Places a Width x Height rectangle where it leaves the shortest side free.
  std::optional<Rect> Insert(std::int32_t Width, std::int32_t Height) {
    const Rect* best = nullptr;
    std::int32_t bestShort = INT32_MAX, bestLong = INT32_MAX;
    for (const Rect& f : free_) {
      if (f.w < Width || f.h < Height) continue;
      const std::int32_t across = f.w - Width, down = f.h - Height;
      const std::int32_t shortSide = std::min(across, down), longSide = std::max(across, down);
      if (shortSide < bestShort || (shortSide == bestShort && longSide < bestLong)) {
        best = &f;
        bestShort = shortSide;
        bestLong = longSide;
      }
    }
    if (!best) return std::nullopt;
    const Rect placed{best->x, best->y, Width, Height};
    Split(placed);
    Prune();
    return placed;
  }

 private:
  // Every free rectangle the new one covers gives way to the parts of it left on each side.
  void Split(const Rect& used) {
    std::vector<Rect> next;
    next.reserve(free_.size() + 4);
    for (const Rect& f : free_) {
      if (!Overlaps(f, used)) {
        next.push_back(f);
        continue;
      }
      if (used.x > f.x) next.push_back({f.x, f.y, used.x - f.x, f.h});
      if (used.Right() < f.Right()) next.push_back({used.Right(), f.y, f.Right() - used.Right(), f.h});
      if (used.y > f.y) next.push_back({f.x, f.y, f.w, used.y - f.y});
      if (used.Bottom() < f.Bottom()) next.push_back({f.x, used.Bottom(), f.w, f.Bottom() - used.Bottom()});
    }
    free_ = std::move(next);
  }

  // A free rectangle inside another adds no place; of two equal ones the first stays.
  void Prune() {
    std::vector<bool> dropped(free_.size(), false);
    for (std::size_t i = 0; i < free_.size(); ++i)
      for (std::size_t j = 0; j < free_.size() && !dropped[i]; ++j)
        if (i != j && !dropped[j] && Contains(free_[j], free_[i])) dropped[i] = true;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < free_.size(); ++i)
      if (!dropped[i]) free_[kept++] = free_[i];
    free_.resize(kept);
  }

  std::vector<Rect> free_;
};

// Rectangles as the packer handles them: widened and heightened by the spacing, so that two placed
// side by side keep it between them, with the sheet widened alike.
struct Item {
  std::size_t index;
  std::int32_t w, h;
};

struct Layout {
  TPackSize sheet;
  std::vector<std::pair<std::size_t, Rect>> placed;  // item index, place
};

std::int64_t Area(const TPackSize& s) {
  return std::int64_t{s.Width} * s.Height;
}

// Packs Items into a bin in their order, leaving out those that do not fit (or stopping at the
// first one when All is set). The sheet is the bin less the spacing.
std::optional<Layout> PackInto(const std::vector<Item>& items, std::int32_t binWidth, std::int32_t binHeight,
                               bool all) {
  MaxRectsBin bin(binWidth, binHeight);
  Layout layout;
  for (const Item& item : items) {
    const std::optional<Rect> place = bin.Insert(item.w, item.h);
    if (place)
      layout.placed.emplace_back(item.index, *place);
    else if (all)
      return std::nullopt;
  }
  return layout;
}

std::int32_t PowerOfTwoAtLeast(std::int32_t value) {
  std::int32_t p = 1;
  while (p < value) p *= 2;
  return p;
}

class SheetSearch {
 public:
  SheetSearch(const TPackOptions& options, std::int32_t maxSide) : options_(options), maxSide_(maxSide) {}

  // The smallest sheet the packer finds for all the items; none when they do not fit one sheet.
  std::optional<Layout> Smallest(const std::vector<Item>& items) const {
    return options_.PowerOfTwo ? SmallestPowerOfTwo(items) : SmallestFree(items);
  }

  // As many items as fit on one sheet of the largest size, on the smallest sheet that holds them.
  Layout Greedy(const std::vector<Item>& items) const {
    const std::int32_t bin = maxSide_ + options_.Spacing;
    Layout layout = *PackInto(items, bin, bin, false);
    std::vector<Item> taken;
    for (const auto& placed : layout.placed)
      taken.push_back(
          *std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.index == placed.first; }));
    if (std::optional<Layout> smaller = Smallest(taken)) return *smaller;
    Fit(layout);
    return layout;
  }

 private:
  // The sheet shrunk to what the placed rectangles reach.
  void Fit(Layout& layout) const {
    std::int32_t right = 0, bottom = 0;
    for (const auto& [index, place] : layout.placed) {
      right = std::max(right, place.Right());
      bottom = std::max(bottom, place.Bottom());
    }
    layout.sheet = {right - options_.Spacing, bottom - options_.Spacing};
    if (options_.PowerOfTwo)
      layout.sheet = {PowerOfTwoAtLeast(layout.sheet.Width), PowerOfTwoAtLeast(layout.sheet.Height)};
  }

  std::optional<Layout> TryWidth(const std::vector<Item>& items, std::int32_t binWidth) const {
    std::optional<Layout> layout = PackInto(items, binWidth, maxSide_ + options_.Spacing, true);
    if (layout) Fit(*layout);
    return layout;
  }

  struct Trial {
    std::int32_t binWidth;
    TPackSize sheet;
  };

  // Of the sheets within a twentieth of the smallest area, the squarest: a long strip is hard to
  // use as a texture for next to no room saved.
  static const Trial* Best(const std::vector<Trial>& trials) {
    if (trials.empty()) return nullptr;
    std::int64_t least = Area(trials.front().sheet);
    for (const Trial& t : trials) least = std::min(least, Area(t.sheet));
    const Trial* best = nullptr;
    for (const Trial& t : trials) {
      if (Area(t.sheet) * 20 > least * 21) continue;
      const std::int32_t side = std::max(t.sheet.Width, t.sheet.Height);
      if (!best || side < std::max(best->sheet.Width, best->sheet.Height) ||
          (side == std::max(best->sheet.Width, best->sheet.Height) && Area(t.sheet) < Area(best->sheet)))
        best = &t;
    }
    return best;
  }

  // Widths from the widest item to the sum of all, coarsely and then one by one around the best.
  std::optional<Layout> SmallestFree(const std::vector<Item>& items) const {
    std::int32_t low = 0;
    std::int64_t sum = 0;
    for (const Item& item : items) {
      low = std::max(low, item.w);
      sum += item.w;
    }
    const std::int32_t high =
        static_cast<std::int32_t>(std::min<std::int64_t>(sum, maxSide_ + options_.Spacing));
    const std::int32_t step = std::max(1, (high - low) / 64);
    std::vector<Trial> trials;
    auto consider = [&](std::int32_t width) {
      if (std::optional<Layout> layout = TryWidth(items, width)) trials.push_back({width, layout->sheet});
    };
    for (std::int32_t width = low; width <= high; width += step) consider(width);
    consider(high);
    if (const Trial* coarse = Best(trials); coarse && step > 1) {
      const std::int32_t around = coarse->binWidth;
      for (std::int32_t width = std::max(low, around - step); width <= std::min(high, around + step); ++width)
        consider(width);
    }
    const Trial* best = Best(trials);
    if (!best) return std::nullopt;
    return TryWidth(items, best->binWidth);
  }

  std::optional<Layout> SmallestPowerOfTwo(const std::vector<Item>& items) const {
    std::int64_t area = 0;
    for (const Item& item : items)
      area += std::int64_t{item.w - options_.Spacing} * (item.h - options_.Spacing);
    std::vector<TPackSize> sheets;
    for (std::int32_t w = 1; w <= maxSide_; w *= 2)
      for (std::int32_t h = 1; h <= maxSide_; h *= 2)
        if (std::int64_t{w} * h >= area) sheets.push_back({w, h});
    std::sort(sheets.begin(), sheets.end(), [](const TPackSize& a, const TPackSize& b) {
      if (Area(a) != Area(b)) return Area(a) < Area(b);
      return std::abs(a.Width - a.Height) < std::abs(b.Width - b.Height);
    });
    for (const TPackSize& sheet : sheets)
      if (std::optional<Layout> layout =
              PackInto(items, sheet.Width + options_.Spacing, sheet.Height + options_.Spacing, true)) {
        layout->sheet = sheet;
        return layout;
      }
    return std::nullopt;
  }

  const TPackOptions& options_;
  std::int32_t maxSide_;
};

void CheckOptions(const TPackOptions& options) {
  if (options.MaxSide < 1 || options.MaxSide > kMaxBitmapSide)
    throw EFulgoError("The largest sheet side " + std::to_string(options.MaxSide) + " is not 1.." +
                      std::to_string(kMaxBitmapSide));
  if (options.Spacing < 0 || options.Spacing > options.MaxSide)
    throw EFulgoError("A spacing of " + std::to_string(options.Spacing) + " is not 0.." +
                      std::to_string(options.MaxSide));
}

std::int32_t LargestPowerOfTwo(std::int32_t atMost) {
  std::int32_t p = 1;
  while (p * 2 <= atMost) p *= 2;
  return p;
}

}  // namespace

TPacking PackRectangles(const std::vector<TPackSize>& Sizes, const TPackOptions& Options) {
  CheckOptions(Options);
  const std::int32_t maxSide = Options.PowerOfTwo ? LargestPowerOfTwo(Options.MaxSide) : Options.MaxSide;
  std::vector<Item> items;
  for (std::size_t i = 0; i < Sizes.size(); ++i) {
    const TPackSize& size = Sizes[i];
    if (size.Width <= 0 || size.Height <= 0 || size.Width > maxSide || size.Height > maxSide)
      throw EFulgoError("A rectangle of " + std::to_string(size.Width) + " x " + std::to_string(size.Height) +
                        " does not fit a sheet of at most " + std::to_string(maxSide) + " x " +
                        std::to_string(maxSide));
    items.push_back({i, size.Width + Options.Spacing, size.Height + Options.Spacing});
  }
  // Large rectangles first: the small ones fill the gaps they leave.
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    const std::int32_t sideA = std::max(a.w, a.h), sideB = std::max(b.w, b.h);
    if (sideA != sideB) return sideA > sideB;
    return std::int64_t{a.w} * a.h > std::int64_t{b.w} * b.h;
  });

  const SheetSearch search(Options, maxSide);
  TPacking packing;
  packing.Places.resize(Sizes.size());
  while (!items.empty()) {
    std::optional<Layout> layout = search.Smallest(items);
    if (!layout) layout = search.Greedy(items);
    const auto sheet = static_cast<std::int32_t>(packing.Sheets.size());
    packing.Sheets.push_back(layout->sheet);
    std::vector<bool> placed(Sizes.size(), false);
    for (const auto& [index, place] : layout->placed) {
      packing.Places[index] = {sheet, place.x, place.y};
      placed[index] = true;
    }
    std::erase_if(items, [&](const Item& item) { return placed[item.index]; });
  }
  return packing;
}

}  // namespace vantora
