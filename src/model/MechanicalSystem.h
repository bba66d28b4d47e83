// The container of one musculoskeletal model: owns its bones, joints and muscles and keeps
// the three name-indexed lists of them. Entry 0 of each list is a placeholder with an empty
// name and no object, so a stored index 0 means "none"; real entries start at 1.
#pragma once

#include "base/StringList.h"
#include "model/CountObject.h"
#include "model/Stream.h"

namespace sarvanta {

class TBone;
class TJoint;
class TMuscle;

// Component tags that sort owned components into the lists.
namespace KindTag {
inline constexpr int32_t Bone = 1;
inline constexpr int32_t Joint = 2;
inline constexpr int32_t Muscle = 4;
}  // namespace KindTag

class TMechanicalSystem : public TStreamComponent {
 public:
  explicit TMechanicalSystem(TComponent* owner = nullptr);
  ~TMechanicalSystem() override;

  // The most bones, joints or muscles a file may hold, and the most motor units of a muscle.
  static constexpr int MaxListEntries = 10'000;

  // Rebuilds the three lists from the owned components in ownership order (names from Descr).
  void UpdateLists();
  // Turns the stored list indices of every bone, joint and muscle into object references.
  void UpdateObjectReferences();
  // The reverse: refreshes every stored index from its object reference.
  void UpdateIndexReferences();
  // Asks every muscle to bring its value cache up to date.
  void UpdateCaches();
  // Prepares every motor unit for force sampling (TMotorUnit::PreparePeaks): until the model
  // changes, several threads may then sample its forces at once.
  void PrepareForceSampling() const;
  // Destroys every owned component; the lists keep only their placeholders.
  void Clear();

  // Real entries (index 1 up to Count - 1) typed; nullptr past the end.
  TBone* Bone(int index) const;
  TJoint* Joint(int index) const;
  TMuscle* Muscle(int index) const;

  const TClassInfo& ClassInfo() const override;

  TStringList Bones;
  TStringList Joints;
  TStringList Muscles;
  TCountObject BoneCounter;
  TCountObject JointCounter;
  TCountObject MuscleCounter;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // The list a component belongs in, or nullptr: chosen by its tag, and only when its class
  // is the class the list holds (a file may carry any tag).
  TStringList* ListFor(TComponent* component);
};

}  // namespace sarvanta
