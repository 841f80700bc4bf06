// A grid of strings: ColCount x RowCount cells, the first FixedCols columns and FixedRows rows
// fixed (headers that do not scroll and cannot be selected), column widths of their own, a
// selected range made by dragging the mouse or with Shift and the arrow keys, scrolled to follow
// the current cell and by its scroll bars. OnClick follows every change of the selection.
#pragma once

#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/widgets/ScrollBar.h"

VANTORA_API_BEGIN
namespace vantora::host {

struct TGridRect {
  int Left, Top, Right, Bottom;
  bool operator==(const TGridRect&) const = default;
};

class TStringGrid : public TCustomControl {
  VANTORA_PERSISTENT(TStringGrid)

  explicit TStringGrid(TComponent* owner);

  int ColCount() const { return colCount_; }
  void SetColCount(int value) { SetCellCounts(value, rowCount_); }
  int RowCount() const { return rowCount_; }
  void SetRowCount(int value) { SetCellCounts(colCount_, value); }
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int value);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int value);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int value);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  bool RangeSelect() const { return rangeSelect_; }
  void SetRangeSelect(bool value) { rangeSelect_ = value; }

  const std::string& Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string& value);

  // The current cell (where the keyboard is) and the selected range round it and its anchor.
  int Col() const { return col_; }
  int Row() const { return row_; }
  void MoveTo(int col, int row, bool extend = false);
  TGridRect Selection() const;
  void SetSelection(const TGridRect& range);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int value);
  int TopRow() const { return topRow_; }
  void SetTopRow(int value);
  // The cell under a client point; false outside the cells.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  RECT CellRect(int col, int row) const;

  using TSelectCellEvent = std::function<void(TPersistent* sender, int col, int row, bool& canSelect)>;
  TSelectCellEvent OnSelectCell;

  void Loaded() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void WndProc(TMessage& message) override;
  void BoundsChanged(int oldWidth, int oldHeight) override;

 private:
  void SetCellCounts(int cols, int rows);
  RECT CellsArea() const;
  int FixedWidth() const;
  int FixedHeight() const;
  // The last column or row that starts inside the area.
  int LastVisibleCol() const;
  int LastVisibleRow() const;
  void MakeVisible(int col, int row);
  void UpdateScrollBars();

  int colCount_ = 5, rowCount_ = 5;
  int fixedCols_ = 1, fixedRows_ = 1;
  int defaultColWidth_ = 64, defaultRowHeight_ = 24;
  std::vector<int> colWidths_;
  std::vector<std::string> cells_;  // row by row
  int col_ = 1, row_ = 1, anchorCol_ = 1, anchorRow_ = 1;
  int leftCol_ = 1, topRow_ = 1;
  bool rangeSelect_ = true;
  TScrollBar* horizontal_;
  TScrollBar* vertical_;
};

}  // namespace vantora::host
VANTORA_API_END
