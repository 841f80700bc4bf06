// Lists, combo boxes, scroll bars and grids driven with the mouse, the wheel and the keyboard.
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/StringGrid.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class ListTest : public FormsTest {
 protected:
  void Keys(std::initializer_list<std::uint16_t> keys, std::uint32_t shift = 0) {
    for (std::uint16_t key : keys) input->PressKey(key, shift);
    app->ProcessMessages();
  }
  void ClickAt(const TControl& control, int x, int y) {
    Click(control, x, y);
    app->ProcessMessages();
  }
};

TEST_F(ListTest, ListBoxSelectsScrollsAndSorts) {
  TForm* form = NewForm(300, 200);
  auto* list = Add<TListBox>(form, 10, 10, 120, 108);
  list->SetSorted(true);
  for (const char* name :
       {"pear", "apple", "fig", "kiwi", "lime", "plum", "date", "yuzu", "lemon", "mango", "melon", "grape"})
    list->Items()->Add(name);
  int clicks = 0;
  list->OnClick = [&](TPersistent*) { ++clicks; };
  form->Show();
  app->ProcessMessages();
  ASSERT_EQ(list->Items()->Count(), 12);
  EXPECT_EQ((*list->Items())[0], "apple");
  EXPECT_EQ((*list->Items())[11], "yuzu");
  EXPECT_EQ(list->VisibleRows(), 104 / list->ItemHeight());

  // A click on the second row selects it and focuses the list.
  ClickAt(*list, 20, 2 + list->ItemHeight() + 3);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(list->Focused());

  Keys({VK_END});
  EXPECT_EQ(list->ItemIndex(), 11);
  EXPECT_EQ(list->TopIndex(), 12 - list->VisibleRows()) << "the selection scrolls into view";
  Keys({VK_HOME, VK_DOWN, VK_DOWN});
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->TopIndex(), 0);
  input->Type("m");
  app->ProcessMessages();
  EXPECT_EQ((*list->Items())[list->ItemIndex()], "mango") << "a letter jumps to the next item with it";
  input->Type("m");
  app->ProcessMessages();
  EXPECT_EQ((*list->Items())[list->ItemIndex()], "melon");
  const int clicksSoFar = clicks;
  Keys({VK_UP});
  EXPECT_EQ(clicks, clicksSoFar + 1);

  // The wheel and the scroll bar scroll without changing the selection.
  const int selected = list->ItemIndex();
  const POINT p = At(*list, 20, 20);
  input->Wheel(form->Handle(), p.x, p.y, -120);
  app->ProcessMessages();
  EXPECT_EQ(list->TopIndex(), 12 - list->VisibleRows());
  input->Wheel(form->Handle(), p.x, p.y, 240);
  app->ProcessMessages();
  EXPECT_EQ(list->TopIndex(), 0);
  ClickAt(*list, 120 - 2 - 8, 108 - 2 - 8);  // the scroll bar's down arrow
  EXPECT_EQ(list->TopIndex(), 1);
  EXPECT_EQ(list->ItemIndex(), selected);
  EXPECT_TRUE(list->Focused()) << "the scroll bar takes no focus";

  // Removing items keeps the selection inside the list.
  list->Items()->Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
  Keys({VK_DOWN, VK_END});
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListTest, ScrollBarArrowsTrackThumbAndRepeat) {
  TForm* form = NewForm(300, 100);
  auto* bar = Add<TScrollBar>(form, 10, 10, 200, 16);
  bar->SetParams(0, 0, 100);
  bar->SetPageSize(10);
  std::vector<int> positions;
  bar->OnChange = [&](TPersistent*) { positions.push_back(bar->Position()); };
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(bar->Limit(), 91);

  ClickAt(*bar, 200 - 8, 8);
  EXPECT_EQ(bar->Position(), 1);
  ClickAt(*bar, 150, 8);  // the track right of the thumb pages
  EXPECT_EQ(bar->Position(), 11);

  // Holding an arrow repeats after 400 ms, then every 100 ms.
  const POINT arrow = At(*bar, 200 - 8, 8);
  input->MouseDown(form->Handle(), arrow.x, arrow.y);
  app->ProcessMessages();
  EXPECT_EQ(bar->Position(), 12);
  input->Advance(399);
  app->ProcessMessages();
  EXPECT_EQ(bar->Position(), 12);
  input->Advance(1);
  app->ProcessMessages();
  EXPECT_EQ(bar->Position(), 13);
  for (int i = 0; i < 3; ++i) {
    input->Advance(100);
    app->ProcessMessages();
  }
  EXPECT_EQ(bar->Position(), 16);
  input->MouseUp(form->Handle(), arrow.x, arrow.y);
  input->Advance(500);
  app->ProcessMessages();
  EXPECT_EQ(bar->Position(), 16) << "released: no more steps";

  // Dragging the thumb to the far end reaches the limit and no further.
  bar->SetPosition(0);
  const POINT thumb = At(*bar, 20, 8), end = At(*bar, 400, 8);
  input->MouseDown(form->Handle(), thumb.x, thumb.y);
  input->MouseMove(form->Handle(), end.x, end.y);
  input->MouseUp(form->Handle(), end.x, end.y);
  app->ProcessMessages();
  EXPECT_EQ(bar->Position(), 91);
  Keys({VK_HOME});
  EXPECT_EQ(positions.back(), 0);
}

