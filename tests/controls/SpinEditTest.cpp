// The spin edit driven as a person drives it: typing through its key filter, stepping with the
// arrow keys and the spin buttons, holding a button on the virtual clock, leaving the edit with a
// value out of range, and the edit in a form stream.
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "controls/Qorspin2.h"
#include "host/widgets/CustomEdit.h"

namespace vantora {
namespace {

using host::VK_BACK;
using host::VK_DOWN;
using host::VK_RETURN;
using host::VK_TAB;
using host::VK_UP;

class SpinEditTest : public testing::ControlsTest {
 protected:
  SpinEditTest() {
    app->OnException = [this](host::TPersistent*, const host::Exception& e) {
      errors.push_back(e.Message());
    };
  }

  ~SpinEditTest() override {
    // The form closes after this fixture is gone; the focus leaving the spin then tells no one.
    if (spin) spin->OnLegalChange = nullptr;
  }

  tQorSpin2* NewSpin(std::int32_t min = 0, std::int32_t max = 0) {
    form = NewForm(240, 100);
    spin = Add<tQorSpin2>(form, 10, 10, 80, 21);
    spin->MinValue = min;
    spin->MaxValue = max;
    other = Add<host::TEdit>(form, 10, 50, 80, 21);
    spin->OnLegalChange = [this](host::TPersistent* sender) {
      EXPECT_EQ(sender, spin);
      legal.push_back(spin->Text());
    };
    form->Show();
    spin->SetFocus();
    app->ProcessMessages();
    return spin;
  }
  // Replaces the whole text as typing would.
  void Retype(const std::string& text) {
    spin->SelectAll();
    driver.TypeText(text);
  }
  void Press(const host::TControl& button) {
    const host::POINT p = At(button, 7, 4);
    input->MouseDown(form->Handle(), p.x, p.y);
    app->ProcessMessages();
  }
  void Release(const host::TControl& button) {
    const host::POINT p = At(button, 7, 4);
    input->MouseUp(form->Handle(), p.x, p.y);
    app->ProcessMessages();
  }

