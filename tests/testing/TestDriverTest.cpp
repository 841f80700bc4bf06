// The test driver as a program's own tests use it: input with its characters, timers on the virtual
// clock, scripts inside modal forms, dialogs recorded with what they opened with, and failures that
// name what went wrong instead of hanging or swallowing the input that follows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/classes/Platform.h"
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/FileDialog.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/forms/Button.h"
#include "host/forms/Panel.h"
#include "host/forms/Timer.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/Screen.h"
#include "host/testing/TestDriver.h"
#include "host/widgets/CustomEdit.h"

namespace vantora::host {
namespace {

// A small form: an edit, a "&Save" button counting its clicks, and a button asking for a number.
class TestDriverTest : public ::testing::Test {
 protected:
  TestDriverTest() {
    form = new TForm(&driver.App());
    form->SetName("Main");
    form->SetBounds(0, 0, 300, 160);
    panel = new TPanel(form);
    panel->SetName("Tools");
    panel->SetBounds(0, 100, 300, 60);
    panel->SetParent(form);
    edit = new TEdit(form);
    edit->SetName("Value");
    edit->SetBounds(10, 10, 200, 21);
    edit->SetParent(form);
    save = new TButton(form);
    save->SetName("Save");
    save->SetCaption("&Save");
    save->SetBounds(10, 50, 75, 25);
    save->SetParent(form);
    save->OnClick = [this](TPersistent*) { ++saves; };
    ask = new TButton(panel);
    ask->SetName("Ask");
    ask->SetCaption("Delete...");
    ask->SetBounds(10, 10, 75, 25);
    ask->SetParent(panel);
    ask->OnClick = [this](TPersistent*) {
      std::string value = "4";
      if (InputQuery("Delete Color", "Select the number to delete", value)) answer = value;
    };
    form->Show();
    driver.Process();
  }

