// Picture files: BMP, PNG and JPEG read into DIB images, BMP and PNG written, bad files refused.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "host/GdiTestSupport.h"
#include "host/graphics/PictureFile.h"
#include "support/PngRgba.h"

namespace vantora::host {
namespace {

// Answers the message of the EInvalidGraphic that F raises.
template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

bool Mentions(const std::string& message, const std::string& part) {
  return message.find(part) != std::string::npos;
}

// An 8-bit picture with Colors colours whose pixel (x, y) is (x + 2y) mod Colors.
DibImage Indexed(int width, int height, int colors) {
  DibImage image(width, height, 8);
  image.SetColorCount(colors);
  for (int i = 0; i < colors; ++i)
    image.Colors()[i] =
        RGBQUAD{static_cast<BYTE>(i * 30), static_cast<BYTE>(255 - i * 20), static_cast<BYTE>(i * 7), 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.Row(y)[x] = static_cast<BYTE>((x + 2 * y) % colors);
  return image;
}

void ExpectSamePixels(const DibImage& a, const DibImage& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  ASSERT_EQ(a.BitCount(), b.BitCount());
  const std::size_t bytes = static_cast<std::size_t>(a.Width()) * (a.BitCount() / 8);
  for (int y = 0; y < a.Height(); ++y) EXPECT_EQ(std::memcmp(a.Row(y), b.Row(y), bytes), 0) << "row " << y;
  if (a.BitCount() == 8) {
    ASSERT_EQ(a.ColorCount(), b.ColorCount());
    EXPECT_EQ(std::memcmp(a.Colors(), b.Colors(), static_cast<std::size_t>(a.ColorCount()) * 4), 0);
  }
}

// A BMP file image of a hand-made header and rows.
std::vector<BYTE> Bmp(const BITMAPINFOHEADER& header, const std::vector<BYTE>& tail,
                      const std::vector<BYTE>& bits) {
  std::vector<BYTE> info(sizeof header);
  std::memcpy(info.data(), &header, sizeof header);
  info.insert(info.end(), tail.begin(), tail.end());
  std::vector<BYTE> out(14);
  const BITMAPFILEHEADER file{BMP_SIGNATURE, static_cast<DWORD>(14 + info.size() + bits.size()), 0, 0,
                              static_cast<DWORD>(14 + info.size())};
  std::memcpy(out.data(), &file, 14);
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB, DWORD used = 0) {
  return BITMAPINFOHEADER{40, width, height, 1, bitCount, compression, 0, 0, 0, used, 0};
}

std::vector<BYTE> Quads(std::initializer_list<COLORREF> colors) {
  std::vector<BYTE> out;
  for (COLORREF c : colors) out.insert(out.end(), {GetBValue(c), GetGValue(c), GetRValue(c), 0});
  return out;
}

COLORREF PixelAt(const DibImage& image, int x, int y) {
  if (image.BitCount() == 8) {
    const RGBQUAD& q = image.Colors()[image.Row(y)[x]];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  const BYTE* p = image.Row(y) + 4 * x;
  EXPECT_EQ(p[3], 0);
  return RGB(p[2], p[1], p[0]);
}

std::uint32_t Crc32(const BYTE* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// Gives a PNG file a new size in its header, with a correct checksum.
void SetPngSize(std::vector<BYTE>& png, std::uint32_t width, std::uint32_t height) {
  const BYTE big[8] = {BYTE(width >> 24),  BYTE(width >> 16),  BYTE(width >> 8),  BYTE(width),
                       BYTE(height >> 24), BYTE(height >> 16), BYTE(height >> 8), BYTE(height)};
  std::memcpy(png.data() + 16, big, 8);
  const std::uint32_t crc = Crc32(png.data() + 12, 17);
  const BYTE crcBytes[4] = {BYTE(crc >> 24), BYTE(crc >> 16), BYTE(crc >> 8), BYTE(crc)};
  std::memcpy(png.data() + 29, crcBytes, 4);
}

void AppendBigEndian(std::vector<BYTE>& out, std::uint32_t value) {
  out.insert(out.end(), {BYTE(value >> 24), BYTE(value >> 16), BYTE(value >> 8), BYTE(value)});
}

void AppendPngChunk(std::vector<BYTE>& png, const char* type, const std::vector<BYTE>& body) {
  AppendBigEndian(png, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), body.begin(), body.end());
  AppendBigEndian(png, Crc32(png.data() + start, png.size() - start));
}

// Zlib data in stored (uncompressed) deflate blocks.
std::vector<BYTE> StoredZlib(const std::vector<BYTE>& data) {
  std::vector<BYTE> out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(data.size() - at, 65535);
    const bool last = at + n == data.size();
    out.insert(out.end(), {BYTE(last), BYTE(n), BYTE(n >> 8), BYTE(~n), BYTE(~n >> 8)});
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < data.size());
  std::uint32_t a = 1, b = 0;
  for (BYTE v : data) a = (a + v) % 65521, b = (b + a) % 65521;
  AppendBigEndian(out, b << 16 | a);
  return out;
}

// A 16-bit RGBA PNG marked sRGB, stored row by row or in the seven interlaced passes.
std::vector<BYTE> Png16(int width, int height, bool interlaced,
                        std::uint16_t (*sample)(int x, int y, int channel)) {
  struct Pass {
    int column, row, columnStep, rowStep;
  };
  const std::vector<Pass> passes =
      interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                     {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                 : std::vector<Pass>{{0, 0, 1, 1}};
  std::vector<BYTE> raw;
  for (const Pass& pass : passes) {
    if (pass.column >= width || pass.row >= height) continue;  // empty passes are left out
    for (int y = pass.row; y < height; y += pass.rowStep) {
      raw.push_back(0);  // no filter
      for (int x = pass.column; x < width; x += pass.columnStep)
        for (int c = 0; c < 4; ++c)
          raw.insert(raw.end(), {BYTE(sample(x, y, c) >> 8), BYTE(sample(x, y, c))});
    }
  }
  std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<BYTE> header;
  AppendBigEndian(header, static_cast<std::uint32_t>(width));
  AppendBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {16, 6, 0, 0, BYTE(interlaced)});
  AppendPngChunk(png, "IHDR", header);
  AppendPngChunk(png, "sRGB", {0});
  AppendPngChunk(png, "IDAT", StoredZlib(raw));
  AppendPngChunk(png, "IEND", {});
  return png;
}

// 16 x 8, red left half, blue right half.
const std::vector<BYTE> kJpeg = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00,
    0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01,
    0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04, 0x04, 0x03, 0x04,
    0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06,
    0x06, 0x08, 0x0B, 0x08, 0x09, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x06, 0x08, 0x0B, 0x0C, 0x0B, 0x0A, 0x0C,
    0x09, 0x0A, 0x0A, 0x0A, 0xFF, 0xDB, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03,
    0x03, 0x05, 0x0A, 0x07, 0x06, 0x07, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x10, 0x03, 0x01, 0x11,
    0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xC4, 0x00, 0x1F, 0x00, 0x00, 0x01, 0x05, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
    0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0xFF, 0xC4, 0x00, 0xB5, 0x10, 0x00, 0x02, 0x01, 0x03, 0x03, 0x02,
    0x04, 0x03, 0x05, 0x05, 0x04, 0x04, 0x00, 0x00, 0x01, 0x7D, 0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05,
    0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08,
    0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17,
    0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43,
    0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64,
    0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83, 0x84, 0x85,
    0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4,
    0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA, 0xFF, 0xC4, 0x00, 0x1F, 0x01, 0x00, 0x03, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
    0x0B, 0xFF, 0xC4, 0x00, 0xB5, 0x11, 0x00, 0x02, 0x01, 0x02, 0x04, 0x04, 0x03, 0x04, 0x07, 0x05, 0x04,
    0x04, 0x00, 0x01, 0x02, 0x77, 0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41,
    0x51, 0x07, 0x61, 0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23,
    0x33, 0x52, 0xF0, 0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19,
    0x1A, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47,
    0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88,
    0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
    0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6,
    0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE2, 0xE3, 0xE4, 0xE5,
    0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFF, 0xDA, 0x00,
    0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0xF8, 0xBE, 0xBF, 0x94, 0xCF, 0xF7,
    0xF0, 0xF9, 0x0E, 0xBF, 0xEA, 0xA0, 0xFF, 0x00, 0x9A, 0xF3, 0xFF, 0xD9};

// 2 x 1 with alpha: transparent red, half-covering blue.
const std::vector<BYTE> kAlphaPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF4,
    0x22, 0x7F, 0x8A, 0x00, 0x00, 0x00, 0x01, 0x73, 0x52, 0x47, 0x42, 0x00, 0xAE, 0xCE, 0x1C,
    0xE9, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x08, 0x99, 0x63, 0xF8, 0xCF, 0xC0,
    0xC0, 0xC0, 0xC0, 0xF0, 0xBF, 0x01, 0x00, 0x0A, 0x7F, 0x02, 0x7F, 0xD2, 0x77, 0x80, 0x72,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(PictureFileTest, BmpRoundTripKeepsHeaderTableAndRows) {
  const DibImage image = Indexed(5, 3, 7);
  const std::vector<BYTE> file = EncodeBmp(image.Info(), image.Bits());
  BITMAPFILEHEADER header;
  std::memcpy(&header, file.data(), sizeof header);
  const WORD type = header.bfType;  // copied out of the packed record
  const DWORD offset = header.bfOffBits, size = header.bfSize;
  EXPECT_EQ(type, BMP_SIGNATURE);
  EXPECT_EQ(offset, 14u + 40 + 7 * 4);
  EXPECT_EQ(size, 14u + 40 + 7 * 4 + 8 * 3);
  EXPECT_EQ(file.size(), size);
  ExpectSamePixels(ReadBmp(file.data(), file.size()), image);

  DibImage deep(3, 2, 32);
  for (std::size_t i = 0; i < deep.BitsSize(); ++i)
    deep.Bits()[i] = (i % 4 == 3) ? 0 : static_cast<BYTE>(i * 11);
  const std::vector<BYTE> deepFile = EncodeBmp(deep.Info(), deep.Bits());
  ExpectSamePixels(ReadPicture(deepFile.data(), deepFile.size()), deep);

  // A bottom-up file: its last stored row is the picture's top row.
  const std::vector<BYTE> bottomUp =
      Bmp(Header(2, 2, 8, BI_RGB, 2), Quads({RGB(1, 2, 3), RGB(4, 5, 6)}), {0, 1, 0, 0, 1, 1, 0, 0});
  const DibImage read = ReadBmp(bottomUp.data(), bottomUp.size());
  EXPECT_EQ(read.Row(0)[0], 1);
  EXPECT_EQ(read.Row(1)[1], 1);
  EXPECT_EQ(read.Row(1)[0], 0);
  EXPECT_EQ(PixelAt(read, 1, 1), RGB(4, 5, 6));
}

TEST(PictureFileTest, BmpOfEveryDepthReads) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255),
                 white = RGB(255, 255, 255);
  struct Case {
    const char* what;
    std::vector<BYTE> file;
  };
  BITMAPINFOHEADER v5 = Header(2, -2, 32);
  v5.biSize = 124;
  std::vector<BYTE> v5Tail(124 - 40, 0);
  std::vector<BYTE> masks565 = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  // Every picture is top row red green, bottom row blue white.
  const Case cases[] = {
      {"1 bit", Bmp(Header(2, 2, 1), Quads({blue, white}), {0x40, 0, 0, 0, 0x40, 0, 0, 0})},
      {"4 bits",
       Bmp(Header(2, 2, 4, BI_RGB, 4), Quads({red, green, blue, white}), {0x23, 0, 0, 0, 0x01, 0, 0, 0})},
      {"8 bits", Bmp(Header(2, 2, 8, BI_RGB, 4), Quads({red, green, blue, white}), {2, 3, 0, 0, 0, 1, 0, 0})},
      {"16 bits", Bmp(Header(2, 2, 16), {}, {0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03})},
      {"16 bits 5-6-5",
       Bmp(Header(2, 2, 16, BI_BITFIELDS), masks565, {0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07})},
      {"24 bits", Bmp(Header(2, 2, 24), {}, {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0})},
      {"32 bits, large header",
       Bmp(v5, v5Tail, {0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9, 255, 255, 255, 9})},
  };
  for (const Case& c : cases) {
    const DibImage image = ReadPicture(c.file.data(), c.file.size());
    ASSERT_EQ(image.Width(), 2) << c.what;
    if (std::strcmp(c.what, "1 bit") == 0) {
      EXPECT_EQ(PixelAt(image, 1, 0), white);
      EXPECT_EQ(PixelAt(image, 0, 1), blue);
      continue;
    }
    EXPECT_EQ(PixelAt(image, 0, 0), red) << c.what;
    EXPECT_EQ(PixelAt(image, 1, 0), green) << c.what;
    EXPECT_EQ(PixelAt(image, 0, 1), blue) << c.what;
    EXPECT_EQ(PixelAt(image, 1, 1), white) << c.what;
    EXPECT_EQ(image.BitCount(), std::strstr(c.what, "bits") && std::atoi(c.what) <= 8 ? 8 : 32) << c.what;
  }

