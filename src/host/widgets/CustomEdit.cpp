#include "host/widgets/CustomEdit.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "host/forms/Application.h"

namespace vantora::host {

namespace {

constexpr int kTextMargin = 3;

bool IsWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || u == '_' || u >= 0xC0;
}

TBackend* Backend() {
  return Application ? &Application->Backend() : nullptr;
}

void Beep() {
  if (TBackend* backend = Backend()) backend->Beep();
}

}  // namespace

const TClass& TCustomEdit::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TCustomEdit>("TCustomEdit", TCustomControl::StaticClass())
          .Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true)
          .Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, bsSingle)
          .Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection, true)
          .Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0)
          .Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false)
          // The text is written as the caption; forms may name it Text.
          .Property("Text", &TCustomEdit::EditText, &TCustomEdit::SetEditText)
          .Stored(false)
          .Method("OnChange")
          .Build();
  return cls;
}

const TClass& TEdit::StaticClass() {
  static const TClass& cls = ClassBuilder<TEdit>("TEdit", TCustomEdit::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TEdit);

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csOpaque | csDoubleClicks);
  SetColor(clWindow);
  SetTabStop(true);
  SetCursor(TCursor::IBeam);
  widths_ = StylePainter::MeasureCharacters(Font());
  SetBounds(0, 0, 121, 21);
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  Invalidate();
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle value) {
  value = value == bsNone ? bsNone : bsSingle;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  LayoutChanged();
  Invalidate();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  Invalidate();
}

void TCustomEdit::SetSelStart(int value) {
  const int position = std::clamp(value, 0, TextLength());
  caret_ = anchor_ = position;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(int value) {
  anchor_ = SelStart();
  caret_ = std::clamp(anchor_ + std::max(value, 0), 0, TextLength());
  ScrollToCaret();
  Invalidate();
}

std::string TCustomEdit::SelText() const {
  return Text().substr(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& value) {
  Replace(Sanitize(value));
}

void TCustomEdit::SelectAll() {
  anchor_ = 0;
  caret_ = TextLength();
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::ClearSelection() {
  if (!readOnly_ && SelLength() > 0) Replace("");
}

void TCustomEdit::CopyToClipboard() {
  if (SelLength() == 0) return;
  if (TBackend* backend = Backend()) backend->SetClipboardText(Utf8Text(SelText()));
}

void TCustomEdit::CutToClipboard() {
  if (readOnly_ || SelLength() == 0) return;
  CopyToClipboard();
  Replace("");
}

void TCustomEdit::PasteFromClipboard() {
  if (readOnly_) return;
  if (TBackend* backend = Backend()) {
    const std::string text = Sanitize(SingleByteText(backend->GetClipboardText()));
    if (!text.empty()) Replace(text);
  }
}

void TCustomEdit::Undo() {
  if (!canUndo_ || readOnly_) return;
  // Undoing twice redoes, as the classic edit's one-step undo does.
  std::string before = Text();
  const int caretBefore = caret_;
  editing_ = true;
  SetText(undoText_);
  editing_ = false;
  undoText_ = std::move(before);
  caret_ = anchor_ = std::clamp(undoCaret_, 0, TextLength());
  undoCaret_ = caretBefore;
  modified_ = true;
  ScrollToCaret();
  Change();
}

std::string TCustomEdit::Sanitize(const std::string& text) const {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n' && !Multiline()) break;  // a single line takes the first line of a paste
    if (c == '\n' || u >= 32)
      out += c;
    else if (c == '\t')
      out += ' ';
  }
  return out;
}

bool TCustomEdit::Replace(const std::string& insert) {
  if (readOnly_) return false;
  const int start = SelStart(), length = SelLength();
  std::string piece = insert;
  if (maxLength_ > 0) {
    const int room = maxLength_ - (TextLength() - length);
    if (room < static_cast<int>(piece.size())) {
      piece.resize(static_cast<std::size_t>(std::max(room, 0)));
      Beep();
    }
  }
  if (length == 0 && piece.empty()) return false;
  undoText_ = Text();
  undoCaret_ = caret_;
  canUndo_ = true;
  std::string text = Text();
  text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), piece);
  editing_ = true;
  SetText(text);
  editing_ = false;
  caret_ = anchor_ = start + static_cast<int>(piece.size());
  modified_ = true;
  ScrollToCaret();
  Change();
  return true;
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CMTextChanged(TMessage& message) {
  TCustomControl::CMTextChanged(message);
  LayoutChanged();
  Invalidate();
  if (editing_) return;
  // Text set from outside: the caret goes to the start and there is nothing to undo.
  caret_ = anchor_ = 0;
  scrollX_ = 0;
  canUndo_ = false;
  if (!IsLoading()) Change();
}

void TCustomEdit::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  widths_ = StylePainter::MeasureCharacters(Font());
  LayoutChanged();
  ScrollToCaret();
}

