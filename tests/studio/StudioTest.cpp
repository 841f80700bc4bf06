// The studio driven headless as a person would: palette clicks place components, drags move and
// size them, the inspector edits them, the context menu runs the wizard, and forms are saved and
// opened again.
#include <string>

#include "ComponentText.h"
#include "Studio.h"
#include "controls/ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "design/Fulgo.h"
#include "design/Wizard.h"
#include "host/designer/DesignRegistry.h"
#include "host/forms/Responder.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/PopupMenu.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"
#include "support/FullDisk.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

using host::POINT;

class StudioTest : public testing::ControlsTest {
 protected:
  StudioTest() {
    app->OnException = [this](host::TPersistent*, const host::Exception& error) {
      errors.push_back(error.Message());
    };
    host::ClearDesignRegistry();
    Register();
    studio = std::make_unique<studio::TStudio>(*app);
    studio->Window().Show();
    app->ProcessMessages();
  }
  ~StudioTest() override {
    studio.reset();
    host::ClearDesignRegistry();
  }

  host::TCustomForm& Form() { return studio->DesignedForm(); }
  void ClickForm(int x, int y, host::TMouseButton button = host::TMouseButton::Left) {
    input->Click(Form().Handle(), x, y, button);
    app->ProcessMessages();
  }
  void Drag(POINT from, POINT to) {
    input->MouseDown(Form().Handle(), from.x, from.y);
    input->MouseMove(Form().Handle(), (from.x + to.x) / 2, (from.y + to.y) / 2);
    input->MouseMove(Form().Handle(), to.x, to.y);
    input->MouseUp(Form().Handle(), to.x, to.y);
    app->ProcessMessages();
  }
  // Chooses a palette button, then clicks the form where the component goes.
  template <class T>
  T& Place(int x, int y) {
    Click(*studio->PaletteButton(T::StaticClass()));
    app->ProcessMessages();
    ClickForm(x, y);
    auto* placed = dynamic_cast<T*>(&studio->Designer().Selection());
    EXPECT_NE(placed, nullptr);
    return *placed;
  }
  void EditRow(const std::string& path, const std::string& text) {
    studio::TObjectInspector& inspector = studio->Inspector();
    const int row = inspector.FindRow(path);
    ASSERT_GE(row, 0) << path;
    inspector.ChooseRow(row);
    inspector.ApplyText(text);
    app->ProcessMessages();
  }

  // Opens the Edit menu with its button and chooses the item whose caption starts with Caption.
  void ChooseEdit(const std::string& caption) {
    driver.Click(driver.FindByCaption(studio->Window(), "Edit"));
    host::TPopupMenu& menu = studio->EditMenu();
    ASSERT_TRUE(menu.Showing());
    for (int i = 0; i < menu.Count(); ++i) {
      driver.PressKey(host::VK_DOWN);
      if (menu.Items(menu.Highlighted())->Caption().starts_with(caption)) {
        driver.PressKey(host::VK_RETURN);
        return;
      }
    }
    FAIL() << "no enabled item " << caption;
  }
  void ShiftClick(const host::TControl& control) {
    driver.ClickAt(Form(), control.Left() + 3, control.Top() + 3, host::TMouseButton::Left, host::ssShift);
  }
  std::string FormText() { return studio::TextOf(Form()); }

  std::unique_ptr<studio::TStudio> studio;
  std::vector<std::string> errors;
  test::TempDir dir;
};

