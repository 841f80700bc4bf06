// A static library drops units nothing refers to, and with them their class registration; a form
// stream must find every widget class by name. Programs ask the linker for this unit's symbol.
#include "host/widgets/Bevel.h"
#include "host/widgets/CheckBox.h"
#include "host/widgets/ComboBox.h"
#include "host/widgets/CustomEdit.h"
#include "host/widgets/GroupBox.h"
#include "host/widgets/Label.h"
#include "host/widgets/ListBox.h"
#include "host/widgets/Memo.h"
#include "host/widgets/Notebook.h"
#include "host/widgets/PageControl.h"
#include "host/widgets/RadioGroup.h"
#include "host/widgets/ScrollBox.h"
#include "host/widgets/Shape.h"
#include "host/widgets/SpeedButton.h"
#include "host/widgets/StringGrid.h"
#include "host/widgets/TabSet.h"

extern "C" {
[[maybe_unused]] int vantora_widget_classes_unit = 0;
}

namespace vantora::host {
namespace {

[[maybe_unused]] const bool kRegistered = [] {
  for (const TClass* cls :
       {&TLabel::StaticClass(),       &TCheckBox::StaticClass(),   &TRadioButton::StaticClass(),
        &TGroupBox::StaticClass(),    &TRadioGroup::StaticClass(), &TBevel::StaticClass(),
        &TShape::StaticClass(),       &TEdit::StaticClass(),       &TListBox::StaticClass(),
        &TComboBox::StaticClass(),    &TScrollBar::StaticClass(),  &TSpeedButton::StaticClass(),
        &TMemo::StaticClass(),        &TStringGrid::StaticClass(), &TNotebook::StaticClass(),
        &TPage::StaticClass(),        &TTabSet::StaticClass(),     &TScrollBox::StaticClass(),
        &TPageControl::StaticClass(), &TTabSheet::StaticClass()})
    RegisterClass(*cls);
  return true;
}();

}  // namespace
}  // namespace vantora::host
