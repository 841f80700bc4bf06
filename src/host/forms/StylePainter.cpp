#include "host/forms/StylePainter.h"

#include <algorithm>
#include <cmath>

namespace vantora::host {

const TEnumInfo& TypeInfoOf(TBevelCut) {
  static const TEnumInfo info{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return info;
}

namespace StylePainter {

namespace {

inline constexpr TColor kDarkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor kLight = clSystemColor | COLOR_3DLIGHT;
inline constexpr TColor kMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor kMenuText = clSystemColor | COLOR_MENUTEXT;

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

namespace {

// One line of text aligned in Rect and clipped to it, with the accelerator underlined; embossed text
// has a highlight-coloured copy one pixel down and right.
void AlignedText(HDC dc, const RECT& rect, const std::string& text, TFont& font, TAlignment alignment,
                 TVerticalAlignment layout, TColor color, bool embossed) {
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
  if (embossed) TextAt(dc, x + 1, y + 1, visible, accelerator, clBtnHighlight);
  TextAt(dc, x, y, visible, accelerator, color);
}

}  // namespace

void Caption(HDC dc, const RECT& rect, const std::string& text, TFont& font, TAlignment alignment,
             TVerticalAlignment layout, bool enabled) {
  AlignedText(dc, rect, text, font, alignment, layout, enabled ? font.Color() : clBtnShadow, !enabled);
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

std::vector<std::string> TextLines(HDC dc, const std::string& text, TFont& font, int wrapWidth) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  do {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    start = end + 1;
    if (wrapWidth <= 0) {
      lines.push_back(paragraph);
      continue;
    }
    std::string line;
    std::size_t pos = 0;
    while (pos < paragraph.size()) {
      std::size_t next = paragraph.find(' ', pos);
      if (next == std::string::npos) next = paragraph.size();
      const std::string word = paragraph.substr(pos, next - pos);
      std::string candidate = line.empty() ? word : line + ' ' + word;
      if (!line.empty() && TextExtent(dc, candidate, font).cx > wrapWidth) {
        lines.push_back(line);
        line = word;
      } else {
        line = std::move(candidate);
      }
      pos = next + 1;
    }
    lines.push_back(line);
  } while (start <= text.size());
  return lines;
}

void Text(HDC dc, int x, int y, const std::string& text, TFont& font, TColor color) {
  if (text.empty()) return;
  SavedDC saved(dc);
  SelectObject(dc, font.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(color));
  TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

CharWidths MeasureCharacters(TFont& font) {
  CharWidths widths{};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  GetCharWidth32A(dc, 0, 255, widths.width);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  widths.height = metrics.tmHeight;
  SelectObject(dc, old);
  DeleteDC(dc);
  return widths;
}

void FieldFrame(HDC dc, RECT& rect) {
  Frame3D(dc, rect, clBtnShadow, clBtnHighlight, 1);
  Frame3D(dc, rect, kDarkShadow, kLight, 1);
}

namespace {

// A pattern of rows, 'X' where a pixel is set, drawn from (X, Y).
void Pattern(HDC dc, int x, int y, std::initializer_list<const char*> rows, TColor color) {
  const COLORREF rgb = ColorToRGB(color);
  int row = 0;
  for (const char* line : rows) {
    for (int column = 0; line[column]; ++column)
      if (line[column] == 'X') SetPixel(dc, x + column, y + row, rgb);
    ++row;
  }
}

}  // namespace

void CheckBox(HDC dc, int x, int y, CheckState state, bool enabled, bool pressed) {
  RECT box{x, y, x + kCheckSize, y + kCheckSize};
  FieldFrame(dc, box);
  Fill(dc, box, enabled && !pressed ? clWindow : clBtnFace);
  if (state == CheckState::Unchecked) return;
  const TColor mark = state == CheckState::Grayed || !enabled ? clBtnShadow : clWindowText;
  Pattern(dc, x + 3, y + 3, {"      X", "     XX", "X   XXX", "XX XXX ", "XXXXX  ", " XXX   ", "  X    "},
          mark);
}

void RadioButton(HDC dc, int x, int y, bool checked, bool enabled, bool pressed) {
  // Rings of a 12-pixel circle: the outer pair dark above and left, light below and right, as
  // the sunken frame of a check box.
  constexpr double kCentre = 5.5;
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < 12; ++column) {
      const double r = std::hypot(column - kCentre, row - kCentre);
      const bool upperLeft = column + row < 11;
      TColor color;
      if (r > 6.0) continue;
      if (r > 5.0)
        color = upperLeft ? clBtnShadow : clBtnHighlight;
      else if (r > 4.0)
        color = upperLeft ? kDarkShadow : kLight;
      else if (checked && r < 1.9)
        color = enabled ? clWindowText : clBtnShadow;
      else
        color = enabled && !pressed ? clWindow : clBtnFace;
      SetPixel(dc, x + column, y + row, ColorToRGB(color));
    }
  }
}

void EtchedFrame(HDC dc, const RECT& rect, int gapLeft, int gapRight) {
  RECT outer{rect.left, rect.top, rect.right - 1, rect.bottom - 1};
  RECT inner{rect.left + 1, rect.top + 1, rect.right, rect.bottom};
  for (auto [r, color] : {std::pair{outer, clBtnShadow}, std::pair{inner, clBtnHighlight}}) {
    Fill(dc, RECT{r.left, r.top, std::max(r.left, gapLeft), r.top + 1}, color);
    Fill(dc, RECT{std::min(r.right, gapRight), r.top, r.right, r.top + 1}, color);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, color);
    Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, color);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
  }
}

void Line(HDC dc, const RECT& rect, LineSide side, bool raised) {
  const TColor first = raised ? clBtnHighlight : clBtnShadow;
  const TColor second = raised ? clBtnShadow : clBtnHighlight;
  switch (side) {
    case LineSide::Top:
      Fill(dc, RECT{rect.left, rect.top, rect.right, rect.top + 1}, first);
      Fill(dc, RECT{rect.left, rect.top + 1, rect.right, rect.top + 2}, second);
      return;
    case LineSide::Bottom:
      Fill(dc, RECT{rect.left, rect.bottom - 2, rect.right, rect.bottom - 1}, first);
      Fill(dc, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, second);
      return;
    case LineSide::Left:
      Fill(dc, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, first);
      Fill(dc, RECT{rect.left + 1, rect.top, rect.left + 2, rect.bottom}, second);
      return;
    case LineSide::Right:
      Fill(dc, RECT{rect.right - 2, rect.top, rect.right - 1, rect.bottom}, first);
      Fill(dc, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, second);
      return;
  }
}

namespace {

void Triangle(HDC dc, const RECT& rect, Direction direction, TColor color) {
  // Four rows of 7, 5, 3 and 1 pixels.
  constexpr int kRows = 4;
  const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
  for (int i = 0; i < kRows; ++i) {
    const int half = kRows - 1 - i;
    switch (direction) {
      case Direction::Down:
        Fill(dc, RECT{cx - half, cy - 2 + i, cx + half + 1, cy - 1 + i}, color);
        break;
      case Direction::Up:
        Fill(dc, RECT{cx - half, cy + 1 - i, cx + half + 1, cy + 2 - i}, color);
        break;
      case Direction::Right:
        Fill(dc, RECT{cx - 2 + i, cy - half, cx - 1 + i, cy + half + 1}, color);
        break;
      case Direction::Left:
        Fill(dc, RECT{cx + 1 - i, cy - half, cx + 2 - i, cy + half + 1}, color);
        break;
    }
  }
}

}  // namespace

void Arrow(HDC dc, const RECT& rect, Direction direction, bool enabled) {
  if (enabled) return Triangle(dc, rect, direction, clBtnText);
  RECT shifted = rect;
  OffsetRect(&shifted, 1, 1);
  Triangle(dc, shifted, direction, clBtnHighlight);
  Triangle(dc, rect, direction, clBtnShadow);
}

void ArrowButton(HDC dc, const RECT& rect, Direction direction, bool pressed, bool enabled) {
  RECT r = rect;
  if (pressed) {
    Frame3D(dc, r, clBtnShadow, clBtnShadow, 1);
  } else {
    Frame3D(dc, r, kLight, kDarkShadow, 1);
    Frame3D(dc, r, clBtnHighlight, clBtnShadow, 1);
  }
  Fill(dc, r, clBtnFace);
  if (pressed) OffsetRect(&r, 1, 1);
  Arrow(dc, r, direction, enabled);
}

namespace {

// The classic half-tone of face and highlight, for tracks and buttons that stay down.
void Dither(HDC dc, const RECT& rect) {
  Fill(dc, rect, clBtnFace);
  const COLORREF light = ColorToRGB(clBtnHighlight);
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left + ((rect.left + y) & 1); x < rect.right; x += 2) SetPixel(dc, x, y, light);
}

}  // namespace

