#include "ga/GoalLoadSharing.h"

#include "ga/GoalMath.h"
#include "ga/GoalStreamHelpers.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/PublishedProperties.h"
#include "model/TimeFrame.h"

#include <cmath>

namespace sarvanta {

namespace {

// The fatigue share of impulse i of the unit: (k Tref / Tf)^Pow, k = earlier impulses
// within Tf; 0 without a fatigue window.
long double ImpulseFatigue(const TMotorUnit& unit, int32_t i) {
  if (unit.Tf <= 0) return 0;
  const long double ti = unit.ImpArray()[static_cast<size_t>(i)];
  const int32_t k = i - unit.IndexOfFirstGreatOrEqualTo(ti - unit.Tf);
  return GeneralPower(static_cast<long double>(k) * unit.Tref / unit.Tf, unit.Pow);
}

// Sum over the muscles with motor units of (sum over units of perUnit(u)) / n_m, divided by
// M; 0 without real muscles.
template <class PerUnit>
long double MeanOverUnits(const TMechanicalSystem* system, PerUnit perUnit) {
  if (!HasMuscles(system)) return 0;
  long double total = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    const TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr || muscle->MotorUnits.Count() == 0) continue;
    long double sum = 0;
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) sum += perUnit(*muscle->MotorUnit(u));
    total += sum / muscle->MotorUnits.Count();
  }
  return total / MuscleListCount(*system);
}

}  // namespace

// ---- Minimal aggregate force ----

TGFMinimalForce::TGFMinimalForce(TComponent* owner, long double weight, const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::MinimalForce;
  JoinOwner(owner);
}

long double TGFMinimalForce::Result(TChromosome* root, long double t) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  long double sum = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m)
    if (const TMuscle* muscle = system->Muscle(m)) sum += muscle->Force(t);
  return sum / MuscleListCount(*system);
}

long double TGFMinimalForce::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  const long double k = static_cast<long double>(EstimationPointCount(frame));
  long double total = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    const TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr) continue;
    long double sum = 0;
    for (long double sample : ForceSamples(*muscle, frame)) sum += sample;
    total += CheckedDivide(sum, k);
  }
  return total / MuscleListCount(*system);
}

const TClassInfo& TGFMinimalForce::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TGFMinimalForce");
  return info;
}

// ---- Minimal motor unit activation ----

TGFMinimalMUActivation::TGFMinimalMUActivation(TComponent* owner, long double weight,
                                               const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::MinimalMUActivation;
  JoinOwner(owner);
}

long double TGFMinimalMUActivation::Result(TChromosome* root, long double t) {
  return MeanOverUnits(SystemOf(root), [t](const TMotorUnit& unit) { return unit.Force(t); });
}

long double TGFMinimalMUActivation::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const long double duration = FrameOf(root).Duration;
  return MeanOverUnits(system, [duration](const TMotorUnit& unit) -> long double {
    if (unit.ImpArray().empty()) return 0;
    const long double most = static_cast<long double>(unit.MaxNumOfImpulses(duration));
    return CheckedDivide(unit.ImpCnt, most);
  });
}

const TClassInfo& TGFMinimalMUActivation::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TGFMinimalMUActivation");
  return info;
}

// ---- Minimal fatigue ----

TGFMinimalFatigue::TGFMinimalFatigue(TComponent* owner, long double weight,
                                     const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::MinimalFatigue;
  JoinOwner(owner);
}

long double TGFMinimalFatigue::Result(TChromosome* root, long double t) {
  return MeanOverUnits(SystemOf(root), [t](const TMotorUnit& unit) -> long double {
    int32_t last = -1;
    const auto& train = unit.ImpArray();
    while (last + 1 < static_cast<int32_t>(train.size()) &&
           train[static_cast<size_t>(last + 1)] <= t)
      ++last;
    return last < 0 ? 0 : ImpulseFatigue(unit, last);
  });
}

long double TGFMinimalFatigue::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  return MeanOverUnits(system, [&frame](const TMotorUnit& unit) -> long double {
    const auto& train = unit.ImpArray();
    if (train.empty()) return 0;
    long double sum = 0;
    for (size_t i = 0; i < train.size(); ++i)
      if (train[i] >= frame.FromMoment && train[i] <= frame.ToMoment)
        sum += ImpulseFatigue(unit, static_cast<int32_t>(i));
    if (sum == 0) return 0;
    return CheckedDivide(sum, static_cast<long double>(unit.MaxNumOfImpulses(frame.Duration)));
  });
}

const TClassInfo& TGFMinimalFatigue::ClassInfo() const {
  static const TClassInfo info = BaseInfo("TGFMinimalFatigue");
  return info;
}

// ---- Minimal sum (1/PCSA)^n ----

TGFPCSAbased::TGFPCSAbased(TComponent* owner, long double weight, const std::string& descr)
    : TGoalFunction(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::PCSAbased;
  JoinOwner(owner);
}

namespace {

long double SignedPCSA(const TMuscle& muscle, bool useSigns) {
  const long double s = useSigns ? Sign(muscle.ForceArmPoly->Evaluate(0)) : 1;
  return muscle.PCSAPoly->Evaluate(0) * s;
}

}  // namespace

