// Pictures with alpha made from 8-bit bitmaps: table colours opaque, the transparent index clear,
// placed and clipped as a transparent draw places them; edges extruded; pixels enlarged.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Fultype.h"
#include "core/RgbaImage.h"
#include "support/DibTestUtil.h"

namespace vantora {
namespace {

using Rows = std::vector<std::string>;

// The picture as characters: '.' clear, 'r', 'g', 'b' opaque red, green, blue, '?' anything else.
Rows Shown(const TRgbaImage& image) {
  Rows rows;
  for (int y = 0; y < image.Height(); ++y) {
    std::string row;
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = image.Row(y) + 4 * x;
      const std::uint32_t v = std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | p[2] << 8 | p[3];
      row += v == 0 ? '.' : v == 0xFF0000FF ? 'r' : v == 0x00FF00FF ? 'g' : v == 0x0000FFFF ? 'b' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

class RgbaImageTest : public ::testing::Test {
 protected:
  RgbaImageTest() {
    test::Paint(dib, {"1.2", "33."});
    dib.SetColor(1, 0xFF0000);  // table order: red in the high byte
    dib.SetColor(2, 0x00FF00);
    dib.SetColor(3, 0x0000FF);
    dib.SetColor(kTransparentIndex, 0x123456);  // shows if a clear pixel takes its colour
  }
  tFulgoDib dib;
};

TEST_F(RgbaImageTest, TableColoursOpaqueAndTheTransparentIndexClear) {
  EXPECT_EQ(Shown(RgbaOfDib(dib)), (Rows{"r.g", "bb."}));
  // Placed as the control's inner offsets place it, clipped by the area and by the picture.
  EXPECT_EQ(Shown(RgbaOfDib(dib, 5, 3, 1, 1, 5, 3)), (Rows{".....", ".r.g.", ".bb.."}));
  EXPECT_EQ(Shown(RgbaOfDib(dib, 4, 2, -1, 0, 4, 2)), (Rows{".g..", "b..."}));
  EXPECT_EQ(Shown(RgbaOfDib(dib, 4, 2, 1, 0, 2, 1)), (Rows{".r..", "...."}));
  EXPECT_EQ(Shown(RgbaOfDib(tFulgoDib{}, 2, 1, 0, 0, 2, 1)), (Rows{".."}));
}

TEST_F(RgbaImageTest, PutRepeatsTheEdgesOutwardsAndClips) {
  const TRgbaImage face = RgbaOfDib(dib);
  TRgbaImage sheet(7, 4);
  PutRgba(sheet, face, 1, 1, 1);
  EXPECT_EQ(Shown(sheet), (Rows{"rr.gg..", "rr.gg..", "bbb....", "bbb...."}));
  TRgbaImage small(2, 1);
  PutRgba(small, face, -1, 0);
  EXPECT_EQ(Shown(small), (Rows{".g"}));
}

TEST_F(RgbaImageTest, ScalingMakesEachPixelABlock) {
  EXPECT_EQ(Shown(ScaleRgba(RgbaOfDib(dib), 2)), (Rows{"rr..gg", "rr..gg", "bbbb..", "bbbb.."}));
  EXPECT_THROW(ScaleRgba(RgbaOfDib(dib), 0), EFulgoError);
  EXPECT_THROW(ScaleRgba(TRgbaImage(3000, 1), 16), EFulgoError);
}

}  // namespace
}  // namespace vantora