void ScrollTrack(HDC dc, const RECT& rect, bool pressed) {
  if (pressed)
    Fill(dc, rect, kDarkShadow);
  else
    Dither(dc, rect);
}

void ScrollThumb(HDC dc, const RECT& rect) {
  RECT r = rect;
  Frame3D(dc, r, kLight, kDarkShadow, 1);
  Frame3D(dc, r, clBtnHighlight, clBtnShadow, 1);
  Fill(dc, r, clBtnFace);
}

void SpeedButtonFace(HDC dc, const RECT& rect, bool flat, bool pressed, bool down, bool hovered) {
  RECT r = rect;
  if (pressed || down) {
    Frame3D(dc, r, clBtnShadow, clBtnHighlight, 1);
    if (!flat) Frame3D(dc, r, kDarkShadow, kLight, 1);
    // A button that stays down shows a lighter face, unless it is being pressed.
    if (down && !pressed)
      Dither(dc, r);
    else
      Fill(dc, r, clBtnFace);
  } else if (!flat) {
    Frame3D(dc, r, clBtnHighlight, kDarkShadow, 1);
    Frame3D(dc, r, kLight, clBtnShadow, 1);
    Fill(dc, r, clBtnFace);
  } else {
    if (hovered) Frame3D(dc, r, clBtnHighlight, clBtnShadow, 1);
    Fill(dc, r, clBtnFace);
  }
}

