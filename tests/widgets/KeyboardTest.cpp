// The keys and mouse gestures a desktop user expects beyond the basics: the other clipboard
// keys, auto-selection on Tab, paging in memos and grids, dragging past a list's edge, a combo's
// list following the mouse, accelerators of group boxes, refused grid cells.
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/GroupBox.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/StringGrid.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class KeyboardTest : public FormsTest {
 protected:
  void Keys(std::initializer_list<std::uint16_t> keys, std::uint32_t shift = 0) {
    for (std::uint16_t key : keys) input->PressKey(key, shift);
    app->ProcessMessages();
  }
};

TEST_F(KeyboardTest, EditClipboardKeysAndAutoSelect) {
  TForm* form = NewForm(300, 100);
  auto* first = Add<TEdit>(form, 10, 10, 120, 21);
  auto* second = Add<TEdit>(form, 10, 40, 120, 21);
  first->SetText("first");
  second->SetText("second");
  form->Show();
  app->ProcessMessages();
  Keys({VK_TAB});
  EXPECT_EQ(FocusedControl(), second);
  EXPECT_EQ(second->SelText(), "second") << "Tab selects the whole text";
  Keys({VK_INSERT}, ssCtrl);
  EXPECT_EQ(app->Backend().GetClipboardText(), "second");
  Keys({VK_DELETE}, ssShift);
  EXPECT_EQ(second->Text(), "");
  Keys({VK_INSERT}, ssShift);
  Keys({VK_INSERT}, ssShift);
  EXPECT_EQ(second->Text(), "secondsecond");
  Keys({VK_HOME}, ssShift);
  EXPECT_EQ(second->SelLength(), 12);
  Keys({VK_RIGHT});
  Keys({VK_LEFT, VK_LEFT});
  Keys({VK_END}, ssShift);
  EXPECT_EQ(second->SelText(), "nd");
  // A click puts the caret where it lands and selects nothing, even on the way in.
  Click(*first, 4, 10);
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), first);
  EXPECT_EQ(first->SelLength(), 0);
  EXPECT_EQ(first->CaretPos(), 0);
}

TEST_F(KeyboardTest, MemoPagesAndKeepsReturnFromTheDefaultButton) {
  TForm* form = NewForm(300, 200);
  auto* memo = Add<TMemo>(form, 10, 10, 200, 80);
  auto* ok = Add<TButton>(form, 220, 10, 60, 25);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TPersistent*) { ++clicks; };
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\n";
  memo->SetText(text);
  form->Show();
  app->ProcessMessages();
  memo->SetFocus();
  Keys({VK_NEXT});
  EXPECT_GT(memo->TopRow(), 0);
  const int afterPage = memo->CaretPos();
  Keys({VK_NEXT, VK_PRIOR});
  EXPECT_EQ(memo->CaretPos(), afterPage);
  Keys({VK_RETURN});
  EXPECT_EQ(clicks, 0) << "Enter in a memo is a new line, not the default button";
  EXPECT_EQ(memo->Lines()->Count(), 31);
  memo->SetReadOnly(true);
  Keys({VK_RETURN});
  EXPECT_EQ(memo->Lines()->Count(), 31);
}

TEST_F(KeyboardTest, ListDragAndComboHotTracking) {
  TForm* form = NewForm(300, 260);
  auto* list = Add<TListBox>(form, 10, 10, 120, 60);
  for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
  auto* combo = Add<TComboBox>(form, 150, 10, 120, 21);
  for (const char* s : {"one", "two", "three", "four"}) combo->Items()->Add(s);
  form->Show();
  app->ProcessMessages();
  // Pressed on the first row and dragged below the list: it scrolls and selects on.
  const POINT top = At(*list, 20, 4), below = At(*list, 20, 80);
  input->MouseDown(form->Handle(), top.x, top.y);
  for (int i = 0; i < 5; ++i) input->MouseMove(form->Handle(), below.x, below.y);
  input->MouseUp(form->Handle(), below.x, below.y);
  app->ProcessMessages();
  EXPECT_GT(list->ItemIndex(), list->VisibleRows() - 1);
  EXPECT_GT(list->TopIndex(), 0);

  // The open list follows the mouse; releasing over an item chooses it (press, drag, release).
  const POINT button = At(*combo, 120 - 8, 10);
  input->MouseDown(form->Handle(), button.x, button.y);
  app->ProcessMessages();
  ASSERT_TRUE(combo->DroppedDown());
  const int row = StylePainter::MeasureCharacters(combo->Font()).height + 1;
  const POINT third = At(*combo, 20, 21 + 2 + 2 * row + row / 2);
  input->MouseMove(form->Handle(), third.x, third.y);
  input->MouseUp(form->Handle(), third.x, third.y);
  app->ProcessMessages();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "three");
}

TEST_F(KeyboardTest, GroupAcceleratorsAndRefusedGridCells) {
  TForm* form = NewForm(300, 260);
  auto* group = Add<TGroupBox>(form, 10, 10, 150, 80);
  group->SetCaption("&Range");
  auto* inside = new TEdit(form);
  inside->SetBounds(10, 20, 100, 21);
  inside->SetParent(group);
  auto* grid = Add<TStringGrid>(form, 10, 100, 200, 120);
  grid->SetDefaultRowHeight(18);
  grid->SetRowCount(20);
  grid->OnSelectCell = [](TPersistent*, int col, int, bool& canSelect) { canSelect = col != 3; };
  form->Show();
  app->ProcessMessages();
  grid->SetFocus();
  Keys({'R'}, ssAlt);
  EXPECT_EQ(FocusedControl(), inside) << "a group's accelerator focuses its first control";
  grid->SetFocus();
  Keys({VK_RIGHT});
  EXPECT_EQ(grid->Col(), 2);
  Keys({VK_RIGHT});
  EXPECT_EQ(grid->Col(), 2) << "OnSelectCell refused column 3";
  Keys({VK_DOWN}, ssShift);
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 1, 2, 2}));
  const POINT p = At(*grid, 50, 50);
  input->Wheel(form->Handle(), p.x, p.y, -240);
  app->ProcessMessages();
  EXPECT_EQ(grid->TopRow(), 3);
  Keys({VK_END}, ssCtrl);
  EXPECT_EQ(grid->Row(), 19);
  EXPECT_EQ(grid->Col(), 4);
}

}  // namespace
}  // namespace vantora::host
