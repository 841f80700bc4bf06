// Named children a form class declares, bound to its members when the form has been read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "support/Raises.h"

namespace vantora::host {
namespace {

int liveParts = 0;

class TPart : public TComponent {
  VANTORA_PERSISTENT(TPart)
  explicit TPart(TComponent* owner) : TComponent(owner) { ++liveParts; }
  ~TPart() override { --liveParts; }
};

const TClass& TPart::StaticClass() {
  static const TClass& cls = ClassBuilder<TPart>("TPart", TComponent::StaticClass()).Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPart);

// A part that can be told to fail once everything has been read.
class TKnob : public TPart {
  VANTORA_PERSISTENT(TKnob)
  using TPart::TPart;
  bool FailOnLoad = false;
  void Loaded() override {
    TPart::Loaded();
    if (FailOnLoad) throw EReadError("knob failed");
  }
};

const TClass& TKnob::StaticClass() {
  static const TClass& cls = ClassBuilder<TKnob>("TKnob", TPart::StaticClass())
                                 .Field("FailOnLoad", &TKnob::FailOnLoad, false)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TKnob);

class TBaseForm : public TComponent {
  VANTORA_PERSISTENT(TBaseForm)
  using TComponent::TComponent;
  TPart* Title = nullptr;
};

const TClass& TBaseForm::StaticClass() {
  static const TClass& cls = ClassBuilder<TBaseForm>("TBaseForm", TComponent::StaticClass())
                                 .Child("Title", &TBaseForm::Title)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TBaseForm);

class TDialogForm : public TBaseForm {
  VANTORA_PERSISTENT(TDialogForm)
  using TBaseForm::TBaseForm;
  TKnob* Volume = nullptr;
  TPart* Footer = nullptr;
  // Whether the members were already bound when Loaded ran.
  bool boundWhenLoaded = false;
  void Loaded() override {
    TBaseForm::Loaded();
    boundWhenLoaded = Title && Volume && Footer;
  }
};

const TClass& TDialogForm::StaticClass() {
  static const TClass& cls = ClassBuilder<TDialogForm>("TDialogForm", TBaseForm::StaticClass())
                                 .Child("Volume", &TDialogForm::Volume)
                                 .Child("Footer", &TDialogForm::Footer)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TDialogForm);

// Reads a text form into Root when given, else into the component the stream names.
TComponent* ReadText(const std::string& text, TComponent* root = nullptr) {
  const std::string binary = ObjectTextToBinary(text);
  TMemoryStream stream;
  stream.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  stream.SetPosition(0);
  return ReadComponent(stream, root);
}

const std::string kDialog =
    "object Dialog: TDialogForm\n"
    "  object Footer: TPart\n  end\n"
    "  object Title: TKnob\n  end\n"
    "  object Spare: TPart\n  end\n"
    "  object Volume: TKnob\n  end\n"
    "end\n";

TEST(NamedChildren, DeclaredChildrenOfTheClassAndItsAncestorsAreBound) {
  std::vector<std::string> names;
  for (const TChildInfo* child : TDialogForm::StaticClass().Children()) names.push_back(child->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Title", "Volume", "Footer"}));
  EXPECT_TRUE(TPart::StaticClass().Children().empty());

  // Into a given form, whatever order the layout has, and before Loaded runs.
  TDialogForm form(nullptr);
  ReadText(kDialog, &form);
  EXPECT_EQ(form.Title, form.FindComponent("Title"));
  EXPECT_EQ(form.Volume, form.FindComponent("Volume"));
  EXPECT_EQ(form.Footer, form.FindComponent("Footer"));
  EXPECT_NE(form.Volume, nullptr);
  EXPECT_TRUE(form.boundWhenLoaded);

  // Into a form the stream creates; a member of an ancestor class takes a descendant's instance.
  std::unique_ptr<TComponent> created(ReadText(kDialog));
  auto* dialog = dynamic_cast<TDialogForm*>(created.get());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->Title, dialog->FindComponent("Title"));
  EXPECT_NE(dynamic_cast<TKnob*>(dialog->Title), nullptr);
  EXPECT_EQ(dialog->Volume, dialog->FindComponent("VOLUME"));

  // A bound child freed on its own, or moved to another owner, leaves its member unset.
  delete dialog->Volume;
  EXPECT_EQ(dialog->Volume, nullptr);
  EXPECT_NE(dialog->Footer, nullptr);
  TComponent elsewhere(nullptr);
  elsewhere.InsertComponent(dialog->Footer);
  EXPECT_EQ(dialog->Footer, nullptr);
  EXPECT_NE(dialog->Title, nullptr);
}

TEST(NamedChildren, AMissingOrMistypedChildFailsTheReadAndLeavesTheMembersUnset) {
  const int livePartsBefore = liveParts;
  const auto failsWith = [](const std::string& text, const std::string& message) {
    TDialogForm form(nullptr);
    const auto result = test::Raises<EReadError>([&] { ReadText(text, &form); }, message);
    EXPECT_EQ(form.Title, nullptr);
    EXPECT_EQ(form.Volume, nullptr);
    EXPECT_EQ(form.Footer, nullptr);
    EXPECT_EQ(form.ComponentCount(), 0);
    return result;
  };
  EXPECT_TRUE(
      failsWith("object Dialog: TDialogForm\n"
                "  object Title: TPart\n  end\n"
                "  object Footer: TPart\n  end\n"
                "end\n",
                "TDialogForm.Volume: no component named Volume"));
  EXPECT_TRUE(
      failsWith("object Dialog: TDialogForm\n"
                "  object Title: TPart\n  end\n"
                "  object Volume: TPart\n  end\n"
                "  object Footer: TPart\n  end\n"
                "end\n",
                "TDialogForm.Volume: expected TKnob, found TPart"));
  // An inherited declaration is checked as strictly, and named with the class that was read.
  EXPECT_TRUE(
      failsWith("object Dialog: TDialogForm\n"
                "  object Title: TBaseForm\n  end\n"
                "  object Volume: TKnob\n  end\n"
                "  object Footer: TPart\n  end\n"
                "end\n",
                "TDialogForm.Title: expected TPart, found TBaseForm"));
  // A failure after the binding, here in Loaded, frees the children, so the members let go too.
  EXPECT_TRUE(
      failsWith("object Dialog: TDialogForm\n"
                "  object Title: TPart\n  end\n"
                "  object Volume: TKnob\n    FailOnLoad = True\n  end\n"
                "  object Footer: TPart\n  end\n"
                "end\n",
                "knob failed"));
  EXPECT_EQ(liveParts, livePartsBefore);
}

TEST(NamedChildren, OnlyTheRootIsBoundAndAFormWithoutDeclarationsReadsAsBefore) {
  // A plain root holds a declaring form as one of its children: nothing is bound there, since the
  // children it declares belong to the components it owns, and here it owns none.
  const std::string text =
      "object Holder: TBaseForm\n"
      "  object Title: TPart\n  end\n"
      "  object Inner: TDialogForm\n  end\n"
      "  object Knob1: TKnob\n  end\n"
      "end\n";
  std::unique_ptr<TComponent> holder(ReadText(text));
  auto* inner = dynamic_cast<TDialogForm*>(holder->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Title, nullptr);
  EXPECT_EQ(inner->Volume, nullptr);
  EXPECT_EQ(dynamic_cast<TBaseForm&>(*holder).Title, holder->FindComponent("Title"));

  // A class that declares nothing reads any names, and writes back what it read.
  const std::string plain =
      "object Plain: TPart\n"
      "  object Volume: TPart\n  end\n"
      "  object Title: TKnob\n  end\n"
      "end\n";
  std::unique_ptr<TComponent> read(ReadText(plain));
  EXPECT_EQ(read->ComponentCount(), 2);
  TMemoryStream written;
  WriteComponent(written, *read);
  EXPECT_EQ(ObjectBinaryToText(std::string(written.Bytes().begin(), written.Bytes().end())),
            "object Plain: TPart\n  object Volume: TPart\n  end\n  object Title: TKnob\n  end\nend\n");
}

}  // namespace
}  // namespace vantora::host
