#include "ga/GoalLoadSharing.h"

#include "expr/Express.h"
#include "ga/GoalMath.h"
#include "ga/GoalStreamHelpers.h"
#include "ga/IndividualMuscle.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/PublishedProperties.h"
#include "model/TimeFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sarvanta {

namespace {

// The fatigue shares of one unit's impulses: for impulse i, (k Tref / Tf)^Pow with k the
// earlier impulses within Tf; 0 without a fatigue window. Few values of k occur, and the power
// is the slow part: each small k's power is computed once.
class TUnitFatigue {
 public:
  TUnitFatigue(const TMotorUnit& unit, std::span<const long double> train)
      : unit_(unit), train_(train) {}

  long double Of(int32_t i) {
    if (unit_.Tf <= 0) return 0;
    const long double ti = train_[static_cast<size_t>(i)];
    const int32_t k = i - SearchImpulse(train_, ti - unit_.Tf);
    if (k < 0 || k >= kKept) return Power(k);
    if ((known_ >> k & 1u) == 0) {
      kept_[k] = Power(k);
      known_ |= uint64_t{1} << k;
    }
    return kept_[k];
  }

 private:
  static constexpr int32_t kKept = 64;
  long double Power(int32_t k) const {
    return GeneralPower(static_cast<long double>(k) * unit_.Tref / unit_.Tf, unit_.Pow);
  }

  const TMotorUnit& unit_;
  std::span<const long double> train_;
  uint64_t known_ = 0;
  long double kept_[kKept];
};

// (Sum over the muscle's units of perUnit(unit, train)) / n_m for a muscle with motor units.
// The trains are the individual's of `root` (the model's without a root).
template <class PerUnit>
long double MuscleMean(const TChromosome* root, const TMuscle& muscle, PerUnit perUnit) {
  const TIndividualMuscle held(root, muscle);
  long double sum = 0;
  for (int u = 0; u < muscle.MotorUnits.Count(); ++u)
    sum += perUnit(*muscle.MotorUnit(u), held.Train(u));
  return sum / muscle.MotorUnits.Count();
}

bool HasUnits(const TMuscle* muscle) { return muscle != nullptr && muscle->MotorUnits.Count() > 0; }

// Sum over the muscles with motor units of MuscleMean, divided by M; 0 without real muscles.
template <class PerUnit>
long double MeanOverUnits(const TChromosome* root, const TMechanicalSystem* system,
                          PerUnit perUnit) {
  if (!HasMuscles(system)) return 0;
  long double total = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m)
    if (HasUnits(system->Muscle(m))) total += MuscleMean(root, *system->Muscle(m), perUnit);
  return total / MuscleListCount(*system);
}

// The peak loss of a unit's impulses within the frame, per most impulses it could fire.
long double FatigueOfTrain(const TTimeFrame& frame, const TMotorUnit& unit,
                           std::span<const long double> train) {
  if (train.empty()) return 0;
  TUnitFatigue fatigue(unit, train);
  long double sum = 0;
  for (size_t i = 0; i < train.size(); ++i)
    if (train[i] >= frame.FromMoment && train[i] <= frame.ToMoment)
      sum += fatigue.Of(static_cast<int32_t>(i));
  if (sum == 0) return 0;
  return CheckedDivide(sum, static_cast<long double>(unit.MaxNumOfImpulses(frame.Duration)));
}

// FatigueOfTrain within `frame`, as MeanOverUnits and MuscleMean take it per unit.
auto FatigueWithin(const TTimeFrame& frame) {
  return [&frame](const TMotorUnit& unit, std::span<const long double> train) {
    return FatigueOfTrain(frame, unit, train);
  };
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

void TGFMinimalForce::Results(TChromosome* root, std::span<const long double> times,
                              std::span<long double> values) {
  const TMechanicalSystem* system = SystemOf(root);
  std::fill(values.begin(), values.end(), 0.0L);
  if (!HasMuscles(system)) return;
  const auto forces = MuscleForces(RealMuscles(*system), times);
  for (size_t i = 0; i < times.size(); ++i) {
    long double sum = 0;
    for (const auto& force : forces) sum += force[i];
    values[i] = sum / MuscleListCount(*system);
  }
}

long double TGFMinimalForce::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  const long double k = static_cast<long double>(EstimationPointCount(frame));
  std::vector<long double> scratch;
  long double total = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    const TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr) continue;
    long double sum = 0;
    for (long double sample : TIndividualMuscle(root, *muscle).Samples(frame, scratch))
      sum += sample;
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
  return MeanOverUnits(nullptr, SystemOf(root),
                       [t](const TMotorUnit& unit, auto) { return unit.Force(t); });
}

