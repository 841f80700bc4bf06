// Shared palettes: one palette computation for a whole form, palettes stored in the form, window-wide
// palettes of the controls made in code, and what sharing does on the emulated 256-colour display.
#include <cstdint>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fullbl.h"
#include "host/graphics/Gdi.h"
#include "host/graphics/Screen.h"

namespace vantora::testing {
namespace {

// A form of Count labels, each with a background of its own colour, sharing Palette1.
std::string SharedForm(int count, bool savePalette, const std::string& paletteData = "") {
  std::string text = "object Form1: TForm\n  Width = 640\n  Height = 400\n";
  text += "  object Palette1: tFulgoPalette\n";
  if (savePalette) text += "    SavePalette = True\n";
  text += paletteData + "  end\n";
  for (int i = 0; i < count; ++i) {
    const int brush = 0x102030 + i * 0x0A1B07;
    text += "  object Label" + std::to_string(i) + ": TFulgoLabel\n    Left = " + std::to_string(i % 8 * 78) +
            "\n    Top = " + std::to_string(i / 8 * 30) + "\n    Caption = 'L" + std::to_string(i) +
            "'\n    FulgoPalette = Palette1\n    Art.FulgoBackground.FulgoColor.Brush = " +
            std::to_string(brush) + "\n  end\n";
  }
  return text + "end\n";
}

class PaletteTest : public ControlsTest {
 protected:
  ~PaletteTest() override { host::SetDisplayMode(host::DisplayMode::TrueColor); }
};

TEST_F(PaletteTest, AFormOfManyControlsComputesItsPaletteOnceAfterLoading) {
  host::TCustomForm* form = ShowForm(SharedForm(100, false));
  auto* palette = dynamic_cast<tFulgoPalette*>(form->FindComponent("Palette1"));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetComponentsCount(), 100);
  EXPECT_EQ(palette->BuildCount, 1);
  EXPECT_TRUE(palette->OwnsHandle);
  ASSERT_NE(palette->PaletteHandle, nullptr);
  auto* label = dynamic_cast<TFulgoLabel*>(form->FindComponent("Label3"));
  EXPECT_EQ(label->GetPalette(), palette->PaletteHandle);

