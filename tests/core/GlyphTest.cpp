#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/Fultype.h"
#include "core/Fuldib.h"
#include "core/uMemory.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "host/graphics/PictureFile.h"
#include "support/DibTestUtil.h"
#include "support/Raises.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Saved(const tFulgoGlyph& glyph) {
  host::TMemoryStream stream;
  glyph.SaveToStream(stream);
  return stream.Bytes();
}

void LoadBytes(tFulgoGlyph& glyph, const Bytes& bytes) {
  host::TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  glyph.LoadFromStream(stream);
}

std::string LoadError(tFulgoGlyph& glyph, const Bytes& bytes) {
  try {
    LoadBytes(glyph, bytes);
  } catch (const host::Exception& e) {
    return e.Message();
  }
  return "no error";
}

// A glyph holding a 3 x 2 picture with a coloured table.
void Fill(tFulgoGlyph& glyph) {
  test::Paint(*glyph.Dib, {"123", "45."});
  glyph.Dib->SetColor(1, 0x00102030);
  glyph.SetHasData(true);
}

const Bytes kHead = {6, 4, 4, 'D', 'I', 'B', '1', 4};
const Bytes kTail = {6, 6, 6, 'E', 'N', 'D', 'D', 'I', 'B'};

TEST(GlyphRecord, EmptyGlyphWritesTheShortRecordAndReadsBackEmpty) {
  tFulgoGlyph glyph;
  Bytes expected = kHead;
  expected.insert(expected.end(), {0, 0, 0, 0});
  expected.insert(expected.end(), kTail.begin(), kTail.end());
  EXPECT_EQ(Saved(glyph), expected);
  ASSERT_EQ(expected.size(), 21u);

  tFulgoGlyph loaded;
  Fill(loaded);
  LoadBytes(loaded, expected);
  EXPECT_TRUE(loaded.Empty());
  EXPECT_FALSE(loaded.HasDib);
  EXPECT_FALSE(loaded.HasData);
}

TEST(GlyphRecord, PictureRecordHoldsTheBlockExactlyAndRoundTrips) {
  tFulgoGlyph glyph;
  Fill(glyph);
  const Bytes record = Saved(glyph);
  ASSERT_EQ(record.size(), 1107u);
  EXPECT_EQ(Bytes(record.begin(), record.begin() + 8), kHead);
  EXPECT_EQ(dib::Get32(record.data() + 8), 1086u);
  EXPECT_EQ(Bytes(record.begin() + 12, record.begin() + 12 + 1086), test::Block(*glyph.Dib));
  EXPECT_EQ(Bytes(record.end() - 9, record.end()), kTail);

  tFulgoGlyph loaded;
  LoadBytes(loaded, record);
  EXPECT_TRUE(loaded.HasDib);
  EXPECT_TRUE(loaded.HasData);
  EXPECT_EQ(test::Block(*loaded.Dib), test::Block(*glyph.Dib));
  EXPECT_EQ(Saved(loaded), record);

  // The terminator's text is not checked.
  Bytes otherEnd = record;
  otherEnd[otherEnd.size() - 1] = 'X';
  tFulgoGlyph tolerant;
  LoadBytes(tolerant, otherEnd);
  EXPECT_FALSE(tolerant.Empty());
}

TEST(GlyphRecord, WrongFirstValueLeavesTheGlyphAsItWas) {
  tFulgoGlyph glyph;
  Fill(glyph);
  Bytes record = Saved(glyph);
  Bytes notADib = record;
  notADib[6] = '2';
  EXPECT_EQ(LoadError(glyph, notADib), "Error reading stream Not a Dib");
  EXPECT_FALSE(glyph.Empty());
  Bytes wrongTag = record;
  wrongTag[0] = 4;
  EXPECT_EQ(LoadError(glyph, wrongTag), "Error reading stream");
  EXPECT_FALSE(glyph.Empty());
  // A wrong tag on the size empties it.
  Bytes sizeTag = record;
  sizeTag[7] = 6;
  EXPECT_EQ(LoadError(glyph, sizeTag), "Error reading stream");
  EXPECT_TRUE(glyph.Empty());
}