void TGFMinimalMUActivation::Results(TChromosome* root, std::span<const long double> times,
                                     std::span<long double> values) {
  const TMechanicalSystem* system = SystemOf(root);
  std::fill(values.begin(), values.end(), 0.0L);
  if (!HasMuscles(system)) return;
  // The sums of Result, point by point in the same order, one unit's forces at a time.
  std::vector<long double> total(times.size(), 0.0L), sum(times.size()), force(times.size());
  for (const TMuscle* muscle : RealMuscles(*system)) {
    if (muscle->MotorUnits.Count() == 0) continue;
    std::fill(sum.begin(), sum.end(), 0.0L);
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
      std::fill(force.begin(), force.end(), 0.0L);
      muscle->MotorUnit(u)->AddForceSamples(times, force);
      for (size_t i = 0; i < times.size(); ++i) sum[i] += force[i];
    }
    for (size_t i = 0; i < times.size(); ++i) total[i] += sum[i] / muscle->MotorUnits.Count();
  }
  for (size_t i = 0; i < times.size(); ++i) values[i] = total[i] / MuscleListCount(*system);
}

long double TGFMinimalMUActivation::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const long double duration = FrameOf(root).Duration;
  return MeanOverUnits(
      root, system, [duration](const TMotorUnit& unit, std::span<const long double> train) {
        if (train.empty()) return 0.0L;
        const auto most = static_cast<long double>(unit.MaxNumOfImpulses(duration));
        return CheckedDivide(static_cast<long double>(train.size()) - 1, most);
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
  return MeanOverUnits(nullptr, SystemOf(root),
                       [t](const TMotorUnit& unit, std::span<const long double> train) {
                         int32_t last = -1;
                         while (last + 1 < static_cast<int32_t>(train.size()) &&
                                train[static_cast<size_t>(last + 1)] <= t)
                           ++last;
                         return last < 0 ? 0 : TUnitFatigue(unit, train).Of(last);
                       });
}

void TGFMinimalFatigue::Results(TChromosome* root, std::span<const long double> times,
                                std::span<long double> values) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!std::ranges::is_sorted(times) || !HasMuscles(system)) {
    TGoalFunction::Results(root, times, values);
    return;
  }
  // The sums of Result in the same order; ascending times let each unit's last impulse up to
  // t move forward instead of being searched for anew.
  std::vector<long double> total(times.size(), 0.0L), sum(times.size());
  for (const TMuscle* muscle : RealMuscles(*system)) {
    if (muscle->MotorUnits.Count() == 0) continue;
    std::fill(sum.begin(), sum.end(), 0.0L);
    for (int u = 0; u < muscle->MotorUnits.Count(); ++u) {
      const TMotorUnit& unit = *muscle->MotorUnit(u);
      const std::vector<long double>& train = unit.ImpArray();
      TUnitFatigue fatigue(unit, train);
      // The share changes only where an impulse is passed: between impulses it is reused.
      int32_t last = -1;
      long double share = 0;
      for (size_t i = 0; i < times.size(); ++i) {
        const int32_t before = last;
        while (last + 1 < static_cast<int32_t>(train.size()) &&
               train[static_cast<size_t>(last + 1)] <= times[i])
          ++last;
        if (last != before) share = fatigue.Of(last);
        sum[i] += share;
      }
    }
    for (size_t i = 0; i < times.size(); ++i) total[i] += sum[i] / muscle->MotorUnits.Count();
  }
  for (size_t i = 0; i < times.size(); ++i) values[i] = total[i] / MuscleListCount(*system);
}

long double TGFMinimalFatigue::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  return MeanOverUnits(root, system, FatigueWithin(FrameOf(root)));
}

size_t TGFMinimalFatigue::TermCount(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  return HasMuscles(system) ? static_cast<size_t>(system->Muscles.Count() - 1) : 0;
}

void TGFMinimalFatigue::Terms(TChromosome* root, size_t first, std::span<long double> terms) {
  // A muscle without units adds nothing to the sum: its term is 0.
  const TMechanicalSystem& system = *SystemOf(root);
  const auto share = FatigueWithin(FrameOf(root));
  for (size_t n = 0; n < terms.size(); ++n) {
    const TMuscle* muscle = system.Muscle(static_cast<int>(first + n) + 1);
    terms[n] = HasUnits(muscle) ? MuscleMean(root, *muscle, share) : 0.0L;
  }
}