TEST_F(StudioTest, PlacedComponentsMoveSizeAndSurviveSavingAndOpening) {
  auto& label = Place<TFulgoLabel>(41, 38);
  EXPECT_EQ(label.Name(), "FulgoLabel1");
  EXPECT_EQ(label.Caption(), "FulgoLabel1") << "a placed control shows its name";
  EXPECT_EQ(label.Parent(), &Form());
  EXPECT_EQ(label.Left(), 40) << "placing snaps to the grid";
  EXPECT_EQ(label.Top(), 40);
  EXPECT_EQ(studio->Designer().Placing(), nullptr) << "one click places one component";
  EXPECT_TRUE(studio->PaletteButton(TFulgoLabel::StaticClass())->Down() == false);

  // A drag moves it; a drag on its bottom-right handle sizes it.
  Drag(POINT{45, 45}, POINT{65, 57});
  EXPECT_EQ(label.Left(), 60);
  EXPECT_EQ(label.Top(), 52);
  const int width = label.Width();
  const int height = label.Height();
  label.SetAutoSize(false);
  const POINT corner{label.Left() + label.Width() + 3, label.Top() + label.Height() + 3};
  Drag(corner, POINT{corner.x + 40, corner.y + 20});
  // The dragged edges snap to the grid.
  EXPECT_EQ(label.Left(), 60);
  EXPECT_EQ(label.Left() + label.Width(), (60 + width + 40 + 2) / 4 * 4);
  EXPECT_EQ(label.Top() + label.Height(), (52 + height + 20 + 2) / 4 * 4);
  const int sizedWidth = label.Width();
  const int sizedHeight = label.Height();

  // A panel holds what is placed on it; a palette goes on the form with no control.
  auto& panel = Place<tFulgoPanel>(200, 120);
  auto& button = Place<TFulgoButton>(panel.Left() + 12, panel.Top() + 8);
  EXPECT_EQ(button.Parent(), &panel);
  EXPECT_EQ(button.Owner(), &Form());
  auto& palette = Place<tFulgoPalette>(300, 300);
  EXPECT_EQ(palette.Name(), "FulgoPalette1");
  EXPECT_NE(studio->Window().Caption().find(" *"), std::string::npos);

  // Arrows nudge, Shift+arrows size.
  studio->Designer().Select(&label);
  input->PressKey(host::VK_RIGHT);
  input->PressKey(host::VK_DOWN, host::ssShift);
  app->ProcessMessages();
  EXPECT_EQ(label.Left(), 61);
  EXPECT_EQ(label.Height(), sizedHeight + 1);

  const std::string path = dir.Name("designed.txt");
  studio->SaveForm(path);
  EXPECT_EQ(studio->Window().Caption(), "Vantora Studio - designed.txt");
  const std::string text = test::ReadAll(path);
  EXPECT_NE(text.find("object FulgoButton1: TFulgoButton"), std::string::npos) << text;
  EXPECT_EQ(text.find("Wizard"), std::string::npos);

  studio->OpenForm(path);
  auto& reopened = dynamic_cast<TFulgoLabel&>(*Form().FindComponent("FulgoLabel1"));
  EXPECT_TRUE(reopened.IsDesigning());
  EXPECT_EQ(reopened.Left(), 61);
  EXPECT_EQ(reopened.Top(), 52);
  EXPECT_EQ(reopened.Width(), sizedWidth);
  EXPECT_EQ(reopened.Height(), sizedHeight + 1);
  EXPECT_EQ(dynamic_cast<host::TControl*>(Form().FindComponent("FulgoButton1"))->Parent(),
            Form().FindComponent("FulgoPanel1"));
  EXPECT_NE(Form().FindComponent("FulgoPalette1"), nullptr);
  // The form keeps its name through the round trip, in the studio and in the file saved again.
  EXPECT_EQ(Form().Name(), "Form1");
  studio->SaveForm(path);
  EXPECT_EQ(test::ReadAll(path).rfind("object Form1: TForm", 0), 0u) << test::ReadAll(path);

  // Delete takes a panel with what it holds.
  ClickForm(Form().FindComponentAs<tFulgoPanel>("FulgoPanel1").Left() + 2,
            Form().FindComponentAs<tFulgoPanel>("FulgoPanel1").Top() + 30);
  input->PressKey(host::VK_DELETE);
  app->ProcessMessages();
  EXPECT_EQ(Form().FindComponent("FulgoPanel1"), nullptr);
  EXPECT_EQ(Form().FindComponent("FulgoButton1"), nullptr);
  EXPECT_EQ(&studio->Designer().Selection(), &Form());
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(StudioTest, ASelectedControlResizedInCodeLeavesNoHandlesBehind) {
  auto& button = Place<TFulgoButton>(40, 40);
  app->ProcessMessages();
  // As the wizard's Ok does when a preset brings its own size.
  button.SetBounds(button.Left(), button.Top(), button.Width() - 40, button.Height() - 12);
  driver.Process();
  const host::TPixels shown = driver.Pixels(Form());
  Form().Invalidate();
  driver.Process();
  EXPECT_TRUE(driver.Pixels(Form()).pixels == shown.pixels) << "old grab handles stayed on the form";
}

TEST_F(StudioTest, ANewlyPlacedLabelShowsItsOwnSizeAndHandles) {
  auto& label = Place<TFulgoLabel>(41, 38);
  driver.Process();
  ASSERT_GT(label.Width(), 20) << "the label took the size of its face";
  studio::TObjectInspector& inspector = studio->Inspector();
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Width")), std::to_string(label.Width()));
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Height")), std::to_string(label.Height()));
  // Every handle is painted: the bottom-right one lies just beyond the label's corner.
  const host::TPixels form = driver.Pixels(Form());
  EXPECT_EQ(form.At(label.Left() + label.Width() + 2, label.Top() + label.Height() + 2),
            PixelOf(host::clHighlight));
}

TEST_F(StudioTest, TheInspectorKeepsBothColumnsInViewWhenAValueIsClicked) {
  Place<TFulgoLabel>(41, 38);
  const host::TStringGrid& grid = studio->Inspector().Grid();
  ASSERT_GT(studio->Inspector().RowCount(), 12) << "enough rows for the vertical scroll bar";
  const host::RECT value = grid.CellRect(1, 3);
  driver.ClickAt(grid, (value.left + value.right) / 2, (value.top + value.bottom) / 2);
  EXPECT_EQ(grid.LeftCol(), 0) << "the Property column scrolled away";
  ClickForm(300, 300);
  EXPECT_EQ(grid.LeftCol(), 0);
}

TEST_F(StudioTest, DesignedControlsNeverReactButTheTestCopyDoes) {
  auto& button = Place<TFulgoButton>(20, 20);
  int clicks = 0;
  button.OnClick = [&](host::TPersistent*) { ++clicks; };
  const POINT inside{button.Left() + 5, button.Top() + 5};
  input->MouseMove(Form().Handle(), inside.x, inside.y);
  input->MouseDown(Form().Handle(), inside.x, inside.y);
  app->ProcessMessages();
  EXPECT_EQ(button.PressState, psUp);
  input->MouseUp(Form().Handle(), inside.x, inside.y);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 0);

  host::TCustomForm& live = studio->TestForm();
  app->ProcessMessages();
  auto& copy = live.FindComponentAs<TFulgoButton>("FulgoButton1");
  EXPECT_FALSE(copy.IsDesigning());
  input->MouseMove(live.Handle(), inside.x, inside.y);
  input->MouseDown(live.Handle(), inside.x, inside.y);
  app->ProcessMessages();
  EXPECT_EQ(copy.PressState, psDown);
  input->MouseUp(live.Handle(), inside.x, inside.y);
  live.Close();
  app->ProcessMessages();
  // Copies open at once are all fine; what is still open goes with the studio.
  studio->TestForm();
  studio->TestForm();
  app->ProcessMessages();
  EXPECT_TRUE(errors.empty());
}

