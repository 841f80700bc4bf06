#include "model/BandedLayers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/AsmFun.h"
#include "core/DibLayout.h"
#include "effects/FillRows.h"
#include "model/Fulgoobj.h"

namespace vantora {

namespace {

// Labels of the outline: the body, then two per layer (its first and second mask).
constexpr std::uint8_t kBodyLabel = 0;
constexpr std::size_t kMaxLayers = 3;
constexpr std::size_t kMaxLabels = 1 + 2 * kMaxLayers;
// Face rows remembered for their repeats: more than a tile's usual height, and a power of two.
constexpr std::size_t kMaxMadeSlots = 256;

std::uint8_t MaskLabel(std::size_t layer, int which) {
  return static_cast<std::uint8_t>(1 + 2 * layer + static_cast<std::size_t>(which));
}

// A layer whose masks keep the outline's straight sides straight: one of the three known ones, as
// they are, with fills that paint whole masks.
bool KeepsSides(const tFulgoLayer& layer) {
  if (!tFillRows::Handles(*layer.FulgoColor1)) return false;
  if (layer.Embossed && layer.UseColor2 && !tFillRows::Handles(*layer.FulgoColor2)) return false;
  const std::type_info& type = typeid(layer);
  if (type == typeid(tFulgoShadow)) {
    const auto& shadow = static_cast<const tFulgoShadow&>(layer);
    return shadow.SizeX == 100 && shadow.SizeY == 100;
  }
  return type == typeid(tFulgo3D) || type == typeid(tFulgoFrame);
}

// Bands are a few pixels wide: copied in place rather than through a call, as two fixed-size copies
// that overlap in the middle.
void CopyRun(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
  if (n > 16) {
    std::memcpy(to, from, n);
  } else if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n >= 2) {
    std::memcpy(to, from, 2);
    std::memcpy(to + n - 2, from + n - 2, 2);
  } else if (n == 1) {
    *to = *from;
  }
}

// A run of an outline row showing one label.
struct Run {
  std::int32_t from = 0, to = 0;
  std::uint8_t label = kTransparentIndex;
};

// What a label shows: the rows of its fill over its mask, whose top-left corner lies at (X, Y) of
// the face.
struct Source {
  std::unique_ptr<tFillRows> rows;
  std::int32_t x = 0, y = 0, height = 0;
};

// The outline worked out small, and how its columns or rows stretch to the face: the one at Middle
// repeats Extra more times, those after it move on by Extra.
struct Axis {
  std::int32_t middle = 0, extra = 0;

  std::int32_t ToFace(std::int32_t small) const { return small > middle ? small + extra : small; }
  std::int32_t ToSmall(std::int32_t face) const {
    if (face <= middle) return face;
    return face > middle + extra ? face - extra : middle;
  }
  // The size in the face of a span of the outline that starts at Start.
  std::int32_t Grown(std::int32_t start, std::int32_t size) const {
    return start <= middle && middle < start + size ? size + extra : size;
  }
};

// The runs of equal label of every memory row of the outline (those of row R are Runs[Starts[R]] up
// to Runs[Starts[R + 1]]), and the labels other than transparent each row shows, once each.
struct RowRuns {
  std::vector<Run> runs;
  std::vector<std::size_t> starts;
  std::vector<std::array<std::uint8_t, kMaxLabels + 1>> labels;

  void Find(const tFulgoDib& outline) {
    const std::int32_t w = outline.GetWidth();
    runs.clear();
    starts.clear();
    starts.reserve(static_cast<std::size_t>(outline.GetHeight()) + 1);
    labels.assign(static_cast<std::size_t>(outline.GetHeight()), {});
    for (std::int32_t r = 0; r < outline.GetHeight(); ++r) {
      starts.push_back(runs.size());
      const std::uint8_t* row = outline.Row(r);
      std::array<bool, kMaxLabels> seen{};
      std::size_t count = 0;
      for (std::int32_t c = 0; c < w;) {
        std::int32_t end = c + 1;
        while (end < w && row[end] == row[c]) ++end;
        runs.push_back({c, end, row[c]});
        if (row[c] != kTransparentIndex && !seen[row[c]]) {
          seen[row[c]] = true;
          labels[static_cast<std::size_t>(r)][count++] = row[c];
        }
        c = end;
      }
      labels[static_cast<std::size_t>(r)][count] = kTransparentIndex;
    }
    starts.push_back(runs.size());
  }
  const Run* begin(std::int32_t r) const { return runs.data() + starts[static_cast<std::size_t>(r)]; }
  const Run* end(std::int32_t r) const { return runs.data() + starts[static_cast<std::size_t>(r) + 1]; }
};

// Everything the outline of these layers around a SmallW x SmallH body depends on.
std::vector<std::int32_t> OutlineKey(const std::vector<tFulgoLayer*>& layers, std::int32_t smallW,
                                     std::int32_t smallH) {
  std::vector<std::int32_t> key{smallW, smallH};
  for (const tFulgoLayer* layer : layers) {
    const std::type_info& type = typeid(*layer);
    key.insert(key.end(), {type == typeid(tFulgo3D)      ? 0
                           : type == typeid(tFulgoFrame) ? 1
                                                         : 2,
                           layer->LineWidth, layer->Direction, layer->Embossed, layer->UseColor2});
    if (type == typeid(tFulgoShadow)) {
      const auto& shadow = static_cast<const tFulgoShadow&>(*layer);
      key.insert(key.end(), {shadow.Left, shadow.Top});
    }
  }
  return key;
}

}  // namespace

