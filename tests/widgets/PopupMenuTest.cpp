// The context menu driven as a person would: a right-click pops it up, the mouse and the keys choose,
// a click elsewhere, Escape or another window taking over close it.
#include <string>
#include <utility>
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
  // The first and last row of the menu's window on which the item is highlighted, found as a person
  // would: by moving the mouse down the middle of the window.
  std::pair<int, int> Rows(TPopupMenu& m, int index) {
    int first = -1, last = -1;
    for (int y = 0; y < m.Window()->Height(); ++y) {
      input->MouseMove(m.Window()->Handle(), m.Window()->Width() / 2, y);
      app->ProcessMessages();
      if (m.Highlighted() != index) continue;
      if (first < 0) first = y;
      last = y;
    }
    return {first, last};
  }
  POINT Middle(TPopupMenu& m, int index) {
    const auto [first, last] = Rows(m, index);
    return POINT{m.Window()->Width() / 2, (first + last) / 2};
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

  // The row under the mouse takes the highlight colour; the line and the disabled item between the
  // first item and the last take none, and a click on them chooses nothing.
  const POINT wizard = Middle(*menu, 0), reset = Middle(*menu, 3);
  const auto [resetTop, resetBottom] = Rows(*menu, 3);
  input->MouseMove(window->Handle(), reset.x, reset.y);
  app->ProcessMessages();
  const std::uint32_t highlight = ColorToRGB(clHighlight);
  const SurfacePixels pixels = GetSurfacePixels(window->Handle());
  EXPECT_EQ(pixels.pixels[reset.y * pixels.width + 5],
            ((highlight & 0xFF) << 16) | (highlight & 0xFF00) | (highlight >> 16));
  EXPECT_GT(resetTop - Rows(*menu, 0).second, resetBottom - resetTop) << "a line and an item between";
  ClickAt(*menu, POINT{wizard.x, Rows(*menu, 0).second + 3});
  ClickAt(*menu, POINT{wizard.x, resetTop - 3});
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
}

TEST_F(PopupMenuTest, EscapeClickOutsideAndDeactivationChooseNothing) {
  auto* button = Add<TButton>(form, 10, 10, 60, 25);
  int buttonClicks = 0, buttonExits = 0;
  button->OnClick = [&](TPersistent*) { ++buttonClicks; };
  button->OnExit = [&](TPersistent*) { ++buttonExits; };
  TForm* other = NewForm(100, 100);
  other->SetLeft(400);
  other->Show();
  app->ProcessMessages();
  form->Show();
  button->SetFocus();

  RightClick(10, 100);
  Keys({VK_DOWN, VK_ESCAPE});
  EXPECT_FALSE(menu->Showing());
  EXPECT_TRUE(form->Active()) << "the form the menu opened over, not the newest one";
  EXPECT_TRUE(button->Focused());
  EXPECT_EQ(buttonExits, 0) << "the focus stays under the menu";

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
