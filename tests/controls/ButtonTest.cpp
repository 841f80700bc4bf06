// The buttons driven as a person drives them on the headless screen: hover, press, release inside
// and outside, groups, accelerators, the disabled look, and the state looks kept as differences.
#include "ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"

namespace vantora::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFu;
constexpr std::uint32_t kYellow = 0xFFFF00u;
constexpr std::uint32_t kGray = 0x808080u;

class ButtonTest : public ControlsTest {
 protected:
  TFulgoButton* NewButton(host::TWinControl* parent, int left, int top, const std::string& caption) {
    auto* button = new TFulgoButton(parent);
    button->SetParent(parent);
    button->SetLeft(left);
    button->SetTop(top);
    button->SetCaption(caption);
    return button;
  }
  // A hover look in yellow and a disabled look in grey, as a designer would set them.
  static void GiveStateLooks(TFulgoButton& button) {
    button.MouseOverArt->FulgoBackground->FulgoColor->SetBrush(0x00FFFF);
    button.DisableArt->FulgoBackground->FulgoColor->SetBrush(0x808080);
    button.ChildStateChanged();
  }
  int clicks = 0;
  void CountClicks(TFulgoButton& button) {
    button.OnClick = [this](host::TPersistent*) { ++clicks; };
  }
};

TEST_F(ButtonTest, ANewButtonHasItsLookAndKeepsOnlyTheDownLookAsADifference) {
  TFulgoButton button(nullptr);
  EXPECT_EQ(button.Width(), 145);
  EXPECT_EQ(button.Height(), 38);
  EXPECT_FALSE(button.GetAutoSize());
  EXPECT_TRUE(button.MinArt);
  EXPECT_FALSE(button.DownAsUp);
  EXPECT_TRUE(button.DisableAsUp);
  EXPECT_TRUE(button.MouseOverAsUp);
  EXPECT_TRUE(button.DownArt->Active);
  EXPECT_FALSE(button.DisableArt->Active);
  EXPECT_FALSE(button.MouseOverArt->Active);
  EXPECT_FALSE(button.DownArt->FulgoBackground->LayerShadow->Active);
  EXPECT_EQ(button.DownArt->InnerOffsetX, 3);

  // Three records, the two empty ones as begin, class name and end.
  button.ButtonStatesData.SetPosition(0);
  EXPECT_TRUE(SetDifference(button.ButtonStatesData, button.DownArt.get()));
  for (int i = 0; i < 2; ++i) {
    ReadStreamListBegin(button.ButtonStatesData);
    EXPECT_EQ(ReadStreamString(button.ButtonStatesData), "tFulgoButtonArt");
    ReadStreamListEnd(button.ButtonStatesData);
  }
  EXPECT_EQ(button.ButtonStatesData.Position(), button.ButtonStatesData.Size());

  button.SetMinArt(false);
  EXPECT_TRUE(button.DisableArt->Active);
  EXPECT_TRUE(button.MouseOverArt->Active);
  EXPECT_NE(AsText(button).find("MinArt = False"), std::string::npos);
}

TEST_F(ButtonTest, HoverPressAndReleaseOutsideShowTheirLooksAndOnlyAReleaseInsideClicks) {
  host::TForm* form = NewForm(300, 120);
  TFulgoButton* button = NewButton(form, 10, 10, "Press");
  GiveStateLooks(*button);
  CountClicks(*button);
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(PixelAt(*button, 10, 10), kWhite);

  MoveTo(*button, 20, 20);
  EXPECT_TRUE(button->MouseInside);
  EXPECT_EQ(host::GetCaptureControl(), button) << "hovering takes the capture to see the pointer leave";
  EXPECT_EQ(PixelAt(*button, 10, 10), kYellow);

  const host::POINT inside = At(*button, 20, 20);
  input->MouseDown(form->Handle(), inside.x, inside.y);
  app->ProcessMessages();
  EXPECT_EQ(button->PressState, psDown);
  EXPECT_FALSE(button->MouseInside) << "no hover look while a mouse button is held";
  EXPECT_EQ(PixelAt(*button, 10, 10), kWhite);
  EXPECT_EQ(PixelAt(*button, 1, 1), PixelOf(button->DownArt->Transparent)) << "the down look is shifted";

  MoveTo(*button, 200, 20);
  EXPECT_EQ(button->PressState, psUp);
  const host::POINT outside = At(*button, 200, 20);
  input->MouseUp(form->Handle(), outside.x, outside.y);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(PixelAt(*button, 10, 10), kWhite);

  MoveTo(*button, 250, 100);
  EXPECT_FALSE(button->MouseInside);
  EXPECT_EQ(host::GetCaptureControl(), nullptr);

  Click(*button, 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);

  button->SetEnabled(false);
  app->ProcessMessages();
  EXPECT_EQ(button->PressState, psDisabled);
  EXPECT_EQ(PixelAt(*button, 10, 10), kGray);
  Click(*button, 20, 20);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, OneButtonOfAGroupStaysDownAndAllowAllUpLetsItRise) {
  host::TForm* form = NewForm(480, 60);
  TFulgoButton* a = NewButton(form, 0, 0, "A");
  TFulgoButton* b = NewButton(form, 160, 0, "B");
  TFulgoButton* loose = NewButton(form, 320, 0, "C");
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  loose->SetDown(true);
  EXPECT_FALSE(loose->Down) << "only a grouped button can stay down";
  form->Show();
  app->ProcessMessages();

  Click(*a, 20, 20);
  app->ProcessMessages();
  EXPECT_TRUE(a->Down);
  EXPECT_EQ(a->PressState, psLatched);
  Click(*b, 20, 20);
  app->ProcessMessages();
  EXPECT_TRUE(b->Down);
  EXPECT_FALSE(a->Down);
  EXPECT_EQ(a->PressState, psUp);
  // Without AllowAllUp the down button cannot be raised, by code or by a click.
  b->SetDown(false);
  Click(*b, 20, 20);
  app->ProcessMessages();
  EXPECT_TRUE(b->Down);
  EXPECT_EQ(b->PressState, psLatched);
  EXPECT_EQ(PixelAt(*b, 1, 1), PixelOf(b->DownArt->Transparent));

  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp) << "the group shares the flag";
  Click(*b, 20, 20);
  app->ProcessMessages();
  EXPECT_FALSE(b->Down);
  EXPECT_FALSE(a->Down);
}

