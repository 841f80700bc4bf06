#include "host/forms/StylePainter.h"

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TBevelCut) {
  static const TEnumInfo info{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return info;
}

namespace StylePainter {

namespace {

inline constexpr TColor kDarkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor kLight = clSystemColor | COLOR_3DLIGHT;

// The visible characters and the position of the accelerator's letter among them (-1: none).
std::string Visible(const std::string& text, int* accelerator) {
  std::string out;
  if (accelerator) *accelerator = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && accelerator && *accelerator < 0) *accelerator = static_cast<int>(out.size());
    }
    out += text[i];
  }
  return out;
}

void TextAt(HDC dc, int x, int y, const std::string& visible, int accelerator, TColor color) {
  SetTextColor(dc, ColorToRGB(color));
  TextOutA(dc, x, y, visible.data(), static_cast<int>(visible.size()));
  if (accelerator < 0) return;
  SIZE before{}, letter{};
  GetTextExtentPoint32A(dc, visible.data(), accelerator, &before);
  GetTextExtentPoint32A(dc, visible.data() + accelerator, 1, &letter);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  const int underline = y + metrics.tmAscent + 1;
  Fill(dc, RECT{x + before.cx, underline, x + before.cx + letter.cx, underline + 1}, color);
}

}  // namespace

void Fill(HDC dc, const RECT& rect, TColor color) {
  if (IsRectEmpty(&rect)) return;
  const Owned<HBRUSH> brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &rect, brush);
}

void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width && !IsRectEmpty(&rect); ++i) {
    Fill(dc, RECT{rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    Fill(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    Fill(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
    Fill(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    InflateRect(&rect, -1, -1);
  }
}

void Bevel(HDC dc, RECT& rect, TBevelCut cut, int width) {
  switch (cut) {
    case bvNone:
      return;
    case bvSpace:
      InflateRect(&rect, -width, -width);
      return;
    case bvLowered:
      Frame3D(dc, rect, clBtnShadow, clBtnHighlight, width);
      return;
    case bvRaised:
      Frame3D(dc, rect, clBtnHighlight, clBtnShadow, width);
      return;
  }
}

void ButtonFace(HDC dc, const RECT& rect, const std::string& caption, TFont& font, bool pressed, bool focused,
                bool enabled, bool isDefault) {
  RECT r = rect;
  if (isDefault || focused) Frame3D(dc, r, kDarkShadow, kDarkShadow, 1);
  if (pressed) {
    Frame3D(dc, r, clBtnShadow, clBtnShadow, 1);
  } else {
    Frame3D(dc, r, clBtnHighlight, kDarkShadow, 1);
    Frame3D(dc, r, kLight, clBtnShadow, 1);
  }
  Fill(dc, r, clBtnFace);
  RECT text = r;
  if (pressed) OffsetRect(&text, 1, 1);
  Caption(dc, text, caption, font, taCenter, vaCenter, enabled);
  if (focused) {
    InflateRect(&r, -2, -2);
    FocusRect(dc, r);
  }
}

void FocusRect(HDC dc, const RECT& rect) {
  const COLORREF color = ColorToRGB(clBtnText);
  for (int x = rect.left; x < rect.right; x += 2) {
    SetPixel(dc, x, rect.top, color);
    SetPixel(dc, x, rect.bottom - 1, color);
  }
  for (int y = rect.top; y < rect.bottom; y += 2) {
    SetPixel(dc, rect.left, y, color);
    SetPixel(dc, rect.right - 1, y, color);
  }
}

void Caption(HDC dc, const RECT& rect, const std::string& text, TFont& font, TAlignment alignment,
             TVerticalAlignment layout, bool enabled) {
  if (text.empty() || IsRectEmpty(&rect)) return;
  SavedDC saved(dc);
  SelectObject(dc, font.Handle());
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  int accelerator = -1;
  const std::string visible = Visible(text, &accelerator);
  SIZE size{};
  GetTextExtentPoint32A(dc, visible.data(), static_cast<int>(visible.size()), &size);
  int x = rect.left;
  if (alignment == taCenter)
    x = rect.left + (rect.right - rect.left - size.cx) / 2;
  else if (alignment == taRightJustify)
    x = rect.right - size.cx;
  int y = rect.top;
  if (layout == vaCenter)
    y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
  else if (layout == vaBottom)
    y = rect.bottom - size.cy;
  if (enabled) {
    TextAt(dc, x, y, visible, accelerator, font.Color());
  } else {
    TextAt(dc, x + 1, y + 1, visible, accelerator, clBtnHighlight);
    TextAt(dc, x, y, visible, accelerator, clBtnShadow);
  }
}

std::string StripAccelerator(const std::string& text) {
  return Visible(text, nullptr);
}

SIZE TextExtent(HDC dc, const std::string& text, TFont& font) {
  SavedDC saved(dc);
  SelectObject(dc, font.Handle());
  const std::string visible = Visible(text, nullptr);
  SIZE size{};
  GetTextExtentPoint32A(dc, visible.data(), static_cast<int>(visible.size()), &size);
  return size;
}

}  // namespace StylePainter

}  // namespace vantora::host
