#include "effects/FillRows.h"

#include <algorithm>
#include <cstring>

#include "core/AsmFun.h"
#include "core/RowOps.h"

namespace vantora {

namespace {

// Up to this many bytes of repeated tile rows are kept for the whole mask, as the tiled fill does.
constexpr std::size_t kPatternCache = 256 * 1024;

bool IsTiled(efgColorType type) {
  return type == fgTiledBitmap || type == fgTiledGradient;
}
bool IsStretched(efgColorType type) {
  return type == fgBitmap || type == fgGradient;
}

}  // namespace

bool tFillRows::Handles(const tFulgoColor& Fill) {
  return Fill.ColorType != fgFuzz;
}

tFillRows::tFillRows(const tFulgoColor& Fill, std::int32_t Width, std::int32_t Height) : width_(Width) {
  // The kinds as ApplyColor tells them apart: a picture kind without a working picture paints a brush.
  const bool work = Fill.HasWork();
  if (work && IsStretched(Fill.ColorType)) {
    kind_ = eKind::Sampled;
    map_ = Fill.WorkMap.data();
    if (Fill.WorkGradient) {
      Fill.WorkGradient->SampleGrid(Width, Height, columns_, rows_);
    } else {
      const tFulgoDib& picture = *Fill.WorkDib;
      StretchGrid(dib::Bits(picture.Dib), picture.GetWidth(), picture.GetHeight(),
                  static_cast<std::uint16_t>(Width), static_cast<std::uint16_t>(Height), columns_, rows_);
    }
    made_.resize(static_cast<std::size_t>(Width));
  } else if (work && IsTiled(Fill.ColorType)) {
    kind_ = eKind::Tiled;
    tile_ = Fill.WorkDib.get();
    const std::int32_t th = tile_->GetHeight();
    cached_ = static_cast<std::size_t>(th) * static_cast<std::size_t>(Width) <= kPatternCache;
    made_.resize((cached_ ? static_cast<std::size_t>(th) : 1) * static_cast<std::size_t>(Width));
    tileRowMade_.assign(cached_ ? static_cast<std::size_t>(th) : 0, false);
    tileRows_.resize(static_cast<std::size_t>(std::max(Height, 0)));
    std::int32_t row = (th - Height % th) % th;
    for (std::int32_t& shown : tileRows_) {
      shown = row;
      if (++row == th) row = 0;
    }
  } else {
    made_.assign(static_cast<std::size_t>(Width), static_cast<std::uint8_t>(Fill.BrushIndex));
    Check(made_.data(), made_.size());
  }
}

void tFillRows::Check(const std::uint8_t* row, std::size_t n) {
  if (std::memchr(row, kTransparentIndex, n)) madeTransparent_ = true;
}

const std::uint8_t* tFillRows::Row(std::int32_t R) {
  switch (kind_) {
    case eKind::Sampled:
      return SampledRow(R);
    case eKind::Tiled:
      return TiledRow(R);
    case eKind::Brush:
      break;
  }
  return made_.data();
}

const std::uint8_t* tFillRows::SampledRow(std::int32_t R) {
  const std::uint8_t* line = rows_[static_cast<std::size_t>(R)];
  if (line == sampledFrom_) return made_.data();
  for (std::size_t i = 0; i < made_.size(); ++i) made_[i] = map_[line[columns_[i]]];
  sampledFrom_ = line;
  Check(made_.data(), made_.size());
  return made_.data();
}

const std::uint8_t* tFillRows::TiledRow(std::int32_t R) {
  const std::int32_t tw = tile_->GetWidth();
  const std::int32_t tileRow = TileRow(R);
  const auto width = static_cast<std::size_t>(width_);
  std::uint8_t* pattern = made_.data() + (cached_ ? static_cast<std::size_t>(tileRow) * width : 0);
  const bool made = cached_ ? tileRowMade_[static_cast<std::size_t>(tileRow)] : lastTileRow_ == tileRow;
  if (made) return pattern;
  const std::uint8_t* source = tile_->Row(tileRow);
  rowops::RepeatTile(pattern, width, source, static_cast<std::size_t>(tw));
  if (cached_)
    tileRowMade_[static_cast<std::size_t>(tileRow)] = true;
  else
    lastTileRow_ = tileRow;
  // The repeats hold nothing the tile's first pass did not.
  Check(pattern, std::min(width, static_cast<std::size_t>(tw)));
  return pattern;
}

}  // namespace vantora