  // The small header of OS/2 bitmaps, with three-byte colours.
  std::vector<BYTE> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 12 + 6, 0, 0,
                            0,   12,  0, 0, 0, 1, 0, 1, 0, 1, 0,           1, 0};
  core.insert(core.end(), {0, 0, 0, 30, 20, 10, 0x80, 0, 0, 0});
  const DibImage os2 = ReadBmp(core.data(), core.size());
  EXPECT_EQ(PixelAt(os2, 0, 0), RGB(10, 20, 30));
}

std::vector<BYTE> Dwords(std::initializer_list<DWORD> values) {
  std::vector<BYTE> out;
  for (DWORD v : values) out.insert(out.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
  return out;
}

TEST(PictureFileTest, BmpAlphaMaskLaysPixelsOverWhite) {
  BITMAPINFOHEADER v5 = Header(2, -2, 32, BI_BITFIELDS);
  v5.biSize = 124;
  std::vector<BYTE> v5Tail = Dwords({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000});
  v5Tail.resize(124 - 40, 0);
  // Opaque red, transparent green; blue half covering, opaque grey.
  std::vector<BYTE> pixels = {0, 0, 255, 255, 0, 255, 0, 0, 255, 0, 0, 128, 0x30, 0x20, 0x10, 255};
  const std::vector<BYTE> file = Bmp(v5, v5Tail, pixels);
  const DibImage image = ReadBmp(file.data(), file.size());
  EXPECT_EQ(PixelAt(image, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(image, 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(image, 0, 1), RGB(127, 127, 255));
  EXPECT_EQ(PixelAt(image, 1, 1), RGB(0x10, 0x20, 0x30));

  // An alpha channel left empty everywhere is no transparency.
  for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0;
  const std::vector<BYTE> empty = Bmp(v5, v5Tail, pixels);
  const DibImage opaque = ReadBmp(empty.data(), empty.size());
  EXPECT_EQ(PixelAt(opaque, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelAt(opaque, 0, 1), RGB(0, 0, 255));

  // Four bits a channel in a version 4 header: opaque blue, transparent green.
  BITMAPINFOHEADER v4 = Header(2, 1, 16, BI_BITFIELDS);
  v4.biSize = 108;
  std::vector<BYTE> v4Tail = Dwords({0x0F00, 0x00F0, 0x000F, 0xF000});
  v4Tail.resize(108 - 40, 0);
  const std::vector<BYTE> argb4444 = Bmp(v4, v4Tail, {0x0F, 0xF0, 0xF0, 0x00});
  const DibImage small = ReadBmp(argb4444.data(), argb4444.size());
  EXPECT_EQ(PixelAt(small, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelAt(small, 1, 0), RGB(255, 255, 255));

  // Alpha bit fields after the basic header: transparent red, opaque red.
  const std::vector<BYTE> fields =
      Bmp(Header(2, 1, 32, BI_ALPHABITFIELDS), Dwords({0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
          {0, 0, 255, 0, 0, 0, 255, 255});
  const DibImage after = ReadBmp(fields.data(), fields.size());
  EXPECT_EQ(PixelAt(after, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(PixelAt(after, 1, 0), RGB(255, 0, 0));
}

TEST(PictureFileTest, RunLengthEncodedBmpDecodes) {
  BITMAPINFOHEADER header = Header(4, 2, 8, BI_RLE8, 3);
  const std::vector<BYTE> rle = {0x02, 0x01, 0x00, 0x00, 0x00, 0x03, 0x02, 0x00, 0x02, 0x00, 0x00, 0x01};
  header.biSizeImage = static_cast<DWORD>(rle.size());
  const std::vector<BYTE> file = Bmp(header, Quads({0, RGB(1, 1, 1), RGB(2, 2, 2)}), rle);
  const DibImage image = ReadBmp(file.data(), file.size());
  const BYTE top[4] = {2, 0, 2, 0}, bottom[4] = {1, 1, 0, 0};
  EXPECT_EQ(std::memcmp(image.Row(0), top, 4), 0);
  EXPECT_EQ(std::memcmp(image.Row(1), bottom, 4), 0);
  // A PNG of an RLE DIB holds the decoded picture.
  BITMAPINFO256 info{};
  std::memcpy(&info, file.data() + 14, 40 + 3 * 4);
  const std::vector<BYTE> png = EncodePng(reinterpret_cast<const BITMAPINFO*>(&info), rle.data());
  const DibImage again = ReadPng(png.data(), png.size());
  EXPECT_EQ(std::memcmp(again.Row(0), top, 4), 0);
}

TEST(PictureFileTest, RlePixelsPastTheRowEndAreDropped) {
  for (const WORD bits : {WORD{8}, WORD{4}}) {
    const DWORD compression = bits == 8 ? BI_RLE8 : BI_RLE4;
    // A run of three and a move of 255 on a row of two, then one pixel on the next row.
    const BYTE one = bits == 8 ? 0x01 : 0x11, two = bits == 8 ? 0x02 : 0x22;
    const std::vector<BYTE> spill = {0x03, one, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x00, 0x01, two, 0x00, 0x01};
    const std::vector<BYTE> small = Bmp(Header(2, 2, bits, compression, 3), Quads({0, 0, 0}), spill);
    const DibImage image = ReadBmp(small.data(), small.size());
    const BYTE top[2] = {2, 0}, bottom[2] = {1, 1};
    EXPECT_EQ(std::memcmp(image.Row(0), top, 2), 0) << bits;
    EXPECT_EQ(std::memcmp(image.Row(1), bottom, 2), 0) << bits;

    // Enough moves to the right to take a column counted in an int past its largest value; the
    // pixel after them must not be written anywhere.
    const std::size_t moves = (std::size_t{1} << 31) / 255 + 1;
    std::vector<BYTE> far(moves * 4 + 4, 0);
    BYTE* move = far.data();
    for (std::size_t i = 0; i < moves; ++i, move += 4) move[1] = 0x02, move[2] = 0xFF;
    move[0] = 0x01, move[1] = one, move[3] = 0x01;
    const std::vector<BYTE> file = Bmp(Header(1, 1, bits, compression, 2), Quads({0, 0}), far);
    far = {};
    const DibImage moved = ReadBmp(file.data(), file.size());
    EXPECT_EQ(moved.Row(0)[0], 0) << bits;
  }
}

TEST(PictureFileTest, BadBmpFilesRaiseInvalidGraphic) {
  const DibImage image = Indexed(5, 3, 7);
  const std::vector<BYTE> good = EncodeBmp(image.Info(), image.Bits());
  // Cut anywhere before the last row's pixels end, the file is refused (the padding may be missing).
  for (std::size_t size = 0; size < good.size() - 3; ++size)
    EXPECT_NE(ErrorOf([&] { ReadPicture(good.data(), size); }), "no error") << size;
  EXPECT_EQ(ErrorOf([&] { ReadBmp(good.data(), good.size() - 3); }), "no error");

  auto patched = [&](std::size_t offset, const void* value, std::size_t bytes) {
    std::vector<BYTE> file = good;
    std::memcpy(file.data() + offset, value, bytes);
    return ErrorOf([&] { ReadBmp(file.data(), file.size()); });
  };
  const LONG big = 16000, huge = 40000;
  const WORD two = 2;
  const DWORD jpeg = BI_JPEG, rle4 = BI_RLE4, smallHeader = 20, far = 5000;
  EXPECT_TRUE(Mentions(patched(18, &big, 4), "bytes of pixels")) << patched(18, &big, 4);
  EXPECT_TRUE(Mentions(patched(22, &big, 4), "needs"));
  EXPECT_TRUE(Mentions(patched(18, &huge, 4), "size 40000 x 3 is out of range"));
  EXPECT_TRUE(Mentions(patched(28, &two, 2), "unsupported bit count 2"));
  EXPECT_TRUE(Mentions(patched(30, &jpeg, 4), "unsupported compression 4"));
  EXPECT_TRUE(Mentions(patched(30, &rle4, 4), "unsupported compression 2 for 8 bits"));
  EXPECT_TRUE(Mentions(patched(14, &smallHeader, 4), "header size 20"));
  EXPECT_TRUE(Mentions(patched(10, &far, 4), "before its pixel data"));
  EXPECT_TRUE(Mentions(patched(0, "BX", 2), "signature"));
  EXPECT_TRUE(Mentions(ErrorOf([] { ReadPicture("", 0); }), "empty"));
  EXPECT_TRUE(Mentions(ErrorOf([] { ReadPicture("GIF89a", 6); }), "Unknown picture file format"));

  // RLE data that ends before the picture does.
  BITMAPINFOHEADER header = Header(4, 2, 8, BI_RLE8, 1);
  const std::vector<BYTE> cut = Bmp(header, Quads({0}), {0x02, 0x01, 0x00, 0x00});
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadBmp(cut.data(), cut.size()); }), "RLE"));
  // Four bytes of RLE claiming a picture of 16 million pixels are refused before any allocation.
  const std::vector<BYTE> vast = Bmp(Header(4000, 4000, 8, BI_RLE8, 1), Quads({0}), {0x00, 0x01, 0x00, 0x00});
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadBmp(vast.data(), vast.size()); }), "cannot hold"));
  EXPECT_THROW(EncodeBmp(nullptr, nullptr), EInvalidGraphic);
}

TEST(PictureFileTest, PngCarriesAlphaAsGiven) {
  // A palette PNG with a clear index: that index's pixels clear, every other opaque in its colour,
  // also when the index lies beyond the colours the picture uses.
  for (const int clear : {2, 200}) {
    const DibImage indexed = Indexed(5, 3, 4);
    const std::vector<BYTE> png = EncodePng(indexed.Info(), indexed.Bits(), clear);
    const test::RgbaPicture read = test::ReadRgba(png.data(), png.size());
    ASSERT_EQ(read.width, 5);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const BYTE index = indexed.Row(y)[x];
        const RGBQUAD& c = indexed.Colors()[index];
        const std::uint32_t expected =
            index == clear
                ? read.Rgba(x, y) & 0xFFFFFF00u
                : std::uint32_t{c.rgbRed} << 24 | std::uint32_t{c.rgbGreen} << 16 | c.rgbBlue << 8 | 0xFF;
        EXPECT_EQ(read.Rgba(x, y), expected) << x << "," << y << " clear " << clear;
      }
    // The ordinary palette PNG has no transparency chunk.
    const std::vector<BYTE> opaque = EncodePng(indexed.Info(), indexed.Bits());
    EXPECT_EQ(std::string(opaque.begin(), opaque.end()).find("tRNS"), std::string::npos);
    EXPECT_NE(std::string(png.begin(), png.end()).find("tRNS"), std::string::npos);
  }

  // RGBA rows are kept exactly, alpha and colours of translucent pixels alike, with the stride given.
  const std::uint8_t rgba[2][12] = {{255, 0, 0, 255, 1, 2, 3, 0, 9, 9, 9, 9},
                                    {10, 20, 30, 128, 0, 0, 0, 0, 7, 7, 7, 7}};
  const std::vector<BYTE> png = EncodeRgbaPng(2, 2, &rgba[0][0], 12);
  const test::RgbaPicture read = test::ReadRgba(png.data(), png.size());
  ASSERT_EQ(read.width, 2);
  ASSERT_EQ(read.height, 2);
  EXPECT_EQ(read.Rgba(0, 0), 0xFF0000FFu);
  EXPECT_EQ(read.Rgba(1, 0), 0x01020300u);
  EXPECT_EQ(read.Rgba(0, 1), 0x0A141E80u);
  EXPECT_THROW(EncodeRgbaPng(2, 2, &rgba[0][0], 7), EInvalidGraphic);
}