// The outline's runs of labels, memory rows from the bottom, where the body lies in it and where each
// mask went. Key holds all it depends on: the small body's size and the layers' geometry.
struct tBandOutline {
  struct Mask {
    std::size_t layer;
    int which;
    tFulgoLayer::tLaidMask at;
  };
  std::vector<std::int32_t> key;
  RowRuns runs;
  std::int32_t width = 0, height = 0;
  std::int32_t bodyX = 0, bodyY = 0;
  std::vector<Mask> masks;

  tBandOutline(const std::vector<tFulgoLayer*>& layers, std::int32_t smallW, std::int32_t smallH,
               std::vector<std::int32_t> madeFrom);
};

void tBandOutlineDeleter::operator()(tBandOutline* Outline) const {
  delete Outline;
}

tBandOutline::tBandOutline(const std::vector<tFulgoLayer*>& layers, std::int32_t smallW, std::int32_t smallH,
                           std::vector<std::int32_t> madeFrom)
    : key(std::move(madeFrom)) {
  tFulgoDib dib;
  dib.NewColored(static_cast<TWidth>(smallW), static_cast<THeight>(smallH), kBodyLabel);
  for (std::size_t l = 0; l < layers.size(); ++l) {
    const tFulgoLayer::tLaidMasks laid = layers[l]->LayMasks(
        dib, [l](int which, const tFulgoColor&) { return std::optional<std::uint8_t>(MaskLabel(l, which)); },
        [l](int which, tFulgoColor&, tFulgoDib& mask) {
          if (!mask.Empty()) BrushObject(mask.Dib, MaskLabel(l, which), kTransparentIndex);
        });
    for (Mask& mask : masks) {
      mask.at.X += laid.GrowX;
      mask.at.Y += laid.GrowY;
    }
    bodyX += laid.GrowX;
    bodyY += laid.GrowY;
    for (int which = 0; which < 2; ++which)
      if (laid.Masks[static_cast<std::size_t>(which)].Laid)
        masks.push_back({l, which, laid.Masks[static_cast<std::size_t>(which)]});
  }
  width = dib.GetWidth();
  height = dib.GetHeight();
  runs.Find(dib);
}

namespace {

// The outline of the look, made anew only when it differs from the one Kept.
const tBandOutline& OutlineOf(tKeptBandOutline& kept, const std::vector<tFulgoLayer*>& layers,
                              std::int32_t smallW, std::int32_t smallH) {
  std::vector<std::int32_t> key = OutlineKey(layers, smallW, smallH);
  // A failure half-way keeps the old outline, which still matches its own key.
  if (!kept || key != kept->key) kept.reset(new tBandOutline(layers, smallW, smallH, std::move(key)));
  return *kept;
}

}  // namespace

