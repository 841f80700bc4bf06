// The wizard driven headless as a designer would: typing, clicking, answering its dialogs, and Ok or
// Cancel; what reaches the edited control, and what must never reach it.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"
#include "core/Fuldib.h"
#include "design/Grdwiz.h"
#include "design/Wizard.h"
#include "effects/Fulcolor.h"
#include "effects/Fulgrd.h"
#include "effects/Fullyrs.h"
#include "host/forms/Responder.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"
#include "host/widgets/Strings.h"
#include "host/widgets/TabSet.h"
#include "model/Fulback.h"
#include "model/Fultext.h"
#include "support/TempDir.h"

namespace vantora::testing {
namespace {

namespace fs = std::filesystem;
using host::TDialogKind;

class WizardTest : public ControlsTest {
 protected:
  WizardTest() {
    // Settings come from a copy of the build's default file, so a user's own file plays no part.
    const char* old = std::getenv("VANTORA_INI");
    if (old) savedIni_ = old;
    ini_ = dir.File("fulgo.ini", test::ReadAll(VANTORA_TEST_INI));
    setenv("VANTORA_INI", ini_.c_str(), 1);
    app->OnException = [this](host::TPersistent*, const host::Exception& error) {
      errors.push_back(error.Message());
    };
    form = NewForm(400, 300);
    form->Show();
  }
  ~WizardTest() override {
    if (savedIni_.empty())
      unsetenv("VANTORA_INI");
    else
      setenv("VANTORA_INI", savedIni_.c_str(), 1);
  }

