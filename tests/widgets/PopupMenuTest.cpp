// The context menu driven as a person would: a right-click pops it up, the mouse and the keys choose,
// a click elsewhere, Escape or another window taking over close it.
#include <algorithm>
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/widgets/PopupMenu.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class PopupMenuTest : public FormsTest {
 protected:
  // A shown form whose right-click pops up a menu of "&Wizard", a line, a disabled "&Delete" and
  // "&Reset"; every choice is noted.
  void SetUp() override {
    form = NewForm(300, 200);
    form->SetLeft(20);
    menu = new TPopupMenu(form);
    menu->OnPopup = [this](TPersistent*) { ++popups; };
    for (const char* caption : {"&Wizard", "-", "&Delete", "&Reset"})
      menu->Add(caption, [this](TPersistent* sender) {
        chosen.push_back(static_cast<TMenuItem*>(sender)->Caption());
        closedFirst = closedFirst && !menu->Showing();
      });
    menu->Items(2)->SetEnabled(false);
    form->OnMouseDown = [this](TPersistent*, TMouseButton button, TShiftState, int x, int y) {
      const POINT p = form->ClientToScreen(POINT{x, y});
      if (button == TMouseButton::Right) menu->Popup(p.x, p.y);
    };
    form->Show();
    app->ProcessMessages();
  }
  void RightClick(int x, int y) {
    input->Click(form->Handle(), x, y, TMouseButton::Right);
    app->ProcessMessages();
  }
  // The rows of the menu's window each item takes, found as a person would: by moving the mouse
  // down the middle of the window and watching the highlight.
  std::vector<int> HighlightByRow(TPopupMenu& m) {
    std::vector<int> rows;
    for (int y = 0; y < m.Window()->Height(); ++y) {
      input->MouseMove(m.Window()->Handle(), m.Window()->Width() / 2, y);
      app->ProcessMessages();
      rows.push_back(m.Highlighted());
    }
    return rows;
  }
  POINT Middle(TPopupMenu& m, int index) {
    const std::vector<int> rows = HighlightByRow(m);
    const auto first = std::find(rows.begin(), rows.end(), index) - rows.begin();
    const auto last = rows.rend() - std::find(rows.rbegin(), rows.rend(), index) - 1;
    return POINT{m.Window()->Width() / 2, static_cast<int>(first + last) / 2};
  }
  void ClickAt(TPopupMenu& m, POINT p) {
    input->Click(m.Window()->Handle(), p.x, p.y);
    app->ProcessMessages();
  }
  void Keys(std::initializer_list<std::uint16_t> keys) {
    for (std::uint16_t key : keys) input->PressKey(key);
    app->ProcessMessages();
  }

  TForm* form = nullptr;
  TPopupMenu* menu = nullptr;
  int popups = 0;
  std::vector<std::string> chosen;
  bool closedFirst = true;
};

