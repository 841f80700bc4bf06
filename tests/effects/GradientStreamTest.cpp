#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Prophelp.h"
#include "effects/Fulgrd.h"
#include "host/classes/Filer.h"
#include "host/classes/TextForm.h"
#include "support/Raises.h"
#include "support/RebuildCounter.h"
#include "support/Streams.h"

namespace vantora {
namespace {

// A component that publishes a gradient, as the colour fill does.
class TGradientHolder : public host::TComponent {
  VANTORA_PERSISTENT(TGradientHolder)
  explicit TGradientHolder(host::TComponent* owner) : host::TComponent(owner), gradient_(nullptr) {}
  tFulgoGradient* Gradient() const { return const_cast<tFulgoGradient*>(&gradient_); }

 private:
  tFulgoGradient gradient_;
};

const host::TClass& TGradientHolder::StaticClass() {
  static const host::TClass& cls =
      host::ClassBuilder<TGradientHolder>("TGradientHolder", host::TComponent::StaticClass())
          .ReadOnly("Gradient", &TGradientHolder::Gradient, nullptr)
          .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TGradientHolder);

std::vector<std::int32_t> Items(host::TMemoryStream& s) {
  std::vector<std::int32_t> items;
  s.SetPosition(0);
  while (s.Remaining() > 0) items.push_back(ReadStreamInteger(s));
  return items;
}

void WriteItems(host::TMemoryStream& s, const std::vector<std::int32_t>& items) {
  for (std::int32_t i : items) WriteStreamInteger(s, i);
  s.SetPosition(0);
}

void ExpectSameGradient(const tFulgoGradient& a, const tFulgoGradient& b) {
  EXPECT_EQ(a.GradType, b.GradType);
  EXPECT_EQ(a.GradWidth, b.GradWidth);
  EXPECT_EQ(a.GradHeight, b.GradHeight);
  EXPECT_EQ(a.Angle, b.Angle);
  EXPECT_EQ(a.Discr, b.Discr);
  EXPECT_EQ(a.InMode, b.InMode);
  for (int i = 0; i < kMaxVortex; ++i) {
    const tVortex& x = a.Vortex[static_cast<std::size_t>(i)];
    const tVortex& y = b.Vortex[static_cast<std::size_t>(i)];
    EXPECT_TRUE(x.Blue == y.Blue && x.Green == y.Green && x.Red == y.Red && x.Steps == y.Steps &&
                x.Index == y.Index)
        << "stop " << i;
  }
}

// Three stops: (blue, green, red, steps) = (1, 2, 3, 40), (4, 5, 6, 9), (7, 8, 9, 0).
void ThreeStops(tFulgoGradient& g) {
  for (int i = 0; i < 3; ++i) {
    tVortex& v = g.Vortex[static_cast<std::size_t>(i)];
    v.Blue = static_cast<std::uint8_t>(3 * i + 1);
    v.Green = static_cast<std::uint8_t>(3 * i + 2);
    v.Red = static_cast<std::uint8_t>(3 * i + 3);
    v.Index = static_cast<std::uint8_t>(i + 50);
  }
  g.Vortex[0].Steps = 40;
  g.Vortex[1].Steps = 9;
  g.Vortex[2].Steps = 0;
}

TEST(GradientStream, PublishedPropertiesAndTheStopList) {
  TGradientHolder holder(nullptr);
  holder.SetName("Holder");
  // Defaults, legacy values and an unflagged stop list leave nothing to write.
  holder.Gradient()->LegacyStorage = 7;
  holder.Gradient()->BackColour = 9;
  EXPECT_EQ(test::ToText(holder), "object Holder: TGradientHolder\nend\n");

  tFulgoGradient& g = *holder.Gradient();
  g.GradType = kGradCircular;
  g.Angle = -20;
  g.Discr = true;
  ThreeStops(g);
  g.Vortex[4].Steps = 3;  // past the end of the list: not written
  g.StoreVortex = true;
  const std::string text = test::ToText(holder);
  EXPECT_EQ(text,
            "object Holder: TGradientHolder\n"
            "  Gradient.GradType = 4\n"
            "  Gradient.Angle = -20\n"
            "  Gradient.Discr = True\n"
            "  Gradient.ZizeruWiz = (\n"
            "    1\n    2\n    3\n    0\n    40\n    50\n"
            "    4\n    5\n    6\n    0\n    9\n    51\n"
            "    7\n    8\n    9\n    0\n    0\n    52)\n"
            "end\n");

  const auto copy = test::FromText<TGradientHolder>(text);
  g.Vortex[4].Steps = 0;
  ExpectSameGradient(*copy->Gradient(), g);
}

TEST(GradientStream, OlderStreamsAndBadLists) {
  // Legacy properties load and change nothing that renders.
  const auto legacy = test::FromText<TGradientHolder>(
      "object H: TGradientHolder\n  Gradient.Width = 5\n  Gradient.x = 12\n  Gradient.BackColour = 3\n"
      "  Gradient.GradWidth = 40\nend\n");
  EXPECT_EQ(legacy->Gradient()->LegacyStorage, 12);
  EXPECT_EQ(legacy->Gradient()->GradWidth, 40);

  // Items past the tenth stop are read and dropped, and what follows the list still loads.
  std::string list;
  for (int stop = 0; stop < 12; ++stop) list += " 1 2 3 0 " + std::to_string(stop + 1) + " 0";
  const auto many = test::FromText<TGradientHolder>("object H: TGradientHolder\n  Gradient.ZizeruWiz = (" +
                                                    list + ")\n  Gradient.InMode = 2\nend\n");
  EXPECT_EQ(many->Gradient()->Vortex[9].Steps, 10);
  EXPECT_EQ(many->Gradient()->InMode, 2);

  // A value that does not fit its byte, or a stop cut short, fails and leaves the stops alone.
  tFulgoGradient g(nullptr);
  for (const std::string& bad : {std::string("9 9 9 0 5 0 1 2 300 0 0 0"), std::string("9 9 9 0 5 0 1 2")}) {
    host::TMemoryStream s;
    const std::string binary =
        host::ObjectTextToBinary("object H: TGradientHolder\n  Gradient.ZizeruWiz = (" + bad + ")\nend\n");
    s.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
    s.SetPosition(0);
    TGradientHolder target(nullptr);
    EXPECT_THROW(host::ReadComponent(s, &target), host::EReadError) << bad;
    ExpectSameGradient(*target.Gradient(), g);
  }
}

TEST(GradientStream, SaveAndLoadTheListAlone) {
  tFulgoGradient g(nullptr);
  ThreeStops(g);
  host::TMemoryStream s;
  g.SaveToStream(s);
  s.SetPosition(0);
  tFulgoGradient loaded(nullptr);
  loaded.LoadFromStream(s);
  EXPECT_EQ(s.Remaining(), 0);
  ExpectSameGradient(loaded, g);
}

TEST(GradientChanges, IdenticalGradientsWriteOnlyTheTwoEndMarks) {
  tFulgoGradient a(nullptr), b(nullptr);
  host::TMemoryStream s;
  EXPECT_FALSE(a.WriteChanges(s, &b));
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{4, 11, 0, 0, 0, 4, 0x87, 0xD6, 0x12, 0}));
}

