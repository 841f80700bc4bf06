#include "host/designer/DesignEditors.h"

#include <strings.h>

#include <array>
#include <utility>

#include <charconv>
#include <cmath>
#include <cstdio>
#include "host/dialogs/ColorDialog.h"
#include "host/graphics/Graphics.h"

namespace vantora::host {

namespace {

[[noreturn]] void InvalidValue(const std::string& text) {
  throw EPropertyError("Invalid property value: \"" + text + "\"");
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool ParseInteger(std::string_view s, std::int64_t& value) {
  s = Trimmed(s);
  const bool negative = !s.empty() && s.front() == '-';
  if (negative) s.remove_prefix(1);
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    s.remove_prefix(1);
    base = 16;
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  if (s.empty() || s.front() == '-' || s.front() == '+') return false;
  std::uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (error != std::errc() || end != s.data() + s.size() || magnitude > (std::uint64_t{1} << 63))
    return false;
  if (!negative && magnitude == (std::uint64_t{1} << 63)) return false;
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

struct NamedColor {
  TColor color;
  const char* name;
};
constexpr std::array<NamedColor, 27> kNamedColors{{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clWindow, "clWindow"},
    {clWindowText, "clWindowText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clBtnHighlight, "clBtnHighlight"},
}};

}  // namespace

TPropertyEditor::TPropertyEditor(IDesigner& designer, TPersistent& instance, const TPropInfo& prop)
    : designer_(designer), instance_(instance), prop_(prop) {}

TPropertyAttributes TPropertyEditor::GetAttributes() {
  return prop_.HasSetter() ? TPropertyAttributes{0} : TPropertyAttributes{paReadOnly};
}

std::string TPropertyEditor::GetValue() {
  return {};
}

void TPropertyEditor::SetValue(const std::string&) {}

std::int64_t TPropertyEditor::GetOrdValue() const {
  return GetOrdProp(instance_, prop_);
}

void TPropertyEditor::SetOrdValue(std::int64_t value) {
  SetOrdProp(instance_, prop_, value);
  Modified();
}

double TPropertyEditor::GetFloatValue() const {
  return GetFloatProp(instance_, prop_);
}

void TPropertyEditor::SetFloatValue(double value) {
  SetFloatProp(instance_, prop_, value);
  Modified();
}

std::string TPropertyEditor::GetStrValue() const {
  return GetStrProp(instance_, prop_);
}

void TPropertyEditor::SetStrValue(const std::string& value) {
  SetStrProp(instance_, prop_, value);
  Modified();
}

TPersistent* TPropertyEditor::GetObjectValue() const {
  return GetObjectProp(instance_, prop_);
}

void TPropertyEditor::SetObjectValue(TPersistent* value) {
  SetObjectProp(instance_, prop_, value);
  Modified();
}

std::string TIntegerProperty::GetValue() {
  return std::to_string(GetOrdValue());
}

void TIntegerProperty::SetValue(const std::string& text) {
  std::int64_t value = 0;
  if (!ParseInteger(text, value)) InvalidValue(text);
  const TPropInfo& prop = GetPropInfo();
  if (value < prop.MinValue || value > prop.MaxValue)
    throw EPropertyError("Value must be between " + std::to_string(prop.MinValue) + " and " +
                         std::to_string(prop.MaxValue));
  SetOrdValue(value);
}

TPropertyAttributes TColorProperty::GetAttributes() {
  return TIntegerProperty::GetAttributes() | paValueList | paDialog;
}

std::string TColorProperty::GetValue() {
  const auto color = static_cast<TColor>(GetOrdValue());
  for (const NamedColor& named : kNamedColors)
    if (named.color == color) return named.name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

void TColorProperty::SetValue(const std::string& text) {
  const std::string_view name = Trimmed(text);
  for (const NamedColor& named : kNamedColors)
    if (name.size() == std::string_view(named.name).size() &&
        strncasecmp(name.data(), named.name, name.size()) == 0) {
      SetOrdValue(named.color);
      return;
    }
  std::int64_t value = 0;
  if (!ParseInteger(name, value) || value < INT32_MIN || value > UINT32_MAX) InvalidValue(text);
  SetOrdValue(static_cast<TColor>(static_cast<std::uint32_t>(value)));
}

void TColorProperty::GetValues(const std::function<void(const std::string&)>& proc) {
  for (const NamedColor& named : kNamedColors) proc(named.name);
}

void TColorProperty::Edit() {
  TColorDialog dialog(nullptr);
  dialog.SetColor(static_cast<TColor>(GetOrdValue()));
  if (dialog.Execute()) SetOrdValue(dialog.Color());
}

std::string TCharProperty::GetValue() {
  const auto code = GetOrdValue();
  if (code > 32 && code < 127) return std::string(1, static_cast<char>(code));
  // Appended rather than put in front: GCC 12 sees overlapping copies in the inlined insert.
  std::string value = "#";
  value += std::to_string(code);
  return value;
}

void TCharProperty::SetValue(const std::string& text) {
  std::int64_t code = 0;
  if (text.size() == 1)
    code = static_cast<unsigned char>(text[0]);
  else if (text.size() < 2 || text[0] != '#' || !ParseInteger(std::string_view(text).substr(1), code) ||
           code < 0 || code > 255)
    InvalidValue(text);
  SetOrdValue(code);
}

TPropertyAttributes TEnumProperty::GetAttributes() {
  return TOrdinalProperty::GetAttributes() | paValueList;
}

std::string TEnumProperty::GetValue() {
  const auto ord = GetOrdValue();
  const auto& names = GetPropInfo().Enum->Names;
  if (ord >= 0 && ord < static_cast<std::int64_t>(names.size())) return names[static_cast<std::size_t>(ord)];
  return std::to_string(ord);
}

void TEnumProperty::SetValue(const std::string& text) {
  const int ord = GetPropInfo().Enum->IndexOf(Trimmed(text));
  if (ord < 0) InvalidValue(text);
  SetOrdValue(ord);
}

void TEnumProperty::GetValues(const std::function<void(const std::string&)>& proc) {
  for (const std::string& name : GetPropInfo().Enum->Names) proc(name);
}

std::string TSetProperty::GetValue() {
  const auto bits = static_cast<std::uint64_t>(GetOrdValue());
  const auto& names = GetPropInfo().Enum->Names;
  std::string text = "[";
  for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
    if (!((bits >> i) & 1u)) continue;
    if (text.size() > 1) text += ',';
    text += names[i];
  }
  return text + "]";
}

void TSetProperty::SetValue(const std::string& text) {
  std::string_view inner = Trimmed(text);
  if (inner.size() < 2 || inner.front() != '[' || inner.back() != ']') InvalidValue(text);
  inner = inner.substr(1, inner.size() - 2);
  std::int64_t bits = 0;
  while (!Trimmed(inner).empty()) {
    const auto comma = inner.find(',');
    const int element = GetPropInfo().Enum->IndexOf(Trimmed(inner.substr(0, comma)));
    if (element < 0 || element >= 32) InvalidValue(text);
    bits |= std::int64_t{1} << element;
    inner = comma == std::string_view::npos ? std::string_view() : inner.substr(comma + 1);
  }
  SetOrdValue(bits);
}

std::string TFloatProperty::GetValue() {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", GetFloatValue());
  return text;
}

void TFloatProperty::SetValue(const std::string& text) {
  const std::string_view s = Trimmed(text);
  double value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
    InvalidValue(text);
  SetFloatValue(value);
}

std::string TStringProperty::GetValue() {
  return GetStrValue();
}

void TStringProperty::SetValue(const std::string& text) {
  SetStrValue(text);
}

TPropertyAttributes TClassProperty::GetAttributes() {
  return paSubProperties | paReadOnly;
}

std::string TClassProperty::GetValue() {
  TPersistent* object = GetObjectValue();
  return object ? "(" + object->ClassName() + ")" : std::string();
}

TPropertyAttributes TComponentProperty::GetAttributes() {
  return TPropertyEditor::GetAttributes() | paValueList;
}

std::string TComponentProperty::GetValue() {
  auto* component = dynamic_cast<TComponent*>(GetObjectValue());
  return component ? component->Name() : std::string();
}

void TComponentProperty::SetValue(const std::string& text) {
  const std::string_view name = Trimmed(text);
  if (name.empty()) {
    SetObjectValue(nullptr);
    return;
  }
  TComponent* found = Designer().Root().FindComponent(name);
  if (!found || !found->InheritsFrom(GetPropInfo().ClassOf())) InvalidValue(text);
  SetObjectValue(found);
}

void TComponentProperty::GetValues(const std::function<void(const std::string&)>& proc) {
  const TComponent& root = Designer().Root();
  const TClass& wanted = GetPropInfo().ClassOf();
  for (int i = 0; i < root.ComponentCount(); ++i) {
    const TComponent* c = root.Components(i);
    if (c->InheritsFrom(wanted) && c != &GetComponent() && !c->Name().empty()) proc(c->Name());
  }
}

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

}  // namespace vantora::host
