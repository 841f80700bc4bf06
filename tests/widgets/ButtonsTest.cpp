// Check boxes, radio buttons and groups, speed buttons, labels, tabs and pages, memos and scroll
// boxes, used with the mouse and the keyboard; and a form of them all read from its stream.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"
#include "host/widgets/Memo.h"
#include "host/widgets/PageControl.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/Shape.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/TabSet.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class ButtonsTest : public FormsTest {
 protected:
  void Keys(std::initializer_list<std::uint16_t> keys, std::uint32_t shift = 0) {
    for (std::uint16_t key : keys) input->PressKey(key, shift);
    app->ProcessMessages();
  }
  void ClickAt(const TControl& control, int x = 5, int y = 5) {
    Click(control, x, y);
    app->ProcessMessages();
  }
};

TEST_F(ButtonsTest, CheckBoxesAndRadioGroups) {
  TForm* form = NewForm(300, 200);
  auto* check = Add<TCheckBox>(form, 10, 10, 120, 17);
  check->SetCaption("&Discrete");
  auto* group = Add<TRadioGroup>(form, 10, 40, 200, 90);
  group->SetCaption("Render when");
  group->Items()->Add("After a delay");
  group->Items()->Add("On Enter");
  group->Items()->Add("Never");
  std::vector<std::string> log;
  check->OnClick = [&](TPersistent*) { log.push_back(check->Checked() ? "checked" : "unchecked"); };
  group->OnClick = [&](TPersistent*) { log.push_back("item " + std::to_string(group->ItemIndex())); };
  form->Show();
  app->ProcessMessages();

  ClickAt(*check);
  EXPECT_TRUE(check->Checked());
  Keys({VK_SPACE});
  EXPECT_FALSE(check->Checked());
  Keys({'D'}, ssAlt);
  EXPECT_TRUE(check->Checked());
  check->SetAllowGrayed(true);
  ClickAt(*check);
  EXPECT_EQ(check->State(), cbGrayed);
  // Pressed inside, released outside: no change.
  const POINT inside = At(*check, 5, 5);
  input->MouseDown(form->Handle(), inside.x, inside.y);
  input->MouseMove(form->Handle(), 290, 190);
  input->MouseUp(form->Handle(), 290, 190);
  app->ProcessMessages();
  EXPECT_EQ(check->State(), cbGrayed);
  EXPECT_EQ(log, (std::vector<std::string>{"checked", "unchecked", "checked", "unchecked"}));

  log.clear();
  ClickAt(*group->Buttons(1));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Checked());
  // The arrows move the check through the group; Tab leaves the group at once.
  Keys({VK_DOWN});
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_FALSE(group->Buttons(1)->Checked());
  Keys({VK_DOWN});
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"item 1", "item 2", "item 0"}));
  Keys({VK_TAB});
  EXPECT_EQ(FocusedControl(), check);
  Keys({VK_TAB});
  EXPECT_EQ(FocusedControl(), group->Buttons(0)) << "the group's checked button is its one tab stop";

  // Fewer items free their buttons; the focus and the tab order survive it.
  group->Items()->Delete(2);
  group->Items()->Delete(1);
  EXPECT_EQ(group->ItemIndex(), 0);
  group->SetItemIndex(5);
  EXPECT_EQ(group->ItemIndex(), 0);
  Keys({VK_TAB, VK_TAB});
  EXPECT_EQ(FocusedControl(), group->Buttons(0));
}

