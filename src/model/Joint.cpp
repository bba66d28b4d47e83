#include "model/Joint.h"

#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/PublishedProperties.h"
#include "model/References.h"

namespace sarvanta {

TJoint::TJoint(TComponent* owner, const std::string& name, long double x, long double y,
               long double z, TBone* firstBone, TBone* secondBone, long double minXAngle,
               long double maxXAngle, long double minYAngle, long double maxYAngle,
               long double minZAngle, long double maxZAngle)
    : TInspectedObject(nullptr),
      xPosition(x),
      yPosition(y),
      zPosition(z),
      MinXAngle(minXAngle),
      MaxXAngle(maxXAngle),
      MinYAngle(minYAngle),
      MaxYAngle(maxYAngle),
      MinZAngle(minZAngle),
      MaxZAngle(maxZAngle) {
  Tag = KindTag::Joint;
  Descr = name;
  JoinOwner(owner);
  // After joining, so the indices are looked up in the owner's bone list.
  SetFBone(firstBone);
  SetSBone(secondBone);
}

int32_t TJoint::BoneIndex(const TBone* bone) const {
  if (const auto* system = dynamic_cast<const TMechanicalSystem*>(Owner()))
    return IndexInList(system->Bones, bone);
  return bone == nullptr ? 0 : -1;
}

void TJoint::SetFBone(TBone* bone) {
  FBone_ = bone;
  FBoneInd = BoneIndex(bone);
}

void TJoint::SetSBone(TBone* bone) {
  SBone_ = bone;
  SBoneInd = BoneIndex(bone);
}

namespace {

// A bone reference row that stores through the joint's bone setter.
TPropertyValue BoneReference(TJoint& joint, TBone* (TJoint::*get)() const,
                             void (TJoint::*set)(TBone*)) {
  return TReferenceValue{[&joint, get]() -> TObject* { return (joint.*get)(); },
                         [&joint, set](TObject* object) {
                           auto* bone = dynamic_cast<TBone*>(object);
                           if (object != nullptr && bone == nullptr) return false;
                           (joint.*set)(bone);
                           return true;
                         }};
}

}  // namespace

std::unique_ptr<TObjectDescription> TJoint::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, "Joint");
  const auto* system = dynamic_cast<const TMechanicalSystem*>(Owner());
  const TStringList* bones = system ? &system->Bones : nullptr;
  description->AddProperty("JointType", ValueOf(JointType), PropertyKind::SmallInt);
  description->AddProperty("xPosition", ValueOf(xPosition), PropertyKind::Extended);
  description->AddProperty("yPosition", ValueOf(yPosition), PropertyKind::Extended);
  description->AddProperty("zPosition", ValueOf(zPosition), PropertyKind::Extended);
  description
      ->AddProperty("FirstBone", BoneReference(*this, &TJoint::FBone, &TJoint::SetFBone),
                    PropertyKind::Reference)
      .List = bones;
  description
      ->AddProperty("SecondBone", BoneReference(*this, &TJoint::SBone, &TJoint::SetSBone),
                    PropertyKind::Reference)
      .List = bones;
  description->AddProperty("MinXAngle", ValueOf(MinXAngle), PropertyKind::Extended);
  description->AddProperty("MaxXAngle", ValueOf(MaxXAngle), PropertyKind::Extended);
  description->AddProperty("MinYAngle", ValueOf(MinYAngle), PropertyKind::Extended);
  description->AddProperty("MaxYAngle", ValueOf(MaxYAngle), PropertyKind::Extended);
  description->AddProperty("MinZAngle", ValueOf(MinZAngle), PropertyKind::Extended);
  description->AddProperty("MaxZAngle", ValueOf(MaxZAngle), PropertyKind::Extended);
  return description;
}

void TJoint::UpdateIndexReferences(const TStringList& bones) {
  FBoneInd = IndexInList(bones, FBone_);
  SBoneInd = IndexInList(bones, SBone_);
}

void TJoint::UpdateObjectReferences(const TStringList& bones) {
  ReferenceFromIndex(bones, FBoneInd, FBone_);
  ReferenceFromIndex(bones, SBoneInd, SBone_);
}

const TClassInfo& TJoint::ClassInfo() const {
  static const TClassInfo info{"TJoint",
                               {DescrProperty(), IntegerProperty("FBoneInd", &TJoint::FBoneInd),
                                IntegerProperty("SBoneInd", &TJoint::SBoneInd),
                                IntegerProperty("JointType", &TJoint::JointType),
                                FloatProperty("xPosition", &TJoint::xPosition),
                                FloatProperty("yPosition", &TJoint::yPosition),
                                FloatProperty("zPosition", &TJoint::zPosition),
                                FloatProperty("MinXAngle", &TJoint::MinXAngle),
                                FloatProperty("MaxXAngle", &TJoint::MaxXAngle),
                                FloatProperty("MinYAngle", &TJoint::MinYAngle),
                                FloatProperty("MaxYAngle", &TJoint::MaxYAngle),
                                FloatProperty("MinZAngle", &TJoint::MinZAngle),
                                FloatProperty("MaxZAngle", &TJoint::MaxZAngle)},
                               {}};
  return info;
}

}  // namespace sarvanta
