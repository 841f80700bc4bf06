// The text object: caption and fonts per letter, the rotated cell, layout, and "WriteWiz".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/AsmFun.h"
#include "host/classes/Stream.h"
#include "host/classes/TextForm.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/Graphics.h"
#include "model/Fullblart.h"
#include "model/Fultext.h"
#include "palette/Fulone.h"
#include "support/DibTestUtil.h"
#include "support/Streams.h"

namespace vantora {
namespace {

// The mask of the caption: MakeFirstBitmap alone, '#' for letter pixels.
std::vector<std::string> Mask(tFulgoText& text) {
  text.MakeFirstBitmap();
  auto rows = test::Picture(*text.Dib);
  for (auto& row : rows)
    for (char& c : row) c = c == '.' ? '.' : '#';
  text.Dib->FreeDib();
  return rows;
}

std::string LookText(tFulgoLabelArt& art) {
  host::TMemoryStream s;
  art.SaveToStream(s);
  return test::TextOf(s);
}

void LoadLookText(tFulgoLabelArt& art, const std::string& text) {
  host::TMemoryStream s;
  test::SetBytes(s, text);
  art.LoadFromStream(s);
}

TEST(TextCaption, IsCutTo29AndNewLettersInheritTheLastFont) {
  tFulgoText text(nullptr);
  text.SetCaption(std::string(35, 'x'));
  EXPECT_EQ(text.Caption, std::string(29, 'x'));
  EXPECT_EQ(text.LastFontIndex, 29);

  tFulgoText fresh(nullptr);
  fresh.SetCaption("ab");
  fresh.GetLetterFont(1)->SetHeight(40);
  fresh.GetLetterFont(1)->SetAngle(30);
  fresh.GetLetterFont(1)->SetFontName("Arial");
  fresh.SetCaption("abcd");
  for (int i : {2, 3}) {
    EXPECT_EQ(fresh.GetLetterFont(static_cast<std::int16_t>(i))->GetHeight(), 40);
    EXPECT_EQ(fresh.GetLetterFont(static_cast<std::int16_t>(i))->GetAngle(), 30);
    EXPECT_EQ(fresh.GetLetterFont(static_cast<std::int16_t>(i))->GetFontName(), "Arial");
  }
  // Shrinking and growing again keeps what the positions had.
  fresh.GetLetterFont(3)->SetHeight(50);
  fresh.SetCaption("a");
  fresh.SetCaption("abcd");
  EXPECT_EQ(fresh.GetLetterFont(3)->GetHeight(), 50);
  EXPECT_EQ(fresh.LastFontIndex, 4);
  EXPECT_THROW(fresh.GetLetterFont(30), host::EListError);
}

TEST(TextFont, AngleAndNameAreStoredInTheRecord) {
  tFulgoFont f;
  f.SetAngle(45);
  EXPECT_EQ(f.Font.lfEscapement, 450);
  EXPECT_EQ(f.GetAngle(), 45);
  f.Font.lfEscapement = 455;
  EXPECT_EQ(f.GetAngle(), 45);
  f.Font.lfEscapement = -455;
  EXPECT_EQ(f.GetAngle(), -45);
  f.SetFontName(std::string(40, 'N'));
  EXPECT_EQ(f.GetFontName(), std::string(31, 'N'));
  EXPECT_EQ(f.Font.lfFaceName[31], 0);
  EXPECT_EQ(f.Font.lfCharSet, 1);
}

TEST(TextLayout, RotatedCellsAndOffsets) {
  tLetterRect r{13, 0, 0, 0};
  tFulgoText::CalcRotatedLetterRect(r, 24, 900);
  EXPECT_EQ(r.CellWidth, 24);
  EXPECT_EQ(r.Bottom, 13);
  EXPECT_EQ(r.OriginX, 0);
  EXPECT_EQ(r.OriginY, 18);  // (24 + 13) / 2, half to even
  r = {13, 0, 0, -5};
  tFulgoText::CalcRotatedLetterRect(r, 24, 0);
  EXPECT_EQ(r.CellWidth, 13);
  EXPECT_EQ(r.Bottom, 24);
  EXPECT_EQ(r.OriginY, -5);

  tFulgoText text(nullptr);
  text.SetCaption("Il");
  const auto plain = Mask(text);
  const auto width = plain[0].size();
  const auto height = plain.size();
  EXPECT_EQ(static_cast<int>(height), 24);

  // Raising the second letter grows the bitmap upward: the first letter moves down.
  text.GetLetterFont(1)->SetOffSetY(5);
  const auto raised = Mask(text);
  ASSERT_EQ(raised.size(), height + 5);
  EXPECT_EQ(raised[0].size(), width);
  const std::size_t firstCell = static_cast<std::size_t>(text.LetterRects[0].CellWidth);
  for (std::size_t row = 0; row < height; ++row)
    EXPECT_EQ(raised[row + 5].substr(0, firstCell), plain[row].substr(0, firstCell)) << row;

  // An extra advance moves its letter and every one after it.
  text.GetLetterFont(1)->SetOffSetY(0);
  text.GetLetterFont(1)->SetOffSetX(7);
  const auto spaced = Mask(text);
  ASSERT_EQ(spaced[0].size(), width + 7);
  for (std::size_t row = 0; row < height; ++row)
    EXPECT_EQ(spaced[row].substr(firstCell + 7), plain[row].substr(firstCell)) << row;

  // A letter turned by 90 degrees lies in a cell as wide as the font is high.
  text.SetCaption("W");
  text.GetLetterFont(0)->SetAngle(90);
  text.MakeFirstBitmap();
  EXPECT_EQ(text.Dib->GetWidth(), 24);
  EXPECT_EQ(text.LetterRects[0].CellWidth, 24);
  text.Dib->FreeDib();
}

// The caption as it used to be made: each letter drawn white on black with TextOutA at its place
// in the layout, the picture captured to 8 bits and black keyed out.
std::vector<std::uint8_t> LettersDrawnOnAScreenBitmap(tFulgoText& text) {
  const int n = static_cast<int>(text.Caption.size());
  int pen = 0, minLeft = 32767, minTop = 32767;
  for (int i = 0; i < n; ++i) {
    const tFulgoFont& f = *text.GetLetterFont(static_cast<std::int16_t>(i));
    pen += f.OffSetX;
    minLeft = std::min(minLeft, pen);
    minTop = std::min(minTop, -f.OffSetY);
    pen += text.LetterRects[static_cast<std::size_t>(i)].CellWidth;
  }
  host::TBitmap scratch;
  scratch.SetSize(text.Dib->GetWidth(), text.Dib->GetHeight());
  const host::HDC dc = scratch.Canvas().Handle();
  host::PatBlt(dc, 0, 0, text.Dib->GetWidth(), text.Dib->GetHeight(), host::BLACKNESS);
  host::SetBkMode(dc, host::TRANSPARENT);
  host::SetTextColor(dc, 0x00FFFFFF);
  pen = -minLeft;
  for (int i = 0; i < n; ++i) {
    const tFulgoFont& f = *text.GetLetterFont(static_cast<std::int16_t>(i));
    const tLetterRect& r = text.LetterRects[static_cast<std::size_t>(i)];
    pen += f.OffSetX;
    const host::HFONT font = host::CreateFontIndirectA(&f.Font);
    const host::HFONT previous = host::SelectObject(dc, font);
    host::TextOutA(dc, pen + r.OriginX, r.OriginY - minTop, &text.Caption[static_cast<std::size_t>(i)], 1);
    host::SelectObject(dc, previous);
    host::DeleteObject(font);
    pen += r.CellWidth;
  }
  tFulgoDib captured;
  captured.GetGlyphData(scratch);
  SetColorPixel(captured.Dib, kTransparentIndex, 0);
  return test::Raster(captured);
}

TEST(TextLayout, MaskHoldsTheLettersAsTextOutDrawsThem) {
  tFulgoText text(nullptr);
  text.SetCaption("Wg%Qj&");
  const auto font = [&](int i) { return text.GetLetterFont(static_cast<std::int16_t>(i)); };
  font(1)->SetFontName("Arial");
  font(1)->SetAngle(30);
  font(1)->SetOffSetY(4);
  font(1)->SetUnderline(true);
  font(2)->SetHeight(13);
  font(2)->SetItalic(true);
  font(2)->SetAngle(300);
  font(2)->SetOffSetX(-3);
  font(2)->SetStrikeOut(true);
  font(3)->SetFontName("Courier New");
  font(3)->SetAngle(90);
  font(3)->SetOffSetX(5);
  font(4)->SetHeight(30);
  font(4)->SetAngle(180);
  font(4)->SetOffSetY(-6);
  font(5)->SetWeight(400);
  font(5)->SetAngle(-45);
  text.MakeFirstBitmap();
  const auto mask = test::Raster(*text.Dib);
  EXPECT_EQ(mask, LettersDrawnOnAScreenBitmap(text));
  EXPECT_GT(std::count(mask.begin(), mask.end(), 255), 100);
  EXPECT_EQ(
      std::count(mask.begin(), mask.end(), 255) + std::count(mask.begin(), mask.end(), kTransparentIndex),
      static_cast<std::ptrdiff_t>(mask.size()));
  text.Dib->FreeDib();
}

// Fonts stay from one render to the next; a font changed in between is drawn as changed, as a text
// that never drew another font draws it.
TEST(TextLayout, RendersAfterAFontChangeDrawTheNewFont) {
  tFulgoText kept(nullptr);
  kept.SetCaption("Ab3");
  const std::vector<std::string> before = Mask(kept);
  const auto restyle = [](tFulgoText& text) {
    text.GetLetterFont(1)->SetHeight(17);
    text.GetLetterFont(2)->SetFontName("Courier New");
    text.GetLetterFont(2)->SetAngle(90);
  };
  restyle(kept);
  tFulgoText fresh(nullptr);
  fresh.SetCaption("Ab3");
  restyle(fresh);
  const std::vector<std::string> after = Mask(kept);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, Mask(fresh));
  // And back: the first fonts again, though the render in between no longer used them.
  tFulgoText first(nullptr);
  first.SetCaption("Ab3");
  for (int i = 1; i <= 2; ++i)
    kept.GetLetterFont(static_cast<std::int16_t>(i))->CopyFrom(*first.GetLetterFont(0));
  EXPECT_EQ(Mask(kept), before);
}

TEST(TextLayout, EmptyAndImpossibleCaptions) {
  tFulgoText text(nullptr);
  text.MakeFirstBitmap();
  EXPECT_EQ(text.Caption, " ");
  ASSERT_FALSE(text.Dib->Empty());
  EXPECT_EQ(text.Dib->GetWidth(), text.LetterRects[0].CellWidth);
  for (const auto& row : test::Picture(*text.Dib)) EXPECT_EQ(row, std::string(row.size(), '.'));
  text.Dib->FreeDib();

  // A font without height has no extent: a clear error, no bitmap.
  text.SetCaption("a");
  text.GetLetterFont(0)->SetHeight(0);
  EXPECT_THROW(
      {
        try {
          text.MakeFirstBitmap();
        } catch (const EFulgoError& e) {
          EXPECT_STREQ(e.what(), "Bitmap size is zero");
          throw;
        }
      },
      EFulgoError);
  EXPECT_TRUE(text.Dib->Empty());

  // Sizes from a stream that no bitmap can hold are refused, not allocated.
  text.GetLetterFont(0)->SetHeight(24);
  text.GetLetterFont(0)->SetOffSetX(2147483647);
  text.SetCaption("ab");
  text.GetLetterFont(1)->SetOffSetX(2147483647);
  EXPECT_THROW(text.MakeFirstBitmap(), EFulgoError);
  text.GetLetterFont(0)->SetOffSetX(0);
  text.GetLetterFont(1)->SetOffSetX(0);
  text.GetLetterFont(1)->SetHeight(2000000000);
  text.GetLetterFont(1)->SetOffSetY(-30000);
  EXPECT_THROW(text.MakeFirstBitmap(), EFulgoError);
  EXPECT_TRUE(text.Dib->Empty());
}

TEST(TextStream, WriteWizHoldsOneFontMoreThanTheCaption) {
  tFulgoLabelArt art(nullptr);
  art.FulgoText->SetCaption("abc");
  art.FulgoText->GetLetterFont(2)->SetHeight(31);
  art.FulgoText->GetLetterFont(3)->SetFontName("Arial");
  art.FulgoText->GetLetterFont(3)->SetOffSetY(-4);
  const std::string text = LookText(art);
  const auto start = text.find("FulgoText.WriteWiz = (");
  ASSERT_NE(start, std::string::npos) << text;
  const auto end = text.find(')', start);
  // Ten values a record: four records of which four names.
  std::size_t names = 0;
  for (auto p = text.find("'", start); p < end; p = text.find("'", text.find("'", p + 1) + 1)) ++names;
  EXPECT_EQ(names, 4u) << text;

  tFulgoLabelArt copy(nullptr);
  LoadLookText(copy, text);
  EXPECT_EQ(copy.FulgoText->LastFontIndex, 3);
  EXPECT_EQ(copy.FulgoText->GetLetterFont(2)->GetHeight(), 31);
  EXPECT_EQ(copy.FulgoText->GetLetterFont(3)->GetFontName(), "Arial");
  EXPECT_EQ(copy.FulgoText->GetLetterFont(3)->GetOffSetY(), -4);
}

TEST(TextStream, OverlongAndMalformedFontLists) {
  std::string records;
  for (int i = 0; i < 32; ++i)
    records += "  " + std::to_string(10 + i) + "\n  0\n  0\n  400\n  False\n  False\n  False\n  '" +
               std::string(40, 'F') + "'\n  0\n  0\n";
  const std::string look = "object tSaveTmp\n  Art.FulgoText.WriteWiz = (\n" + records + "  )\nend\n";
  tFulgoLabelArt art(nullptr);
  LoadLookText(art, look);
  // Thirty fonts taken, the rest read past; names cut to 31.
  EXPECT_EQ(art.FulgoText->LastFontIndex, 29);
  EXPECT_EQ(art.FulgoText->GetLetterFont(29)->GetHeight(), 39);
  EXPECT_EQ(art.FulgoText->GetLetterFont(0)->GetFontName(), std::string(31, 'F'));

  // A value that does not fit its field fails the load and leaves the art as it was.
  const std::string bad =
      "object tSaveTmp\n  Art.InnerOffsetX = 5\n  Art.FulgoText.WriteWiz = (\n  99999999999\n  )\nend\n";
  EXPECT_THROW(LoadLookText(art, bad), host::EReadError);
  EXPECT_EQ(art.InnerOffsetX, 0);
  EXPECT_EQ(art.FulgoText->LastFontIndex, 29);
  EXPECT_EQ(art.FulgoText->GetLetterFont(0)->GetHeight(), 10);
}

}  // namespace
}  // namespace vantora