TEST_F(ListTest, ComboBoxDropsDownChoosesAndCloses) {
  TForm* form = NewForm(300, 200);
  auto* combo = Add<TComboBox>(form, 10, 10, 150, 21);
  auto* other = Add<TButton>(form, 200, 150, 75, 25);
  for (const char* kind : {"Linear", "Rectangular", "Circular"}) combo->Items()->Add(kind);
  std::vector<std::string> changes;
  combo->OnChange = [&](TPersistent*) { changes.push_back(combo->Text()); };
  form->Show();
  app->ProcessMessages();

  // A click on the button drops the list down below the box; a click on an item chooses it.
  ClickAt(*combo, 150 - 8, 10);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(GetCaptureControl(), combo);
  const int rowHeight = StylePainter::MeasureCharacters(combo->Font()).height + 1;
  ClickAt(*combo, 20, 21 + 2 + rowHeight + rowHeight / 2);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Rectangular");
  EXPECT_EQ(changes, std::vector<std::string>{"Rectangular"});

  // Escape closes without choosing; a click outside does too, and goes nowhere else.
  Keys({VK_F4});
  ASSERT_TRUE(combo->DroppedDown());
  Keys({VK_DOWN});
  Keys({VK_ESCAPE});
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  int otherClicks = 0;
  other->OnClick = [&](TPersistent*) { ++otherClicks; };
  Keys({VK_DOWN}, ssAlt);
  ASSERT_TRUE(combo->DroppedDown());
  ClickAt(*other, 10, 10);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(otherClicks, 0);
  EXPECT_EQ(GetCaptureControl(), nullptr);

  // Enter in the open list chooses the item the arrows reached.
  combo->SetFocus();
  Keys({VK_F4, VK_DOWN, VK_RETURN});
  EXPECT_EQ(combo->Text(), "Circular");
  // Closed, the arrows step through the items; typing edits the text and finds a match.
  Keys({VK_UP});
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SelectAll();
  input->Type("Linear");
  app->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), 0);
  input->Type("!");
  app->ProcessMessages();
  EXPECT_EQ(combo->ItemIndex(), -1);

  // A fixed choice takes no text; a letter selects.
  combo->SetStyle(csDropDownList);
  combo->SetItemIndex(0);
  input->Type("c");
  app->ProcessMessages();
  EXPECT_EQ(combo->Text(), "Circular");
  ClickAt(*combo, 30, 10);
  EXPECT_TRUE(combo->DroppedDown()) << "a fixed choice drops down wherever it is clicked";
  form->SetFocus();
  Keys({VK_TAB});
  EXPECT_FALSE(combo->DroppedDown());
  // A form freed while a list is down frees the list once.
  combo->SetFocus();
  Keys({VK_F4});
  ASSERT_TRUE(combo->DroppedDown());
  delete form;
}

TEST_F(ListTest, AClosedListLeavesNothingPaintedOverWhatItCovered) {
  TForm* form = NewForm(300, 200);
  auto* swatch = Add<TPanel>(form, 10, 40, 150, 100);
  swatch->SetBevelOuter(bvNone);
  swatch->SetColor(clRed);
  auto* combo = Add<TComboBox>(form, 10, 10, 150, 21);
  for (const char* part : {"Letters", "Background"}) combo->Items()->Add(part);
  form->Show();
  driver.Process();
  const TPixels before = driver.Pixels(*swatch);

  driver.ClickAt(*combo, 150 - 8, 10);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_NE(driver.PixelAt(*swatch, 20, 5), 0xFF0000u) << "the list lies over the swatch";
  driver.Click(*form);  // outside: the list closes without a choice
  ASSERT_FALSE(combo->DroppedDown());
  EXPECT_TRUE(driver.Pixels(*swatch).pixels == before.pixels) << "the swatch shows whole again";

  driver.ClickAt(*combo, 150 - 8, 10);
  const int rowHeight = StylePainter::MeasureCharacters(combo->Font()).height + 1;
  driver.ClickAt(*combo, 20, 21 + 2 + rowHeight + rowHeight / 2);
  EXPECT_EQ(combo->Text(), "Background");
  EXPECT_TRUE(driver.Pixels(*swatch).pixels == before.pixels) << "after a choice too";
}

