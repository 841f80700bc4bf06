// The one place where the look of the window layer lives: every bevel, frame, button face, focus
// rectangle and caption is drawn here, in colours taken by role from the drawing layer's table of
// system colours. Controls call these and never draw a bevel themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/Types.h"
#include "host/forms/Font.h"
#include "host/graphics/GdiOwners.h"
#include "host/graphics/Graphics.h"

VANTORA_API_BEGIN
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
// Text as the rows it shows: one per line, and with a WrapWidth above 0 as many words per row as fit
// (a word wider than that stands on a row of its own).
std::vector<std::string> TextLines(HDC dc, const std::string& text, TFont& font, int wrapWidth);

// --- Widgets ---

enum class Direction : std::uint8_t { Up, Down, Left, Right };
enum class CheckState : std::uint8_t { Unchecked, Checked, Grayed };
enum class LineSide : std::uint8_t { Top, Bottom, Left, Right };
enum class ShapeKind : std::uint8_t { Rectangle, RoundRect, Ellipse };

// Text as it stands ('&' is no accelerator), in Color, brush off; X and Y are its top-left corner.
void Text(HDC dc, int x, int y, const std::string& text, TFont& font, TColor color);
// The advance of every single-byte character in the font.
struct CharWidths {
  int width[256];
  int height;
};
CharWidths MeasureCharacters(TFont& font);
// The sunken two-pixel border of an edit, list or grid; Rect shrinks by it.
void FieldFrame(HDC dc, RECT& rect);
// The 13 x 13 box of a check box with its mark, at the box's top-left corner.
void CheckBox(HDC dc, int x, int y, CheckState state, bool enabled, bool pressed);
// The 12 x 12 circle of a radio button.
void RadioButton(HDC dc, int x, int y, bool checked, bool enabled, bool pressed);
inline constexpr int kCheckSize = 13;
// An etched frame (a group box's) with a gap in its top edge from GapLeft to GapRight.
void EtchedFrame(HDC dc, const RECT& rect, int gapLeft, int gapRight);
// An etched or raised line along one side of Rect.
void Line(HDC dc, const RECT& rect, LineSide side, bool raised);
// A small solid triangle centred in Rect.
void Arrow(HDC dc, const RECT& rect, Direction direction, bool enabled);
// The arrow button at the end of a scroll bar or combo box.
void ArrowButton(HDC dc, const RECT& rect, Direction direction, bool pressed, bool enabled);
// The track of a scroll bar (chequered, dark where pressed) and its thumb.
void ScrollTrack(HDC dc, const RECT& rect, bool pressed);
void ScrollThumb(HDC dc, const RECT& rect);
// A speed button: flat ones are bare until hovered; Down ones are sunken on a lighter face.
void SpeedButtonFace(HDC dc, const RECT& rect, bool flat, bool pressed, bool down, bool hovered);
// A button's picture at (X, Y): the colour of its bottom-left pixel is transparent; disabled, the
// picture is embossed in the shadow and highlight colours.
void Glyph(HDC dc, int x, int y, TBitmap& glyph, bool enabled);
// One tab; the selected one stands out by two pixels and joins the page below it.
void Tab(HDC dc, const RECT& rect, const std::string& caption, TFont& font, bool selected, bool focused,
         bool hovered);
// The raised border of a notebook page under a row of tabs; Rect shrinks by it.
void PageFrame(HDC dc, RECT& rect);
// The raised border of a popup menu; Rect shrinks by it.
void MenuFrame(HDC dc, RECT& rect);
// One entry of a menu, its caption TextLeft pixels into Rect with the accelerator underlined: on the
// highlight colour when Highlighted, embossed grey when disabled.
void MenuItem(HDC dc, const RECT& rect, const std::string& caption, TFont& font, int textLeft,
              bool highlighted, bool enabled);
// The etched line that parts groups of menu entries, across the middle of Rect.
void MenuSeparator(HDC dc, const RECT& rect);
// The 32 x 32 sign of a message box: a warning triangle, an error disc, an information or a
// question disc.
enum class MessageSign : std::uint8_t { Warning, Error, Information, Question };
inline constexpr int kMessageSignSize = 32;
void MessageSignIcon(HDC dc, int x, int y, MessageSign sign, TFont& font);
// A rectangle, rounded rectangle or ellipse filled with Brush (clNone: hollow) inside an outline of
// PenWidth pixels.
void Shape(HDC dc, const RECT& rect, ShapeKind kind, TColor brush, TColor pen, int penWidth);

}  // namespace StylePainter

}  // namespace vantora::host
VANTORA_API_END
