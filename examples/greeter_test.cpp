// The greeter tested as a person would use it, through the library's test driver: typing, clicking,
// a confirmation answered in advance or inside its own window, and the face on screen.
#include <gtest/gtest.h>

#include <set>

#include "greeter.h"
#include "host/testing/TestDriver.h"

using namespace vantora;
using host::TTestDriver;

class GreeterTest : public ::testing::Test {
 protected:
  GreeterTest() : form(new TGreeterForm(&driver.App())) {
    form->Show();
    driver.Process();
  }

  TTestDriver driver;
  TGreeterForm* form;
};

TEST_F(GreeterTest, GreetsByName) {
  driver.Click(*form->NameEdit);
  driver.TypeText("Ada");
  driver.Click(*form->GreetButton);
  EXPECT_EQ(form->Greeting->Caption(), "Hello, Ada!");

  driver.ReplaceText(*form->NameEdit, "Grace");
  driver.Click(*form->GreetButton);
  EXPECT_EQ(form->Greeting->Caption(), "Hello, Grace!");

  // The label draws its face: an amber plate with letters on it.
  const host::TPixels face = driver.Pixels(*form->Greeting);
  EXPECT_GT(face.width, 60);
  const std::set<std::uint32_t> colours(face.pixels.begin(), face.pixels.end());
  EXPECT_TRUE(colours.count(0xFFE000u)) << "the plate";
  EXPECT_GE(colours.size(), 2u) << "and the letters";
}

TEST_F(GreeterTest, AnEmptyNameOnlyBeeps) {
  const int beeps = driver.Beeps();
  driver.Click(*form->GreetButton);
  EXPECT_EQ(driver.Beeps(), beeps + 1);
  EXPECT_EQ(form->Greeting->Caption(), "Who is there?");
}

TEST_F(GreeterTest, ClearAsksFirst) {
  driver.ReplaceText(*form->NameEdit, "Ada");
  driver.Click(*form->GreetButton);

  // Answered in advance: No keeps the greeting.
  driver.AnswerMessage(host::mrNo);
  driver.Click(*form->ClearButton);
  EXPECT_EQ(form->Greeting->Caption(), "Hello, Ada!");
  EXPECT_EQ(driver.Dialogs().back().text, "Clear the greeting?");

  // Answered inside the box, by its Yes button.
  driver.OnModal("Confirm", [&](host::TCustomForm& box) { driver.Click(driver.FindByCaption(box, "Yes")); });
  driver.Click(*form->ClearButton);
  EXPECT_EQ(form->Greeting->Caption(), "Who is there?");
  EXPECT_EQ(form->NameEdit->Text(), "");
}

TEST_F(GreeterTest, AnUnexpectedBoxFailsTheStepThatOpenedIt) {
  EXPECT_THROW(driver.Click(*form->ClearButton), host::ETestFailure);
  driver.Click(*form->GreetButton);  // the application still takes input
  EXPECT_EQ(form->Greeting->Caption(), "Who is there?");
}
