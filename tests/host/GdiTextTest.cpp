// Fonts made from font records, their measures, and text output.
#include <cstring>
#include <fstream>
#include <set>

#include "host/GdiTestSupport.h"

namespace vantora::host {
namespace {

using testing::GdiTest;
using testing::MemorySurface;

LOGFONTA Record(const char* face, LONG height, LONG weight = FW_NORMAL, LONG escapement = 0) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfEscapement = escapement;
  font.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return font;
}

// Selects a font made from a record into a context for the life of the object.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const LOGFONTA& record) : dc_(dc), font_(CreateFontIndirectA(&record)) {
    previous_ = SelectObject(dc_, font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  ~SelectedFont() {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
  }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    return tm;
  }
  std::string Face() const {
    char name[LF_FACESIZE] = {};
    GetTextFaceA(dc_, LF_FACESIZE, name);
    return name;
  }
  int Advance(char c) const {
    INT width = 0;
    GetCharWidth32A(dc_, static_cast<BYTE>(c), static_cast<BYTE>(c), &width);
    return width;
  }

 private:
  HDC dc_;
  HFONT font_;
  HFONT previous_;
};

constexpr COLORREF kInk = RGB(0, 0, 0), kPaper = RGB(255, 255, 255), kBack = RGB(0, 128, 255);

// Draws Text black on white at (X, Y) with the record's font; answers the surface.
std::unique_ptr<MemorySurface> Draw(const LOGFONTA& record, const char* text, int width, int height, int x,
                                    int y, int mode = TRANSPARENT) {
  auto s = std::make_unique<MemorySurface>(width, height, kPaper);
  SelectedFont font(s->dc, record);
  SetTextColor(s->dc, kInk);
  SetBkColor(s->dc, kBack);
  SetBkMode(s->dc, mode);
  EXPECT_TRUE(TextOutA(s->dc, x, y, text, static_cast<int>(std::strlen(text))));
  return s;
}

int Width(const RECT& r) {
  return r.right - r.left;
}
int Height(const RECT& r) {
  return r.bottom - r.top;
}

using TextTest = GdiTest;

