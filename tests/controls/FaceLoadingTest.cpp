// A control's size is checked when it is read or set, before any face is made, and a form read from
// a stream renders no face until one is needed.
#include <cstdint>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/Fulfile.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "core/uMemory.h"
#include "host/graphics/Screen.h"

namespace vantora::testing {
namespace {

// A form holding Count labels named Label1.., each with the given property lines.
std::string LabelsForm(int count, const std::string& properties) {
  std::string text = "object Form1: TForm\n  Width = 400\n  Height = 300\n";
  for (int i = 1; i <= count; ++i)
    text += "  object Label" + std::to_string(i) + ": TFulgoLabel\n" + properties + "  end\n";
  return text + "end\n";
}

std::string OutOfRange(const std::string& control, int width, int height) {
  return control + " size " + std::to_string(width) + " x " + std::to_string(height) +
         " is out of range (at most 16384 x 16384 and 67108864 pixels)";
}

class FaceLoadingTest : public ControlsTest {
 protected:
  ~FaceLoadingTest() override { host::SetDisplayMode(host::DisplayMode::TrueColor); }

  host::TCustomForm* ReadForm(const std::string& text) {
    host::TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    return host::LoadForm(stream, app);
  }
  // The message of the library's error the read raises.
  std::string ReadError(const std::string& text) {
    try {
      ReadForm(text);
    } catch (const EFulgoError& e) {
      return e.Message();
    }
    return "no error";
  }
  std::vector<std::uint32_t> Screen(host::TCustomForm* form) {
    const host::SurfacePixels surface = host::GetSurfacePixels(form->Handle());
    return {surface.pixels, surface.pixels + static_cast<std::ptrdiff_t>(surface.width) * surface.height};
  }
  static TFulgoLabel* LabelOf(host::TCustomForm* form, int index) {
    return dynamic_cast<TFulgoLabel*>(form->FindComponent("Label" + std::to_string(index)));
  }
};

TEST_F(FaceLoadingTest, SizesBeyondTheLimitsAreRefusedWhenReadBeforeAnyFaceIsMade) {
  const std::int32_t blocks = nQuant;
  // Five labels of 32000 x 32000 would take 5 GB of faces.
  EXPECT_EQ(ReadError(LabelsForm(5, "    Width = 32000\n    Height = 32000\n    AutoSize = False\n")),
            OutOfRange("Label1: TFulgoLabel", 32000, 20));
  EXPECT_EQ(ReadError(LabelsForm(1, "    Height = 20000\n")), OutOfRange("Label1: TFulgoLabel", 20, 20000));
  // Each side within the limit, but 80 million pixels.
  EXPECT_EQ(ReadError(LabelsForm(1, "    Width = 10000\n    Height = 8000\n")),
            OutOfRange("Label1: TFulgoLabel", 10000, 8000));
  EXPECT_EQ(ReadError(LabelsForm(1, "    Width = -50\n")), OutOfRange("Label1: TFulgoLabel", -50, 20));
  EXPECT_EQ(ReadError(LabelsForm(1, "    Height = -2147483648\n")),
            OutOfRange("Label1: TFulgoLabel", 20, -2147483647 - 1));
  EXPECT_EQ(ReadError("object Form1: TForm\n  object Panel1: tFulgoPanel\n    Width = 16385\n  end\nend\n"),
            OutOfRange("Panel1: tFulgoPanel", 16385, 41));
  EXPECT_EQ(nQuant, blocks) << "no face was made";

  // The largest side is read, and still renders nothing.
  host::TCustomForm* form =
      ReadForm(LabelsForm(1, "    Width = 16384\n    Height = 4096\n    AutoSize = False\n"));
  EXPECT_EQ(LabelOf(form, 1)->Width(), 16384);
  EXPECT_EQ(LabelOf(form, 1)->Height(), 4096);
  EXPECT_EQ(nQuant, blocks);
}

TEST_F(FaceLoadingTest, AControlFileWithABadSizeLeavesTheControlAsItWas) {
  host::TForm* form = NewForm(200, 100);
  auto* label = new TFulgoLabel(form);
  label->SetParent(form);
  label->SetCaption("Kept");
  host::TMemoryStream file;
  const std::string text = "object Label1: TFulgoLabel\n  Caption = 'Other'\n  Width = -50\nend\n";
  file.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  file.SetPosition(0);
  try {
    LoadControlFromStream(*label, file, true);
    ADD_FAILURE() << "the file was read";
  } catch (const EFulgoError& e) {
    EXPECT_EQ(e.Message(), OutOfRange("TFulgoLabel", -50, 20));
  }
  EXPECT_EQ(label->Caption(), "Kept");
  EXPECT_EQ(label->Width(), 20);
}

TEST_F(FaceLoadingTest, SizesSetInCodeAreRefusedBeyondTheLimitsAndLayoutMayShrinkToNothing) {
  host::TForm* form = NewForm(100, 30);
  auto* label = new TFulgoLabel(form);
  label->SetName("Big");
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(1, 2, 300, 40);
  const std::int32_t blocks = nQuant;
  try {
    label->SetBounds(1, 2, 20000, 10);
    ADD_FAILURE() << "the size was taken";
  } catch (const EFulgoError& e) {
    EXPECT_EQ(e.Message(), OutOfRange("Big: TFulgoLabel", 20000, 10));
  }
  label->SetWidth(9000);
  EXPECT_THROW(label->SetHeight(8000), EFulgoError);
  EXPECT_EQ(label->Width(), 9000);
  EXPECT_EQ(label->Height(), 40);
  EXPECT_EQ(nQuant, blocks) << "nothing rendered before the first paint";

  // Layout that runs out of room asks for negative sizes, which count as nothing.
  auto* panel = new tFulgoPanel(form);
  panel->SetParent(form);
  panel->SetHeight(50);
  panel->SetAlign(host::alTop);
  label->SetAlign(host::alClient);
  EXPECT_EQ(label->Top(), 50);
  EXPECT_EQ(label->Height(), 0);
}

TEST_F(FaceLoadingTest, AFormRendersNoFaceUntilShownAndThenPaintsAsIfBuiltWhenRead) {
  // On 256 colours the shared palette shows whether it was built from every member's face.
  host::SetDisplayMode(host::DisplayMode::Palette256);
  std::string text =
      "object Form1: TForm\n  Width = 640\n  Height = 200\n  object Palette1: tFulgoPalette\n  end\n";
  for (int i = 1; i <= 12; ++i)
    text += "  object Label" + std::to_string(i) +
            ": TFulgoLabel\n    Left = " + std::to_string(i % 6 * 100) +
            "\n    Top = " + std::to_string(i / 6 * 40) + "\n    Caption = 'Label " + std::to_string(i) +
            "'\n    FulgoPalette = Palette1\n    Art.FulgoBackground.FulgoColor.Brush = " +
            std::to_string(0x203040 + i * 0x0B1709) +
            (i == 12 ? "\n    Width = 150\n    Height = 30\n    AutoSize = False" : "") + "\n  end\n";
  text += "end\n";

  const std::int32_t blocks = nQuant;
  host::TCustomForm* lazy = ReadForm(text);
  EXPECT_EQ(nQuant, blocks) << "reading the form made no face";
  auto* palette = dynamic_cast<tFulgoPalette*>(lazy->FindComponent("Palette1"));
  EXPECT_EQ(palette->BuildCount, 0);
  int renders = 0;
  for (int i = 1; i <= 12; ++i) {
    EXPECT_TRUE(LabelOf(lazy, i)->Art->Dib->Empty()) << i;
    LabelOf(lazy, i)->FulgoInt().OnAfterRebuild = [&](tFulgoInt*) { ++renders; };
  }
  lazy->Show();
  app->ProcessMessages();
  EXPECT_EQ(renders, 12) << "each face was built once";
  EXPECT_EQ(palette->BuildCount, 1);
  EXPECT_EQ(LabelOf(lazy, 12)->Art->GetWidth(), 150);
  for (int i = 1; i <= 12; ++i) {
    TFulgoLabel* label = LabelOf(lazy, i);
    EXPECT_EQ(PixelAt(*label, 2, 2), PixelOf(label->Art->FulgoBackground->FulgoColor->Brush)) << i;
  }
  const std::vector<std::uint32_t> shown = Screen(lazy);
  delete lazy;

  // The same form with its faces and palette built as soon as it is read, as loading used to.
  host::SetDisplayMode(host::DisplayMode::Palette256);
  host::TCustomForm* eager = ReadForm(text);
  LabelOf(eager, 1)->FulgoInt().BuildFaces();
  EXPECT_EQ(dynamic_cast<tFulgoPalette*>(eager->FindComponent("Palette1"))->BuildCount, 1);
  eager->Show();
  app->ProcessMessages();
  EXPECT_EQ(Screen(eager), shown);
}

}  // namespace
}  // namespace vantora::testing
