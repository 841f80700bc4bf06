// Freeing controls and forms: who hears of a removal, and the order of what stays.
#include <vector>

#include "FormsTestSupport.h"

namespace vantora::host::testing {
namespace {

// Writes down every removal it hears of, in a list that outlives it.
class TListener : public TGraphicControl {
 public:
  TListener(TComponent* owner, std::vector<TComponent*>& heard) : TGraphicControl(owner), heard_(heard) {}

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove) heard_.push_back(component);
  }

 private:
  std::vector<TComponent*>& heard_;
};

TEST_F(FormsTest, ALiveFormsComponentsHearOfEachRemovalAndAFreedFormsOnlyOfWhatTheyAskedFor) {
  std::vector<TComponent*> heard;
  TForm* form = NewForm();
  auto* listener = new TListener(form, heard);
  listener->SetParent(form);
  std::vector<TPanel*> panels;
  for (int i = 0; i < 20; ++i) panels.push_back(Add<TPanel>(form, i * 8, 0, 8, 8));

  // While the form lives, its components hear of a control freed or moved to another owner.
  delete panels[3];
  TComponent elsewhere(nullptr);
  elsewhere.InsertComponent(panels[4]);
  EXPECT_EQ(heard, (std::vector<TComponent*>{panels[3], panels[4]}));
  delete panels[4];

  // Freed with the form, they hear only of the components they asked to be told about.
  heard.clear();
  listener->FreeNotification(panels[10]);
  delete form;
  EXPECT_EQ(heard, (std::vector<TComponent*>{panels[10]}));
}

TEST_F(FormsTest, ChildrenAndTabStopsKeepTheirOrderAsControlsAreFreedFromAnywhere) {
  TForm* form = NewForm();
  std::vector<TPanel*> panels;
  for (int i = 0; i < 5; ++i) panels.push_back(Add<TPanel>(form, i * 20, 0, 20, 20));
  delete panels[1];
  delete panels[4];
  ASSERT_EQ(form->ControlCount(), 3);
  EXPECT_EQ(form->Controls(0), panels[0]);
  EXPECT_EQ(form->Controls(1), panels[2]);
  EXPECT_EQ(form->Controls(2), panels[3]);
  EXPECT_EQ(panels[2]->TabOrder(), 1);
  EXPECT_EQ(panels[3]->TabOrder(), 2);
  EXPECT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(2), panels[3]);
  delete form;
}

}  // namespace
}  // namespace vantora::host::testing
