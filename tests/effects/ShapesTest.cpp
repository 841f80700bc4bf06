#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/Fuldib.h"
#include "effects/Shapes.h"
#include "support/DibTestUtil.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using test::Paint;
using test::Picture;
using Pic = std::vector<std::string>;
using V = std::vector<std::int16_t>;

struct Pt {
  int pos, lo, hi, loCurve = 0, hiCurve = 0, reserved = 0;
};
using HalfPts = std::vector<Pt>;

std::string Record(const HalfPts& columns, const HalfPts& rows) {
  std::string bytes;
  for (const HalfPts* half : {&columns, &rows})
    for (std::size_t i = 0; i < 10; ++i) {
      const Pt p = i < half->size() ? (*half)[i] : Pt{0, 0, 0};
      for (const int v : {p.pos, p.lo, p.hi, p.loCurve, p.hiCurve, p.reserved})
        bytes += {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
    }
  return bytes;
}

// Leaves every column and every row as it is.
const HalfPts kWhole = {{0, 1, 100, 1, 1}, {100, 1, 100}};
// Squeezes every row (or column) into its far half: the near edge lies in the middle.
const HalfPts kFarHalf = {{0, 51, 100, 1, 1}, {10, 51, 100}};

// A shape file of its own, named by a temporary fulgo.ini; the environment and the path a program
// may set are restored afterwards.
class ShapeFileTest : public ::testing::Test {
 protected:
  ~ShapeFileTest() override {
    SetShapeFilePath("");
    if (oldIni_) {
      setenv("VANTORA_INI", oldIni_->c_str(), 1);
    } else {
      unsetenv("VANTORA_INI");
    }
  }
  void UseShapeFile(const std::string& bytes) {
    UseSettings("FulgoShapePath=" + dir_.File("shapes.shp", bytes));
  }
  void UseSettings(const std::string& lines) {
    setenv("VANTORA_INI", dir_.File("fulgo.ini", "[FulgoLabel]\n" + lines + "\n").c_str(), 1);
  }
  // Warps the picture by shape Shape; answers the result and the shape number afterwards.
  std::pair<Pic, std::int16_t> Warp(const Pic& picture, std::int16_t shape) {
    tFulgoDib bitmap;
    Paint(bitmap, picture);
    GetMatrixShape(bitmap, shape);
    return {Picture(bitmap), shape};
  }

  test::TempDir dir_;
  std::optional<std::string> oldIni_ =
      std::getenv("VANTORA_INI") ? std::optional<std::string>(std::getenv("VANTORA_INI")) : std::nullopt;
};

TEST_F(ShapeFileTest, FindsTheFileAndItsWholeRecords) {
  for (const auto& [bytes, count] : {std::pair{480, 2}, {500, 2}, {239, 0}, {0, 0}}) {
    UseShapeFile(std::string(static_cast<std::size_t>(bytes), '\1'));
    EXPECT_EQ(CheckShapesFile(), count) << bytes;
  }
  tShapeRecord record;
  EXPECT_EQ(MatrixNo(1, record), nullptr);  // an empty file
  for (const std::string& settings : {"FulgoShapePath=" + dir_.Name("missing.shp"),
                                      "FulgoShapePath=" + dir_.Path().string(), std::string("Other=1")}) {
    UseSettings(settings);
    EXPECT_EQ(CheckShapesFile(), 0) << settings;
    EXPECT_EQ(MatrixNo(1, record), nullptr) << settings;
    // The object then renders without a shape.
    EXPECT_EQ(Warp({"abc", "def"}, 2), std::make_pair(Pic{"abc", "def"}, std::int16_t{0}));
  }
}

TEST_F(ShapeFileTest, APathSetByTheProgramComesBeforeTheSettingsFile) {
  UseShapeFile(std::string(2 * 240, '\1'));
  const std::string own = dir_.File("own.shp", std::string(3 * 240, '\1'));
  SetShapeFilePath(own);
  EXPECT_EQ(ShapeFilePath(), own);
  EXPECT_EQ(CheckShapesFile(), 3);
  // A set path that cannot be read does not fall back on the settings file.
  SetShapeFilePath(dir_.Name("missing.shp"));
  EXPECT_EQ(CheckShapesFile(), 0);
  SetShapeFilePath("");
  EXPECT_EQ(ShapeFilePath(), dir_.Name("shapes.shp"));
  EXPECT_EQ(CheckShapesFile(), 2);
}

TEST_F(ShapeFileTest, ReadsRecordsLittleEndianAndOutOfRangeNumbersAsRecordOne) {
  UseShapeFile(Record({{-2, 300, -400, 1, 2, 0x1234}, {7, 8, 9}}, kWhole) + Record(kWhole, kFarHalf) +
               "tail");
  tShapeRecord record;
  ASSERT_EQ(MatrixNo(2, record), &record);
  EXPECT_EQ(record.Half2[0].Lo, 51);
  for (const std::int16_t number : {1, 3, 32767, -1, -32768}) {
    ASSERT_EQ(MatrixNo(number, record), &record) << number;
    const tShapePoint& p = record.Half1[0];
    EXPECT_EQ(
        V({p.Pos, p.Lo, p.Hi, p.LoCurve, p.HiCurve, p.Reserved, record.Half1[1].Hi, record.Half2[1].Pos}),
        V({-2, 300, -400, 1, 2, 0x1234, 9, 100}));
  }
}

std::vector<std::int16_t> Draw(bool (*curve)(tCurvePoint, tCurvePoint, std::span<std::int16_t>),
                               tCurvePoint p0, tCurvePoint p1) {
  V dest(static_cast<std::size_t>(p1.Pos - p0.Pos + 1), -999);
  EXPECT_TRUE(curve(p0, p1, dest));
  return dest;
}

TEST(ShapeCurves, ExactSamples) {
  EXPECT_EQ(Draw(Curve1, {0, 0}, {4, 8}), (V{0, 2, 4, 6, 8}));
  EXPECT_EQ(Draw(Curve1, {0, 8}, {4, 0}), (V{8, 6, 4, 2, 0}));
  EXPECT_EQ(Draw(Curve2, {0, 0}, {4, 8}), (V{0, 0, 0, 2, 8}));
  EXPECT_EQ(Draw(Curve3, {0, 0}, {4, 8}), (V{0, 5, 7, 8, 8}));
  EXPECT_EQ(Draw(Curve4, {0, 0}, {19, 50}),
            (V{0, 0, 0, 1, 3, 4, 8, 10, 14, 26, 24, 36, 40, 42, 46, 47, 49, 50, 50, 50}));
  for (auto* curve : {Curve1, Curve2, Curve3, Curve4})
    EXPECT_EQ(Draw(curve, {2, 7}, {5, 7}), (V{7, 7, 7, 7}));
}

TEST(ShapeCurves, RefuseSegmentsTheyCannotDrawAndWriteNothing) {
  V dest(4, -1);
  // One entry: the slope of a line and the bend of a parabola would divide by zero.
  EXPECT_FALSE(Curve1({2, 3}, {2, 3}, dest));
  EXPECT_FALSE(Curve2({2, 3}, {2, 9}, dest));
  EXPECT_FALSE(Curve3({2, 3}, {2, 9}, dest));
  for (auto* curve : {Curve1, Curve2, Curve3, Curve4, Curve5}) {
    EXPECT_FALSE(curve({3, 0}, {1, 5}, dest));  // backwards
    EXPECT_FALSE(curve({0, 0}, {4, 5}, dest));  // longer than the array
  }
  EXPECT_EQ(dest, V(4, -1));
  EXPECT_TRUE(Curve4({2, 3}, {2, 9}, dest));
  EXPECT_EQ(dest, (V{9, -1, -1, -1}));
  EXPECT_TRUE(Curve5({0, 0}, {3, 30}, dest));  // leaves the entries as they were
  EXPECT_EQ(dest, (V{9, -1, -1, -1}));
}

TEST_F(ShapeFileTest, EachPassFitsWholeColumnsAndRowsIntoTheirSpans) {
  UseShapeFile(Record(kWhole, kFarHalf) + Record(kFarHalf, kWhole));
  // Rows squeezed into their right part, first and last pixel kept; the colour table stays.
  tFulgoDib bitmap;
  Paint(bitmap, {"abcde", "fghij"});
  bitmap.SetColor(12, 0x00123456);
  std::int16_t shape = 1;
  GetMatrixShape(bitmap, shape);
  EXPECT_EQ(shape, 1);
  EXPECT_EQ(Picture(bitmap), (Pic{"..ace", "..fhj"}));
  EXPECT_EQ(bitmap.GetColor(12), 0x00123456u);
  // Columns squeezed into their lower part, the upper edge in the middle.
  EXPECT_EQ(Warp({"af", "bg", "ch", "di", "ej"}, 2),
            std::make_pair(Pic{"..", "..", "af", "ch", "ej"}, std::int16_t{2}));
  // Shape 3 of a two-record file, and a negative number, use record 1.
  EXPECT_EQ(Warp({"abcde", "fghij"}, 3).first, Picture(bitmap));
  EXPECT_EQ(Warp({"abcde", "fghij"}, -7).first, Picture(bitmap));
  // Shape 0 and bitmaps without pixels are left alone.
  shape = 0;
  GetMatrixShape(bitmap, shape);
  EXPECT_EQ(Picture(bitmap), (Pic{"..ace", "..fhj"}));
  tFulgoDib empty;
  shape = 1;
  GetMatrixShape(empty, shape);
  EXPECT_TRUE(empty.Empty());
}

TEST_F(ShapeFileTest, StraightLowerEdgeCutsAWedge) {
  UseShapeFile(Record({{0, 1, 1, 1, 1}, {10, 1, 100}}, kWhole));
  tShapeRecord record;
  ASSERT_TRUE(MatrixNo(1, record));
  ASSERT_TRUE(MatrixAdjustment(50, 50, record.Half1));
  EXPECT_EQ(V({record.Half1[1].Pos, record.Half1[0].Lo, record.Half1[1].Lo, record.Half1[0].Hi,
               record.Half1[1].Hi}),
            V({49, 0, 0, 0, 49}));

  // Each pixel holds its memory row, plus 50 times its column modulo 3 as a tag.
  tFulgoDib bitmap;
  bitmap.MakeNew(50, 50);
  std::uint8_t* bits = dib::Bits(bitmap.Dib);
  const std::size_t stride = dib::RowStride(50);
  for (int r = 0; r < 50; ++r)
    for (int c = 0; c < 50; ++c) bits[r * stride + c] = static_cast<std::uint8_t>(r + 50 * (c % 3));
  std::int16_t shape = 1;
  GetMatrixShape(bitmap, shape);
  ASSERT_EQ(shape, 1);
  bits = dib::Bits(bitmap.Dib);
  int previous = 0;
  for (int c = 0; c < 50; ++c) {
    // One run down from the top row, transparent below; the wedge below widens to the left.
    int length = 0;
    while (length < 50 && bits[(49 - length) * stride + c] != 247) ++length;
    for (int r = 0; r < 50 - length; ++r) ASSERT_EQ(bits[r * stride + c], 247) << c << "," << r;
    EXPECT_GE(length, previous) << c;
    previous = length;
    // The run is the whole source column resampled: bottom pixel first, top pixel last.
    for (int r = 50 - length; r < 50; ++r)
      EXPECT_EQ(bits[r * stride + c] / 50, c % 3) << "moved between columns at " << c << "," << r;
    for (int r = 51 - length; r < 50; ++r)
      EXPECT_GE(bits[r * stride + c] % 50, bits[(r - 1) * stride + c] % 50);
    EXPECT_EQ(bits[(50 - length) * stride + c] % 50, 0) << c;
    EXPECT_EQ(bits[49 * stride + c] % 50, length > 1 ? 49 : 0) << c;
  }
  EXPECT_EQ(bits[48 * stride], 247) << "column 0 keeps one pixel";
  for (int r = 0; r < 50; ++r) EXPECT_EQ(bits[r * stride + 49], r + 50) << "column 49 is kept whole";
}

TEST_F(ShapeFileTest, UnusableRecordsLeaveTheBitmapAndResetTheShape) {
  const std::vector<std::pair<const char*, std::string>> records = {
      {"all values 1", Record({{0, 1, 1, 1, 1}, {10, 1, 1}}, kWhole)},
      {"first and last position equal", Record(kWhole, {{4, 1, 100, 1, 1}, {4, 1, 100}})},
      {"one-entry line", Record({{0, 1, 100, 1, 1}, {1, 1, 100, 1, 1}, {100, 1, 100}}, kWhole)},
      {"one-entry parabola", Record({{0, 1, 100, 2, 2}, {1, 30, 60, 1, 1}, {100, 1, 100}}, kWhole)},
      {"one-entry flat-end parabola", Record({{0, 1, 100, 4, 3}, {1, 1, 60, 1, 1}, {100, 1, 100}}, kWhole)},
      {"no last point", Record(HalfPts(10, Pt{0, 1, 100, 1, 1}), kWhole)},
      {"unknown curve", Record({{0, 1, 100, 6, 1}, {100, 1, 100}}, kWhole)},
      {"no near curve", Record(kWhole, {{0, 1, 100, 0, 1}, {100, 1, 100}})},
      {"backwards",
       Record({{0, 1, 100, 1, 1}, {80, 1, 100, 1, 1}, {20, 1, 100, 1, 1}, {100, 1, 100}}, kWhole)},
  };
  for (const auto& [what, record] : records) {
    UseShapeFile(record);
    tFulgoDib bitmap;
    Paint(bitmap, {"abcde", "fghij", "klmno"}, 9);
    const std::vector<std::uint8_t> before = test::Block(bitmap);
    std::int16_t shape = 1;
    GetMatrixShape(bitmap, shape);
    EXPECT_EQ(shape, 0) << what;
    EXPECT_EQ(test::Block(bitmap), before) << what;
  }
  // The same one-entry segment drawn as an S-curve is fine.
  UseShapeFile(Record({{0, 1, 100, 4, 4}, {1, 30, 60, 1, 1}, {100, 1, 100}}, kWhole));
  EXPECT_EQ(Warp({"abcde", "fghij"}, 1).second, 1);
}

TEST_F(ShapeFileTest, CurveFiveKeepsTheClearedEdges) {
  // Columns 0..3 (before the middle point, at (50 * 6512) >> 16 = 4) are drawn by curve 5: both
  // edges stay 0, one pixel in the top row showing the source's bottom pixel.
  UseShapeFile(Record({{0, 1, 100, 5, 5}, {50, 1, 100, 1, 1}, {100, 1, 100}}, kWhole));
  EXPECT_EQ(Warp({"abcdefghij", "klmnopqrst", "uvwxyz0123"}, 1),
            std::make_pair(Pic{"uvwxefghij", "....opqrst", "....yz0123"}, std::int16_t{1}));
}

TEST_F(ShapeFileTest, WildValuesStayInsideTheBitmap) {
  const std::string records[] = {
      // Near edges beyond the far ones: every span is empty.
      Record({{0, 80, 20, 1, 1}, {100, 90, 10}}, kWhole),
      // The whole 16-bit range, and edges that cross.
      Record({{-32768, -32768, 32767, 4, 4}, {0, 32767, -32768, 2, 3}, {32767, -32768, 32767}},
             {{-32768, 32767, 32767, 1, 1}, {32767, -32768, -32768}}),
      Record({{0, -500, 600, 3, 2}, {1, 700, -800, 1, 1}, {2, 1, 100}}, {{0, 1, 3000, 4, 4}, {2, -3000, 1}}),
  };
  for (const auto& record : records) {
    UseShapeFile(record);
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {17, 5}, {64, 40}}) {
      tFulgoDib bitmap;
      bitmap.NewColored(static_cast<TWidth>(w), static_cast<THeight>(h), 7);
      std::int16_t shape = 1;
      GetMatrixShape(bitmap, shape);
      ASSERT_EQ(bitmap.GetWidth(), w);
      ASSERT_EQ(bitmap.GetHeight(), h);
      for (const auto b : test::Raster(bitmap)) ASSERT_TRUE(b == 7 || b == 247);
    }
  }
  UseShapeFile(records[0]);
  EXPECT_EQ(Warp({"abc", "def"}, 1), std::make_pair(Pic{"...", "..."}, std::int16_t{1}));
}

}  // namespace
}  // namespace vantora
