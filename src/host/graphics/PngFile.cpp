// PNG files through libpng's simplified interface, which reports errors by its return values. 16-bit
// files are read through its row interface instead: the simplified one reduces interlaced 16-bit
// pictures to 8 bits wrongly. Errors of the row interface leave through longjmp, so the functions
// between its setjmp and its calls keep no object with a destructor.
#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>

#include "host/classes/AtomicFile.h"
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

// Deflate expands at most about 1032 to 1.
constexpr std::int64_t kMaxInflation = 1032;

// Bits a pixel takes in the file, from its header (which libpng has checked by now).
int StoredBitsPerPixel(const std::uint8_t* file) {
  const int depth = file[24], colorType = file[25];
  const int channels = colorType == PNG_COLOR_TYPE_RGB          ? 3
                       : colorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                       : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                : 1;
  return depth * channels;
}

std::string CheckPngSize(const png_image& image, const std::uint8_t* file, std::size_t size) {
  const std::int64_t width = image.width, height = image.height;
  if (std::string problem = PictureSizeProblem(width, height); !problem.empty()) return problem;
  const std::int64_t inflated = width * height * StoredBitsPerPixel(file) / 8;
  if (inflated > static_cast<std::int64_t>(size) * kMaxInflation + (1 << 16))
    return std::to_string(size) + " bytes cannot hold " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
  return {};
}

// ---- 16-bit files through the row interface

struct MemoryInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t bytes) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (input->size - input->at < bytes) png_error(png, "the file ends early");
  std::memcpy(out, input->data + input->at, bytes);
  input->at += bytes;
}

constexpr std::size_t kMessageSize = 200;

[[noreturn]] void OnRowError(png_structp png, png_const_charp message) {
  std::snprintf(static_cast<char*>(png_get_error_ptr(png)), kMessageSize, "%s", message);
  png_longjmp(png, 1);
}

void OnRowWarning(png_structp, png_const_charp) {}

// 16-bit blue, green, red, alpha (most significant byte first) to 8 bits, laid over white.
void ReduceRow(const std::uint8_t* from, int count, std::uint8_t* to, std::size_t step) {
  auto reduce = [](const std::uint8_t* v) {
    return static_cast<unsigned>(((v[0] << 8 | v[1]) * 255u + 32767u) / 65535u);
  };
  for (int x = 0; x < count; ++x, from += 8, to += step) {
    const unsigned alpha = reduce(from + 6);
    for (int c = 0; c < 3; ++c) to[c] = OverWhite(reduce(from + 2 * c), alpha);
    to[3] = 0;
  }
}

// The colours come out as the simplified interface gives them: a file without gamma information
// is taken as linear, and the result is sRGB with alpha apart. Rows of each pass are read as they
// are stored and placed here, a row of 16-bit pixels at a time in Row.
void ReadRows16(png_structp png, png_infop info, DibImage& out, std::uint8_t* row) {
  png_read_info(png, info);
  if (png_get_image_width(png, info) != static_cast<png_uint_32>(out.Width()) ||
      png_get_image_height(png, info) != static_cast<png_uint_32>(out.Height()) ||
      png_get_bit_depth(png, info) != 16)
    png_error(png, "the header changed between two readings");
  png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_GAMMA_LINEAR);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if ((png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_alpha_mode_fixed(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<std::size_t>(out.Width()) * 8)
    png_error(png, "unexpected row size");
  const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
  const int width = out.Width(), height = out.Height();
  for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
    const int rows = interlaced ? static_cast<int>(PNG_PASS_ROWS(height, pass)) : height;
    const int columns = interlaced ? static_cast<int>(PNG_PASS_COLS(width, pass)) : width;
    if (rows == 0 || columns == 0) continue;  // libpng skips empty passes
    const int firstRow = interlaced ? PNG_PASS_START_ROW(pass) : 0;
    const int rowStep = interlaced ? 1 << PNG_PASS_ROW_SHIFT(pass) : 1;
    const int firstColumn = interlaced ? PNG_PASS_START_COL(pass) : 0;
    const std::size_t columnStep = interlaced ? std::size_t{4} << PNG_PASS_COL_SHIFT(pass) : 4;
    for (int y = 0; y < rows; ++y) {
      png_read_row(png, row, nullptr);
      ReduceRow(row, columns, out.Row(firstRow + y * rowStep) + 4 * firstColumn, columnStep);
    }
  }
  png_read_end(png, nullptr);
}

