#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Fultype.h"
#include "support/Raises.h"
#include "support/RebuildCounter.h"

namespace vantora {
namespace {

using test::Raises;
using test::RebuildCounter;

TEST(Fultype, RebuildClimbsTheOwnerChainUnlessStopped) {
  RebuildCounter top;
  tFulgoPersistent middle(&top);
  tFulgoPersistent leaf(&middle);
  leaf.Rebuild();
  EXPECT_EQ(top.count, 1);

  leaf.SetActive(true);
  leaf.SetActive(true);  // unchanged: no notice
  EXPECT_EQ(top.count, 2);
  leaf.GlyphRebuild(nullptr);
  EXPECT_EQ(top.count, 3);

  middle.NotifyOwner = false;
  leaf.Rebuild();
  EXPECT_EQ(top.count, 3);

  tFulgoPersistent orphan(nullptr);
  orphan.Rebuild();  // no owner: nothing happens

  tFulgoAlign align(&top);
  EXPECT_FALSE(align.NotifyOwner);
  EXPECT_EQ(align.Owner, &top);
  align.SetActive(true);
  EXPECT_EQ(top.count, 3);
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
  EXPECT_TRUE(Raises<host::EListError>([&] { list.GetActive(2); }, "Active Item number to high"));
  EXPECT_THROW(list.GetActive(-1), host::EListError);
  EXPECT_THROW(list.GetItem(4), host::EListError);
  list.FreeAll();
  EXPECT_EQ(list.GetCount(), 0);
}

// Counts its own destruction, to see who frees it.
class Counted : public tFulgoPersistent {
 public:
  Counted(std::vector<int>& freed, int id) : tFulgoPersistent(nullptr), freed_(freed), id_(id) {}
  ~Counted() override { freed_.push_back(id_); }

 private:
  std::vector<int>& freed_;
  int id_;
};

TEST(Fultype, OwningListWalksItsActiveItemsAndFreesAllInOrder) {
  std::vector<int> freed;
  {
    tOwningQorList<Counted> list;
    std::vector<Counted*> items;
    for (int id = 0; id < 5; ++id) items.push_back(list.Add(std::make_unique<Counted>(freed, id)));
    EXPECT_TRUE(list.Actives().empty());
    items[1]->Active = true;
    items[3]->Active = true;
    items[4]->Active = true;
    std::vector<Counted*> actives;
    for (Counted* item : list.Actives()) actives.push_back(item);
    EXPECT_EQ(actives, (std::vector<Counted*>{items[1], items[3], items[4]}));
    for (int i = 0; i < list.GetActiveCount(); ++i) EXPECT_EQ(actives[i], list.GetActiveTyped(i));
    EXPECT_EQ(std::distance(list.All().begin(), list.All().end()), 5);
    EXPECT_TRUE(freed.empty());
  }
  EXPECT_EQ(freed, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Fultype, QuietNoticesStopTheClimbUntilTheScopeEndsHoweverItEnds) {
  RebuildCounter top;
  tFulgoPersistent leaf(&top);
  {
    tQuietNotices quiet(leaf);
    leaf.Rebuild();
  }
  EXPECT_EQ(top.count, 0);
  EXPECT_THROW(
      {
        tQuietNotices quiet(leaf);
        throw std::runtime_error("failed half-way");
      },
      std::runtime_error);
  EXPECT_TRUE(leaf.NotifyOwner);
  // A persistent that was quiet already stays quiet.
  leaf.NotifyOwner = false;
  { tQuietNotices quiet(leaf); }
  EXPECT_FALSE(leaf.NotifyOwner);
}

TEST(Fultype, AssignTargetTakesOnlyRelatedClasses) {
  tFulgoPersistent base(nullptr);
  tFulgoAlign align(nullptr);
  EXPECT_EQ(AssignTarget(base, &align), &align);  // a descendant
  // An ancestor is refused all the same: it has no place for an align's fields.
  EXPECT_TRUE(Raises<host::EConvertError>([&] { AssignTarget(align, &base); },
                                          "Can not assign tFulgoPersistent to tFulgoAlign"));
  EXPECT_TRUE(Raises<host::EConvertError>([&] { AssignTarget(align, nullptr); },
                                          "Can not assign nil to tFulgoAlign"));
}

}  // namespace
}  // namespace vantora
