#include "host/classes/Persistent.h"

#include <algorithm>
#include <cctype>

#include "host/classes/Filer.h"
#include "host/classes/Lists.h"

namespace vantora::host {

const TClass& TPersistent::StaticClass() {
  static const TClass& cls = ClassBuilder<TPersistent>("TPersistent").Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TPersistent);

void TPersistent::Assign(const TPersistent* source) {
  if (!source) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string from = source ? source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() const {
  const TPersistent* owner = GetOwner();
  const std::string ownerPath = owner ? owner->GetNamePath() : std::string();
  return ownerPath.empty() ? ClassName() : ownerPath + "." + ClassName();
}

bool IsValidIdent(std::string_view name) {
  if (name.empty() || name.size() > 255) return false;
  const auto alpha = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(),
                     [&](char c) { return alpha(c) || std::isdigit(static_cast<unsigned char>(c)); });
}

const TClass& TComponent::StaticClass() {
  static const TClass& cls = ClassBuilder<TComponent>("TComponent", TPersistent::StaticClass())
                                 .Property("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
                                 .Build();
  return cls;
}
VANTORA_REGISTER_CLASS(TComponent);

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  if (state_ & csLoading) ForgetGlobalLoading(this);
  // Everyone who asked to be told hears of the removal and forgets this component.
  while (!free_notifies_.empty()) {
    TComponent* other = free_notifies_.back();
    free_notifies_.pop_back();
    other->free_notifies_.erase(std::remove(other->free_notifies_.begin(), other->free_notifies_.end(), this),
                                other->free_notifies_.end());
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
  return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  return names_.Find(name);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_ && !name.empty()) {
    const TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + name + " already exists");
  }
  if (owner_) owner_->names_.Remove(*this);
  name_ = name;
  if (owner_) owner_->names_.Add(*this);
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  names_.Add(*component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  EraseFromEnd(components_, component);
  names_.Remove(*component);
  component->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  if (IsDesigning()) component->SetDesigning(true);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, TOperation::opRemove);
  // A member bound to it by name must not outlive it. While this component is being destroyed only
  // the classes not yet gone answer ClassType, so no member of a destroyed part is written.
  for (const TChildInfo* child : ClassType().Children())
    if (FindComponent(child->Name) == component) child->Assign(*this, nullptr);
  Remove(component);
}

void TComponent::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  // Each half of the design position is a 16-bit signed value of its own.
  auto read = [this](int shift) {
    return TFiler::TReaderProc([this, shift](TReader& reader) {
      const auto value = static_cast<std::uint32_t>(static_cast<std::uint16_t>(reader.ReadInteger()));
      const auto kept = static_cast<std::uint32_t>(designInfo_) & ~(0xFFFFu << shift);
      designInfo_ = static_cast<std::int32_t>(kept | (value << shift));
    });
  };
  auto write = [this](int shift) {
    return TFiler::TWriterProc([this, shift](TWriter& writer) {
      writer.WriteInteger(static_cast<std::int16_t>(static_cast<std::uint32_t>(designInfo_) >> shift));
    });
  };
  filer.DefineProperty("Left", read(0), write(0), designInfo_ != 0);
  filer.DefineProperty("Top", read(16), write(16), designInfo_ != 0);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    Remove(last);
    delete last;
  }
}

void TComponent::SetDesigning(bool designing) {
  if (designing)
    state_ |= csDesigning;
  else
    state_ &= ~csDesigning;
  for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
    component->free_notifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  free_notifies_.erase(std::remove(free_notifies_.begin(), free_notifies_.end(), component),
                       free_notifies_.end());
  component->free_notifies_.erase(
      std::remove(component->free_notifies_.begin(), component->free_notifies_.end(), this),
      component->free_notifies_.end());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component && !IsDestroying())
    for (TComponent* c : components_)
      if (c != component) c->Notification(component, operation);
}

void TComponent::Loaded() {
  state_ &= ~csLoading;
}

void TComponent::ReadState(TReader& reader) {
  reader.ReadData(*this);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, const TComponent* root) const {
  if (root != this) return;
  for (TComponent* c : components_) proc(c);
}

}  // namespace vantora::host
