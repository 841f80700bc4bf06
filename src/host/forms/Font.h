// The font of a control: face name, size in points, colour and style, published so forms stream it,
// and the drawing layer's font made from it on demand.
#pragma once

#include <cstdint>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"
#include "host/classes/Types.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
const TEnumInfo& TypeInfoOf(TFontStyle);
using TFontStyles = TSet<TFontStyle>;

class TFont : public TPersistent {
  VANTORA_PERSISTENT(TFont)

  TFont() = default;
  ~TFont() override;

  void Assign(const TPersistent* source) override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Size() const { return size_; }
  void SetSize(int size);
  // Negative: character height in pixels, as the drawing layer takes it.
  int Height() const { return -(size_ * 96 + 36) / 72; }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);

  // Made when first asked for and kept until the font changes; the font owns it.
  HFONT Handle();

  TNotifyEvent OnChange;

 private:
  void Changed();
  std::string name_ = "MS Sans Serif";
  int size_ = 8;
  TColor color_ = clWindowText;
  TFontStyles style_;
  Owned<HFONT> handle_;
};

}  // namespace vantora::host
VANTORA_API_END
