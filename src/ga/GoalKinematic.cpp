#include "ga/GoalKinematic.h"

#include "expr/Express.h"
#include "ga/GoalMath.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/PublishedProperties.h"
#include "model/TimeFrame.h"

#include <algorithm>
#include <cmath>

namespace sarvanta {

namespace {

constexpr long double kStep = 0.2L;  // ms, the finite-difference step of the acceleration

// More check moments than this in a file is refused: every estimation visits each of them.
constexpr int32_t kMaxMoments = 10'000;

}  // namespace

// ---- Joint angle ----

TGFJointAngle::TGFJointAngle(TJoinLater, long double weight, const std::string& descr)
    : TGoalFunctionExpression(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::JointAngle;
  UpdateExpression();
}

TGFJointAngle::TGFJointAngle(TComponent* owner, long double weight, const std::string& descr)
    : TGFJointAngle(TJoinLater{}, weight, descr) {
  JoinOwner(owner);
}

std::optional<TGFJointAngle::TJointSpan> TGFJointAngle::Span(const TChromosome* root) const {
  const TMechanicalSystem* system = SystemOf(root);
  if (system == nullptr) return std::nullopt;
  const TBone* from = BoneAt(*system, FromBoneInd);
  const TBone* to = BoneAt(*system, ToBoneInd);
  if (from == nullptr || to == nullptr) return std::nullopt;
  TJointSpan span;
  span.To = to;
  for (const TMuscle* muscle : SpanningMuscles(*system, from, to))
    span.Muscles.emplace_back(root, *muscle);
  return span;
}

bool TGFJointAngle::Prepare(TChromosome* root) {
  spanning_.clear();
  const TMechanicalSystem* system = SystemOf(root);
  if (system == nullptr) return false;
  FromBone = BoneAt(*system, FromBoneInd);
  ToBone = BoneAt(*system, ToBoneInd);
  if (FromBone == nullptr || ToBone == nullptr) return false;
  spanning_ = SpanningMuscles(*system, FromBone, ToBone);
  EnsureCompiled();
  return true;
}

long double TGFJointAngle::RequiredMoment(TExpressionRunner& theta, const TBone& to,
                                          long double t) {
  const long double angle = theta.Evaluate(t, 0, 0);
  const long double alpha = ((theta.Evaluate(t + kStep, 0, 0) - angle) / kStep -
                             (angle - theta.Evaluate(t - kStep, 0, 0)) / kStep) *
                            1000000 / kStep;
  return to.InertM * alpha + to.Length * 4.9L * to.Mass * std::sin(angle);
}

long double TGFJointAngle::MuscleMoment(TExpressionRunner& theta, const TJointSpan& span,
                                        long double t) {
  const long double angle = theta.Evaluate(t, 0, 0);
  long double sum = 0;
  for (const TIndividualMuscle& muscle : span.Muscles)
    sum += muscle.Muscle().ForceArmPoly->Evaluate(angle) * muscle.ForceAt(t);
  return sum;
}

long double TGFJointAngle::Goal(TChromosome* root, long double t) {
  if (!Prepare(root)) return 0;
  TExpressionRunner theta(Express->Compiled());
  return RequiredMoment(theta, *ToBone, t);
}

long double TGFJointAngle::Result(TChromosome* root, long double t) {
  if (!Prepare(root)) return 0;
  const long double theta = ExpressionValue(t);
  long double sum = 0;
  for (const TMuscle* muscle : spanning_)
    sum += muscle->ForceArmPoly->Evaluate(theta) * muscle->Force(t);
  return sum;
}

void TGFJointAngle::Results(TChromosome* root, std::span<const long double> times,
                            std::span<long double> values) {
  std::fill(values.begin(), values.end(), 0.0L);
  if (!Prepare(root)) return;
  const auto forces =
      MuscleForces(std::vector<const TMuscle*>(spanning_.begin(), spanning_.end()), times);
  for (size_t i = 0; i < times.size(); ++i) {
    const long double theta = ExpressionValue(times[i]);
    long double sum = 0;
    for (size_t m = 0; m < spanning_.size(); ++m)
      sum += spanning_[m]->ForceArmPoly->Evaluate(theta) * forces[m][i];
    values[i] = sum;
  }
}

long double TGFJointAngle::Term(TExpressionRunner& theta, const TJointSpan& span,
                                const TTimeFrame& frame, int64_t i) {
  const long double t = EstimationTime(frame, i) + frame.OscOffset;
  const long double angle = theta.Evaluate(t, 0, 0);
  long double s = 0;
  for (const TIndividualMuscle& muscle : span.Muscles)
    s += muscle.Muscle().ForceArmPoly->Evaluate(angle) * muscle.Sample(i, t);
  return std::fabs(s - RequiredMoment(theta, *span.To, t));
}

long double TGFJointAngle::Estimation(TChromosome* root) {
  const std::optional<TJointSpan> span = Span(root);
  if (!span) return 0;
  TExpressionRunner theta = ExpressionRunner();
  const TTimeFrame& frame = FrameOf(root);
  const int64_t k = EstimationPointCount(frame);
  long double sum = 0;
  for (int64_t i = 0; i <= k; ++i) sum += Term(theta, *span, frame, i);
  return FromTermSum(root, sum);
}

size_t TGFJointAngle::TermCount(TChromosome* root) {
  if (!Span(root)) return 0;
  const int64_t k = EstimationPointCount(FrameOf(root));
  return k >= 0 ? static_cast<size_t>(k) + 1 : 0;
}

void TGFJointAngle::Terms(TChromosome* root, size_t first, std::span<long double> terms) {
  const std::optional<TJointSpan> span = Span(root);
  if (!span) {
    // TermCount gave none then: the model does not change within a round.
    std::fill(terms.begin(), terms.end(), 0.0L);
    return;
  }
  TExpressionRunner theta = ExpressionRunner();
  const TTimeFrame& frame = FrameOf(root);
  for (size_t n = 0; n < terms.size(); ++n)
    terms[n] = Term(theta, *span, frame, static_cast<int64_t>(first + n));
}

long double TGFJointAngle::FromTermSum(TChromosome* root, long double sum) {
  return CheckedDivide(sum, static_cast<long double>(EstimationPointCount(FrameOf(root))));
}

void TGFJointAngle::AddRows(TObjectDescription& description) {
  description.AddProperty("From Bone", ValueOf(FromBoneInd), PropertyKind::ListIndex).List =
      BoneList();
  description.AddProperty("To Bone", ValueOf(ToBoneInd), PropertyKind::ListIndex).List = BoneList();
  description.AddProperty("Angle Displacement", ValueOf(Expression), PropertyKind::Text).OnEdit =
      ExpressionEditor;
}

TClassInfo TGFJointAngle::JointAngleInfo(const std::string& className) {
  TClassInfo info = ExpressionInfo(className);
  info.Properties.push_back(IntegerProperty("FromBoneInd", &TGFJointAngle::FromBoneInd));
  info.Properties.push_back(IntegerProperty("ToBoneInd", &TGFJointAngle::ToBoneInd));
  return info;
}

const TClassInfo& TGFJointAngle::ClassInfo() const {
  static const TClassInfo info = JointAngleInfo("TGFJointAngle");
  return info;
}

// ---- Joint angle check points ----

TGFJointAngleCheckPoints::TGFJointAngleCheckPoints(TComponent* owner, long double weight,
                                                   const std::string& descr)
    : TGFJointAngle(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::JointAngleCheckPoints;
  JoinOwner(owner);
}

long double TGFJointAngleCheckPoints::Estimation(TChromosome* root) {
  if (Moments.empty()) return 0;
  const std::optional<TJointSpan> span = Span(root);
  if (!span) return 0;
  TExpressionRunner theta = ExpressionRunner();
  long double sum = 0;
  for (long double t : Moments)
    sum += std::fabs(MuscleMoment(theta, *span, t) - RequiredMoment(theta, *span->To, t));
  return sum / static_cast<long double>(Moments.size());
}

void TGFJointAngleCheckPoints::AddRows(TObjectDescription& description) {
  TGFJointAngle::AddRows(description);
  TFloatArrayValue moments{[this] { return Moments; },
                           [this](std::vector<long double> values) {
                             Moments = std::move(values);
                             MomentsCnt = static_cast<int32_t>(Moments.size());
                           }};
  description.AddProperty("Moments", moments, PropertyKind::FloatArray);
}

const TClassInfo& TGFJointAngleCheckPoints::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = JointAngleInfo("TGFJointAngleCheckPoints");
    TPropertyInfo count = IntegerProperty("MomentsCnt", &TGFJointAngleCheckPoints::MomentsCnt);
    count.MinValue = -1;
    count.MaxValue = kMaxMoments;
    i.Properties.push_back(count);
    TBlockInfo block;
    block.Name = "Moments";
    block.ShouldWrite = [](const TStreamComponent& c) {
      return static_cast<const TGFJointAngleCheckPoints&>(c).MomentsCnt != -1;
    };
    block.Write = [](const TStreamComponent& c, TWriter& writer) {
      writer.WriteListBegin();
      for (long double t : static_cast<const TGFJointAngleCheckPoints&>(c).Moments)
        writer.WriteFloat(t);
      writer.WriteListEnd();
    };
    block.Read = [](TStreamComponent& c, TReader& reader) {
      auto& goal = static_cast<TGFJointAngleCheckPoints&>(c);
      goal.Moments.assign(static_cast<size_t>(std::max(goal.MomentsCnt, 0)), 0.0L);
      reader.ReadListBegin();
      size_t index = 0;
      while (!reader.EndOfList()) {
        if (index >= static_cast<size_t>(kMaxMoments)) reader.Error("Too many moments");
        const long double t = reader.ReadFiniteFloat("TGFJointAngleCheckPoints.Moments");
        if (index >= goal.Moments.size()) goal.Moments.resize(index + 1);
        goal.Moments[index++] = t;
      }
      reader.ReadListEnd();
    };
    i.Blocks.push_back(block);
    return i;
  }();
  return info;
}