TEST(PictureFileTest, PngRoundTripsIndexedAndTrueColourPictures) {
  const DibImage indexed = Indexed(7, 4, 5);
  const std::vector<BYTE> png = EncodePng(indexed.Info(), indexed.Bits());
  EXPECT_EQ(DetectPictureFormat(png.data(), png.size()), PictureFormat::Png);
  ExpectSamePixels(ReadPicture(png.data(), png.size()), indexed);

  DibImage deep(6, 5, 32);
  for (std::size_t i = 0; i < deep.BitsSize(); ++i)
    deep.Bits()[i] = (i % 4 == 3) ? 0 : static_cast<BYTE>(i * 37);
  const auto dir = testing::TempDir("png");
  WritePngFile((dir / "deep.png").string(), deep.Info(), deep.Bits());
  ExpectSamePixels(ReadPictureFile((dir / "deep.png").string()), deep);
  // The screenshot form takes 0x00RRGGBB pixels with a stride of their own.
  const std::uint32_t shot[2][3] = {{0x00FF0000, 0x0000FF00, 0}, {0x000000FF, 0x00123456, 0}};
  WritePngFile((dir / "shot.png").string(), 2, 2, &shot[0][0], 3);
  const DibImage screen = ReadPictureFile((dir / "shot.png").string());
  EXPECT_EQ(PixelAt(screen, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(screen, 1, 1), RGB(0x12, 0x34, 0x56));
  std::filesystem::remove_all(dir);

  // A bottom-up 4-bit DIB comes out the right way up.
  BITMAPINFO256 info{};
  info.bmiHeader = Header(3, 2, 4, BI_RGB, 3);
  info.bmiColors[1] = RGBQUAD{0, 0, 200, 0};
  info.bmiColors[2] = RGBQUAD{0, 200, 0, 0};
  const BYTE bits[8] = {0x12, 0x00, 0, 0, 0x21, 0x20, 0, 0};
  const std::vector<BYTE> small = EncodePng(reinterpret_cast<BITMAPINFO*>(&info), bits);
  const DibImage up = ReadPng(small.data(), small.size());
  EXPECT_EQ(up.Row(0)[0], 2);
  EXPECT_EQ(up.Row(0)[2], 2);
  EXPECT_EQ(up.Row(1)[0], 1);
  EXPECT_EQ(PixelAt(up, 1, 1), RGB(0, 200, 0));

  // Translucent pixels are laid over white.
  const DibImage alpha = ReadPng(kAlphaPng.data(), kAlphaPng.size());
  EXPECT_EQ(PixelAt(alpha, 0, 0), RGB(255, 255, 255));
  EXPECT_NEAR(GetRValue(PixelAt(alpha, 1, 0)), 127, 1);
  EXPECT_EQ(GetBValue(PixelAt(alpha, 1, 0)), 255);
}

// Every third pixel opaque, every third transparent, the others part covering.
std::uint16_t Sample16(int x, int y, int channel) {
  if (channel == 3 && x % 3 != 2) return x % 3 == 0 ? 0xFFFF : 0;
  return static_cast<std::uint16_t>(x * 4099 + y * 7919 + channel * 12345);
}

TEST(PictureFileTest, Interlaced16BitPngReadsAsItsPlainTwin) {
  const std::vector<BYTE> plain = Png16(13, 11, false, Sample16), interlaced = Png16(13, 11, true, Sample16);
  const DibImage image = ReadPng(plain.data(), plain.size());
  ExpectSamePixels(ReadPng(interlaced.data(), interlaced.size()), image);
  auto reduced = [](int x, int y, int channel) { return (Sample16(x, y, channel) * 255 + 32767) / 65535; };
  for (int y : {0, 5, 10})
    for (int x : {0, 3, 6, 9}) {
      EXPECT_EQ(PixelAt(image, x, y), RGB(reduced(x, y, 0), reduced(x, y, 1), reduced(x, y, 2)))
          << x << "," << y;
      EXPECT_EQ(PixelAt(image, x + 1, y), RGB(255, 255, 255)) << x + 1 << "," << y;
    }
  const int alpha = reduced(2, 4, 3);
  EXPECT_EQ(GetGValue(PixelAt(image, 2, 4)), (reduced(2, 4, 1) * alpha + 255 * (255 - alpha) + 127) / 255);

  for (std::size_t size = 0; size < interlaced.size() - 12; size += 97)
    EXPECT_NE(ErrorOf([&] { ReadPicture(interlaced.data(), size); }), "no error") << size;
  std::vector<BYTE> damaged = interlaced;
  damaged[damaged.size() / 2] ^= 0x5A;
  EXPECT_NE(ErrorOf([&] { ReadPng(damaged.data(), damaged.size()); }), "no error");
}

TEST(PictureFileTest, BadPngFilesRaiseInvalidGraphic) {
  const DibImage image = Indexed(40, 30, 200);
  const std::vector<BYTE> good = EncodePng(image.Info(), image.Bits());
  // Cut anywhere before the end marker (the last 12 bytes), the file is refused.
  for (std::size_t size = 0; size < good.size() - 12; size += 7)
    EXPECT_NE(ErrorOf([&] { ReadPicture(good.data(), size); }), "no error") << size;
  std::vector<BYTE> lying = good;
  SetPngSize(lying, 4000, 4000);
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadPng(lying.data(), lying.size()); }), "cannot hold"));
  SetPngSize(lying, 40000, 30);
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadPng(lying.data(), lying.size()); }), "out of range"));
  // Three bytes a pixel: a file of about a kilobyte cannot hold a million of them, though it
  // could hold a million pixels of one bit.
  DibImage noise(20, 16, 32);
  for (std::size_t i = 0; i < noise.BitsSize(); ++i) noise.Bits()[i] = static_cast<BYTE>(i * i * 7 + i / 3);
  std::vector<BYTE> deep = EncodePng(noise.Info(), noise.Bits());
  ASSERT_LT(deep.size(), 2000u);
  SetPngSize(deep, 1000, 1000);
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadPng(deep.data(), deep.size()); }), "cannot hold"));
  std::vector<BYTE> damaged = good;
  damaged[damaged.size() / 2] ^= 0x5A;
  EXPECT_NE(ErrorOf([&] { ReadPng(damaged.data(), damaged.size()); }), "no error");
}

