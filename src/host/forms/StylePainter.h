// The one place where the look of the window layer lives: every bevel, frame, button face, focus
// rectangle and caption is drawn here, in colours taken by role from the drawing layer's table of
// system colours. Controls call these and never draw a bevel themselves.
#pragma once

#include <cstdint>
#include <string>

#include "host/classes/Types.h"
#include "host/forms/Font.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"

namespace vantora::host {

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
const TEnumInfo& TypeInfoOf(TBevelCut);

enum TVerticalAlignment : std::uint8_t { vaTop, vaCenter, vaBottom };

namespace StylePainter {

void Fill(HDC dc, const RECT& rect, TColor color);
// A frame of Width pixels, TopLeft on the upper and left sides, BottomRight on the others; Rect
// shrinks by the frame.
void Frame3D(HDC dc, RECT& rect, TColor topLeft, TColor bottomRight, int width);
// A raised or lowered bevel (or the space one would take); Rect shrinks by it.
void Bevel(HDC dc, RECT& rect, TBevelCut cut, int width);
// A push button: raised with a dark outer edge, sunken while pressed, a focus rectangle inside
// when focused, and the caption (grey and embossed when disabled).
void ButtonFace(HDC dc, const RECT& rect, const std::string& caption, TFont& font, bool pressed, bool focused,
                bool enabled, bool isDefault);
// A dotted rectangle inside Rect.
void FocusRect(HDC dc, const RECT& rect);
// One line of text aligned in Rect, clipped to it; '&' marks the accelerator, which is underlined.
// Disabled text is drawn embossed, as the classic look does.
void Caption(HDC dc, const RECT& rect, const std::string& text, TFont& font, TAlignment alignment,
             TVerticalAlignment layout, bool enabled);
// The text without accelerator marks ("&&" stays as one '&').
std::string StripAccelerator(const std::string& text);
SIZE TextExtent(HDC dc, const std::string& text, TFont& font);

}  // namespace StylePainter

}  // namespace vantora::host
