#include "ToolImages.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "ToolErrors.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/PictureFile.h"

namespace vantora::tool {

namespace {

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

constexpr int kGap = 12;
constexpr int kCaptionHeight = 18;

// Owns a memory context with a true-colour bitmap selected into it.
class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width),
        height_(height),
        dc_(host::CreateCompatibleDC(nullptr)),
        bitmap_(host::CreateCompatibleBitmap(nullptr, width, height)),
        selected_(dc_, bitmap_.get()) {
    host::PatBlt(dc_, 0, 0, width, height, host::WHITENESS);
  }

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
  host::Owned<host::HDC> dc_;
  host::Owned<host::HBITMAP> bitmap_;
  host::SelectGuard selected_;
};

}  // namespace

void CheckFacePath(const std::string& Path) {
  const std::string extension = LowerExtension(Path);
  if (extension != ".png" && extension != ".bmp")
    throw UsageError("the output must be a .png or a .bmp file: " + Path);
}

void WriteFace(const tFulgoDib& Dib, const std::string& Path, bool ClearTransparent) {
  CheckFacePath(Path);
  SavePicture(Dib, Path, ClearTransparent);
}

void WriteRgbaFace(const TRgbaImage& Image, const std::string& Path) {
  if (LowerExtension(Path) != ".png")
    throw UsageError("a picture with alpha is written as a .png file: " + Path);
  host::WriteRgbaPngFile(Path, Image.Width(), Image.Height(), Image.Bits(), Image.Stride());
}

TRgbaImage SideBySide(const std::vector<TRgbaImage>& Images, int Gap) {
  int width = 0, height = 0;
  for (const TRgbaImage& image : Images) {
    width += (width ? Gap : 0) + image.Width();
    height = std::max(height, image.Height());
  }
  TRgbaImage row(width, height);
  int x = 0;
  for (const TRgbaImage& image : Images) {
    PutRgba(row, image, x, 0);
    x += image.Width() + Gap;
  }
  return row;
}

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
  const host::Owned<host::HFONT> handle(host::CreateFontIndirectA(&font));
  const host::SelectGuard selected(canvas.Dc(), handle);
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
  canvas.WritePng(Path);
}

}  // namespace vantora::tool