// ---- Bone position ----

TGFBonePosition::TGFBonePosition(TJoinLater, long double weight, const std::string& descr)
    : TGoalFunctionExpression(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::BonePosition;
}

TGFBonePosition::TGFBonePosition(TComponent* owner, long double weight, const std::string& descr)
    : TGFBonePosition(TJoinLater{}, weight, descr) {
  JoinOwner(owner);
}

void TGFBonePosition::AddRows(TObjectDescription& description) {
  description.AddProperty("Bone", ValueOf(BoneInd), PropertyKind::ListIndex).List = BoneList();
  description.AddProperty("Bone Edge", ValueOf(BoneEdge), PropertyKind::Integer);
  description.AddProperty("Bone Position", ValueOf(Expression), PropertyKind::Text).OnEdit =
      ExpressionEditor;
}

TClassInfo TGFBonePosition::BonePositionInfo(const std::string& className) {
  TClassInfo info = ExpressionInfo(className);
  info.Properties.push_back(IntegerProperty("BoneEdge", &TGFBonePosition::BoneEdge));
  info.Properties.push_back(IntegerProperty("BoneInd", &TGFBonePosition::BoneInd));
  return info;
}

const TClassInfo& TGFBonePosition::ClassInfo() const {
  static const TClassInfo info = BonePositionInfo("TGFBonePosition");
  return info;
}

TGFBonePosCheckPoint::TGFBonePosCheckPoint(TComponent* owner, long double weight,
                                           const std::string& descr)
    : TGFBonePosition(TJoinLater{}, weight, descr) {
  GoalType = GoalKind::BonePosCheckPoint;
  JoinOwner(owner);
}

void TGFBonePosCheckPoint::AddRows(TObjectDescription& description) {
  TGFBonePosition::AddRows(description);
  description.AddProperty("Moment", ValueOf(Moment), PropertyKind::Extended);
  description.AddProperty("Value", ValueOf(Value), PropertyKind::Extended);
}

const TClassInfo& TGFBonePosCheckPoint::ClassInfo() const {
  static const TClassInfo info = [] {
    TClassInfo i = BonePositionInfo("TGFBonePosCheckPoint");
    i.Properties.push_back(FloatProperty("Moment", &TGFBonePosCheckPoint::Moment));
    i.Properties.push_back(FloatProperty("Value", &TGFBonePosCheckPoint::Value));
    return i;
  }();
  return info;
}

}  // namespace sarvanta
