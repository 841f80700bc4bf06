// What the widgets put on the screen: the pixels the style painter fixes for marks, shapes,
// selections, carets and disabled states.
#include <string>

#include "forms/FormsTestSupport.h"
#include "host/widgets/Bevel.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/Label.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/RadioButton.h"
#include "host/widgets/Shape.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/TabSet.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

constexpr std::uint32_t Rgb(TColor color) {
  // Surface pixels are 0x00RRGGBB; colours are 0x00BBGGRR.
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
const std::uint32_t kFace = Rgb(ColorToRGB(clBtnFace));
const std::uint32_t kWhite = Rgb(clWhite), kBlack = Rgb(clBlack);
const std::uint32_t kHighlight = Rgb(ColorToRGB(clHighlight));

class PaintTest : public FormsTest {
 protected:
  TForm* Shown(int width = 200, int height = 120) {
    form = NewForm(width, height);
    return form;
  }
  void Paint() {
    form->Show();
    app->ProcessMessages();
  }
  // Pixels of the colour in the control, from column Left on.
  int Count(const TControl& control, std::uint32_t color, int left = 0) {
    int n = 0;
    for (int y = 0; y < control.Height(); ++y)
      for (int x = left; x < control.Width(); ++x) n += PixelAt(control, x, y) == color;
    return n;
  }
  TForm* form = nullptr;
};

TEST_F(PaintTest, CheckMarksRadioDotsAndDisabledCaptions) {
  Shown();
  auto* check = Add<TCheckBox>(form, 10, 10, 100, 17);
  auto* radio = Add<TRadioButton>(form, 10, 40, 100, 17);
  auto* disabled = Add<TCheckBox>(form, 10, 70, 100, 17);
  disabled->SetCaption("Off");
  disabled->SetEnabled(false);
  Paint();
  const int markTop = (17 - StylePainter::kCheckSize) / 2;
  // The box is white inside its sunken frame and holds no mark.
  EXPECT_EQ(PixelAt(*check, 6, markTop + 6), kWhite);
  EXPECT_EQ(PixelAt(*check, 0, markTop), Rgb(ColorToRGB(clBtnShadow)));
  check->SetChecked(true);
  radio->SetChecked(true);
  app->ProcessMessages();
  // The check mark's middle and the radio's dot.
  EXPECT_EQ(PixelAt(*check, 3 + 3, markTop + 3 + 4), kBlack);
  EXPECT_EQ(PixelAt(*radio, 6, markTop + 6), kBlack);
  EXPECT_EQ(PixelAt(*radio, 3, markTop + 6), kWhite);
  // A disabled caption is embossed: no black text, but shadow and highlight.
  const int caption = StylePainter::kCheckSize + 2;
  EXPECT_EQ(Count(*disabled, kBlack, caption), 0);
  EXPECT_GT(Count(*disabled, Rgb(ColorToRGB(clBtnShadow)), caption), 20);
}

TEST_F(PaintTest, ShapesFillInsideTheirOutline) {
  Shown();
  auto* ellipse = Add<TShape>(form, 10, 10, 60, 40);
  ellipse->SetShape(stEllipse);
  ellipse->Brush()->SetColor(clRed);
  ellipse->Pen()->SetWidth(2);
  auto* hollow = Add<TShape>(form, 100, 10, 40, 40);
  hollow->Brush()->SetStyle(bsClear);
  auto* line = Add<TBevel>(form, 10, 70, 100, 2);
  line->SetShape(bsTopLine);
  Paint();
  EXPECT_EQ(PixelAt(*ellipse, 30, 20), Rgb(clRed));
  EXPECT_EQ(PixelAt(*ellipse, 0, 0), kFace) << "the corners stay the form's";
  EXPECT_EQ(PixelAt(*ellipse, 59, 39), kFace);
  EXPECT_EQ(PixelAt(*ellipse, 30, 0), kBlack);
  EXPECT_EQ(PixelAt(*ellipse, 30, 1), kBlack) << "a pen two pixels wide";
  EXPECT_EQ(PixelAt(*ellipse, 0, 20), kBlack);
  EXPECT_EQ(PixelAt(*hollow, 20, 20), kFace) << "a clear brush shows what lies below";
  EXPECT_EQ(PixelAt(*hollow, 0, 20), kBlack);
  EXPECT_EQ(PixelAt(*line, 50, 0), Rgb(ColorToRGB(clBtnShadow)));
  EXPECT_EQ(PixelAt(*line, 50, 1), Rgb(ColorToRGB(clBtnHighlight)));
}

TEST_F(PaintTest, SelectionCaretAndListHighlight) {
  Shown(300, 160);
  auto* edit = Add<TEdit>(form, 10, 10, 120, 21);
  auto* list = Add<TListBox>(form, 10, 40, 120, 100);
  list->Items()->Add("one");
  list->Items()->Add("two");
  edit->SetText("selected");
  Paint();
  edit->SetFocus();
  edit->SelectAll();
  app->ProcessMessages();
  EXPECT_GT(Count(*edit, kHighlight), 100) << "the selection is highlighted while focused";
  list->SetFocus();
  app->ProcessMessages();
  EXPECT_EQ(Count(*edit, kHighlight), 0) << "and hidden when the focus leaves";
  EXPECT_EQ(Count(*list, kHighlight), 0);
  list->SetItemIndex(1);
  app->ProcessMessages();
  const int row = list->ItemHeight();
  EXPECT_EQ(PixelAt(*list, 100, 2 + row + row / 2), kHighlight);
  EXPECT_EQ(PixelAt(*list, 100, 2 + row / 2), kWhite);
  // The caret: one black column where the text starts, past the frame and the margin.
  edit->SetFocus();
  edit->SetSelStart(0);
  app->ProcessMessages();
  EXPECT_EQ(PixelAt(*edit, 5, 10), kBlack);
}

TEST_F(PaintTest, SpeedButtonsAndTabsShowTheirState) {
  Shown(300, 100);
  auto* flat = Add<TSpeedButton>(form, 10, 10, 30, 25);
  flat->SetFlat(true);
  auto* down = Add<TSpeedButton>(form, 50, 10, 30, 25);
  down->SetGroupIndex(1);
  down->SetDown(true);
  auto* tabs = Add<TTabSet>(form, 10, 50, 280, 22);
  tabs->Tabs()->Add("A && B");
  tabs->Tabs()->Add("C");
  tabs->SetTabIndex(0);
  Paint();
  EXPECT_EQ(PixelAt(*flat, 0, 0), kFace) << "flat: no bevel until hovered";
  const POINT p = At(*flat, 15, 12);
  input->MouseMove(form->Handle(), p.x, p.y);
  app->ProcessMessages();
  EXPECT_EQ(PixelAt(*flat, 0, 0), Rgb(ColorToRGB(clBtnHighlight)));
  // Down: sunken, and the face is the half-tone of face and highlight.
  EXPECT_EQ(PixelAt(*down, 0, 0), Rgb(ColorToRGB(clBtnShadow)));
  EXPECT_NE(PixelAt(*down, 10, 5), PixelAt(*down, 11, 5));
  // The selected tab stands two pixels taller than the other.
  const RECT selected = tabs->TabRect(0), other = tabs->TabRect(1);
  EXPECT_EQ(PixelAt(*tabs, selected.left + 4, 0), Rgb(ColorToRGB(clBtnHighlight)));
  EXPECT_EQ(PixelAt(*tabs, other.left + 4, 0), kFace);
  EXPECT_EQ(PixelAt(*tabs, other.left + 4, 2), Rgb(ColorToRGB(clBtnHighlight)));
}

}  // namespace
}  // namespace vantora::host