TEST_F(StudioTest, TheInspectorEditsUnfoldsAndReportsBadValues) {
  auto& label = Place<TFulgoLabel>(20, 20);
  studio::TObjectInspector& inspector = studio->Inspector();
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Wizard")), "(Wizard)");
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("About")), "Press ");
  EXPECT_EQ(inspector.FindRow("OnClick"), -1);

  EXPECT_EQ(inspector.RowName(0), "  Name");
  EditRow("Name", "Greeting");
  EXPECT_EQ(label.Name(), "Greeting");
  EXPECT_THROW(EditRow("Name", "two words"), host::EComponentError);
  EXPECT_EQ(label.Name(), "Greeting");
  EditRow("Caption", "Hello");
  EXPECT_EQ(label.Caption(), "Hello");
  EditRow("DrawMode", "edTransparent");
  EXPECT_EQ(label.GetDrawMode(), edTransparent);
  EXPECT_THROW(EditRow("Left", "wide"), host::EPropertyError);
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Left")), "20");

  // An owned object unfolds, and its rows edit the object.
  const int art = inspector.FindRow("Art");
  EXPECT_EQ(inspector.RowName(art), "+ Art");
  inspector.Toggle(art);
  EXPECT_EQ(inspector.RowName(art), "- Art");
  inspector.Toggle(inspector.FindRow("Art.FulgoText"));
  EXPECT_EQ(inspector.RowName(inspector.FindRow("Art.FulgoText.Caption")), "        Caption");
  EditRow("Art.FulgoText.Caption", "Deep");
  EXPECT_EQ(label.Art->FulgoText->Caption, "Deep");

  // The wizard row's ellipsis: the form changes while its editor is still at work.
  driver.OnModal("Vantora Wizard", [](host::TCustomForm& wizard) { wizard.SetModalResult(host::mrCancel); });
  inspector.ChooseRow(inspector.FindRow("Wizard"));
  inspector.EditDialog();
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Wizard")), "(Wizard)");

  // A drag on the form reads the values again.
  Drag(POINT{label.Left() + 3, label.Top() + 3}, POINT{label.Left() + 43, label.Top() + 3});
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Left")), "60");
}

