// Widgets written to a form stream and read back: lists of strings, nested brushes and pens,
// references, scroll positions, and streams that lie.
#include <memory>
#include <string>

#include "forms/FormsTestSupport.h"
#include "host/classes/Filer.h"
#include "host/classes/Stream.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/Shape.h"
#include "host/widgets/TabSet.h"

namespace vantora::host {
namespace {

using testing::FormsTest;

class StreamTest : public FormsTest {
 protected:
  std::unique_ptr<TCustomForm> Read(const std::string& text) {
    TMemoryStream stream;
    stream.Write(text.data(), static_cast<std::int64_t>(text.size()));
    stream.SetPosition(0);
    return std::unique_ptr<TCustomForm>(LoadForm(stream, nullptr));
  }
  std::unique_ptr<TCustomForm> RoundTrip(TCustomForm& form) {
    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    return std::unique_ptr<TCustomForm>(LoadForm(stream, nullptr));
  }
};

TEST_F(StreamTest, WidgetsKeepTheirProperties) {
  TForm form(nullptr);
  form.SetName("Sample");
  auto* memo = new TMemo(&form);
  memo->SetName("Notes");
  memo->SetParent(&form);
  memo->Lines()->Add("it's \"quoted\"");
  memo->Lines()->Add("");
  memo->Lines()->Add("caf\xE9");
  memo->SetWordWrap(false);
  auto* combo = new TComboBox(&form);
  combo->SetName("Kind");
  combo->SetParent(&form);
  combo->SetStyle(csDropDownList);
  combo->Items()->Add("Linear");
  combo->Items()->Add("Circular");
  combo->SetItemIndex(1);
  auto* shape = new TShape(&form);
  shape->SetName("Swatch");
  shape->SetParent(&form);
  shape->SetShape(stRoundSquare);
  shape->Brush()->SetColor(clTeal);
  shape->Pen()->SetWidth(3);
  auto* notebook = new TNotebook(&form);
  notebook->SetName("Pages");
  notebook->SetParent(&form);
  notebook->AddPage("First")->SetName("First");
  notebook->AddPage("Second")->SetName("Second");
  notebook->SetPageIndex(1);
  auto* tabs = new TTabSet(&form);
  tabs->SetName("Tabs");
  tabs->SetParent(&form);
  tabs->Tabs()->Add("First");
  tabs->Tabs()->Add("Second");
  tabs->SetTabIndex(1);
  tabs->SetNotebook(notebook);

  const auto copy = RoundTrip(form);
  auto* memoCopy = dynamic_cast<TMemo*>(copy->FindComponent("Notes"));
  ASSERT_NE(memoCopy, nullptr);
  EXPECT_EQ(memoCopy->Text(), "it's \"quoted\"\n\ncaf\xE9");
  EXPECT_FALSE(memoCopy->WordWrap());
  auto* comboCopy = dynamic_cast<TComboBox*>(copy->FindComponent("Kind"));
  ASSERT_NE(comboCopy, nullptr);
  EXPECT_EQ(comboCopy->Style(), csDropDownList);
  EXPECT_EQ(comboCopy->Text(), "Circular");
  auto* shapeCopy = dynamic_cast<TShape*>(copy->FindComponent("Swatch"));
  ASSERT_NE(shapeCopy, nullptr);
  EXPECT_EQ(shapeCopy->Shape(), stRoundSquare);
  EXPECT_EQ(shapeCopy->Brush()->Color(), clTeal);
  EXPECT_EQ(shapeCopy->Pen()->Width(), 3);
  auto* pagesCopy = dynamic_cast<TNotebook*>(copy->FindComponent("Pages"));
  auto* tabsCopy = dynamic_cast<TTabSet*>(copy->FindComponent("Tabs"));
  ASSERT_TRUE(pagesCopy && tabsCopy);
  EXPECT_EQ(tabsCopy->Notebook(), pagesCopy) << "the reference is resolved by name";
  EXPECT_EQ(pagesCopy->PageCount(), 2);
  EXPECT_EQ(pagesCopy->PageIndex(), 1);
  EXPECT_TRUE(pagesCopy->Pages(1)->Visible());
  EXPECT_FALSE(pagesCopy->Pages(0)->Visible());
}

TEST_F(StreamTest, ScrolledChildrenAndOutOfRangeValues) {
  // A scroll box stored scrolled puts its children back where the stored position says; indexes
  // beyond their lists are pulled back in rather than trusted.
  const auto form = Read(R"(object Sample: TForm
  Width = 300
  Height = 200
  object Box: TScrollBox
    Left = 0
    Top = 0
    Width = 100
    Height = 80
    VertScrollBar.Position = 40
    object Tall: TPanel
      Left = 0
      Top = 0
      Width = 60
      Height = 300
    end
  end
  object Kind: TComboBox
    Items.Strings = (
      'one')
    ItemIndex = 7
  end
  object Pages: TNotebook
    PageIndex = 5
  end
end
)");
  auto* box = dynamic_cast<TScrollBox*>(form->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->VertScrollBar()->Position(), 40);
  EXPECT_EQ(dynamic_cast<TControl*>(form->FindComponent("Tall"))->Top(), -40);
  EXPECT_EQ(dynamic_cast<TComboBox*>(form->FindComponent("Kind"))->ItemIndex(), 0);
  EXPECT_EQ(dynamic_cast<TNotebook*>(form->FindComponent("Pages"))->PageIndex(), 0);
  // Strings where a list of strings belongs fail to read, leaving nothing behind.
  EXPECT_THROW(Read("object F: TForm\n  object L: TListBox\n    Items.Strings = 5\n  end\nend\n"), Exception);
}

}  // namespace
}  // namespace vantora::host
