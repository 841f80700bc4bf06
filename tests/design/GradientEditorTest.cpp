// The gradient editor driven as a person drives it: opened modally on the background fill of a
// label, its stops inserted, deleted, scrolled and coloured, its spins typed into, and left with OK
// or Cancel.
#include <functional>
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "design/Grdwiz.h"
#include "host/forms/Responder.h"

namespace vantora {
namespace {

using host::DialogResponder;
using host::TDialogKind;

class GradientEditorTest : public testing::ControlsTest {
 protected:
  GradientEditorTest() {
    app->OnException = [this](host::TPersistent*, const host::Exception& e) {
      errors.push_back(e.Message());
    };
    look = std::make_unique<TFulgoLabel>(nullptr);
    fill().SetColorType(fgGradient);
    editor = new TfrmGrdWiz(app);
  }

  tFulgoColor& fill() { return *look->Art->FulgoBackground->FulgoColor; }
  tFulgoGradient& work() { return *editor->WorkGradient; }

  // Opens the editor on the fill; Script runs once it is up, then Finish (OK or Cancel) is clicked.
  bool Edit(const std::function<void()>& script, host::TSpeedButton* TfrmGrdWiz::*finish) {
    driver.OnModal("Gradient Editor", [this, script, finish](host::TCustomForm&) {
      script();
      driver.Click(*(editor->*finish));
    });
    return editor->EditGradient(fill());
  }
  void Leave() {
    editor->cmbGradientType->SetFocus();
    app->ProcessMessages();
  }
  // The step counts up to the last stop, and the stops' colours as the editor shows them.
  std::vector<int> Steps() {
    std::vector<int> steps;
    for (const tVortex& stop : work().Vortex) {
      steps.push_back(stop.Steps);
      if (stop.Steps <= 0) break;
    }
    return steps;
  }
  host::TColor StopColor(int index) {
    const tVortex& stop = work().Vortex[static_cast<std::size_t>(index)];
    return static_cast<host::TColor>(stop.Red | stop.Green << 8 | stop.Blue << 16);
  }
  std::vector<bool> StopsShown() {
    std::vector<bool> shown;
    for (int i = 1; i <= TfrmGrdWiz::kStops; ++i)
      shown.push_back(editor->Swatch(i)->Visible() && editor->ColorButton(i)->Visible() &&
                      editor->NumberLabel(i)->Visible());
    return shown;
  }
  std::vector<bool> SpinsShown() {
    std::vector<bool> shown;
    for (int i = 1; i <= TfrmGrdWiz::kSegments; ++i) shown.push_back(editor->StepSpin(i)->Visible());
    return shown;
  }
  std::string LookBytes() {
    host::TMemoryStream stream;
    host::WriteComponent(stream, *look);
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
  }
  // Three stops: blue, green, red with 30 and 10 steps.
  void ThreeStops() {
    tFulgoGradient& g = *fill().Gradient;
    g.Vortex[0] = tVortex{255, 0, 0, 0, 30, 0, 0};
    g.Vortex[1] = tVortex{0, 255, 0, 0, 10, 0, 0};
    g.Vortex[2] = tVortex{0, 0, 255, 0, 0, 0, 0};
  }