TEST(GradientChanges, FieldsAndStopsThatDiffer) {
  tFulgoGradient reference(nullptr), g(nullptr);
  g.GradType = kGradRectangular;
  g.GradHeight = 64;
  g.Discr = true;
  ThreeStops(g);
  g.Vortex[0].Blue = reference.Vortex[0].Blue;
  g.Vortex[0].Green = reference.Vortex[0].Green;
  g.Vortex[0].Red = reference.Vortex[0].Red;
  g.Vortex[0].Steps = reference.Vortex[0].Steps;
  g.Vortex[0].Index = 99;  // not part of the record
  // Stop 2 matches the reference's bytes but lies past the reference's last stop.
  g.Vortex[2] = reference.Vortex[2];
  host::TMemoryStream s;
  EXPECT_TRUE(g.WriteChanges(s, &reference));
  EXPECT_EQ(Items(s),
            (std::vector<std::int32_t>{0, 2, 5, 64, 10, 1, 11, 1, 4, 5, 6, 9, 2, 0, 0, 0, 0, 1234567}));

  tFulgoGradient applied(nullptr);
  s.SetPosition(0);
  applied.ReadChanges(s);
  EXPECT_EQ(applied.GradType, kGradRectangular);
  EXPECT_EQ(applied.GradHeight, 64);
  EXPECT_TRUE(applied.Discr);
  EXPECT_EQ(applied.Vortex[1].Steps, 9);
  EXPECT_EQ(applied.Vortex[1].Red, 6);
  EXPECT_EQ(applied.Vortex[2].Steps, 0);

  // A change in the stops alone still counts.
  tFulgoGradient other(nullptr);
  other.Vortex[1].Red = 1;
  host::TMemoryStream t;
  EXPECT_TRUE(other.WriteChanges(t, &reference));
  EXPECT_EQ(Items(t), (std::vector<std::int32_t>{11, 1, 33, 68, 1, 0, 1234567}));
}

