// The persistent and component base classes of the framework.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "VantoraExport.h"
#include "host/classes/ComponentNames.h"
#include "host/classes/TypeInfo.h"

VANTORA_API_BEGIN
namespace vantora::host {

class TFiler;
class TReader;

// The root of every class with published properties. Copies go through Assign, never through C++.
class TPersistent {
 public:
  static const TClass& StaticClass();
  virtual const TClass& ClassType() const { return StaticClass(); }

  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  const std::string& ClassName() const { return ClassType().ClassName(); }
  bool InheritsFrom(const TClass& ancestor) const { return ClassType().InheritsFrom(ancestor); }

  // Copies Source into this object: Source->AssignTo(this). Without a handler on either side it
  // raises EConvertError "Cannot assign a <source class> to a <this class>".
  virtual void Assign(const TPersistent* source);
  // Copies this object into Dest; the default raises the conversion error.
  virtual void AssignTo(TPersistent* dest) const;
  // Adds stream properties beyond the published ones (lists and binary records).
  virtual void DefineProperties(TFiler& filer);
  // The object that owns this one, used to build name paths in messages.
  virtual TPersistent* GetOwner() const { return nullptr; }
  virtual std::string GetNamePath() const;

 protected:
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

enum TComponentStateFlag : std::uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csFixups = 1u << 5,
};

enum class TOperation { opInsert, opRemove };

VANTORA_DECLARE_ERROR(EComponentError, Exception);

// A persistent with an owner, a name and owned components. The owner frees what it owns.
class TComponent : public TPersistent {
  VANTORA_PERSISTENT(TComponent)

  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError for a name that is not an identifier or is taken among the owner's
  // components.
  virtual void SetName(const std::string& name);
  std::int32_t Tag() const { return tag_; }
  void SetTag(std::int32_t tag) { tag_ = tag; }
  // Where a designer shows a component that has no control of its own: left in the low 16 bits,
  // top in the high 16 bits; 0 until it is placed. Streamed as Left and Top.
  std::int32_t DesignInfo() const { return designInfo_; }
  void SetDesignInfo(std::int32_t info) { designInfo_ = info; }
  std::string GetNamePath() const override { return name_; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // An owned component by name (ignoring letter case), or null.
  TComponent* FindComponent(std::string_view name) const;
  // The owned component by name, which must be a T: a form finds its laid-out controls so.
  // Raises EComponentError when there is none such.
  template <class T>
  T& FindComponentAs(std::string_view name) const {
    if (auto* found = dynamic_cast<T*>(FindComponent(name))) return *found;
    throw EComponentError(GetNamePath() + " has no component " + std::string(name) +
                          " of the expected class");
  }
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();

  std::uint32_t ComponentState() const { return state_; }
  bool IsLoading() const { return (state_ & csLoading) != 0; }
  bool IsDesigning() const { return (state_ & csDesigning) != 0; }
  bool IsDestroying() const { return (state_ & csDestroying) != 0; }
  // Sets or clears the designing state of this component and of everything it owns.
  void SetDesigning(bool designing);
  // Used by the component reader: set while the stored values are read, cleared after Loaded or
  // when the read fails.
  void SetReading(bool reading) {
    if (reading)
      state_ |= csLoading | csReading;
    else
      state_ &= ~(csLoading | csReading);
  }
  void ClearReadingState() { state_ &= ~csReading; }

  // Asks Component to tell this one when it is freed (Notification with opRemove).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  void DefineProperties(TFiler& filer) override;
  // Called by the reader after all stored values are read and references resolved.
  virtual void Loaded();
  // Reads this component's properties and children from the reader.
  virtual void ReadState(TReader& reader);
  // The children written with this component: by default its owned components when it is the root.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const;
  // Gives a child read from a stream its parent (controls set their Parent).
  virtual void SetParentComponent(TComponent*) {}
  virtual TComponent* GetParentComponent() const { return nullptr; }

 protected:
  // Told of a component inserted into or removed from this one, or freed after FreeNotification.
  // A removal is passed on to the owned components, except while this component is being freed:
  // its components go with it, and one that keeps a reference to another asks FreeNotification.
  virtual void Notification(TComponent* component, TOperation operation);
  // Marks the start of freeing, before a descendant's destructor frees children of its own.
  void Destroying() { state_ |= csDestroying; }

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::int32_t tag_ = 0;
  std::int32_t designInfo_ = 0;
  std::uint32_t state_ = 0;
  std::vector<TComponent*> components_;     // owned
  TComponentNames names_;                   // the named ones among them
  std::vector<TComponent*> free_notifies_;  // both directions, not owned
};

bool IsValidIdent(std::string_view name);

}  // namespace vantora::host
VANTORA_API_END
