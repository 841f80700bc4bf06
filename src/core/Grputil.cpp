#include "core/Grputil.h"

#include <cstring>
#include <limits>

#include "core/uMemory.h"
#include "host/classes/Errors.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"

namespace vantora {

using namespace host;

TColor RGBToTColor(TColor Color) {
  return static_cast<TColor>(host::ColorToRGB(Color));
}

void FillInfoHeader(HBITMAP Bitmap, BITMAPINFOHEADER& Header, std::int32_t Colors) {
  BITMAP description{};
  if (!Bitmap || GetObject(Bitmap, sizeof description, &description) != sizeof description)
    throw EInvalidGraphic("Invalid Bitmap");
  Header = BITMAPINFOHEADER{};
  Header.biSize = sizeof(BITMAPINFOHEADER);
  Header.biWidth = description.bmWidth;
  Header.biHeight = description.bmHeight;
  Header.biPlanes = 1;
  Header.biCompression = BI_RGB;
  switch (Colors) {
    case 2:
      Header.biBitCount = 1;
      break;
    case 16:
      Header.biBitCount = 4;
      break;
    case 256:
      Header.biBitCount = 8;
      break;
    default:
      Header.biBitCount = static_cast<WORD>(description.bmPlanes * description.bmBitsPixel);
      break;
  }
  // No DIB here carries bit fields, so deeper pictures are read as plain 24-bit rows.
  if (Header.biBitCount == 16 || Header.biBitCount == 32) Header.biBitCount = 24;
  Header.biSizeImage = ScanlineBytes(static_cast<std::uint32_t>(Header.biWidth) * Header.biBitCount) *
                       static_cast<std::uint32_t>(Header.biHeight);
}

void MeasureDib(const BITMAPINFOHEADER& Header, std::int32_t& HeaderSize, std::int32_t& ImageSize) {
  HeaderSize = static_cast<std::int32_t>(sizeof(BITMAPINFOHEADER));
  if (Header.biBitCount != 24) HeaderSize += static_cast<std::int32_t>(sizeof(RGBQUAD)) << Header.biBitCount;
  ImageSize = static_cast<std::int32_t>(Header.biSizeImage);
}

bool ReadDibBits(HBITMAP Bitmap, HPALETTE Palette, void* Header, void* Rows, std::int32_t Colors) {
  // Blocks from mGETMEM are only 2-byte aligned: the header is built in an aligned copy.
  BITMAPINFO256 info{};
  FillInfoHeader(Bitmap, info.bmiHeader, Colors);
  std::int32_t headerSize, imageSize;
  MeasureDib(info.bmiHeader, headerSize, imageSize);

  // No window layer hands out the focus window yet: the screen's context stands in for it.
  const WindowDC screen(nullptr);
  const Owned<HDC> dc(CreateCompatibleDC(screen));
  int rows = 0;
  {
    const SelectGuard palette(dc, Palette, FALSE);
    if (Palette) RealizePalette(dc);
    rows = GetDIBits(dc, Bitmap, 0, static_cast<UINT>(info.bmiHeader.biHeight), Rows,
                     reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  }

  std::memcpy(Header, &info, static_cast<std::size_t>(headerSize));
  return rows == info.bmiHeader.biHeight;
}

std::uint8_t* DIBFromBit(HBITMAP Bitmap, HPALETTE Palette, std::int32_t Colors, std::int32_t& Size) {
  return DIBFromBitOwned(Bitmap, Palette, Colors, Size).release();
}

MemBlock DIBFromBitOwned(HBITMAP Bitmap, HPALETTE Palette, std::int32_t Colors, std::int32_t& Size) {
  if (!Bitmap) throw EInvalidGraphic("Invalid Bitmap");
  BITMAPINFOHEADER header;
  FillInfoHeader(Bitmap, header, Colors);
  std::int32_t headerSize, imageSize;
  MeasureDib(header, headerSize, imageSize);
  const std::int64_t size = std::int64_t{sizeof(BITMAPFILEHEADER)} + headerSize + imageSize;
  if (size > std::numeric_limits<std::int32_t>::max()) throw EOutOfMemory("Not enough memory");

  MemBlock block = GetMemBlock(static_cast<std::int32_t>(size));
  std::memset(block.get(), 0, static_cast<std::size_t>(size));
  BITMAPFILEHEADER file{};
  file.bfType = BMP_SIGNATURE;
  file.bfSize = static_cast<DWORD>(size);
  file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER)) + static_cast<DWORD>(headerSize);
  std::memcpy(block.get(), &file, sizeof file);
  std::uint8_t* info = block.get() + sizeof(BITMAPFILEHEADER);
  ReadDibBits(Bitmap, Palette, info, info + headerSize, Colors);
  Size = static_cast<std::int32_t>(size);
  return block;
}

}  // namespace vantora
