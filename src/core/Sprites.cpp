#include "core/Sprites.h"

#include "host/graphics/Graphics.h"

namespace vantora {

namespace {

// A memory context compatible with Reference with Bitmap selected. Deleting the context leaves the
// bitmap alone.
host::Owned<host::HDC> ContextWith(host::HDC Reference, host::HBITMAP Bitmap) {
  host::Owned<host::HDC> dc(host::CreateCompatibleDC(Reference));
  if (dc) host::SelectObject(dc.get(), Bitmap);
  return dc;
}

}  // namespace

void TSpriteBmp::CreateBitmap(host::HDC ADC, std::int32_t AWidth, std::int32_t AHeight) {
  FreeBitmap();
  Bitmap.reset(host::CreateCompatibleBitmap(ADC, AWidth, AHeight));
  Width = AWidth;
  Height = AHeight;
}

void TSpriteBmp::GrabBitmap(host::HDC ADC, std::int32_t AX, std::int32_t AY, std::int32_t AWidth,
                            std::int32_t AHeight) {
  CreateBitmap(ADC, AWidth, AHeight);
  if (IsEmpty()) return;
  const host::Owned<host::HDC> memory = ContextWith(ADC, Bitmap.get());
  host::BitBlt(memory.get(), 0, 0, AWidth, AHeight, ADC, AX, AY, host::SRCCOPY);
}

void TSpriteBmp::LoadFromFile(const std::string& FileName) {
  host::TBitmap picture;
  picture.LoadFromFile(FileName);
  GrabBitmap(picture.Canvas().Handle(), 0, 0, picture.Width(), picture.Height());
  // The host bitmap is freed here, so its palette is taken rather than copied.
  PaletteHandle.reset(picture.ReleasePalette());
}

host::Owned<host::HDC> TSpriteBmp::GetBitmapDC() const {
  if (IsEmpty()) return {};
  return ContextWith(DC, Bitmap.get());
}

host::Owned<host::HDC> TSpriteBmp::TargetDC(const TSpriteBmp& Target) const {
  if (Target.IsEmpty()) return {};
  return ContextWith(DC, Target.Bitmap.get());
}

std::unique_ptr<TSpriteBmp> TSpriteBmp::Duplicate() const {
  if (IsEmpty()) return {};
  auto copy = std::make_unique<TSpriteBmp>();
  copy->GrabBitmap(GetBitmapDC().get(), 0, 0, Width, Height);
  copy->DC = DC;
  return copy;
}

void TSpriteBmp::ProcessBitmap(bool Mask) {
  const host::Owned<host::HDC> dc = GetBitmapDC();
  if (!dc) return;
  const host::COLORREF black = host::RGB(0, 0, 0), white = host::RGB(255, 255, 255);
  const host::COLORREF key = host::GetPixel(dc.get(), 0, 0);
  for (std::int32_t y = 0; y < Height; ++y)
    for (std::int32_t x = 0; x < Width; ++x) {
      const bool isKey = host::GetPixel(dc.get(), x, y) == key;
      if (Mask)
        host::SetPixel(dc.get(), x, y, isKey ? white : black);
      else if (isKey)
        host::SetPixel(dc.get(), x, y, black);
    }
}

void TSpriteBmp::SetPosition(std::int32_t AX, std::int32_t AY) {
  X = AX;
  Y = AY;
}

void TSpriteBmp::DrawBitmap(host::HDC ADC, host::DWORD Rop) const {
  const host::Owned<host::HDC> source = GetBitmapDC();
  if (source) host::BitBlt(ADC, X, Y, Width, Height, source.get(), 0, 0, Rop);
}

void TSpriteBmp::DrawCopy(host::HDC ADC, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  DrawBitmap(ADC, host::SRCCOPY);
}

void TSpriteBmp::DrawMask(host::HDC ADC, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  DrawBitmap(ADC, host::SRCAND);
}

void TSpriteBmp::DrawInvert(host::HDC ADC, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  DrawBitmap(ADC, host::SRCINVERT);
}

void TSpriteBmp::PutImage(const TSpriteBmp& Target, host::DWORD Rop) const {
  const host::Owned<host::HDC> target = TargetDC(Target);
  if (target) DrawBitmap(target.get(), Rop);
}

void TSpriteBmp::PutCopy(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  PutImage(Target, host::SRCCOPY);
}

void TSpriteBmp::PutMask(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  PutImage(Target, host::SRCAND);
}

void TSpriteBmp::PutInvert(const TSpriteBmp& Target, std::int32_t AX, std::int32_t AY) {
  SetPosition(AX, AY);
  PutImage(Target, host::SRCINVERT);
}

void TSpriteBmp::StretchBitmap(host::HDC ADC, std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                               std::int32_t DestHeight, host::DWORD Rop) const {
  const host::Owned<host::HDC> source = GetBitmapDC();
  if (source)
    host::StretchBlt(ADC, DestX, DestY, DestWidth, DestHeight, source.get(), X, Y, Width, Height, Rop);
}

void TSpriteBmp::StretchCopy(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                             std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchBitmap(ADC, DestX, DestY, DestWidth, DestHeight, host::SRCCOPY);
}

void TSpriteBmp::StretchMask(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                             std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchBitmap(ADC, DestX, DestY, DestWidth, DestHeight, host::SRCAND);
}

void TSpriteBmp::StretchInvert(host::HDC ADC, std::int32_t SrcX, std::int32_t SrcY, std::int32_t DestX,
                               std::int32_t DestY, std::int32_t DestWidth, std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchBitmap(ADC, DestX, DestY, DestWidth, DestHeight, host::SRCINVERT);
}

void TSpriteBmp::StretchPutImage(const TSpriteBmp& Target, std::int32_t DestX, std::int32_t DestY,
                                 std::int32_t DestWidth, std::int32_t DestHeight, host::DWORD Rop) const {
  const host::Owned<host::HDC> target = TargetDC(Target);
  if (target) StretchBitmap(target.get(), DestX, DestY, DestWidth, DestHeight, Rop);
}

void TSpriteBmp::StretchPutCopy(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY,
                                std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                                std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchPutImage(Target, DestX, DestY, DestWidth, DestHeight, host::SRCCOPY);
}

void TSpriteBmp::StretchPutMask(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY,
                                std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                                std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchPutImage(Target, DestX, DestY, DestWidth, DestHeight, host::SRCAND);
}

void TSpriteBmp::StretchPutInvert(const TSpriteBmp& Target, std::int32_t SrcX, std::int32_t SrcY,
                                  std::int32_t DestX, std::int32_t DestY, std::int32_t DestWidth,
                                  std::int32_t DestHeight) {
  SetPosition(SrcX, SrcY);
  StretchPutImage(Target, DestX, DestY, DestWidth, DestHeight, host::SRCINVERT);
}

}  // namespace vantora
