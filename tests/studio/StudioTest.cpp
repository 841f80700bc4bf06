// The studio driven headless as a person would: palette clicks place components, drags move and
// size them, the inspector edits them, the context menu runs the wizard, and forms are saved and
// opened again.
#include <string>

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
#include "host/widgets/PopupMenu.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"
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
    host::DialogResponder().OnShow = nullptr;
    host::DialogResponder().Clear();
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
  host::DialogResponder().OnShow = [](host::TCustomForm& shown) {
    if (auto* wizard = dynamic_cast<TfrmWizard*>(&shown)) wizard->SetModalResult(host::mrCancel);
  };
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
  host::DialogResponder().OnShow = [&](host::TCustomForm& shown) {
    if (auto* wizard = dynamic_cast<TfrmWizard*>(&shown)) {
      opened.push_back(wizard->EditMode);
      wizard->SetModalResult(host::mrCancel);
    }
  };
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

}  // namespace
}  // namespace vantora
