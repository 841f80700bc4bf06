#include "model/Fultext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "core/DibLayout.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/GdiOwners.h"

namespace vantora {

// --- tFulgoFont -------------------------------------------------------------------------------

const host::TClass& tFulgoFont::StaticClass() {
  using F = tFulgoFont;
  static const host::TClass& cls =
      host::ClassBuilder<F>("tFulgoFont", host::TPersistent::StaticClass())
          .Property("Height", &F::GetHeight, &F::SetHeight, 24)
          .Property("Width", &F::GetWidth, &F::SetWidth, 0)
          .Property("Angle", &F::GetAngle, &F::SetAngle, 0)
          .Property("Weight", &F::GetWeight, &F::SetWeight, 700)
          .Property("Italic", &F::GetItalic, &F::SetItalic, false)
          .Property("Underline", &F::GetUnderLine, &F::SetUnderline, false)
          .Property("StrikeOut", &F::GetStrikeOut, &F::SetStrikeOut, false)
          .Property("FontName", &F::GetFontName, &F::SetFontName, "Times New Roman")
          .Property("OffSetX", &F::GetOffSetX, &F::SetOffSetX, 0)
          .Property("OffSetY", &F::GetOffSetY, &F::SetOffSetY, 0)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoFont);

tFulgoFont::tFulgoFont() {
  SetDefaults();
}

void tFulgoFont::SetDefaults() {
  Font = host::LOGFONTA{};
  Font.lfHeight = 24;
  Font.lfWeight = 700;
  Font.lfCharSet = 1;  // the platform's default character set
  SetFontName("Times New Roman");
  OffSetX = 0;
  OffSetY = 0;
}

std::int16_t tFulgoFont::GetAngle() const {
  return static_cast<std::int16_t>(std::trunc(Font.lfEscapement * 0.1));
}

std::string tFulgoFont::GetFontName() const {
  return std::string(Font.lfFaceName, strnlen(Font.lfFaceName, sizeof Font.lfFaceName));
}

void tFulgoFont::SetFontName(const std::string& Value) {
  std::memset(Font.lfFaceName, 0, sizeof Font.lfFaceName);
  std::memcpy(Font.lfFaceName, Value.data(), std::min(Value.size(), sizeof Font.lfFaceName - 1));
}

void tFulgoFont::CopyFrom(const tFulgoFont& Source) {
  SetHeight(Source.GetHeight());
  SetWidth(Source.GetWidth());
  SetAngle(Source.GetAngle());
  SetWeight(Source.GetWeight());
  SetItalic(Source.GetItalic());
  SetUnderline(Source.GetUnderLine());
  SetStrikeOut(Source.GetStrikeOut());
  SetFontName(Source.GetFontName());
  SetOffSetX(Source.GetOffSetX());
  SetOffSetY(Source.GetOffSetY());
}

// --- tFulgoText -------------------------------------------------------------------------------

const host::TClass& tFulgoText::StaticClass() {
  using T = tFulgoText;
  static const host::TClass& cls = host::ClassBuilder<T>("tFulgoText", tFulgoObject::StaticClass())
                                       .Property("Caption", &T::GetCaption, &T::SetCaption)
                                       .Stored(&T::IsCaptionStored)
                                       .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(tFulgoText);

namespace {

// The drawing layer draws no font larger than this, so layout measures no larger either.
constexpr std::int32_t kMaxFontHeight = 4096;

std::int32_t LayoutHeight(const tFulgoFont& font) {
  return std::clamp(font.Font.lfHeight, -kMaxFontHeight, kMaxFontHeight);
}

// An offset beyond a bitmap side could only make a bitmap too large; capped so the sums stay
// within 32 bits.
std::int32_t LayoutOffset(std::int32_t offset) {
  return std::clamp<std::int32_t>(offset, -kMaxBitmapSide, kMaxBitmapSide);
}

// Nearest integer, a half going to the even neighbour.
std::int32_t Nearest(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

// Letter pixels take index 255, white in a fresh table, as a capture of white letters on black
// gave them.
constexpr std::uint8_t kLetterIndex = 255;

}  // namespace

// The memory context that holds each letter's font while it is measured and drawn, and the fonts,
// one per distinct record. A font is selected only when it differs from the last letter's; the
// context's own comes back before the context goes. Fonts no letter of a render used go at its end.
class tFulgoText::LetterTools {
 public:
  LetterTools() : dc_(host::CreateCompatibleDC(nullptr)) {
    if (!dc_) throw host::EOutOfMemory("Not enough memory for a drawing context");
  }
  LetterTools(const LetterTools&) = delete;
  LetterTools& operator=(const LetterTools&) = delete;
  ~LetterTools() {
    if (selected_) host::SelectObject(dc_, original_);
  }

  host::HDC With(host::HFONT font) {
    if (selected_ == font) return dc_;
    const host::HFONT previous = host::SelectObject(dc_, font);
    if (!selected_) original_ = previous;
    selected_ = font;
    return dc_;
  }

  void KeepOnlyUsed() {
    std::erase_if(fonts_, [](const Font& font) { return !font.used; });
    for (Font& font : fonts_) font.used = false;
  }

  host::HFONT For(const host::LOGFONTA& record) {
    for (Font& font : fonts_)
      if (std::memcmp(&font.record, &record, sizeof record) == 0) {
        font.used = true;
        return font.handle.get();
      }
    host::Owned<host::HFONT> handle(host::CreateFontIndirectA(&record));
    if (!handle) throw EFulgoError("Cannot evaluate font");
    return fonts_.emplace_back(Font{record, std::move(handle), true}).handle.get();
  }

 private:
  struct Font {
    host::LOGFONTA record;
    host::Owned<host::HFONT> handle;
    bool used;
  };

  // Declared before the context, so the fonts go after it has given its own font back.
  std::vector<Font> fonts_;
  host::Owned<host::HDC> dc_;
  host::HFONT original_ = nullptr;
  host::HFONT selected_ = nullptr;
};

tFulgoText::tFulgoText(tFulgoPersistent* AOwner) : tFulgoObject(AOwner) {
  for (auto& font : Fonts) font = std::make_unique<tFulgoFont>();
  SetDefaults();
}

tFulgoText::~tFulgoText() = default;

void tFulgoText::SetDefaults() {
  LastFontIndex = -1;
  StoreCaption = false;
  Active = true;
  FulgoColor->SetBrush(0);
  for (auto& font : Fonts) font->Init();
}

void tFulgoText::Init() {
  tFulgoObject::Init();
  SetDefaults();
}

tFulgoFont* tFulgoText::GetLetterFont(std::int16_t Index) const {
  if (Index < 0 || Index >= kFontCount)
    throw host::EListError("Font index out of bounds (" + std::to_string(Index) + ")");
  return Fonts[static_cast<std::size_t>(Index)].get();
}

void tFulgoText::SetCaption(const std::string& Value) {
  Caption = Value.substr(0, kMaxLetters);
  const auto n = static_cast<std::int32_t>(Caption.size());
  const std::int32_t last = LastFontIndex;
  if (n > last && last > 0)
    for (std::int32_t p = last + 1; p <= n; ++p)
      Fonts[static_cast<std::size_t>(p - 1)]->CopyFrom(*Fonts[static_cast<std::size_t>(last - 1)]);
  LastFontIndex = std::max(n, last);
  Rebuild();
}

void tFulgoText::DefineProperties(host::TFiler& Filer) {
  tFulgoObject::DefineProperties(Filer);
  Filer.DefineProperty(
      "WriteWiz", [this](host::TReader& reader) { ReadFontArray(reader); },
      [this](host::TWriter& writer) { WriteFontArray(writer); }, true);
}

void tFulgoText::WriteFontArray(host::TWriter& Writer) const {
  const auto n = std::min<std::size_t>(Caption.size(), kMaxLetters);
  Writer.WriteListBegin();
  for (std::size_t i = 0; i <= n; ++i) {
    const tFulgoFont& f = *Fonts[i];
    Writer.WriteInteger(f.GetHeight());
    Writer.WriteInteger(f.GetWidth());
    Writer.WriteInteger(f.GetAngle());
    Writer.WriteInteger(f.GetWeight());
    Writer.WriteBoolean(f.GetItalic());
    Writer.WriteBoolean(f.GetUnderLine());
    Writer.WriteBoolean(f.GetStrikeOut());
    Writer.WriteString(f.GetFontName());
    Writer.WriteInteger(f.GetOffSetX());
    Writer.WriteInteger(f.GetOffSetY());
  }
  Writer.WriteListEnd();
}

void tFulgoText::ReadFontArray(host::TReader& Reader) {
  // Read whole before anything changes, so a malformed list leaves the fonts as they were. Records
  // past the thirtieth have no font to go to: they are read and dropped.
  std::vector<std::unique_ptr<tFulgoFont>> read;
  int record = 0;
  const auto integer = [&](const char* name, std::int64_t low, std::int64_t high) {
    const std::int64_t value = Reader.ReadInteger();
    if (value < low || value > high)
      throw host::EReadError("WriteWiz record " + std::to_string(record) + ": " + name + " " +
                             std::to_string(value) + " out of range");
    return value;
  };
  constexpr std::int64_t lo32 = INT32_MIN, hi32 = INT32_MAX;
  Reader.ReadListBegin();
  for (; !Reader.EndOfList(); ++record) {
    auto f = std::make_unique<tFulgoFont>();
    f->SetHeight(static_cast<std::int32_t>(integer("Height", lo32, hi32)));
    f->SetWidth(static_cast<std::int32_t>(integer("Width", lo32, hi32)));
    f->SetAngle(static_cast<std::int16_t>(integer("Angle", INT16_MIN, INT16_MAX)));
    f->SetWeight(static_cast<std::int32_t>(integer("Weight", lo32, hi32)));
    f->SetItalic(Reader.ReadBoolean());
    f->SetUnderline(Reader.ReadBoolean());
    f->SetStrikeOut(Reader.ReadBoolean());
    f->SetFontName(Reader.ReadString());
    f->SetOffSetX(static_cast<std::int32_t>(integer("OffSetX", lo32, hi32)));
    f->SetOffSetY(static_cast<std::int32_t>(integer("OffSetY", lo32, hi32)));
    if (read.size() < Fonts.size()) read.push_back(std::move(f));
  }
  Reader.ReadListEnd();
  for (std::size_t i = 0; i < read.size(); ++i) Fonts[i]->CopyFrom(*read[i]);
  LastFontIndex = static_cast<std::int32_t>(read.size()) - 1;
}

void tFulgoText::CalcRotatedLetterRect(tLetterRect& R, std::int32_t Height, std::int32_t Escapement) {
  // Upright letters, nearly all of them, need no sine: it is exactly 0 there, the cosine exactly 1.
  const double a = Escapement * std::numbers::pi / 1800;
  const double s = Escapement == 0 ? 0.0 : std::sin(a), c = Escapement == 0 ? 1.0 : std::cos(a);
  const std::int32_t hs = std::abs(Nearest(Height * s));
  const std::int32_t hc = std::abs(Nearest(Height * c));
  const std::int32_t ws = std::abs(Nearest(R.CellWidth * s));
  const std::int32_t wc = std::abs(Nearest(R.CellWidth * c));
  const std::int32_t b = hc + ws;
  R.CellWidth = static_cast<std::int16_t>(hs + wc);
  R.Bottom = static_cast<std::int16_t>(b);
  const std::int32_t x0 = (c < 0 ? wc : 0) + (s < 0 ? hs : 0);
  const std::int32_t y0 = (c > 0 ? hc : 0) + (s < 0 ? ws : 0);
  R.OriginX = static_cast<std::int16_t>(x0);
  R.OriginY = static_cast<std::int16_t>(R.OriginY + Nearest(Height * 0.5 - (y0 - b * 0.5)));
}

void tFulgoText::MakeFirstBitmap() {
  Dib->FreeDib();
  if (Caption.empty()) Caption.assign(1, ' ');  // assign: GCC 12 misreads the literal copy as overlapping
  const int n = std::min<int>(static_cast<int>(Caption.size()), kMaxLetters);
  if (!letterTools_) letterTools_ = std::make_unique<LetterTools>();
  LetterTools& tools = *letterTools_;
  // Each letter's font is looked up once, for measuring and drawing.
  std::array<host::HFONT, kMaxLetters> letterFonts{};

  for (int i = 0; i < n; ++i) {
    const tFulgoFont& f = *Fonts[static_cast<std::size_t>(i)];
    tLetterRect& r = LetterRects[static_cast<std::size_t>(i)];
    const auto code = static_cast<unsigned char>(Caption[static_cast<std::size_t>(i)]);
    letterFonts[static_cast<std::size_t>(i)] = tools.For(f.Font);
    host::ABC abc{};
    if (!host::GetCharABCWidthsA(tools.With(letterFonts[static_cast<std::size_t>(i)]), code, code, &abc))
      throw EFulgoError("Cannot evaluate font");
    const std::int32_t height = LayoutHeight(f);
    r.CellWidth = static_cast<std::int16_t>(abc.abcA + static_cast<std::int32_t>(abc.abcB) + abc.abcC);
    r.OriginY = static_cast<std::int16_t>(-LayoutOffset(f.OffSetY));
    CalcRotatedLetterRect(r, height, f.Font.lfEscapement);
    r.Bottom = static_cast<std::int16_t>((r.Bottom + height) / 2);
  }

  std::int32_t pen = 0, minLeft = 32767, minTop = 32767, maxRight = -32767, maxBottom = -32767;
  for (int i = 0; i < n; ++i) {
    const tFulgoFont& f = *Fonts[static_cast<std::size_t>(i)];
    const tLetterRect& r = LetterRects[static_cast<std::size_t>(i)];
    pen += LayoutOffset(f.OffSetX);
    const std::int32_t top = -LayoutOffset(f.OffSetY);
    minTop = std::min(minTop, top);
    minLeft = std::min(minLeft, pen);
    pen += r.CellWidth;
    maxRight = std::max(maxRight, pen);
    maxBottom = std::max(maxBottom, r.Bottom + top);
  }
  const std::int32_t width = maxRight - minLeft;
  const std::int32_t height = maxBottom - minTop;
  if (width <= 0 || height <= 0) throw EFulgoError("Bitmap size is zero");
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw EFulgoError("Text of " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels is larger than a bitmap can be");

  // The letters go straight into the mask; it becomes Dib only when every letter is drawn.
  tFulgoDib mask;
  mask.TransparentIndex = Dib->TransparentIndex;
  mask.MakeEmpty(static_cast<TWidth>(width), static_cast<THeight>(height));
  const host::IndexRaster raster{dib::Bits(mask.Dib), width, height,
                                 static_cast<int>(dib::RowStride(static_cast<std::uint32_t>(width)))};
  pen = -minLeft;
  for (int i = 0; i < n; ++i) {
    const tFulgoFont& f = *Fonts[static_cast<std::size_t>(i)];
    const tLetterRect& r = LetterRects[static_cast<std::size_t>(i)];
    pen += LayoutOffset(f.OffSetX);
    if (!host::TextOutToRaster(tools.With(letterFonts[static_cast<std::size_t>(i)]), pen + r.OriginX,
                               r.OriginY - minTop, &Caption[static_cast<std::size_t>(i)], 1, raster,
                               kLetterIndex))
      throw EFulgoError("Cannot evaluate font");
    pen += r.CellWidth;
  }

  tools.KeepOnlyUsed();
  Dib->GrabDib(mask);
  Width = static_cast<std::int16_t>(Dib->GetWidth());
  Height = static_cast<std::int16_t>(Dib->GetHeight());
}

}  // namespace vantora
