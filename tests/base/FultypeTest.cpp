#include <gtest/gtest.h>

#include "base/Fultype.h"

namespace vantora {
namespace {

// Counts the rebuild notices that reach the top of an owner chain.
class RebuildCounter : public tFulgoPersistent {
 public:
  RebuildCounter() : tFulgoPersistent(nullptr) {}
  void Rebuild() override { ++rebuilds; }
  int rebuilds = 0;
};

TEST(Fultype, RebuildClimbsTheOwnerChainUnlessStopped) {
  RebuildCounter top;
  tFulgoPersistent middle(&top);
  tFulgoPersistent leaf(&middle);
  leaf.Rebuild();
  EXPECT_EQ(top.rebuilds, 1);

  leaf.SetActive(true);
  leaf.SetActive(true);  // unchanged: no notice
  EXPECT_EQ(top.rebuilds, 2);
  leaf.GlyphRebuild(nullptr);
  EXPECT_EQ(top.rebuilds, 3);

  middle.NotifyOwner = false;
  leaf.Rebuild();
  EXPECT_EQ(top.rebuilds, 3);

  tFulgoPersistent orphan(nullptr);
  orphan.Rebuild();  // no owner: nothing happens

  tFulgoAlign align(&top);
  EXPECT_FALSE(align.NotifyOwner);
  EXPECT_EQ(align.Owner, &top);
  align.SetActive(true);
  EXPECT_EQ(top.rebuilds, 3);
}

TEST(Fultype, AlignResetsToCentredOrigin) {
  tFulgoAlign align(nullptr);
  align.X = 4;
  align.Y = -2;
  align.Alignment = host::taLeftJustify;
  align.Active = true;
  align.Init();
  EXPECT_EQ(align.X, 0);
  EXPECT_EQ(align.Y, 0);
  EXPECT_EQ(align.Alignment, host::taCenter);
  EXPECT_FALSE(align.Active);
  std::vector<std::string> names;
  for (const auto* p : tFulgoAlign::StaticClass().Properties()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"X", "Y", "Alignment"}));
}

TEST(Fultype, ListIndexesActiveItems) {
  tQorList list;
  EXPECT_EQ(list.GetActiveCount(), 0);
  list.FreeAll();  // empty: nothing to do
  for (int i = 0; i < 4; ++i) list.Add(new tFulgoPersistent(nullptr));
  EXPECT_THROW(list.GetActive(0), host::EListError);
  list.GetItem(1)->Active = true;
  list.GetItem(3)->Active = true;
  EXPECT_EQ(list.GetActiveCount(), 2);
  EXPECT_EQ(list.GetActive(0), list.GetItem(1));
  EXPECT_EQ(list.GetActive(1), list.GetItem(3));
  try {
    list.GetActive(2);
    FAIL();
  } catch (const host::EListError& e) {
    EXPECT_EQ(e.Message(), "Active Item number to high");
  }
  EXPECT_THROW(list.GetActive(-1), host::EListError);
  EXPECT_THROW(list.GetItem(4), host::EListError);
  list.FreeAll();
  EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
}  // namespace vantora