  TTestDriver driver;
  TForm* form = nullptr;
  TPanel* panel = nullptr;
  TEdit* edit = nullptr;
  TButton *save = nullptr, *ask = nullptr;
  int saves = 0;
  std::string answer;
};

TEST_F(TestDriverTest, AnUnscriptedModalFormFailsWithItsTitleAndInputGoesOn) {
  try {
    driver.Click(*ask);
    FAIL() << "the unscripted dialog passed unnoticed";
  } catch (const ETestFailure& failure) {
    EXPECT_NE(failure.Message().find("\"Delete Color\""), std::string::npos) << failure.Message();
  }
  EXPECT_EQ(answer, "") << "it was cancelled";
  EXPECT_FALSE(driver.App().Terminated());
  driver.Click(*save);
  EXPECT_EQ(saves, 1) << "the application still takes input";
}

TEST_F(TestDriverTest, AScriptRunsInsideItsModalFormAndTheDialogIsRecorded) {
  driver.OnModal("Delete Color", [&](TCustomForm& dialog) {
    EXPECT_EQ(driver.Find<TEdit>(dialog, "Value").Text(), "4");
    driver.ReplaceText(driver.Find<TControl>(dialog, "Value"), "12");
    driver.Click(driver.FindByCaption(dialog, "OK"));
  });
  driver.Click(*ask);
  EXPECT_EQ(answer, "12");
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  const TDialogRecord& shown = driver.Dialogs()[0];
  EXPECT_EQ(shown.kind, TDialogKind::Input);
  EXPECT_EQ(shown.title, "Delete Color");
  EXPECT_EQ(shown.text, "Select the number to delete");
  EXPECT_EQ(shown.value, "4") << "what it offered first";
  EXPECT_EQ(shown.answer.text, "12");
  EXPECT_TRUE(shown.answer.accept);
  EXPECT_FALSE(shown.scripted);

  // A script that leaves its form open is a failure too, and the form does not stay up.
  driver.OnModal("Delete Color", [](TCustomForm&) {});
  EXPECT_THROW(driver.Click(*ask), ETestFailure);
  EXPECT_EQ(Screen->ActiveForm(), form);
}

TEST_F(TestDriverTest, QueuedAnswersRecordWhatEachDialogOpenedWith) {
  TColorDialog colors(nullptr);
  colors.SetColor(clRed);
  driver.AnswerColor(clBlue);
  EXPECT_TRUE(colors.Execute());
  EXPECT_EQ(colors.Color(), clBlue);

  TSaveDialog saveDialog(nullptr);
  saveDialog.SetFilter("Labels (*.lbl)|*.lbl");
  saveDialog.SetDefaultExt("lbl");
  saveDialog.SetInitialDir("/tmp");
  driver.AnswerFile(TDialogKind::SaveFile, "/tmp/face");
  EXPECT_TRUE(saveDialog.Execute());
  EXPECT_EQ(saveDialog.FileName(), "/tmp/face.lbl");

  driver.Cancel(TDialogKind::Message);
  EXPECT_EQ(MessageDlg("Replace it?", mtConfirmation, {mbYes, mbNo}), mrCancel);

  ASSERT_EQ(driver.Dialogs().size(), 3u);
  const TDialogRecord &color = driver.Dialogs()[0], &file = driver.Dialogs()[1],
                      &message = driver.Dialogs()[2];
  EXPECT_EQ(color.title, "Color");
  EXPECT_EQ(color.color, clRed) << "the preset colour";
  EXPECT_EQ(color.answer.color, clBlue);
  EXPECT_TRUE(color.scripted);
  EXPECT_EQ(file.kind, TDialogKind::SaveFile);
  EXPECT_EQ(file.title, "Save As");
  EXPECT_EQ(file.filter, "Labels (*.lbl)|*.lbl");
  EXPECT_EQ(file.defaultExt, "lbl");
  EXPECT_EQ(file.initialDir, "/tmp");
  EXPECT_EQ(message.title, "Confirm");
  EXPECT_EQ(message.text, "Replace it?");
  EXPECT_FALSE(message.answer.accept);
}

TEST_F(TestDriverTest, KeysTypeTheirCharactersAndAcceleratorsPressButtons) {
  driver.Click(*edit);
  driver.TypeText("Hello 42");
  EXPECT_EQ(edit->Text(), "Hello 42");
  driver.TypeText("\xC3\xA9");
  EXPECT_EQ(edit->Text(), "Hello 42\xE9") << "a character beyond ASCII in one piece";
  driver.PressKey(VK_BACK);
  driver.PressKey(VK_BACK);
  driver.PressKey('X', ssShift);
  driver.PressKey('Y');
  EXPECT_EQ(edit->Text(), "Hello 4Xy");
  driver.PressKey('A', ssCtrl);
  EXPECT_EQ(edit->Text(), "Hello 4Xy") << "Ctrl+A types no character";
  driver.PressAccelerator('s');
  EXPECT_EQ(saves, 1);
}

TEST_F(TestDriverTest, TimersFireInTheirOrderOnTheVirtualClock) {
  EXPECT_THROW(driver.RunToNextTimer(), ETestFailure) << "no timer runs yet";
  std::vector<std::string> fired;
  TTimer fast(form), slow(form);
  fast.SetInterval(30);
  slow.SetInterval(50);
  const std::uint32_t start = driver.App().GetTickCount();
  fast.OnTimer = [&](TPersistent*) {
    fired.push_back("fast@" + std::to_string(driver.App().GetTickCount() - start));
  };
  slow.OnTimer = [&](TPersistent*) {
    fired.push_back("slow@" + std::to_string(driver.App().GetTickCount() - start));
  };
  driver.Wait(100);
  EXPECT_EQ(fired, (std::vector<std::string>{"fast@30", "slow@50", "fast@60", "fast@90", "slow@100"}));
  driver.RunToNextTimer();
  EXPECT_EQ(fired.back(), "fast@120");
}

TEST_F(TestDriverTest, FindsControlsByNamePathAndCaption) {
  EXPECT_EQ(&driver.Find(*form, "Save"), save);
  EXPECT_EQ(&driver.Find(*form, "Tools.Ask"), ask) << "a child of a child";
  EXPECT_EQ(&driver.FindByCaption(*form, "Delete..."), ask);
  EXPECT_EQ(&driver.FindByCaption<TButton>(*form, "Save"), save) << "accelerator marks left out";
  EXPECT_THROW(driver.Find(*form, "Tools.Missing"), ETestFailure);
  EXPECT_THROW(driver.Find<TEdit>(*form, "Save"), ETestFailure) << "not an edit";
  panel->Hide();
  EXPECT_THROW(driver.FindByCaption(*form, "Delete..."), ETestFailure) << "hidden";
  EXPECT_THROW(driver.Click(*ask), ETestFailure) << "a hidden control cannot be clicked";
}

TEST_F(TestDriverTest, ErrorsThatEscapeHandlersFailUnlessCollected) {
  save->OnClick = [](TPersistent*) { throw Exception("Disk on fire"); };
  EXPECT_THROW(driver.Click(*save), ETestFailure);
  driver.CollectErrors();
  driver.Click(*save);
  EXPECT_EQ(driver.Errors(), (std::vector<std::string>{"Disk on fire", "Disk on fire"}));
}

TEST_F(TestDriverTest, PlatformMessageBoxesAndBeepsReachTheApplication) {
  EXPECT_EQ(HeadlessMessageBoxInstalled(), nullptr) << "the application's own boxes are in place";
  driver.OnModal("Oops", [&](TCustomForm& box) {
    EXPECT_EQ(driver.Find(box, "Message").Name(), "Message");
    driver.PressKey(VK_RETURN);
  });
  EXPECT_EQ(host::MessageBox("Error while creating gradient", "Oops", MB_OK), IDOK);
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  EXPECT_EQ(driver.Dialogs()[0].text, "Error while creating gradient");
  driver.AnswerMessage(mrNo);
  EXPECT_EQ(host::MessageBox("Overwrite?", "Save", MB_YESNO | MB_ICONQUESTION), IDNO);
  const int beeps = driver.Beeps();
  MessageBeep();
  EXPECT_EQ(driver.Beeps(), beeps + 1);
}

TEST(TestDriver, TheServicesBeforeTheApplicationComeBackAfterIt) {
  { TTestDriver driver; }
  EXPECT_NE(HeadlessMessageBoxInstalled(), nullptr);
  EXPECT_NE(HeadlessBeepInstalled(), nullptr);
}

TEST_F(TestDriverTest, PixelsAndThePaletteAsTheScreenShowsThem) {
  panel->SetColor(clRed);
  driver.Process();
  EXPECT_EQ(driver.PixelAt(*panel, 150, 40), 0xFF0000u);
  const TPixels pixels = driver.Pixels(*panel);
  EXPECT_EQ(pixels.width, 300);
  EXPECT_EQ(pixels.At(150, 40), 0xFF0000u);

  // A palette realised on a 256-colour display shows in the system palette, and is counted.
  SetDisplayMode(DisplayMode::Palette256);
  LOGPALETTE logical{};
  logical.palVersion = 0x300;
  logical.palNumEntries = 1;
  logical.palPalEntry[0] = PALETTEENTRY{12, 34, 56, 0};
  HPALETTE palette = CreatePalette(&logical);
  const std::uint64_t before = driver.PaletteRealizations();
  HDC screen = GetDC(nullptr);
  HPALETTE previous = SelectPalette(screen, palette, FALSE);
  RealizePalette(screen);
  SelectPalette(screen, previous, TRUE);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(driver.PaletteRealizations(), before + 1);
  const std::vector<std::uint32_t> system = driver.SystemPalette();
  EXPECT_EQ(system[0], 0u) << "the first static colour is black";
  EXPECT_EQ(system[10], 0x0C2238u) << "the realised colour takes the first free entry";
  DeleteObject(palette);
  SetDisplayMode(DisplayMode::TrueColor);
}

}  // namespace
}  // namespace vantora::host
