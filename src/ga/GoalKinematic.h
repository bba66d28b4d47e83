// Goals that ask the muscles to produce a prescribed movement: a joint angle over time (the
// moment of the spanning muscles against the moment the movement of the distal bone
// requires), at chosen check moments, or a prescribed bone position.
#pragma once

#include "ga/GoalFunction.h"
#include "ga/IndividualMuscle.h"

#include <optional>
#include <vector>

namespace sarvanta {

class TBone;
class TMuscle;

// "Joint angle": the angle expression theta(t) (rad, t in ms) of the joint between FromBone
// and ToBone. Goal is the required moment, Result the muscles' moment.
class TGFJointAngle : public TGoalFunctionExpression {
 public:
  TGFJointAngle(TComponent* owner, long double weight, const std::string& descr);
  long double Estimation(TChromosome* root) override;
  // The terms are |S(t) - R(t)| at the estimation points; their sum divided by the point count
  // is the estimation.
  size_t TermCount(TChromosome* root) override;
  void Terms(TChromosome* root, size_t first, std::span<long double> terms) override;
  long double FromTermSum(TChromosome* root, long double sum) override;
  // R(t) = InertM alpha(t) + Length 4.9 Mass sin theta(t) of ToBone; 0 while a bone is missing.
  long double Goal(TChromosome* root, long double t) override;
  // S(t) = sum over spanning muscles of ForceArm(theta(t)) F(t); 0 while a bone is missing.
  long double Result(TChromosome* root, long double t) override;
  void Results(TChromosome* root, std::span<const long double> times,
               std::span<long double> values) override;
  std::string GetDescription() const override { return "Joint angle"; }
  const TClassInfo& ClassInfo() const override;

  int32_t FromBoneInd = 0;
  int32_t ToBoneInd = 0;
  TBone* FromBone = nullptr;  // last looked up; not owned
  TBone* ToBone = nullptr;

 protected:
  TGFJointAngle(TJoinLater, long double weight, const std::string& descr);
  void AddRows(TObjectDescription& description) override;
  static TClassInfo JointAngleInfo(const std::string& className);

  // The spanning muscles of the joint as the individual of `root` holds them, and the distal
  // bone; nothing while a bone is missing (the goal then gives 0). Reads only.
  struct TJointSpan {
    const TBone* To = nullptr;
    std::vector<TIndividualMuscle> Muscles;
  };
  std::optional<TJointSpan> Span(const TChromosome* root) const;
  // R(t) with the angle expression `theta`.
  static long double RequiredMoment(TExpressionRunner& theta, const TBone& to, long double t);
  // The muscles' moment at t with the individual's twitch forces.
  static long double MuscleMoment(TExpressionRunner& theta, const TJointSpan& span, long double t);
  // |S - R| at estimation point i, S from the individual's muscle samples.
  static long double Term(TExpressionRunner& theta, const TJointSpan& span, const TTimeFrame& frame,
                          int64_t i);
  // For Goal and Result: looks the bones up into FromBone and ToBone, collects the spanning
  // muscles of the model and compiles the expression; false when a bone is missing.
  bool Prepare(TChromosome* root);

  std::vector<TMuscle*> spanning_;
};

// "Joint angle check point": the joint-angle error at the moments of Moments only.
class TGFJointAngleCheckPoints : public TGFJointAngle {
 public:
  TGFJointAngleCheckPoints(TComponent* owner, long double weight, const std::string& descr);
  // Mean of |S(t_j) - R(t_j)| over Moments (twitch forces, no oscillation); 0 without moments.
  long double Estimation(TChromosome* root) override;
  // Not split into the joint angle's terms.
  size_t TermCount(TChromosome*) override { return 0; }
  std::string GetDescription() const override { return "Joint angle check point"; }
  const TClassInfo& ClassInfo() const override;

  int32_t MomentsCnt = 0;
  std::vector<long double> Moments;  // ms; stored in the "Moments" block

 protected:
  void AddRows(TObjectDescription& description) override;
};

// "Bone position": a bone, one of its edges and a position expression. The model has no
// kinematics: bones are fixed geometry and a bone alone names no joint whose angle would move
// it, so no achieved position exists to compare with. Every function gives 0, which leaves
// the fitness unchanged instead of inventing a motion.
class TGFBonePosition : public TGoalFunctionExpression {
 public:
  TGFBonePosition(TComponent* owner, long double weight, const std::string& descr);
  std::string GetDescription() const override { return "Bone position"; }
  const TClassInfo& ClassInfo() const override;

  int32_t BoneEdge = 0;
  int32_t BoneInd = 0;

 protected:
  TGFBonePosition(TJoinLater, long double weight, const std::string& descr);
  void AddRows(TObjectDescription& description) override;
  static TClassInfo BonePositionInfo(const std::string& className);
};

// "Bone position chacks point": the bone position demanded at one moment; gives 0 like the
// bone-position goal.
class TGFBonePosCheckPoint : public TGFBonePosition {
 public:
  TGFBonePosCheckPoint(TComponent* owner, long double weight, const std::string& descr);
  std::string GetDescription() const override { return "Bone position chacks point"; }
  const TClassInfo& ClassInfo() const override;

  long double Moment = 0;
  long double Value = 0;

 protected:
  void AddRows(TObjectDescription& description) override;
};

}  // namespace sarvanta