TEST_F(StudioTest, TheContextMenuOffersTheWizardVerb) {
  auto& button = Place<TFulgoButton>(20, 20);
  std::vector<teEditing> opened;
  driver.OnModal("Vantora Wizard", [&](host::TCustomForm& wizard) {
    opened.push_back(dynamic_cast<TfrmWizard&>(wizard).EditMode);
    wizard.SetModalResult(host::mrCancel);
  });
  studio->Designer().ClearModified();
  ClickForm(button.Left() + 4, button.Top() + 4, host::TMouseButton::Right);
  host::TPopupMenu& menu = studio->ContextMenu();
  ASSERT_TRUE(menu.Showing());
  EXPECT_EQ(menu.Items(0)->Caption(), "Wizard");
  input->PressKey(host::VK_DOWN);
  input->PressKey(host::VK_RETURN);
  app->ProcessMessages();
  EXPECT_EQ(opened, std::vector<teEditing>{edButton});
  EXPECT_TRUE(studio->Designer().IsModified());

  // A double click runs the default editor, which has nothing to do here.
  input->DoubleClick(Form().Handle(), button.Left() + 4, button.Top() + 4);
  app->ProcessMessages();
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(StudioTest, ThirtyEditsUndoToTheFirstFormAndRedoToTheLast) {
  auto& label = Place<TFulgoLabel>(40, 40);
  const std::string start = FormText();
  std::vector<std::string> states{start};
  auto step = [&](const std::function<void()>& edit) {
    edit();
    driver.Process();
    ASSERT_TRUE(FormText() != states.back()) << "edit " << states.size() << " changed nothing";
    states.push_back(FormText());
  };
  auto select = [&](const char* name) {
    host::TControl& c = driver.Find<host::TControl>(Form(), name);
    driver.ClickAt(Form(), c.OriginInTopLevel().x + 2, c.OriginInTopLevel().y + 2);
  };
  step([&] { Place<TFulgoButton>(200, 40); });
  step([&] { Place<tFulgoPanel>(40, 160); });
  step([&] { Place<TFulgoButton>(60, 180); });
  step([&] { Place<tFulgoPalette>(300, 300); });
  step([&] { Drag(POINT{label.Left() + 3, label.Top() + 3}, POINT{label.Left() + 23, label.Top() + 11}); });
  select("FulgoButton1");  // selecting is no step of its own
  step([&] { driver.PressKey(host::VK_RIGHT); });
  step([&] { driver.PressKey(host::VK_DOWN, host::ssShift); });
  step([&] { EditRow("Caption", "Go"); });
  step([&] { EditRow("Name", "GoButton"); });
  step([&] { EditRow("Left", "120"); });
  step([&] { EditRow("Width", "90"); });
  step([&] {
    auto& go = driver.Find<host::TControl>(Form(), "GoButton");
    const POINT corner{go.Left() + go.Width() + 3, go.Top() + go.Height() + 3};
    Drag(corner, POINT{corner.x + 16, corner.y + 8});
  });
  step([&] {
    select("FulgoButton2");
    driver.PressKey(host::VK_UP);
  });
  step([&] { driver.PressKey(host::VK_LEFT, host::ssShift); });
  step([&] { EditRow("Caption", "Inside"); });
  step([&] {
    select("FulgoPanel1");
    EditRow("Caption", "Box");
  });
  step([&] {
    ClickForm(Form().FindComponentAs<tFulgoPanel>("FulgoPanel1").Left() + 2, 163, host::TMouseButton::Right);
    driver.PressKey(host::VK_UP);  // the last items: Delete, then Test form; Send to back before them
    driver.PressKey(host::VK_UP);
    driver.PressKey(host::VK_UP);
    driver.PressKey(host::VK_RETURN);
  });
  step([&] { EditRow("Left", "8"); });
  step([&] {
    // A label sizing itself takes its own size again when read, so it is sized by hand here.
    select("FulgoLabel1");
    EditRow("AutoSize", "False");
  });
  step([&] { EditRow("DrawMode", "edTransparent"); });
  step([&] { driver.PressKey('D', host::ssCtrl); });
  step([&] {
    driver.PressKey('C', host::ssCtrl);
    driver.PressKey('V', host::ssCtrl);
  });
  step([&] { driver.PressKey(host::VK_DELETE); });
  step([&] {
    select("GoButton");
    ShiftClick(label);
    driver.PressKey(host::VK_DOWN);
  });
  step([&] { ChooseEdit("Align lefts"); });
  step([&] { ChooseEdit("Make same size"); });
  step([&] { EditRow("Top", "250"); });
  step([&] { driver.PressKey('X', host::ssCtrl); });
  step([&] { driver.PressKey('V', host::ssCtrl); });
  step([&] { Place<TFulgoLabel>(300, 40); });
  ASSERT_EQ(states.size(), 31u);
  EXPECT_TRUE(errors.empty()) << errors.front();

  for (std::size_t i = states.size() - 1; i > 0; --i) {
    driver.PressKey('Z', host::ssCtrl);
    ASSERT_TRUE(FormText() == states[i - 1]) << "undoing edit " << i;
  }
  EXPECT_TRUE(FormText() == start);
  // The label placed first is the last step back.
  driver.PressKey('Z', host::ssCtrl);
  EXPECT_EQ(Form().ComponentCount(), 0);
  EXPECT_FALSE(studio->Designer().CanUndo());
  driver.PressKey('Y', host::ssCtrl);
  for (std::size_t i = 1; i < states.size(); ++i) {
    driver.PressKey(i % 2 ? 'Y' : 'Z', i % 2 ? host::ssCtrl : host::ssCtrl | host::ssShift);
    ASSERT_TRUE(FormText() == states[i]) << "redoing edit " << i;
  }
  // Undone from the Edit menu too, and a new edit forgets what was undone.
  ChooseEdit("Undo");
  EXPECT_TRUE(FormText() == states[states.size() - 2]);
  EditRow("Left", "4");
  EXPECT_FALSE(studio->Designer().CanRedo());
}

TEST_F(StudioTest, ShiftClicksAndABandSelectSeveralThatMoveAlignAndEditTogether) {
  auto& a = Place<TFulgoButton>(20, 20);
  auto& b = Place<TFulgoButton>(140, 60);
  auto& c = Place<TFulgoButton>(260, 100);
  auto& panel = Place<tFulgoPanel>(20, 200);
  ShiftClick(a);
  ShiftClick(c);
  EXPECT_EQ(studio->Designer().Selected(), (std::vector<host::TComponent*>{&panel, &a, &c}));
  ShiftClick(panel);
  EXPECT_EQ(studio->Designer().Selected(), (std::vector<host::TComponent*>{&a, &c}));

  // The inspector shows what both have, with no Name row; an edit is for both, and one step.
  studio::TObjectInspector& inspector = studio->Inspector();
  EXPECT_EQ(inspector.FindRow("Name"), -1);
  EditRow("Caption", "Same");
  EXPECT_EQ(a.Caption(), "Same");
  EXPECT_EQ(c.Caption(), "Same");
  EXPECT_EQ(b.Caption(), "FulgoButton2");
  driver.PressKey('Z', host::ssCtrl);
  EXPECT_EQ(Form().FindComponentAs<TFulgoButton>("FulgoButton1").Caption(), "FulgoButton1");
  EXPECT_EQ(Form().FindComponentAs<TFulgoButton>("FulgoButton3").Caption(), "FulgoButton3");
  EXPECT_EQ(studio->Designer().Selected().size(), 2u) << "undo keeps the selection by name";

  // A band from an empty spot takes in what it touches on the form.
  auto& a2 = Form().FindComponentAs<TFulgoButton>("FulgoButton1");
  auto& b2 = Form().FindComponentAs<TFulgoButton>("FulgoButton2");
  auto& c2 = Form().FindComponentAs<TFulgoButton>("FulgoButton3");
  driver.Drag(Form(), POINT{10, 10}, POINT{b2.Left() + 2, b2.Top() + 2});
  EXPECT_EQ(studio->Designer().Selected(), (std::vector<host::TComponent*>{&a2, &b2}));
  // Dragged together, nudged together.
  const int aLeft = a2.Left(), bLeft = b2.Left(), bTop = b2.Top();
  driver.Drag(Form(), POINT{a2.Left() + 4, a2.Top() + 4}, POINT{a2.Left() + 24, a2.Top() + 4});
  EXPECT_EQ(a2.Left(), aLeft + 20);
  EXPECT_EQ(b2.Left(), bLeft + 20);
  driver.PressKey(host::VK_DOWN);
  EXPECT_EQ(b2.Top(), bTop + 1);

  ChooseEdit("Align tops");
  EXPECT_EQ(b2.Top(), a2.Top());
  b2.SetBounds(b2.Left(), b2.Top(), 50, 30);
  ChooseEdit("Align horizontal centres");
  EXPECT_EQ(b2.Left() + 25, a2.Left() + a2.Width() / 2);
  ChooseEdit("Make same size");
  EXPECT_EQ(b2.Width(), a2.Width());
  EXPECT_EQ(b2.Height(), a2.Height());

  driver.PressKey(host::VK_DELETE);
  EXPECT_EQ(Form().FindComponent("FulgoButton1"), nullptr);
  EXPECT_EQ(Form().FindComponent("FulgoButton2"), nullptr);
  EXPECT_EQ(Form().FindComponent("FulgoButton3"), &c2);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(StudioTest, CopiedComponentsAreTextThatPastesBackUnderFreeNames) {
  auto& panel = Place<tFulgoPanel>(20, 20);
  Place<TFulgoButton>(panel.Left() + 10, panel.Top() + 10);
  studio->Designer().Select(&panel);
  driver.PressKey('C', host::ssCtrl);
  const std::string copied = input->GetClipboardText();
  EXPECT_EQ(copied.rfind("object FulgoPanel1: tFulgoPanel\n", 0), 0u) << copied;
  EXPECT_NE(copied.find("\n  object FulgoButton1: TFulgoButton\n"), std::string::npos) << copied;

  driver.PressKey('V', host::ssCtrl);
  auto& pasted = Form().FindComponentAs<tFulgoPanel>("FulgoPanel2");
  auto& inner = Form().FindComponentAs<TFulgoButton>("FulgoButton2");
  EXPECT_EQ(inner.Parent(), &pasted);
  EXPECT_TRUE(inner.IsDesigning());
  EXPECT_EQ(&studio->Designer().Selection(), &pasted);
  EXPECT_EQ(pasted.Left(), panel.Left()) << "a paste keeps the places copied";

  driver.PressKey('D', host::ssCtrl);
  auto& twin = Form().FindComponentAs<tFulgoPanel>("FulgoPanel3");
  EXPECT_EQ(twin.Left(), pasted.Left() + 8) << "a duplicate lies beside its original";
  EXPECT_NE(Form().FindComponent("FulgoButton3"), nullptr);

  // Text from anywhere pastes: a person's own, with a name in use.
  input->SetClipboardText("object FulgoPanel1: TFulgoLabel\n  Left = 300\n  Caption = 'Typed'\nend\n");
  driver.PressKey('V', host::ssCtrl);
  auto& typed = dynamic_cast<TFulgoLabel&>(studio->Designer().Selection());
  EXPECT_EQ(typed.Name(), "FulgoPanel4");
  EXPECT_EQ(typed.Caption(), "Typed");
  EXPECT_EQ(typed.Left(), 300);

  // Cut takes them away; Paste brings them back.
  studio->Designer().Select(&twin);
  driver.PressKey('X', host::ssCtrl);
  EXPECT_EQ(Form().FindComponent("FulgoPanel3"), nullptr);
  EXPECT_EQ(Form().FindComponent("FulgoButton3"), nullptr);
  driver.PressKey('V', host::ssCtrl);
  EXPECT_NE(Form().FindComponent("FulgoPanel3"), nullptr);
  EXPECT_NE(Form().FindComponent("FulgoButton3"), nullptr);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(StudioTest, UnsavedChangesAreMarkedAndNeverLostUnasked) {
  const std::string path = dir.Name("kept.txt");
  studio->SaveForm(path);
  EXPECT_EQ(studio->Window().Caption(), "Vantora Studio - kept.txt");
  Place<TFulgoLabel>(40, 40);
  EXPECT_EQ(studio->Window().Caption(), "Vantora Studio - kept.txt *");

  // New, Open and closing each ask; Cancel keeps the form as it is.
  driver.AnswerMessage(host::mrCancel);
  driver.Click(driver.FindByCaption(studio->Window(), "New"));
  driver.AnswerMessage(host::mrCancel);
  studio->OpenForm(path);
  driver.AnswerMessage(host::mrCancel);
  studio->Window().Close();
  driver.Process();
  ASSERT_EQ(driver.Dialogs().size(), 3u);
  for (const host::TDialogRecord& asked : driver.Dialogs())
    EXPECT_EQ(asked.text, "Save changes to kept.txt?");
  EXPECT_TRUE(studio->Window().Visible());
  EXPECT_NE(Form().FindComponent("FulgoLabel1"), nullptr);

  // A save that fails leaves the old file whole, says why and keeps the mark.
  const std::string before = test::ReadAll(path);
  {
    test::FullDisk disk(dir.Path() / "full");
    const std::string full = disk.Name("form.txt");
    studio->SaveForm(full);
    const std::string small = test::ReadAll(full);
    Place<TFulgoButton>(200, 40);
    disk.Fill();
    const test::FullDisk::Cap cap(disk);
    driver.AnswerMessage(host::mrYes);
    driver.Click(driver.FindByCaption(studio->Window(), "New"));
    EXPECT_EQ(test::ReadAll(full), small);
  }
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Cannot write file"), std::string::npos) << errors[0];
  EXPECT_NE(Form().FindComponent("FulgoButton1"), nullptr) << "a failed save is no reason to discard";
  EXPECT_NE(studio->Window().Caption().find(" *"), std::string::npos);
  EXPECT_EQ(test::ReadAll(path), before);

  // No discards the changes.
  driver.AnswerMessage(host::mrNo);
  driver.Click(driver.FindByCaption(studio->Window(), "New"));
  EXPECT_EQ(Form().FindComponent("FulgoLabel1"), nullptr);
  EXPECT_EQ(studio->Window().Caption(), "Vantora Studio - (not saved)");
}

TEST_F(StudioTest, ColourRowsShowAndTakeColourNamesAndOpenTheColourDialog) {
  auto& label = Place<TFulgoLabel>(20, 20);
  studio::TObjectInspector& inspector = studio->Inspector();
  inspector.Toggle(inspector.FindRow("Art"));
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Art.Transparent")), "clBtnFace");
  EditRow("Art.Transparent", "clRed");
  EXPECT_EQ(label.Art->GetTransparent(), host::clRed);
  EditRow("Art.Transparent", "$00336699");
  EXPECT_EQ(label.Art->GetTransparent(), 0x336699);
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Art.Transparent")), "$00336699");
  EXPECT_THROW(EditRow("Art.Transparent", "reddish"), host::EPropertyError);

  inspector.Toggle(inspector.FindRow("Art.FulgoBackground"));
  inspector.Toggle(inspector.FindRow("Art.FulgoBackground.FulgoColor"));
  const int brush = inspector.FindRow("Art.FulgoBackground.FulgoColor.Brush");
  ASSERT_GE(brush, 0);
  inspector.ChooseRow(brush);
  driver.AnswerColor(host::clBlue);
  driver.Click(driver.FindByCaption(studio->Window(), "..."));
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Art.FulgoBackground.FulgoColor.Brush")), "clBlue");
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  EXPECT_EQ(driver.Dialogs()[0].kind, host::TDialogKind::Color);
  // A plain number stays a number.
  EXPECT_EQ(inspector.RowValue(inspector.FindRow("Left")), "20");
}

TEST_F(StudioTest, TheWizardRowComesFirstWithItsEllipsisInItsRow) {
  Place<TFulgoButton>(20, 20);
  studio::TObjectInspector& inspector = studio->Inspector();
  EXPECT_EQ(inspector.RowName(1), "  (Wizard)");
  inspector.ChooseRow(inspector.FindRow("Caption"));
  driver.Process();
  EXPECT_THROW(driver.FindByCaption(studio->Window(), "..."), host::ETestFailure)
      << "a text row has no ellipsis";

  inspector.ChooseRow(1);
  driver.Process();
  auto& ellipsis = driver.FindByCaption(studio->Window(), "...");
  const host::TStringGrid& grid = inspector.Grid();
  const host::RECT cell = grid.CellRect(1, 2);
  const POINT at = ellipsis.OriginInTopLevel();
  const POINT gridAt = grid.OriginInTopLevel();
  EXPECT_EQ(at.x + ellipsis.Width(), gridAt.x + cell.right);
  EXPECT_EQ(at.y, gridAt.y + cell.top);
  int opened = 0;
  driver.OnModal("Vantora Wizard", [&](host::TCustomForm& wizard) {
    ++opened;
    wizard.SetModalResult(host::mrCancel);
  });
  driver.Click(ellipsis);
  EXPECT_EQ(opened, 1);
}

TEST_F(StudioTest, AComponentWithoutAControlIsAnIconThatMovesAndIsKept) {
  auto& palette = Place<tFulgoPalette>(301, 299);
  EXPECT_EQ(studio->Designer().MarkOf(palette).left, 300);
  EXPECT_EQ(studio->Designer().MarkOf(palette).top, 300);
  driver.Drag(Form(), POINT{310, 310}, POINT{350, 330});
  EXPECT_EQ(studio->Designer().MarkOf(palette).left, 340);
  EXPECT_EQ(studio->Designer().MarkOf(palette).top, 320);
  driver.PressKey(host::VK_LEFT);
  EXPECT_EQ(studio->Designer().MarkOf(palette).left, 339);

  // The place is kept with the component: through undo, and in the file.
  driver.PressKey(host::VK_DELETE);
  driver.PressKey('Z', host::ssCtrl);
  EXPECT_EQ(studio->Designer().MarkOf(*Form().FindComponent("FulgoPalette1")).left, 339);
  const std::string path = dir.Name("icons.txt");
  studio->SaveForm(path);
  EXPECT_NE(
      test::ReadAll(path).find("object FulgoPalette1: tFulgoPalette\n    Left = 339\n    Top = 320\n  end"),
      std::string::npos)
      << test::ReadAll(path);
  studio->OpenForm(path);
  EXPECT_EQ(studio->Designer().MarkOf(*Form().FindComponent("FulgoPalette1")).top, 320);

  // One never placed in a designer lies where it covers no control, its name included.
  studio->OpenForm(std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt");
  const host::RECT icon = studio->Designer().MarkOf(*Form().FindComponent("SharedPalette"));
  const host::RECT withName{icon.left - 36, icon.top, icon.right + 36, icon.bottom + 16};
  for (int i = 0; i < Form().ControlCount(); ++i) {
    const host::TControl& c = *Form().Controls(i);
    const host::RECT r = c.BoundsRect();
    host::RECT common;
    EXPECT_FALSE(host::IntersectRect(&common, &r, &withName)) << c.Name();
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(StudioTest, EverythingTheWizardsOkChangedIsUndoneAsOneStep) {
  auto& label = Place<TFulgoLabel>(20, 20);
  const std::string before = FormText();
  driver.OnModal("Vantora Wizard", [this](host::TCustomForm& shown) {
    auto& wizard = dynamic_cast<TfrmWizard&>(shown);
    wizard.ShowPage(1);
    driver.ReplaceText(*wizard.txtLabelText1, "Changed");
    wizard.ShowPage(5);
    driver.Click(*wizard.rdoAutoSizeFalse);
    driver.Click(*wizard.btnOk);
  });
  studio::TObjectInspector& inspector = studio->Inspector();
  inspector.ChooseRow(inspector.FindRow("Wizard"));
  driver.Click(driver.FindByCaption(studio->Window(), "..."));
  ASSERT_EQ(label.Caption(), "Changed");
  ASSERT_FALSE(label.GetAutoSize());
  driver.PressKey('Z', host::ssCtrl);  // in the studio's window, where the ellipsis was clicked
  EXPECT_TRUE(FormText() == before);
  EXPECT_NE(Form().FindComponent("FulgoLabel1"), nullptr) << "placing the label is the step before";
}

}  // namespace
}  // namespace vantora
