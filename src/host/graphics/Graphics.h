// The framework's drawing objects over the drawing layer: colours, a brush, a canvas on a device
// context, and a bitmap that owns a device bitmap and its palette.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/classes/Persistent.h"
#include "host/classes/Stream.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/PictureFile.h"

namespace vantora::host {

// Named colour values.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;

// Resolves a system colour to its current RGB value; other values are returned unchanged.
COLORREF ColorToRGB(TColor color);

class TBrush {
 public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // A solid brush of the colour, made when first asked for and kept until the colour changes.
  HBRUSH Handle();

  std::function<void(TBrush&)> OnChange;

 private:
  TColor color_ = clWhite;
  Owned<HBRUSH> handle_;
};

class TBitmap;

// Draws on a device context it does not own. The brush is selected into the context.
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(HDC dc) { SetHandle(dc); }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  virtual ~TCanvas();

  // The context; a bitmap's canvas makes it when first asked for.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return handle_ != nullptr; }

  TBrush& Brush() { return brush_; }
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD rop) { copyMode_ = rop; }

  void FillRect(const RECT& rect);
  // Copies (stretching when the sizes differ) with the copy mode.
  void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);
  // Draws the bitmap at (X, Y) with the copy mode, its palette realised in the background first.
  void Draw(int x, int y, TBitmap& bitmap);
  void StretchDraw(const RECT& dest, TBitmap& bitmap);
  // Copies (stretching when the sizes differ) Source of Bitmap to Dest, with every pixel of Color
  // painted in the brush colour instead: a glyph drawn on whatever face lies under it.
  void BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& source, TColor color);
  COLORREF Pixel(int x, int y) { return GetPixel(Handle(), x, y); }
  void SetPixelColor(int x, int y, TColor color) { SetPixel(Handle(), x, y, ColorToRGB(color)); }

 protected:
  virtual void CreateHandle() {}

 private:
  void SelectBrush();
  HDC handle_ = nullptr;
  TBrush brush_;
  DWORD copyMode_ = SRCCOPY;
};

// Makes the palette through which a true-colour (32-bit) picture is captured to 8 bits; the bitmap
// that loads the picture owns the handle. The drawing layer knows no colour reduction of its own,
// so the library installs one at start-up; until then, or when the maker answers null, a picture
// gets the halftone palette.
using TPictureQuantizer = HPALETTE (*)(const DibImage& picture);
// Answers the maker it replaces, so that it can be put back.
TPictureQuantizer SetPictureQuantizer(TPictureQuantizer quantizer);
TPictureQuantizer PictureQuantizer();

// A device bitmap with its palette, both owned. A new bitmap is empty (no handle, size 0 x 0). It is
// a persistent without published properties, so model classes can publish a bitmap as a drop slot
// for pictures; nothing of it is streamed.
class TBitmap : public TPersistent {
  VANTORA_PERSISTENT(TBitmap)

  TBitmap();
  ~TBitmap() override;

  // The explicit copy: pixels and palette.
  void Assign(const TBitmap& source);
  // A bitmap source is copied as above; any other raises the framework's conversion error.
  void Assign(const TPersistent* source) override;

  HBITMAP Handle() const { return handle_.get(); }
  // Takes ownership of Bitmap (and frees the one held before); null empties the bitmap.
  void SetHandle(HBITMAP bitmap);
  // Hands the bitmap over to the caller; this object becomes empty.
  HBITMAP ReleaseHandle();
  HPALETTE Palette() const { return palette_.get(); }
  void SetPalette(HPALETTE palette);
  HPALETTE ReleasePalette();

  bool Empty() const { return handle_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  // Keeps the pixels that still fit; new ones are white. A size of 0 empties the bitmap.
  void SetSize(int width, int height);

  TCanvas& Canvas();

  // BMP, PNG or JPEG. An indexed picture brings its colours as the palette; a true-colour one gets
  // the palette of the picture quantizer for 256-colour captures (without one, the halftone palette:
  // 20 static colours, a 6 x 6 x 6 cube and greys). A picture that cannot be read or given a
  // palette leaves the bitmap as it was.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(TStream& stream);
  void LoadFromPicture(const DibImage& picture);
  // A BMP file: 8 bits through the palette when there is one, else 24 bits.
  void SaveToFile(const std::string& path);
  void SaveToStream(TStream& stream);

  std::function<void(TBitmap&)> OnChange;

 private:
  class BitmapCanvas;
  void Changed();
  void Replace(HBITMAP bitmap, HPALETTE palette);
  Owned<HBITMAP> handle_;
  Owned<HPALETTE> palette_;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<BitmapCanvas> canvas_;
};

}  // namespace vantora::host
