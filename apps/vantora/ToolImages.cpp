#include "ToolImages.h"

#include <algorithm>
#include <cstring>

#include "core/DibLayout.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/PictureFile.h"

namespace vantora::tool {

void WriteDibPng(const tFulgoDib& Dib, const std::string& Path) {
  // The header is copied out: blocks are only 2-byte aligned.
  host::BITMAPINFO256 info;
  std::memcpy(&info, Dib.Dib + dib::kFileHeaderSize, sizeof info);
  host::WritePngFile(Path, reinterpret_cast<const host::BITMAPINFO*>(&info), dib::Bits(Dib.Dib));
}

namespace {

constexpr int kGap = 12;
constexpr int kCaptionHeight = 18;

// Owns a memory context with a true-colour bitmap selected into it.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    host::HDC screen = host::GetDC(nullptr);
    dc_ = host::CreateCompatibleDC(screen);
    bitmap_ = host::CreateCompatibleBitmap(screen, width, height);
    host::ReleaseDC(nullptr, screen);
    old_ = host::SelectObject(dc_, bitmap_);
    host::PatBlt(dc_, 0, 0, width, height, host::WHITENESS);
  }
  ~Canvas() {
    host::SelectObject(dc_, old_);
    host::DeleteObject(bitmap_);
    host::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  host::HDC Dc() const { return dc_; }

  void WritePng(const std::string& path) const {
    host::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(host::BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down, as the PNG writer takes rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = host::BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    host::GetDIBits(dc_, bitmap_, 0, static_cast<host::UINT>(height_), pixels.data(), &info,
                    host::DIB_RGB_COLORS);
    host::WritePngFile(path, width_, height_, pixels.data(), static_cast<std::size_t>(width_));
  }

 private:
  int width_;
  int height_;
  host::HDC dc_ = nullptr;
  host::HBITMAP bitmap_ = nullptr;
  host::HBITMAP old_ = nullptr;
};

}  // namespace

void ContactSheet::Write(const std::string& Path) const {
  int cellWidth = 120;
  int cellHeight = 0;
  for (const Cell& c : cells_) {
    cellWidth = std::max<int>(cellWidth, c.dib->GetWidth());
    cellHeight = std::max<int>(cellHeight, c.dib->GetHeight());
  }
  const int count = static_cast<int>(cells_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int pitchX = cellWidth + kGap;
  const int pitchY = cellHeight + kCaptionHeight + kGap;
  Canvas canvas(kGap + columns_ * pitchX, kGap + rows * pitchY);

  host::LOGFONTA font{};
  font.lfHeight = -12;
  font.lfWeight = host::FW_NORMAL;
  std::strncpy(font.lfFaceName, "DejaVu Sans", sizeof font.lfFaceName - 1);
  host::HFONT handle = host::CreateFontIndirectA(&font);
  host::HFONT oldFont = host::SelectObject(canvas.Dc(), handle);
  host::SetBkMode(canvas.Dc(), host::TRANSPARENT);
  host::SetTextColor(canvas.Dc(), host::RGB(40, 40, 40));
  for (int i = 0; i < count; ++i) {
    const int x = kGap + (i % columns_) * pitchX;
    const int y = kGap + (i / columns_) * pitchY;
    const Cell& c = cells_[static_cast<std::size_t>(i)];
    // Transparent pixels show the sheet's white, as a control drawn transparently shows its parent.
    c.dib->DrawTransparent(canvas.Dc(), kGap + columns_ * pitchX, kGap + rows * pitchY,
                           static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
    host::TextOutA(canvas.Dc(), x, y + cellHeight + 2, c.caption.c_str(), static_cast<int>(c.caption.size()));
  }
  host::SelectObject(canvas.Dc(), oldFont);
  host::DeleteObject(handle);
  canvas.WritePng(Path);
}

}  // namespace vantora::tool
