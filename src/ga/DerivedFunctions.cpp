#include "ga/DerivedFunctions.h"

#include "base/NumberText.h"
#include "expr/Express.h"
#include "ga/GoalMath.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/PublishedProperties.h"

#include <cmath>

namespace sarvanta {

namespace {

constexpr long double kGravity = 9.8L;

TExpress* NewJointAngleExpress(TComponent* owner) {
  auto* express = new TExpress(owner);
  express->SetParameterList("abcd");
  express->SetVariableList("txy");
  return express;
}

// The joint angle at s: the text ("0" when empty) is handed to the expression when it differs
// from the compiled one.
long double JointAngleAt(TExpress& express, const std::string& text, long double s) {
  const std::string wanted = text.empty() ? "0" : text;
  if (!express.IsCompiled() || express.Expression() != wanted) express.SetExpression(wanted);
  return express.TheFunction(s, 0, 0);
}

// Descr and Precision, the published values of every derived function.
TClassInfo ParamFunctionInfo(const char* className) {
  TClassInfo info;
  info.ClassName = className;
  info.Properties.push_back(TInspectedObject::DescrProperty());
  info.Properties.push_back(FloatProperty("Precision", &TParamFunction::Precision));
  return info;
}

}  // namespace

// ---- TParamFunction ----

TParamFunction::TParamFunction(TComponent* owner, long double precision, const std::string& name)
    : TInspectedObject(owner), Precision(precision) {
  Descr = name;
}

std::unique_ptr<TObjectDescription> TParamFunction::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, name);
  description->AddProperty("Precision", ValueOf(Precision), PropertyKind::Extended);
  return description;
}

const TClassInfo& TParamFunction::ClassInfo() const {
  static const TClassInfo info = ParamFunctionInfo("TParamFunction");
  return info;
}

const TStringList* TParamFunction::MuscleList() const {
  return System ? &System->Muscles : nullptr;
}

const TStringList* TParamFunction::BoneList() const { return System ? &System->Bones : nullptr; }

// ---- TIntEMG ----

TIntEMG::TIntEMG(TComponent* owner, long double precision, const std::string& name)
    : TParamFunction(owner, precision, name) {}

long double TIntEMG::Value(TChromosome*, long double t) {
  if (Interval == 0) Interval = 1;
  if (Muscle == nullptr) return 0;
  // The window starts at t rounded to the nearest multiple of Interval.
  const long double start =
      static_cast<long double>(RoundHalfEven(CheckedDivide(t, Interval))) * Interval;
  long double count = 0;
  for (int u = 0; u < Muscle->MotorUnits.Count(); ++u)
    for (long double ti : Muscle->MotorUnit(u)->ImpArray())
      if (start <= ti && ti <= start + Interval) count += 1;
  return count;
}

std::unique_ptr<TObjectDescription> TIntEMG::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, name);
  description->AddProperty("Precision", ValueOf(EMGPrecision), PropertyKind::Extended);
  description->AddProperty("Interval", ValueOf(Interval), PropertyKind::Extended);
  description->AddProperty("Muscle", ReferenceOf(Muscle), PropertyKind::Reference).List =
      MuscleList();
  return description;
}

// ---- Force arm and muscle moment ----

TMuscleAngleFunction::TMuscleAngleFunction(TComponent* owner, long double precision,
                                           const std::string& name)
    : TParamFunction(owner, precision, name) {
  Expr = NewJointAngleExpress(this);
}

long double TMuscleAngleFunction::Angle(long double s) {
  return JointAngleAt(*Expr, JointAngle, s);
}

std::unique_ptr<TObjectDescription> TMuscleAngleFunction::ObjectDescription(
    const std::string& name) {
  auto description = BeginDescription(name, name);
  description->AddProperty("Joint Angle", ValueOf(JointAngle), PropertyKind::String);
  description->AddProperty("Muscle", ReferenceOf(Muscle), PropertyKind::Reference).List =
      MuscleList();
  return description;
}

long double TForceArm::Value(TChromosome*, long double t) {
  if (Muscle == nullptr) return 0;
  return Muscle->ForceArmPoly->Evaluate(Angle(t));
}

long double TMuscleMoment::Value(TChromosome*, long double t) {
  if (Muscle == nullptr) return 0;
  const long double alpha = Angle(t);
  return Muscle->Force(t) * Muscle->ForceArmPoly->Evaluate(alpha);
}

