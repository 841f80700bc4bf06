// Dialogs answered both ways: by a scripted answer queued in advance, and by input to their own
// controls as a person gives it.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "forms/FormsTestSupport.h"
#include "host/dialogs/ColorDialog.h"
#include "host/dialogs/FileDialog.h"
#include "host/dialogs/FontDialog.h"
#include "host/dialogs/MessageDialogs.h"
#include "host/dialogs/OpenPictureDialog.h"
#include "host/forms/Responder.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"
#include "host/widgets/ListBox.h"

namespace vantora::host {
namespace {

namespace fs = std::filesystem;

class DialogsTest : public testing::FormsTest {
 protected:
  DialogsTest() {
    folder = fs::temp_directory_path() /
             ("vantora-dialogs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder / "presets");
    for (const char* name : {"face.LBL", "glow.lbl", "press.btn", "notes.txt", "photo.bmp"}) Touch(name);
  }
  ~DialogsTest() override {
    std::error_code error;
    fs::permissions(folder / "locked", fs::perms::owner_all, error);
    fs::remove_all(folder, error);
  }
  void Touch(const std::string& name, const std::string& content = "x") {
    std::ofstream(folder / name) << content;
  }

  fs::path folder;
};

TEST_F(DialogsTest, ScriptedAnswers) {
  driver.AnswerMessage(mrNo);
  driver.AnswerInput("12");
  driver.Cancel(TDialogKind::Input);
  driver.AnswerFile(TDialogKind::SaveFile, (folder / "new").string());

  // Answers are taken by kind, in the order they were queued.
  std::string value = "4";
  EXPECT_TRUE(InputQuery("Delete Color", "Select the number to delete", value));
  EXPECT_EQ(value, "12");
  EXPECT_EQ(MessageDlg("Replace it?", mtConfirmation, {mbYes, mbNo}), mrNo);
  EXPECT_EQ(InputBox("Delete Color", "Select the number to delete", "3"), "3") << "cancelled: the default";
  TSaveDialog save(nullptr);
  save.SetDefaultExt("lbl");
  EXPECT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), (folder / "new.lbl").string());
  EXPECT_EQ(DialogResponder().Pending(), 0);
  const int beeps = input->Beeps();
  MessageBeep();
  EXPECT_EQ(input->Beeps(), beeps + 1);
}

TEST_F(DialogsTest, MessageAndInputBoxesDrivenByKeys) {
  // Typed before the box shows: the keys go to the window shown last, the box.
  input->Type("Steel");
  input->PressKey(VK_RETURN);
  std::string value = "Gold";
  EXPECT_TRUE(InputQuery("Preset", "Name:", value));
  EXPECT_EQ(value, "Steel") << "the default text was selected, so typing replaced it";

  input->PressKey(VK_ESCAPE);
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrCancel);
  input->PressKey('N', ssAlt);
  EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, {mbYes, mbNo, mbCancel}), mrNo);
  input->PressKey(VK_RETURN);
  EXPECT_EQ(MessageDlg("Done.", mtInformation, {mbOK}), mrOk);
  std::vector<std::string> titles;
  DialogResponder().OnShow = [&](TCustomForm& dialog) { titles.push_back(dialog.Caption()); };
  input->PressKey(VK_RETURN);
  MessageDlg("Done.", mtInformation, {mbOK});
  input->PressKey(VK_RETURN);
  MessageDlg("Presets loaded.", mtInformation, {mbOK}, "Refresh Presets");
  EXPECT_EQ(titles, (std::vector<std::string>{"Information", "Refresh Presets"})) << "a title of its own";
  DialogResponder().OnShow = nullptr;

  // Closed by the window manager, or by a timer's handler: Cancel.
  DialogResponder().OnShow = [this](TCustomForm& dialog) { input->RequestClose(dialog.Handle()); };
  EXPECT_EQ(MessageDlg("Closing", mtWarning, {mbYes, mbNo}), mrCancel);
  TTimer timer(nullptr);
  timer.SetInterval(50);
  DialogResponder().OnShow = [&](TCustomForm& dialog) {
    timer.OnTimer = [&](TPersistent*) { dialog.Close(); };
  };
  value = "kept";
  EXPECT_FALSE(InputQuery("Timer", "Closes itself", value));
  EXPECT_EQ(value, "kept");
}

