#include "base/Component.h"

#include <algorithm>
#include <iterator>

namespace sarvanta {

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::JoinOwner(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  // Components mostly leave from the back (DestroyComponents): look there first.
  const auto found = std::find(components_.rbegin(), components_.rend(), component);
  if (found == components_.rend()) return;
  components_.erase(std::next(found).base());
  component->owner_ = nullptr;
  Notification(component, TOperation::opRemove);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();  // each one leaves the list itself
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace sarvanta