// ---- Reaction force ----

TReactionForce::TReactionForce(TComponent* owner, long double precision, const std::string& name)
    : TParamFunction(owner, precision, name) {
  Expr = NewJointAngleExpress(this);
  for (const char* mode : {"Modul incl. inert. forces", "By X incl. inert. forces",
                           "By Y incl. inert. forces", "By X", "By Y", "Modul"})
    ModeList.Add(mode);
}

void TReactionForce::SetJointAngleExpression(const std::string& text) {
  jointAngleExpression_ = text;
  Expr->SetExpression(text.empty() ? "0" : text);
}

long double TReactionForce::Angle(long double s) {
  return JointAngleAt(*Expr, jointAngleExpression_, s);
}

long double TReactionForce::Value(TChromosome* solution, long double t) {
  const TMechanicalSystem* system = SystemOf(solution);
  if (system == nullptr || system->Muscles.Count() == 0 || FromBone == nullptr || ToBone == nullptr)
    return 0;
  long double r = 0, p = 0, q = 0;
  const long double alpha = Angle(t);
  for (const TMuscle* muscle : SpanningMuscles(*system, FromBone, ToBone)) {
    const long double force = muscle->Force(t);
    const long double phi = alpha - muscle->ForceAnglePoly->Evaluate(t);
    switch (Mode) {
      case 1:
      case 3:
        r -= std::sin(phi) * force;
        break;
      case 2:
      case 4:
        r += std::cos(phi) * force;
        break;
      case 0:
      case 5:
        p -= std::sin(phi) * force;
        q += std::cos(phi) * force;
        r += force;
        break;
      default:
        break;
    }
  }
  const long double omega = (Angle(t + 0.1L) - Angle(t - 0.1L)) * 1000 / 0.2L;
  const long double omegaBefore = (alpha - Angle(t - 0.2L)) / 0.2L;
  const long double omegaAfter = (Angle(t + 0.2L) - alpha) / 0.2L;
  const long double epsilon = (omegaAfter - omegaBefore) * 1000000 / 0.2L;
  const long double length = ToBone->Length;
  const long double mass = ToBone->Mass;
  const long double ix =
      (std::cos(alpha) * epsilon - omega * omega * std::sin(alpha)) * (length / 2) * mass;
  const long double iy =
      (std::sin(alpha) * epsilon + omega * omega * std::cos(alpha)) * (length / 2) * mass;
  switch (Mode) {
    case 0:
      return std::sqrt((ix - p) * (ix - p) +
                       (iy + kGravity * mass - q) * (iy + kGravity * mass - q));
    case 1:
      return ix - r;
    case 2:
      return iy + kGravity * mass - r;
    case 3:
      return -r;
    case 4:
      return kGravity * mass - r;
    case 5:
      return std::fabs(kGravity * mass - r);
    default:
      return r;
  }
}

std::unique_ptr<TObjectDescription> TReactionForce::ObjectDescription(const std::string& name) {
  auto description = BeginDescription(name, name);
  description->AddProperty("From Bone", ReferenceOf(FromBone), PropertyKind::Reference).List =
      BoneList();
  description->AddProperty("To Bone", ReferenceOf(ToBone), PropertyKind::Reference).List =
      BoneList();
  TStringValue angle{[this] { return jointAngleExpression_; },
                     [this](const std::string& text) { SetJointAngleExpression(text); }};
  description->AddProperty("Joint Angle", angle, PropertyKind::String);
  description->AddProperty("Inertial Force", ValueOf(Mode), PropertyKind::ListIndex).List =
      &ModeList;
  return description;
}

const TClassInfo& TReactionForce::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = ParamFunctionInfo("TReactionForce");
    TPropertyInfo angle;
    angle.Name = "JointAngleExpression";
    angle.Type = TPropType::String;
    angle.GetString = [](const TStreamComponent& c) {
      return static_cast<const TReactionForce&>(c).JointAngleExpression();
    };
    angle.SetString = [](TStreamComponent& c, const std::string& text) {
      static_cast<TReactionForce&>(c).SetJointAngleExpression(text);
    };
    i.Properties.push_back(angle);
    return i;
  }();
  return info;
}

}  // namespace sarvanta
