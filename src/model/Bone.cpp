#include "model/Bone.h"

#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/PublishedProperties.h"
#include "model/References.h"

namespace sarvanta {

TBone::TBone(TComponent* owner, const std::string& name, long double length, long double mass,
             long double inertM, long double startX, long double startY, long double startZ,
             long double endX, long double endY, long double endZ)
    : TInspectedObject(nullptr),
      Length(length),
      Mass(mass),
      InertM(inertM),
      StartPointX(startX),
      StartPointY(startY),
      StartPointZ(startZ),
      EndPointX(endX),
      EndPointY(endY),
      EndPointZ(endZ) {
  Tag = KindTag::Bone;
  Descr = name;
  JoinOwner(owner);
}

std::unique_ptr<TObjectDescription> TBone::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, "Bone");
  const auto* system = dynamic_cast<const TMechanicalSystem*>(Owner());
  const TStringList* joints = system ? &system->Joints : nullptr;
  description->AddProperty("Length", ValueOf(Length), PropertyKind::Extended);
  description->AddProperty("Mass", ValueOf(Mass), PropertyKind::Extended);
  description->AddProperty("InertM", ValueOf(InertM), PropertyKind::Extended);
  description->AddProperty("FromJoint", ReferenceOf(FromJnt), PropertyKind::Reference).List =
      joints;
  description->AddProperty("ToJoint", ReferenceOf(ToJnt), PropertyKind::Reference).List = joints;
  description->AddProperty("FixedEdges", ValueOf(FixedEdges), PropertyKind::SmallInt);
  description->AddProperty("StartPointX", ValueOf(StartPointX), PropertyKind::Extended);
  description->AddProperty("StartPointY", ValueOf(StartPointY), PropertyKind::Extended);
  description->AddProperty("StartPointZ", ValueOf(StartPointZ), PropertyKind::Extended);
  description->AddProperty("EndPointX", ValueOf(EndPointX), PropertyKind::Extended);
  description->AddProperty("EndPointY", ValueOf(EndPointY), PropertyKind::Extended);
  description->AddProperty("EndPointZ", ValueOf(EndPointZ), PropertyKind::Extended);
  return description;
}

void TBone::UpdateIndexReferences(const TStringList& joints) {
  FromJntInd = IndexInList(joints, FromJnt);
  ToJntInd = IndexInList(joints, ToJnt);
}

void TBone::UpdateObjectReferences(const TStringList& joints) {
  ReferenceFromIndex(joints, FromJntInd, FromJnt);
  ReferenceFromIndex(joints, ToJntInd, ToJnt);
}

const TClassInfo& TBone::ClassInfo() const {
  static const TClassInfo info{
      "TBone",
      {DescrProperty(), FloatProperty("Length", &TBone::Length),
       FloatProperty("Mass", &TBone::Mass), FloatProperty("InertM", &TBone::InertM),
       IntegerProperty("FromJntInd", &TBone::FromJntInd),
       IntegerProperty("ToJntInd", &TBone::ToJntInd),
       IntegerProperty("FixedEdges", &TBone::FixedEdges),
       FloatProperty("StartPointX", &TBone::StartPointX),
       FloatProperty("StartPointY", &TBone::StartPointY),
       FloatProperty("StartPointZ", &TBone::StartPointZ),
       FloatProperty("EndPointX", &TBone::EndPointX), FloatProperty("EndPointY", &TBone::EndPointY),
       FloatProperty("EndPointZ", &TBone::EndPointZ)},
      {}};
  return info;
}

}  // namespace sarvanta