void Glyph(HDC dc, int x, int y, TBitmap& glyph, bool enabled) {
  if (glyph.Empty()) return;
  TCanvas& source = glyph.Canvas();
  const COLORREF transparent = source.Pixel(0, glyph.Height() - 1);
  const COLORREF highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  for (int pass = enabled ? 1 : 0; pass < 2; ++pass) {
    for (int row = 0; row < glyph.Height(); ++row) {
      for (int column = 0; column < glyph.Width(); ++column) {
        const COLORREF color = source.Pixel(column, row);
        if (color == transparent) continue;
        if (enabled)
          SetPixel(dc, x + column, y + row, color);
        else if (pass == 0)
          SetPixel(dc, x + column + 1, y + row + 1, highlight);
        else
          SetPixel(dc, x + column, y + row, shadow);
      }
    }
  }
}

void Tab(HDC dc, const RECT& rect, const std::string& caption, TFont& font, bool selected, bool focused,
         bool hovered) {
  RECT r = rect;
  if (!selected) r.top += 2;
  Fill(dc, RECT{r.left + 2, r.top, r.right - 2, r.top + 1}, clBtnHighlight);
  SetPixel(dc, r.left + 1, r.top + 1, ColorToRGB(clBtnHighlight));
  Fill(dc, RECT{r.left, r.top + 2, r.left + 1, r.bottom}, clBtnHighlight);
  SetPixel(dc, r.right - 2, r.top + 1, ColorToRGB(kDarkShadow));
  Fill(dc, RECT{r.right - 2, r.top + 2, r.right - 1, r.bottom}, clBtnShadow);
  Fill(dc, RECT{r.right - 1, r.top + 2, r.right, r.bottom}, kDarkShadow);
  RECT face{r.left + 1, r.top + 1, r.right - 2, r.bottom};
  Fill(dc, RECT{face.left + 1, face.top, face.right - 1, face.top + 1}, clBtnFace);
  Fill(dc, RECT{face.left, face.top + 1, face.right, face.bottom}, clBtnFace);
  RECT text{face.left + 4, face.top + 1, face.right - 4, face.bottom - 1};
  const SIZE extent = TextExtent(dc, caption, font);
  Caption(dc, text, caption, font, taCenter, vaCenter, true);
  if (hovered && !selected)
    Fill(dc, RECT{face.left + 2, face.top + 1, face.right - 2, face.top + 2}, clSystemColor | COLOR_HOTLIGHT);
  if (focused) {
    const int x = (text.left + text.right - extent.cx) / 2, y = (text.top + text.bottom - extent.cy) / 2;
    FocusRect(dc, RECT{x - 2, y - 1, x + extent.cx + 2, y + extent.cy + 1});
  }
}

void PageFrame(HDC dc, RECT& rect) {
  Frame3D(dc, rect, clBtnHighlight, kDarkShadow, 1);
  Frame3D(dc, rect, clBtnFace, clBtnShadow, 1);
}

