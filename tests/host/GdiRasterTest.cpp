// Device contexts, objects and the raster operations on device pixels.
#include "host/GdiTestSupport.h"

namespace vantora::host {
namespace {

using testing::GdiTest;
using testing::MemorySurface;

// The truth table evaluated bit by bit: bit i of the result takes table bit (P*4 + S*2 + D).
COLORREF Expected(std::uint8_t code, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF out = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const int index = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    out |= static_cast<COLORREF>((code >> index) & 1) << bit;
  }
  return out;
}

using RasterTest = GdiTest;

TEST_F(RasterTest, EveryRasterOperationIsExactPerChannel) {
  const COLORREF sources[2] = {RGB(0xF0, 0x0F, 0x55), RGB(0x12, 0x34, 0x56)};
  const COLORREF dests[2] = {RGB(0xAA, 0xCC, 0x0F), RGB(0x00, 0xFF, 0x81)};
  const COLORREF pattern = RGB(0x3C, 0xA5, 0x99);
  MemorySurface source(2, 1), dest(2, 1);
  for (int x = 0; x < 2; ++x) SetPixel(source.dc, x, 0, sources[x]);
  HBRUSH brush = CreateSolidBrush(pattern);
  HBRUSH previous = SelectObject(dest.dc, brush);
  for (int code = 0; code < 256; ++code) {
    for (int x = 0; x < 2; ++x) SetPixel(dest.dc, x, 0, dests[x]);
    ASSERT_TRUE(BitBlt(dest.dc, 0, 0, 2, 1, source.dc, 0, 0, static_cast<DWORD>(code) << 16));
    for (int x = 0; x < 2; ++x)
      ASSERT_EQ(dest.At(x, 0), Expected(static_cast<std::uint8_t>(code), pattern, sources[x], dests[x]))
          << "operation " << code << " pixel " << x;
  }
  // The named operations the library uses.
  SetPixel(dest.dc, 0, 0, dests[0]);
  BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCAND);
  EXPECT_EQ(dest.At(0, 0), sources[0] & dests[0]);
  SetPixel(dest.dc, 0, 0, dests[0]);
  BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(dest.At(0, 0), sources[0] | dests[0]);
  SetPixel(dest.dc, 0, 0, dests[0]);
  BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCINVERT);
  EXPECT_EQ(dest.At(0, 0), sources[0] ^ dests[0]);
  BitBlt(dest.dc, 0, 0, 1, 1, source.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dest.At(0, 0), sources[0]);
  // Operations without a source work through PatBlt, ones with a source do not.
  EXPECT_TRUE(PatBlt(dest.dc, 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(dest.At(1, 0), pattern);
  EXPECT_TRUE(PatBlt(dest.dc, 0, 0, 2, 1, DSTINVERT));
  EXPECT_EQ(dest.At(1, 0), ~pattern & 0xFFFFFFu);
  EXPECT_FALSE(PatBlt(dest.dc, 0, 0, 2, 1, SRCCOPY));
  EXPECT_FALSE(BitBlt(dest.dc, 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY));
  SelectObject(dest.dc, previous);
  DeleteObject(brush);
}

TEST_F(RasterTest, BitBltClipsAtEveryEdge) {
  // Source pixels are numbered so that every landing place can be checked.
  auto sourceColor = [](int x, int y) { return RGB(10 + x, 20 + y, 30); };
  MemorySurface source(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(source.dc, x, y, sourceColor(x, y));
  struct Case {
    int x, y, sourceX, sourceY;
  };
  const Case cases[] = {{-1, -1, 0, 0}, {2, 2, 0, 0},  {-2, 1, 0, 0}, {3, -2, 0, 0}, {1, 1, -1, -1},
                        {0, 0, 2, 2},   {-5, 0, 0, 0}, {4, 0, 0, 0},  {0, 0, 3, 0},  {1, 0, -3, 0}};
  for (const Case& c : cases) {
    MemorySurface dest(4, 4, RGB(1, 1, 1));
    ASSERT_TRUE(BitBlt(dest.dc, c.x, c.y, 3, 3, source.dc, c.sourceX, c.sourceY, SRCCOPY));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const int sx = x - c.x + c.sourceX, sy = y - c.y + c.sourceY;
        const bool covered =
            x >= c.x && x < c.x + 3 && y >= c.y && y < c.y + 3 && sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
        EXPECT_EQ(dest.At(x, y), covered ? sourceColor(sx, sy) : RGB(1, 1, 1))
            << "blit at " << c.x << "," << c.y << " from " << c.sourceX << "," << c.sourceY << " pixel " << x
            << "," << y;
      }
  }
}

TEST_F(RasterTest, StretchBltScalesByNearestPixelAndMirrors) {
  const COLORREF colors[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  MemorySurface small(2, 2);
  for (int i = 0; i < 4; ++i) SetPixel(small.dc, i % 2, i / 2, colors[i]);
  MemorySurface large(4, 4);
  ASSERT_TRUE(StretchBlt(large.dc, 0, 0, 4, 4, small.dc, 0, 0, 2, 2, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(large.At(x, y), colors[(y / 2) * 2 + x / 2]) << x << "," << y;

  // Shrinking samples the middle of each source span: columns 1 and 3 of four.
  MemorySurface row(4, 1);
  for (int x = 0; x < 4; ++x) SetPixel(row.dc, x, 0, RGB(x, 0, 0));
  MemorySurface half(2, 1);
  StretchBlt(half.dc, 0, 0, 2, 1, row.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(half.At(0, 0), RGB(1, 0, 0));
  EXPECT_EQ(half.At(1, 0), RGB(3, 0, 0));

  // A negative width mirrors; the rectangle reaches back from its origin.
  MemorySurface mirrored(4, 1);
  StretchBlt(mirrored.dc, 3, 0, -4, 1, row.dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(mirrored.At(x, 0), RGB(3 - x, 0, 0));

  // Stretching with an operation other than a copy combines after scaling.
  MemorySurface combined(4, 4, RGB(0xFF, 0x0F, 0xFF));
  StretchBlt(combined.dc, 0, 0, 4, 4, small.dc, 0, 0, 2, 2, SRCAND);
  EXPECT_EQ(combined.At(3, 3), RGB(0xFF, 0x0F, 0x00));
}

TEST_F(RasterTest, BlitWithinOneSurfaceReadsTheOriginalPixels) {
  MemorySurface s(5, 1);
  for (int x = 0; x < 5; ++x) SetPixel(s.dc, x, 0, RGB(x + 1, 0, 0));
  BitBlt(s.dc, 1, 0, 4, 1, s.dc, 0, 0, SRCCOPY);
  const COLORREF right[5] = {1, 1, 2, 3, 4};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(s.At(x, 0), right[x]);
  BitBlt(s.dc, 0, 0, 4, 1, s.dc, 1, 0, SRCCOPY);
  const COLORREF left[5] = {1, 2, 3, 4, 4};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(s.At(x, 0), left[x]);
}

TEST_F(RasterTest, ViewportOriginAndClipRectangleApplyToEveryCall) {
  MemorySurface s(6, 4);
  SetViewportOrgEx(s.dc, 2, 1, nullptr);
  SetPixel(s.dc, 0, 0, RGB(9, 9, 9));
  EXPECT_EQ(s.At(0, 0), RGB(9, 9, 9));  // reads through the same origin
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  EXPECT_EQ(s.At(2, 1), RGB(9, 9, 9));

  EXPECT_EQ(SaveDC(s.dc), 1);
  SetViewportOrgEx(s.dc, 1, 1, nullptr);
  EXPECT_EQ(IntersectClipRect(s.dc, 0, 0, 2, 1), SIMPLEREGION);
  RECT box;
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 2);
  EXPECT_EQ(box.bottom, 1);
  PatBlt(s.dc, -10, -10, 100, 100, WHITENESS);
  EXPECT_EQ(GetPixel(s.dc, 5, 0), CLR_INVALID);  // outside the clip
  EXPECT_TRUE(RestoreDC(s.dc, -1));
  int white = 0;
  for (COLORREF c : s.Pixels()) white += c == RGB(255, 255, 255);
  EXPECT_EQ(white, 2);
  EXPECT_EQ(s.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(s.At(2, 1), RGB(255, 255, 255));
  EXPECT_EQ(s.At(3, 1), RGB(0, 0, 0));
  EXPECT_FALSE(RestoreDC(s.dc, -1));  // nothing saved any more
  EXPECT_EQ(IntersectClipRect(s.dc, 10, 10, 20, 20), NULLREGION);
  EXPECT_EQ(SetPixel(s.dc, 0, 0, 0), CLR_INVALID);
  SelectClipRgn(s.dc, nullptr);
  EXPECT_NE(SetPixel(s.dc, 0, 0, 0), CLR_INVALID);
}

TEST_F(RasterTest, FillRectUsesTheBrushAndPaletteIndexColours) {
  MemorySurface s(4, 3);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  RECT r{1, 1, 3, 2};
  EXPECT_EQ(FillRect(s.dc, &r, brush), 1);
  EXPECT_EQ(s.At(1, 1), RGB(1, 2, 3));
  EXPECT_EQ(s.At(2, 1), RGB(1, 2, 3));
  EXPECT_EQ(s.At(3, 1), RGB(0, 0, 0));
  EXPECT_EQ(s.At(1, 2), RGB(0, 0, 0));
  EXPECT_EQ(FillRect(s.dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 1);
  EXPECT_EQ(s.At(1, 1), RGB(1, 2, 3));

  struct {
    WORD version, count;
    PALETTEENTRY entries[2];
  } log{0x300, 2, {{10, 20, 30, 0}, {40, 50, 60, 0}}};
  HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
  HPALETTE old = SelectPalette(s.dc, palette, FALSE);
  SetPixel(s.dc, 0, 0, PALETTEINDEX(1));
  EXPECT_EQ(s.At(0, 0), RGB(40, 50, 60));
  SelectPalette(s.dc, old, FALSE);
  DeleteObject(palette);
  DeleteObject(brush);
}

TEST_F(RasterTest, HandlesAreCheckedAndObjectsOutliveTheirSelection) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 2);
  BITMAP info{};
  EXPECT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);

  HBITMAP original = SelectObject(dc, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(SelectObject(dc, original), bitmap);  // the previous one comes back
  SelectObject(dc, bitmap);
  // Deleting a selected bitmap ends its handle, not the pixels the context draws on.
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(GetObject(bitmap, sizeof info, &info), 0);
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_NE(SetPixel(dc, 2, 1, RGB(5, 6, 7)), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(5, 6, 7));
  EXPECT_EQ(SelectObject(dc, original), bitmap);
  EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "a deleted handle cannot be selected again";
  EXPECT_FALSE(DeleteObject(bitmap));

  // Stock objects cannot be deleted; a context is no object for DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_NE(GetObjectType(GetStockObject(WHITE_BRUSH)), 0u);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_EQ(GetStockObject(99), nullptr);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
  EXPECT_EQ(CreateCompatibleDC(dc), nullptr);

  // An empty size gives the classic 1 x 1 bitmap; an absurd one nothing.
  HBITMAP tiny = CreateCompatibleBitmap(nullptr, 0, 0);
  ASSERT_EQ(GetObject(tiny, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  DeleteObject(tiny);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 40000, 10), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, -3, 10), nullptr);
}

}  // namespace
}  // namespace vantora::host
