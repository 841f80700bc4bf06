// The designer's editors: a property editor shows and edits one published property of a designed
// component in the object inspector; a component editor offers verbs in the component's context menu
// and runs on a double click. Packages derive their own and register them (DesignRegistry.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "VantoraExport.h"
#include "host/classes/Persistent.h"

VANTORA_API_BEGIN
namespace vantora::host {

VANTORA_DECLARE_ERROR(EPropertyError, Exception);

// What editors ask of the form designer that hosts them.
class IDesigner {
 public:
  virtual ~IDesigner() = default;
  // The designed form changed: it needs saving, and the inspector reads its values again.
  virtual void Modified() = 0;
  // The component being designed (the form) that owns every designed component.
  virtual TComponent& Root() = 0;
};

enum TPropertyAttribute : std::uint32_t {
  paValueList = 1u << 0,      // the value is picked from GetValues
  paSubProperties = 1u << 1,  // the value has properties of its own, shown beneath it
  paDialog = 1u << 2,         // an ellipsis button runs Edit
  paReadOnly = 1u << 3,       // the text cannot be typed
};
using TPropertyAttributes = std::uint32_t;

// Edits one property of one designed instance. The default shows nothing and edits nothing.
class TPropertyEditor {
 public:
  TPropertyEditor(IDesigner& designer, TPersistent& instance, const TPropInfo& prop);
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;
  virtual ~TPropertyEditor() = default;

  virtual TPropertyAttributes GetAttributes();
  virtual std::string GetValue();
  // Sets the property from typed text; raises EPropertyError for text it cannot take.
  virtual void SetValue(const std::string& text);
  // The ellipsis button of a dialog property.
  virtual void Edit() {}
  // The values a value-list property offers, in the order shown.
  virtual void GetValues(const std::function<void(const std::string&)>&) {}

  // The row's name in the inspector, which sorts by it: the property's name unless the editor
  // says otherwise.
  virtual std::string GetName() const { return prop_.Name; }
  const TPropInfo& GetPropInfo() const { return prop_; }
  TPersistent& GetComponent() const { return instance_; }
  IDesigner& Designer() const { return designer_; }

 protected:
  // Typed access; every setter tells the designer that the form changed.
  std::int64_t GetOrdValue() const;
  void SetOrdValue(std::int64_t value);
  double GetFloatValue() const;
  void SetFloatValue(double value);
  std::string GetStrValue() const;
  void SetStrValue(const std::string& value);
  TPersistent* GetObjectValue() const;
  void SetObjectValue(TPersistent* value);
  void Modified() { designer_.Modified(); }

 private:
  IDesigner& designer_;
  TPersistent& instance_;
  const TPropInfo& prop_;
};

// The bases packages derive from, and the editors the designer uses when none is registered.
class TOrdinalProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
};

class TIntegerProperty : public TOrdinalProperty {
 public:
  using TOrdinalProperty::TOrdinalProperty;
  std::string GetValue() override;
  // Decimal, or hexadecimal after '$'; outside the property's range is refused.
  void SetValue(const std::string& text) override;
};

class TCharProperty : public TOrdinalProperty {
 public:
  using TOrdinalProperty::TOrdinalProperty;
  // A printable character as itself, any other as #code.
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
};

class TEnumProperty : public TOrdinalProperty {
 public:
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
  void GetValues(const std::function<void(const std::string&)>& proc) override;
};

// A colour: its name when it has one (clBtnFace), else "$00BBGGRR"; the list offers the names and the
// ellipsis the colour dialog. It edits every property the metadata marks as a colour.
class TColorProperty : public TIntegerProperty {
 public:
  using TIntegerProperty::TIntegerProperty;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
  void GetValues(const std::function<void(const std::string&)>& proc) override;
  void Edit() override;
};

// A set as "[a,b]"; typed text names the elements in any order.
class TSetProperty : public TOrdinalProperty {
 public:
  using TOrdinalProperty::TOrdinalProperty;
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
};

class TFloatProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
};

class TStringProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  std::string GetValue() override;
  void SetValue(const std::string& text) override;
};

// An owned object: shown as its class name in parentheses, its properties beneath it.
class TClassProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
};

// A reference to another component of the designed form, chosen by name.
class TComponentProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  // An empty text clears the reference.
  void SetValue(const std::string& text) override;
  void GetValues(const std::function<void(const std::string&)>& proc) override;
};

// Verbs for a designed component's context menu, and what a double click does.
class TComponentEditor {
 public:
  TComponentEditor(TComponent& component, IDesigner& designer) : component_(component), designer_(designer) {}
  TComponentEditor(const TComponentEditor&) = delete;
  TComponentEditor& operator=(const TComponentEditor&) = delete;
  virtual ~TComponentEditor() = default;

  // Runs on a double click: the first verb, when there is one.
  virtual void Edit();
  virtual int GetVerbCount() { return 0; }
  virtual std::string GetVerb(int) { return {}; }
  virtual void ExecuteVerb(int) {}

  TComponent& Component() const { return component_; }
  IDesigner& Designer() const { return designer_; }

 private:
  TComponent& component_;
  IDesigner& designer_;
};

// The editor of components that register none. Its double click would write an event handler
// where the host has a code editor; this one has none, so it does nothing.
class TDefaultEditor : public TComponentEditor {
 public:
  using TComponentEditor::TComponentEditor;
  void Edit() override {}
};

}  // namespace vantora::host
VANTORA_API_END