namespace {

// The columns [Left, Right) a shape covers on the pixel row Y.
std::pair<int, int> ShapeSpan(ShapeKind kind, const RECT& rect, int y) {
  const double width = rect.right - rect.left, height = rect.bottom - rect.top;
  const double rowCentre = y + 0.5 - rect.top;
  double inset = 0;
  if (kind == ShapeKind::Ellipse) {
    const double b = height / 2, dy = (rowCentre - b) / b;
    inset = width / 2 * (1 - std::sqrt(std::max(0.0, 1 - dy * dy)));
  } else if (kind == ShapeKind::RoundRect) {
    const double rx = width / 4, ry = height / 4;
    const double fromEdge = std::min(rowCentre, height - rowCentre);
    if (fromEdge < ry) {
      const double dy = (ry - fromEdge) / ry;
      inset = rx * (1 - std::sqrt(std::max(0.0, 1 - dy * dy)));
    }
  }
  const int shift = static_cast<int>(std::lround(inset));
  return {rect.left + shift, rect.right - shift};
}

}  // namespace

void Shape(HDC dc, const RECT& rect, ShapeKind kind, TColor brush, TColor pen, int penWidth) {
  if (IsRectEmpty(&rect)) return;
  RECT inner = rect;
  InflateRect(&inner, -penWidth, -penWidth);
  for (int y = rect.top; y < rect.bottom; ++y) {
    const auto [left, right] = ShapeSpan(kind, rect, y);
    if (right <= left) continue;
    if (y < inner.top || y >= inner.bottom || IsRectEmpty(&inner)) {
      if (penWidth > 0) Fill(dc, RECT{left, y, right, y + 1}, pen);
      continue;
    }
    auto [innerLeft, innerRight] = ShapeSpan(kind, inner, y);
    // The outline is at least the pen's width across, where the curve runs steep as well.
    innerLeft = std::max(innerLeft, left + penWidth);
    innerRight = std::min(innerRight, right - penWidth);
    if (innerRight <= innerLeft) {
      if (penWidth > 0) Fill(dc, RECT{left, y, right, y + 1}, pen);
      continue;
    }
    if (penWidth > 0) {
      Fill(dc, RECT{left, y, innerLeft, y + 1}, pen);
      Fill(dc, RECT{innerRight, y, right, y + 1}, pen);
    }
    if (brush != clNone) Fill(dc, RECT{innerLeft, y, innerRight, y + 1}, brush);
  }
}

void MessageSignIcon(HDC dc, int x, int y, MessageSign sign, TFont& font) {
  constexpr int size = kMessageSignSize;
  TColor text = clWhite;
  const char* mark = "i";
  if (sign == MessageSign::Warning) {
    // A yellow triangle with a dark outline, growing one pixel each side per two rows.
    for (int row = 2; row < size - 1; ++row) {
      const int half = (row - 1) / 2 + 1;
      const int cx = x + size / 2;
      Fill(dc, RECT{cx - half, y + row, cx + half, y + row + 1}, clBlack);
      if (row > 3 && row < size - 2)
        Fill(dc, RECT{cx - half + 1, y + row, cx + half - 1, y + row + 1}, clYellow);
    }
    text = clBlack;
    mark = "!";
  } else {
    const TColor disc = sign == MessageSign::Error ? clRed : clWhite;
    Shape(dc, RECT{x + 1, y + 1, x + size - 1, y + size - 1}, ShapeKind::Ellipse, disc, clBlack, 1);
    if (sign == MessageSign::Error) mark = "X";
    if (sign == MessageSign::Question) mark = "?";
    text = sign == MessageSign::Error ? clWhite : clBlue;
  }
  TFont bold;
  bold.Assign(&font);
  bold.SetSize(16);
  bold.SetStyle(TFontStyles{fsBold});
  bold.SetColor(text);
  const int top = sign == MessageSign::Warning ? y + 6 : y;
  Caption(dc, RECT{x, top, x + size, y + size}, mark, bold, taCenter, vaCenter, true);
}

void MenuFrame(HDC dc, RECT& rect) {
  Frame3D(dc, rect, kLight, kDarkShadow, 1);
  Frame3D(dc, rect, clBtnHighlight, clBtnShadow, 1);
}

void MenuItem(HDC dc, const RECT& rect, const std::string& caption, TFont& font, int textLeft,
              bool highlighted, bool enabled) {
  Fill(dc, rect, highlighted ? clHighlight : kMenu);
  const RECT text{rect.left + textLeft, rect.top, rect.right, rect.bottom};
  const TColor color = !enabled ? clBtnShadow : highlighted ? clHighlightText : kMenuText;
  AlignedText(dc, text, caption, font, taLeftJustify, vaCenter, color, !enabled && !highlighted);
}

void MenuSeparator(HDC dc, const RECT& rect) {
  Fill(dc, rect, kMenu);
  const int middle = (rect.top + rect.bottom) / 2;
  Line(dc, RECT{rect.left + 1, middle - 1, rect.right - 1, middle + 1}, LineSide::Top, false);
}

}  // namespace StylePainter

}  // namespace vantora::host
