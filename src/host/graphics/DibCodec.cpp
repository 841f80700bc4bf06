#include "host/graphics/DibCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantora::host::detail {

namespace {

bool ContiguousMask(DWORD mask) {
  if (mask == 0) return true;
  const DWORD shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

}  // namespace

std::string CheckDibLayout(const BITMAPINFOHEADER& h, std::size_t headerBytes, DibLayout& layout) {
  if (h.biSize < 40) return "unsupported bitmap header size " + std::to_string(h.biSize);
  if (h.biWidth <= 0 || h.biWidth > kMaxSide)
    return "bitmap width " + std::to_string(h.biWidth) + " out of range";
  if (h.biHeight == 0 || h.biHeight < -kMaxSide || h.biHeight > kMaxSide)
    return "bitmap height " + std::to_string(h.biHeight) + " out of range";
  layout.width = h.biWidth;
  layout.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  layout.topDown = h.biHeight < 0;
  if (static_cast<std::int64_t>(layout.width) * layout.height > kMaxPixels) return "bitmap too large";
  if (h.biPlanes != 1) return "bitmap plane count " + std::to_string(h.biPlanes) + " is not 1";
  layout.bitCount = h.biBitCount;
  layout.compression = h.biCompression;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return "unsupported bit count " + std::to_string(h.biBitCount);
  }
  const bool bitfields = h.biCompression == BI_BITFIELDS || h.biCompression == BI_ALPHABITFIELDS;
  const bool rleMatches =
      (h.biCompression == BI_RLE8 && h.biBitCount == 8) || (h.biCompression == BI_RLE4 && h.biBitCount == 4);
  if (h.biCompression != BI_RGB && !rleMatches && !(bitfields && (h.biBitCount == 16 || h.biBitCount == 32)))
    return "unsupported compression " + std::to_string(h.biCompression) + " for " +
           std::to_string(h.biBitCount) + " bits";
  if (rleMatches && layout.topDown) return "an RLE bitmap cannot be stored top-down";
  layout.stride = ((static_cast<std::size_t>(layout.width) * h.biBitCount + 31) / 32) * 4;
  layout.tableOffset = h.biSize;
  if (bitfields) {
    // The masks are part of larger headers, and follow the basic 40-byte header otherwise; the
    // alpha mask comes fourth, in headers of 56 bytes or more and after alpha bit fields.
    const bool alpha = h.biSize >= 56 || h.biCompression == BI_ALPHABITFIELDS;
    const std::size_t maskCount = alpha ? 4 : 3;
    if (h.biSize == 40) layout.tableOffset += (h.biCompression == BI_ALPHABITFIELDS ? 4 : 3) * 4;
    if (headerBytes < 40 + maskCount * 4) return "bitmap header too short for its colour masks";
    std::array<DWORD, 4> masks{};
    std::memcpy(masks.data(), reinterpret_cast<const std::uint8_t*>(&h) + 40, maskCount * 4);
    for (DWORD m : masks)
      if (!ContiguousMask(m)) return "colour mask is not one run of bits";
    layout.masks = {masks[0], masks[1], masks[2]};
    layout.alphaMask = masks[3];
  } else if (h.biBitCount == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (h.biBitCount == 32) {
    layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  if (h.biBitCount <= 8) {
    const int full = 1 << h.biBitCount;
    layout.tableEntries =
        h.biClrUsed == 0 ? full : static_cast<int>(std::min<DWORD>(h.biClrUsed, static_cast<DWORD>(full)));
  } else {
    layout.tableEntries = 0;
  }
  return {};
}

std::array<Pixel, 256> ColorLookup(const RGBQUAD* table, int entries) {
  std::array<Pixel, 256> lookup{};
  for (int i = 0; i < std::min(entries, 256); ++i)
    lookup[static_cast<std::size_t>(i)] = PixelFromRgbQuad(table[i]);
  return lookup;
}

std::string CheckRleSize(std::size_t size, int width, int height) {
  const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
  if (pixels > static_cast<std::int64_t>(std::min<std::size_t>(size, std::size_t{1} << 40)) * 1024 + 65536)
    return "RLE data of " + std::to_string(size) + " bytes cannot hold " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
  return {};
}

std::string DecodeRle(const std::uint8_t* data, std::size_t size, int width, int height, int bitCount,
                      std::uint8_t* out) {
  const bool four = bitCount == 4;
  std::size_t at = 0;
  // The column never passes the row's end, so runs and moves past it cannot make it overflow.
  int x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint8_t index) {
    if (x == width) return;
    out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = index;
    ++x;
  };
  while (y < height) {
    if (size - at < 2) {
      return "RLE data ends before the last row";
    }
    const std::uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i)
        put(four ? static_cast<std::uint8_t>((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return {};
      case 2:  // move right and up
        if (size - at < 2) return "RLE move ends early";
        x = std::min(x + data[at], width);
        y += data[at + 1];
        at += 2;
        break;
      default: {  // a run of literal pixels, padded to a whole number of words
        const std::size_t bytes = four ? (value + 1u) / 2u : value;
        const std::size_t padded = (bytes + 1u) & ~std::size_t{1};
        if (size - at < bytes) return "RLE literal run ends early";
        for (int i = 0; i < value; ++i) {
          const std::uint8_t b = data[at + static_cast<std::size_t>(four ? i / 2 : i)];
          put(four ? static_cast<std::uint8_t>((i & 1) ? b & 0x0F : b >> 4) : b);
        }
        at += std::min(padded, size - at);
        break;
      }
    }
  }
  return {};
}

void UnpackIndices(const std::uint8_t* row, int bitCount, int width, std::uint8_t* out) {
  switch (bitCount) {
    case 8:
      std::memcpy(out, row, static_cast<std::size_t>(width));
      return;
    case 4:
      for (int x = 0; x < width; ++x) out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
      return;
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      return;
    default:
      return;
  }
}

RowConverter::RowConverter(const DibLayout& layout, const std::array<Pixel, 256>& lookup)
    : layout_(layout), lookup_(lookup) {
  for (std::size_t c = 0; c < channels_.size(); ++c) {
    const DWORD mask = c < 3 ? layout.masks[c] : layout.alphaMask;
    Channel& channel = channels_[c];
    if (mask == 0) continue;
    channel.shift = std::countr_zero(mask);
    channel.bits = std::popcount(mask);
    if (channel.bits <= 8) {
      const int top = (1 << channel.bits) - 1;
      for (int v = 0; v <= top; ++v)
        channel.scale[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>((v * 255 + top / 2) / top);
    }
  }
}

std::uint8_t RowConverter::Component(std::uint32_t value, const Channel& c) const {
  if (c.bits == 0) return 0;
  const std::uint32_t v = value >> c.shift;
  if (c.bits <= 8) return c.scale[v & ((1u << c.bits) - 1)];
  return static_cast<std::uint8_t>((v & ((std::uint64_t{1} << c.bits) - 1)) >> (c.bits - 8));
}

std::uint32_t RowConverter::Value(const std::uint8_t* pixel) const {
  std::uint32_t v = pixel[0] | (static_cast<std::uint32_t>(pixel[1]) << 8);
  if (layout_.bitCount == 32)
    v |= (static_cast<std::uint32_t>(pixel[2]) << 16) | (static_cast<std::uint32_t>(pixel[3]) << 24);
  return v;
}

void RowConverter::ConvertAlpha(const std::uint8_t* row, std::uint8_t* out) const {
  const int bytes = layout_.bitCount / 8;
  for (int x = 0; x < layout_.width; ++x, row += bytes) out[x] = Component(Value(row), channels_[3]);
}

void RowConverter::Convert(const std::uint8_t* row, Pixel* out) const {
  const int width = layout_.width;
  switch (layout_.bitCount) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = lookup_[(row[x >> 3] >> (7 - (x & 7))) & 1];
      return;
    case 4:
      for (int x = 0; x < width; ++x) out[x] = lookup_[(x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4];
      return;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = lookup_[row[x]];
      return;
    case 24:
      for (int x = 0; x < width; ++x, row += 3)
        out[x] = (static_cast<Pixel>(row[2]) << 16) | (static_cast<Pixel>(row[1]) << 8) | row[0];
      return;
    case 16:
    case 32: {
      const bool standard32 = layout_.bitCount == 32 && layout_.masks[0] == 0xFF0000 &&
                              layout_.masks[1] == 0x00FF00 && layout_.masks[2] == 0x0000FF;
      if (standard32) {
        std::memcpy(out, row, static_cast<std::size_t>(width) * 4);
        for (int x = 0; x < width; ++x) out[x] &= kPixelMask;
        return;
      }
      const int bytes = layout_.bitCount / 8;
      for (int x = 0; x < width; ++x, row += bytes) {
        const std::uint32_t v = Value(row);
        out[x] = (static_cast<Pixel>(Component(v, channels_[0])) << 16) |
                 (static_cast<Pixel>(Component(v, channels_[1])) << 8) | Component(v, channels_[2]);
      }
      return;
    }
    default:
      return;
  }
}

namespace {

DibLayout Decompressed(DibLayout layout) {
  if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
    layout.bitCount = 8;
    layout.stride = static_cast<std::size_t>(layout.width);
    layout.topDown = false;
  }
  return layout;
}

}  // namespace

DibRows::DibRows(const DibLayout& layout, const void* bits, std::size_t bitsSize,
                 const std::array<Pixel, 256>& lookup, int startScan, int scanLines)
    : layout_(Decompressed(layout)),
      bits_(static_cast<const std::uint8_t*>(bits)),
      lookup_(lookup),
      converter_(layout_, lookup_),
      startScan_(startScan),
      row_(static_cast<std::size_t>(layout.width)) {
  width_ = layout_.width;
  const int height = layout_.height;
  if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
    error_ = CheckRleSize(bitsSize, layout_.width, height);
    if (!error_.empty()) return;
    decoded_.assign(static_cast<std::size_t>(layout_.width) * static_cast<std::size_t>(height), 0);
    error_ = DecodeRle(bits_, bitsSize, layout_.width, height, layout.bitCount, decoded_.data());
    if (!error_.empty()) return;
    bits_ = decoded_.data();
    startScan_ = startScan = 0;
    scanLines = height;
  }
  const int first = std::clamp(startScan, 0, height);
  const int last =
      static_cast<int>(std::clamp<std::int64_t>(std::int64_t{startScan} + std::max(scanLines, 0), 0, height));
  // Stored rows [first, last) in stored order; as top-down rows they are mirrored for bottom-up DIBs.
  if (layout_.topDown) {
    rowBegin_ = first;
    rowEnd_ = last;
  } else {
    rowBegin_ = height - last;
    rowEnd_ = height - first;
  }
}

const Pixel* DibRows::Row(int y) {
  if (y != rowY_) {
    const int stored = layout_.topDown ? y : layout_.height - 1 - y;
    const std::uint8_t* row = bits_ + static_cast<std::size_t>(stored - startScan_) * layout_.stride;
    converter_.Convert(row, row_.data());
    rowY_ = y;
  }
  return row_.data();
}

}  // namespace vantora::host::detail
