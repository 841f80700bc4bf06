// The panel: its initial look, children drawn over its face, AutoSize through forms and panel files,
// and palette notifications passed on to its children unless they are suspended.
#include <cstdio>

#include "ControlsTestSupport.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"

namespace vantora::testing {
namespace {

const char* const kPanelForm = R"(object Form1: TForm
  Width = 320
  Height = 160
  object Holder: tFulgoPanel
    Left = 10
    Top = 10
    Width = 240
    Height = 100
    Caption = 'Settings'
    Art.FulgoBackground.FulgoColor.Brush = 32768
    object Inner: TFulgoLabel
      Left = 20
      Top = 50
      Width = 20
      Height = 20
      Caption = 'Inside'
      Art.FulgoBackground.FulgoColor.Brush = 255
    end
  end
end
)";

// A child that counts the palette requests it hears.
class Listener : public host::TGraphicControl {
 public:
  explicit Listener(host::TComponent* owner) : host::TGraphicControl(owner) {}
  bool PaletteChanged(bool) override {
    ++heard;
    return false;
  }
  int heard = 0;
};

using PanelTest = ControlsTest;

TEST_F(PanelTest, ANewPanelIsSilverFramedAndShadowedAtItsOwnSize) {
  host::TForm* form = NewForm(300, 120);
  auto* panel = new tFulgoPanel(form);
  panel->SetParent(form);
  EXPECT_EQ(panel->Width(), 185);
  EXPECT_EQ(panel->Height(), 41);
  EXPECT_FALSE(panel->GetAutoSize());
  EXPECT_EQ(panel->Art->FulgoBackground->FulgoColor->Brush, 0xC0C0C0u);
  EXPECT_TRUE(panel->Art->FulgoBackground->LayerFrame->Active);
  EXPECT_TRUE(panel->Art->FulgoBackground->LayerShadow->Active);
  panel->SetCaption("Panel");
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(panel->Width(), 185) << "the art is rendered at the panel's size";
  EXPECT_EQ(panel->Art->GetWidth(), 185);
  EXPECT_EQ(PixelAt(*panel, 5, 5), 0xC0C0C0u);
  EXPECT_EQ(PixelAt(*panel, 0, 0), 0u) << "the frame";
}

TEST_F(PanelTest, ChildrenAreDrawnOverTheFaceAndAutoSizeSurvivesAForm) {
  host::TCustomForm* form = ShowForm(kPanelForm);
  auto* panel = dynamic_cast<tFulgoPanel*>(form->FindComponent("Holder"));
  auto* inner = dynamic_cast<TFulgoLabel*>(form->FindComponent("Inner"));
  ASSERT_TRUE(panel && inner);
  EXPECT_EQ(inner->Parent(), panel);
  EXPECT_EQ(panel->Art->FulgoText->Caption, "Settings");
  EXPECT_EQ(PixelAt(*panel, 5, 90), 0x008000u);
  EXPECT_EQ(PixelAt(*inner, 1, 1), 0xFF0000u);

  panel->SetAutoSize(true);
  panel->Rebuild();
  EXPECT_LT(panel->Width(), 240) << "the panel takes its art's size";
  const std::string text = AsText(*form);
  EXPECT_NE(text.find("AutoSize = True"), std::string::npos);
  delete form;
  host::TCustomForm* again = ShowForm(text);
  EXPECT_TRUE(dynamic_cast<tFulgoPanel*>(again->FindComponent("Holder"))->GetAutoSize());
}

TEST_F(PanelTest, APanelFileBringsItsAutoSizeAndKeepsThePanelsPalette) {
  host::TForm* form = NewForm();
  auto* saved = new tFulgoPanel(form);
  saved->SetAutoSize(true);
  saved->Art->FulgoBackground->FulgoColor->SetBrush(0x00FF00);
  const std::string path = ::testing::TempDir() + "panel.pnl";
  saved->SaveToFile(path);

  auto* loaded = new tFulgoPanel(form);
  auto* palette = new tFulgoPalette(form);
  loaded->SetFulgoPalette(palette);
  loaded->LoadFromFile(path);
  EXPECT_TRUE(loaded->GetAutoSize());
  EXPECT_EQ(loaded->Art->FulgoBackground->FulgoColor->Brush, 0x00FF00u);
  EXPECT_EQ(loaded->GetFulgoPalette(), palette);
  std::remove(path.c_str());
}

TEST_F(PanelTest, PaletteRequestsReachTheChildrenUnlessSuspended) {
  host::TForm* form = NewForm(300, 120);
  auto* panel = new tFulgoPanel(form);
  panel->SetParent(form);
  auto* child = new Listener(form);
  child->SetParent(panel);
  form->Show();
  app->ProcessMessages();
  child->heard = 0;
  EXPECT_TRUE(panel->PaletteChanged(false));
  EXPECT_EQ(child->heard, 1);
  panel->SetVisible(false);
  EXPECT_FALSE(panel->PaletteChanged(false)) << "an invisible panel realises nothing";
  EXPECT_EQ(child->heard, 2) << "but its children still hear it";
  panel->SetVisible(true);
  bAbortPaletteChange = true;
  EXPECT_FALSE(panel->PaletteChanged(true));
  EXPECT_EQ(child->heard, 2);
}

}  // namespace
}  // namespace vantora::testing
