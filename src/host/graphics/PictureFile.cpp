// DIB images, format detection and BMP files.
#include "host/graphics/PictureFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "host/classes/AtomicFile.h"
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

std::string detail::PictureSizeProblem(std::int64_t width, std::int64_t height) {
  if (width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
      width * height <= kMaxPicturePixels)
    return {};
  return "size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range (at most " +
         std::to_string(kMaxPictureSide) + " x " + std::to_string(kMaxPictureSide) + " and " +
         std::to_string(kMaxPicturePixels) + " pixels)";
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

constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);

// The info header of a BMP file, checked.
struct InfoHeader {
  DibLayout layout;
  std::size_t size = 0;  // as stored: 12 for OS/2 bitmaps
  DWORD imageSize = 0;
  bool Core() const { return size == 12; }
  bool Rle() const { return layout.compression == BI_RLE8 || layout.compression == BI_RLE4; }
  // Four bytes a colour-table entry, three in OS/2 bitmaps.
  std::size_t TableStart() const { return kFileHeader + layout.tableOffset; }
  std::size_t TableBytes() const { return static_cast<std::size_t>(layout.tableEntries) * (Core() ? 3 : 4); }
};

// The pixel data of a BMP file: the stored rows, or the RLE codes.
struct PixelData {
  const std::uint8_t* bits = nullptr;
  std::size_t size = 0;
};

InfoHeader ReadInfoHeader(const std::uint8_t* file, std::size_t size) {
  if (!file || size < kFileHeader + 4) Bad("the file is too short for its headers");
  if (ReadAt<WORD>(file, 0) != BMP_SIGNATURE) Bad("the signature is not BM");
  InfoHeader info;
  info.size = ReadAt<DWORD>(file, kFileHeader);
  if (!info.Core() && info.size < 40) Bad("unsupported header size " + std::to_string(info.size));
  if (info.size > size - kFileHeader) Bad("the file ends inside its header");
  const std::uint8_t* stored = file + kFileHeader;
  // The header plus the masks that may follow it, as far as the file has them.
  std::vector<std::uint8_t> header(std::max<std::size_t>(info.size, 40) + 16, 0);
  const std::size_t headerBytes = std::min(header.size(), size - kFileHeader);
  if (info.Core()) {
    const BITMAPINFOHEADER h = FromCoreHeader(stored);
    std::memcpy(header.data(), &h, sizeof h);
  } else {
    std::memcpy(header.data(), stored, headerBytes);
  }
  // Read in place: the masks that may follow the header are read from behind it.
  const auto& h = *reinterpret_cast<const BITMAPINFOHEADER*>(header.data());
  // Top-down pictures have a negative height.
  if (const std::string problem = PictureSizeProblem(h.biWidth, std::abs(std::int64_t{h.biHeight}));
      !problem.empty())
    Bad(problem);
  if (const std::string problem = CheckDibLayout(h, headerBytes, info.layout); !problem.empty()) Bad(problem);
  if (info.Core()) info.layout.tableOffset = 12;
  info.imageSize = h.biSizeImage;
  return info;
}

std::array<RGBQUAD, 256> ReadColorTable(const std::uint8_t* file, std::size_t size, const InfoHeader& info) {
  const std::size_t start = info.TableStart(), bytes = info.TableBytes();
  if (start > size || bytes > size - start) Bad("the file ends inside its colour table");
  const std::size_t entrySize = info.Core() ? 3 : 4;
  std::array<RGBQUAD, 256> table{};
  for (int i = 0; i < info.layout.tableEntries; ++i) {
    const std::uint8_t* e = file + start + static_cast<std::size_t>(i) * entrySize;
    table[static_cast<std::size_t>(i)] = RGBQUAD{e[0], e[1], e[2], 0};
  }
  return table;
}

// Finds the pixel data and checks that the file holds all of it (RLE codes: that they can hold the
// picture), before anything is allocated.
PixelData LocatePixels(const std::uint8_t* file, std::size_t size, const InfoHeader& info) {
  std::size_t offset = ReadAt<BITMAPFILEHEADER>(file, 0).bfOffBits;
  if (offset == 0) offset = info.TableStart() + info.TableBytes();
  if (offset < kFileHeader + info.size) Bad("the pixel data starts inside the header");
  if (offset >= size) Bad("the file ends before its pixel data");
  const DibLayout& layout = info.layout;
  PixelData pixels{file + offset, size - offset};
  if (info.Rle()) {
    if (info.imageSize != 0 && info.imageSize < pixels.size) pixels.size = info.imageSize;
    if (const std::string problem = CheckRleSize(pixels.size, layout.width, layout.height); !problem.empty())
      Bad(problem);
    return pixels;
  }
  // Every row but the last needs its padding; the last needs its pixels.
  const std::size_t lastRow = (static_cast<std::size_t>(layout.width) * layout.bitCount + 7) / 8;
  const std::size_t needed = layout.stride * static_cast<std::size_t>(layout.height - 1) + lastRow;
  if (needed > pixels.size)
    Bad("the file holds " + std::to_string(pixels.size) + " bytes of pixels where a " +
        std::to_string(layout.width) + " x " + std::to_string(layout.height) + " picture needs " +
        std::to_string(needed));
  return pixels;
}