TEST(GlyphRecord, InconsistentBlocksAreRefusedNamingTheFault) {
  tFulgoGlyph source;
  Fill(source);
  const Bytes good = Saved(source);
  // Each case: a change of the good record (offset into the record, new bytes), and the text the
  // message must contain.
  struct Case {
    std::size_t offset;
    Bytes bytes;
    std::string fault;
  };
  const auto le32 = [](std::uint32_t v) {
    return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  };
  const std::size_t block = 12;
  const std::vector<Case> cases = {
      {8, le32(100), "block of 100 bytes is smaller than its headers (1078)"},
      {8, le32(0xFFFFFFF0u), "block of -16 bytes is smaller than its headers"},
      {8, le32(1090), "block of 1090 bytes, expected 1086 for 3 x 2"},
      {block + 28, {24, 0}, "bit count 24, expected 8"},
      {block + 10, le32(54), "bits offset 54, expected 1078"},
      {block + 14, le32(12), "info header size 12, expected 40"},
      {block + 30, le32(1), "compression 1, expected 0"},
      {block + 18, le32(0), "width 0 out of range (1..32048)"},
      {block + 18, le32(32049), "width 32049 out of range"},
      {block + 22, le32(0xFFFFFFFEu), "height -2 out of range"},
      {block + 22, le32(0x00010002u), "height 65538 out of range"},
      {block + 22, le32(3), "block of 1086 bytes, expected 1090 for 3 x 3"},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.offset));
    tFulgoGlyph glyph;
    Fill(glyph);
    const std::int32_t before = nQuant;
    const std::string message = LoadError(glyph, bad);
    EXPECT_NE(message.find("Error reading stream Bad Dib: "), std::string::npos) << message;
    EXPECT_NE(message.find(c.fault), std::string::npos) << message;
    EXPECT_TRUE(glyph.Empty()) << c.fault;
    EXPECT_FALSE(glyph.HasDib);
    EXPECT_EQ(nQuant, before - 1) << c.fault;  // only the glyph's old block went
  }
}

TEST(GlyphRecord, ShortStreamsLeaveTheGlyphEmpty) {
  tFulgoGlyph source;
  Fill(source);
  const Bytes good = Saved(source);
  const std::int32_t before = nQuant;
  for (std::size_t n = 7; n < good.size(); ++n) {
    tFulgoGlyph glyph;
    Fill(glyph);
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_THROW(LoadBytes(glyph, cut), host::EReadError) << n;
    EXPECT_TRUE(glyph.Empty()) << n;
  }
  EXPECT_EQ(nQuant, before);

  // A size far beyond the stream fails before anything is allocated for it.
  Bytes huge = kHead;
  const std::uint32_t size = 32000u * 32000u + 1078u;
  huge.insert(huge.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                           static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)});
  Bytes headers(good.begin() + 12, good.begin() + 12 + 54);
  dib::Put32(headers.data() + 18, 32000);
  dib::Put32(headers.data() + 22, 32000);
  huge.insert(huge.end(), headers.begin(), headers.end());
  tFulgoGlyph glyph;
  EXPECT_THROW(LoadBytes(glyph, huge), host::EReadError);
  EXPECT_TRUE(glyph.Empty());
}

TEST(Glyph, DuplicateAndAssignCopyTheWholeBlock) {
  tFulgoGlyph glyph;
  glyph.Dib->MakeEmpty(300, 300);  // larger than 64 KiB
  for (std::uint32_t i = 0; i < glyph.Dib->GetDibMemorySize() - 1078; ++i)
    dib::Bits(glyph.Dib->Dib)[i] = static_cast<std::uint8_t>(i * 7);
  glyph.Dib->SetColor(9, 0x00ABCDEF);
  glyph.SetHasData(true);

  tFulgoDib target;
  target.MakeEmpty(2, 2);
  const std::int32_t before = nQuant;
  glyph.MakeDuplicate(target);
  EXPECT_EQ(nQuant, before);  // the old block of the target went
  EXPECT_EQ(test::Block(target), test::Block(*glyph.Dib));

  tFulgoGlyph copy;
  int changes = 0;
  copy.OnChange = [&](host::TPersistent*) { ++changes; };
  copy.Assign(&glyph);
  EXPECT_TRUE(copy.HasDib);
  EXPECT_TRUE(copy.HasData);
  EXPECT_EQ(test::Block(*copy.Dib), test::Block(*glyph.Dib));
  EXPECT_EQ(changes, 0);
  copy.Changed();
  EXPECT_EQ(changes, 1);

  copy.Assign(&copy);  // onto itself: the picture stays
  EXPECT_FALSE(copy.Empty());

  tFulgoGlyph empty;
  copy.Assign(&empty);
  EXPECT_TRUE(copy.Empty());
  EXPECT_FALSE(copy.HasData);
  empty.MakeDuplicate(target);
  EXPECT_TRUE(target.Empty());

  host::TComponent notAGlyph(nullptr);
  EXPECT_TRUE(
      test::Raises<EFulgoError>([&] { glyph.AssignTo(&notAGlyph); }, "Can assign only to a FulgoGlyph"));
}

// A component with a picture property, streamed by the framework's writer and reader.
class TPictureHolder : public host::TComponent {
  VANTORA_PERSISTENT(TPictureHolder)
  explicit TPictureHolder(host::TComponent* owner) : host::TComponent(owner) {}
  tFulgoGlyph* Picture() const { return picture_.get(); }
  void SetPicture(tFulgoGlyph* value) { picture_->Assign(value); }