  host::TForm* form = nullptr;
  tQorSpin2* spin = nullptr;
  host::TEdit* other = nullptr;
  std::vector<std::string> legal;
  std::vector<std::string> errors;
};

TEST_F(SpinEditTest, TypedTextPassesTheKeyFilterAndOnlyLegalValuesAreReported) {
  NewSpin();
  EXPECT_EQ(spin->Text(), "0");
  Retype("12");
  EXPECT_EQ(spin->Text(), "12");
  EXPECT_EQ(legal, (std::vector<std::string>{"1", "12"}));

  // Letters, a space and Enter beep and insert nothing; Backspace works.
  const int beeps = input->Beeps();
  driver.TypeText("a x");
  driver.PressKey(VK_RETURN);
  EXPECT_EQ(spin->Text(), "12");
  EXPECT_EQ(input->Beeps(), beeps + 4);
  driver.PressKey(VK_BACK);
  driver.PressKey(VK_BACK);
  EXPECT_EQ(spin->Text(), "");

  // An empty text and a lone sign are let through but are no value.
  legal.clear();
  driver.TypeText("-");
  EXPECT_EQ(spin->Text(), "-");
  EXPECT_TRUE(legal.empty());
  driver.TypeText("3");
  EXPECT_EQ(legal, (std::vector<std::string>{"-3"}));
  EXPECT_EQ(spin->Getvalue(), -3);
  spin->SetText("");
  EXPECT_THROW(spin->Getvalue(), host::EConvertError);
}

TEST_F(SpinEditTest, RangesRefuseStepsAndCorrectTypedValuesOnLeaving) {
  NewSpin(0, 7);
  Retype("9");
  EXPECT_TRUE(legal.empty()) << "9 is outside 0..7";
  driver.PressKey(VK_TAB);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(spin->Text(), "7");
  EXPECT_EQ(legal.back(), "7");

  spin->SetFocus();
  Retype("-2");
  driver.PressKey(VK_TAB);
  EXPECT_EQ(spin->Text(), "0");

  // A range of one value: stepping from it beeps and changes nothing.
  spin->MinValue = spin->MaxValue = 5;
  spin->SetValue(5);
  spin->SetFocus();
  const int beeps = input->Beeps();
  driver.PressKey(VK_UP);
  driver.PressKey(VK_DOWN);
  spin->SetValue(6);
  EXPECT_EQ(spin->Text(), "5");
  EXPECT_EQ(input->Beeps(), beeps + 3);
}

TEST_F(SpinEditTest, ArrowKeysAndButtonsStepAndReadOnlyOnlyStopsTheKeys) {
  NewSpin(-10, 10);
  spin->Increment = 3;
  driver.PressKey(VK_UP);
  driver.PressKey(VK_UP);
  EXPECT_EQ(spin->Text(), "6");
  driver.PressKey(VK_DOWN);
  EXPECT_EQ(spin->Text(), "3");
  Click(*spin->DownButton(), 7, 4);
  app->ProcessMessages();
  EXPECT_EQ(spin->Text(), "0");

  spin->SetReadOnly(true);
  const int beeps = input->Beeps();
  driver.PressKey(VK_UP);
  driver.PressKey(VK_DOWN);
  EXPECT_EQ(spin->Text(), "0");
  EXPECT_EQ(input->Beeps(), beeps + 2);
  Click(*spin->UpButton(), 7, 4);
  app->ProcessMessages();
  EXPECT_EQ(spin->Text(), "3") << "the buttons still step a read-only edit";
  EXPECT_TRUE(errors.empty());
}

TEST_F(SpinEditTest, AHeldButtonRepeatsAfter400msThenEvery100ms) {
  NewSpin();
  other->SetFocus();
  app->ProcessMessages();
  Press(*spin->UpButton());
  EXPECT_TRUE(spin->Focused()) << "pressing a button focuses its edit";
  EXPECT_TRUE(spin->UpButton()->Pressed);
  ASSERT_NE(spin->UpButton()->RepeatTimer(), nullptr);
  driver.Wait(390);
  EXPECT_EQ(spin->Text(), "0");
  driver.Wait(10);
  EXPECT_EQ(spin->Text(), "1") << "first repeat at 400 ms";
  driver.Wait(600);
  EXPECT_EQ(spin->Text(), "7") << "then one step every 100 ms";
  Release(*spin->UpButton());
  EXPECT_EQ(spin->Text(), "8") << "the release inside is a click of its own";
  EXPECT_FALSE(spin->UpButton()->Pressed);
  EXPECT_EQ(spin->UpButton()->RepeatTimer(), nullptr);
  driver.Wait(500);
  EXPECT_EQ(spin->Text(), "8");

  // A double click steps twice more (its first press clicks as well).
  const host::POINT p = At(*spin->DownButton(), 7, 4);
  input->DoubleClick(form->Handle(), p.x, p.y);
  app->ProcessMessages();
  EXPECT_EQ(spin->Text(), "6");

  // A step that fails reaches the application once; the repeat stops rather than failing again.
  spin->UpButton()->OnClick = [](host::TPersistent*) { throw host::EConvertError("no step"); };
  Press(*spin->UpButton());
  driver.Wait(1000);
  EXPECT_EQ(errors, std::vector<std::string>{"no step"});
  ASSERT_NE(spin->UpButton()->RepeatTimer(), nullptr);
  EXPECT_FALSE(spin->UpButton()->RepeatTimer()->Enabled());
}

TEST_F(SpinEditTest, TextThatIsNoNumberNeverReachesTheUserAsAnError) {
  NewSpin(0, 100);
  spin->SetValue(42);
  // Pasted text passes no key filter.
  input->SetClipboardText("4x");
  spin->SelectAll();
  spin->PasteFromClipboard();
  EXPECT_EQ(spin->Text(), "4x");
  int beeps = input->Beeps();
  driver.PressKey(VK_UP);
  EXPECT_EQ(spin->Text(), "42") << "the last good value comes back";
  EXPECT_EQ(input->Beeps(), beeps + 1);

  // A held button on an empty text: one beep at the first repeat, then steps from the good value.
  spin->SelectAll();
  driver.PressKey(VK_BACK);
  EXPECT_EQ(spin->Text(), "");
  Press(*spin->UpButton());
  driver.Wait(400);
  EXPECT_EQ(spin->Text(), "42");
  driver.Wait(100);
  EXPECT_EQ(spin->Text(), "43");
  Release(*spin->UpButton());

  // Leaving an empty text or a lone sign keeps the last good value.
  spin->SetFocus();
  Retype("-");
  beeps = input->Beeps();
  driver.PressKey(VK_TAB);
  EXPECT_EQ(spin->Text(), "44");
  EXPECT_EQ(input->Beeps(), beeps + 1);
  EXPECT_TRUE(errors.empty());

  // Steps past 32 bits are refused, not wrapped.
  spin->MaxValue = 0;
  spin->SetValue(2147483647);
  spin->SetFocus();
  driver.PressKey(VK_UP);
  EXPECT_EQ(spin->Text(), "2147483647");
  spin->SetValue(-2147483647 - 1);
  driver.PressKey(VK_DOWN);
  EXPECT_EQ(spin->Text(), "-2147483648");
}

TEST_F(SpinEditTest, ButtonsSitInsideTheBorderAndShowTheirArrows) {
  NewSpin();
  const tQorSpinButton& up = *spin->UpButton();
  const tQorSpinButton& down = *spin->DownButton();
  const auto bounds = [](const host::TControl& c) {
    return std::vector<int>{c.Left(), c.Top(), c.Width(), c.Height()};
  };
  EXPECT_EQ(bounds(up), (std::vector<int>{80 - 17, 2, 15, 9}));
  EXPECT_EQ(bounds(down), (std::vector<int>{80 - 17, 11, 15, 9}));
  spin->SetBounds(10, 10, 60, 31);
  app->ProcessMessages();
  EXPECT_EQ(bounds(up), (std::vector<int>{60 - 17, 2, 15, 14}));
  EXPECT_EQ(bounds(down), (std::vector<int>{60 - 17, 16, 15, 14}));

  // Each arrow: a tip, then rows of three and five pixels, centred on the button's middle column.
  const std::uint32_t ink = PixelOf(host::clBtnText), face = PixelOf(host::clBtnFace);
  const int mid = 7;
  const auto rowOf = [&](const host::TControl& button, int y) {
    std::string row;
    for (int x = mid - 3; x <= mid + 3; ++x) row += PixelAt(button, x, y) == ink ? '#' : '.';
    return row;
  };
  const std::vector<std::string> upArrow{".......", "..###..", ".#####.", "#######", "#######", "......."};
  const std::vector<std::string> downArrow{".......", "#######", ".#####.", "..###..", "..###..", "......."};
  for (int y = 1; y <= 6; ++y) {
    EXPECT_EQ(rowOf(up, y), upArrow[static_cast<std::size_t>(y - 1)]) << "row " << y;
    EXPECT_EQ(rowOf(down, y), downArrow[static_cast<std::size_t>(y - 1)]) << "row " << y;
  }
  EXPECT_EQ(PixelAt(up, mid, 6), face) << "the glyph's background takes the face colour";
}

TEST_F(SpinEditTest, RangesAndValueTravelInFormStreams) {
  host::TCustomForm* loaded = ShowForm(
      "object F: TForm\n  Width = 200\n  Height = 80\n"
      "  object Steps: tQorSpin2\n    Left = 8\n    Top = 8\n    Width = 60\n    Height = 21\n"
      "    MaxLength = 3\n    Increment = 5\n    MinValue = 10\n    MaxValue = 600\n"
      "    CheckRange = fgrBoth\n    Value = 300\n  end\nend\n");
  auto* steps = dynamic_cast<tQorSpin2*>(loaded->FindComponent("Steps"));
  ASSERT_NE(steps, nullptr);
  EXPECT_EQ(steps->Text(), "300");
  EXPECT_EQ(steps->Increment, 5);
  EXPECT_EQ(steps->CheckRange, fgrBoth);
  EXPECT_EQ(steps->ControlCount(), 2) << "the buttons are the edit's own, not the stream's";

  const std::string text = AsText(*steps);
  EXPECT_NE(text.find("MinValue = 10"), std::string::npos) << text;
  EXPECT_NE(text.find("Value = 300"), std::string::npos) << text;
  EXPECT_EQ(text.find("tQorSpinButton"), std::string::npos) << text;
  // A fresh edit writes its value though it is the default.
  tQorSpin2 fresh(nullptr);
  EXPECT_NE(AsText(fresh).find("Value = 0"), std::string::npos);
}

}  // namespace
}  // namespace vantora