  // Runs Steps once the wizard is up; the steps end it with Ok or Cancel.
  void OnWizard(std::function<void(TfrmWizard&)> steps) {
    driver.OnModal("Vantora Wizard",
                   [steps](host::TCustomForm& shown) { steps(dynamic_cast<TfrmWizard&>(shown)); });
  }
  TFulgoLabel* NewLabel(const std::string& caption) {
    auto* label = new TFulgoLabel(form);
    label->SetParent(form);
    label->SetCaption(caption);
    app->ProcessMessages();
    return label;
  }
  void Page(TfrmWizard& wizard, int page) {
    wizard.ShowPage(page);
    app->ProcessMessages();
  }
  void ClickItem(const host::TListBox& list, int index) {
    Click(list, 8, 2 + index * list.ItemHeight() + list.ItemHeight() / 2);
    app->ProcessMessages();
  }
  void ClickLetter(const host::TStringGrid& grid, int letter) {
    const host::RECT cell = grid.CellRect(letter, 0);
    Click(grid, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    app->ProcessMessages();
  }
  host::TSpeedButton& Button(TfrmWizard& wizard, const char* name) {
    return *dynamic_cast<host::TSpeedButton*>(wizard.FindComponent(name));
  }
  // Renders counted by their beeps.
  int Renders() const { return input->Beeps(); }

  test::TempDir dir;
  host::TForm* form = nullptr;
  std::vector<std::string> errors;

 private:
  std::string ini_, savedIni_;
};

TEST_F(WizardTest, EditingALabelOnEveryPageReachesItOnOk) {
  TFulgoLabel* label = NewLabel("Hello");
  OnWizard([&](TfrmWizard& w) {
    EXPECT_TRUE(bInWizard);
    EXPECT_EQ(frmWiz, &w);
    EXPECT_FALSE(w.lstButtonStates->Visible()) << "button states are for buttons";
    EXPECT_EQ(w.EditedText()->Caption, "Hello");
    ASSERT_FALSE(w.Preview->Art->Dib->Empty()) << "the preview rendered when the wizard showed";

    Page(w, 1);
    driver.ReplaceText(*w.txtLabelText1, "Wizard");
    EXPECT_EQ(w.txtLabelText2->Text(), "Wizard") << "the other caption edit follows";
    EXPECT_EQ(w.EditedText()->Caption, "Wizard");
    EXPECT_EQ(w.grdLetters->ColCount(), 6) << "one column per letter";

    // A font for the second letter alone, through the letter grid.
    driver.Click(Button(w, "btnAdvanced"));
    ASSERT_TRUE(w.pnlLetters->Visible());
    driver.Click(*w.chkApplyAll);
    ASSERT_FALSE(w.chkApplyAll->Checked());
    ClickLetter(*w.grdLetters, 1);
    driver.ReplaceText(*w.spnHeight, "44");
    EXPECT_EQ(w.EditedText()->GetLetterFont(1)->GetHeight(), 44);
    EXPECT_NE(w.EditedText()->GetLetterFont(0)->GetHeight(), 44) << "the first letter keeps its font";
    ClickLetter(*w.grdLetters, 0);
    EXPECT_NE(w.spnHeight->Getvalue(), 44) << "the font controls show the letter clicked";

    // Text effects: a frame of width 3 and an embossed 3D edge pointing down.
    Page(w, 2);
    driver.Click(*w.chkTextFrame);
    EXPECT_EQ(w.cmbColor->ItemIndex(), 3) << "the colour panel follows: \"Letters Frame\"";
    EXPECT_EQ(w.EditedColor, w.EditedText()->LayerFrame->FulgoColor1.get());
    driver.ReplaceText(*w.spnTextFrame, "3");
    driver.Click(*w.chkText3d);
    driver.Click(*w.chkTextEmbossed);
    w.cmbText3dDirection->SetItemIndex(5);
    app->ProcessMessages();
    // Background effects: a shadow moved by 4, 5.
    Page(w, 3);
    driver.Click(*w.chkBackShadow);
    driver.ReplaceText(*w.spnBackShadowX, "4");
    driver.ReplaceText(*w.spnBackShadowY, "5");
    // Align/Size: left justified, with 7 pixels added to the text's width.
    Page(w, 5);
    w.chkTextAlignment->SetItemIndex(1);
    driver.ReplaceText(*w.spnTextWidth, "7");
    EXPECT_EQ(w.EditedBackground()->TextWidthPlus, 7);

    // The background's colour through the colour dialog, as fuzz of radius 2.
    Page(w, 3);
    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnPickBack1")));
    EXPECT_EQ(w.EditedColor, w.EditedBackground()->FulgoColor.get());
    driver.Click(*w.rdoFuzz);
    driver.ReplaceText(*w.spnFuzz, "2");
    driver.AnswerColor(0xFF0000);
    driver.Click(Button(w, "btnEditColor"));
    EXPECT_EQ(host::DialogResponder().Pending(), 0);

    // The letters as a gradient of three stops, made in the gradient editor; then cancelled once.
    w.cmbColor->SetItemIndex(0);
    app->ProcessMessages();
    ASSERT_EQ(w.EditedColor, w.EditedText()->FulgoColor.get());
    bool accept = false;
    w.GradientEditor->OnShow = [&](host::TPersistent*) {
      app->ProcessMessages();
      driver.Click(*w.GradientEditor->btnInsertColor);
      driver.Click(accept ? *w.GradientEditor->btnOk : *w.GradientEditor->btnCancel);
    };
    driver.Click(*w.rdoGradient);
    EXPECT_EQ(w.EditedColor->ColorType, fgGradient) << "the radio buttons set the type";
    driver.Click(Button(w, "btnEditColor"));
    EXPECT_EQ(w.EditedColor->Gradient->Vortex[1].Steps, 0) << "a cancelled gradient editor changes nothing";
    accept = true;
    driver.Click(Button(w, "btnEditColor"));
    EXPECT_EQ(w.EditedColor->ColorType, fgGradient);
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_EQ(frmWiz, nullptr);
  EXPECT_FALSE(bInWizard);
  EXPECT_TRUE(errors.empty()) << errors.front();

  EXPECT_EQ(label->Caption(), "Wizard");
  tFulgoText& text = *label->Art->FulgoText;
  tFulgoBackground& back = *label->Art->FulgoBackground;
  EXPECT_EQ(text.Caption, "Wizard");
  EXPECT_EQ(text.GetLetterFont(1)->GetHeight(), 44);
  EXPECT_TRUE(text.LayerFrame->Active);
  EXPECT_EQ(text.LayerFrame->LineWidth, 3);
  EXPECT_TRUE(text.Layer3D->Active);
  EXPECT_TRUE(text.Layer3D->Embossed);
  EXPECT_EQ(text.Layer3D->Direction, fgDown);
  EXPECT_TRUE(back.LayerShadow->Active);
  EXPECT_EQ(back.LayerShadow->Left, 4);
  EXPECT_EQ(back.LayerShadow->Top, 5);
  EXPECT_EQ(text.Align->Alignment, host::taLeftJustify);
  EXPECT_EQ(back.FulgoColor->ColorType, fgFuzz);
  EXPECT_EQ(back.FulgoColor->Fuzz, 2);
  EXPECT_EQ(back.FulgoColor->Brush, 0xFF0000u);
  EXPECT_EQ(text.FulgoColor->ColorType, fgGradient);
  EXPECT_GT(text.FulgoColor->Gradient->Vortex[1].Steps, 0) << "the stop inserted in the editor";
  app->ProcessMessages();
  EXPECT_FALSE(label->Art->Dib->Empty());
  EXPECT_EQ(label->Width(), label->Art->GetWidth()) << "the label was rebuilt with its new look";
}

TEST_F(WizardTest, AChoiceFromADropDownListLeavesNothingPaintedBehind) {
  TFulgoLabel* label = NewLabel("Hello");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    host::TComboBox& colourOf = *w.cmbColor;
    ASSERT_TRUE(colourOf.IsShowing());
    const int steps = 5 - colourOf.ItemIndex();
    ASSERT_GT(steps, 0);
    colourOf.SetFocus();
    driver.PressKey(host::VK_F4);
    ASSERT_TRUE(colourOf.DroppedDown());
    for (int i = 0; i < steps; ++i) driver.PressKey(host::VK_DOWN);
    driver.PressKey(host::VK_RETURN);
    ASSERT_FALSE(colourOf.DroppedDown());
    EXPECT_EQ(colourOf.Text(), "Background");
    // The screen shows what painting the whole wizard afresh shows.
    const host::TPixels shown = driver.Pixels(w);
    w.Invalidate();
    driver.Process();
    EXPECT_TRUE(driver.Pixels(w).pixels == shown.pixels) << "a part of the list stayed on the screen";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
}

// Where one control ends in the wizard's client coordinates.
int RightEdge(const host::TControl& control) {
  return control.OriginInTopLevel().x + control.Width();
}

TEST_F(WizardTest, TabsPreviewAndColourPanelFitTheirPlaces) {
  TFulgoLabel* label = NewLabel("Hello");
  OnWizard([&](TfrmWizard& w) {
    host::TControl& pages = *w.ntbMain->Parent();
    const int lastTab = w.TabSet1->Tabs()->Count() - 1;
    EXPECT_LE(w.TabSet1->OriginInTopLevel().x + w.TabSet1->TabRect(lastTab).right, RightEdge(pages))
        << "the last tab runs past its page";
    EXPECT_LE(RightEdge(*w.TabSet1), RightEdge(pages));
    // The chosen tab joins its page: the page's top edge breaks beneath it alone.
    const auto edgeBelow = [&](int tab) {
      const host::RECT r = w.TabSet1->TabRect(tab);
      const int x = w.TabSet1->OriginInTopLevel().x + (r.left + r.right) / 2 - pages.OriginInTopLevel().x;
      return driver.PixelAt(pages, x, 0);
    };
    EXPECT_EQ(edgeBelow(w.TabSet1->TabIndex()), host::ColorToRGB(host::clBtnFace));
    EXPECT_EQ(edgeBelow(w.TabSet1->TabIndex() + 1), host::ColorToRGB(host::clBtnHighlight));
    EXPECT_EQ(RightEdge(*w.scrlExample), RightEdge(*w.pnlColor))
        << "with no state list the preview reaches the right edge";

    // The colour panel offers the colour of what the page edits.
    const auto clickTab = [&](int tab) {
      const host::RECT r = w.TabSet1->TabRect(tab);
      driver.ClickAt(*w.TabSet1, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    clickTab(3);
    EXPECT_EQ(w.cmbColor->Text(), "Background") << "on Background Effects";
    clickTab(1);
    EXPECT_EQ(w.cmbColor->Text(), "Letters");
    driver.ClickAt(*w.cmbColor, 10, 10);
    driver.PressKey(host::VK_DOWN);
    driver.PressKey(host::VK_RETURN);
    ASSERT_EQ(w.cmbColor->Text(), "Letters 3D");
    clickTab(4);
    EXPECT_EQ(w.cmbColor->Text(), "Background") << "on Background Image";
    clickTab(2);
    EXPECT_EQ(w.cmbColor->Text(), "Letters 3D") << "the text side's last choice comes back";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));

  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  OnWizard([&](TfrmWizard& w) {
    EXPECT_LE(RightEdge(*w.scrlExample), w.lstButtonStates->Left()) << "the state list beside the preview";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditButton(*button));
}

TEST_F(WizardTest, TheFontDialogOpensAtTheLettersFontAndItsSizeComesBack) {
  TFulgoLabel* label = NewLabel("Hello");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    driver.ReplaceText(*w.txtFont, "Arial");
    driver.ReplaceText(*w.spnHeight, "24");  // a cell 24 pixels high: 18 points
    w.cmbBold->SetFocus();
    driver.PressKey(host::VK_END);
    driver.PressKey(host::VK_UP);
    driver.PressKey(host::VK_UP);
    ASSERT_EQ(w.cmbBold->Text(), "Bold");
    driver.OnModal("Font", [&](host::TCustomForm& font) {
      EXPECT_EQ(driver.Find<host::TEdit>(font, "FamilyEdit").Text(), "Liberation Sans");
      EXPECT_EQ(driver.Find<host::TEdit>(font, "SizeEdit").Text(), "18");
      EXPECT_EQ(driver.Find<host::TEdit>(font, "StyleEdit").Text(), "Bold");
      driver.ReplaceText(driver.Find<host::TEdit>(font, "SizeEdit"), "12");
      driver.Click(driver.FindByCaption(font, "OK"));
    });
    driver.Click(Button(w, "btnFont"));
    EXPECT_EQ(w.txtFont->Text(), "Liberation Sans");
    EXPECT_EQ(w.cmbBold->Text(), "Bold");
    EXPECT_EQ(w.EditedText()->GetLetterFont(0)->GetHeight(), 16) << "12 points are 16 pixels";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
}

TEST_F(WizardTest, CancelLeavesTheControlAndItsPaletteExactlyAsTheyWere) {
  auto* palette = new tFulgoPalette(form);
  palette->SetName("Palette1");
  TFulgoLabel* label = NewLabel("Keep me");
  label->SetName("Label1");
  label->SetFulgoPalette(palette);
  label->SetUpdatePalette(false);
  app->ProcessMessages();
  palette->SetSavePalette(true);
  const std::string labelBefore = AsText(*label);
  const std::string paletteBefore = AsText(*palette);
  const int builds = palette->BuildCount;
  OnWizard([&](TfrmWizard& w) {
    EXPECT_EQ(palette->GetComponentsCount(), 1) << "the working copy stays out of the control's palette";
    Page(w, 2);
    driver.ReplaceText(*w.txtLabelText2, "Changed");
    driver.Click(*w.chkTextShadow);
    Page(w, 5);
    driver.Click(*w.rdoAutoSizeFalse);
    driver.Click(Button(w, "btnClear"));
    EXPECT_EQ(palette->BuildCount, builds) << "previews render with the wizard's own palette";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
  app->ProcessMessages();
  EXPECT_EQ(AsText(*label), labelBefore);
  EXPECT_EQ(AsText(*palette), paletteBefore) << "the working copy never joined the control's palette";
  EXPECT_EQ(label->GetFulgoPalette(), palette);
  EXPECT_FALSE(label->GetUpdatePalette());
  EXPECT_EQ(label->Caption(), "Keep me");

  // Ok puts the palette component and UpdatePalette back as well.
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    driver.ReplaceText(*w.txtLabelText1, "Changed");
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_EQ(label->Caption(), "Changed");
  EXPECT_EQ(label->GetFulgoPalette(), palette);
  EXPECT_FALSE(label->GetUpdatePalette());
}

// A label whose rebuild fails on demand, as a render might.
class FailingLabel : public TFulgoLabel {
 public:
  using TFulgoLabel::TFulgoLabel;
  bool fail = false;
  void Rebuild() override {
    if (fail && GetAllowRebuild()) throw host::EInvalidOperation("The render failed");
    TFulgoLabel::Rebuild();
  }
};

TEST_F(WizardTest, AnErrorWhileAcceptingPutsTheControlBack) {
  auto* palette = new tFulgoPalette(form);
  palette->SetName("Palette1");
  auto* label = new FailingLabel(form);
  label->SetName("Label1");
  label->SetParent(form);
  label->SetCaption("Before");
  label->SetFulgoPalette(palette);
  label->SetUpdatePalette(false);
  label->SetLeft(30);
  app->ProcessMessages();
  const std::string before = AsText(*label);
  label->fail = true;
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    driver.ReplaceText(*w.txtLabelText1, "After");
    Page(w, 5);
    driver.Click(*w.rdoAutoSizeFalse);
    driver.ReplaceText(*w.spnBackWidth, "300");
    driver.Click(*w.btnOk);
  });
  EXPECT_THROW(EditLabel(*label), host::EInvalidOperation);
  EXPECT_EQ(frmWiz, nullptr) << "the form went all the same";
  label->fail = false;
  EXPECT_EQ(AsText(*label), before);
  EXPECT_EQ(label->Caption(), "Before");
  EXPECT_EQ(label->GetFulgoPalette(), palette);
  EXPECT_FALSE(label->GetUpdatePalette());
  EXPECT_EQ(label->Left(), 30);
}

TEST_F(WizardTest, RefusedInputKeepsTheLastGoodValue) {
  TFulgoLabel* label = NewLabel("Twenty-nine letters in here!!");
  ASSERT_EQ(label->Caption().size(), 29u);
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    // The 30th letter is refused: both edits show the caption as it was.
    Click(*w.txtLabelText1, w.txtLabelText1->Width() - 4, 5);
    input->PressKey(host::VK_END);
    const int beeps = input->Beeps();
    input->Type("x");
    app->ProcessMessages();
    EXPECT_EQ(w.txtLabelText1->Text(), "Twenty-nine letters in here!!");
    EXPECT_EQ(w.txtLabelText2->Text(), "Twenty-nine letters in here!!");
    EXPECT_EQ(w.EditedText()->Caption, "Twenty-nine letters in here!!");
    EXPECT_GT(input->Beeps(), beeps);

    // A frame width outside 0..50, and a text that is no number: a beep, no error, the old value.
    Page(w, 2);
    driver.Click(*w.chkTextFrame);
    w.spnTextFrame->SetText("99");
    w.spnTextShadowX->SetText("1-2");
    const int before = input->Beeps();
    driver.Click(*w.chkTextShadow);
    EXPECT_EQ(w.EditedText()->LayerFrame->LineWidth, 1);
    EXPECT_EQ(w.spnTextFrame->Text(), "1");
    EXPECT_EQ(w.EditedText()->LayerShadow->Left, 1);
    EXPECT_EQ(w.spnTextShadowX->Text(), "1");
    EXPECT_GE(input->Beeps() - before, 2);
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(label->Art->FulgoText->LayerFrame->LineWidth, 1);
}

TEST_F(WizardTest, TypingQuicklyRendersOnceAfterTheDelay) {
  TFulgoLabel* label = NewLabel("A");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 6);
    driver.Click(*w.chkBeep);
    ASSERT_EQ(w.spnUpdateTime->Getvalue(), 600);
    Page(w, 1);
    Click(*w.txtLabelText1, 40, 5);
    input->PressKey(host::VK_END);
    app->ProcessMessages();
    const int start = Renders();
    for (char c : std::string("bcdef")) {
      input->Type(std::string(1, c));
      app->ProcessMessages();
      input->Advance(150);
      app->ProcessMessages();
    }
    EXPECT_EQ(Renders(), start) << "no render while the keys come quicker than the delay";
    // The last key came 150 ms ago; nothing may render before 600 ms have passed since it.
    int waited = 150;
    while (Renders() == start && waited < 2000) {
      input->Advance(50);
      waited += 50;
      app->ProcessMessages();
    }
    EXPECT_EQ(Renders(), start + 1);
    EXPECT_GT(waited, 600);
    EXPECT_LE(waited, 600 + 200 + 50) << "the next timer tick renders";
    input->Advance(2000);
    app->ProcessMessages();
    EXPECT_EQ(Renders(), start + 1) << "exactly once";
    EXPECT_EQ(w.Preview->FulgoText->Caption, "Abcdef");

    // On Enter: the key renders at once and is swallowed; "&Render" works in this mode only.
    w.rdosUpdateMethod->SetItemIndex(1);
    int keysReachingEdit = 0;
    w.txtLabelText1->OnKeyDown = [&](host::TPersistent*, std::uint16_t&, host::TShiftState) {
      ++keysReachingEdit;
    };
    Click(*w.txtLabelText1, 40, 5);
    input->PressKey(host::VK_RETURN);
    app->ProcessMessages();
    EXPECT_EQ(Renders(), start + 2);
    EXPECT_EQ(keysReachingEdit, 0);
    driver.Click(*w.btnRender);
    EXPECT_EQ(Renders(), start + 3);
    w.rdosUpdateMethod->SetItemIndex(0);
    driver.Click(*w.btnRender);
    EXPECT_EQ(Renders(), start + 3) << "the button does nothing in the delay mode";
    driver.Click(*w.btnCancel);
  });
  EditLabel(*label);
}

TEST_F(WizardTest, PresetsFromTheGalleryWithEitherCaption) {
  TFulgoLabel* label = NewLabel("Mine");
  OnWizard([&](TfrmWizard& w) {
    ASSERT_TRUE(w.PresetsFound) << "the bundled gallery is the default";
    ASSERT_GT(w.lstFiles->Items()->Count(), 1);
    EXPECT_FALSE(w.MemoNoPresets->Visible());
    EXPECT_EQ(w.lstFiles->ItemIndex(), 0);
    EXPECT_TRUE(w.PresetLabel->Visible());
    EXPECT_EQ(w.PresetLabel->Caption(), "Mine") << "My Caption is in force";

    ClickItem(*w.lstFiles, 1);
    EXPECT_EQ(w.PresetName, (*w.lstFiles->Items())[1]);
    EXPECT_EQ(w.PresetLabel->Caption(), "Mine");
    driver.Click(*w.rdoPresetCaption);
    EXPECT_NE(w.PresetLabel->Caption(), "Mine") << "the preset is loaded again with its own caption";
    const std::string presetCaption = w.PresetLabel->Caption();
    const host::TColor presetBrush = w.PresetLabel->Art->FulgoBackground->FulgoColor->Brush;

    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnApplyPreset")));
    EXPECT_EQ(w.EditedText()->Caption, presetCaption);
    EXPECT_EQ(w.txtLabelText1->Text(), presetCaption);
    EXPECT_EQ(w.EditedBackground()->FulgoColor->Brush, presetBrush);
    EXPECT_EQ(w.WorkLabel->GetFulgoPalette(), nullptr);

    // A gallery that does not exist shows the memo.
    Page(w, 6);
    driver.ReplaceText(*w.txtGalleryDirectory, dir.Name("nowhere"));
    Page(w, 0);
    driver.AnswerMessage(host::mrOk);
    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnRefreshPresets")));
    EXPECT_EQ(host::DialogResponder().Pending(), 0) << "\"Presets loaded.\" was reported";
    EXPECT_FALSE(w.PresetsFound);
    EXPECT_TRUE(w.MemoNoPresets->Visible());
    EXPECT_FALSE(w.PresetLabel->Visible());
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_NE(label->Caption(), "Mine");
}

TEST_F(WizardTest, FilesThatFailToLoadAreReportedAndChangeNothing) {
  // A gallery with one good preset and one broken one.
  TFulgoLabel* good = NewLabel("Good");
  good->Art->FulgoBackground->FulgoColor->SetBrush(0x00FF00);
  good->SaveToFile(dir.Name("a-good.lbl"));
  const std::string broken = dir.File("b-broken.lbl", "TPF0 this is no control file");
  const std::string truncated = dir.Name("c-truncated.lbl");
  {
    const std::string bytes = test::ReadAll(dir.Name("a-good.lbl"));
    dir.File("c-truncated.lbl", bytes.substr(0, bytes.size() / 2));
  }
  TFulgoLabel* label = NewLabel("Edited");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 6);
    driver.ReplaceText(*w.txtGalleryDirectory, dir.Path().string());
    Page(w, 0);
    driver.AnswerMessage(host::mrOk);
    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnRefreshPresets")));
    ASSERT_EQ(w.lstFiles->Items()->Count(), 3);
    const std::string presetBefore = AsText(*w.PresetLabel);
    ClickItem(*w.lstFiles, 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(broken), std::string::npos) << errors[0];
    EXPECT_EQ(AsText(*w.PresetLabel), presetBefore) << "the preview keeps its last good look";
    EXPECT_TRUE(w.PresetLabel->Visible());
    EXPECT_EQ(w.PresetName, "a-good") << "Apply Preset still applies the last good one";

    // Loading a broken control file into the working copy.
    const std::string workBefore = AsText(*w.WorkLabel);
    driver.AnswerFile(TDialogKind::OpenFile, truncated);
    driver.Click(Button(w, "btnLoad"));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[1].find(truncated), std::string::npos) << errors[1];
    EXPECT_EQ(AsText(*w.WorkLabel), workBefore);
    EXPECT_EQ(w.EditedText()->Caption, "Edited");

    // A good file loads.
    driver.AnswerFile(TDialogKind::OpenFile, dir.Name("a-good.lbl"));
    driver.Click(Button(w, "btnLoad"));
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(w.EditedBackground()->FulgoColor->Brush, 0x00FF00u);
    EXPECT_EQ(w.txtLabelText1->Text(), "Good");
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_EQ(label->Caption(), "Good");
  EXPECT_EQ(label->Art->FulgoBackground->FulgoColor->Brush, 0x00FF00u);
}

TEST_F(WizardTest, SavesControlFilesAndRenderedBitmaps) {
  TFulgoLabel* label = NewLabel("Saved");
  const std::string control = dir.Name("saved.lbl");
  const std::string face = dir.Name("face.BMP");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 2);
    driver.Click(*w.chkTextFrame);
    driver.AnswerFile(TDialogKind::SaveFile, control);
    driver.Click(Button(w, "btnSave"));
    driver.AnswerFile(TDialogKind::SaveFile, face);
    driver.Click(Button(w, "btnSave"));
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
  EXPECT_FALSE(label->Art->FulgoText->LayerFrame->Active) << "saving is not accepting";

  ASSERT_TRUE(fs::exists(control));
  TFulgoLabel* loaded = NewLabel("");
  loaded->LoadFromFile(control);
  EXPECT_EQ(loaded->Caption(), "Saved");
  EXPECT_TRUE(loaded->Art->FulgoText->LayerFrame->Active);
  const std::string bitmap = test::ReadAll(face);
  ASSERT_GT(bitmap.size(), 1078u);
  EXPECT_EQ(bitmap.substr(0, 2), "BM") << "a .BMP name writes the rendered face, not a control file";
}

TEST_F(WizardTest, PicturesForFillsAndTheBackground) {
  TFulgoLabel* label = NewLabel("Pictures");
  const std::string picture = dir.Name("face.bmp");
  SaveDib(*label->Art->Dib, picture);
  const std::string notAPicture = dir.File("notes.bmp", "plain text");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 2);
    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnPickLetters2")));
    ASSERT_EQ(w.EditedColor, w.EditedText()->FulgoColor.get());
    // "Bitmap" on a fill without one asks for a picture; cancelling keeps the type.
    driver.Cancel(TDialogKind::OpenFile);
    driver.Click(*w.rdoBitmap);
    EXPECT_EQ(w.EditedColor->ColorType, fgBrush);
    EXPECT_TRUE(w.rdoColor->Checked());
    // A file that is no picture is reported, naming it, and changes nothing.
    driver.AnswerFile(TDialogKind::OpenFile, notAPicture);
    driver.Click(*w.rdoBitmap);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(notAPicture), std::string::npos) << errors[0];
    EXPECT_EQ(w.EditedColor->ColorType, fgBrush);
    driver.AnswerFile(TDialogKind::OpenFile, picture);
    driver.Click(*w.rdoTiledBitmap);
    EXPECT_EQ(w.EditedColor->ColorType, fgTiledBitmap);
    EXPECT_FALSE(w.EditedColor->FulgoGlyph->Empty());