TEST_F(ButtonsTest, SpeedButtonGroupsAndLabelAccelerators) {
  TForm* form = NewForm(300, 100);
  auto* bold = Add<TSpeedButton>(form, 10, 10, 25, 25);
  auto* italic = Add<TSpeedButton>(form, 40, 10, 25, 25);
  auto* plain = Add<TSpeedButton>(form, 70, 10, 25, 25);
  bold->SetGroupIndex(1);
  italic->SetGroupIndex(1);
  plain->SetFlat(true);
  auto* label = Add<TLabel>(form, 10, 50, 40, 13);
  label->SetCaption("&Angle:");
  auto* edit = Add<TEdit>(form, 60, 45, 60, 21);
  auto* button = Add<TButton>(form, 200, 45, 60, 25);
  label->SetFocusControl(edit);
  int plainClicks = 0;
  plain->OnClick = [&](TPersistent*) { ++plainClicks; };
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), edit);
  button->SetFocus();

  ClickAt(*bold);
  EXPECT_TRUE(bold->Down());
  ClickAt(*italic);
  EXPECT_TRUE(italic->Down());
  EXPECT_FALSE(bold->Down()) << "one button of a group is down";
  ClickAt(*italic);
  EXPECT_TRUE(italic->Down()) << "without AllowAllUp the down button stays down";
  italic->SetAllowAllUp(true);
  ClickAt(*italic);
  EXPECT_FALSE(italic->Down());
  ClickAt(*plain);
  EXPECT_FALSE(plain->Down());
  EXPECT_EQ(plainClicks, 1);
  EXPECT_EQ(FocusedControl(), button) << "speed buttons take no focus";

  // The label's accelerator focuses its control; its size follows its caption.
  Keys({'A'}, ssAlt);
  EXPECT_EQ(FocusedControl(), edit);
  const int width = label->Width();
  label->SetCaption("&Angle of the gradient:");
  EXPECT_GT(label->Width(), width);
  label->SetWordWrap(true);
  label->SetAutoSize(false);
  label->SetWidth(60);
  EXPECT_GT(label->Lines().size(), 1u);
  delete edit;
  Keys({'A'}, ssAlt);  // the label has forgotten the freed control
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(ButtonsTest, TabsTurnPagesAndMemoScrolls) {
  TForm* form = NewForm(300, 260);
  auto* tabs = Add<TTabSet>(form, 10, 10, 280, 22);
  auto* notebook = Add<TNotebook>(form, 10, 32, 280, 100);
  TPage* first = notebook->AddPage("Fill");
  TPage* second = notebook->AddPage("Layers");
  tabs->Tabs()->Add("&Fill && colour");
  tabs->Tabs()->Add("&Layers");
  tabs->SetNotebook(notebook);
  tabs->SetTabIndex(0);
  auto* memo = Add<TMemo>(form, 10, 140, 120, 60);
  memo->SetScrollBars(ssVertical);
  bool allow = true;
  tabs->OnChange = [&](TPersistent*, int, bool& allowChange) { allowChange = allow; };
  form->Show();
  app->ProcessMessages();
  EXPECT_TRUE(first->Visible());
  EXPECT_FALSE(second->Visible());

  const RECT tab = tabs->TabRect(1);
  ClickAt(*tabs, tab.left + 5, 10);
  EXPECT_EQ(tabs->TabIndex(), 1);
  EXPECT_EQ(notebook->PageIndex(), 1);
  EXPECT_TRUE(second->Visible());
  EXPECT_FALSE(first->Visible());
  Keys({VK_LEFT});
  EXPECT_EQ(notebook->ActivePage(), "Fill");
  allow = false;
  Keys({'L'}, ssAlt);
  EXPECT_EQ(tabs->TabIndex(), 0) << "OnChange refused the change";
  allow = true;
  Keys({'L'}, ssAlt);
  EXPECT_EQ(tabs->TabIndex(), 1);

  // The memo: lines, Enter, wrapping, and the caret kept in view.
  memo->SetFocus();
  memo->Lines()->Add("first line");
  memo->Lines()->Add("second");
  EXPECT_EQ(memo->Text(), "first line\nsecond");
  Keys({VK_END}, ssCtrl);
  Keys({VK_RETURN});
  input->Type("third");
  app->ProcessMessages();
  ASSERT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ((*memo->Lines())[2], "third");
  for (int i = 0; i < 10; ++i) Keys({VK_RETURN});
  EXPECT_GT(memo->TopRow(), 0);
  Keys({VK_HOME}, ssCtrl);
  EXPECT_EQ(memo->TopRow(), 0);
  Keys({VK_DOWN, VK_END});
  EXPECT_EQ(memo->CaretPos(), 17);
  const int rows = memo->RowCount();
  memo->Lines()->Put(0, "a long first line that cannot fit in the memo's width at all");
  EXPECT_GT(memo->RowCount(), rows) << "long lines wrap";
}

