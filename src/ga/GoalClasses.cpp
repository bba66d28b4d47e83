#include "ga/GoalClasses.h"

#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"

namespace sarvanta {

namespace {

template <class T>
void Register(const char* className) {
  RegisterClass(className,
                [](TComponent* owner) -> TStreamComponent* { return new T(owner, 0, ""); });
}

}  // namespace

void RegisterGoalClasses() {
  Register<TGoalFunction>("TGoalFunction");
  Register<TGoalFunctionExpression>("TGoalFunctionExpression");
  Register<TGFMinimalForce>("TGFMinimalForce");
  Register<TGFMinimalMUActivation>("TGFMinimalMUActivation");
  Register<TGFMinimalFatigue>("TGFMinimalFatigue");
  Register<TGFMinimalJointReaction>("TGFMinimalJointReaction");
  Register<TGFPCSAbased>("TGFPCSAbased");
  Register<TGFJointAngle>("TGFJointAngle");
  Register<TGFBonePosition>("TGFBonePosition");
  Register<TGFJointAngleCheckPoints>("TGFJointAngleCheckPoints");
  Register<TGFBonePosCheckPoint>("TGFBonePosCheckPoint");
}

}  // namespace sarvanta
