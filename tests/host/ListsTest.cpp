#include "host/classes/Lists.h"

#include <gtest/gtest.h>

#include <strings.h>
#include <vector>

#include "support/Raises.h"
#include "support/TempDir.h"

namespace vantora::host {
namespace {

using Strings = std::vector<std::string>;

Strings Items(const TStringList& list) {
  return {list.begin(), list.end()};
}

TEST(Lists, ReferenceListIndexErrors) {
  int a = 1, b = 2, c = 3;
  TList<int> list;
  EXPECT_THROW(list.Get(0), EListError);
  list.Insert(0, &b);  // inserting at Count appends
  list.Insert(0, &a);
  EXPECT_EQ(list.Add(&c), 2);
  EXPECT_EQ(list[0], &a);
  EXPECT_EQ(list[2], &c);

  EXPECT_TRUE(test::Raises<EListError>([&] { list.Get(3); }, "List index out of bounds (3)"));
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Put(3, &a), EListError);
  EXPECT_THROW(list.Insert(5, &a), EListError);
  EXPECT_THROW(list.Insert(-1, &a), EListError);
  EXPECT_THROW(list.Delete(3), EListError);
  EXPECT_EQ(list.Count(), 3);

  list.Add(&a);
  EXPECT_EQ(list.Remove(&a), 0);  // the first occurrence goes
  EXPECT_EQ(list.IndexOf(&a), 2);
  EXPECT_EQ(list.Remove(nullptr), -1);
  list.Delete(0);
  EXPECT_EQ(list[0], &c);
}

TEST(Lists, SortedStringListKeepsOrderIgnoringCase) {
  int one = 1, two = 2, three = 3;
  TStringList list;
  list.AddObject("delta", &one);
  list.AddObject("Bravo", &two);
  list.AddObject("charlie", &three);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (Strings{"Bravo", "charlie", "delta"}));
  EXPECT_EQ(list.Objects(0), &two);  // objects travel with their strings
  EXPECT_EQ(list.Objects(2), &one);

  EXPECT_EQ(list.Add("alpha"), 0);
  EXPECT_EQ(list.Add("Echo"), 4);
  int index = -1;
  EXPECT_TRUE(list.Find("CHARLIE", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("coffee", index));
  EXPECT_EQ(index, 3);  // where it would go
  EXPECT_EQ(list.IndexOf("BRAVO"), 1);
  EXPECT_EQ(list.IndexOf("zulu"), -1);

  EXPECT_THROW(list.Insert(0, "x"), EListError);
  EXPECT_THROW(list.Put(0, "x"), EListError);
  EXPECT_THROW(list.Get(5), EListError);
  EXPECT_THROW(list.Objects(-1), EListError);

  list.SetCaseSensitive(true);  // upper case sorts before lower case now
  EXPECT_EQ(Items(list), (Strings{"Bravo", "Echo", "alpha", "charlie", "delta"}));
  EXPECT_EQ(list.IndexOf("bravo"), -1);
  EXPECT_EQ(list.IndexOf("Bravo"), 0);
}

TEST(Lists, SortedDuplicates) {
  TStringList list;
  list.SetSorted(true);
  list.Add("b");
  list.Add("a");
  EXPECT_EQ(list.Add("B"), 1);  // ignored: the existing one answers
  EXPECT_EQ(list.Count(), 2);

  list.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(list.Add("A"), EListError);
  EXPECT_EQ(list.Count(), 2);

  list.SetDuplicates(TDuplicates::dupAccept);
  list.Add("a");
  list.Add("c");
  list.Add("A");
  EXPECT_EQ(list.Count(), 5);
  int index = -1;
  EXPECT_TRUE(list.Find("a", index));
  EXPECT_EQ(index, 0);  // the first of equal strings
  EXPECT_EQ(Items(list).back(), "c");
  for (int i = 1; i < list.Count(); ++i) EXPECT_LE(strcasecmp(list[i - 1].c_str(), list[i].c_str()), 0);
}

TEST(Lists, TextAndNameValues) {
  TStringList list;
  list.SetText("Width=10\r\nName=Fulgo\n\nplain\nname=second");
  EXPECT_EQ(Items(list), (Strings{"Width=10", "Name=Fulgo", "", "plain", "name=second"}));
  EXPECT_EQ(list.Text(), "Width=10\nName=Fulgo\n\nplain\nname=second\n");
  EXPECT_EQ(list.Values("NAME"), "Fulgo");
  EXPECT_EQ(list.Values("plain"), "");
  EXPECT_EQ(list.Names(0), "Width");
  EXPECT_EQ(list.Names(3), "");
  EXPECT_EQ(list.IndexOfName("width"), 0);

  test::TempDir dir;
  const auto path = dir.Name("list.txt");
  list.SaveToFile(path);
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_EQ(Items(back), Items(list));
  EXPECT_THROW(back.LoadFromFile(dir.Name("missing.txt")), EInOutError);
  EXPECT_THROW(list.SaveToFile(dir.Name("no/such/dir.txt")), EFCreateError);
}

}  // namespace
}  // namespace vantora::host