TEST(PictureFileTest, JpegDecodesAndBadJpegFilesAreRefused) {
  ASSERT_EQ(DetectPictureFormat(kJpeg.data(), kJpeg.size()), PictureFormat::Jpeg);
  const DibImage image = ReadPicture(kJpeg.data(), kJpeg.size());
  ASSERT_EQ(image.Width(), 16);
  ASSERT_EQ(image.Height(), 8);
  ASSERT_EQ(image.BitCount(), 32);
  for (int y = 0; y < 8; y += 7)
    for (int x : {1, 6, 9, 14}) {
      const COLORREF c = PixelAt(image, x, y), want = x < 8 ? RGB(255, 0, 0) : RGB(0, 0, 255);
      EXPECT_NEAR(GetRValue(c), GetRValue(want), 12) << x << "," << y;
      EXPECT_NEAR(GetGValue(c), GetGValue(want), 12) << x << "," << y;
      EXPECT_NEAR(GetBValue(c), GetBValue(want), 12) << x << "," << y;
    }
  for (std::size_t size = 3; size < kJpeg.size() - 2; size += 5)
    EXPECT_NE(ErrorOf([&] { ReadJpeg(kJpeg.data(), size); }), "no error") << size;
  // A frame header that claims a huge picture.
  std::vector<BYTE> lying = kJpeg;
  for (std::size_t i = 0; i + 8 < lying.size(); ++i)
    if (lying[i] == 0xFF && lying[i + 1] == 0xC0) {
      lying[i + 5] = 0x0F, lying[i + 6] = 0xA0;  // 4000 rows
      lying[i + 7] = 0x0F, lying[i + 8] = 0xA0;  // 4000 columns
      break;
    }
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadJpeg(lying.data(), lying.size()); }), "cannot hold"));
}

