// What a form designer finds after loading the library: the palette page, the editors it picks for
// each property, what their rows show, and the wizard behind the row and the verb.
#include <string>
#include <vector>

#include "controls/ControlsTestSupport.h"
#include "controls/Fulbtn.h"
#include "controls/Fulgen.h"
#include "controls/Fulgopal.h"
#include "controls/Fullbl.h"
#include "controls/Fulpanel.h"
#include "controls/Qorspin2.h"
#include "core/Fuldib.h"
#include "design/Fulgo.h"
#include "design/Wizard.h"
#include "effects/Fulcolor.h"
#include "host/designer/DesignRegistry.h"
#include "host/forms/Responder.h"
#include "model/Fulback.h"
#include "support/TempDir.h"

namespace vantora {
namespace {

struct CountingDesigner : host::IDesigner {
  explicit CountingDesigner(host::TComponent& owner) : root(owner) {}
  void Modified() override { ++modified; }
  host::TComponent& Root() override { return root; }
  host::TComponent& root;
  int modified = 0;
};

class FulgoRegistrationTest : public testing::ControlsTest {
 protected:
  FulgoRegistrationTest() {
    host::ClearDesignRegistry();
    Register();
    form = NewForm(300, 200);
    form->Show();
  }
  ~FulgoRegistrationTest() override {
    host::DialogResponder().Clear();
    host::ClearDesignRegistry();
  }
  std::unique_ptr<host::TPropertyEditor> Editor(host::TPersistent& instance, const std::string& name) {
    const host::TPropInfo* prop = instance.ClassType().FindProperty(name);
    EXPECT_NE(prop, nullptr) << name;
    return host::GetPropertyEditor(designer, instance, *prop);
  }
  template <class Control>
  Control* Add() {
    auto* control = new Control(form);
    control->SetParent(form);
    app->ProcessMessages();
    return control;
  }
  // The next wizard shown notes which kind it edits and is cancelled; an unexpected one fails the test.
  void CancelNextWizard() {
    driver.OnModal("Vantora Wizard", [this](host::TCustomForm& shown) {
      opened.push_back(dynamic_cast<TfrmWizard&>(shown).EditMode);
      shown.SetModalResult(host::mrCancel);
    });
  }

