// The editable text field everything typed into is built on: a caret, a selection made with the
// mouse (a double click takes a word) or with Shift and the movement keys, cut, copy and paste
// through the backend's clipboard, MaxLength, ReadOnly, undo of the last change, OnChange after
// every change, and horizontal scrolling of text wider than the field. Typed and pasted text is
// untrusted: control characters are refused, invalid UTF-8 is dropped.
//
// The layout of the text is a single line here; TMemo lays it out in lines through the virtual
// layout functions.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/forms/Controls.h"
#include "host/forms/StylePainter.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TCustomEdit : public TCustomControl {
  VANTORA_PERSISTENT(TCustomEdit)

  explicit TCustomEdit(TComponent* owner);

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  // The selection runs from the anchor to the caret; SelStart is its lower end.
  int SelStart() const { return std::min(caret_, anchor_); }
  void SetSelStart(int value);
  int SelLength() const { return std::abs(caret_ - anchor_); }
  void SetSelLength(int value);
  std::string SelText() const;
  // Replaces the selection as typing would (MaxLength applies, undo remembers it).
  void SetSelText(const std::string& value);
  int CaretPos() const { return caret_; }
  void SelectAll();
  void ClearSelection();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  bool CanUndo() const { return canUndo_; }
  void Undo();
  void Clear() { SetText(""); }
  // Text, published under its own name for form streams.
  std::string EditText() const { return Text(); }
  void SetEditText(const std::string& value) { SetText(value); }

  TNotifyEvent OnChange;

 protected:
  // Fires OnChange; runs after every change of the text.
  virtual void Change();
  // Layout: the text position nearest a client point, and the client position of a text position
  // (the top of the caret there).
  virtual int PositionAt(int x, int y);
  virtual POINT PositionPoint(int position);
  virtual void ScrollToCaret();
  virtual void PaintText(HDC dc, const RECT& area);
  // The caret a step up or down a line (or page) would reach; the single line has none.
  virtual int VerticalMove(int, int lines) { return lines < 0 ? 0 : TextLength(); }
  // The ends of the line that holds Position.
  virtual int LineStartOf(int) { return 0; }
  virtual int LineEndOf(int) { return TextLength(); }
  virtual bool Multiline() const { return false; }
  // What the layout must recompute after the text, the font or the size changed.
  virtual void LayoutChanged() {}

  // The area inside the border where the text runs.
  virtual RECT TextArea() const;
  int TextLength() const { return static_cast<int>(Text().size()); }
  int LineHeight() const { return widths_.height; }
  // The width of Count characters of the text from Start.
  int TextWidth(int start, int count) const;
  // Draws Text[Start, End) from X on the row at Y, with the selection highlighted.
  void PaintRun(HDC dc, int start, int end, int x, int y);
  // Moves the caret (extending the selection when Extend) and shows it.
  void MoveCaret(int position, bool extend);
  int ScrollX() const { return scrollX_; }
  void SetScrollX(int value);
  // Text accepted from outside: control characters go (line breaks stay in multi-line text).
  std::string Sanitize(const std::string& text) const;

  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void DblClick() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WndProc(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMEnter(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void BoundsChanged(int oldWidth, int oldHeight) override;

 private:
  // Puts Insert in place of the selection; answers whether the text changed.
  bool Replace(const std::string& insert);
  int WordStart(int position) const;
  int WordEnd(int position) const;

  StylePainter::CharWidths widths_{};
  int caret_ = 0;
  int anchor_ = 0;
  int scrollX_ = 0;
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool autoSelect_ = true;
  bool hideSelection_ = true;
  bool modified_ = false;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool editing_ = false;  // the text changes through the edit itself, which places the caret
  std::string undoText_;
  int undoCaret_ = 0;
  bool canUndo_ = false;
  bool selectingWords_ = false;
  bool wordClick_ = false;
};

class TEdit : public TCustomEdit {
  VANTORA_PERSISTENT(TEdit)
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

}  // namespace vantora::host
VANTORA_API_END