 private:
  std::unique_ptr<tFulgoGlyph> picture_ = std::make_unique<tFulgoGlyph>();
};

const host::TClass& TPictureHolder::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TPictureHolder>("TPictureHolder", host::TComponent::StaticClass())
          .Property("Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPictureHolder);

std::string Write(host::TComponent& component) {
  host::TMemoryStream stream;
  host::WriteComponent(stream, component);
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

TEST(Glyph, StreamsAsTheButtonStatesPropertyOnlyWhenItHasData) {
  TPictureHolder holder(nullptr);
  holder.SetName("Holder");
  EXPECT_EQ(host::ObjectBinaryToText(Write(holder)), "object Holder: TPictureHolder\nend\n");

  Fill(*holder.Picture());
  const std::string binary = Write(holder);
  const std::string text = host::ObjectBinaryToText(binary);
  EXPECT_EQ(
      text.rfind(
          "object Holder: TPictureHolder\n  Picture.ButtonStates = {\n    06040444494231043E040000424D", 0),
      0u)
      << text;
  EXPECT_EQ(host::ObjectTextToBinary(text), binary);

  TPictureHolder copy(nullptr);
  host::TMemoryStream stream;
  stream.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  stream.SetPosition(0);
  host::ReadComponent(stream, &copy);
  EXPECT_TRUE(copy.Picture()->HasDib);
  EXPECT_EQ(test::Block(*copy.Picture()->Dib), test::Block(*holder.Picture()->Dib));

  // A picture kept while the owner does not want it written.
  holder.Picture()->HasData = false;
  EXPECT_EQ(host::ObjectBinaryToText(Write(holder)), "object Holder: TPictureHolder\nend\n");
}

TEST(SaveDib, WritesTheBlockAsABmpFile) {
  tFulgoDib bitmap;
  test::Paint(bitmap, {"12", "34"});
  const std::string path = ::testing::TempDir() + "vantora_savedib.bmp";
  SaveDib(bitmap, path);
  host::TMemoryStream file;
  file.LoadFromFile(path);
  EXPECT_EQ(file.Bytes(), test::Block(bitmap));
  EXPECT_EQ(file.Bytes()[0], 'B');
  EXPECT_EQ(file.Bytes()[1], 'M');

  tFulgoDib empty;
  SaveDib(empty, path);
  file.LoadFromFile(path);
  EXPECT_TRUE(file.Bytes().empty());
  std::remove(path.c_str());
}

// Saved as a PNG or a BMP, the picture reads back with every pixel's index and its table colour.
TEST(SavePicture, WritesThePixelsAndTheColourTableByTheExtension) {
  tFulgoDib bitmap;
  test::Paint(bitmap, {"12.#0", "3456a", "789.."});
  for (int i = 0; i < 256; ++i)
    bitmap.SetColor(static_cast<std::uint8_t>(i), static_cast<TColor>(0x010203 * i + 0x0A0B0C));
  test::TempDir dir;
  for (const char* name : {"face.png", "face.BMP"}) {
    const std::string path = dir.Name(name);
    SavePicture(bitmap, path);
    const host::DibImage back = host::ReadPictureFile(path);
    ASSERT_EQ(back.BitCount(), 8) << name;
    ASSERT_EQ(back.Width(), 5);
    ASSERT_EQ(back.Height(), 3);
    const std::uint8_t* table = dib::ColorTable(bitmap.Dib);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const std::uint8_t index = back.Row(y)[x];
        EXPECT_EQ(index, test::At(bitmap, x, y)) << name << " at " << x << "," << y;
        const host::RGBQUAD colour = back.Colors()[index];
        EXPECT_EQ((std::array<int, 3>{colour.rgbBlue, colour.rgbGreen, colour.rgbRed}),
                  (std::array<int, 3>{table[4 * index], table[4 * index + 1], table[4 * index + 2]}))
            << name << " colour of index " << int{index};
      }
  }

  // A name the writers do not know, or no picture, leaves the file as it was.
  const std::string kept = dir.File("face.gif", "old");
  EXPECT_TRUE(
      test::Raises<EFulgoError>([&] { SavePicture(bitmap, kept); },
                                "Cannot save a picture as \"" + kept + "\": name a .png or a .bmp file"));
  const std::string png = dir.File("empty.png", "old");
  EXPECT_TRUE(test::Raises<ENoBMPInSource>([&] { SavePicture(tFulgoDib(), png); }, "No bmp in source"));
  EXPECT_EQ(test::ReadAll(kept), "old");
  EXPECT_EQ(test::ReadAll(png), "old");
}

}  // namespace
}  // namespace vantora