TEST_F(DialogsTest, OpenDialogFiltersNavigatesAndChecks) {
  TOpenDialog open(nullptr);
  open.SetFilter("FulgoComponents|*.LBL;*.BTN;*.PNL|Text|*.txt|All");
  open.SetInitialDir(folder.string());
  open.SetOptions({ofFileMustExist, ofPathMustExist});
  std::vector<std::string> listed;
  DialogResponder().OnShow = [&](TCustomForm& dialog) {
    if (auto* shown = dynamic_cast<TFileDialogForm*>(&dialog))
      for (const std::string& entry : shown->Entries()) listed.push_back(entry);
  };
  // A name that does not exist is refused with a message (answered by script); then a real one.
  driver.AnswerMessage(mrOk);
  input->Type("missing.lbl");
  input->PressKey(VK_RETURN);
  input->PressKey('A', ssCtrl);
  input->Type("glow.lbl");
  input->PressKey(VK_RETURN);
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(DialogResponder().Pending(), 0) << "the missing file was reported";
  EXPECT_EQ(listed, (std::vector<std::string>{"[..]", "[presets]", "face.LBL", "glow.lbl", "press.btn"}))
      << "folders first, then the files of the filter, whatever their letter case";
  EXPECT_EQ(open.FileName(), (folder / "glow.lbl").string());

  // Another filter, chosen in the dialog's own combo box.
  open.SetDefaultExt("lbl");
  DialogResponder().OnShow = [&](TCustomForm& dialog) {
    auto* combo = dynamic_cast<TComboBox*>(dialog.FindComponent("FilterCombo"));
    ASSERT_NE(combo, nullptr);
    combo->SetItemIndex(2);
    listed.clear();
    for (const std::string& entry : dynamic_cast<TFileDialogForm&>(dialog).Entries()) listed.push_back(entry);
  };
  input->Type("glow");
  input->PressKey(VK_RETURN);
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName(), (folder / "glow.lbl").string());
  EXPECT_EQ(open.FilterIndex(), 3);
  EXPECT_EQ(listed.size(), 7u);
}

TEST_F(DialogsTest, SaveDialogOverwritePromptAndUnreadableFolders) {
  TSaveDialog save(nullptr);
  save.SetFilter("Labels|*.lbl|Bitmap (*.bmp)|*.bmp");
  save.SetDefaultExt("lbl");
  save.SetInitialDir(folder.string());
  save.SetOptions({ofOverwritePrompt, ofPathMustExist});
  // Declining the overwrite keeps the dialog open; Escape then cancels it, and the file stays.
  driver.AnswerMessage(mrNo);
  input->Type("glow");
  input->PressKey(VK_RETURN);
  input->PressKey(VK_ESCAPE);
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(DialogResponder().Pending(), 0);

  driver.AnswerMessage(mrYes);
  input->Type("glow");
  input->PressKey(VK_RETURN);
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), (folder / "glow.lbl").string());

  // A path that does not exist is refused.
  driver.AnswerMessage(mrOk);
  input->Type("nowhere/face.lbl");
  input->PressKey(VK_RETURN);
  input->PressKey(VK_ESCAPE);
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(DialogResponder().Pending(), 0);

  // A folder that vanished or cannot be read shows empty, saying why; the dialog still works.
  fs::create_directories(folder / "locked");
  fs::permissions(folder / "locked", fs::perms::none);
  std::vector<std::string> starts{(folder / "gone").string()};
  // Permissions do not stop the superuser.
  if (::geteuid() != 0) starts.push_back((folder / "locked").string());
  std::string message;
  save.SetFileName("");
  for (const std::string& start : starts) {
    save.SetInitialDir(start);
    DialogResponder().OnShow = [&](TCustomForm& dialog) {
      if (auto* label = dynamic_cast<TLabel*>(dialog.FindComponent("Message"))) message = label->Caption();
    };
    input->PressKey(VK_ESCAPE);
    EXPECT_FALSE(save.Execute());
    EXPECT_NE(message.find("Cannot read"), std::string::npos) << start;
  }
}

TEST_F(DialogsTest, PicturePreviewShowsTheSelectedFile) {
  {
    TBitmap bitmap;
    bitmap.SetSize(40, 20);
    bitmap.SaveToFile((folder / "photo.bmp").string());
  }
  TOpenPictureDialog open(nullptr);
  open.SetInitialDir(folder.string());
  std::string size;
  DialogResponder().OnShow = [&](TCustomForm& dialog) {
    auto* files = dynamic_cast<TListBox*>(dialog.FindComponent("Files"));
    const int index = files->Items()->IndexOf("photo.bmp");
    ASSERT_GE(index, 0);
    const RECT row{2, 2 + index * files->ItemHeight(), 0, 0};
    const POINT p = At(*files, 10, row.top + 3);
    input->Click(dialog.Handle(), p.x, p.y);
    input->PressKey(VK_RETURN);
    // The size label updates as the click is handled; it is read once the dialog closes.
    dialog.OnHide = [&](TPersistent*) {
      size = dynamic_cast<TLabel*>(dialog.FindComponent("PictureSize"))->Caption();
    };
  };
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName(), (folder / "photo.bmp").string());
  EXPECT_EQ(size, "40 x 20");
}

