// DIB images, format detection and BMP files.
#include "host/graphics/PictureFile.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "host/graphics/DibCodec.h"
#include "host/graphics/Gdi.h"

namespace vantora::host {

using namespace detail;

DibImage::DibImage(int width, int height, int bitCount) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<std::int64_t>(width) * height > kMaxPixels || (bitCount != 8 && bitCount != 32))
    throw EInvalidGraphic("Invalid picture size " + std::to_string(width) + " x " + std::to_string(height) +
                          " x " + std::to_string(bitCount));
  BITMAPINFOHEADER& h = info_.bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = -height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bitCount);
  h.biCompression = BI_RGB;
  stride_ = DibStride(width, static_cast<WORD>(bitCount));
  h.biSizeImage = static_cast<DWORD>(stride_ * static_cast<std::size_t>(height));
  h.biClrUsed = bitCount == 8 ? 256 : 0;
  bits_.assign(h.biSizeImage, 0);
}

void DibImage::SetColorCount(int count) {
  if (BitCount() == 8) info_.bmiHeader.biClrUsed = static_cast<DWORD>(std::clamp(count, 1, 256));
}

PictureFormat DetectPictureFormat(const void* data, std::size_t size) {
  const auto* b = static_cast<const std::uint8_t*>(data);
  if (!b) return PictureFormat::Unknown;
  if (size >= 2 && b[0] == 'B' && b[1] == 'M') return PictureFormat::Bmp;
  if (size >= 8 && std::memcmp(b, "\x89PNG\r\n\x1A\n", 8) == 0) return PictureFormat::Png;
  if (size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return PictureFormat::Jpeg;
  return PictureFormat::Unknown;
}

DibImage ReadPicture(const void* data, std::size_t size) {
  switch (DetectPictureFormat(data, size)) {
    case PictureFormat::Bmp:
      return ReadBmp(data, size);
    case PictureFormat::Png:
      return ReadPng(data, size);
    case PictureFormat::Jpeg:
      return ReadJpeg(data, size);
    default:
      throw EInvalidGraphic(size == 0 ? "Picture file is empty" : "Unknown picture file format");
  }
}

DibImage ReadPicture(TStream& stream) {
  const std::int64_t remaining = stream.Remaining();
  if (remaining < 0 || remaining > std::int64_t{1} << 31) throw EInvalidGraphic("Picture file too large");
  std::vector<std::uint8_t> data(static_cast<std::size_t>(remaining));
  stream.ReadBuffer(data.data(), remaining);
  return ReadPicture(data.data(), data.size());
}

DibImage ReadPictureFile(const std::string& path) {
  TFileStream file(path, TFileMode::fmOpenRead);
  try {
    return ReadPicture(file);
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic(e.Message() + " (" + path + ")");
  }
}

// ---- BMP

namespace {

[[noreturn]] void Bad(const std::string& what) {
  throw EInvalidGraphic("Invalid BMP file: " + what);
}

template <class T>
T ReadAt(const std::uint8_t* data, std::size_t offset) {
  T value;
  std::memcpy(&value, data + offset, sizeof value);
  return value;
}

// The small header of OS/2 bitmaps, widened to the usual one.
BITMAPINFOHEADER FromCoreHeader(const std::uint8_t* p) {
  BITMAPINFOHEADER h{};
  h.biSize = 40;  // checked as the usual header; its table still starts at byte 12
  h.biWidth = ReadAt<WORD>(p, 4);
  h.biHeight = ReadAt<WORD>(p, 6);
  h.biPlanes = ReadAt<WORD>(p, 8);
  h.biBitCount = ReadAt<WORD>(p, 10);
  h.biCompression = BI_RGB;
  return h;
}

}  // namespace

DibImage ReadBmp(const void* data, std::size_t size) {
  const auto* file = static_cast<const std::uint8_t*>(data);
  constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
  if (!file || size < kFileHeader + 4) Bad("the file is too short for its headers");
  const auto fileHeader = ReadAt<BITMAPFILEHEADER>(file, 0);
  if (fileHeader.bfType != BMP_SIGNATURE) Bad("the signature is not BM");
  const auto headerSize = ReadAt<DWORD>(file, kFileHeader);
  const bool core = headerSize == 12;
  if (!core && headerSize < 40) Bad("unsupported header size " + std::to_string(headerSize));
  if (headerSize > size - kFileHeader) Bad("the file ends inside its header");
  const std::uint8_t* info = file + kFileHeader;
  std::vector<std::uint8_t> header(std::max<std::size_t>(headerSize, 40) + 16, 0);
  if (core) {
    const BITMAPINFOHEADER h = FromCoreHeader(info);
    std::memcpy(header.data(), &h, sizeof h);
  } else {
    // The header plus the masks that may follow it, as far as the file has them.
    std::memcpy(header.data(), info, std::min(header.size(), size - kFileHeader));
  }
  // Read in place: the masks that may follow the header are read from behind it.
  const auto& h = *reinterpret_cast<const BITMAPINFOHEADER*>(header.data());
  DibLayout layout;
  if (const std::string problem = CheckDibLayout(h, std::min(header.size(), size - kFileHeader), layout);
      !problem.empty())
    Bad(problem);
  if (core) layout.tableOffset = 12;

  // The colour table: four bytes an entry (three in OS/2 bitmaps).
  const std::size_t entrySize = core ? 3 : 4;
  const std::size_t tableStart = kFileHeader + layout.tableOffset;
  const std::size_t tableBytes = static_cast<std::size_t>(layout.tableEntries) * entrySize;
  if (tableStart > size || tableBytes > size - tableStart) Bad("the file ends inside its colour table");
  std::array<RGBQUAD, 256> table{};
  for (int i = 0; i < layout.tableEntries; ++i) {
    const std::uint8_t* e = file + tableStart + static_cast<std::size_t>(i) * entrySize;
    table[static_cast<std::size_t>(i)] = RGBQUAD{e[0], e[1], e[2], 0};
  }

  std::size_t offset = fileHeader.bfOffBits;
  if (offset == 0) offset = tableStart + tableBytes;
  if (offset < kFileHeader + headerSize) Bad("the pixel data starts inside the header");
  if (offset >= size) Bad("the file ends before its pixel data");
  const std::size_t available = size - offset;
  const std::uint8_t* bits = file + offset;
  const bool rle = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;
  std::size_t bitsSize = available;
  if (rle) {
    if (h.biSizeImage != 0 && h.biSizeImage < available) bitsSize = h.biSizeImage;
    if (const std::string problem = CheckRleSize(bitsSize, layout.width, layout.height); !problem.empty())
      Bad(problem);
  } else {
    // Every row but the last needs its padding; the last needs its pixels.
    const std::size_t lastRow = (static_cast<std::size_t>(layout.width) * layout.bitCount + 7) / 8;
    const std::size_t needed = layout.stride * static_cast<std::size_t>(layout.height - 1) + lastRow;
    if (needed > available)
      Bad("the file holds " + std::to_string(available) + " bytes of pixels where a " +
          std::to_string(layout.width) + " x " + std::to_string(layout.height) + " picture needs " +
          std::to_string(needed));
  }

  const std::array<Pixel, 256> lookup = ColorLookup(table.data(), layout.tableEntries);
  const int width = layout.width, height = layout.height;
  if (layout.bitCount <= 8) {
    DibImage image(width, height, 8);
    image.SetColorCount(layout.tableEntries);
    std::copy_n(table.begin(), layout.tableEntries, image.Colors());
    if (rle) {
      std::vector<std::uint8_t> decoded(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                        0);
      if (const std::string problem =
              DecodeRle(bits, bitsSize, width, height, layout.bitCount, decoded.data());
          !problem.empty())
        Bad(problem);
      for (int y = 0; y < height; ++y)
        std::memcpy(
            image.Row(y),
            decoded.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width),
            static_cast<std::size_t>(width));
    } else {
      for (int y = 0; y < height; ++y) {
        const int stored = layout.topDown ? y : height - 1 - y;
        UnpackIndices(bits + static_cast<std::size_t>(stored) * layout.stride, layout.bitCount, width,
                      image.Row(y));
      }
    }
    return image;
  }
  DibImage image(width, height, 32);
  DibRows rows(layout, bits, bitsSize, lookup, 0, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(image.Row(y), rows.Row(y), static_cast<std::size_t>(width) * sizeof(Pixel));
  return image;
}

std::vector<std::uint8_t> EncodeBmp(const BITMAPINFO* info, const void* bits) {
  DibLayout layout;
  if (!info || !bits) throw EInvalidGraphic("No bitmap to write");
  if (const std::string problem =
          CheckDibLayout(info->bmiHeader, std::numeric_limits<std::size_t>::max(), layout);
      !problem.empty())
    throw EInvalidGraphic("Cannot write bitmap: " + problem);
  const DWORD c = info->bmiHeader.biCompression;
  const std::size_t bitsSize = (c == BI_RLE8 || c == BI_RLE4)
                                   ? info->bmiHeader.biSizeImage
                                   : layout.stride * static_cast<std::size_t>(layout.height);
  const std::size_t headerBytes = layout.tableOffset + static_cast<std::size_t>(layout.tableEntries) * 4;
  const std::size_t offset = sizeof(BITMAPFILEHEADER) + headerBytes;
  const std::size_t total = offset + bitsSize;
  if (total > std::numeric_limits<DWORD>::max()) throw EInvalidGraphic("Bitmap too large for a BMP file");
  std::vector<std::uint8_t> out(total);
  const BITMAPFILEHEADER fileHeader{BMP_SIGNATURE, static_cast<DWORD>(total), 0, 0,
                                    static_cast<DWORD>(offset)};
  std::memcpy(out.data(), &fileHeader, sizeof fileHeader);
  std::memcpy(out.data() + sizeof fileHeader, info, headerBytes);
  std::memcpy(out.data() + offset, bits, bitsSize);
  return out;
}

void WriteBmpFile(const std::string& path, const BITMAPINFO* info, const void* bits) {
  const std::vector<std::uint8_t> bytes = EncodeBmp(info, bits);
  TFileStream file(path, TFileMode::fmCreate);
  file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace vantora::host
