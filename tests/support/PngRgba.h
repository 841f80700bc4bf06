// PNG files read back as the renderers that use them read them: red, green, blue and alpha per
// pixel, nothing laid over a background.
#pragma once

#include <png.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantora::test {

struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // top-down rows

  const std::uint8_t* At(int x, int y) const {
    return pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4;
  }
  std::uint32_t Rgba(int x, int y) const {
    const std::uint8_t* p = At(x, y);
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
  }
};

inline RgbaPicture ReadRgba(const void* data, std::size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) throw std::runtime_error(image.message);
  image.format = PNG_FORMAT_RGBA;
  RgbaPicture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    throw std::runtime_error(image.message);
  }
  return picture;
}

inline RgbaPicture ReadRgbaFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) throw std::runtime_error("cannot read " + path);
  return ReadRgba(bytes.data(), bytes.size());
}

}  // namespace vantora::test
