// The shipped demo form, driven as a person would: one palette for all its controls, a group of
// buttons, hover and press looks, and a label drawn over the panel beneath it.
#include <fstream>
#include <sstream>

#include "ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"

namespace vantora::testing {
namespace {

class DemoFormTest : public ControlsTest {
 protected:
  host::TCustomForm* ShowDemo() {
    std::ifstream file(std::string(VANTORA_SOURCE_DIR) + "/data/forms/demo.txt");
    std::stringstream text;
    text << file.rdbuf();
    return ShowForm(text.str());
  }
  template <class T>
  static T* Find(host::TCustomForm* form, const char* name) {
    auto* found = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
};

TEST_F(DemoFormTest, TheDemoSharesOnePaletteComputedOnce) {
  host::TCustomForm* form = ShowDemo();
  auto* palette = Find<tFulgoPalette>(form, "SharedPalette");
  EXPECT_EQ(palette->GetComponentsCount(), 8);
  EXPECT_EQ(palette->BuildCount, 1);
  EXPECT_EQ(Find<TFulgoButton>(form, "Large")->GetPalette(), palette->PaletteHandle);
  // A face colour of its own would be mapped to whatever palette entry lies nearest.
  EXPECT_EQ(form->Color(), host::clBtnFace) << "the form takes the system's face colour";
}

TEST_F(DemoFormTest, TheGroupKeepsOneButtonDownAndHoverShowsItsLook) {
  host::TCustomForm* form = ShowDemo();
  auto* small = Find<TFulgoButton>(form, "Small");
  auto* medium = Find<TFulgoButton>(form, "Medium");
  EXPECT_TRUE(small->Down);
  EXPECT_EQ(small->FulgoInt().CurrentArt, small->DownArt.get());

  const std::uint32_t upPixel = PixelAt(*medium, 20, 10);
  MoveTo(*medium, 20, 10);
  EXPECT_EQ(medium->FulgoInt().CurrentArt, medium->MouseOverArt.get());
  EXPECT_NE(PixelAt(*medium, 20, 10), upPixel) << "the hover look is brighter";
  Click(*medium, 20, 10);
  app->ProcessMessages();
  EXPECT_TRUE(medium->Down);
  EXPECT_FALSE(small->Down);
  EXPECT_EQ(small->FulgoInt().CurrentArt, small->Art.get());
  MoveTo(*medium, 400, 300);
  EXPECT_EQ(medium->FulgoInt().CurrentArt, medium->DownArt.get());
}

TEST_F(DemoFormTest, TheTransparentLabelShowsThePanelBetweenItsLetters) {
  host::TCustomForm* form = ShowDemo();
  auto* board = Find<tFulgoPanel>(form, "Board");
  auto* note = Find<TFulgoLabel>(form, "Note");
  EXPECT_EQ(note->GetDrawMode(), edTransparent);
  // Left of the first letter lies the panel's dark face, not the label's Transparent colour.
  const host::POINT inBoard{note->Left(), note->Top() + note->Height() / 2};
  EXPECT_EQ(PixelAt(*note, 0, note->Height() / 2), PixelAt(*board, inBoard.x, inBoard.y));
  EXPECT_NE(PixelAt(*note, 0, note->Height() / 2), PixelOf(note->Art->Transparent));
}

}  // namespace
}  // namespace vantora::testing