TEST_F(PopupMenuTest, MouseHighlightsAndChoosesOnlyWhatCanBeChosen) {
  RightClick(100, 50);
  ASSERT_TRUE(menu->Showing());
  EXPECT_EQ(popups, 1);
  TCustomForm* window = menu->Window();
  EXPECT_EQ(input->Position(window->Handle()).x, 120);
  EXPECT_EQ(input->Position(window->Handle()).y, 50);
  EXPECT_TRUE(window->Active());
  EXPECT_TRUE(chosen.empty()) << "the release of the button that opened the menu chooses nothing";

  // The row under the mouse takes the highlight colour; the line and the disabled item below the
  // first item take none, and a click on them chooses nothing.
  const POINT wizard = Middle(*menu, 0), reset = Middle(*menu, 3);
  input->MouseMove(window->Handle(), reset.x, reset.y);
  app->ProcessMessages();
  EXPECT_EQ(menu->Highlighted(), 3);
  const SurfacePixels pixels = GetSurfacePixels(window->Handle());
  const auto pixel = [&](POINT p) { return pixels.pixels[p.y * pixels.width + 5]; };
  const std::uint32_t highlight = ColorToRGB(clHighlight);
  EXPECT_EQ(pixel(reset), ((highlight & 0xFF) << 16) | (highlight & 0xFF00) | (highlight >> 16));
  EXPECT_NE(pixel(wizard), pixel(reset));
  const std::vector<int> rows = HighlightByRow(*menu);
  const int gapTop = static_cast<int>(std::find(rows.begin(), rows.end(), 3) - rows.begin()) - 1;
  int gapBottom = gapTop;
  while (rows[static_cast<std::size_t>(gapBottom)] == -1) --gapBottom;
  EXPECT_GT(gapTop - gapBottom, (reset.y - wizard.y) / 2) << "a line and an item between the two";
  ClickAt(*menu, POINT{wizard.x, gapBottom + 2});
  ClickAt(*menu, POINT{wizard.x, gapTop - 2});
  EXPECT_TRUE(menu->Showing());
  EXPECT_EQ(menu->Highlighted(), -1);
  EXPECT_TRUE(chosen.empty());

  // As a grabbed mouse reports it: over the menu, but to the form's window.
  input->Click(form->Handle(), window->Left() - form->Left() + wizard.x,
               window->Top() - form->Top() + wizard.y);
  app->ProcessMessages();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(chosen, std::vector<std::string>{"&Wizard"});
  EXPECT_TRUE(closedFirst) << "the menu closes before the handler runs";
  EXPECT_TRUE(form->Active()) << "the form gets the activation back";
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(PopupMenuTest, KeysStepOverLinesAndDisabledItemsAndChoose) {
  RightClick(10, 10);
  Keys({VK_DOWN});
  EXPECT_EQ(menu->Highlighted(), 0);
  Keys({VK_DOWN});
  EXPECT_EQ(menu->Highlighted(), 3);
  Keys({VK_DOWN});
  EXPECT_EQ(menu->Highlighted(), 0) << "round the end";
  Keys({VK_UP, VK_RETURN});
  EXPECT_EQ(chosen, std::vector<std::string>{"&Reset"});

  RightClick(10, 10);
  input->Type("d");  // the disabled item's letter
  app->ProcessMessages();
  EXPECT_TRUE(menu->Showing());
  input->Type("w");
  app->ProcessMessages();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(chosen, (std::vector<std::string>{"&Reset", "&Wizard"}));
  EXPECT_TRUE(closedFirst);
}

TEST_F(PopupMenuTest, EscapeClickOutsideAndDeactivationChooseNothing) {
  auto* button = Add<TButton>(form, 10, 10, 60, 25);
  int buttonClicks = 0;
  button->OnClick = [&](TPersistent*) { ++buttonClicks; };
  TForm* other = NewForm(100, 100);
  other->SetLeft(400);
  other->Show();
  app->ProcessMessages();
  form->Show();

  RightClick(10, 100);
  Keys({VK_DOWN, VK_ESCAPE});
  EXPECT_FALSE(menu->Showing());

  // The button's client point lies inside the menu as the menu counts: the click must still be
  // taken as outside it, and go nowhere else.
  RightClick(100, 100);
  ASSERT_TRUE(menu->Showing());
  input->Click(form->Handle(), 30, 20);
  app->ProcessMessages();
  EXPECT_FALSE(menu->Showing());
  EXPECT_EQ(buttonClicks, 0);
  EXPECT_EQ(GetCaptureControl(), nullptr);

  RightClick(100, 100);
  Keys({VK_DOWN});
  input->Activate(other->Handle());
  app->ProcessMessages();
  EXPECT_FALSE(menu->Showing());
  EXPECT_TRUE(other->Active()) << "the window that took over keeps the activation";
  EXPECT_TRUE(chosen.empty());
}

TEST_F(PopupMenuTest, HandlerMayFreeTheMenusOwner) {
  for (const bool byKey : {false, true}) {
    TForm* owner = NewForm(100, 100);
    auto* ownMenu = new TPopupMenu(owner);
    ownMenu->Add("&Close", [&](TPersistent*) { delete owner; });
    ownMenu->Popup(50, 50);
    app->ProcessMessages();
    if (byKey)
      Keys({VK_DOWN, VK_RETURN});
    else
      ClickAt(*ownMenu, Middle(*ownMenu, 0));
    EXPECT_EQ(app->Screen().FormCount(), 1) << "the owner, its menu and the menu's window are gone";
  }
}

TEST_F(PopupMenuTest, OpensLeftOfAndAboveAPointNearTheScreensEdge) {
  const SIZE screen = GetScreenSize();
  menu->Popup(screen.cx - 5, screen.cy - 5);
  app->ProcessMessages();
  const TCustomForm* window = menu->Window();
  EXPECT_EQ(window->Left() + window->Width(), screen.cx - 5);
  EXPECT_EQ(window->Top() + window->Height(), screen.cy - 5);
  menu->Popup(3, screen.cy - 5);
  EXPECT_EQ(window->Left(), 3);

  // The user drags the form elsewhere: a right-click still opens the menu at the mouse.
  menu->CloseUp();
  input->DragWindow(form->Handle(), 200, 150);
  app->ProcessMessages();
  RightClick(10, 10);
  EXPECT_EQ(input->Position(window->Handle()).x, 210);
  EXPECT_EQ(input->Position(window->Handle()).y, 160);
}

TEST_F(PopupMenuTest, WorksOverAModalForm) {
  TForm* dialog = NewForm(100, 100);
  dialog->OnMouseDown = [&](TPersistent*, TMouseButton, TShiftState, int, int) { menu->Popup(40, 40); };
  menu->Items(0)->OnClick = [&](TPersistent*) { dialog->SetModalResult(mrOk); };
  input->Click(dialog->Handle(), 10, 10, TMouseButton::Right);
  input->PressKey(VK_DOWN);
  input->PressKey(VK_RETURN);
  EXPECT_EQ(dialog->ShowModal(), mrOk) << "the menu takes the keys while the dialog is modal";
}

}  // namespace
}  // namespace vantora::host
