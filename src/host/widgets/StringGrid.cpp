#include "host/widgets/StringGrid.h"

#include <algorithm>

#include "host/forms/StylePainter.h"

namespace vantora::host {

namespace {

constexpr int kMaxCells = 1 << 22;  // a grid larger than this is refused rather than allocated

}  // namespace

const TClass& TStringGrid::StaticClass() {
  static const TClass& cls =
      ClassBuilder<TStringGrid>("TStringGrid", TCustomControl::StaticClass())
          .Property("ColCount", &TStringGrid::ColCount, &TStringGrid::SetColCount, 5)
          .Property("DefaultColWidth", &TStringGrid::DefaultColWidth, &TStringGrid::SetDefaultColWidth, 64)
          .Property("DefaultRowHeight", &TStringGrid::DefaultRowHeight, &TStringGrid::SetDefaultRowHeight, 24)
          .Property("FixedCols", &TStringGrid::FixedCols, &TStringGrid::SetFixedCols, 1)
          .Property("FixedRows", &TStringGrid::FixedRows, &TStringGrid::SetFixedRows, 1)
          .Property("RangeSelect", &TStringGrid::RangeSelect, &TStringGrid::SetRangeSelect, true)
          .Property("RowCount", &TStringGrid::RowCount, &TStringGrid::SetRowCount, 5)
          .Method("OnSelectCell")
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TStringGrid);

TStringGrid::TStringGrid(TComponent* owner)
    : TCustomControl(owner), horizontal_(new TScrollBar(this)), vertical_(new TScrollBar(this)) {
  SetControlStyle((ControlStyle() & ~csAcceptsControls) | csOpaque);
  SetColor(clWindow);
  SetTabStop(true);
  vertical_->SetKind(sbVertical);
  for (TScrollBar* bar : {horizontal_, vertical_}) {
    bar->SetTabStop(false);
    bar->SetVisible(false);
    bar->SetParent(this);
  }
  horizontal_->OnChange = [this](TPersistent*) { SetLeftCol(fixedCols_ + horizontal_->Position()); };
  vertical_->OnChange = [this](TPersistent*) { SetTopRow(fixedRows_ + vertical_->Position()); };
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  cells_.resize(static_cast<std::size_t>(colCount_ * rowCount_));
  SetBounds(0, 0, 320, 120);
}

void TStringGrid::SetCellCounts(int cols, int rows) {
  cols = std::max(cols, 1);
  rows = std::max(rows, 1);
  if (static_cast<long long>(cols) * rows > kMaxCells) throw EInvalidOperation("Grid too large");
  if (cols == colCount_ && rows == rowCount_) return;
  std::vector<std::string> cells(static_cast<std::size_t>(cols * rows));
  for (int r = 0; r < std::min(rows, rowCount_); ++r)
    for (int c = 0; c < std::min(cols, colCount_); ++c)
      cells[static_cast<std::size_t>(r * cols + c)] =
          std::move(cells_[static_cast<std::size_t>(r * colCount_ + c)]);
  cells_ = std::move(cells);
  colWidths_.resize(static_cast<std::size_t>(cols), defaultColWidth_);
  colCount_ = cols;
  rowCount_ = rows;
  fixedCols_ = std::min(fixedCols_, cols - 1);
  fixedRows_ = std::min(fixedRows_, rows - 1);
  MoveTo(col_, row_);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedCols(int value) {
  value = std::clamp(value, 0, colCount_ - 1);
  if (value == fixedCols_) return;
  fixedCols_ = value;
  leftCol_ = value;
  MoveTo(value, row_);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetFixedRows(int value) {
  value = std::clamp(value, 0, rowCount_ - 1);
  if (value == fixedRows_) return;
  fixedRows_ = value;
  topRow_ = value;
  MoveTo(col_, value);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetDefaultColWidth(int value) {
  value = std::max(value, 1);
  if (value == defaultColWidth_) return;
  defaultColWidth_ = value;
  std::fill(colWidths_.begin(), colWidths_.end(), value);
  UpdateScrollBars();
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
  value = std::max(value, 1);
  if (value == defaultRowHeight_) return;
  defaultRowHeight_ = value;
  UpdateScrollBars();
  Invalidate();
}

int TStringGrid::ColWidths(int col) const {
  if (col < 0 || col >= colCount_) RaiseListIndexError(col);
  return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::SetColWidths(int col, int width) {
  if (col < 0 || col >= colCount_) RaiseListIndexError(col);
  colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
  UpdateScrollBars();
  Invalidate();
}

const std::string& TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= colCount_) RaiseListIndexError(col);
  if (row < 0 || row >= rowCount_) RaiseListIndexError(row);
  return cells_[static_cast<std::size_t>(row * colCount_ + col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
  if (col < 0 || col >= colCount_) RaiseListIndexError(col);
  if (row < 0 || row >= rowCount_) RaiseListIndexError(row);
  cells_[static_cast<std::size_t>(row * colCount_ + col)] = value;
  Invalidate();
}

TGridRect TStringGrid::Selection() const {
  return TGridRect{std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
                   std::max(row_, anchorRow_)};
}

void TStringGrid::SetSelection(const TGridRect& range) {
  anchorCol_ = std::clamp(range.Left, fixedCols_, colCount_ - 1);
  anchorRow_ = std::clamp(range.Top, fixedRows_, rowCount_ - 1);
  col_ = std::clamp(range.Right, fixedCols_, colCount_ - 1);
  row_ = std::clamp(range.Bottom, fixedRows_, rowCount_ - 1);
  MakeVisible(col_, row_);
  Invalidate();
}

void TStringGrid::MoveTo(int col, int row, bool extend) {
  col = std::clamp(col, fixedCols_, colCount_ - 1);
  row = std::clamp(row, fixedRows_, rowCount_ - 1);
  const TGridRect before = Selection();
  const bool moved = col != col_ || row != row_;
  if (moved && OnSelectCell && !IsLoading()) {
    bool canSelect = true;
    OnSelectCell(this, col, row, canSelect);
    if (!canSelect) return;
  }
  col_ = col;
  row_ = row;
  if (!extend || !rangeSelect_) {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  MakeVisible(col, row);
  if (Selection() == before && !moved) return;
  Invalidate();
  if (!IsLoading()) Click();
}

void TStringGrid::Loaded() {
  TCustomControl::Loaded();
  UpdateScrollBars();
}

int TStringGrid::FixedWidth() const {
  int width = 0;
  for (int c = 0; c < fixedCols_; ++c) width += colWidths_[static_cast<std::size_t>(c)] + 1;
  return width;
}

int TStringGrid::FixedHeight() const {
  return fixedRows_ * (defaultRowHeight_ + 1);
}

RECT TStringGrid::CellsArea() const {
  RECT r = ClientRect();
  InflateRect(&r, -2, -2);
  if (vertical_->Visible()) r.right -= kScrollBarWidth;
  if (horizontal_->Visible()) r.bottom -= kScrollBarWidth;
  return r;
}

RECT TStringGrid::CellRect(int col, int row) const {
  const RECT area = CellsArea();
  int x = area.left;
  if (col < fixedCols_) {
    for (int c = 0; c < col; ++c) x += colWidths_[static_cast<std::size_t>(c)] + 1;
  } else {
    x += FixedWidth();
    if (col < leftCol_) return RECT{0, 0, 0, 0};
    for (int c = leftCol_; c < col; ++c) x += colWidths_[static_cast<std::size_t>(c)] + 1;
  }
  int y = area.top;
  if (row < fixedRows_) {
    y += row * (defaultRowHeight_ + 1);
  } else {
    if (row < topRow_) return RECT{0, 0, 0, 0};
    y += FixedHeight() + (row - topRow_) * (defaultRowHeight_ + 1);
  }
  return RECT{x, y, x + colWidths_[static_cast<std::size_t>(col)], y + defaultRowHeight_};
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
  const RECT area = CellsArea();
  if (!PtInRect(&area, POINT{x, y})) return false;
  col = -1;
  int left = area.left;
  for (int c = 0; c < colCount_ && col < 0; ++c) {
    if (c == fixedCols_) c = leftCol_;
    if (c >= colCount_) break;
    left += colWidths_[static_cast<std::size_t>(c)] + 1;
    if (x < left) col = c;
  }
  const int fixedHeight = FixedHeight();
  if (y - area.top < fixedHeight)
    row = (y - area.top) / (defaultRowHeight_ + 1);
  else
    row = topRow_ + (y - area.top - fixedHeight) / (defaultRowHeight_ + 1);
  return col >= 0 && row < rowCount_;
}

int TStringGrid::LastVisibleCol() const {
  const RECT area = CellsArea();
  int x = area.left + FixedWidth(), c = leftCol_;
  while (c < colCount_ && x + colWidths_[static_cast<std::size_t>(c)] <= area.right)
    x += colWidths_[static_cast<std::size_t>(c++)] + 1;
  return std::max(leftCol_, c - 1);
}

int TStringGrid::LastVisibleRow() const {
  const RECT area = CellsArea();
  const int rows = (area.bottom - area.top - FixedHeight()) / (defaultRowHeight_ + 1);
  return std::clamp(topRow_ + rows - 1, topRow_, rowCount_ - 1);
}

void TStringGrid::SetLeftCol(int value) {
  value = std::clamp(value, fixedCols_, colCount_ - 1);
  if (value == leftCol_) return;
  leftCol_ = value;
  horizontal_->SetPosition(value - fixedCols_);
  Invalidate();
}

void TStringGrid::SetTopRow(int value) {
  value = std::clamp(value, fixedRows_, rowCount_ - 1);
  if (value == topRow_) return;
  topRow_ = value;
  vertical_->SetPosition(value - fixedRows_);
  Invalidate();
}

void TStringGrid::MakeVisible(int col, int row) {
  if (col < leftCol_) SetLeftCol(col);
  while (col > LastVisibleCol() && leftCol_ < col) SetLeftCol(leftCol_ + 1);
  if (row < topRow_) SetTopRow(row);
  while (row > LastVisibleRow() && topRow_ < row) SetTopRow(topRow_ + 1);
}

void TStringGrid::UpdateScrollBars() {
  const RECT client = ClientRect();
  int contentWidth = 0;
  for (int w : colWidths_) contentWidth += w + 1;
  const int contentHeight = rowCount_ * (defaultRowHeight_ + 1);
  const int innerWidth = client.right - 4, innerHeight = client.bottom - 4;
  bool needH = contentWidth > innerWidth, needV = contentHeight > innerHeight;
  needH = needH || (needV && contentWidth > innerWidth - kScrollBarWidth);
  needV = needV || (needH && contentHeight > innerHeight - kScrollBarWidth);
  horizontal_->SetVisible(needH);
  vertical_->SetVisible(needV);
  horizontal_->SetBounds(2, client.bottom - 2 - kScrollBarWidth, innerWidth - (needV ? kScrollBarWidth : 0),
                         kScrollBarWidth);
  vertical_->SetBounds(client.right - 2 - kScrollBarWidth, 2, kScrollBarWidth,
                       innerHeight - (needH ? kScrollBarWidth : 0));
  horizontal_->SetParams(leftCol_ - fixedCols_, 0, std::max(0, colCount_ - fixedCols_ - 1));
  vertical_->SetParams(topRow_ - fixedRows_, 0, std::max(0, rowCount_ - fixedRows_ - 1));
}

void TStringGrid::Paint() {
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  StylePainter::FieldFrame(dc, r);
  const RECT area = CellsArea();
  StylePainter::Fill(dc, area, Color());
  if (horizontal_->Visible() && vertical_->Visible())
    StylePainter::Fill(dc, RECT{area.right, area.bottom, r.right, r.bottom}, clBtnFace);
  SavedDC saved(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const TGridRect selection = Selection();
  const TColor gridLine = clBtnFace;
  const bool enabled = IsEnabledInTree();
  const int textHeight = StylePainter::TextExtent(dc, "Ag", Font()).cy;
  const auto paintCell = [&](int c, int rw) {
    const RECT cell = CellRect(c, rw);
    if (IsRectEmpty(&cell)) return;
    // The grid line runs along the right and bottom of each cell.
    StylePainter::Fill(dc, RECT{cell.right, cell.top, cell.right + 1, cell.bottom + 1}, gridLine);
    StylePainter::Fill(dc, RECT{cell.left, cell.bottom, cell.right, cell.bottom + 1}, gridLine);
    const bool fixed = c < fixedCols_ || rw < fixedRows_;
    const bool selected = !fixed && c >= selection.Left && c <= selection.Right && rw >= selection.Top &&
                          rw <= selection.Bottom;
    RECT inner = cell;
    TColor textColor = enabled ? Font().Color() : clGrayText;
    if (fixed) {
      StylePainter::Bevel(dc, inner, bvRaised, 1);
      StylePainter::Fill(dc, inner, clBtnFace);
      textColor = enabled ? clBtnText : clGrayText;
    } else if (selected) {
      StylePainter::Fill(dc, inner, clHighlight);
      textColor = clHighlightText;
    }
    const std::string& text = cells_[static_cast<std::size_t>(rw * colCount_ + c)];
    if (!text.empty()) {
      SavedDC clip(dc);
      IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
      StylePainter::Text(dc, inner.left + 2, inner.top + (inner.bottom - inner.top - textHeight) / 2, text,
                         Font(), textColor);
    }
    if (c == col_ && rw == row_ && Focused()) StylePainter::FocusRect(dc, cell);
  };
  const int lastCol = std::min(colCount_ - 1, LastVisibleCol() + 1);
  const int lastRow = std::min(rowCount_ - 1, LastVisibleRow() + 1);
  for (int rw = 0; rw <= lastRow; ++rw) {
    if (rw == fixedRows_) rw = std::max(rw, topRow_);
    for (int c = 0; c <= lastCol; ++c) {
      if (c == fixedCols_) c = std::max(c, leftCol_);
      if (c <= lastCol) paintCell(c, rw);
    }
  }
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  int c = 0, rw = 0;
  if (button == TMouseButton::Left && MouseToCell(x, y, c, rw) && c >= fixedCols_ && rw >= fixedRows_)
    MoveTo(c, rw, (shift & ssShift) != 0);
}

void TStringGrid::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (!(ControlState() & csLButtonDown)) return;
  // Dragging past an edge scrolls on and keeps extending.
  const RECT area = CellsArea();
  int c = col_, rw = row_;
  if (!MouseToCell(x, y, c, rw)) {
    if (x >= area.right) c = LastVisibleCol() + 1;
    if (y >= area.bottom) rw = LastVisibleRow() + 1;
  }
  if (x < area.left + FixedWidth()) c = leftCol_ - 1;
  if (y < area.top + FixedHeight()) rw = topRow_ - 1;
  MoveTo(c, rw, true);
}

void TStringGrid::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool extend = (shift & ssShift) != 0;
  const int page = std::max(1, LastVisibleRow() - topRow_);
  switch (key) {
    case VK_LEFT:
      MoveTo(col_ - 1, row_, extend);
      break;
    case VK_RIGHT:
      MoveTo(col_ + 1, row_, extend);
      break;
    case VK_UP:
      MoveTo(col_, row_ - 1, extend);
      break;
    case VK_DOWN:
      MoveTo(col_, row_ + 1, extend);
      break;
    case VK_PRIOR:
      MoveTo(col_, row_ - page, extend);
      break;
    case VK_NEXT:
      MoveTo(col_, row_ + page, extend);
      break;
    case VK_HOME:
      MoveTo(fixedCols_, (shift & ssCtrl) ? fixedRows_ : row_, extend);
      break;
    case VK_END:
      MoveTo(colCount_ - 1, (shift & ssCtrl) ? rowCount_ - 1 : row_, extend);
      break;
    default:
      return;
  }
  key = 0;
}

void TStringGrid::WndProc(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    const int notches = static_cast<int>(static_cast<std::intptr_t>(message.WParam)) / 120;
    SetTopRow(topRow_ - notches);
    message.Result = 1;
    return;
  }
  if (message.Msg == WM_SETFOCUS || message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(message);
}

void TStringGrid::BoundsChanged(int oldWidth, int oldHeight) {
  TCustomControl::BoundsChanged(oldWidth, oldHeight);
  UpdateScrollBars();
}

}  // namespace vantora::host
