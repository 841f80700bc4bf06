#include "host/widgets/Memo.h"

#include <algorithm>

namespace vantora::host {

namespace {

constexpr int kWheelRows = 3;

}  // namespace

const TEnumInfo& TypeInfoOf(TScrollStyle) {
  static const TEnumInfo info{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
  return info;
}

const TClass& TMemo::StaticClass() {
  static const TClass& cls = ClassBuilder<TMemo>("TMemo", TCustomEdit::StaticClass())
                                 .Property("Lines", &TMemo::Lines, &TMemo::SetLines)
                                 .Property("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, ssNone)
                                 .Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap, true)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TMemo);

TMemo::TMemo(TComponent* owner)
    : TCustomEdit(owner),
      lines_(std::make_unique<TStrings>()),
      scrollBar_(new TScrollBar(this)),
      horizontal_(new TScrollBar(this)) {
  scrollBar_->SetKind(sbVertical);
  for (TScrollBar* bar : {scrollBar_, horizontal_}) {
    bar->SetTabStop(false);
    bar->SetVisible(false);
    bar->SetParent(this);
  }
  scrollBar_->OnChange = [this](TPersistent*) { SetTopRow(scrollBar_->Position()); };
  horizontal_->OnChange = [this](TPersistent*) { SetScrollX(horizontal_->Position()); };
  lines_->OnChange = [this] { LinesChanged(); };
  SetAutoSelect(false);
  SetBounds(Left(), Top(), 185, 89);
}

TMemo::~TMemo() {
  lines_->OnChange = nullptr;
}

void TMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  LayoutChanged();
  ScrollToCaret();
  Invalidate();
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  LayoutChanged();
  Invalidate();
}

void TMemo::SetTopRow(int value) {
  value = std::clamp(value, 0, std::max(0, RowCount() - VisibleRows()));
  if (value == topRow_) return;
  topRow_ = value;
  scrollBar_->SetPosition(value);
  Invalidate();
}

int TMemo::RowCount() {
  return static_cast<int>(Rows().size());
}

void TMemo::LinesChanged() {
  if (syncing_) return;
  syncing_ = true;
  std::string text = lines_->Text();
  if (!text.empty()) text.pop_back();  // the last line's break
  SetText(text);
  syncing_ = false;
}

void TMemo::CMTextChanged(TMessage& message) {
  TCustomEdit::CMTextChanged(message);
  if (syncing_) return;
  syncing_ = true;
  lines_->SetText(Text());
  syncing_ = false;
}

RECT TMemo::TextArea() const {
  RECT r = TCustomEdit::TextArea();
  if (scrollBar_->Visible()) r.right -= kScrollBarWidth;
  if (horizontal_->Visible()) r.bottom -= kScrollBarWidth;
  return r;
}

int TMemo::VisibleRows() const {
  const RECT r = TextArea();
  return std::max(1, (r.bottom - r.top) / std::max(LineHeight(), 1));
}

void TMemo::LayoutChanged() {
  rowsValid_ = false;
  // The scroll bar's own size lives with the layout: it takes room from the text.
  if (horizontal_) UpdateScrollBars();
}

const std::vector<TMemo::Row>& TMemo::Rows() {
  if (rowsValid_) return rows_;
  rowsValid_ = true;
  rows_.clear();
  const std::string& text = Text();
  const RECT area = TextArea();
  const int width = area.right - area.left;
  const int length = TextLength();
  int lineStart = 0;
  while (true) {
    int lineEnd = lineStart;
    while (lineEnd < length && text[static_cast<std::size_t>(lineEnd)] != '\n') ++lineEnd;
    int rowStart = lineStart;
    if (wordWrap_ && width > 0) {
      // Greedy: break after the last space that fits; a word wider than the row breaks anywhere.
      int x = 0, lastSpace = -1;
      for (int i = lineStart; i < lineEnd; ++i) {
        const int w = TextWidth(i, 1);
        if (x + w > width && i > rowStart) {
          const int breakAt = lastSpace >= rowStart ? lastSpace + 1 : i;
          rows_.push_back(Row{rowStart, breakAt});
          rowStart = breakAt;
          x = TextWidth(rowStart, i - rowStart);
          lastSpace = -1;
        }
        if (text[static_cast<std::size_t>(i)] == ' ') lastSpace = i;
        x += w;
      }
    }
    rows_.push_back(Row{rowStart, lineEnd});
    if (lineEnd >= length) break;
    lineStart = lineEnd + 1;
  }
  return rows_;
}

int TMemo::RowOf(int position) {
  const std::vector<Row>& rows = Rows();
  // The last row that starts at or before the position.
  const auto it = std::upper_bound(rows.begin(), rows.end(), position,
                                   [](int p, const Row& row) { return p < row.start; });
  return std::max(0, static_cast<int>(it - rows.begin()) - 1);
}

int TMemo::PositionInRow(int row, int x) {
  const Row& r = Rows()[static_cast<std::size_t>(row)];
  int left = TextArea().left - ScrollX();
  for (int i = r.start; i < r.end; ++i) {
    const int w = TextWidth(i, 1);
    if (x < left + (w + 1) / 2) return i;
    left += w;
  }
  return r.end;
}

int TMemo::PositionAt(int x, int y) {
  const RECT area = TextArea();
  int row = topRow_ + (y - area.top) / std::max(LineHeight(), 1);
  if (y < area.top) row = topRow_ - 1;
  row = std::clamp(row, 0, RowCount() - 1);
  return PositionInRow(row, x);
}

POINT TMemo::PositionPoint(int position) {
  const RECT area = TextArea();
  const int row = RowOf(position);
  const Row& r = Rows()[static_cast<std::size_t>(row)];
  return POINT{area.left - ScrollX() + TextWidth(r.start, position - r.start),
               area.top + (row - topRow_) * LineHeight()};
}

int TMemo::VerticalMove(int position, int lines) {
  const int row = std::clamp(RowOf(position) + lines, 0, RowCount() - 1);
  return PositionInRow(row, PositionPoint(position).x);
}

int TMemo::LineStartOf(int position) {
  return Rows()[static_cast<std::size_t>(RowOf(position))].start;
}

int TMemo::LineEndOf(int position) {
  return Rows()[static_cast<std::size_t>(RowOf(position))].end;
}

void TMemo::ScrollToCaret() {
  const int row = RowOf(CaretPos());
  if (row < topRow_)
    SetTopRow(row);
  else if (row >= topRow_ + VisibleRows())
    SetTopRow(row - VisibleRows() + 1);
  if (wordWrap_) return SetScrollX(0);
  const RECT area = TextArea();
  const int width = area.right - area.left;
  const Row& r = Rows()[static_cast<std::size_t>(row)];
  const int caretX = TextWidth(r.start, CaretPos() - r.start);
  if (caretX - ScrollX() >= width)
    SetScrollX(caretX - width + width / 4);
  else if (caretX < ScrollX())
    SetScrollX(caretX - width / 4);
  if (horizontal_->Visible()) horizontal_->SetPosition(ScrollX());
}

void TMemo::PaintText(HDC dc, const RECT& area) {
  const std::vector<Row>& rows = Rows();
  const int last = std::min(static_cast<int>(rows.size()), topRow_ + VisibleRows() + 1);
  for (int row = topRow_; row < last; ++row) {
    const Row& r = rows[static_cast<std::size_t>(row)];
    PaintRun(dc, r.start, r.end, area.left - ScrollX(), area.top + (row - topRow_) * LineHeight());
  }
}

int TMemo::ContentWidth() {
  int widest = 0;
  for (const Row& row : Rows()) widest = std::max(widest, TextWidth(row.start, row.end - row.start));
  return widest;
}

void TMemo::UpdateScrollBars() {
  const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  const bool horizontal = !wordWrap_ && (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth);
  const RECT client = ClientRect();
  const int inset = BorderStyle() == bsSingle ? 2 : 0;
  const int barsRight = client.right - inset - (vertical ? kScrollBarWidth : 0);
  const int barsBottom = client.bottom - inset - (horizontal ? kScrollBarWidth : 0);
  scrollBar_->SetBounds(client.right - inset - kScrollBarWidth, inset, kScrollBarWidth, barsBottom - inset);
  horizontal_->SetBounds(inset, client.bottom - inset - kScrollBarWidth, barsRight - inset, kScrollBarWidth);
  if (scrollBar_->Visible() != vertical || horizontal_->Visible() != horizontal) {
    scrollBar_->SetVisible(vertical);
    horizontal_->SetVisible(horizontal);
    rowsValid_ = false;
  }
  const int rows = RowCount(), visible = VisibleRows();
  scrollBar_->SetPageSize(0);
  scrollBar_->SetParams(topRow_, 0, std::max(rows - 1, 0));
  scrollBar_->SetPageSize(visible);
  scrollBar_->SetLargeChange(visible);
  if (topRow_ > std::max(0, rows - visible)) SetTopRow(rows - visible);
  if (!horizontal) return;
  const RECT area = TextArea();
  const int width = std::max(1, static_cast<int>(area.right - area.left));
  horizontal_->SetPageSize(0);
  horizontal_->SetParams(ScrollX(), 0, std::max(ContentWidth(), 1) - 1);
  horizontal_->SetPageSize(width);
  horizontal_->SetSmallChange(std::max(1, LineHeight()));
}

void TMemo::KeyDown(std::uint16_t& key, TShiftState shift) {
  // The page keys turn the view by a page as well as the caret.
  if ((key == VK_PRIOR || key == VK_NEXT) && !(shift & ssCtrl)) {
    const int page = std::max(1, VisibleRows() - 1);
    SetTopRow(topRow_ + (key == VK_NEXT ? page : -page));
  }
  TCustomEdit::KeyDown(key, shift);
}

void TMemo::WndProc(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    const int notches = static_cast<int>(static_cast<std::intptr_t>(message.WParam)) / 120;
    SetTopRow(topRow_ - notches * kWheelRows);
    message.Result = 1;
    return;
  }
  TCustomEdit::WndProc(message);
}

}  // namespace vantora::host
