// Unit Sprites: TSpriteBmp, one device bitmap with a position, grabbed from a device or loaded from a
// file, and drawn, put onto another sprite or stretched with a raster operation (copy, mask, invert).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"

VANTORA_API_BEGIN
namespace vantora {

class TSpriteBmp {
 public:
  TSpriteBmp() = default;
  TSpriteBmp(const TSpriteBmp&) = delete;
  TSpriteBmp& operator=(const TSpriteBmp&) = delete;

  host::Owned<host::HBITMAP> Bitmap;
  // The destination of the draw and put operations, the source origin of the stretch operations.
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // The context from which memory contexts are made; set by the owner, not owned.
  host::HDC DC = nullptr;
  // The palette of a picture loaded with LoadFromFile.
  host::Owned<host::HPALETTE> PaletteHandle;

  void FreeBitmap() { Bitmap.reset(); }
  void FreePalette() { PaletteHandle.reset(); }
  bool IsEmpty() const { return !Bitmap; }

  // Each replaces the bitmap held before and stores the size (not the position). A size the device
  // refuses leaves the sprite empty.
  void CreateBitmap(host::HDC ADC, std::int32_t AWidth, std::int32_t AHeight);
  void GrabBitmap(host::HDC ADC, std::int32_t AX, std::int32_t AY, std::int32_t AWidth, std::int32_t AHeight);
  // Also takes the picture's palette. A file the host bitmap cannot read raises its error and leaves
  // the sprite as it was.
  void LoadFromFile(const std::string& FileName);

  // A memory context compatible with DC with the bitmap selected; null when empty.
  host::Owned<host::HDC> GetBitmapDC() const;
  // A copy of the bitmap with the same DC (not the position or the palette); null when empty.
  std::unique_ptr<TSpriteBmp> Duplicate() const;

  // The colour of the top-left pixel is the key. MaskSelf makes key pixels white and all others
  // black; SpriteSelf makes key pixels black and leaves the others.
  void MaskSelf() { ProcessBitmap(true); }
  void SpriteSelf() { ProcessBitmap(false); }

  // The whole picture at (X, Y) of ADC.
  void DrawBitmap(host::HDC ADC, host::DWORD Rop) const;
  void DrawCopy(host::HDC ADC, std::int32_t AX, std::int32_t AY);
  void DrawMask(host::HDC ADC, std::int32_t AX, std::int32_t AY);
  void DrawInvert(host::HDC ADC, std::int32_t AX, std::int32_t AY);

  // The whole picture at (X, Y) of Target's picture.
  void PutImage(const TSpriteBmp& Target, host::DWORD Rop) const;
  void PutCopy(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY);
  void PutMask(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY);
  void PutInvert(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY);

  // The Width x Height area at (X, Y) of the picture stretched to the destination rectangle. The
  // source origin is separate from the size, so one picture can hold several frames.
  void StretchBitmap(host::HDC ADC, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                     std::int32_t DestHeight, host::DWORD Rop) const;
  void StretchCopy(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                   std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);
  void StretchMask(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                   std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);
  void StretchInvert(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                     std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);

  // The same onto Target's picture.
  void StretchPutImage(const TSpriteBmp& Target, std::int32_t DestX, std::int32_t DestY,
                       std::int32_t DestWidth, std::int32_t DestHeight, host::DWORD Rop) const;
  void StretchPutCopy(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                      std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);
  void StretchPutMask(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                      std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);
  void StretchPutInvert(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                        std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight);

 private:
  void ProcessBitmap(bool Mask);
  void SetPosition(std::int32_t AX, std::int32_t AY);
  // A memory context compatible with DC holding Target's picture; null when Target is empty.
  host::Owned<host::HDC> TargetDC(const TSpriteBmp& Target) const;
};

}  // namespace vantora
VANTORA_API_END