TEST_F(TextTest, ClassicFaceNamesResolveToTheirMetricCompatibleFaces) {
  MemorySurface s(1, 1);
  const std::pair<const char*, const char*> faces[] = {
      {"Times New Roman", "Liberation Serif"},    {"Arial", "Liberation Sans"},
      {"courier new", "Liberation Mono"},         {"DejaVu Sans Mono", "DejaVu Sans Mono"},
      {"No Such Face At All", "Liberation Sans"}, {"", "Liberation Sans"}};
  for (const auto& [asked, expected] : faces) {
    SelectedFont font(s.dc, Record(asked, 20));
    EXPECT_EQ(font.Face(), expected) << asked;
  }
  // The fixed-pitch face gives every letter the same advance.
  SelectedFont mono(s.dc, Record("Courier New", 20));
  EXPECT_EQ(mono.Advance('i'), mono.Advance('W'));
  EXPECT_EQ(mono.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST_F(TextTest, MetricsFollowTheHeightAndWidthOfTheRecord) {
  MemorySurface s(1, 1);
  {
    // A positive height is the whole cell, a negative one the character height without leading.
    SelectedFont cell(s.dc, Record("Times New Roman", 24));
    const TEXTMETRICA tm = cell.Metrics();
    EXPECT_EQ(tm.tmHeight, 24);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 24);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    SelectedFont em(s.dc, Record("Times New Roman", -24));
    const TEXTMETRICA tm2 = em.Metrics();
    EXPECT_EQ(tm2.tmHeight - tm2.tmInternalLeading, 24);
    EXPECT_GT(tm2.tmHeight, 24);
  }
  int previousHeight = 0, previousAdvance = 0;
  for (LONG height : {10, 16, 24, 40, 72}) {
    SelectedFont font(s.dc, Record("Arial", height));
    EXPECT_EQ(font.Metrics().tmHeight, height);
    EXPECT_GT(font.Metrics().tmHeight, previousHeight);
    EXPECT_GT(font.Advance('W'), previousAdvance) << height;
    previousHeight = font.Metrics().tmHeight;
    previousAdvance = font.Advance('W');
  }
  SelectedFont standard(s.dc, Record("Arial", 0));
  EXPECT_GT(standard.Metrics().tmHeight, 10);

  // A width in the record is the average character width; letters stretch to it.
  LOGFONTA wide = Record("Arial", 30);
  int naturalAdvance = 0;
  {
    SelectedFont natural(s.dc, wide);
    wide.lfWidth = natural.Metrics().tmAveCharWidth * 2;
    naturalAdvance = natural.Advance('W');
  }
  SelectedFont stretched(s.dc, wide);
  EXPECT_NEAR(stretched.Metrics().tmAveCharWidth, wide.lfWidth, 1);
  EXPECT_EQ(stretched.Metrics().tmHeight, 30);
  EXPECT_NEAR(stretched.Advance('W'), 2 * naturalAdvance, 2);
}

TEST_F(TextTest, AbcWidthsAddUpToTheAdvanceAndPlaceTheInk) {
  MemorySurface s(60, 50, kPaper);
  for (const char* face : {"Times New Roman", "Arial"}) {
    LOGFONTA italic = Record(face, 36);
    italic.lfItalic = 1;
    for (const LOGFONTA& record : {Record(face, 36), Record(face, 36, FW_BOLD), italic}) {
      SelectedFont font(s.dc, record);
      ABC widths[256];
      ASSERT_TRUE(GetCharABCWidthsA(s.dc, 0, 255, widths));
      for (int c = 'A'; c <= 'z'; ++c) {
        const ABC& abc = widths[c];
        EXPECT_EQ(abc.abcA + static_cast<int>(abc.abcB) + abc.abcC, font.Advance(static_cast<char>(c)))
            << face << " " << char(c);
        // The black box is where the letter's pixels are.
        s.Fill(kPaper);
        SetTextColor(s.dc, kInk);
        SetBkMode(s.dc, TRANSPARENT);
        const char text[1] = {static_cast<char>(c)};
        TextOutA(s.dc, 15, 2, text, 1);
        const RECT ink = s.InkBox(kPaper);
        EXPECT_EQ(ink.left, 15 + abc.abcA) << face << " " << char(c);
        EXPECT_EQ(Width(ink), static_cast<int>(abc.abcB)) << face << " " << char(c);
      }
    }
  }
  ABC one;
  EXPECT_FALSE(GetCharABCWidthsA(s.dc, 'b', 'a', &one));
  EXPECT_FALSE(GetCharABCWidthsA(s.dc, 'a', 256, &one));
}

TEST_F(TextTest, TextIsDrawnInTwoColoursWithoutAntiAliasing) {
  for (LONG escapement : {0, 450, 900, 1800}) {
    for (LONG height : {11, 17, 30}) {
      LOGFONTA record = Record("Times New Roman", height, FW_NORMAL, escapement);
      record.lfItalic = height == 17;
      auto s = Draw(record, "Quality Wg&@", 200, 200, 100, 100);
      std::set<COLORREF> colors;
      for (COLORREF c : s->Pixels()) colors.insert(c);
      EXPECT_EQ(colors, (std::set<COLORREF>{kInk, kPaper}))
          << "height " << height << " escapement " << escapement;
    }
  }
}

TEST_F(TextTest, BoldIsWiderAndDarker) {
  // Liberation Sans has a bold face; DejaVu Math TeX Gyre has none and is emboldened (its cell
  // is tall for the operators it holds, so it is sized by its character height).
  for (const char* face : {"Arial", "DejaVu Math TeX Gyre"}) {
    auto normal = Draw(Record(face, -30), "Bold test", 300, 80, 2, 2);
    auto bold = Draw(Record(face, -30, FW_BOLD), "Bold test", 300, 80, 2, 2);
    EXPECT_GT(bold->Count(kInk), normal->Count(kInk) * 11 / 10) << face;
    EXPECT_GT(Width(bold->InkBox(kPaper)), Width(normal->InkBox(kPaper))) << face;
  }
  // A face without italic is slanted: the top of a tall stroke leans right of its foot.
  auto lean = [](bool italic) {
    LOGFONTA record = Record("DejaVu Math TeX Gyre", -90);
    record.lfItalic = italic;
    auto s = Draw(record, "l", 80, 320, 20, 0);
    const RECT box = s->InkBox(kPaper);
    auto middle = [&](int y) {
      int sum = 0, n = 0;
      for (int x = 0; x < 80; ++x)
        if (s->At(x, y) == kInk) sum += x, ++n;
      return n ? sum / n : 0;
    };
    const int quarter = (box.bottom - box.top) / 4;  // the stem, clear of the serifs
    return middle(box.top + quarter) - middle(box.bottom - quarter);
  };
  EXPECT_NEAR(lean(false), 0, 1);
  EXPECT_GT(lean(true), 4);
}

TEST_F(TextTest, EscapementTurnsTheCellAboutTheReferencePoint) {
  const int x = 100, y = 100;
  MemorySurface measure(1, 1);
  SIZE extent;
  {
    SelectedFont font(measure.dc, Record("Arial", 24));
    GetTextExtentPoint32A(measure.dc, "Hello", 5, &extent);
  }
  EXPECT_EQ(extent.cy, 24);

  const RECT flat = Draw(Record("Arial", 24), "Hello", 200, 200, x, y)->InkBox(kPaper);
  const RECT up = Draw(Record("Arial", 24, FW_NORMAL, 900), "Hello", 200, 200, x, y)->InkBox(kPaper);
  const RECT down = Draw(Record("Arial", 24, FW_NORMAL, 2700), "Hello", 200, 200, x, y)->InkBox(kPaper);
  // A quarter turn swaps the width and height of the ink.
  EXPECT_NEAR(Width(up), Height(flat), 1);
  EXPECT_NEAR(Height(up), Width(flat), 1);
  EXPECT_NEAR(Width(down), Height(flat), 1);
  // Unturned, the ink lies right of and below the reference point, inside the cell.
  EXPECT_GE(flat.left, x);
  EXPECT_GE(flat.top, y);
  EXPECT_LE(flat.right, x + extent.cx);
  EXPECT_LE(flat.bottom, y + extent.cy);
  // Turned counter-clockwise, the cell's top edge runs up from the reference point: ink above it
  // and to its right; turned clockwise, below it and to its left.
  EXPECT_GE(up.left, x);
  EXPECT_LE(up.right, x + extent.cy);
  EXPECT_LE(up.bottom, y);
  EXPECT_GE(up.top, y - extent.cx);
  EXPECT_LE(down.right, x);
  EXPECT_GE(down.top, y);
  // The baseline stays at the ascent from the cell's top edge.
  EXPECT_NEAR(up.left - x, flat.top - y, 1);

  // Half a turn puts the text upside down to the left of and above the point.
  const RECT over = Draw(Record("Arial", 24, FW_NORMAL, 1800), "Hello", 200, 200, x, y)->InkBox(kPaper);
  EXPECT_NEAR(Width(over), Width(flat), 1);
  EXPECT_LE(over.right, x);
  EXPECT_LE(over.bottom, y);
}

TEST_F(TextTest, OpaqueModeFillsTheCellAndTransparentModeLeavesIt) {
  MemorySurface measure(1, 1);
  SIZE extent;
  {
    SelectedFont font(measure.dc, Record("Arial", 20));
    GetTextExtentPoint32A(measure.dc, "Cell", 4, &extent);
  }
  auto opaque = Draw(Record("Arial", 20), "Cell", 100, 40, 10, 5, OPAQUE);
  for (int yy = 0; yy < 40; ++yy)
    for (int xx = 0; xx < 100; ++xx) {
      const bool inCell = xx >= 10 && xx < 10 + extent.cx && yy >= 5 && yy < 5 + extent.cy;
      const COLORREF c = opaque->At(xx, yy);
      if (inCell)
        EXPECT_TRUE(c == kBack || c == kInk) << xx << "," << yy;
      else
        EXPECT_EQ(c, kPaper) << xx << "," << yy;
    }
  EXPECT_GT(opaque->Count(kBack), extent.cx * extent.cy / 2);
  auto transparent = Draw(Record("Arial", 20), "Cell", 100, 40, 10, 5, TRANSPARENT);
  EXPECT_EQ(transparent->Count(kBack), 0);
  EXPECT_EQ(transparent->Count(kInk), opaque->Count(kInk));

  // A turned opaque cell is filled as the turned rectangle.
  auto turned = Draw(Record("Arial", 20, FW_NORMAL, 900), "Cell", 100, 100, 40, 90, OPAQUE);
  const RECT box = turned->InkBox(kPaper);
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.bottom, 90);
  EXPECT_NEAR(Width(box), extent.cy, 1);
  EXPECT_NEAR(Height(box), extent.cx, 1);
}

