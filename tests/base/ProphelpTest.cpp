#include <gtest/gtest.h>

#include <memory>

#include "base/Fultype.h"
#include "base/Prophelp.h"
#include "support/Raises.h"

namespace vantora {
namespace {

std::vector<int> Bytes(const host::TMemoryStream& s) { return {s.Bytes().begin(), s.Bytes().end()}; }

TEST(TaggedValues, ExactBytes) {
  host::TMemoryStream s;
  WriteStreamInteger(s, 300);
  WriteStreamString(s, "abc");
  WriteStreamString(s, "");
  WriteStreamListBegin(s);
  WriteStreamListEnd(s);
  EXPECT_EQ(Bytes(s), (std::vector<int>{4, 44, 1, 0, 0, 6, 3, 3, 97, 98, 99, 6, 0, 0, 1, 7}));

  s.SetPosition(0);
  EXPECT_EQ(ReadStreamInteger(s), 300);
  EXPECT_EQ(ReadStreamString(s), "abc");
  EXPECT_EQ(ReadStreamString(s), "");
  ReadStreamListBegin(s);
  EXPECT_TRUE(IsStreamListEnd(s));
  EXPECT_EQ(s.Position(), 15);  // unchanged
  ReadStreamListEnd(s);
  EXPECT_THROW(ReadStreamInteger(s), host::EReadError);  // past the end

  EXPECT_THROW(WriteStreamString(s, std::string(256, 'x')), EFulgoError);
}

TEST(TaggedValues, WrongTagRaisesAndStopsPastIt) {
  host::TMemoryStream s;
  WriteStreamString(s, "x");
  s.SetPosition(0);
  EXPECT_TRUE(test::Raises<EFulgoError>([&] { ReadStreamInteger(s); }, "Error reading stream"));
  EXPECT_EQ(s.Position(), 1);
  // A string whose length runs past the end is a read error, not a short string.
  host::TMemoryStream shortString;
  for (int b : {6, 9, 9, 65}) shortString.WriteValue(static_cast<std::uint8_t>(b));
  shortString.SetPosition(0);
  EXPECT_THROW(ReadStreamString(shortString), host::EReadError);
}

// A sub-object that writes a change record of its own.
class TRecorded : public host::TPersistent, public IChangeRecord {
  VANTORA_PERSISTENT(TRecorded)
  int Value = 0;
  bool WriteChanges(host::TStream& stream, const host::TPersistent* reference) override {
    const int base = static_cast<const TRecorded*>(reference)->Value;
    if (base == Value) return false;
    WriteStreamInteger(stream, Value);
    return true;
  }
  void ReadChanges(host::TStream& stream) override { Value = ReadStreamInteger(stream); }
};
const host::TClass& TRecorded::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<TRecorded>("TRecorded", host::TPersistent::StaticClass()).Build();
  return cls;
}

class TInner : public host::TPersistent {
  VANTORA_PERSISTENT(TInner)
  int Size = 1;
};
const host::TClass& TInner::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<TInner>("TInner", host::TPersistent::StaticClass())
                                       .Field("Size", &TInner::Size, 1)
                                       .Build();
  return cls;
}

class TLook : public host::TPersistent {
  VANTORA_PERSISTENT(TLook)
  int Color = 0;
  std::string Caption;
  double Ratio = 0;
  int count = 0;  // read-only
  TInner inner;
  TRecorded recorded;
  int sets = 0;

  int GetColor() const { return Color; }
  void SetColor(int v) {
    Color = v;
    ++sets;
  }
  std::string GetCaption() const { return Caption; }
  void SetCaption(const std::string& v) { Caption = v; }
  double GetRatio() const { return Ratio; }
  void SetRatio(double v) { Ratio = v; }
  int GetCount() const { return count; }
  TInner* GetInner() const { return const_cast<TInner*>(&inner); }
  void SetInner(TInner*) {}
  TRecorded* GetRecorded() const { return const_cast<TRecorded*>(&recorded); }
  void SetRecorded(TRecorded*) {}
};
const host::TClass& TLook::StaticClass() {
  static const host::TClass& cls = host::ClassBuilder<TLook>("TLook", host::TPersistent::StaticClass())
                                       .Property("Color", &TLook::GetColor, &TLook::SetColor, 0)
                                       .Property("Caption", &TLook::GetCaption, &TLook::SetCaption)
                                       .Property("Ratio", &TLook::GetRatio, &TLook::SetRatio)
                                       .ReadOnly("Count", &TLook::GetCount, 0)
                                       .Property("Inner", &TLook::GetInner, &TLook::SetInner)
                                       .Property("Recorded", &TLook::GetRecorded, &TLook::SetRecorded)
                                       .Build();
  return cls;
}