TEST_F(ButtonTest, TheAcceleratorOfAnEnabledButtonClicksIt) {
  host::TForm* form = NewForm(300, 120);
  TFulgoButton* button = NewButton(form, 10, 10, "&Go");
  CountClicks(*button);
  form->Show();
  app->ProcessMessages();
  input->PressKey('G', host::ssAlt);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  input->PressKey('G', host::ssAlt);
  app->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, ACaptionChangeReachesTheStateLooksThatShowedTheOldCaption) {
  TFulgoButton button(nullptr);
  button.SetCaption("Old");
  button.MouseOverArt->FulgoText->SetCaption("Hover!");
  button.ChildStateChanged();
  button.SetCaption("New");
  EXPECT_EQ(button.Art->FulgoText->Caption, "New");
  EXPECT_EQ(button.DownArt->FulgoText->Caption, "New");
  EXPECT_EQ(button.DisableArt->FulgoText->Caption, "New");
  EXPECT_EQ(button.MouseOverArt->FulgoText->Caption, "Hover!");
}

TEST_F(ButtonTest, StateLooksTravelAsDifferencesInFormsAndCopies) {
  host::TForm* form = NewForm(300, 120);
  TFulgoButton* source = NewButton(form, 0, 0, "Styled");
  source->SetName("Styled");
  GiveStateLooks(*source);
  const std::string text = "object Form1: TForm\n  Width = 300\n  Height = 120\n" + [&] {
    std::string body = AsText(*source);
    std::string indented;
    for (std::size_t p = 0; p < body.size();) {
      const std::size_t end = body.find('\n', p);
      indented += "  " + body.substr(p, end - p + 1);
      p = end + 1;
    }
    return indented;
  }() + "end\n";
  EXPECT_NE(text.find("ButtonStates"), std::string::npos);
  host::TCustomForm* loaded = ShowForm(text);
  auto* copy = dynamic_cast<TFulgoButton*>(loaded->FindComponent("Styled"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->MouseOverArt->FulgoBackground->FulgoColor->Brush, 0x00FFFFu);
  EXPECT_EQ(copy->DisableArt->FulgoBackground->FulgoColor->Brush, 0x808080u);
  EXPECT_FALSE(copy->MouseOverAsUp);
  EXPECT_EQ(copy->DownArt->InnerOffsetX, 3);
  // Later edits of Up reach every look except where it was made to differ.
  copy->Art->FulgoBackground->LayerFrame->SetLineWidth(3);
  copy->UpChanged();
  EXPECT_EQ(copy->MouseOverArt->FulgoBackground->LayerFrame->LineWidth, 3);
  EXPECT_EQ(copy->MouseOverArt->FulgoBackground->FulgoColor->Brush, 0x00FFFFu);

  auto* variant = new oFulgoButton(form);
  variant->Assign(source);
  EXPECT_EQ(variant->MouseOverArt->FulgoBackground->FulgoColor->Brush, 0x00FFFFu);
  EXPECT_FALSE(variant->MouseOverAsUp);

  TFulgoLabel label(nullptr);
  try {
    label.Assign(source);
    FAIL() << "a label cannot take a button";
  } catch (const host::EConvertError& e) {
    EXPECT_EQ(e.Message(), "Can not assign TFulgoLabel to TFulgoButton");
  }

  // Without state data every state look is the Up look.
  variant->ButtonStatesData.Clear();
  variant->Art->FulgoBackground->FulgoColor->SetBrush(0x112233);
  variant->UpChanged();
  EXPECT_EQ(variant->MouseOverArt->FulgoBackground->FulgoColor->Brush, 0x112233u);
  EXPECT_EQ(variant->DownArt->InnerOffsetX, 0);
}

}  // namespace
}  // namespace vantora::testing