// A JPEG frame header claiming Width x Height, of baseline or progressive coding, with three
// full-size components, padded by a comment to about Size bytes; no tables, and no data after the
// start of its first scan.
std::vector<BYTE> JpegHeader(int width, int height, bool progressive, std::size_t size) {
  std::vector<BYTE> file = {0xFF, 0xD8, 0xFF, 0xFE};
  const std::size_t comment = size + 2;
  file.push_back(static_cast<BYTE>(comment >> 8));
  file.push_back(static_cast<BYTE>(comment));
  file.insert(file.end(), size, ' ');
  const auto high = [](int v) { return static_cast<BYTE>(v >> 8); };
  const auto low = [](int v) { return static_cast<BYTE>(v); };
  const std::vector<BYTE> frame = {0xFF,        static_cast<BYTE>(progressive ? 0xC2 : 0xC0),
                                   0x00,        0x11,
                                   0x08,        high(height),
                                   low(height), high(width),
                                   low(width),  0x03,
                                   0x01,        0x11,
                                   0x00,        0x02,
                                   0x11,        0x00,
                                   0x03,        0x11,
                                   0x00};
  const std::vector<BYTE> scan = {0xFF,
                                  0xDA,
                                  0x00,
                                  0x0C,
                                  0x03,
                                  0x01,
                                  0x00,
                                  0x02,
                                  0x00,
                                  0x03,
                                  0x00,
                                  0x00,
                                  progressive ? BYTE{0x00} : BYTE{0x3F},
                                  0x00};
  file.insert(file.end(), frame.begin(), frame.end());
  file.insert(file.end(), scan.begin(), scan.end());
  file.insert(file.end(), 16, 0x00);
  file.insert(file.end(), {0xFF, 0xD9});
  return file;
}