void TCustomEdit::CMEnabledChanged(TMessage& message) {
  TCustomControl::CMEnabledChanged(message);
  Invalidate();
}

void TCustomEdit::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomControl::BoundsChanged(oldWidth, oldHeight);
  LayoutChanged();
  ScrollToCaret();
}

void TCustomEdit::CMEnter(TMessage& message) {
  if (autoSelect_ && !Multiline() && !(ControlState() & csLButtonDown)) SelectAll();
  TCustomControl::CMEnter(message);
}

RECT TCustomEdit::TextArea() const {
  RECT r = ClientRect();
  const int border = borderStyle_ == bsSingle ? 2 : 0;
  InflateRect(&r, -(border + kTextMargin), -(border + 1));
  return r;
}

int TCustomEdit::TextWidth(int start, int count) const {
  const std::string& text = Text();
  int width = 0;
  const int end = std::min(start + count, TextLength());
  for (int i = std::max(start, 0); i < end; ++i)
    width += widths_.width[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
  return width;
}

void TCustomEdit::SetScrollX(int value) {
  value = std::max(value, 0);
  if (value == scrollX_) return;
  scrollX_ = value;
  Invalidate();
}

int TCustomEdit::PositionAt(int x, int) {
  const RECT area = TextArea();
  const std::string& text = Text();
  int left = area.left - scrollX_;
  for (int i = 0; i < TextLength(); ++i) {
    const int w = widths_.width[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
    if (x < left + (w + 1) / 2) return i;
    left += w;
  }
  return TextLength();
}

POINT TCustomEdit::PositionPoint(int position) {
  const RECT area = TextArea();
  return POINT{area.left - scrollX_ + TextWidth(0, position), area.top};
}

void TCustomEdit::ScrollToCaret() {
  const RECT area = TextArea();
  const int width = area.right - area.left;
  if (width <= 0) return;
  const int caretX = TextWidth(0, caret_);
  // Jump a quarter of the field at a time, so that typing does not scroll on every letter.
  if (caretX - scrollX_ >= width)
    SetScrollX(caretX - width + width / 4);
  else if (caretX < scrollX_)
    SetScrollX(caretX - width / 4);
  // Text that fits again is shown from its start.
  if (scrollX_ > 0 && TextWidth(0, TextLength()) - scrollX_ < width - 1)
    SetScrollX(std::max(0, TextWidth(0, TextLength()) - width + 1));
}

void TCustomEdit::PaintRun(HDC dc, int start, int end, int x, int y) {
  const std::string& text = Text();
  const bool showSelection = Focused() || !hideSelection_;
  const int selStart = showSelection ? SelStart() : 0, selEnd = showSelection ? SelStart() + SelLength() : 0;
  const TColor textColor = IsEnabledInTree() ? Font().Color() : clGrayText;
  // Three pieces: before, in and after the selection.
  const int cuts[4] = {start, std::clamp(selStart, start, end), std::clamp(selEnd, start, end), end};
  for (int piece = 0; piece < 3; ++piece) {
    const int from = cuts[piece], to = cuts[piece + 1];
    if (to <= from) continue;
    const int width = TextWidth(from, to - from);
    const std::string run = text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    if (piece == 1) {
      StylePainter::Fill(dc, RECT{x, y, x + width, y + LineHeight()}, clHighlight);
      StylePainter::Text(dc, x, y, run, Font(), clHighlightText);
    } else {
      StylePainter::Text(dc, x, y, run, Font(), textColor);
    }
    x += width;
  }
}

void TCustomEdit::PaintText(HDC dc, const RECT& area) {
  // Only the characters that show are drawn, however long the text.
  const std::string& text = Text();
  int x = area.left - scrollX_;
  int first = 0;
  while (first < TextLength()) {
    const int w = widths_.width[static_cast<unsigned char>(text[static_cast<std::size_t>(first)])];
    if (x + w > area.left) break;
    x += w;
    ++first;
  }
  int last = first, right = x;
  while (last < TextLength() && right < area.right)
    right += widths_.width[static_cast<unsigned char>(text[static_cast<std::size_t>(last++)])];
  PaintRun(dc, first, last, x, area.top);
}

void TCustomEdit::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  if (borderStyle_ == bsSingle) StylePainter::FieldFrame(dc, r);
  StylePainter::Fill(dc, r, IsEnabledInTree() ? Color() : clBtnFace);
  const RECT area = TextArea();
  SavedDC saved(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  PaintText(dc, area);
  if (Focused()) {
    const POINT p = PositionPoint(caret_);
    StylePainter::Fill(dc, RECT{p.x, p.y, p.x + 1, p.y + LineHeight()}, clWindowText);
  }
}

void TCustomEdit::MoveCaret(int position, bool extend) {
  caret_ = std::clamp(position, 0, TextLength());
  if (!extend) anchor_ = caret_;
  ScrollToCaret();
  Invalidate();
}

int TCustomEdit::WordStart(int position) const {
  const std::string& text = Text();
  int i = position;
  while (i > 0 && !IsWordChar(text[static_cast<std::size_t>(i - 1)])) --i;
  while (i > 0 && IsWordChar(text[static_cast<std::size_t>(i - 1)])) --i;
  return i;
}

int TCustomEdit::WordEnd(int position) const {
  const std::string& text = Text();
  int i = position;
  while (i < TextLength() && IsWordChar(text[static_cast<std::size_t>(i)])) ++i;
  while (i < TextLength() && !IsWordChar(text[static_cast<std::size_t>(i)]) &&
         text[static_cast<std::size_t>(i)] != '\n')
    ++i;
  return i;
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::Left) return;
  // The press of a double click keeps the word its double click selected.
  if (std::exchange(wordClick_, false)) return;
  selectingWords_ = false;
  MoveCaret(PositionAt(x, y), (shift & ssShift) != 0);
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!(ControlState() & csLButtonDown) || selectingWords_) return;
  MoveCaret(PositionAt(x, y), true);
}

