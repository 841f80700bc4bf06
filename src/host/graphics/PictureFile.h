// Picture files: BMP (1, 4, 8, 16, 24 and 32 bits, RLE4, RLE8 and bit fields), PNG and JPEG read
// into a DIB; BMP and PNG written from one. Outside data is checked before anything is allocated:
// a file that is truncated, lies about its size or uses an encoding not read here raises
// EInvalidGraphic with a message that says what is wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Errors.h"
#include "host/classes/Stream.h"
#include "host/graphics/GdiTypes.h"

VANTORA_API_BEGIN
namespace vantora::host {

// A device-independent bitmap that owns its header, colour table and rows: 8 bits with a colour
// table, or 32 bits (blue, green, red, 0). Rows are stored top-down (the header's height is
// negative), each padded to 4 bytes.
class DibImage {
 public:
  DibImage() = default;
  // A zero-filled picture; BitCount is 8 or 32.
  DibImage(int width, int height, int bitCount);

  bool Empty() const { return bits_.empty(); }
  int Width() const { return info_.bmiHeader.biWidth; }
  int Height() const { return -info_.bmiHeader.biHeight; }
  int BitCount() const { return info_.bmiHeader.biBitCount; }
  std::size_t Stride() const { return stride_; }
  // Colour-table entries in use (8 bits only); the table always has room for 256.
  int ColorCount() const { return static_cast<int>(info_.bmiHeader.biClrUsed); }
  void SetColorCount(int count);
  RGBQUAD* Colors() { return info_.bmiColors; }
  const RGBQUAD* Colors() const { return info_.bmiColors; }

  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&info_); }
  std::uint8_t* Bits() { return bits_.data(); }
  const std::uint8_t* Bits() const { return bits_.data(); }
  std::size_t BitsSize() const { return bits_.size(); }
  std::uint8_t* Row(int y) { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * stride_; }

 private:
  BITMAPINFO256 info_{};
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

enum class PictureFormat { Unknown, Bmp, Png, Jpeg };

// Recognises a picture by its first bytes.
PictureFormat DetectPictureFormat(const void* data, std::size_t size);

// Indexed pictures (BMP of 8 bits or fewer, palette PNG) give 8-bit images with their colours,
// the others 32-bit images; transparent pixels (PNG, BMP with an alpha mask) are laid over white.
DibImage ReadPicture(const void* data, std::size_t size);
DibImage ReadBmp(const void* data, std::size_t size);
DibImage ReadPng(const void* data, std::size_t size);
DibImage ReadJpeg(const void* data, std::size_t size);
// Reads the rest of the stream.
DibImage ReadPicture(TStream& stream);
// EFOpenError when the file cannot be opened.
DibImage ReadPictureFile(const std::string& path);

// A BMP file image of a DIB exactly as given: file header, header, colour table (as many entries
// as the header uses), rows.
std::vector<std::uint8_t> EncodeBmp(const BITMAPINFO* info, const void* bits);
void WriteBmpFile(const std::string& path, const BITMAPINFO* info, const void* bits);

// A PNG file image of a DIB: DIBs of 8 bits or fewer become palette PNGs with the DIB's colours,
// deeper ones 24-bit colour PNGs. A palette PNG given ClearIndex (0..255) carries a transparency
// chunk that makes that index's pixels clear and every other one opaque.
std::vector<std::uint8_t> EncodePng(const BITMAPINFO* info, const void* bits, int clearIndex = -1);
void WritePngFile(const std::string& path, const BITMAPINFO* info, const void* bits, int clearIndex = -1);
// A PNG with alpha of top-down rows of red, green, blue, alpha bytes, Stride bytes apart.
std::vector<std::uint8_t> EncodeRgbaPng(int width, int height, const std::uint8_t* pixels,
                                        std::size_t stride);
void WriteRgbaPngFile(const std::string& path, int width, int height, const std::uint8_t* pixels,
                      std::size_t stride);
// Screenshots: top-down rows of 0x00RRGGBB pixels, Stride pixels apart.
void WritePngFile(const std::string& path, int width, int height, const std::uint32_t* pixels,
                  std::size_t stride);

}  // namespace vantora::host
VANTORA_API_END
