// Owned components: finding them by name as names are given, changed, cleared and freed, and the
// order of the owner's list as components leave it.
#include <gtest/gtest.h>

#include <vector>

#include "host/classes/Persistent.h"
#include "support/Raises.h"

namespace vantora::host {
namespace {

TComponent* Named(TComponent* owner, const std::string& name) {
  auto* component = new TComponent(owner);
  component->SetName(name);
  return component;
}

std::vector<TComponent*> Owned(const TComponent& owner) {
  std::vector<TComponent*> list;
  for (int i = 0; i < owner.ComponentCount(); ++i) list.push_back(owner.Components(i));
  return list;
}

TEST(Component, NamesAreFoundInAnyCaseAsTheyAreGivenChangedAndCleared) {
  TComponent owner(nullptr);
  TComponent* button = Named(&owner, "Button1");
  TComponent* edit = Named(&owner, "Edit_2");
  EXPECT_EQ(owner.FindComponent("Button1"), button);
  EXPECT_EQ(owner.FindComponent("bUTTON1"), button);
  EXPECT_EQ(owner.FindComponent("EDIT_2"), edit);
  EXPECT_EQ(owner.FindComponent("Button"), nullptr);
  EXPECT_EQ(owner.FindComponent(""), nullptr);

  // A name is taken whatever its case; a component may change the case of its own.
  EXPECT_TRUE(test::Raises<EComponentError>([&] { edit->SetName("BUTTON1"); },
                                            "A component named BUTTON1 already exists"));
  EXPECT_EQ(edit->Name(), "Edit_2");
  EXPECT_EQ(owner.FindComponent("edit_2"), edit);
  button->SetName("BUTTON1");
  EXPECT_EQ(button->Name(), "BUTTON1");
  EXPECT_EQ(owner.FindComponent("button1"), button);

  // The old name is free after a rename, and found no more.
  button->SetName("OkButton");
  EXPECT_EQ(owner.FindComponent("Button1"), nullptr);
  EXPECT_EQ(owner.FindComponent("okbutton"), button);
  edit->SetName("button1");
  EXPECT_EQ(owner.FindComponent("Button1"), edit);

  // A cleared name is found no more and frees the name; several components may be nameless.
  edit->SetName("");
  EXPECT_EQ(owner.FindComponent("button1"), nullptr);
  TComponent* unnamed = new TComponent(&owner);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  Named(&owner, "Button1");
  EXPECT_EQ(owner.ComponentCount(), 4);

  // A refused name leaves the index as it was.
  EXPECT_TRUE(
      test::Raises<EComponentError>([&] { unnamed->SetName("2nd"); }, "'2nd' is not a valid component name"));
  EXPECT_TRUE(test::Raises<EComponentError>([&] { unnamed->SetName("okBUTTON"); },
                                            "A component named okBUTTON already exists"));
  EXPECT_EQ(owner.FindComponent("OkButton"), button);
  EXPECT_EQ(unnamed->Name(), "");
}

TEST(Component, NamesFollowTheirComponentsFromOwnerToOwnerAndGoWhenTheyAreFreed) {
  TComponent first(nullptr), second(nullptr);
  TComponent* moving = Named(&first, "Panel1");
  TComponent* staying = Named(&first, "Label1");
  Named(&second, "Label1");

  second.InsertComponent(moving);
  EXPECT_EQ(first.FindComponent("panel1"), nullptr);
  EXPECT_EQ(second.FindComponent("PANEL1"), moving);
  EXPECT_EQ(moving->Owner(), &second);
  // The name is now checked among the new owner's components, and freed among the old one's.
  EXPECT_TRUE(test::Raises<EComponentError>([&] { moving->SetName("label1"); },
                                            "A component named label1 already exists"));
  Named(&first, "Panel1");

  // A component whose name is taken among the owner's is refused, and stays where it was.
  EXPECT_TRUE(test::Raises<EComponentError>([&] { second.InsertComponent(staying); },
                                            "A component named Label1 already exists"));
  EXPECT_EQ(staying->Owner(), &first);
  EXPECT_EQ(first.FindComponent("Label1"), staying);

  // Taken out of its owner, a component keeps its name, which the owner no longer knows.
  first.RemoveComponent(staying);
  EXPECT_EQ(first.FindComponent("Label1"), nullptr);
  EXPECT_EQ(staying->Name(), "Label1");
  Named(&first, "Label1");
  delete staying;

  delete moving;
  EXPECT_EQ(second.FindComponent("Panel1"), nullptr);
  Named(&second, "Panel1");
}

TEST(Component, TheOwnersListKeepsItsOrderAsComponentsLeaveFromAnywhere) {
  TComponent owner(nullptr);
  std::vector<TComponent*> made;
  for (int i = 0; i < 6; ++i) made.push_back(Named(&owner, "C" + std::to_string(i)));
  delete made[5];
  delete made[2];
  delete made[0];
  EXPECT_EQ(Owned(owner), (std::vector<TComponent*>{made[1], made[3], made[4]}));
  TComponent* later = Named(&owner, "C2");
  EXPECT_EQ(Owned(owner), (std::vector<TComponent*>{made[1], made[3], made[4], later}));
  EXPECT_EQ(owner.FindComponent("c4"), made[4]);
  owner.DestroyComponents();
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(owner.FindComponent("C1"), nullptr);
}

}  // namespace
}  // namespace vantora::host
