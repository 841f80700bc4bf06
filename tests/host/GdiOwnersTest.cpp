#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host/GdiTestSupport.h"
#include "host/graphics/GdiOwners.h"

namespace vantora::host {
namespace {

using testing::GdiTest;

using GdiOwnersTest = GdiTest;

const LOGFONTA kFont{};

bool Alive(HGDIOBJ object) {
  return GetObjectType(object) != 0;
}

Owned<HPALETTE> TwoColourPalette() {
  std::vector<BYTE> record(offsetof(LOGPALETTE, palPalEntry) + 2 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(record.data());
  logical->palVersion = PALETTE_VERSION;
  logical->palNumEntries = 2;
  return Owned<HPALETTE>(CreatePalette(logical));
}

TEST_F(GdiOwnersTest, OwnedDeletesOnEveryExitAndHandsOverOnRelease) {
  const int live = LiveGdiObjectCount();
  HBITMAP seen = nullptr;
  EXPECT_THROW(
      {
        const Owned<HBITMAP> bitmap(CreateCompatibleBitmap(nullptr, 4, 4));
        seen = bitmap;
        throw std::runtime_error("between the create and the delete");
      },
      std::runtime_error);
  EXPECT_FALSE(Alive(seen));
  EXPECT_EQ(LiveGdiObjectCount(), live);

  // A move leaves one owner; reset deletes what it replaces; release gives the object away.
  Owned<HDC> first(CreateCompatibleDC(nullptr));
  const HDC dc = first;
  Owned<HDC> second = std::move(first);
  EXPECT_EQ(first.get(), nullptr);
  EXPECT_EQ(second.get(), dc);
  second = std::move(second);
  EXPECT_EQ(second.get(), dc);
  second.reset(CreateCompatibleDC(nullptr));
  EXPECT_EQ(DeleteDC(dc), FALSE);  // already gone

  Owned<HFONT> font(CreateFontIndirectA(&kFont));
  const HFONT kept = font.release();
  EXPECT_EQ(font.get(), nullptr);
  EXPECT_TRUE(Alive(kept));
  EXPECT_EQ(DeleteObject(kept), TRUE);
}

TEST_F(GdiOwnersTest, SelectGuardPutsBackWhatItReplacedEvenWhenAnExceptionLeaves) {
  const Owned<HDC> dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ stockBitmap = GetCurrentObject(dc, OBJ_BITMAP);
  const HGDIOBJ stockFont = GetCurrentObject(dc, OBJ_FONT);
  const Owned<HBITMAP> bitmap(CreateCompatibleBitmap(nullptr, 2, 2));
  const Owned<HFONT> font(CreateFontIndirectA(&kFont));
  const Owned<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
  try {
    const SelectGuard b(dc, bitmap.get());
    const SelectGuard f(dc, font.get());
    const SelectGuard s(dc, brush.get());
    EXPECT_TRUE(b.Selected() && f.Selected() && s.Selected());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap.get());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.get());
    throw std::runtime_error("while selected");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), stockBitmap);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stockFont);

  // Nothing to select, or a handle the context refuses: nothing changes now or at the end.
  HFONT stale = CreateFontIndirectA(&kFont);
  DeleteObject(stale);
  {
    const SelectGuard none(dc, HFONT{});
    const SelectGuard refused(dc, stale);
    EXPECT_FALSE(none.Selected());
    EXPECT_FALSE(refused.Selected());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stockFont);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stockFont);
}

TEST_F(GdiOwnersTest, PaletteGuardSelectsThroughSelectPaletteAndRestoresTheDefault) {
  const Owned<HDC> dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ defaultPalette = GetCurrentObject(dc, OBJ_PAL);
  const Owned<HPALETTE> palette = TwoColourPalette();
  ASSERT_TRUE(palette);
  {
    const SelectGuard selected(dc, palette, FALSE);
    EXPECT_TRUE(selected.Selected());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette.get());
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), defaultPalette);
}

TEST_F(GdiOwnersTest, SavedDcRestoresTheStateOfItsStartWhateverHappenedInBetween) {
  const Owned<HDC> dc(CreateCompatibleDC(nullptr));
  const Owned<HFONT> font(CreateFontIndirectA(&kFont));
  const HGDIOBJ stockFont = GetCurrentObject(dc, OBJ_FONT);
  SetTextColor(dc, RGB(1, 1, 1));
  {
    const SavedDC saved(dc);
    EXPECT_TRUE(saved.Saved());
    SetTextColor(dc, RGB(9, 9, 9));
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, font.get());
    SaveDC(dc);  // an inner save left open is undone as well
    SetTextColor(dc, RGB(7, 7, 7));
  }
  EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stockFont);
  EXPECT_EQ(RestoreDC(dc, -1), FALSE);  // no save left behind
}

TEST_F(GdiOwnersTest, WindowDcReleasesTheScreenAndWindowContexts) {
  const int live = LiveGdiObjectCount();
  const HWND window = CreateWindowSurface(8, 8);
  {
    const WindowDC screen(nullptr);
    const WindowDC surface(window);
    const WindowDC none(reinterpret_cast<HWND>(std::uintptr_t{0x42}));
    EXPECT_NE(screen.get(), nullptr);
    EXPECT_NE(surface.get(), nullptr);
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_EQ(GetDeviceCaps(surface, PLANES), 1);
  }
  DestroyWindowSurface(window);
  EXPECT_EQ(LiveGdiObjectCount(), live);
}

}  // namespace
}  // namespace vantora::host
