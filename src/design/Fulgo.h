// Unit Fulgo: what a form designer sees of the library. Register puts the components on the palette
// page "Vantora" and gives the look controls their two property rows ("(Wizard)" and "Press "), their
// context-menu verb "Wizard", and every bitmap property its picture editor.
#pragma once

#include <string>

#include "VantoraExport.h"
#include "host/designer/DesignEditors.h"

VANTORA_API_BEGIN
namespace vantora {

// The package's description, as the designer lists it.
inline constexpr const char* kPackageDescription = "Vantora 1.5";

// The "(Wizard)" row: its ellipsis opens the wizard for the control's kind.
class TWizProperty : public host::TPropertyEditor {
 public:
  using host::TPropertyEditor::TPropertyEditor;
  host::TPropertyAttributes GetAttributes() override;
  // "(Wizard)": in parentheses, as a row that runs something rather than holds a value, so it
  // sorts before the properties.
  std::string GetName() const override;
  std::string GetValue() override;
  void Edit() override;
};

// The "Press " row: its ellipsis shows what the library is.
class TAboutProperty : public host::TOrdinalProperty {
 public:
  using host::TOrdinalProperty::TOrdinalProperty;
  host::TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void Edit() override;
};

// Every bitmap property of a look: "<None>" or "(tFulgoGlyph)", and a picture chosen from a file.
// It lives here rather than beside the glyph because the glyph's layer knows no dialogs.
class TBitmapProperty : public host::TPropertyEditor {
 public:
  using host::TPropertyEditor::TPropertyEditor;
  host::TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  // An empty text clears the picture (the glyph itself stays: the look keeps using it); any other
  // text is ignored.
  void SetValue(const std::string& text) override;
  void Edit() override;
};

class TFulgoComponentEditor : public host::TDefaultEditor {
 public:
  using host::TDefaultEditor::TDefaultEditor;
  int GetVerbCount() override;
  std::string GetVerb(int index) override;
  void ExecuteVerb(int index) override;
};

// Called once by the designer that loads the library.
void Register();

}  // namespace vantora
VANTORA_API_END
