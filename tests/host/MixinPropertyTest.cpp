// Published properties whose accessors a class inherits from a mixin base beside its framework base:
// the accessors must reach the mixin part of the object, wherever it lies within it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"

namespace vantora::host {
namespace {

// Declared first so that its part lies at the start of the object, before the framework base.
class Scale {
 public:
  virtual ~Scale() = default;
  int GetSpan() const { return span_; }
  void SetSpan(int value) { span_ = value; }
  std::string GetUnit() const { return unit_; }
  void SetUnit(const std::string& value) { unit_ = value; }

 private:
  int span_ = 100;
  std::string unit_ = "mm";
};

class TGauge : public Scale, public TComponent {
  VANTORA_PERSISTENT(TGauge)
  explicit TGauge(TComponent* owner) : TComponent(owner) {}
  int GetNeedle() const { return needle_; }
  void SetNeedle(int value) { needle_ = value; }

 private:
  int needle_ = 0;
};

const TClass& TGauge::StaticClass() {
  static const TClass& cls = ClassBuilder<TGauge>("TGauge", TComponent::StaticClass())
                                 .Property("Span", &TGauge::GetSpan, &TGauge::SetSpan, 100)
                                 .Property("Needle", &TGauge::GetNeedle, &TGauge::SetNeedle, 0)
                                 .Property("Unit", &TGauge::GetUnit, &TGauge::SetUnit)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TGauge);

TEST(MixinProperty, InheritedAccessorsReadAndWriteTheMixinPart) {
  TGauge gauge(nullptr);
  const TClass& cls = TGauge::StaticClass();
  SetOrdProp(gauge, *cls.FindProperty("Span"), 250);
  SetStrProp(gauge, *cls.FindProperty("Unit"), "in");
  EXPECT_EQ(gauge.GetSpan(), 250);
  EXPECT_EQ(gauge.GetUnit(), "in");
  EXPECT_EQ(gauge.GetNeedle(), 0) << "the class's own value is left alone";
  EXPECT_EQ(GetOrdProp(gauge, *cls.FindProperty("Span")), 250);
  EXPECT_FALSE(cls.FindProperty("Span")->IsDefault(gauge));
}

TEST(MixinProperty, InheritedAccessorsRoundTripThroughAStream) {
  TGauge gauge(nullptr);
  gauge.SetName("G");
  gauge.SetSpan(7);
  gauge.SetNeedle(3);
  gauge.SetUnit("pt");
  TMemoryStream stream;
  WriteComponent(stream, gauge);
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  EXPECT_EQ(ObjectBinaryToText(bytes), "object G: TGauge\n  Span = 7\n  Needle = 3\n  Unit = 'pt'\nend\n");
  stream.SetPosition(0);
  std::unique_ptr<TComponent> read(ReadComponent(stream));
  auto* copy = dynamic_cast<TGauge*>(read.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetSpan(), 7);
  EXPECT_EQ(copy->GetNeedle(), 3);
  EXPECT_EQ(copy->GetUnit(), "pt");
}

}  // namespace
}  // namespace vantora::host