TEST_F(TextTest, UnderlineAndStrikeOutRunAlongTheWholeText) {
  LOGFONTA record = Record("Arial", 30);
  auto plain = Draw(record, "a  b", 120, 40, 5, 2);
  record.lfUnderline = 1;
  auto underlined = Draw(record, "a  b", 120, 40, 5, 2);
  record.lfUnderline = 0;
  record.lfStrikeOut = 1;
  auto struck = Draw(record, "a  b", 120, 40, 5, 2);
  // Both add a line across the gap between the letters, at different heights.
  auto lineRow = [&](const MemorySurface& s) {
    for (int y = 0; y < 40; ++y) {
      bool across = true;
      for (int x = 25; x < 30; ++x) across = across && s.At(x, y) == kInk;
      if (across) return y;
    }
    return -1;
  };
  EXPECT_EQ(lineRow(*plain), -1);
  const int under = lineRow(*underlined), strike = lineRow(*struck);
  EXPECT_GT(under, 20);
  EXPECT_GT(strike, 5);
  EXPECT_LT(strike, under - 5);
}

TEST_F(TextTest, AlignmentMovesTheReferencePoint) {
  MemorySurface s(200, 80, kPaper);
  SelectedFont font(s.dc, Record("Arial", 24));
  SetBkMode(s.dc, TRANSPARENT);
  SetTextColor(s.dc, kInk);
  SIZE extent;
  GetTextExtentPoint32A(s.dc, "Tx", 2, &extent);
  EXPECT_EQ(SetTextAlign(s.dc, TA_RIGHT | TA_BASELINE), TA_LEFT | TA_TOP);
  TextOutA(s.dc, 100, 40, "Tx", 2);
  const RECT ink = s.InkBox(kPaper);
  EXPECT_LE(ink.right, 100);
  EXPECT_GE(ink.left, 100 - extent.cx);
  EXPECT_LE(ink.bottom, 41) << "letters without descenders sit on the baseline";
  EXPECT_GE(ink.top, 40 - font.Metrics().tmAscent);
}

