// The label and the control base on the headless screen: the first paint of a label made in code,
// labels read from a form, opaque and transparent drawing, sizing, copies and control files.
#include <cstdio>
#include <fstream>

#include "ControlsTestSupport.h"
#include "controls/Fulgen.h"
#include "controls/Fullbl.h"

namespace vantora::testing {
namespace {

constexpr host::TColor kRed = 0x0000FF;  // red in the low byte
constexpr std::uint32_t kScreenRed = 0xFF0000u;
constexpr std::uint32_t kSilver = 0xC0C0C0u;

const char* const kLabelForm = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 240
  Height = 120
  Color = 16711680
  object Label1: TFulgoLabel
    Left = 8
    Top = 8
    Width = 20
    Height = 20
    Caption = 'Hello'
    Art.FulgoBackground.FulgoColor.Brush = 255
  end
end
)";

class LabelTest : public ControlsTest {
 protected:
  TFulgoLabel* NewLabel(host::TWinControl* parent, const std::string& caption) {
    auto* label = new TFulgoLabel(parent);
    label->SetParent(parent);
    label->SetCaption(caption);
    return label;
  }
  std::string TempFile(const char* name) { return ::testing::TempDir() + name; }
};

TEST_F(LabelTest, ALabelMadeInCodeRendersAtItsFirstPaintAndFollowsItsCaption) {
  host::TForm* form = NewForm(240, 120);
  TFulgoLabel* label = NewLabel(form, "Hello");
  label->SetLeft(10);
  EXPECT_EQ(label->Art->FulgoBackground->FulgoColor->Brush, 0xC0C0C0u);
  EXPECT_TRUE(label->Art->Dib->Empty()) << "nothing renders before the first paint";
  EXPECT_EQ(label->Art->FulgoText->Caption, "Hello");

  form->Show();
  app->ProcessMessages();
  tFulgoInt& face = label->FulgoInt();
  EXPECT_EQ(face.GetLoadedMode(), fgCreated);
  ASSERT_FALSE(label->Art->Dib->Empty());
  EXPECT_EQ(label->Width(), label->Art->GetWidth());
  EXPECT_EQ(label->Height(), label->Art->GetHeight());
  EXPECT_EQ(label->Left(), 10) << "AutoSize keeps the position";
  EXPECT_EQ(PixelAt(*label, 1, 1), kSilver);

  const int narrow = label->Width();
  label->SetCaption("Hello, wider world");
  app->ProcessMessages();
  EXPECT_GT(label->Width(), narrow);
  EXPECT_EQ(label->Art->FulgoText->Caption, "Hello, wider world");
  // The art's caption is no way back to the control's.
  label->Art->FulgoText->SetCaption("Other");
  EXPECT_EQ(label->Caption(), "Hello, wider world");

  label->Init();
  EXPECT_EQ(label->Art->FulgoBackground->FulgoColor->Brush, 0u);
  EXPECT_EQ(label->Art->FulgoText->Caption, "Hello, wider world");
}

TEST_F(LabelTest, OpaqueDrawingFillsTheShadowsCornerTransparentDrawingShowsTheForm) {
  host::TForm* form = NewForm(240, 120);
  form->SetColor(kRed);
  TFulgoLabel* label = NewLabel(form, "Shade");
  tFulgoShadow& shadow = *label->Art->FulgoBackground->LayerShadow;
  shadow.SetLeft(4);
  shadow.SetTop(4);
  shadow.FulgoColor1->SetBrush(0x404040);
  shadow.SetActive(true);
  form->Show();
  app->ProcessMessages();
  const int w = label->Width();
  // Right of the face above the shadow nothing is drawn by the art.
  EXPECT_EQ(PixelAt(*label, w - 1, 0), PixelOf(label->Art->Transparent));
  EXPECT_EQ(PixelAt(*label, w - 1, label->Height() - 1), 0x404040u);

  label->SetDrawMode(edTransparent);
  app->ProcessMessages();
  EXPECT_EQ(PixelAt(*label, w - 1, 0), kScreenRed);
  EXPECT_EQ(PixelAt(*label, 1, 1), kSilver);
  EXPECT_EQ(PixelAt(*label, w - 1, label->Height() - 1), 0x404040u);
}

TEST_F(LabelTest, AnImposedSizeRendersOnceAndOnlyWhenItChanges) {
  host::TForm* form = NewForm(300, 120);
  TFulgoLabel* label = NewLabel(form, "Fixed");
  int renders = 0;
  label->FulgoInt().OnAfterRebuild = [&](tFulgoInt*) { ++renders; };
  form->Show();
  app->ProcessMessages();
  EXPECT_EQ(renders, 1);
  label->SetAutoSize(false);
  EXPECT_EQ(renders, 1) << "turning AutoSize off keeps the face";
  label->SetBounds(5, 6, 200, 50);
  EXPECT_EQ(renders, 2);
  EXPECT_EQ(label->Art->GetWidth(), 200);
  EXPECT_EQ(label->Art->GetHeight(), 50);
  label->SetBounds(7, 8, 200, 50);
  label->SetDrawMode(edOpaque);
  EXPECT_EQ(renders, 2);
  label->SetAutoSize(true);
  label->Rebuild();
  EXPECT_LT(label->Width(), 200);
  EXPECT_EQ(label->Left(), 7);
}

TEST_F(LabelTest, ChangesWhileRebuildsAreOffRenderNothingUntilOneRebuildTakesThemAll) {
  host::TForm* form = NewForm(300, 120);
  TFulgoLabel* label = NewLabel(form, "Batch");
  int renders = 0;
  label->FulgoInt().OnAfterRebuild = [&](tFulgoInt*) { ++renders; };
  form->Show();
  app->ProcessMessages();
  label->SetAutoSize(false);
  ASSERT_EQ(renders, 1);
  {
    NoRebuilds quiet(*label);
    label->SetCaption("Batched changes");
    label->SetBounds(0, 0, 180, 40);
    label->SetDrawMode(edTransparent);
    label->Invalidate();
    app->ProcessMessages();
    EXPECT_EQ(renders, 1) << "neither the changes nor the paint render";
    EXPECT_EQ(label->Art->FulgoText->Caption, "Batched changes") << "the changes are taken";
  }
  EXPECT_TRUE(label->GetAllowRebuild());
  label->Rebuild();
  EXPECT_EQ(renders, 2);
  EXPECT_EQ(label->Art->GetWidth(), 180) << "the size given while rebuilds were off holds";
  EXPECT_EQ(label->Art->GetHeight(), 40);
}

TEST_F(LabelTest, ALabelReadFromAFormIsLoadedAndRenderedFromItsStoredLook) {
  host::TCustomForm* form = ShowForm(kLabelForm);
  auto* label = dynamic_cast<TFulgoLabel*>(form->FindComponent("Label1"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->FulgoInt().GetLoadedMode(), fgLoaded);
  EXPECT_EQ(label->Art->FulgoText->Caption, "Hello");
  EXPECT_EQ(label->Width(), label->Art->GetWidth());
  EXPECT_EQ(PixelAt(*label, 1, 1), kScreenRed);

  const std::string text = AsText(*label);
  EXPECT_NE(text.find("Art.FulgoBackground.FulgoColor.Brush = 255"), std::string::npos) << text;
  EXPECT_EQ(text.find("FulgoPalette"), std::string::npos);
  EXPECT_EQ(text.find("AutoSize"), std::string::npos) << "AutoSize true is the label's own value";

  // A shared palette is stored as a reference, except by the o variant.
  auto* palette = new tFulgoPalette(form);
  palette->SetName("Palette1");
  label->SetFulgoPalette(palette);
  EXPECT_NE(AsText(*label).find("FulgoPalette = Form1.Palette1"), std::string::npos);
  auto* variant = new oFulgoLabel(form);
  variant->SetParent(form);
  variant->SetFulgoPalette(palette);
  EXPECT_EQ(AsText(*variant).find("FulgoPalette"), std::string::npos);
}

TEST_F(LabelTest, CopiesGoThroughTheStreamBetweenRelatedClassesOnly) {
  host::TForm* form = NewForm();
  TFulgoLabel* source = NewLabel(form, "Source");
  source->Art->FulgoBackground->FulgoColor->SetBrush(0x123456);
  source->Art->SetInnerOffsetX(2);
  auto* variant = new oFulgoLabel(form);
  variant->Assign(source);
  EXPECT_EQ(variant->Art->FulgoBackground->FulgoColor->Brush, 0x123456u);
  EXPECT_EQ(variant->Art->InnerOffsetX, 2);

  TFulgoGen gen(nullptr);
  try {
    source->Assign(&gen);
    FAIL() << "a label cannot take a generic control";
  } catch (const host::EConvertError& e) {
    EXPECT_EQ(e.Message(), "Can not assign TFulgoLabel to TFulgoGen");
  }
  EXPECT_EQ(source->Art->FulgoBackground->FulgoColor->Brush, 0x123456u);
}

TEST_F(LabelTest, ControlFilesRoundTripAndABadFileLeavesTheLabelAsItWas) {
  host::TForm* form = NewForm();
  TFulgoLabel* saved = NewLabel(form, "Saved");
  saved->Art->FulgoBackground->FulgoColor->SetBrush(0x00FF00);
  saved->SetAutoSize(false);
  const std::string path = TempFile("label.lbl");
  saved->SaveToFile(path);

  TFulgoLabel* loaded = NewLabel(form, "Loaded");
  auto* palette = new tFulgoPalette(form);
  loaded->SetFulgoPalette(palette);
  loaded->LoadFromFile(path);
  EXPECT_EQ(loaded->Art->FulgoBackground->FulgoColor->Brush, 0x00FF00u);
  EXPECT_EQ(loaded->Caption(), "Saved");
  EXPECT_TRUE(loaded->GetAutoSize()) << "the label keeps its own AutoSize";
  EXPECT_EQ(loaded->GetFulgoPalette(), palette);

  // Truncated at every length, a file leaves the label exactly as it was.
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  loaded->Art->FulgoBackground->FulgoColor->SetBrush(0x0000FF);
  loaded->SetAutoSize(false);
  loaded->SetBounds(1, 2, 33, 44);
  const std::string broken = TempFile("broken.lbl");
  for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
    std::ofstream(broken, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(cut));
    EXPECT_THROW(loaded->LoadFromFile(broken), host::Exception) << cut;
    ASSERT_EQ(loaded->Art->FulgoBackground->FulgoColor->Brush, 0x0000FFu) << cut;
    ASSERT_EQ(loaded->Caption(), "Saved");
    ASSERT_EQ(loaded->Width(), 33);
    ASSERT_FALSE(loaded->GetAutoSize());
    ASSERT_EQ(loaded->GetFulgoPalette(), palette);
  }
  // A file of an unrelated class is refused before anything is read.
  TFulgoGen gen(nullptr);
  gen.SaveToFile(broken);
  try {
    loaded->LoadFromFile(broken);
    FAIL() << "a generic control's file is no label file";
  } catch (const host::EConvertError& e) {
    EXPECT_EQ(e.Message(), "Can not assign TFulgoLabel to TFulgoGen");
  }
  EXPECT_EQ(loaded->Art->FulgoBackground->FulgoColor->Brush, 0x0000FFu);
  std::remove(path.c_str());
  std::remove(broken.c_str());
}

TEST_F(LabelTest, AFreshGenericControlHasTheBareDefaultsAndShowsTheLastTextItIsGiven) {
  TFulgoGen gen(nullptr);
  EXPECT_EQ(gen.Width(), 20);
  EXPECT_EQ(gen.Height(), 20);
  EXPECT_TRUE(gen.GetAutoSize());
  EXPECT_TRUE(gen.GetUpdatePalette());
  EXPECT_EQ(gen.GetDrawMode(), edOpaque);
  EXPECT_EQ(gen.GetAbout(), 1);
  EXPECT_EQ(gen.PaletteGroup, 0);
  EXPECT_FALSE(gen.PaletteGlobal);

  tFulgoLabelArt art(nullptr);
  auto* second = art.Objects.Add(std::make_unique<tFulgoText>(&art));
  gen.SetFulgoArt(&art);
  EXPECT_EQ(gen.FulgoText, second);
  EXPECT_EQ(gen.FulgoBackground, art.FulgoBackground);
  EXPECT_EQ(gen.FulgoInt().CurrentArt, &art);
  gen.SetPaletteGroup(0);
  EXPECT_EQ(gen.GetFulgoPalette(), nullptr);

  // Read from a form it has no art to render, and paints nothing.
  host::TCustomForm* form = ShowForm("object Form1: TForm\n  object Gen1: TFulgoGen\n  end\nend\n");
  EXPECT_EQ(dynamic_cast<TFulgoGen*>(form->FindComponent("Gen1"))->FulgoInt().GetLoadedMode(), fgLoaded);
}

}  // namespace
}  // namespace vantora::testing
