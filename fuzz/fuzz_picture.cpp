// Feeds arbitrary bytes to the picture reader (BMP, PNG, JPEG). Bad input must end in
// EInvalidGraphic, never in a crash, an overread or a hang; what is read must draw and write back.
#include <cstddef>
#include <cstdint>

#include "host/graphics/Gdi.h"
#include "host/graphics/PictureFile.h"

using namespace vantora::host;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DibImage picture;
  try {
    picture = ReadPicture(data, size);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  // A picture that was read is whole: it draws into a small surface and encodes again.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 16, 16);
  HBITMAP previous = SelectObject(dc, bitmap);
  StretchDIBits(dc, 0, 0, 16, 16, 0, 0, picture.Width(), picture.Height(), picture.Bits(), picture.Info(),
                DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
  if (static_cast<std::int64_t>(picture.Width()) * picture.Height() <= 1 << 16)
    EncodePng(picture.Info(), picture.Bits());
  return 0;
}
