// The framework's bitmap, canvas and brush over the drawing layer.
#include <cstring>
#include <fstream>

#include "host/GdiTestSupport.h"
#include "host/graphics/Graphics.h"

namespace vantora::host {
namespace {

using testing::GdiTest;
using testing::MemorySurface;

using GraphicsTest = GdiTest;

// A 4 x 2 picture of four colours, pixel (x, y) of index (x + y) % 4.
DibImage FourColours() {
  DibImage image(4, 2, 8);
  image.SetColorCount(4);
  const RGBQUAD colors[4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {10, 20, 30, 0}};
  for (int i = 0; i < 4; ++i) image.Colors()[i] = colors[i];
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) image.Row(y)[x] = static_cast<BYTE>((x + y) % 4);
  return image;
}

COLORREF ColorOf(const DibImage& image, int x, int y) {
  const RGBQUAD& q = image.Colors()[image.Row(y)[x]];
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

TEST_F(GraphicsTest, BitmapLoadsAPictureFileWithItsColoursAsPalette) {
  const DibImage picture = FourColours();
  const auto dir = testing::TempDir("graphics");
  const std::string path = (dir / "four.bmp").string();
  WriteBmpFile(path, picture.Info(), picture.Bits());
  {
    TBitmap bitmap;
    int changes = 0;
    bitmap.OnChange = [&](TBitmap& sender) {
      EXPECT_EQ(&sender, &bitmap);
      ++changes;
    };
    EXPECT_TRUE(bitmap.Empty());
    bitmap.LoadFromFile(path);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 2);
    PALETTEENTRY entries[8];
    ASSERT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 8, entries), 4u);
    EXPECT_EQ(RGB(entries[3].peRed, entries[3].peGreen, entries[3].peBlue), RGB(30, 20, 10));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(bitmap.Canvas().Pixel(x, y), ColorOf(picture, x, y));

    // A capture through its palette gives the indices back.
    BITMAPINFO256 info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 4, -2, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    BYTE bits[8];
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE previous = SelectPalette(dc, bitmap.Palette(), FALSE);
    GetDIBits(dc, bitmap.Handle(), 0, 2, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    SelectPalette(dc, previous, FALSE);
    DeleteDC(dc);
    EXPECT_EQ(std::memcmp(bits, picture.Bits(), 4), 0);

    // A file that cannot be read leaves the bitmap as it was.
    const std::string bad = (dir / "bad.bmp").string();
    std::ofstream(bad) << "BM";
    EXPECT_THROW(bitmap.LoadFromFile(bad), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(changes, 1);
  }
  std::filesystem::remove_all(dir);
}

// Installs a picture quantizer for one test and puts back the one it replaced.
class QuantizerScope {
 public:
  explicit QuantizerScope(TPictureQuantizer quantizer) : previous_(SetPictureQuantizer(quantizer)) {}
  QuantizerScope(const QuantizerScope&) = delete;
  QuantizerScope& operator=(const QuantizerScope&) = delete;
  ~QuantizerScope() { SetPictureQuantizer(previous_); }

 private:
  TPictureQuantizer previous_;
};

// What the test quantizer saw and answered.
struct QuantizerLog {
  int calls = 0;
  COLORREF first = 0;
  HPALETTE made = nullptr;
} quantizerLog;

HPALETTE TwoEntryQuantizer(const DibImage& picture) {
  ++quantizerLog.calls;
  const BYTE* p = picture.Row(0);
  quantizerLog.first = RGB(p[2], p[1], p[0]);
  const struct {
    WORD version, count;
    PALETTEENTRY entries[2];
  } logical = {0x300, 2, {{9, 8, 7, 0}, {1, 2, 3, 0}}};
  return quantizerLog.made = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
}

HPALETTE DecliningQuantizer(const DibImage&) {
  ++quantizerLog.calls;
  return nullptr;
}

HPALETTE FailingQuantizer(const DibImage&) {
  ++quantizerLog.calls;
  throw EOutOfMemory("no room for the colours");
}

TEST_F(GraphicsTest, TrueColourPicturesGetThePaletteOfThePictureQuantizer) {
  quantizerLog = {};
  QuantizerScope scope(TwoEntryQuantizer);
  EXPECT_EQ(PictureQuantizer(), &TwoEntryQuantizer);
  DibImage picture(3, 2, 32);
  const BYTE first[4] = {30, 20, 10, 0};
  std::memcpy(picture.Row(0), first, sizeof first);
  TBitmap bitmap;
  bitmap.LoadFromPicture(picture);
  EXPECT_EQ(quantizerLog.calls, 1);
  EXPECT_EQ(quantizerLog.first, RGB(10, 20, 30));
  ASSERT_NE(quantizerLog.made, nullptr);
  EXPECT_EQ(bitmap.Palette(), quantizerLog.made);  // taken over: the fixture sees it freed once
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), RGB(10, 20, 30));

  // Indexed pictures bring their own colours.
  bitmap.LoadFromPicture(FourColours());
  EXPECT_EQ(quantizerLog.calls, 1);
  EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), 4u);

  // A quantizer that throws leaves the bitmap as it was and nothing behind (the fixture counts).
  {
    QuantizerScope failing(FailingQuantizer);
    EXPECT_THROW(bitmap.LoadFromPicture(picture), EOutOfMemory);
    EXPECT_EQ(quantizerLog.calls, 2);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), 4u);
  }
  EXPECT_EQ(PictureQuantizer(), &TwoEntryQuantizer) << "the replaced quantizer comes back";

  // One that declines leaves the halftone palette.
  QuantizerScope declining(DecliningQuantizer);
  bitmap.LoadFromPicture(picture);
  EXPECT_EQ(quantizerLog.calls, 3);
  EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), 256u);
}

