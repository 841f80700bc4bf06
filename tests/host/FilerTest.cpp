#include <gtest/gtest.h>

#include <memory>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "support/Raises.h"

namespace vantora::host {
namespace {

enum class TShade { shLight, shDark, shDeep };
const TEnumInfo& TypeInfoOf(TShade) {
  static const TEnumInfo info{"TShade", {"shLight", "shDark", "shDeep"}};
  return info;
}

// An owned sub-object with its own published and defined properties.
class TNested : public TPersistent {
  VANTORA_PERSISTENT(TNested)
  int Steps = 5;
  TShade Shade = TShade::shLight;
  std::vector<int> Items;
  std::string Blob;

  void DefineProperties(TFiler& filer) override {
    filer.DefineProperty(
        "Items",
        [this](TReader& r) {
          Items.clear();
          r.ReadListBegin();
          while (!r.EndOfList()) Items.push_back(static_cast<int>(r.ReadInteger()));
          r.ReadListEnd();
        },
        [this](TWriter& w) {
          w.WriteListBegin();
          for (int i : Items) w.WriteInteger(i);
          w.WriteListEnd();
        },
        !Items.empty());
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          Blob.assign(static_cast<std::size_t>(s.Size()), '\0');
          s.ReadBuffer(Blob.data(), s.Size());
        },
        [this](TStream& s) { s.WriteBuffer(Blob.data(), static_cast<std::int64_t>(Blob.size())); }, !Blob.empty());
  }
};

const TClass& TNested::StaticClass() {
  static const TClass& cls = ClassBuilder<TNested>("TNested", TPersistent::StaticClass())
                                 .Field("Steps", &TNested::Steps, 5)
                                 .Field("Shade", &TNested::Shade, TShade::shLight)
                                 .Build();
  return cls;
}

int liveWidgets = 0;

class TWidget : public TComponent {
  VANTORA_PERSISTENT(TWidget)
  explicit TWidget(TComponent* owner) : TComponent(owner), nested_(std::make_unique<TNested>()) { ++liveWidgets; }
  ~TWidget() override { --liveWidgets; }

  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  char Letter() const { return letter_; }
  void SetLetter(char v) { letter_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  TSet<TShade> Shades() const { return shades_; }
  void SetShades(TSet<TShade> v) { shades_ = v; }
  TNested* Nested() const { return nested_.get(); }
  void SetNested(TNested* v) { nested_->Steps = v->Steps; }
  TWidget* Peer() const { return peer_; }
  void SetPeer(TWidget* v) { peer_ = v; }
  int Hidden() const { return hidden_; }
  void SetHidden(int v) { hidden_ = v; }
  bool HiddenStored() const { return false; }

  void ReadState(TReader& reader) override {
    log += "ReadState(" + std::to_string(width_) + ");";
    width_ = 10;  // reset, as the library's controls do before reading
    TComponent::ReadState(reader);
  }
  void Loaded() override {
    TComponent::Loaded();
    log += "Loaded(" + std::to_string(width_) + "," + (peer_ ? peer_->Name() : "-") + ");";
  }

  std::string log;

 private:
  int width_ = 10;
  bool visible_ = true;
  char letter_ = 'A';
  double ratio_ = 0;
  std::string caption_;
  TSet<TShade> shades_;
  std::unique_ptr<TNested> nested_;
  TWidget* peer_ = nullptr;
  int hidden_ = 0;
};

const TClass& TWidget::StaticClass() {
  static const TClass& cls = ClassBuilder<TWidget>("TWidget", TComponent::StaticClass())
                                 .Property("Width", &TWidget::Width, &TWidget::SetWidth, 10)
                                 .Property("Visible", &TWidget::Visible, &TWidget::SetVisible, true)
                                 .Property("Letter", &TWidget::Letter, &TWidget::SetLetter, 'A')
                                 .Property("Ratio", &TWidget::Ratio, &TWidget::SetRatio)
                                 .Property("Caption", &TWidget::Caption, &TWidget::SetCaption)
                                 .Property("Shades", &TWidget::Shades, &TWidget::SetShades, TSet<TShade>{})
                                 .Property("Nested", &TWidget::Nested, &TWidget::SetNested)
                                 .Property("Peer", &TWidget::Peer, &TWidget::SetPeer)
                                 .Property("Hidden", &TWidget::Hidden, &TWidget::SetHidden, 0)
                                 .Stored(&TWidget::HiddenStored)
                                 .Method("OnClick")
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TWidget);

std::string Write(TComponent& root) {
  TMemoryStream stream;
  WriteComponent(stream, root);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

std::unique_ptr<TWidget> Read(const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  return std::unique_ptr<TWidget>(dynamic_cast<TWidget*>(ReadComponent(stream)));
}

// A form with two children, one of which refers to the other, and values of every kind.
std::unique_ptr<TWidget> SampleForm() {
  auto form = std::make_unique<TWidget>(nullptr);
  form->SetName("Form1");
  form->SetCaption("It's a \"form\"\n");
  form->SetShades({TShade::shDark, TShade::shDeep});
  form->Nested()->Steps = 12;
  form->Nested()->Shade = TShade::shDeep;
  form->Nested()->Items = {1, -300, 70000};
  form->Nested()->Blob = std::string("\x00\x01\xFF", 3);
  auto* a = new TWidget(form.get());
  a->SetName("A");
  a->SetWidth(145);
  a->SetVisible(false);
  a->SetLetter('Z');
  a->SetRatio(0.1);
  a->SetHidden(7);
  auto* b = new TWidget(form.get());
  b->SetName("B");
  b->SetPeer(a);
  return form;
}

TEST(TypeInfo, PropertiesInDeclarationOrderWithAncestorsFirst) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TWidget::StaticClass().Properties()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Width", "Visible", "Letter", "Ratio", "Caption", "Shades",
                                             "Nested", "Peer", "Hidden", "OnClick"}));
  const TClass& cls = FindClass("twidget");  // lookup ignores case
  EXPECT_EQ(&cls, &TWidget::StaticClass());
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);

  const TPropInfo* visible = cls.FindProperty("VISIBLE");
  ASSERT_NE(visible, nullptr);
  EXPECT_EQ(visible->Kind, TTypeKind::tkEnumeration);
  EXPECT_EQ(visible->Enum->Names[1], "True");
  EXPECT_EQ(cls.FindProperty("Shades")->Kind, TTypeKind::tkSet);
  EXPECT_EQ(cls.FindProperty("Letter")->Kind, TTypeKind::tkChar);
  EXPECT_EQ(cls.FindProperty("Nested")->ClassOf().ClassName(), "TNested");
  EXPECT_EQ(cls.FindProperty("OnClick")->Kind, TTypeKind::tkMethod);

  TWidget w(nullptr);
  EXPECT_TRUE(cls.FindProperty("Width")->IsDefault(w));
  w.SetWidth(11);
  EXPECT_FALSE(cls.FindProperty("Width")->IsDefault(w));
  EXPECT_FALSE(cls.FindProperty("Hidden")->IsStored(w));
  EXPECT_THROW(SetOrdProp(w, *cls.FindProperty("Width"), std::int64_t{1} << 40), EConvertError);
  EXPECT_THROW(GetStrProp(w, *cls.FindProperty("Width")), EConvertError);
}

