// A control's faces with alpha, checked against the control drawing itself on the headless screen
// in each state, as a person puts it there: where a face is opaque the screen shows its pixels, where
// it is clear the screen shows what lies under the control.
#include <cstdint>
#include <string>

#include "ControlsTestSupport.h"
#include "base/Fultype.h"
#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "controls/StateFaces.h"

namespace vantora::testing {
namespace {

class StateFacesTest : public ControlsTest {
 protected:
  // Every pixel of the control on the screen against Face: its colour where opaque, Under's where clear.
  void ExpectShows(const host::TControl& control, const TRgbaImage& face, std::uint32_t under,
                   const std::string& state) {
    ASSERT_EQ(face.Width(), control.Width()) << state;
    ASSERT_EQ(face.Height(), control.Height()) << state;
    int opaque = 0;
    for (int y = 0; y < face.Height(); ++y)
      for (int x = 0; x < face.Width(); ++x) {
        const std::uint8_t* p = face.Row(y) + 4 * x;
        ASSERT_TRUE(p[3] == 0 || p[3] == 255) << state;
        const std::uint32_t expected = p[3] == 255 ? std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2] : under;
        ASSERT_EQ(PixelAt(control, x, y), expected) << state << " at " << x << "," << y;
        opaque += p[3] == 255;
      }
    EXPECT_GT(opaque, 0) << state;
  }
};

TEST_F(StateFacesTest, EachButtonStateIsTheFaceItsPaintingShows) {
  host::TForm* form = NewForm(300, 120);
  form->SetColor(0x00FF00);  // under a transparent control
  auto* button = new TFulgoButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, button->Width(), button->Height());
  button->SetCaption("Faces");
  button->MouseOverArt->FulgoBackground->FulgoColor->SetBrush(0x00FFFF);
  button->DisableArt->FulgoBackground->FulgoColor->SetBrush(0x808080);
  button->ChildStateChanged();
  form->Show();
  app->ProcessMessages();

  const std::vector<TStateFace> faces = RenderStateFaces(*button);
  ASSERT_EQ(faces.size(), 4u);
  EXPECT_EQ(faces[0].State, "up");
  EXPECT_EQ(faces[3].State, "hover");
  EXPECT_NE(faces[0].Image, faces[1].Image);
  EXPECT_NE(faces[0].Image, faces[2].Image);
  EXPECT_NE(faces[0].Image, faces[3].Image);
  EXPECT_EQ(button->PressState, psUp) << "rendering the faces leaves the button as it was";
  EXPECT_FALSE(button->MouseInside);

  // Opaque: the holes show the look's Transparent colour; transparent: the form under the button.
  for (const eDrawMode mode : {edOpaque, edTransparent}) {
    button->SetDrawMode(mode);
    const auto under = [&](const tFulgoArt& art) {
      return mode == edOpaque ? PixelOf(art.Transparent) : PixelOf(form->Color());
    };
    button->Invalidate();
    app->ProcessMessages();
    ExpectShows(*button, RenderStateFace(*button, "up"), under(*button->Art), "up");

    MoveTo(*button, 20, 20);
    ASSERT_TRUE(button->MouseInside);
    ExpectShows(*button, RenderStateFace(*button, "hover"), under(*button->MouseOverArt), "hover");

    const host::POINT inside = At(*button, 20, 20);
    input->MouseDown(form->Handle(), inside.x, inside.y);
    app->ProcessMessages();
    ASSERT_EQ(button->PressState, psDown);
    ExpectShows(*button, RenderStateFace(*button, "down"), under(*button->DownArt), "down");
    input->MouseUp(form->Handle(), inside.x, inside.y);
    MoveTo(*button, 290, 110);

    button->SetEnabled(false);
    app->ProcessMessages();
    ExpectShows(*button, RenderStateFace(*button, "disabled"), under(*button->DisableArt), "disabled");
    button->SetEnabled(true);
    app->ProcessMessages();
  }
}

TEST_F(StateFacesTest, AControlWithoutStatesHasOneFace) {
  host::TForm* form = NewForm(300, 120);
  form->SetColor(0x0000FF);
  auto* label = new TFulgoLabel(form);
  label->SetParent(form);
  label->SetBounds(5, 5, label->Width(), label->Height());
  label->SetCaption("Label");
  label->SetDrawMode(edTransparent);
  form->Show();
  app->ProcessMessages();

  const std::vector<TStateFace> faces = RenderStateFaces(*label);
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(faces[0].State, "face");
  ExpectShows(*label, faces[0].Image, PixelOf(form->Color()), "face");
  try {
    RenderStateFace(*label, "down");
    FAIL() << "a label has no down face";
  } catch (const EFulgoError& e) {
    EXPECT_NE(std::string(e.what()).find("has no state \"down\" (it has face)"), std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace vantora::testing