TEST_F(DialogsTest, ColorDialogBothWays) {
  TColorDialog dialog(nullptr);
  dialog.SetColor(clRed);
  driver.AnswerColor(clTeal);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Color(), clTeal);
  driver.Cancel(TDialogKind::Color);
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.Color(), clTeal);

  // A click on a basic swatch (the second row starts with pure red), then OK.
  DialogResponder().OnShow = [this](TCustomForm& form) {
    TControl* basic =
        form.FindComponent("Basic") ? dynamic_cast<TControl*>(form.FindComponent("Basic")) : nullptr;
    ASSERT_NE(basic, nullptr);
    const POINT p = At(*basic, 3 + 10, 22 + 3 + 8);
    input->Click(form.Handle(), p.x, p.y);
    input->PressKey(VK_RETURN);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Color(), static_cast<TColor>(RGB(255, 0, 0)));

  // Fully open: the fields take typed numbers; green 128 and blue 255 added to red 255.
  dialog.SetOptions({cdFullOpen});
  DialogResponder().OnShow = [this](TCustomForm& form) {
    auto* green = dynamic_cast<TWinControl*>(form.FindComponent("Green"));
    auto* blue = dynamic_cast<TWinControl*>(form.FindComponent("Blue"));
    ASSERT_TRUE(green && blue && green->IsShowing());
    green->SetFocus();
    input->Type("128");
    input->PressKey(VK_TAB);
    input->Type("255x");
    input->PressKey(VK_RETURN);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Color(), static_cast<TColor>(RGB(255, 128, 255)));
  EXPECT_EQ(dialog.CustomColors()->Count(), 16);
  EXPECT_EQ(dialog.CustomColors()->List().Values("ColorA"), "FFFFFF");

  // The conversions agree both ways on the corners of the cube.
  for (TColor c : {clBlack, clWhite, clRed, clLime, clBlue, clYellow, clAqua, clFuchsia, clGray})
    EXPECT_EQ(HsvToRgb(RgbToHsv(c)), c);
}

TEST_F(DialogsTest, FontDialogBothWays) {
  const std::vector<std::string> all = FontFamilies(false), scalable = FontFamilies(true);
  ASSERT_FALSE(scalable.empty());
  EXPECT_LE(scalable.size(), all.size());
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  ASSERT_NE(std::find(scalable.begin(), scalable.end(), "Liberation Serif"), scalable.end());

  TFontDialog dialog(nullptr);
  TDialogAnswer answer;
  answer.kind = TDialogKind::Font;
  answer.fontName = "Liberation Mono";
  answer.fontSize = 14;
  answer.fontStyle = TFontStyles{fsBold};
  DialogResponder().Queue(answer);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Font()->Name(), "Liberation Mono");
  EXPECT_EQ(dialog.Font()->Size(), 14);
  EXPECT_EQ(dialog.Font()->Style(), TFontStyles{fsBold});

  // Typed: a family that is not in the list is refused (the message is answered by script),
  // then the list's own entry, a size and an effect.
  dialog.SetOptions({fdEffects, fdTrueTypeOnly, fdForceFontExist});
  driver.AnswerMessage(mrOk);
  DialogResponder().OnShow = [this](TCustomForm& form) {
    if (!form.FindComponent("FamilyEdit")) return;
    input->PressKey('A', ssCtrl);
    input->Type("liberation ser");
    input->PressKey(VK_RETURN);
    input->PressKey('A', ssCtrl);
    input->Type("Liberation Serif");
    input->PressKey('S', ssAlt);
    input->Type("20");
    input->PressKey('U', ssAlt);
    input->PressKey(VK_RETURN);
  };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(DialogResponder().Pending(), 0);
  EXPECT_EQ(dialog.Font()->Name(), "Liberation Serif");
  EXPECT_EQ(dialog.Font()->Size(), 20);
  EXPECT_EQ(dialog.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));

  // A size that is no number keeps the dialog open; Escape leaves the font as it was.
  driver.AnswerMessage(mrOk);
  DialogResponder().OnShow = [this](TCustomForm& form) {
    if (!form.FindComponent("FamilyEdit")) return;
    input->PressKey('S', ssAlt);
    input->Type("big");
    input->PressKey(VK_RETURN);
    input->PressKey(VK_ESCAPE);
  };
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(DialogResponder().Pending(), 0);
  EXPECT_EQ(dialog.Font()->Size(), 20);
}

