// PNG files through libpng's simplified interface, which reports errors by its return values.
#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "host/graphics/DibCodec.h"
#include "host/graphics/PictureFile.h"

namespace vantora::host {

using namespace detail;

namespace {

// Frees libpng's reading state on every way out.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  ~PngImage() { png_image_free(&image); }
  std::string Message() const { return image.message[0] ? image.message : "unknown error"; }
};

// Deflate expands at most about 1032 to 1, and a pixel takes at least one bit.
constexpr std::int64_t kMaxPixelsPerByte = 1032 * 8;

std::vector<std::uint8_t> Encode(png_image& image, const void* buffer, png_int_32 rowStride,
                                 const void* colormap) {
  png_alloc_size_t bytes = 0;
  if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, buffer, rowStride, colormap))
    throw EInvalidGraphic(std::string("Cannot write PNG: ") + image.message);
  std::vector<std::uint8_t> out(bytes);
  if (!png_image_write_to_memory(&image, out.data(), &bytes, 0, buffer, rowStride, colormap))
    throw EInvalidGraphic(std::string("Cannot write PNG: ") + image.message);
  out.resize(bytes);
  return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  TFileStream file(path, TFileMode::fmCreate);
  file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

DibImage ReadPng(const void* data, std::size_t size) {
  PngImage png;
  png_image& image = png.image;
  if (!data || !png_image_begin_read_from_memory(&image, data, size))
    throw EInvalidGraphic("Invalid PNG file: " + png.Message());
  const std::int64_t width = image.width, height = image.height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    throw EInvalidGraphic("Invalid PNG file: size " + std::to_string(width) + " x " + std::to_string(height) +
                          " out of range");
  if (width * height > static_cast<std::int64_t>(size) * kMaxPixelsPerByte + (1 << 16))
    throw EInvalidGraphic("Invalid PNG file: " + std::to_string(size) + " bytes cannot hold " +
                          std::to_string(width) + " x " + std::to_string(height) + " pixels");
  const png_color white{255, 255, 255};
  if (image.format & PNG_FORMAT_FLAG_COLORMAP) {
    DibImage out(static_cast<int>(width), static_cast<int>(height), 8);
    image.format = PNG_FORMAT_BGR_COLORMAP;
    std::array<std::uint8_t, 256 * 3> colormap{};
    if (image.colormap_entries > 256 ||
        !png_image_finish_read(&image, &white, out.Bits(), static_cast<png_int_32>(out.Stride()),
                               colormap.data()))
      throw EInvalidGraphic("Invalid PNG file: " + png.Message());
    const int entries = static_cast<int>(std::clamp<png_uint_32>(image.colormap_entries, 1, 256));
    out.SetColorCount(entries);
    for (int i = 0; i < entries; ++i) {
      const std::uint8_t* c = colormap.data() + 3 * i;
      out.Colors()[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    return out;
  }
  DibImage out(static_cast<int>(width), static_cast<int>(height), 32);
  image.format = PNG_FORMAT_BGRA;
  if (!png_image_finish_read(&image, nullptr, out.Bits(), static_cast<png_int_32>(out.Stride()), nullptr))
    throw EInvalidGraphic("Invalid PNG file: " + png.Message());
  // Lay translucent pixels over white, leaving the fourth byte 0 as device pixels have it.
  std::uint8_t* p = out.Bits();
  for (std::size_t i = 0, n = static_cast<std::size_t>(width * height); i < n; ++i, p += 4) {
    const unsigned a = p[3];
    if (a != 255)
      for (int c = 0; c < 3; ++c) p[c] = OverWhite(p[c], a);
    p[3] = 0;
  }
  return out;
}

std::vector<std::uint8_t> EncodePng(const BITMAPINFO* info, const void* bits) {
  DibLayout layout;
  if (!info || !bits) throw EInvalidGraphic("No bitmap to write");
  if (const std::string problem =
          CheckDibLayout(info->bmiHeader, std::numeric_limits<std::size_t>::max(), layout);
      !problem.empty())
    throw EInvalidGraphic("Cannot write PNG: " + problem);
  const int width = layout.width, height = layout.height;
  const auto* stored = static_cast<const std::uint8_t*>(bits);
  PngImage png;
  png_image& image = png.image;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  const bool rle = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;

  if (layout.bitCount <= 8) {
    // Top-down index rows and the DIB's colours, as many as the pixels use.
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    auto row = [&](int y) {
      return indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    };
    if (rle) {
      if (const std::string problem = CheckRleSize(info->bmiHeader.biSizeImage, width, height);
          !problem.empty())
        throw EInvalidGraphic("Cannot write PNG: " + problem);
      std::vector<std::uint8_t> decoded(indices.size(), 0);
      if (const std::string problem =
              DecodeRle(stored, info->bmiHeader.biSizeImage, width, height, layout.bitCount, decoded.data());
          !problem.empty())
        throw EInvalidGraphic("Cannot write PNG: " + problem);
      for (int y = 0; y < height; ++y)
        std::memcpy(
            row(y),
            decoded.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width),
            static_cast<std::size_t>(width));
    } else {
      for (int y = 0; y < height; ++y)
        UnpackIndices(stored + static_cast<std::size_t>(layout.topDown ? y : height - 1 - y) * layout.stride,
                      layout.bitCount, width, row(y));
    }
    const int used = *std::max_element(indices.begin(), indices.end()) + 1;
    const int entries = std::max(layout.tableEntries, used);
    std::array<std::uint8_t, 256 * 3> colormap{};
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + layout.tableOffset);
    for (int i = 0; i < layout.tableEntries; ++i) {
      colormap[static_cast<std::size_t>(3 * i)] = table[i].rgbBlue;
      colormap[static_cast<std::size_t>(3 * i + 1)] = table[i].rgbGreen;
      colormap[static_cast<std::size_t>(3 * i + 2)] = table[i].rgbRed;
    }
    image.format = PNG_FORMAT_BGR_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(entries);
    return Encode(image, indices.data(), width, colormap.data());
  }

  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
  DibRows rows(layout, bits, info->bmiHeader.biSizeImage, ColorLookup(nullptr, 0), 0, height);
  for (int y = 0; y < height; ++y) {
    const Pixel* from = rows.Row(y);
    std::uint8_t* to = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (int x = 0; x < width; ++x, to += 3) {
      to[0] = static_cast<std::uint8_t>(from[x]);
      to[1] = static_cast<std::uint8_t>(from[x] >> 8);
      to[2] = static_cast<std::uint8_t>(from[x] >> 16);
    }
  }
  image.format = PNG_FORMAT_BGR;
  return Encode(image, rgb.data(), width * 3, nullptr);
}

void WritePngFile(const std::string& path, const BITMAPINFO* info, const void* bits) {
  WriteFile(path, EncodePng(info, bits));
}

void WritePngFile(const std::string& path, int width, int height, const std::uint32_t* pixels,
                  std::size_t stride) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      stride < static_cast<std::size_t>(width))
    throw EInvalidGraphic("Cannot write PNG: no picture of that size");
  PngImage png;
  png.image.width = static_cast<png_uint_32>(width);
  png.image.height = static_cast<png_uint_32>(height);
  png.image.format = PNG_FORMAT_BGR;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* from = pixels + static_cast<std::size_t>(y) * stride;
    std::uint8_t* to = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    for (int x = 0; x < width; ++x, to += 3) {
      to[0] = static_cast<std::uint8_t>(from[x]);
      to[1] = static_cast<std::uint8_t>(from[x] >> 8);
      to[2] = static_cast<std::uint8_t>(from[x] >> 16);
    }
  }
  WriteFile(path, Encode(png.image, rgb.data(), width * 3, nullptr));
}

}  // namespace vantora::host