  std::unique_ptr<TFulgoLabel> look;
  TfrmGrdWiz* editor = nullptr;
  std::vector<std::string> errors;
};

const std::vector<bool> kFirst(int count, int of) {
  std::vector<bool> v(static_cast<std::size_t>(of), false);
  for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = true;
  return v;
}

TEST_F(GradientEditorTest, OpensOnADefaultGradientAndCancelLeavesTheFillAsItWas) {
  const std::string before = LookBytes();
  EXPECT_FALSE(Edit(
      [this] {
        EXPECT_EQ(editor->Caption(), "Gradient Editor");
        EXPECT_EQ(editor->ClientWidth(), 473);
        EXPECT_EQ(StopsShown(), kFirst(2, 9));
        EXPECT_EQ(SpinsShown(), kFirst(1, 8));
        EXPECT_EQ(editor->StepSpin(1)->Text(), "20");
        EXPECT_FALSE(editor->btnDeleteColor->Enabled());
        EXPECT_TRUE(editor->btnInsertColor->Enabled());
        EXPECT_FALSE(editor->ScrollBar1->Enabled());
        EXPECT_FALSE(editor->spnWidth->Enabled()) << "the tile size is for tiled gradients";
        EXPECT_FALSE(editor->spnHeight->Enabled());
        EXPECT_EQ(editor->cmbGradientType->ItemIndex(), 0);
        EXPECT_TRUE(editor->spnAngle->Enabled());
        // Everything changed, and all of it thrown away.
        driver.Click(*editor->btnInsertColor);
        driver.ReplaceText(*editor->spnAngle, "45");
        editor->cmbGradientType->SetItemIndex(2);
        editor->cmbGradientType->OnChange(editor->cmbGradientType);
        EXPECT_EQ(work().GradType, kGradCircular);
        EXPECT_FALSE(editor->spnAngle->Enabled());
      },
      &TfrmGrdWiz::btnCancel));
  EXPECT_EQ(LookBytes(), before);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GradientEditorTest, InsertingAndDeletingStops) {
  // Steps left past the last stop, as an older edit may leave them: they must not come back.
  fill().Gradient->Vortex[2].Steps = 15;
  EXPECT_TRUE(Edit(
      [this] {
        const host::TColor third = editor->Swatch(3)->Brush()->Color();
        driver.Click(*editor->btnInsertColor);
        EXPECT_EQ(Steps(), (std::vector<int>{20, 20, 0}));
        EXPECT_EQ(StopsShown(), kFirst(3, 9));
        EXPECT_EQ(editor->StepSpin(2)->Text(), "20");
        EXPECT_EQ(editor->Swatch(3)->Brush()->Color(), third) << "the new stop keeps the swatch's colour";
        EXPECT_EQ(StopColor(2), third);
        EXPECT_TRUE(editor->btnDeleteColor->Enabled());

        // Stop 1 of three goes: the others move up with the second segment's steps.
        driver.ReplaceText(*editor->StepSpin(2), "35");
        const host::TColor second = StopColor(1), last = StopColor(2);
        driver.AnswerInput("1");
        driver.Click(*editor->btnDeleteColor);
        EXPECT_EQ(Steps(), (std::vector<int>{35, 0}));
        EXPECT_EQ(StopColor(0), second);
        EXPECT_EQ(StopColor(1), last);
        EXPECT_EQ(StopsShown(), kFirst(2, 9));
        EXPECT_EQ(SpinsShown(), kFirst(1, 8));

        // Four stops; 12 is past the last, so the last goes. A word is asked about again.
        driver.Click(*editor->btnInsertColor);
        driver.Click(*editor->btnInsertColor);
        ASSERT_EQ(Steps(), (std::vector<int>{35, 20, 20, 0}));
        driver.AnswerInput("three");
        driver.AnswerInput("12");
        const int beeps = input->Beeps();
        driver.Click(*editor->btnDeleteColor);
        EXPECT_EQ(DialogResponder().Pending(), 0);
        EXPECT_EQ(input->Beeps(), beeps + 1);
        EXPECT_EQ(Steps(), (std::vector<int>{35, 20, 0}));
        EXPECT_EQ(StopsShown(), kFirst(3, 9));

        // A cancelled box deletes nothing.
        driver.Cancel(TDialogKind::Input);
        driver.Click(*editor->btnDeleteColor);
        EXPECT_EQ(Steps(), (std::vector<int>{35, 20, 0}));
      },
      &TfrmGrdWiz::btnOk));
  const tFulgoGradient& result = *fill().Gradient;
  EXPECT_EQ(result.Vortex[0].Steps, 35);
  EXPECT_EQ(result.Vortex[1].Steps, 20);
  EXPECT_EQ(result.Vortex[2].Steps, 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GradientEditorTest, InsertingUpToNineStopsAndScrollingThroughThem) {
  ThreeStops();
  EXPECT_TRUE(Edit(
      [this] {
        for (int i = 0; i < 6; ++i) driver.Click(*editor->btnInsertColor);
        EXPECT_EQ(Steps().size(), 9u);
        EXPECT_FALSE(editor->btnInsertColor->Enabled()) << "nine stops are the most";
        EXPECT_TRUE(editor->ScrollBar1->Enabled());
        EXPECT_EQ(editor->ScrollBar1->Max(), 5);
        // The newest stops are out of view until the list is scrolled to them.
        EXPECT_EQ(editor->Swatch(9)->Top(), 1000);
        // Five clicks on the bar's lower arrow.
        const host::TScrollBar& bar = *editor->ScrollBar1;
        for (int i = 0; i < 5; ++i) {
          Click(bar, bar.Width() / 2, bar.Height() - bar.Width() / 2);
          app->ProcessMessages();
        }
        EXPECT_EQ(bar.Position(), 5);
        for (int i = 1; i <= 9; ++i) {
          const int top = editor->Swatch(i)->Top();
          EXPECT_EQ(top, i >= 6 ? 10 + (i - 6) * 47 : 1000) << "swatch " << i;
          EXPECT_EQ(editor->ColorButton(i)->Top(), top);
        }
        EXPECT_EQ(editor->NumberLabel(6)->Top(), 12);
        EXPECT_EQ(editor->StepSpin(6)->Top(), 32);
        EXPECT_EQ(editor->StepSpin(8)->Top(), 125);
        EXPECT_EQ(editor->StepSpin(5)->Top(), 1000);
        // Deleting from nine stops: the list is still one too long to fit, so it still scrolls.
        driver.AnswerInput("9");
        driver.Click(*editor->btnDeleteColor);
        EXPECT_EQ(editor->ScrollBar1->Max(), 4);
        EXPECT_TRUE(editor->ScrollBar1->Enabled());
        for (int i = 0; i < 3; ++i) {
          driver.AnswerInput("1");
          driver.Click(*editor->btnDeleteColor);
        }
        EXPECT_EQ(Steps().size(), 5u);
        driver.AnswerInput("1");
        driver.Click(*editor->btnDeleteColor);
        EXPECT_FALSE(editor->ScrollBar1->Enabled()) << "four stops fit";
        EXPECT_EQ(editor->Swatch(1)->Top(), 10);
      },
      &TfrmGrdWiz::btnOk));
  EXPECT_TRUE(errors.empty());
}

TEST_F(GradientEditorTest, ColoursArePickedThroughTheColourDialogAndShowInThePreview) {
  ThreeStops();
  EXPECT_TRUE(Edit(
      [this] {
        // A scripted answer for stop 2.
        driver.AnswerColor(0x00336699);
        driver.Click(*editor->ColorButton(2));
        EXPECT_EQ(editor->Swatch(2)->Brush()->Color(), 0x00336699u);
        EXPECT_EQ(StopColor(1), 0x00336699u);

        // Stop 1 by the dialog's own fields, as a person types them; the preview starts with it.
        const host::TColor preset = StopColor(0);
        driver.OnModal("Color", [this](host::TCustomForm& dialog) {
          for (const char* field : {"Red", "Green", "Blue"}) {
            auto& edit = driver.Find<host::TWinControl>(dialog, field);
            ASSERT_TRUE(edit.IsShowing()) << field << " is shown when the dialog opens fully";
            driver.ReplaceText(edit, std::string(field) == "Red"     ? "200"
                                     : std::string(field) == "Green" ? "100"
                                                                     : "50");
          }
          driver.PressKey(host::VK_RETURN);
        });
        driver.Click(*editor->ColorButton(1));
        const host::TDialogRecord& shown = driver.Dialogs().back();
        EXPECT_EQ(shown.kind, TDialogKind::Color);
        EXPECT_EQ(shown.title, "Color");
        EXPECT_EQ(shown.color, preset) << "the dialog opened on the stop's colour";
        EXPECT_FALSE(shown.scripted);
        EXPECT_EQ(StopColor(0), static_cast<host::TColor>(host::RGB(200, 100, 50)));
        EXPECT_EQ(PixelAt(*editor->Preview, 2, 60), PixelOf(host::RGB(200, 100, 50)));

        // A cancelled dialog keeps the colour.
        driver.Cancel(TDialogKind::Color);
        driver.Click(*editor->ColorButton(1));
        EXPECT_EQ(StopColor(0), static_cast<host::TColor>(host::RGB(200, 100, 50)));
      },
      &TfrmGrdWiz::btnOk));
  EXPECT_EQ(fill().Gradient->Vortex[0].Red, 200);
  EXPECT_EQ(fill().Gradient->Vortex[1].Blue, 0x33);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GradientEditorTest, DiscreteModeHidesTheLastStop) {
  ThreeStops();
  Edit(
      [this] {
        driver.Click(*editor->cbxDicret);
        EXPECT_TRUE(work().Discr);
        EXPECT_EQ(StopsShown(), kFirst(2, 9));
        EXPECT_EQ(SpinsShown(), kFirst(2, 8)) << "both segments still have their steps";
        driver.Click(*editor->btnInsertColor);
        EXPECT_EQ(StopsShown(), kFirst(3, 9));
        driver.Click(*editor->cbxDicret);
        EXPECT_FALSE(work().Discr);
        EXPECT_EQ(StopsShown(), kFirst(4, 9));
      },
      &TfrmGrdWiz::btnOk);
  EXPECT_FALSE(fill().Gradient->Discr);
}

TEST_F(GradientEditorTest, StepsAndSizesTypedOutOfRangeAreKeptToWhatTheGradientTakes) {
  fill().SetColorType(fgTiledGradient);
  fill().Gradient->Vortex[0].Steps = 0;
  // A gradient without steps cannot be drawn, and the preview says so once; the first change made
  // gives the first stop 50 steps.
  driver.AnswerMessage(host::mrOk);
  EXPECT_TRUE(Edit([this] { driver.ReplaceText(*editor->spnAngle, "30"); }, &TfrmGrdWiz::btnOk));
  EXPECT_EQ(fill().Gradient->Vortex[0].Steps, 50);
  ASSERT_EQ(driver.Dialogs().size(), 1u);
  EXPECT_EQ(driver.Dialogs()[0].title, "Oops");
  EXPECT_EQ(driver.Dialogs()[0].text, "Error while creating gradient");

  EXPECT_TRUE(Edit(
      [this] {
        EXPECT_TRUE(editor->spnWidth->Enabled());
        EXPECT_EQ(editor->StepSpin(1)->Text(), "50");
        // A spin at 0 changes nothing.
        driver.ReplaceText(*editor->StepSpin(1), "12");
        EXPECT_EQ(Steps(), (std::vector<int>{12, 0}));
        driver.ReplaceText(*editor->StepSpin(1), "0");
        EXPECT_EQ(Steps(), (std::vector<int>{12, 0}));
        // A sign alone or a negative count never reaches the stops.
        driver.ReplaceText(*editor->StepSpin(1), "-5");
        EXPECT_EQ(Steps(), (std::vector<int>{12, 0}));
        Leave();
        EXPECT_EQ(editor->StepSpin(1)->Text(), "0");
        EXPECT_EQ(Steps(), (std::vector<int>{12, 0}));

        driver.ReplaceText(*editor->spnWidth, "999");
        Leave();
        EXPECT_EQ(editor->spnWidth->Text(), "600");
        EXPECT_EQ(work().GradWidth, 600);
        driver.ReplaceText(*editor->spnHeight, "1");
        Leave();
        EXPECT_EQ(editor->spnHeight->Text(), "3");
        EXPECT_EQ(work().GradHeight, 3);
        driver.ReplaceText(*editor->spnInMode, "9");
        Leave();
        EXPECT_EQ(work().InMode, 4);

        // An emptied angle is no error: the last good one stays, in the spin and in the model.
        editor->spnAngle->SetFocus();
        editor->spnAngle->SelectAll();
        input->PressKey(host::VK_BACK);
        app->ProcessMessages();
        EXPECT_EQ(editor->spnAngle->Text(), "");
        // A change elsewhere (a colour dialog, even cancelled) reads every field.
        driver.Cancel(TDialogKind::Color);
        driver.Click(*editor->ColorButton(1));
        EXPECT_EQ(work().Angle, 30);
        Leave();
        EXPECT_EQ(editor->spnAngle->Text(), "30");
        driver.ReplaceText(*editor->spnAngle, "-725");
        EXPECT_EQ(work().Angle, -5);
        // Ok straight after typing: the spin is corrected as the editor closes, before the copy.
        driver.ReplaceText(*editor->spnHeight, "700");
        EXPECT_EQ(work().GradHeight, 70) << "the last text on the way that was in range";
      },
      &TfrmGrdWiz::btnOk));
  const tFulgoGradient& result = *fill().Gradient;
  EXPECT_EQ(result.GradWidth, 600);
  EXPECT_EQ(result.GradHeight, 600);
  EXPECT_EQ(result.InMode, 4);
  EXPECT_EQ(result.Angle, -5);
  EXPECT_EQ(result.Vortex[0].Steps, 12);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GradientEditorTest, ClosingWithASpinHalfTypedStillCorrectsIt) {
  editor->Show();
  app->ProcessMessages();
  driver.ReplaceText(*editor->spnAngle, "-");
  const int beeps = input->Beeps();
  delete editor;
  editor = nullptr;
  EXPECT_EQ(input->Beeps(), beeps + 1) << "the spin took its last good value back as the editor closed";
}

}  // namespace
}  // namespace vantora