TEST_F(TextTest, TextReachingPastTheSurfaceIsClipped) {
  for (int x : {-30, -5, 50, 95})
    for (int y : {-20, 30, 55})
      Draw(Record("Times New Roman", 48, FW_BOLD, 300), "Clip me", 100, 60, x, y, OPAQUE);
  MemorySurface s(10, 10);
  EXPECT_FALSE(TextOutA(s.dc, 0, 0, nullptr, 3));
  EXPECT_TRUE(TextOutA(s.dc, 0, 0, "", 0));
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
}

TEST_F(TextTest, TextIntoARasterCoversExactlyWhatTextOutDraws) {
  struct Case {
    LOGFONTA record;
    const char* text;
    int x, y;
    UINT align;
  };
  auto styled = [](LOGFONTA r, bool italic, bool underline, bool strikeOut) {
    r.lfItalic = italic;
    r.lfUnderline = underline;
    r.lfStrikeOut = strikeOut;
    return r;
  };
  const Case cases[] = {
      {Record("Times New Roman", 24, FW_BOLD), "Wg", 3, 2, TA_LEFT | TA_TOP},
      {styled(Record("Arial", 30, FW_NORMAL, 300), true, true, false), "Qj", 10, 25, TA_LEFT | TA_TOP},
      {styled(Record("Courier New", 13, FW_BOLD, 900), false, false, true), "k%", 12, 30, TA_LEFT | TA_TOP},
      {styled(Record("Arial", 40, FW_NORMAL, 1800), false, true, true), "M", 36, 38, TA_LEFT | TA_TOP},
      {Record("Times New Roman", 28, FW_NORMAL, 2700), "y", 20, 0, TA_LEFT | TA_TOP},
      {styled(Record("Times New Roman", 20, FW_BOLD, 3150), true, true, true), "Ab", 15, 20,
       TA_CENTER | TA_BASELINE},
      // Partly outside on every side: what falls off the raster is dropped, as off a surface.
      {Record("Arial", 48, FW_BOLD, 450), "Xy", -12, -9, TA_LEFT | TA_TOP},
      {styled(Record("Arial", 36), false, true, false), "wide", 20, 25, TA_RIGHT | TA_BOTTOM},
  };
  constexpr int kWidth = 37, kHeight = 41, kStride = 40;
  constexpr BYTE kBefore = 7, kIndex = 200;
  for (const Case& c : cases) {
    MemorySurface s(kWidth, kHeight, kInk);
    SelectedFont font(s.dc, c.record);
    SetTextColor(s.dc, kPaper);
    SetBkMode(s.dc, TRANSPARENT);
    SetTextAlign(s.dc, c.align);
    SetViewportOrgEx(s.dc, 2, -1, nullptr);
    const int count = static_cast<int>(std::strlen(c.text));
    ASSERT_TRUE(TextOutA(s.dc, c.x, c.y, c.text, count));
    std::vector<BYTE> rows(kStride * kHeight, kBefore);
    ASSERT_TRUE(TextOutToRaster(s.dc, c.x, c.y, c.text, count,
                                IndexRaster{rows.data(), kWidth, kHeight, kStride}, kIndex));
    SetViewportOrgEx(s.dc, 0, 0, nullptr);  // read back in device pixels
    int covered = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kStride; ++x) {
        const BYTE got = rows[static_cast<std::size_t>((kHeight - 1 - y) * kStride + x)];
        const bool inked = x < kWidth && s.At(x, y) == kPaper;
        covered += inked;
        ASSERT_EQ(got, inked ? kIndex : kBefore) << c.text << " at " << x << "," << y;
      }
    EXPECT_GT(covered, 10) << c.text;
  }

  MemorySurface s(4, 4);
  BYTE pixel = 0;
  EXPECT_FALSE(TextOutToRaster(nullptr, 0, 0, "a", 1, IndexRaster{&pixel, 1, 1, 4}, 1));
  EXPECT_FALSE(TextOutToRaster(s.dc, 0, 0, "a", 1, IndexRaster{&pixel, 5, 1, 4}, 1));
  EXPECT_FALSE(TextOutToRaster(s.dc, 0, 0, "a", 1, IndexRaster{nullptr, 1, 1, 4}, 1));
  EXPECT_TRUE(TextOutToRaster(s.dc, 0, 0, "", 0, IndexRaster{&pixel, 1, 1, 4}, 1));
}

