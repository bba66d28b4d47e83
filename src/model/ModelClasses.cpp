#include "model/ModelClasses.h"

#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"

namespace sarvanta {
namespace {

template <class T>
void Register(const char* name) {
  if (!IsClassRegistered(name))
    RegisterClass(name, [](TComponent* owner) -> TStreamComponent* { return new T(owner); });
}

}  // namespace

void RegisterModelClasses() {
  Register<TMechanicalSystem>("TMechanicalSystem");
  Register<TBone>("TBone");
  Register<TJoint>("TJoint");
  Register<TMuscle>("TMuscle");
  Register<TPolynomial>("TPolynomial");
  Register<TMotorUnit>("TMotorUnit");
}

}  // namespace sarvanta