TEST(PictureFileTest, EveryReaderRefusesAPictureBeyondTheLimitsFromItsHeader) {
  const std::string limits = " is out of range (at most 16384 x 16384 and 16777216 pixels)";
  const DibImage image = Indexed(5, 3, 7);
  const std::vector<BYTE> bmp = EncodeBmp(image.Info(), image.Bits());
  const auto bmpError = [&](LONG width, LONG height) {
    std::vector<BYTE> file = bmp;
    std::memcpy(file.data() + 18, &width, 4);
    std::memcpy(file.data() + 22, &height, 4);
    return ErrorOf([&] { ReadBmp(file.data(), file.size()); });
  };
  EXPECT_EQ(bmpError(16385, 3), "Invalid BMP file: size 16385 x 3" + limits);
  // Top-down: the height is stored negative.
  EXPECT_EQ(bmpError(5000, -5000), "Invalid BMP file: size 5000 x 5000" + limits);
  EXPECT_EQ(bmpError(0, 3), "Invalid BMP file: size 0 x 3" + limits);

  std::vector<BYTE> png = EncodePng(image.Info(), image.Bits());
  SetPngSize(png, 3, 16385);
  EXPECT_EQ(ErrorOf([&] { ReadPng(png.data(), png.size()); }), "Invalid PNG file: size 3 x 16385" + limits);
  SetPngSize(png, 5000, 5000);
  EXPECT_EQ(ErrorOf([&] { ReadPng(png.data(), png.size()); }), "Invalid PNG file: size 5000 x 5000" + limits);

  // 64 kilobytes would be allowed 64 million pixels by their size alone.
  const std::vector<BYTE> jpeg = JpegHeader(8000, 8000, true, 65000);
  EXPECT_EQ(ErrorOf([&] { ReadJpeg(jpeg.data(), jpeg.size()); }),
            "Invalid JPEG file: size 8000 x 8000" + limits);
  const std::vector<BYTE> wide = JpegHeader(16385, 8, false, 100);
  EXPECT_EQ(ErrorOf([&] { ReadJpeg(wide.data(), wide.size()); }),
            "Invalid JPEG file: size 16385 x 8" + limits);
}