TEST_F(ButtonsTest, PageControlShowsTheChosenSheet) {
  TForm* form = NewForm(300, 200);
  auto* pages = Add<TPageControl>(form, 10, 10, 280, 180);
  TTabSheet* general = pages->AddPage("&General");
  TTabSheet* colour = pages->AddPage("Fill && colour");
  auto* inside = new TButton(form);
  inside->SetParent(colour);
  int changes = 0;
  pages->OnChange = [&](TPersistent*) { ++changes; };
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(pages->ActivePage(), general);
  EXPECT_FALSE(colour->Visible());
  EXPECT_GT(general->Width(), 250) << "the sheet fills the frame";
  EXPECT_GE(general->Top(), 22);

  // A click on the second tab.
  const POINT p = At(*pages, 80, 10);
  input->Click(form->Handle(), p.x, p.y);
  app->ProcessMessages();
  EXPECT_EQ(pages->ActivePage(), colour);
  EXPECT_TRUE(inside->IsShowing());
  EXPECT_EQ(changes, 1);
  input->PressKey('G', ssAlt);
  app->ProcessMessages();
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  colour->SetCaption("Colour");
  delete general;
  EXPECT_EQ(pages->PageCount(), 1);
  EXPECT_EQ(pages->ActivePage(), nullptr) << "a freed sheet is forgotten";
  pages->SetActivePageIndex(0);
  EXPECT_EQ(pages->ActivePage(), colour);
}

TEST_F(ButtonsTest, MemoScrollsSidewaysWithoutWrapping) {
  TForm* form = NewForm(300, 200);
  auto* memo = Add<TMemo>(form, 10, 10, 150, 100);
  memo->SetWordWrap(false);
  memo->SetScrollBars(ssBoth);
  memo->Lines()->Add(std::string(80, 'm'));
  memo->Lines()->Add("short");
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(memo->RowCount(), 2) << "no wrapping";
  // The horizontal bar's right arrow, at the bottom right left of the vertical bar.
  Click(*memo, 150 - 2 - 16 - 8, 100 - 2 - 8);
  app->ProcessMessages();
  EXPECT_GT(memo->LeftPixel(), 0);
  memo->SetFocus();
  input->PressKey(VK_HOME, ssCtrl);
  app->ProcessMessages();
  EXPECT_EQ(memo->LeftPixel(), 0);
  input->PressKey(VK_END);
  app->ProcessMessages();
  EXPECT_GT(memo->LeftPixel(), 0) << "the caret at the end of the long line pulls it into view";
  // Wrapping takes the horizontal bar away again.
  memo->SetWordWrap(true);
  EXPECT_GT(memo->RowCount(), 2);
  EXPECT_EQ(memo->LeftPixel(), 0);
}

TEST_F(ButtonsTest, ScrollBoxScrollsItsChildren) {
  TForm* form = NewForm(300, 200);
  auto* box = Add<TScrollBox>(form, 10, 10, 150, 100);
  auto* shape = new TShape(form);
  shape->SetBounds(2, 2, 400, 60);
  shape->SetParent(box);
  form->Show();
  app->ProcessMessages();
  box->HorzScrollBar()->SetPosition(100);
  EXPECT_EQ(shape->Left(), -98);
  box->HorzScrollBar()->SetPosition(10000);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 400 - (150 - 4));
  box->HorzScrollBar()->SetPosition(0);
  EXPECT_EQ(shape->Left(), 2);
  // A fixed range larger than the children scrolls further.
  box->VertScrollBar()->SetRange(500);
  box->VertScrollBar()->SetPosition(300);
  EXPECT_EQ(shape->Top(), -298);
}

