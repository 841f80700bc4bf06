// What a package registers with the designer: its components on the pages of the component palette,
// property editors for properties of a type (optionally only in one class and under one name), and a
// component editor per class. The designer asks here which editor serves a property or a component.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "VantoraExport.h"
#include "host/designer/DesignEditors.h"

VANTORA_API_BEGIN
namespace vantora::host {

using TPropertyEditorFactory = std::unique_ptr<TPropertyEditor> (*)(IDesigner&, TPersistent&,
                                                                    const TPropInfo&);
using TComponentEditorFactory = std::unique_ptr<TComponentEditor> (*)(TComponent&, IDesigner&);

template <class E>
std::unique_ptr<TPropertyEditor> MakePropertyEditor(IDesigner& designer, TPersistent& instance,
                                                    const TPropInfo& prop) {
  return std::make_unique<E>(designer, instance, prop);
}
template <class E>
std::unique_ptr<TComponentEditor> MakeComponentEditor(TComponent& component, IDesigner& designer) {
  return std::make_unique<E>(component, designer);
}

// The type of the properties an editor serves: a kind of value, or objects of a class (and its
// descendants), or the values of one enumeration.
struct TPropertyType {
  TTypeKind Kind = TTypeKind::tkInteger;
  const TClass* Class = nullptr;
  const TEnumInfo* Enum = nullptr;

  static TPropertyType OfKind(TTypeKind kind) { return {kind, nullptr, nullptr}; }
  static TPropertyType OfClass(const TClass& cls) { return {TTypeKind::tkClass, &cls, nullptr}; }
  static TPropertyType OfEnum(const TEnumInfo& info) { return {TTypeKind::tkEnumeration, nullptr, &info}; }
};

// Components of Classes go on the palette page Page, after those already there.
void RegisterComponents(const std::string& page, const std::vector<const TClass*>& classes);
// The pages in the order they were first named, and the classes of one page.
std::vector<std::string> PalettePages();
std::vector<const TClass*> PaletteClasses(std::string_view page);

// ComponentClass null: in every class; PropertyName empty: whatever its name. Where several
// registrations fit a property, one naming the property beats one naming the class, which beats
// one naming neither; a closer class of the value beats a farther one; then the later wins.
void RegisterPropertyEditor(TPropertyType type, const TClass* componentClass, const std::string& propertyName,
                            TPropertyEditorFactory factory);
void RegisterComponentEditor(const TClass& componentClass, TComponentEditorFactory factory);

// The editor for one property of Instance: the registered one that fits best, else the default
// editor for the property's kind. Null for properties the inspector does not show (events).
std::unique_ptr<TPropertyEditor> GetPropertyEditor(IDesigner& designer, TPersistent& instance,
                                                   const TPropInfo& prop);
// The editor registered for the component's class or its nearest ancestor, else TDefaultEditor.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent& component, IDesigner& designer);

// Forgets every registration (a designer that loads its packages again).
void ClearDesignRegistry();

}  // namespace vantora::host
VANTORA_API_END