void TCustomEdit::DblClick() {
  TCustomControl::DblClick();
  // The word under the caret (or the gap between words) becomes the selection.
  const std::string& text = Text();
  int start = caret_, end = caret_;
  const auto at = [&](int i) { return text[static_cast<std::size_t>(i)]; };
  const bool word = caret_ < TextLength() ? IsWordChar(at(caret_)) : caret_ > 0 && IsWordChar(at(caret_ - 1));
  while (start > 0 && IsWordChar(at(start - 1)) == word && at(start - 1) != '\n') --start;
  while (end < TextLength() && IsWordChar(at(end)) == word && at(end) != '\n') ++end;
  anchor_ = start;
  caret_ = end;
  selectingWords_ = true;
  wordClick_ = true;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool extend = (shift & ssShift) != 0, ctrl = (shift & ssCtrl) != 0;
  switch (key) {
    case VK_LEFT:
      if (!extend && SelLength() > 0)
        MoveCaret(SelStart(), false);
      else
        MoveCaret(ctrl ? WordStart(caret_) : caret_ - 1, extend);
      break;
    case VK_RIGHT:
      if (!extend && SelLength() > 0)
        MoveCaret(SelStart() + SelLength(), false);
      else
        MoveCaret(ctrl ? WordEnd(caret_) : caret_ + 1, extend);
      break;
    case VK_UP:
    case VK_DOWN:
      if (!Multiline()) return;
      MoveCaret(VerticalMove(caret_, key == VK_UP ? -1 : 1), extend);
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      if (!Multiline()) return;
      const int page = std::max(1, (TextArea().bottom - TextArea().top) / std::max(LineHeight(), 1) - 1);
      MoveCaret(VerticalMove(caret_, key == VK_PRIOR ? -page : page), extend);
      break;
    }
    case VK_HOME:
      MoveCaret(ctrl ? 0 : LineStartOf(caret_), extend);
      break;
    case VK_END:
      MoveCaret(ctrl ? TextLength() : LineEndOf(caret_), extend);
      break;
    case VK_DELETE:
      if (readOnly_) break;
      if (SelLength() == 0) {
        if (caret_ >= TextLength()) break;
        anchor_ = caret_ + 1;
      }
      if (extend)
        CutToClipboard();
      else
        Replace("");
      break;
    case VK_RETURN:
      // Taken here, so that the form's default button does not take it.
      if (!Multiline()) return;
      if (!readOnly_) Replace("\n");
      break;
    case VK_INSERT:
      if (ctrl)
        CopyToClipboard();
      else if (extend)
        PasteFromClipboard();
      else
        return;
      break;
    default:
      if (!ctrl) return;
      if (key == 'A')
        SelectAll();
      else if (key == 'C')
        CopyToClipboard();
      else if (key == 'X')
        CutToClipboard();
      else if (key == 'V')
        PasteFromClipboard();
      else if (key == 'Z')
        Undo();
      else
        return;
  }
  key = 0;
}

void TCustomEdit::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  if (c == 0) return;
  if (c == VK_BACK) {
    if (readOnly_) return;
    if (SelLength() == 0) {
      if (caret_ == 0) return;
      anchor_ = caret_ - 1;
    }
    Replace("");
    return;
  }
  // Other control characters are no text.
  if (c < 32 || c == 127) return;
  if (readOnly_) {
    Beep();
    return;
  }
  Replace(std::string(1, key));
}

void TCustomEdit::WndProc(TMessage& message) {
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(message);
}

}  // namespace vantora::host
