// Feeds arbitrary bytes to the shape reader as a shape file and warps a small bitmap by it. Whatever
// the records hold, the bitmap keeps its size and either stays exactly as it was (the shape refused,
// its number reset to 0) or holds only its own pixels and the transparent index. The bytes after
// the last whole record, which the reader ignores, choose the bitmap's size and the shape number.
// The masks are then built from the warped bitmap, which gives them arbitrary silhouettes.
#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/DibLayout.h"
#include "core/Fuldib.h"
#include "effects/Fulmask.h"
#include "effects/Shapes.h"

namespace {

// The fuzzed shape file, which the library reads in place of its own.
const std::string& FuzzedShapeFile() {
  static const std::string path = [] {
    std::string file = "/tmp/vantora_fuzz_shapefile_" + std::to_string(getpid()) + ".shp";
    vantora::SetShapeFilePath(file);
    std::atexit([] { std::remove(FuzzedShapeFile().c_str()); });
    return file;
  }();
  return path;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  std::FILE* file = std::fopen(FuzzedShapeFile().c_str(), "wb");
  if (!file) return 0;
  if (size != 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  Check(CheckShapesFile() ==
        static_cast<std::int16_t>(std::min<std::size_t>(size / kShapeRecordSize, 32767)));

  const std::size_t tailSize = size % kShapeRecordSize;
  const std::uint8_t* tail = data + size - tailSize;
  const int width = 1 + (tailSize > 0 ? tail[0] : static_cast<int>(size)) % 70;
  const int height = 1 + (tailSize > 1 ? tail[1] : static_cast<int>(size / 7)) % 50;
  const auto number = static_cast<std::int16_t>(tailSize > 3 ? tail[2] | (tail[3] << 8) : 1);

  // Pixels below 100, so anything else but 247 in the result came from nowhere.
  tFulgoDib face;
  face.MakeNew(static_cast<TWidth>(width), static_cast<THeight>(height));
  const std::size_t stride = dib::RowStride(static_cast<std::uint32_t>(width));
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c)
      dib::Bits(face.Dib)[r * stride + c] = static_cast<std::uint8_t>((7 * c + 3 * r) % 100);
  const std::vector<std::uint8_t> before(face.Dib, face.Dib + face.GetDibMemorySize());

  std::int16_t shape = number;
  GetMatrixShape(face, shape);
  Check(face.GetWidth() == width && face.GetHeight() == height);
  if (shape == 0) {
    Check(std::memcmp(face.Dib, before.data(), before.size()) == 0);
  } else {
    Check(shape == number);
    const std::uint8_t* bits = dib::Bits(face.Dib);
    for (std::size_t i = 0; i < stride * static_cast<std::size_t>(height); ++i)
      Check(bits[i] < 100 || bits[i] == 247);
  }

  tFulgoDib mask;
  std::int16_t x = 0, y = 0;
  const auto lineWidth = static_cast<std::int16_t>(tailSize > 4 ? tail[4] % 6 : 2);
  Create3DMask(mask, face, static_cast<efgDirection>(tailSize > 5 ? tail[5] % 8 : 0), lineWidth, 5, x, y);
  Check(mask.GetWidth() <= width + lineWidth && mask.GetHeight() <= height + lineWidth);
  CreateForeFrameMask(mask, face, lineWidth, x, y);
  Check(mask.GetWidth() == width + 2 * lineWidth && mask.GetHeight() == height + 2 * lineWidth);
  CreateShadowMask(mask, face, static_cast<std::int16_t>(tailSize > 6 ? tail[6] * 2 : 100), 70, 2, 3, x, y);
  return 0;
}
