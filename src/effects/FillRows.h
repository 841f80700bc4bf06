// tFillRows: the rows a colour fill paints over a whole mask of a given size, made one at a time, so
// that a caller who knows which pixels a mask shows can copy just those from them. The fill must have
// been through its render phases and still hold its working data.
#pragma once

#include <cstdint>
#include <vector>

#include "VantoraExport.h"
#include "effects/Fulcolor.h"

VANTORA_API_BEGIN
namespace vantora {

class tFillRows {
 public:
  // Every kind but the fuzz, which paints by the mask's outline and grows it.
  static bool Handles(const tFulgoColor& Fill);

  tFillRows(const tFulgoColor& Fill, std::int32_t Width, std::int32_t Height);
  tFillRows(const tFillRows&) = delete;
  tFillRows& operator=(const tFillRows&) = delete;

  // Memory row R of a Width x Height mask painted whole: Width bytes, valid until the next call.
  const std::uint8_t* Row(std::int32_t R);
  // Whether rows may differ from one another: a brush paints them all alike.
  bool Varies() const { return kind_ != eKind::Brush; }
  // Rows of equal key hold the same bytes.
  std::uintptr_t RowKey(std::int32_t R) const {
    switch (kind_) {
      case eKind::Sampled:
        return reinterpret_cast<std::uintptr_t>(rows_[static_cast<std::size_t>(R)]);
      case eKind::Tiled:
        return static_cast<std::uintptr_t>(TileRow(R));
      case eKind::Brush:
        break;
    }
    return 0;
  }
  // Whether a row made so far holds the transparent index: painted into a mask, it would have
  // left a hole there.
  bool MadeTransparent() const { return madeTransparent_; }

 private:
  enum class eKind { Brush, Sampled, Tiled };

  // Notes whether the first N bytes of Row hold the transparent index.
  void Check(const std::uint8_t* row, std::size_t n);
  std::int32_t TileRow(std::int32_t R) const { return tileRows_[static_cast<std::size_t>(R)]; }
  const std::uint8_t* SampledRow(std::int32_t R);
  const std::uint8_t* TiledRow(std::int32_t R);

  eKind kind_ = eKind::Brush;
  std::int32_t width_ = 0;
  bool madeTransparent_ = false;
  // Brush: one row of the brush. Sampled: the last row sampled. Tiled: the repeated tile rows.
  std::vector<std::uint8_t> made_;
  // Sampled kinds: the stretch's picks and the map of the picture's values.
  std::vector<std::int32_t> columns_;
  std::vector<const std::uint8_t*> rows_;
  const std::uint8_t* map_ = nullptr;
  const std::uint8_t* sampledFrom_ = nullptr;
  // Tiled kinds: the tile, and which tile rows are repeated in made_ (all when they fit the cache,
  // else only the one last asked for).
  const tFulgoDib* tile_ = nullptr;
  // The tile row each memory row shows: the first band's top row is the mask's top row.
  std::vector<std::int32_t> tileRows_;
  bool cached_ = false;
  std::vector<bool> tileRowMade_;
  std::int32_t lastTileRow_ = -1;
};

}  // namespace vantora
VANTORA_API_END