TEST_F(TextTest, BitmapFacesDrawButHaveNoAbcWidths) {
  // A one-letter bitmap font in the BDF format.
  const auto path = testing::TempDir("text") / "bitmap.bdf";
  std::ofstream(path)
      << "STARTFONT 2.1\nFONT -misc-vantorabitmap-medium-r-normal--8-80-75-75-c-80-iso8859-1\n"
         "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 -1\nSTARTPROPERTIES 5\nFAMILY_NAME \"VantoraBitmap\"\n"
         "FONT_ASCENT 7\nFONT_DESCENT 1\nCHARSET_REGISTRY \"ISO8859\"\nCHARSET_ENCODING \"1\"\n"
         "ENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 -1\n"
         "BITMAP\n18\n24\n42\n42\n7E\n42\n42\n00\nENDCHAR\nENDFONT\n";
  ASSERT_EQ(AddFontResourceA(path.c_str()), 1);
  MemorySurface s(10, 9, kPaper);
  SelectedFont font(s.dc, Record("VantoraBitmap", 8));
  EXPECT_EQ(font.Face(), "VantoraBitmap");
  ABC abc;
  EXPECT_FALSE(GetCharABCWidthsA(s.dc, 'A', 'A', &abc));
  EXPECT_EQ(font.Advance('A'), 8);
  SetBkMode(s.dc, TRANSPARENT);
  TextOutA(s.dc, 1, 0, "A", 1);
  const char* rows[8] = {"....##....", "...#..#...", "..#....#..", "..#....#..",
                         "..######..", "..#....#..", "..#....#..", ".........."};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(s.At(x, y), rows[y][x] == '#' ? kInk : kPaper) << x << "," << y;
  std::filesystem::remove_all(path.parent_path());
}

}  // namespace
}  // namespace vantora::host