    // The background's picture, whose size the image page shows.
    Page(w, 4);
    driver.AnswerFile(TDialogKind::OpenFile, picture);
    driver.Click(Button(w, "btnLoadImage"));
    EXPECT_FALSE(w.EditedBackground()->BackImage->Empty());
    EXPECT_EQ(w.spnImageWidth->Getvalue(), label->Art->GetWidth());
    EXPECT_EQ(w.EditedBackground()->ImageWidth, label->Art->GetWidth());
    driver.Click(Button(w, "btnClearImage"));
    EXPECT_TRUE(w.EditedBackground()->BackImage->Empty());
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditLabel(*label));
  EXPECT_EQ(label->Art->FulgoText->FulgoColor->ColorType, fgTiledBitmap);
  EXPECT_TRUE(label->Art->FulgoBackground->BackImage->Empty());
}

TEST_F(WizardTest, ButtonStatesAreEditedOneByOne) {
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->SetCaption("Press");
  app->ProcessMessages();
  OnWizard([&](TfrmWizard& w) {
    EXPECT_TRUE(w.lstButtonStates->Visible());
    EXPECT_FALSE(w.pnlHideButtonStates->Visible());
    EXPECT_EQ(w.Preview->Art, w.WorkButton->Art.get());
    ASSERT_EQ((*w.lstButtonStates->Items())[0], "Up ");

    ClickItem(*w.lstButtonStates, 3);
    EXPECT_EQ(w.ButtonState, kStateMouseOver);
    EXPECT_EQ(w.Preview->Art, w.WorkButton->MouseOverArt.get());
    Page(w, 2);
    driver.Click(*w.chkTextFrame);
    EXPECT_TRUE(w.WorkButton->MouseOverArt->FulgoText->LayerFrame->Active);

    // A picture fill is for the Up state only: choosing one runs the edit, which refuses.
    driver.AnswerMessage(host::mrOk);
    driver.Click(*w.rdoBitmap);
    EXPECT_EQ(host::DialogResponder().Pending(), 0) << "\"Bitmaps can only be changed for the UP state\"";
    EXPECT_EQ(w.EditedColor->ColorType, fgBrush);
    EXPECT_TRUE(w.rdoColor->Checked()) << "the panel shows the type the fill kept";

    ClickItem(*w.lstButtonStates, 0);
    EXPECT_EQ(w.Preview->Art, w.WorkButton->Art.get());
    EXPECT_FALSE(w.chkTextFrame->Checked()) << "the Up look has no frame";
    Page(w, 1);
    driver.ReplaceText(*w.txtLabelText1, "Go");
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditButton(*button));
  EXPECT_EQ(button->Caption(), "Go");
  EXPECT_TRUE(button->MinArt) << "MinArt is put back";
  EXPECT_FALSE(button->Art->FulgoText->LayerFrame->Active);
  EXPECT_TRUE(button->MouseOverArt->FulgoText->LayerFrame->Active);
  EXPECT_EQ(button->MouseOverArt->FulgoText->Caption, "Go") << "every state takes the caption";
  // The state survives a round trip through a control file, as differences from Up.
  button->SaveToFile(dir.Name("b.btn"));
  auto* copy = new TFulgoButton(form);
  copy->LoadFromFile(dir.Name("b.btn"));
  EXPECT_TRUE(copy->MouseOverArt->FulgoText->LayerFrame->Active);
  EXPECT_FALSE(copy->DownArt->FulgoText->LayerFrame->Active);
}

TEST_F(WizardTest, TheStateListShowsWhatDiffersFromUpAndAStateFollowsUpAgain) {
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->SetCaption("Press");
  app->ProcessMessages();
  OnWizard([&](TfrmWizard& w) {
    const host::TStrings& states = *w.lstButtonStates->Items();
    ASSERT_TRUE(w.btnSameAsUp->IsShowing());
    ClickItem(*w.lstButtonStates, 3);
    EXPECT_EQ(states[3], "MouseOver") << "a new button's states follow Up";
    Page(w, 2);
    driver.Click(*w.chkTextFrame);
    EXPECT_EQ(states[3], "MouseOver *") << "the hover look has a frame of its own now";
    EXPECT_EQ(states[1], "Down *") << "the pressed look is moved by its own offset";
    EXPECT_EQ(states[2], "Disable");

    // Up changed: the hover look keeps its frame, the state with nothing of its own follows.
    ClickItem(*w.lstButtonStates, 0);
    driver.Click(*w.chkTextShadow);
    EXPECT_TRUE(w.WorkButton->Art->FulgoText->LayerShadow->Active);
    ClickItem(*w.lstButtonStates, 3);
    EXPECT_TRUE(w.chkTextFrame->Checked());
    EXPECT_TRUE(w.chkTextShadow->Checked());

    // One click and the hover look is Up's again, the frame gone.
    driver.Click(*w.btnSameAsUp);
    EXPECT_EQ(states[3], "MouseOver");
    EXPECT_FALSE(w.chkTextFrame->Checked()) << "the page shows the state as it is now";
    EXPECT_FALSE(w.WorkButton->MouseOverArt->FulgoText->LayerFrame->Active);
    EXPECT_TRUE(w.WorkButton->MouseOverArt->FulgoText->LayerShadow->Active);
    EXPECT_EQ(w.Preview->Art, w.WorkButton->MouseOverArt.get());
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditButton(*button));
  EXPECT_FALSE(button->MouseOverArt->FulgoText->LayerFrame->Active);
  EXPECT_TRUE(button->MouseOverArt->FulgoText->LayerShadow->Active);

  auto* label = NewLabel("Plain");
  OnWizard([&](TfrmWizard& w) {
    EXPECT_FALSE(w.btnSameAsUp->Visible()) << "a label has no states";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
}

TEST_F(WizardTest, PanelsAndTheirPresets) {
  auto* panel = new tFulgoPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 120, 60);
  panel->SetCaption("Panel");
  app->ProcessMessages();
  OnWizard([&](TfrmWizard& w) {
    for (const tPreset& preset : w.Presets) EXPECT_EQ(fs::path(preset.Path).extension(), ".pnl");
    ASSERT_TRUE(w.PresetsFound);
    EXPECT_TRUE(w.PresetPanel->Visible());
    driver.Click(*dynamic_cast<host::TSpeedButton*>(w.FindComponent("btnApplyPreset")));
    EXPECT_EQ(w.Preview->Width(), w.PresetPanel->Width()) << "a panel preset brings its size";
    Page(w, 1);
    driver.ReplaceText(*w.txtLabelText1, "Dash");
    driver.Click(*w.btnOk);
  });
  EXPECT_TRUE(EditPanel(*panel));
  EXPECT_EQ(panel->Caption(), "Dash");
  EXPECT_EQ(panel->Left(), 10);
  EXPECT_EQ(panel->Top(), 10);
}

TEST_F(WizardTest, PreferencesAreSavedAndRestored) {
  TFulgoLabel* label = NewLabel("Prefs");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 6);
    driver.Click(*w.chkBeep);
    w.rdosUpdateMethod->SetItemIndex(1);
    driver.ReplaceText(*w.spnUpdateTime, "250");
    driver.Click(Button(w, "btnSaveDefault"));
    driver.Click(*w.chkBeep);
    driver.ReplaceText(*w.spnUpdateTime, "999");
    driver.Click(Button(w, "btnRestoreDefaults"));
    EXPECT_TRUE(w.chkBeep->Checked());
    EXPECT_EQ(w.rdosUpdateMethod->ItemIndex(), 1);
    EXPECT_EQ(w.spnUpdateTime->Getvalue(), 250);
    driver.Click(*w.btnCancel);
  });
  EditLabel(*label);
  const tWizardSettings saved = ReadWizardSettings();
  EXPECT_TRUE(saved.BeepOnUpdate);
  EXPECT_TRUE(saved.UpdateOnEnter);
  EXPECT_EQ(saved.UpdateAfter, 250);
}

// ---- the widgets bound to the model

// Every value the effect, alignment and size pages show, of the letters, the background and the art.
std::vector<int> BoundValues(const TfrmWizard& w) {
  const tFulgoArt& art = *w.EditedArt();
  const tFulgoText& t = *w.EditedText();
  const tFulgoBackground& b = *w.EditedBackground();
  std::vector<int> values = {b.Exist, t.Shape, b.Shape};
  for (const tFulgoObject* side :
       {static_cast<const tFulgoObject*>(&t), static_cast<const tFulgoObject*>(&b)}) {
    const tFulgoShadow& shadow = *side->LayerShadow;
    const tFulgo3D& edge = *side->Layer3D;
    values.insert(values.end(),
                  {side->LayerFrame->Active, side->LayerFrame->LineWidth, shadow.Active, shadow.Left,
                   shadow.Top, shadow.SizeX, shadow.SizeY, edge.Active, edge.Embossed, edge.LineWidth,
                   edge.Direction, side->Align->Alignment, side->Align->X, side->Align->Y});
  }
  values.insert(values.end(),
                {art.InnerOffsetX, art.InnerOffsetY, art.InnerOffsetSizeX, art.InnerOffsetSizeY,
                 b.TextWidthPlus, b.TextHeightPlus, b.ImageWidth, b.ImageHeight, b.ImageAutoSize});
  return values;
}

// Distinct values within the ranges the form allows, none of them a default.
void SetDistinctValues(TfrmWizard& w) {
  tFulgoArt& art = *w.EditedArt();
  tFulgoText& t = *w.EditedText();
  tFulgoBackground& b = *w.EditedBackground();
  b.SetExist(false);
  t.SetShape(3);
  b.SetShape(4);
  int n = 5;
  for (tFulgoObject* side : {static_cast<tFulgoObject*>(&t), static_cast<tFulgoObject*>(&b)}) {
    side->LayerFrame->SetActive(true);
    side->LayerFrame->SetLineWidth(static_cast<std::int16_t>(n++));
    side->LayerShadow->SetActive(true);
    side->LayerShadow->SetLeft(static_cast<std::int16_t>(-n++));
    side->LayerShadow->SetTop(static_cast<std::int16_t>(n++));
    side->LayerShadow->SetSizeX(static_cast<std::int16_t>(100 + n++));
    side->LayerShadow->SetSizeY(static_cast<std::int16_t>(100 + n++));
    side->Layer3D->SetActive(true);
    side->Layer3D->SetLineWidth(static_cast<std::int16_t>(n++));
    side->Align->X = -n++;
    side->Align->Y = n++;
  }
  t.Layer3D->SetEmbossed(true);
  t.Layer3D->SetDirection(fgDownRight);
  b.Layer3D->SetDirection(fgUpRight);
  t.Align->Alignment = host::taLeftJustify;
  b.Align->Alignment = host::taRightJustify;
  art.SetInnerOffsetX(31);
  art.SetInnerOffsetY(-32);
  art.SetInnerOffsetSizeX(33);
  art.SetInnerOffsetSizeY(34);
  b.TextWidthPlus = 35;
  b.TextHeightPlus = -36;
  b.SetImageWidth(370);
  b.SetImageHeight(380);
  b.SetImageAutoSize(false);
}

TEST_F(WizardTest, EveryBoundWidgetShowsItsValueAndWritesTheSameValueBack) {
  TFulgoLabel* label = NewLabel("Bound");
  OnWizard([&](TfrmWizard& w) {
    tFulgoArt& art = *w.EditedArt();
    SetDistinctValues(w);
    const std::vector<int> expected = BoundValues(w);
    w.GetFromLabel();
    EXPECT_EQ(w.spnBackShadowX->Text(), std::to_string(w.EditedBackground()->LayerShadow->Left));
    EXPECT_EQ(w.cmbText3dDirection->ItemIndex(), static_cast<int>(fgDownRight));
    EXPECT_EQ(w.chkImageAlignment->ItemIndex(), 2) << "right justified is the third choice";
    EXPECT_TRUE(w.rdoFixedSize->Checked());

    // Back to the defaults behind the widgets' back; writing the widgets brings every value again.
    art.Assign(art.NewArt().get());
    ASSERT_NE(BoundValues(w), expected);
    w.SetToLabel();
    EXPECT_EQ(BoundValues(w), expected);
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(WizardTest, TheLetterFontControlsReachEveryChosenLetterAndShowTheLetterAsked) {
  TFulgoLabel* label = NewLabel("Fonts");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 1);
    ASSERT_TRUE(w.chkApplyAll->Checked());
    driver.ReplaceText(*w.txtFont, "Courier New");
    w.cmbBold->SetItemIndex(6);
    app->ProcessMessages();
    driver.ReplaceText(*w.spnWidth, "9");
    driver.ReplaceText(*w.spnAngle, "45");
    driver.ReplaceText(*w.spnOffsetX, "2");
    driver.ReplaceText(*w.spnOffsetY, "-3");
    driver.Click(*w.chkItalic);
    driver.Click(*w.chkStrikeOut);
    for (int i = 0; i < tFulgoText::kFontCount; ++i) {
      const tFulgoFont& font = *w.EditedText()->GetLetterFont(static_cast<std::int16_t>(i));
      ASSERT_EQ(font.GetFontName(), "Courier New") << i;
      ASSERT_EQ(font.GetWeight(), 700) << i;
      ASSERT_EQ(font.GetWidth(), 9) << i;
      ASSERT_EQ(font.GetAngle(), 45) << i;
      ASSERT_EQ(font.GetOffSetX(), 2) << i;
      ASSERT_EQ(font.GetOffSetY(), -3) << i;
      ASSERT_TRUE(font.GetItalic()) << i;
      ASSERT_FALSE(font.GetUnderLine()) << i;
      ASSERT_TRUE(font.GetStrikeOut()) << i;
    }

    tFulgoFont& third = *w.EditedText()->GetLetterFont(2);
    third.SetWeight(300);
    third.SetHeight(-20);
    third.SetAngle(-90);
    third.SetUnderline(true);
    third.SetItalic(false);
    driver.Click(Button(w, "btnAdvanced"));
    driver.Click(*w.chkApplyAll);
    ClickLetter(*w.grdLetters, 2);
    EXPECT_EQ(w.cmbBold->ItemIndex(), 2);
    EXPECT_EQ(w.spnHeight->Text(), "-20");
    EXPECT_EQ(w.spnAngle->Text(), "-90");
    EXPECT_TRUE(w.chkUnderLine->Checked());
    EXPECT_FALSE(w.chkItalic->Checked());
    EXPECT_EQ(w.EditedText()->GetLetterFont(0)->GetAngle(), 45) << "showing a font changes no letter";
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(WizardTest, SwitchesRenderAtOnceAndTypedValuesWaitForTheDelay) {
  TFulgoLabel* label = NewLabel("Quick");
  OnWizard([&](TfrmWizard& w) {
    Page(w, 6);
    driver.Click(*w.chkBeep);
    const auto clickEach = [&](int page, std::initializer_list<host::TButtonControl*> switches) {
      Page(w, page);
      for (host::TButtonControl* control : switches) {
        const int before = Renders();
        driver.Click(*control);
        EXPECT_EQ(Renders(), before + 1) << control->Name();
      }
    };
    clickEach(2, {w.chkTextFrame, w.chkTextShadow, w.chkText3d, w.chkTextEmbossed});
    clickEach(3, {w.chkCreateBackground, w.chkBackFrame, w.chkBackShadow, w.chkBack3D, w.chkBackEmbossed});
    clickEach(4, {w.rdoFixedSize});
    EXPECT_FALSE(w.EditedBackground()->ImageAutoSize);

    const int before = Renders();
    Page(w, 2);
    driver.ReplaceText(*w.spnText3d, "7");
    driver.ReplaceText(*w.spnTextShadowSizeY, "70");
    Page(w, 5);
    driver.ReplaceText(*w.spnInnerX, "7");
    w.chkTextAlignment->SetItemIndex(2);
    w.cmbBack3dDirection->SetItemIndex(1);
    app->ProcessMessages();
    EXPECT_EQ(Renders(), before) << "values and choices wait for the update delay";
    EXPECT_EQ(w.EditedText()->Layer3D->LineWidth, 7);
    EXPECT_EQ(w.EditedText()->LayerShadow->SizeY, 70);
    EXPECT_EQ(w.EditedArt()->InnerOffsetX, 7);
    EXPECT_EQ(w.EditedText()->Align->Alignment, host::taRightJustify);
    EXPECT_EQ(w.EditedBackground()->Layer3D->Direction, fgUp);
    driver.Click(*w.btnCancel);
  });
  EXPECT_FALSE(EditLabel(*label));
}

}  // namespace
}  // namespace vantora::testing