TEST_F(ListTest, ADroppedListStaysOnTopAndClosesWhenItsPageOrFormChanges) {
  TForm* form = NewForm(300, 200);
  auto* page = Add<TPanel>(form, 0, 0, 300, 40);
  auto* combo = Add<TComboBox>(page, 10, 10, 150, 21);
  combo->SetTabStop(false);  // dropped down by the mouse while another control keeps the focus
  for (const char* part : {"Letters", "Letters 3D", "Background", "Back 3D"}) combo->Items()->Add(part);
  auto* edit = Add<TEdit>(form, 200, 150, 80, 21);
  form->Show();
  edit->SetFocus();
  driver.Process();
  const int rowHeight = StylePainter::MeasureCharacters(combo->Font()).height + 1;
  const int listRow = 31 + 2 + rowHeight / 2;  // the list's first row, in the form's coordinates

  // A control placed or raised on the form later still lies beneath the open list.
  driver.ClickAt(*combo, 150 - 8, 10);
  ASSERT_TRUE(combo->DroppedDown());
  auto* swatch = Add<TPanel>(form, 10, 35, 150, 100);
  swatch->SetBevelOuter(bvNone);
  swatch->SetColor(clRed);
  driver.Process();
  EXPECT_NE(driver.PixelAt(*form, 60, listRow), 0xFF0000u) << "a new control painted over the list";
  swatch->BringToFront();
  swatch->Invalidate();
  driver.Process();
  EXPECT_NE(driver.PixelAt(*form, 60, listRow), 0xFF0000u) << "a raised control painted over the list";
  EXPECT_NE(dynamic_cast<TListBox*>(form->ControlAtPos(POINT{60, listRow}, false)), nullptr)
      << "the list is the topmost control under the mouse as well";

  // Its page hidden, the list closes with nothing of it left on the screen.
  page->Hide();
  driver.Process();
  EXPECT_FALSE(combo->DroppedDown()) << "the list stayed open over another page";
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_EQ(driver.PixelAt(*form, 60, listRow), 0xFF0000u);

  // Another form becoming the active one closes it too.
  page->Show();
  driver.ClickAt(*combo, 150 - 8, 10);
  ASSERT_TRUE(combo->DroppedDown());
  TForm* other = NewForm(100, 80);
  other->SetLeft(400);
  other->Show();
  driver.Process();
  EXPECT_FALSE(combo->DroppedDown()) << "the list stayed open while another form was active";
  EXPECT_EQ(combo->Text(), "") << "closing this way chooses nothing";
}

TEST_F(ListTest, GridSelectsRangesByMouseAndShiftArrows) {
  TForm* form = NewForm(300, 200);
  auto* grid = Add<TStringGrid>(form, 10, 10, 200, 120);
  grid->SetColCount(12);  // one column per letter of a caption
  grid->SetRowCount(3);
  grid->SetDefaultColWidth(24);
  grid->SetDefaultRowHeight(18);
  grid->SetFixedCols(0);
  for (int c = 0; c < 12; ++c) grid->SetCells(c, 0, std::string(1, static_cast<char>('A' + c)));
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(grid->Col(), 0);
  EXPECT_EQ(grid->Row(), 1);

  // Drag from column 1 to column 3 of the first row below the header.
  const RECT from = grid->CellRect(1, 1), to = grid->CellRect(3, 2);
  const POINT a = At(*grid, from.left + 3, from.top + 3), b = At(*grid, to.left + 3, to.top + 3);
  input->MouseDown(form->Handle(), a.x, a.y);
  input->MouseMove(form->Handle(), b.x, b.y);
  input->MouseUp(form->Handle(), b.x, b.y);
  app->ProcessMessages();
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 2}));

  Keys({VK_RIGHT, VK_RIGHT}, ssShift);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 5, 2}));
  Keys({VK_UP}, ssShift);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 5, 1}));
  Keys({VK_UP}, ssShift);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 5, 1})) << "the fixed row takes no selection";
  // Past the right edge the grid scrolls to keep the current cell in view.
  Keys({VK_END});
  EXPECT_EQ(grid->Col(), 11);
  EXPECT_EQ(grid->Selection(), (TGridRect{11, 1, 11, 1}));
  EXPECT_GT(grid->LeftCol(), 0);
  const RECT last = grid->CellRect(11, 1);
  EXPECT_FALSE(IsRectEmpty(&last));
  EXPECT_THROW(grid->Cells(12, 0), EListError);
  EXPECT_EQ(grid->Cells(11, 0), "L");
}

}  // namespace
}  // namespace vantora::host