TEST_F(GraphicsTest, TrueColourPicturesGetAHalftonePaletteWithoutAQuantizer) {
  QuantizerScope none(nullptr);
  DibImage picture(2, 1, 32);
  const BYTE pixels[8] = {1, 2, 3, 0, 200, 100, 50, 0};
  std::memcpy(picture.Bits(), pixels, 8);
  TBitmap bitmap;
  bitmap.LoadFromPicture(picture);
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), RGB(3, 2, 1));
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), RGB(50, 100, 200));
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 256, entries), 256u);
  EXPECT_EQ(RGB(entries[255].peRed, entries[255].peGreen, entries[255].peBlue), RGB(255, 255, 255));
  EXPECT_EQ(
      RGB(entries[10 + 36 + 6 + 1].peRed, entries[10 + 36 + 6 + 1].peGreen, entries[10 + 36 + 6 + 1].peBlue),
      RGB(51, 51, 51));
}

TEST_F(GraphicsTest, SetSizeKeepsThePixelsThatFitAndNotifies) {
  TBitmap bitmap;
  int changes = 0;
  bitmap.OnChange = [&](TBitmap&) { ++changes; };
  bitmap.SetSize(3, 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bitmap.Canvas().Pixel(2, 1), RGB(255, 255, 255));
  bitmap.Canvas().SetPixelColor(1, 1, clRed);
  HDC before = bitmap.Canvas().Handle();
  ASSERT_NE(before, nullptr);
  bitmap.SetSize(3, 2);
  EXPECT_EQ(changes, 1) << "the same size changes nothing";
  bitmap.SetWidth(5);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(bitmap.Canvas().Pixel(4, 1), RGB(255, 255, 255));
  bitmap.SetHeight(0);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(changes, 3);
}

TEST_F(GraphicsTest, CanvasFillsCopiesAndDrawsWithItsBrushAndCopyMode) {
  TBitmap target;
  target.SetSize(6, 4);
  TCanvas& canvas = target.Canvas();
  EXPECT_EQ(canvas.Brush().Color(), clWhite);
  canvas.Brush().SetColor(clBtnFace);  // a system colour, resolved when drawn
  canvas.FillRect(RECT{0, 0, 6, 4});
  EXPECT_EQ(canvas.Pixel(5, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
  // The brush is selected, so pattern operations paint with it too.
  canvas.Brush().SetColor(RGB(9, 8, 7));
  PatBlt(canvas.Handle(), 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(9, 8, 7));

  TBitmap source;
  source.LoadFromPicture(FourColours());
  canvas.Draw(1, 1, source);
  EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(4, 2), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(0, 1), GetSysColor(COLOR_BTNFACE));
  canvas.CopyRect(RECT{0, 0, 2, 2}, source.Canvas(), RECT{3, 0, 4, 1});  // one pixel stretched to four
  EXPECT_EQ(canvas.Pixel(1, 1), RGB(30, 20, 10));
  canvas.SetCopyMode(SRCAND);
  canvas.Draw(0, 0, source);
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(30, 20, 10) & RGB(255, 0, 0));

  MemorySurface plain(2, 2);
  TCanvas onContext(plain.dc);
  onContext.Brush().SetColor(clLime);
  onContext.FillRect(RECT{0, 0, 1, 2});
  EXPECT_EQ(plain.At(0, 1), RGB(0, 255, 0));
  EXPECT_EQ(plain.At(1, 1), RGB(0, 0, 0));
}

TEST_F(GraphicsTest, AssignAndStreamsCopyPixelsAndPalette) {
  TBitmap original;
  original.LoadFromPicture(FourColours());
  TBitmap copy;
  copy.Assign(original);
  EXPECT_NE(copy.Handle(), original.Handle());
  EXPECT_NE(copy.Palette(), original.Palette());
  EXPECT_EQ(GetPaletteEntries(copy.Palette(), 0, 0, nullptr), 4u);
  original.Canvas().SetPixelColor(0, 0, clWhite);
  EXPECT_EQ(copy.Canvas().Pixel(0, 0), RGB(255, 0, 0)) << "the copy has pixels of its own";

  // With a palette the bitmap is saved as 8 bits through it, without one as 24 bits.
  TMemoryStream stream;
  copy.SaveToStream(stream);
  stream.SetPosition(0);
  const DibImage saved = ReadPicture(stream);
  EXPECT_EQ(saved.BitCount(), 8);
  EXPECT_EQ(saved.ColorCount(), 4);
  const DibImage expected = FourColours();
  EXPECT_EQ(std::memcmp(saved.Row(1), expected.Row(1), 4), 0);
  TBitmap reloaded;
  stream.SetPosition(0);
  reloaded.LoadFromStream(stream);
  EXPECT_EQ(reloaded.Canvas().Pixel(3, 1), RGB(255, 0, 0));
  EXPECT_EQ(reloaded.Canvas().Pixel(1, 1), RGB(0, 0, 255));

  HPALETTE palette = copy.ReleasePalette();
  DeleteObject(palette);
  TMemoryStream deep;
  copy.SaveToStream(deep);
  deep.SetPosition(0);
  const DibImage saved24 = ReadPicture(deep);
  EXPECT_EQ(saved24.BitCount(), 32);
  const BYTE* p = saved24.Row(0) + 4 * 3;
  EXPECT_EQ(RGB(p[2], p[1], p[0]), RGB(30, 20, 10));

  TBitmap empty;
  TMemoryStream nothing;
  EXPECT_THROW(empty.SaveToStream(nothing), EInvalidGraphic);
  copy.Assign(empty);
  EXPECT_TRUE(copy.Empty());
  HBITMAP handle = original.ReleaseHandle();
  EXPECT_TRUE(original.Empty());
  DeleteObject(handle);
}

}  // namespace
}  // namespace vantora::host
