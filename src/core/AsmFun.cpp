#include "core/AsmFun.h"

#include <cstring>
#include <vector>

#include "base/Fultype.h"
#include "core/DibLayout.h"
#include "core/RowOps.h"

namespace vantora {

namespace {

std::size_t RasterBytes(std::uint32_t width, std::uint32_t height) {
  return std::size_t{dib::RowStride(width)} * height;
}

}  // namespace

std::uint32_t StretchStep(std::uint16_t SrcWidth, std::uint16_t DstWidth) {
  if (DstWidth < 2) return 0;
  return static_cast<std::uint32_t>((std::int64_t{SrcWidth - 1} * 65536 + 32768) / (DstWidth - 1));
}

void SetMem(void* Dest, std::uint8_t Value, std::int32_t Count) {
  if (Count > 0) std::memset(Dest, Value, static_cast<std::size_t>(Count));
}

void CopyMem(void* Dest, const void* Source, std::uint16_t Count) {
  auto* d = static_cast<std::uint8_t*>(Dest);
  const auto* s = static_cast<const std::uint8_t*>(Source);
  if (d <= s || d >= s + Count) {
    std::memmove(d, s, Count);
  } else {
    for (std::uint16_t i = 0; i < Count; ++i) d[i] = s[i];
  }
}

void SetColorPixel(void* Dib, std::uint8_t NewIndex, std::uint8_t OldIndex) {
  auto* block = static_cast<std::uint8_t*>(Dib);
  // This one primitive sizes the raster from the whole 32-bit fields.
  const std::uint64_t width = dib::Get32(block + dib::kWidth);
  const std::uint64_t height = dib::Get32(block + dib::kHeight);
  const std::uint64_t bytes = (width * 8 + 31) / 32 * 4 * height;
  if (bytes == 0) throw EFulgoError("Bitmap size is zero");
  rowops::ReplaceByte(dib::Bits(block), static_cast<std::size_t>(bytes), OldIndex, NewIndex);
}

void BrushObject(void* Dib, std::uint8_t NewIndex, std::uint8_t KeepIndex) {
  auto* block = static_cast<std::uint8_t*>(Dib);
  rowops::PaintExcept(dib::Bits(block), RasterBytes(dib::Width(block), dib::Height(block)), KeepIndex,
                      NewIndex);
}

void ColorizeText(void* Target, const void* Source, std::uint16_t Width, std::uint16_t Height,
                  std::uint8_t Transparent) {
  rowops::FillThrough(static_cast<std::uint8_t*>(Target), static_cast<const std::uint8_t*>(Source),
                      RasterBytes(Width, Height), Transparent);
}

void Stretch(const void* Source, void* Dest, std::uint16_t SrcWidth, std::uint16_t SrcHeight,
             std::uint16_t DstWidth, std::uint16_t DstHeight) {
  if (SrcWidth == 0 || SrcHeight == 0 || DstWidth == 0 || DstHeight == 0) return;
  const auto* src = static_cast<const std::uint8_t*>(Source);
  auto* dst = static_cast<std::uint8_t*>(Dest);
  const std::size_t srcStride = dib::RowStride(SrcWidth);
  const std::size_t dstStride = dib::RowStride(DstWidth);
  const std::uint32_t xstep = StretchStep(SrcWidth, DstWidth);
  const std::uint32_t ystep = StretchStep(SrcHeight, DstHeight);

  std::uint32_t yacc = 0;
  std::uint32_t lastRow = 0;
  for (std::uint32_t j = 0; j < DstHeight; ++j, yacc += ystep, dst += dstStride) {
    const std::uint32_t row = yacc >> 16;
    // Enlarging repeats source rows: the row just produced is the same bytes.
    if (j > 0 && row == lastRow) {
      std::memcpy(dst, dst - dstStride, DstWidth);
      continue;
    }
    lastRow = row;
    const std::uint8_t* line = src + row * srcStride;
    // At equal widths the step's excess over one pixel adds up to less than a pixel by the last
    // column, so every column takes its own.
    if (SrcWidth == DstWidth) {
      std::memcpy(dst, line, DstWidth);
      continue;
    }
    std::uint32_t xacc = 0;
    for (std::uint32_t i = 0; i < DstWidth; ++i, xacc += xstep) dst[i] = line[xacc >> 16];
  }
}

void StretchGrid(const void* Source, std::uint16_t SrcWidth, std::uint16_t SrcHeight, std::uint16_t DstWidth,
                 std::uint16_t DstHeight, std::vector<std::int32_t>& Columns,
                 std::vector<const std::uint8_t*>& Rows) {
  const auto* src = static_cast<const std::uint8_t*>(Source);
  const std::size_t srcStride = dib::RowStride(SrcWidth);
  Columns.resize(DstWidth);
  const std::uint32_t xstep = StretchStep(SrcWidth, DstWidth);
  std::uint32_t xacc = 0;
  for (std::int32_t& column : Columns) column = static_cast<std::int32_t>(xacc >> 16), xacc += xstep;
  // A row equal to the one before it is the same pointer: a picture such as a linear gradient
  // repeats its rows, and an enlarged one repeats each source row.
  Rows.resize(DstHeight);
  const std::uint32_t ystep = StretchStep(SrcHeight, DstHeight);
  std::uint32_t yacc = 0;
  for (std::size_t j = 0; j < Rows.size(); ++j, yacc += ystep) {
    const std::uint8_t* line = src + (yacc >> 16) * srcStride;
    Rows[j] = j > 0 && std::memcmp(line, Rows[j - 1], SrcWidth) == 0 ? Rows[j - 1] : line;
  }
}

void StretchThrough(const void* Source, void* Target, std::uint16_t SrcWidth, std::uint16_t SrcHeight,
                    std::uint16_t DstWidth, std::uint16_t DstHeight, const std::uint8_t* Map,
                    std::uint8_t Transparent) {
  if (DstWidth == 0 || DstHeight == 0) return;
  if (SrcWidth == 0 || SrcHeight == 0) {
    std::memset(Target, Transparent, dib::RowStride(DstWidth) * DstHeight);
    return;
  }
  std::vector<std::int32_t> columns;
  std::vector<const std::uint8_t*> rows;
  StretchGrid(Source, SrcWidth, SrcHeight, DstWidth, DstHeight, columns, rows);
  SampleThrough(rows.data(), columns.data(), Target, DstWidth, DstHeight, Map, Transparent);
}

void SampleThrough(const std::uint8_t* const* Rows, const std::int32_t* Columns, void* Target,
                   std::uint16_t DstWidth, std::uint16_t DstHeight, const std::uint8_t* Map,
                   std::uint8_t Transparent) {
  auto* dst = static_cast<std::uint8_t*>(Target);
  const std::size_t dstStride = dib::RowStride(DstWidth);
  std::vector<std::uint8_t> sampled(DstWidth);
  const std::uint8_t* sampledFrom = nullptr;
  for (std::uint32_t j = 0; j < DstHeight; ++j, dst += dstStride) {
    const std::uint8_t* line = Rows[j];
    if (line != sampledFrom) {
      for (std::uint32_t i = 0; i < DstWidth; ++i) sampled[i] = Map[line[Columns[i]]];
      sampledFrom = line;
    }
    rowops::FillThrough(dst, sampled.data(), DstWidth, Transparent);
    std::memset(dst + DstWidth, Transparent, dstStride - DstWidth);
  }
}

}  // namespace vantora
