// Unit Fultext: the text object, whose body is a caption of at most 29 letters, each with a font of
// its own (face, size, weight, style, rotation and a private offset), and the font description.
// Letters are measured with the platform's per-character widths, laid out along one line in their
// rotated cells and drawn white on black into a scratch bitmap that becomes the object's mask.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Filer.h"
#include "host/classes/Persistent.h"
#include "host/graphics/GdiTypes.h"
#include "model/Fulgoobj.h"

VANTORA_API_BEGIN
namespace vantora {

// One letter's font: a platform font record and the letter's own offsets. It has no owner and sends
// no rebuild notice: a change shows at the text's next rebuild.
class tFulgoFont : public host::TPersistent {
  VANTORA_PERSISTENT(tFulgoFont)

  tFulgoFont();

  host::LOGFONTA Font{};
  // Extra advance before this letter (it moves every letter after it too), and how far it is raised.
  std::int32_t OffSetX = 0;
  std::int32_t OffSetY = 0;

  void SetDefaults();
  void Init() { SetDefaults(); }

  std::int32_t GetHeight() const { return Font.lfHeight; }
  void SetHeight(std::int32_t Value) { Font.lfHeight = Value; }
  std::int32_t GetWidth() const { return Font.lfWidth; }
  void SetWidth(std::int32_t Value) { Font.lfWidth = Value; }
  // Whole degrees; the record holds tenths.
  std::int16_t GetAngle() const;
  void SetAngle(std::int16_t Value) { Font.lfEscapement = Value * 10; }
  std::int32_t GetWeight() const { return Font.lfWeight; }
  void SetWeight(std::int32_t Value) { Font.lfWeight = Value; }
  bool GetItalic() const { return Font.lfItalic != 0; }
  void SetItalic(bool Value) { Font.lfItalic = Value ? 1 : 0; }
  bool GetUnderLine() const { return Font.lfUnderline != 0; }
  void SetUnderline(bool Value) { Font.lfUnderline = Value ? 1 : 0; }
  bool GetStrikeOut() const { return Font.lfStrikeOut != 0; }
  void SetStrikeOut(bool Value) { Font.lfStrikeOut = Value ? 1 : 0; }
  std::string GetFontName() const;
  // A name longer than 31 characters is cut, so the record keeps its terminating zero.
  void SetFontName(const std::string& Value);
  std::int32_t GetOffSetX() const { return OffSetX; }
  void SetOffSetX(std::int32_t Value) { OffSetX = Value; }
  std::int32_t GetOffSetY() const { return OffSetY; }
  void SetOffSetY(std::int32_t Value) { OffSetY = Value; }

  // The ten published values of Source, the angle in whole degrees.
  void CopyFrom(const tFulgoFont& Source);
};

// Placement of one letter: its cell width (the advance), the lower edge of its cell from the line
// top, and where its unrotated top-left corner lies inside the cell.
struct tLetterRect {
  std::int16_t CellWidth = 0;
  std::int16_t Bottom = 0;
  std::int16_t OriginX = 0;
  std::int16_t OriginY = 0;
};

class tFulgoText : public tFulgoObject {
  VANTORA_PERSISTENT(tFulgoText)

  static constexpr int kMaxLetters = 29;
  static constexpr int kFontCount = 30;

  explicit tFulgoText(tFulgoPersistent* AOwner);
  ~tFulgoText() override;

  std::array<tLetterRect, kFontCount> LetterRects{};
  // Fonts[i] is the font of the letter at position i + 1.
  std::array<std::unique_ptr<tFulgoFont>, kFontCount> Fonts;
  std::string Caption;
  // The longest caption for which fonts have been assigned; -1 when none.
  std::int32_t LastFontIndex = -1;
  // Whether Caption is streamed: button arts keep their own text, labels take the control's.
  bool StoreCaption = false;

  void SetDefaults();
  void Init() override;

  tFulgoFont* GetLetterFont(std::int16_t Index) const;
  const std::string& GetCaption() const { return Caption; }
  // Cuts to 29 letters; letters past the longest caption seen take the font of its last letter.
  // Always rebuilds.
  void SetCaption(const std::string& Value);
  bool IsCaptionStored() const { return StoreCaption; }

  void DefineProperties(host::TFiler& Filer) override;
  // "WriteWiz": ten values per font for positions 0 to the caption's length.
  void ReadFontArray(host::TReader& Reader);
  void WriteFontArray(host::TWriter& Writer) const;

  void MakeFirstBitmap() override;
  // R.CellWidth holds the advance and R.OriginY the raise (-OffSetY) on entry; Escapement is in
  // tenths of a degree, counter-clockwise.
  static void CalcRotatedLetterRect(tLetterRect& R, std::int32_t Height, std::int32_t Escapement);

 private:
  class LetterTools;
  // The drawing context and the fonts of the letters, kept from one render to the next: a face
  // repaints with the fonts it had.
  std::unique_ptr<LetterTools> letterTools_;
};

}  // namespace vantora
VANTORA_API_END