long double TGFMinimalFatigue::FromTermSum(TChromosome* root, long double sum) {
  return sum / MuscleListCount(*SystemOf(root));
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

void TGFPCSAbased::Results(TChromosome* root, std::span<const long double> times,
                           std::span<long double> values) {
  const TMechanicalSystem* system = SystemOf(root);
  std::fill(values.begin(), values.end(), 0.0L);
  if (!HasMuscles(system)) return;
  const std::vector<const TMuscle*> muscles = RealMuscles(*system);
  const auto forces = MuscleForces(muscles, times);
  for (size_t i = 0; i < times.size(); ++i) {
    long double sum = 0;
    for (size_t m = 0; m < muscles.size(); ++m)
      sum += GeneralPower(CheckedDivide(forces[m][i], SignedPCSA(*muscles[m], UseSigns)), n);
    values[i] = sum;
  }
}

long double TGFPCSAbased::Estimation(TChromosome* root) {
  const TMechanicalSystem* system = SystemOf(root);
  if (!HasMuscles(system)) return 0;
  const TTimeFrame& frame = FrameOf(root);
  std::vector<long double> scratch;
  long double sum = 0;
  for (int m = 1; m < system->Muscles.Count(); ++m) {
    const TMuscle* muscle = system->Muscle(m);
    if (muscle == nullptr) continue;
    const long double p = SignedPCSA(*muscle, UseSigns);
    for (long double c : TIndividualMuscle(root, *muscle).Samples(frame, scratch))
      sum += GeneralPower(CheckedDivide(c, p), n);
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

const TBone* TGFMinimalJointReaction::DistalBone(const TChromosome* root) const {
  const TMechanicalSystem* system = SystemOf(root);
  if (system == nullptr) return nullptr;
  const TBone* from = BoneAt(*system, FromBoneInd);
  const TBone* to = BoneAt(*system, ToBoneInd);
  // Only a list without even its placeholder counts as empty here: a system without real
  // muscles still has the bone's own inertial and weight terms.
  if (system->Muscles.Count() == 0 || from == nullptr) return nullptr;
  return to;
}

bool TGFMinimalJointReaction::Prepare(TChromosome* root) {
  if (DistalBone(root) == nullptr) return false;
  FromBone = BoneAt(*SystemOf(root), FromBoneInd);
  ToBone = BoneAt(*SystemOf(root), ToBoneInd);
  EnsureCompiled();
  return true;
}

long double TGFMinimalJointReaction::Reaction(TExpressionRunner& theta, const TBone& to,
                                              long double t, const std::vector<long double>& forces,
                                              const std::vector<long double>& angles) {
  const long double angle = theta.Evaluate(t, 0, 0);
  long double rx = 0, ry = 0;
  for (size_t m = 0; m < forces.size(); ++m) {
    const long double phi = angle - angles[m];
    rx -= forces[m] * std::sin(phi);
    ry += forces[m] * std::cos(phi);
  }
  const long double omega =
      (theta.Evaluate(t + 0.1L, 0, 0) - theta.Evaluate(t - 0.1L, 0, 0)) * 1000 / 0.2L;
  const long double alpha = ((theta.Evaluate(t + 0.2L, 0, 0) - angle) / 0.2L -
                             (angle - theta.Evaluate(t - 0.2L, 0, 0)) / 0.2L) *
                            1000000 / 0.2L;
  const long double mass = to.Mass;
  const long double half = mass * to.Length / 2;
  const long double x = half * (alpha * std::cos(angle) - omega * omega * std::sin(angle)) - rx;
  const long double y =
      half * (alpha * std::sin(angle) + omega * omega * std::cos(angle)) + 9.8L * mass - ry;
  return std::sqrt(x * x + y * y);
}

long double TGFMinimalJointReaction::Result(TChromosome* root, long double t) {
  if (!Prepare(root)) return 0;
  std::vector<long double> forces, angles;
  for (TMuscle* muscle : SpanningMuscles(*SystemOf(root), FromBone, ToBone)) {
    forces.push_back(muscle->Force(t));
    angles.push_back(muscle->ForceAnglePoly->Evaluate(t));
  }
  TExpressionRunner theta(Express->Compiled());
  return Reaction(theta, *ToBone, t, forces, angles);
}

void TGFMinimalJointReaction::Results(TChromosome* root, std::span<const long double> times,
                                      std::span<long double> values) {
  std::fill(values.begin(), values.end(), 0.0L);
  if (!Prepare(root)) return;
  const std::vector<TMuscle*> spanning = SpanningMuscles(*SystemOf(root), FromBone, ToBone);
  const auto forces =
      MuscleForces(std::vector<const TMuscle*>(spanning.begin(), spanning.end()), times);
  TExpressionRunner theta(Express->Compiled());
  std::vector<long double> atT(spanning.size()), angles(spanning.size());
  for (size_t i = 0; i < times.size(); ++i) {
    for (size_t m = 0; m < spanning.size(); ++m) {
      atT[m] = forces[m][i];
      angles[m] = spanning[m]->ForceAnglePoly->Evaluate(times[i]);
    }
    values[i] = Reaction(theta, *ToBone, times[i], atT, angles);
  }
}

long double TGFMinimalJointReaction::Estimation(TChromosome* root) {
  const TBone* to = DistalBone(root);
  if (to == nullptr) return 0;
  TExpressionRunner theta = ExpressionRunner();
  const TMechanicalSystem& system = *SystemOf(root);
  const TTimeFrame& frame = FrameOf(root);
  const int64_t k = EstimationPointCount(frame);
  std::vector<TIndividualMuscle> muscles;
  for (const TMuscle* muscle : SpanningMuscles(system, BoneAt(system, FromBoneInd), to))
    muscles.emplace_back(root, *muscle);
  long double sum = 0;
  std::vector<long double> forces(muscles.size()), angles(muscles.size());
  for (int64_t i = 0; i <= k; ++i) {
    const long double t = EstimationTime(frame, i) + frame.OscOffset;
    for (size_t m = 0; m < muscles.size(); ++m) {
      forces[m] = muscles[m].Sample(i, t);
      angles[m] = muscles[m].Muscle().ForceAnglePoly->Evaluate(t);
    }
    sum += Reaction(theta, *to, t, forces, angles);
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