long double TGFPCSAbased::Result(TChromosome* root, long double t) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  long double sum = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m)
    if (const TMuscle* muscle = system->Muscle(m))
      sum += GeneralPower(CheckedDivide(muscle->Force(t), SignedPCSA(*muscle, UseSigns)), n);
  return sum;
}

long double TGFPCSAbased::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  long double sum = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    const TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr) continue;
    const long double p = SignedPCSA(*muscle, UseSigns);
    for (long double c : ForceSamples(*muscle, frame)) sum += GeneralPower(CheckedDivide(c, p), n);
  }
  return CheckedDivide(std::fabs(sum), static_cast<long double>(EstimationPointCount(frame)));
}

void TGFPCSAbased::AddRows(TObjectDescription& description) {
  description.AddProperty("n", ValueOf(n), PropertyKind::Extended);
  description.AddProperty("Antagonist dif. signs ", ValueOf(UseSigns), PropertyKind::Boolean).Name =
      "Antagonist dif. signs";
}

const TClassInfo& TGFPCSAbased::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = BaseInfo("TGFPCSAbased");
    i.Properties.push_back(FloatProperty("n", &TGFPCSAbased::n));
    i.Properties.push_back(BooleanProperty("UseSigns", &TGFPCSAbased::UseSigns));
    return i;
  }();
  return info;
}

// ---- Minimal joint reaction ----

TGFMinimalJointReaction::TGFMinimalJointReaction(TComponent* owner, long double weight,
                                                 const std::string& descr)
    : TGoalFunctionExpression(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::MinimalJointReaction;
  JoinOwner(owner);
}

bool TGFMinimalJointReaction::Prepare(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (system == nullptr) return false;
  FromBone = BoneAt(*system, FromBoneInd);
  ToBone = BoneAt(*system, ToBoneInd);
  // Only a list without even its placeholder counts as empty here: a system without real
  // muscles still has the bone's own inertial and weight terms.
  if (system->Muscles.Count() == 0 || FromBone == nullptr || ToBone == nullptr) return false;
  EnsureCompiled();
  return true;
}

long double TGFMinimalJointReaction::Reaction(long double t, const std::vector<long double>& forces,
                                              const std::vector<long double>& angles) {
  const long double theta = ExpressionValue(t);
  long double rx = 0, ry = 0;
  for (size_t m = 0; m < forces.size(); ++m) {
    const long double phi = theta - angles[m];
    rx -= forces[m] * std::sin(phi);
    ry += forces[m] * std::cos(phi);
  }
  const long double omega = (ExpressionValue(t + 0.1L) - ExpressionValue(t - 0.1L)) * 1000 / 0.2L;
  const long double alpha =
      ((ExpressionValue(t + 0.2L) - theta) / 0.2L - (theta - ExpressionValue(t - 0.2L)) / 0.2L) *
      1000000 / 0.2L;
  const long double mass = ToBone->Mass;
  const long double half = mass * ToBone->Length / 2;
  const long double x = half * (alpha * std::cos(theta) - omega * omega * std::sin(theta)) - rx;
  const long double y =
      half * (alpha * std::sin(theta) + omega * omega * std::cos(theta)) + 9.8L * mass - ry;
  return std::sqrt(x * x + y * y);
}

long double TGFMinimalJointReaction::Result(TChromosome* root, long double t) {
  if (!Prepare(root)) return 0;
  std::vector<long double> forces, angles;
  for (TMuscle* muscle : SpanningMuscles(*SystemOf(root), FromBone, ToBone)) {
    forces.push_back(muscle->Force(t));
    angles.push_back(muscle->ForceAnglePoly->Evaluate(t));
  }
  return Reaction(t, forces, angles);
}

long double TGFMinimalJointReaction::Estimation(TChromosome* root) {
  if (!Prepare(root)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  const int64_t k = EstimationPointCount(frame);
  const std::vector<TMuscle*> muscles = SpanningMuscles(*SystemOf(root), FromBone, ToBone);
  long double sum = 0;
  std::vector<long double> forces(muscles.size()), angles(muscles.size());
  for (int64_t i = 0; i <= k; ++i) {
    const long double t = EstimationTime(frame, i) + frame.OscOffset;
    for (size_t m = 0; m < muscles.size(); ++m) {
      forces[m] = CachedForce(*muscles[m], i, t);
      angles[m] = muscles[m]->ForceAnglePoly->Evaluate(t);
    }
    sum += Reaction(t, forces, angles);
  }
  return CheckedDivide(sum, static_cast<long double>(k));
}

void TGFMinimalJointReaction::AddRows(TObjectDescription& description) {
  description.AddProperty("From Bone", ValueOf(FromBoneInd), PropertyKind::ListIndex).List =
      BoneList();
  description.AddProperty("To Bone", ValueOf(ToBoneInd), PropertyKind::ListIndex).List = BoneList();
  description.AddProperty("Angle Displacement", ValueOf(Expression), PropertyKind::Text).OnEdit =
      ExpressionEditor;
}

const TClassInfo& TGFMinimalJointReaction::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = ExpressionInfo("TGFMinimalJointReaction");
    i.Properties.push_back(IntegerProperty("FromBoneInd", &TGFMinimalJointReaction::FromBoneInd));
    i.Properties.push_back(IntegerProperty("ToBoneInd", &TGFMinimalJointReaction::ToBoneInd));
    return i;
  }();
  return info;
}

}  // namespace sarvanta
