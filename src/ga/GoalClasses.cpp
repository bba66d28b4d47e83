#include "ga/GoalClasses.h"

#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"

#include <type_traits>

namespace sarvanta {

namespace {

// A goal read from a file starts with the values a file leaves out: 0 and empty texts (an
// expression text that is not stored is empty, not "t").
template <class T>
void Register(const char* className) {
  RegisterClass(className, [](TComponent* owner) -> TStreamComponent* {
    T* goal = new T(owner, 0, "");
    if constexpr (std::is_base_of_v<TGoalFunctionExpression, T>) goal->Expression.clear();
    return goal;
  });
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