  // After the load every change rebuilds at once; leaving rebuilds nothing.
  label->Art->FulgoBackground->FulgoColor->SetBrush(0x00FF00);
  EXPECT_EQ(palette->BuildCount, 2);
  label->SetFulgoPalette(nullptr);
  EXPECT_EQ(palette->BuildCount, 2);
  EXPECT_EQ(palette->GetComponentsCount(), 99);
}

TEST_F(PaletteTest, OneMemberWithAPictureGivesACopyOfItsPaletteAndEmptyMembersGiveNone) {
  host::TForm* form = NewForm(300, 100);
  auto* palette = new tFulgoPalette(form);
  int rebuilds = 0;
  palette->OnRebuild = [&](host::TPersistent*) { ++rebuilds; };
  auto* empty = new TFulgoLabel(form);
  palette->Add(&empty->FulgoInt());
  EXPECT_EQ(palette->PaletteHandle, nullptr);
  EXPECT_EQ(rebuilds, 0);
  palette->Remove(&empty->FulgoInt());

  auto* label = new TFulgoLabel(form);
  label->SetParent(form);
  label->SetCaption("One");
  form->Show();
  app->ProcessMessages();
  label->SetFulgoPalette(palette);
  const auto entries = [](host::HPALETTE handle) {
    std::vector<host::PALETTEENTRY> all(256);
    all.resize(host::GetPaletteEntries(handle, 0, 256, all.data()));
    std::vector<std::uint32_t> colours;
    for (const host::PALETTEENTRY& e : all)
      colours.push_back(e.peRed | e.peGreen << 8 | e.peBlue << 16 |
                        static_cast<std::uint32_t>(e.peFlags) << 24);
    return colours;
  };
  ASSERT_NE(palette->PaletteHandle, nullptr);
  EXPECT_NE(palette->PaletteHandle, label->Art->PaletteHandle);
  EXPECT_TRUE(palette->OwnsHandle);
  EXPECT_EQ(entries(palette->PaletteHandle), entries(label->Art->PaletteHandle));
  EXPECT_EQ(rebuilds, 1);
  // The member renders in new colours without updating the shared palette: the art replaces its
  // palette, and the shared one still holds the colours it had.
  const std::vector<std::uint32_t> shared = entries(palette->PaletteHandle);
  label->FulgoInt().UpdatePalette = false;
  label->Art->FulgoBackground->FulgoColor->SetBrush(0x3366CC);
  EXPECT_EQ(entries(palette->PaletteHandle), shared);
  delete palette;
  EXPECT_EQ(label->GetFulgoPalette(), nullptr) << "a palette that goes detaches its members";
  EXPECT_NE(label->Art->PaletteHandle, nullptr) << "and leaves them their own palettes";
}

TEST_F(PaletteTest, AStoredPaletteIsUsedWithoutComputingIt) {
  host::TCustomForm* form = ShowForm(SharedForm(6, true));
  const std::string text = AsText(*form);
  ASSERT_NE(text.find("PaletteData = {"), std::string::npos);
  delete form;

  form = ShowForm(text);
  auto* palette = dynamic_cast<tFulgoPalette*>(form->FindComponent("Palette1"));
  EXPECT_EQ(palette->BuildCount, 0);
  ASSERT_NE(palette->PaletteHandle, nullptr);
  EXPECT_EQ(host::GetPaletteEntries(palette->PaletteHandle, 0, 0, nullptr), 250u);
}

TEST_F(PaletteTest, APaletteStoredWhileThereIsNoneLoadsAgainAndAShortOneFailsCleanly) {
  host::TForm* form = NewForm();
  form->SetName("Form1");
  auto* palette = new tFulgoPalette(form);
  palette->SetName("Palette1");
  palette->SavePalette = true;
  const std::string text = AsText(*form);
  EXPECT_EQ(text.find("PaletteData"), std::string::npos);
  delete form;
  delete ShowForm(text);

  // An old file holds an empty value: the load names the property and leaves no form behind.
  const int components = app->ComponentCount();
  try {
    ShowForm(SharedForm(2, true, "    PaletteData = {}\n"));
    FAIL() << "a short palette loads";
  } catch (const host::EReadError& e) {
    EXPECT_NE(e.Message().find("PaletteData of Palette1 holds 0 bytes"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(app->ComponentCount(), components);
}

TEST_F(PaletteTest, ControlsMadeInCodeShareTheirWindowsPaletteByGroup) {
  host::TForm* form = NewForm(400, 200);
  host::TForm* other = NewForm(100, 100);
  auto* panel = new host::TPanel(form);
  panel->SetParent(form);
  auto* a = new oFulgoLabel(form);
  a->SetParent(form);
  auto* b = new oFulgoButton(form);
  b->SetParent(panel);
  b->SetLeft(60);
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(a->Caption(), "oFulgoLabel1") << "an empty caption is made from the class name";
  ASSERT_NE(a->GetFulgoPalette(), nullptr);
  EXPECT_EQ(a->GetFulgoPalette(), b->GetFulgoPalette()) << "one palette per top-level window";
  EXPECT_EQ(FindGlobalPalette(panel->Handle(), 0, false), a->GetFulgoPalette());
  EXPECT_NE(FindGlobalPalette(form->Handle(), 1, false), a->GetFulgoPalette());
  EXPECT_NE(FindGlobalPalette(other->Handle(), 0, false), a->GetFulgoPalette());
  EXPECT_EQ(a->GetFulgoPalette()->BuildCount, 1);

  b->SetPaletteGroup(2);
  EXPECT_EQ(b->GetFulgoPalette(), FindGlobalPalette(form->Handle(), 2, false));
  // The last member leaving destroys a window-wide palette; the next lookup makes a new one.
  const std::size_t before = GlobalPalettes().size();
  delete a;
  EXPECT_EQ(GlobalPalettes().size(), before - 1);
  // At exit the palettes go once, their members detached.
  ExitPalettes();
  EXPECT_TRUE(GlobalPalettes().empty());
  EXPECT_EQ(b->GetFulgoPalette(), nullptr);
}

TEST_F(PaletteTest, SharingGivesEveryControlItsExactColoursOnA256ColourDisplay) {
  host::SetDisplayMode(host::DisplayMode::Palette256);
  const auto exactCount = [&](host::TCustomForm* form) {
    int exact = 0;
    for (int i = 0; i < 16; ++i) {
      auto* label = dynamic_cast<TFulgoLabel*>(form->FindComponent("Label" + std::to_string(i)));
      if (PixelAt(*label, 2, 2) == PixelOf(label->Art->FulgoBackground->FulgoColor->Brush)) ++exact;
    }
    return exact;
  };
  host::TCustomForm* shared = ShowForm(SharedForm(16, false));
  EXPECT_EQ(exactCount(shared), 16);
  delete shared;

  std::string alone = SharedForm(16, false);
  for (std::size_t p; (p = alone.find("    FulgoPalette = Palette1\n")) != std::string::npos;)
    alone.erase(p, 28);
  host::SetDisplayMode(host::DisplayMode::Palette256);
  host::TCustomForm* separate = ShowForm(alone);
  EXPECT_LT(exactCount(separate), 16) << "each label realised its own palette over the others";
}

}  // namespace
}  // namespace vantora::testing
