#include "host/forms/Font.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TFontStyle) {
  static const TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return info;
}

const TClass& TFont::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TFont>("TFont", TPersistent::StaticClass())
          .Property("Color", &TFont::Color, &TFont::SetColor, clWindowText)
          .AsColor()
          .Property("Name", &TFont::Name, &TFont::SetName, std::string("MS Sans Serif"))
          .Property("Size", &TFont::Size, &TFont::SetSize, 8)
          .Property("Style", &TFont::Style, &TFont::SetStyle, TFontStyles{})
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TFont);

TFont::~TFont() = default;

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (!font) return TPersistent::Assign(source);
  if (font == this) return;
  name_ = font->name_;
  size_ = font->size_;
  color_ = font->color_;
  style_ = font->style_;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetSize(int size) {
  size = std::clamp(size, 1, 1000);
  if (size == size_) return;
  size_ = size;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (OnChange) OnChange(this);
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

HFONT TFont::Handle() {
  if (handle_) return handle_;
  LOGFONTA record{};
  record.lfHeight = Height();
  record.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  record.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
  record.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
  record.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
  std::strncpy(record.lfFaceName, name_.c_str(), sizeof record.lfFaceName - 1);
  handle_.reset(CreateFontIndirectA(&record));
  return handle_;
}

void TFont::Changed() {
  handle_.reset();
  if (OnChange) OnChange(this);
}

}  // namespace vantora::host