const std::uint8_t* StoredRow(const DibLayout& layout, PixelData pixels, int y) {
  const int stored = layout.topDown ? y : layout.height - 1 - y;
  return pixels.bits + static_cast<std::size_t>(stored) * layout.stride;
}

DibImage IndexedImage(const DibLayout& layout, const std::array<RGBQUAD, 256>& table) {
  DibImage image(layout.width, layout.height, 8);
  image.SetColorCount(layout.tableEntries);
  std::copy_n(table.begin(), layout.tableEntries, image.Colors());
  return image;
}

DibImage ReadIndexedRows(const DibLayout& layout, const std::array<RGBQUAD, 256>& table, PixelData pixels) {
  DibImage image = IndexedImage(layout, table);
  for (int y = 0; y < layout.height; ++y)
    UnpackIndices(StoredRow(layout, pixels, y), layout.bitCount, layout.width, image.Row(y));
  return image;
}

DibImage ReadRleRows(const DibLayout& layout, const std::array<RGBQUAD, 256>& table, PixelData pixels) {
  DibImage image = IndexedImage(layout, table);
  const auto width = static_cast<std::size_t>(layout.width);
  std::vector<std::uint8_t> decoded(width * static_cast<std::size_t>(layout.height), 0);
  if (const std::string problem =
          DecodeRle(pixels.bits, pixels.size, layout.width, layout.height, layout.bitCount, decoded.data());
      !problem.empty())
    Bad(problem);
  for (int y = 0; y < layout.height; ++y)
    std::memcpy(image.Row(y), decoded.data() + static_cast<std::size_t>(layout.height - 1 - y) * width,
                width);
  return image;
}

// Pixels with an alpha mask are laid over white, as transparent PNG pixels are. A picture whose
// alpha is 0 everywhere is taken as opaque: some writers give the mask and leave the channel empty.
void LayOverWhite(const DibLayout& layout, PixelData pixels, const RowConverter& converter, DibImage& image) {
  std::vector<std::uint8_t> alpha(static_cast<std::size_t>(layout.width));
  auto rowAlpha = [&](int y) {
    converter.ConvertAlpha(StoredRow(layout, pixels, y), alpha.data());
    return std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a != 0; });
  };
  int y = 0;
  while (y < layout.height && !rowAlpha(y)) ++y;
  if (y == layout.height) return;
  for (y = 0; y < layout.height; ++y) {
    rowAlpha(y);
    std::uint8_t* p = image.Row(y);
    for (int x = 0; x < layout.width; ++x, p += 4)
      for (int c = 0; c < 3; ++c) p[c] = OverWhite(p[c], alpha[static_cast<std::size_t>(x)]);
  }
}

DibImage ReadTrueColorRows(const DibLayout& layout, PixelData pixels) {
  DibImage image(layout.width, layout.height, 32);
  const std::array<Pixel, 256> noColors{};
  const RowConverter converter(layout, noColors);
  std::vector<Pixel> row(static_cast<std::size_t>(layout.width));
  for (int y = 0; y < layout.height; ++y) {
    converter.Convert(StoredRow(layout, pixels, y), row.data());
    std::memcpy(image.Row(y), row.data(), row.size() * sizeof(Pixel));
  }
  if (converter.HasAlpha()) LayOverWhite(layout, pixels, converter, image);
  return image;
}

}  // namespace

DibImage ReadBmp(const void* data, std::size_t size) {
  const auto* file = static_cast<const std::uint8_t*>(data);
  const InfoHeader info = ReadInfoHeader(file, size);
  const std::array<RGBQUAD, 256> table = ReadColorTable(file, size, info);
  const PixelData pixels = LocatePixels(file, size, info);
  if (info.Rle()) return ReadRleRows(info.layout, table, pixels);
  if (info.layout.bitCount <= 8) return ReadIndexedRows(info.layout, table, pixels);
  return ReadTrueColorRows(info.layout, pixels);
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
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace vantora::host
