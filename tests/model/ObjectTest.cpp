// The object's render cycle and the background's first bitmap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/graphics/Gdi.h"
#include "host/graphics/Graphics.h"
#include "model/Fulback.h"
#include "palette/Fulone.h"
#include "palette/RenderPass.h"
#include "support/DibTestUtil.h"
#include "support/RebuildCounter.h"

namespace vantora {
namespace {

using Rows = std::vector<std::string>;

// One render of a lone object, as the art runs it.
void RenderAlone(tFulgoObject& object) {
  tFulgoOnePalette palette;
  RenderPass(palette, object, [&object] { object.Render(); });
}

// A 10 x 6 picture, black but for a white 4 x 2 block at (3, 2), dropped into the background.
void DropPicture(tFulgoBackground& back) {
  host::TBitmap picture;
  picture.SetSize(10, 6);
  host::PatBlt(picture.Canvas().Handle(), 0, 0, 10, 6, host::BLACKNESS);
  host::PatBlt(picture.Canvas().Handle(), 3, 2, 4, 2, host::WHITENESS);
  back.SetImage(&picture);
}

TEST(Background, PlainBodyFillsTheTargetOrIsAbsent) {
  test::RebuildCounter owner;
  tFulgoBackground back(&owner);
  back.FulgoColor->SetBrush(0x0000FF);
  back.TargetWidth = 5;
  back.TargetHeight = 3;
  RenderAlone(back);
  const char brush = test::CharOf(static_cast<std::uint8_t>(back.FulgoColor->BrushIndex));
  EXPECT_EQ(test::Picture(*back.Dib), Rows(3, std::string(5, brush)));
  EXPECT_EQ(back.Width, 5);
  EXPECT_EQ(back.Height, 3);
  back.Finished();
  EXPECT_TRUE(back.Dib->Empty());

  back.SetExist(false);
  const int before = owner.count;
  RenderAlone(back);
  // Nothing but the layers' growth around a transparent body: they have no body to outline.
  for (const std::string& row : test::Picture(*back.Dib)) EXPECT_EQ(row, std::string(row.size(), '.'));
  EXPECT_GT(back.Width, 5);
  // Without a body of its own the background switched all its layers on, each asking to rebuild.
  for (int i = 0; i < back.Layers.GetCount(); ++i) EXPECT_TRUE(back.Layers.GetItem(i)->Active);
  EXPECT_EQ(owner.count - before, 3);
}

TEST(Background, PictureLosesItsBlackAndIsStretchedOrPlaced) {
  tFulgoBackground back(nullptr);
  DropPicture(back);
  // The slot is empty again; the picture went on.
  EXPECT_TRUE(back.Image->Empty());
  ASSERT_FALSE(back.BackImage->Empty());
  EXPECT_EQ(back.BackImage->GetWidth(), 10);
  host::TBitmap empty;
  back.SetImage(&empty);
  EXPECT_EQ(back.BackImage->GetWidth(), 10);

  back.TargetWidth = 8;
  back.TargetHeight = 4;
  back.FulgoColor->SetBrush(0x00FF00);
  RenderAlone(back);
  const char b = test::CharOf(static_cast<std::uint8_t>(back.FulgoColor->BrushIndex));
  // The black border is cropped away before stretching: the block fills the whole body.
  EXPECT_EQ(test::Picture(*back.Dib), Rows(4, std::string(8, b)));

  back.SetImageAutoSize(false);
  back.Align->Alignment = host::taLeftJustify;
  RenderAlone(back);
  const std::string row = "." + std::string(4, b) + "...";
  EXPECT_EQ(test::Picture(*back.Dib), (Rows{"........", row, row, "........"}));

  back.Align->Alignment = host::taRightJustify;
  back.Align->Y = 1;
  back.SetImageWidth(2);
  back.SetImageHeight(1);
  RenderAlone(back);
  EXPECT_EQ(test::Picture(*back.Dib),
            (Rows{"........", "........", std::string(6, '.') + b + b, "........"}));
}

TEST(Object, FadeToReachesTheFillAndEveryLayer) {
  tFulgoBackground back(nullptr);
  back.SetShape(3);
  back.SetFadeTo(0x123456);
  EXPECT_EQ(back.FulgoColor->Brush2, 0x123456);
  for (tFulgoLayer* layer : back.Layers.All()) {
    EXPECT_EQ(layer->FadeTo, 0x123456);
    EXPECT_EQ(layer->FulgoColor1->Brush2, 0x123456);
  }
  // Passed on again even when FadeTo itself is unchanged.
  back.FulgoColor->Brush2 = 0;
  back.SetFadeTo(0x123456);
  EXPECT_EQ(back.FulgoColor->Brush2, 0x123456);

  // Init restores the defaults without touching the fill's colour hand-down.
  back.SetExist(false);
  back.Init();
  EXPECT_TRUE(back.Exist);
  EXPECT_TRUE(back.Active);
  EXPECT_EQ(back.Shape, 0);
  EXPECT_EQ(back.FadeTo, kButtonFace);
}

TEST(Object, MarginsSumTheActiveLayersInOrder) {
  tFulgoBackground back(nullptr);
  back.LayerFrame->SetActive(true);
  back.LayerFrame->SetLineWidth(2);
  back.LayerShadow->SetActive(true);
  back.LayerShadow->SetLeft(-3);
  back.LayerShadow->SetTop(4);
  back.TargetWidth = 6;
  back.TargetHeight = 5;
  RenderAlone(back);
  back.CalcAddXY();
  EXPECT_EQ(back.AddX, -2 - 3);
  EXPECT_EQ(back.AddY, -2);
  EXPECT_EQ(back.AddWidth, 4 + 3);
  EXPECT_EQ(back.AddHeight, 4 + 4);
  EXPECT_EQ(back.Width, 6 + 7);
  EXPECT_EQ(back.Height, 5 + 8);
  back.Finished();
}

}  // namespace
}  // namespace vantora
