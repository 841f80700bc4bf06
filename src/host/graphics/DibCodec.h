// Reading the rows of device-independent bitmaps: header checks, colour lookup, row conversion to
// device pixels and RLE decoding. Shared by the DIB calls and the BMP file reader; only the drawing
// layer's own sources include this header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/graphics/GdiObjects.h"
#include "host/graphics/Raster.h"

VANTORA_API_BEGIN
namespace vantora::host::detail {

// The largest picture a file may hold, checked against its header before anything is allocated:
// no face of a control is larger than 16384 a side, and 16 Mi pixels (a 16-megapixel photo, or
// 4096 x 4096) take 64 MB at 32 bits.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 24;

// What is wrong with a picture file's size, or an empty string when it is within the limits.
std::string PictureSizeProblem(std::int64_t width, std::int64_t height);

// What a BITMAPINFOHEADER says about its rows, checked.
struct DibLayout {
  int width = 0;
  int height = 0;  // always positive
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = BI_RGB;
  std::size_t stride = 0;        // bytes per stored row (uncompressed)
  std::size_t tableOffset = 0;   // bytes from the header's start to the colour table
  int tableEntries = 0;          // entries the colour table holds (0 above 8 bits)
  std::array<DWORD, 3> masks{};  // red, green, blue for 16 and 32 bits
  DWORD alphaMask = 0;           // with bit fields, where the header holds one; 0 for none
};

// Checks a header, which must lie in memory with the rest of its bytes (HeaderBytes of them
// readable: the header proper plus any masks after it). Answers
// an empty string when the layout is usable, else what is wrong with it.
std::string CheckDibLayout(const BITMAPINFOHEADER& header, std::size_t headerBytes, DibLayout& layout);

// A colour component of a pixel with the given coverage (0 to 255), laid over white.
inline std::uint8_t OverWhite(unsigned component, unsigned alpha) {
  return static_cast<std::uint8_t>((component * alpha + 255 * (255 - alpha) + 127) / 255);
}

// The colours of a 1-, 4- or 8-bit DIB as device pixels; missing entries are black.
std::array<Pixel, 256> ColorLookup(const RGBQUAD* table, int entries);

// RLE data can skip any part of a picture, so its size says little; this refuses sizes no real
// picture of that many bytes has (more than 1024 pixels a byte), before anything is allocated.
std::string CheckRleSize(std::size_t size, int width, int height);

// Decodes RLE8 or RLE4 data into bottom-up rows of one index byte per pixel (Width bytes a row);
// pixels the data does not reach stay 0. Answers an empty string, or what is wrong with the data.
std::string DecodeRle(const std::uint8_t* data, std::size_t size, int width, int height, int bitCount,
                      std::uint8_t* out);

// Converts one stored row into device pixels.
class RowConverter {
 public:
  RowConverter(const DibLayout& layout, const std::array<Pixel, 256>& lookup);
  void Convert(const std::uint8_t* row, Pixel* out) const;
  // Device pixels have no alpha; pictures with an alpha mask give it apart, 0 to 255 a pixel.
  bool HasAlpha() const { return channels_[3].bits != 0; }
  void ConvertAlpha(const std::uint8_t* row, std::uint8_t* out) const;

 private:
  struct Channel {
    int shift = 0;
    int bits = 0;
    std::array<std::uint8_t, 256> scale{};
  };
  std::uint8_t Component(std::uint32_t value, const Channel& channel) const;
  std::uint32_t Value(const std::uint8_t* pixel) const;
  const DibLayout& layout_;
  const std::array<Pixel, 256>& lookup_;
  std::array<Channel, 4> channels_{};  // red, green, blue, alpha
};

// Unpacks a 1-, 4- or 8-bit row into one index byte per pixel.
void UnpackIndices(const std::uint8_t* row, int bitCount, int width, std::uint8_t* out);

// The rows of a DIB in memory as device pixels. Bits holds ScanLines stored rows starting at stored
// row StartScan (counted from the bottom for bottom-up DIBs). RLE bits are decoded first.
class DibRows : public RowSource {
 public:
  DibRows(const DibLayout& layout, const void* bits, std::size_t bitsSize,
          const std::array<Pixel, 256>& lookup, int startScan, int scanLines);
  const Pixel* Row(int y) override;
  const std::string& Error() const { return error_; }
  int StoredRows() const { return rowEnd_ - rowBegin_; }

 private:
  DibLayout layout_;
  const std::uint8_t* bits_;
  std::vector<std::uint8_t> decoded_;  // RLE pictures, one byte a pixel
  std::array<Pixel, 256> lookup_;
  RowConverter converter_;
  int startScan_;
  std::vector<Pixel> row_;
  int rowY_ = -1;
  std::string error_;
};

}  // namespace vantora::host::detail
VANTORA_API_END
