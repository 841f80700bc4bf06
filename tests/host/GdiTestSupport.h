// Shared pieces of the drawing-layer tests: a fixture that catches leaked drawing objects and a
// memory surface to draw on and read back.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/graphics/Gdi.h"

namespace vantora::host::testing {

// Every test starts on a true-colour display and must leave no drawing object behind.
class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDisplayMode(DisplayMode::TrueColor);
    live_ = LiveGdiObjectCount();
  }
  void TearDown() override {
    SetDisplayMode(DisplayMode::TrueColor);
    EXPECT_EQ(LiveGdiObjectCount(), live_) << "drawing objects leaked";
  }

 private:
  int live_ = 0;
};

// A memory context with a bitmap of its own selected.
class MemorySurface {
 public:
  MemorySurface(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width), height_(height) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, width, height);
    previous_ = SelectObject(dc, bitmap);
    Fill(fill);
  }
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;
  ~MemorySurface() {
    SelectObject(dc, previous_);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

  void Fill(COLORREF color) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixel(dc, x, y, color);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  // Row by row from the top.
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) out.push_back(At(x, y));
    return out;
  }
  // The smallest rectangle holding every pixel that differs from Background.
  RECT InkBox(COLORREF background) const {
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != background) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }
  int Count(COLORREF color) const {
    int n = 0;
    for (COLORREF c : Pixels()) n += c == color;
    return n;
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

  HDC dc;
  HBITMAP bitmap;

 private:
  int width_;
  int height_;
  HBITMAP previous_;
};

// A fresh directory for files a test writes.
inline std::filesystem::path TempDir(const std::string& name) {
  auto dir =
      std::filesystem::temp_directory_path() / ("vantora_host_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace vantora::host::testing