// Answers false when the picture cannot be read, with what is wrong in Message. After the jump back
// only the two structures, whose addresses are taken and so live in memory, are used: an argument
// held in a register could have been overwritten by then.
bool Read16BitPng(MemoryInput& input, DibImage& out, std::uint8_t* row, char* message) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, message, OnRowError, OnRowWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    std::snprintf(message, kMessageSize, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &input, ReadFromMemory);
  ReadRows16(png, info, out, row);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

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
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace

DibImage ReadPng(const void* data, std::size_t size) {
  PngImage png;
  png_image& image = png.image;
  if (!data || !png_image_begin_read_from_memory(&image, data, size))
    throw EInvalidGraphic("Invalid PNG file: " + png.Message());
  const auto* file = static_cast<const std::uint8_t*>(data);
  if (const std::string problem = CheckPngSize(image, file, size); !problem.empty())
    throw EInvalidGraphic("Invalid PNG file: " + problem);
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  const png_color white{255, 255, 255};
  if (image.format & PNG_FORMAT_FLAG_COLORMAP) {
    DibImage out(width, height, 8);
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
  DibImage out(width, height, 32);
  if (image.format & PNG_FORMAT_FLAG_LINEAR) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 8);
    MemoryInput input{file, size, 0};
    char message[kMessageSize] = "";
    if (!Read16BitPng(input, out, row.data(), message))
      throw EInvalidGraphic(std::string("Invalid PNG file: ") + message);
    return out;
  }
  image.format = PNG_FORMAT_BGRA;
  if (!png_image_finish_read(&image, nullptr, out.Bits(), static_cast<png_int_32>(out.Stride()), nullptr))
    throw EInvalidGraphic("Invalid PNG file: " + png.Message());
  // Lay translucent pixels over white, leaving the fourth byte 0 as device pixels have it.
  std::uint8_t* p = out.Bits();
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height); i < n;
       ++i, p += 4) {
    const unsigned a = p[3];
    if (a != 255)
      for (int c = 0; c < 3; ++c) p[c] = OverWhite(p[c], a);
    p[3] = 0;
  }
  return out;
}

std::vector<std::uint8_t> EncodePng(const BITMAPINFO* info, const void* bits, int clearIndex) {
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
    const bool clear = clearIndex >= 0 && clearIndex < 256;
    // The clear index needs an entry of its own even where no pixel uses it.
    const int entries = std::max({layout.tableEntries, used, clear ? clearIndex + 1 : 0});
    const int channels = clear ? 4 : 3;
    std::array<std::uint8_t, 256 * 4> colormap{};
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + layout.tableOffset);
    for (int i = 0; i < entries; ++i) {
      std::uint8_t* entry = colormap.data() + static_cast<std::size_t>(channels * i);
      if (i < layout.tableEntries) {
        entry[0] = table[i].rgbBlue;
        entry[1] = table[i].rgbGreen;
        entry[2] = table[i].rgbRed;
      }
      if (clear) entry[3] = i == clearIndex ? 0 : 255;
    }
    image.format = clear ? PNG_FORMAT_BGRA_COLORMAP : PNG_FORMAT_BGR_COLORMAP;
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

void WritePngFile(const std::string& path, const BITMAPINFO* info, const void* bits, int clearIndex) {
  WriteFile(path, EncodePng(info, bits, clearIndex));
}

std::vector<std::uint8_t> EncodeRgbaPng(int width, int height, const std::uint8_t* pixels,
                                        std::size_t stride) {
  if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      stride < static_cast<std::size_t>(width) * 4)
    throw EInvalidGraphic("Cannot write PNG: no picture of that size");
  PngImage png;
  png.image.width = static_cast<png_uint_32>(width);
  png.image.height = static_cast<png_uint_32>(height);
  png.image.format = PNG_FORMAT_RGBA;
  return Encode(png.image, pixels, static_cast<png_int_32>(stride), nullptr);
}

void WriteRgbaPngFile(const std::string& path, int width, int height, const std::uint8_t* pixels,
                      std::size_t stride) {
  WriteFile(path, EncodeRgbaPng(width, height, pixels, stride));
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