TEST(Filer, DefaultsAreNotWritten) {
  TWidget w(nullptr);
  w.SetName("W");
  const std::string text = ObjectBinaryToText(Write(w));
  EXPECT_EQ(text, "object W: TWidget\nend\n");
}

TEST(Filer, ADesignPositionIsStreamedAsLeftAndTop) {
  TWidget w(nullptr);
  w.SetName("W");
  // Left -5 in the low half, top 300 in the high half.
  w.SetDesignInfo(static_cast<std::int32_t>((300u << 16) | 0xFFFBu));
  const std::string text = ObjectBinaryToText(Write(w));
  EXPECT_EQ(text, "object W: TWidget\n  Left = -5\n  Top = 300\nend\n");
  const auto copy = Read(ObjectTextToBinary(text));
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->DesignInfo(), w.DesignInfo());
}

TEST(Filer, TreeRoundTripsThroughBinaryAndText) {
  const auto form = SampleForm();
  const std::string binary = Write(*form);
  const std::string text = ObjectBinaryToText(binary);
  EXPECT_EQ(text,
            "object Form1: TWidget\n"
            "  Caption = 'It''s a \"form\"'#10\n"
            "  Shades = [shDark, shDeep]\n"
            "  Nested.Steps = 12\n"
            "  Nested.Shade = shDeep\n"
            "  Nested.Items = (\n"
            "    1\n"
            "    -300\n"
            "    70000)\n"
            "  Nested.Blob = {\n"
            "    0001FF}\n"
            "  object A: TWidget\n"
            "    Width = 145\n"
            "    Visible = False\n"
            "    Letter = 'Z'\n"
            "    Ratio = 0.10000000000000001\n"
            "  end\n"
            "  object B: TWidget\n"
            "    Peer = A\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(ObjectTextToBinary(text), binary);

  const auto copy = Read(ObjectTextToBinary(text));
  ASSERT_TRUE(copy);
  EXPECT_EQ(Write(*copy), binary);
  ASSERT_EQ(copy->ComponentCount(), 2);
  auto* b = dynamic_cast<TWidget*>(copy->FindComponent("B"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Peer(), copy->FindComponent("A"));
  EXPECT_EQ(copy->Nested()->Items, (std::vector<int>{1, -300, 70000}));
  EXPECT_EQ(copy->Nested()->Blob, std::string("\x00\x01\xFF", 3));
  EXPECT_EQ(dynamic_cast<TWidget*>(copy->FindComponent("A"))->Hidden(), 0);  // not stored
}

TEST(Filer, ReadStateRunsBeforeTheValuesAndLoadedAfterReferences) {
  const auto form = SampleForm();
  const std::string binary = Write(*form);
  TWidget target(nullptr);
  target.SetWidth(99);
  target.SetName("Keep");
  TMemoryStream stream;
  stream.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  stream.SetPosition(0);
  ReadComponent(stream, &target);
  EXPECT_EQ(target.log, "ReadState(99);Loaded(10,-);");
  EXPECT_EQ(target.Name(), "Keep");  // a given root keeps its name
  EXPECT_FALSE(target.IsLoading());
  auto* b = dynamic_cast<TWidget*>(target.FindComponent("B"));
  EXPECT_EQ(b->log, "ReadState(10);Loaded(10,A);");
}

TEST(Filer, GlobalLoadingResolvesReferencesAcrossRootsAtItsEnd) {
  TWidget first(nullptr);
  first.SetName("Palette");
  TWidget second(nullptr);
  second.SetName("User");
  TWidget peer(nullptr);
  second.SetPeer(&first);
  const std::string a = Write(first);
  const std::string b = Write(second);

  BeginGlobalLoading();
  const auto ra = Read(a);
  const auto rb = Read(b);
  EXPECT_EQ(rb->Peer(), nullptr);
  EXPECT_TRUE(rb->IsLoading());
  EndGlobalLoading();
  EXPECT_EQ(rb->Peer(), ra.get());
  EXPECT_FALSE(rb->IsLoading());
  EXPECT_EQ(rb->log, "ReadState(10);Loaded(10,Palette);");

  // Outside a phase a reference to a component not in the stream stays unset.
  EXPECT_EQ(Read(b)->Peer(), nullptr);
}

TEST(Filer, BadStreamsGiveClearErrorsAndFreeWhatWasCreated) {
  const std::string good = Write(*SampleForm());
  const int before = liveWidgets;
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_THROW(Read(good.substr(0, n)), EReadError) << n;
    EXPECT_EQ(liveWidgets, before) << n;
  }
  const auto message = [](const std::string& text) {
    try {
      Read(ObjectTextToBinary(text));
    } catch (const EReadError& e) {
      return std::string(e.Message());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message("object A: TNoSuch\nend"), "Unknown class TNoSuch in root component at offset 4");
  EXPECT_EQ(message("object A: TWidget\n Colour = 1\nend"),
            "Unknown property Colour of class TWidget in property A.Colour at offset 14");
  EXPECT_EQ(message("object A: TWidget\n Width = 'x'\nend"),
            "Expected an integer value, found string in property A.Width at offset 20");
  EXPECT_EQ(message("object A: TWidget\n Width = 4000000000\nend"),
            "Value 4000000000 out of range in property A.Width at offset 20");
  EXPECT_EQ(message("object A: TWidget\n Nested.Shade = shPale\nend"),
            "Unknown TShade value 'shPale' in property A.Nested.Shade at offset 27");
  EXPECT_EQ(message("object A: TWidget\n object B: TWidget\n end\n object B: TWidget\n end\nend"),
            "A component named B already exists in child of A at offset 27");
  EXPECT_EQ(liveWidgets, before);

  std::string badTag = good;
  badTag[4 + 1 + 7 + 1 + 5 + 1 + 7] = 99;  // the tag of the first property value
  EXPECT_THROW(Read(badTag), EReadError);
  EXPECT_EQ(liveWidgets, before);
}

TEST(TextForm, ParserReportsTheLineOfAFault) {
  EXPECT_THROW(ObjectTextToBinary("object A: TWidget\n  Width = \nend"), EParserError);
  EXPECT_TRUE(
      test::Raises<EParserError>([&] { ObjectTextToBinary("object A: TWidget\n  Caption = 'open\nend"); },
                                 "Unterminated string on line 2"));
  EXPECT_THROW(ObjectTextToBinary("object A: TWidget\n  object B: TWidget\n  end\n  Width = 1\nend"),
               EParserError);
  EXPECT_THROW(ObjectTextToBinary("object A: TWidget\n  Data = {0A0}\nend"), EParserError);
  // Strings joined with '+' and $hex integers are accepted.
  EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary("object A: T\n X = 'a' +\n  'b'#9\n Y = $FF\nend")),
            "object A: T\n  X = 'ab'#9\n  Y = 255\nend\n");
}

}  // namespace
}  // namespace vantora::host

namespace vantora::host {
namespace {

TEST(Filer, AComponentFreedDuringAGlobalPhaseIsForgottenAtItsEnd) {
  TWidget source(nullptr);
  source.SetName("Source");
  auto* child = new TWidget(&source);
  child->SetName("Child");
  child->SetPeer(&source);
  const std::string bytes = Write(source);
  BeginGlobalLoading();
  auto kept = Read(bytes);
  Read(bytes).reset();  // read and freed inside the phase
  EndGlobalLoading();    // must not reach the freed components
  EXPECT_EQ(kept->log, "ReadState(10);Loaded(10,-);");
  EXPECT_EQ(dynamic_cast<TWidget*>(kept->FindComponent("Child"))->Peer(), kept.get());
}

}  // namespace
}  // namespace vantora::host