TEST_F(DialogsTest, ColorDialogValueBarBesideTheSpectrum) {
  TColorDialog dialog(nullptr);
  dialog.SetOptions({cdFullOpen});
  dialog.SetColor(clRed);
  driver.OnModal("Color", [this](TCustomForm& form) {
    auto& spectrum = driver.Find<TControl>(form, "HueSaturation");
    auto& bar = driver.Find<TControl>(form, "Value");
    ASSERT_TRUE(bar.IsShowing());
    EXPECT_GE(bar.Left(), spectrum.Left() + spectrum.Width()) << "beside the spectrum";
    EXPECT_EQ(bar.Top(), spectrum.Top());
    EXPECT_EQ(bar.Height(), spectrum.Height());
    for (const char* name : {"HueLabel", "Hue"})
      EXPECT_GE(driver.Find<TControl>(form, name).Left(), bar.Left() + bar.Width()) << name;
    // Full red at the top, black at the bottom.
    EXPECT_EQ(driver.PixelAt(bar, 5, 2), 0xFF0000u);
    EXPECT_EQ(driver.PixelAt(bar, 5, bar.Height() - 3), 0x000000u);
    // Halfway down is half the value, the hue and saturation kept.
    driver.ClickAt(bar, 5, 2 + (bar.Height() - 4) / 2);
    EXPECT_EQ(driver.Find<TEdit>(form, "Val").Text(), "50");
    EXPECT_EQ(driver.Find<TEdit>(form, "Sat").Text(), "100");
    driver.Click(driver.FindByCaption(form, "OK"));
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(GetGValue(dialog.Color()), 0);
  EXPECT_EQ(GetBValue(dialog.Color()), 0);
  EXPECT_NEAR(GetRValue(dialog.Color()), 128, 2);
}

TEST_F(DialogsTest, FontDialogOpensAtTheFontItWasGiven) {
  TFontDialog dialog(nullptr);
  dialog.SetOptions({fdEffects, fdTrueTypeOnly, fdForceFontExist});
  dialog.Font()->SetName("Arial");  // not installed: its letters are drawn with Liberation Sans
  dialog.Font()->SetSize(20);
  dialog.Font()->SetStyle(TFontStyles{fsBold});
  driver.OnModal("Font", [this](TCustomForm& form) {
    auto& family = driver.Find<TEdit>(form, "FamilyEdit");
    auto& families = driver.Find<TListBox>(form, "FamilyList");
    auto& size = driver.Find<TEdit>(form, "SizeEdit");
    auto& sizes = driver.Find<TListBox>(form, "SizeList");
    auto& sample = driver.Find<TLabel>(form, "Sample");
    EXPECT_EQ(family.Text(), "Liberation Sans") << "the substitute it is drawn with";
    ASSERT_GE(families.ItemIndex(), 0);
    EXPECT_EQ((*families.Items())[families.ItemIndex()], "Liberation Sans");
    EXPECT_EQ(size.Text(), "20");
    ASSERT_GE(sizes.ItemIndex(), 0);
    EXPECT_EQ((*sizes.Items())[sizes.ItemIndex()], "20");
    EXPECT_EQ(driver.Find<TEdit>(form, "StyleEdit").Text(), "Bold");
    EXPECT_TRUE(sample.Font().Style().Contains(fsBold));

    // Another size keeps the style the sample shows.
    const int twelve = sizes.Items()->IndexOf("12");
    ASSERT_GE(twelve, 0);
    sizes.SetTopIndex(twelve);
    driver.ClickAt(sizes, 8, 2 + sizes.ItemHeight() / 2);
    EXPECT_EQ(size.Text(), "12");
    EXPECT_EQ(sample.Font().Size(), 12);
    EXPECT_TRUE(sample.Font().Style().Contains(fsBold)) << "the sample dropped bold";
    driver.Click(driver.FindByCaption(form, "OK"));
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Font()->Name(), "Liberation Sans");
  EXPECT_EQ(dialog.Font()->Size(), 12);
  EXPECT_EQ(dialog.Font()->Style(), TFontStyles{fsBold});
}

}  // namespace
}  // namespace vantora::host
