#include "host/graphics/Graphics.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

namespace vantora::host {

COLORREF ColorToRGB(TColor color) {
  return (color & clSystemColor) ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

// ---- TBrush

void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  handle_.reset();
  if (OnChange) OnChange(*this);
}

HBRUSH TBrush::Handle() {
  if (!handle_) handle_.reset(CreateSolidBrush(ColorToRGB(color_)));
  return handle_;
}

// ---- TCanvas

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TCanvas::SetHandle(HDC dc) {
  handle_ = dc;
  if (!dc) return;
  SelectBrush();
  // A later change of colour reaches the context too.
  brush_.OnChange = [this](TBrush&) {
    if (handle_) SelectBrush();
  };
}

void TCanvas::SelectBrush() {
  SelectObject(handle_, brush_.Handle());
}

void TCanvas::FillRect(const RECT& rect) {
  ::vantora::host::FillRect(Handle(), &rect, brush_.Handle());
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect) {
  StretchBlt(Handle(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Handle(),
             sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
             sourceRect.bottom - sourceRect.top, copyMode_);
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  StretchDraw(RECT{x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const RECT& dest, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  HDC dc = Handle();
  const SelectGuard palette(dc, bitmap.Palette(), TRUE);
  if (bitmap.Palette()) RealizePalette(dc);
  StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
             bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), copyMode_);
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& source, TColor color) {
  const int width = dest.right - dest.left, height = dest.bottom - dest.top;
  if (bitmap.Empty() || width <= 0 || height <= 0) return;
  // Stretched first, so the pixels are chosen exactly as any other stretched copy chooses them.
  TBitmap stretched;
  stretched.SetSize(width, height);
  HDC work = stretched.Canvas().Handle();
  StretchBlt(work, 0, 0, width, height, bitmap.Canvas().Handle(), source.left, source.top,
             source.right - source.left, source.bottom - source.top, SRCCOPY);
  const COLORREF key = ColorToRGB(color), face = ColorToRGB(brush_.Color());
  HDC dc = Handle();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF pixel = GetPixel(work, x, y);
      SetPixel(dc, dest.left + x, dest.top + y, pixel == key ? face : pixel);
    }
}

// ---- Picture quantizer

namespace {
// Constant-initialised, so a maker installed by another unit's start-up code is never overwritten.
constinit TPictureQuantizer pictureQuantizer = nullptr;
}  // namespace

TPictureQuantizer SetPictureQuantizer(TPictureQuantizer quantizer) {
  return std::exchange(pictureQuantizer, quantizer);
}

TPictureQuantizer PictureQuantizer() {
  return pictureQuantizer;
}

// ---- TBitmap

// The canvas of a bitmap: a memory context made on demand with the bitmap and palette selected,
// dropped whenever either changes. The context is deleted with them still selected, which leaves
// both to their owner.
class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {}
  ~BitmapCanvas() override { FreeContext(); }
  void FreeContext() {
    SetHandle(nullptr);
    context_.reset();
  }

 protected:
  void CreateHandle() override {
    context_.reset(CreateCompatibleDC(nullptr));
    if (owner_.handle_) SelectObject(context_, owner_.handle_.get());
    if (owner_.palette_) {
      SelectPalette(context_, owner_.palette_, TRUE);
      RealizePalette(context_);
    }
    SetHandle(context_);
  }

 private:
  TBitmap& owner_;
  Owned<HDC> context_;
};