  host::TForm* form = nullptr;
  CountingDesigner designer{*app};
  std::vector<teEditing> opened;
  test::TempDir dir;
};

TEST_F(FulgoRegistrationTest, ThePalettePageHoldsTheFiveComponentsInOrder) {
  ASSERT_EQ(host::PalettePages(), std::vector<std::string>{"Vantora"});
  const std::vector<const host::TClass*> expected{&tQorSpin2::StaticClass(), &tFulgoPalette::StaticClass(),
                                                  &TFulgoLabel::StaticClass(), &TFulgoButton::StaticClass(),
                                                  &tFulgoPanel::StaticClass()};
  EXPECT_EQ(host::PaletteClasses("Vantora"), expected);
  EXPECT_STREQ(kPackageDescription, "Vantora 1.5");
}

TEST_F(FulgoRegistrationTest, LookControlsShowTheWizardAndAboutRowsAndOpenTheirOwnWizard) {
  auto* label = Add<TFulgoLabel>();
  auto* button = Add<TFulgoButton>();
  auto* panel = Add<tFulgoPanel>();
  auto* generic = Add<TFulgoGen>();
  for (host::TPersistent* control : std::initializer_list<host::TPersistent*>{label, button, panel}) {
    auto wizard = Editor(*control, "Wizard");
    EXPECT_NE(dynamic_cast<TWizProperty*>(wizard.get()), nullptr) << control->ClassName();
    EXPECT_EQ(wizard->GetValue(), "(Wizard)");
    EXPECT_EQ(wizard->GetAttributes(), host::paDialog | host::paReadOnly);
    auto about = Editor(*control, "About");
    EXPECT_NE(dynamic_cast<TAboutProperty*>(about.get()), nullptr);
    EXPECT_EQ(about->GetValue(), "Press ");
  }
  // Classes left off the palette keep the plain editors.
  EXPECT_EQ(dynamic_cast<TWizProperty*>(Editor(*generic, "Wizard").get()), nullptr);
  EXPECT_EQ(dynamic_cast<TAboutProperty*>(Editor(*generic, "About").get()), nullptr);

  // The row's ellipsis opens the wizard of the control's kind and marks the form modified.
  CancelNextWizard();
  Editor(*button, "Wizard")->Edit();
  CancelNextWizard();
  Editor(*panel, "Wizard")->Edit();
  EXPECT_EQ(opened, (std::vector<teEditing>{edButton, edPanel}));
  EXPECT_GE(designer.modified, 1);

  // The component editor's one verb does the same.
  auto editor = host::GetComponentEditor(*label, designer);
  ASSERT_EQ(editor->GetVerbCount(), 1);
  EXPECT_EQ(editor->GetVerb(0), "Wizard");
  const int before = designer.modified;
  editor->ExecuteVerb(1);
  EXPECT_EQ(opened.size(), 2u) << "only verb 0 does anything";
  CancelNextWizard();
  editor->ExecuteVerb(0);
  EXPECT_EQ(opened, (std::vector<teEditing>{edButton, edPanel, edLabel}));
  EXPECT_EQ(designer.modified, before + 1);
  // Other components get the default editor, with no verbs.
  EXPECT_EQ(host::GetComponentEditor(*generic, designer)->GetVerbCount(), 0);

  // The about box.
  host::DialogResponder().Queue(host::TDialogAnswer{host::TDialogKind::Message});
  Editor(*label, "About")->Edit();
  EXPECT_EQ(host::DialogResponder().Pending(), 0);
  // The self-referring Wizard value is never streamed.
  EXPECT_EQ(AsText(*label).find("Wizard"), std::string::npos);
}

TEST_F(FulgoRegistrationTest, EveryBitmapPropertyTakesAPictureFromAFile) {
  auto* label = Add<TFulgoLabel>();
  const std::string picture = dir.Name("face.bmp");
  SaveDib(*label->Art->Dib, picture);
  tFulgoBackground& background = *label->Art->FulgoBackground;
  auto editor = Editor(background, "BackImage");
  ASSERT_NE(dynamic_cast<TBitmapProperty*>(editor.get()), nullptr);
  EXPECT_NE(dynamic_cast<TBitmapProperty*>(Editor(*label->Art->FulgoText->FulgoColor, "FulgoGlyph").get()),
            nullptr);
  EXPECT_EQ(editor->GetValue(), "<None>");

  // Cancelled: the glyph stays empty, but is written back all the same.
  host::DialogResponder().Queue(host::TDialogAnswer{host::TDialogKind::OpenFile, false});
  editor->Edit();
  EXPECT_EQ(editor->GetValue(), "<None>");
  EXPECT_EQ(designer.modified, 1);

  host::TDialogAnswer chosen{host::TDialogKind::OpenFile};
  chosen.text = picture;
  host::DialogResponder().Queue(chosen);
  editor->Edit();
  EXPECT_EQ(editor->GetValue(), "(tFulgoGlyph)");
  EXPECT_FALSE(background.BackImage->Empty());

  // Text other than empty is ignored; empty clears the picture but keeps the glyph object.
  tFulgoGlyph* glyph = background.BackImage.get();
  editor->SetValue("(tFulgoGlyph)");
  EXPECT_FALSE(glyph->Empty());
  editor->SetValue("");
  EXPECT_EQ(background.BackImage.get(), glyph);
  EXPECT_EQ(editor->GetValue(), "<None>");
}

TEST_F(FulgoRegistrationTest, PlainPropertiesGetTheDefaultEditorsOfTheirKind) {
  auto* label = Add<TFulgoLabel>();
  auto* palette = new tFulgoPalette(app);
  palette->SetName("Palette1");
  auto* other = new TFulgoButton(app);
  other->SetName("Button1");

  auto width = Editor(*label, "Width");
  width->SetValue(" $40 ");
  EXPECT_EQ(label->Width(), 64);
  EXPECT_THROW(width->SetValue("12px"), host::EPropertyError);
  EXPECT_THROW(width->SetValue("99999999999"), host::EPropertyError);
  EXPECT_EQ(width->GetValue(), "64");

  auto drawMode = Editor(*label, "DrawMode");
  std::vector<std::string> values;
  drawMode->GetValues([&](const std::string& v) { values.push_back(v); });
  EXPECT_EQ(values, (std::vector<std::string>{"edTransparent", "edOpaque"}));
  drawMode->SetValue("EDTRANSPARENT");
  EXPECT_EQ(label->GetDrawMode(), edTransparent);
  EXPECT_THROW(drawMode->SetValue("edSideways"), host::EPropertyError);

  auto style = Editor(label->Font(), "Style");
  style->SetValue("[ fsItalic , fsBold ]");
  EXPECT_EQ(style->GetValue(), "[fsBold,fsItalic]");
  EXPECT_THROW(style->SetValue("[fsBold"), host::EPropertyError);

  // A reference lists the root's components of its class and is chosen by name.
  auto reference = Editor(*label, "FulgoPalette");
  values.clear();
  reference->GetValues([&](const std::string& v) { values.push_back(v); });
  EXPECT_EQ(values, std::vector<std::string>{"Palette1"});
  reference->SetValue("Palette1");
  EXPECT_EQ(label->GetFulgoPalette(), palette);
  EXPECT_THROW(reference->SetValue("Button1"), host::EPropertyError);
  reference->SetValue("");
  EXPECT_EQ(label->GetFulgoPalette(), nullptr);

  // Colours by name or number, the framework's own editor.
  auto color = Editor(*label, "Color");
  EXPECT_EQ(color->GetValue(), "clWindow");
  color->SetValue("$00336699");
  EXPECT_EQ(label->Color(), 0x336699);
  EXPECT_EQ(color->GetValue(), "$00336699");
  color->SetValue("clwindowtext");
  EXPECT_EQ(color->GetValue(), "clWindowText");
  EXPECT_THROW(color->SetValue("teal"), host::EPropertyError);

  // Owned objects unfold; events have no row.
  auto art = Editor(*label, "Art");
  EXPECT_EQ(art->GetAttributes(), host::paSubProperties | host::paReadOnly);
  EXPECT_EQ(art->GetValue(), "(tFulgoLabelArt)");
  EXPECT_EQ(Editor(*label, "OnClick"), nullptr);
  EXPECT_EQ(designer.modified, 7);
}

}  // namespace
}  // namespace vantora
