// Goals that rate how the load is shared among muscles and motor units: total force,
// motor-unit activity, fatigue, force per physiological cross-section, and the reaction
// force in a joint.
#pragma once

#include "ga/GoalFunction.h"

namespace sarvanta {

class TBone;

// "Minimal aggregate force": the mean muscle force over the estimation points.
class TGFMinimalForce : public TGoalFunction {
 public:
  TGFMinimalForce(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  TGoalThreading Threading() const override { return TGoalThreading::AnyThread; }
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Minimal aggregate force"; }
  const TClassInfo& ClassInfo() const override;
};

// "Minimal motor unit activation": the impulse counts relative to the most a unit can fire.
class TGFMinimalMUActivation : public TGoalFunction {
 public:
  TGFMinimalMUActivation(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  TGoalThreading Threading() const override { return TGoalThreading::AnyThread; }
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Minimal motor unit activation"; }
  const TClassInfo& ClassInfo() const override;
};

// "Minimal fatigue": the fatigue of each impulse is the share (k Tref / Tf)^Pow by which its
// twitch peak has fallen from Fmax toward Fmin (k = earlier impulses within Tf; 0 for a
// fresh unit, 1 for a fully fatigued one). Estimation sums it over the impulses in the
// evaluation window, relative to the most impulses a unit can fire in it, averaged like the
// activation goal; Result is the mean fatigue of the latest twitch at t.
class TGFMinimalFatigue : public TGoalFunction {
 public:
  TGFMinimalFatigue(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  // A term per muscle position (0 for a muscle without units).
  size_t TermCount(TChromosome* root) override;
  void Terms(TChromosome* root, size_t first, std::span<long double> terms) override;
  long double FromTermSum(TChromosome* root, long double sum) override;
  TGoalThreading Threading() const override { return TGoalThreading::AnyThread; }
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Minimal fatigue"; }
  const TClassInfo& ClassInfo() const override;
};

// "Minimal sum (1/PCSA)^n": muscle force per cross-section, to the power n.
class TGFPCSAbased : public TGoalFunction {
 public:
  TGFPCSAbased(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  TGoalThreading Threading() const override { return TGoalThreading::AnyThread; }
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Minimal sum (1/PCSA)^n"; }
  const TClassInfo& ClassInfo() const override;

  long double n = 0;
  bool UseSigns = false;

 protected:
  void AddRows(TObjectDescription& description) override;
};

// "Minimal joint reaction": the reaction force between FromBone and ToBone while the joint
// follows the angle expression (rad, t in ms).
class TGFMinimalJointReaction : public TGoalFunctionExpression {
 public:
  TGFMinimalJointReaction(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Minimal joint reaction"; }
  const TClassInfo& ClassInfo() const override;

  int32_t FromBoneInd = 0;
  int32_t ToBoneInd = 0;
  TBone* FromBone = nullptr;  // last looked up; not owned
  TBone* ToBone = nullptr;

 protected:
  void AddRows(TObjectDescription& description) override;

 private:
  // The distal bone, or nullptr when the goal gives 0 (a bone missing, no muscle list). Reads
  // only.
  const TBone* DistalBone(const TChromosome* root) const;
  // For Result: DistalBone into FromBone and ToBone, and the expression compiled; false when
  // the goal gives 0.
  bool Prepare(TChromosome* root);
  // The reaction at t with the angle expression `theta` and the given spanning-muscle forces
  // and angle functions.
  static long double Reaction(TExpressionRunner& theta, const TBone& to, long double t,
                              const std::vector<long double>& forces,
                              const std::vector<long double>& angles);
};

}  // namespace sarvanta