namespace {

// A logical palette of the given entries.
Owned<HPALETTE> PaletteOf(const std::vector<PALETTEENTRY>& entries) {
  constexpr std::size_t kEntries = offsetof(LOGPALETTE, palPalEntry);
  std::vector<BYTE> block(kEntries + entries.size() * sizeof(PALETTEENTRY));
  const WORD header[2] = {PALETTE_VERSION, static_cast<WORD>(entries.size())};
  std::memcpy(block.data(), header, kEntries);
  std::memcpy(block.data() + kEntries, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return Owned<HPALETTE>(CreatePalette(reinterpret_cast<const LOGPALETTE*>(block.data())));
}

Owned<HPALETTE> CopyPalette(HPALETTE palette) {
  std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
  if (entries.empty()) return {};
  GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
  return PaletteOf(entries);
}

// Copies the overlapping part of one bitmap into another (new areas white).
Owned<HBITMAP> ResizedCopy(HBITMAP source, int width, int height) {
  Owned<HBITMAP> bitmap(CreateCompatibleBitmap(nullptr, width, height));
  if (!bitmap)
    throw EOutOfMemory("Not enough memory for a " + std::to_string(width) + " x " + std::to_string(height) +
                       " bitmap");
  const Owned<HDC> dest(CreateCompatibleDC(nullptr));
  const SelectGuard destSelected(dest, bitmap.get());
  PatBlt(dest, 0, 0, width, height, WHITENESS);
  if (source) {
    const Owned<HDC> from(CreateCompatibleDC(nullptr));
    const SelectGuard fromSelected(from, source);
    BitBlt(dest, 0, 0, width, height, from, 0, 0, SRCCOPY);
  }
  return bitmap;
}

}  // namespace

const TClass& TBitmap::StaticClass() {
  static const TClass& cls = ClassBuilder<TBitmap>("TBitmap", TPersistent::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TBitmap);

TBitmap::TBitmap() : canvas_(std::make_unique<BitmapCanvas>(*this)) {}

TBitmap::~TBitmap() = default;

void TBitmap::Changed() {
  if (OnChange) OnChange(*this);
}

// Installs a new bitmap and palette (either may be the one held), freeing what they replace.
void TBitmap::Replace(HBITMAP bitmap, HPALETTE palette) {
  canvas_->FreeContext();
  if (bitmap != handle_) handle_.reset(bitmap);
  if (palette != palette_) palette_.reset(palette);
  BITMAP info{};
  if (handle_ && GetObject(handle_, sizeof info, &info) == sizeof info) {
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  } else {
    handle_.reset();
    width_ = height_ = 0;
  }
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  Owned<HBITMAP> bitmap =
      source.handle_ ? ResizedCopy(source.handle_, source.width_, source.height_) : Owned<HBITMAP>();
  Owned<HPALETTE> palette = source.palette_ ? CopyPalette(source.palette_) : Owned<HPALETTE>();
  Replace(bitmap.release(), palette.release());
  Changed();
}

void TBitmap::Assign(const TPersistent* source) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) return Assign(*bitmap);
  TPersistent::Assign(source);
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == handle_) return;
  Replace(bitmap, palette_);
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  canvas_->FreeContext();
  width_ = height_ = 0;
  return handle_.release();
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == palette_) return;
  Replace(handle_, palette);
  Changed();
}

HPALETTE TBitmap::ReleasePalette() {
  canvas_->FreeContext();
  return palette_.release();
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  Replace(width > 0 && height > 0 ? ResizedCopy(handle_, width, height).release() : nullptr, palette_);
  Changed();
}

TCanvas& TBitmap::Canvas() {
  return *canvas_;
}

void TBitmap::LoadFromPicture(const DibImage& picture) {
  if (picture.Empty()) throw EInvalidGraphic("Invalid Bitmap");
  // The palette comes first: a quantizer may throw, and nothing made here may outlive that.
  Owned<HPALETTE> palette;
  if (picture.BitCount() <= 8) {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < picture.ColorCount(); ++i) {
      const RGBQUAD& c = picture.Colors()[i];
      entries.push_back(PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0});
    }
    palette = PaletteOf(entries);
  } else {
    if (const TPictureQuantizer quantizer = pictureQuantizer) palette.reset(quantizer(picture));
    if (!palette) palette.reset(CreateHalftonePalette(nullptr));
  }
  Owned<HBITMAP> bitmap(CreateCompatibleBitmap(nullptr, picture.Width(), picture.Height()));
  if (!bitmap) throw EOutOfMemory("Not enough memory for the picture");
  SetDIBits(nullptr, bitmap, 0, static_cast<UINT>(picture.Height()), picture.Bits(), picture.Info(),
            DIB_RGB_COLORS);
  Replace(bitmap.release(), palette.release());
  Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
  LoadFromPicture(ReadPicture(stream));
}

void TBitmap::LoadFromFile(const std::string& path) {
  LoadFromPicture(ReadPictureFile(path));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap");
  BITMAPINFO256 info{};
  BITMAPINFOHEADER& h = info.bmiHeader;
  h.biSize = sizeof h;
  h.biWidth = width_;
  h.biHeight = height_;
  h.biPlanes = 1;
  h.biBitCount = palette_ ? 8 : 24;
  h.biCompression = BI_RGB;
  if (palette_) h.biClrUsed = std::min<UINT>(256, GetPaletteEntries(palette_, 0, 0, nullptr));
  std::vector<BYTE> bits(DibStride(width_, h.biBitCount) * static_cast<std::size_t>(height_));
  {
    const Owned<HDC> dc(CreateCompatibleDC(nullptr));
    const SelectGuard selected(dc, palette_.get(), TRUE);
    GetDIBits(dc, handle_, 0, static_cast<UINT>(height_), bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
  }
  const std::vector<std::uint8_t> file = EncodeBmp(reinterpret_cast<const BITMAPINFO*>(&info), bits.data());
  stream.WriteBuffer(file.data(), static_cast<std::int64_t>(file.size()));
}

void TBitmap::SaveToFile(const std::string& path) {
  TMemoryStream file;
  SaveToStream(file);
  file.SaveToFile(path);
}

}  // namespace vantora::host