bool RenderAsBands(tFulgoObject& Object, std::int32_t Width, std::int32_t Height) {
  if (Object.Dib->TransparentIndex != kTransparentIndex || !tFillRows::Handles(*Object.FulgoColor))
    return false;
  std::vector<tFulgoLayer*> layers;
  // How far the layers together reach from the body's edges: the corners need that much room.
  std::int32_t reach = 0;
  for (tFulgoLayer* layer : Object.Layers.Actives()) {
    if (!KeepsSides(*layer) || layers.size() == kMaxLayers) return false;
    layer->CalcAddXY();
    reach += std::max(layer->AddWidth, layer->AddHeight) + 2;
    layers.push_back(layer);
  }
  if (layers.empty()) return false;

  const std::int32_t side = 2 * reach + 1;
  const tBandOutline& outline =
      OutlineOf(Object.BandOutline, layers, std::min(Width, side), std::min(Height, side));
  // Without a mask laid the bitmap keeps the body's own row padding, which only the fill decides.
  if (outline.masks.empty()) return false;

  const std::int32_t smallW = std::min(Width, side), smallH = std::min(Height, side);
  const Axis columns{outline.bodyX + smallW / 2, Width - smallW},
      rows{outline.bodyY + smallH / 2, Height - smallH};
  const std::int32_t faceW = outline.width + columns.extra, faceH = outline.height + rows.extra;
  if (faceW > kMaxBitmapSide || faceH > kMaxBitmapSide) return false;

  std::array<Source, kMaxLabels> sources;
  sources[kBodyLabel] = {std::make_unique<tFillRows>(*Object.FulgoColor, Width, Height),
                         columns.ToFace(outline.bodyX), rows.ToFace(outline.bodyY), Height};
  for (const tBandOutline::Mask& mask : outline.masks) {
    const tFulgoLayer& layer = *layers[mask.layer];
    const tFulgoColor& fill = mask.which == 0 ? *layer.FulgoColor1 : *layer.FulgoColor2;
    const std::int32_t h = rows.Grown(mask.at.Y, mask.at.Height);
    sources[MaskLabel(mask.layer, mask.which)] = {
        std::make_unique<tFillRows>(fill, columns.Grown(mask.at.X, mask.at.Width), h),
        columns.ToFace(mask.at.X), rows.ToFace(mask.at.Y), h};
  }

  const RowRuns& runs = outline.runs;
  // Only the labels whose fill rows differ tell rows apart: a brush paints every row alike.
  std::vector<std::array<std::uint8_t, kMaxLabels + 1>> keyed(runs.labels.size());
  for (std::size_t o = 0; o < keyed.size(); ++o) {
    std::size_t count = 0;
    for (const std::uint8_t* label = runs.labels[o].data(); *label != kTransparentIndex; ++label)
      if (sources[*label].rows->Varies()) keyed[o][count++] = *label;
    keyed[o][count] = kTransparentIndex;
  }
  tFulgoDib face;
  face.MakeUnwritten(static_cast<TWidth>(faceW), static_cast<THeight>(faceH));
  const std::size_t stride = face.Stride();
  std::uint8_t* const bits = face.Row(0);
  const std::int32_t outlineH = outline.height;
  // A row of the same outline row and the same fill rows as one made before is that row again: a
  // gradient's rows repeat the row before, a tile's rows the row a tile above. The rows made are
  // remembered by what they show, the last one in each slot.
  struct Made {
    std::int32_t outlineRow = -1;
    std::int32_t faceRow = 0;
    // The row keys of the outline row's keyed labels, in order; read only once written.
    std::array<std::uintptr_t, kMaxLabels> keys;
  };
  // No more slots than rows: a small face need not set up a large table.
  const std::size_t slots = std::min(kMaxMadeSlots, std::bit_ceil(static_cast<std::size_t>(faceH)));
  const auto made = std::make_unique_for_overwrite<Made[]>(slots);
  for (std::int32_t r = 0; r < faceH; ++r) {
    // Top-down rows: the face's, and the outline's it repeats.
    const std::int32_t y = faceH - 1 - r;
    const std::int32_t outlineRow = outlineH - 1 - rows.ToSmall(y);
    std::array<std::uintptr_t, kMaxLabels> keys;
    std::size_t count = 0;
    std::uint64_t hash = static_cast<std::uint64_t>(outlineRow);
    for (const std::uint8_t* label = keyed[static_cast<std::size_t>(outlineRow)].data();
         *label != kTransparentIndex; ++label, ++count) {
      const Source& source = sources[*label];
      keys[count] = source.rows->RowKey(source.height - 1 - (y - source.y));
      hash = (hash ^ keys[count]) * 0x9E3779B97F4A7C15u;
    }
    Made& slot = made[(hash >> 32) & (slots - 1)];
    std::uint8_t* const row = bits + static_cast<std::size_t>(r) * stride;
    // The same outline row has the same keyed labels: only their keys need comparing, a few of
    // them, in place rather than through a call.
    bool same = slot.outlineRow == outlineRow;
    for (std::size_t k = 0; same && k < count; ++k) same = slot.keys[k] == keys[k];
    if (same) {
      std::memcpy(row, bits + static_cast<std::size_t>(slot.faceRow) * stride, stride);
      continue;
    }
    slot.outlineRow = outlineRow;
    slot.faceRow = r;
    std::copy_n(keys.begin(), count, slot.keys.begin());
    // Each label's fill row, placed so that face column X reads its byte at X.
    std::array<const std::uint8_t*, kMaxLabels> from{};
    for (const std::uint8_t* label = runs.labels[static_cast<std::size_t>(outlineRow)].data();
         *label != kTransparentIndex; ++label) {
      Source& source = sources[*label];
      from[*label] = source.rows->Row(source.height - 1 - (y - source.y)) - source.x;
    }
    // Bounds taken once: the rows written might alias anything read through a pointer.
    const Run* const last = runs.end(outlineRow);
    for (const Run* run = runs.begin(outlineRow); run != last; ++run) {
      // In face columns: the middle column stands for the extra ones.
      const std::int32_t start = columns.ToFace(run->from);
      const auto n = static_cast<std::size_t>(columns.ToFace(run->to - 1) + 1 - start +
                                              (run->to - 1 == columns.middle ? columns.extra : 0));
      if (run->label == kTransparentIndex)
        std::memset(row + start, kTransparentIndex, n);
      else
        CopyRun(row + start, from[run->label] + start, n);
    }
    std::memset(row + faceW, 0, stride - static_cast<std::size_t>(faceW));
  }
  for (const Source& source : sources)
    if (source.rows && source.rows->MadeTransparent()) return false;

  Object.Dib->AdoptBlock(face.ReleaseBlock());
  Object.FulgoColor->ReleaseWork();
  for (tFulgoLayer* layer : layers) {
    layer->FulgoColor1->ReleaseWork();
    if (layer->Embossed && layer->UseColor2) layer->FulgoColor2->ReleaseWork();
  }
  return true;
}

}  // namespace vantora