TEST_F(ButtonsTest, AFormOfWidgetsStreamsAndShows) {
  TFileStream file(std::string(VANTORA_SOURCE_DIR) + "/data/forms/widgets.txt", TFileMode::fmOpenRead);
  TCustomForm* form = LoadForm(file, app);
  form->Show();
  app->ProcessMessages();
  auto* combo = dynamic_cast<TComboBox*>(form->FindComponent("KindCombo"));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->Text(), "Button");
  auto* presets = dynamic_cast<TListBox*>(form->FindComponent("Presets"));
  ASSERT_NE(presets, nullptr);
  EXPECT_EQ((*presets->Items())[presets->ItemIndex()], "Chrome");
  auto* update = dynamic_cast<TRadioGroup*>(form->FindComponent("Update"));
  ASSERT_NE(update, nullptr);
  EXPECT_TRUE(update->Buttons(0)->Checked());
  auto* tabs = dynamic_cast<TTabSet*>(form->FindComponent("Tabs"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->Notebook(), form->FindComponent("Pages"));
  // Writing the form back and reading it again gives the same stream.
  TMemoryStream first, second;
  WriteComponent(first, *form);
  first.SetPosition(0);
  std::unique_ptr<TCustomForm> copy(LoadForm(first, nullptr));
  WriteComponent(second, *copy);
  ASSERT_EQ(first.Size(), second.Size());
  EXPECT_EQ(0, std::memcmp(first.Memory(), second.Memory(), static_cast<std::size_t>(first.Size())));
}

TEST_F(ButtonsTest, EveryWidgetTakesHostileInput) {
  TFileStream file(std::string(VANTORA_SOURCE_DIR) + "/data/forms/widgets.txt", TFileMode::fmOpenRead);
  TCustomForm* form = LoadForm(file, app);
  form->Show();
  app->ProcessMessages();
  // Control characters, invalid UTF-8 (stray continuation bytes, a cut sequence, overlong forms),
  // characters beyond one byte, and a lot of it.
  std::string hostile = "\x01\x7F\t\r\n\x80\xBF\xC3\xE2\x82\xF0\x9F\x98\x80\xC0\xAF\xE9\x9D";
  for (int i = 0; i < 60; ++i) hostile += "long text " + std::to_string(i) + " \xC3\xA9";
  app->Backend().SetClipboardText(hostile);
  for (int control = 0; control < 20; ++control) {
    input->Type(hostile);
    for (std::uint16_t key :
         {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_DELETE, VK_BACK})
      input->PressKey(key, control % 2 ? std::uint32_t{ssShift} : 0u);
    input->PressKey('V', ssCtrl);
    input->PressKey('Z', ssCtrl);
    input->PressKey(VK_TAB);
    app->ProcessMessages();
  }
  for (const char* name : {"NameEdit", "KindCombo", "Notes"}) {
    auto* edit = dynamic_cast<TCustomEdit*>(form->FindComponent(name));
    ASSERT_NE(edit, nullptr) << name;
    for (char c : edit->Text()) {
      const auto u = static_cast<unsigned char>(c);
      EXPECT_TRUE(u >= 32 || (c == '\n' && std::string(name) == "Notes"))
          << name << " holds the control code " << int(u);
    }
  }
  auto* edit = dynamic_cast<TCustomEdit*>(form->FindComponent("NameEdit"));
  EXPECT_NE(edit->Text().find("long text 50 \xE9"), std::string::npos) << "the good text arrived";
}

}  // namespace
}  // namespace vantora::host