TEST(PictureFileTest, AProgressiveJpegIsRefusedWhenItsDecodingWouldNeedTooMuchMemory) {
  // Three full-size components of 16 million pixels: 96 MB of coefficients, reserved before any
  // scan is read.
  const std::vector<BYTE> vast = JpegHeader(4000, 4000, true, 16000);
  EXPECT_EQ(ErrorOf([&] { ReadJpeg(vast.data(), vast.size()); }),
            "Invalid JPEG file: decoding needs more than 64 MB");
  // A baseline file decodes row by row, whatever its size.
  const std::vector<BYTE> baseline = JpegHeader(4000, 4000, false, 16000);
  const std::string plain = ErrorOf([&] { ReadJpeg(baseline.data(), baseline.size()); });
  EXPECT_NE(plain, "no error");
  EXPECT_FALSE(Mentions(plain, "memory") || Mentions(plain, "needs more")) << plain;
  const std::vector<BYTE> fitting = JpegHeader(2000, 2000, true, 4000);
  const std::string small = ErrorOf([&] { ReadJpeg(fitting.data(), fitting.size()); });
  EXPECT_NE(small, "no error");
  EXPECT_FALSE(Mentions(small, "needs more")) << small;
}

TEST(PictureFileTest, FilesAndStreamsAreRead) {
  const DibImage image = Indexed(3, 3, 4);
  const std::vector<BYTE> bmp = EncodeBmp(image.Info(), image.Bits());
  TMemoryStream stream;
  stream.WriteBuffer("xx", 2);
  stream.WriteBuffer(bmp.data(), static_cast<std::int64_t>(bmp.size()));
  stream.SetPosition(2);
  ExpectSamePixels(ReadPicture(stream), image);
  EXPECT_THROW(ReadPictureFile("/nonexistent/picture.bmp"), EFOpenError);
  const auto dir = testing::TempDir("bmp");
  const std::string path = (dir / "bad.bmp").string();
  std::ofstream(path) << "BM and then nothing useful";
  EXPECT_TRUE(Mentions(ErrorOf([&] { ReadPictureFile(path); }), path));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vantora::host
