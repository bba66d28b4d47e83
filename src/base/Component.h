// The ownership tree: a component has an owner, owns an ordered list of components, frees
// them when it is freed, and is told when a component is inserted into or removed from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarvanta {

// Root of everything a string list can carry.
class TObject {
 public:
  virtual ~TObject() = default;
};

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
 public:
  // Joins the owner at once when one is given. A class that must set its tag or name before
  // its owner hears of it passes no owner and calls JoinOwner at the end of its constructor.
  explicit TComponent(TComponent* owner = nullptr);
  // Frees every owned component (last first), then leaves the owner.
  ~TComponent() override;

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_[static_cast<size_t>(index)]; }

  // Owner->InsertComponent(this); the owner's Notification hears opInsert.
  void JoinOwner(TComponent* owner);
  void InsertComponent(TComponent* component);
  // Takes the component out of the owned list (without freeing it); Notification hears opRemove.
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();

  // The component tag: bones 1, joints 2, muscles 4, everything else 0.
  int32_t Tag = 0;
  // The component name; never stored by this program's files.
  std::string Name;

 protected:
  // Called after a component was inserted into the owned list and after one was removed
  // from it. A derived class whose Notification uses its own members must call
  // DestroyComponents() in its own destructor, while those members still exist.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
};

}  // namespace sarvanta
