// Mouse, keyboard, focus and capture, driven through the headless backend as a person would.
#include <string>
#include <vector>

#include "forms/FormsTestSupport.h"
#include "host/forms/WindowSystem.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

TEST_F(FormsTest, ClicksCaptureAndHover) {
  TForm* form = NewForm();
  auto* panel = Add<TPanel>(form, 10, 10, 150, 80);
  auto* button = Add<TButton>(panel, 20, 20, 60, 25);
  std::vector<std::string> log;
  button->OnClick = [&](TPersistent*) { log.push_back("click"); };
  button->OnMouseUp = [&](TPersistent*, TMouseButton, TShiftState, int x, int y) {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  button->OnMouseEnter = [&](TPersistent*) { log.push_back("enter"); };
  button->OnMouseLeave = [&](TPersistent*) { log.push_back("leave"); };
  panel->OnDblClick = [&](TPersistent*) { log.push_back("panel double"); };
  form->Show();
  app->ProcessMessages();

  Click(*button);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "click", "up 3,3"}));
  EXPECT_TRUE(button->Focused());

  // Pressed inside, released outside: the button keeps the mouse, hears the release, no click.
  log.clear();
  const POINT inside = At(*button, 5, 5);
  input->MouseDown(form->Handle(), inside.x, inside.y);
  input->MouseMove(form->Handle(), 190, 110);
  input->MouseUp(form->Handle(), 190, 110);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"leave", "up 160,80"}));
  EXPECT_EQ(GetCaptureControl(), nullptr);
  EXPECT_FALSE(input->Captured());

  // A disabled button passes the mouse to its parent.
  log.clear();
  button->SetEnabled(false);
  const POINT p = At(*button, 5, 5);
  input->DoubleClick(form->Handle(), p.x, p.y);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"panel double"}));
}

TEST_F(FormsTest, TabOrderTypingAndAccelerators) {
  TForm* form = NewForm(300, 100);
  auto* first = Add<TButton>(form, 5, 5, 60, 25);
  auto* skipped = Add<TButton>(form, 70, 5, 60, 25);
  auto* second = Add<TButton>(form, 135, 5, 60, 25);
  auto* hidden = Add<TButton>(form, 200, 5, 60, 25);
  skipped->SetTabStop(false);
  hidden->Hide();
  second->SetCaption("&Apply");
  second->SetTabOrder(0);  // now ahead of First
  int applied = 0;
  second->OnClick = [&](TPersistent*) { ++applied; };
  std::string typed;
  first->OnKeyPress = [&](TPersistent*, char& key) { typed += key; };
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), second) << "the first tab stop gets the focus";

  input->PressKey(VK_TAB);
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), first);
  input->PressKey(VK_TAB);
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), second) << "wraps round, past the control that is no tab stop";
  input->PressKey(VK_TAB, ssShift);
  app->ProcessMessages();
  EXPECT_EQ(FocusedControl(), first);

  input->Type("h\xC3\xA9!");  // UTF-8 e acute arrives as its single byte
  app->ProcessMessages();
  EXPECT_EQ(typed, "h\xE9!");

  // The form sees keys first with KeyPreview and may swallow them.
  form->SetKeyPreview(true);
  form->OnKeyPress = [](TPersistent*, char& key) {
    if (key == 'x') key = 0;
  };
  input->Type("xy");
  input->PressKey('A', ssAlt);
  app->ProcessMessages();
  EXPECT_EQ(typed, "h\xE9!y");
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(FocusedControl(), second);
  second->SetEnabled(false);
  input->PressKey('A', ssAlt);
  app->ProcessMessages();
  EXPECT_EQ(applied, 1) << "a disabled control ignores its accelerator";
  EXPECT_NE(FocusedControl(), second);
}

TEST_F(FormsTest, TheFocusLeavesAnnouncedOnHideAndSilentlyWhenTheFormIsDestroyed) {
  int exits = 0;
  // A form whose focused control calls back into what derives from the form when it loses focus.
  struct Editor : TForm {
    explicit Editor(TComponent* owner, int& counter) : TForm(owner), exits(counter) {}
    int& exits;
  };
  auto* form = new Editor(app, exits);
  form->SetBounds(0, 0, 200, 120);
  auto* button = Add<TButton>(form, 5, 5, 60, 25);
  button->OnExit = [form](TPersistent*) { ++form->exits; };
  form->Show();
  Click(*button);
  form->Hide();
  EXPECT_EQ(exits, 1);

  form->Show();
  Click(*button);
  ASSERT_TRUE(button->Focused());
  delete form;
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(windowing::Current().focus, nullptr);
}

TEST_F(FormsTest, MessagesAreSentAtOnceOrQueued) {
  TForm* form = NewForm();
  std::vector<UINT> seen;
  struct Recorder : TPanel {
    using TPanel::TPanel;
    std::vector<UINT>* seen = nullptr;
    void DefaultHandler(TMessage& m) override {
      if (m.Msg < WM_USER) return;
      seen->push_back(m.Msg);
      m.Result = static_cast<LRESULT>(m.WParam) + 1;
    }
  };
  auto* target = Add<Recorder>(form, 0, 0, 50, 50);
  target->seen = &seen;
  EXPECT_EQ(SendMessage(target, WM_USER + 1, 41), 42);
  EXPECT_TRUE(PostMessage(target, WM_USER + 2));
  EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 1});
  app->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  // A message posted to a control that is freed before the loop comes round is dropped.
  PostMessage(target, WM_USER + 3);
  delete target;
  app->ProcessMessages();
  EXPECT_EQ(seen.size(), 2u);

  // Text changes go through the set-text message.
  struct TextWatch : TPanel {
    using TPanel::TPanel;
    int changes = 0;
    void WndProc(TMessage& m) override {
      TPanel::WndProc(m);
      if (m.Msg == WM_SETTEXT) ++changes;
    }
  };
  auto* watched = Add<TextWatch>(form, 0, 0, 50, 50);
  watched->SetCaption("One");
  watched->SetCaption("One");
  watched->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Two"));
  EXPECT_EQ(watched->changes, 2);
  EXPECT_EQ(watched->Caption(), "Two");
}

}  // namespace
}  // namespace vantora::host
