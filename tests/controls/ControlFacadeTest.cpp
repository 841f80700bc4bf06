// The label, the buttons and the panel through their one common face: the properties they all
// publish, in the same order with the same defaults, and their control files.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fulint.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"

namespace vantora::testing {
namespace {

using ControlFacadeTest = ControlsTest;

std::vector<std::string> OwnNames(const host::TClass& cls) {
  std::vector<std::string> names;
  const std::size_t inherited = cls.ClassParent()->Properties().size();
  for (std::size_t i = inherited; i < cls.Properties().size(); ++i)
    names.push_back(cls.Properties()[i]->Name);
  return names;
}

TEST_F(ControlFacadeTest, BothBasesPublishTheSharedRowsInOrderWithTheirDefaults) {
  const std::vector<std::string> shared = {"Wizard",        "About",    "FulgoPalette",
                                           "UpdatePalette", "AutoSize", "DrawMode"};
  EXPECT_EQ(OwnNames(TFulgoGraphicControl::StaticClass()), shared);
  EXPECT_EQ(OwnNames(tFulgoCustomPanel::StaticClass()), shared);

  TFulgoLabel label(nullptr);
  tFulgoPanel panel(nullptr);
  for (host::TPersistent* control :
       {static_cast<host::TPersistent*>(&label), static_cast<host::TPersistent*>(&panel)}) {
    const host::TClass& cls = control->ClassType();
    for (const char* name : {"About", "UpdatePalette", "DrawMode", "FulgoPalette"})
      EXPECT_TRUE(cls.FindProperty(name)->IsDefault(*control)) << cls.ClassName() << "." << name;
    EXPECT_EQ(host::GetObjectProp(*control, *cls.FindProperty("Wizard")), control)
        << "the wizard row reads as the control itself";
  }
  EXPECT_FALSE(TFulgoGraphicControl::StaticClass().FindProperty("AutoSize")->Default.has_value())
      << "a windowless control's AutoSize is stored by its own rule";
  EXPECT_TRUE(tFulgoCustomPanel::StaticClass().FindProperty("AutoSize")->IsDefault(panel));
  label.SetAbout(3);
  EXPECT_NE(AsText(label).find("About = 3"), std::string::npos);
}

TEST_F(ControlFacadeTest, TheAccessorsReachEachControlsOwnRenderingInterface) {
  host::TForm* form = NewForm();
  auto* palette = new tFulgoPalette(form);
  auto* label = new TFulgoLabel(form);
  auto* button = new TFulgoButton(form);
  auto* panel = new tFulgoPanel(form);
  for (tFulgoControl* control : std::initializer_list<tFulgoControl*>{label, button, panel}) {
    control->SetFulgoPalette(palette);
    control->SetUpdatePalette(false);
    control->SetDrawMode(edTransparent);
    control->SetAutoSize(!control->GetAutoSize());
    EXPECT_EQ(control->FulgoInt().FulgoPalette, palette);
    EXPECT_FALSE(control->FulgoInt().UpdatePalette);
    EXPECT_EQ(control->FulgoInt().DrawMode, edTransparent);
    EXPECT_EQ(control->GetAutoSize(), control->FulgoInt().AutoSize);
    EXPECT_EQ(control->GetSelf(), &control->HostControl());
    EXPECT_EQ(control->FulgoInt().Control, &control->HostControl());
  }
  EXPECT_EQ(label->GetDrawMode(), edTransparent);
  EXPECT_NE(button->GetFulgoPalette(), nullptr);
}

TEST_F(ControlFacadeTest, ThroughTheCommonFaceAFileKeepsAutoSizeOnlyWhereTheClassSaysSo) {
  host::TForm* form = NewForm();
  struct Case {
    tFulgoControl* saved;
    tFulgoControl* loaded;
    const char* file;
    bool keeps;
  };
  const Case cases[] = {
      {new TFulgoLabel(form), new TFulgoLabel(form), "facade.lbl", true},
      {new TFulgoButton(form), new TFulgoButton(form), "facade.btn", true},
      {new tFulgoPanel(form), new tFulgoPanel(form), "facade.pnl", false},
  };
  for (const Case& c : cases) {
    const std::string path = ::testing::TempDir() + c.file;
    c.saved->SetAutoSize(true);
    c.saved->SaveToFile(path);
    c.loaded->SetAutoSize(false);
    c.loaded->LoadFromFile(path);
    EXPECT_EQ(c.loaded->GetAutoSize(), !c.keeps) << c.file;
    std::ifstream in(path, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    host::TMemoryStream expected;
    host::WriteComponent(expected, c.saved->HostControl());
    EXPECT_EQ(file, std::string(expected.Bytes().begin(), expected.Bytes().end()))
        << "the file holds the control's component stream";
    std::remove(path.c_str());
  }
}

}  // namespace
}  // namespace vantora::testing
