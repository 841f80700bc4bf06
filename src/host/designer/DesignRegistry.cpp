#include "host/designer/DesignRegistry.h"

#include <strings.h>

#include <algorithm>

namespace vantora::host {

namespace {

struct PropertyRegistration {
  TPropertyType type;
  const TClass* componentClass;
  std::string propertyName;
  TPropertyEditorFactory factory;
};

struct ComponentRegistration {
  const TClass* componentClass;
  TComponentEditorFactory factory;
};

struct Registry {
  std::vector<std::pair<std::string, std::vector<const TClass*>>> pages;
  std::vector<PropertyRegistration> properties;
  std::vector<ComponentRegistration> components;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// How many generations separate Cls from Ancestor; -1 when it does not descend from it.
int Distance(const TClass& cls, const TClass& ancestor) {
  int generations = 0;
  for (const TClass* c = &cls; c; c = c->ClassParent(), ++generations)
    if (c == &ancestor) return generations;
  return -1;
}

// -1 when the registered type does not fit the property, else how far apart they are.
int TypeDistance(const TPropertyType& type, const TPropInfo& prop) {
  if (type.Kind != prop.Kind) return -1;
  if (type.Class) return prop.ClassOf ? Distance(prop.ClassOf(), *type.Class) : -1;
  if (type.Enum) return type.Enum == prop.Enum ? 0 : -1;
  return 0;
}

TPropertyEditorFactory DefaultPropertyEditor(const TPropInfo& prop) {
  switch (prop.Kind) {
    case TTypeKind::tkInteger:
      return prop.IsColor ? &MakePropertyEditor<TColorProperty> : &MakePropertyEditor<TIntegerProperty>;
    case TTypeKind::tkChar:
      return &MakePropertyEditor<TCharProperty>;
    case TTypeKind::tkEnumeration:
      return &MakePropertyEditor<TEnumProperty>;
    case TTypeKind::tkSet:
      return &MakePropertyEditor<TSetProperty>;
    case TTypeKind::tkFloat:
      return &MakePropertyEditor<TFloatProperty>;
    case TTypeKind::tkString:
      return &MakePropertyEditor<TStringProperty>;
    case TTypeKind::tkClass:
      return prop.ClassOf && prop.ClassOf().InheritsFrom(TComponent::StaticClass())
                 ? &MakePropertyEditor<TComponentProperty>
                 : &MakePropertyEditor<TClassProperty>;
    case TTypeKind::tkMethod:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

void RegisterComponents(const std::string& page, const std::vector<const TClass*>& classes) {
  auto& pages = TheRegistry().pages;
  auto it = std::find_if(pages.begin(), pages.end(), [&](const auto& p) { return p.first == page; });
  if (it == pages.end()) it = pages.insert(pages.end(), {page, {}});
  for (const TClass* cls : classes) {
    RegisterClass(*cls);
    if (std::find(it->second.begin(), it->second.end(), cls) == it->second.end()) it->second.push_back(cls);
  }
}

std::vector<std::string> PalettePages() {
  std::vector<std::string> names;
  for (const auto& page : TheRegistry().pages) names.push_back(page.first);
  return names;
}

std::vector<const TClass*> PaletteClasses(std::string_view page) {
  for (const auto& p : TheRegistry().pages)
    if (p.first == page) return p.second;
  return {};
}

void RegisterPropertyEditor(TPropertyType type, const TClass* componentClass, const std::string& propertyName,
                            TPropertyEditorFactory factory) {
  TheRegistry().properties.push_back({type, componentClass, propertyName, factory});
}

void RegisterComponentEditor(const TClass& componentClass, TComponentEditorFactory factory) {
  TheRegistry().components.push_back({&componentClass, factory});
}

std::unique_ptr<TPropertyEditor> GetPropertyEditor(IDesigner& designer, TPersistent& instance,
                                                   const TPropInfo& prop) {
  TPropertyEditorFactory best = nullptr;
  int bestSpecificity = -1;
  int bestDistance = 0;
  for (const PropertyRegistration& r : TheRegistry().properties) {
    const int distance = TypeDistance(r.type, prop);
    if (distance < 0) continue;
    if (r.componentClass && !instance.InheritsFrom(*r.componentClass)) continue;
    if (!r.propertyName.empty() && !SameName(r.propertyName, prop.Name)) continue;
    const int specificity = (r.propertyName.empty() ? 0 : 2) + (r.componentClass ? 1 : 0);
    // Later registrations win ties, so the comparisons admit equals.
    if (specificity > bestSpecificity || (specificity == bestSpecificity && distance <= bestDistance)) {
      best = r.factory;
      bestSpecificity = specificity;
      bestDistance = distance;
    }
  }
  if (!best) best = DefaultPropertyEditor(prop);
  return best ? best(designer, instance, prop) : nullptr;
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent& component, IDesigner& designer) {
  TComponentEditorFactory best = nullptr;
  int bestDistance = -1;
  for (const ComponentRegistration& r : TheRegistry().components) {
    const int distance = Distance(component.ClassType(), *r.componentClass);
    if (distance >= 0 && (bestDistance < 0 || distance <= bestDistance)) {
      best = r.factory;
      bestDistance = distance;
    }
  }
  return best ? best(component, designer) : std::make_unique<TDefaultEditor>(component, designer);
}

void ClearDesignRegistry() {
  TheRegistry() = Registry();
}

}  // namespace vantora::host
