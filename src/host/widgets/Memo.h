// A memo: the edit's text in lines (Lines holds them), wrapped at word boundaries when WordWrap,
// scrolled by a vertical scroll bar, the wheel and the caret; Enter starts a new line.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "VantoraExport.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ScrollBar.h"
#include "host/widgets/Strings.h"

VANTORA_API_BEGIN
namespace vantora::host {

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
const TEnumInfo& TypeInfoOf(TScrollStyle);

class TMemo : public TCustomEdit {
  VANTORA_PERSISTENT(TMemo)

  explicit TMemo(TComponent* owner);
  ~TMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* value) { lines_->Assign(value); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Which scroll bars show; the horizontal one only without WordWrap (wrapped lines never run
  // past the edge). Long lines scroll with the caret either way.
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  int TopRow() const { return topRow_; }
  void SetTopRow(int value);
  // The text scrolled sideways by this many pixels.
  int LeftPixel() const { return ScrollX(); }
  // Rows as laid out (a wrapped line takes several).
  int RowCount();

 protected:
  bool Multiline() const override { return true; }
  RECT TextArea() const override;
  int PositionAt(int x, int y) override;
  POINT PositionPoint(int position) override;
  void ScrollToCaret() override;
  void PaintText(HDC dc, const RECT& area) override;
  int VerticalMove(int position, int lines) override;
  int LineStartOf(int position) override;
  int LineEndOf(int position) override;
  void LayoutChanged() override;
  void CMTextChanged(TMessage& message) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void WndProc(TMessage& message) override;

 private:
  struct Row {
    int start, end;  // the row's characters, without the line break
  };
  const std::vector<Row>& Rows();
  int RowOf(int position);
  int VisibleRows() const;
  // The position in Row nearest X (client coordinates).
  int PositionInRow(int row, int x);
  void UpdateScrollBars();
  // The width of the widest row.
  int ContentWidth();
  void LinesChanged();

  std::unique_ptr<TStrings> lines_;
  TScrollBar* scrollBar_;
  TScrollBar* horizontal_;
  std::vector<Row> rows_;
  bool rowsValid_ = false;
  bool wordWrap_ = true;
  bool syncing_ = false;
  TScrollStyle scrollBars_ = ssNone;
  int topRow_ = 0;
};

}  // namespace vantora::host
VANTORA_API_END