TEST(GradientChanges, ReadingSkipsRetiredTagsAndForeignStops) {
  tFulgoGradient g(nullptr);
  host::TMemoryStream s;
  // Tags 1, 2, 6, 7 and 9 carry a value that is dropped; other unknown tags carry none.
  WriteItems(s, {1,  500, 8, 45, 2, 0,  6, 7, 7, 7, 9, 9,  55, -3, 3, 4,      11,  //
                 12, 1,   1, 1,  1, -1, 2, 2, 2, 2, 1, 10, 20, 30, 5, 1234567});
  g.ReadChanges(s);
  EXPECT_EQ(s.Remaining(), 0);
  EXPECT_EQ(g.Angle, 45);
  EXPECT_EQ(g.InMode, 4);
  EXPECT_EQ(g.GradType, kGradLinear);
  EXPECT_EQ(g.Vortex[1].Blue, 10);
  EXPECT_EQ(g.Vortex[1].Green, 20);
  EXPECT_EQ(g.Vortex[1].Red, 30);
  EXPECT_EQ(g.Vortex[1].Steps, 5);
}

TEST(GradientChanges, MalformedRecordsRaiseAndChangeNothing) {
  const tFulgoGradient fresh(nullptr);
  const auto expectRejected = [&](host::TMemoryStream& s, bool readError) {
    tFulgoGradient g(nullptr);
    s.SetPosition(0);
    if (readError) {
      EXPECT_THROW(g.ReadChanges(s), host::EReadError);
    } else {
      try {
        g.ReadChanges(s);
        ADD_FAILURE() << "no error";
      } catch (const EFulgoError& e) {
        EXPECT_EQ(e.Message().rfind("Error reading stream", 0), 0u) << e.Message();
      }
    }
    ExpectSameGradient(g, fresh);
  };
  host::TMemoryStream wrongTag;
  WriteItems(wrongTag, {0, 2});
  WriteStreamString(wrongTag, "x");
  expectRejected(wrongTag, false);

  host::TMemoryStream outOfRange;
  WriteItems(outOfRange, {0, 2, 11, 0, 256, 0, 0, 5, 1234567});
  expectRejected(outOfRange, false);

  host::TMemoryStream tooWide;
  WriteItems(tooWide, {4, 40000, 11, 1234567});
  expectRejected(tooWide, false);

  host::TMemoryStream cutShort;
  WriteItems(cutShort, {0, 2, 11, 0, 1, 2});
  expectRejected(cutShort, true);
}

TEST(GradientChanges, PropertyDifferencesUseTheChangeRecord) {
  TGradientHolder base(nullptr), other(nullptr);
  host::TMemoryStream s;
  EXPECT_FALSE(FindDifference(s, &base, &other));

  other.Gradient()->SetAngle(30);
  other.Gradient()->Vortex[0].Steps = 7;
  s.SetSize(0);
  s.SetPosition(0);
  ASSERT_TRUE(FindDifference(s, &base, &other));
  s.SetPosition(0);
  ReadStreamListBegin(s);
  EXPECT_EQ(ReadStreamString(s), "TGradientHolder");
  EXPECT_EQ(ReadStreamString(s), "NewClass");
  EXPECT_EQ(ReadStreamString(s), "Gradient");
  for (std::int32_t item : {8, 30, 11, 0, 113, 200, 248, 7, 1234567}) EXPECT_EQ(ReadStreamInteger(s), item);
  ReadStreamListEnd(s);

  TGradientHolder target(nullptr);
  s.SetPosition(0);
  EXPECT_TRUE(SetDifference(s, &target));
  ExpectSameGradient(*target.Gradient(), *other.Gradient());
}

TEST(GradientModel, AssignAndInit) {
  tFulgoGradient g(nullptr);
  g.GradType = kGradCircular;
  g.GradWidth = 50;
  g.GradHeight = 60;
  g.Angle = 10;
  g.Discr = true;
  g.InMode = 3;
  ThreeStops(g);
  g.Vortex[9].Padding = 1;
  g.StoreVortex = true;
  g.LegacyStorage = 5;
  test::RebuildCounter otherOwner;
  tFulgoGradient dest(&otherOwner);
  dest.Assign(&g);
  ExpectSameGradient(dest, g);
  EXPECT_EQ(dest.Vortex[9].Padding, 1);
  EXPECT_FALSE(dest.StoreVortex);
  EXPECT_EQ(dest.LegacyStorage, 0);
  EXPECT_EQ(otherOwner.count, 0);
  EXPECT_TRUE(dest.NotifyOwner);

  // Only a gradient can take a gradient.
  test::RebuildCounter unrelated;
  EXPECT_TRUE(test::Raises<host::EConvertError>([&] { g.AssignTo(&unrelated); },
                                                "Can not assign tFulgoPersistent to tFulgoGradient"));

  g.Init();
  ExpectSameGradient(g, tFulgoGradient(nullptr));
  EXPECT_FALSE(g.StoreVortex);
}

}  // namespace
}  // namespace vantora