TEST(PropertyDifferences, EqualObjectsGiveAnEmptyRecord) {
  TLook a, b;
  host::TMemoryStream s;
  EXPECT_FALSE(FindDifference(s, &a, &b));
  // The dropped sub-object entries leave bytes behind the final position, which is just past the end.
  const std::vector<int> expected{1, 6, 5, 5, 'T', 'L', 'o', 'o', 'k', 7};
  EXPECT_EQ(s.Position(), static_cast<std::int64_t>(expected.size()));
  const std::vector<int> bytes = Bytes(s);
  EXPECT_EQ(std::vector<int>(bytes.begin(), bytes.begin() + 10), expected);
}

TEST(PropertyDifferences, RecordsAndReappliesWhatDiffers) {
  TLook base, other;
  other.Color = 300;
  other.Caption = "Hi";
  other.inner.Size = 9;
  other.recorded.Value = 5;
  host::TMemoryStream s;
  EXPECT_TRUE(FindDifference(s, &base, &other));
  const std::int64_t end = s.Position();

  TLook target;
  s.SetPosition(0);
  EXPECT_TRUE(SetDifference(s, &target));
  EXPECT_EQ(s.Position(), end);
  EXPECT_EQ(target.Color, 300);
  EXPECT_EQ(target.sets, 1);  // through the setter
  EXPECT_EQ(target.Caption, "Hi");
  EXPECT_EQ(target.inner.Size, 9);
  EXPECT_EQ(target.recorded.Value, 5);
}

TEST(PropertyDifferences, ReadOnlyAndFloatDifferences) {
  TLook base, other;
  other.count = 3;  // read-only: found, but nothing written
  host::TMemoryStream s;
  EXPECT_TRUE(FindDifference(s, &base, &other));
  EXPECT_EQ(s.Position(), 10);

  TLook withRatio;
  withRatio.Ratio = 0.5;  // written as its name alone; applying it sets nothing
  host::TMemoryStream r;
  EXPECT_TRUE(FindDifference(r, &base, &withRatio));
  r.SetPosition(0);
  TLook target;
  EXPECT_TRUE(SetDifference(r, &target));
  EXPECT_EQ(target.Ratio, 0);
}

TEST(PropertyDifferences, ClassMismatchesAndBadRecords) {
  TLook look;
  TInner inner;
  host::TMemoryStream s;
  EXPECT_TRUE(test::Raises<EFulgoError>([&] { FindDifference(s, &look, &inner); },
                                        "Object must have the same value"));
  EXPECT_EQ(s.Size(), 0);  // raised before anything was written

  host::TMemoryStream record;
  FindDifference(record, &inner, &inner);
  record.SetPosition(0);
  EXPECT_TRUE(test::Raises<EFulgoError>([&] { SetDifference(record, &look); }, "Ilegal class assignment"));

  host::TMemoryStream unknown;
  WriteStreamListBegin(unknown);
  WriteStreamString(unknown, "TLook");
  WriteStreamString(unknown, "Nope");
  WriteStreamInteger(unknown, 1);
  WriteStreamListEnd(unknown);
  unknown.SetPosition(0);
  EXPECT_THROW(SetDifference(unknown, &look), EFulgoError);

  host::TMemoryStream truncated;
  WriteStreamListBegin(truncated);
  WriteStreamString(truncated, "TLook");
  WriteStreamString(truncated, "Color");
  truncated.SetPosition(0);
  EXPECT_THROW(SetDifference(truncated, &look), host::EReadError);
}

}  // namespace
}  // namespace vantora
