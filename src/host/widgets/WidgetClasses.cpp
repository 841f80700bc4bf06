// Registers the widgets by name: a form stream must find every widget class. Nothing refers to this
// unit, which is why the libraries are made from whole objects rather than archives of them.
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
