// A joint between two bones: its centre, its type and its angle limits about three axes.
#pragma once

#include "model/InspectedObject.h"

#include <cstdint>

namespace sarvanta {

class TBone;

class TJoint : public TInspectedObject {
 public:
  // Sets the tag 2, stores the values and the name, joins the owner, and sets both bones
  // through the bone setters. JointType starts at 0.
  explicit TJoint(TComponent* owner = nullptr, const std::string& name = "", long double x = 0,
                  long double y = 0, long double z = 0, TBone* firstBone = nullptr,
                  TBone* secondBone = nullptr, long double minXAngle = 0, long double maxXAngle = 0,
                  long double minYAngle = 0, long double maxYAngle = 0, long double minZAngle = 0,
                  long double maxZAngle = 0);

  TBone* FBone() const { return FBone_; }
  TBone* SBone() const { return SBone_; }
  // Store the reference and at once the matching index in the owning system's bone list.
  void SetFBone(TBone* bone);
  void SetSBone(TBone* bone);

  // Rows: Name, JointType, x/y/zPosition, FirstBone, SecondBone, the six angle limits.
  std::unique_ptr<TObjectDescription> ObjectDescription(const std::string& name) override;

  void UpdateIndexReferences(const TStringList& bones);
  // As TBone::UpdateObjectReferences, over the bone list.
  void UpdateObjectReferences(const TStringList& bones);

  const TClassInfo& ClassInfo() const override;

  int32_t FBoneInd = 0;
  int32_t SBoneInd = 0;
  uint8_t JointType = 0;
  long double xPosition = 0;
  long double yPosition = 0;
  long double zPosition = 0;
  long double MinXAngle = 0;
  long double MaxXAngle = 0;
  long double MinYAngle = 0;
  long double MaxYAngle = 0;
  long double MinZAngle = 0;
  long double MaxZAngle = 0;

 private:
  // Index of `bone` in the owning system's bone list; without a system 0 for none, else -1.
  int32_t BoneIndex(const TBone* bone) const;

  TBone* FBone_ = nullptr;
  TBone* SBone_ = nullptr;
};

}  // namespace sarvanta
